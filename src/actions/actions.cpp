#include "actions/actions.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <ranges>

#include "bridge/writers.h"
#include "platform/text.h"

namespace qm {
namespace {

// Runs the writers in order; each reports on the status line and hands back no pending failure.
void RunWriters(Panel& panel, std::initializer_list<ExchangeFile> files) {
  for (ExchangeFile file : files)
    panel.SetStatus(StatusReport(WriteExchangeFile(panel, file)));
}

// The action's own closing report. The writers and the refresh clear what they meet, so nothing is pending.
void ActionStatusReport(Panel& panel) {
  panel.SetStatus(StatusReport(std::nullopt));
}

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
  RunWriters(panel, {ExchangeFile::Pair, ExchangeFile::MagicNo, ExchangeFile::StopLoss,
                     ExchangeFile::TakeProfit, ExchangeFile::CloseAll, ExchangeFile::LotSize});
  ActionStatusReport(panel);
}

void OptionChanged(Panel& panel) {
  RunWriters(panel, {ExchangeFile::Pair, ExchangeFile::MagicNo, ExchangeFile::StopLoss,
                     ExchangeFile::TakeProfit, ExchangeFile::LotSize});
  ActionStatusReport(panel);
}

void OpenOrder(Panel& panel, OrderAction action) {
  const OrderRow& order = kOrders[static_cast<size_t>(action)];
  if (!ExpertAdvisorSelectedForOrders(panel))
    return;
  if (order.pending && TrimSpaces(panel.Text(order.pending->price_box)).empty()) {
    panel.ShowMessage(std::wstring(order.pending->blank_message));
    return;
  }
  RunWriters(panel, {ExchangeFile::Pair, ExchangeFile::MagicNo, ExchangeFile::StopLoss,
                     ExchangeFile::TakeProfit, ExchangeFile::LotSize});
  if (order.pending)
    RunWriters(panel, {order.pending->price_file});
  RunWriters(panel, {ExchangeFile::CloseAll});
  RunWriters(panel, {order.command});
  if (order.second_command)
    RunWriters(panel, {*order.second_command});
  panel.RefreshPublicMessage();
  ActionStatusReport(panel);
}

void CloseOrDelete(Panel& panel, CloseAction action) {
  if (!ExpertAdvisorSelectedForOrders(panel))
    return;
  RunWriters(panel, {ExchangeFile::Pair, ExchangeFile::MagicNo, CommandOf(action)});
  panel.RefreshPublicMessage();
  ActionStatusReport(panel);
}

}  // namespace qm
