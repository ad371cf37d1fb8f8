#pragma once
// One ODBC diagnostic record as plain values, so that the code that reads a failure from the records needs
// no ODBC or Win32 headers.

#include <string>

namespace qm {

// One diagnostic record as SQLGetDiagRec returns it.
struct DiagnosticRecord {
  std::wstring sqlstate;  // five characters, "42S02"
  long native_error = 0;
  std::wstring message;
};

}  // namespace qm
