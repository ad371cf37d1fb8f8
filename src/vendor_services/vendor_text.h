#pragma once
// Small text rules of the vendor feed, kept apart from ODBC so that they are testable on their own.
// Pure logic, no Win32 headers.

#include <string>
#include <string_view>

namespace qm {

// Driver messages longer than this are cut: a status line is one line, and some drivers quote whole
// statements or stack traces.
inline constexpr size_t kDriverMessageLimit = 1000;

// Equal when they differ at most in the case of ASCII letters, as the provider compares keywords and
// field names (the names this program looks for are plain ASCII).
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

// A driver's message made fit for a one-line status label: each run of control characters (line breaks,
// tabs, NULs) becomes one blank, the ends are trimmed, and a text beyond `limit` characters is cut and
// ends in "...". Nothing else is removed: the driver's prefixes tell the user which layer complained.
std::wstring OneLineDriverMessage(std::wstring_view text, size_t limit = kDriverMessageLimit);

}  // namespace qm
