#pragma once
// The child controls of the panel's windows, made from layout data: twips to pixels at a window's DPI, a
// control in its place with its font, every control of the main window's layout, and the tooltip.

#include <windows.h>

#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/fonts.h"
#include "ui/layout_units.h"
#include "ui/main_layout.h"

namespace qm {

// Controls by control identifier, owned by the window that holds them.
using ControlMap = std::unordered_map<int, HWND>;

// The text a control holds.
std::wstring WindowText(HWND control);

// A place in twips as pixels at `dpi`.
RECT PixelRect(const TwipRect& place, UINT dpi);

// The DPI the window is drawn at; 96 when the system cannot tell.
UINT DpiOf(HWND window);

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
// at `dpi`. Empty when the system refused one (GetLastError tells why).
ControlMap CreateLayoutControls(HWND window, const FontSet& fonts, UINT dpi);

// Moves every control of the main window's layout to its place at `dpi` and gives it its font in `fonts`.
void LayOutControls(const ControlMap& controls, const FontSet& fonts, UINT dpi);

// Draws a label of the main window (an owner-drawn static control) as a static control draws its text,
// wrapped like an edit control, in `colour` on the dialog face, except that a last line only partly within
// the label is drawn too, cut at its lower edge, where a static control would leave it out.
void DrawLabel(const DRAWITEMSTRUCT& item, COLORREF colour);

// A tooltip window owned by `owner`, and one tool on it: `control` shows `text`. Null or false when the
// system refuses.
HWND CreateTooltipWindow(HWND owner);
bool AddTooltip(HWND tooltip, HWND control, std::wstring_view text);

}  // namespace qm
