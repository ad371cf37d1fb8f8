#include "ui/about/sys_info.h"

namespace qm {

std::wstring SysInfoStartFailedMessage(const Failure& failure) {
  return L"System Information could not be started.\n\n" + StatusReport(failure);
}

void StartSysInfo(const SysInfoServices& services) {
  std::wstring program;
  if (!services.get_key_value(RegistryRoot::LocalMachine, std::wstring(kSysInfoPathKey),
                              std::wstring(kSysInfoPathValue), program)) {
    std::wstring folder;
    if (!services.get_key_value(RegistryRoot::LocalMachine, std::wstring(kSharedToolsKey),
                                std::wstring(kSharedToolsValue), folder)) {
      services.show_message(std::wstring(kSysInfoUnavailable));
      return;
    }
    program = folder + std::wstring(kSysInfoProgramName);
    // A NUL inside the text would make the file test look at a shorter path than the one started.
    if (program.find(L'\0') != std::wstring::npos || !services.is_ordinary_file(program)) {
      services.show_message(std::wstring(kSysInfoUnavailable));
      return;
    }
  }
  if (Outcome failure = services.start_program(program))
    services.show_message(SysInfoStartFailedMessage(*failure));
}

}  // namespace qm
