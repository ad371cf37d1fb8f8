#include "platform/odbc.h"

#include <algorithm>

namespace qm {
namespace {

// Drivers rarely leave more than a handful; a runaway driver must not make a report grow without end.
constexpr SQLSMALLINT kMostRecords = 16;

}  // namespace

OdbcHandle OdbcHandle::Allocate(SQLSMALLINT type, SQLHANDLE parent) {
  SQLHANDLE handle = SQL_NULL_HANDLE;
  if (!Succeeded(::SQLAllocHandle(type, parent, &handle)))
    return OdbcHandle(type, nullptr);
  return OdbcHandle(type, handle);
}

void OdbcHandle::reset() {
  if (handle_ == SQL_NULL_HANDLE)
    return;
  if (type_ == SQL_HANDLE_DBC && connected_)
    ::SQLDisconnect(handle_);
  ::SQLFreeHandle(type_, handle_);
  handle_ = nullptr;
  connected_ = false;
}

std::vector<DiagnosticRecord> Diagnostics(const OdbcHandle& handle) {
  std::vector<DiagnosticRecord> records;
  if (!handle)
    return records;
  for (SQLSMALLINT number = 1; number <= kMostRecords; ++number) {
    SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    std::wstring message(512, L'\0');
    SQLSMALLINT length = 0;
    SQLRETURN rc = ::SQLGetDiagRecW(handle.type(), handle.get(), number, state, &native, OdbcText(message),
                                    static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      // The message did not fit: ask again with room for all of it.
      message.assign(std::min<size_t>(static_cast<size_t>(length) + 1, 32767), L'\0');
      rc = ::SQLGetDiagRecW(handle.type(), handle.get(), number, state, &native, OdbcText(message),
                            static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!Succeeded(rc))
      break;
    message.resize(std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
    records.push_back({std::wstring(reinterpret_cast<const wchar_t*>(state)), native, std::move(message)});
  }
  return records;
}

}  // namespace qm
