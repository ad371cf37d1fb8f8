#pragma once
// The stand-in terminal's journal file as the tests see it: its lines, each of which must end in CR LF.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace qm::terminal {

inline std::vector<std::string> JournalFileLines(const std::wstring& path) {
  const std::string journal = test::ReadBytes(path);
  std::vector<std::string> lines;
  if (journal == "<missing>")
    return lines;
  size_t start = 0;
  for (size_t end; (end = journal.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(journal.substr(start, end - start));
  }
  if (start != journal.size())
    lines.push_back("<no CR LF> " + journal.substr(start));
  return lines;
}

}  // namespace qm::terminal
