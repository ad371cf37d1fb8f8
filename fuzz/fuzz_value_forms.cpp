// Fuzzes how a box's text becomes a value: the full-width fold, trimming, the value-of-text number reading,
// the general number format and the five-digit scaling. Besides crashes and undefined behaviour it checks,
// for every input and again for the input as the fold leaves it:
//  - FoldFullWidth turns U+FF01-U+FF5E into the ASCII character of the same place and U+3000 into a space,
//    and leaves every other character, and the length, as they are; FoldNumberText does the same and turns
//    U+3002 into a point;
//  - TrimSpaces removes the leading and trailing spaces and nothing else;
//  - ValueOfText agrees with an independent model of the value-of-text rule (below) for every text that is
//    not a &H / &O integer, and gives a whole number in 32-bit range for those;
//  - the scaled text is in general format: no blanks, a point as separator, at most 15 significant digits,
//    no trailing zeros, exponent form exactly for magnitudes from 1E15 up or below 1E-4, and reading it back
//    (with the C library and with ValueOfText) gives ten times the value within the rounding of 15 digits;
//  - Overflow exactly when the value, ten times it, or that rounded to 15 digits is beyond the double range
//    (the largest doubles round up past it: "1.79769313486232E+308" reads back as nothing).
// A broken check prints the input and aborts, which libFuzzer records as a crash.

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "bridge/value_forms.h"
#include "fuzz_input.h"
#include "platform/text.h"

namespace {

using qm::fuzz::Printable;

[[noreturn]] void Finding(const char* what, const std::wstring& input, const std::string& detail = "") {
  std::fprintf(stderr, "FINDING: %s\n  input: \"%s\"\n  %s\n", what, Printable(input).c_str(),
               detail.c_str());
  std::abort();
}

std::string Show(double x) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", x);
  return buffer;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (const wchar_t c : text)
    out += static_cast<unsigned>(c) < 0x80 ? static_cast<char>(c) : '\x7f';
  return out;
}

// The value-of-text rule, written from its description rather than from the product: blanks, tabs and line
// feeds are dropped first (they are skipped anywhere, so dropping them up front is the same); then an
// optional sign, digits, an optional point and digits, and an exponent letter (E or D) that counts only
// with at least one digit after its optional sign. No digit before the exponent gives 0. The decimal text
// is handed to the C library's correctly rounded strtod. nullopt: beyond the double range.
enum class Model { Value, Radix };
struct ModelResult {
  Model kind;
  std::optional<double> value;
};

ModelResult ReferenceValue(const std::wstring& text) {
  std::string s;
  for (const wchar_t c : text) {
    if (c == L' ' || c == L'\t' || c == L'\n')
      continue;
    // Anything outside ASCII stops the number, as does NUL: map both to a character that cannot continue.
    s += static_cast<unsigned>(c) > 0 && static_cast<unsigned>(c) < 0x80 ? static_cast<char>(c) : '#';
  }
  size_t i = 0;
  auto at = [&](size_t k) { return k < s.size() ? s[k] : '\0'; };
  auto digit = [&](size_t k) { return at(k) >= '0' && at(k) <= '9'; };
  if (at(0) == '&') {
    const char kind = at(1);
    if (kind == 'H' || kind == 'h' || kind == 'O' || kind == 'o')
      return {Model::Radix, std::nullopt};
    return {Model::Value, 0.0};
  }
  bool negative = false;
  if (at(i) == '+' || at(i) == '-') {
    negative = at(i) == '-';
    ++i;
  }
  std::string mantissa;
  while (digit(i))
    mantissa += s[i++];
  const bool has_integer = !mantissa.empty();
  bool has_fraction = false;
  if (at(i) == '.') {
    ++i;
    mantissa += '.';
    while (digit(i)) {
      mantissa += s[i++];
      has_fraction = true;
    }
  }
  if (!has_integer && !has_fraction)
    return {Model::Value, 0.0};
  long long exponent = 0;
  if (at(i) == 'E' || at(i) == 'e' || at(i) == 'D' || at(i) == 'd') {
    size_t k = i + 1;
    bool exponent_negative = false;
    if (at(k) == '+' || at(k) == '-') {
      exponent_negative = at(k) == '-';
      ++k;
    }
    while (digit(k)) {
      exponent = std::min(exponent * 10 + (s[k] - '0'), 100'000'000LL);
      ++k;
    }
    if (exponent_negative)
      exponent = -exponent;
  }
  const std::string decimal = "0" + mantissa + "e" + std::to_string(exponent);
  const double magnitude = std::strtod(decimal.c_str(), nullptr);
  if (std::isinf(magnitude))
    return {Model::Value, std::nullopt};
  return {Model::Value, negative ? -magnitude : magnitude};
}

size_t SignificantDigits(const std::string& mantissa) {
  std::string digits;
  for (const char c : mantissa) {
    if (c >= '0' && c <= '9')
      digits += c;
  }
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? 0 : digits.size() - first;
}

// `formatted` must be `x` in general number format.
void CheckGeneralFormat(double x, const std::wstring& formatted, const std::wstring& input) {
  const std::string s = Narrow(formatted);
  const std::string context = "value " + Show(x) + ", text \"" + s + "\"";
  if (s.empty() || s.find_first_not_of("0123456789.-+E") != std::string::npos)
    Finding("general format holds a character other than digits, sign, point and E", input, context);
  if (x == 0) {
    if (s != "0")
      Finding("zero is not written 0", input, context);
    return;
  }
  if ((s[0] == '-') != (x < 0))
    Finding("the sign is wrong", input, context);
  const std::string body = s[0] == '-' ? s.substr(1) : s;
  const size_t e = body.find('E');
  const std::string mantissa = body.substr(0, e);
  if (e != std::string::npos) {
    const std::string exponent = body.substr(e + 1);
    if (exponent.size() < 3 || exponent.size() > 4 || (exponent[0] != '+' && exponent[0] != '-') ||
        exponent.find_first_not_of("0123456789", 1) != std::string::npos) {
      Finding("the exponent is not E, a sign and two or three digits", input, context);
    }
    if (mantissa.empty() || mantissa[0] < '1' || mantissa[0] > '9' ||
        (mantissa.size() > 1 && mantissa[1] != '.'))
      Finding("the exponent form does not start with one non-zero digit", input, context);
  }
  if (mantissa.empty() || mantissa.find_first_not_of("0123456789.") != std::string::npos ||
      mantissa.find('.') != mantissa.rfind('.') || mantissa.front() == '.' || mantissa.back() == '.') {
    Finding("the digits are not digits with at most one inner point", input, context);
  }
  if (mantissa.find('.') != std::string::npos && mantissa.back() == '0')
    Finding("a trailing zero after the point", input, context);
  if (SignificantDigits(mantissa) > 15)
    Finding("more than 15 significant digits", input, context);

  const double back = std::strtod(s.c_str(), nullptr);
  if (std::fabs(back - x) > std::max(std::fabs(x) * 1e-14, DBL_TRUE_MIN))
    Finding("reading the text back does not give the value", input, context + ", read back " + Show(back));
  const bool exponent_form = e != std::string::npos;
  const bool large_or_small = std::fabs(back) >= 1e15 || std::fabs(back) < 1e-4;
  if (exponent_form != large_or_small)
    Finding("exponent form for a mid-sized magnitude, or none for a very large or small one", input, context);
  const std::optional<double> reread = qm::ValueOfText(formatted);
  if (!reread || *reread != back)
    Finding("ValueOfText does not read back the text it formats", input,
            context + ", read back " + (reread ? Show(*reread) : "Overflow"));
}

void CheckTrim(const std::wstring& text) {
  const std::wstring trimmed = qm::TrimSpaces(text);
  const size_t first = text.find_first_not_of(L' ');
  const std::wstring expected =
      first == std::wstring::npos ? L"" : text.substr(first, text.find_last_not_of(L' ') - first + 1);
  if (trimmed != expected)
    Finding("TrimSpaces removed more or less than the outer spaces", text,
            "got \"" + Printable(trimmed) + "\"");
}

void CheckFold(const std::wstring& text, const std::wstring& folded, bool number) {
  for (size_t i = 0; i < text.size() || i < folded.size(); ++i) {
    const unsigned was = i < text.size() ? text[i] : 0x110000;
    unsigned full = was >= 0xFF01 && was <= 0xFF5E ? was - 0xFF01 + '!' : was == 0x3000 ? ' ' : was;
    if (number && was == 0x3002)
      full = '.';
    if (i >= folded.size() || static_cast<unsigned>(folded[i]) != full)
      Finding("the fold mapped a character wrongly", text,
              "at " + std::to_string(i) + ": " + Printable(folded));
  }
}

// Everything a number box's text goes through, on one text.
void CheckValueForms(const std::wstring& text) {
  CheckTrim(text);

  const std::optional<double> value = qm::ValueOfText(text);
  const ModelResult model = ReferenceValue(text);
  if (model.kind == Model::Value) {
    if (value.has_value() != model.value.has_value() || (value && *value != *model.value)) {
      Finding("ValueOfText disagrees with the model of the value-of-text rule", text,
              "product " + (value ? Show(*value) : "Overflow") + ", model " +
                  (model.value ? Show(*model.value) : "Overflow"));
    }
  } else if (value && (*value != std::trunc(*value) || *value < -2147483648.0 || *value > 2147483647.0)) {
    Finding("a &H / &O integer that is not a whole number in 32-bit range", text, Show(*value));
  }

  const std::optional<std::wstring> scaled = qm::FiveDigitScaling(text);
  // Beyond the double range: the value, ten times it, or ten times it rounded to 15 digits.
  bool overflow = !value || std::isinf(*value * 10);
  if (!overflow) {
    char fifteen[64];
    std::snprintf(fifteen, sizeof fifteen, "%.14e", *value * 10);
    overflow = std::isinf(std::strtod(fifteen, nullptr));
  }
  if (scaled.has_value() == overflow)
    Finding(overflow ? "no Overflow for a value beyond the double range" : "Overflow for a value in range",
            text, value ? Show(*value) : "no value");
  if (scaled)
    CheckGeneralFormat(*value * 10, *scaled, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qm::fuzz::Input input(data, size);
  const std::wstring text = input.Text(/*separated=*/false);
  CheckFold(text, qm::FoldFullWidth(text), /*number=*/false);
  const std::wstring folded = qm::FoldNumberText(text);
  CheckFold(text, folded, /*number=*/true);
  CheckValueForms(text);
  if (folded != text)
    CheckValueForms(folded);
  return 0;
}
