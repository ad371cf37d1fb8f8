#include "platform/registry.h"

#include <windows.h>

#include <array>
#include <cstdint>

#include "platform/registry_value.h"
#include "platform/unique_handle.h"

namespace qm {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

bool GetKeyValue(RegistryRoot root, const std::wstring& sub_key, const std::wstring& value_name,
                 std::wstring& text) {
  UniqueKey key;
  if (::RegOpenKeyExW(RootKey(root), sub_key.c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) {
    text.clear();
    return false;
  }
  std::array<std::uint8_t, kRegistryValueCharacters * sizeof(wchar_t)> data{};
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(data.size());
  if (::RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, data.data(), &size) !=
          ERROR_SUCCESS ||
      size > data.size()) {
    text.clear();
    return false;
  }
  text = RegistryValueText(type, std::span<const std::uint8_t>(data.data(), size), text);
  return true;
}

}  // namespace qm
