#pragma once
// RAII owners of ODBC handles and the reading of their diagnostic records. ODBC's headers need the Win32
// types, so only the vendor database's ODBC code (and its tests) include this header.

#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/diagnostic_record.h"

namespace qm {

// One environment, connection or statement handle. A connection that was connected is disconnected before
// it is freed; a statement must be released before the connection it was allocated on.
class OdbcHandle {
 public:
  OdbcHandle() = default;
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  OdbcHandle(OdbcHandle&& other) noexcept
      : type_(other.type_),
        handle_(std::exchange(other.handle_, nullptr)),
        connected_(std::exchange(other.connected_, false)) {}
  OdbcHandle& operator=(OdbcHandle&& other) noexcept {
    if (this != &other) {
      reset();
      type_ = other.type_;
      handle_ = std::exchange(other.handle_, nullptr);
      connected_ = std::exchange(other.connected_, false);
    }
    return *this;
  }
  ~OdbcHandle() { reset(); }

  // A new handle of `type` under `parent` (SQL_NULL_HANDLE for an environment); empty when the driver
  // manager refuses, in which case the parent's diagnostics tell why.
  static OdbcHandle Allocate(SQLSMALLINT type, SQLHANDLE parent);

  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Records that SQLDriverConnect succeeded on this connection, so that releasing it disconnects first.
  void MarkConnected() { connected_ = true; }

  void reset();

 private:
  OdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : type_(type), handle_(handle) {}

  SQLSMALLINT type_ = SQL_HANDLE_ENV;
  SQLHANDLE handle_ = nullptr;
  bool connected_ = false;
};

// The diagnostic records the last call on `handle` left, in the order the driver manager gives them.
std::vector<DiagnosticRecord> Diagnostics(const OdbcHandle& handle);

// SQL_SUCCESS or SQL_SUCCESS_WITH_INFO.
inline bool Succeeded(SQLRETURN rc) {
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// ODBC's wide functions take mutable SQLWCHAR buffers even for input text.
inline SQLWCHAR* OdbcText(std::wstring& text) {
  return reinterpret_cast<SQLWCHAR*>(text.data());
}

}  // namespace qm
