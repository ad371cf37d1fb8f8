#pragma once
// Choosing the Expert Advisor file (cmdFileLocation): the chosen path goes into txtFileLocation, and the
// terminal program of the data folder it implies is started if it is there. The sequence runs over a small
// host, so it can be driven without the window, the dialog or real processes.

#include <string>
#include <string_view>

#include "platform/failure.h"
#include "platform/open_dialog.h"

struct HWND__;

namespace qm {

inline constexpr std::wstring_view kWrongExpertAdvisorMessage =
    L"Wrong Expert Advisor selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";

// What the selection needs from the main window.
class SelectionWindow {
 public:
  virtual ~SelectionWindow() = default;
  // The text of txtFileLocation.
  virtual void SetFileLocation(const std::wstring& text) = 0;
  // A modal message box with an OK button only, no icon, and the application title as caption.
  virtual void ShowMessage(const std::wstring& text) = 0;
  // The status line (lblStatus).
  virtual void SetStatus(const std::wstring& text) = 0;
};

// The window plus what the selection needs from the system.
class ExpertAdvisorSelectionHost : public SelectionWindow {
 public:
  virtual OpenDialogResult ShowOpenDialog() = 0;
  // True for an existing file that is neither a folder nor hidden nor a system file.
  virtual bool IsOrdinaryFile(const std::wstring& path) = 0;
  // Starts the program with no arguments in a normal window that does not take the focus; no waiting.
  virtual Outcome StartTerminal(const std::wstring& path) = 0;
};

// The status a failed Open dialog reports: the dialog's own error code and a plain description.
Failure OpenDialogFailure(unsigned long dialog_error);

// The click on cmdFileLocation. Cancel leaves txtFileLocation as it was and reports "32755 : Cancel was
// selected."; a chosen path is trimmed of spaces and put into txtFileLocation before anything is checked.
void cmdFileLocation_Click(ExpertAdvisorSelectionHost& host);

// The same click with the system's Open dialog (owned by `owner`), file test and process start.
void cmdFileLocation_Click(HWND__* owner, SelectionWindow& window);

}  // namespace qm
