#include "terminal/exchange_files.h"

#include <windows.h>

#include <algorithm>

#include "platform/unique_handle.h"

namespace qm::terminal {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

FileState ReadExchangeFile(const std::wstring& path) {
  FileState state;
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    state.kind = IsGone(::GetLastError()) ? FileState::Kind::Missing : FileState::Kind::Unreadable;
    return state;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) {
    state.kind = FileState::Kind::Unreadable;
    return state;
  }
  state.size = static_cast<uint64_t>(size.QuadPart);
  state.bytes.resize(static_cast<size_t>(std::min<uint64_t>(state.size, kReadLimit)));
  size_t filled = 0;
  while (filled < state.bytes.size()) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), state.bytes.data() + filled, static_cast<DWORD>(state.bytes.size() - filled),
                    &read, nullptr)) {
      state.kind = FileState::Kind::Unreadable;
      state.bytes.clear();
      return state;
    }
    if (read == 0)
      break;  // shrank since its size was taken
    filled += read;
  }
  state.bytes.resize(filled);
  if (filled < kReadLimit && state.size > filled)
    state.size = filled;
  state.kind = FileState::Kind::Read;
  return state;
}

unsigned long AppendLine(const std::wstring& path, std::string_view line) {
  UniqueHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return ::GetLastError();
  const std::string bytes = std::string(line) + "\r\n";
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    return ::GetLastError();
  }
  if (written != bytes.size())
    return ERROR_WRITE_FAULT;
  if (!file.reset())
    return ::GetLastError();
  return ERROR_SUCCESS;
}

unsigned long RemoveFile(const std::wstring& path) {
  if (::DeleteFileW(path.c_str()))
    return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  return IsGone(error) ? ERROR_SUCCESS : error;
}

}  // namespace qm::terminal
