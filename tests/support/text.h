#pragma once
// Wide text as the narrow text of test output, figures and helper programs' arguments: UTF-8, so that ASCII
// stays as it is and anything else stays readable.

#include <windows.h>

#include <cctype>
#include <string>
#include <string_view>

namespace qm::test {

inline std::string Narrow(std::wstring_view text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  std::string out(
      static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
      '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), static_cast<int>(out.size()), nullptr,
                        nullptr);
  return out;
}

// A case's name as a test's name, which takes letters, digits and '_' only.
inline std::string TestNameOf(std::string_view name) {
  std::string out;
  for (char c : name)
    out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return out;
}

}  // namespace qm::test
