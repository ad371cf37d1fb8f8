#include "bridge/expert_advisor_selection.h"

#include "bridge/exchange_folder.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/text.h"

namespace qm {
namespace {

class SystemSelectionHost : public ExpertAdvisorSelectionHost {
 public:
  SystemSelectionHost(HWND__* owner, SelectionWindow& window) : owner_(owner), window_(window) {}

  void SetFileLocation(const std::wstring& text) override { window_.SetFileLocation(text); }
  void ShowMessage(const std::wstring& text) override { window_.ShowMessage(text); }
  void SetStatus(const std::wstring& text) override { window_.SetStatus(text); }
  OpenDialogResult ShowOpenDialog() override { return qm::ShowOpenDialog(owner_); }
  bool IsOrdinaryFile(const std::wstring& path) override { return qm::IsOrdinaryFile(path); }
  Outcome StartTerminal(const std::wstring& path) override {
    return StartProgram(path, L"", WindowMode::NormalWithoutFocus);
  }

 private:
  HWND__* owner_;
  SelectionWindow& window_;
};

}  // namespace

Failure OpenDialogFailure(unsigned long dialog_error) {
  return {static_cast<long>(dialog_error), L"The Open dialog could not be shown"};
}

void cmdFileLocation_Click(ExpertAdvisorSelectionHost& host) {
  const OpenDialogResult choice = host.ShowOpenDialog();
  if (choice.end == OpenDialogResult::End::Cancelled) {
    host.SetStatus(StatusReport(RuntimeFailure(err::kCancelSelected)));
    return;
  }
  if (choice.end == OpenDialogResult::End::Failed) {
    host.SetStatus(StatusReport(OpenDialogFailure(choice.dialog_error)));
    return;
  }

  const std::wstring path = TrimSpaces(choice.path);
  host.SetFileLocation(path);
  const std::optional<std::wstring> data_folder = DataFolder(path);
  if (!data_folder) {
    host.SetStatus(StatusReport(RuntimeFailure(err::kInvalidProcedureCall)));
    return;
  }
  const std::wstring terminal = *data_folder + std::wstring(kTerminalProgramSuffix);
  if (!host.IsOrdinaryFile(terminal)) {
    // The user can fix this by choosing again; the status line keeps what it said.
    host.ShowMessage(std::wstring(kWrongExpertAdvisorMessage));
    return;
  }
  host.SetStatus(StatusReport(host.StartTerminal(terminal)));
}

void cmdFileLocation_Click(HWND__* owner, SelectionWindow& window) {
  SystemSelectionHost host(owner, window);
  cmdFileLocation_Click(host);
}

}  // namespace qm
