#pragma once
// The trading actions: each is one fixed sequence over the panel. A test of the panel first (a refused
// action writes nothing, refreshes nothing and leaves the status line alone), then the writers in the
// action's order, each reporting on the status line and none stopping the sequence, then for orders, closes
// and deletes the public-message refresh, and last the action's own status report: the first failure any of
// its writers met, or "Status: OK." when every file was written. The refresh's outcome never counts.

#include <string_view>

#include "actions/panel.h"

namespace qm {

enum class OrderAction { Buy, Sell, Hedge, BuyStop, SellStop, BuyLimit, SellLimit };
enum class CloseAction {
  CloseAll,
  CloseBuy,
  CloseSell,
  DeleteBuyStop,
  DeleteSellStop,
  DeleteBuyLimit,
  DeleteSellLimit
};

inline constexpr std::wstring_view kSendParametersNotSelected =
    L"Expert Advisor is not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";
inline constexpr std::wstring_view kOrderNotSelected =
    L"Expert Advisor not selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";
// The shortest trimmed path the order, close and delete buttons accept: the Expert Advisor's file name.
inline constexpr size_t kShortestExpertAdvisorPath = 19;

// cmdSendParameters: Pair, MagicNo, StopLoss, TakeProfit, CloseAll, LotSize.
void SendParameters(Panel& panel);
// Any of the four option buttons becoming selected: Pair, MagicNo, StopLoss, TakeProfit, LotSize.
void OptionChanged(Panel& panel);
// BUY, SELL, HEDGE and the four pending orders.
void OpenOrder(Panel& panel, OrderAction action);
// CLOSE ALL, CLOSE BUY, CLOSE SELL and the four deletes.
void CloseOrDelete(Panel& panel, CloseAction action);

}  // namespace qm
