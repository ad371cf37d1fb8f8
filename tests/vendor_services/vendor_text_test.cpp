#include "vendor_services/vendor_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace qm {
namespace {

struct DriverMessageCase {
  const char* name;
  std::wstring input;
  size_t limit;
  std::wstring expected;
};

void PrintTo(const DriverMessageCase& c, std::ostream* out) {
  *out << c.name;
}

const DriverMessageCase kDriverMessages[] = {
    {"Plain", L"[unixODBC][SQLite]no such table: Vostrel_Gap (1)", 1000,
     L"[unixODBC][SQLite]no such table: Vostrel_Gap (1)"},
    {"LineBreaksBecomeOneBlank", L"first line\r\nsecond line\nthird", 1000, L"first line second line third"},
    {"TabsAndNulsBecomeBlanks",
     L"a\tb\x0001\x001f"
     L"c",
     1000, L"a b c"},
    {"BlanksAroundAreTrimmed", L"\r\n  message \r\n", 1000, L"message"},
    {"InnerSpacesKept", L"a  b", 1000, L"a  b"},
    {"UnicodeSeparatorsAndC1Controls", L"a\u2028b\u0085c\u007fd", 1000, L"a b c d"},
    {"AtTheLimitKept", L"abcde", 5, L"abcde"},
    {"BeyondTheLimitCut", L"abcdef", 5, L"abcde..."},
    {"CutNeverSplitsASurrogatePair", L"abcd\U0001F600xyz", 5, L"abcd..."},
    {"ControlsOnly", L"\r\n\t", 1000, L""},
};

class OneLineDriverMessageTest : public testing::TestWithParam<DriverMessageCase> {};

TEST_P(OneLineDriverMessageTest, FitsOneStatusLine) {
  EXPECT_EQ(OneLineDriverMessage(GetParam().input, GetParam().limit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(VendorText, OneLineDriverMessageTest, testing::ValuesIn(kDriverMessages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OneLineDriverMessageTest, HugeTextIsCutToTheDefaultLimit) {
  const std::wstring line = OneLineDriverMessage(std::wstring(50000, L'x'));
  EXPECT_EQ(line, std::wstring(kDriverMessageLimit, L'x') + L"...");
}

struct NameCase {
  std::wstring a;
  std::wstring b;
  bool equal;
};

class EqualsIgnoringAsciiCaseTest : public testing::TestWithParam<NameCase> {};

TEST_P(EqualsIgnoringAsciiCaseTest, ComparesNames) {
  EXPECT_EQ(EqualsIgnoringAsciiCase(GetParam().a, GetParam().b), GetParam().equal);
  EXPECT_EQ(EqualsIgnoringAsciiCase(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(VendorText, EqualsIgnoringAsciiCaseTest,
                         testing::Values(NameCase{L"Public_Msg", L"Public_Msg", true},
                                         NameCase{L"Public_Msg", L"PUBLIC_MSG", true},
                                         NameCase{L"Public_Msg", L"public_msg", true},
                                         NameCase{L"Public_Msg", L"Public_Ms", false},

                                         NameCase{L"Public_Msg", L"Public_Msg ", false},
                                         // '_' and DEL sit 32 apart as letters do, but are not letters.
                                         NameCase{L"Public_Msg", L"Public\u007fMsg", false},
                                         NameCase{L"[", L"{", false}, NameCase{L"", L"a", false}));

}  // namespace
}  // namespace qm
