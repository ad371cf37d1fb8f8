// Logs in the way the panel does (the vendor's connection string to the driver "SQL Server", login time-out
// 15 s) to a server that accepts the connection and never answers, and says how the login ended. The server
// is this program: the tests' loopback server that holds each connection and never sends anything. The login
// runs on a worker thread, so that one that never ends cannot hold this program beyond the given bound.
//   login_timeout_probe SECONDS
// Exit status: 0 the login failed (its SQLSTATEs and texts are printed), 1 it succeeded, 2 it had not ended
// after SECONDS, 3 no server could be set up.
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <future>
#include <string>
#include <variant>
#include <thread>

#include "platform/odbc.h"
#include "support/loopback_server.h"
#include "vendor_services/connection_string.h"

namespace {

struct LoginOutcome {
  bool connected = false;
  std::wstring diagnostics;  // "SQLSTATE text" lines
};

LoginOutcome LogIn(std::wstring connection_string) {
  LoginOutcome outcome;
  const qm::OdbcHandle environment = qm::OdbcHandle::Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  if (!environment)
    return outcome;
  ::SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  qm::OdbcHandle connection = qm::OdbcHandle::Allocate(SQL_HANDLE_DBC, environment.get());
  if (!connection)
    return outcome;
  ::SQLSetConnectAttrW(connection.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
  outcome.connected =
      qm::Succeeded(::SQLDriverConnectW(connection.get(), nullptr, qm::OdbcText(connection_string), SQL_NTS,
                                        nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
  for (const qm::DiagnosticRecord& record : qm::Diagnostics(connection))
    outcome.diagnostics += record.sqlstate + L" " + record.message + L"\n";
  if (outcome.connected)
    connection.MarkConnected();
  return outcome;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long bound_seconds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 0;
  const qm::test::LoopbackServer server(qm::test::ServerBehaviour::Hang);
  if (bound_seconds <= 0 || server.port() == 0) {
    std::fprintf(stderr, "usage: login_timeout_probe SECONDS (and a free loopback port)\n");
    return 3;
  }
  // The string the panel hands the driver manager: its own, less the PROVIDER pair it plays itself.
  const std::wstring connection_string =
      std::get<std::wstring>(qm::DriverConnectionString(qm::test::ConnectionStringTo(server.port())));

  std::promise<LoginOutcome> promise;
  std::future<LoginOutcome> ended = promise.get_future();
  const auto start = std::chrono::steady_clock::now();
  std::thread([promise = std::move(promise), connection_string]() mutable {
    promise.set_value(LogIn(connection_string));
  }).detach();

  if (ended.wait_for(std::chrono::seconds(bound_seconds)) != std::future_status::ready) {
    std::printf("the login had not ended after %ld s\n", bound_seconds);
    std::fflush(stdout);
    return 2;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const LoginOutcome outcome = ended.get();
  std::printf("the login %s after %.1f s\n%ls", outcome.connected ? "succeeded" : "failed", seconds,
              outcome.diagnostics.c_str());
  std::fflush(stdout);
  return outcome.connected ? 1 : 0;
}
