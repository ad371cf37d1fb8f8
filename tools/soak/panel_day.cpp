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
// The panel's threads and handles are read from the system's process list: Wine answers
// GetProcessHandleCount of another process with 0, but fills the list's counts from the Wine server. Its
// private memory is its committed private regions (VirtualQueryEx): Wine reports PrivateUsage as 0. Held
// connections are those of the TCP table that are established towards the server's port: a connection the
// panel closed is half-closed, no longer established, while the server never closes its end.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"
#include "ui/main_layout.h"

namespace {

using qm::ControlId;

// Polls `done` for at most `bound_ms`.
bool Within(ULONGLONG bound_ms, const std::function<bool()>& done) {
  const ULONGLONG end = ::GetTickCount64() + bound_ms;
  while (!done() && ::GetTickCount64() < end)
    ::Sleep(20);
  return done();
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text)
    narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

// In quotation marks, as the figures show a text (appended, not added: GCC 12 at -O3 warns falsely of
// overlapping copies in "\"" + text).
std::string Quoted(const std::wstring& text) {
  std::string quoted(1, '"');
  quoted += Narrow(text);
  quoted += '"';
  return quoted;
}

class Figures {
 public:
  explicit Figures(std::string prefix) : prefix_(std::move(prefix)) {}
  void Report(const std::string& name, const std::string& value, const std::string& goal, bool met) {
    Print(name, value, goal, met ? "pass" : "fail");
    missed_ = missed_ || !met;
  }
  void Inform(const std::string& name, const std::string& value, const std::string& note) {
    Print(name, value, note, "info");
  }
  bool missed() const { return missed_; }

 private:
  void Print(const std::string& name, const std::string& value, const std::string& goal,
             const char* verdict) {
    std::printf("FIGURE %s%s | %s | %s | %s\n", prefix_.c_str(), name.c_str(), value.c_str(), goal.c_str(),
                verdict);
    std::fflush(stdout);
  }
  std::string prefix_;
  bool missed_ = false;
};

// The server that never answers: every connection is taken and held, nothing is ever sent.
class SilentServer {
 public:
  SilentServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, SOMAXCONN) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ::ntohs(address.sin_port);
    std::thread([this] {
      for (SOCKET taken; (taken = ::accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;)
        ++taken_;  // held to the end of this program
    }).detach();
  }
  unsigned port() const { return port_; }
  int taken() const { return taken_; }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  unsigned port_ = 0;
  std::atomic<int> taken_ = 0;
};

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

struct Footprint {
  long long threads = -1;
  long long handles = -1;
  long long private_kib = -1;
};

Footprint FootprintOf(DWORD process) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<unsigned char> list(1 << 20);
  LONG status = kLengthMismatch;
  for (int attempt = 0; query != nullptr && status == kLengthMismatch && attempt < 8; ++attempt) {
    ULONG needed = 0;
    status = query(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), &needed);
    if (status == kLengthMismatch)
      list.resize(std::max<size_t>(list.size() * 2, needed + 65536));
  }
  for (size_t offset = 0; status == 0;) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == process)
      return {entry->NumberOfThreads, entry->HandleCount, -1};
    if (entry->NextEntryOffset == 0)
      break;
    offset += entry->NextEntryOffset;
  }
  return {};
}

// Committed private memory: the list's private bytes are 0 under Wine, so the process's address space is
// walked instead, region by region, as that counter counts on Windows.
long long PrivateKib(HANDLE process) {
  unsigned long long bytes = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* at = static_cast<const char*>(nullptr);
       ::VirtualQueryEx(process, at, &region, sizeof region) == sizeof region && region.RegionSize > 0;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
    bytes += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE ? region.RegionSize : 0;
  return static_cast<long long>(bytes / 1024);
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

// The visible main window of a panel in another process, or null.
HWND PanelOfAnotherProcess() {
  struct Search {
    std::wstring title = qm::MainWindowTitle();
    HWND found = nullptr;
  } search;
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        wchar_t title[256] = {};
        ::GetWindowTextW(window, title, 256);
        if (process == ::GetCurrentProcessId() || !::IsWindowVisible(window) || s->title != title)
          return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The control's text, or "<no answer>" when the panel's thread does not answer within a second.
std::wstring TextOf(HWND control) {
  wchar_t text[256] = {};
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000,
                             &length))
    return L"<no answer>";
  return text;
}

// A data folder of the terminal's portable layout, in the temporary folder, removed at the end.
struct DataFolder {
  DataFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"panel-day-" + std::to_wstring(::GetCurrentProcessId());
    for (const wchar_t* folder : {L"", L"\\MQL4", L"\\MQL4\\Experts", L"\\tester", L"\\tester\\files"})
      ::CreateDirectoryW((root + folder).c_str(), nullptr);
  }
  ~DataFolder() {
    for (const wchar_t* file : kFiles)
      ::DeleteFileW((exchange() + file).c_str());
    for (const wchar_t* folder : {L"\\tester\\files", L"\\tester", L"\\MQL4\\Experts", L"\\MQL4", L""})
      ::RemoveDirectoryW((root + folder).c_str());
  }
  std::wstring exchange() const { return root + L"\\tester\\files\\"; }
  static constexpr const wchar_t* kFiles[] = {L"mypair.txt",       L"mymagicno.txt", L"mystoploss.txt",
                                              L"mytakeprofit.txt", L"mylotsize.txt", L"mycloseall.txt",
                                              L"Buy.txt"};
  std::wstring root;
};

int Run(const std::string& name, const std::string& registered, int presses, ULONGLONG spacing_ms) {
  const char* panel = std::getenv("QM_PANEL_EXE");
  SilentServer server;
  if (panel == nullptr || server.port() == 0 || PanelOfAnotherProcess() != nullptr) {
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
      !Within(30'000, [&] { return (main = PanelOfAnotherProcess()) != nullptr; })) {
    std::fprintf(stderr, "panel_day: the panel did not start\n");
    return 2;
  }
  const ULONGLONG appeared = ::GetTickCount64();
  const auto at = [&](ULONGLONG ms) { Within(ms, [&] { return ::GetTickCount64() >= appeared + ms; }); };
  DWORD id = 0;
  ::GetWindowThreadProcessId(main, &id);
  const qm::UniqueHandle program(::OpenProcess(
      SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  HWND status = ::GetDlgItem(main, ControlId(L"lblStatus"));
  Figures figures("database fault, panel process, " + name + ": ");

  // The load step's own reports are never shown: blank until the start-up connect reports.
  at(1000);
  const std::wstring first = TextOf(status);
  Footprint started = FootprintOf(id);
  started.private_kib = PrivateKib(program.get());
  const std::string report = registered == "sqlite" ? "Status: OK." : "SQL Server is down.";
  if (registered == "sqlite") {
    figures.Report("status line 1 s after the window appeared", Quoted(first), "\"\" or \"Status: OK.\"",
                   first.empty() || first == L"Status: OK.");
  } else {
    at(10'000);
    const std::wstring tenth = TextOf(status);
    figures.Report("status line 1 s and 10 s after the window appeared", Quoted(first) + ", " + Quoted(tenth),
                   "\"\", \"\"", first.empty() && tenth.empty());
  }
  if (presses >= 0) {
    std::wstring shown;
    Within(20'000, [&] { return Narrow(shown = TextOf(status)) == report; });
    figures.Report("start-up report", Quoted(shown), Quoted(std::wstring(report.begin(), report.end())),
                   Narrow(shown) == report);
  }

  // Each BUY: answered, its seven files in place and its own report on the status line.
  DataFolder data;
  const std::wstring path = data.root + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
  ::SendMessageTimeoutW(::GetDlgItem(main, ControlId(L"txtFileLocation")), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, nullptr);
  int good = 0;
  for (int press = 1; press <= presses; ++press) {
    at(press * spacing_ms);
    for (const wchar_t* file : DataFolder::kFiles)
      ::DeleteFileW((data.exchange() + file).c_str());
    DWORD_PTR ignored = 0;
    const bool answered =
        ::SendMessageTimeoutW(main, WM_COMMAND, MAKEWPARAM(ControlId(L"cmdBuy"), BN_CLICKED), 0, SMTO_NORMAL,
                              5000, &ignored) != 0;
    int written = 0;
    for (const wchar_t* file : DataFolder::kFiles)
      written += ::GetFileAttributesW((data.exchange() + file).c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::wstring shown = TextOf(status);
    good += answered && written == 7 && shown == L"Status: OK.";
    if (!(answered && written == 7 && shown == L"Status: OK."))
      std::fprintf(stderr, "panel_day: press %d: %d files, \"%s\"\n", press, written, Narrow(shown).c_str());
  }
  if (presses > 0) {
    Footprint pressed = FootprintOf(id);
    pressed.private_kib = PrivateKib(program.get());
    const int held = ConnectionsHeldTo(server.port());
    figures.Report("BUY presses answered with their seven files and Status: OK.",
                   std::to_string(good) + " of " + std::to_string(presses), std::to_string(presses),
                   good == presses);
    figures.Report("threads after start-up, after the presses",
                   std::to_string(started.threads) + ", " + std::to_string(pressed.threads),
                   "at most start-up + 2", pressed.threads > 0 && pressed.threads <= started.threads + 2);
    figures.Report(
        "connections the server holds after the presses (of " + std::to_string(server.taken()) + " taken)",
        std::to_string(held), "at most 4", held <= 4);
    figures.Inform("handles after start-up, after the presses",
                   std::to_string(started.handles) + ", " + std::to_string(pressed.handles), "flat");
    figures.Inform("private memory after start-up, after the presses, KiB",
                   std::to_string(started.private_kib) + ", " + std::to_string(pressed.private_kib), "flat");
  }

  // Exit, in whatever state the worker is.
  const ULONGLONG exit_posted = ::GetTickCount64();
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ControlId(L"mnuExit"), 0), 0);
  ULONGLONG gone_ms = 0;  // the window's end, which Wine delays by some 2 s where no window manager runs
  Within(5000, [&] { return !::IsWindow(main) && (gone_ms = ::GetTickCount64() - exit_posted) > 0; });
  const bool ended = ::WaitForSingleObject(program.get(), 5000) == WAIT_OBJECT_0;
  const ULONGLONG exit_ms = ::GetTickCount64() - exit_posted;
  if (!ended)
    ::TerminateProcess(program.get(), 1);
  // Timed for the figures, not judged by the time: a loaded machine may take longer to end any process.
  figures.Report("Exit",
                 ended ? "window gone in " + std::to_string(gone_ms) + " ms, process ended in " +
                             std::to_string(exit_ms) + " ms"
                       : "still running after 5 s",
                 "ended (goal: within 2 s)", ended);
  return figures.missed() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: panel_day <name> shim|freetds|sqlite <presses> <spacing ms>\n");
    return 2;
  }
  return Run(Narrow(argv[1]), Narrow(argv[2]), std::stoi(argv[3]), std::stoull(argv[4]));
}
