#include "platform/text.h"

namespace qm {

std::wstring TrimSpaces(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos)
    return {};
  const size_t last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace qm
