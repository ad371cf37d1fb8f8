// Fuzzes the folder rule over arbitrary UTF-16 paths and file names, with the four option buttons taken from
// the input too. Besides crashes and undefined behaviour it checks:
//  - the writer gate: back-test before real time, four digits before five, nothing without both groups;
//  - ExchangeFilePath fails exactly when the path is shorter than the cut (28 real time, 33 back-test), and
//    otherwise is the path less the cut, the suffix and the file name, character for character;
//  - DataFolder is the path less 33 characters, the start of the back-test exchange path;
//  - the status report of the failure a short path raises, and of any Win32 error the file system may
//    return, is "<number> : <description>" with a number of the classic table.
// A broken check prints the input and aborts, which libFuzzer records as a crash.

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "bridge/exchange_folder.h"
#include "fuzz_input.h"
#include "platform/failure.h"

namespace {

using qm::fuzz::Printable;

[[noreturn]] void Finding(const char* what, const std::wstring& path, const std::wstring& name) {
  std::fprintf(stderr, "FINDING: %s\n  path: \"%s\"\n  file: \"%s\"\n", what, Printable(path).c_str(),
               Printable(name).c_str());
  std::abort();
}

void CheckPath(const std::wstring& path, const std::wstring& name, qm::AccountType account) {
  const bool back_test = account == qm::AccountType::BackTest;
  const size_t cut = back_test ? 33 : 28;
  const std::wstring suffix = back_test ? L"\\tester\\files\\" : L"\\files\\";
  const std::optional<std::wstring> result = qm::ExchangeFilePath(path, account, name);
  if (path.size() < cut) {
    if (result)
      Finding("a path shorter than the cut gave an exchange path", path, name);
    if (qm::StatusReport(qm::RuntimeFailure(5)) != L"5 : Invalid procedure call or argument")
      Finding("the short-path failure does not read 5 : Invalid procedure call or argument", path, name);
    return;
  }
  if (!result)
    Finding("a path as long as the cut or longer gave no exchange path", path, name);
  if (*result != path.substr(0, path.size() - cut) + suffix + name)
    Finding("the exchange path is not the path less the cut, the suffix and the file name", path, name);
}

void CheckStatus(unsigned long win32_error) {
  static const std::set<long> kClassic{5, 6, 7, 52, 53, 57, 58, 61, 67, 68, 70, 71, 75, 76};
  const qm::Failure failure = qm::FailureFromWin32(win32_error);
  const std::wstring report = qm::StatusReport(failure);
  if (!kClassic.count(failure.number) || failure.description.empty() ||
      failure.description == L"Application-defined or object-defined error" ||
      report != std::to_wstring(failure.number) + L" : " + failure.description) {
    Finding("a Win32 error maps to no classic failure", std::to_wstring(win32_error), report);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qm::fuzz::Input input(data, size);
  const uint8_t options = input.Byte();
  unsigned long win32_error = input.Byte();
  win32_error |= static_cast<unsigned long>(input.Byte()) << 8;
  const std::wstring path = input.Text();
  const std::wstring name = input.Text();

  const qm::OptionSelection selection{(options & 1) != 0, (options & 2) != 0, (options & 4) != 0,
                                      (options & 8) != 0};
  const std::optional<qm::GateDecision> gate = qm::WriterGate(selection);
  const bool account = selection.back_test || selection.real_time;
  const bool digits = selection.four_digit || selection.five_digit;
  if (gate.has_value() != (account && digits))
    Finding("the gate lets a write through without both option groups, or stops one with both", path, name);
  if (gate &&
      (gate->account != (selection.back_test ? qm::AccountType::BackTest : qm::AccountType::RealTime) ||
       gate->digits != (selection.four_digit ? 4 : 5))) {
    Finding("the gate chose the wrong folder or digits", path, name);
  }

  CheckPath(path, name, qm::AccountType::RealTime);
  CheckPath(path, name, qm::AccountType::BackTest);
  const std::optional<std::wstring> data_folder = qm::DataFolder(path);
  if (data_folder.has_value() != (path.size() >= 33))
    Finding("DataFolder fails for a path of 33 characters or more, or not for a shorter one", path, name);
  if (data_folder) {
    const std::optional<std::wstring> back_test = qm::ExchangeFilePath(path, qm::AccountType::BackTest, name);
    if (data_folder->size() != path.size() - 33 ||
        back_test->compare(0, data_folder->size(), *data_folder) != 0)
      Finding("DataFolder is not the path less 33 characters", path, name);
  }

  CheckStatus(win32_error);
  return 0;
}
