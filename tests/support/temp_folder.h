#pragma once
// Test helpers for real files: a fresh temporary folder that removes itself, and byte-exact reads.

#include <windows.h>

#include <string>
#include <vector>

namespace qm::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path, without a trailing backslash.
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

  // Creates a sub-folder (and its parents) below this folder and returns its path.
  std::wstring MakeFolder(const std::wstring& relative) const;

  // Names of the files directly in `relative` (or the folder itself), sorted.
  std::vector<std::wstring> ListFiles(const std::wstring& relative = L"") const;

 private:
  std::wstring path_;
};

// Makes `path` and the folders above it that are missing.
void MakeFolders(const std::wstring& path);
// Removes the folder with everything in it, read-only files too.
void RemoveTree(const std::wstring& folder);
bool FileExists(const std::wstring& path);
// The file's bytes, or "<missing>" when it cannot be opened.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);

}  // namespace qm::test
