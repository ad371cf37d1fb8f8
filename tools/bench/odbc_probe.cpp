// The database yardstick for the message refresh: the vendor connection string and query through the same
// ODBC stack the panel uses (Wine's odbc32, unixODBC, whatever ODBCSYSINI registers as "SQL Server"),
// timed step by step with nothing of the panel around it.
//
//   bench_odbc_probe create ROWS   makes Vostrel_Gap with ROWS messages in the database the driver opens
//   bench_odbc_probe measure N     prints the medians of N rounds: connect_ms (log in), query_ms (run the
//                                  query, fetch the first row, read Public_Msg), disconnect_ms, and
//                                  round_trip_ms (one trivial statement on an open connection)
//   bench_odbc_probe refresh N     prints refresh_ms, the median of N runs of the panel's own refresh code
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
#include "vendor/connection_string.h"
#include "vendor/odbc.h"
#include "vendor/vendor_database.h"

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
  std::wstring text = std::get<std::wstring>(qm::DriverConnectionString(qm::VendorConnectionString()));
  if (!qm::Succeeded(::SQLDriverConnectW(connection.get(), nullptr, qm::OdbcText(text), SQL_NTS, nullptr, 0,
                                         nullptr, SQL_DRIVER_NOPROMPT))) {
    Fail("connecting", connection);
  }
  connection.MarkConnected();
  return connection;
}

// Runs `sql`; with `read_first` fetches the first row and reads its first column as text.
void Run(const OdbcHandle& connection, std::wstring sql, bool read_first) {
  OdbcHandle statement = OdbcHandle::Allocate(SQL_HANDLE_STMT, connection.get());
  if (!statement)
    Fail("allocating a statement", connection);
  const SQLRETURN rc = ::SQLExecDirectW(statement.get(), qm::OdbcText(sql), SQL_NTS);
  if (!qm::Succeeded(rc) && rc != SQL_NO_DATA)
    Fail("running a statement", statement);
  if (!read_first)
    return;
  if (!qm::Succeeded(::SQLFetch(statement.get())))
    Fail("fetching the first row", statement);
  SQLWCHAR text[512] = {};
  SQLLEN indicator = 0;
  if (!qm::Succeeded(::SQLGetData(statement.get(), 1, SQL_C_WCHAR, text, sizeof text, &indicator)))
    Fail("reading the first field", statement);
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

// The panel's own refresh code, without the window: what it adds over the raw steps above is its own.
int MeasureRefresh(int rounds) {
  qm::VendorDatabase database;
  std::vector<double> refresh;
  for (int round = 0; round < rounds; ++round) {
    const double start = qm::bench::NowMs();
    const qm::PublicMessageRefresh result = database.RefreshPublicMessage();
    refresh.push_back(qm::bench::NowMs() - start);
    if (result.failure || !result.message)
      throw std::runtime_error("the refresh read no message");
  }
  qm::bench::PrintFigure("refresh_ms", qm::bench::Median(refresh));
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

int Measure(int rounds) {
  OdbcHandle environment = NewEnvironment();
  std::vector<double> connect, query, disconnect, round_trip;
  for (int round = 0; round < rounds; ++round) {
    const double start = qm::bench::NowMs();
    OdbcHandle connection = Connect(environment);
    const double connected = qm::bench::NowMs();
    Run(connection, L"SELECT * from Vostrel_Gap;", true);
    const double queried = qm::bench::NowMs();
    Run(connection, L"SELECT 1;", true);
    const double tripped = qm::bench::NowMs();
    connection.reset();
    const double closed = qm::bench::NowMs();
    connect.push_back(connected - start);
    query.push_back(queried - connected);
    round_trip.push_back(tripped - queried);
    disconnect.push_back(closed - tripped);
  }
  qm::bench::PrintFigure("connect_ms", qm::bench::Median(connect));
  qm::bench::PrintFigure("query_ms", qm::bench::Median(query));
  qm::bench::PrintFigure("disconnect_ms", qm::bench::Median(disconnect));
  qm::bench::PrintFigure("round_trip_ms", qm::bench::Median(round_trip));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 3 ? argv[1] : L"";
  const long count = argc == 3 ? std::wcstol(argv[2], nullptr, 10) : 0;
  if ((mode != L"create" && mode != L"measure" && mode != L"refresh" && mode != L"unreachable") ||
      count <= 0) {
    std::fwprintf(stderr, L"usage: bench_odbc_probe create ROWS | measure N | refresh N | unreachable N\n");
    return 2;
  }
  try {
    if (mode == L"create")
      return Create(count);
    if (mode == L"unreachable")
      return MeasureUnreachable(static_cast<int>(count));
    return mode == L"refresh" ? MeasureRefresh(static_cast<int>(count)) : Measure(static_cast<int>(count));
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_odbc_probe: %s\n", failure.what());
    return 1;
  }
}
