// frmMain as the panel the click sequences see: the boxes and options they read, the status line and the
// path box they write, the message box and the Open dialog they show.

#include <windows.h>

#include "platform/open_dialog.h"
#include "ui/application_title.h"
#include "ui/frmMain.h"
#include "ui/main_layout.h"

namespace qm {

void ShowOkMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
  ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK);
}

std::wstring frmMain::Text(Field field) const {
  const ControlLayout* box = FindControl(field);
  return box == nullptr ? std::wstring() : WindowText(Control(box->name));
}

bool frmMain::IsSelected(Option option) const {
  const ControlLayout* button = FindControl(option);
  return button != nullptr && ::SendMessageW(Control(button->name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Only the click sequences report through here; a connect report asked for earlier is no longer shown.
void frmMain::SetStatus(const std::wstring& text) {
  status_line_->Show(text);
  if (vendor_)
    vendor_->NoteActionReport();
}

void frmMain::SetFileLocation(const std::wstring& text) {
  ::SetWindowTextW(Control(L"txtFileLocation"), text.c_str());
}

void frmMain::ShowMessage(const std::wstring& text) {
  message_box_(hwnd(), text, kApplicationTitle);
}

OpenDialogResult frmMain::AskForFile() {
  return ShowOpenDialog(hwnd());
}

}  // namespace qm
