#pragma once
// The stand-in terminal's window: the data folder and what is watched on top, the journal below. A timer on
// the window's own thread drives the polls, so no other thread ever touches the folder or the window.

#include <windows.h>

#include <string>

namespace qm::terminal {

inline constexpr wchar_t kWindowClass[] = L"QuenmarelStandInTerminal";
inline constexpr UINT kPollMilliseconds = 150;

std::wstring WindowTitle(const std::wstring& data_folder);

// Creates and shows the window and runs its message loop until it is closed; returns the exit code.
int RunTerminalWindow(HINSTANCE instance, const std::wstring& data_folder, int show);

}  // namespace qm::terminal
