#pragma once
// frmAbout: title, version, the maker's lines, a warning, and a button that starts System Information.
// Modeless and one at most. It is owned by the main window, so it has no button of its own on the task bar
// and goes when the main window goes. Enter and Esc act as OK without any help from the caller's message
// loop: while the dialog is open it filters its own keyboard messages.

#include <windows.h>

#include "ui/about/sys_info.h"

namespace qm {

inline constexpr wchar_t kAboutCaption[] = L"About Quenmarel MT4 Interface";
inline constexpr wchar_t kAboutTitle[] = L"Quenmarel MT4 Interface";
inline constexpr wchar_t kAboutVersion[] = L"Version 1.0a  (Dec 2013)";

// Control ids, in tab order.
enum AboutControl : int {
  kCmdOK = IDOK,
  kPicIcon = 100,
  kCmdSysInfo = 101,
  kLblDescription = 102,
  kLblDisclaimer = 103,
  kLblTitle = 104,
  kLblVersion = 105,
};

// The About command of the main window: shows the About dialog over `owner`, creating it or bringing the open
// one forward. Returns the dialog, or null when it could not be created.
HWND ShowAbout(HWND owner, HINSTANCE instance);

// StartSysInfo with the system's registry, file test and process start; message boxes are owned by `owner`.
SysInfoServices SystemSysInfoServices(HWND owner);

}  // namespace qm
