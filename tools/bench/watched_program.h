#pragma once
// A program the benchmark starts and watches from outside through tests/support's process and window driver:
// its shown window, its status line read without a message (a program busy in its start-up cannot answer
// one, and the moment the text changes is what is timed), its answer to a message, and its end. Every wait
// polls every millisecond and fails when the program ends or a hung program outlasts the patience.

#include <windows.h>

#include <functional>
#include <string>

#include "support/window_driver.h"

namespace qm::bench {

// Far beyond any start or press; only a hung program reaches it.
inline constexpr ULONGLONG kPatienceMs = 60000;

[[noreturn]] void Fail(const std::string& what);

// Waits until `done` holds, looking every `poll_ms` (0: without sleeping); fails when `program` ends first.
// The program is looked at, a request to the Wine server that also serves it, once a millisecond at most.
void WaitWhileRunning(const test::ProcessGuard& program, const std::function<bool()>& done,
                      DWORD poll_ms = 1);

// The program's first visible top-level window, once it has one.
HWND WaitForWindow(const test::ProcessGuard& program);

// The window's control `name` from the panel's layout table; fails when there is none.
HWND ControlOf(HWND main, const wchar_t* name);

// The text the window holds, read without sending it a message.
std::wstring HeldText(HWND control);

struct Answer {
  double first_report_ms;  // when the status line first held a text
  double answered_ms;      // when the window then answered a message: its start-up has ended
};
Answer WaitForAnswer(const test::ProcessGuard& program, HWND main, HWND status_line);

}  // namespace qm::bench
