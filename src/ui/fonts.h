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

// What the system has of the panel's faces, asked in `dc` at `dpi`.
SystemFaces FacesOfSystem(HDC dc, UINT dpi);

// The face to draw in where neither of the panel's faces serves (a bare Wine prefix, whose stand-in for them
// is wider and cuts captions): the first of a few common faces that the system has and in which every one
// of `captions` fits its room at `dpi`, or, when none fits, the one that cuts least; "MS Sans Serif" when
// the system has none of them.
std::wstring FallbackFace(HDC dc, UINT dpi, std::span<const CaptionRoom> captions);

// The face a window with `captions` draws in at `dpi`: PreferredPanelFace over the system's faces, else
// FallbackFace.
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
