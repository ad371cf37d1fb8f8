#include "support/system_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <stdexcept>

#include "platform/unique_handle.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"

namespace qm::test {

PlantedProgram::PlantedProgram(std::wstring path) : path_(std::move(path)) {
  for (size_t cut = path_.find(L'\\', 3); cut != std::wstring::npos; cut = path_.find(L'\\', cut + 1)) {
    if (::CreateDirectoryW(path_.substr(0, cut).c_str(), nullptr))
      created_folders_.push_back(path_.substr(0, cut));
  }
  wchar_t self[MAX_PATH];
  std::wstring stand_in(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
  stand_in = stand_in.substr(0, stand_in.rfind(L'\\')) + L"\\qm_stand_in.exe";
  if (!::CopyFileW(stand_in.c_str(), path_.c_str(), TRUE))
    throw std::runtime_error("cannot plant the stand-in");
}

PlantedProgram::~PlantedProgram() {
  // A stand-in that has just logged may hold its file for a moment on its way out.
  for (int attempt = 0; attempt < 100 && !::DeleteFileW(path_.c_str()) && FileExists(path_); ++attempt)
    ::Sleep(20);
  ::DeleteFileW((path_ + L".log").c_str());
  ::DeleteFileW((path_ + L".cwd").c_str());
  for (auto f = created_folders_.rbegin(); f != created_folders_.rend(); ++f)
    ::RemoveDirectoryW(f->c_str());
}

namespace {

// The programs started by this process, and by the programs it started, that are still running.
std::vector<DWORD> RunningDescendants() {
  std::vector<PROCESSENTRY32W> processes;
  UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (bool more = snapshot && ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    processes.push_back(entry);
  }
  std::vector<DWORD> family{::GetCurrentProcessId()};
  for (size_t known = 0; known != family.size();) {
    known = family.size();
    for (const PROCESSENTRY32W& p : processes) {
      if (std::count(family.begin(), family.end(), p.th32ParentProcessID) &&
          !std::count(family.begin(), family.end(), p.th32ProcessID)) {
        family.push_back(p.th32ProcessID);
      }
    }
  }
  family.erase(family.begin());
  return family;
}

// The whole lines of a log the stand-in wrote (one a start); none when there is no log.
std::vector<std::wstring> LoggedLines(const std::wstring& log_path) {
  const std::string log = ReadBytes(log_path);
  std::vector<std::wstring> starts;
  for (size_t start = 0, end; log != "<missing>" && (end = log.find('\n', start)) != std::string::npos;
       start = end + 1) {
    std::wstring line(end - start, L'\0');
    line.resize(::MultiByteToWideChar(CP_UTF8, 0, log.data() + start, static_cast<int>(end - start),
                                      line.data(), static_cast<int>(line.size())));
    starts.push_back(line);
  }
  return starts;
}

}  // namespace

std::vector<std::wstring> PlantedProgram::Starts() const {
  // The stand-in creates its log and then writes its line: a log that is there but holds no whole line yet
  // is a start still being logged.
  WaitUntil([&] {
    const std::string log = ReadBytes(path_ + L".log");
    return log != "<missing>" && !log.empty() && log.back() == '\n';
  });
  return LoggedLines(path_ + L".log");
}

std::vector<std::wstring> PlantedProgram::StartsOnceProgramsEnded() const {
  const ULONGLONG give_up = ::GetTickCount64() + kPatienceMs;
  for (std::vector<DWORD> running;
       !(running = RunningDescendants()).empty() && ::GetTickCount64() < give_up;) {
    for (const DWORD id : running) {
      UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
      const ULONGLONG now = ::GetTickCount64();
      if (process && now < give_up)
        ::WaitForSingleObject(process.get(), static_cast<DWORD>(give_up - now));
    }
  }
  return LoggedLines(path_ + L".log");
}

std::vector<std::wstring> PlantedProgram::WorkingFolders() const {
  return LoggedLines(path_ + L".cwd");
}

std::wstring FolderWithBlanks() {
  return L"C:\\Program Files\\Quenmarel test " + std::to_wstring(::GetCurrentProcessId());
}

std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text, bool with_nul) {
  std::vector<std::uint8_t> bytes;
  for (wchar_t c : text + (with_nul ? std::wstring(1, L'\0') : L""))
    bytes.insert(bytes.end(), {uint8_t(c), uint8_t(c >> 8)});
  return bytes;
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, std::wstring key) : root_(root), key_(std::move(key)) {
  DWORD disposition = 0;
  if (::RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle_,
                        &disposition)) {
    throw std::runtime_error("cannot create the test key");
  }
  created_ = disposition == REG_CREATED_NEW_KEY;
}

ScopedRegistryKey::~ScopedRegistryKey() {
  for (auto p = previous_.rbegin(); p != previous_.rend(); ++p) {
    if (p->found == ERROR_SUCCESS) {
      ::RegSetValueExW(handle_, p->name.c_str(), 0, p->type, p->data.data(),
                       static_cast<DWORD>(p->data.size()));
    } else {
      ::RegDeleteValueW(handle_, p->name.c_str());
    }
  }
  ::RegCloseKey(handle_);
  if (created_)
    ::RegDeleteTreeW(root_, key_.c_str());
  if (created_)
    ::RegDeleteKeyW(root_, key_.c_str());
}

void ScopedRegistryKey::Set(const std::wstring& name, DWORD type, const std::vector<std::uint8_t>& data) {
  Previous p{name, 0, 0, std::vector<std::uint8_t>(65536)};
  DWORD size = static_cast<DWORD>(p.data.size());
  p.found = ::RegQueryValueExW(handle_, name.c_str(), nullptr, &p.type, p.data.data(), &size);
  p.data.resize(p.found == ERROR_SUCCESS ? size : 0);
  previous_.push_back(std::move(p));
  const LONG result = type == REG_NONE ? ::RegDeleteValueW(handle_, name.c_str())
                                       : ::RegSetValueExW(handle_, name.c_str(), 0, type, data.data(),
                                                          static_cast<DWORD>(data.size()));
  if (result != ERROR_SUCCESS && type != REG_NONE)
    throw std::runtime_error("cannot set the test value");
}

}  // namespace qm::test
