// The panel's face: kept where the system has it; otherwise a face the system has in which every caption of
// the main window fits its control, as the controls themselves measure it. In the panel's own face every
// caption fits too. The test prefix has MS Sans Serif (from fonts-wine) and Tahoma; the fallback is what
// the panel draws in where MS Sans Serif is absent. Wine draws fonts-wine's MS Sans Serif from its bitmap
// font, as Windows does its own, and has no Microsoft Sans Serif.

#include <gtest/gtest.h>

#include <optional>

#include "support/caption_fit.h"
#include "ui/main_layout.h"
#include "ui/panel_face.h"
#include "platform/unique_handle.h"
#include "ui/child_controls.h"
#include "ui/fonts.h"

namespace qm {
namespace {

enum class Choice { Panel, Fallback };

const struct {
  const char* name;
  Choice choice;
  UINT dpi;
  bool ms_sans_serif;
} kFaces[] = {
    {"MS Sans Serif, where the system has it", Choice::Panel, 96, true},
    {"the fallback at 96 DPI", Choice::Fallback, 96, false},
    {"the fallback at 144 DPI", Choice::Fallback, 144, false},
    {"the panel's own choice at 144 DPI", Choice::Panel, 144, false},
};

// Which face the panel asks for, from what the system has; nothing: a common face in which captions fit.
const struct {
  const char* name;
  UINT dpi;
  SystemFaces faces;  // MS Sans Serif, scalable, Microsoft Sans Serif
  std::optional<std::wstring_view> face;
} kPreferred[] = {
    {"Windows at 100 %", 96, {true, false, true}, L"MS Sans Serif"},
    {"Windows at 125 %", 120, {true, false, true}, L"Microsoft Sans Serif"},
    {"Windows at 175 %", 168, {true, false, true}, L"Microsoft Sans Serif"},
    {"an outline MS Sans Serif at 150 %", 144, {true, true, false}, L"MS Sans Serif"},
    {"Wine with fonts-wine at 100 %", 96, {true, false, false}, L"MS Sans Serif"},
    {"Wine with fonts-wine at 150 %", 144, {true, false, false}, std::nullopt},
    {"no MS Sans Serif at 150 %", 144, {false, false, true}, std::nullopt},
};

TEST(PanelFont, IsMsSansSerifWhereItScalesAndMicrosoftSansSerifAbove96DpiWhereItIsABitmapFont) {
  for (const auto& c : kPreferred)
    EXPECT_EQ(PreferredPanelFace(c.dpi, c.faces), c.face) << c.name;
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  const SystemFaces wine = FacesOfSystem(dc.get(), 144);
  EXPECT_TRUE(wine.ms_sans_serif && !wine.ms_sans_serif_scalable && !wine.microsoft_sans_serif);
}

TEST(PanelFont, IsKeptWhereTheSystemHasItAndIsOtherwiseOneInWhichEveryCaptionFits) {
  const UniqueDc dc(::CreateCompatibleDC(nullptr));
  for (const auto& c : kFaces) {
    SCOPED_TRACE(c.name);
    const std::wstring face = c.choice == Choice::Panel ? PanelFontFace(c.dpi, MainCaptions())
                                                        : FallbackFace(dc.get(), c.dpi, MainCaptions());
    if (c.ms_sans_serif) {
      EXPECT_EQ(face, L"MS Sans Serif");
    } else {
      EXPECT_NE(face, L"MS Sans Serif");
    }
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1400, 700, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr));
    const FontSet fonts(c.dpi, face);
    int measured = 0;
    for (const auto& [id, control] : CreateLayoutControls(window.get(), fonts, c.dpi)) {
      const std::optional<test::CaptionFit> fit = test::MeasureCaption(control);
      if (!fit)
        continue;
      ++measured;
      EXPECT_EQ(fit->face, face) << "the system has no " << face;
      EXPECT_TRUE(fit->fits()) << fit->caption << " in " << face << " needs " << fit->needed.cx << "x"
                               << fit->needed.cy << " pixels of " << fit->room.cx << "x" << fit->room.cy;
    }
    EXPECT_EQ(measured, 38);
  }
}

}  // namespace
}  // namespace qm
