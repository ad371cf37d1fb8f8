#pragma once
// The vendor worker's results as it hands them over, and the real worker asked for one request at a time:
// what the vendor database answers, through the worker the window uses.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "vendor_services/vendor_database.h"
#include "vendor_services/vendor_worker.h"

namespace qm::test {

// The results as a worker hands them over on its threads.
class ResultLog {
 public:
  VendorResultHandler Handler();
  // All results once `count` have arrived, or those that arrived within a minute.
  std::vector<VendorResult> WaitFor(size_t count);
  std::vector<VendorResult> Arrived();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<VendorResult> results_;
};

// The vendor worker over `connection_string`, with the panel's deadlines; each call asks for one request and
// returns the result the worker hands over for it.
class VendorRequester {
 public:
  explicit VendorRequester(const std::wstring& connection_string = VendorConnectionString());
  VendorResult Connect();
  VendorResult Refresh();

 private:
  VendorResult Next();

  ResultLog log_;
  VendorWorker worker_;
  size_t asked_ = 0;
};

}  // namespace qm::test
