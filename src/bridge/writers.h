#pragma once
// The exchange-file writers. Each one reads the panel at the moment it runs, passes the writer gate, derives
// the exchange folder afresh, forms its value, replaces its one file atomically, and returns the failure it
// met (nothing when it wrote its file or the gate let nothing through). Callers turn the result into the
// status report; no writer throws.

#include <string_view>

#include "bridge/panel_fields.h"
#include "platform/failure.h"

namespace qm {

// The writers, one for each exchange file, by the names the panel's actions know them by. Each is a row of
// the file table behind WriteExchangeFile.
enum class Writer {
  // parameter and price files
  WriteBuyStopPrice,
  WriteSellStopPrice,
  WriteBuyLimitPrice,
  WriteSellLimitPrice,
  WriteLotSize,
  WriteTakeProfit,
  WriteStopLoss,
  WriteMagicNo,
  WritePair,
  WriteCloseAll,
  // command files
  SendBuy,
  SendSell,
  SendBuyStop,
  SendSellStop,
  SendBuyLimit,
  SendSellLimit,
  SendCloseAll,
  SendCloseBuy,
  SendCloseSell,
  SendDeleteBuyStop,
  SendDeleteSellStop,
  SendDeleteBuyLimit,
  SendDeleteSellLimit,
};

// The file name the Expert Advisor looks for ("mylotsize.txt", "Deleteselllimit.txt", ...).
std::wstring_view FileName(Writer writer);

// Runs `writer`: the one writing behind every file.
Outcome WriteExchangeFile(const PanelFields& panel, Writer writer);

// The exact bytes of an exchange file holding `value`: the value in the ANSI code page, then CR LF.
std::string ExchangeLine(std::wstring_view value);

}  // namespace qm
