#include "bridge/writers.h"

#include <algorithm>
#include <array>
#include <optional>
#include <ranges>

#include "bridge/exchange_folder.h"
#include "bridge/value_forms.h"
#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace qm {
namespace {

enum class Value {
  Trimmed,       // a number or price box, folded as a number (FoldNumberText), trimmed of spaces
  ScaledOnFive,  // the same, or five-digit scaling when the gate chose 5 digits
  Text,          // a box of text (the pair symbol), full-width forms folded, trimmed of spaces
  CommandOne,    // the constant 1
};

struct FileRow {
  ExchangeFile file;
  std::wstring_view name;
  Field source;  // unused for command files
  Value value;
};

constexpr std::array<FileRow, 23> kFiles{{
    {ExchangeFile::BuyStopPrice, L"myprice.txt", Field::BuyStopPrice, Value::Trimmed},
    {ExchangeFile::SellStopPrice, L"myprice.txt", Field::SellStopPrice, Value::Trimmed},
    {ExchangeFile::BuyLimitPrice, L"myprice.txt", Field::BuyLimitPrice, Value::Trimmed},
    {ExchangeFile::SellLimitPrice, L"myprice.txt", Field::SellLimitPrice, Value::Trimmed},
    {ExchangeFile::LotSize, L"mylotsize.txt", Field::Lotsize, Value::Trimmed},
    {ExchangeFile::TakeProfit, L"mytakeprofit.txt", Field::TakeProfit, Value::ScaledOnFive},
    {ExchangeFile::StopLoss, L"mystoploss.txt", Field::StopLoss, Value::ScaledOnFive},
    {ExchangeFile::MagicNo, L"mymagicno.txt", Field::MagicNo, Value::Trimmed},
    {ExchangeFile::Pair, L"mypair.txt", Field::Pair, Value::Text},
    {ExchangeFile::CloseAll, L"mycloseall.txt", Field::Closeall, Value::Trimmed},
    {ExchangeFile::Buy, L"Buy.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::Sell, L"Sell.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::BuyStop, L"Buystop.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::SellStop, L"Sellstop.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::BuyLimit, L"Buylimit.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::SellLimit, L"Selllimit.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::CloseAllCommand, L"Closeall.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::CloseBuy, L"Closebuy.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::CloseSell, L"Closesell.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::DeleteBuyStop, L"Deletebuystop.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::DeleteSellStop, L"Deletesellstop.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::DeleteBuyLimit, L"Deletebuylimit.txt", Field::FileLocation, Value::CommandOne},
    {ExchangeFile::DeleteSellLimit, L"Deleteselllimit.txt", Field::FileLocation, Value::CommandOne},
}};

const FileRow& RowOf(ExchangeFile file) {
  return kFiles[static_cast<size_t>(file)];
}

// The Expert Advisor reads one line from each file, so a line break inside a box (pasted text, a value set
// from code) would cut the value there on the terminal side or leave a second line for the next read. The
// value is what the first line holds, for the text and the five-digit number alike; text without a line
// break is passed on unchanged.
std::wstring_view FirstLine(std::wstring_view text) {
  return text.substr(0, text.find_first_of(L"\r\n"));
}

// The value the file will hold, or the Overflow of the five-digit scaling.
std::optional<std::wstring> FormValue(const PanelFields& panel, const FileRow& row, int digits) {
  if (row.value == Value::CommandOne)
    return L"1";
  // A symbol of the terminal is ASCII: full-width letters would name one that does not exist.
  const std::wstring text = row.value == Value::Text ? FoldFullWidth(panel.Text(row.source))
                                                     : FoldNumberText(panel.Text(row.source));
  if (row.value == Value::ScaledOnFive && digits == 5)
    return FiveDigitScaling(FirstLine(text));
  return TrimSpaces(FirstLine(text));
}

// In the order of ExchangeFile, so that a file is its row's index.
static_assert(std::ranges::all_of(std::views::iota(size_t{0}, kFiles.size()),
                                  [](size_t i) { return static_cast<size_t>(kFiles[i].file) == i; }));

}  // namespace

std::wstring_view FileName(ExchangeFile file) {
  return RowOf(file).name;
}

std::string ExchangeLine(std::wstring_view value) {
  return ToAnsi(value) + "\r\n";
}

Outcome WriteExchangeFile(const PanelFields& panel, ExchangeFile file) {
  const FileRow& row = RowOf(file);
  const std::optional<GateDecision> gate = WriterGate(ReadOptions(panel));
  if (!gate)
    return std::nullopt;

  const std::optional<std::wstring> path =
      ExchangeFilePath(panel.Text(Field::FileLocation), gate->account, row.name);
  if (!path)
    return RuntimeFailure(err::kInvalidProcedureCall);

  // The value is formed before the file is touched, so a failure here leaves the old file as it was.
  const std::optional<std::wstring> value = FormValue(panel, row, gate->digits);
  if (!value)
    return RuntimeFailure(err::kOverflow);

  return ReplaceFileAtomically(*path, ExchangeLine(*value));
}

}  // namespace qm
