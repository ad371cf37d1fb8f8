#pragma once
// Walks every file and folder below a folder, with paths relative to it (backslashes between names), and
// empties a tree of its files.

#include <functional>
#include <string>

namespace qm::test {

// Calls `visit` for each entry below `root`, a folder before what it holds.
void WalkTree(const std::wstring& root,
              const std::function<void(const std::wstring& relative, bool is_folder)>& visit);

// Deletes every file below `root`, read-only ones too, and keeps the folders.
void DeleteFiles(const std::wstring& root);

}  // namespace qm::test
