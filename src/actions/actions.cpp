#include "actions/actions.h"

#include <array>
#include <optional>
#include <span>
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

  void Write(Writer file) {
    Outcome outcome = WriteExchangeFile(panel_, file);
    panel_.SetStatus(StatusReport(outcome));
    if (outcome && !first_failure_)
      first_failure_ = std::move(outcome);
  }
  void Write(std::span<const Writer> files) {
    for (Writer file : files)
      Write(file);
  }

  // The action's closing report: "Status: OK." only when every file was written. The public-message
  // refresh is not part of the trade and does not count.
  void Report() { panel_.SetStatus(StatusReport(first_failure_)); }

 private:
  Panel& panel_;
  Outcome first_failure_;
};

using enum Writer;

// The parameter files, in the three orders the actions write them. An option change and every order write
// the five trading parameters with no close-all amount (an order writes its own after its price); Send
// Parameters writes the close-all amount too, before the lot size; a close or delete only the pair and the
// magic number, before its command.
constexpr std::array kParametersWithoutCloseAll{WritePair, WriteMagicNo, WriteStopLoss, WriteTakeProfit,
                                                WriteLotSize};
constexpr std::array kParametersWithCloseAllBeforeLotSize{WritePair,       WriteMagicNo,  WriteStopLoss,
                                                          WriteTakeProfit, WriteCloseAll, WriteLotSize};
constexpr std::array kCloseParameters{WritePair, WriteMagicNo};

// Whether each row of `rows` stands at the index of its action, so that an action is its row's index.
template <typename Rows>
constexpr bool IndexedByAction(const Rows& rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (static_cast<size_t>(rows[i].action) != i)
      return false;
  }
  return true;
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
  Writer price_file;
  std::wstring_view blank_message;
};

constexpr PendingOrder kBuyStopPrice{Field::BuyStopPrice, WriteBuyStopPrice,
                                     L"Price cannot be blank. Please enter Buy Stop Price."};
constexpr PendingOrder kSellStopPrice{Field::SellStopPrice, WriteSellStopPrice,
                                      L"Price cannot be blank. Please enter Sell Stop Price."};
constexpr PendingOrder kBuyLimitPrice{Field::BuyLimitPrice, WriteBuyLimitPrice,
                                      L"Price cannot be blank. Please enter Buy Limit Price."};
constexpr PendingOrder kSellLimitPrice{Field::SellLimitPrice, WriteSellLimitPrice,
                                       L"Price cannot be blank. Please enter Sell Limit Price."};

struct OrderRow {
  OrderAction action;
  Writer command;
  std::optional<Writer> second_command;  // HEDGE: Buy, then Sell
  std::optional<PendingOrder> pending;
};

constexpr std::array<OrderRow, 7> kOrders{{
    {OrderAction::Buy, SendBuy, std::nullopt, std::nullopt},
    {OrderAction::Sell, SendSell, std::nullopt, std::nullopt},
    {OrderAction::Hedge, SendBuy, SendSell, std::nullopt},
    {OrderAction::BuyStop, SendBuyStop, std::nullopt, kBuyStopPrice},
    {OrderAction::SellStop, SendSellStop, std::nullopt, kSellStopPrice},
    {OrderAction::BuyLimit, SendBuyLimit, std::nullopt, kBuyLimitPrice},
    {OrderAction::SellLimit, SendSellLimit, std::nullopt, kSellLimitPrice},
}};
static_assert(IndexedByAction(kOrders));

struct CloseRow {
  CloseAction action;
  Writer command;
};

constexpr std::array<CloseRow, 7> kCloses{{
    {CloseAction::CloseAll, SendCloseAll},
    {CloseAction::CloseBuy, SendCloseBuy},
    {CloseAction::CloseSell, SendCloseSell},
    {CloseAction::DeleteBuyStop, SendDeleteBuyStop},
    {CloseAction::DeleteSellStop, SendDeleteSellStop},
    {CloseAction::DeleteBuyLimit, SendDeleteBuyLimit},
    {CloseAction::DeleteSellLimit, SendDeleteSellLimit},
}};
static_assert(IndexedByAction(kCloses));

}  // namespace

void SendParameters(Panel& panel) {
  if (TrimSpaces(panel.Text(Field::FileLocation)).empty()) {
    panel.ShowMessage(std::wstring(kSendParametersNotSelected));
    return;
  }
  ActionWriters writers(panel);
  writers.Write(kParametersWithCloseAllBeforeLotSize);
  writers.Report();
}

void OptionChanged(Panel& panel) {
  ActionWriters writers(panel);
  writers.Write(kParametersWithoutCloseAll);
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
  writers.Write(kParametersWithoutCloseAll);
  if (order.pending)
    writers.Write(order.pending->price_file);
  writers.Write(WriteCloseAll);
  writers.Write(order.command);
  if (order.second_command)
    writers.Write(*order.second_command);
  panel.RefreshPublicMessage();
  writers.Report();
}

void CloseOrDelete(Panel& panel, CloseAction action) {
  if (!ExpertAdvisorSelectedForOrders(panel))
    return;
  ActionWriters writers(panel);
  writers.Write(kCloseParameters);
  writers.Write(kCloses[static_cast<size_t>(action)].command);
  panel.RefreshPublicMessage();
  writers.Report();
}

}  // namespace qm
