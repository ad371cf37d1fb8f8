#include "actions/actions.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "support/fake_panel.h"
#include "support/temp_folder.h"

namespace qm {
namespace {

using test::FakePanel;
using test::TempFolder;
using Files = std::vector<std::wstring>;

constexpr wchar_t kOk[] = L"status Status: OK.";
constexpr wchar_t kTooShort[] = L"status 5 : Invalid procedure call or argument";

// A terminal data folder with both exchange folders; the panel points at its Expert Advisor, real time,
// 4 digits, and records every file written below the data folder.
class ActionTest : public testing::Test {
 protected:
  void SetUp() override {
    temp.MakeFolder(L"MT4\\MQL4\\files");
    temp.MakeFolder(L"MT4\\tester\\files");
    panel.texts[Field::FileLocation] = temp / L"MT4\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
    panel.Select(Option::RealTime);
    panel.Select(Option::FourDigit);
  }
  void Watch() { panel.Watch(temp / L"MT4"); }
  std::wstring RealTime(const std::wstring& name) const { return temp / (L"MT4\\MQL4\\files\\" + name); }

  TempFolder temp;
  FakePanel panel;
};

Files InRealTime(std::initializer_list<const wchar_t*> names) {
  Files out;
  for (const wchar_t* n : names)
    out.push_back(std::wstring(L"MQL4\\files\\") + n);
  return out;
}

struct ActionCase {
  const char* name;
  std::function<void(Panel&)> run;
  Files files;  // in the order written
  bool refreshes;
};

const ActionCase kActions[] = {
    {"Buy", [](Panel& p) { OpenOrder(p, OrderAction::Buy); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"mycloseall.txt", L"Buy.txt"}),
     true},
    {"Sell", [](Panel& p) { OpenOrder(p, OrderAction::Sell); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"mycloseall.txt", L"Sell.txt"}),
     true},
    {"Hedge", [](Panel& p) { OpenOrder(p, OrderAction::Hedge); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"mycloseall.txt", L"Buy.txt", L"Sell.txt"}),
     true},
    {"BuyStop", [](Panel& p) { OpenOrder(p, OrderAction::BuyStop); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"myprice.txt", L"mycloseall.txt", L"Buystop.txt"}),
     true},
    {"SellStop", [](Panel& p) { OpenOrder(p, OrderAction::SellStop); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"myprice.txt", L"mycloseall.txt", L"Sellstop.txt"}),
     true},
    {"BuyLimit", [](Panel& p) { OpenOrder(p, OrderAction::BuyLimit); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"myprice.txt", L"mycloseall.txt", L"Buylimit.txt"}),
     true},
    {"SellLimit", [](Panel& p) { OpenOrder(p, OrderAction::SellLimit); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
                 L"myprice.txt", L"mycloseall.txt", L"Selllimit.txt"}),
     true},
    {"CloseAll", [](Panel& p) { CloseOrDelete(p, CloseAction::CloseAll); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Closeall.txt"}), true},
    {"CloseBuy", [](Panel& p) { CloseOrDelete(p, CloseAction::CloseBuy); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Closebuy.txt"}), true},
    {"CloseSell", [](Panel& p) { CloseOrDelete(p, CloseAction::CloseSell); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Closesell.txt"}), true},
    {"DeleteBuyStop", [](Panel& p) { CloseOrDelete(p, CloseAction::DeleteBuyStop); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Deletebuystop.txt"}), true},
    {"DeleteSellStop", [](Panel& p) { CloseOrDelete(p, CloseAction::DeleteSellStop); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Deletesellstop.txt"}), true},
    {"DeleteBuyLimit", [](Panel& p) { CloseOrDelete(p, CloseAction::DeleteBuyLimit); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Deletebuylimit.txt"}), true},
    {"DeleteSellLimit", [](Panel& p) { CloseOrDelete(p, CloseAction::DeleteSellLimit); },
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"Deleteselllimit.txt"}), true},
    {"SendParameters", SendParameters,
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mycloseall.txt",
                 L"mylotsize.txt"}),
     false},
    {"OptionChanged", OptionChanged,
     InRealTime({L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt"}),
     false},
};

class EveryActionTest : public ActionTest, public testing::WithParamInterface<ActionCase> {};

// Each write is followed by its writer's report; the refresh comes after the last file; the action's own
// report is last.
TEST_P(EveryActionTest, WritesItsFilesInOrderThenRefreshesThenReports) {
  const ActionCase& c = GetParam();
  // Blank price boxes that are not the order's own do not matter; delete buttons never read them.
  panel.texts[Field::BuyStopPrice] = c.name == std::string("BuyStop") ? L"1.6349" : L"  ";
  Watch();
  c.run(panel);

  std::vector<std::wstring> expected;
  for (const std::wstring& f : c.files) {
    expected.push_back(L"file " + f);
    expected.push_back(kOk);
  }
  if (c.refreshes)
    expected.push_back(L"refresh");
  expected.push_back(kOk);
  EXPECT_EQ(panel.events, expected);
}

INSTANTIATE_TEST_SUITE_P(AllActions, EveryActionTest, testing::ValuesIn(kActions),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  std::function<void(Panel&)> run;
  std::wstring path;
  std::wstring buy_stop_price;
  std::wstring message;  // empty: the action goes ahead
};

const std::wstring kOrderMessage =
    L"message Expert Advisor not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";
const std::wstring kSendMessage =
    L"message Expert Advisor is not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";
const std::wstring kBuyStopMessage = L"message Price cannot be blank. Please enter Buy Stop Price.";
const auto kBuy = [](Panel& p) { OpenOrder(p, OrderAction::Buy); };
const auto kBuyStop = [](Panel& p) { OpenOrder(p, OrderAction::BuyStop); };
const auto kCloseBuy = [](Panel& p) { CloseOrDelete(p, CloseAction::CloseBuy); };

const RefusalCase kRefusals[] = {
    // The order, close and delete buttons want 19 characters after trimming spaces.
    {"Buy18", kBuy, L"  " + std::wstring(18, L'p') + L"  ", L"1", kOrderMessage},
    {"Buy19", kBuy, L"  " + std::wstring(19, L'p') + L"  ", L"1", L""},
    {"BuyEmpty", kBuy, L"", L"1", kOrderMessage},
    {"BuyTabsCount", kBuy, L"\t" + std::wstring(17, L'p') + L"\t", L"1", L""},
    {"CloseBuy18", kCloseBuy, std::wstring(18, L'p'), L"1", kOrderMessage},
    {"CloseBuy19", kCloseBuy, std::wstring(19, L'p'), L"1", L""},
    // A short path and a blank price: only the path is reported.
    {"BuyStopShortPathBlankPrice", kBuyStop, L"short", L"   ", kOrderMessage},
    {"BuyStopBlankPrice", kBuyStop, std::wstring(40, L'p'), L"   ", kBuyStopMessage},
    {"BuyStopEmptyPrice", kBuyStop, std::wstring(40, L'p'), L"", kBuyStopMessage},
    {"BuyStopTextPrice", kBuyStop, std::wstring(40, L'p'), L"abc", L""},
    {"BuyStopTabPrice", kBuyStop, std::wstring(40, L'p'), L"\t", L""},
    // Send Parameters only wants a path that is not blank.
    {"SendEmpty", SendParameters, L"", L"1", kSendMessage},
    {"SendSpaces", SendParameters, L"     ", L"1", kSendMessage},
    {"SendShort", SendParameters, L"x", L"1", L""},
    // The option buttons test nothing.
    {"OptionEmpty", OptionChanged, L"", L"", L""},
};

class RefusalTest : public ActionTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ARefusedActionWritesNothingAndLeavesTheStatusLine) {
  const RefusalCase& c = GetParam();
  panel.texts[Field::FileLocation] = c.path;
  panel.texts[Field::BuyStopPrice] = c.buy_stop_price;
  panel.status = L"before";
  Watch();
  c.run(panel);
  if (c.message.empty()) {
    ASSERT_FALSE(panel.events.empty());
    EXPECT_EQ(panel.events.back(), kOk);
    for (const std::wstring& e : panel.events)
      EXPECT_NE(e.rfind(L"message", 0), 0u) << testing::PrintToString(e);
  } else {
    EXPECT_EQ(panel.events, std::vector<std::wstring>{c.message});
    EXPECT_EQ(panel.status, L"before");
  }
}

INSTANTIATE_TEST_SUITE_P(Tests, RefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActionTest, PathsThatPassTheTestButNotTheFolderRuleReportFromEachWriter) {
  panel.texts[Field::FileLocation] = std::wstring(19, L'p');  // passes the buttons' test, shorter than 28
  Watch();
  CloseOrDelete(panel, CloseAction::CloseBuy);
  EXPECT_EQ(panel.events, (std::vector<std::wstring>{kTooShort, kTooShort, kTooShort, L"refresh", kOk}));
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
  EXPECT_EQ(fresh.events,
            (std::vector<std::wstring>{kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kOk}));
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
  // Buy.txt is refused, Sell.txt is still written, the message is still refreshed, the action ends OK.
  const std::vector<std::wstring> tail(panel.events.end() - 5, panel.events.end());
  EXPECT_EQ(tail, (std::vector<std::wstring>{L"status 75 : Path/File access error",
                                             L"file MQL4\\files\\Sell.txt", kOk, L"refresh", kOk}));
  EXPECT_EQ(panel.status, L"Status: OK.");
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
