#pragma once
// The vendor's SQL Server database: a connection at start-up to see whether the server answers, and the
// public message read after every order, close and delete action. ODBC (W functions) underneath; the
// connection (adoVendorConn) and the last result (adoPrimaryRS) are held here and replaced by the next
// refresh, released when this object goes.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/failure.h"

namespace qm {

// The provider's general failure (E_FAIL): what any failure to reach the server or to log in reports.
inline constexpr long kProviderGeneralFailure = -2147467259;

// The time-outs that users of the original database stack know: 15 s to log in, 30 s per command. They are
// asked of the driver; the vendor worker enforces them as well, for drivers that do not honour them.
inline constexpr std::chrono::seconds kVendorLoginTimeout{15};
inline constexpr std::chrono::seconds kVendorQueryTimeout{30};

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

// "Status: OK.", "SQL Server is down." for the provider's general failure, otherwise "<number> : <text>".
std::wstring VendorStatusReport(const Outcome& pending);

struct PublicMessageRefresh {
  std::optional<std::wstring> message;  // the new text of lblAds2; nothing leaves the label as it is
  Outcome failure;                      // what the vendor report shows
};

class VendorDatabase {
 public:
  explicit VendorDatabase(std::wstring connection_string = VendorConnectionString());
  ~VendorDatabase();
  VendorDatabase(const VendorDatabase&) = delete;
  VendorDatabase& operator=(const VendorDatabase&) = delete;

  // Opens a new connection in place of the held one.
  Outcome ConnectVendorDatabase();
  // Runs "SELECT * from Vostrel_Gap;" on the held connection and takes Public_Msg of the first row: its
  // trimmed text, nothing for an empty table. The query phase of a refresh, after ConnectVendorDatabase.
  std::variant<std::optional<std::wstring>, Failure> ReadPublicMessage();
  // Opens a new connection and reads the public message on it.
  PublicMessageRefresh RefreshPublicMessage();

 private:
  struct Handles;

  // Replaces the held connection (and the result made on it) with a newly opened one.
  Outcome OpenNewConnection();
  // ReadPublicMessage without its trap.
  std::variant<std::optional<std::wstring>, Failure> QueryFirstRow();

  std::wstring connection_string_;
  std::unique_ptr<Handles> handles_;
};

}  // namespace qm
