// The real stand-in terminal.exe, started as the panel starts it, fed by the panel's own actions.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "actions/actions.h"
#include "journal_file.h"
#include "support/data_folder.h"
#include "support/fake_panel.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"

namespace qm {
namespace {

using test::FakePanel;
using test::ReadBytes;
using test::TempFolder;
using test::WaitUntil;

std::wstring TerminalProgram() {
  return test::PathFromEnvironment("QM_TERMINAL_EXE");
}

// The stand-in started with its bare, unquoted path as the command line, as the panel starts it, plus
// `arguments`, without taking the focus.
class RunningTerminal : public test::ProcessGuard {
 public:
  RunningTerminal(const std::wstring& program, const std::vector<std::wstring>& arguments)
      : ProcessGuard(Start(program, arguments, {.quote_program = false, .show = SW_SHOWNOACTIVATE})) {}

  bool started() const { return id() != 0; }
  bool HasExited() const { return started() && !running(); }
  // The stand-in's main window, once it has one.
  HWND Window() const { return test::FindTopWindow(id(), L"QuenmarelStandInTerminal"); }
  std::wstring Title() const { return test::TextOf(Window()); }

  // Closes the window as a user would and waits for the process to end.
  bool Close() const {
    const HWND window = Window();
    if (window)
      ::PostMessageW(window, WM_CLOSE, 0, 0);
    return window && WaitForExit();
  }
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
  const test::DataFolder data(temp / L"Demo Data\\MT4", c.placement != Placement::PortableOption);
  const std::wstring& data_folder = data.path();
  std::wstring program = built;
  std::vector<std::wstring> arguments{L"--data-folder=" + data_folder};
  if (c.placement != Placement::DataFolderOption) {
    program = data_folder + L"\\terminal.exe";
    ASSERT_TRUE(data.PlaceTerminal(built));
    arguments.clear();
    if (c.placement == Placement::PortableOption)
      arguments.push_back(L"/Portable");
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
  const std::vector<std::wstring> arguments{L"--data-folder=" + temp.path()};
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
