#pragma once
// Drives windows and processes the way a user and the system would: finds windows by process, class, title
// and control identifier, reads and sets their text, presses buttons, answers dialog boxes, and starts, waits
// for and ends processes. It acts only through window messages and process handles, so it serves a window
// of this process (with its queue pumped) and one of another process alike; nothing here calls into the
// panel's code.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace qm::test {

// How long any one wait may take. Generous, because a loaded machine may take seconds to start a Wine
// process; a passing run never waits this long.
inline constexpr ULONGLONG kPatienceMs = 30000;

// Polls `done` every `poll_ms` until it holds or `patience_ms` has passed; false when it never held. A timing
// tool polls every millisecond, or with 0 only yields between polls.
bool WaitUntil(const std::function<bool()>& done, ULONGLONG patience_ms = kPatienceMs, DWORD poll_ms = 20);
// Dispatches the messages queued for this thread.
void PumpMessages();
// Runs `pump` (the queue of this thread, by default) while it waits for `done`; false when it never held.
bool PumpUntil(const std::function<bool()>& done, ULONGLONG patience_ms = kPatienceMs,
               const std::function<void()>& pump = PumpMessages);

// A Unix path handed over by the build ("/x/y") in Wine's form for it ("Z:\x\y"); other paths unchanged.
std::wstring WindowsPath(const std::string& path);
// The environment variable's value in Wine's form, or empty when it is not set.
std::wstring PathFromEnvironment(const char* name);

// --- Processes
// ----------------------------------------------------------------------------------------------

// One argument quoted so that the C runtime's command-line parser gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument);
// The path of a program built beside the running test program.
std::wstring SiblingProgram(const std::wstring& file_name);

// A manual-reset event with a name unique to this process and `purpose`, for handing to a helper program.
class NamedEvent {
 public:
  explicit NamedEvent(const std::wstring& purpose);
  const std::wstring& name() const { return name_; }
  HANDLE get() const { return event_.get(); }
  void Set() const { ::SetEvent(event_.get()); }

 private:
  std::wstring name_;
  UniqueHandle event_;
};

struct StartOptions {
  // False: the program's bare path leads the command line, unquoted, as the panel starts the terminal.
  bool quote_program = true;
  // The window mode the program is asked to start in (STARTF_USESHOWWINDOW); -1 for the system's default.
  int show = -1;
};

// A process this program started or found, ended when the owner goes unless it has ended already, so that a
// failing test leaves nothing running.
class ProcessGuard {
 public:
  ProcessGuard() = default;
  // Takes over a process handle (may be null).
  explicit ProcessGuard(HANDLE process);
  ProcessGuard(ProcessGuard&&) = default;
  // Ends the process held so far before taking over the other one.
  ProcessGuard& operator=(ProcessGuard&& other) noexcept;
  ~ProcessGuard();

  // Starts `program` with each of `arguments` quoted; an empty guard when it cannot be started. The child
  // inherits this process's environment and working folder.
  static ProcessGuard Start(const std::wstring& program, const std::vector<std::wstring>& arguments = {},
                            StartOptions options = {});
  // Opens the process that owns `window`, so that it can be ended.
  static ProcessGuard OfWindow(HWND window);

  bool running() const;
  DWORD id() const { return id_; }
  // The process handle, for reading the process from outside; null for an empty guard.
  HANDLE handle() const { return process_.get(); }
  // Waits (bounded) for the process to end by itself; true when it did.
  bool WaitForExit(ULONGLONG patience_ms = kPatienceMs) const;
  // The exit code once the process has ended within `patience_ms`, STILL_ACTIVE when it has not.
  DWORD ExitCode(ULONGLONG patience_ms = 0) const;
  // Waits until `event` is set or the process ends; true when the event was set.
  bool WaitForSignal(const NamedEvent& event, ULONGLONG patience_ms = kPatienceMs) const;
  void Terminate();

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// A helper program the test cannot go on without: throws when it cannot be started.
class PeerProcess : public ProcessGuard {
 public:
  PeerProcess(const std::wstring& program, const std::vector<std::wstring>& arguments);
};

// --- Windows
// ------------------------------------------------------------------------------------------------

struct WindowSearch {
  DWORD process_id = 0;          // 0 for any process
  bool other_processes = false;  // only windows of processes other than this one
  std::wstring class_name;       // empty for any class
  std::wstring title;            // empty for any title
  bool title_is_start = false;   // the title only starts with `title`
};
// The first visible top-level window that matches; null when there is none.
HWND FindTopWindow(const WindowSearch& search);
HWND FindTopWindow(DWORD process_id, const std::wstring& class_name);
HWND FindWindowByTitleStart(const std::wstring& title_start);
// The descendant of `parent` with the control identifier `id`, however deep frames nest it; null when none.
HWND FindDescendant(HWND parent, int id);
// Waits for a visible dialog box (#32770) that `owner` owns, a message box or the Open dialog, with this
// thread's queue pumped meanwhile; null when none came.
HWND WaitForDialogBox(HWND owner, ULONGLONG patience_ms = kPatienceMs);

std::wstring ClassOf(HWND window);
// The window's text through WM_GETTEXT, which Wine carries across processes.
std::wstring TextOf(HWND window);
// Sets the text through WM_SETTEXT, as typing it would; false when the window did not answer.
bool SetText(HWND window, const std::wstring& text);
// Presses the button and returns once its click has been handled; false when the window did not answer in
// time (a modal box it opened, for example).
bool Click(HWND button);
// Presses the button without waiting, for a click that opens a modal dialog.
bool PostClick(HWND button);

// Fills the file name of the Open dialog that `owner_process` shows and presses Open. Waits (bounded) for the
// dialog to appear and to go. Returns an empty text on success, or what went wrong.
std::wstring ChooseInOpenDialog(DWORD owner_process, const std::wstring& path);

}  // namespace qm::test
