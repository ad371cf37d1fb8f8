#pragma once
// The benchmark driver's timed modes (see driver.cpp for their command lines). Each program is named for
// its figures; the floors, or the older tree, come first and the program measured last.

#include <string>
#include <vector>

#include "paired_rounds.h"

namespace qm::bench {

struct NamedProgram {
  std::string name;
  std::wstring path;
  std::wstring data_folder;  // for presses: the terminal data folder its Expert Advisor path points into
};

int Startup(const std::vector<NamedProgram>& programs, const RoundLimits& limits);
int Presses(const std::vector<NamedProgram>& programs, const RoundLimits& limits, int leak_presses);

}  // namespace qm::bench
