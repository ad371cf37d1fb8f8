#include "bridge/value_forms.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace qm {
namespace {

struct ScalingCase {
  std::wstring text;
  std::optional<std::wstring> five_digits;  // nothing: Overflow
};

class FiveDigitScalingTest : public testing::TestWithParam<ScalingCase> {};

// As the writers form it: folded as a number first, which leaves ASCII as it is.
TEST_P(FiveDigitScalingTest, WritesTenTimesTheNumber) {
  EXPECT_EQ(FiveDigitScaling(FoldNumberText(GetParam().text)), GetParam().five_digits)
      << "text: " << testing::PrintToString(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FiveDigitScalingTest,
    testing::Values(
        // The documented table.
        ScalingCase{L"0", L"0"}, ScalingCase{L"30", L"300"}, ScalingCase{L"2.5", L"25"},
        ScalingCase{L"1.25", L"12.5"}, ScalingCase{L"1.1", L"11"}, ScalingCase{L"15 pips", L"150"},
        ScalingCase{L"", L"0"}, ScalingCase{L"abc", L"0"},
        // Blanks, tabs and line feeds are skipped anywhere; a carriage return stops the number.
        ScalingCase{L"  1 2\t3\n", L"1230"}, ScalingCase{L"1\r2", L"10"}, ScalingCase{L"- 4.5", L"-45"},
        ScalingCase{L"+.5", L"5"}, ScalingCase{L"5.", L"50"}, ScalingCase{L".", L"0"},
        ScalingCase{L"-", L"0"}, ScalingCase{L"1.2.3", L"12"}, ScalingCase{L"1,5", L"10"},
        ScalingCase{L"-0", L"0"},
        // Exponents, E or D, counted only with digits.
        ScalingCase{L"1e2", L"1000"}, ScalingCase{L"1D2", L"1000"}, ScalingCase{L"2.5E-1", L"2.5"},
        ScalingCase{L"3e", L"30"}, ScalingCase{L"3e+", L"30"}, ScalingCase{L"3ex", L"30"},
        // Hexadecimal and octal integers, folded to 16 or 32 bits as the classic rule reads them.
        ScalingCase{L"&H1F", L"310"}, ScalingCase{L"&hff", L"2550"}, ScalingCase{L"&O17", L"150"},
        ScalingCase{L"&HFFFF", L"-10"}, ScalingCase{L"&H10000", L"655360"},
        ScalingCase{L"&HFFFFFFFF", L"-10"}, ScalingCase{L"&H", L"0"}, ScalingCase{L"&", L"0"},
        ScalingCase{L"&O8", L"0"}, ScalingCase{L"&H100000000", std::nullopt},
        // General format: 15 significant digits, exponent form only at the extremes, always a point.
        ScalingCase{L"0.1", L"1"}, ScalingCase{L"0.00123", L"0.0123"}, ScalingCase{L"0.00001", L"0.0001"},
        ScalingCase{L"0.000001", L"1E-05"}, ScalingCase{L"12345678901234", L"123456789012340"},
        ScalingCase{L"123456789012345", L"1.23456789012345E+15"}, ScalingCase{L"1e20", L"1E+21"},
        ScalingCase{L"0.333333333333333333", L"3.33333333333333"}, ScalingCase{L"1e-400", L"0"},
        ScalingCase{L"0.0000000000000000000000000000001e-400", L"0"},
        // Beyond the double range: Overflow, before or after the multiplication.
        ScalingCase{L"1e400", std::nullopt}, ScalingCase{L"1.7e308", std::nullopt},
        ScalingCase{L"-1.7e308", std::nullopt}, ScalingCase{std::wstring(400, L'9'), std::nullopt},
        ScalingCase{L"1e99999999999999999999", std::nullopt},
        // Ten times this is a double, but its 15-digit text rounds past the double range.
        ScalingCase{L"1.797693134862315e307", std::nullopt},
        ScalingCase{L"1.79769313486231e307", L"1.79769313486231E+308"},
        // Full-width forms as East Asian input methods type them; the ideographic space is a blank.
        ScalingCase{L"\uFF11\uFF10", L"100"},
        ScalingCase{L"\u3000\uFF0D\uFF11\uFF0E\uFF15\u3000\uFF45\uFF11", L"-150"},
        ScalingCase{L"\uFF11\u3001\uFF15", L"10"}, ScalingCase{L"\uFF00\uFF11", L"0"},
        ScalingCase{L"\uFF5F", L"0"},
        // The ideographic full stop a Japanese input method types for the full-stop key.
        ScalingCase{L"\uFF11\u3002\uFF15", L"15"}, ScalingCase{L"1\u30025", L"15"},
        ScalingCase{L"\u3002\u3002", L"0"}));

TEST(ValueOfTextTest, ReadsTheLargestFiniteNumbers) {
  EXPECT_EQ(ValueOfText(L"1.7976931348623157e308"), 1.7976931348623157e308);
  EXPECT_EQ(ValueOfText(L"0.000" + std::wstring(300, L'0') + L"1e300"), 1e-4);
  EXPECT_TRUE(std::signbit(*ValueOfText(L"-0")));
}

// German settings, whose decimal separator is a comma, for the C runtime and for this thread, while it lives.
class CommaLocale {
 public:
  CommaLocale() : c_runtime_(std::setlocale(LC_ALL, nullptr)), thread_(::GetThreadLocale()) {
    std::setlocale(LC_ALL, "German_Germany.1252");
    ::SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, c_runtime_.c_str());
    ::SetThreadLocale(thread_);
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

 private:
  std::string c_runtime_;
  LCID thread_;
};

TEST(FormatGeneralNumberTest, UsesAPointWhateverTheLocale) {
  const CommaLocale german;
  wchar_t separator[4] = {};
  ::GetLocaleInfoW(::GetThreadLocale(), LOCALE_SDECIMAL, separator, 4);
  ASSERT_STREQ(separator, L",");
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");

  EXPECT_EQ(FormatGeneralNumber(12.5), L"12.5");
  EXPECT_EQ(FormatGeneralNumber(-0.0), L"0");
  EXPECT_EQ(FormatGeneralNumber(1e15), L"1E+15");
  EXPECT_EQ(FormatGeneralNumber(999999999999999), L"999999999999999");
  EXPECT_EQ(FormatGeneralNumber(0.0001), L"0.0001");
  EXPECT_EQ(FormatGeneralNumber(1.5e-300), L"1.5E-300");
  // Reading takes the point too, and the comma stops the number.
  EXPECT_EQ(FiveDigitScaling(L"1.25"), L"12.5");
  EXPECT_EQ(FiveDigitScaling(L"1,5"), L"10");
}

}  // namespace
}  // namespace qm
