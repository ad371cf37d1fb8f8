#include "platform/open_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

namespace qm {
namespace {

// Room for the longest path the system accepts (\\?\ paths of up to 32767 characters).
constexpr DWORD kPathBufferLength = 32768;

}  // namespace

OpenDialogResult ShowOpenDialog(HWND owner) {
  std::vector<wchar_t> buffer(kPathBufferLength, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kPathBufferLength;
  // Exchange paths without a drive resolve against the current folder, so browsing must not move it; the
  // read-only box means nothing for a file that is only named, never opened.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

  OpenDialogResult result;
  if (::GetOpenFileNameW(&dialog)) {
    result.end = OpenDialogResult::End::Chosen;
    result.path.assign(buffer.data());
    return result;
  }
  result.dialog_error = ::CommDlgExtendedError();
  result.end = result.dialog_error == 0 ? OpenDialogResult::End::Cancelled : OpenDialogResult::End::Failed;
  return result;
}

}  // namespace qm
