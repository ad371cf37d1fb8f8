#include "platform/ansi.h"

#include <windows.h>

#include <climits>

namespace qm {

std::string ToAnsi(std::wstring_view text) {
  if (text.empty())
    return {};
  if (text.size() > static_cast<size_t>(INT_MAX / 4))
    text = text.substr(0, INT_MAX / 4);
  const UINT code_page = ::GetACP();
  // UTF-8 as the system code page takes neither flags nor a default character.
  const bool utf8 = code_page == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* default_char = utf8 ? nullptr : "?";
  const int length = static_cast<int>(text.size());
  const int needed =
      ::WideCharToMultiByte(code_page, flags, text.data(), length, nullptr, 0, default_char, nullptr);
  if (needed <= 0)
    return std::string(text.size(), '?');
  std::string out(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(code_page, flags, text.data(), length, out.data(), needed, default_char, nullptr);
  return out;
}

}  // namespace qm
