#pragma once
// Finding and starting the system's System Information program from the About dialog. The registry, the
// file test, the process start and the message box come in as services, so the look-up order and the
// messages can be driven without a window.

#include <functional>
#include <string>
#include <string_view>

#include "platform/failure.h"
#include "platform/registry.h"

namespace qm {

inline constexpr std::wstring_view kSysInfoUnavailable = L"System Information Is Unavailable At This Time";

// Where the program is looked for: a full path first, then the folder of the shared tools.
inline constexpr std::wstring_view kSysInfoPathKey = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::wstring_view kSysInfoPathValue = L"PATH";
inline constexpr std::wstring_view kSharedToolsKey = L"SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::wstring_view kSharedToolsValue = L"MSINFO";
inline constexpr std::wstring_view kSysInfoProgramName = L"\\MSINFO32.EXE";

struct SysInfoServices {
  // GetKeyValue's contract: reads one value as text, false when it cannot be read.
  std::function<bool(RegistryRoot, const std::wstring&, const std::wstring&, std::wstring&)> get_key_value;
  // True for an existing file that is neither a folder nor hidden nor a system file.
  std::function<bool(const std::wstring&)> is_ordinary_file;
  // Starts the program in a normal window with the focus, without waiting.
  std::function<Outcome(const std::wstring&)> start_program;
  // A modal message box with an OK button only, no icon, and the application title as caption.
  std::function<void(const std::wstring&)> show_message;
};

// The message shown when a program that was found could not be started.
std::wstring SysInfoStartFailedMessage(const Failure& failure);

// Starts the program named by the "PATH" value as it stands; failing that, MSINFO32.EXE in the folder named
// by "MSINFO" if it is an ordinary file there; otherwise tells the user it is unavailable. A start that
// fails is told to the user too, and nothing is retried.
void StartSysInfo(const SysInfoServices& services);

}  // namespace qm
