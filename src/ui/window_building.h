#pragma once
// Building windows from layout data, for the main window and the About dialog alike: twips to pixels at a
// window's DPI, the panel's fonts at a DPI, child controls made in their place with their font, tooltips,
// and a window placed by its client area.

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/unique_handle.h"
#include "ui/layout_units.h"
#include "ui/main_layout.h"
#include "ui/panel_face.h"
#include "ui/start_placement.h"

namespace qm {

// Twips to pixels at `dpi`, rounded to the nearest pixel.
int Pixels(int twips, UINT dpi);
RECT PixelRect(const TwipRect& place, UINT dpi);

// The DPI the window is drawn at; 96 when the system cannot tell.
UINT DpiOf(HWND window);

// What the system has of the panel's faces, asked at `dpi`.
SystemFaces FacesOfSystem(UINT dpi);

// The panel's face at `dpi` (PreferredPanelFace over the system's faces). Where neither of its faces serves
// (a bare Wine prefix), the face the system puts in their place is wider and cuts captions; then the first
// of a few common faces that the system has and in which every caption of the main window fits its control
// at `dpi` takes their place, or, when none fits, the one that cuts least.
std::wstring PanelFontFace(UINT dpi);
// The same choice with `preferred` in place of "MS Sans Serif".
std::wstring ChooseFontFace(std::wstring_view preferred, UINT dpi);

// The font of `kind` at `dpi` in `face`.
UniqueFont MakeFont(FontKind kind, UINT dpi, std::wstring_view face);

// One font of each kind at one DPI, in one face.
class FontSet {
 public:
  FontSet() = default;
  // In the panel's face at that DPI.
  explicit FontSet(UINT dpi);
  FontSet(UINT dpi, std::wstring_view face);
  HFONT operator[](FontKind kind) const { return fonts_[static_cast<size_t>(kind)].get(); }

 private:
  std::array<UniqueFont, 3> fonts_;
};

// A child control's window class and styles; WS_CHILD and WS_VISIBLE are added.
struct ChildClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

// Creates a visible child control of `parent` in `place` (pixels) and gives it `font` without redrawing.
// Null when the system refuses.
HWND CreateChild(HWND parent, const ChildClass& cls, std::wstring_view text, int id, const RECT& place,
                 HFONT font);

// The window class and styles of each kind of control of the main window's layout.
ChildClass ClassOf(ControlKind kind);

// Every control of the main window's layout as a child of `window`, in creation order, in its place and font
// at `dpi`; by control identifier. Empty when the system refused one (GetLastError tells why).
std::unordered_map<int, HWND> CreateLayoutControls(HWND window, const FontSet& fonts, UINT dpi);

// A tooltip window owned by `owner`, and one tool on it: `control` shows `text`. Null or false when the
// system refuses.
HWND CreateTooltipWindow(HWND owner);
bool AddTooltip(HWND tooltip, HWND control, std::wstring_view text);

// Moves and sizes `window` so that its client area is `client` (screen pixels at `dpi`) for a window of
// these styles.
void PlaceClientArea(HWND window, const RECT& client, DWORD style, DWORD ex_style, UINT dpi);

// Places the main window (of these styles, at `dpi`) where StartPlacement puts it: its client area at the
// layout's place whenever the whole window fits the work area of its monitor, otherwise moved into it.
void PlaceAtStart(HWND window, DWORD style, DWORD ex_style, UINT dpi);

}  // namespace qm
