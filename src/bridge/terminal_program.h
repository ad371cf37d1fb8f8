#pragma once
// The terminal program that belongs to a terminal's data folder, and its start. A terminal keeps its data in
// one of two layouts: portable, with terminal.exe in the data folder itself, or the standard one (the
// terminal's default since build 600), with the data folder under the user's application data and
// terminal.exe in the installation folder, which the data folder's origin.txt names.

#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.h"

namespace qm {

struct TerminalProgram {
  std::wstring path;
  // The folder the program works in; empty for the panel's own.
  std::wstring working_folder;

  friend bool operator==(const TerminalProgram&, const TerminalProgram&) = default;
};

// The largest origin.txt that is read; a longer one is not the terminal's and is ignored.
inline constexpr size_t kOriginFileLimit = 4096;

// The terminal program of `data_folder`: <data folder>\terminal.exe when that is an ordinary file (neither a
// folder nor hidden nor a system file), started as it always was. Otherwise terminal.exe of the installation
// folder that <data folder>\origin.txt names, when that is an ordinary file, working in that folder. The
// origin.txt is read as the terminal writes it (UTF-16 LE with its byte-order mark) or as UTF-8 or the ANSI
// code page without one; only its first line counts, without surrounding blanks and quotes, and a file over
// kOriginFileLimit bytes, an empty or relative path, or one that names no existing folder is ignored.
// Nothing when neither program is there.
std::optional<TerminalProgram> FindTerminalProgram(std::wstring_view data_folder);

// Starts the terminal program with no arguments, in a normal window that leaves the focus where it is; no
// waiting.
Outcome StartTerminal(const TerminalProgram& program);

}  // namespace qm
