#pragma once
// Text as the terminal side reads and writes it: single bytes in the system's ANSI code page, or UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Converts to the ANSI code page; characters the code page cannot show become '?', never a look-alike.
std::string ToAnsi(std::wstring_view text);

// Reads bytes in the ANSI code page; every byte becomes a character.
std::wstring FromAnsi(std::string_view bytes);

// Reads well-formed UTF-8; nothing when the bytes are not UTF-8 (a byte of another code page, a cut or
// overlong sequence).
std::optional<std::wstring> FromUtf8(std::string_view bytes);

}  // namespace qm
