#pragma once
// How a box's text becomes the value in an exchange file: trimmed of spaces, or, for take-profit and
// stop-loss on a 5-digit account, read as a number, multiplied by ten and written back in general format;
// and, before either, the full-width characters East Asian input methods type folded to ASCII, in a number
// or price box the ideographic full stop as a decimal point too.
// Pure functions, locale-free: the decimal separator is always a point.

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A box's text as the trader meant it: the full-width forms of ASCII (U+FF01-U+FF5E), which a Japanese or
// Chinese input method types by default, become their ASCII characters, and the ideographic space (U+3000)
// a space, so that "\uFF11\uFF10" is read as 10 and not as 0, and "\uFF25\uFF35\uFF32..." is the symbol
// EURUSD, not "??????" or Shift-JIS bytes in the single-byte code page. Every other character, and so all
// ASCII text, stays as it is; one character stays one character.
std::wstring FoldFullWidth(std::wstring_view text);

// The text of a number or price box as the trader meant it: FoldFullWidth, and the ideographic full stop
// (U+3002), which a Japanese input method types for the full-stop key in its default mode, a decimal point,
// so that "\uFF11\u3002\uFF15" is 1.5.
std::wstring FoldNumberText(std::wstring_view text);

// Reads the number a text begins with, as the classic value-of-text rule does: blanks, tabs and line feeds
// are skipped anywhere; an optional sign, digits, a point and fraction digits and an exponent (E or D) are
// read, or &H / &O and a hexadecimal or octal integer; reading stops at the first character that cannot
// continue the number, and a text that does not begin with one gives 0. Nothing when the number is beyond
// the double range (6 Overflow).
std::optional<double> ValueOfText(std::wstring_view text);

// General number format: at most 15 significant digits, no trailing zeros or trailing point, exponent form
// ("1E+15", "1.5E-05") only for magnitudes from 1E15 up or below 1E-4.
std::wstring FormatGeneralNumber(double value);

// Ten times the number the text begins with, in general format; nothing on Overflow.
std::optional<std::wstring> FiveDigitScaling(std::wstring_view text);

}  // namespace qm
