#pragma once
// Text rules shared by the exchange files and the vendor feed. Pure logic, no Win32 headers.

#include <string>
#include <string_view>

namespace qm {

// Removes leading and trailing space characters only; tabs, line breaks and other blanks stay.
std::wstring TrimSpaces(std::wstring_view text);

}  // namespace qm
