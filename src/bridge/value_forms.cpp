#include "bridge/value_forms.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace qm {
namespace {

bool IsSkipped(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n';
}
bool IsDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

int HexDigit(wchar_t c) {
  if (IsDigit(c))
    return c - L'0';
  if (c >= L'a' && c <= L'f')
    return c - L'a' + 10;
  if (c >= L'A' && c <= L'F')
    return c - L'A' + 10;
  return -1;
}

// Walks a text while skipping the blanks that the value-of-text rule ignores.
class Cursor {
 public:
  explicit Cursor(std::wstring_view text) : text_(text) { SkipBlanks(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  wchar_t Peek() const { return AtEnd() ? L'\0' : text_[pos_]; }
  void Advance() {
    ++pos_;
    SkipBlanks();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_]))
      ++pos_;
  }
  std::wstring_view text_;
  size_t pos_ = 0;
};

// &H and &O integers: a value that fits 16 or 32 bits is folded into a signed integer of that width, as the
// classic rule reads them (&HFFFF is -1, &H10000 is 65536); a wider value overflows.
std::optional<double> RadixInteger(Cursor& cursor, int radix) {
  uint64_t value = 0;
  while (true) {
    const int digit = HexDigit(cursor.Peek());
    if (digit < 0 || digit >= radix)
      break;
    if (value > (UINT64_MAX - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(radix))
      return std::nullopt;
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
    cursor.Advance();
  }
  if (value <= 0xFFFF)
    return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
  if (value <= 0xFFFFFFFF)
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
  return std::nullopt;
}

// The full-width block mirrors ASCII 0x21-0x7E at this distance.
constexpr wchar_t kFullWidthFirst = 0xFF01;
constexpr wchar_t kFullWidthLast = 0xFF5E;
constexpr wchar_t kFullWidthOffset = 0xFF01 - 0x21;
constexpr wchar_t kIdeographicSpace = 0x3000;
constexpr wchar_t kIdeographicFullStop = 0x3002;

}  // namespace

std::wstring FoldFullWidth(std::wstring_view text) {
  std::wstring folded(text);
  for (wchar_t& c : folded) {
    if (c >= kFullWidthFirst && c <= kFullWidthLast)
      c = static_cast<wchar_t>(c - kFullWidthOffset);
    else if (c == kIdeographicSpace)
      c = L' ';
  }
  return folded;
}

std::wstring FoldNumberText(std::wstring_view text) {
  std::wstring folded = FoldFullWidth(text);
  for (wchar_t& c : folded) {
    if (c == kIdeographicFullStop)
      c = L'.';
  }
  return folded;
}

std::optional<double> ValueOfText(std::wstring_view text) {
  Cursor cursor(text);
  if (cursor.Peek() == L'&') {
    cursor.Advance();
    const wchar_t kind = cursor.Peek();
    if (kind == L'H' || kind == L'h') {
      cursor.Advance();
      return RadixInteger(cursor, 16);
    }
    if (kind == L'O' || kind == L'o') {
      cursor.Advance();
      return RadixInteger(cursor, 8);
    }
    return 0.0;
  }

  bool negative = false;
  if (cursor.Peek() == L'+' || cursor.Peek() == L'-') {
    negative = cursor.Peek() == L'-';
    cursor.Advance();
  }
  std::string integer_digits;
  std::string fraction_digits;
  while (IsDigit(cursor.Peek())) {
    integer_digits += static_cast<char>(cursor.Peek());
    cursor.Advance();
  }
  if (cursor.Peek() == L'.') {
    cursor.Advance();
    while (IsDigit(cursor.Peek())) {
      fraction_digits += static_cast<char>(cursor.Peek());
      cursor.Advance();
    }
  }
  if (integer_digits.empty() && fraction_digits.empty())
    return 0.0;

  // The exponent counts only when at least one digit follows the letter and its sign.
  long long exponent = 0;
  const wchar_t letter = cursor.Peek();
  if (letter == L'E' || letter == L'e' || letter == L'D' || letter == L'd') {
    cursor.Advance();
    bool exponent_negative = false;
    if (cursor.Peek() == L'+' || cursor.Peek() == L'-') {
      exponent_negative = cursor.Peek() == L'-';
      cursor.Advance();
    }
    while (IsDigit(cursor.Peek())) {
      // Far beyond any double either way; clamping keeps the arithmetic below exact.
      if (exponent < 1'000'000)
        exponent = exponent * 10 + (cursor.Peek() - L'0');
      cursor.Advance();
    }
    if (exponent_negative)
      exponent = -exponent;
  }

  // Leading zeros carry no value; dropping them keeps the magnitude test below simple.
  const size_t first_nonzero = integer_digits.find_first_not_of('0');
  integer_digits.erase(0, first_nonzero == std::string::npos ? integer_digits.size() : first_nonzero);
  const size_t fraction_nonzero = fraction_digits.find_first_not_of('0');
  if (integer_digits.empty() && fraction_nonzero == std::string::npos)
    return negative ? -0.0 : 0.0;

  // Appended piece by piece: GCC 12 at -O3 takes `"." + fraction_digits` for an overlapping copy and warns
  // (-Wrestrict), a false alarm that would stop the release build.
  std::string normalized = integer_digits.empty() ? "0" : integer_digits;
  if (!fraction_digits.empty()) {
    normalized += '.';
    normalized += fraction_digits;
  }
  normalized += 'e';
  normalized += std::to_string(exponent);

  double value = 0;
  const auto [end, ec] = std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Decimal magnitude of the leading digit tells overflow from underflow.
    const long long magnitude = integer_digits.empty()
                                    ? exponent - static_cast<long long>(fraction_nonzero) - 1
                                    : exponent + static_cast<long long>(integer_digits.size()) - 1;
    if (magnitude > 0)
      return std::nullopt;
    value = 0;
  } else if (ec != std::errc() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::wstring FormatGeneralNumber(double value) {
  if (value == 0)
    return L"0";  // also for -0
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::wstring out;
  for (const char* p = buffer; p != end; ++p)
    out += static_cast<wchar_t>(*p == 'e' ? 'E' : *p);
  return out;
}

std::optional<std::wstring> FiveDigitScaling(std::wstring_view text) {
  const std::optional<double> value = ValueOfText(text);
  if (!value)
    return std::nullopt;
  const double scaled = *value * 10;
  if (!std::isfinite(scaled))
    return std::nullopt;
  std::wstring formatted = FormatGeneralNumber(scaled);
  // Fifteen digits round the largest doubles up past the double range ("1.79769313486232E+308"): a text
  // that nothing can read back is an overflow too.
  if (!ValueOfText(formatted))
    return std::nullopt;
  return formatted;
}

}  // namespace qm
