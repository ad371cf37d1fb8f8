// frmMain's keyboard: moving between the controls, an option group's arrow keys, keys that press nothing,
// the selection of options however it is made, and the program's message loop that hands keys to them.

#include <windows.h>

#include "actions/actions.h"
#include "ui/frmMain.h"
#include "ui/main_layout.h"

namespace qm {

// The dialog manager asks for the next control this way on some systems; a plain window must answer itself.
void frmMain::OnNextControl(WPARAM wparam, LPARAM lparam) {
  HWND next = LOWORD(lparam) != 0 ? reinterpret_cast<HWND>(wparam)
                                  : ::GetNextDlgTabItem(hwnd(), ::GetFocus(), wparam != 0);
  if (next == nullptr)
    return;
  ::SetFocus(next);
  if (::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    ::SendMessageW(next, EM_SETSEL, 0, -1);
}

bool frmMain::PreTranslateMessage(MSG& message) {
  HWND window = hwnd();
  if (window == nullptr || (message.hwnd != window && !::IsChild(window, message.hwnd)))
    return false;
  // No default and no cancel button: Enter and Escape press nothing, whichever control has the focus.
  const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
  if (key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE))
    return true;
  const bool arrow =
      message.message == WM_KEYDOWN && (message.wParam == VK_LEFT || message.wParam == VK_RIGHT ||
                                        message.wParam == VK_UP || message.wParam == VK_DOWN);
  const bool handled = ::IsDialogMessageW(window, &message) != FALSE;
  // An arrow key moves the focus within an option group, and the selection follows it. Some systems' option
  // buttons also report a click when they get the focus, others do not; selecting the selected option
  // changes nothing, so the option change runs once either way.
  if (arrow && hwnd() != nullptr)
    RunTrapped([this] { SelectFocusedOption(); });
  return handled;
}

void frmMain::SelectFocusedOption() {
  HWND focus = ::GetFocus();
  const ControlLayout* focused = FindControl(::GetDlgCtrlID(focus));
  if (focused != nullptr && focused->role.option && Control(focused->name) == focus)
    Select(*focused->role.option);
}

// A click, an arrow key or code: the option change runs once, after the selection has changed. A click on
// the option that is already selected changes nothing and so runs nothing.
void frmMain::Select(Option option) {
  if (IsSelected(option))
    return;
  const ControlLayout* chosen = FindControl(option);
  const ControlLayout* partner = chosen != nullptr ? PartnerOf(*chosen) : nullptr;
  if (partner == nullptr)
    return;
  HWND on = Control(chosen->name);
  HWND off = Control(partner->name);
  ::SendMessageW(off, BM_SETCHECK, BST_UNCHECKED, 0);
  ::SendMessageW(on, BM_SETCHECK, BST_CHECKED, 0);
  // Tab reaches a group through its selected option.
  ::SetWindowLongPtrW(off, GWL_STYLE,
                      ::GetWindowLongPtrW(off, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_TABSTOP));
  ::SetWindowLongPtrW(on, GWL_STYLE, ::GetWindowLongPtrW(on, GWL_STYLE) | WS_TABSTOP);
  OptionChanged(*this);
}

int RunMessageLoop(frmMain& window) {
  MSG message;
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0)
      return static_cast<int>(message.wParam);
    if (got == -1)
      return 1;
    if (window.PreTranslateMessage(message))
      continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace qm
