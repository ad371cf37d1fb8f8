#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/registry_value.h"
#include "support/system_support.h"

namespace qm {
namespace {

using test::Utf16Bytes;

struct ValueCase {
  const wchar_t* name;
  DWORD type;
  std::vector<std::uint8_t> data;
  bool found;
  std::wstring text;  // the caller passes "before"
};

const ValueCase kValues[] = {
    {L"string with its NUL", REG_SZ, Utf16Bytes(L"C:\\Tools", true), true, L"C:\\Tools"},
    {L"string without NUL", REG_SZ, Utf16Bytes(L"C:\\Tools", false), true, L"C:\\Tools"},
    {L"only the last NUL goes", REG_SZ, Utf16Bytes(std::wstring(L"ab\0", 3), true), true,
     std::wstring(L"ab\0", 3)},
    {L"258", REG_DWORD, {0x02, 0x01, 0x00, 0x00}, true, L"&h000102"},
    {L"all four bytes", REG_DWORD, {0x00, 0xAB, 0x00, 0x80}, true, L"&h8000AB00"},
    {L"zero", REG_DWORD, {0, 0, 0, 0}, true, L"&h000000"},
    {L"binary", REG_BINARY, {1, 2, 3}, true, L"before"},
    {L"expandable string", REG_EXPAND_SZ, Utf16Bytes(L"%WINDIR%", true), true, L"before"},
    {L"empty string", REG_SZ, {}, true, L""},
    // Up to 1024 characters, the NUL included.
    {L"1023 characters", REG_SZ, Utf16Bytes(std::wstring(1023, L'x'), true), true, std::wstring(1023, L'x')},
    {L"1024 characters", REG_SZ, Utf16Bytes(std::wstring(1024, L'x'), true), false, L""},
};

TEST(RegistryValueTextTest, DropsOneNulAndDecodesStringsAndNumbers) {
  for (const ValueCase& c : kValues) {
    if (c.found) {
      EXPECT_EQ(RegistryValueText(c.type, c.data, L"before"), c.text) << c.name;
    }
  }
  EXPECT_EQ(RegistryValueText(REG_SZ, std::vector<std::uint8_t>{'a', 0, 'b'}, L""),
            L"a");  // odd byte left out
  EXPECT_EQ(RegistryValueText(REG_DWORD, {}, L"before"), L"");
}

// The same values written into the test prefix's registry, read back through GetKeyValue.
TEST(GetKeyValueTest, ReadsValuesOfThePrefixsRegistry) {
  const std::wstring key = L"Software\\Quenmarel test " + std::to_wstring(::GetCurrentProcessId());
  for (const auto& [root, as] : {std::pair{HKEY_CURRENT_USER, RegistryRoot::CurrentUser},
                                 std::pair{HKEY_LOCAL_MACHINE, RegistryRoot::LocalMachine}}) {
    test::ScopedRegistryKey values(root, key);
    for (const ValueCase& c : kValues)
      values.Set(c.name, c.type, c.data);
    for (const ValueCase& c : kValues) {
      std::wstring text = L"before";
      EXPECT_EQ(GetKeyValue(as, key, c.name, text), c.found) << c.name;
      EXPECT_EQ(text, c.text) << c.name;
    }
    for (const auto& [sub_key, name] : {std::pair{key, L"missing"}, std::pair{key + L"\\missing", L"258"}}) {
      std::wstring text = L"before";
      EXPECT_FALSE(GetKeyValue(as, sub_key, name, text)) << sub_key << L" " << name;
      EXPECT_EQ(text, L"");
    }
  }
}

}  // namespace
}  // namespace qm
