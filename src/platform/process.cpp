#include "platform/process.h"

#include <windows.h>

#include "platform/unique_handle.h"

namespace qm {
namespace {

bool IsBareName(std::wstring_view program) {
  return !program.empty() && program.find_first_of(L"\\/:") == std::wstring_view::npos;
}

std::wstring WindowsFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = ::GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0)
      return L"C:\\Windows";
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    folder.resize(length);
  }
}

}  // namespace

std::wstring ProgramPath(std::wstring_view program) {
  if (!IsBareName(program))
    return std::wstring(program);
  std::wstring path = WindowsFolder();
  if (!path.empty() && path.back() != L'\\')
    path += L'\\';
  path += program;
  return path;
}

std::wstring CommandLineFor(std::wstring_view program_path, std::wstring_view arguments) {
  std::wstring line;
  line.reserve(program_path.size() + arguments.size() + 3);
  line += L'"';
  line += program_path;
  line += L'"';
  if (!arguments.empty()) {
    line += L' ';
    line += arguments;
  }
  return line;
}

Outcome StartProgram(std::wstring_view program, std::wstring_view arguments, WindowMode mode,
                     std::wstring_view working_folder) {
  const std::wstring path = ProgramPath(program);
  if (path.empty())
    return RuntimeFailure(err::kFileNotFound);
  // The system reads both texts only up to a NUL, which would start something other than what was named.
  if (path.find(L'\0') != std::wstring::npos || arguments.find(L'\0') != std::wstring_view::npos ||
      working_folder.find(L'\0') != std::wstring_view::npos) {
    return FailureFromWin32(ERROR_INVALID_NAME);
  }
  const std::wstring folder(working_folder);
  std::wstring command_line = CommandLineFor(path, arguments);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = mode == WindowMode::NormalWithFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    const DWORD error = ::GetLastError();
    // A program that cannot be found is reported as File not found, whichever part of its path is missing.
    return FailureFromWin32(error == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : error);
  }
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return std::nullopt;
}

}  // namespace qm
