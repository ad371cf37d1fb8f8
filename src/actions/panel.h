#pragma once
// What a click sequence needs from the main window. The window implements it; tests use a recording fake.

#include <string>

#include "bridge/panel_fields.h"
#include "platform/open_dialog.h"

namespace qm {

class Panel : public PanelFields {
 public:
  // The status line (lblStatus).
  virtual void SetStatus(const std::wstring& text) = 0;
  // The path box (txtFileLocation).
  virtual void SetFileLocation(const std::wstring& text) = 0;
  // A modal message box with an OK button only, no icon, and the application title as caption.
  virtual void ShowMessage(const std::wstring& text) = 0;
  // The system's Open dialog, modal over the window: the full path of the file the user chose, or how the
  // dialog ended without one.
  virtual OpenDialogResult AskForFile() = 0;
  // Asks for the vendor's public message to be read into lblAds2 and returns at once, without waiting for
  // the database: the message replaces the label's text when it arrives (an empty table or a failure leaves
  // it as it is). The refresh writes nothing on the status line, so the action's own report is the last.
  virtual void RefreshPublicMessage() = 0;
};

}  // namespace qm
