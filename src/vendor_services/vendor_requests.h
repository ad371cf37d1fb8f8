#pragma once
// The order of the vendor work, kept apart from threads, ODBC and the window so that it can be tested on its
// own. The start-up connect and the message refreshes run one at a time: a request made while one runs
// waits, and further requests merge into the one that waits, so at most one runs and one waits. Results are
// judged as they reach the window: in request order, an older one never replacing a newer one, and a connect
// report only while no action has reported on the status line since the connect was asked for.
// Pure logic, no Win32 headers.

#include <cstdint>
#include <optional>

namespace qm {

enum class VendorRequestKind {
  Connect,  // ConnectVendorDatabase: log in to see whether the server answers; the report is for lblStatus
  Refresh,  // RefreshPublicMessage: log in and read the public message for lblAds2
};

struct VendorRequest {
  VendorRequestKind kind = VendorRequestKind::Connect;
  std::uint64_t sequence = 0;  // 1, 2, ... in the order the requests were made

  friend bool operator==(const VendorRequest&, const VendorRequest&) = default;
};

// What the window does with a result that has arrived.
struct VendorVerdict {
  bool apply = false;        // newer than every result applied so far: a refresh's message goes on lblAds2
  bool show_status = false;  // a connect report that no action report has overtaken: it goes on lblStatus

  friend bool operator==(const VendorVerdict&, const VendorVerdict&) = default;
};

class VendorRequests {
 public:
  // Asks for work. Returns the request to start now when nothing runs. Otherwise the request waits, merged
  // with the one that already waits: the merged request takes the newest sequence number (its result then
  // comes from work that began after this request), and it is a refresh if either was, since a refresh logs
  // in too and a connect report would not be shown after the action that asked for the refresh.
  std::optional<VendorRequest> Ask(VendorRequestKind kind);

  // The running request `sequence` has ended; returns the waiting request, which runs from now on. A
  // sequence that is not the running one changes nothing.
  std::optional<VendorRequest> Finish(std::uint64_t sequence);

  const std::optional<VendorRequest>& running() const { return running_; }
  const std::optional<VendorRequest>& waiting() const { return waiting_; }

  // An action has written its report on the status line.
  void NoteActionReport();

  // Judges the result of request `sequence` as it reaches the window. An applied result is remembered, so
  // that no result of an older request, and no second copy, is applied after it.
  VendorVerdict Judge(VendorRequestKind kind, std::uint64_t sequence);

 private:
  std::uint64_t last_asked_ = 0;
  std::uint64_t last_applied_ = 0;
  // The last request asked for before the latest action report: a connect up to it has been overtaken.
  std::uint64_t asked_before_action_report_ = 0;
  std::optional<VendorRequest> running_;
  std::optional<VendorRequest> waiting_;
};

}  // namespace qm
