#pragma once
// Another process's footprint, read from outside. Wine answers PrivateUsage, GetProcessHandleCount and
// GetGuiResources for another process with 0, so the counts come from the system's lists and the private
// memory from the process's address space. The process list's handle count and the handle table's entries
// differ under Wine (64 and 39 for a panel just started); each figure keeps the one it has been measured
// with.

#include <windows.h>

namespace qm::test {

// Committed private memory in KiB, summed region by region, as Windows counts PrivateUsage.
long long PrivateKib(HANDLE process);

// The process's thread and handle counts in the system's process list; -1 each when it is not listed.
struct ListedCounts {
  long long threads = -1;
  long long handles = -1;
};
ListedCounts ListedCountsOf(DWORD process_id);

// The process's entries in the system's handle table; -1 when the table cannot be read.
long long HandleTableEntriesOf(DWORD process_id);

}  // namespace qm::test
