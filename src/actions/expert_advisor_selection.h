#pragma once
// Choosing the Expert Advisor file (cmdFileLocation): the path chosen in the Open dialog goes into
// txtFileLocation, and the terminal program of the data folder it implies is started if it is there: the one
// in the data folder, or the one in the installation folder that the data folder's origin.txt names.

#include <functional>
#include <string>
#include <string_view>

#include "actions/panel.h"
#include "bridge/terminal_program.h"
#include "platform/failure.h"

namespace qm {

inline constexpr std::wstring_view kWrongExpertAdvisorMessage =
    L"Wrong Expert Advisor selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";

// Starts the terminal program that was found; the system's start in the product, a recorder in tests.
using TerminalStart = std::function<Outcome(const TerminalProgram& program)>;

// The status a failed Open dialog reports: the dialog's own error code and a plain description.
Failure OpenDialogFailure(unsigned long dialog_error);

// The click on cmdFileLocation. Cancel leaves txtFileLocation as it was and reports "32755 : Cancel was
// selected."; a chosen path is trimmed of spaces and put into txtFileLocation before anything is checked.
// A data folder with no terminal program of either layout shows a message and leaves the status line alone.
void cmdFileLocation_Click(Panel& panel, const TerminalStart& start = StartTerminal);

}  // namespace qm
