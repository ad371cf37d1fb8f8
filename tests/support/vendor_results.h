#pragma once
// The vendor worker's results as it hands them over, and the real worker asked for one request at a time:
// what the vendor database answers, through the worker the window uses.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "vendor_services/vendor_worker.h"

namespace qm::test {

// The results as a worker hands them over on its threads.
class ResultLog {
 public:
  VendorResultHandler Handler() {
    return [this](VendorResult result) {
      std::lock_guard lock(mutex_);
      results_.push_back(std::move(result));
      arrived_.notify_all();
    };
  }
  // All results once `count` have arrived, or those that arrived within a minute.
  std::vector<VendorResult> WaitFor(size_t count) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::minutes(1), [&] { return results_.size() >= count; });
    return results_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<VendorResult> results_;
};

// The vendor worker over `connection_string`, with the panel's deadlines; each call asks for one request and
// returns the result the worker hands over for it, or a failure that no report has when none came. A SQLite
// database is named by its full path (SqliteVendorDatabase::FullPathConnectionString): the worker opens it
// on a thread of its own.
class VendorRequester {
 public:
  explicit VendorRequester(const std::wstring& connection_string)
      : worker_(log_.Handler(), VendorDatabaseSessions(connection_string)) {}
  VendorResult Connect() {
    worker_.ConnectVendorDatabase();
    return Next();
  }
  VendorResult Refresh() {
    worker_.RefreshPublicMessage();
    return Next();
  }

 private:
  VendorResult Next() {
    const std::vector<VendorResult> results = log_.WaitFor(++asked_);
    if (results.size() < asked_)
      return {VendorRequestKind::Connect, 0, std::nullopt, Failure{0, L"no result from the worker"}};
    return results[asked_ - 1];
  }

  ResultLog log_;
  VendorWorker worker_;
  size_t asked_ = 0;
};

}  // namespace qm::test
