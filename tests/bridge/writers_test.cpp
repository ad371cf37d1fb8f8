#include "bridge/writers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/data_folder.h"
#include "support/exchange_files.h"
#include "support/fake_panel.h"
#include "support/temp_folder.h"

namespace qm {
namespace {

using test::FakePanel;
using test::ReadBytes;
using test::TempFolder;

// A terminal data folder with both exchange folders and the Expert Advisor path selected in the panel.
class WriterTest : public testing::Test {
 protected:
  void SetUp() override { panel.PointAt(data, Option::RealTime, Option::FourDigit); }

  TempFolder temp;
  test::DataFolder data{temp / L"MT4"};
  FakePanel panel;
  std::wstring real_time = data.RealTime();
  std::wstring back_test = data.BackTest();
};

class EveryFileTest : public WriterTest, public testing::WithParamInterface<test::ExchangeFileCase> {};

// Every writer, both account types, both digit settings: exact name, exact bytes, only in its own folder.
TEST_P(EveryFileTest, WritesOneLineIntoTheChosenFolderOnly) {
  const test::ExchangeFileCase& c = GetParam();
  const bool command = test::IsCommandFile(c);
  if (!command)
    panel.texts[c.source] = L"  7.25 x  ";
  for (Option account : {Option::RealTime, Option::BackTest}) {
    for (Option digits : {Option::FourDigit, Option::FiveDigit}) {
      TempFolder fresh;
      const test::DataFolder fresh_data(fresh / L"MT4");
      const std::wstring rt = fresh_data.RealTime();
      const std::wstring bt = fresh_data.BackTest();
      panel.texts[Field::FileLocation] = fresh_data.ExpertAdvisor();
      panel.Select(account);
      panel.Select(digits);
      ASSERT_EQ(WriteExchangeFile(panel, c.file), std::nullopt);

      const bool scaled =
          digits == Option::FiveDigit && (c.source == Field::TakeProfit || c.source == Field::StopLoss);
      const std::string expected = command ? "1\r\n" : scaled ? "72.5\r\n" : "7.25 x\r\n";
      const std::wstring& folder = account == Option::RealTime ? rt : bt;
      const std::wstring& other = account == Option::RealTime ? bt : rt;
      EXPECT_EQ(FileName(c.file), c.name);
      EXPECT_EQ(ReadBytes(folder + L"\\" + c.name), expected);
      EXPECT_EQ(fresh.ListFiles(account == Option::RealTime ? L"MT4\\MQL4\\files" : L"MT4\\tester\\files"),
                std::vector<std::wstring>{c.name});
      EXPECT_TRUE(fresh.ListFiles(other == rt ? L"MT4\\MQL4\\files" : L"MT4\\tester\\files").empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllWriters, EveryFileTest, testing::ValuesIn(test::kEveryExchangeFile));

// The price box, and the pair where a row names it.
TEST_F(WriterTest, FormsTheLineFromTheTrimmedBox) {
  struct {
    std::wstring box;
    std::string bytes;
    Field field = Field::BuyStopPrice;
  } cases[] = {
      {L"1.6349", "1.6349\r\n"},
      {L"  1.5  ", "1.5\r\n"},
      {L"    ", "\r\n"},
      {L"", "\r\n"},
      {L"\t1.5", "\t1.5\r\n"},
      // Single bytes in the ANSI code page (1252 here); what it cannot show becomes '?'.
      {L"EUR\u20ac \u00e9", "EUR\x80 \xe9\r\n"},
      {L"\u0416\u4e2d", "??\r\n"},
      {L"\U0001F600", "??\r\n"},
      // Full-width forms folded to ASCII first, the ideographic space trimmed as a space.
      {L"\u3000\uFF11\uFF0E\uFF16\uFF13\uFF14\uFF19\u3000", "1.6349\r\n"},
      {L"\u3000\u3000", "\r\n"},
      // A Japanese input method's full stop is a decimal point in a number box.
      {L"\uFF11\u3002\uFF15", "1.5\r\n"},
      // The symbol as a full-width input method types it is the terminal's ASCII symbol; ASCII as typed.
      {L"\uFF25\uFF35\uFF32\uFF35\uFF33\uFF24", "EURUSD\r\n", Field::Pair},
      {L"\u3000eurusd.m\u3000", "eurusd.m\r\n", Field::Pair},
      {L"EUR\u3002USD", "EUR?USD\r\n", Field::Pair},
  };
  for (const auto& c : cases) {
    panel.texts[c.field] = c.box;
    const bool pair = c.field == Field::Pair;
    ASSERT_EQ(WriteExchangeFile(panel, pair ? Writer::WritePair : Writer::WriteBuyStopPrice), std::nullopt);
    EXPECT_EQ(ReadBytes(real_time + (pair ? L"\\mypair.txt" : L"\\myprice.txt")), c.bytes);
  }
}

TEST_F(WriterTest, PriceWritersShareOneFile) {
  panel.texts[Field::BuyStopPrice] = L"1.1";
  panel.texts[Field::SellLimitPrice] = L"2.2";
  WriteExchangeFile(panel, Writer::WriteBuyStopPrice);
  WriteExchangeFile(panel, Writer::WriteSellLimitPrice);
  EXPECT_EQ(ReadBytes(real_time + L"\\myprice.txt"), "2.2\r\n");
}

TEST_F(WriterTest, AClosedGateWritesNothingAndReportsNoFailure) {
  for (Option only : {Option::BackTest, Option::RealTime, Option::FourDigit, Option::FiveDigit}) {
    FakePanel lone;
    lone.texts[Field::FileLocation] = panel.texts[Field::FileLocation];
    lone.Select(only);
    EXPECT_EQ(WriteExchangeFile(lone, Writer::WritePair), std::nullopt);
    EXPECT_EQ(WriteExchangeFile(lone, Writer::SendBuy), std::nullopt);
  }
  EXPECT_TRUE(temp.ListFiles(L"MT4\\MQL4\\files").empty());
  EXPECT_TRUE(temp.ListFiles(L"MT4\\tester\\files").empty());
}

// The writer's own refusals, made before any file is touched: a path shorter than the cut and a five-digit
// value beyond the double range. Faults of the file system are the reliability suite's.
TEST_F(WriterTest, RefusesBeforeTouchingTheFileAndKeepsTheOldOne) {
  const std::string old = "OLD\r\n";
  test::WriteBytes(real_time + L"\\mystoploss.txt", old);

  panel.texts[Field::FileLocation] = std::wstring(27, L'x');
  EXPECT_EQ(StatusReport(WriteExchangeFile(panel, Writer::WriteStopLoss)),
            L"5 : Invalid procedure call or argument");
  panel.texts[Field::FileLocation] = L"";
  EXPECT_EQ(StatusReport(WriteExchangeFile(panel, Writer::WriteStopLoss)),
            L"5 : Invalid procedure call or argument");

  panel.texts[Field::FileLocation] = temp / L"MT4\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
  panel.Select(Option::FiveDigit);
  panel.texts[Field::StopLoss] = L"1e308";
  EXPECT_EQ(StatusReport(WriteExchangeFile(panel, Writer::WriteStopLoss)), L"6 : Overflow");
  EXPECT_EQ(ReadBytes(real_time + L"\\mystoploss.txt"), old);

  // No temporary file is left behind, and the next write succeeds.
  EXPECT_EQ(temp.ListFiles(L"MT4\\MQL4\\files"), std::vector<std::wstring>{L"mystoploss.txt"});
  panel.texts[Field::StopLoss] = L"2.5";
  EXPECT_EQ(WriteExchangeFile(panel, Writer::WriteStopLoss), std::nullopt);
  EXPECT_EQ(ReadBytes(real_time + L"\\mystoploss.txt"), "25\r\n");
}

TEST_F(WriterTest, SwitchingDigitsChangesOnlyTakeProfitAndStopLoss) {
  panel.texts[Field::TakeProfit] = L"30";
  panel.texts[Field::StopLoss] = L"2.5";
  std::map<std::wstring, std::string> four;
  std::map<std::wstring, std::string> five;
  for (auto* result : {&four, &five}) {
    panel.Select(result == &four ? Option::FourDigit : Option::FiveDigit);
    for (const test::ExchangeFileCase& c : test::kEveryExchangeFile) {
      if (test::IsCommandFile(c))
        continue;
      ASSERT_EQ(WriteExchangeFile(panel, c.file), std::nullopt);
      (*result)[c.name] = ReadBytes(real_time + L"\\" + c.name);
    }
  }
  for (const auto& [name, bytes] : four) {
    if (name == L"mytakeprofit.txt" || name == L"mystoploss.txt")
      continue;
    EXPECT_EQ(five[name], bytes) << testing::PrintToString(name);
  }
  EXPECT_EQ(four[L"mytakeprofit.txt"], "30\r\n");
  EXPECT_EQ(five[L"mytakeprofit.txt"], "300\r\n");
  EXPECT_EQ(four[L"mystoploss.txt"], "2.5\r\n");
  EXPECT_EQ(five[L"mystoploss.txt"], "25\r\n");
}

}  // namespace
}  // namespace qm
