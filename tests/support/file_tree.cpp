#include "support/file_tree.h"

#include <windows.h>

namespace qm::test {
namespace {

void WalkBelow(const std::wstring& root, const std::wstring& relative,
               const std::function<void(const std::wstring&, bool)>& visit) {
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
    const bool is_folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    visit(child, is_folder);
    if (is_folder)
      WalkBelow(root, child, visit);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

}  // namespace

void WalkTree(const std::wstring& root, const std::function<void(const std::wstring&, bool)>& visit) {
  WalkBelow(root, L"", visit);
}

void DeleteFiles(const std::wstring& root) {
  WalkTree(root, [&](const std::wstring& relative, bool is_folder) {
    if (is_folder)
      return;
    const std::wstring path = root + L"\\" + relative;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
  });
}

}  // namespace qm::test
