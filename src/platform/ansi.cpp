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

namespace {

std::optional<std::wstring> Decode(UINT code_page, DWORD flags, std::string_view bytes) {
  if (bytes.empty())
    return std::wstring();
  if (bytes.size() > static_cast<size_t>(INT_MAX))
    return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  const int needed = ::MultiByteToWideChar(code_page, flags, bytes.data(), length, nullptr, 0);
  if (needed <= 0)
    return std::nullopt;
  std::wstring out(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(code_page, flags, bytes.data(), length, out.data(), needed);
  return out;
}

}  // namespace

std::wstring FromAnsi(std::string_view bytes) {
  return Decode(::GetACP(), 0, bytes).value_or(std::wstring(bytes.size(), L'?'));
}

std::optional<std::wstring> FromUtf8(std::string_view bytes) {
  return Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes);
}

}  // namespace qm
