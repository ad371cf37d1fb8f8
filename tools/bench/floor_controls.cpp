// The start-up floor of a window like the panel's: the least a Win32 program does to show the same controls.
// From the panel's own layout table it creates each control with its system class and caption, in its place
// and font, shows and paints the window, puts a text on the status label and runs its messages until the
// window is closed. No menu, tooltip, colours, option logic, files or database: what lies between this and
// the panel is the panel's own start-up work. It is built with the panel's resources, so that the same
// common controls draw it.

#include <windows.h>

#include <array>
#include <string>

#include "floor_window.h"
#include "ui/main_layout.h"
#include "ui/window_building.h"

namespace {

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

ControlClass FloorClassOf(qm::ControlKind kind) {
  switch (kind) {
    case qm::ControlKind::Label:
      return {L"Static", SS_LEFT | SS_NOPREFIX, 0};
    case qm::ControlKind::TextBox:
      return {L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case qm::ControlKind::CommandButton:
      return {L"Button", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case qm::ControlKind::OptionButton:
      return {L"Button", BS_RADIOBUTTON, 0};
    case qm::ControlKind::Frame:
      return {L"Button", BS_GROUPBOX, 0};
  }
  return {L"Static", 0, 0};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND window = qm::bench::CreateFloorWindow(instance, L"QuenmarelBenchControlsFloor",
                                             L"Quenmarel benchmark floor with controls");
  if (window == nullptr)
    return 1;
  const UINT dpi = ::GetDpiForWindow(window);
  const qm::FontSet fonts(dpi);
  for (const qm::ControlLayout* control : qm::CreationOrder()) {
    const ControlClass kind = FloorClassOf(control->kind);
    const qm::TwipRect place = qm::PlaceInWindow(*control);
    HWND created = ::CreateWindowExW(
        kind.ex_style, kind.name, std::wstring(control->caption).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        qm::Pixels(place.left, dpi), qm::Pixels(place.top, dpi), qm::Pixels(place.width, dpi),
        qm::Pixels(place.height, dpi), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(qm::ControlId(control->name))), instance, nullptr);
    if (created == nullptr)
      return 1;
    ::SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[control->font]), FALSE);
  }
  RECT outer{0, 0, qm::Pixels(qm::kClientWidthTwips, dpi), qm::Pixels(qm::kClientHeightTwips, dpi)};
  ::AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0, dpi);
  ::SetWindowPos(window, nullptr, qm::Pixels(qm::kClientLeftTwips, dpi), qm::Pixels(qm::kClientTopTwips, dpi),
                 outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  ::SetWindowTextW(::GetDlgItem(window, qm::ControlId(L"lblStatus")), L"Status: OK.");
  return qm::bench::RunFloorMessages();
}
