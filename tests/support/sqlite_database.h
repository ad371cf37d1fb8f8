#pragma once
// A fresh vendor database for one test. The SQLite driver, registered as "SQL Server" in the tests' driver
// list, opens the file named by database= (Vostrel_EA) in the working folder of the Linux process; Wine
// does not move that folder when the program changes its own current directory, so the database is the
// file Vostrel_EA in the folder the test program started in (a folder of its own in the build tree),
// removed before and after each test. It is filled through ODBC with the same driver the code under test
// reaches.

#include <string>

#include "vendor_services/vendor_database.h"

namespace qm::test {

class SqliteVendorDatabase {
 public:
  // `connection_string` names the SQLite driver, as "SQL Server" in the tests' driver list or by its path.
  explicit SqliteVendorDatabase(std::wstring connection_string = VendorConnectionString());
  ~SqliteVendorDatabase();
  SqliteVendorDatabase(const SqliteVendorDatabase&) = delete;
  SqliteVendorDatabase& operator=(const SqliteVendorDatabase&) = delete;

  // Runs one statement on a connection of its own; throws with the driver's message when it fails.
  void Run(const std::wstring& sql) const;

  // The database file as the program sees it.
  const std::wstring& path() const { return path_; }

  // The connection string with database= naming the file by its full Linux path, for code that opens it on
  // a thread of its own: Wine moves the Linux working folder of the whole process for a moment while any
  // thread lists a folder, and a relative name opened then lands in that folder.
  std::wstring FullPathConnectionString() const;

 private:
  // Removes the database file and the driver's files beside it; false when one stays.
  bool Remove() const;

  std::wstring connection_string_;
  std::wstring path_;
};

// `text` as an SQL string literal.
std::wstring SqlText(const std::wstring& text);

// The vendor's table as the panel reads it, and the statement that adds a row holding `message`.
inline constexpr wchar_t kCreateVendorTable[] = L"CREATE TABLE Vostrel_Gap (Id INTEGER, Public_Msg TEXT)";
inline std::wstring InsertMessage(const std::wstring& message) {
  return L"INSERT INTO Vostrel_Gap (Public_Msg) VALUES (" + SqlText(message) + L")";
}

}  // namespace qm::test
