#include "platform/file_system.h"

#include <windows.h>

#include "platform/unique_handle.h"

namespace qm {
namespace {

// How long a replace keeps trying while another process (the terminal reading the file) holds the target
// open. A reader holds these one-line files for microseconds at a time, so a gap comes soon; a file that
// stays held for longer than this is reported as Permission denied.
constexpr ULONGLONG kReplacePatienceMs = 500;

std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The temporary file's name never ends in .txt, so the terminal side never mistakes it for an exchange file.
std::wstring TemporaryNameFor(const std::wstring& path, unsigned attempt) {
  return FolderOf(path) + L"~qm" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
         std::to_wstring(attempt) + L".tmp";
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 1u << 20 ? 1u << 20 : static_cast<DWORD>(bytes.size());
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// A replace refused because another process holds the target: Windows says access denied or sharing
// violation; Wine says file not found although both files are there.
bool HeldByAnotherProcess(DWORD error, const std::wstring& target, const std::wstring& temp) {
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return true;
  }
  return error == ERROR_FILE_NOT_FOUND && Exists(target) && Exists(temp);
}

}  // namespace

Outcome ReplaceFileAtomically(const std::wstring& path, std::string_view bytes) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND)
      return FailureFromWin32(error);
  } else if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
    // Windows refuses to replace a read-only file, Wine does not: refuse on both.
    return RuntimeFailure(err::kPathFileAccessError);
  }

  std::wstring temp;
  UniqueHandle file;
  for (unsigned attempt = 0; !file; ++attempt) {
    temp = TemporaryNameFor(path, attempt);
    file.reset(
        ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
      break;
    const DWORD error = ::GetLastError();
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 16) {
      return FailureFromWin32(error);
    }
  }

  const bool written = WriteAll(file.get(), bytes);
  const DWORD write_error = written ? ERROR_SUCCESS : ::GetLastError();
  if (!file.reset() && written) {
    ::DeleteFileW(temp.c_str());
    return FailureFromWin32(::GetLastError());
  }
  if (!written) {
    ::DeleteFileW(temp.c_str());
    return FailureFromWin32(write_error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : write_error);
  }

  DWORD error = ERROR_SUCCESS;
  const ULONGLONG deadline = ::GetTickCount64() + kReplacePatienceMs;
  for (unsigned attempt = 0;; ++attempt) {
    if (::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
      return std::nullopt;
    error = ::GetLastError();
    if (!HeldByAnotherProcess(error, path, temp) || ::GetTickCount64() >= deadline)
      break;
    // Yield first, so a reader on another core can finish; then give up the time slice for real.
    if (attempt < 8) {
      ::SwitchToThread();
    } else {
      ::Sleep(1);
    }
  }
  const bool held = HeldByAnotherProcess(error, path, temp);
  ::DeleteFileW(temp.c_str());
  return held ? RuntimeFailure(err::kPermissionDenied) : FailureFromWin32(error);
}

bool IsOrdinaryFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> ReadSmallFile(const std::wstring& path, size_t limit) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<uint64_t>(size.QuadPart) > limit)
    return std::nullopt;
  // One byte more than the limit is asked for, so that a file that grew since its size was taken is refused
  // too.
  std::string bytes(static_cast<size_t>(size.QuadPart) + 1, '\0');
  DWORD read = 0;
  if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read > limit)
    return std::nullopt;
  bytes.resize(read);
  return bytes;
}

}  // namespace qm
