#include "vendor_services/connection_string.h"

#include <algorithm>

#include "vendor_services/vendor_failures.h"
#include "vendor_services/vendor_text.h"

namespace qm {
namespace {

// One keyword=value pair with its closing semicolon, if any. A value in braces may hold semicolons, and
// "}}" inside braces stands for one brace, as the ODBC connection-string grammar has it.
size_t PairEnd(std::wstring_view text, size_t start) {
  size_t i = start;
  while (i < text.size() && text[i] != L'=' && text[i] != L';')
    ++i;
  if (i < text.size() && text[i] == L'=') {
    ++i;
    while (i < text.size() && text[i] == L' ')
      ++i;
    if (i < text.size() && text[i] == L'{') {
      for (++i; i < text.size(); ++i) {
        if (text[i] != L'}')
          continue;
        if (i + 1 < text.size() && text[i + 1] == L'}') {
          ++i;
          continue;
        }
        ++i;
        break;
      }
    }
    while (i < text.size() && text[i] != L';')
      ++i;
  }
  return i < text.size() ? i + 1 : i;
}

std::wstring_view Blankless(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool IsOdbcProvider(std::wstring_view value) {
  value = Blankless(value);
  // Version-qualified names ("MSDASQL.1") name the same provider.
  return EqualsIgnoringAsciiCase(value, kOdbcProvider) || EqualsIgnoringAsciiCase(value, L"MSDASQL.1");
}

}  // namespace

std::variant<std::wstring, Failure> DriverConnectionString(std::wstring_view connection_string) {
  std::wstring driver_part;
  size_t start = 0;
  while (start < connection_string.size()) {
    const size_t end = PairEnd(connection_string, start);
    const std::wstring_view pair = connection_string.substr(start, end - start);
    const size_t equals = pair.find(L'=');
    const std::wstring_view keyword = Blankless(pair.substr(0, std::min(equals, pair.size())));
    if (equals != std::wstring_view::npos && EqualsIgnoringAsciiCase(keyword, L"PROVIDER")) {
      std::wstring_view value = pair.substr(equals + 1);
      if (!value.empty() && value.back() == L';')
        value.remove_suffix(1);
      if (!IsOdbcProvider(value)) {
        return Failure{kProviderNotFound, L"Provider cannot be found. It may not be properly installed."};
      }
    } else {
      driver_part += pair;
    }
    start = end;
  }
  return driver_part;
}

std::wstring VendorConnectionString(std::wstring_view host) {
  constexpr std::wstring_view kServer = L"server=";
  const size_t host_start = kVendorConnectionString.find(kServer) + kServer.size();
  std::wstring text(kVendorConnectionString);
  text.replace(host_start, kVendorDatabaseHost.size(), host);
  return text;
}

}  // namespace qm
