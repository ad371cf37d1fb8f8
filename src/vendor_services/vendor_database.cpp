#include "vendor_services/vendor_database.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <variant>
#include <vector>

#include "platform/odbc.h"
#include "platform/text.h"
#include "vendor_services/connection_string.h"
#include "vendor_services/vendor_failures.h"
#include "vendor_services/vendor_text.h"

namespace qm {

// The latest connection and result. ODBC frees a statement with its connection, so replacing the
// connection releases the result made on it too; the environment lives as long as the database object.
struct VendorDatabase::Handles {
  OdbcHandle environment;
  OdbcHandle adoVendorConn;
  OdbcHandle adoPrimaryRS;
};

namespace {

// ADO's default time-outs, 15 s to log in and 30 s per command: a slow server gets as long as any ADO
// program gives it, and a dead one is given up after that.
constexpr SQLULEN kLoginTimeoutSeconds = kVendorLoginTimeout.count();
constexpr SQLULEN kQueryTimeoutSeconds = kVendorQueryTimeout.count();

constexpr std::wstring_view kPublicMessageQuery = L"SELECT * from Vostrel_Gap;";
constexpr std::wstring_view kPublicMessageField = L"Public_Msg";

// Longest column name asked for; longer names are cut by the driver and then cannot be the field sought.
constexpr SQLSMALLINT kColumnNameCapacity = 256;
// Characters a SQLGetData call takes at most; long messages arrive in several parts.
constexpr size_t kChunkCharacters = 8192;

SQLPOINTER AsPointer(SQLULEN value) {
  return reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(value));
}

Outcome PrepareEnvironment(OdbcHandle& environment) {
  if (environment)
    return std::nullopt;
  OdbcHandle fresh = OdbcHandle::Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  if (!fresh)
    return ConnectFailure({});
  if (!Succeeded(::SQLSetEnvAttr(fresh.get(), SQL_ATTR_ODBC_VERSION, AsPointer(SQL_OV_ODBC3), 0))) {
    return ConnectFailure(Diagnostics(fresh));
  }
  environment = std::move(fresh);
  return std::nullopt;
}

// The column number of Public_Msg, compared without regard to case as the provider does; 0 when the result
// has no such column.
std::variant<SQLUSMALLINT, Failure> FindPublicMessageColumn(const OdbcHandle& statement) {
  SQLSMALLINT columns = 0;
  if (!Succeeded(::SQLNumResultCols(statement.get(), &columns)))
    return StatementFailure(Diagnostics(statement));
  for (SQLSMALLINT column = 1; column <= columns; ++column) {
    SQLWCHAR name[kColumnNameCapacity] = {};
    SQLSMALLINT length = 0;
    SQLSMALLINT type = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = 0;
    const SQLRETURN rc = ::SQLDescribeColW(statement.get(), static_cast<SQLUSMALLINT>(column), name,
                                           kColumnNameCapacity, &length, &type, &size, &digits, &nullable);
    if (!Succeeded(rc))
      return StatementFailure(Diagnostics(statement));
    const auto shown = std::min<SQLSMALLINT>(std::max<SQLSMALLINT>(length, 0), kColumnNameCapacity - 1);
    if (EqualsIgnoringAsciiCase(std::wstring_view(reinterpret_cast<const wchar_t*>(name), shown),
                                kPublicMessageField)) {
      return static_cast<SQLUSMALLINT>(column);
    }
  }
  return SQLUSMALLINT{0};
}

// The column's value in the current row as text, read in parts so that no length limit applies; 94 Invalid
// use of Null for a NULL, which has no text.
std::variant<std::wstring, Failure> ReadText(const OdbcHandle& statement, SQLUSMALLINT column) {
  std::wstring text;
  std::vector<SQLWCHAR> chunk(kChunkCharacters + 1);
  const auto capacity_bytes = static_cast<SQLLEN>(chunk.size() * sizeof(SQLWCHAR));
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        ::SQLGetData(statement.get(), column, SQL_C_WCHAR, chunk.data(), capacity_bytes, &indicator);
    if (rc == SQL_NO_DATA)
      return text;  // the previous part was the last
    if (!Succeeded(rc))
      return StatementFailure(Diagnostics(statement));
    if (indicator == SQL_NULL_DATA)
      return RuntimeFailure(err::kInvalidUseOfNull);
    // The part fills the buffer less its terminator when more follows or the driver cannot tell the total.
    const bool whole = indicator != SQL_NO_TOTAL && indicator >= 0 && indicator < capacity_bytes;
    const size_t characters = whole ? static_cast<size_t>(indicator) / sizeof(SQLWCHAR) : kChunkCharacters;
    text.append(reinterpret_cast<const wchar_t*>(chunk.data()), characters);
    if (whole)
      return text;
  }
}

// Emptiness is whether a first row exists; the rest of the table is never read.
PublicMessageRead ReadFirstRow(const OdbcHandle& result) {
  const SQLRETURN fetched = ::SQLFetch(result.get());
  if (fetched == SQL_NO_DATA)
    return std::optional<std::wstring>();
  if (!Succeeded(fetched))
    return StatementFailure(Diagnostics(result));

  auto column = FindPublicMessageColumn(result);
  if (auto* failure = std::get_if<Failure>(&column))
    return *failure;
  if (std::get<SQLUSMALLINT>(column) == 0)
    return FieldNotFoundFailure();

  auto text = ReadText(result, std::get<SQLUSMALLINT>(column));
  if (auto* failure = std::get_if<Failure>(&text))
    return *failure;
  // The label shows the message less the spaces at its ends; tabs and line breaks stay.
  return std::optional<std::wstring>(TrimSpaces(std::get<std::wstring>(text)));
}

}  // namespace

VendorDatabase::VendorDatabase(std::wstring connection_string)
    : connection_string_(std::move(connection_string)), handles_(std::make_unique<Handles>()) {}

VendorDatabase::~VendorDatabase() = default;

Outcome VendorDatabase::OpenNewConnection() {
  // The previous connection is dropped, never reused; its result goes with it.
  handles_->adoPrimaryRS.reset();
  handles_->adoVendorConn.reset();

  auto driver_string = DriverConnectionString(connection_string_);
  if (auto* failure = std::get_if<Failure>(&driver_string))
    return *failure;
  if (Outcome failure = PrepareEnvironment(handles_->environment))
    return failure;

  handles_->adoVendorConn = OdbcHandle::Allocate(SQL_HANDLE_DBC, handles_->environment.get());
  OdbcHandle& connection = handles_->adoVendorConn;
  if (!connection)
    return ConnectFailure(Diagnostics(handles_->environment));
  // A driver that cannot time its login still connects; the setting is a bound, not a requirement.
  ::SQLSetConnectAttrW(connection.get(), SQL_ATTR_LOGIN_TIMEOUT, AsPointer(kLoginTimeoutSeconds), 0);

  const SQLRETURN rc =
      ::SQLDriverConnectW(connection.get(), nullptr, OdbcText(std::get<std::wstring>(driver_string)), SQL_NTS,
                          nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  if (!Succeeded(rc))
    return ConnectFailure(Diagnostics(connection));
  connection.MarkConnected();
  return std::nullopt;
}

Outcome VendorDatabase::ConnectVendorDatabase() {
  try {
    return OpenNewConnection();
  } catch (const std::bad_alloc&) {
    return RuntimeFailure(err::kOutOfMemory);
  }
}

PublicMessageRead VendorDatabase::ReadPublicMessage() {
  try {
    return QueryFirstRow();
  } catch (const std::bad_alloc&) {
    return RuntimeFailure(err::kOutOfMemory);
  }
}

PublicMessageRead VendorDatabase::QueryFirstRow() {
  const OdbcHandle& connection = handles_->adoVendorConn;
  handles_->adoPrimaryRS = OdbcHandle::Allocate(SQL_HANDLE_STMT, connection.get());
  const OdbcHandle& result = handles_->adoPrimaryRS;
  if (!result)
    return StatementFailure(Diagnostics(connection));

  // A static, read-only cursor, as an ADO static read-only recordset asks for. Drivers that substitute
  // another kind (01S02) or do not know the setting still run the query, and one forward read of one row is
  // all this needs, so a refusal here is not a failure.
  ::SQLSetStmtAttrW(result.get(), SQL_ATTR_QUERY_TIMEOUT, AsPointer(kQueryTimeoutSeconds), 0);
  ::SQLSetStmtAttrW(result.get(), SQL_ATTR_CURSOR_TYPE, AsPointer(SQL_CURSOR_STATIC), 0);
  ::SQLSetStmtAttrW(result.get(), SQL_ATTR_CONCURRENCY, AsPointer(SQL_CONCUR_READ_ONLY), 0);

  std::wstring query(kPublicMessageQuery);
  const SQLRETURN executed = ::SQLExecDirectW(result.get(), OdbcText(query), SQL_NTS);
  if (!Succeeded(executed) && executed != SQL_NO_DATA)
    return StatementFailure(Diagnostics(result));

  // The first row is all that is read; the cursor is closed at once, so that the result held until the next
  // refresh keeps no lock on the vendor's table.
  auto message = ReadFirstRow(result);
  ::SQLFreeStmt(result.get(), SQL_CLOSE);
  return message;
}

}  // namespace qm
