#pragma once
// The real main window on the display, with a recorder on its status line and public-message label, a
// stand-in for its message boxes, and a terminal data folder (MT4) in a temporary folder that is also the
// working folder. Tests drive the window with window messages and run the queue through its keyboard
// handling. Vendor work runs on the window's worker thread; a test that looks at its results first runs the
// queue until the window has taken them.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/action_files.h"
#include "support/data_folder.h"
#include "support/panel_recorder.h"
#include "support/sqlite_database.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"
#include "ui/frmMain.h"
#include "vendor_services/vendor_database.h"

namespace qm::test {

// "file <path>", "status <text>", "ads <text>", "message <text>", in order.
using Events = std::vector<std::wstring>;

class MainWindowTest : public testing::Test {
 public:
  void SetUp() override {
    // Anything written by a relative name would land in the watched folder.
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    previous_directory = previous;
    ::SetCurrentDirectoryW(temp.path().c_str());

    MainWindowSettings settings;
    settings.vendor_connection_string = VendorConnection();
    settings.message_box = [this](HWND owner, const std::wstring& text, const std::wstring& caption) {
      if (message_box_fails)
        message_box_fails();
      recorder->MessageBox(owner, text, caption);
    };
    window = std::make_unique<frmMain>(::GetModuleHandleW(nullptr), settings);
    recorder = std::make_unique<PanelRecorder>(window->hwnd(), temp.path());
  }

  void TearDown() override {
    recorder.reset();
    window.reset();
    Pump();
    ::SetCurrentDirectoryW(previous_directory.c_str());
  }

  std::wstring ExpertAdvisor() const { return data.ExpertAdvisor(); }

  // The program's start, once the start-up connect has reported.
  void Load() {
    window->Form_Load();
    AwaitVendorResults(1);
  }
  // The program's start, then an Expert Advisor path typed in, and a clean record.
  void StartWithExpertAdvisor() {
    Load();
    SetText(L"txtFileLocation", ExpertAdvisor());
    Forget();
  }
  void Forget() {
    recorder->Flush();
    recorder->events.clear();
  }
  Events Recorded() {
    recorder->Flush();
    return recorder->events;
  }

  // Runs the queue until `done` holds, for at most `bound_ms`; whether it holds in the end.
  bool PumpUntil(const std::function<bool()>& done, ULONGLONG bound_ms) {
    return test::PumpUntil(done, bound_ms, [this] { Pump(); });
  }

  // Runs the queue until the window has taken `count` results of the vendor work since it was made; the
  // bound only keeps a fault from hanging the suite.
  void AwaitVendorResults(int count) {
    EXPECT_TRUE(PumpUntil([&] { return recorder->vendor_results >= count; }, 60'000))
        << recorder->vendor_results << " vendor results, not " << count;
  }
  // Clicks a button whose action asks for the public message, and runs the queue until the window has taken
  // the refresh's result.
  void ClickAndAwaitRefresh(std::wstring_view name) {
    const int before = recorder->vendor_results;
    Click(name);
    AwaitVendorResults(before + 1);
  }

  HWND Control(std::wstring_view name) const { return ::GetDlgItem(window->hwnd(), ControlId(name)); }
  std::wstring NameOf(HWND control) const {
    for (const ControlLayout& c : MainLayout()) {
      if (Control(c.name) == control)
        return std::wstring(c.name);
    }
    return L"?";
  }
  void SetText(std::wstring_view name, const std::wstring& text) {
    ::SetWindowTextW(Control(name), text.c_str());
  }
  void Click(std::wstring_view name) { ::SendMessageW(Control(name), BM_CLICK, 0, 0); }

  // Runs the queued messages through the window's keyboard handling, as the program's loop does; tells
  // whether the program was asked to end.
  bool Pump() {
    bool quit = false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        continue;
      }
      if (window && window->PreTranslateMessage(message))
        continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    return quit;
  }

  // A key pressed and released on the control with the focus.
  void Press(WPARAM key) {
    HWND focus = ::GetFocus();
    ASSERT_NE(focus, nullptr);
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  // Nothing listens there: the vendor report is "SQL Server is down." at once.
  virtual std::wstring VendorConnection() const { return VendorConnectionString(L"127.0.0.1"); }

  // Send Parameters with `pair` in txtPair writes its six files, mypair.txt with the pair (4 digits,
  // back-test selected), and ends with "Status: OK.".
  bool SendParametersWorks(const std::wstring& pair) {
    SetText(L"txtPair", pair);
    Forget();
    Click(L"cmdSendParameters");
    return Recorded() == WindowEvents(L"MT4\\tester\\files\\", ActionNamed("SendParameters")) &&
           ReadBytes(data.BackTest() + L"\\mypair.txt") == std::string(pair.begin(), pair.end()) + "\r\n";
  }

  // Runs as each message box would be shown; what it throws goes to the handler that showed the box.
  std::function<void()> message_box_fails;
  TempFolder temp;
  DataFolder data{temp / L"MT4"};
  std::wstring previous_directory;
  std::unique_ptr<frmMain> window;
  std::unique_ptr<PanelRecorder> recorder;
};

// The main window against the SQLite stand-in for the vendor's database, which answers.
class SqliteWindowTest : public MainWindowTest {
 protected:
  // The SQLite driver ignores the server and opens the file database= names.
  std::wstring VendorConnection() const override { return database.FullPathConnectionString(); }

  SqliteVendorDatabase database;
};

}  // namespace qm::test
