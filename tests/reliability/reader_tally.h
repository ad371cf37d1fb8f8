#pragma once
// What an exchange reader (exchange_reader.exe) met in its reads, as it writes it and the concurrency test
// reads it back, one line:
//   reads=N old=N new=N empty=N partial=N missing=N refused=N refused_error=<last Win32 error of a refused
//   open> sample=<first torn read, escaped>

#include <cstdlib>
#include <string>

namespace qm::test {

struct ReaderTally {
  long long reads = 0, old_line = 0, new_line = 0, empty = 0, partial = 0, missing = 0, refused = 0;
  long long refused_error = 0;
  std::string sample;

  ReaderTally& operator+=(const ReaderTally& more) {
    reads += more.reads;
    old_line += more.old_line;
    new_line += more.new_line;
    empty += more.empty;
    partial += more.partial;
    missing += more.missing;
    refused += more.refused;
    if (more.refused)
      refused_error = more.refused_error;
    if (sample.empty())
      sample = more.sample;
    return *this;
  }

  std::string Line() const {
    return "reads=" + std::to_string(reads) + " old=" + std::to_string(old_line) +
           " new=" + std::to_string(new_line) + " empty=" + std::to_string(empty) +
           " partial=" + std::to_string(partial) + " missing=" + std::to_string(missing) +
           " refused=" + std::to_string(refused) + " refused_error=" + std::to_string(refused_error) +
           " sample=" + sample + "\r\n";
  }

  // -1 for a count the line does not hold.
  static ReaderTally Parse(const std::string& line) {
    auto field = [&](const std::string& key) -> long long {
      const size_t at = line.find(" " + key + "=");
      const size_t start = at == std::string::npos ? line.find(key + "=") : at + 1;
      return start == std::string::npos ? -1 : std::atoll(line.c_str() + start + key.size() + 1);
    };
    ReaderTally t{field("reads"),   field("old"),           field("new"),
                  field("empty"),   field("partial"),       field("missing"),
                  field("refused"), field("refused_error"), {}};
    const size_t sample = line.find("sample=");
    if (sample != std::string::npos)
      t.sample = line.substr(sample + 7, line.find_first_of("\r\n", sample) - sample - 7);
    return t;
  }
};

}  // namespace qm::test
