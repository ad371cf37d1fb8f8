#pragma once
// The failure model: a failure is a number and its description from one fixed table of classic error numbers
// (5 Invalid procedure call or argument, 53 File not found, 76 Path not found, ...), which the status line
// shows and onto which Win32 errors are mapped. Every handler ends in one status report built from the
// failure it has pending, if any. No Win32 headers here: this is pure logic and builds natively too.

#include <exception>
#include <optional>
#include <string>

namespace qm {

struct Failure {
  long number = 0;
  std::wstring description;

  friend bool operator==(const Failure&, const Failure&) = default;
};

// What one step leaves pending: nothing, or one failure.
using Outcome = std::optional<Failure>;

// The numbers of the table that this program raises or maps to.
namespace err {
inline constexpr long kInvalidProcedureCall = 5;
inline constexpr long kOverflow = 6;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kSubscriptOutOfRange = 9;
inline constexpr long kInternalError = 51;
inline constexpr long kBadFileNameOrNumber = 52;
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAlreadyExists = 58;
inline constexpr long kDeviceIoError = 57;
inline constexpr long kDiskFull = 61;
inline constexpr long kTooManyFiles = 67;
inline constexpr long kDeviceUnavailable = 68;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kDiskNotReady = 71;
inline constexpr long kPathFileAccessError = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kInvalidUseOfNull = 94;
inline constexpr long kCancelSelected = 32755;
}  // namespace err

// The failure with the table's description for `number`; a number outside the table gets "Application-defined
// or object-defined error".
Failure RuntimeFailure(long number);

// The failure of the table that a Win32 error code stands for (ERROR_PATH_NOT_FOUND -> 76 Path not found,
// ...).
Failure FailureFromWin32(unsigned long win32_error);

// The failure an exception stands for, as the runtime would report it: 7 Out of memory for an allocation
// that failed, 9, 6 or 5 for an index, a range or an argument the standard library refused, the table's
// failure for a system error, and 51 Internal error for anything else.
Failure FailureOfException(std::exception_ptr exception);

inline constexpr std::wstring_view kStatusOk = L"Status: OK.";

// "Status: OK." when nothing is pending, otherwise "<number> : <description>".
std::wstring StatusReport(const Outcome& pending);

}  // namespace qm
