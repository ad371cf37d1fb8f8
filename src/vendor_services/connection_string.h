#pragma once
// The connection string as the program hands it to the ODBC driver manager. The program plays the OLE DB
// provider for ODBC itself, so the PROVIDER pair is consumed here and never reaches the driver manager.
// Pure logic, no Win32 headers.

#include <string>
#include <string_view>
#include <variant>

#include "platform/failure.h"

namespace qm {

// The vendor's database server. A name under the reserved .example domain.
inline constexpr std::wstring_view kVendorDatabaseHost = L"sql.qrxforex.example";

// The vendor connection string. The program plays the PROVIDER itself; the rest goes to the ODBC driver
// manager as written.
inline constexpr std::wstring_view kVendorConnectionString =
    L"PROVIDER=MSDASQL;driver={SQL Server};server=sql.qrxforex.example,1433;uid=qorlund;pwd=531kovar;"
    L"database=Vostrel_EA;";
static_assert(kVendorConnectionString.substr(kVendorConnectionString.find(L"server=") + 7)
                  .starts_with(std::wstring(kVendorDatabaseHost) + L","),
              "the connection string names the vendor's host");

// "PROVIDER=MSDASQL;driver={SQL Server};server=<host>,1433;uid=qorlund;pwd=531kovar;database=Vostrel_EA;"
std::wstring VendorConnectionString(std::wstring_view host = kVendorDatabaseHost);

// The provider the vendor connection string names; also the one assumed when it names none.
inline constexpr std::wstring_view kOdbcProvider = L"MSDASQL";

// The connection string less its PROVIDER pair, every other pair kept as written and in order; a failure
// when the string names a provider other than MSDASQL.
std::variant<std::wstring, Failure> DriverConnectionString(std::wstring_view connection_string);

}  // namespace qm
