#include "support/process_footprint.h"

#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qm::test {
namespace {

// One of the system's lists (NtQuerySystemInformation), grown until it fits; empty when it cannot be read.
std::vector<unsigned char> SystemList(ULONG kind) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<unsigned char> list(1 << 20);
  for (int attempt = 0; query != nullptr && attempt < 8; ++attempt) {
    ULONG needed = 0;
    if (query(kind, list.data(), static_cast<ULONG>(list.size()), &needed) == 0)
      return list;
    list.resize(std::max<size_t>(list.size() * 2, needed + 65536));
  }
  return {};
}

}  // namespace

long long PrivateKib(HANDLE process) {
  unsigned long long bytes = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* at = static_cast<const char*>(nullptr);
       ::VirtualQueryEx(process, at, &region, sizeof region) == sizeof region && region.RegionSize > 0;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
    bytes += region.State == MEM_COMMIT && region.Type == MEM_PRIVATE ? region.RegionSize : 0;
  return static_cast<long long>(bytes / 1024);
}

ListedCounts ListedCountsOf(DWORD process_id) {
  const std::vector<unsigned char> list = SystemList(SystemProcessInformation);
  for (size_t offset = 0; !list.empty();) {
    const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == process_id)
      return {entry->NumberOfThreads, entry->HandleCount};
    if (entry->NextEntryOffset == 0)
      break;
    offset += entry->NextEntryOffset;
  }
  return {};
}

long long HandleTableEntriesOf(DWORD process_id) {
  struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO_EX
    PVOID object;
    ULONG_PTR process_id;
    ULONG_PTR handle;
    ULONG access;
    USHORT creator_back_trace;
    USHORT object_type;
    ULONG attributes;
    ULONG reserved;
  };
  constexpr ULONG kExtendedHandleInformation = 64;
  const std::vector<unsigned char> table = SystemList(kExtendedHandleInformation);
  if (table.empty())
    return -1;
  ULONG_PTR count = 0;
  std::memcpy(&count, table.data(), sizeof count);
  const auto* entries = reinterpret_cast<const Entry*>(table.data() + 2 * sizeof(ULONG_PTR));
  return std::count_if(entries, entries + count, [&](const Entry& e) { return e.process_id == process_id; });
}

}  // namespace qm::test
