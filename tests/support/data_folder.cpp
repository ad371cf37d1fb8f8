#include "support/data_folder.h"

#include <windows.h>

#include "support/temp_folder.h"

namespace qm::test {

DataFolder::DataFolder(std::wstring path, bool with_mql4) : path_(std::move(path)) {
  MakeFolders(BackTest());
  if (with_mql4) {
    MakeFolders(RealTime());
    MakeFolders(path_ + L"\\MQL4\\Experts");
  }
}

std::wstring DataFolder::ExpertAdvisor() const {
  return path_ + L"\\MQL4\\Experts\\" + kExpertAdvisorFile;
}

void DataFolder::PlaceExpertAdvisor() const {
  WriteBytes(ExpertAdvisor(), "");
}

bool DataFolder::PlaceTerminal(const std::wstring& program) const {
  return !program.empty() && ::CopyFileW(program.c_str(), (path_ + L"\\terminal.exe").c_str(), FALSE);
}

bool DataFolder::PlaceTerminalInProgramFolder(const std::wstring& program,
                                              const std::wstring& program_folder) const {
  std::string origin = "\xFF\xFE";
  for (const wchar_t c : program_folder)
    origin.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
  WriteBytes(path_ + L"\\origin.txt", origin);
  MakeFolders(program_folder);
  return !program.empty() &&
         ::CopyFileW(program.c_str(), (program_folder + L"\\terminal.exe").c_str(), FALSE);
}

}  // namespace qm::test
