#pragma once
// The connection string as the program hands it to the ODBC driver manager. The program plays the OLE DB
// provider for ODBC itself, so the PROVIDER pair is consumed here and never reaches the driver manager.
// Pure logic, no Win32 headers.

#include <string>
#include <string_view>
#include <variant>

#include "platform/failure.h"

namespace qm {

// The provider the vendor connection string names; also the one assumed when it names none.
inline constexpr std::wstring_view kOdbcProvider = L"MSDASQL";

// ADO's failure for a provider other than the one the program plays.
inline constexpr long kProviderNotFound = 3706;

// The connection string less its PROVIDER pair, every other pair kept as written and in order; a failure
// when the string names a provider other than MSDASQL.
std::variant<std::wstring, Failure> DriverConnectionString(std::wstring_view connection_string);

}  // namespace qm
