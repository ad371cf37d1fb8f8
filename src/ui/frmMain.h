#pragma once
// The main window: every control of the panel, built from the layout table, and the menu bar. It is the
// panel the click sequences read, report to and ask for a file, and it owns the vendor worker, whose results
// it applies as they arrive. Its jobs beside the window itself live in files of their own: the handlers and
// the routing of clicks (frmMain_events.cpp), the keyboard and the options (frmMain_keyboard.cpp), the panel
// the actions see (frmMain_panel.cpp) and the vendor worker's side (frmMain_vendor.cpp).

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "actions/panel.h"
#include "platform/unique_handle.h"
#include "ui/child_controls.h"
#include "ui/fonts.h"
#include "ui/status_line.h"
#include "vendor_services/vendor_database.h"
#include "vendor_services/vendor_worker.h"

namespace qm {

// Shows a modal message box owned by `owner`.
using MessageBoxFunction =
    std::function<void(HWND owner, const std::wstring& text, const std::wstring& caption)>;

// The panel's message box: an OK button only, no icon.
void ShowOkMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption);

struct MainWindowSettings {
  std::wstring vendor_connection_string = VendorConnectionString();
  MessageBoxFunction message_box = ShowOkMessageBox;
};

class frmMain final : public Panel {
 public:
  // Creates the window and its controls, hidden; Form_Load shows it.
  explicit frmMain(HINSTANCE instance, MainWindowSettings settings = {});
  ~frmMain() override;
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Null once the window has been closed.
  HWND hwnd() const { return window_.get(); }

  // Shows the window, selects 4-Digit and then Backtest (each runs the option change), and asks for the
  // vendor connection, whose report goes on the status line when it arrives.
  void Form_Load();

  // Keyboard navigation between the controls for a message taken from the queue; true when the message
  // has been handled and must not be dispatched again.
  bool PreTranslateMessage(MSG& message);

  // What the click sequences read, report to and ask for.
  std::wstring Text(Field field) const override;
  bool IsSelected(Option option) const override;
  void SetStatus(const std::wstring& text) override;
  void SetFileLocation(const std::wstring& text) override;
  void ShowMessage(const std::wstring& text) override;
  OpenDialogResult AskForFile() override;
  void RefreshPublicMessage() override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void CreateMenuBar();
  void CreateTooltip();
  // Fonts and control rectangles at a new `dpi`, with the whole window moved to `window_rect`.
  void OnDpiChanged(UINT dpi, const RECT& window_rect);
  void OnDrawLabel(const DRAWITEMSTRUCT& item);
  HWND Control(std::wstring_view name) const;

  // Routes a click on a control or menu command to what its row names.
  void OnCommand(int id);
  // Runs `work` under the panel's error trap: whatever it throws ends in a status report, and nothing leaves
  // the window procedure. The status line shows the last text `work` put there once it has returned.
  void RunTrapped(const std::function<void()>& work);

  // Keyboard navigation (frmMain_keyboard.cpp).
  void OnNextControl(WPARAM wparam, LPARAM lparam);
  // Selects an option, whether a click, an arrow key or the load step chose it.
  void Select(Option option);
  void SelectFocusedOption();

  // The vendor worker's side of the window (frmMain_vendor.cpp). The worker's threads queue each result
  // and post kVendorResultsMessage; the window applies the queue on its own thread.
  static constexpr UINT kVendorResultsMessage = WM_APP + 1;
  // Makes the worker if there is none (it starts no thread yet); false when it cannot be made, which the
  // next request tries again.
  bool StartVendorWorker() noexcept;
  // Asks the worker for the start-up connect.
  void ConnectVendorDatabase();
  // Applies the results the worker has handed over, in the order they came.
  void OnVendorResults();

  // Handlers of their own, named after control and event; the buttons run the actions their rows name.
  void Form_Unload();
  void mnuAbout_Click();
  void mnuExit_Click();

  // What the worker hands over from its own threads, until the window's thread takes it.
  struct VendorInbox {
    std::mutex mutex;
    std::vector<VendorResult> results;
  };

  HINSTANCE instance_;
  MessageBoxFunction message_box_;
  std::wstring vendor_connection_string_;
  std::shared_ptr<VendorInbox> vendor_inbox_ = std::make_shared<VendorInbox>();
  std::unique_ptr<VendorWorker> vendor_;  // from the window's creation until it closes
  FontSet fonts_;                         // at the window's DPI
  UniqueWindow window_;
  HWND tooltip_ = nullptr;          // owned by the window, which destroys it
  HWND last_focus_ = nullptr;       // the control that gets the focus back when the window is activated
  bool giving_focus_back_ = false;  // while it does: the click an option reports for the focus is no choice
  ControlMap controls_;             // owned by the window
  bool quit_on_destroy_ = true;     // false while the owner of this object, not the user, destroys the window
  std::unique_ptr<StatusLine> status_line_;  // lblStatus's one writer, from its creation
};

// Runs the program's messages until the main window has closed; returns the exit code.
int RunMessageLoop(frmMain& window);

}  // namespace qm
