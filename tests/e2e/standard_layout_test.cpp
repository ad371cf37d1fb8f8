// The built Quenmarel.exe with a terminal in the standard layout: terminal.exe in its program folder, the
// data folder below the user's application data with an origin.txt that names the program folder. The panel
// must start the stand-in from the program folder, and the stand-in must find that data folder by itself.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_folder.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"
#include "tools/journal_file.h"
#include "ui/main_layout.h"

namespace qm::e2e {
namespace {

using namespace test;

constexpr wchar_t kProgramFolder[] = L"C:\\Program Files (x86)\\Quenmarel e2e MT4";
// The data folder's name for that program folder: the upper-case MD5 of its upper-case path in UTF-16 LE,
// worked out with scripts/setup-demo.sh's pipeline.
constexpr wchar_t kDataFolderId[] = L"C11197AC1EE7046BF3611547AD9871C7";

std::wstring ApplicationData() {
  wchar_t folder[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  return folder;
}

// The program folder with a copy of the stand-in terminal, and its data folder with the placeholder Expert
// Advisor, both exchange folders and origin.txt as the terminal writes it; removed again at the end.
class StandardLayout : public DataFolder {
 public:
  StandardLayout() : DataFolder(ApplicationData() + L"\\MetaQuotes\\Terminal\\" + kDataFolderId) {
    PlaceExpertAdvisor();
    copied_ = PlaceTerminalInProgramFolder(PathFromEnvironment("QM_TERMINAL_EXE"), kProgramFolder);
  }
  ~StandardLayout() {
    RemoveTree(path());
    RemoveTree(kProgramFolder);
  }
  StandardLayout(const StandardLayout&) = delete;
  StandardLayout& operator=(const StandardLayout&) = delete;

  bool ready() const { return copied_; }

 private:
  bool copied_ = false;
};

TEST(StandardLayoutEndToEnd, StartsTheTerminalFromItsProgramFolderAndItsJournalShowsTheBuy) {
  const StandardLayout layout;
  ASSERT_TRUE(layout.ready()) << "no stand-in terminal to copy (QM_TERMINAL_EXE)";
  ASSERT_FALSE(FileExists(layout.path() + L"\\terminal.exe"));

  ProcessGuard panel = ProcessGuard::Start(PathFromEnvironment("QM_PANEL_EXE"));
  ASSERT_TRUE(panel.running()) << "Quenmarel.exe did not start (QM_PANEL_EXE)";
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    window = FindTopWindow(panel.id(), L"");
    return window && TextOf(window) == MainWindowTitle();
  }));
  const auto control = [&](std::wstring_view name) { return FindDescendant(window, ControlId(name)); };
  ASSERT_TRUE(WaitUntil([&] { return TextOf(control(L"lblStatus")) != L"lblStatus"; }));

  ASSERT_TRUE(PostClick(control(L"cmdFileLocation")));
  const std::wstring problem = ChooseInOpenDialog(panel.id(), layout.ExpertAdvisor());
  ASSERT_EQ(problem, L"");
  // The only terminal.exe is the program folder's, and its window names the data folder it found.
  HWND terminal_window = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    terminal_window = FindWindowByTitleStart(L"Stand-in terminal - " + layout.path());
    return terminal_window != nullptr;
  })) << "no stand-in terminal serving the data folder";
  // A stand-in that missed the data folder serves its own folder: found that way, it is still closed below.
  if (!terminal_window)
    terminal_window = FindWindowByTitleStart(L"Stand-in terminal - " + std::wstring(kProgramFolder));
  ProcessGuard terminal = ProcessGuard::OfWindow(terminal_window);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(control(L"lblStatus")) == L"Status: OK."; }));

  ASSERT_TRUE(Click(control(L"cmdBuy")));
  const std::vector<std::string> expected = {
      "BUY pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=tester\\files"};
  const std::wstring journal = layout.path() + L"\\journal.txt";
  WaitUntil([&] { return !terminal::JournalFileLines(journal).empty(); });
  EXPECT_EQ(terminal::JournalFileLines(journal), expected);

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(panel.WaitForExit());
  if (terminal_window && terminal.running()) {
    ::PostMessageW(terminal_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(terminal.WaitForExit());
  }
}

}  // namespace
}  // namespace qm::e2e
