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
  Writer writer;
  std::wstring_view name;
  Field source;  // unused for command files
  Value value;
};

constexpr std::array<FileRow, 23> kFiles{{
    {Writer::WriteBuyStopPrice, L"myprice.txt", Field::BuyStopPrice, Value::Trimmed},
    {Writer::WriteSellStopPrice, L"myprice.txt", Field::SellStopPrice, Value::Trimmed},
    {Writer::WriteBuyLimitPrice, L"myprice.txt", Field::BuyLimitPrice, Value::Trimmed},
    {Writer::WriteSellLimitPrice, L"myprice.txt", Field::SellLimitPrice, Value::Trimmed},
    {Writer::WriteLotSize, L"mylotsize.txt", Field::Lotsize, Value::Trimmed},
    {Writer::WriteTakeProfit, L"mytakeprofit.txt", Field::TakeProfit, Value::ScaledOnFive},
    {Writer::WriteStopLoss, L"mystoploss.txt", Field::StopLoss, Value::ScaledOnFive},
    {Writer::WriteMagicNo, L"mymagicno.txt", Field::MagicNo, Value::Trimmed},
    {Writer::WritePair, L"mypair.txt", Field::Pair, Value::Text},
    {Writer::WriteCloseAll, L"mycloseall.txt", Field::Closeall, Value::Trimmed},
    {Writer::SendBuy, L"Buy.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendSell, L"Sell.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendBuyStop, L"Buystop.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendSellStop, L"Sellstop.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendBuyLimit, L"Buylimit.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendSellLimit, L"Selllimit.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendCloseAll, L"Closeall.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendCloseBuy, L"Closebuy.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendCloseSell, L"Closesell.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendDeleteBuyStop, L"Deletebuystop.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendDeleteSellStop, L"Deletesellstop.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendDeleteBuyLimit, L"Deletebuylimit.txt", Field::FileLocation, Value::CommandOne},
    {Writer::SendDeleteSellLimit, L"Deleteselllimit.txt", Field::FileLocation, Value::CommandOne},
}};

const FileRow& RowOf(Writer writer) {
  return kFiles[static_cast<size_t>(writer)];
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

// In the order of Writer, so that a writer is its row's index.
static_assert(std::ranges::all_of(std::views::iota(size_t{0}, kFiles.size()),
                                  [](size_t i) { return static_cast<size_t>(kFiles[i].writer) == i; }));

}  // namespace

std::wstring_view FileName(Writer writer) {
  return RowOf(writer).name;
}

std::string ExchangeLine(std::wstring_view value) {
  return ToAnsi(value) + "\r\n";
}

Outcome WriteExchangeFile(const PanelFields& panel, Writer writer) {
  const FileRow& row = RowOf(writer);
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
