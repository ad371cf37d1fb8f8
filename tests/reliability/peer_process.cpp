#include "reliability/peer_process.h"

#include <stdexcept>

namespace qm::test {

NamedEvent::NamedEvent(const std::wstring& purpose) {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  name_ = L"qm-reliability-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + purpose + L"-" +
          std::to_wstring(now.QuadPart);
  event_.reset(::CreateEventW(nullptr, TRUE, FALSE, name_.c_str()));
  if (!event_)
    throw std::runtime_error("CreateEventW failed");
}

std::wstring QuoteArgument(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only before a quote: double them there, keep them elsewhere.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::wstring SiblingProgram(const std::wstring& file_name) {
  std::wstring self(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  self.resize(length);
  return self.substr(0, self.find_last_of(L'\\') + 1) + file_name;
}

PeerProcess::PeerProcess(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring command_line = QuoteArgument(program);
  for (const std::wstring& argument : arguments)
    command_line += L" " + QuoteArgument(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
    throw std::runtime_error("cannot start a helper program");
  }
  UniqueHandle thread(started.hThread);
  process_.reset(started.hProcess);
}

PeerProcess::~PeerProcess() {
  if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), INFINITE);
  }
}

bool PeerProcess::WaitForSignal(const NamedEvent& event, DWORD guard_ms) const {
  const HANDLE either[] = {event.get(), process_.get()};
  return ::WaitForMultipleObjects(2, either, FALSE, guard_ms) == WAIT_OBJECT_0;
}

DWORD PeerProcess::WaitForExit(DWORD guard_ms) const {
  if (::WaitForSingleObject(process_.get(), guard_ms) != WAIT_OBJECT_0)
    return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

}  // namespace qm::test
