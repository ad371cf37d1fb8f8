#pragma once
// Wall-clock readings and the median of a run, shared by the benchmark's programs. Every figure the
// programs print is one "name=value" line on standard output; scripts/benchmark.sh collects them.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace qm::bench {

// Milliseconds since an arbitrary origin, from the performance counter.
inline double NowMs() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER now{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The median; NaN for no samples, so that a run that measured nothing cannot pass for a fast one.
inline double Median(std::vector<double> samples) {
  if (samples.empty())
    return std::nan("");
  std::sort(samples.begin(), samples.end());
  const size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

inline void PrintFigure(const char* name, double value) {
  std::printf("%s=%.3f\n", name, value);
  std::fflush(stdout);
}

inline void PrintCount(const char* name, long long value) {
  std::printf("%s=%lld\n", name, value);
  std::fflush(stdout);
}

}  // namespace qm::bench
