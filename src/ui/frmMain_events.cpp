// frmMain's load and unload steps, the menu's handlers, and the routing of every click to what its layout
// row names, each under the panel's error trap.

#include <windows.h>

#include <exception>

#include "actions/action.h"
#include "platform/failure.h"
#include "ui/about/frmAbout.h"
#include "ui/frmMain.h"
#include "ui/main_layout.h"
#include "vendor_services/vendor_failures.h"

namespace qm {

void frmMain::Form_Load() {
  ::ShowWindow(hwnd(), SW_SHOWNORMAL);
  ::SetFocus(Control(L"txtPair"));
  // The option changes report like any handler, but on a fresh start they have nothing to say to the
  // trader (nothing can be written before an Expert Advisor is chosen): the status line is painted blank
  // until the connect below reports, instead of blaming the trader for the empty path meanwhile.
  RunTrapped([this] {
    Select(Option::FourDigit);
    Select(Option::BackTest);
    status_line_->Show(L"");
  });
  // The panel is painted before the load step ends, as the trader should see it from the first moment.
  ::UpdateWindow(hwnd());
  // Returns at once: the report goes on the status line when the worker has it, unless an action has
  // reported there first. It writes no status line unless it fails.
  try {
    ConnectVendorDatabase();
  } catch (...) {
    SetStatus(VendorStatusReport(FailureOfException(std::current_exception())));
  }
}

void frmMain::Form_Unload() {
  // Closing the main window ends the program; nothing is saved. The worker is let go without waiting for a
  // login or query in progress: it writes no file, so nothing can be lost.
  vendor_.reset();
  if (quit_on_destroy_)
    ::PostQuitMessage(0);
}

void frmMain::mnuExit_Click() {
  ::DestroyWindow(hwnd());
}

// The About dialog is modeless and owned by this window, so it closes with it; a second About brings the
// open one forward.
void frmMain::mnuAbout_Click() {
  ShowAbout(hwnd(), instance_);
}

void frmMain::OnCommand(int id) {
  if (const MenuCommand* command = FindMenuCommand(id)) {
    RunTrapped([this, command] {
      switch (command->runs) {
        case WindowCommand::mnuAbout_Click:
          return mnuAbout_Click();
        case WindowCommand::mnuExit_Click:
          return mnuExit_Click();
      }
    });
    return;
  }
  const ControlLayout* control = FindControl(id);
  if (control == nullptr)
    return;
  // A click on an option button selects it; the option change runs only when that changes the selection.
  if (control->role.option) {
    if (!giving_focus_back_)
      RunTrapped([this, control] { Select(*control->role.option); });
  } else if (control->role.click) {
    RunTrapped([this, control] { qm::Run(*this, *control->role.click); });
  }
}

void frmMain::RunTrapped(const std::function<void()>& work) {
  const StatusLine::Handling handling(*status_line_);
  try {
    work();
  } catch (...) {
    SetStatus(StatusReport(FailureOfException(std::current_exception())));
  }
}

}  // namespace qm
