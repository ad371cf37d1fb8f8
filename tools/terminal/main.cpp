// The stand-in MetaTrader 4 terminal: it finds its data folder as the terminal does (its own folder when it
// runs portable, else the one below the user's application data that belongs to its folder), consumes the
// panel's command files there and journals each one. One instance per data folder: the panel starts
// terminal.exe again on every Expert Advisor choice, and two consumers of one folder would race for each
// file.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "platform/unique_handle.h"
#include "terminal/command_journal.h"
#include "terminal/data_folder.h"
#include "terminal/terminal_window.h"

namespace {

// Only an argument that names itself overrides the data folder: a command line of the bare, unquoted path
// splits into several arguments when the folder holds blanks.
constexpr std::wstring_view kDataFolderOption = L"--data-folder=";
// As for the terminal: the data folder is the program's own folder.
constexpr std::wstring_view kPortableOption = L"/portable";

class ArgumentList {
 public:
  ArgumentList() : argv_(::CommandLineToArgvW(::GetCommandLineW(), &argc_)) {}
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  ~ArgumentList() {
    if (argv_)
      ::LocalFree(argv_);
  }
  int size() const { return argv_ ? argc_ : 0; }
  std::wstring_view operator[](int i) const { return argv_[i]; }

 private:
  int argc_ = 0;
  LPWSTR* argv_;
};

std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return L".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? L"." : path.substr(0, cut);
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    return path;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed)
    return path;
  full.resize(length);
  // "C:\" keeps its backslash; every other folder is named without one.
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
    full.pop_back();
  return full;
}

bool IsPortableOption(std::wstring_view argument) {
  return argument.size() == kPortableOption.size() &&
         ::CompareStringOrdinal(argument.data(), static_cast<int>(argument.size()), kPortableOption.data(),
                                static_cast<int>(kPortableOption.size()), TRUE) == CSTR_EQUAL;
}

std::wstring DataFolder() {
  const ArgumentList arguments;
  bool portable = false;
  for (int i = 1; i < arguments.size(); ++i) {
    if (arguments[i].starts_with(kDataFolderOption) && arguments[i].size() > kDataFolderOption.size()) {
      return FullPath(std::wstring(arguments[i].substr(kDataFolderOption.size())));
    }
    portable = portable || IsPortableOption(arguments[i]);
  }
  return qm::terminal::DataFolderOf(FullPath(OwnFolder()), portable);
}

// Brings the window of the instance that already serves this data folder to the front.
void ShowRunningInstance(const std::wstring& data_folder) {
  const HWND running =
      ::FindWindowW(qm::terminal::kWindowClass, qm::terminal::WindowTitle(data_folder).c_str());
  if (!running)
    return;
  if (::IsIconic(running))
    ::ShowWindow(running, SW_RESTORE);
  ::SetForegroundWindow(running);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const std::wstring data_folder = DataFolder();
  const qm::UniqueHandle lock(
      ::CreateMutexW(nullptr, FALSE, qm::terminal::InstanceLockName(data_folder).c_str()));
  if (lock && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    ShowRunningInstance(data_folder);
    return 0;
  }
  return qm::terminal::RunTerminalWindow(instance, data_folder, show);
}
