#include "actions/actions.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <ranges>
#include <utility>

#include "bridge/value_forms.h"
#include "bridge/writers.h"
#include "platform/text.h"

namespace qm {
namespace {

// The writers of one action and its closing report. Each writer reports on the status line as it runs, and
// the sequence goes on after a failure; the first failure any writer met is what the action reports last,
// so a file that was not written is never reported as sent. A writer whose gate lets nothing through
// writes nothing and meets no failure.
class ActionWriters {
 public:
  explicit ActionWriters(Panel& panel) : panel_(panel) {}

  void Write(std::initializer_list<ExchangeFile> files) {
    for (ExchangeFile file : files) {
      Outcome outcome = WriteExchangeFile(panel_, file);
      panel_.SetStatus(StatusReport(outcome));
      if (outcome && !first_failure_)
        first_failure_ = std::move(outcome);
    }
  }

  // The action's closing report: "Status: OK." only when every file was written. The public-message
  // refresh is not part of the trade and does not count.
  void Report() { panel_.SetStatus(StatusReport(first_failure_)); }

 private:
  Panel& panel_;
  Outcome first_failure_;
};

bool ExpertAdvisorSelectedForOrders(Panel& panel) {
  if (TrimSpaces(panel.Text(Field::FileLocation)).size() >= kShortestExpertAdvisorPath)
    return true;
  panel.ShowMessage(std::wstring(kOrderNotSelected));
  return false;
}

// A pending order's price: the box it is typed into, the file it goes to, the message when it is blank.
struct PendingOrder {
  Field price_box;
  ExchangeFile price_file;
  std::wstring_view blank_message;
};

constexpr PendingOrder kBuyStopPrice{Field::BuyStopPrice, ExchangeFile::BuyStopPrice,
                                     L"Price cannot be blank. Please enter Buy Stop Price."};
constexpr PendingOrder kSellStopPrice{Field::SellStopPrice, ExchangeFile::SellStopPrice,
                                      L"Price cannot be blank. Please enter Sell Stop Price."};
constexpr PendingOrder kBuyLimitPrice{Field::BuyLimitPrice, ExchangeFile::BuyLimitPrice,
                                      L"Price cannot be blank. Please enter Buy Limit Price."};
constexpr PendingOrder kSellLimitPrice{Field::SellLimitPrice, ExchangeFile::SellLimitPrice,
                                       L"Price cannot be blank. Please enter Sell Limit Price."};

struct OrderRow {
  OrderAction action;
  ExchangeFile command;
  std::optional<ExchangeFile> second_command;  // HEDGE: Buy, then Sell
  std::optional<PendingOrder> pending;
};

// In the order of OrderAction, so that an action is its row's index.
constexpr std::array<OrderRow, 7> kOrders{{
    {OrderAction::Buy, ExchangeFile::Buy, std::nullopt, std::nullopt},
    {OrderAction::Sell, ExchangeFile::Sell, std::nullopt, std::nullopt},
    {OrderAction::Hedge, ExchangeFile::Buy, ExchangeFile::Sell, std::nullopt},
    {OrderAction::BuyStop, ExchangeFile::BuyStop, std::nullopt, kBuyStopPrice},
    {OrderAction::SellStop, ExchangeFile::SellStop, std::nullopt, kSellStopPrice},
    {OrderAction::BuyLimit, ExchangeFile::BuyLimit, std::nullopt, kBuyLimitPrice},
    {OrderAction::SellLimit, ExchangeFile::SellLimit, std::nullopt, kSellLimitPrice},
}};

static_assert(std::ranges::all_of(std::views::iota(size_t{0}, kOrders.size()),
                                  [](size_t i) { return static_cast<size_t>(kOrders[i].action) == i; }));

ExchangeFile CommandOf(CloseAction action) {
  constexpr std::array kCommands{ExchangeFile::CloseAllCommand, ExchangeFile::CloseBuy,
                                 ExchangeFile::CloseSell,       ExchangeFile::DeleteBuyStop,
                                 ExchangeFile::DeleteSellStop,  ExchangeFile::DeleteBuyLimit,
                                 ExchangeFile::DeleteSellLimit};
  return kCommands[static_cast<size_t>(action)];
}

}  // namespace

void SendParameters(Panel& panel) {
  if (TrimSpaces(panel.Text(Field::FileLocation)).empty()) {
    panel.ShowMessage(std::wstring(kSendParametersNotSelected));
    return;
  }
  ActionWriters writers(panel);
  writers.Write({ExchangeFile::Pair, ExchangeFile::MagicNo, ExchangeFile::StopLoss, ExchangeFile::TakeProfit,
                 ExchangeFile::CloseAll, ExchangeFile::LotSize});
  writers.Report();
}

void OptionChanged(Panel& panel) {
  ActionWriters writers(panel);
  writers.Write({ExchangeFile::Pair, ExchangeFile::MagicNo, ExchangeFile::StopLoss, ExchangeFile::TakeProfit,
                 ExchangeFile::LotSize});
  writers.Report();
}

void OpenOrder(Panel& panel, OrderAction action) {
  const OrderRow& order = kOrders[static_cast<size_t>(action)];
  if (!ExpertAdvisorSelectedForOrders(panel))
    return;
  // Blank as the price writer will read it: a box of ideographic spaces would write an empty price.
  if (order.pending && TrimSpaces(FoldNumberText(panel.Text(order.pending->price_box))).empty()) {
    panel.ShowMessage(std::wstring(order.pending->blank_message));
    return;
  }
  ActionWriters writers(panel);
  writers.Write({ExchangeFile::Pair, ExchangeFile::MagicNo, ExchangeFile::StopLoss, ExchangeFile::TakeProfit,
                 ExchangeFile::LotSize});
  if (order.pending)
    writers.Write({order.pending->price_file});
  writers.Write({ExchangeFile::CloseAll});
  writers.Write({order.command});
  if (order.second_command)
    writers.Write({*order.second_command});
  panel.RefreshPublicMessage();
  writers.Report();
}

void CloseOrDelete(Panel& panel, CloseAction action) {
  if (!ExpertAdvisorSelectedForOrders(panel))
    return;
  ActionWriters writers(panel);
  writers.Write({ExchangeFile::Pair, ExchangeFile::MagicNo, CommandOf(action)});
  panel.RefreshPublicMessage();
  writers.Report();
}

}  // namespace qm
