// Stands in for a program the panel starts (terminal.exe, firefox.exe, MSINFO32.EXE, C:\Program.exe): appends
// one line to "<its own path>.log" telling how it was started, "<command line> | show=<n>" (-1 when no
// window mode was given), and ends.
#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring self(32768, L'\0');
  self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  STARTUPINFOW startup{};
  ::GetStartupInfoW(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  const std::wstring line = std::wstring(::GetCommandLineW()) + L" | show=" + std::to_wstring(show) + L"\n";
  std::string bytes(line.size() * 3, '\0');
  bytes.resize(::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
  // One write of the whole line, so a reader never sees half of it.
  qm::UniqueHandle log(::CreateFileW((self + L".log").c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return log && ::WriteFile(log.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ? 0
                                                                                                          : 1;
}
