#pragma once
// What the terminal bridge reads from the panel: the text boxes and the four option buttons, read at the
// moment each writer runs.

#include <string>

namespace qm {

enum class Field {
  FileLocation,    // txtFileLocation
  Pair,            // txtPair
  Lotsize,         // txtLotsize
  TakeProfit,      // txtTakeProfit
  StopLoss,        // txtStopLoss
  MagicNo,         // txtMagicNo
  Closeall,        // txtCloseall
  BuyStopPrice,    // txtbuystop_price
  SellStopPrice,   // txtsellstop_price
  BuyLimitPrice,   // txtbuylimit_price
  SellLimitPrice,  // txtselllimit_price
};

enum class Option {
  BackTest,   // optBackTest
  RealTime,   // optRealTime
  FourDigit,  // optFourDigit
  FiveDigit,  // optFiveDigit
};

class PanelFields {
 public:
  virtual ~PanelFields() = default;
  virtual std::wstring Text(Field field) const = 0;
  virtual bool IsSelected(Option option) const = 0;
};

}  // namespace qm
