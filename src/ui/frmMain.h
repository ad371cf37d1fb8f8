#pragma once
// The main window: every control of the panel, built from the layout table, the menu bar, the load step and
// the end of the program. It is the panel the click sequences read, report to and ask for a file, and it
// owns the vendor worker, whose results it applies as they arrive.

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "actions/panel.h"
#include "platform/unique_handle.h"
#include "ui/about/frmAbout.h"  // kApplicationTitle, the caption of every message box
#include "ui/main_layout.h"
#include "ui/window_building.h"
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

  // Vendor work that was asked for and whose result the window has not yet applied: a request runs or
  // waits, or its result waits in the window's queue.
  bool VendorWorkPending() const;

  // Selects an option from code, exactly as a click on it would.
  void Select(Option option);

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
  void CreateControls(UINT dpi);
  void CreateTooltip();
  // Fonts and control rectangles at a new `dpi`, with the whole window moved to `window_rect`.
  void ApplyLayout(UINT dpi, const RECT& window_rect);
  // The window's start position: its client area where the layout puts it, as long as the whole window
  // fits the work area of its monitor; otherwise moved into that work area.
  void PlaceWindow();
  HWND Control(std::wstring_view name) const;
  void SetCaption(std::wstring_view control, const std::wstring& text);

  void OnCommand(int id);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnNextControl(WPARAM wparam, LPARAM lparam);
  // Runs `work` under the panel's error trap: nothing thrown inside it leaves the window procedure. The
  // status line shows the last text `work` put there once it has returned.
  void RunTrapped(const std::function<void()>& work);
  // lblStatus's procedure, in front of the label's own: holds the texts set while a handler runs.
  static LRESULT CALLBACK StatusLineProcedure(HWND label, UINT message, WPARAM wparam, LPARAM lparam);
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

  // Runs the handler a layout row names.
  void Run(Handler handler);

  // Handlers, named after control and event.
  void Form_Unload();
  void mnuAbout_Click();
  void mnuExit_Click();
  void cmdFileLocation_Click();
  void cmdVisit_QRX_Click();
  void cmdSendParameters_Click();
  void optBackTest_Click();
  void optRealTime_Click();
  void optFourDigit_Click();
  void optFiveDigit_Click();
  void cmdBuy_Click();
  void cmdSell_Click();
  void cmdHedge_Click();
  void cmdBuyStop_Click();
  void cmdSellStop_Click();
  void cmdBuyLimit_Click();
  void cmdSellLimit_Click();
  void cmdCloseAll_Click();
  void cmdCloseBuy_Click();
  void cmdCloseSell_Click();
  void cmdDeleteBuyStop_Click();
  void cmdDeleteSellStop_Click();
  void cmdDeleteBuyLimit_Click();
  void cmdDeleteSellLimit_Click();

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
  HWND tooltip_ = nullptr;     // owned by the window, which destroys it
  HWND last_focus_ = nullptr;  // the control that gets the focus back when the window is activated
  std::unordered_map<int, HWND> controls_;  // by control identifier, owned by the window
  bool quit_on_destroy_ = true;  // false while the owner of this object, not the user, destroys the window
  WNDPROC status_line_procedure_ = nullptr;  // lblStatus's own
  int handlers_running_ = 0;                 // RunTrapped calls in progress, nested ones included
  std::optional<std::wstring> held_status_;  // the status line's text while a handler runs, once it set one
};

// Runs the program's messages until the main window has closed; returns the exit code.
int RunMessageLoop(frmMain& window);

}  // namespace qm
