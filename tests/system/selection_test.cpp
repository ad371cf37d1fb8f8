#include "actions/expert_advisor_selection.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/fake_panel.h"
#include "support/temp_folder.h"
#include "system/system_support.h"

namespace qm {
namespace {

// The dialog's answer is scripted; the file test and the start are the system's. What the window is told and
// what is started are logged in order.
enum class Terminal { Program, Missing, Hidden, System, Folder, NotAProgram };
using End = OpenDialogResult::End;

const std::wstring kChosen = L"{root}\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
const std::wstring kWrong =
    L"message Wrong Expert Advisor selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";
const std::wstring kStarted = L"start {root}\\terminal.exe";

const struct {
  const char* name;
  End end;
  std::wstring chosen;  // {root} is the data folder, whose path has blanks
  Terminal terminal;
  std::vector<std::wstring> events;
} kCases[] = {
    {"found",
     End::Chosen,
     kChosen,
     Terminal::Program,
     {L"location " + kChosen, kStarted, L"status Status: OK."}},
    {"trimmed",
     End::Chosen,
     L"  " + kChosen + L"  ",
     Terminal::Program,
     {L"location " + kChosen, kStarted, L"status Status: OK."}},
    {"another name of that length",
     End::Chosen,
     L"{root}\\MQL4\\Experts\\Another_Advisor.ex4",
     Terminal::Program,
     {L"location {root}\\MQL4\\Experts\\Another_Advisor.ex4", kStarted, L"status Status: OK."}},
    {"missing", End::Chosen, kChosen, Terminal::Missing, {L"location " + kChosen, kWrong}},
    {"hidden", End::Chosen, kChosen, Terminal::Hidden, {L"location " + kChosen, kWrong}},
    {"system file", End::Chosen, kChosen, Terminal::System, {L"location " + kChosen, kWrong}},
    {"folder", End::Chosen, kChosen, Terminal::Folder, {L"location " + kChosen, kWrong}},
    {"refused by the system",
     End::Chosen,
     kChosen,
     Terminal::NotAProgram,
     {L"location " + kChosen, kStarted, L"status 75 : Path/File access error"}},
    {"32 characters",
     End::Chosen,
     L"C:\\Q\\MQL4\\Experts\\Kelvarinth.ex4",
     Terminal::Program,
     {L"location C:\\Q\\MQL4\\Experts\\Kelvarinth.ex4", L"status 5 : Invalid procedure call or argument"}},
    {"33 characters",
     End::Chosen,
     L"C:\\QQ\\MQL4\\Experts\\Kelvarinth.ex4",
     Terminal::Program,
     {L"location C:\\QQ\\MQL4\\Experts\\Kelvarinth.ex4", kWrong}},
    {"empty name",
     End::Chosen,
     L"",
     Terminal::Program,
     {L"location ", L"status 5 : Invalid procedure call or argument"}},
    {"cancel", End::Cancelled, L"", Terminal::Program, {L"status 32755 : Cancel was selected."}},
    {"dialog failure",
     End::Failed,
     L"",
     Terminal::Program,
     {L"status 65535 : The Open dialog could not be shown"}},
};

std::wstring Expand(std::wstring text, const std::wstring& root) {
  for (size_t at; (at = text.find(L"{root}")) != std::wstring::npos;)
    text.replace(at, 6, root);
  return text;
}

TEST(cmdFileLocationTest, FollowsTheOutcomeTable) {
  test::PlantedProgram trap(test::kProgramTrap);
  const std::wstring root = test::FolderWithBlanks() + L"\\MT4";
  const std::wstring terminal_path = root + L"\\terminal.exe";
  test::PlantedProgram advisor(Expand(kChosen, root));  // any file will do; it makes the folders
  for (const auto& c : kCases) {
    std::unique_ptr<test::PlantedProgram> terminal;
    if (c.terminal != Terminal::Missing && c.terminal != Terminal::Folder) {
      terminal = std::make_unique<test::PlantedProgram>(terminal_path);
    }
    if (c.terminal == Terminal::Folder)
      ::CreateDirectoryW(terminal_path.c_str(), nullptr);
    if (c.terminal == Terminal::Hidden)
      ::SetFileAttributesW(terminal_path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (c.terminal == Terminal::System)
      ::SetFileAttributesW(terminal_path.c_str(), FILE_ATTRIBUTE_SYSTEM);
    if (c.terminal == Terminal::NotAProgram)
      test::WriteBytes(terminal_path, "not a program");

    test::FakePanel panel;
    panel.file_choice = {c.end, Expand(c.chosen, root), c.end == End::Failed ? 0xFFFFul : 0ul};
    cmdFileLocation_Click(panel, [&panel](const std::wstring& program) {
      panel.events.push_back(L"start " + program);
      return StartTerminal(program);
    });

    std::vector<std::wstring> expected;
    for (const std::wstring& e : c.events)
      expected.push_back(Expand(e, root));
    EXPECT_EQ(panel.events, expected) << c.name;
    if (expected.back() == L"status Status: OK.") {
      EXPECT_EQ(terminal->Starts(), std::vector<std::wstring>{L"\"" + terminal_path + L"\" | show=4"})
          << c.name;
    }
    if (c.terminal == Terminal::Folder)
      ::RemoveDirectoryW(terminal_path.c_str());
    ::SetFileAttributesW(terminal_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_EQ(trap.StartsOnceProgramsEnded(), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace qm
