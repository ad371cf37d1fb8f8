// The terminal side reading while the panel writes: a reader process opens, reads and closes every exchange
// file of the folder as fast as it can while this process replaces them tens of thousands of times. The
// panel's writers must never let it see an empty or half-written file. The same reader against a writer that
// truncates and rewrites in place must see such reads, or the reader could not tell.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "bridge/writers.h"
#include "platform/unique_handle.h"
#include "reliability/reader_tally.h"
#include "support/data_folder.h"
#include "support/exchange_files.h"
#include "support/fake_panel.h"
#include "support/figures.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"

namespace qm {
namespace {

using test::FakePanel;
using test::ReaderTally;
using test::TempFolder;

// Each parameter file alternates between two values of different lengths, so that a partial read of the
// longer one is not the shorter one. Five digits: take-profit and stop-loss are scaled.
struct ParameterFile {
  Writer file;
  Field box;
  const wchar_t* first_box;
  const wchar_t* second_box;
  const char* first_line;
  const char* second_line;
};

const ParameterFile kParameterFiles[] = {
    {Writer::WritePair, Field::Pair, L"GBPUSD", L"EURJPY.micro-account", "GBPUSD", "EURJPY.micro-account"},
    {Writer::WriteLotSize, Field::Lotsize, L" 0.01 ", L"123456789.125", "0.01", "123456789.125"},
    {Writer::WriteTakeProfit, Field::TakeProfit, L"30", L"0.125", "300", "1.25"},
    {Writer::WriteStopLoss, Field::StopLoss, L"2.5", L"1234.5", "25", "12345"},
    {Writer::WriteMagicNo, Field::MagicNo, L"6819", L"4294967295", "6819", "4294967295"},
    {Writer::WriteCloseAll, Field::Closeall, L"9999999", L"1", "9999999", "1"},
    {Writer::WriteBuyStopPrice, Field::BuyStopPrice, L"1.6349", L"110.25", "1.6349", "110.25"},
    {Writer::WriteSellStopPrice, Field::SellStopPrice, L"1.6349", L"110.25", "1.6349", "110.25"},
    {Writer::WriteBuyLimitPrice, Field::BuyLimitPrice, L"1.6349", L"110.25", "1.6349", "110.25"},
    {Writer::WriteSellLimitPrice, Field::SellLimitPrice, L"1.6349", L"110.25", "1.6349", "110.25"},
};

// One replace of the writing loop: which file, and whether it takes its first or its second value.
struct Replace {
  Writer file;
  bool second;
};

std::vector<Writer> AllFiles() {
  std::vector<Writer> files;
  for (const test::ExchangeFileCase& c : test::kEveryExchangeFile)
    files.push_back(c.file);
  return files;
}

// The line a file holds after a replace, without CR LF.
std::string LineOf(const Replace& r) {
  for (const ParameterFile& p : kParameterFiles) {
    if (p.file == r.file)
      return r.second ? p.second_line : p.first_line;
  }
  return "1";
}

enum class Writing {
  Panel,  // the panel's own writers
  Naive,  // create-or-truncate, then write, in place
};

struct ConcurrencyCase {
  const char* name;
  Writing writer;
  const wchar_t* reader_sharing;  // rw or rwd, see exchange_reader
  int replaces;                   // QM_RELIABILITY_REPLACES overrides it
};

void PrintTo(const ConcurrencyCase& c, std::ostream* out) {
  *out << c.name;
}

// What the writing side met in one or more rounds.
struct WriterTally {
  long long replaces = 0, gave_up = 0, other_failures = 0;
  std::string first_other;
};

int ReplaceCount(int planned) {
  const char* configured = std::getenv("QM_RELIABILITY_REPLACES");
  const int count = configured ? std::atoi(configured) : 0;
  return count > 0 ? count : planned;
}

class ConcurrencyTest : public testing::TestWithParam<ConcurrencyCase> {
 protected:
  void SetUp() override { panel.PointAt(data, Option::RealTime, Option::FiveDigit); }

  void SetBoxes(bool second) {
    for (const ParameterFile& p : kParameterFiles)
      panel.texts[p.box] = second ? p.second_box : p.first_box;
  }

  // The deliberately naive writer: the file is truncated first, then written, so for a moment it is empty.
  bool WriteInPlace(const Replace& r) const {
    const std::wstring path = folder + L"\\" + std::wstring(FileName(r.file));
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
      return false;
    const std::string bytes = LineOf(r) + "\r\n";
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

  // The writing of one round: every file in turn, each pass over them with the other value.
  void ReplaceMany(Writing writer, int replaces, WriterTally& w) {
    const std::vector<Writer> files = AllFiles();
    for (int i = 0; i < replaces; ++i) {
      const size_t pass = 1 + static_cast<size_t>(i) / files.size();
      const Replace r{files[static_cast<size_t>(i) % files.size()], pass % 2 == 1};
      ++w.replaces;
      if (writer == Writing::Naive) {
        w.other_failures += WriteInPlace(r) ? 0 : 1;
        continue;
      }
      if (static_cast<size_t>(i) % files.size() == 0)
        SetBoxes(r.second);
      const Outcome outcome = WriteExchangeFile(panel, r.file);
      if (outcome == Outcome(RuntimeFailure(err::kPermissionDenied))) {
        ++w.gave_up;
      } else if (outcome) {
        ++w.other_failures;
        if (w.first_other.empty())
          w.first_other = testing::PrintToString(StatusReport(outcome));
      }
    }
  }

  // The reader's arguments: each distinct file once, with its two lines.
  std::vector<std::wstring> ReaderFiles() const {
    std::vector<std::wstring> args;
    std::set<std::wstring> seen;
    for (const Writer file : AllFiles()) {
      const std::wstring name(FileName(file));
      if (!seen.insert(name).second)
        continue;
      const std::string first = LineOf({file, false});
      const std::string second = LineOf({file, true});
      args.insert(args.end(), {name, std::wstring(first.begin(), first.end()),
                               std::wstring(second.begin(), second.end())});
    }
    return args;
  }

  TempFolder temp;
  test::DataFolder data{temp / L"MT4"};
  FakePanel panel;
  std::wstring folder = data.RealTime();
};

// Rounds of `replaces` replaces by `writer` while a reader process reads the files with `sharing`, repeated
// (a bounded number of times) until the reads have interleaved with the replaces: how they interleave is
// the scheduler's choice, and on a loaded machine one round may see one value only, or never catch the naive
// writer between its truncate and its write. Every read of every round counts.
struct Rounds {
  ReaderTally reads;
  WriterTally writes;
  int count = 0;
};

TEST_P(ConcurrencyTest, ReaderProcessSeesOnlyWholeLines) {
  const ConcurrencyCase& c = GetParam();
  const std::vector<Writer> files = AllFiles();

  // Every file exists with its first value before the reader starts.
  SetBoxes(false);
  for (const Writer file : files)
    ASSERT_EQ(WriteExchangeFile(panel, file), std::nullopt);

  const auto run_rounds = [&](Writing writer, const wchar_t* sharing) {
    constexpr int kMaxRounds = 5;
    Rounds r;
    const auto interleaved = [&] {
      return r.reads.old_line > 0 && r.reads.new_line > 0 &&
             (writer == Writing::Panel || r.reads.empty + r.reads.partial > 0);
    };
    while (r.count < kMaxRounds && (r.count == 0 || !interleaved())) {
      ++r.count;
      test::NamedEvent ready(L"ready");
      test::NamedEvent stop(L"stop");
      const std::wstring result = temp / L"reader-result.txt";
      std::vector<std::wstring> args{folder, sharing, ready.name(), stop.name(), result};
      const std::vector<std::wstring> lines = ReaderFiles();
      args.insert(args.end(), lines.begin(), lines.end());
      test::PeerProcess reader(test::SiblingProgram(L"exchange_reader.exe"), args);
      EXPECT_TRUE(reader.WaitForSignal(ready, 60'000)) << "the reader did not start reading";
      ReplaceMany(writer, ReplaceCount(c.replaces), r.writes);
      stop.Set();
      EXPECT_EQ(reader.ExitCode(60'000), 0u) << "the reader failed";
      r.reads += ReaderTally::Parse(test::ReadBytes(result));
      ::DeleteFileW(result.c_str());
    }
    return r;
  };
  const Rounds rounds = run_rounds(c.writer, c.reader_sharing);
  const ReaderTally& t = rounds.reads;
  const WriterTally& w = rounds.writes;

  const std::string label = std::string("concurrency, ") + c.name + ": ";
  test::ReportInfoFigure(label + "replaces", w.replaces, "in " + std::to_string(rounds.count) + " round(s)");
  // Both values seen means the reads really interleaved with the replaces.
  EXPECT_TRUE(test::ReportFigure(label + "reads", t.reads, "both values seen",
                                 t.reads > 0 && t.old_line > 0 && t.new_line > 0))
      << "old " << t.old_line << ", new " << t.new_line;
  const long long torn = t.empty + t.partial;
  if (c.writer == Writing::Naive) {
    EXPECT_TRUE(
        test::ReportFigure(label + "torn or empty reads (shows the reader can tell)", torn, "> 0", torn > 0));
    EXPECT_EQ(w.other_failures, 0);
    // The panel's writers in its place, with the same reader in the same folder: where a truncate-and-write
    // tears, theirs must not.
    const Rounds in_place = run_rounds(Writing::Panel, c.reader_sharing);
    const long long panel_torn = in_place.reads.empty + in_place.reads.partial;
    EXPECT_GT(in_place.reads.old_line + in_place.reads.new_line, 0);
    EXPECT_TRUE(test::ReportFigure(label + "torn or empty reads from the panel's writers in its place",
                                   panel_torn, "0", panel_torn == 0))
        << "e.g. " << in_place.reads.sample;
    return;
  }
  EXPECT_TRUE(test::ReportFigure(label + "torn or empty reads", torn, "0", torn == 0)) << "e.g. " << t.sample;
  EXPECT_TRUE(test::ReportFigure(label + "reads that found no file", t.missing, "0", t.missing == 0));
  // The rename that replaces a file opens it for deletion for a moment. A reader that shares deletion never
  // meets that; one that does not has its open refused (sharing violation) and reads again: no data, never
  // wrong data. The same holds on Windows.
  if (std::wstring(c.reader_sharing) == L"rwd") {
    EXPECT_TRUE(test::ReportFigure(label + "reads refused", t.refused, "0", t.refused == 0))
        << "last error " << t.refused_error;
  } else {
    test::ReportInfoFigure(label + "reads refused for a moment (sharing violation, read again)", t.refused,
                           "- (no data, never wrong data)");
    EXPECT_TRUE(t.refused == 0 || t.refused_error == ERROR_SHARING_VIOLATION) << t.refused_error;
  }
  // A replace waits while the reader holds the file; with reads this short it always finds a gap.
  EXPECT_TRUE(test::ReportFigure(label + "writes that gave up (70 : Permission denied)", w.gave_up, "0",
                                 w.gave_up == 0));
  EXPECT_EQ(w.other_failures, 0) << w.first_other;
  // No temporary file is left behind by any replace, given up or not.
  std::vector<std::wstring> names;
  for (const Writer file : files)
    names.emplace_back(FileName(file));
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  EXPECT_EQ(temp.ListFiles(L"MT4\\MQL4\\files"), names);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, ConcurrencyTest,
    testing::Values(
        ConcurrencyCase{"panel writers, reader sharing read and write", Writing::Panel, L"rw", 20000},
        ConcurrencyCase{"panel writers, reader sharing read, write and delete", Writing::Panel, L"rwd", 5000},
        // A control: enough replaces a round to catch the naive writer between its truncate and its write.
        ConcurrencyCase{"truncate-and-write writer, reader sharing read and write", Writing::Naive, L"rw",
                        2000}),
    [](const auto& info) {
      return std::string(info.param.writer == Writing::Naive ? "TruncateAndWrite" : "PanelWriters") +
             (std::wstring(info.param.reader_sharing) == L"rwd" ? "_ShareDelete" : "_ShareReadWrite");
    });

}  // namespace
}  // namespace qm
