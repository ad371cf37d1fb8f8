#include "e2e/panel_driver.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace qm::e2e {
namespace {

// Long enough for an action that reads the vendor database; a click that takes longer has hung or opened a
// modal box.
constexpr UINT kAnswerMs = 20000;
// The Open dialog's file-name combo box (cmb13) and the edit control of the older dialog (edt1).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

struct TopWindowSearch {
  DWORD process_id;
  std::wstring class_name;
  std::wstring title_start;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM lparam) {
  auto& search = *reinterpret_cast<TopWindowSearch*>(lparam);
  if (!::IsWindowVisible(window))
    return TRUE;
  if (search.process_id != 0) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.process_id)
      return TRUE;
  }
  if (!search.class_name.empty() && ClassOf(window) != search.class_name)
    return TRUE;
  if (!search.title_start.empty() && !TextOf(window).starts_with(search.title_start))
    return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindTop(TopWindowSearch search) {
  ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, ULONGLONG patience_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + patience_ms;
  while (!done()) {
    if (::GetTickCount64() > deadline)
      return false;
    ::Sleep(50);
  }
  return true;
}

std::wstring WindowsPath(const std::string& path) {
  std::wstring wide(path.begin(), path.end());
  if (wide.starts_with(L"/")) {
    wide = L"Z:" + wide;
    for (wchar_t& c : wide) {
      if (c == L'/')
        c = L'\\';
    }
  }
  return wide;
}

std::wstring PathFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? WindowsPath(value) : std::wstring();
}

ProcessGuard::ProcessGuard(HANDLE process) : process_(process), id_(process ? ::GetProcessId(process) : 0) {}

ProcessGuard::~ProcessGuard() {
  Terminate();
}

ProcessGuard& ProcessGuard::operator=(ProcessGuard&& other) noexcept {
  if (this != &other) {
    Terminate();
    process_ = std::move(other.process_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

ProcessGuard ProcessGuard::Start(const std::wstring& program) {
  std::wstring command_line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // The child inherits this process's environment and working folder: ODBCSYSINI and the folder in which the
  // SQLite driver opens the vendor database.
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return ProcessGuard();
  }
  const UniqueHandle thread(info.hThread);
  return ProcessGuard(info.hProcess);
}

ProcessGuard ProcessGuard::OfWindow(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  if (id == 0)
    return ProcessGuard();
  return ProcessGuard(
      ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
}

bool ProcessGuard::running() const {
  return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ProcessGuard::WaitForExit(ULONGLONG patience_ms) const {
  return !process_ || ::WaitForSingleObject(process_.get(), static_cast<DWORD>(patience_ms)) == WAIT_OBJECT_0;
}

void ProcessGuard::Terminate() {
  if (running()) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
}

HWND FindTopWindow(DWORD process_id, const std::wstring& class_name) {
  return FindTop({process_id, class_name, L""});
}

HWND FindWindowByTitleStart(const std::wstring& title_start) {
  return FindTop({0, L"", title_start});
}

HWND FindDescendant(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND window, LPARAM lparam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lparam);
        if (::GetDlgCtrlID(window) != s.id)
          return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  return name;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length))
    return L"<no answer>";
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kAnswerMs, &copied)) {
    return L"<no answer>";
  }
  return std::wstring(text.data(), copied);
}

bool SetText(HWND window, const std::wstring& text) {
  DWORD_PTR result = 0;
  return window && ::SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                         SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
}

bool Click(HWND button) {
  DWORD_PTR result = 0;
  return button && ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
}

bool PostClick(HWND button) {
  return button && ::PostMessageW(button, BM_CLICK, 0, 0);
}

std::wstring ChooseInOpenDialog(DWORD owner_process, const std::wstring& path) {
  HWND dialog = nullptr;
  if (!WaitUntil([&] { return (dialog = FindTopWindow(owner_process, L"#32770")) != nullptr; }))
    return L"no Open dialog appeared";
  HWND name_box = nullptr;
  if (!WaitUntil([&] {
        name_box = FindDescendant(dialog, kFileNameCombo);
        if (!name_box)
          name_box = FindDescendant(dialog, kFileNameEdit);
        return name_box != nullptr;
      })) {
    return L"the Open dialog has no file-name box";
  }
  // The combo box's own edit control is what the dialog reads when Open is pressed.
  if (ClassOf(name_box) == L"ComboBox" || ClassOf(name_box) == L"ComboBoxEx32") {
    if (HWND edit = ::FindWindowExW(name_box, nullptr, L"Edit", nullptr))
      name_box = edit;
  }
  if (!SetText(name_box, path) || TextOf(name_box) != path)
    return L"the file name could not be typed into the Open dialog";
  // Open, as the dialog's default button: the command it sends its dialog when pressed.
  const HWND open = FindDescendant(dialog, IDOK);
  if (!open)
    return L"the Open dialog has no Open button";
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(open));
  if (!WaitUntil([&] { return !::IsWindow(dialog); })) {
    std::wstring shown;
    ::EnumWindows(
        [](HWND window, LPARAM lparam) -> BOOL {
          if (::IsWindowVisible(window))
            *reinterpret_cast<std::wstring*>(lparam) +=
                L" [" + ClassOf(window) + L": " + TextOf(window) + L"]";
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return L"the Open dialog stayed open; windows:" + shown;
  }
  return L"";
}

}  // namespace qm::e2e
