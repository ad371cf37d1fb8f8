// The database yardstick for the message refresh: the vendor connection string and query through the same
// ODBC stack the panel uses (Wine's odbc32, unixODBC, whatever ODBCSYSINI registers as "SQL Server"),
// timed step by step with nothing of the panel around it.
//
//   bench_odbc_probe create ROWS   makes Vostrel_Gap with ROWS messages in the database the driver opens
//   bench_odbc_probe measure N     prints the medians of N rounds: connect_ms (log in), query_ms (run the
//                                  query with the settings the panel must use, find Public_Msg, fetch the
//                                  first row, read the field, close the cursor), disconnect_ms,
//                                  round_trip_ms (one trivial statement on an open connection) and, timed in
//                                  the same rounds, refresh_ms (the panel's own refresh code)
//   bench_odbc_probe unreachable N prints unreachable_first_ms, the first login attempt to a server that
//   cannot
//                                  be reached (the driver loads with it), and unreachable_ms, the median of N
//                                  more

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "bench_clock.h"
#include "platform/odbc.h"
#include "vendor_services/connection_string.h"
#include "vendor_services/vendor_database.h"

namespace {

using qm::OdbcHandle;

[[noreturn]] void Fail(const char* step, const OdbcHandle& handle) {
  std::string text = std::string(step) + " failed";
  for (const qm::DiagnosticRecord& record : qm::Diagnostics(handle)) {
    text += ": " + std::string(record.sqlstate.begin(), record.sqlstate.end());
    for (wchar_t c : record.message)
      text += c < 128 ? static_cast<char>(c) : '?';
  }
  throw std::runtime_error(text);
}

OdbcHandle NewEnvironment() {
  OdbcHandle environment = OdbcHandle::Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  if (!environment)
    throw std::runtime_error("no ODBC environment");
  ::SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  return environment;
}

OdbcHandle Connect(const OdbcHandle& environment) {
  OdbcHandle connection = OdbcHandle::Allocate(SQL_HANDLE_DBC, environment.get());
  if (!connection)
    Fail("allocating a connection", environment);
  ::SQLSetConnectAttrW(connection.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
  std::wstring text = std::get<std::wstring>(qm::DriverConnectionString(qm::VendorConnectionString()));
  if (!qm::Succeeded(::SQLDriverConnectW(connection.get(), nullptr, qm::OdbcText(text), SQL_NTS, nullptr, 0,
                                         nullptr, SQL_DRIVER_NOPROMPT))) {
    Fail("connecting", connection);
  }
  connection.MarkConnected();
  return connection;
}

// Runs `sql`; with `read_first` fetches the first row and reads its first column as text. `as_the_panel`
// adds what the panel must do besides: a query time-out and a static read-only cursor, finding the field by
// its name, reading the field to its end and closing the cursor.
void Run(const OdbcHandle& connection, std::wstring sql, bool read_first, bool as_the_panel = false) {
  OdbcHandle statement = OdbcHandle::Allocate(SQL_HANDLE_STMT, connection.get());
  if (!statement)
    Fail("allocating a statement", connection);
  if (as_the_panel) {
    ::SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(30), 0);
    ::SQLSetStmtAttrW(statement.get(), SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC),
                      0);
    ::SQLSetStmtAttrW(statement.get(), SQL_ATTR_CONCURRENCY,
                      reinterpret_cast<SQLPOINTER>(SQL_CONCUR_READ_ONLY), 0);
  }
  const SQLRETURN rc = ::SQLExecDirectW(statement.get(), qm::OdbcText(sql), SQL_NTS);
  if (!qm::Succeeded(rc) && rc != SQL_NO_DATA)
    Fail("running a statement", statement);
  if (!read_first)
    return;
  if (as_the_panel) {
    SQLSMALLINT columns = 0;
    SQLWCHAR name[128] = {};
    SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!qm::Succeeded(::SQLNumResultCols(statement.get(), &columns)) || columns < 1 ||
        !qm::Succeeded(
            ::SQLDescribeColW(statement.get(), 1, name, 128, &length, &type, &size, &digits, &nullable))) {
      Fail("describing the result", statement);
    }
  }
  if (!qm::Succeeded(::SQLFetch(statement.get())))
    Fail("fetching the first row", statement);
  SQLWCHAR text[512] = {};
  SQLLEN indicator = 0;
  if (!qm::Succeeded(::SQLGetData(statement.get(), 1, SQL_C_WCHAR, text, sizeof text, &indicator)))
    Fail("reading the first field", statement);
  if (as_the_panel) {
    if (::SQLGetData(statement.get(), 1, SQL_C_WCHAR, text, sizeof text, &indicator) != SQL_NO_DATA)
      Fail("reading past the field's end", statement);
    ::SQLFreeStmt(statement.get(), SQL_CLOSE);
  }
}

int Create(long rows) {
  OdbcHandle environment = NewEnvironment();
  OdbcHandle connection = Connect(environment);
  Run(connection, L"DROP TABLE IF EXISTS Vostrel_Gap", false);
  Run(connection, L"CREATE TABLE Vostrel_Gap (Public_Msg TEXT)", false);
  Run(connection,
      L"INSERT INTO Vostrel_Gap (Public_Msg) WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
      L"WHERE x < " +
          std::to_wstring(rows) + L") SELECT 'Public message number ' || x FROM n",
      false);
  return 0;
}

// A login that cannot succeed (the server unreachable): the first in the process, which also loads the
// driver, and the median of the rest.
int MeasureUnreachable(int rounds) {
  std::vector<double> later;
  double first = 0;
  OdbcHandle environment = NewEnvironment();
  for (int round = 0; round <= rounds; ++round) {
    OdbcHandle connection = OdbcHandle::Allocate(SQL_HANDLE_DBC, environment.get());
    if (!connection)
      Fail("allocating a connection", environment);
    std::wstring text = std::get<std::wstring>(qm::DriverConnectionString(qm::VendorConnectionString()));
    const double start = qm::bench::NowMs();
    const SQLRETURN rc = ::SQLDriverConnectW(connection.get(), nullptr, qm::OdbcText(text), SQL_NTS, nullptr,
                                             0, nullptr, SQL_DRIVER_NOPROMPT);
    const double took = qm::bench::NowMs() - start;
    if (qm::Succeeded(rc))
      throw std::runtime_error("the login succeeded; the server was meant to be unreachable");
    if (round == 0) {
      first = took;
    } else {
      later.push_back(took);
    }
  }
  qm::bench::PrintFigure("unreachable_first_ms", first);
  qm::bench::PrintFigure("unreachable_ms", qm::bench::Median(later));
  return 0;
}

// The raw steps and, in the same rounds so that both meet the same moments of a shared machine, the panel's
// own refresh code without the window: what it adds over the raw steps is its own. Like the panel, the raw
// side keeps its connection until the next round, which logs out of it first; each side's connection is
// open while the other's steps run, so both find the database in the same state.
int Measure(int rounds) {
  OdbcHandle environment = NewEnvironment();
  qm::VendorDatabase database;
  OdbcHandle held;
  std::vector<double> connect, query, disconnect, round_trip, refresh;
  for (int round = 0; round < rounds; ++round) {
    const double start = qm::bench::NowMs();
    held.reset();
    const double closed = qm::bench::NowMs();
    held = Connect(environment);
    const double connected = qm::bench::NowMs();
    Run(held, L"SELECT * from Vostrel_Gap;", true, true);
    const double queried = qm::bench::NowMs();
    Run(held, L"SELECT 1;", true);
    const double tripped = qm::bench::NowMs();
    if (round > 0)  // the first round has nothing to log out of
      disconnect.push_back(closed - start);
    connect.push_back(connected - closed);
    query.push_back(queried - connected);
    round_trip.push_back(tripped - queried);

    const double refresh_start = qm::bench::NowMs();
    // As the vendor worker runs a refresh: a new connection, then the read on it.
    const qm::Outcome login = database.ConnectVendorDatabase();
    const qm::PublicMessageRead read = login ? qm::PublicMessageRead(*login) : database.ReadPublicMessage();
    if (round > 0)  // likewise: the panel's first refresh replaces no connection
      refresh.push_back(qm::bench::NowMs() - refresh_start);
    const auto* message = std::get_if<std::optional<std::wstring>>(&read);
    if (message == nullptr || !*message)
      throw std::runtime_error("the refresh read no message");
  }
  qm::bench::PrintFigure("connect_ms", qm::bench::Median(connect));
  qm::bench::PrintFigure("query_ms", qm::bench::Median(query));
  qm::bench::PrintFigure("disconnect_ms", qm::bench::Median(disconnect));
  qm::bench::PrintFigure("round_trip_ms", qm::bench::Median(round_trip));
  qm::bench::PrintFigure("refresh_ms", qm::bench::Median(refresh));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 3 ? argv[1] : L"";
  const long count = argc == 3 ? std::wcstol(argv[2], nullptr, 10) : 0;
  if ((mode != L"create" && mode != L"measure" && mode != L"unreachable") || count <= 0) {
    std::fwprintf(stderr, L"usage: bench_odbc_probe create ROWS | measure N | unreachable N\n");
    return 2;
  }
  try {
    if (mode == L"create")
      return Create(count);
    if (mode == L"unreachable")
      return MeasureUnreachable(static_cast<int>(count));
    return Measure(static_cast<int>(count));
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_odbc_probe: %s\n", failure.what());
    return 1;
  }
}
