// A trading day through a vendor outage, in the panel's own process: starts Quenmarel.exe against a server on
// 127.0.0.1 that takes every connection and never answers (or against the SQLite stand-in, which answers),
// reads the status line as the trader sees it, presses BUY at a fixed spacing, and then chooses Exit. It
// prints what it saw as FIGURE lines (the reliability figures' format) and exits with 1 when any goal was
// missed, 2 when the run could not be made.
//
//   panel_day <name> shim|freetds|sqlite <presses> <spacing ms>
//
// With -1 presses, Exit comes 10 s after the window appeared, during the start-up login.
// Environment: QM_PANEL_EXE, the panel; ODBCSYSINI, the driver list with the registered shim as "SQL Server";
// QM_FREETDS_ITSELF_ODBC, one with FreeTDS itself; QM_SQLITE_STAND_IN_ODBC, one with the SQLite stand-in.
// The panel's connection string is fixed; FreeTDS takes the server's address from TDSHOST and TDSPORT.
//
// The panel's threads and handles are those of the system's process list, its private memory its committed
// private regions (tests/support/process_footprint.h says why). Held connections are those of the TCP table
// that are established towards the server's port: a connection the panel closed is half-closed, no longer
// established, while the server never closes its end.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "support/action_files.h"
#include "support/data_folder.h"
#include "support/figures.h"
#include "support/loopback_server.h"
#include "support/process_footprint.h"
#include "support/temp_folder.h"
#include "support/text.h"
#include "support/window_driver.h"
#include "ui/main_layout.h"

namespace {

using qm::ControlId;
using namespace qm::test;

// In quotation marks, as the figures show a text (appended, not added: GCC 12 at -O3 warns falsely of
// overlapping copies in "\"" + text).
std::string Quoted(const std::wstring& text) {
  std::string quoted(1, '"');
  quoted += Narrow(text);
  quoted += '"';
  return quoted;
}

int ConnectionsHeldTo(unsigned port) {
  std::vector<unsigned char> table(1 << 16);
  ULONG size = static_cast<ULONG>(table.size());
  while (::GetExtendedTcpTable(table.data(), &size, FALSE, AF_INET, TCP_TABLE_BASIC_ALL, 0) ==
         ERROR_INSUFFICIENT_BUFFER)
    table.resize(size);
  const auto* rows = reinterpret_cast<const MIB_TCPTABLE*>(table.data());
  int held = 0;
  for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
    const MIB_TCPROW& row = rows->table[i];
    held += row.dwState == MIB_TCP_STATE_ESTAB && ::ntohs(static_cast<u_short>(row.dwRemotePort)) == port;
  }
  return held;
}

// Starts `command` as a Linux command with `variables` ("NAME=value") added to its Linux environment: the
// one way to hand a Linux library such as FreeTDS in a new Windows program a variable under Wine, where a
// program started with CreateProcessW gets this process's Linux environment whatever its Windows
// environment says.
bool StartLinuxCommand(const std::vector<std::string>& variables, const std::vector<std::string>& command) {
  using Spawn = long(__cdecl*)(char* const argv[], int wait);
  const auto spawn = reinterpret_cast<Spawn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
  if (spawn == nullptr)
    return false;
  // Through env, with no descriptor of this process: a caller's output pipe would stay open.
  std::vector<std::string> words = {"/bin/sh", "-c", "exec env \"$@\" </dev/null >/dev/null 2>&1", "sh"};
  words.insert(words.end(), variables.begin(), variables.end());
  words.insert(words.end(), command.begin(), command.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  return spawn(argv.data(), 0) == 0;
}

int Run(const std::string& name, const std::string& registered, int presses, ULONGLONG spacing_ms) {
  const char* panel = std::getenv("QM_PANEL_EXE");
  const LoopbackServer server(ServerBehaviour::Hang);
  WindowSearch panel_window;  // the visible main window of a panel in another process
  panel_window.other_processes = true;
  panel_window.title = qm::MainWindowTitle();
  if (panel == nullptr || server.port() == 0 || FindTopWindow(panel_window) != nullptr) {
    std::fprintf(stderr, "panel_day: no QM_PANEL_EXE, no server port, or another panel is open\n");
    return 2;
  }
  std::vector<std::string> variables = {"TDSHOST=127.0.0.1", "TDSPORT=" + std::to_string(server.port())};
  const char* list = registered == "freetds"  ? "QM_FREETDS_ITSELF_ODBC"
                     : registered == "sqlite" ? "QM_SQLITE_STAND_IN_ODBC"
                                              : nullptr;
  if (list != nullptr && std::getenv(list) != nullptr)
    variables.push_back(std::string("ODBCSYSINI=") + std::getenv(list));
  HWND main = nullptr;
  if (!StartLinuxCommand(variables, {"wine", panel}) ||
      !WaitUntil([&] { return (main = FindTopWindow(panel_window)) != nullptr; })) {
    std::fprintf(stderr, "panel_day: the panel did not start\n");
    return 2;
  }
  const ULONGLONG appeared = ::GetTickCount64();
  const auto at = [&](ULONGLONG ms) { WaitUntil([&] { return ::GetTickCount64() >= appeared + ms; }, ms); };
  DWORD id = 0;
  ::GetWindowThreadProcessId(main, &id);
  const qm::UniqueHandle program(::OpenProcess(
      SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  HWND status = ::GetDlgItem(main, ControlId(L"lblStatus"));
  const std::string prefix = "database fault, panel process, " + name + ": ";
  bool met = true;
  const auto figure = [&](const std::string& what, const std::string& value, const std::string& goal,
                          bool ok) { met = ReportFigure(prefix + what, value, goal, ok) && met; };

  // The load step's own reports are never shown: blank until the start-up connect reports.
  at(1000);
  const std::wstring first = TextOf(status);
  const ListedCounts started = ListedCountsOf(id);
  const long long started_kib = PrivateKib(program.get());
  const std::string report = registered == "sqlite" ? "Status: OK." : "SQL Server is down.";
  if (registered == "sqlite") {
    figure("status line 1 s after the window appeared", Quoted(first), "\"\" or \"Status: OK.\"",
           first.empty() || first == L"Status: OK.");
  } else {
    at(10'000);
    const std::wstring tenth = TextOf(status);
    figure("status line 1 s and 10 s after the window appeared", Quoted(first) + ", " + Quoted(tenth),
           "\"\", \"\"", first.empty() && tenth.empty());
  }
  if (presses >= 0) {
    std::wstring shown;
    WaitUntil([&] { return Narrow(shown = TextOf(status)) == report; }, 20'000);
    figure("start-up report", Quoted(shown), Quoted(std::wstring(report.begin(), report.end())),
           Narrow(shown) == report);
  }

  // Each BUY: answered, its seven files in place (in the folder of the start-up account type, Backtest) and
  // its own report on the status line.
  const std::vector<std::wstring>& files = ActionNamed("Buy").files;
  const TempFolder temp;
  const DataFolder data(temp / L"MT4");
  SetText(::GetDlgItem(main, ControlId(L"txtFileLocation")), data.ExpertAdvisor());
  int good = 0;
  for (int press = 1; press <= presses; ++press) {
    at(press * spacing_ms);
    for (const std::wstring& file : files)
      ::DeleteFileW((data.BackTest() + L"\\" + file).c_str());
    DWORD_PTR ignored = 0;
    const bool answered =
        ::SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(ControlId(L"cmdBuy"), BN_CLICKED), 0, SMTO_NORMAL,
                              5000, &ignored) != 0;
    int written = 0;
    for (const std::wstring& file : files)
      written += FileExists(data.BackTest() + L"\\" + file);
    const std::wstring shown = TextOf(status);
    good += answered && written == std::ssize(files) && shown == L"Status: OK.";
    if (!(answered && written == std::ssize(files) && shown == L"Status: OK."))
      std::fprintf(stderr, "panel_day: press %d: %d files, \"%s\"\n", press, written, Narrow(shown).c_str());
  }
  if (presses > 0) {
    const ListedCounts pressed = ListedCountsOf(id);
    const long long pressed_kib = PrivateKib(program.get());
    const int held = ConnectionsHeldTo(server.port());
    figure("BUY presses answered with their seven files and Status: OK.",
           std::to_string(good) + " of " + std::to_string(presses), std::to_string(presses), good == presses);
    figure("threads after start-up, after the presses",
           std::to_string(started.threads) + ", " + std::to_string(pressed.threads), "at most start-up + 2",
           pressed.threads > 0 && pressed.threads <= started.threads + 2);
    figure("connections the server holds after the presses (of " + std::to_string(server.connections()) +
               " taken)",
           std::to_string(held), "at most 4", held <= 4);
    ReportInfoFigure(prefix + "handles after start-up, after the presses",
                     std::to_string(started.handles) + ", " + std::to_string(pressed.handles), "flat");
    ReportInfoFigure(prefix + "private memory after start-up, after the presses, KiB",
                     std::to_string(started_kib) + ", " + std::to_string(pressed_kib), "flat");
  }

  // Exit, in whatever state the worker is.
  const ULONGLONG exit_posted = ::GetTickCount64();
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ControlId(L"mnuExit"), 0), 0);
  ULONGLONG gone_ms = 0;  // the window's end, which Wine delays by some 2 s where no window manager runs
  WaitUntil([&] { return !::IsWindow(main) && (gone_ms = ::GetTickCount64() - exit_posted) > 0; }, 5000);
  const bool ended = ::WaitForSingleObject(program.get(), 5000) == WAIT_OBJECT_0;
  const ULONGLONG exit_ms = ::GetTickCount64() - exit_posted;
  if (!ended)
    ::TerminateProcess(program.get(), 1);
  // Timed for the figures, not judged by the time: a loaded machine may take longer to end any process.
  figure("Exit",
         ended ? "window gone in " + std::to_string(gone_ms) + " ms, process ended in " +
                     std::to_string(exit_ms) + " ms"
               : "still running after 5 s",
         "ended (goal: within 2 s)", ended);
  return met ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: panel_day <name> shim|freetds|sqlite <presses> <spacing ms>\n");
    return 2;
  }
  return Run(Narrow(argv[1]), Narrow(argv[2]), std::stoi(argv[3]), std::stoull(argv[4]));
}
