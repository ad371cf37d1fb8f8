#include "footprint.h"

#include <psapi.h>

#include "bench_clock.h"
#include "support/process_footprint.h"

namespace qm::bench {
namespace {

// The windows the process owns, top-level and children: the USER objects a panel could leak.
long long WindowsOf(DWORD process_id) {
  struct Count {
    DWORD id;
    long long windows;
  } count{process_id, 0};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* c = reinterpret_cast<Count*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == c->id) {
          ++c->windows;
          ::EnumChildWindows(
              window,
              [](HWND, LPARAM inner) -> BOOL {
                ++reinterpret_cast<Count*>(inner)->windows;
                return TRUE;
              },
              context);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

}  // namespace

Footprint ReadFootprint(HANDLE process) {
  Footprint footprint;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) &&
      memory.PrivateUsage > 0) {
    footprint.private_kb = static_cast<double>(memory.PrivateUsage) / 1024.0;
  } else {
    footprint.private_kb = static_cast<double>(test::PrivateKib(process));
  }
  DWORD handles = 0;
  if (::GetProcessHandleCount(process, &handles) && handles > 0) {
    footprint.handles = handles;
  } else {
    footprint.handles = test::HandleTableEntriesOf(::GetProcessId(process));
  }
  const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
  footprint.gdi = gdi > 0 ? static_cast<long long>(gdi) : -1;
  const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
  footprint.user = user > 0 ? static_cast<long long>(user) : WindowsOf(::GetProcessId(process));
  return footprint;
}

Footprint SettledFootprint(HANDLE process) {
  Footprint last = ReadFootprint(process);
  for (int i = 0; i < 20; ++i) {
    ::Sleep(250);
    const Footprint now = ReadFootprint(process);
    const bool same = now.handles == last.handles && now.gdi == last.gdi && now.user == last.user;
    last = now;
    if (same)
      break;
  }
  return last;
}

void PrintFootprint(const std::string& prefix, const Footprint& footprint) {
  PrintFigure((prefix + "_private_kb").c_str(), footprint.private_kb);
  PrintCount((prefix + "_handles").c_str(), footprint.handles);
  PrintCount((prefix + "_gdi").c_str(), footprint.gdi);
  PrintCount((prefix + "_user").c_str(), footprint.user);
}

}  // namespace qm::bench
