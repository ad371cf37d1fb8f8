#include "support/vendor_results.h"

#include <chrono>
#include <utility>

namespace qm::test {

VendorResultHandler ResultLog::Handler() {
  return [this](VendorResult result) {
    std::lock_guard lock(mutex_);
    results_.push_back(std::move(result));
    arrived_.notify_all();
  };
}

std::vector<VendorResult> ResultLog::WaitFor(size_t count) {
  std::unique_lock lock(mutex_);
  arrived_.wait_for(lock, std::chrono::minutes(1), [&] { return results_.size() >= count; });
  return results_;
}

std::vector<VendorResult> ResultLog::Arrived() {
  std::lock_guard lock(mutex_);
  return results_;
}

VendorRequester::VendorRequester(const std::wstring& connection_string)
    : worker_(log_.Handler(), VendorDatabaseSessions(connection_string)) {}

VendorResult VendorRequester::Connect() {
  worker_.ConnectVendorDatabase();
  return Next();
}

VendorResult VendorRequester::Refresh() {
  worker_.RefreshPublicMessage();
  return Next();
}

VendorResult VendorRequester::Next() {
  const std::vector<VendorResult> results = log_.WaitFor(++asked_);
  if (results.size() < asked_)
    return {VendorRequestKind::Connect, 0, std::nullopt, Failure{0, L"no result from the worker"}};
  return results.back();
}

}  // namespace qm::test
