#include "terminal/command_consumer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/unique_handle.h"
#include "journal_file.h"
#include "support/temp_folder.h"

namespace qm::terminal {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

constexpr uint64_t kBaseTime = 133000000000000000ull;  // some moment in 2022, in 100 ns ticks

struct DroppedFile {
  std::wstring path;  // below the data folder
  std::string bytes;
  uint64_t time_offset = 0;
};

void Drop(const TempFolder& root, const DroppedFile& file) {
  const std::wstring path = root / file.path;
  WriteBytes(path, file.bytes);
  UniqueHandle handle(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const uint64_t time = kBaseTime + file.time_offset;
  const FILETIME stamp{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  ASSERT_TRUE(handle && ::SetFileTime(handle.get(), nullptr, nullptr, &stamp));
}

// A data folder with both exchange folders; the live one holds a full set of parameter files.
class ConsumerTest : public testing::Test {
 protected:
  void SetUp() override {
    temp.MakeFolder(L"MQL4\\files");
    temp.MakeFolder(L"tester\\files");
    for (const auto& [name, value] :
         std::initializer_list<std::pair<std::wstring, std::string>>{{L"mypair.txt", "GBPUSD"},
                                                                     {L"mylotsize.txt", "0.01"},
                                                                     {L"mystoploss.txt", "0"},
                                                                     {L"mytakeprofit.txt", "0"},
                                                                     {L"mymagicno.txt", "6819"},
                                                                     {L"mycloseall.txt", "9999999"}}) {
      WriteBytes(temp / (L"MQL4\\files\\" + name), value + "\r\n");
    }
  }

  std::vector<std::string> JournalLines() const { return JournalFileLines(temp / L"journal.txt"); }

  TempFolder temp;
  CommandConsumer consumer{temp.path()};
};

constexpr const char* kBuy =
    "BUY pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=MQL4\\files";
constexpr const char* kSell =
    "SELL pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=MQL4\\files";

struct FolderCase {
  const char* name;
  std::vector<DroppedFile> dropped;
  std::vector<std::string> lines;
  std::vector<std::wstring> live_left;    // command and stray files left in MQL4\files
  std::vector<std::wstring> tester_left;  // files left in tester\files
};
void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << c.name;
}

class ConsumerFolderTest : public ConsumerTest, public testing::WithParamInterface<FolderCase> {};

TEST_P(ConsumerFolderTest, JournalsAndRemovesCommandFilesInOrder) {
  for (const DroppedFile& file : GetParam().dropped)
    Drop(temp, file);
  const CommandConsumer::PollResult result = consumer.Poll();

  EXPECT_EQ(result.lines, GetParam().lines);
  EXPECT_EQ(result.problem, L"");
  EXPECT_EQ(JournalLines(), GetParam().lines);
  std::vector<std::wstring> live = GetParam().live_left;
  for (const wchar_t* parameter : {L"mycloseall.txt", L"mylotsize.txt", L"mymagicno.txt", L"mypair.txt",
                                   L"mystoploss.txt", L"mytakeprofit.txt"}) {
    live.push_back(parameter);
  }
  std::sort(live.begin(), live.end());
  EXPECT_EQ(temp.ListFiles(L"MQL4\\files"), live);
  EXPECT_EQ(temp.ListFiles(L"tester\\files"), GetParam().tester_left);
  // The panel's files are read, never written.
  EXPECT_EQ(ReadBytes(temp / L"MQL4\\files\\mypair.txt"), "GBPUSD\r\n");
  EXPECT_TRUE(consumer.Poll().lines.empty()) << "a command was taken twice";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ConsumerFolderTest,
    testing::Values(
        FolderCase{"HedgeInOneTick",
                   {{L"MQL4\\files\\Sell.txt", "1\r\n", 0}, {L"MQL4\\files\\Buy.txt", "1\r\n", 0}},
                   {kBuy, kSell},
                   {},
                   {}},
        FolderCase{"OlderCommandFirst",
                   {{L"MQL4\\files\\Buy.txt", "1\r\n", 20}, {L"MQL4\\files\\Sell.txt", "1\r\n", 10}},
                   {kSell, kBuy},
                   {},
                   {}},
        FolderCase{"AnyLetterCase", {{L"MQL4\\files\\bUY.TXT", "1\r\n", 0}}, {kBuy}, {}, {}},
        FolderCase{
            "TesterFolderWithoutParameters",
            {{L"tester\\files\\Closebuy.txt", "1\r\n", 0}, {L"tester\\files\\mypair.txt", "EURUSD\r\n", 0}},
            {"CLOSEBUY pair=EURUSD magic=<missing> folder=tester\\files"},
            {},
            {L"mypair.txt"}},
        FolderCase{"StrayFilesStay",
                   {{L"MQL4\\files\\~qm42-0.tmp", "1\r\n", 0},
                    {L"MQL4\\files\\Buy.txt.bak", "1\r\n", 0},
                    {L"MQL4\\files\\Buy", "1\r\n", 0},
                    {L"tester\\files\\notes.txt", "Sell\r\n", 0}},
                   {},
                   {L"Buy", L"Buy.txt.bak", L"~qm42-0.tmp"},
                   {L"notes.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConsumerTest, IgnoresAFolderNamedLikeACommand) {
  temp.MakeFolder(L"MQL4\\files\\Sell.txt");
  EXPECT_TRUE(consumer.Poll().lines.empty());
  EXPECT_TRUE(test::FileExists(temp / L"MQL4\\files\\Sell.txt"));
}

TEST_F(ConsumerTest, AppendsToTheJournalItFinds) {
  WriteBytes(temp / L"journal.txt", "OLD line\r\n");
  Drop(temp, {L"MQL4\\files\\Buy.txt", "1\r\n"});
  consumer.Poll();
  EXPECT_EQ(ReadBytes(temp / L"journal.txt"), "OLD line\r\n" + std::string(kBuy) + "\r\n");
}

UniqueHandle HoldWithoutSharing(const std::wstring& path, DWORD share = 0) {
  UniqueHandle held(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(held) << "cannot hold the file";
  return held;
}

TEST_F(ConsumerTest, WaitsForAHeldParameterFileAndKeepsTheOrder) {
  Drop(temp, {L"MQL4\\files\\Buy.txt", "1\r\n", 0});
  Drop(temp, {L"MQL4\\files\\Sell.txt", "1\r\n", 5});
  UniqueHandle held = HoldWithoutSharing(temp / L"MQL4\\files\\mylotsize.txt");
  for (int poll = 1; poll < kPatiencePolls; ++poll) {
    const CommandConsumer::PollResult result = consumer.Poll();
    ASSERT_TRUE(result.lines.empty()) << "poll " << poll;
    EXPECT_NE(result.problem.find(L"mylotsize.txt"), std::wstring::npos);
  }
  EXPECT_TRUE(test::FileExists(temp / L"MQL4\\files\\Buy.txt"));
  held.reset();
  EXPECT_EQ(consumer.Poll().lines, (std::vector<std::string>{kBuy, kSell}));
}

TEST_F(ConsumerTest, JournalsAFileHeldForTooLongAsUnreadable) {
  Drop(temp, {L"MQL4\\files\\Closesell.txt", "1\r\n"});
  const UniqueHandle held = HoldWithoutSharing(temp / L"MQL4\\files\\mymagicno.txt");
  std::vector<std::string> lines;
  int polls = 0;
  while (lines.empty() && polls < 2 * kPatiencePolls) {
    lines = consumer.Poll().lines;
    ++polls;
  }
  EXPECT_EQ(polls, kPatiencePolls);
  EXPECT_EQ(lines, std::vector<std::string>{"CLOSESELL pair=GBPUSD magic=<unreadable> folder=MQL4\\files"});
}

TEST_F(ConsumerTest, KeepsTheCommandWhileTheJournalCannotBeWritten) {
  WriteBytes(temp / L"journal.txt", "");
  UniqueHandle held = HoldWithoutSharing(temp / L"journal.txt");
  Drop(temp, {L"MQL4\\files\\Buy.txt", "1\r\n"});
  for (int poll = 0; poll < 3; ++poll) {
    const CommandConsumer::PollResult result = consumer.Poll();
    EXPECT_TRUE(result.lines.empty());
    EXPECT_NE(result.problem.find(L"journal.txt"), std::wstring::npos);
  }
  EXPECT_TRUE(test::FileExists(temp / L"MQL4\\files\\Buy.txt"));
  held.reset();
  EXPECT_EQ(consumer.Poll().lines, std::vector<std::string>{kBuy});
  EXPECT_EQ(JournalLines(), std::vector<std::string>{kBuy});
}

TEST_F(ConsumerTest, JournalsACommandThatCannotBeRemovedOnlyOnce) {
  Drop(temp, {L"MQL4\\files\\Buy.txt", "1\r\n"});
  // Readable by anyone, but not removable while held.
  UniqueHandle held = HoldWithoutSharing(temp / L"MQL4\\files\\Buy.txt", FILE_SHARE_READ | FILE_SHARE_WRITE);
  const CommandConsumer::PollResult first = consumer.Poll();
  EXPECT_EQ(first.lines, std::vector<std::string>{kBuy});
  EXPECT_NE(first.problem.find(L"Buy.txt"), std::wstring::npos);
  EXPECT_TRUE(consumer.Poll().lines.empty());
  held.reset();
  EXPECT_TRUE(consumer.Poll().lines.empty());
  EXPECT_FALSE(test::FileExists(temp / L"MQL4\\files\\Buy.txt"));
  EXPECT_EQ(JournalLines(), std::vector<std::string>{kBuy});
}

TEST_F(ConsumerTest, TakesACommandRewrittenAfterItWasJournaledAgain) {
  Drop(temp, {L"MQL4\\files\\Buy.txt", "1\r\n", 0});
  UniqueHandle held = HoldWithoutSharing(temp / L"MQL4\\files\\Buy.txt", FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_EQ(consumer.Poll().lines.size(), 1u);
  held.reset();
  Drop(temp, {L"MQL4\\files\\Buy.txt", "1\r\n", 100});  // a second press before the file could be removed
  EXPECT_EQ(consumer.Poll().lines, std::vector<std::string>{kBuy});
  EXPECT_EQ(JournalLines(), (std::vector<std::string>{kBuy, kBuy}));
}

}  // namespace
}  // namespace qm::terminal
