#pragma once
// Tells which files below a folder were written since the last look. An atomic replace gives the target a new
// file identity, so a rewrite with the same bytes counts as a write too.

#include <map>
#include <string>
#include <vector>

namespace qm::test {

class FileWatch {
 public:
  explicit FileWatch(std::wstring root);
  // Files (paths relative to the root, with backslashes) created or replaced since the last call, sorted.
  std::vector<std::wstring> Changes();

 private:
  using Snapshot = std::map<std::wstring, std::wstring>;
  Snapshot Take() const;
  std::wstring root_;
  Snapshot last_;
};

}  // namespace qm::test
