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

namespace {

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassOf(qm::ControlKind kind) {
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

int Pixels(int twips, UINT dpi) {
  return ::MulDiv(twips, static_cast<int>(dpi), qm::kTwipsPerInch);
}

HFONT MakeFont(int centipoints, int weight, UINT dpi) {
  return ::CreateFontW(-::MulDiv(centipoints, static_cast<int>(dpi), 7200), 0, 0, 0, weight, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, qm::kFontFace.data());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND window = qm::bench::CreateFloorWindow(instance, L"QuenmarelBenchControlsFloor",
                                             L"Quenmarel benchmark floor with controls");
  if (window == nullptr)
    return 1;
  const UINT dpi = ::GetDpiForWindow(window);
  const std::array<HFONT, 3> fonts{MakeFont(qm::kStandardFontCentipoints, FW_NORMAL, dpi),
                                   MakeFont(qm::kStandardFontCentipoints, FW_BOLD, dpi),
                                   MakeFont(qm::kLargeFontCentipoints, FW_BOLD, dpi)};
  for (const qm::ControlLayout* control : qm::CreationOrder()) {
    const ControlClass kind = ClassOf(control->kind);
    const qm::TwipRect place = qm::PlaceInWindow(*control);
    HWND created = ::CreateWindowExW(
        kind.ex_style, kind.name, std::wstring(control->caption).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        Pixels(place.left, dpi), Pixels(place.top, dpi), Pixels(place.width, dpi), Pixels(place.height, dpi),
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(qm::ControlId(control->name))), instance,
        nullptr);
    if (created == nullptr)
      return 1;
    ::SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[static_cast<size_t>(control->font)]),
                   FALSE);
  }
  RECT outer{0, 0, Pixels(qm::kClientWidthTwips, dpi), Pixels(qm::kClientHeightTwips, dpi)};
  ::AdjustWindowRectExForDpi(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0, dpi);
  ::SetWindowPos(window, nullptr, Pixels(qm::kClientLeftTwips, dpi), Pixels(qm::kClientTopTwips, dpi),
                 outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  ::SetWindowTextW(::GetDlgItem(window, qm::ControlId(L"lblStatus")), L"Status: OK.");
  const int ended = qm::bench::RunFloorMessages();
  for (HFONT font : fonts)
    ::DeleteObject(font);
  return ended;
}
