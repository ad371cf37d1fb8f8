#pragma once
// The vendor work off the user-interface thread. The start-up connect and the message refreshes run, one at a
// time and in request order, on one worker thread with a VendorDatabase of its own; requests made while one
// runs merge into one that runs after it (VendorRequests). Each result is handed to a callback on the
// worker's side; the window posts it to itself and asks Judge what to do with it there.
//
// Every wait is bounded whatever the driver does: a watchdog gives a login up a little after the login
// time-out and a query a little after the query time-out, delivers the failure the time-out stands for, and
// gives the thread inside the call up with it. That thread keeps its own database and never delivers; the
// next request runs on a fresh thread. When the call comes back, the thread frees what it held and ends. At
// most kMaxGivenUpCalls calls given up are out at once; while that many are, a request is answered at once
// as a login given up, without a thread. Nothing here waits for a driver call to end: the destructor waits
// at most a second, and only for a thread already freeing what a call given up held, so the program can end
// at once; the worker never touches an exchange file, so nothing can be lost. Threads are started only when
// a request needs them; a thread that cannot be started is that request's failure ("7 : Out of memory"),
// and the next request tries again.
//
// Locking: one mutex guards everything the threads share (Shared in the .cpp), and no driver call is made
// while it is held. Functions that must be called with it held take the held lock as their first argument.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "platform/failure.h"
#include "vendor_services/vendor_database.h"
#include "vendor_services/vendor_requests.h"
#include "vendor_services/vendor_session.h"

namespace qm {

// The result of one request.
struct VendorResult {
  VendorRequestKind kind = VendorRequestKind::Connect;
  std::uint64_t sequence = 0;
  std::optional<std::wstring> message;  // a refresh's new text for lblAds2; nothing leaves the label as it is
  Outcome outcome;                      // what VendorStatusReport makes of it

  friend bool operator==(const VendorResult&, const VendorResult&) = default;
};

// Takes each result, in request order, never after the worker is destroyed: on a thread of the worker (on
// the asking thread only when no thread could be started). It runs under the worker's lock: it must be quick
// and must not call the worker (the window posts the result to itself).
using VendorResultHandler = std::function<void(VendorResult)>;

// Starts `work` on a thread of its own that nobody waits for; throws when no thread can be had. The worker
// starts each of its threads through one of these.
using VendorThreadStarter = std::function<void(std::function<void()> work)>;

// std::thread, detached.
void StartDetachedThread(std::function<void()> work);

// How long a login and a query may take before the worker gives them up.
struct VendorDeadlines {
  std::chrono::milliseconds login;
  std::chrono::milliseconds query;
};

// Beyond the driver's own time-out: long enough for a driver that honours it to report for itself, short
// enough that a login that hangs at start-up reports "SQL Server is down." well within 20 seconds.
inline constexpr std::chrono::seconds kVendorDeadlineGrace{2};
inline constexpr VendorDeadlines kVendorDeadlines{kVendorLoginTimeout + kVendorDeadlineGrace,
                                                  kVendorQueryTimeout + kVendorDeadlineGrace};

class VendorWorker {
 public:
  explicit VendorWorker(VendorResultHandler on_result,
                        VendorSessionFactory sessions = VendorDatabaseSessions(),
                        VendorDeadlines deadlines = kVendorDeadlines,
                        VendorThreadStarter start_thread = StartDetachedThread);
  // Returns at once, or within a second while a thread frees what a call given up held when it came back. A
  // thread inside a driver call is left to it, and what the worker's threads hold is left to the end of the
  // process: the program ends right after this, and a driver torn down on another thread meanwhile could
  // hold the process's end up. No result is handed over after this.
  ~VendorWorker();
  VendorWorker(const VendorWorker&) = delete;
  VendorWorker& operator=(const VendorWorker&) = delete;

  // Ask for the start-up connect and for a refresh of the public message; a request made while another
  // waits merges into it, and one result answers both.
  void ConnectVendorDatabase();
  void RefreshPublicMessage();

  // An action has written its report on the status line: a connect report that was asked for earlier is
  // no longer shown.
  void NoteActionReport();

  // What the window does with `result` as it arrives (on the window's thread, in arrival order): whether
  // it is applied at all (lblAds2 takes a refresh's message), and whether its report goes on lblStatus.
  VendorVerdict Judge(const VendorResult& result);

 private:
  struct Shared;

  void Ask(VendorRequestKind kind);

  std::shared_ptr<Shared> shared_;
};

}  // namespace qm
