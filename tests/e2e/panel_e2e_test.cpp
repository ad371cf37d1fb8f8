// The built Quenmarel.exe under Wine, driven only from outside as a user would drive it: through its window,
// the real Open dialog and the stand-in terminal it starts. What counts is what the terminal journals and
// what lies in the exchange folders afterwards.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/journal_file.h"
#include "support/data_folder.h"
#include "support/temp_folder.h"
#include "support/text.h"
#include "support/window_driver.h"
#include "ui/main_layout.h"

namespace qm::e2e {
namespace {

using namespace test;

// The public message that the demo's vendor database holds (scripts/setup-demo-database.sh).
constexpr wchar_t kWelcome[] =
    L"Welcome to the Quenmarel offline demo. This message comes from the demo's own vendor database.";
class PanelEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // A demo-like data folder: the placeholder Expert Advisor, both exchange folders and a copy of the
    // stand-in terminal, which the panel starts from there.
    data_.PlaceExpertAdvisor();
    ASSERT_TRUE(data_.PlaceTerminal(PathFromEnvironment("QM_TERMINAL_EXE")))
        << "no stand-in terminal to copy (QM_TERMINAL_EXE)";
    panel_ = ProcessGuard::Start(PathFromEnvironment("QM_PANEL_EXE"));
    ASSERT_TRUE(panel_.running()) << "Quenmarel.exe did not start (QM_PANEL_EXE)";
    ASSERT_TRUE(WaitUntil([&] {
      window_ = FindTopWindow(panel_.id(), L"");
      return window_ && TextOf(window_) == MainWindowTitle();
    })) << "no main window titled "
        << Narrow(MainWindowTitle());
    // The load step ends with the database report; the first action must not race it.
    ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(L"lblStatus")) != L"lblStatus"; }));
  }

  void TearDown() override {
    // A user closes both windows; whatever does not end then is ended by the guards.
    if (window_ && panel_.running()) {
      ::PostMessageW(window_, WM_CLOSE, 0, 0);
      EXPECT_TRUE(panel_.WaitForExit()) << "the panel did not end on WM_CLOSE";
    }
    // A terminal that the panel started after a step had already failed is found by its title.
    if (!terminal_.running()) {
      terminal_window_ = FindWindowByTitleStart(L"Stand-in terminal - " + data_.path());
      if (terminal_window_)
        terminal_ = ProcessGuard::OfWindow(terminal_window_);
    }
    if (terminal_window_ && terminal_.running()) {
      ::PostMessageW(terminal_window_, WM_CLOSE, 0, 0);
      EXPECT_TRUE(terminal_.WaitForExit()) << "the stand-in terminal did not end on WM_CLOSE";
    }
  }

  HWND Control(std::wstring_view name) const { return FindDescendant(window_, ControlId(name)); }

  std::vector<std::string> Journal() const { return terminal::JournalFileLines(data_ / L"journal.txt"); }

  TempFolder temp_;
  DataFolder data_{temp_ / L"Demo Terminal"};
  ProcessGuard panel_;
  ProcessGuard terminal_;
  HWND window_ = nullptr;
  HWND terminal_window_ = nullptr;
};

// One user step: boxes typed into, then one button or option pressed; then the lines the terminal journals
// for it and exchange files (relative to the data folder) with their whole contents.
struct Step {
  const char* what;
  std::vector<std::pair<std::wstring_view, std::wstring>> typed;
  std::wstring_view pressed;
  std::vector<std::string> journaled;
  std::map<std::wstring, std::string> files;
  bool refreshes_message;
};

// The panel starts in "Backtest" with "4-Digit" (tester\files, values as typed) and ends in "RealTime (Demo
// or Real)" with "5-Digit" (MQL4\files, take-profit and stop-loss times ten).
const std::vector<Step>& Steps() {
  static const std::vector<Step> steps = {
      {"BUY with typed parameters, the pair and the lot size as a full-width input method types them",
       {{L"txtPair", L"\uFF25\uFF35\uFF32\uFF35\uFF33\uFF24"},
        {L"txtLotsize", L"\uFF10\u3002\uFF10\uFF15"},
        {L"txtStopLoss", L"25"},
        {L"txtTakeProfit", L"40"},
        {L"txtMagicNo", L"4242"}},
       L"cmdBuy",
       {"BUY pair=EURUSD lots=0.05 sl=25 tp=40 magic=4242 closeall=9999999 folder=tester\\files"},
       {{L"tester\\files\\mypair.txt", "EURUSD\r\n"}, {L"tester\\files\\mylotsize.txt", "0.05\r\n"}},
       true},
      {"SELLLIMIT with its own price",
       {{L"txtselllimit_price", L"1.2345"}, {L"txtbuystop_price", L"   "}},
       L"cmdSellLimit",
       {"SELLLIMIT pair=EURUSD lots=0.05 sl=25 tp=40 magic=4242 closeall=9999999 price=1.2345 "
        "folder=tester\\files"},
       {{L"tester\\files\\myprice.txt", "1.2345\r\n"}},
       true},
      {"HEDGE: a buy, then a sell, from one set of files",
       {{L"txtCloseall", L"150"}},
       L"cmdHedge",
       {"BUY pair=EURUSD lots=0.05 sl=25 tp=40 magic=4242 closeall=150 folder=tester\\files",
        "SELL pair=EURUSD lots=0.05 sl=25 tp=40 magic=4242 closeall=150 folder=tester\\files"},
       {{L"tester\\files\\mycloseall.txt", "150\r\n"}},
       true},
      {"CLOSE ALL sends pair and magic number only",
       {{L"txtCloseall", L"80"}, {L"txtMagicNo", L"77"}},
       L"cmdCloseAll",
       {"CLOSEALL pair=EURUSD magic=77 folder=tester\\files"},
       {{L"tester\\files\\mycloseall.txt", "150\r\n"}, {L"tester\\files\\mymagicno.txt", "77\r\n"}},
       true},
      {"Delete BUYSTOP with a blank price box",
       {},
       L"cmdDeleteBuyStop",
       {"DELETEBUYSTOP pair=EURUSD magic=77 folder=tester\\files"},
       {{L"tester\\files\\myprice.txt", "1.2345\r\n"}},
       true},
      {"5-Digit rewrites stop-loss and take-profit times ten",
       {},
       L"optFiveDigit",
       {},
       {{L"tester\\files\\mystoploss.txt", "250\r\n"},
        {L"tester\\files\\mytakeprofit.txt", "400\r\n"},
        {L"tester\\files\\mycloseall.txt", "150\r\n"}},
       false},
      {"Send Parameters writes the close-all amount too",
       {{L"txtStopLoss", L"3"}},
       L"cmdSendParameters",
       {},
       {{L"tester\\files\\mystoploss.txt", "30\r\n"},
        {L"tester\\files\\mytakeprofit.txt", "400\r\n"},
        {L"tester\\files\\mycloseall.txt", "80\r\n"}},
       false},
      {"RealTime moves the files to MQL4\\files",
       {},
       L"optRealTime",
       {},
       {{L"MQL4\\files\\mypair.txt", "EURUSD\r\n"},
        {L"MQL4\\files\\mystoploss.txt", "30\r\n"},
        {L"MQL4\\files\\mycloseall.txt", "<missing>"}},
       false},
      {"BUY after the switch goes to the live terminal",
       {},
       L"cmdBuy",
       {"BUY pair=EURUSD lots=0.05 sl=30 tp=400 magic=77 closeall=80 folder=MQL4\\files"},
       {{L"MQL4\\files\\mycloseall.txt", "80\r\n"}},
       true},
  };
  return steps;
}

TEST_F(PanelEndToEnd, ChoosingTheExpertAdvisorStartsTheTerminalAndEveryButtonReachesItsJournal) {
  // The Open dialog is modal: the click is posted, and the dialog is driven while the panel waits in it.
  ASSERT_TRUE(PostClick(Control(L"cmdFileLocation")));
  const std::wstring problem = ChooseInOpenDialog(panel_.id(), data_.ExpertAdvisor());
  ASSERT_EQ(problem, L"") << Narrow(problem);

  ASSERT_TRUE(WaitUntil([&] {
    // By its whole title: other tests may run stand-in terminals of their own on the same display.
    terminal_window_ = FindWindowByTitleStart(L"Stand-in terminal - " + data_.path());
    return terminal_window_ != nullptr;
  })) << "the panel did not start the stand-in terminal";
  terminal_ = ProcessGuard::OfWindow(terminal_window_);
  EXPECT_EQ(TextOf(Control(L"txtFileLocation")), data_.ExpertAdvisor());
  EXPECT_TRUE(WaitUntil([&] { return TextOf(Control(L"lblStatus")) == L"Status: OK."; }))
      << Narrow(TextOf(Control(L"lblStatus")));
  EXPECT_NE(TextOf(Control(L"lblAds2")), kWelcome) << "the message is read only after an order";

  std::vector<std::string> journaled;
  for (const Step& step : Steps()) {
    SCOPED_TRACE(step.what);
    for (const auto& [box, text] : step.typed)
      ASSERT_TRUE(SetText(Control(box), text)) << Narrow(std::wstring(box));
    ASSERT_TRUE(Click(Control(step.pressed)))
        << "no answer to the press of " << Narrow(std::wstring(step.pressed));
    EXPECT_EQ(TextOf(Control(L"lblStatus")), L"Status: OK.");
    if (step.refreshes_message) {
      // The refresh runs after the press, on the panel's vendor worker.
      EXPECT_TRUE(WaitUntil([&] { return TextOf(Control(L"lblAds2")) == kWelcome; }));
    }

    journaled.insert(journaled.end(), step.journaled.begin(), step.journaled.end());
    WaitUntil([&] { return Journal().size() >= journaled.size(); });
    EXPECT_EQ(Journal(), journaled);
    for (const auto& [file, content] : step.files)
      EXPECT_EQ(ReadBytes(data_ / file), content) << Narrow(file);
    // Every command has been taken: no command file is left in either folder.
    for (const wchar_t* folder : {L"MQL4\\files", L"tester\\files"}) {
      for (const wchar_t* command :
           {L"Buy.txt", L"Sell.txt", L"Selllimit.txt", L"Closeall.txt", L"Deletebuystop.txt"}) {
        EXPECT_TRUE(WaitUntil([&] { return !test::FileExists(data_ / folder + L"\\" + command); }))
            << Narrow(std::wstring(folder) + L"\\" + command);
      }
    }
  }
}

// A new user's data folder without its tester\files folder (the panel starts in "Backtest"): BUY writes
// nothing and the status line says why, also once the public message has been read.
TEST_F(PanelEndToEnd, BuyIntoAMissingExchangeFolderReportsPathNotFound) {
  ASSERT_TRUE(::RemoveDirectoryW((data_ / L"tester\\files").c_str()));
  ASSERT_TRUE(SetText(Control(L"txtFileLocation"), data_.ExpertAdvisor()));
  ASSERT_TRUE(Click(Control(L"cmdBuy")));
  EXPECT_EQ(TextOf(Control(L"lblStatus")), L"76 : Path not found");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(Control(L"lblAds2")) == kWelcome; }));
  EXPECT_EQ(TextOf(Control(L"lblStatus")), L"76 : Path not found");
  EXPECT_EQ(test::ReadBytes(data_ / L"MQL4\\files\\mypair.txt"), "<missing>");
}

}  // namespace
}  // namespace qm::e2e
