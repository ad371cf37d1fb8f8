// frmMain's side of the vendor worker: the start-up connect and the message refreshes are handed to the
// worker, which never makes the window wait, and their results are applied here as they arrive.

#include <windows.h>

#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "ui/frmMain.h"
#include "vendor_services/vendor_failures.h"

namespace qm {

bool frmMain::StartVendorWorker() noexcept {
  if (vendor_)
    return true;
  try {
    // A result that arrives after the window has closed is dropped by the worker, which is let go first.
    vendor_ = std::make_unique<VendorWorker>(
        [inbox = vendor_inbox_, window = hwnd()](VendorResult result) {
          {
            std::lock_guard lock(inbox->mutex);
            inbox->results.push_back(std::move(result));
          }
          ::PostMessageW(window, kVendorResultsMessage, 0, 0);
        },
        VendorDatabaseSessions(vendor_connection_string_));
    return true;
  } catch (...) {
    return false;
  }
}

void frmMain::ConnectVendorDatabase() {
  if (StartVendorWorker())
    vendor_->ConnectVendorDatabase();
  else
    status_line_->Show(VendorStatusReport(RuntimeFailure(err::kOutOfMemory)));
}

// Returns at once; the message reaches lblAds2 when the worker has read it. Its report is not shown: the
// action that asked writes its own report next, which a trader would see in its place anyway.
void frmMain::RefreshPublicMessage() {
  if (StartVendorWorker())
    vendor_->RefreshPublicMessage();
}

void frmMain::OnVendorResults() {
  // The reports are the vendor work's own, shown as they come; one that comes while a handler runs (in the
  // loop of a message box it shows) is kept as the handler's reports are.
  try {
    std::vector<VendorResult> arrived;
    {
      std::lock_guard lock(vendor_inbox_->mutex);
      arrived.swap(vendor_inbox_->results);
    }
    for (const VendorResult& result : arrived) {
      if (!vendor_)
        return;
      const VendorVerdict verdict = vendor_->Judge(result);
      if (!verdict.apply)
        continue;
      // The public message mostly comes back unchanged from one refresh to the next; given the same text
      // again, the label would only be painted again.
      if (HWND ads = Control(L"lblAds2"); result.message && WindowText(ads) != *result.message)
        ::SetWindowTextW(ads, result.message->c_str());
      if (verdict.show_status)
        status_line_->Show(VendorStatusReport(result.outcome));
    }
  } catch (...) {
    status_line_->Show(VendorStatusReport(FailureOfException(std::current_exception())));
  }
}

}  // namespace qm
