// Hostile text in the boxes of the real main window: very long text, control characters, characters outside
// the ANSI code page, bidirectional controls, lone surrogates, line breaks. Every action button and Send
// Parameters is pressed and the options switched; the window must survive every press and every exchange
// file must stay one line, as the Expert Advisor reads it.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "bridge/writers.h"
#include "platform/ansi.h"
#include "platform/text.h"
#include "support/data_folder.h"
#include "support/fake_panel.h"
#include "support/figures.h"
#include "support/file_tree.h"
#include "support/file_watch.h"
#include "support/temp_folder.h"
#include "support/main_window_fixture.h"

namespace qm {
namespace {

using test::ReadBytes;

// One line as the Expert Advisor reads it: the value, CR LF, and no other CR or LF anywhere.
bool IsOneLine(const std::string& bytes) {
  return bytes.size() >= 2 && bytes.ends_with("\r\n") && bytes.find_first_of("\r\n") == bytes.size() - 2;
}

std::wstring Repeated(std::wstring_view pattern, size_t length) {
  std::wstring text;
  text.reserve(length);
  while (text.size() < length)
    text += pattern;
  text.resize(length);
  return text;
}

// Every C0 control but NUL, which ends a window text, and the line breaks, which have cases of their own.
std::wstring ControlCharacters() {
  std::wstring text = L"a";
  for (wchar_t c = 1; c < 0x20; ++c) {
    if (c != L'\r' && c != L'\n')
      text += c;
  }
  return text + L"z";
}

// --- The writers themselves, with a line break in a box ----------------------------------------------------

struct LineBreakCase {
  const char* name;
  std::wstring text;
  std::string four_digits;  // mytakeprofit.txt with 4 digits
  std::string five_digits;  // mytakeprofit.txt with 5 digits
};

const LineBreakCase kLineBreakCases[] = {
    {"CrLfInside", L"1.5\r\n2.5", "1.5\r\n", "15\r\n"},
    {"LfInside", L"1.5\n2.5", "1.5\r\n", "15\r\n"},
    {"CrInside", L"1.5\r2.5", "1.5\r\n", "15\r\n"},
    {"SpacesBeforeTheBreakAreTrimmed", L"  30  \r\n40", "30\r\n", "300\r\n"},
    {"BreakFirstGivesAnEmptyValue", L"\r\n30", "\r\n", "0\r\n"},
    {"TrailingBreak", L"30\r\n", "30\r\n", "300\r\n"},
    {"NoBreakIsPassedOnUnchanged", L" 2.5 pips\t", "2.5 pips\t\r\n", "25\r\n"},
};

void PrintTo(const LineBreakCase& c, std::ostream* out) {
  *out << c.name;
}

class LineBreakTest : public testing::TestWithParam<LineBreakCase> {};

TEST_P(LineBreakTest, TheFileHoldsTheFirstLineOnly) {
  test::TempFolder temp;
  const test::DataFolder data(temp / L"MT4");
  test::FakePanel panel;
  panel.texts[Field::FileLocation] = data.ExpertAdvisor();
  panel.texts[Field::TakeProfit] = GetParam().text;
  panel.texts[Field::Pair] = GetParam().text;
  panel.Select(Option::BackTest);
  const std::wstring folder = data.BackTest() + L"\\";

  for (const auto& [digits, expected] : {std::pair{Option::FourDigit, GetParam().four_digits},
                                         std::pair{Option::FiveDigit, GetParam().five_digits}}) {
    panel.Select(digits);
    ASSERT_EQ(WriteExchangeFile(panel, Writer::WriteTakeProfit), std::nullopt);
    EXPECT_EQ(ReadBytes(folder + L"mytakeprofit.txt"), expected);
  }
  // Text files take the same first line with either setting.
  ASSERT_EQ(WriteExchangeFile(panel, Writer::WritePair), std::nullopt);
  EXPECT_EQ(ReadBytes(folder + L"mypair.txt"), GetParam().four_digits);
}

INSTANTIATE_TEST_SUITE_P(Writers, LineBreakTest, testing::ValuesIn(kLineBreakCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The whole window --------------------------------------------------------------------------------------

struct HostileCase {
  const char* name;
  std::wstring text;
  std::optional<std::string> pair_file;  // what mypair.txt must hold, where it is not the text itself
};

std::vector<HostileCase> HostileCases() {
  return {
      {"100,000 characters", Repeated(L"GBPUSD0123456789", 100'000), std::nullopt},
      {"1,000,000 characters", Repeated(L"x\u20ac\u0416 ", 1'000'000), std::nullopt},
      {"C0 control characters", ControlCharacters(), std::nullopt},
      {"outside the ANSI code page", L"\u20ac\u0416\u4e2d\U0001F600z", std::nullopt},
      {"right-to-left and other bidi controls", L"\u202eDSUPBG\u202c\u200f1\u200e\u2066x\u2069\u061c",
       std::nullopt},
      {"lone surrogates", std::wstring(L"a\xD800") + L"b\xDC00" + L"\xDBFF", std::nullopt},
      {"markup and shell characters", L"<b>\"&calc&\" %SystemRoot% | ^ `x`</b>", std::nullopt},
      {"CR LF inside", L"GBPUSD\r\nEURUSD", "GBPUSD\r\n"},
      {"LF inside", L"GBPUSD\nEURUSD", "GBPUSD\r\n"},
      {"CR inside", L"GBPUSD\rEURUSD", "GBPUSD\r\n"},
  };
}

constexpr std::wstring_view kValueBoxes[] = {
    L"txtPair",     L"txtLotsize",       L"txtTakeProfit",     L"txtStopLoss",       L"txtMagicNo",
    L"txtCloseall", L"txtbuystop_price", L"txtsellstop_price", L"txtbuylimit_price", L"txtselllimit_price",
};

struct Tally {
  long long presses = 0;
  long long files_written = 0;
  long long files_with_more_lines = 0;
  long long crashes = 0;  // presses after which the window was gone or its status line empty
};

class HostileTextTest : public test::MainWindowTest {
 protected:
  // The status line is read without a walk through the folder at every report: the presses here are many
  // and every file is checked after each round anyway.
  void SetUp() override {
    MainWindowTest::SetUp();
    recorder.reset();  // first: both watch the window in one place, which the old one's end would take away
    recorder = std::make_unique<test::PanelRecorder>(window->hwnd(), L"");
  }

  // Presses `control` and checks that the window is still there and reported something.
  void Press(std::wstring_view control, Tally& tally) {
    ++tally.presses;
    Click(control);
    Pump();
    if (!window->hwnd() || !::IsWindow(window->hwnd()) ||
        ::GetWindowTextLengthW(Control(L"lblStatus")) == 0) {
      ++tally.crashes;
      ADD_FAILURE() << "the window did not survive " << testing::PrintToString(std::wstring(control));
    }
  }

  // Checks every file below the temporary folder, wherever a path led the writers, and returns the folders
  // that hold files, relative to it.
  std::set<std::wstring> CheckEveryFile(Tally& tally) {
    std::set<std::wstring> folders;
    test::WalkTree(temp.path(), [&](const std::wstring& relative, bool is_folder) {
      if (is_folder)
        return;
      folders.insert(relative.substr(0, relative.rfind(L'\\')));
      if (!IsOneLine(ReadBytes(temp / relative))) {
        ++tally.files_with_more_lines;
        ADD_FAILURE() << "not one line: " << testing::PrintToString(relative);
      }
    });
    return folders;
  }

  // Every action with 5 digits on a live account, then with 4 digits in back-test (the setting left), each
  // followed by a check of every file; returns the folders that hold files.
  std::set<std::wstring> PressEverything(Tally& tally) {
    std::set<std::wstring> folders;
    for (const auto& [digits, account] :
         {std::pair{L"optFiveDigit", L"optRealTime"}, std::pair{L"optFourDigit", L"optBackTest"}}) {
      Press(digits, tally);
      Press(account, tally);
      for (std::wstring_view button : test::ActionButtons())
        Press(button, tally);
      folders.merge(CheckEveryFile(tally));
    }
    return folders;
  }
};

TEST_F(HostileTextTest, EveryBoxEveryButtonNoCrashAndOneLineFiles) {
  StartWithExpertAdvisor();
  test::FileWatch written(temp.path());
  Tally tally;
  long long line_breaks_kept_by_box = 0;
  for (const HostileCase& c : HostileCases()) {
    SCOPED_TRACE(c.name);
    for (std::wstring_view box : kValueBoxes)
      SetText(box, c.text);
    const std::wstring held = window->Text(Field::Pair);
    if (held.find_first_of(L"\r\n") != std::wstring::npos)
      ++line_breaks_kept_by_box;

    PressEverything(tally);
    tally.files_written += static_cast<long long>(written.Changes().size());
    Forget();

    // Send Parameters last ran with 4 digits and back-test: the pair file holds the box's first line.
    const std::string pair = ReadBytes(temp / L"MT4\\tester\\files\\mypair.txt");
    if (c.pair_file) {
      EXPECT_EQ(pair, *c.pair_file);
    } else {
      // Text without a line break reaches the file unchanged but for the spaces at its ends.
      EXPECT_EQ(pair, ExchangeLine(TrimSpaces(held)));
      EXPECT_EQ(pair.size(), ToAnsi(TrimSpaces(c.text)).size() + 2) << "the box kept the whole text";
    }
  }
  // A few cases spelt out: the ANSI code page's own characters stay, the others become '?'.
  SetText(L"txtPair", L"\u20acx\u0416");
  Click(L"cmdSendParameters");
  EXPECT_EQ(ReadBytes(temp / L"MT4\\tester\\files\\mypair.txt"), "\x80x?\r\n");

  EXPECT_TRUE(
      test::ReportFigure("hostile text, every text box: crashes", tally.crashes, "0", tally.crashes == 0));
  EXPECT_TRUE(test::ReportFigure("hostile text, every text box: files with more than one line",
                                 tally.files_with_more_lines, "0", tally.files_with_more_lines == 0));
  EXPECT_TRUE(test::ReportFigure("hostile text, every text box: files written", tally.files_written, "> 0",
                                 tally.files_written > 0));
  test::ReportInfoFigure("hostile text, every text box: button presses", tally.presses,
                         std::to_string(HostileCases().size()) + " texts x 2 option settings");
  test::ReportInfoFigure("hostile text, every text box: texts whose line break the box kept",
                         line_breaks_kept_by_box, "of 3 with a line break (Wine's single-line box)");
}

// The path box with hostile text. The folder rule cuts a fixed number of characters off the path and never
// looks at them, so each path leads the writers into a folder of its own: the test makes that folder, and
// the actions' files must land there and nowhere else, each one line.
struct HostilePath {
  const char* name;
  std::wstring path;
  // The folders the actions write into, relative to the temporary folder: its real-time and back-test
  // exchange folders, or none for a path that can name no folder.
  std::set<std::wstring> lands_in;
};

std::vector<HostilePath> HostilePaths(const std::wstring& root) {
  const std::wstring good = root + L"\\MT4\\MQL4\\Experts\\Kelvarinth_V10x.ex4";
  const std::set<std::wstring> usual{L"MT4\\MQL4\\files", L"MT4\\tester\\files"};
  // Four folder names of 250 characters with blanks.
  const std::wstring long_folder = Repeated(Repeated(L"a b", 250) + L"\\", 4 * 251);
  // The 28 characters the real-time cut removes (the back-test cut also removes \MQL4).
  const std::wstring hostile_cut = Repeated(L"\r\n\x01\x1f\xD800\x7f\u202e", 28);
  const std::wstring shell = L"MT4 & calc & 'x' ^ (%SystemRoot%)";
  return {
      {"1,000 characters with blanks",
       root + L"\\" + long_folder + L"MT4\\MQL4\\Experts\\Kelvarinth_V10x.ex4",
       {long_folder + L"MT4\\MQL4\\files", long_folder + L"MT4\\tester\\files"}},
      {"1,000,000 characters", Repeated(L"\\\\?\\", 1'000'000), {}},
      {"line breaks, control characters and lone surrogates in the cut", root + L"\\MT4\\MQL4" + hostile_cut,
       usual},
      {"CR LF after the path", good + L"\r\n", {L"MT4\\MQL4\\E\\files", L"MT4\\M\\tester\\files"}},
      {"right-to-left override",
       root + L"\\\u202eMT4\\MQL4\\Experts\\Kelvarinth_V10x.ex4",
       {L"\u202eMT4\\MQL4\\files", L"\u202eMT4\\tester\\files"}},
      // No folder of this name is there (Wine cannot make one): nothing can land, and the window must
      // survive it.
      {"lone surrogate in a folder name", root + L"\\\xD800\\MQL4\\Experts\\Kelvarinth_V10x.ex4", {}},
      {"shell characters",
       root + L"\\" + shell + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4",
       {shell + L"\\MQL4\\files", shell + L"\\tester\\files"}},
      // Never expanded: the path is relative, to the working folder (the temporary folder).
      {"variable",
       L"%SystemRoot%\\system32\\MQL4\\Experts\\Kelvarinth_V10x.ex4",
       {L"%SystemRoot%\\system32\\MQL4\\files", L"%SystemRoot%\\system32\\tester\\files"}},
      {"long-path prefix", L"\\\\?\\" + good, usual},
  };
}

TEST_F(HostileTextTest, HostilePathBox) {
  window->Form_Load();
  const std::vector<HostilePath> paths = HostilePaths(temp.path());
  Tally tally;
  for (const HostilePath& c : paths) {
    SCOPED_TRACE(c.name);
    test::DeleteFiles(temp.path());
    for (const std::wstring& folder : c.lands_in)
      temp.MakeFolder(folder);
    SetText(L"txtFileLocation", c.path);
    EXPECT_EQ(PressEverything(tally), c.lands_in);
  }
  EXPECT_TRUE(test::ReportFigure("hostile text, path box: crashes", tally.crashes, "0", tally.crashes == 0));
  EXPECT_TRUE(test::ReportFigure("hostile text, path box: files with more than one line",
                                 tally.files_with_more_lines, "0", tally.files_with_more_lines == 0));
  test::ReportInfoFigure("hostile text, path box: button presses", tally.presses,
                         std::to_string(paths.size()) + " paths x 2 option settings");
}

}  // namespace
}  // namespace qm
