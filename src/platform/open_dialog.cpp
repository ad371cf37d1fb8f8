#include "platform/open_dialog.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <vector>

namespace qm {
namespace {

// Room for the longest path the system accepts (\\?\ paths of up to 32767 characters).
constexpr DWORD kPathBufferLength = 32768;

// The dialog's library is loaded on first use, from the system folder only: it brings the shell's libraries
// with it, which a start of the panel does not need (under Wine they cost the start-up a few milliseconds).
struct DialogLibrary {
  decltype(&::GetOpenFileNameW) open = nullptr;
  decltype(&::CommDlgExtendedError) error = nullptr;
};

const DialogLibrary& LoadDialogLibrary() {
  static const DialogLibrary library = [] {
    DialogLibrary loaded;
    if (HMODULE module = ::LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
      loaded.open = reinterpret_cast<decltype(&::GetOpenFileNameW)>(
          reinterpret_cast<void*>(::GetProcAddress(module, "GetOpenFileNameW")));
      loaded.error = reinterpret_cast<decltype(&::CommDlgExtendedError)>(
          reinterpret_cast<void*>(::GetProcAddress(module, "CommDlgExtendedError")));
    }
    return loaded;
  }();
  return library;
}

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
  const DialogLibrary& library = LoadDialogLibrary();
  if (library.open == nullptr || library.error == nullptr) {
    result.end = OpenDialogResult::End::Failed;
    result.dialog_error = CDERR_INITIALIZATION;
    return result;
  }
  if (library.open(&dialog)) {
    result.end = OpenDialogResult::End::Chosen;
    result.path.assign(buffer.data());
    return result;
  }
  result.dialog_error = library.error();
  result.end = result.dialog_error == 0 ? OpenDialogResult::End::Cancelled : OpenDialogResult::End::Failed;
  return result;
}

}  // namespace qm
