#pragma once
// The terminal program that belongs to a terminal's data folder, and its start.

#include <optional>
#include <string>
#include <string_view>

#include "platform/failure.h"

namespace qm {

// The terminal program of `data_folder`: <data folder>\terminal.exe when that is an ordinary file (neither a
// folder nor hidden nor a system file); nothing otherwise.
std::optional<std::wstring> FindTerminalProgram(std::wstring_view data_folder);

// Starts the terminal program with no arguments, in a normal window that leaves the focus where it is; no
// waiting.
Outcome StartTerminal(const std::wstring& program);

}  // namespace qm
