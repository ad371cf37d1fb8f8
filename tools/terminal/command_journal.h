#pragma once
// What the stand-in terminal makes of an exchange folder: the command files it knows, the parameter and price
// files each command relies on, the order in which it takes what it finds, and the one journal line it writes
// for a command. No Win32 here, so the journal can be tested without a window or a folder.
//
// Journal line: the command's verb, then one key=value field per file the command relies on, then the folder:
//   BUY pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 folder=MQL4\files
//   BUYSTOP pair=GBPUSD lots=0.01 sl=0 tp=0 magic=6819 closeall=9999999 price=1.6349 folder=tester\files
//   CLOSEBUY pair=GBPUSD magic=6819 folder=MQL4\files
// A command file that does not hold exactly 1 CR LF adds content=<value> before the folder. Values are
// rendered by RenderValue; a line is printable ASCII only and never longer than kMaxJournalLine.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm::terminal {

enum class CommandKind { MarketOrder, PendingOrder, CloseOrDelete };

struct Command {
  std::wstring_view file_name;  // as the panel writes it
  std::string_view verb;        // the journal line's first word
  CommandKind kind;
};

// The thirteen commands, in the fixed order that breaks ties between files written at the same moment.
std::span<const Command> Commands();

// The command a file name stands for, with letter case ignored as Windows ignores it; null for other files.
const Command* FindCommand(std::wstring_view file_name);

// The exchange folders of a data folder the terminal watches.
enum class ExchangeFolder { Live, Tester };
// The folder below the data folder: "MQL4\files" or "tester\files".
std::string_view FolderLabel(ExchangeFolder folder);

// One journal field: its key and the file (lower case, as the panel names it) whose value it shows.
struct JournalField {
  std::string_view key;
  std::string_view file_name;
};
// The files the command relies on, in the order their fields appear in its journal line.
std::vector<JournalField> FieldsOf(const Command& command);

// Reads stop after this many bytes; an exchange file holds one short value.
inline constexpr size_t kReadLimit = 4096;
// Longest value shown in a field; the rest is summed up by its size.
inline constexpr size_t kShownValueBytes = 64;
// No journal line is longer than this, whatever the files hold.
inline constexpr size_t kMaxJournalLine = 4096;

struct FileState {
  enum class Kind { Missing, Unreadable, Read };
  Kind kind = Kind::Missing;
  std::string bytes;  // the file's first bytes, at most kReadLimit
  uint64_t size = 0;  // the whole file's size
};

// Files found beside the command, keyed by lower-case name; a name not in the map is missing.
using FolderFiles = std::map<std::string, FileState, std::less<>>;

// A file as one journal field value:
//   <missing>, <unreadable>, <empty>                  no file, a file that could not be read, a file of 0
//   bytes 1.6349                                            one line ending in CR LF, plain printable
//   characters "15 pips"  ""                                     one line with blanks, quotes, controls or
//   other bytes,
//                                                     or none at all; C-style escapes inside the quotes
//   <malformed:"1.6349">                              anything but exactly one CR LF line, shown raw
//   "AAAA...AAAA"...(5000 bytes)                      longer than kShownValueBytes: the start and the size
std::string RenderValue(const FileState& file);

// The journal line for a command found in `folder`, from its own file and the files beside it.
std::string JournalLine(const Command& command, ExchangeFolder folder, const FileState& command_file,
                        const FolderFiles& files);

// A command file found in one scan of the exchange folders.
struct FoundCommand {
  const Command* command = nullptr;
  ExchangeFolder folder = ExchangeFolder::Live;
  uint64_t write_time = 0;  // 100 ns ticks, as the file system reports them
  std::wstring path;
};

// Oldest file first; files of the same moment in the command table's order (so Buy before Sell for a HEDGE
// that lands in one tick), then MQL4\files before tester\files.
void SortForProcessing(std::vector<FoundCommand>& found);

// The name of the lock that keeps one stand-in terminal per data folder: the same for any spelling of the
// folder that Windows treats as the same (letter case, slashes, trailing separators).
std::wstring InstanceLockName(std::wstring_view data_folder);

}  // namespace qm::terminal
