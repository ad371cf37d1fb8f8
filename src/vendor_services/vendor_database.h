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
#include "vendor_services/connection_string.h"
#include "vendor_services/vendor_failures.h"

namespace qm {

// Login and query time-outs: 15 s to log in, 30 s per statement. They are asked of the driver; the vendor
// worker enforces them as well, for drivers that do not honour them.
inline constexpr std::chrono::seconds kVendorLoginTimeout{15};
inline constexpr std::chrono::seconds kVendorQueryTimeout{30};

// What a read of the public message gives: the trimmed Public_Msg of the first row, nothing for an empty
// table (the label keeps its text), or the failure met.
using PublicMessageRead = std::variant<std::optional<std::wstring>, Failure>;

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
  PublicMessageRead ReadPublicMessage();

 private:
  struct Handles;

  // Replaces the held connection (and the result made on it) with a newly opened one.
  Outcome OpenNewConnection();
  // ReadPublicMessage without its trap.
  PublicMessageRead QueryFirstRow();

  std::wstring connection_string_;
  std::unique_ptr<Handles> handles_;
};

}  // namespace qm
