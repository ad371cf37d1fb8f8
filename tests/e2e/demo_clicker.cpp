// Plays the demo's first minutes for the README's picture: in the running panel, chooses the Expert Advisor
// given on the command line in the Open dialog, waits for the stand-in terminal, presses BUY and waits until
// the terminal has journaled it. The two windows are put side by side first, so one picture shows both. Exit
// code 0 when all of that happened; otherwise what went wrong on stderr.
//
//   demo_clicker.exe C:\QuenmarelDemo\MT4\MQL4\Experts\Kelvarinth_V10x.ex4

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/window_driver.h"
#include "ui/main_layout.h"

namespace {

int Fail(const std::wstring& what) {
  std::fwprintf(stderr, L"demo_clicker: %ls\n", what.c_str());
  return 1;
}

bool JournalHasLine(const std::wstring& journal) {
  const qm::UniqueHandle file(::CreateFileW(journal.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  return file && ::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0;
}

// The panel at the top left, the terminal beside it at the panel's height, as a user would arrange them.
void PlaceSideBySide(HWND panel, HWND terminal) {
  constexpr int kGap = 8;
  RECT place{};
  ::GetWindowRect(panel, &place);
  ::SetWindowPos(panel, nullptr, kGap, kGap, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  ::SetWindowPos(terminal, nullptr, kGap + width + kGap, kGap, 700, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace qm::test;
  if (argc != 2)
    return Fail(L"usage: demo_clicker.exe EXPERT_ADVISOR_PATH");
  const std::wstring expert = argv[1];
  // The data folder is the Expert Advisor's path less \MQL4\Experts\Kelvarinth_V10x.ex4 (33 characters).
  if (expert.size() <= 33)
    return Fail(L"the Expert Advisor path is too short for a data folder");
  const std::wstring journal = expert.substr(0, expert.size() - 33) + L"\\journal.txt";

  HWND panel = nullptr;
  if (!WaitUntil([&] { return (panel = FindWindowByTitleStart(qm::MainWindowTitle())) != nullptr; }))
    return Fail(L"no panel window");
  DWORD panel_process = 0;
  ::GetWindowThreadProcessId(panel, &panel_process);
  if (!WaitUntil([&] { return TextOf(FindDescendant(panel, qm::ControlId(L"lblStatus"))) != L"lblStatus"; }))
    return Fail(L"the panel did not finish starting");
  if (!PostClick(FindDescendant(panel, qm::ControlId(L"cmdFileLocation"))))
    return Fail(L"no Expert Advisor button");
  const std::wstring problem = ChooseInOpenDialog(panel_process, expert);
  if (!problem.empty())
    return Fail(problem);
  HWND terminal = nullptr;
  if (!WaitUntil([&] { return (terminal = FindWindowByTitleStart(L"Stand-in terminal - ")) != nullptr; }))
    return Fail(L"the stand-in terminal did not start");
  PlaceSideBySide(panel, terminal);
  const bool had_journal = JournalHasLine(journal);
  if (!Click(FindDescendant(panel, qm::ControlId(L"cmdBuy"))))
    return Fail(L"no answer to BUY");
  if (!had_journal && !WaitUntil([&] { return JournalHasLine(journal); }))
    return Fail(L"the stand-in terminal journaled nothing");
  return 0;
}
