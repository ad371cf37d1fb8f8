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

// The one writer behind all the named ones below.
Outcome WriteExchangeFile(const PanelFields& panel, ExchangeFile file);

// The exact bytes of an exchange file holding `value`: the value in the ANSI code page, then CR LF.
std::string ExchangeLine(std::wstring_view value);

inline Outcome WriteBuyStopPrice(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::BuyStopPrice);
}
inline Outcome WriteSellStopPrice(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::SellStopPrice);
}
inline Outcome WriteBuyLimitPrice(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::BuyLimitPrice);
}
inline Outcome WriteSellLimitPrice(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::SellLimitPrice);
}
inline Outcome WriteLotSize(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::LotSize);
}
inline Outcome WriteTakeProfit(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::TakeProfit);
}
inline Outcome WriteStopLoss(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::StopLoss);
}
inline Outcome WriteMagicNo(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::MagicNo);
}
inline Outcome WritePair(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::Pair);
}
inline Outcome WriteCloseAll(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::CloseAll);
}

inline Outcome SendBuy(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::Buy);
}
inline Outcome SendSell(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::Sell);
}
inline Outcome SendBuyStop(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::BuyStop);
}
inline Outcome SendSellStop(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::SellStop);
}
inline Outcome SendBuyLimit(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::BuyLimit);
}
inline Outcome SendSellLimit(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::SellLimit);
}
inline Outcome SendCloseAll(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::CloseAllCommand);
}
inline Outcome SendCloseBuy(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::CloseBuy);
}
inline Outcome SendCloseSell(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::CloseSell);
}
inline Outcome SendDeleteBuyStop(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::DeleteBuyStop);
}
inline Outcome SendDeleteSellStop(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::DeleteSellStop);
}
inline Outcome SendDeleteBuyLimit(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::DeleteBuyLimit);
}
inline Outcome SendDeleteSellLimit(const PanelFields& p) {
  return WriteExchangeFile(p, ExchangeFile::DeleteSellLimit);
}

}  // namespace qm
