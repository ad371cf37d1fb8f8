#pragma once
// The exchange-file writers. Each one reads the panel at the moment it runs, passes the writer gate, derives
// the exchange folder afresh, forms its value, replaces its one file atomically, and returns the failure it
// met (nothing when it wrote its file or the gate let nothing through). Callers turn the result into the
// status report; no writer throws.

#include <string_view>

#include "bridge/panel_fields.h"
#include "platform/failure.h"

namespace qm {

enum class ExchangeFile {
  // parameter and price files
  BuyStopPrice,
  SellStopPrice,
  BuyLimitPrice,
  SellLimitPrice,
  LotSize,
  TakeProfit,
  StopLoss,
  MagicNo,
  Pair,
  CloseAll,
  // command files
  Buy,
  Sell,
  BuyStop,
  SellStop,
  BuyLimit,
  SellLimit,
  CloseAllCommand,
  CloseBuy,
  CloseSell,
  DeleteBuyStop,
  DeleteSellStop,
  DeleteBuyLimit,
  DeleteSellLimit,
};

// The file name the Expert Advisor looks for ("mylotsize.txt", "Deleteselllimit.txt", ...).
std::wstring_view FileName(ExchangeFile file);

// The one writer behind every file.
Outcome WriteExchangeFile(const PanelFields& panel, ExchangeFile file);

// The exact bytes of an exchange file holding `value`: the value in the ANSI code page, then CR LF.
std::string ExchangeLine(std::wstring_view value);

// One writer bound to its file, for the named writers below.
template <ExchangeFile file>
Outcome WriteOne(const PanelFields& panel) {
  return WriteExchangeFile(panel, file);
}

inline constexpr auto WriteBuyStopPrice = &WriteOne<ExchangeFile::BuyStopPrice>;
inline constexpr auto WriteSellLimitPrice = &WriteOne<ExchangeFile::SellLimitPrice>;
inline constexpr auto WriteLotSize = &WriteOne<ExchangeFile::LotSize>;
inline constexpr auto WriteTakeProfit = &WriteOne<ExchangeFile::TakeProfit>;
inline constexpr auto WriteStopLoss = &WriteOne<ExchangeFile::StopLoss>;
inline constexpr auto WritePair = &WriteOne<ExchangeFile::Pair>;
inline constexpr auto SendBuy = &WriteOne<ExchangeFile::Buy>;

}  // namespace qm
