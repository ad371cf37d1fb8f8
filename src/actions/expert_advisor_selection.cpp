#include "actions/expert_advisor_selection.h"

#include <optional>

#include "bridge/exchange_folder.h"
#include "platform/open_dialog.h"
#include "platform/text.h"

namespace qm {

Failure OpenDialogFailure(unsigned long dialog_error) {
  return {static_cast<long>(dialog_error), L"The Open dialog could not be shown"};
}

void cmdFileLocation_Click(Panel& panel, const TerminalStart& start) {
  const OpenDialogResult choice = panel.AskForFile();
  if (choice.end == OpenDialogResult::End::Cancelled) {
    panel.SetStatus(StatusReport(RuntimeFailure(err::kCancelSelected)));
    return;
  }
  if (choice.end == OpenDialogResult::End::Failed) {
    panel.SetStatus(StatusReport(OpenDialogFailure(choice.dialog_error)));
    return;
  }

  const std::wstring path = TrimSpaces(choice.path);
  panel.SetFileLocation(path);
  const std::optional<std::wstring> data_folder = DataFolder(path);
  if (!data_folder) {
    panel.SetStatus(StatusReport(RuntimeFailure(err::kInvalidProcedureCall)));
    return;
  }
  const std::optional<TerminalProgram> terminal = FindTerminalProgram(*data_folder);
  if (!terminal) {
    // The user can fix this by choosing again; the status line keeps what it said.
    panel.ShowMessage(std::wstring(kWrongExpertAdvisorMessage));
    return;
  }
  panel.SetStatus(StatusReport(start(*terminal)));
}

}  // namespace qm
