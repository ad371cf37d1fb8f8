#include "platform/failure.h"

#include <array>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace qm {
namespace {

struct Entry {
  long number;
  const wchar_t* description;
};

// The classic error table, as far as file, process and conversion work can reach it.
constexpr std::array kRuntimeErrors{
    Entry{3, L"Return without GoSub"},
    Entry{5, L"Invalid procedure call or argument"},
    Entry{6, L"Overflow"},
    Entry{7, L"Out of memory"},
    Entry{9, L"Subscript out of range"},
    Entry{11, L"Division by zero"},
    Entry{13, L"Type mismatch"},
    Entry{51, L"Internal error"},
    Entry{52, L"Bad file name or number"},
    Entry{53, L"File not found"},
    Entry{54, L"Bad file mode"},
    Entry{55, L"File already open"},
    Entry{57, L"Device I/O error"},
    Entry{58, L"File already exists"},
    Entry{61, L"Disk full"},
    Entry{62, L"Input past end of file"},
    Entry{67, L"Too many files"},
    Entry{68, L"Device unavailable"},
    Entry{70, L"Permission denied"},
    Entry{71, L"Disk not ready"},
    Entry{74, L"Can't rename with different drive"},
    Entry{75, L"Path/File access error"},
    Entry{76, L"Path not found"},
    Entry{94, L"Invalid use of Null"},
    Entry{32755, L"Cancel was selected."},
};

// Win32 error codes (winerror.h values) and the failure of the table each one is reported as.
constexpr std::array<std::pair<unsigned long, long>, 22> kWin32ToRuntime{{
    {2, err::kFileNotFound},           // ERROR_FILE_NOT_FOUND
    {3, err::kPathNotFound},           // ERROR_PATH_NOT_FOUND
    {4, err::kTooManyFiles},           // ERROR_TOO_MANY_OPEN_FILES
    {5, err::kPathFileAccessError},    // ERROR_ACCESS_DENIED
    {8, err::kOutOfMemory},            // ERROR_NOT_ENOUGH_MEMORY
    {14, err::kOutOfMemory},           // ERROR_OUTOFMEMORY
    {15, err::kDeviceUnavailable},     // ERROR_INVALID_DRIVE
    {19, err::kPermissionDenied},      // ERROR_WRITE_PROTECT
    {21, err::kDiskNotReady},          // ERROR_NOT_READY
    {29, err::kDeviceIoError},         // ERROR_WRITE_FAULT
    {32, err::kPermissionDenied},      // ERROR_SHARING_VIOLATION
    {33, err::kPermissionDenied},      // ERROR_LOCK_VIOLATION
    {39, err::kDiskFull},              // ERROR_HANDLE_DISK_FULL
    {53, err::kBadFileNameOrNumber},   // ERROR_BAD_NETPATH
    {67, err::kBadFileNameOrNumber},   // ERROR_BAD_NET_NAME
    {80, err::kFileAlreadyExists},     // ERROR_FILE_EXISTS
    {112, err::kDiskFull},             // ERROR_DISK_FULL
    {123, err::kBadFileNameOrNumber},  // ERROR_INVALID_NAME
    {161, err::kPathNotFound},         // ERROR_BAD_PATHNAME
    {183, err::kFileAlreadyExists},    // ERROR_ALREADY_EXISTS
    {206, err::kBadFileNameOrNumber},  // ERROR_FILENAME_EXCED_RANGE
    {267, err::kPathNotFound},         // ERROR_DIRECTORY
}};

}  // namespace

Failure RuntimeFailure(long number) {
  for (const Entry& e : kRuntimeErrors) {
    if (e.number == number)
      return {number, e.description};
  }
  return {number, L"Application-defined or object-defined error"};
}

Failure FailureFromWin32(unsigned long win32_error) {
  for (const auto& [code, number] : kWin32ToRuntime) {
    if (code == win32_error)
      return RuntimeFailure(number);
  }
  // Anything else the file system or loader refuses is reported as an access error on the path.
  return RuntimeFailure(err::kPathFileAccessError);
}

Failure FailureOfException(std::exception_ptr exception) {
  try {
    std::rethrow_exception(exception);
  } catch (const std::bad_alloc&) {
    return RuntimeFailure(err::kOutOfMemory);
  } catch (const std::out_of_range&) {
    return RuntimeFailure(err::kSubscriptOutOfRange);
  } catch (const std::overflow_error&) {
    return RuntimeFailure(err::kOverflow);
  } catch (const std::range_error&) {
    return RuntimeFailure(err::kOverflow);
  } catch (const std::invalid_argument&) {
    return RuntimeFailure(err::kInvalidProcedureCall);
  } catch (const std::system_error& error) {
    if (error.code().category() == std::system_category())
      return FailureFromWin32(static_cast<unsigned long>(error.code().value()));
    return RuntimeFailure(err::kInternalError);
  } catch (...) {
    return RuntimeFailure(err::kInternalError);
  }
}

std::wstring StatusReport(const Outcome& pending) {
  if (!pending)
    return std::wstring(kStatusOk);
  return std::to_wstring(pending->number) + L" : " + pending->description;
}

}  // namespace qm
