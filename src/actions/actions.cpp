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

  void Write(std::initializer_list<Writer> files) {
    for (Writer file : files) {
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
  Writer price_file;
  std::wstring_view blank_message;
};

constexpr PendingOrder kBuyStopPrice{Field::BuyStopPrice, Writer::WriteBuyStopPrice,
                                     L"Price cannot be blank. Please enter Buy Stop Price."};
constexpr PendingOrder kSellStopPrice{Field::SellStopPrice, Writer::WriteSellStopPrice,
                                      L"Price cannot be blank. Please enter Sell Stop Price."};
constexpr PendingOrder kBuyLimitPrice{Field::BuyLimitPrice, Writer::WriteBuyLimitPrice,
                                      L"Price cannot be blank. Please enter Buy Limit Price."};
constexpr PendingOrder kSellLimitPrice{Field::SellLimitPrice, Writer::WriteSellLimitPrice,
                                       L"Price cannot be blank. Please enter Sell Limit Price."};

struct OrderRow {
  OrderAction action;
  Writer command;
  std::optional<Writer> second_command;  // HEDGE: Buy, then Sell
  std::optional<PendingOrder> pending;
};

// In the order of OrderAction, so that an action is its row's index.
constexpr std::array<OrderRow, 7> kOrders{{
    {OrderAction::Buy, Writer::SendBuy, std::nullopt, std::nullopt},
    {OrderAction::Sell, Writer::SendSell, std::nullopt, std::nullopt},
    {OrderAction::Hedge, Writer::SendBuy, Writer::SendSell, std::nullopt},
    {OrderAction::BuyStop, Writer::SendBuyStop, std::nullopt, kBuyStopPrice},
    {OrderAction::SellStop, Writer::SendSellStop, std::nullopt, kSellStopPrice},
    {OrderAction::BuyLimit, Writer::SendBuyLimit, std::nullopt, kBuyLimitPrice},
    {OrderAction::SellLimit, Writer::SendSellLimit, std::nullopt, kSellLimitPrice},
}};

static_assert(std::ranges::all_of(std::views::iota(size_t{0}, kOrders.size()),
                                  [](size_t i) { return static_cast<size_t>(kOrders[i].action) == i; }));

Writer CommandOf(CloseAction action) {
  constexpr std::array kCommands{Writer::SendCloseAll,       Writer::SendCloseBuy,
                                 Writer::SendCloseSell,      Writer::SendDeleteBuyStop,
                                 Writer::SendDeleteSellStop, Writer::SendDeleteBuyLimit,
                                 Writer::SendDeleteSellLimit};
  return kCommands[static_cast<size_t>(action)];
}

}  // namespace

void SendParameters(Panel& panel) {
  if (TrimSpaces(panel.Text(Field::FileLocation)).empty()) {
    panel.ShowMessage(std::wstring(kSendParametersNotSelected));
    return;
  }
  ActionWriters writers(panel);
  writers.Write({Writer::WritePair, Writer::WriteMagicNo, Writer::WriteStopLoss, Writer::WriteTakeProfit,
                 Writer::WriteCloseAll, Writer::WriteLotSize});
  writers.Report();
}

void OptionChanged(Panel& panel) {
  ActionWriters writers(panel);
  writers.Write({Writer::WritePair, Writer::WriteMagicNo, Writer::WriteStopLoss, Writer::WriteTakeProfit,
                 Writer::WriteLotSize});
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
  writers.Write({Writer::WritePair, Writer::WriteMagicNo, Writer::WriteStopLoss, Writer::WriteTakeProfit,
                 Writer::WriteLotSize});
  if (order.pending)
    writers.Write({order.pending->price_file});
  writers.Write({Writer::WriteCloseAll});
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
  writers.Write({Writer::WritePair, Writer::WriteMagicNo, CommandOf(action)});
  panel.RefreshPublicMessage();
  writers.Report();
}

}  // namespace qm
