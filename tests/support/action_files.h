#pragma once
// What each of the panel's actions does to the terminal: the exchange files it writes, in the order it writes
// them, whether it then asks for the public message, and the message box that refuses it. The action tests
// run each action over the fake panel, the window tests press each button of the real window and the outage
// soak presses BUY, all against these rows; the texts are written out here, never taken from the product.

#include <algorithm>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "actions/action.h"
#include "ui/main_layout.h"

namespace qm::test {

using Files = std::vector<std::wstring>;

struct ActionFiles {
  const char* name;
  const wchar_t* button;  // the window's button that runs it; none for the option change (any option button)
  std::optional<Action> runs;  // what the button names; none for the option change
  Files files;                 // names in the exchange folder, in the order written
  bool refreshes;              // asks for the public message after its last file
  const wchar_t* refusal;      // the message box for an Expert Advisor path it refuses; none: it refuses none
  const wchar_t* blank_price = nullptr;  // the message box for a blank price of its own
};

inline constexpr wchar_t kOrderRefusal[] =
    L"Expert Advisor not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";

inline const ActionFiles kEveryAction[] = {
    {"Buy", L"cmdBuy", OrderAction::Buy,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"mycloseall.txt", L"Buy.txt"},
     true, kOrderRefusal},
    {"Sell", L"cmdSell", OrderAction::Sell,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"mycloseall.txt", L"Sell.txt"},
     true, kOrderRefusal},
    {"Hedge", L"cmdHedge", OrderAction::Hedge,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"mycloseall.txt", L"Buy.txt", L"Sell.txt"},
     true, kOrderRefusal},
    {"BuyStop", L"cmdBuyStop", OrderAction::BuyStop,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"myprice.txt", L"mycloseall.txt", L"Buystop.txt"},
     true, kOrderRefusal, L"Price cannot be blank. Please enter Buy Stop Price."},
    {"SellStop", L"cmdSellStop", OrderAction::SellStop,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"myprice.txt", L"mycloseall.txt", L"Sellstop.txt"},
     true, kOrderRefusal, L"Price cannot be blank. Please enter Sell Stop Price."},
    {"BuyLimit", L"cmdBuyLimit", OrderAction::BuyLimit,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"myprice.txt", L"mycloseall.txt", L"Buylimit.txt"},
     true, kOrderRefusal, L"Price cannot be blank. Please enter Buy Limit Price."},
    {"SellLimit", L"cmdSellLimit", OrderAction::SellLimit,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt",
           L"myprice.txt", L"mycloseall.txt", L"Selllimit.txt"},
     true, kOrderRefusal, L"Price cannot be blank. Please enter Sell Limit Price."},
    {"CloseAll", L"cmdCloseAll", CloseAction::CloseAll,
     Files{L"mypair.txt", L"mymagicno.txt", L"Closeall.txt"}, true, kOrderRefusal},
    {"CloseBuy", L"cmdCloseBuy", CloseAction::CloseBuy,
     Files{L"mypair.txt", L"mymagicno.txt", L"Closebuy.txt"}, true, kOrderRefusal},
    {"CloseSell", L"cmdCloseSell", CloseAction::CloseSell,
     Files{L"mypair.txt", L"mymagicno.txt", L"Closesell.txt"}, true, kOrderRefusal},
    {"DeleteBuyStop", L"cmdDeleteBuyStop", CloseAction::DeleteBuyStop,
     Files{L"mypair.txt", L"mymagicno.txt", L"Deletebuystop.txt"}, true, kOrderRefusal},
    {"DeleteSellStop", L"cmdDeleteSellStop", CloseAction::DeleteSellStop,
     Files{L"mypair.txt", L"mymagicno.txt", L"Deletesellstop.txt"}, true, kOrderRefusal},
    {"DeleteBuyLimit", L"cmdDeleteBuyLimit", CloseAction::DeleteBuyLimit,
     Files{L"mypair.txt", L"mymagicno.txt", L"Deletebuylimit.txt"}, true, kOrderRefusal},
    {"DeleteSellLimit", L"cmdDeleteSellLimit", CloseAction::DeleteSellLimit,
     Files{L"mypair.txt", L"mymagicno.txt", L"Deleteselllimit.txt"}, true, kOrderRefusal},
    // Send Parameters wants only a path that is not blank; the option change tests nothing.
    {"SendParameters", L"cmdSendParameters", PanelAction::SendParameters,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mycloseall.txt",
           L"mylotsize.txt"},
     false, L"Expert Advisor is not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor."},
    {"OptionChanged", nullptr, std::nullopt,
     Files{L"mypair.txt", L"mymagicno.txt", L"mystoploss.txt", L"mytakeprofit.txt", L"mylotsize.txt"}, false,
     nullptr},
};

// A row prints as its name in a test's report.
inline void PrintTo(const ActionFiles& action, std::ostream* out) {
  *out << action.name;
}

// Runs the action over `panel` as the window does: the action its button names, or the option change.
inline void RunAction(const ActionFiles& action, Panel& panel) {
  if (action.runs)
    Run(panel, *action.runs);
  else
    OptionChanged(panel);
}

inline const ActionFiles& ActionNamed(std::string_view name) {
  for (const ActionFiles& action : kEveryAction) {
    if (action.name == name)
      return action;
  }
  throw std::invalid_argument("no such action");
}

// Every button of the main window's layout that writes files: the order, close and delete buttons and Send
// Parameters. The location and web-site buttons start other programs and have tests of their own.
inline std::vector<std::wstring_view> ActionButtons() {
  std::vector<std::wstring_view> buttons;
  for (const ControlLayout& control : MainLayout()) {
    if (control.kind == ControlKind::CommandButton && control.name != L"cmdFileLocation" &&
        control.name != L"cmdVisit_QRX") {
      buttons.push_back(control.name);
    }
  }
  return buttons;
}

// What the fake panel logs while every file of `action` is written into `folder` (given with its trailing
// backslash): each file, then its writer's report, and last the action's own.
inline std::vector<std::wstring> WriteEvents(const std::wstring& folder, const ActionFiles& action) {
  std::vector<std::wstring> events;
  for (const std::wstring& file : action.files) {
    events.push_back(L"file " + folder + file);
    events.push_back(L"status Status: OK.");
  }
  events.push_back(L"status Status: OK.");
  return events;
}

// What the window's recorder logs for the same: the files, which it sees together when the action's report
// reaches the status line (in name order), then that report.
inline std::vector<std::wstring> WindowEvents(const std::wstring& folder, const ActionFiles& action) {
  Files files = action.files;
  std::ranges::sort(files);
  std::vector<std::wstring> events;
  for (const std::wstring& file : files)
    events.push_back(L"file " + folder + file);
  events.push_back(L"status Status: OK.");
  return events;
}

}  // namespace qm::test
