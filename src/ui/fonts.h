#pragma once
// The fonts of the panel's windows: which face a window draws in at a DPI, given the captions it must fit,
// and one font of each kind in that face.

#include <windows.h>

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "platform/unique_handle.h"
#include "ui/caption_room.h"
#include "ui/panel_face.h"

namespace qm {

// The face a window with `captions` draws in at `dpi`: PreferredPanelFace over the system's faces. Where
// neither of the panel's faces serves (a bare Wine prefix, whose stand-in for them is wider and cuts
// captions; MS Sans Serif a bitmap font above 96 DPI, with no Microsoft Sans Serif beside it), the first of a
// few common faces that the system has and in which every one of `captions` fits its room at `dpi`, measured
// in the fonts the window will draw with; then MS Sans Serif as the system draws it at `dpi`, when it has it;
// when none fits, the one that cuts least.
std::wstring PanelFontFace(UINT dpi, std::span<const CaptionRoom> captions);

// The font of `kind` at `dpi` in `face`.
UniqueFont MakeFont(FontKind kind, UINT dpi, std::wstring_view face);

// One font of each kind at one DPI, in one face.
class FontSet {
 public:
  FontSet() = default;
  FontSet(UINT dpi, std::wstring_view face);
  // In the face of a window with `captions`.
  FontSet(UINT dpi, std::span<const CaptionRoom> captions);
  HFONT operator[](FontKind kind) const { return fonts_[static_cast<size_t>(kind)].get(); }

 private:
  std::array<UniqueFont, 3> fonts_;
};

}  // namespace qm
