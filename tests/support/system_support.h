#pragma once
// Stand-in programs planted where the panel starts real ones, and registry values set for one test.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qm::test {

// A copy of the stand-in program at `path`, made with the folders it needs and removed with them. The
// stand-in logs each start to "<path>.log" as "<command line> | show=<window mode, -1 for none>", and the
// folder it was started in to "<path>.cwd".
class PlantedProgram {
 public:
  explicit PlantedProgram(std::wstring path);
  ~PlantedProgram();
  PlantedProgram(const PlantedProgram&) = delete;
  PlantedProgram& operator=(const PlantedProgram&) = delete;

  const std::wstring& path() const { return path_; }
  // The starts logged once there is one, or a generous limit has passed: for a program that is to start.
  std::vector<std::wstring> Starts() const;
  // The starts logged once every program this process started has ended, or a generous limit has passed:
  // for a program that must not start. A program logs its start a moment after it was started, so a log
  // read at once could miss a start that was made.
  std::vector<std::wstring> StartsOnceProgramsEnded() const;
  // The working folder of each start logged so far, in order.
  std::vector<std::wstring> WorkingFolders() const;

 private:
  std::wstring path_;
  std::vector<std::wstring> created_folders_;
};

// A folder below C:\Program Files, with blanks in its name, that no other test process uses.
std::wstring FolderWithBlanks();
// What the system would start for an unquoted "C:\Program Files\..." command line.
inline constexpr wchar_t kProgramTrap[] = L"C:\\Program.exe";

// The bytes the registry holds for a UTF-16 string, with or without its terminating NUL.
std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text, bool with_nul);

// Opens or creates a key; the values set or removed through it are put back as they were when it goes, and
// so is the key itself.
class ScopedRegistryKey {
 public:
  ScopedRegistryKey(HKEY root, std::wstring key);
  ~ScopedRegistryKey();
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

  // Sets a value, or removes it when `type` is REG_NONE.
  void Set(const std::wstring& name, DWORD type, const std::vector<std::uint8_t>& data = {});

 private:
  struct Previous {
    std::wstring name;
    LONG found;
    DWORD type;
    std::vector<std::uint8_t> data;
  };
  HKEY root_;
  std::wstring key_;
  HKEY handle_ = nullptr;
  bool created_ = false;
  std::vector<Previous> previous_;
};

}  // namespace qm::test
