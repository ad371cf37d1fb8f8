#pragma once
// The order of the vendor work, kept apart from threads, ODBC and the window so that it can be tested on its
// own. The start-up connect and the message refreshes run one at a time: a request made while one runs
// waits, and further requests merge into the one that waits, so at most one runs and one waits. Results are
// judged as they reach the window: in request order, an older one never replacing a newer one, and a connect
// report only while no action has reported on the status line since the connect was asked for.
// It also keeps count of the driver calls the worker gave up that have not come back: each holds a thread,
// its handles and its connections to the server, so while kMaxGivenUpCalls of them are outstanding no
// further call is started, and the request is answered as a login given up would be.
// Pure logic, no Win32 headers.

#include <cstdint>
#include <optional>

namespace qm {

// However long a driver ignores its time-outs, no more driver calls than this are ever given up and still
// out; a trading day of refreshes against a server that never answers then holds two threads, not hundreds.
inline constexpr int kMaxGivenUpCalls = 2;

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

  // The running request `sequence` was given up while its driver call goes on; otherwise as Finish.
  std::optional<VendorRequest> GiveUp(std::uint64_t sequence);
  // A call given up has come back (and its thread has let go of what it held).
  void CallReturned();
  // kMaxGivenUpCalls calls given up are outstanding: the request to start now must be answered without
  // starting a call.
  bool Refuses() const { return given_up_ >= kMaxGivenUpCalls; }

  const std::optional<VendorRequest>& running() const { return running_; }

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
  int given_up_ = 0;  // calls given up that have not come back
};

}  // namespace qm
