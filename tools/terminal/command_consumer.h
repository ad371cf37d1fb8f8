#pragma once
// What the stand-in terminal does on every poll, without the window: find the command files in the data
// folder's two exchange folders, read what each command relies on, journal it, and remove the command file,
// as an Expert Advisor that consumes commands would. It never writes the panel's files.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "terminal/command_journal.h"

namespace qm::terminal {

inline constexpr wchar_t kJournalFileName[] = L"journal.txt";
// Polls a command waits for files that another process holds without sharing, before it is journaled with
// <unreadable> in their place.
inline constexpr int kPatiencePolls = 20;

class CommandConsumer {
 public:
  // `data_folder` without a trailing backslash.
  explicit CommandConsumer(std::wstring data_folder);

  struct PollResult {
    std::vector<std::string> lines;  // journaled in this poll, in order
    std::wstring problem;  // what kept a command from being taken or removed; empty when nothing did
  };

  // Takes every command file found, oldest first. A command whose files cannot be read yet, or whose line
  // cannot be journaled, waits for the next poll, and so does every command after it, to keep their order.
  PollResult Poll();

  const std::wstring& data_folder() const { return data_folder_; }
  std::wstring JournalPath() const;

 private:
  std::wstring FolderPath(ExchangeFolder folder) const;
  std::vector<FoundCommand> Scan() const;

  std::wstring data_folder_;
  // Command files that kept the poll waiting, and for how many polls so far.
  std::map<std::wstring, int> waiting_;
  // Command files already journaled that could not be removed, with the write time they had then, so that
  // they are not journaled twice; a file rewritten since is a new command.
  std::map<std::wstring, uint64_t> journaled_;
};

}  // namespace qm::terminal
