// File-system faults met by the panel's writers: each one must be reported on the status line with the
// classic failure, leave every exchange file byte-for-byte as it was and leave no temporary file behind, and
// the next write after the fault is gone must succeed.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bridge/writers.h"
#include "platform/unique_handle.h"
#include "support/data_folder.h"
#include "support/exchange_files.h"
#include "support/fake_panel.h"
#include "support/figures.h"
#include "support/file_tree.h"
#include "support/temp_folder.h"
#include "support/text.h"
#include "support/window_driver.h"

namespace qm {
namespace {

using test::FakePanel;
using test::Narrow;
using test::ReadBytes;
using test::TempFolder;
using test::WalkTree;

constexpr wchar_t kExpertAdvisorTail[] = L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4";

// Every file below `folder` (relative path -> bytes), to compare a whole tree before and after a fault.
std::map<std::wstring, std::string> Snapshot(const std::wstring& folder) {
  std::map<std::wstring, std::string> out;
  WalkTree(folder, [&](const std::wstring& relative, bool is_folder) {
    if (is_folder) {
      out[relative + L"\\"] = "<folder>";
    } else {
      out[relative] = ReadBytes(folder + L"\\" + relative);
    }
  });
  return out;
}

// A terminal data folder whose exchange folders already hold a file from every writer.
class FileFaultTest : public testing::Test {
 protected:
  void SetUp() override {
    good_path = data.ExpertAdvisor();
    panel.texts[Field::FileLocation] = good_path;
    panel.Select(Option::FiveDigit);
    for (Option account : {Option::RealTime, Option::BackTest}) {
      panel.Select(account);
      for (const test::ExchangeFileCase& c : test::kEveryExchangeFile)
        ASSERT_EQ(WriteExchangeFile(panel, c.file), std::nullopt);
    }
    panel.Select(Option::RealTime);
    // New values, so that a write that got through would show.
    panel.texts[Field::Pair] = L"EURJPY";
    panel.texts[Field::StopLoss] = L"12.5";
    before = Snapshot(temp.path());
  }

  TempFolder temp;
  test::DataFolder data{temp / L"MT4"};
  FakePanel panel;
  std::wstring real_time = data.RealTime();
  std::wstring good_path;
  std::map<std::wstring, std::string> before;
};

// Faults that lie in the path the user typed: every writer, both account types, must refuse.
struct PathFault {
  const char* name;
  std::function<std::wstring(const std::wstring& root)> expert_advisor_path;
  const wchar_t* status;
};

std::wstring DeepMissingPath(const std::wstring& root) {
  std::wstring path = root;
  while (path.size() <= 32767)
    path += L"\\Folder";
  return path + kExpertAdvisorTail;
}

std::wstring WithCharacter(const std::wstring& root, wchar_t c) {
  return root + L"\\M" + std::wstring(1, c) + L"4" + kExpertAdvisorTail;
}

const PathFault kPathFaults[] = {
    {"missing exchange folder", [](const std::wstring& r) { return r + L"\\Gone" + kExpertAdvisorTail; },
     L"76 : Path not found"},
    // Characters Windows forbids in a name (a colon is left out: after the drive it names a stream on NTFS).
    {"forbidden character <", [](const std::wstring& r) { return WithCharacter(r, L'<'); },
     L"52 : Bad file name or number"},
    {"forbidden character >", [](const std::wstring& r) { return WithCharacter(r, L'>'); },
     L"52 : Bad file name or number"},
    {"forbidden character \"", [](const std::wstring& r) { return WithCharacter(r, L'"'); },
     L"52 : Bad file name or number"},
    {"forbidden character vertical bar", [](const std::wstring& r) { return WithCharacter(r, L'|'); },
     L"52 : Bad file name or number"},
    {"forbidden character ?", [](const std::wstring& r) { return WithCharacter(r, L'?'); },
     L"52 : Bad file name or number"},
    {"forbidden character *", [](const std::wstring& r) { return WithCharacter(r, L'*'); },
     L"52 : Bad file name or number"},
    {"forbidden control character U+0001", [](const std::wstring& r) { return WithCharacter(r, L'\x01'); },
     L"52 : Bad file name or number"},
    {"forbidden control character U+001F", [](const std::wstring& r) { return WithCharacter(r, L'\x1f'); },
     L"52 : Bad file name or number"},
    // No folder can have a name longer than 255 characters, nor a path more than 32,767: Wine, like Windows
    // for a path past its limit, answers that the path is not there.
    {"folder name longer than 255 characters",
     [](const std::wstring& r) { return r + L"\\" + std::wstring(256, L'x') + kExpertAdvisorTail; },
     L"76 : Path not found"},
    {"path longer than 32,767 characters", DeepMissingPath, L"76 : Path not found"},
};

void PrintTo(const PathFault& fault, std::ostream* out) {
  *out << fault.name;
}

class PathFaultTest : public FileFaultTest, public testing::WithParamInterface<PathFault> {};

TEST_P(PathFaultTest, EveryWriterReportsItAndTouchesNothing) {
  const PathFault& fault = GetParam();
  panel.texts[Field::FileLocation] = fault.expert_advisor_path(temp.path());
  std::set<std::wstring> statuses;
  for (Option account : {Option::RealTime, Option::BackTest}) {
    panel.Select(account);
    for (const test::ExchangeFileCase& c : test::kEveryExchangeFile)
      statuses.insert(StatusReport(WriteExchangeFile(panel, c.file)));
  }
  const bool intact = Snapshot(temp.path()) == before;
  std::string seen;
  for (const std::wstring& status : statuses)
    seen += (seen.empty() ? "" : " / ") + Narrow(status);
  EXPECT_TRUE(test::ReportFigure(
      std::string("file-system fault: ") + fault.name, seen + (intact ? "; files intact" : "; FILES CHANGED"),
      Narrow(fault.status) + "; files intact", statuses == std::set<std::wstring>{fault.status} && intact));

  // With the path mended, the same writers write again.
  panel.texts[Field::FileLocation] = good_path;
  panel.Select(Option::RealTime);
  EXPECT_EQ(WriteExchangeFile(panel, Writer::WritePair), std::nullopt);
  EXPECT_EQ(ReadBytes(real_time + L"\\mypair.txt"), "EURJPY\r\n");
}

INSTANTIATE_TEST_SUITE_P(Paths, PathFaultTest, testing::ValuesIn(kPathFaults), [](const auto& info) {
  return test::TestNameOf(info.param.name) + "_" + std::to_string(info.index);
});

// Faults on the target file itself, for a parameter file and a command file.
enum class Hold { ReadOnly, OpenElsewhereWithoutSharing, OpenHereWithoutSharing };

struct TargetFault {
  const char* name;
  Hold hold;
  Writer file;
  const char* new_bytes;  // what the write gives once the fault is gone
  const wchar_t* status;
};

const TargetFault kTargetFaults[] = {
    {"read-only parameter file", Hold::ReadOnly, Writer::WriteStopLoss, "125\r\n",
     L"75 : Path/File access error"},
    {"read-only command file", Hold::ReadOnly, Writer::SendBuy, "1\r\n", L"75 : Path/File access error"},
    {"parameter file held open without sharing by another process", Hold::OpenElsewhereWithoutSharing,
     Writer::WritePair, "EURJPY\r\n", L"70 : Permission denied"},
    {"command file held open without sharing by another process", Hold::OpenElsewhereWithoutSharing,
     Writer::SendSell, "1\r\n", L"70 : Permission denied"},
    {"parameter file held open without sharing by this process", Hold::OpenHereWithoutSharing,
     Writer::WritePair, "EURJPY\r\n", L"70 : Permission denied"},
};

void PrintTo(const TargetFault& fault, std::ostream* out) {
  *out << fault.name;
}

class TargetFaultTest : public FileFaultTest, public testing::WithParamInterface<TargetFault> {};

TEST_P(TargetFaultTest, ReportsItKeepsTheFileAndRecovers) {
  const TargetFault& fault = GetParam();
  const std::wstring target = real_time + L"\\" + std::wstring(FileName(fault.file));
  std::wstring status;
  if (fault.hold == Hold::ReadOnly) {
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    before = Snapshot(temp.path());
    status = StatusReport(WriteExchangeFile(panel, fault.file));
    EXPECT_NE(::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "still read-only";
  } else if (fault.hold == Hold::OpenHereWithoutSharing) {
    UniqueHandle held(::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    status = StatusReport(WriteExchangeFile(panel, fault.file));
  } else {
    test::NamedEvent held(L"held");
    test::NamedEvent release(L"release");
    test::PeerProcess holder(test::SiblingProgram(L"file_holder.exe"), {target, held.name(), release.name()});
    ASSERT_TRUE(holder.WaitForSignal(held, 60'000)) << "the holder could not open " << Narrow(target);
    status = StatusReport(WriteExchangeFile(panel, fault.file));
    release.Set();
    ASSERT_EQ(holder.ExitCode(60'000), 0u);
  }
  const bool intact = Snapshot(temp.path()) == before;
  EXPECT_TRUE(test::ReportFigure(std::string("file-system fault: ") + fault.name,
                                 Narrow(status) + (intact ? "; files intact" : "; FILES CHANGED"),
                                 Narrow(fault.status) + "; files intact", status == fault.status && intact));

  ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(WriteExchangeFile(panel, fault.file), std::nullopt);
  EXPECT_EQ(ReadBytes(target), fault.new_bytes);
}

INSTANTIATE_TEST_SUITE_P(Targets, TargetFaultTest, testing::ValuesIn(kTargetFaults), [](const auto& info) {
  const Hold hold = info.param.hold;
  return std::string(hold == Hold::ReadOnly                      ? "ReadOnly_"
                     : hold == Hold::OpenElsewhereWithoutSharing ? "HeldElsewhere_"
                                                                 : "HeldHere_") +
         std::to_string(info.index);
});

// A full disk: a small volume mapped as a drive letter by the test fixture (QM_SMALL_VOLUME, "Q:"). The old
// file is written, the volume is then filled to the last byte, and the next write must not fit.
class DiskFullTest : public testing::Test {
 protected:
  static constexpr char kFigure[] = "file-system fault: full disk";
  static constexpr char kGoal[] = "61 : Disk full; files intact";

  void TearDown() override {
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
      ::SetFileAttributesW(it->c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!::DeleteFileW(it->c_str()))
        ::RemoveDirectoryW(it->c_str());
    }
  }

  std::wstring Folder(const std::wstring& path) {
    ::CreateDirectoryW(path.c_str(), nullptr);
    created.push_back(path);
    return path;
  }

  // Fills the volume: large blocks first, then single bytes, until the file system says it is full.
  DWORD Fill(const std::wstring& path) {
    created.push_back(path);
    UniqueHandle filler(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!filler)
      return ::GetLastError();
    const std::string block(4096, 'f');
    for (const DWORD size : {4096u, 1u}) {
      DWORD written = 0;
      while (::WriteFile(filler.get(), block.data(), size, &written, nullptr) && written == size) {
      }
    }
    return ::GetLastError();
  }

  std::vector<std::wstring> created;
};

TEST_F(DiskFullTest, ReportsDiskFullAndKeepsTheFile) {
  const char* drive = std::getenv("QM_SMALL_VOLUME");
  const std::wstring root = drive ? std::wstring(drive, drive + std::strlen(drive)) + L"\\" : L"";
  ULARGE_INTEGER total{};
  if (root.empty() || !::GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr) ||
      total.QuadPart > (1u << 20)) {
    test::ReportSkippedFigure(kFigure, "no small volume here (mounting a tmpfs was not permitted)", kGoal);
    GTEST_SKIP() << "no small volume at " << (drive ? drive : "(QM_SMALL_VOLUME unset)")
                 << ": mounting a tmpfs was not permitted on this machine";
  }

  const std::wstring base = Folder(root + L"qm" + std::to_wstring(::GetCurrentProcessId()));
  const std::wstring files = Folder(Folder(Folder(base + L"\\MT4") + L"\\MQL4") + L"\\files");
  created.push_back(files + L"\\mypair.txt");
  FakePanel panel;
  panel.texts[Field::FileLocation] = base + L"\\MT4" + kExpertAdvisorTail;
  panel.Select(Option::RealTime);
  panel.Select(Option::FourDigit);
  ASSERT_EQ(WriteExchangeFile(panel, Writer::WritePair), std::nullopt);
  const std::string old = ReadBytes(files + L"\\mypair.txt");
  ASSERT_EQ(old, "GBPUSD\r\n");

  ASSERT_EQ(Fill(base + L"\\filler.bin"), static_cast<DWORD>(ERROR_DISK_FULL));
  panel.texts[Field::Pair] = L"EURJPY";
  const std::wstring status = StatusReport(WriteExchangeFile(panel, Writer::WritePair));
  // The old line, and nothing else in the folder: no temporary file left by the refused write.
  const bool intact = Snapshot(files) == std::map<std::wstring, std::string>{{L"mypair.txt", old}};
  EXPECT_TRUE(test::ReportFigure(kFigure, Narrow(status) + (intact ? "; files intact" : "; FILES CHANGED"),
                                 kGoal, status == L"61 : Disk full" && intact));

  // Room again: the write goes through.
  ASSERT_TRUE(::DeleteFileW((base + L"\\filler.bin").c_str()));
  EXPECT_EQ(WriteExchangeFile(panel, Writer::WritePair), std::nullopt);
  EXPECT_EQ(ReadBytes(files + L"\\mypair.txt"), "EURJPY\r\n");
}

}  // namespace
}  // namespace qm
