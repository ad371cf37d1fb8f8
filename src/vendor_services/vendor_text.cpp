#include "vendor_services/vendor_text.h"

#include "platform/text.h"

namespace qm {
namespace {

wchar_t AsciiUpper(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// C0 and C1 controls, DEL, and the Unicode line and paragraph separators: anything that would break a line
// or show as a box.
bool IsControl(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
      return false;
  }
  return true;
}

std::wstring OneLineDriverMessage(std::wstring_view text, size_t limit) {
  std::wstring line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsControl(text[i])) {
      line += text[i];
    } else if (i == 0 || !IsControl(text[i - 1])) {
      line += L' ';
    }
  }
  line = TrimSpaces(line);
  if (line.size() > limit) {
    line.resize(limit);
    // Never leave half of a surrogate pair before the ellipsis.
    if (line.back() >= 0xD800 && line.back() <= 0xDBFF)
      line.pop_back();
    line += L"...";
  }
  return line;
}

}  // namespace qm
