// The panel's face: kept where the system has it; otherwise a face the system has in which every caption of
// the main window fits its control, as the controls themselves measure it. The test prefixes have MS Sans
// Serif (from fonts-wine) and Tahoma; Wine draws fonts-wine's MS Sans Serif from its bitmap font, as Windows
// does its own, and has no Microsoft Sans Serif. Where MS Sans Serif is absent (a prefix of Wine 8's own
// making) the installer test measures the installed panel's captions.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/caption_fit.h"
#include "support/text.h"
#include "ui/main_layout.h"
#include "ui/panel_face.h"
#include "platform/unique_handle.h"
#include "ui/child_controls.h"
#include "ui/fonts.h"

namespace qm {
namespace {

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
}

// At every scale: MS Sans Serif at 96 DPI, and above it a face in which every caption fits its control, as
// the controls themselves measure it. The test prefixes have MS Sans Serif as a bitmap font and no Microsoft
// Sans Serif, so above 96 DPI the panel takes the first common face that fits; under Wine 10, whose prefixes
// have none (Tahoma cuts three captions at 144 DPI), MS Sans Serif as drawn at its nearest stored size.
TEST(PanelFont, IsMsSansSerifAt96DpiAndAtEveryScaleOneInWhichEveryCaptionFits) {
  for (const UINT dpi : {96u, 120u, 144u, 168u, 192u}) {
    const std::wstring face = PanelFontFace(dpi, MainCaptions());
    SCOPED_TRACE(std::to_string(dpi) + " DPI, " + test::Narrow(face));
    if (dpi == 96) {
      EXPECT_EQ(face, L"MS Sans Serif");
    }
    const UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 2800, 1400, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr));
    const FontSet fonts(dpi, face);
    int measured = 0;
    for (const auto& [id, control] : CreateLayoutControls(window.get(), fonts, dpi)) {
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
