#pragma once
// Where the panel's main window goes on the screen: its client area placed by the layout, and moved into the
// work area of its monitor where it would not fit (StartPlacement).

#include <windows.h>

namespace qm {

// Places the main window (of these styles) where StartPlacement puts it at the DPI it is drawn at: its
// client area at the layout's place whenever the whole window fits the work area of its monitor, otherwise
// moved into it.
void PlaceAtStart(HWND window, DWORD style, DWORD ex_style);

}  // namespace qm
