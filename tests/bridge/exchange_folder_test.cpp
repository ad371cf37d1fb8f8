#include "bridge/exchange_folder.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

constexpr std::wstring_view kPath = L"C:\\MT4\\MQL4\\Experts\\Kelvarinth_V10x.ex4";  // 39 characters

struct PathCase {
  std::wstring path;
  AccountType account;
  std::wstring file;
  std::optional<std::wstring> expected;
};

class ExchangeFilePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(ExchangeFilePathTest, CutsTheTailAndAppendsTheSuffix) {
  const PathCase& c = GetParam();
  EXPECT_EQ(ExchangeFilePath(c.path, c.account, c.file), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExchangeFilePathTest,
    testing::Values(
        PathCase{std::wstring(kPath), AccountType::RealTime, L"myprice.txt",
                 L"C:\\MT4\\MQL4\\files\\myprice.txt"},
        PathCase{std::wstring(kPath), AccountType::BackTest, L"Buy.txt", L"C:\\MT4\\tester\\files\\Buy.txt"},
        // A trailing blank counts: the cut moves by one and leaves two backslashes in a row.
        PathCase{std::wstring(kPath) + L" ", AccountType::RealTime, L"myprice.txt",
                 L"C:\\MT4\\MQL4\\\\files\\myprice.txt"},
        // Another letter case, same length: same folder.
        PathCase{L"C:\\MT4\\MQL4\\Experts\\kelvarinth_v10x.ex4", AccountType::BackTest, L"Buy.txt",
                 L"C:\\MT4\\tester\\files\\Buy.txt"},
        // Boundaries of the real-time cut (28) and the back-test cut (33).
        PathCase{std::wstring(27, L'x'), AccountType::RealTime, L"myprice.txt", std::nullopt},
        PathCase{std::wstring(28, L'x'), AccountType::RealTime, L"myprice.txt", L"\\files\\myprice.txt"},
        PathCase{std::wstring(32, L'x'), AccountType::BackTest, L"Buy.txt", std::nullopt},
        PathCase{std::wstring(33, L'x'), AccountType::BackTest, L"Buy.txt", L"\\tester\\files\\Buy.txt"},
        PathCase{L"", AccountType::RealTime, L"Buy.txt", std::nullopt},
        // Lengths count UTF-16 units, not bytes: 29 characters keep one.
        PathCase{L"\u00c4" + std::wstring(28, L'\u00e9'), AccountType::RealTime, L"Buy.txt",
                 L"\u00c4\\files\\Buy.txt"}));

TEST(DataFolderTest, IsThePathLessItsLast33Characters) {
  EXPECT_EQ(DataFolder(kPath), L"C:\\MT4");
  EXPECT_EQ(DataFolder(std::wstring(33, L'x')), L"");
  EXPECT_EQ(DataFolder(std::wstring(32, L'x')), std::nullopt);
  EXPECT_EQ(DataFolder(L""), std::nullopt);
}

struct GateCase {
  OptionSelection options;
  std::optional<GateDecision> expected;
};

class WriterGateTest : public testing::TestWithParam<GateCase> {};

TEST_P(WriterGateTest, NeedsAnAccountTypeAndDigits) {
  EXPECT_EQ(WriterGate(GetParam().options), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, WriterGateTest,
    testing::Values(GateCase{{false, false, false, false}, std::nullopt},
                    GateCase{{true, false, false, false}, std::nullopt},
                    GateCase{{false, true, false, false}, std::nullopt},
                    GateCase{{false, false, true, false}, std::nullopt},
                    GateCase{{false, false, false, true}, std::nullopt},
                    GateCase{{true, false, true, false}, GateDecision{AccountType::BackTest, 4}},
                    GateCase{{true, false, false, true}, GateDecision{AccountType::BackTest, 5}},
                    GateCase{{false, true, true, false}, GateDecision{AccountType::RealTime, 4}},
                    GateCase{{false, true, false, true}, GateDecision{AccountType::RealTime, 5}},
                    // Back-test and 4 digits win when the window somehow shows both of a group.
                    GateCase{{true, true, true, true}, GateDecision{AccountType::BackTest, 4}}));

}  // namespace
}  // namespace qm
