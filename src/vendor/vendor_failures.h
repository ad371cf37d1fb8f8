#pragma once
// What the vendor feed reports when the database work fails: the numbers that users of the original
// database stack know, with the driver's own message where the driver has one. Pure logic, no Win32 or
// ODBC headers: the ODBC code hands its diagnostic records over as plain values.

#include <string>
#include <vector>

#include "platform/failure.h"

namespace qm {

// One diagnostic record as SQLGetDiagRec returns it.
struct DiagnosticRecord {
  std::wstring sqlstate;  // five characters, "42S02"
  long native_error = 0;
  std::wstring message;
};

// A table the statement names does not exist.
inline constexpr long kNoSuchTable = -2147217865;
// Any other failure of the statement: syntax, permissions, a broken link, a time-out.
inline constexpr long kErrorsInCommand = -2147217900;
// The result has no field of the requested name.
inline constexpr long kItemNotFound = 3265;

// Any failure to allocate, connect or log in: the provider's general failure, with the driver's message as
// its description (the vendor report shows "SQL Server is down." for it).
Failure ConnectFailure(const std::vector<DiagnosticRecord>& records);

// A failed statement, execution or fetch: 42S02 (or the SQLite driver's HY000 "no such table", which
// reports no 42S02) is a missing table, everything else an error in the command, each with the driver's
// message.
Failure StatementFailure(const std::vector<DiagnosticRecord>& records);

// The result has no Public_Msg field.
Failure FieldNotFoundFailure();

}  // namespace qm
