// Stands in for a program the panel starts (terminal.exe, firefox.exe, MSINFO32.EXE, C:\Program.exe): appends
// its working folder as one line to "<its own path>.cwd", then one line to "<its own path>.log" telling how
// it was started, "<command line> | show=<n>" (-1 when no window mode was given), and ends.
#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

namespace {

// Appends the line in one write of UTF-8, so that a reader never sees half of it.
bool AppendLine(const std::wstring& path, const std::wstring& line) {
  std::string bytes(line.size() * 3 + 1, '\0');
  bytes.resize(::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
  bytes += '\n';
  qm::UniqueHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring self(32768, L'\0');
  self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  std::wstring folder(32768, L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  STARTUPINFOW startup{};
  ::GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  const bool logged =
      AppendLine(self + L".cwd", folder) &&
      AppendLine(self + L".log", std::wstring(::GetCommandLineW()) + L" | show=" + std::to_wstring(show));
  return logged ? 0 : 1;
}
