#pragma once
// Drives a running Quenmarel.exe from another process, as a user's clicks and keystrokes would: it finds the
// windows by title, class and control identifier and acts only through window messages. Nothing here calls
// into the panel's code; the layout table is read for control identifiers alone.

#include <windows.h>

#include <functional>
#include <string>

#include "platform/unique_handle.h"

namespace qm::e2e {

// How long any one wait may take. Generous, because a loaded machine may take seconds to start a Wine
// process; a passing run never waits this long.
inline constexpr ULONGLONG kPatienceMs = 20000;

// Polls `done` until it holds or `patience_ms` has passed; false when it never held.
bool WaitUntil(const std::function<bool()>& done, ULONGLONG patience_ms = kPatienceMs);

// A Unix path handed over by the build ("/x/y") in Wine's form for it ("Z:\x\y"); other paths unchanged.
std::wstring WindowsPath(const std::string& path);
// The environment variable's value in Wine's form, or empty when it is not set.
std::wstring PathFromEnvironment(const char* name);

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

  // Starts `program` with its quoted path as the command line; an empty guard when it cannot be started.
  static ProcessGuard Start(const std::wstring& program);
  // Opens the process that owns `window`, so that it can be ended.
  static ProcessGuard OfWindow(HWND window);

  bool running() const;
  DWORD id() const { return id_; }
  // Waits (bounded) for the process to end by itself; true when it did.
  bool WaitForExit(ULONGLONG patience_ms = kPatienceMs) const;
  void Terminate();

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// The first visible top-level window of process `process_id` with class `class_name` (any class when empty);
// null when there is none.
HWND FindTopWindow(DWORD process_id, const std::wstring& class_name);
// The first visible top-level window whose title starts with `title_start`; null when there is none.
HWND FindWindowByTitleStart(const std::wstring& title_start);
// The descendant of `parent` with the control identifier `id`, however deep frames nest it; null when none.
HWND FindDescendant(HWND parent, int id);

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

}  // namespace qm::e2e
