#include "support/file_watch.h"

#include <windows.h>

#include "platform/unique_handle.h"

namespace qm::test {
namespace {

// File index, size and write time: any change of these is a write.
std::wstring Identity(const std::wstring& path) {
  UniqueHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info))
    return L"?";
  return std::to_wstring(info.nFileIndexHigh) + L":" + std::to_wstring(info.nFileIndexLow) + L":" +
         std::to_wstring(info.nFileSizeLow) + L":" + std::to_wstring(info.ftLastWriteTime.dwLowDateTime) +
         L":" + std::to_wstring(info.ftLastWriteTime.dwHighDateTime);
}

void Walk(const std::wstring& root, const std::wstring& relative, std::map<std::wstring, std::wstring>& out) {
  const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Walk(root, child, out);
    } else {
      out[child] = Identity(root + L"\\" + child);
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

}  // namespace

FileWatch::FileWatch(std::wstring root) : root_(std::move(root)), last_(Take()) {}

FileWatch::Snapshot FileWatch::Take() const {
  Snapshot snapshot;
  Walk(root_, L"", snapshot);
  return snapshot;
}

std::vector<std::wstring> FileWatch::Changes() {
  Snapshot now = Take();
  std::vector<std::wstring> changed;
  for (const auto& [name, identity] : now) {
    const auto before = last_.find(name);
    if (before == last_.end() || before->second != identity)
      changed.push_back(name);
  }
  last_ = std::move(now);
  return changed;
}

}  // namespace qm::test
