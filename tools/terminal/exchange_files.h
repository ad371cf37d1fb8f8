#pragma once
// The stand-in terminal's file work, done the way a reader beside a busy writer should: every open shares
// reading, writing and deleting, and every handle is closed at once.

#include <string>
#include <string_view>

#include "terminal/command_journal.h"

namespace qm::terminal {

// The first kReadLimit bytes and the size of a file. A file that does not exist (or whose folder does not)
// is Missing; any other refusal, such as a writer holding it without sharing, is Unreadable and worth
// another try later.
FileState ReadExchangeFile(const std::wstring& path);

// Appends `line` and CR LF to the file, creating it when needed; the line goes out in one write so that lines
// of two writers never interleave. Returns 0 or the Win32 error.
unsigned long AppendLine(const std::wstring& path, std::string_view line);

// Removes a consumed command file. Returns 0 (also when it is gone already) or the Win32 error.
unsigned long RemoveFile(const std::wstring& path);

}  // namespace qm::terminal
