#include "support/sqlite_database.h"

#include <stdexcept>
#include <utility>
#include <variant>

#include "platform/odbc.h"
#include "support/loopback_server.h"
#include "support/text.h"
#include "vendor_services/connection_string.h"
#include "vendor_services/vendor_database.h"

namespace qm::test {
namespace {

[[noreturn]] void Fail(const char* step, const OdbcHandle& handle) {
  std::string text = std::string("test database: ") + step + " failed";
  for (const DiagnosticRecord& record : Diagnostics(handle)) {
    text += ": " + Narrow(record.sqlstate) + " " + Narrow(record.message);
  }
  throw std::runtime_error(text);
}

}  // namespace

SqliteVendorDatabase::SqliteVendorDatabase(std::wstring connection_string)
    : connection_string_(std::move(connection_string)) {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, folder);
  if (length == 0 || length > MAX_PATH)
    throw std::runtime_error("test database: no working folder");
  path_ = std::wstring(folder) + (folder[length - 1] == L'\\' ? L"" : L"\\") + L"Vostrel_EA";
  if (!Remove())
    throw std::runtime_error("test database: cannot remove an earlier Vostrel_EA");
  // The driver must have created the file where this fixture removes it, or tests would share data.
  Run(L"CREATE TABLE Fixture_Check (Id INTEGER)");
  if (::GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
    throw std::runtime_error("test database: the driver did not create Vostrel_EA in the working folder");
  }
  Run(L"DROP TABLE Fixture_Check");
}

// A file that cannot be removed here stays behind, and the next database's constructor fails on it.
SqliteVendorDatabase::~SqliteVendorDatabase() {
  Remove();
}

std::wstring SqliteVendorDatabase::FullPathConnectionString() const {
  // Z: is the Linux root.
  if (path_.size() < 3 || (path_[0] != L'Z' && path_[0] != L'z') || path_[1] != L':')
    throw std::runtime_error("test database: the working folder is not on drive Z:");
  std::wstring linux_path = path_.substr(2);
  for (wchar_t& c : linux_path)
    c = c == L'\\' ? L'/' : c;
  return WithPair(connection_string_, L"database", linux_path);
}

bool SqliteVendorDatabase::Remove() const {
  bool removed = true;
  for (const wchar_t* suffix : {L"", L"-journal", L"-wal", L"-shm"}) {
    const std::wstring file = path_ + suffix;
    removed = (::DeleteFileW(file.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) && removed;
  }
  return removed;
}

void SqliteVendorDatabase::Run(const std::wstring& sql) const {
  OdbcHandle environment = OdbcHandle::Allocate(SQL_HANDLE_ENV, nullptr);
  if (!environment)
    throw std::runtime_error("test database: no ODBC environment");
  ::SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  OdbcHandle connection = OdbcHandle::Allocate(SQL_HANDLE_DBC, environment.get());
  if (!connection)
    Fail("allocating a connection", environment);
  std::wstring connection_string = std::get<std::wstring>(DriverConnectionString(connection_string_));
  if (!Succeeded(::SQLDriverConnectW(connection.get(), nullptr, OdbcText(connection_string), SQL_NTS, nullptr,
                                     0, nullptr, SQL_DRIVER_NOPROMPT))) {
    Fail("connecting", connection);
  }
  connection.MarkConnected();
  OdbcHandle statement = OdbcHandle::Allocate(SQL_HANDLE_STMT, connection.get());
  if (!statement)
    Fail("allocating a statement", connection);
  std::wstring text = sql;
  const SQLRETURN rc = ::SQLExecDirectW(statement.get(), OdbcText(text), SQL_NTS);
  if (!Succeeded(rc) && rc != SQL_NO_DATA)
    Fail(Narrow(sql.substr(0, 80)).c_str(), statement);
}

std::wstring SqlText(const std::wstring& text) {
  std::wstring literal = L"'";
  for (const wchar_t c : text) {
    literal += c;
    if (c == L'\'')
      literal += L'\'';
  }
  return literal + L"'";
}

}  // namespace qm::test
