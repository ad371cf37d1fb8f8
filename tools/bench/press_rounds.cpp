// BUY presses in paired rounds: every program started once and its Expert Advisor path typed in, then in
// each round one press of each, as a trader's click reaches a window (a BN_CLICKED posted from another
// process), timed from the press to Buy.txt in place, to the press's handler returned and to the window
// answering again. Then the measured program's footprint over bursts of presses back to back.

#include <windows.h>

#include <optional>

#include "bench_clock.h"
#include "bench_modes.h"
#include "footprint.h"
#include "platform/file_system.h"
#include "support/action_files.h"
#include "support/temp_folder.h"
#include "ui/main_layout.h"
#include "watched_program.h"

namespace qm::bench {
namespace {

enum Measure : size_t { kInPlace, kAnswered, kFinished };

// Presses come no faster than a hand can press: whatever a window still does after a press (Wine reports
// it idle before its last repaint is drawn) is not counted in the next one.
constexpr DWORD kPauseBetweenPressesMs = 50;

// A program pressed from outside: its window, its BUY button and the exchange folder its presses write.
struct PressTarget {
  test::ProcessGuard program;
  HWND main = nullptr;
  HWND button = nullptr;
  std::wstring exchange_folder = {};  // with its trailing backslash
};

PressTarget ReadyForPresses(const NamedProgram& named) {
  PressTarget target{test::ProcessGuard::Start(named.path)};
  if (target.program.id() == 0)
    Fail("cannot start " + named.name);
  target.main = WaitForWindow(target.program);
  WaitForAnswer(target.program, target.main, ControlOf(target.main, L"lblStatus"));
  if (!test::SetText(ControlOf(target.main, L"txtFileLocation"),
                     named.data_folder + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4"))
    Fail(named.name + " did not take its Expert Advisor path");
  target.button = ControlOf(target.main, L"cmdBuy");
  // Backtest, as the load step selects it.
  target.exchange_folder = named.data_folder + L"\\tester\\files\\";
  return target;
}

WPARAM BuyPress() {
  return MAKEWPARAM(ControlId(L"cmdBuy"), BN_CLICKED);
}

void TimePress(const PressTarget& target, PairedRounds& rounds, size_t index) {
  const std::wstring buy = target.exchange_folder + L"Buy.txt";
  if (!::DeleteFileW(buy.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    Fail("cannot remove Buy.txt");
  // Polled without sleeping: a folder change notification under Wine comes through the Wine server and
  // arrives milliseconds late, longer than the whole press. A look at the file does not ask the Wine server.
  const double start = NowMs();
  ::PostMessageW(target.main, WM_COMMAND, BuyPress(), reinterpret_cast<LPARAM>(target.button));
  WaitWhileRunning(
      target.program, [&] { return test::FileExists(buy); }, 0);
  rounds.Record(index, kInPlace, NowMs() - start);
  // A sent message is taken only between handlers, so its answer comes once the press's handler has
  // returned; the press has ended when the window then waits for input again, its labels repainted.
  ::SendMessageW(target.main, WM_NULL, 0, 0);
  rounds.Record(index, kAnswered, NowMs() - start);
  ::WaitForInputIdle(target.program.handle(), static_cast<DWORD>(kPatienceMs));
  rounds.Record(index, kFinished, NowMs() - start);
  ::Sleep(kPauseBetweenPressesMs);
}

// Every program wrote what the first one wrote, byte for byte: a floor is a floor only while it does the
// panel's work.
void CheckSameFiles(const std::vector<PressTarget>& targets) {
  for (const PressTarget& target : targets) {
    if (HeldText(ControlOf(target.main, L"lblStatus")) != L"Status: OK.")
      Fail("the presses did not end with Status: OK.");
    for (const std::wstring& name : test::ActionNamed("Buy").files) {
      const std::optional<std::string> written = ReadSmallFile(target.exchange_folder + name, 64);
      if (!written || written != ReadSmallFile(targets.front().exchange_folder + name, 64))
        Fail("the programs did not write the same files");
    }
  }
}

// Presses back to back make the window ask while a refresh runs, which spaced presses never do. A handle
// the program takes once (the threads library makes a mutex's event at its first contention) shows in
// one burst only; a leak grows in every burst. So one burst warms, and growth counts only where each of
// the two bursts after it grew.
void PrintBursts(const PressTarget& target, int presses) {
  const auto burst = [&] {
    for (int i = 0; i < presses; ++i)
      ::SendMessageW(target.main, WM_COMMAND, BuyPress(), reinterpret_cast<LPARAM>(target.button));
    return SettledFootprint(target.program.handle());
  };
  PrintFootprint("footprint_warmed", burst());
  PrintFootprint("footprint_first_burst", burst());
  PrintFootprint("footprint_second_burst", burst());
  if (!test::FileExists(target.exchange_folder + L"Buy.txt"))
    Fail("the presses left no Buy.txt");
}

}  // namespace

int Presses(const std::vector<NamedProgram>& programs, const RoundLimits& limits, int leak_presses) {
  std::vector<std::string> names;
  std::vector<PressTarget> targets;
  for (const NamedProgram& program : programs) {
    names.push_back(program.name);
    targets.push_back(ReadyForPresses(program));
  }
  const PressTarget& measured = targets.back();
  const Footprint started = ReadFootprint(measured.program.handle());
  PairedRounds rounds(names, {"in_place", "answered", "finished"});
  rounds.Run(limits, [&](size_t index) { TimePress(targets[index], rounds, index); });
  CheckSameFiles(targets);
  rounds.Print();
  PrintFootprint("footprint_started", started);
  if (leak_presses > 0)
    PrintBursts(measured, leak_presses);
  // Whether a refresh reached the database (the stand-in's messages all start this way): the refreshes run
  // after their presses, so the label is read once all presses are over.
  const bool message_read =
      HeldText(ControlOf(measured.main, L"lblAds2")).starts_with(L"Public message number");
  PrintCount("leak_presses", leak_presses);
  PrintCount("press_pause_ms", kPauseBetweenPressesMs);
  PrintCount("public_message_read", message_read ? 1 : 0);
  return 0;
}

}  // namespace qm::bench
