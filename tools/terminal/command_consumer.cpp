#include "terminal/command_consumer.h"

#include <windows.h>

#include <utility>

#include "terminal/command_journal.h"
#include "terminal/exchange_files.h"

namespace qm::terminal {
namespace {

class FindHandle {
 public:
  FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& found)
      : handle_(::FindFirstFileW(pattern.c_str(), &found)) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (*this)
      ::FindClose(handle_);
  }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAW& found) const { return ::FindNextFileW(handle_, &found) != FALSE; }

 private:
  HANDLE handle_;
};

constexpr ExchangeFolder kFolders[] = {ExchangeFolder::Live, ExchangeFolder::Tester};

std::wstring Widen(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

std::wstring WithError(std::wstring text, unsigned long error) {
  return text + L" (Windows error " + std::to_wstring(error) + L"); trying again.";
}

}  // namespace

CommandConsumer::CommandConsumer(std::wstring data_folder) : data_folder_(std::move(data_folder)) {}

std::wstring CommandConsumer::JournalPath() const {
  return data_folder_ + L"\\" + kJournalFileName;
}

std::wstring CommandConsumer::FolderPath(ExchangeFolder folder) const {
  return data_folder_ + L"\\" + Widen(FolderLabel(folder));
}

std::vector<FoundCommand> CommandConsumer::Scan() const {
  std::vector<FoundCommand> found;
  for (const ExchangeFolder folder : kFolders) {
    const std::wstring path = FolderPath(folder);
    WIN32_FIND_DATAW entry;
    const FindHandle search(path + L"\\*", entry);
    if (!search)
      continue;
    do {
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        continue;
      const Command* command = FindCommand(entry.cFileName);
      if (!command)
        continue;
      const uint64_t time = (static_cast<uint64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                            entry.ftLastWriteTime.dwLowDateTime;
      found.push_back({command, folder, time, path + L"\\" + entry.cFileName});
    } while (search.Next(entry));
  }
  return found;
}

CommandConsumer::PollResult CommandConsumer::Poll() {
  PollResult result;
  std::vector<FoundCommand> found = Scan();
  SortForProcessing(found);

  std::map<std::wstring, int> waiting;
  std::map<std::wstring, uint64_t> journaled;
  bool blocked = false;
  for (const FoundCommand& f : found) {
    // Journaled already: only its removal is left, whatever holds up the others.
    if (const auto done = journaled_.find(f.path); done != journaled_.end() && done->second == f.write_time) {
      if (const unsigned long error = RemoveFile(f.path); error != 0) {
        journaled[f.path] = f.write_time;
        result.problem = WithError(L"Cannot remove " + f.path, error);
      }
      continue;
    }
    if (blocked)
      continue;

    const FileState command_file = ReadExchangeFile(f.path);
    if (command_file.kind == FileState::Kind::Missing)
      continue;  // taken by someone else since the scan
    std::wstring held = command_file.kind == FileState::Kind::Unreadable ? f.path : std::wstring();
    FolderFiles files;
    for (const JournalField& field : FieldsOf(*f.command)) {
      const std::wstring path = FolderPath(f.folder) + L"\\" + Widen(field.file_name);
      FileState state = ReadExchangeFile(path);
      if (state.kind == FileState::Kind::Unreadable && held.empty())
        held = path;
      files.emplace(field.file_name, std::move(state));
    }
    if (!held.empty()) {
      const auto before = waiting_.find(f.path);
      const int waited = (before == waiting_.end() ? 0 : before->second) + 1;
      if (waited < kPatiencePolls) {
        waiting[f.path] = waited;
        result.problem = L"Waiting for " + held + L", which another program holds.";
        blocked = true;
        continue;
      }
    }

    const std::string line = JournalLine(*f.command, f.folder, command_file, files);
    if (const unsigned long error = AppendLine(JournalPath(), line); error != 0) {
      result.problem = WithError(L"Cannot add to " + JournalPath(), error);
      blocked = true;
      continue;
    }
    result.lines.push_back(line);
    if (const unsigned long error = RemoveFile(f.path); error != 0) {
      journaled[f.path] = f.write_time;
      result.problem = WithError(L"Cannot remove " + f.path, error);
    }
  }
  waiting_ = std::move(waiting);
  journaled_ = std::move(journaled);
  return result;
}

}  // namespace qm::terminal
