// The real window at 144 DPI on a 1920x1080 screen, where the layout's place runs past the screen's lower
// edge; run_at_144_dpi.sh gives this program a Wine prefix at 144 DPI and a display of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/frmMain.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

TEST(HighDpiWindow, LiesWhollyInTheWorkAreaMovedUpOnly) {
  ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 1080);
  MainWindowSettings offline;  // its vendor connection is never asked for here
  offline.vendor_connection_string = VendorConnectionString(L"127.0.0.1");
  const frmMain window(::GetModuleHandleW(nullptr), offline);
  ASSERT_EQ(::GetDpiForWindow(window.hwnd()), 144u);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(window.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  RECT outer{};
  RECT client{};
  ::GetWindowRect(window.hwnd(), &outer);
  ::GetClientRect(window.hwnd(), &client);
  // Its lower edge on the work area's, the left edge and the size of the client area the layout's.
  EXPECT_EQ(outer.bottom, monitor.rcWork.bottom);
  EXPECT_GE(outer.top, monitor.rcWork.top);
  EXPECT_EQ(client.right - client.left, 1371);
  EXPECT_EQ(client.bottom - client.top, 617);
  POINT origin{0, 0};
  ::ClientToScreen(window.hwnd(), &origin);
  EXPECT_EQ(origin.x, 80);
}

}  // namespace
}  // namespace qm
