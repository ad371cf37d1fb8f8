#pragma once
// How one registry value's data becomes text for GetKeyValue. Pure: no Win32 headers, so it builds natively
// and can be fuzzed with any bytes.
//
// A terminating NUL is dropped if the data ends in one, so a string stored with its NUL and one stored
// without it read the same. Strings (type 1) are UTF-16: the rule looks at the last whole character, and an
// odd trailing byte is ignored. 32-bit numbers (type 4) become "&h" and the bytes that remain after the rule,
// last to first, each as two upper-case hexadecimal digits: 258 (02 01 00 00) reads "&h000102". A value
// with no data at all reads as the empty text for both types. Any other type leaves the caller's text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qm {

inline constexpr unsigned long kRegistryString = 1;    // REG_SZ
inline constexpr unsigned long kRegistryNumber32 = 4;  // REG_DWORD (little-endian)

// The most a value may hold to be read at all, in characters (UTF-16 units, a string's terminating NUL
// included): 1024 characters are 2048 bytes of data. A larger value is a failed read.
inline constexpr unsigned long kRegistryValueCharacters = 1024;

// The text of a value of `type` holding `data`; `text` is what the caller passed in.
std::wstring RegistryValueText(unsigned long type, std::span<const std::uint8_t> data,
                               std::wstring_view text);

}  // namespace qm
