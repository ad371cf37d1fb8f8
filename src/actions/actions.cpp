#include "actions/actions.h"

#include <array>
#include <initializer_list>
#include <optional>

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

struct PendingOrder {
  Field price_box;
  std::wstring_view blank_message;
  ExchangeFile price_file;
};

struct OrderRow {
  std::optional<PendingOrder> pending;
  ExchangeFile command;
  std::optional<ExchangeFile> second_command;  // HEDGE: Buy, then Sell
};

// In the order of OrderAction.
constexpr std::array<OrderRow, 7> kOrders{{
    {std::nullopt, ExchangeFile::Buy, std::nullopt},
    {std::nullopt, ExchangeFile::Sell, std::nullopt},
    {std::nullopt, ExchangeFile::Buy, ExchangeFile::Sell},
    {PendingOrder{Field::BuyStopPrice, L"Price cannot be blank. Please enter Buy Stop Price.",
                  ExchangeFile::BuyStopPrice},
     ExchangeFile::BuyStop, std::nullopt},
    {PendingOrder{Field::SellStopPrice, L"Price cannot be blank. Please enter Sell Stop Price.",
                  ExchangeFile::SellStopPrice},
     ExchangeFile::SellStop, std::nullopt},
    {PendingOrder{Field::BuyLimitPrice, L"Price cannot be blank. Please enter Buy Limit Price.",
                  ExchangeFile::BuyLimitPrice},
     ExchangeFile::BuyLimit, std::nullopt},
    {PendingOrder{Field::SellLimitPrice, L"Price cannot be blank. Please enter Sell Limit Price.",
                  ExchangeFile::SellLimitPrice},
     ExchangeFile::SellLimit, std::nullopt},
}};

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
