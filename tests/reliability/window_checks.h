#pragma once
// What the reliability tests ask of the real main window after a fault: the last status report, what a label
// shows, and whether Send Parameters still writes its files and reports success.

#include <windows.h>

#include <string>

#include "support/temp_folder.h"
#include "ui/main_window_fixture.h"

namespace qm::test {

inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The last text an action wrote on the status line: its own report, "<none>" when it wrote none.
inline std::wstring LastStatus(const Events& events) {
  for (auto event = events.rbegin(); event != events.rend(); ++event) {
    if (event->starts_with(L"status "))
      return event->substr(7);
  }
  return L"<none>";
}

// Send Parameters with `pair` in txtPair writes mypair.txt with it (4 digits, back-test selected) and ends
// with "Status: OK.".
inline bool SendParametersWorks(MainWindowTest& test, const std::wstring& pair) {
  test.SetText(L"txtPair", pair);
  test.Forget();
  test.Click(L"cmdSendParameters");
  const Events events = test.Recorded();
  bool wrote = false;
  for (const std::wstring& event : events)
    wrote = wrote || event == L"file MT4\\tester\\files\\mypair.txt";
  std::string expected(pair.begin(), pair.end());
  return wrote && !events.empty() && events.back() == L"status Status: OK." &&
         ReadBytes(test.temp / L"MT4\\tester\\files\\mypair.txt") == expected + "\r\n";
}

}  // namespace qm::test
