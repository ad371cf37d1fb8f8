// Security: no program is ever started through an unquoted path with blanks, registry keys are opened for
// reading only, and text from the file system or the registry is never run as a command. A stand-in planted
// at C:\Program.exe logs any start that an unquoted "C:\Program Files\..." command line would make.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "actions/expert_advisor_selection.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "support/fake_panel.h"
#include "support/figures.h"
#include "support/system_support.h"
#include "ui/about/frmAbout.h"
#include "ui/about/sys_info.h"
#include "vendor_services/web_launcher.h"

namespace qm {
namespace {

// --- Program starts ----------------------------------------------------------------------------------------

constexpr wchar_t kFirefox[] = L"C:\\Program Files\\Mozilla Firefox\\firefox.exe";

// The status reports the panel received, in order.
std::vector<std::wstring> Statuses(const test::FakePanel& panel) {
  std::vector<std::wstring> statuses;
  for (const std::wstring& event : panel.events) {
    if (event.starts_with(L"status "))
      statuses.push_back(event.substr(7));
  }
  return statuses;
}

// Data folders whose names a shell would take as commands, variables or quoting. A name with a quotation
// mark cannot exist on Windows: its terminal is never found, so nothing may start.
struct FolderCase {
  const char* name;
  std::wstring folder;  // below a folder with blanks in C:\Program Files
  bool can_exist;
};

const FolderCase kFolders[] = {
    {"ampersands", L"MT4 & calc & x", true},
    {"percent variable", L"MT4 %SystemRoot% (x86)", true},
    {"caret, semicolon, apostrophe", L"MT4 ^; it's", true},
    {"quotation marks", L"MT4\" & calc & \"", false},
    {"vertical bar", L"MT4 | calc", false},
};

TEST(UnquotedPathTest, ExpertAdvisorSelectionStartsExactlyTheTerminalOrNothing) {
  test::PlantedProgram trap(test::kProgramTrap);
  const std::wstring root = test::FolderWithBlanks();
  long long wrong_starts = 0;
  for (const FolderCase& c : kFolders) {
    SCOPED_TRACE(c.name);
    const std::wstring data = root + L"\\" + c.folder;
    const std::wstring terminal_path = data + L"\\terminal.exe";
    std::optional<test::PlantedProgram> advisor, terminal;
    if (c.can_exist) {
      advisor.emplace(data + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4");
      terminal.emplace(terminal_path);
    }
    // The Open dialog's answer is scripted; the file test and the start are the system's.
    test::FakePanel panel;
    panel.file_choice = {OpenDialogResult::End::Chosen, data + L"\\MQL4\\Experts\\Kelvarinth_V10x.ex4", 0};
    cmdFileLocation_Click(panel);
    if (c.can_exist) {
      const std::vector<std::wstring> expected{L"\"" + terminal_path + L"\" | show=4"};
      const std::vector<std::wstring> starts = terminal->Starts();
      EXPECT_EQ(starts, expected);
      wrong_starts += starts == expected ? 0 : 1;
      EXPECT_EQ(Statuses(panel), std::vector<std::wstring>{L"Status: OK."});
    } else {
      EXPECT_NE(Statuses(panel), std::vector<std::wstring>{L"Status: OK."}) << "nothing to start";
    }
  }
  const long long trap_starts = static_cast<long long>(trap.StartsOnceProgramsEnded().size());
  EXPECT_TRUE(test::ReportFigure("security, Expert Advisor selection: starts of C:\\Program.exe", trap_starts,
                                 "0", trap_starts == 0));
  EXPECT_TRUE(
      test::ReportFigure("security, Expert Advisor selection, data folders named with & % ^ ; ' \" and "
                         "vertical bar: starts other "
                         "than exactly <folder>\\terminal.exe",
                         wrong_starts, "0", wrong_starts == 0));
}

TEST(UnquotedPathTest, FirefoxGetsTheAddressAsOneArgumentAndProgramExeNeverRuns) {
  if (IsOrdinaryFile(std::wstring(kFirefox)))
    GTEST_SKIP() << "a real Firefox is installed";
  test::PlantedProgram trap(test::kProgramTrap);
  test::PlantedProgram firefox{std::wstring(kFirefox)};
  const std::wstring address = L"http://127.0.0.1/?a=1&b=%SystemRoot%";
  // The shell program would open a real browser: it is only recorded.
  const Outcome outcome = VisitSite(address, [](std::wstring_view program, std::wstring_view arguments) {
    return program == L"explorer.exe" ? Outcome()
                                      : StartProgram(program, arguments, WindowMode::NormalWithFocus);
  });
  EXPECT_EQ(outcome, std::nullopt);
  EXPECT_EQ(firefox.Starts(),
            std::vector<std::wstring>{L"\"" + std::wstring(kFirefox) + L"\" " + address + L" | show=1"});
  const long long trap_starts = static_cast<long long>(trap.StartsOnceProgramsEnded().size());
  EXPECT_TRUE(
      test::ReportFigure("security, web-site button (Firefox below C:\\Program Files): starts of "
                         "C:\\Program.exe",
                         trap_starts, "0", trap_starts == 0));
}

TEST(UnquotedPathTest, SystemInformationFromTheRegistryStartsAsItselfOrNotAtAll) {
  test::PlantedProgram trap(test::kProgramTrap);
  test::PlantedProgram msinfo(test::FolderWithBlanks() + L"\\MSINFO32.EXE");
  const struct {
    const char* name;
    std::wstring path;  // the PATH value
    bool starts;
  } cases[] = {
      {"path with blanks", msinfo.path(), true},
      {"path with a command after it", msinfo.path() + L" & calc", false},
      {"quoted path and a pipe", L"\"" + msinfo.path() + L"\" | calc", false},
      {"variable", L"%SystemRoot%\\system32\\msinfo32.exe", false},
  };
  long long messages = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScopedRegistryKey key(HKEY_LOCAL_MACHINE,
                                std::wstring(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"));
    key.Set(L"PATH", REG_SZ, test::Utf16Bytes(c.path, true));
    SysInfoServices services = SystemSysInfoServices(nullptr);
    services.show_message = [&](const std::wstring&) { ++messages; };
    StartSysInfo(services);
  }
  EXPECT_EQ(msinfo.Starts(), std::vector<std::wstring>{L"\"" + msinfo.path() + L"\" | show=1"});
  EXPECT_EQ(messages, 3) << "each value that names no program is told to the user";
  const long long trap_starts = static_cast<long long>(trap.StartsOnceProgramsEnded().size());
  EXPECT_TRUE(
      test::ReportFigure("security, System Information (registry path with blanks, &, quotes, %var%): "
                         "starts of C:\\Program.exe",
                         trap_starts, "0", trap_starts == 0));
}

// --- Registry access ---------------------------------------------------------------------------------------

// Wine does not enforce key permissions, so the access a key is opened with is recorded where the program
// asks for it: the registry functions in this program's import table are replaced for the length of a hook.
// The replacements are plain functions, so what they record lives in one place for the whole program.
struct OpenRecord {
  std::vector<REGSAM> access;  // every access mask asked for, opens and creates alike
};
OpenRecord& Recorded() {
  static OpenRecord record;
  return record;
}

// The system's own function, past this program's import table.
template <typename Function>
Function Original(Function, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), name)));
}

LONG WINAPI RecordOpenW(HKEY root, LPCWSTR key, DWORD options, REGSAM access, PHKEY result) {
  Recorded().access.push_back(access);
  return Original(&::RegOpenKeyExW, "RegOpenKeyExW")(root, key, options, access, result);
}
LONG WINAPI RecordOpenA(HKEY root, LPCSTR key, DWORD options, REGSAM access, PHKEY result) {
  Recorded().access.push_back(access);
  return Original(&::RegOpenKeyExA, "RegOpenKeyExA")(root, key, options, access, result);
}
LONG WINAPI RecordCreateW(HKEY root, LPCWSTR key, DWORD reserved, LPWSTR cls, DWORD options, REGSAM access,
                          LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition) {
  Recorded().access.push_back(access | KEY_CREATE_SUB_KEY);
  return Original(&::RegCreateKeyExW, "RegCreateKeyExW")(root, key, reserved, cls, options, access, security,
                                                         result, disposition);
}

// Replaces the import-table entries of the named functions in this program and puts them back when it goes.
// The original functions stay reachable: the replacements call them through the system's own exports.
class ImportHook {
 public:
  ImportHook(std::initializer_list<std::pair<const char*, void*>> replacements) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
      const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
          base + (module->OriginalFirstThunk ? module->OriginalFirstThunk : module->FirstThunk));
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
          continue;
        const char* name = reinterpret_cast<const char*>(
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
        for (const auto& [function, replacement] : replacements) {
          if (std::strcmp(name, function) == 0) {
            saved_.push_back({&slots->u1.Function, slots->u1.Function});
            Write(&slots->u1.Function, reinterpret_cast<ULONG_PTR>(replacement));
          }
        }
      }
    }
  }
  ~ImportHook() {
    for (const auto& [slot, original] : saved_)
      Write(slot, original);
  }
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;

  size_t hooked() const { return saved_.size(); }

 private:
  static void Write(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
  }
  std::vector<std::pair<ULONG_PTR*, ULONG_PTR>> saved_;
};

// Reading only: KEY_READ and its parts, and the choice of registry view.
bool ReadsOnly(REGSAM access) {
  return (access & ~static_cast<REGSAM>(KEY_READ | KEY_WOW64_64KEY | KEY_WOW64_32KEY)) == 0;
}

long long MoreThanReading(const std::vector<REGSAM>& access) {
  long long count = 0;
  for (REGSAM a : access)
    count += ReadsOnly(a) ? 0 : 1;
  return count;
}

using Opener = void (*)();

struct AccessCase {
  const char* name;
  Opener open;
  bool product;  // false: the control row, which must be caught
};

void ReadBothSysInfoValues() {
  std::wstring text;
  GetKeyValue(RegistryRoot::LocalMachine, std::wstring(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
              std::wstring(L"PATH"), text);
  GetKeyValue(RegistryRoot::LocalMachine, std::wstring(L"SOFTWARE\\Microsoft\\Shared Tools Location"),
              std::wstring(L"MSINFO"), text);
  GetKeyValue(RegistryRoot::CurrentUser, L"Software", L"missing value", text);
}

void StartSysInfoWithoutStarting() {
  SysInfoServices services = SystemSysInfoServices(nullptr);
  services.start_program = [](const std::wstring&) { return Outcome(); };
  services.show_message = [](const std::wstring&) {};
  StartSysInfo(services);
}

void OpenForFullAccess() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS)
    ::RegCloseKey(key);
}

const AccessCase kAccessCases[] = {
    {"GetKeyValue on both System Information keys and a missing value", ReadBothSysInfoValues, true},
    {"System Information button, both look-ups", StartSysInfoWithoutStarting, true},
    {"control: a key opened for full access is caught", OpenForFullAccess, false},
};

TEST(RegistryAccessTest, KeysAreOpenedForReadingOnly) {
  test::ScopedRegistryKey path_key(HKEY_LOCAL_MACHINE,
                                   std::wstring(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"));
  test::ScopedRegistryKey folder_key(HKEY_LOCAL_MACHINE,
                                     std::wstring(L"SOFTWARE\\Microsoft\\Shared Tools Location"));
  path_key.Set(L"PATH", REG_NONE);
  folder_key.Set(L"MSINFO", REG_SZ, test::Utf16Bytes(L"C:\\windows", true));
  for (const AccessCase& c : kAccessCases) {
    SCOPED_TRACE(c.name);
    Recorded().access.clear();
    {
      ImportHook hook{{"RegOpenKeyExW", reinterpret_cast<void*>(&RecordOpenW)},
                      {"RegOpenKeyExA", reinterpret_cast<void*>(&RecordOpenA)},
                      {"RegCreateKeyExW", reinterpret_cast<void*>(&RecordCreateW)}};
      ASSERT_GT(hook.hooked(), 0u) << "the program imports no registry open";
      c.open();
    }
    const std::vector<REGSAM> access = Recorded().access;
    ASSERT_FALSE(access.empty()) << "no open was seen";
    const long long beyond = MoreThanReading(access);
    std::ostringstream masks;
    for (REGSAM a : access)
      masks << std::hex << "0x" << a << ' ';
    if (c.product) {
      EXPECT_TRUE(test::ReportFigure(
          std::string("security, registry: ") + c.name + ": opens asking more than KEY_READ",
          std::to_string(beyond) + " of " + std::to_string(access.size()) + " (masks " + masks.str() + ")",
          "0", beyond == 0));
    } else {
      EXPECT_TRUE(
          test::ReportFigure(std::string("security, registry: ") + c.name, beyond, "> 0", beyond > 0));
    }
  }
}

}  // namespace
}  // namespace qm
