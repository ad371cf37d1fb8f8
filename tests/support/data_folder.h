#pragma once
// A terminal's data folder as the panel meets it: MQL4\Experts with the Expert Advisor's place, the live
// exchange folder MQL4\files and the tester's tester\files. In the portable layout terminal.exe lies in the
// data folder itself; in the standard layout it lies in a program folder that the data folder's origin.txt
// names, written as the terminal writes it.

#include <string>

namespace qm::test {

inline constexpr wchar_t kExpertAdvisorFile[] = L"Kelvarinth_V10x.ex4";

class DataFolder {
 public:
  // Makes `path` with its three folders; `with_mql4` false leaves MQL4 out (a terminal started with
  // /portable from a folder that has none).
  explicit DataFolder(std::wstring path, bool with_mql4 = true);

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }
  // <data folder>\MQL4\Experts\Kelvarinth_V10x.ex4, which the folder rule cuts back to the exchange folders.
  std::wstring ExpertAdvisor() const;
  std::wstring RealTime() const { return path_ + L"\\MQL4\\files"; }
  std::wstring BackTest() const { return path_ + L"\\tester\\files"; }

  // Puts an (empty) Expert Advisor file in place, as the Open dialog needs one to choose.
  void PlaceExpertAdvisor() const;
  // The portable layout: a copy of `program` as terminal.exe in the data folder; false when it cannot be
  // copied (the build did not hand one over).
  bool PlaceTerminal(const std::wstring& program) const;
  // The standard layout: origin.txt in UTF-16 LE with its byte-order mark, naming `program_folder`, and a
  // copy of `program` as terminal.exe there (the folder is made); false when it cannot be copied.
  bool PlaceTerminalInProgramFolder(const std::wstring& program, const std::wstring& program_folder) const;

 private:
  std::wstring path_;
};

}  // namespace qm::test
