#pragma once
// Where the exchange files go. The folder is derived from the Expert Advisor path by its length alone: the
// path less a fixed tail, then a fixed suffix. The path is taken as the box holds it, blanks included, and
// lengths count UTF-16 units.

#include <optional>
#include <string>
#include <string_view>

#include "bridge/panel_fields.h"

namespace qm {

enum class AccountType { BackTest, RealTime };

inline constexpr std::wstring_view kExpertAdvisorFileName = L"Kelvarinth_V10x.ex4";
// \Experts\ plus the file name.
inline constexpr size_t kRealTimeCut = 28;
// \MQL4 plus the real-time cut: what is left is the terminal's data folder.
inline constexpr size_t kBackTestCut = 33;
inline constexpr std::wstring_view kRealTimeSuffix = L"\\files\\";
inline constexpr std::wstring_view kBackTestSuffix = L"\\tester\\files\\";

struct OptionSelection {
  bool back_test = false;
  bool real_time = false;
  bool four_digit = false;
  bool five_digit = false;
};

OptionSelection ReadOptions(const PanelFields& panel);

// The writer gate: a file is written only when an account type and a digits option are selected.
struct GateDecision {
  AccountType account;
  int digits;  // 4 or 5

  friend bool operator==(const GateDecision&, const GateDecision&) = default;
};
std::optional<GateDecision> WriterGate(const OptionSelection& options);

// The full path of an exchange file, or nothing when the path is shorter than the account type's cut
// (5 Invalid procedure call or argument).
std::optional<std::wstring> ExchangeFilePath(std::wstring_view expert_advisor_path, AccountType account,
                                             std::wstring_view file_name);

// The terminal's data folder: the path less its last 33 characters, or nothing when it is shorter.
std::optional<std::wstring> DataFolder(std::wstring_view expert_advisor_path);

}  // namespace qm
