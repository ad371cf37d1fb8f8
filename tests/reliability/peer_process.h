#pragma once
// The terminal side as another process: small helper programs built next to the test programs, started
// with CreateProcessW and synchronised through named events, as a terminal reading the exchange folder
// would be a process of its own.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace qm::test {

// A manual-reset event with a name unique to this process and `purpose`, for handing to a helper.
class NamedEvent {
 public:
  explicit NamedEvent(const std::wstring& purpose);
  const std::wstring& name() const { return name_; }
  HANDLE get() const { return event_.get(); }
  void Set() const { ::SetEvent(event_.get()); }

 private:
  std::wstring name_;
  UniqueHandle event_;
};

// One argument quoted so that the C runtime's command-line parser gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument);

// The path of a program built beside the running test program.
std::wstring SiblingProgram(const std::wstring& file_name);

class PeerProcess {
 public:
  // Starts `program` with `arguments`; throws when it cannot be started.
  PeerProcess(const std::wstring& program, const std::vector<std::wstring>& arguments);
  // A helper still running when its test ends (a failed assertion) is ended, so it never outlives the test.
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // Waits until `event` is set or the helper ends; true when the event was set. `guard_ms` only keeps a
  // broken helper from hanging the suite.
  bool WaitForSignal(const NamedEvent& event, DWORD guard_ms) const;
  // Waits for the helper to end and returns its exit code (STILL_ACTIVE when the guard ran out).
  DWORD WaitForExit(DWORD guard_ms) const;

 private:
  UniqueHandle process_;
};

}  // namespace qm::test
