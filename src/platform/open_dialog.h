#pragma once
// The system's Open dialog, used only to obtain the full path of one file. Nothing is preset: the system's
// own title, all files listed, the system's default folder, an empty file name.

#include <string>

struct HWND__;

namespace qm {

struct OpenDialogResult {
  enum class End { Chosen, Cancelled, Failed };

  End end = End::Cancelled;
  std::wstring path;               // Chosen: the chosen file's full path
  unsigned long dialog_error = 0;  // Failed: the dialog's own error code (CommDlgExtendedError)
};

// Shows the dialog modally over `owner` (may be null) and waits for the user. The process's current folder
// stays as it was, whatever folder the user browses to.
OpenDialogResult ShowOpenDialog(HWND__* owner);

}  // namespace qm
