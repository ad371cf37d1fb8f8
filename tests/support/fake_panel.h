#pragma once
// A recording stand-in for the main window: holds the panel's texts and options, and logs every status,
// message box and refresh, with the files written before each status report when a watch is attached.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "actions/panel.h"
#include "support/data_folder.h"
#include "support/file_watch.h"

namespace qm::test {

class FakePanel : public Panel {
 public:
  // Starts with the window's initial texts, no path and no option selected.
  FakePanel();

  std::map<Field, std::wstring> texts;
  std::map<Option, bool> selected;

  // "file <relative path>", "status <text>", "location <text>", "message <text>", "refresh" in the order
  // they happened.
  std::vector<std::wstring> events;
  std::wstring status = L"lblStatus";
  // What AskForFile answers: Cancel unless a test chooses otherwise.
  OpenDialogResult file_choice;

  // Records file writes below `root` as events, ahead of the status report that follows each write.
  void Watch(const std::wstring& root) { watch_ = std::make_unique<FileWatch>(root); }
  void Select(Option option);
  // The path box at the data folder's Expert Advisor, and the account type and digits selected.
  void PointAt(const DataFolder& data, Option account, Option digits);
  // Only the "file ..." events, in order.
  std::vector<std::wstring> Files() const;

  std::wstring Text(Field field) const override;
  bool IsSelected(Option option) const override;
  void SetStatus(const std::wstring& text) override;
  void SetFileLocation(const std::wstring& text) override;
  void ShowMessage(const std::wstring& text) override;
  OpenDialogResult AskForFile() override;
  void RefreshPublicMessage() override;

 private:
  void RecordWrites();
  std::unique_ptr<FileWatch> watch_;
};

}  // namespace qm::test
