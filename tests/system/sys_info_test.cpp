#include "ui/about/sys_info.h"

#include <gtest/gtest.h>

#include <optional>

#include "ui/about/frmAbout.h"
#include "support/temp_folder.h"
#include "support/system_support.h"

namespace qm {
namespace {

// The prefix's registry and file system with the System Information keys set for each case. Registry reads,
// starts and messages are logged; the start is the real one where a case says so.
TEST(StartSysInfoTest, FindsTheProgramThroughEitherKeyOrSaysItIsUnavailable) {
  test::PlantedProgram trap(test::kProgramTrap);
  test::PlantedProgram program(test::FolderWithBlanks() + L"\\MSINFO32.EXE");
  const std::wstring folder = test::FolderWithBlanks();
  test::TempFolder empty;
  const std::wstring read_path = L"read SOFTWARE\\Microsoft\\Shared Tools\\MSINFO, PATH";
  const std::wstring read_folder = L"read SOFTWARE\\Microsoft\\Shared Tools Location, MSINFO";
  const std::wstring unavailable = L"message System Information Is Unavailable At This Time";
  const struct {
    const char* name;
    std::optional<std::wstring> path, folder;
    bool real_start;
    std::vector<std::wstring> events;
  } cases[] = {
      {"path", program.path(), empty.path(), false, {read_path, L"start " + program.path()}},
      {"folder", {}, folder, false, {read_path, read_folder, L"start " + folder + L"\\MSINFO32.EXE"}},
      {"folder ending in a backslash",
       {},
       folder + L"\\",
       false,
       {read_path, read_folder, L"start " + folder + L"\\\\MSINFO32.EXE"}},
      {"folder without the program", {}, empty.path(), false, {read_path, read_folder, unavailable}},
      {"folder with a NUL",
       {},
       program.path() + std::wstring(1, L'\0') + L"x",
       false,
       {read_path, read_folder, unavailable}},
      {"neither", {}, {}, false, {read_path, read_folder, unavailable}},
      {"real start", program.path(), {}, true, {read_path}},
      {"real start of a missing program",
       empty / L"MSINFO32.EXE",
       {},
       true,
       {read_path, L"message System Information could not be started.\n\n53 : File not found"}},
  };
  for (const auto& c : cases) {
    test::ScopedRegistryKey path_key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    test::ScopedRegistryKey folder_key(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location");
    path_key.Set(L"PATH", c.path ? REG_SZ : REG_NONE, test::Utf16Bytes(c.path.value_or(L""), true));
    folder_key.Set(L"MSINFO", c.folder ? REG_SZ : REG_NONE, test::Utf16Bytes(c.folder.value_or(L""), false));

    std::vector<std::wstring> events;
    SysInfoServices services = SystemSysInfoServices(nullptr);
    services.get_key_value = [&, read = services.get_key_value](RegistryRoot root, const std::wstring& key,
                                                                const std::wstring& name,
                                                                std::wstring& text) {
      events.push_back(L"read " + key + L", " + name);
      return root == RegistryRoot::LocalMachine && read(root, key, name, text);
    };
    if (!c.real_start) {
      services.start_program = [&](const std::wstring& path) {
        events.push_back(L"start " + path);
        return Outcome();
      };
    }
    services.show_message = [&](const std::wstring& text) { events.push_back(L"message " + text); };
    StartSysInfo(services);
    EXPECT_EQ(events, c.events) << c.name;
  }
  EXPECT_EQ(program.Starts(), std::vector<std::wstring>{L"\"" + program.path() + L"\" | show=1"});
  EXPECT_EQ(trap.StartsOnceProgramsEnded(), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace qm
