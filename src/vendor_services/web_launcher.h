#pragma once
// The program starts behind the web-site button: the vendor's site through the Windows shell program, which
// hands it to the default browser, and then in Firefox at its standard folder. Both starts are made on every
// click, the shell first; a failed start skips what follows.

#include <functional>
#include <string>
#include <string_view>

#include "platform/failure.h"

namespace qm {

// Both are started by their exact paths (the shell program from the Windows folder), in a normal window with
// the focus, with the site address as the only argument.
inline constexpr std::wstring_view kShellProgram = L"explorer.exe";
inline constexpr std::wstring_view kFirefoxProgram = L"C:\\Program Files\\Mozilla Firefox\\firefox.exe";

// Starts one program with its arguments; the system's start in the product, a recorder in tests.
using ProgramStarter = std::function<Outcome(std::wstring_view program, std::wstring_view arguments)>;

// The two starts in order; returns the failure of the first start that failed, if any.
Outcome VisitSite(std::wstring_view site_address, const ProgramStarter& start);

// VisitSite with the system's process start.
Outcome VisitSite(std::wstring_view site_address);

}  // namespace qm
