#include "actions/expert_advisor_selection.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/fake_panel.h"
#include "support/temp_folder.h"
#include "support/system_support.h"

namespace qm {
namespace {

// The dialog's answer is scripted; the file test and the start are the system's. What the window is told and
// what is started are logged in order.
enum class Terminal { Program, Missing, Hidden, System, Folder, NotAProgram };
// How the data folder's origin.txt is written: not at all, as the terminal writes it (UTF-16 LE with its
// byte-order mark), or without a byte-order mark in UTF-8 or the ANSI code page.
enum class Encoding { None, Utf16, Utf8, Ansi };
// Which stand-in the row starts: none, <data folder>\terminal.exe, or <installation folder>\terminal.exe.
enum class Started { Nothing, FromDataFolder, FromInstallation };
using End = OpenDialogResult::End;

const std::wstring kChosen = L"{root}\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
const std::wstring kWrong =
    L"message Wrong Expert Advisor selected. Please select Kelvarinth_V10x.ex4 Expert Advisor.";
const std::wstring kStarted = L"start {root}\\terminal.exe";
const std::wstring kStartedInstalled = L"start {install}\\terminal.exe";
// The part of a 1 MiB origin.txt after its first line.
const std::wstring kMebibyte(1 << 20, L'#');

const std::wstring kOk = L"status Status: OK.";
const std::wstring kTooShort = L"status 5 : Invalid procedure call or argument";

// A row names what differs from the usual: the Expert Advisor chosen in the data folder, a terminal.exe
// beside it, no origin.txt and nothing started.
struct Case {
  const char* name;
  End end = End::Chosen;
  std::wstring chosen = kChosen;  // {root} is the data folder below {base}, a folder under C:\Program Files
  Terminal terminal = Terminal::Program;
  std::wstring install{};  // the folder below {base} that holds a stand-in terminal.exe; empty for none
  Encoding encoding = Encoding::None;
  std::wstring origin{};  // {install} is that folder
  std::vector<std::wstring> events{};
  Started started = Started::Nothing;
};
const Case kCases[] = {
    {.name = "found, and preferred to the one origin.txt names",
     .install = L"Installed MT4",
     .encoding = Encoding::Utf16,
     .origin = L"{install}\r\n",
     .events = {L"location " + kChosen, kStarted, kOk},
     .started = Started::FromDataFolder},
    {.name = "trimmed",
     .chosen = L"  " + kChosen + L"  ",
     .events = {L"location " + kChosen, kStarted, kOk},
     .started = Started::FromDataFolder},
    {.name = "another name of that length",
     .chosen = L"{root}\\MQL4\\Experts\\Another_Advisor.ex4",
     .events = {L"location {root}\\MQL4\\Experts\\Another_Advisor.ex4", kStarted, kOk},
     .started = Started::FromDataFolder},
    {.name = "missing", .terminal = Terminal::Missing, .events = {L"location " + kChosen, kWrong}},
    {.name = "hidden", .terminal = Terminal::Hidden, .events = {L"location " + kChosen, kWrong}},
    {.name = "system file", .terminal = Terminal::System, .events = {L"location " + kChosen, kWrong}},
    {.name = "folder", .terminal = Terminal::Folder, .events = {L"location " + kChosen, kWrong}},
    {.name = "refused by the system",
     .terminal = Terminal::NotAProgram,
     .events = {L"location " + kChosen, kStarted, L"status 75 : Path/File access error"}},
    {.name = "32 characters",
     .chosen = L"C:\\Q\\MQL4\\Experts\\Kelvarinth.ex4",
     .events = {L"location C:\\Q\\MQL4\\Experts\\Kelvarinth.ex4", kTooShort}},
    {.name = "33 characters",
     .chosen = L"C:\\QQ\\MQL4\\Experts\\Kelvarinth.ex4",
     .events = {L"location C:\\QQ\\MQL4\\Experts\\Kelvarinth.ex4", kWrong}},
    {.name = "empty name", .chosen = L"", .events = {L"location ", kTooShort}},
    {.name = "cancel",
     .end = End::Cancelled,
     .chosen = L"",
     .events = {L"status 32755 : Cancel was selected."}},
    {.name = "dialog failure",
     .end = End::Failed,
     .chosen = L"",
     .events = {L"status 65535 : The Open dialog could not be shown"}},
    // The standard layout: no terminal.exe in the data folder, the installation folder named by origin.txt.
    // Each folder name holds a character that a wrong reading of the file's encoding would spoil.
    {.name = "origin.txt in UTF-16 LE",
     .terminal = Terminal::Missing,
     .install = L"Терминал MT4",
     .encoding = Encoding::Utf16,
     .origin = L"{install}\r\n",
     .events = {L"location " + kChosen, kStartedInstalled, kOk},
     .started = Started::FromInstallation},
    {.name = "origin.txt in UTF-8",
     .terminal = Terminal::Missing,
     .install = L"Términal UTF-8",
     .encoding = Encoding::Utf8,
     .origin = L"{install}",
     .events = {L"location " + kChosen, kStartedInstalled, kOk},
     .started = Started::FromInstallation},
    {.name = "origin.txt in ANSI",
     .terminal = Terminal::Missing,
     .install = L"Términal ANSI",
     .encoding = Encoding::Ansi,
     .origin = L"{install}\r\n",
     .events = {L"location " + kChosen, kStartedInstalled, kOk},
     .started = Started::FromInstallation},
    {.name = "origin.txt quoting a path with blanks, more lines after it",
     .terminal = Terminal::Missing,
     .install = L"MetaTrader 4",
     .encoding = Encoding::Utf16,
     .origin = L" \t\"{install}\\\" \r\nC:\\Program Files\r\n",
     .events = {L"location " + kChosen, kStartedInstalled, kOk},
     .started = Started::FromInstallation},
    {.name = "origin.txt naming a missing folder",
     .terminal = Terminal::Missing,
     .encoding = Encoding::Utf16,
     .origin = L"{base}\\Not Installed",
     .events = {L"location " + kChosen, kWrong}},
    {.name = "origin.txt naming a folder without terminal.exe",
     .terminal = Terminal::Missing,
     .encoding = Encoding::Utf16,
     .origin = L"{base}",
     .events = {L"location " + kChosen, kWrong}},
    {.name = "origin.txt with a relative path",
     .terminal = Terminal::Missing,
     .install = L"Relative MT4",
     .encoding = Encoding::Utf16,
     .origin = L"Relative MT4",
     .events = {L"location " + kChosen, kWrong}},
    {.name = "empty origin.txt",
     .terminal = Terminal::Missing,
     .encoding = Encoding::Utf8,
     .events = {L"location " + kChosen, kWrong}},
    {.name = "origin.txt of 1 MiB",
     .terminal = Terminal::Missing,
     .install = L"Large Origin MT4",
     .encoding = Encoding::Utf8,
     .origin = L"{install}\r\n" + kMebibyte,
     .events = {L"location " + kChosen, kWrong}},
};

std::wstring Expand(std::wstring text, const std::wstring& placeholder, const std::wstring& value) {
  for (size_t at = 0; (at = text.find(placeholder, at)) != std::wstring::npos; at += value.size())
    text.replace(at, placeholder.size(), value);
  return text;
}

std::string Encode(Encoding encoding, const std::wstring& text) {
  if (encoding == Encoding::Utf16) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text)
      bytes.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
    return bytes;
  }
  const UINT code_page = encoding == Encoding::Ansi ? 1252 : CP_UTF8;
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

TEST(cmdFileLocationTest, FollowsTheOutcomeTable) {
  ASSERT_EQ(::GetACP(), 1252u) << "the ANSI row writes code page 1252";
  test::PlantedProgram trap(test::kProgramTrap);
  const std::wstring base = test::FolderWithBlanks();
  const std::wstring root = base + L"\\MT4";
  const std::wstring terminal_path = root + L"\\terminal.exe";
  const std::wstring origin_path = root + L"\\origin.txt";
  test::PlantedProgram advisor(Expand(kChosen, L"{root}", root));  // any file will do; it makes the folders
  // A relative path in origin.txt would be found from here.
  wchar_t previous_folder[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous_folder);
  ASSERT_TRUE(::SetCurrentDirectoryW(base.c_str()));
  // Stand-ins that must never start stay until the end, when a start would have been logged for sure.
  std::vector<std::unique_ptr<test::PlantedProgram>> never_started;

  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::wstring install = base + L"\\" + c.install;
    const auto expand = [&](const std::wstring& text) {
      return Expand(Expand(Expand(text, L"{install}", install), L"{root}", root), L"{base}", base);
    };
    std::unique_ptr<test::PlantedProgram> terminal, installed;
    if (c.terminal != Terminal::Missing && c.terminal != Terminal::Folder)
      terminal = std::make_unique<test::PlantedProgram>(terminal_path);
    if (c.terminal == Terminal::Folder)
      ::CreateDirectoryW(terminal_path.c_str(), nullptr);
    if (c.terminal == Terminal::Hidden)
      ::SetFileAttributesW(terminal_path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (c.terminal == Terminal::System)
      ::SetFileAttributesW(terminal_path.c_str(), FILE_ATTRIBUTE_SYSTEM);
    if (c.terminal == Terminal::NotAProgram)
      test::WriteBytes(terminal_path, "not a program");
    if (!c.install.empty())
      installed = std::make_unique<test::PlantedProgram>(install + L"\\terminal.exe");
    if (c.encoding != Encoding::None)
      test::WriteBytes(origin_path, Encode(c.encoding, expand(c.origin)));

    test::FakePanel panel;
    panel.file_choice = {c.end, expand(c.chosen), c.end == End::Failed ? 0xFFFFul : 0ul};
    cmdFileLocation_Click(panel, [&panel](const TerminalProgram& program) {
      panel.events.push_back(L"start " + program.path);
      return StartTerminal(program);
    });

    std::vector<std::wstring> expected;
    for (const std::wstring& e : c.events)
      expected.push_back(expand(e));
    EXPECT_EQ(panel.events, expected);
    // Started with its quoted path, without focus, from the panel's folder or its installation folder.
    if (c.started == Started::FromDataFolder) {
      EXPECT_EQ(terminal->Starts(), std::vector<std::wstring>{L"\"" + terminal_path + L"\" | show=4"});
      EXPECT_EQ(terminal->WorkingFolders(), std::vector<std::wstring>{base});
    }
    if (c.started == Started::FromInstallation) {
      const std::wstring program = install + L"\\terminal.exe";
      EXPECT_EQ(installed->Starts(), std::vector<std::wstring>{L"\"" + program + L"\" | show=4"});
      EXPECT_EQ(installed->WorkingFolders(), std::vector<std::wstring>{install});
    } else if (installed) {
      never_started.push_back(std::move(installed));
    }

    ::DeleteFileW(origin_path.c_str());
    if (c.terminal == Terminal::Folder)
      ::RemoveDirectoryW(terminal_path.c_str());
    ::SetFileAttributesW(terminal_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  ::SetCurrentDirectoryW(previous_folder);
  const std::vector<std::wstring> trap_starts = trap.StartsOnceProgramsEnded();
  for (const auto& program : never_started)
    EXPECT_EQ(program->StartsOnceProgramsEnded(), std::vector<std::wstring>{}) << program->path();
  EXPECT_EQ(trap_starts, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace qm
