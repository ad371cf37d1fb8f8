#include "terminal/command_journal.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace qm::terminal {
namespace {

constexpr std::array<Command, 13> kCommands{{
    {L"Buy.txt", "BUY", CommandKind::MarketOrder},
    {L"Sell.txt", "SELL", CommandKind::MarketOrder},
    {L"Buystop.txt", "BUYSTOP", CommandKind::PendingOrder},
    {L"Sellstop.txt", "SELLSTOP", CommandKind::PendingOrder},
    {L"Buylimit.txt", "BUYLIMIT", CommandKind::PendingOrder},
    {L"Selllimit.txt", "SELLLIMIT", CommandKind::PendingOrder},
    {L"Closeall.txt", "CLOSEALL", CommandKind::CloseOrDelete},
    {L"Closebuy.txt", "CLOSEBUY", CommandKind::CloseOrDelete},
    {L"Closesell.txt", "CLOSESELL", CommandKind::CloseOrDelete},
    {L"Deletebuystop.txt", "DELETEBUYSTOP", CommandKind::CloseOrDelete},
    {L"Deletesellstop.txt", "DELETESELLSTOP", CommandKind::CloseOrDelete},
    {L"Deletebuylimit.txt", "DELETEBUYLIMIT", CommandKind::CloseOrDelete},
    {L"Deleteselllimit.txt", "DELETESELLLIMIT", CommandKind::CloseOrDelete},
}};

// Orders rely on every parameter file; a pending order also on the price the panel wrote just before it.
constexpr std::array<JournalField, 6> kOrderFields{{
    {"pair", "mypair.txt"},
    {"lots", "mylotsize.txt"},
    {"sl", "mystoploss.txt"},
    {"tp", "mytakeprofit.txt"},
    {"magic", "mymagicno.txt"},
    {"closeall", "mycloseall.txt"},
}};
constexpr JournalField kPriceField{"price", "myprice.txt"};
// Closes and deletes send only the pair and the magic number.
constexpr std::array<JournalField, 2> kCloseFields{{{"pair", "mypair.txt"}, {"magic", "mymagicno.txt"}}};

constexpr wchar_t FoldAscii(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

// Bytes that can stand in a field unquoted without being mistaken for a quote, an escape or a <marker>.
bool IsBare(std::string_view value) {
  if (value.empty())
    return false;
  return std::all_of(value.begin(), value.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c > 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '<';
  });
}

// Printable ASCII only: the journal is read under any code page and must never carry a line break.
std::string Quote(std::string_view value) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c >= 0x7f) {
          out += "\\x";
          out += kHex[c >> 4];
          out += kHex[c & 0xf];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

// `value` holds the first bytes of something `total` bytes long.
std::string Shown(std::string_view value, uint64_t total, bool bare_allowed) {
  if (total <= kShownValueBytes && value.size() == total) {
    return bare_allowed && IsBare(value) ? std::string(value) : Quote(value);
  }
  return Quote(value.substr(0, kShownValueBytes)) + "...(" + std::to_string(total) + " bytes)";
}

bool HoldsCommandOne(const FileState& file) {
  return file.kind == FileState::Kind::Read && file.size == 3 && file.bytes == "1\r\n";
}

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

const Command* FindCommand(std::wstring_view file_name) {
  for (const Command& command : kCommands) {
    if (EqualIgnoringCase(command.file_name, file_name))
      return &command;
  }
  return nullptr;
}

std::string_view FolderLabel(ExchangeFolder folder) {
  return folder == ExchangeFolder::Live ? "MQL4\\files" : "tester\\files";
}

std::vector<JournalField> FieldsOf(const Command& command) {
  if (command.kind == CommandKind::CloseOrDelete)
    return {kCloseFields.begin(), kCloseFields.end()};
  std::vector<JournalField> fields(kOrderFields.begin(), kOrderFields.end());
  if (command.kind == CommandKind::PendingOrder)
    fields.push_back(kPriceField);
  return fields;
}

std::string RenderValue(const FileState& file) {
  switch (file.kind) {
    case FileState::Kind::Missing:
      return "<missing>";
    case FileState::Kind::Unreadable:
      return "<unreadable>";
    case FileState::Kind::Read:
      break;
  }
  const std::string_view bytes = file.bytes;
  if (file.size == 0 && bytes.empty())
    return "<empty>";
  if (bytes.size() < file.size)
    return "<oversized:" + Shown(bytes, file.size, false) + ">";

  // Exactly one line: the value, then CR LF, with no other line break anywhere.
  if (bytes.size() >= 2 && bytes.ends_with("\r\n")) {
    const std::string_view value = bytes.substr(0, bytes.size() - 2);
    if (value.find_first_of("\r\n") == std::string_view::npos)
      return Shown(value, value.size(), true);
  }
  return "<malformed:" + Shown(bytes, bytes.size(), false) + ">";
}

std::string JournalLine(const Command& command, ExchangeFolder folder, const FileState& command_file,
                        const FolderFiles& files) {
  static const FileState kMissing{};
  std::string line(command.verb);
  for (const JournalField& field : FieldsOf(command)) {
    const auto found = files.find(field.file_name);
    line += ' ';
    line += field.key;
    line += '=';
    line += RenderValue(found == files.end() ? kMissing : found->second);
  }
  if (!HoldsCommandOne(command_file))
    line += " content=" + RenderValue(command_file);
  line += " folder=";
  line += FolderLabel(folder);
  // Eight fields of at most about 300 characters each stay far below the cap; this only guards the promise.
  if (line.size() > kMaxJournalLine)
    line.resize(kMaxJournalLine);
  return line;
}

void SortForProcessing(std::vector<FoundCommand>& found) {
  const auto rank = [](const FoundCommand& f) {
    return std::make_tuple(f.write_time, f.command - kCommands.data(), static_cast<int>(f.folder));
  };
  std::stable_sort(found.begin(), found.end(),
                   [&](const FoundCommand& a, const FoundCommand& b) { return rank(a) < rank(b); });
}

std::wstring InstanceLockName(std::wstring_view data_folder) {
  std::wstring folded;
  folded.reserve(data_folder.size());
  for (wchar_t c : data_folder) {
    if (c == L'/')
      c = L'\\';
    if (c == L'\\' && !folded.empty() && folded.back() == L'\\')
      continue;
    folded += FoldAscii(c);
  }
  while (!folded.empty() && folded.back() == L'\\')
    folded.pop_back();

  // A lock name may not hold backslashes and has a length limit, so the folder goes in as a hash (FNV-1a).
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const wchar_t c : folded) {
    hash ^= static_cast<uint16_t>(c);
    hash *= 0x100000001b3ull;
  }
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring name = L"QuenmarelStandInTerminal-";
  for (int shift = 60; shift >= 0; shift -= 4)
    name += kHex[(hash >> shift) & 0xf];
  return name;
}

}  // namespace qm::terminal
