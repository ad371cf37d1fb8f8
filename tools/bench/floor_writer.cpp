// The click floor: the seven files a BUY press puts in place, written with the panel's own atomic replace,
// back to back, with nothing else around them. Buy.txt is removed before each set, as the driver removes it
// before each press, so that both make it anew.
//
//   bench_floor_writer FOLDER SETS    prints floor_set_ms=<median time for one set of seven files>

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench_clock.h"
#include "platform/file_system.h"

namespace {

// What a BUY press with the panel's initial texts writes, in the order it writes them.
constexpr std::pair<std::wstring_view, std::string_view> kBuyFiles[] = {
    {L"mypair.txt", "EURUSD\r\n"},  {L"mymagicno.txt", "12345\r\n"}, {L"mystoploss.txt", "0\r\n"},
    {L"mytakeprofit.txt", "0\r\n"}, {L"mylotsize.txt", "0.1\r\n"},   {L"mycloseall.txt", "0\r\n"},
    {L"Buy.txt", "1\r\n"},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fwprintf(stderr, L"usage: bench_floor_writer FOLDER SETS\n");
    return 2;
  }
  std::wstring folder = argv[1];
  if (!folder.empty() && folder.back() != L'\\')
    folder += L'\\';
  const int sets = std::wcstol(argv[2], nullptr, 10);
  if (sets <= 0) {
    std::fwprintf(stderr, L"bench_floor_writer: SETS must be positive\n");
    return 2;
  }
  const std::wstring buy = folder + L"Buy.txt";
  std::vector<double> samples;
  for (int set = 0; set < sets; ++set) {
    ::DeleteFileW(buy.c_str());
    const double start = qm::bench::NowMs();
    for (const auto& [name, bytes] : kBuyFiles) {
      if (qm::Outcome failure = qm::ReplaceFileAtomically(folder + std::wstring(name), bytes)) {
        std::fwprintf(stderr, L"bench_floor_writer: %ls: %ls\n", std::wstring(name).c_str(),
                      qm::StatusReport(failure).c_str());
        return 1;
      }
    }
    samples.push_back(qm::bench::NowMs() - start);
  }
  qm::bench::PrintFigure("floor_set_ms", qm::bench::Median(samples));
  return 0;
}
