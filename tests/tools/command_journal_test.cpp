#include "terminal/command_journal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qm::terminal {
namespace {

FileState Read(std::string bytes) {
  const uint64_t size = bytes.size();
  return {FileState::Kind::Read, std::move(bytes), size};
}

// Every file holds a different value, so a field that shows the wrong file is caught.
FolderFiles FullFolder() {
  return {{"mypair.txt", Read("EURJPY\r\n")}, {"mylotsize.txt", Read("0.25\r\n")},
          {"mystoploss.txt", Read("31\r\n")}, {"mytakeprofit.txt", Read("62\r\n")},
          {"mymagicno.txt", Read("777\r\n")}, {"mycloseall.txt", Read("1500\r\n")},
          {"myprice.txt", Read("1.2345\r\n")}};
}

struct LineCase {
  std::wstring file_name;
  ExchangeFolder folder;
  std::string line;
};

class EveryCommandTest : public testing::TestWithParam<LineCase> {};

TEST_P(EveryCommandTest, JournalsExactlyTheFilesTheCommandReliesOn) {
  const LineCase& c = GetParam();
  const Command* command = FindCommand(c.file_name);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(JournalLine(*command, c.folder, Read("1\r\n"), FullFolder()), c.line);
}

constexpr std::string_view kOrder = "pair=EURJPY lots=0.25 sl=31 tp=62 magic=777 closeall=1500";

INSTANTIATE_TEST_SUITE_P(
    Commands, EveryCommandTest,
    testing::Values(
        LineCase{L"Buy.txt", ExchangeFolder::Live, "BUY " + std::string(kOrder) + " folder=MQL4\\files"},
        LineCase{L"Sell.txt", ExchangeFolder::Tester,
                 "SELL " + std::string(kOrder) + " folder=tester\\files"},
        LineCase{L"Buystop.txt", ExchangeFolder::Live,
                 "BUYSTOP " + std::string(kOrder) + " price=1.2345 folder=MQL4\\files"},
        LineCase{L"Sellstop.txt", ExchangeFolder::Live,
                 "SELLSTOP " + std::string(kOrder) + " price=1.2345 folder=MQL4\\files"},
        LineCase{L"Buylimit.txt", ExchangeFolder::Tester,
                 "BUYLIMIT " + std::string(kOrder) + " price=1.2345 folder=tester\\files"},
        LineCase{L"Selllimit.txt", ExchangeFolder::Live,
                 "SELLLIMIT " + std::string(kOrder) + " price=1.2345 folder=MQL4\\files"},
        LineCase{L"Closeall.txt", ExchangeFolder::Live, "CLOSEALL pair=EURJPY magic=777 folder=MQL4\\files"},
        LineCase{L"Closebuy.txt", ExchangeFolder::Tester,
                 "CLOSEBUY pair=EURJPY magic=777 folder=tester\\files"},
        LineCase{L"Closesell.txt", ExchangeFolder::Live,
                 "CLOSESELL pair=EURJPY magic=777 folder=MQL4\\files"},
        LineCase{L"Deletebuystop.txt", ExchangeFolder::Live,
                 "DELETEBUYSTOP pair=EURJPY magic=777 folder=MQL4\\files"},
        LineCase{L"Deletesellstop.txt", ExchangeFolder::Live,
                 "DELETESELLSTOP pair=EURJPY magic=777 folder=MQL4\\files"},
        LineCase{L"Deletebuylimit.txt", ExchangeFolder::Tester,
                 "DELETEBUYLIMIT pair=EURJPY magic=777 folder=tester\\files"},
        LineCase{L"Deleteselllimit.txt", ExchangeFolder::Live,
                 "DELETESELLLIMIT pair=EURJPY magic=777 folder=MQL4\\files"}));

struct NameCase {
  std::wstring name;
  std::string verb;  // empty: not a command
};

class FindCommandTest : public testing::TestWithParam<NameCase> {};

TEST_P(FindCommandTest, MatchesWholeNamesWithoutRegardToCase) {
  const Command* command = FindCommand(GetParam().name);
  EXPECT_EQ(command ? std::string(command->verb) : std::string(), GetParam().verb);
}

INSTANTIATE_TEST_SUITE_P(Names, FindCommandTest,
                         testing::Values(NameCase{L"Buy.txt", "BUY"}, NameCase{L"BUY.TXT", "BUY"},
                                         NameCase{L"sElLlImIt.TxT", "SELLLIMIT"},
                                         NameCase{L"deleteselllimit.txt", "DELETESELLLIMIT"},
                                         NameCase{L"Sellimit.txt", ""}, NameCase{L"Buy.txt.bak", ""},
                                         NameCase{L"Buy", ""}, NameCase{L"xBuy.txt", ""},
                                         NameCase{L"mypair.txt", ""}, NameCase{L"~qm1234-0.tmp", ""},
                                         NameCase{L"", ""}));

struct ValueCase {
  const char* name;
  FileState file;
  std::string shown;
};
void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.name;
}

class RenderValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(RenderValueTest, ShowsTheValueOrWhatIsWrongWithTheFile) {
  EXPECT_EQ(RenderValue(GetParam().file), GetParam().shown);
}

const std::string kLong(1000, 'A');

INSTANTIATE_TEST_SUITE_P(
    Values, RenderValueTest,
    testing::Values(
        ValueCase{"Plain", Read("1.6349\r\n"), "1.6349"}, ValueCase{"Missing", FileState{}, "<missing>"},
        ValueCase{"Unreadable", FileState{FileState::Kind::Unreadable, "", 0}, "<unreadable>"},
        ValueCase{"ZeroBytes", Read(""), "<empty>"}, ValueCase{"EmptyLine", Read("\r\n"), "\"\""},
        ValueCase{"Blanks", Read("15 pips\r\n"), "\"15 pips\""},
        ValueCase{"LooksLikeAMarker", Read("<missing>\r\n"), "\"<missing>\""},
        ValueCase{"QuoteAndBackslash", Read("a\"b\\c\r\n"), "\"a\\\"b\\\\c\""},
        ValueCase{"Controls", Read(std::string("\x01\x1b[31m\t\x7f", 8) + "\r\n"),
                  "\"\\x01\\x1b[31m\\t\\x7f\""},
        ValueCase{"NulByte", Read(std::string("1\0002\r\n", 5)), "\"1\\x002\""},
        ValueCase{"HighBytes", Read("\xe9\xff\r\n"), "\"\\xe9\\xff\""},
        ValueCase{"NoLineEnd", Read("1.6349"), "<malformed:\"1.6349\">"},
        ValueCase{"LineFeedOnly", Read("1.6349\n"), "<malformed:\"1.6349\\n\">"},
        ValueCase{"CarriageReturnOnly", Read("1.6349\r"), "<malformed:\"1.6349\\r\">"},
        ValueCase{"TwoLines", Read("1\r\n2\r\n"), "<malformed:\"1\\r\\n2\\r\\n\">"},
        ValueCase{"ByteOrderMark",
                  Read("\xef\xbb\xbf"
                       "1\r\n"),
                  "\"\\xef\\xbb\\xbf1\""},
        ValueCase{"LongLine", Read(kLong + "\r\n"), "\"" + kLong.substr(0, 64) + "\"...(1000 bytes)"},
        ValueCase{"LongNoLineEnd", Read(kLong), "<malformed:\"" + kLong.substr(0, 64) + "\"...(1000 bytes)>"},
        ValueCase{"LongerThanRead", FileState{FileState::Kind::Read, std::string(kReadLimit, 'B'), 1u << 20},
                  "<oversized:\"" + std::string(64, 'B') + "\"...(1048576 bytes)>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JournalLine, NamesMissingFilesAndACommandFileThatIsNotOne) {
  const Command& buy_stop = *FindCommand(L"Buystop.txt");
  FolderFiles files = FullFolder();
  files.erase("myprice.txt");
  files.erase("mylotsize.txt");
  EXPECT_EQ(
      JournalLine(buy_stop, ExchangeFolder::Live, Read("2\r\n"), files),
      "BUYSTOP pair=EURJPY lots=<missing> sl=31 tp=62 magic=777 closeall=1500 price=<missing> content=2 "
      "folder=MQL4\\files");
  EXPECT_EQ(JournalLine(*FindCommand(L"Closeall.txt"), ExchangeFolder::Tester, Read("1"), {}),
            "CLOSEALL pair=<missing> magic=<missing> content=<malformed:\"1\"> folder=tester\\files");
}

// Whatever the folder holds, a journal line stays one printable line of bounded length.
TEST(JournalLine, StaysOneSafeLineForHostileFiles) {
  const std::string hostile[] = {
      std::string(kReadLimit, '\n'),
      std::string(kReadLimit, '\xff'),
      std::string(5000, '"') + "\r\n",
      std::string("\0\r\n\x1a", 4),
      "no line end at all",
  };
  for (const std::string& content : hostile) {
    FolderFiles files;
    for (const auto& [name, state] : FullFolder())
      files[name] = Read(content);
    for (const Command& command : Commands()) {
      const std::string line = JournalLine(command, ExchangeFolder::Live, Read(content), files);
      EXPECT_LE(line.size(), kMaxJournalLine);
      EXPECT_TRUE(line.starts_with(std::string(command.verb) + " ")) << line;
      EXPECT_TRUE(line.ends_with(" folder=MQL4\\files")) << line;
      EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7f; }))
          << line;
    }
  }
}

struct OrderCase {
  const char* name;
  // command file name, folder, write time
  std::vector<std::tuple<std::wstring, ExchangeFolder, uint64_t>> found;
  std::vector<std::string> verbs;
};
void PrintTo(const OrderCase& c, std::ostream* os) {
  *os << c.name;
}

class SortTest : public testing::TestWithParam<OrderCase> {};

TEST_P(SortTest, TakesOldestFirstThenTheFixedOrder) {
  std::vector<FoundCommand> found;
  for (const auto& [name, folder, time] : GetParam().found) {
    found.push_back({FindCommand(name), folder, time,
                     std::wstring(FolderLabel(folder).begin(), FolderLabel(folder).end())});
  }
  SortForProcessing(found);
  std::vector<std::string> verbs;
  for (const FoundCommand& f : found)
    verbs.push_back(std::string(f.command->verb) + "@" + std::string(FolderLabel(f.folder)));
  EXPECT_EQ(verbs, GetParam().verbs);
}

constexpr auto kLive = ExchangeFolder::Live;
constexpr auto kTester = ExchangeFolder::Tester;

INSTANTIATE_TEST_SUITE_P(Orders, SortTest,
                         testing::Values(OrderCase{"HedgeInOneTick",
                                                   {{L"Sell.txt", kLive, 5}, {L"Buy.txt", kLive, 5}},
                                                   {"BUY@MQL4\\files", "SELL@MQL4\\files"}},
                                         OrderCase{"SellPressedFirst",
                                                   {{L"Buy.txt", kLive, 9}, {L"Sell.txt", kLive, 5}},
                                                   {"SELL@MQL4\\files", "BUY@MQL4\\files"}},
                                         OrderCase{"LiveBeforeTesterAtOneTime",
                                                   {{L"Buy.txt", kTester, 5}, {L"Buy.txt", kLive, 5}},
                                                   {"BUY@MQL4\\files", "BUY@tester\\files"}},
                                         OrderCase{"CommandBeforeFolderAtOneTime",
                                                   {{L"Sell.txt", kLive, 5}, {L"Buy.txt", kTester, 5}},
                                                   {"BUY@tester\\files", "SELL@MQL4\\files"}},
                                         OrderCase{"TimeBeatsFolder",
                                                   {{L"Buy.txt", kLive, 7}, {L"Closeall.txt", kTester, 6}},
                                                   {"CLOSEALL@tester\\files", "BUY@MQL4\\files"}},
                                         OrderCase{"TableOrderAtOneTime",
                                                   {{L"Deleteselllimit.txt", kLive, 1},
                                                    {L"Closeall.txt", kLive, 1},
                                                    {L"Buystop.txt", kLive, 1}},
                                                   {"BUYSTOP@MQL4\\files", "CLOSEALL@MQL4\\files",
                                                    "DELETESELLLIMIT@MQL4\\files"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LockCase {
  std::wstring a;
  std::wstring b;
  bool same;
};

class InstanceLockTest : public testing::TestWithParam<LockCase> {};

TEST_P(InstanceLockTest, IsSharedBySpellingsOfOneFolderOnly) {
  const LockCase& c = GetParam();
  EXPECT_EQ(InstanceLockName(c.a) == InstanceLockName(c.b), c.same);
  EXPECT_EQ(InstanceLockName(c.a).find(L'\\'), std::wstring::npos);
}

INSTANTIATE_TEST_SUITE_P(Folders, InstanceLockTest,
                         testing::Values(LockCase{L"C:\\MT4", L"c:\\mt4", true},
                                         LockCase{L"C:\\MT4", L"C:\\MT4\\", true},
                                         LockCase{L"C:\\Demo\\MT4", L"C:/Demo//MT4", true},
                                         LockCase{L"C:\\MT4", L"C:\\MT5", false},
                                         LockCase{L"C:\\MT4", L"D:\\MT4", false},
                                         LockCase{L"C:\\MT4", L"C:\\MT4\\tester", false}));

}  // namespace
}  // namespace qm::terminal
