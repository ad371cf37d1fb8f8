#include "vendor_services/vendor_failures.h"

#include <algorithm>

#include "vendor_services/vendor_text.h"

namespace qm {
namespace {

constexpr std::wstring_view kSqlServerDown = L"SQL Server is down.";

bool IsWarning(const DiagnosticRecord& record) {
  return record.sqlstate.starts_with(L"01");
}

bool ContainsIgnoringAsciiCase(std::wstring_view text, std::wstring_view part) {
  if (part.size() > text.size())
    return false;
  for (size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (EqualsIgnoringAsciiCase(text.substr(i, part.size()), part))
      return true;
  }
  return false;
}

bool SaysNoSuchTable(const DiagnosticRecord& record) {
  if (record.sqlstate == L"42S02")
    return true;
  // SQLite's driver puts every engine error under the general HY000 and names the cause in the text.
  return record.sqlstate == L"HY000" && ContainsIgnoringAsciiCase(record.message, L"no such table");
}

// The record that says what went wrong: the first error, or the first record of any kind when the driver
// gave warnings only; drivers often put informational records (01000) before the error itself.
const DiagnosticRecord* Cause(const std::vector<DiagnosticRecord>& records) {
  const auto error =
      std::find_if(records.begin(), records.end(), [](const auto& r) { return !IsWarning(r); });
  if (error != records.end())
    return &*error;
  return records.empty() ? nullptr : &records.front();
}

std::wstring DescriptionOf(const DiagnosticRecord* record, std::wstring_view fallback) {
  std::wstring text = record ? OneLineDriverMessage(record->message) : std::wstring();
  return text.empty() ? std::wstring(fallback) : text;
}

}  // namespace

Failure ConnectFailure(const std::vector<DiagnosticRecord>& records) {
  return {kProviderGeneralFailure, DescriptionOf(Cause(records), L"Unspecified error")};
}

Failure StatementFailure(const std::vector<DiagnosticRecord>& records) {
  const auto missing = std::find_if(records.begin(), records.end(), SaysNoSuchTable);
  if (missing != records.end())
    return {kNoSuchTable, DescriptionOf(&*missing, L"Table does not exist.")};
  return {kErrorsInCommand, DescriptionOf(Cause(records), L"Command contained one or more errors.")};
}

Failure FieldNotFoundFailure() {
  return {kItemNotFound,
          L"Item cannot be found in the collection corresponding to the requested name or ordinal."};
}

std::wstring VendorStatusReport(const Outcome& pending) {
  if (pending && pending->number == kProviderGeneralFailure)
    return std::wstring(kSqlServerDown);
  return StatusReport(pending);
}

}  // namespace qm
