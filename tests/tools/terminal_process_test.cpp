// The real stand-in terminal.exe, started as the panel starts it, fed by the panel's own actions.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "actions/actions.h"
#include "journal_file.h"
#include "platform/unique_handle.h"
#include "support/fake_panel.h"
#include "support/temp_folder.h"

namespace qm {
namespace {

using test::FakePanel;
using test::ReadBytes;
using test::TempFolder;

// Generous: a loaded machine may take seconds to start a Wine process; no test waits this long when it
// passes.
constexpr ULONGLONG kPatienceMs = 15000;

std::wstring TerminalProgram() {
  const char* built = std::getenv("QM_TERMINAL_EXE");
  if (!built)
    return L"";
  std::wstring path(built, built + std::strlen(built));
  // CTest hands over the build tree's Unix path; Wine shows the Unix root as drive Z:.
  if (path.starts_with(L"/"))
    path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/')
      c = L'\\';
  }
  return path;
}

bool WaitUntil(const std::function<bool()>& done) {
  const ULONGLONG deadline = ::GetTickCount64() + kPatienceMs;
  while (!done()) {
    if (::GetTickCount64() > deadline)
      return false;
    ::Sleep(50);
  }
  return true;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

class RunningTerminal {
 public:
  // Starts the program with its bare, unquoted path as the command line, as the panel does, plus `arguments`.
  RunningTerminal(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command_line = program + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
      process_.reset(info.hProcess);
      const UniqueHandle thread(info.hThread);
      id_ = info.dwProcessId;
    }
  }
  RunningTerminal(const RunningTerminal&) = delete;
  RunningTerminal& operator=(const RunningTerminal&) = delete;
  ~RunningTerminal() {
    if (process_ && !HasExited())
      ::TerminateProcess(process_.get(), 1);
  }

  bool started() const { return static_cast<bool>(process_); }
  bool HasExited() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
  }

  // The stand-in's main window, once it has one.
  HWND Window() const {
    struct Search {
      DWORD id;
      HWND found;
    } search{id_, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lparam) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lparam);
          DWORD owner = 0;
          ::GetWindowThreadProcessId(window, &owner);
          if (owner != s->id || ClassOf(window) != L"QuenmarelStandInTerminal")
            return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  std::wstring Title() const {
    wchar_t title[1024] = {};
    ::GetWindowTextW(Window(), title, 1024);
    return title;
  }

  // Closes the window as a user would and waits for the process to end.
  bool Close() const {
    const HWND window = Window();
    if (window)
      ::PostMessageW(window, WM_CLOSE, 0, 0);
    return window && WaitUntil([&] { return HasExited(); });
  }

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// How the stand-in is told its data folder: --data-folder=, or as a portable terminal, copied into the data
// folder that holds MQL4, or copied into one without MQL4 and started with /portable.
enum class Placement { DataFolderOption, BesideMql4, PortableOption };

struct RunCase {
  const char* name;
  Placement placement;
  Option account;
  Option digits;
  std::map<Field, std::wstring> texts;
  std::function<void(FakePanel&)> press;
  std::wstring exchange_folder;
  std::vector<std::string> journal;
};
void PrintTo(const RunCase& c, std::ostream* os) {
  *os << c.name;
}

class TerminalProcessTest : public testing::TestWithParam<RunCase> {};

TEST_P(TerminalProcessTest, ConsumesWhatThePanelSends) {
  const RunCase& c = GetParam();
  const std::wstring built = TerminalProgram();
  ASSERT_FALSE(built.empty()) << "QM_TERMINAL_EXE is not set";

  TempFolder temp;
  // A blank in the folder: the panel's unquoted command line must not be mistaken for an argument.
  const std::wstring data_folder = temp.MakeFolder(L"Demo Data\\MT4");
  temp.MakeFolder(L"Demo Data\\MT4\\tester\\files");
  if (c.placement != Placement::PortableOption) {
    temp.MakeFolder(L"Demo Data\\MT4\\MQL4\\files");
    temp.MakeFolder(L"Demo Data\\MT4\\MQL4\\Experts");
  }
  std::wstring program = built;
  std::wstring arguments = L"\"--data-folder=" + data_folder + L"\"";
  if (c.placement != Placement::DataFolderOption) {
    program = data_folder + L"\\terminal.exe";
    ASSERT_TRUE(::CopyFileW(built.c_str(), program.c_str(), FALSE));
    arguments = c.placement == Placement::PortableOption ? L"/Portable" : L"";
  }

  const RunningTerminal terminal(program, arguments);
  ASSERT_TRUE(terminal.started());
  ASSERT_TRUE(WaitUntil([&] { return terminal.Window() != nullptr; })) << "no window";
  EXPECT_EQ(terminal.Title(), L"Stand-in terminal - " + data_folder);

  FakePanel panel;
  panel.texts[Field::FileLocation] = data_folder + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
  for (const auto& [field, text] : c.texts)
    panel.texts[field] = text;
  panel.Select(c.account);
  panel.Select(c.digits);
  c.press(panel);

  const std::wstring folder = data_folder + L"\\" + c.exchange_folder;
  const std::wstring journal = data_folder + L"\\journal.txt";
  const auto commands_left = [&] {
    size_t left = 0;
    for (const std::wstring& name : temp.ListFiles(L"Demo Data\\MT4\\" + c.exchange_folder)) {
      if (!name.starts_with(L"my"))
        ++left;
    }
    return left;
  };
  EXPECT_TRUE(WaitUntil([&] {
    return commands_left() == 0 && terminal::JournalFileLines(journal).size() >= c.journal.size();
  })) << "command files left: "
      << commands_left();
  EXPECT_EQ(terminal::JournalFileLines(journal), c.journal);
  EXPECT_EQ(ReadBytes(folder + L"\\mypair.txt"), "GBPUSD\r\n") << "the panel's files must stay as written";

  EXPECT_TRUE(terminal.Close());
  EXPECT_EQ(terminal.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TerminalProcessTest,
    testing::Values(
        RunCase{"HedgeLiveFromItsOwnFolder",
                Placement::BesideMql4,
                Option::RealTime,
                Option::FourDigit,
                {},
                [](FakePanel& p) { OpenOrder(p, OrderAction::Hedge); },
                L"MQL4\\files",
                {"BUY pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=MQL4\\files",
                 "SELL pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=MQL4\\files"}},
        RunCase{"PendingOrderAndDeleteInTheTester",
                Placement::DataFolderOption,
                Option::BackTest,
                Option::FiveDigit,
                {{Field::TakeProfit, L"30"}, {Field::StopLoss, L"2.5"}, {Field::BuyStopPrice, L" 1.2501 "}},
                [](FakePanel& p) {
                  OpenOrder(p, OrderAction::BuyStop);
                  CloseOrDelete(p, CloseAction::DeleteBuyStop);
                },
                L"tester\\files",
                {"BUYSTOP pair=GBPUSD lots=0.01 sl=25 tp=300 magic=6819 closeall=9999999 price=1.2501 "
                 "folder=tester\\files",
                 "DELETEBUYSTOP pair=GBPUSD magic=6819 folder=tester\\files"}},
        RunCase{"SellInTheTesterOfAPortableTerminal",
                Placement::PortableOption,
                Option::BackTest,
                Option::FourDigit,
                {},
                [](FakePanel& p) { OpenOrder(p, OrderAction::Sell); },
                L"tester\\files",
                {"SELL pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=tester\\files"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TerminalProcess, ASecondStartForTheSameFolderLeavesTheFirstAlone) {
  TempFolder temp;
  const std::wstring live = temp.MakeFolder(L"MQL4\\files");
  const std::wstring arguments = L"\"--data-folder=" + temp.path() + L"\"";
  const RunningTerminal first(TerminalProgram(), arguments);
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(WaitUntil([&] { return first.Window() != nullptr; }));

  const RunningTerminal second(TerminalProgram(), arguments);
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(WaitUntil([&] { return second.HasExited(); }));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_FALSE(first.HasExited());

  test::WriteBytes(live + L"\\Closeall.txt", "1\r\n");
  EXPECT_TRUE(WaitUntil([&] { return !test::FileExists(live + L"\\Closeall.txt"); }));
  EXPECT_EQ(terminal::JournalFileLines(temp / L"journal.txt"),
            std::vector<std::string>{"CLOSEALL pair=<missing> magic=<missing> folder=MQL4\\files"});
  EXPECT_TRUE(first.Close());
}

}  // namespace
}  // namespace qm
