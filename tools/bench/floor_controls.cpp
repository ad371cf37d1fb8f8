// The start-up floor of a window like the panel's: the least a Win32 program does to show what the panel
// must show when it has started. From the panel's own tables it makes the window with the panel's title,
// its menu bar, and each control with its system class and caption, in its place, font and colour, and the
// tooltip; it shows the window with the focus in txtPair and 4-Digit and Backtest selected, paints it, puts
// a text on the status label and runs its messages until the window is closed. No option actions, files,
// worker or database: what lies between this and the panel is the panel's own start-up work. It is built
// with the panel's resources, so that the same common controls draw it, and once more without the menu bar
// (QM_FLOOR_MENU_BAR 0), which is the panel's largest cost at its first paint, to be read beside it.

#include <windows.h>

#include <commctrl.h>

#include "floor_window.h"
#include "layout_floor.h"
#include "ui/child_controls.h"

namespace {

// The labels the panel's table gives a colour; every other control keeps the system's.
LRESULT CALLBACK ControlsProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CTLCOLORSTATIC) {
    const LRESULT face = ::DefWindowProcW(window, message, wparam, lparam);
    const qm::ControlLayout* row = qm::FindControl(::GetDlgCtrlID(reinterpret_cast<HWND>(lparam)));
    if (row != nullptr && row->colour)
      ::SetTextColor(reinterpret_cast<HDC>(wparam),
                     RGB(row->colour->red, row->colour->green, row->colour->blue));
    return face;
  }
  return qm::bench::FloorProcedure(window, message, wparam, lparam);
}

bool CreateMenuBar(HWND window) {
  HMENU menu = ::CreateMenu();
  for (const qm::MenuCommand& command : qm::MainMenu()) {
    if (!::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(qm::ControlId(command.name)),
                       std::wstring(command.caption).c_str()))
      return false;
  }
  return ::SetMenu(window, menu) != FALSE;  // the window destroys its menu bar
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&common);
  HWND window =
      qm::bench::CreateFloorWindow(instance, L"QuenmarelBenchControlsFloor", qm::MainWindowTitle().c_str(),
                                   CW_USEDEFAULT, CW_USEDEFAULT, ControlsProcedure);
  if (window == nullptr || (QM_FLOOR_MENU_BAR && !CreateMenuBar(window)))
    return 1;
  const UINT dpi = ::GetDpiForWindow(window);
  const qm::FontSet fonts(dpi, qm::MainCaptions());
  HWND tooltip = nullptr;
  for (const qm::ControlLayout* control : qm::CreationOrder()) {
    HWND created = qm::bench::CreateFloorControl(instance, window, *control, fonts, dpi);
    if (created == nullptr)
      return 1;
    if (!control->tooltip.empty() && ((tooltip == nullptr && !(tooltip = qm::CreateTooltipWindow(window))) ||
                                      !qm::AddTooltip(tooltip, created, control->tooltip)))
      return 1;
  }
  qm::bench::PlaceLikeThePanel(window, dpi);
  const auto control = [&](const wchar_t* name) { return ::GetDlgItem(window, qm::ControlId(name)); };
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::SetFocus(control(L"txtPair"));
  ::SendMessageW(control(L"optFourDigit"), BM_SETCHECK, BST_CHECKED, 0);
  ::SendMessageW(control(L"optBackTest"), BM_SETCHECK, BST_CHECKED, 0);
  ::SetWindowTextW(control(L"lblStatus"), L"Status: OK.");
  ::UpdateWindow(window);
  return qm::bench::RunFloorMessages();
}
