#include "bridge/exchange_folder.h"

namespace qm {

OptionSelection ReadOptions(const PanelFields& panel) {
  return {panel.IsSelected(Option::BackTest), panel.IsSelected(Option::RealTime),
          panel.IsSelected(Option::FourDigit), panel.IsSelected(Option::FiveDigit)};
}

std::optional<GateDecision> WriterGate(const OptionSelection& options) {
  AccountType account;
  if (options.back_test) {
    account = AccountType::BackTest;
  } else if (options.real_time) {
    account = AccountType::RealTime;
  } else {
    return std::nullopt;
  }
  if (options.four_digit)
    return GateDecision{account, 4};
  if (options.five_digit)
    return GateDecision{account, 5};
  return std::nullopt;
}

std::optional<std::wstring> ExchangeFilePath(std::wstring_view expert_advisor_path, AccountType account,
                                             std::wstring_view file_name) {
  const bool back_test = account == AccountType::BackTest;
  const size_t cut = back_test ? kBackTestCut : kRealTimeCut;
  if (expert_advisor_path.size() < cut)
    return std::nullopt;
  std::wstring path(expert_advisor_path.substr(0, expert_advisor_path.size() - cut));
  path += back_test ? kBackTestSuffix : kRealTimeSuffix;
  path += file_name;
  return path;
}

std::optional<std::wstring> DataFolder(std::wstring_view expert_advisor_path) {
  if (expert_advisor_path.size() < kBackTestCut)
    return std::nullopt;
  return std::wstring(expert_advisor_path.substr(0, expert_advisor_path.size() - kBackTestCut));
}

}  // namespace qm
