#include "watched_program.h"

#include <cwchar>
#include <iterator>
#include <stdexcept>

#include "bench_clock.h"
#include "ui/main_layout.h"

namespace qm::bench {

void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

void WaitWhileRunning(const test::ProcessGuard& program, const std::function<bool()>& done, DWORD poll_ms) {
  bool ended = false;
  double next_look = NowMs();
  const bool held = test::WaitUntil(
      [&] {
        if (done())
          return true;
        if (const double now = NowMs(); now >= next_look) {
          ended = !program.running();
          next_look = now + 1;
        }
        return ended;
      },
      kPatienceMs, poll_ms);
  if (ended)
    Fail("the program ended on its own");
  if (!held)
    Fail("the program did not answer in time");
}

HWND WaitForWindow(const test::ProcessGuard& program) {
  test::WindowSearch search;
  search.process_id = program.id();
  HWND window = nullptr;
  WaitWhileRunning(program, [&] { return (window = test::FindTopWindow(search)) != nullptr; });
  return window;
}

HWND ControlOf(HWND main, const wchar_t* name) {
  HWND control = ::GetDlgItem(main, ControlId(name));
  if (control == nullptr)
    Fail("the window has no control " + std::string(name, name + std::wcslen(name)));
  return control;
}

std::wstring HeldText(HWND control) {
  wchar_t text[512] = {};
  const int length = ::InternalGetWindowText(control, text, static_cast<int>(std::size(text)));
  return std::wstring(text, static_cast<size_t>(length > 0 ? length : 0));
}

Answer WaitForAnswer(const test::ProcessGuard& program, HWND main, HWND status_line) {
  // Anything but the label's initial caption.
  WaitWhileRunning(program, [&] { return HeldText(status_line) != L"lblStatus"; });
  const double first_report = NowMs();
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(kPatienceMs), &ignored))
    Fail("the program did not answer after start-up");
  return {first_report, NowMs()};
}

}  // namespace qm::bench
