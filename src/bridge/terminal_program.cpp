#include "bridge/terminal_program.h"

#include "platform/file_system.h"
#include "platform/process.h"

namespace qm {
namespace {

constexpr std::wstring_view kTerminalProgramName = L"\\terminal.exe";

}  // namespace

std::optional<std::wstring> FindTerminalProgram(std::wstring_view data_folder) {
  std::wstring program(data_folder);
  program += kTerminalProgramName;
  if (!IsOrdinaryFile(program))
    return std::nullopt;
  return program;
}

Outcome StartTerminal(const std::wstring& program) {
  return StartProgram(program, L"", WindowMode::NormalWithoutFocus);
}

}  // namespace qm
