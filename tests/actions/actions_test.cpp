#include "actions/actions.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>

#include "support/action_files.h"
#include "support/data_folder.h"
#include "support/fake_panel.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"

namespace qm {
namespace {

using test::ActionFiles;
using test::ActionNamed;
using test::FakePanel;
using test::Files;
using test::TempFolder;

constexpr wchar_t kOk[] = L"status Status: OK.";
constexpr wchar_t kTooShort[] = L"status 5 : Invalid procedure call or argument";
constexpr wchar_t kServerDown[] = L"status SQL Server is down.";

// The window's refresh with the vendor database down: it reports its failure on the status line, which the
// action's own report then replaces.
class VendorDownPanel : public FakePanel {
 public:
  void RefreshPublicMessage() override {
    FakePanel::RefreshPublicMessage();
    SetStatus(L"SQL Server is down.");
  }
};

// A terminal data folder with both exchange folders; the panel points at its Expert Advisor, real time,
// 4 digits, and records every file written below the data folder.
class ActionTest : public testing::Test {
 protected:
  void SetUp() override { panel.PointAt(data, Option::RealTime, Option::FourDigit); }
  void Watch() { panel.Watch(data.path()); }
  std::wstring RealTime(const std::wstring& name) const { return data.RealTime() + L"\\" + name; }

  TempFolder temp;
  test::DataFolder data{temp / L"MT4"};
  VendorDownPanel panel;
};

class EveryActionTest : public ActionTest, public testing::WithParamInterface<ActionFiles> {};

// Each write is followed by its writer's report; the refresh comes after the last file; the action's own
// report is last, and with every file written it is "Status: OK." whatever the refresh met.
TEST_P(EveryActionTest, WritesItsFilesInOrderThenRefreshesThenReports) {
  const ActionFiles& c = GetParam();
  // Blank price boxes that are not the order's own do not matter; delete buttons never read them.
  panel.texts[Field::BuyStopPrice] = c.name == std::string("BuyStop") ? L"1.6349" : L"  ";
  Watch();
  RunAction(c, panel);

  std::vector<std::wstring> expected = test::WriteEvents(L"MQL4\\files\\", c);
  if (c.refreshes)
    expected.insert(expected.end() - 1, {L"refresh", kServerDown});
  EXPECT_EQ(panel.events, expected);
}

INSTANTIATE_TEST_SUITE_P(AllActions, EveryActionTest, testing::ValuesIn(test::kEveryAction),
                         [](const auto& info) { return std::string(info.param.name); });

// What stands between an action and its files. The path leads to the terminal's data folder (real time),
// to a data folder without its exchange folder, or is long enough for the buttons' test but shorter than
// the folder rule's cut of 28.
enum class Path { Terminal, NoExchangeFolder, Short19, Short27 };

struct FaultCase {
  const char* name;
  const char* action;  // a row of the action table
  Path path;
  const wchar_t* read_only;  // a file already there, made read-only
  const wchar_t* held;       // a file already there, held open without sharing by another program
  const wchar_t* report;     // the action's closing report
};

constexpr wchar_t kMissing[] = L"76 : Path not found";
constexpr wchar_t kCut[] = L"5 : Invalid procedure call or argument";
constexpr wchar_t kReadOnly[] = L"75 : Path/File access error";
constexpr wchar_t kHeld[] = L"70 : Permission denied";

const FaultCase kFaults[] = {
    {"BuyNoExchangeFolder", "Buy", Path::NoExchangeFolder, nullptr, nullptr, kMissing},
    {"BuyPath19", "Buy", Path::Short19, nullptr, nullptr, kCut},
    {"BuyReadOnlyLotSize", "Buy", Path::Terminal, L"mylotsize.txt", nullptr, kReadOnly},
    {"BuyHeldPair", "Buy", Path::Terminal, nullptr, L"mypair.txt", kHeld},
    {"HedgeNoExchangeFolder", "Hedge", Path::NoExchangeFolder, nullptr, nullptr, kMissing},
    {"HedgePath27", "Hedge", Path::Short27, nullptr, nullptr, kCut},
    {"HedgeReadOnlyLotSize", "Hedge", Path::Terminal, L"mylotsize.txt", nullptr, kReadOnly},
    {"HedgeHeldBuyStillSells", "Hedge", Path::Terminal, nullptr, L"Buy.txt", kHeld},
    {"BuyStopNoExchangeFolder", "BuyStop", Path::NoExchangeFolder, nullptr, nullptr, kMissing},
    {"BuyStopPath19", "BuyStop", Path::Short19, nullptr, nullptr, kCut},
    {"BuyStopReadOnlyLotSize", "BuyStop", Path::Terminal, L"mylotsize.txt", nullptr, kReadOnly},
    {"BuyStopHeldPrice", "BuyStop", Path::Terminal, nullptr, L"myprice.txt", kHeld},
    {"CloseAllNoExchangeFolder", "CloseAll", Path::NoExchangeFolder, nullptr, nullptr, kMissing},
    {"CloseAllPath27", "CloseAll", Path::Short27, nullptr, nullptr, kCut},
    // Not a file of CLOSE ALL: every file it writes is written.
    {"CloseAllReadOnlyLotSize", "CloseAll", Path::Terminal, L"mylotsize.txt", nullptr, L"Status: OK."},
    {"CloseAllHeldCommand", "CloseAll", Path::Terminal, nullptr, L"Closeall.txt", kHeld},
    {"SendParametersNoExchangeFolder", "SendParameters", Path::NoExchangeFolder, nullptr, nullptr, kMissing},
    {"SendParametersPath19", "SendParameters", Path::Short19, nullptr, nullptr, kCut},
    {"SendParametersReadOnlyLotSizeLast", "SendParameters", Path::Terminal, L"mylotsize.txt", nullptr,
     kReadOnly},
    // mycloseall.txt goes before mylotsize.txt: the first failure is the one reported.
    {"SendParametersFirstFailureCounts", "SendParameters", Path::Terminal, L"mylotsize.txt",
     L"mycloseall.txt", kHeld},
    {"OptionChangedNoExchangeFolder", "OptionChanged", Path::NoExchangeFolder, nullptr, nullptr, kMissing},
    {"OptionChangedPath27", "OptionChanged", Path::Short27, nullptr, nullptr, kCut},
    {"OptionChangedReadOnlyLotSize", "OptionChanged", Path::Terminal, L"mylotsize.txt", nullptr, kReadOnly},
    {"OptionChangedHeldStopLoss", "OptionChanged", Path::Terminal, nullptr, L"mystoploss.txt", kHeld},
};

void PrintTo(const FaultCase& c, std::ostream* out) {
  *out << c.name;
}

class FaultTest : public ActionTest, public testing::WithParamInterface<FaultCase> {};

// The sequence goes on past a failed writer and refreshes as usual; what could be written is written, and
// the action's closing report is the first failure, never "Status: OK." for a file that was not written.
TEST_P(FaultTest, ReportsTheFirstFailureLastAndWritesWhatItCan) {
  const FaultCase& c = GetParam();
  const ActionFiles& action = ActionNamed(c.action);
  if (c.path == Path::NoExchangeFolder) {
    ASSERT_TRUE(::RemoveDirectoryW((temp / L"MT4\\MQL4\\files").c_str()));
  }
  if (c.path == Path::Short19)
    panel.texts[Field::FileLocation] = L"Kelvarinth_V10x.ex4";
  if (c.path == Path::Short27)
    panel.texts[Field::FileLocation] = L"C:\\MT45\\Kelvarinth_V10x.ex4";
  test::NamedEvent held(L"held"), release(L"release");
  std::optional<test::PeerProcess> holder;
  if (c.held) {
    test::WriteBytes(RealTime(c.held), "old\r\n");
    holder.emplace(test::SiblingProgram(L"file_holder.exe"),
                   std::vector<std::wstring>{RealTime(c.held), held.name(), release.name()});
    ASSERT_TRUE(holder->WaitForSignal(held, 60'000)) << "the holder could not open the file";
  }
  if (c.read_only) {
    test::WriteBytes(RealTime(c.read_only), "old\r\n");
    ::SetFileAttributesW(RealTime(c.read_only).c_str(), FILE_ATTRIBUTE_READONLY);
  }
  Watch();
  RunAction(action, panel);
  release.Set();
  if (c.read_only)
    ::SetFileAttributesW(RealTime(c.read_only).c_str(), FILE_ATTRIBUTE_NORMAL);

  Files written;
  for (const std::wstring& name : action.files) {
    if (c.path == Path::Terminal && name != (c.read_only ? c.read_only : L"") &&
        name != (c.held ? c.held : L""))
      written.push_back(L"MQL4\\files\\" + name);
  }
  EXPECT_EQ(panel.Files(), written);
  EXPECT_EQ(std::ranges::count(panel.events, std::wstring(L"refresh")), action.refreshes ? 1 : 0);
  ASSERT_FALSE(panel.events.empty());
  EXPECT_EQ(panel.events.back(), L"status " + std::wstring(c.report));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  const char* action;  // a row of the action table
  std::wstring path;
  std::wstring price;  // in all four price boxes
  std::wstring last;   // a message box: the action was refused; a status: it went ahead and reported
};

const std::wstring kPathNotFound = L"status 76 : Path not found";
// The message box of the action's row that refuses its path, or its blank price.
std::wstring PathRefused(const char* action) {
  return L"message " + std::wstring(ActionNamed(action).refusal);
}
std::wstring PriceRefused(const char* action) {
  return L"message " + std::wstring(ActionNamed(action).blank_price);
}

// The paths that pass are shorter than the folder rule's cut, or name a data folder that does not exist, so
// each action that goes ahead ends with its writers' failure.
const RefusalCase kRefusals[] = {
    // The order, close and delete buttons want 19 characters after trimming spaces.
    {"Buy18", "Buy", L"  " + std::wstring(18, L'p') + L"  ", L"1", PathRefused("Buy")},
    {"Buy19", "Buy", L"  " + std::wstring(19, L'p') + L"  ", L"1", kTooShort},
    {"BuyEmpty", "Buy", L"", L"1", PathRefused("Buy")},
    {"BuyTabsCount", "Buy", L"\t" + std::wstring(17, L'p') + L"\t", L"1", kTooShort},
    {"CloseBuy18", "CloseBuy", std::wstring(18, L'p'), L"1", PathRefused("CloseBuy")},
    {"CloseBuy19", "CloseBuy", std::wstring(19, L'p'), L"1", kTooShort},
    // A short path and a blank price: only the path is reported.
    {"BuyStopShortPathBlankPrice", "BuyStop", L"short", L"   ", PathRefused("BuyStop")},
    {"BuyStopBlankPrice", "BuyStop", std::wstring(40, L'p'), L"   ", PriceRefused("BuyStop")},
    {"BuyStopEmptyPrice", "BuyStop", std::wstring(40, L'p'), L"", PriceRefused("BuyStop")},
    {"BuyStopIdeographicSpacePrice", "BuyStop", std::wstring(40, L'p'), L"\u3000 \u3000",
     PriceRefused("BuyStop")},
    {"SellStopBlankPrice", "SellStop", std::wstring(40, L'p'), L" ", PriceRefused("SellStop")},
    {"BuyLimitBlankPrice", "BuyLimit", std::wstring(40, L'p'), L" ", PriceRefused("BuyLimit")},
    {"SellLimitBlankPrice", "SellLimit", std::wstring(40, L'p'), L" ", PriceRefused("SellLimit")},
    {"BuyStopTextPrice", "BuyStop", std::wstring(40, L'p'), L"abc", kPathNotFound},
    {"BuyStopTabPrice", "BuyStop", std::wstring(40, L'p'), L"\t", kPathNotFound},
    {"SendEmpty", "SendParameters", L"", L"1", PathRefused("SendParameters")},
    {"SendSpaces", "SendParameters", L"     ", L"1", PathRefused("SendParameters")},
    {"SendShort", "SendParameters", L"x", L"1", kTooShort},
    {"OptionEmpty", "OptionChanged", L"", L"", kTooShort},
};

class RefusalTest : public ActionTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ARefusedActionWritesNothingAndLeavesTheStatusLine) {
  const RefusalCase& c = GetParam();
  panel.texts[Field::FileLocation] = c.path;
  for (Field box : {Field::BuyStopPrice, Field::SellStopPrice, Field::BuyLimitPrice, Field::SellLimitPrice})
    panel.texts[box] = c.price;
  panel.status = L"before";
  Watch();
  RunAction(ActionNamed(c.action), panel);
  if (c.last.starts_with(L"status ")) {
    ASSERT_FALSE(panel.events.empty());
    EXPECT_EQ(panel.events.back(), c.last);
    for (const std::wstring& e : panel.events)
      EXPECT_NE(e.rfind(L"message", 0), 0u) << testing::PrintToString(e);
  } else {
    EXPECT_EQ(panel.events, std::vector<std::wstring>{c.last});
    EXPECT_EQ(panel.status, L"before");
  }
}

INSTANTIATE_TEST_SUITE_P(Tests, RefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActionTest, PathsThatPassTheTestButNotTheFolderRuleReportFromEachWriter) {
  panel.texts[Field::FileLocation] = std::wstring(19, L'p');  // passes the buttons' test, shorter than 28
  Watch();
  CloseOrDelete(panel, CloseAction::CloseBuy);
  EXPECT_EQ(panel.events,
            (std::vector<std::wstring>{kTooShort, kTooShort, kTooShort, L"refresh", kServerDown, kTooShort}));
}

TEST_F(ActionTest, AnOptionChangeWithoutAnAccountTypeWritesNothingButReports) {
  FakePanel fresh;  // as the window is created: no option selected
  fresh.Select(Option::FourDigit);
  fresh.Watch(temp.path());
  OptionChanged(fresh);
  EXPECT_EQ(fresh.events, std::vector<std::wstring>(6, kOk));
  // Then Backtest with the empty path of a fresh start: every writer refuses the path, nothing is written.
  fresh.Select(Option::BackTest);
  fresh.events.clear();
  OptionChanged(fresh);
  EXPECT_EQ(fresh.events, std::vector<std::wstring>(6, kTooShort));
  EXPECT_TRUE(fresh.Files().empty());
}

TEST_F(ActionTest, SwitchingToBacktestWritesIntoTheTesterFolderOnly) {
  OptionChanged(panel);
  const std::string before = test::ReadBytes(RealTime(L"mypair.txt"));
  Watch();
  panel.Select(Option::BackTest);
  panel.Select(Option::FiveDigit);
  panel.texts[Field::TakeProfit] = L"30";
  OptionChanged(panel);
  EXPECT_EQ(panel.Files(), (Files{L"tester\\files\\mypair.txt", L"tester\\files\\mymagicno.txt",
                                  L"tester\\files\\mystoploss.txt", L"tester\\files\\mytakeprofit.txt",
                                  L"tester\\files\\mylotsize.txt"}));
  EXPECT_EQ(test::ReadBytes(temp / L"MT4\\tester\\files\\mytakeprofit.txt"), "300\r\n");
  EXPECT_EQ(test::ReadBytes(RealTime(L"mypair.txt")), before);
}

TEST_F(ActionTest, CloseAllLeavesTheCloseAllAmountAsItWas) {
  test::WriteBytes(RealTime(L"mycloseall.txt"), "500\r\n");
  panel.texts[Field::Closeall] = L"123";
  Watch();
  CloseOrDelete(panel, CloseAction::CloseAll);
  EXPECT_EQ(test::ReadBytes(RealTime(L"mycloseall.txt")), "500\r\n");
  EXPECT_EQ(test::ReadBytes(RealTime(L"Closeall.txt")), "1\r\n");
}

TEST_F(ActionTest, AFailingWriterDoesNotStopTheSequence) {
  test::WriteBytes(RealTime(L"Buy.txt"), "1\r\n");
  ::SetFileAttributesW(RealTime(L"Buy.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  Watch();
  OpenOrder(panel, OrderAction::Hedge);
  ::SetFileAttributesW(RealTime(L"Buy.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  // Buy.txt is refused, Sell.txt is still written, the message is still refreshed, and the action reports
  // the refusal last.
  const std::vector<std::wstring> tail(panel.events.end() - 6, panel.events.end());
  EXPECT_EQ(tail,
            (std::vector<std::wstring>{L"status 75 : Path/File access error", L"file MQL4\\files\\Sell.txt",
                                       kOk, L"refresh", kServerDown, L"status 75 : Path/File access error"}));
  EXPECT_EQ(panel.status, L"75 : Path/File access error");
}

TEST_F(ActionTest, PendingOrdersCopyTheirOwnPriceBox) {
  const std::pair<OrderAction, Field> orders[] = {{OrderAction::BuyStop, Field::BuyStopPrice},
                                                  {OrderAction::SellStop, Field::SellStopPrice},
                                                  {OrderAction::BuyLimit, Field::BuyLimitPrice},
                                                  {OrderAction::SellLimit, Field::SellLimitPrice}};
  for (const auto& [order, box] : orders) {
    for (const auto& [o, b] : orders)
      panel.texts[b] = L"9.9999";
    panel.texts[box] = L"  1.2345  ";
    OpenOrder(panel, order);
    EXPECT_EQ(test::ReadBytes(RealTime(L"myprice.txt")), "1.2345\r\n");
  }
}

}  // namespace
}  // namespace qm
