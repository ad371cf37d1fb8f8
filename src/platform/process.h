#pragma once
// Starting other programs: the terminal, the browsers, System Information. A program is always named by its
// exact path, as the application name and in quotation marks on its command line, so that a path with
// blanks (C:\Program Files\...) can never start another program that matches its first words
// (C:\Program.exe). No shell, no search, no waiting; the process and thread handles are closed at once.

#include <string>
#include <string_view>

#include "platform/failure.h"

namespace qm {

enum class WindowMode {
  NormalWithFocus,     // a normal window that becomes the active one
  NormalWithoutFocus,  // a normal window that leaves the focus where it is
};

// The exact path a program is started from. A bare name ("explorer.exe", no folder and no drive) is the
// program of that name in the Windows folder, never one in the current or the application's folder;
// anything else is taken as it stands.
std::wstring ProgramPath(std::wstring_view program);

// What the started program sees as its command line: the path in quotation marks, then a blank and the
// arguments when there are any.
std::wstring CommandLineFor(std::wstring_view program_path, std::wstring_view arguments);

// Starts `program` with `arguments` and returns without waiting. A program that is not there, whether the
// file or a folder on its path is missing, fails with 53 File not found; other refusals are mapped as the
// system reports them. The program works in `working_folder`, or in this program's working folder when that
// is empty.
Outcome StartProgram(std::wstring_view program, std::wstring_view arguments, WindowMode mode,
                     std::wstring_view working_folder = {});

}  // namespace qm
