#pragma once
// A program's footprint read from outside: private memory, handles, GDI and USER objects. Each reading
// prefers the system's own counter and falls back where Wine answers 0 for another process (see
// support/process_footprint.h); -1 where neither says anything.

#include <windows.h>

#include <string>

namespace qm::bench {

struct Footprint {
  double private_kb = -1;
  long long handles = -1;
  long long gdi = -1;
  long long user = -1;
};

Footprint ReadFootprint(HANDLE process);

// The footprint once the program has settled: a refresh still running on the panel's vendor worker holds
// its connection's handles, which would count as growth. Read until two reads 250 ms apart agree, 5 s at
// most.
Footprint SettledFootprint(HANDLE process);

// <prefix>_private_kb=, _handles=, _gdi= and _user=.
void PrintFootprint(const std::string& prefix, const Footprint& footprint);

}  // namespace qm::bench
