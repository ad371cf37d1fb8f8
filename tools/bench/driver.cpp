// The benchmark driver: starts programs the way a user would, watches them from outside, presses the panel's
// buttons with window messages and reads their footprint. Figures go to standard output as name=value.
//
//   bench_driver startup FLOOR CONTROLS_FLOOR PANEL RUNS
//       Starts the two floor programs and the panel in turn, RUNS times each after one start of each that is
//       not counted, and times each from just before CreateProcessW until its window is shown and, for the
//       controls floor and the panel, until lblStatus holds a text and the window answers a message sent to
//       it (the program waits for input). Reads the panel's footprint once its start-up has ended.
//   bench_driver clicks PANEL EA_PATH EXCHANGE_FOLDER PRESS_FLOOR FLOOR_EA_PATH FLOOR_EXCHANGE_FOLDER
//                       SET_FOLDER PRESSES LEAK_PRESSES
//       Starts the press floor and the panel, types each one's Expert Advisor path into its txtFileLocation
//       and presses BUY on each PRESSES times, each time from a removed Buy.txt to a new one in its exchange
//       folder and on to the end of the press; the two take turns going first, and before each pair the
//       driver writes the same seven files with the same atomic replace into SET_FOLDER itself. Then
//       presses the panel's BUY LEAK_PRESSES times more (none for 0) and reads how the footprint grew.
//   bench_driver serve hang|closed PORT_FILE
//       A vendor server on 127.0.0.1 for the panel's login (FreeTDS takes its address from TDSHOST and
//       TDSPORT): "hang" takes every connection and never answers, "closed" holds a port that refuses every
//       connection. Writes the port to PORT_FILE and serves until that file is removed, an hour at most;
//       "hang" writes the number of connections it has taken to PORT_FILE.taken.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench_clock.h"
#include "platform/file_system.h"
#include "platform/unique_handle.h"
#include "support/loopback_server.h"
#include "support/process_footprint.h"
#include "support/temp_folder.h"
#include "ui/main_layout.h"

namespace {

using qm::bench::Median;
using qm::bench::NowMs;
using qm::bench::PrintCount;
using qm::bench::PrintFigure;

constexpr double kPatienceMs = 60000;  // far beyond any start or press; only a hung program reaches it
constexpr DWORD kCloseWaitMs = 10000;
// Presses come no faster than a hand can press: whatever the panel still does after a press (Wine reports
// it idle before its last repaint is drawn) is not counted in the next one.
constexpr DWORD kPauseBetweenPressesMs = 50;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

class Program {
 public:
  // Starts `path` with the driver's own environment and working folder; `started_ms` is taken just before.
  explicit Program(const std::wstring& path) {
    std::wstring command_line = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    started_ms_ = NowMs();
    if (!::CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
      Fail("cannot start the program (error " + std::to_string(::GetLastError()) + ")");
    }
    process_.reset(info.hProcess);
    qm::UniqueHandle thread(info.hThread);  // not needed: the program is watched through its process
    id_ = info.dwProcessId;
  }
  ~Program() { Close(); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  double started_ms() const { return started_ms_; }
  HANDLE process() const { return process_.get(); }

  // The program's visible top-level window, or null while it has none.
  HWND ShownWindow() const {
    struct Search {
      DWORD id;
      HWND found;
    } search{id_, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto* s = reinterpret_cast<Search*>(context);
          DWORD owner_process = 0;
          ::GetWindowThreadProcessId(window, &owner_process);
          if (owner_process != s->id || !::IsWindowVisible(window) ||
              ::GetWindow(window, GW_OWNER) != nullptr)
            return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  HWND WaitForWindow() const {
    for (;;) {
      if (HWND window = ShownWindow())
        return window;
      CheckAlive();
      ::Sleep(1);
    }
  }

  void CheckAlive() const {
    if (::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0)
      Fail("the program ended on its own");
    if (NowMs() - started_ms_ > kPatienceMs)
      Fail("the program did not answer in time");
  }

  void Close() {
    if (!process_)
      return;
    if (HWND window = ShownWindow())
      ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process_.get(), kCloseWaitMs) != WAIT_OBJECT_0) {
      ::TerminateProcess(process_.get(), 1);
      ::WaitForSingleObject(process_.get(), kCloseWaitMs);
    }
    process_.reset();
  }

 private:
  qm::UniqueHandle process_;
  DWORD id_ = 0;
  double started_ms_ = 0;
};

HWND PanelControl(HWND main, const wchar_t* name) {
  HWND control = ::GetDlgItem(main, qm::ControlId(name));
  if (control == nullptr)
    Fail("the panel has no control " + std::string(name, name + std::wcslen(name)));
  return control;
}

// The text the window holds, read without a message: a panel busy reaching the database cannot answer one,
// and the moment the text changes is what is being timed.
std::wstring HeldText(HWND control) {
  wchar_t text[512] = {};
  const int length = ::InternalGetWindowText(control, text, static_cast<int>(std::size(text)));
  return std::wstring(text, static_cast<size_t>(length > 0 ? length : 0));
}

// Waits until the program's status line holds a text (anything but its initial caption), then until it
// answers a message: its start-up has ended and it waits for input. Returns the time of the answer.
// `first_report`, when given, receives the time the status line first changed.
double WaitForAnswer(const Program& program, HWND main, double* first_report = nullptr) {
  HWND label = PanelControl(main, L"lblStatus");
  while (HeldText(label) == L"lblStatus") {
    program.CheckAlive();
    ::Sleep(1);
  }
  if (first_report != nullptr)
    *first_report = NowMs();
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(kPatienceMs), &ignored))
    Fail("the program did not answer after start-up");
  return NowMs();
}

struct Footprint {
  double private_kb = -1;
  long long handles = -1;  // -1: the system did not say
  long long gdi = -1;
  long long user = -1;
};

// The windows the process owns, top-level and children: the USER objects a panel could leak.
long long WindowsOf(DWORD process_id) {
  struct Count {
    DWORD id;
    long long windows;
  } count{process_id, 0};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* c = reinterpret_cast<Count*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == c->id) {
          ++c->windows;
          ::EnumChildWindows(
              window,
              [](HWND, LPARAM inner) -> BOOL {
                ++reinterpret_cast<Count*>(inner)->windows;
                return TRUE;
              },
              context);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

// Each reading prefers the system's own counter and falls back where Wine leaves it at 0; -1 where neither
// says anything.
Footprint ReadFootprint(HANDLE process) {
  Footprint footprint;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) &&
      memory.PrivateUsage > 0) {
    footprint.private_kb = static_cast<double>(memory.PrivateUsage) / 1024.0;
  } else {
    footprint.private_kb = static_cast<double>(qm::test::PrivateKib(process));
  }
  DWORD handles = 0;
  if (::GetProcessHandleCount(process, &handles) && handles > 0) {
    footprint.handles = handles;
  } else {
    footprint.handles = qm::test::HandleTableEntriesOf(::GetProcessId(process));
  }
  const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
  footprint.gdi = gdi > 0 ? static_cast<long long>(gdi) : -1;
  const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
  footprint.user = user > 0 ? static_cast<long long>(user) : WindowsOf(::GetProcessId(process));
  return footprint;
}

// The footprint once the panel has settled: a refresh still running on the vendor worker holds its
// connection's handles, which would count as growth. Read until two reads 250 ms apart agree, 5 s at most.
Footprint SettledFootprint(HANDLE process) {
  Footprint last = ReadFootprint(process);
  for (int i = 0; i < 20; ++i) {
    ::Sleep(250);
    const Footprint now = ReadFootprint(process);
    const bool same = now.handles == last.handles && now.gdi == last.gdi && now.user == last.user;
    last = now;
    if (same)
      break;
  }
  return last;
}

void PrintFootprint(const std::string& prefix, const Footprint& footprint) {
  PrintFigure((prefix + "_private_kb").c_str(), footprint.private_kb);
  PrintCount((prefix + "_handles").c_str(), footprint.handles);
  PrintCount((prefix + "_gdi").c_str(), footprint.gdi);
  PrintCount((prefix + "_user").c_str(), footprint.user);
}

int Startup(const std::wstring& floor_path, const std::wstring& controls_path, const std::wstring& panel_path,
            int runs) {
  std::vector<double> floor_shown, controls_shown, controls_answering, panel_shown, panel_first_report,
      panel_answering;
  Footprint footprint;
  // The first start of each is not counted: it warms the prefix and the file cache for both alike.
  for (int run = -1; run < runs; ++run) {
    {
      Program floor(floor_path);
      floor.WaitForWindow();
      if (run >= 0)
        floor_shown.push_back(NowMs() - floor.started_ms());
    }
    {
      Program controls(controls_path);
      HWND main = controls.WaitForWindow();
      const double shown = NowMs() - controls.started_ms();
      const double answering = WaitForAnswer(controls, main) - controls.started_ms();
      if (run >= 0) {
        controls_shown.push_back(shown);
        controls_answering.push_back(answering);
      }
    }
    Program panel(panel_path);
    HWND main = panel.WaitForWindow();
    const double shown = NowMs() - panel.started_ms();
    double first_report = 0;
    const double answering = WaitForAnswer(panel, main, &first_report) - panel.started_ms();
    if (run >= 0) {
      panel_shown.push_back(shown);
      panel_first_report.push_back(first_report - panel.started_ms());
      panel_answering.push_back(answering);
    }
    footprint = ReadFootprint(panel.process());
  }
  PrintFigure("floor_shown_ms", Median(floor_shown));
  PrintFigure("floor_controls_shown_ms", Median(controls_shown));
  PrintFigure("floor_controls_answering_ms", Median(controls_answering));
  PrintFigure("panel_shown_ms", Median(panel_shown));
  PrintFigure("panel_first_report_ms", Median(panel_first_report));
  PrintFigure("panel_answering_ms", Median(panel_answering));
  // Each start of the panel against the start of the same-controls program just before it.
  std::vector<double> answering_ratios;
  for (size_t i = 0; i < panel_answering.size(); ++i)
    answering_ratios.push_back(panel_answering[i] / controls_answering[i]);
  PrintFigure("panel_answering_paired_ratio", Median(answering_ratios));
  PrintFootprint("startup", footprint);
  return 0;
}

// What a BUY press with the panel's initial texts writes, in its order: the floor of a press.
constexpr std::pair<std::wstring_view, std::string_view> kBuyFiles[] = {
    {L"mypair.txt", "EURUSD\r\n"},  {L"mymagicno.txt", "12345\r\n"}, {L"mystoploss.txt", "0\r\n"},
    {L"mytakeprofit.txt", "0\r\n"}, {L"mylotsize.txt", "0.1\r\n"},   {L"mycloseall.txt", "0\r\n"},
    {L"Buy.txt", "1\r\n"},
};

std::wstring InFolder(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\')
    folder += L'\\';
  return folder;
}

// One set of the seven files written by the panel's own atomic replace; its time in milliseconds.
double WriteFloorSet(const std::wstring& folder) {
  ::DeleteFileW((folder + L"Buy.txt").c_str());
  const double start = NowMs();
  for (const auto& [name, bytes] : kBuyFiles) {
    if (qm::ReplaceFileAtomically(folder + std::wstring(name), bytes))
      Fail("the floor could not write its files");
  }
  return NowMs() - start;
}

// A program pressed from outside: its window, its BUY button and the Buy.txt a press puts in place.
struct PressTarget {
  const Program* program;
  HWND main;
  HWND button;
  std::wstring buy;
};

// Waits until `program` answers after its start, then types `ea_path` into its txtFileLocation.
PressTarget ReadyForPresses(const Program& program, const std::wstring& ea_path,
                            const std::wstring& exchange_folder) {
  HWND main = program.WaitForWindow();
  WaitForAnswer(program, main);
  ::SendMessageW(PanelControl(main, L"txtFileLocation"), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(ea_path.c_str()));
  return {&program, main, PanelControl(main, L"cmdBuy"), InFolder(exchange_folder) + L"Buy.txt"};
}

struct PressTimes {
  double in_place;  // to Buy.txt in place
  double answered;  // to the press's handler returned: a message sent next answered
  double finished;  // to the window answering again
};

// One BUY press as a trader's click reaches a window: a BN_CLICKED posted from another process.
PressTimes TimePress(const PressTarget& target) {
  if (!::DeleteFileW(target.buy.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    Fail("cannot remove Buy.txt");
  const WPARAM press = MAKEWPARAM(qm::ControlId(L"cmdBuy"), BN_CLICKED);
  // Polled without sleeping: a folder change notification under Wine comes through the Wine server and
  // arrives milliseconds late, longer than the whole press. A look at the file does not ask the Wine server;
  // a look at the process does, and the server serves the pressed program too, so that is asked only once a
  // millisecond.
  const double start = NowMs();
  ::PostMessageW(target.main, WM_COMMAND, press, reinterpret_cast<LPARAM>(target.button));
  for (double next_check = start + 1; !qm::test::FileExists(target.buy); ::SwitchToThread()) {
    if (const double now = NowMs(); now >= next_check) {
      target.program->CheckAlive();
      if (now - start > kPatienceMs)
        Fail("Buy.txt did not appear; is the Expert Advisor path right?");
      next_check = now + 1;
    }
  }
  const double in_place = NowMs() - start;
  // A sent message is taken only between handlers, so its answer comes once the press's handler has
  // returned; the press has ended when the window then waits for input again, its labels repainted.
  ::SendMessageW(target.main, WM_NULL, 0, 0);
  const double answered = NowMs() - start;
  ::WaitForInputIdle(target.program->process(), static_cast<DWORD>(kPatienceMs));
  return {in_place, answered, NowMs() - start};
}

int Clicks(const std::wstring& panel_path, const std::wstring& ea_path, const std::wstring& exchange_folder,
           const std::wstring& floor_path, const std::wstring& floor_ea_path,
           const std::wstring& floor_exchange_folder, const std::wstring& set_folder, int presses,
           int leak_presses) {
  const std::wstring floor = InFolder(set_folder);
  Program press_floor_program(floor_path);
  const PressTarget press_floor = ReadyForPresses(press_floor_program, floor_ea_path, floor_exchange_folder);
  Program panel(panel_path);
  const PressTarget panel_press = ReadyForPresses(panel, ea_path, exchange_folder);
  HWND main = panel_press.main;
  HWND buy_button = panel_press.button;
  const WPARAM press = MAKEWPARAM(qm::ControlId(L"cmdBuy"), BN_CLICKED);
  const Footprint started = ReadFootprint(panel.process());

  // Each panel press is paired with a press of the press floor and a set of the seven files written here,
  // so that all three meet the same moment of a shared machine; the two windows take turns going first.
  std::vector<double> in_place, answered, finished, floor_in_place, floor_answered, floor_finished,
      floor_sets;
  for (int i = 0; i < presses; ++i) {
    floor_sets.push_back(WriteFloorSet(floor));
    for (const bool panel_turn : {i % 2 == 0, i % 2 != 0}) {
      const PressTimes times = TimePress(panel_turn ? panel_press : press_floor);
      (panel_turn ? in_place : floor_in_place).push_back(times.in_place);
      (panel_turn ? answered : floor_answered).push_back(times.answered);
      (panel_turn ? finished : floor_finished).push_back(times.finished);
      ::Sleep(kPauseBetweenPressesMs);
    }
  }
  if (HeldText(PanelControl(main, L"lblStatus")) != L"Status: OK." ||
      HeldText(PanelControl(press_floor.main, L"lblStatus")) != L"Status: OK.")
    Fail("the presses did not end with Status: OK.");
  // The press floor is a floor only while it does the panel's work: the same seven files, byte for byte.
  for (const auto& [name, unused] : kBuyFiles) {
    const std::optional<std::string> written =
        qm::ReadSmallFile(InFolder(exchange_folder) + std::wstring(name), 64);
    if (!written || written != qm::ReadSmallFile(InFolder(floor_exchange_folder) + std::wstring(name), 64))
      Fail("the press floor did not write what the panel writes");
  }
  // Presses back to back make the window ask while a refresh runs, which the spaced presses above never
  // do. The first burst adds one handle, once, whatever its length (most likely a lock's kernel object,
  // made at its first contention), which is not growth: one burst warms, and the growth is read over a
  // second burst of the same length.
  const auto burst = [&] {
    for (int i = 0; i < leak_presses; ++i)
      ::SendMessageW(main, WM_COMMAND, press, reinterpret_cast<LPARAM>(buy_button));
  };
  burst();
  const Footprint warmed = SettledFootprint(panel.process());
  burst();
  const Footprint pressed = SettledFootprint(panel.process());
  if (!qm::test::FileExists(panel_press.buy))
    Fail("the presses left no Buy.txt");
  // Whether a refresh reached the database (the stand-in's messages all start this way): the refreshes run
  // after their presses, so the label is read once all presses are over.
  const bool message_read = HeldText(PanelControl(main, L"lblAds2")).starts_with(L"Public message number");

  PrintFigure("floor_set_ms", Median(floor_sets));
  PrintFigure("press_floor_in_place_ms", Median(floor_in_place));
  PrintFigure("press_floor_answered_ms", Median(floor_answered));
  PrintFigure("press_floor_finished_ms", Median(floor_finished));
  PrintFigure("buy_in_place_ms", Median(in_place));
  PrintFigure("buy_answered_ms", Median(answered));
  PrintFigure("buy_finished_ms", Median(finished));
  // Each press against the press floor's press of the same round: a machine whose load changes during the
  // run moves both alike.
  std::vector<double> in_place_ratios, finished_ratios;
  for (size_t i = 0; i < in_place.size(); ++i) {
    in_place_ratios.push_back(in_place[i] / floor_in_place[i]);
    finished_ratios.push_back(finished[i] / floor_finished[i]);
  }
  PrintFigure("buy_in_place_paired_ratio", Median(in_place_ratios));
  PrintFigure("buy_finished_paired_ratio", Median(finished_ratios));
  PrintFigure("buy_in_place_fastest_ms", *std::min_element(in_place.begin(), in_place.end()));
  PrintFigure("buy_finished_fastest_ms", *std::min_element(finished.begin(), finished.end()));
  PrintFootprint("clicks_started", started);
  PrintFootprint("clicks_warmed", warmed);
  PrintFootprint("clicks_pressed", pressed);
  PrintCount("leak_presses", leak_presses);
  PrintCount("press_pause_ms", kPauseBetweenPressesMs);
  PrintCount("public_message_read", message_read ? 1 : 0);
  return 0;
}

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
    if (mode == L"startup" && argc == 6) {
      const int runs = std::wcstol(argv[5], nullptr, 10);
      if (runs > 0)
        return Startup(argv[2], argv[3], argv[4], runs);
    } else if (mode == L"clicks" && argc == 11) {
      const int presses = std::wcstol(argv[9], nullptr, 10);
      const int leak_presses = std::wcstol(argv[10], nullptr, 10);
      if (presses > 0 && leak_presses >= 0)
        return Clicks(argv[2], argv[3], argv[4], argv[5], argv[6], argv[7], argv[8], presses, leak_presses);
    } else if (mode == L"serve" && argc == 4) {
      return Serve(argv[2], argv[3]);
    }
    std::fwprintf(stderr,
                  L"usage: bench_driver startup FLOOR CONTROLS_FLOOR PANEL RUNS\n"
                  L"       bench_driver clicks PANEL EA_PATH EXCHANGE_FOLDER PRESS_FLOOR FLOOR_EA_PATH "
                  L"FLOOR_EXCHANGE_FOLDER\n"
                  L"                           SET_FOLDER PRESSES LEAK_PRESSES\n"
                  L"       bench_driver serve hang|closed PORT_FILE\n");
    return 2;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_driver: %s\n", failure.what());
    return 1;
  }
}
