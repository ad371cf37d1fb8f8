#include "support/file_watch.h"

#include <windows.h>

#include "platform/unique_handle.h"
#include "support/file_tree.h"

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

}  // namespace

FileWatch::FileWatch(std::wstring root) : root_(std::move(root)), last_(Take()) {}

FileWatch::Snapshot FileWatch::Take() const {
  Snapshot snapshot;
  WalkTree(root_, [&](const std::wstring& relative, bool is_folder) {
    if (!is_folder)
      snapshot[relative] = Identity(root_ + L"\\" + relative);
  });
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
