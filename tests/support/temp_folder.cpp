#include "support/temp_folder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "platform/unique_handle.h"

namespace qm::test {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..")
        continue;
      const std::wstring child = folder + L"\\" + name;
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        ::DeleteFileW(child.c_str());
      }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(folder.c_str());
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH, base);
  if (length == 0)
    throw std::runtime_error("GetTempPathW failed");
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(base) + L"qmtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    if (::CreateDirectoryW(path_.c_str(), nullptr))
      break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("CreateDirectoryW failed");
  }
}

TempFolder::~TempFolder() {
  RemoveTree(path_);
}

std::wstring TempFolder::MakeFolder(const std::wstring& relative) const {
  std::wstring folder = path_ + L"\\" + relative;
  while (folder.ends_with(L'\\'))
    folder.pop_back();
  MakeFolders(folder);
  return folder;
}

void MakeFolders(const std::wstring& path) {
  // Each folder on the way, after the drive; those already there stay.
  for (size_t cut = path.find(L'\\', 3); cut != std::wstring::npos; cut = path.find(L'\\', cut + 1))
    ::CreateDirectoryW(path.substr(0, cut).c_str(), nullptr);
  ::CreateDirectoryW(path.c_str(), nullptr);
}

std::vector<std::wstring> TempFolder::ListFiles(const std::wstring& relative) const {
  std::vector<std::wstring> names;
  const std::wstring folder = relative.empty() ? path_ : path_ + L"\\" + relative;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.emplace_back(found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::wstring& path) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw std::runtime_error("cannot create test file");
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace qm::test
