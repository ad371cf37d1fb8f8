#pragma once
// Text as the terminal side reads it: single bytes in the system's ANSI code page.

#include <string>
#include <string_view>

namespace qm {

// Converts to the ANSI code page; characters the code page cannot show become '?', never a look-alike.
std::string ToAnsi(std::wstring_view text);

}  // namespace qm
