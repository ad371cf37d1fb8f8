#include "platform/process.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/file_system.h"
#include "support/system_support.h"
#include "vendor_services/web_launcher.h"

namespace qm {
namespace {

using test::PlantedProgram;

constexpr wchar_t kFirefox[] = L"C:\\Program Files\\Mozilla Firefox\\firefox.exe";

// A program below C:\Program Files starts as itself, with its arguments and window mode, never as
// C:\Program.exe.
TEST(StartProgramTest, StartsTheExactPathWithArgumentsAndWindowMode) {
  PlantedProgram trap(test::kProgramTrap);
  for (const auto& [arguments, mode, logged] :
       {std::tuple{L"http://127.0.0.1 two", WindowMode::NormalWithFocus, L" http://127.0.0.1 two | show=1"},
        std::tuple{L"", WindowMode::NormalWithoutFocus, L" | show=4"}}) {
    PlantedProgram program(test::FolderWithBlanks() + L"\\a program.exe");
    ASSERT_EQ(StartProgram(program.path(), arguments, mode), std::nullopt);
    EXPECT_EQ(program.Starts(), std::vector<std::wstring>{L"\"" + program.path() + L"\"" + logged});
  }
  EXPECT_EQ(trap.StartsOnceProgramsEnded(), std::vector<std::wstring>{});
}

TEST(StartProgramTest, FailsForMissingProgramsAndNamesWithNul) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {test::FolderWithBlanks() + L"\\missing folder\\x.exe", L"53 : File not found"},
      {L"C:\\missing.exe", L"53 : File not found"},
      {L"", L"53 : File not found"},
      {std::wstring(L"C:\\windows\\notepad.exe\0x", 24), L"52 : Bad file name or number"},
  };
  for (const auto& [program, status] : cases) {
    EXPECT_EQ(StatusReport(StartProgram(program, L"", WindowMode::NormalWithFocus)), status) << program;
  }
}

// A bare name is the Windows folder's program, never one of that name beside this program (which is also the
// current folder under CTest).
TEST(StartProgramTest, TakesBareNamesFromTheWindowsFolderOnly) {
  wchar_t windows[MAX_PATH], self[MAX_PATH];
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(ProgramPath(L"explorer.exe"), std::wstring(windows) + L"\\explorer.exe");
  EXPECT_TRUE(IsOrdinaryFile(ProgramPath(L"explorer.exe")));
  EXPECT_EQ(ProgramPath(L"C:\\Tools\\x.exe"), L"C:\\Tools\\x.exe");
  const std::wstring name = L"qm-bare-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
  std::wstring here(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
  PlantedProgram beside_us(here.substr(0, here.rfind(L'\\') + 1) + name);
  EXPECT_EQ(StatusReport(StartProgram(name, L"", WindowMode::NormalWithFocus)), L"53 : File not found");
}

// The real start for Firefox, with and without a stand-in at its folder. The shell program is only recorded,
// so that no browser opens; when its start fails, Firefox is not asked for at all.
TEST(VisitSiteTest, StartsShellThenFirefoxAndReportsTheFirstFailure) {
  if (IsOrdinaryFile(std::wstring(kFirefox)))
    GTEST_SKIP() << "a real Firefox is installed";
  PlantedProgram trap(test::kProgramTrap);
  const std::wstring shell = L"explorer.exe http://127.0.0.1";
  const std::wstring firefox = std::wstring(kFirefox) + L" http://127.0.0.1";
  const struct {
    bool planted, shell_fails;
    std::vector<std::wstring> requested;
    std::wstring status;
  } cases[] = {
      {true, false, {shell, firefox}, L"Status: OK."},
      {false, false, {shell, firefox}, L"53 : File not found"},
      {true, true, {shell}, L"70 : Permission denied"},
  };
  for (const auto& c : cases) {
    auto planted = c.planted ? std::make_unique<PlantedProgram>(std::wstring(kFirefox)) : nullptr;
    std::vector<std::wstring> requested;
    const Outcome outcome =
        VisitSite(L"http://127.0.0.1", [&](std::wstring_view program, std::wstring_view args) {
          requested.push_back(std::wstring(program) + L" " + std::wstring(args));
          if (program != L"explorer.exe")
            return StartProgram(program, args, WindowMode::NormalWithFocus);
          return c.shell_fails ? Outcome(RuntimeFailure(70)) : std::nullopt;
        });
    EXPECT_EQ(requested, c.requested);
    EXPECT_EQ(StatusReport(outcome), c.status);
    if (c.status == L"Status: OK.") {
      EXPECT_EQ(planted->Starts(),
                std::vector<std::wstring>{L"\"" + std::wstring(kFirefox) + L"\" http://127.0.0.1 | show=1"});
    }
  }
  EXPECT_EQ(trap.StartsOnceProgramsEnded(), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace qm
