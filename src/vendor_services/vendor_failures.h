#pragma once
// What the vendor feed reports when the database work fails: the failure numbers that ADO and its OLE DB
// provider for ODBC report for the same faults, each with the driver's own message where the driver has one.
// Pure logic, no Win32 or ODBC headers: the ODBC code hands its diagnostic records over as plain values.

#include <string>
#include <vector>

#include "platform/diagnostic_record.h"
#include "platform/failure.h"

namespace qm {

// The provider's general failure (E_FAIL): what any failure to reach the server or to log in reports.
inline constexpr long kProviderGeneralFailure = -2147467259;
// A connection string that names a provider other than the OLE DB provider for ODBC.
inline constexpr long kProviderNotFound = 3706;
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

// "Status: OK.", "SQL Server is down." for the provider's general failure, otherwise "<number> : <text>".
std::wstring VendorStatusReport(const Outcome& pending);

}  // namespace qm
