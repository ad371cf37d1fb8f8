#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

struct TextCase {
  std::wstring input;
  std::wstring expected;
};

class TrimSpacesTest : public testing::TestWithParam<TextCase> {};

TEST_P(TrimSpacesTest, RemovesOnlySpacesAtTheEnds) {
  EXPECT_EQ(TrimSpaces(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Text, TrimSpacesTest,
                         testing::Values(TextCase{L"", L""}, TextCase{L"   ", L""}, TextCase{L"a", L"a"},
                                         TextCase{L"  a b  ", L"a b"}, TextCase{L"\ta\t", L"\ta\t"},
                                         TextCase{L" \r\n a \r\n ", L"\r\n a \r\n"},
                                         TextCase{L"\u00a0a\u00a0", L"\u00a0a\u00a0"},
                                         TextCase{L"\u3000a ", L"\u3000a"}));

}  // namespace
}  // namespace qm
