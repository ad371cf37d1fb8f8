#include "ui/about/frmAbout.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "actions/expert_advisor_selection.h"
#include "platform/open_dialog.h"
#include "support/fake_panel.h"
#include "support/system_support.h"
#include "support/window_driver.h"

namespace qm {
namespace {

using test::PumpUntil;
using test::TextOf;
using test::WaitForDialogBox;

class AboutTest : public testing::Test {
 protected:
  void SetUp() override {
    owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 800, 600,
                              nullptr, nullptr, instance, nullptr);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override { ::DestroyWindow(owner); }
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  HWND owner = nullptr;
};

TEST_F(AboutTest, IsLaidOutInTwipsAtTheWindowsDpi) {
  HWND about = ShowAbout(owner, instance);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(ShowAbout(owner, instance), about);
  EXPECT_EQ(::GetWindow(about, GW_OWNER), owner);
  const LONG_PTR style = ::GetWindowLongPtrW(about, GWL_STYLE),
                 ex_style = ::GetWindowLongPtrW(about, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_CAPTION | WS_SYSMENU);
  EXPECT_TRUE(ex_style & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW);
  EXPECT_EQ(TextOf(about), L"About Quenmarel MT4 Interface");

  const int dpi = static_cast<int>(::GetDpiForWindow(about));
  auto px = [&](int twips) { return ::MulDiv(twips, dpi, 1440); };
  RECT client;
  ::GetClientRect(about, &client);
  EXPECT_EQ(client.right, px(5730));
  EXPECT_EQ(client.bottom, px(3555));

  const struct {
    int id;
    const wchar_t* window_class;
    const wchar_t* text;  // null: any text but the empty one
    RECT twips;           // left, top, width, height
    int weight;           // 0 for the icon, which has no text and so no font
  } controls[] = {
      {IDOK, L"Button", L"OK", {4245, 2625, 1260, 345}, FW_NORMAL},
      {100, L"Static", L"", {240, 240, 540, 540}, 0},
      {101, L"Button", L"&System Info...", {4260, 3075, 1245, 345}, FW_NORMAL},
      {102, L"Static", nullptr, {1050, 1125, 3885, 1170}, FW_NORMAL},
      {103, L"Static", L"Warning: Use at your own risk", {255, 2625, 3870, 825}, FW_NORMAL},
      {104, L"Static", L"Quenmarel MT4 Interface", {1050, 240, 3885, 480}, FW_NORMAL},
      {105, L"Static", L"Version 1.0a  (Dec 2013)", {1080, 780, 3885, 225}, FW_BOLD},
  };
  HWND child = ::GetWindow(about, GW_CHILD);
  for (const auto& c : controls) {
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(child), c.id) << "tab order";
    wchar_t window_class[64];
    ::GetClassNameW(child, window_class, 64);
    EXPECT_EQ(_wcsicmp(window_class, c.window_class), 0) << c.id;
    if (c.text != nullptr) {
      EXPECT_EQ(TextOf(child), c.text) << c.id;
    } else {
      EXPECT_NE(TextOf(child), L"") << c.id;
    }
    RECT at;
    ::GetWindowRect(child, &at);
    ::MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.left, px(c.twips.left)) << c.id;
    EXPECT_EQ(at.top, px(c.twips.top)) << c.id;
    EXPECT_EQ(at.right - at.left, px(c.twips.right)) << c.id;
    EXPECT_EQ(at.bottom - at.top, px(c.twips.bottom)) << c.id;
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
    if (c.weight != 0) {
      EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif") << c.id;
      EXPECT_EQ(font.lfHeight, -::MulDiv(825, dpi, 7200)) << c.id;
      EXPECT_EQ(font.lfWeight, c.weight) << c.id;
    }
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
  // This test program has no icon of its own, so the system's application icon stands in.
  EXPECT_EQ(reinterpret_cast<HICON>(::SendDlgItemMessageW(about, kPicIcon, STM_GETICON, 0, 0)),
            ::LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_EQ(::SendMessageW(about, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

  ::RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = ::GetDC(about);
  EXPECT_EQ(::GetPixel(dc, px(3000), px(2445)), RGB(128, 128, 128));
  EXPECT_EQ(::GetPixel(dc, px(3000), px(2460)), RGB(255, 255, 255));
  EXPECT_EQ(::GetPixel(dc, px(3000), px(2460) + 1), RGB(255, 255, 255));
  EXPECT_NE(::GetPixel(dc, px(3000), px(2460) + 2), RGB(255, 255, 255));
  ::ReleaseDC(about, dc);
  ::DestroyWindow(about);
}

TEST_F(AboutTest, EnterEscOkAndTheCloseBoxCloseItAndShowTheMainWindow) {
  const struct {
    const char* name;
    std::function<void(HWND about)> act;
  } cases[] = {
      {"Enter", [](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0x001C0001); }},
      {"Esc", [](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }},
      {"OK", [](HWND about) { ::PostMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0); }},
      {"close box", [](HWND about) { ::PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& c : cases) {
    ::ShowWindow(owner, SW_HIDE);
    HWND about = ShowAbout(owner, instance);
    ASSERT_NE(about, nullptr);
    PumpUntil([&] { return ::GetFocus() != nullptr; });
    c.act(about);
    PumpUntil([&] { return !::IsWindow(about); });
    EXPECT_FALSE(::IsWindow(about)) << c.name;
    EXPECT_TRUE(::IsWindowVisible(owner)) << c.name;
  }
}

TEST_F(AboutTest, SystemInfoButtonSaysWhenThereIsNone) {
  test::ScopedRegistryKey path_key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
  test::ScopedRegistryKey folder_key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location");
  path_key.Set(L"PATH", REG_NONE);
  folder_key.Set(L"MSINFO", REG_NONE);
  HWND about = ShowAbout(owner, instance);
  std::wstring seen;
  std::thread helper([&] {
    HWND box = WaitForDialogBox(about);
    if (box == nullptr)
      return;
    seen = TextOf(box) + L": " + TextOf(::GetDlgItem(box, 0xFFFF)) +
           (::GetDlgItem(box, IDCANCEL) ? L" +Cancel" : L"");
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ::SendDlgItemMessageW(about, kCmdSysInfo, BM_CLICK, 0, 0);
  helper.join();
  EXPECT_EQ(seen, L"Quenmarel: System Information Is Unavailable At This Time");
  EXPECT_TRUE(::IsWindow(about));
  ::DestroyWindow(about);
}

// The selection through the system's own Open dialog, driven as a user would: a path typed into its file
// name box and Open, or Cancel.
TEST_F(AboutTest, OpenDialogChoiceReachesTheSelection) {
  struct Window : test::FakePanel {
    HWND owner = nullptr;
    OpenDialogResult AskForFile() override { return ShowOpenDialog(owner); }
  };
  const std::wstring root = test::FolderWithBlanks() + L"\\MT4";
  test::PlantedProgram advisor(root + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4");
  test::PlantedProgram terminal(root + L"\\terminal.exe");
  const struct {
    bool open;
    std::vector<std::wstring> events;
  } cases[] = {
      {true, {L"location " + advisor.path(), L"status Status: OK."}},
      {false, {L"status 32755 : Cancel was selected."}},
  };
  for (const auto& c : cases) {
    std::thread user([&] {
      HWND box = WaitForDialogBox(owner);
      if (box == nullptr)
        return;
      if (c.open) {  // the file name box
        ::SendMessageW(::GetDlgItem(box, 0x47C), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(advisor.path().c_str()));
      }
      const int button = c.open ? IDOK : IDCANCEL;
      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
    });
    Window window;
    window.owner = owner;
    cmdFileLocation_Click(window);
    user.join();
    EXPECT_EQ(window.events, c.events);
  }
  EXPECT_EQ(terminal.Starts(), std::vector<std::wstring>{L"\"" + terminal.path() + L"\" | show=4"});
}

}  // namespace
}  // namespace qm
