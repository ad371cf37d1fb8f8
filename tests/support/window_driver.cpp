#include "support/window_driver.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "ui/child_controls.h"

namespace qm::test {
namespace {

// Long enough for an action that reads the vendor database; a window that takes longer has hung or opened a
// modal box.
constexpr UINT kAnswerMs = 20000;
// The Open dialog's file-name combo box (cmb13) and the edit control of the older dialog (edt1).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM lparam) {
  auto& [search, found] = *reinterpret_cast<std::pair<const WindowSearch&, HWND>*>(lparam);
  if (!::IsWindowVisible(window))
    return TRUE;
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if ((search.process_id != 0 && owner != search.process_id) ||
      (search.other_processes && owner == ::GetCurrentProcessId()))
    return TRUE;
  if (!search.class_name.empty() && ClassOf(window) != search.class_name)
    return TRUE;
  if (!search.title.empty()) {
    const std::wstring title = TextOf(window);
    if (search.title_is_start ? !title.starts_with(search.title) : title != search.title)
      return TRUE;
  }
  found = window;
  return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, ULONGLONG patience_ms, DWORD poll_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + patience_ms;
  while (!done()) {
    if (::GetTickCount64() > deadline)
      return false;
    ::Sleep(poll_ms);
  }
  return true;
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

bool PumpUntil(const std::function<bool()>& done, ULONGLONG patience_ms, const std::function<void()>& pump) {
  const ULONGLONG deadline = ::GetTickCount64() + patience_ms;
  for (pump(); !done(); pump()) {
    if (::GetTickCount64() > deadline)
      return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
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

std::wstring QuoteArgument(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only before a quote: double them there, keep them elsewhere.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::wstring SiblingProgram(const std::wstring& file_name) {
  std::wstring self(32768, L'\0');
  self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return self.substr(0, self.find_last_of(L'\\') + 1) + file_name;
}

NamedEvent::NamedEvent(const std::wstring& purpose) {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  name_ = L"qm-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + purpose + L"-" +
          std::to_wstring(now.QuadPart);
  event_.reset(::CreateEventW(nullptr, TRUE, FALSE, name_.c_str()));
  if (!event_)
    throw std::runtime_error("CreateEventW failed");
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

ProcessGuard ProcessGuard::Start(const std::wstring& program, const std::vector<std::wstring>& arguments,
                                 StartOptions options) {
  std::wstring command_line = options.quote_program ? QuoteArgument(program) : program;
  for (const std::wstring& argument : arguments)
    command_line += L" " + QuoteArgument(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (options.show >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(options.show);
  }
  PROCESS_INFORMATION info{};
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

DWORD ProcessGuard::ExitCode(ULONGLONG patience_ms) const {
  DWORD code = STILL_ACTIVE;
  if (process_ && WaitForExit(patience_ms))
    ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool ProcessGuard::WaitForSignal(const NamedEvent& event, ULONGLONG patience_ms) const {
  const HANDLE either[] = {event.get(), process_.get()};
  return ::WaitForMultipleObjects(2, either, FALSE, static_cast<DWORD>(patience_ms)) == WAIT_OBJECT_0;
}

void ProcessGuard::Terminate() {
  if (running()) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
  }
  process_.reset();
}

PeerProcess::PeerProcess(const std::wstring& program, const std::vector<std::wstring>& arguments)
    : ProcessGuard(Start(program, arguments)) {
  if (!running() && id() == 0)
    throw std::runtime_error("cannot start a helper program");
}

HWND FindTopWindow(const WindowSearch& search) {
  std::pair<const WindowSearch&, HWND> state{search, nullptr};
  ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&state));
  return state.second;
}

HWND FindTopWindow(DWORD process_id, const std::wstring& class_name) {
  WindowSearch search;
  search.process_id = process_id;
  search.class_name = class_name;
  return FindTopWindow(search);
}

HWND FindWindowByTitleStart(const std::wstring& title_start) {
  WindowSearch search;
  search.title = title_start;
  search.title_is_start = true;
  return FindTopWindow(search);
}

HWND FindDescendant(HWND parent, int id) {
  std::pair<int, HWND> search{id, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND window, LPARAM lparam) -> BOOL {
        auto& s = *reinterpret_cast<std::pair<int, HWND>*>(lparam);
        if (::GetDlgCtrlID(window) != s.first)
          return TRUE;
        s.second = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND WaitForDialogBox(HWND owner, ULONGLONG patience_ms) {
  HWND box = nullptr;
  PumpUntil(
      [&] {
        for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr;) {
          if (::GetWindow(w, GW_OWNER) == owner && ::IsWindowVisible(w))
            box = w;
        }
        return box != nullptr;
      },
      patience_ms);
  return box;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  ::GetClassNameW(window, name, 128);
  return name;
}

std::wstring TextOf(HWND window) {
  // A window of this thread answers in the call itself, as the panel reads its own labels. Sent through
  // SendMessageTimeout, Wine 10 puts a text of a megabyte on the stack of the callback and overflows it.
  if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId())
    return WindowText(window);
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length))
    return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kAnswerMs, &copied)) {
    return L"<no answer>";
  }
  text.resize(copied);
  return text;
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

}  // namespace qm::test
