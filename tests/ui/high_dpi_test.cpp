// The real main window at 144 DPI on a 1920x1080 screen, the default of most 15-inch laptops, where the
// layout's place would put the window's lower edge past the screen and the status line out of sight.
// run_at_144_dpi.sh runs this program in a Wine prefix of its own at 144 DPI, on a display of its own.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "support/caption_fit.h"
#include "ui/frmMain.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

// The window's vendor connection is never asked for here; were it, nothing answers there.
MainWindowSettings Offline() {
  MainWindowSettings settings;
  settings.vendor_connection_string = VendorConnectionString(L"127.0.0.1");
  return settings;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST(HighDpiWindow, LiesWhollyOnTheScreenWithItsTitleBarAndStatusLine) {
  ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1920);
  ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 1080);
  const frmMain window(::GetModuleHandleW(nullptr), Offline());
  HWND main = window.hwnd();
  ASSERT_EQ(::GetDpiForWindow(main), 144u);

  // Moved, not shrunk: the client area keeps the layout's size at 144 DPI, and its left edge the layout's
  // 795 twips.
  RECT client{};
  ::GetClientRect(main, &client);
  EXPECT_EQ(client.right, 1371);
  EXPECT_EQ(client.bottom, 617);
  POINT origin{0, 0};
  ::ClientToScreen(main, &origin);
  EXPECT_EQ(origin.x, 80);

  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor));
  RECT outer{};
  ::GetWindowRect(main, &outer);
  EXPECT_TRUE(Inside(outer, monitor.rcWork))
      << outer.left << "," << outer.top << " to " << outer.right << "," << outer.bottom;
  // Moved up by no more than it takes: the lower edge on the work area's.
  EXPECT_EQ(outer.bottom, monitor.rcWork.bottom);
  RECT status{};
  ::GetWindowRect(::GetDlgItem(main, ControlId(L"lblStatus")), &status);
  EXPECT_TRUE(Inside(status, monitor.rcWork)) << status.top << " to " << status.bottom;
}

// This prefix's MS Sans Serif is a bitmap font, as on Windows: above 96 DPI the window takes a face drawn
// from outlines, in which every caption still fits.
TEST(HighDpiWindow, DrawsEveryCaptionWholeInAFaceThatScales) {
  const frmMain window(::GetModuleHandleW(nullptr), Offline());
  int measured = 0;
  for (const ControlLayout& control : MainLayout()) {
    const std::optional<test::CaptionFit> fit =
        test::MeasureCaption(::GetDlgItem(window.hwnd(), ControlId(control.name)));
    if (!fit)
      continue;
    ++measured;
    EXPECT_NE(fit->face, L"MS Sans Serif");
    EXPECT_TRUE(fit->fits()) << fit->caption << " in " << fit->face << " needs " << fit->needed.cx << "x"
                             << fit->needed.cy << " pixels of " << fit->room.cx << "x" << fit->room.cy;
  }
  EXPECT_EQ(measured, 38);
}

}  // namespace
}  // namespace qm
