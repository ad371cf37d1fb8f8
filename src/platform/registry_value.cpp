#include "platform/registry_value.h"

namespace qm {
namespace {

std::wstring StringText(std::span<const std::uint8_t> data) {
  size_t count = data.size() / 2;
  auto unit = [&](size_t i) { return static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8)); };
  if (count > 0 && unit(count - 1) == L'\0')
    --count;
  std::wstring text;
  text.reserve(count);
  for (size_t i = 0; i < count; ++i)
    text += unit(i);
  return text;
}

std::wstring NumberText(std::span<const std::uint8_t> data) {
  size_t count = data.size();
  if (count > 0 && data[count - 1] == 0)
    --count;
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text = L"&h";
  for (size_t i = count; i-- > 0;) {
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 0x0F];
  }
  return text;
}

}  // namespace

std::wstring RegistryValueText(unsigned long type, std::span<const std::uint8_t> data,
                               std::wstring_view text) {
  if (type != kRegistryString && type != kRegistryNumber32)
    return std::wstring(text);
  if (data.empty())
    return std::wstring();
  return type == kRegistryString ? StringText(data) : NumberText(data);
}

}  // namespace qm
