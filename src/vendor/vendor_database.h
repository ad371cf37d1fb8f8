#pragma once
// The vendor's SQL Server database: a connection at start-up to see whether the server answers, and the
// public message read after every order, close and delete action. ODBC (W functions) underneath; the
// connection (adoVendorConn) and the last result (adoPrimaryRS) are held here and replaced by the next
// refresh, released when this object goes.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.h"

namespace qm {

// The provider's general failure (E_FAIL): what any failure to reach the server or to log in reports.
inline constexpr long kProviderGeneralFailure = -2147467259;

// The vendor's database server. A name under the reserved .example domain.
inline constexpr std::wstring_view kVendorDatabaseHost = L"sql.qrxforex.example";

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
  // Opens a new connection, runs "SELECT * from Vostrel_Gap;" and takes Public_Msg of the first row.
  PublicMessageRefresh RefreshPublicMessage();

 private:
  struct Handles;
  std::wstring connection_string_;
  std::unique_ptr<Handles> handles_;
};

}  // namespace qm
