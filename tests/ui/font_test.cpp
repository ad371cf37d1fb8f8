// The panel's face: kept where the system has it; otherwise a face the system has in which every caption of
// the main window fits its control, as the controls themselves measure it. In the panel's own face every
// caption fits too. The test prefix has MS Sans Serif
// (from fonts-wine) and Tahoma; a missing face stands for it being absent.

#include <gtest/gtest.h>

#include "support/caption_fit.h"
#include "ui/main_layout.h"
#include "ui/window_building.h"

namespace qm {
namespace {

constexpr wchar_t kMissingFace[] = L"Quenmarel Missing Face";

const struct {
  const char* name;
  std::wstring_view preferred;
  UINT dpi;
  bool kept;
} kFaces[] = {
    {"MS Sans Serif, where the system has it", L"MS Sans Serif", 96, true},
    {"a missing face at 96 DPI", kMissingFace, 96, false},
    {"a missing face at 144 DPI", kMissingFace, 144, false},
};

TEST(PanelFont, IsKeptWhereTheSystemHasItAndIsOtherwiseOneInWhichEveryCaptionFits) {
  EXPECT_EQ(PanelFontFace(96), L"MS Sans Serif");
  for (const auto& c : kFaces) {
    SCOPED_TRACE(c.name);
    const std::wstring face = ChooseFontFace(c.preferred, c.dpi);
    if (c.kept) {
      EXPECT_EQ(face, c.preferred);
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
