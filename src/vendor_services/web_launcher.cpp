#include "vendor_services/web_launcher.h"

#include "platform/process.h"

namespace qm {

Outcome VisitSite(std::wstring_view site_address, const ProgramStarter& start) {
  const std::wstring site(site_address);
  for (std::wstring_view program : {kShellProgram, kFirefoxProgram}) {
    if (Outcome failure = start(program, site))
      return failure;
  }
  return std::nullopt;
}

Outcome VisitSite(std::wstring_view site_address) {
  return VisitSite(site_address, [](std::wstring_view program, std::wstring_view arguments) {
    return StartProgram(program, arguments, WindowMode::NormalWithFocus);
  });
}

}  // namespace qm
