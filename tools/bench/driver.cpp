// The benchmark driver: starts programs the way a user would, watches them from outside, presses their BUY
// buttons with window messages and reads the footprint of the one measured. Figures go to standard output as
// name=value. Programs come as NAME PROGRAM (and DATA_FOLDER for presses), the floors or the older tree first
// and the program measured last; they are timed in paired rounds (paired_rounds.h), LEAST at least and MOST
// at most, until the measured program's ratios to the one before it are known within 0.05.
//
//   bench_driver startup LEAST MOST NAME PROGRAM [NAME PROGRAM ...]
//       Starts each program in turn, once uncounted and then once a round, and times each from just before
//       CreateProcessW to its window shown and, for a window with lblStatus, to that label holding a text
//       and the window answering a message sent to it (it waits for input). Reads the footprint of the
//       measured program once its start-up has ended.
//   bench_driver clicks LEAST MOST LEAK_PRESSES NAME PROGRAM DATA_FOLDER [NAME PROGRAM DATA_FOLDER ...]
//       Starts each program, types the Expert Advisor path in DATA_FOLDER into its txtFileLocation and
//       presses BUY on each once a round, from a removed Buy.txt to a new one in DATA_FOLDER's back-test
//       exchange folder and on to the end of the press. Then presses the measured program's BUY
//       LEAK_PRESSES times back to back, three times (none for 0), and reads its footprint after each.
//   bench_driver serve hang|closed PORT_FILE
//       A vendor server on 127.0.0.1 for the panel's login (FreeTDS takes its address from TDSHOST and
//       TDSPORT): "hang" takes every connection and never answers, "closed" holds a port that refuses every
//       connection. Writes the port to PORT_FILE and serves until that file is removed, an hour at most;
//       "hang" writes the number of connections it has taken to PORT_FILE.taken.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>
#include <vector>

#include "bench_modes.h"
#include "platform/file_system.h"
#include "support/loopback_server.h"
#include "support/temp_folder.h"
#include "support/text.h"
#include "watched_program.h"

namespace {

using qm::bench::Fail;
using qm::bench::NamedProgram;

// Serves until `port_file` is removed, or for an hour at most.
int Serve(const std::wstring& behaviour, const std::wstring& port_file) {
  using qm::test::ServerBehaviour;
  const bool hang = behaviour == L"hang";
  if (!hang && behaviour != L"closed")
    Fail("serve takes hang or closed");
  const qm::test::LoopbackServer server(hang ? ServerBehaviour::Hang : ServerBehaviour::Closed);
  if (server.port() == 0)
    Fail("cannot hold a port on 127.0.0.1");
  if (qm::ReplaceFileAtomically(port_file, std::to_string(server.port())))
    Fail("cannot write the port file");
  const auto end = std::chrono::steady_clock::now() + std::chrono::hours(1);
  for (int taken = 0; qm::test::FileExists(port_file) && std::chrono::steady_clock::now() < end;
       ::Sleep(20)) {
    if (server.connections() != taken) {
      taken = server.connections();
      qm::ReplaceFileAtomically(port_file + L".taken", std::to_string(taken));
    }
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const auto number = [&](int i) {
      return i < argc ? static_cast<int>(std::wcstol(argv[i], nullptr, 10)) : 0;
    };
    const qm::bench::RoundLimits limits{number(2), number(3)};
    // The programs from argument `first` on, `per_program` arguments each; none when they do not add up.
    const auto programs = [&](int first, int per_program) {
      std::vector<NamedProgram> named;
      if (argc <= first || (argc - first) % per_program != 0)
        return named;
      for (int i = first; i < argc; i += per_program)
        named.push_back({qm::test::Narrow(argv[i]), argv[i + 1], per_program > 2 ? argv[i + 2] : L""});
      return named;
    };
    const bool limits_given = limits.least > 0 && limits.most >= limits.least;
    if (mode == L"startup" && limits_given && !programs(4, 2).empty())
      return qm::bench::Startup(programs(4, 2), limits);
    if (mode == L"clicks" && limits_given && number(4) >= 0 && !programs(5, 3).empty())
      return qm::bench::Presses(programs(5, 3), limits, number(4));
    if (mode == L"serve" && argc == 4)
      return Serve(argv[2], argv[3]);
    std::fwprintf(stderr,
                  L"usage: bench_driver startup LEAST MOST NAME PROGRAM [NAME PROGRAM ...]\n"
                  L"       bench_driver clicks LEAST MOST LEAK_PRESSES NAME PROGRAM DATA_FOLDER [...]\n"
                  L"       bench_driver serve hang|closed PORT_FILE\n");
    return 2;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_driver: %s\n", failure.what());
    return 1;
  }
}
