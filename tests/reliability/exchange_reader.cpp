// A stand-in for the terminal side: reads the exchange files of one folder as fast as it can, each read a
// whole open-read-close as an Expert Advisor does, and classifies what it saw.
//
//   exchange_reader <folder> <rw|rwd> <ready-event> <stop-event> <result-file> {<file> <line> <line>}...
//
// rw shares read and write access with other openers, as a terminal that reads a file while something else
// may write it; rwd also shares deletion, which lets a rename replace the file while it is open. The two
// lines of each file are the values the writer alternates between, without their CR LF. The reader sets the
// ready event after its first round, reads until the stop event is set, and writes its tally's line
// (reader_tally.h).

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "reliability/reader_tally.h"
#include "support/text.h"

namespace {

struct ExchangeFileLines {
  std::wstring path;
  std::string first;
  std::string second;
};

using qm::test::Narrow;
using qm::test::ReaderTally;

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (const unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out.empty() ? "(empty)" : out;
}

void ReadOnce(const ExchangeFileLines& file, DWORD share, ReaderTally& tally) {
  ++tally.reads;
  qm::UniqueHandle handle(::CreateFileW(file.path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      ++tally.missing;
    } else {
      ++tally.refused;
      tally.refused_error = error;
    }
    return;
  }
  std::string bytes;
  char buffer[512];
  DWORD got = 0;
  while (::ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  handle.reset();

  if (bytes == file.first) {
    ++tally.old_line;
  } else if (bytes == file.second) {
    ++tally.new_line;
  } else {
    ++(bytes.empty() ? tally.empty : tally.partial);
    if (tally.sample.empty())
      tally.sample = Escaped(bytes);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 9 || (argc - 6) % 3 != 0)
    return 2;
  const std::wstring folder = argv[1];
  const std::wstring mode = argv[2];
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (mode == L"rwd" ? FILE_SHARE_DELETE : 0);
  qm::UniqueHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]));
  qm::UniqueHandle stop(::OpenEventW(SYNCHRONIZE, FALSE, argv[4]));
  const std::wstring result_path = argv[5];
  if (!ready || !stop)
    return 2;

  std::vector<ExchangeFileLines> files;
  for (int i = 6; i + 2 < argc; i += 3) {
    files.push_back({folder + L"\\" + argv[i], Narrow(argv[i + 1]) + "\r\n", Narrow(argv[i + 2]) + "\r\n"});
  }

  ReaderTally tally;
  bool signalled = false;
  // The guard only ends a reader whose test died without stopping it.
  const ULONGLONG give_up = ::GetTickCount64() + 10 * 60 * 1000;
  while (::WaitForSingleObject(stop.get(), 0) == WAIT_TIMEOUT && ::GetTickCount64() < give_up) {
    for (const ExchangeFileLines& file : files)
      ReadOnce(file, share, tally);
    if (!signalled) {
      ::SetEvent(ready.get());
      signalled = true;
    }
  }

  qm::UniqueHandle out(::CreateFileW(result_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out)
    return 3;
  const std::string line = tally.Line();
  DWORD written = 0;
  return ::WriteFile(out.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ? 0 : 3;
}
