#include "ui/window_placement.h"

#include <vector>

#include "ui/child_controls.h"
#include "ui/start_placement.h"

namespace qm {
namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, RECT*, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(monitor, &info)) {
    auto& areas = *reinterpret_cast<std::vector<ScreenRect>*>(list);
    const RECT& work = info.rcWork;
    const ScreenRect area{work.left, work.top, work.right, work.bottom};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
      areas.insert(areas.begin(), area);
    else
      areas.push_back(area);
  }
  return TRUE;
}

// Moves and sizes `window` so that its client area is `client` (screen pixels at `dpi`) for a window of
// these styles.
void PlaceClientArea(HWND window, const RECT& client, DWORD style, DWORD ex_style, UINT dpi) {
  RECT outer = client;
  ::AdjustWindowRectExForDpi(&outer, style, ::GetMenu(window) != nullptr, ex_style, dpi);
  ::SetWindowPos(window, nullptr, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame the system draws can differ from the computed one (a menu bar that wraps, another theme):
  // correct by what the window reports, so that the client area itself has the size and place asked for.
  RECT actual{};
  ::GetClientRect(window, &actual);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  const int dx = client.left - origin.x;
  const int dy = client.top - origin.y;
  const int dw = (client.right - client.left) - actual.right;
  const int dh = (client.bottom - client.top) - actual.bottom;
  if (dx != 0 || dy != 0 || dw != 0 || dh != 0) {
    ::SetWindowPos(window, nullptr, outer.left + dx, outer.top + dy, outer.right - outer.left + dw,
                   outer.bottom - outer.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void PlaceAtDpi(HWND window, DWORD style, DWORD ex_style, UINT dpi) {
  const ScreenRect layout = LayoutClientArea(dpi);
  PlaceClientArea(window, {layout.left, layout.top, layout.right, layout.bottom}, style, ex_style, dpi);
  // The frame as the system drew it.
  RECT outer{};
  RECT client{};
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const FrameEdges frame{client.left - outer.left, client.top - outer.top, outer.right - client.right,
                         outer.bottom - client.bottom};
  std::vector<ScreenRect> work_areas;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&work_areas));
  const ScreenRect placed = StartPlacement(work_areas, dpi, frame);
  if (placed.left != outer.left || placed.top != outer.top)
    ::SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void PlaceAtStart(HWND window, DWORD style, DWORD ex_style) {
  // A move onto a monitor of another DPI rescales the window on the spot (WM_DPICHANGED), after which the
  // place and the frame measured at the old DPI no longer hold: place it again at the new one. The bound
  // only stops two monitors that keep handing the window back and forth.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const UINT dpi = DpiOf(window);
    PlaceAtDpi(window, style, ex_style, dpi);
    if (DpiOf(window) == dpi)
      return;
  }
}

}  // namespace qm
