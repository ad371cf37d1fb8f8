// Start-up in paired rounds: each program started, timed to its window shown and, for a window with a status
// line, to that line holding a text and the window answering a message (its start-up has ended and it waits
// for input), then ended before the next one starts.

#include <windows.h>

#include "bench_clock.h"
#include "bench_modes.h"
#include "footprint.h"
#include "ui/main_layout.h"
#include "watched_program.h"

namespace qm::bench {
namespace {

enum Measure : size_t { kShown, kAnswering, kFirstReport };

}  // namespace

int Startup(const std::vector<NamedProgram>& programs, const RoundLimits& limits) {
  std::vector<std::string> names;
  for (const NamedProgram& program : programs)
    names.push_back(program.name);
  PairedRounds rounds(names, {"shown", "answering", "first_report"});
  const size_t measured = programs.size() - 1;
  Footprint footprint;
  bool counted = false;
  const auto start = [&](size_t index) {
    const double started = NowMs();
    test::ProcessGuard program = test::ProcessGuard::Start(programs[index].path);
    if (program.id() == 0)
      Fail("cannot start the program (error " + std::to_string(::GetLastError()) + ")");
    HWND main = WaitForWindow(program);
    const double shown = NowMs() - started;
    HWND status_line = ::GetDlgItem(main, ControlId(L"lblStatus"));
    const Answer answer = status_line != nullptr ? WaitForAnswer(program, main, status_line) : Answer{};
    if (counted) {
      rounds.Record(index, kShown, shown);
      if (status_line != nullptr)
        rounds.Record(index, kAnswering, answer.answered_ms - started);
      // Only the program measured: the floors report at once, and the time to it is no figure of theirs.
      if (status_line != nullptr && index == measured)
        rounds.Record(index, kFirstReport, answer.first_report_ms - started);
    }
    if (index == measured)
      footprint = ReadFootprint(program.handle());
    // Ended rather than closed: without a window manager Wine waits some 2 s for a managed window to go,
    // which would be most of a round's time.
    program.Terminate();
  };
  // One start of each, not counted, warms the prefix and the file cache for all alike.
  for (size_t index = 0; index < programs.size(); ++index)
    start(index);
  counted = true;
  rounds.Run(limits, start);
  rounds.Print();
  PrintFootprint("footprint", footprint);
  return 0;
}

}  // namespace qm::bench
