#include "bridge/terminal_program.h"

#include "platform/ansi.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace qm {
namespace {

constexpr std::wstring_view kTerminalProgramName = L"terminal.exe";
constexpr std::wstring_view kOriginFileName = L"origin.txt";
// Blanks and quotes around the path: a hand-edited origin.txt may carry either.
constexpr std::wstring_view kAroundPath = L" \t\"";

std::wstring InFolder(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (path.empty() || path.back() != L'\\')
    path += L'\\';
  path += name;
  return path;
}

std::optional<std::wstring> DecodeOrigin(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) {
    bytes.remove_prefix(2);
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return text;
  }
  if (bytes.starts_with("\xEF\xBB\xBF"))
    return FromUtf8(bytes.substr(3));
  if (std::optional<std::wstring> text = FromUtf8(bytes))
    return text;
  return FromAnsi(bytes);
}

bool IsAbsolute(std::wstring_view path) {
  const bool drive = path.size() >= 3 &&
                     ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                     path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  const bool network = path.starts_with(L"\\\\") || path.starts_with(L"//");
  return drive || network;
}

// The installation folder that the data folder's origin.txt names, when it names an existing one.
std::optional<std::wstring> InstallationFolder(std::wstring_view data_folder) {
  const std::optional<std::string> bytes =
      ReadSmallFile(InFolder(data_folder, kOriginFileName), kOriginFileLimit);
  if (!bytes)
    return std::nullopt;
  const std::optional<std::wstring> text = DecodeOrigin(*bytes);
  if (!text)
    return std::nullopt;
  std::wstring_view line(*text);
  line = line.substr(0, line.find_first_of(L"\r\n"));
  const size_t first = line.find_first_not_of(kAroundPath);
  if (first == std::wstring_view::npos)
    return std::nullopt;
  line = line.substr(first, line.find_last_not_of(kAroundPath) - first + 1);
  // A control character (a NUL above all) would end the path early for the system and name another folder.
  for (wchar_t c : line) {
    if (c < L' ')
      return std::nullopt;
  }
  if (!IsAbsolute(line))
    return std::nullopt;
  std::wstring folder(line);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
    folder.pop_back();
  if (!IsFolder(folder))
    return std::nullopt;
  return folder;
}

}  // namespace

std::optional<TerminalProgram> FindTerminalProgram(std::wstring_view data_folder) {
  std::wstring program = InFolder(data_folder, kTerminalProgramName);
  if (IsOrdinaryFile(program))
    return TerminalProgram{std::move(program), {}};
  const std::optional<std::wstring> installation = InstallationFolder(data_folder);
  if (!installation)
    return std::nullopt;
  program = InFolder(*installation, kTerminalProgramName);
  if (!IsOrdinaryFile(program))
    return std::nullopt;
  return TerminalProgram{std::move(program), *installation};
}

Outcome StartTerminal(const TerminalProgram& program) {
  return StartProgram(program.path, L"", WindowMode::NormalWithoutFocus, program.working_folder);
}

}  // namespace qm
