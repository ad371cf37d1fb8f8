#include "vendor_services/vendor_worker.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "vendor_services/vendor_failures.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;
using Lock = std::unique_lock<std::mutex>;

// Where a worker thread is: between calls, inside the login or the query, or given up by the watchdog, after
// which the thread only finds out, once its call has come back, that its result is no longer wanted. The
// thread and the watchdog each look at it and move it on under the worker's lock, so exactly one of them
// decides how a call ends: the thread with its result, or the watchdog with a time-out.
enum class Phase { Idle, Login, Query, GivenUp };

// A worker thread, as the worker and the watchdog know it; guarded by the worker's mutex.
struct Lane {
  Phase phase = Phase::Idle;
};

// How long the end of the worker lets a thread finish freeing what a call given up held.
constexpr auto kTeardownBound = std::chrono::milliseconds(1000);

// A failure made where nothing may be thrown (the watchdog's thread, the answer to a thread that could not
// be started): when its text cannot be had, the number alone, which is all the report of a login given up
// ("SQL Server is down.") needs.
template <typename Make>
Failure WithoutThrowing(long number, Make make) noexcept {
  try {
    return make();
  } catch (...) {
    return Failure{number, std::wstring()};
  }
}

// What a call given up reports: the failures of a driver's own login and query time-outs (HYT00).
Failure GivenUpFailure(Phase phase) noexcept {
  if (phase == Phase::Login) {
    return WithoutThrowing(kProviderGeneralFailure, [] {
      return ConnectFailure({{L"HYT00", 0, L"Login timeout expired"}});
    });
  }
  return WithoutThrowing(kErrorsInCommand, [] {
    return StatementFailure({{L"HYT00", 0, L"Query timeout expired"}});
  });
}

// Also what a thread that could not be started reports: a thread is its stack before anything else, so
// whatever stopped it, memory is what ran out.
Failure OutOfMemory() noexcept {
  return WithoutThrowing(err::kOutOfMemory, [] { return RuntimeFailure(err::kOutOfMemory); });
}

}  // namespace

void StartDetachedThread(std::function<void()> work) {
  std::thread(std::move(work)).detach();
}

// Everything the threads share, kept alive by each of them: a thread given up holds no pointer to the
// VendorWorker. All of it is guarded by `mutex`, which is never held during a driver call; the functions
// that take a `const Lock&` are called with it held.
struct VendorWorker::Shared : std::enable_shared_from_this<Shared> {
  Shared(VendorResultHandler handler, VendorSessionFactory factory, VendorDeadlines limits,
         VendorThreadStarter starter)
      : on_result(std::move(handler)),
        sessions(std::move(factory)),
        deadlines(limits),
        start_thread(std::move(starter)) {}

  // Hands `request` to the worker thread, starting a fresh one when there is none; answers it at once when
  // no thread may or can be started.
  void Start(const Lock& held, VendorRequest request) noexcept;
  // Starts the watchdog if it is not running, and a fresh worker thread; false when either cannot start.
  bool StartThreads(const Lock& held) noexcept;
  // Hands the result of the running request over and starts the waiting one. A call given up is counted as
  // outstanding before that, so that the bound holds for the next one.
  enum class Ending { Returned, GivenUp };
  void Deliver(const Lock& held, VendorResult result, Ending ending = Ending::Returned) noexcept;
  // Moves the worker thread into `phase`, a call that may take `limit` before the watchdog gives it up.
  void Watch(const Lock& held, Lane& runner, Phase phase, std::chrono::milliseconds limit);
  // The end of a thread whose call was given up and has come back; lets go of the lock while it frees the
  // session.
  void EndGivenUpCall(Lock held, std::unique_ptr<VendorSession> session);

  static void RunLane(std::shared_ptr<Shared> shared, std::shared_ptr<Lane> runner);
  static void RunWatchdog(std::shared_ptr<Shared> shared) noexcept;

  std::mutex mutex;
  std::condition_variable work_ready;
  std::condition_variable deadline_changed;
  const VendorResultHandler on_result;
  const VendorSessionFactory sessions;
  const VendorDeadlines deadlines;
  const VendorThreadStarter start_thread;
  VendorRequests requests;
  std::optional<VendorRequest> handed;  // started, not yet taken by the worker thread
  std::shared_ptr<Lane> lane;           // the worker thread not given up, if any
  std::optional<Clock::time_point> deadline;
  bool watchdog_running = false;
  int teardowns = 0;  // threads freeing what a call given up held
  std::condition_variable teardown_done;
  bool closed = false;
};

void VendorWorker::Shared::Start(const Lock& held, VendorRequest request) noexcept {
  if (!lane) {
    const bool refused = requests.Refuses();
    if (refused || !StartThreads(held)) {
      // The request is answered here, on the asking thread (or the watchdog's), as if it had run.
      Deliver(held, {request.kind, request.sequence, std::nullopt,
                     refused ? GivenUpFailure(Phase::Login) : OutOfMemory()});
      return;
    }
  }
  handed = request;
  work_ready.notify_one();
}

bool VendorWorker::Shared::StartThreads(const Lock&) noexcept {
  try {
    if (!watchdog_running) {
      start_thread([shared = shared_from_this()] { RunWatchdog(shared); });
      watchdog_running = true;
    }
    auto fresh = std::make_shared<Lane>();
    start_thread([shared = shared_from_this(), fresh] { RunLane(shared, fresh); });
    lane = std::move(fresh);
    return true;
  } catch (...) {
    return false;
  }
}

void VendorWorker::Shared::Deliver(const Lock& held, VendorResult result, Ending ending) noexcept {
  deadline.reset();
  if (closed)
    return;
  const std::optional<VendorRequest> next =
      ending == Ending::GivenUp ? requests.GiveUp(result.sequence) : requests.Finish(result.sequence);
  try {
    on_result(std::move(result));
  } catch (...) {
    // A result the window could not take is lost like a message that never came; the worker goes on.
  }
  if (next)
    Start(held, *next);
}

void VendorWorker::Shared::Watch(const Lock&, Lane& runner, Phase phase, std::chrono::milliseconds limit) {
  runner.phase = phase;
  deadline = Clock::now() + limit;
  deadline_changed.notify_one();
}

void VendorWorker::Shared::RunLane(std::shared_ptr<Shared> shared, std::shared_ptr<Lane> runner) {
  std::unique_ptr<VendorSession> session;
  for (;;) {
    VendorRequest request;
    {
      Lock lock(shared->mutex);
      shared->work_ready.wait(lock, [&] { return shared->closed || shared->handed; });
      if (shared->closed) {
        // The program is ending: the connection is left open to the end of the process, not torn down
        // here while the process ends.
        static_cast<void>(session.release());
        return;
      }
      request = *std::exchange(shared->handed, std::nullopt);
      shared->Watch(lock, *runner, Phase::Login, shared->deadlines.login);
    }
    VendorResult result{request.kind, request.sequence, std::nullopt, std::nullopt};
    try {
      if (!session)
        session = shared->sessions();
      result.outcome = session->OpenConnection();
    } catch (const std::bad_alloc&) {
      result.outcome = OutOfMemory();
    }
    if (!result.outcome && request.kind == VendorRequestKind::Refresh) {
      {
        Lock lock(shared->mutex);
        if (runner->phase == Phase::GivenUp)  // the watchdog has answered for this request
          return shared->EndGivenUpCall(std::move(lock), std::move(session));
        shared->Watch(lock, *runner, Phase::Query, shared->deadlines.query);
      }
      try {
        PublicMessageRead read = session->ReadPublicMessage();
        if (auto* failure = std::get_if<Failure>(&read))
          result.outcome = std::move(*failure);
        else
          result.message = std::move(std::get<std::optional<std::wstring>>(read));
      } catch (const std::bad_alloc&) {
        result.outcome = OutOfMemory();
      }
    }
    Lock lock(shared->mutex);
    if (runner->phase == Phase::GivenUp)
      return shared->EndGivenUpCall(std::move(lock), std::move(session));
    runner->phase = Phase::Idle;
    shared->Deliver(lock, std::move(result));
  }
}

void VendorWorker::Shared::EndGivenUpCall(Lock held, std::unique_ptr<VendorSession> session) {
  if (closed) {
    static_cast<void>(session.release());  // left to the end of the process, as the destructor says
    return;
  }
  ++teardowns;
  // Freed on the thread that used it, outside the lock: a disconnect may take a round trip to the server.
  held.unlock();
  session.reset();
  held.lock();
  --teardowns;
  requests.CallReturned();
  teardown_done.notify_all();
}

void VendorWorker::Shared::RunWatchdog(std::shared_ptr<Shared> shared) noexcept {
  Lock lock(shared->mutex);
  while (!shared->closed) {
    if (!shared->deadline) {
      shared->deadline_changed.wait(lock);
      continue;
    }
    if (Clock::now() < *shared->deadline) {
      shared->deadline_changed.wait_until(lock, *shared->deadline);
      continue;
    }
    shared->deadline.reset();
    // A thread that has just come back owns its result, and has delivered it or sets the next deadline.
    if (!shared->lane || shared->lane->phase == Phase::Idle)
      continue;
    const Phase given_up = std::exchange(shared->lane->phase, Phase::GivenUp);
    shared->lane.reset();
    const VendorRequest request = *shared->requests.running();
    shared->Deliver(lock, {request.kind, request.sequence, std::nullopt, GivenUpFailure(given_up)},
                    Ending::GivenUp);
  }
}

VendorWorker::VendorWorker(VendorResultHandler on_result, VendorSessionFactory sessions,
                           VendorDeadlines deadlines, VendorThreadStarter start_thread)
    : shared_(std::make_shared<Shared>(std::move(on_result), std::move(sessions), deadlines,
                                       std::move(start_thread))) {}

VendorWorker::~VendorWorker() {
  Lock lock(shared_->mutex);
  shared_->closed = true;
  shared_->work_ready.notify_all();
  shared_->deadline_changed.notify_all();
  // A thread already freeing what a call given up held is let finish, briefly, rather than cut off inside
  // the driver by the end of the process.
  shared_->teardown_done.wait_for(lock, kTeardownBound, [&] { return shared_->teardowns == 0; });
}

void VendorWorker::Ask(VendorRequestKind kind) {
  Lock lock(shared_->mutex);
  if (const std::optional<VendorRequest> start = shared_->requests.Ask(kind))
    shared_->Start(lock, *start);
}

void VendorWorker::ConnectVendorDatabase() {
  Ask(VendorRequestKind::Connect);
}

void VendorWorker::RefreshPublicMessage() {
  Ask(VendorRequestKind::Refresh);
}

void VendorWorker::NoteActionReport() {
  Lock lock(shared_->mutex);
  shared_->requests.NoteActionReport();
}

VendorVerdict VendorWorker::Judge(const VendorResult& result) {
  Lock lock(shared_->mutex);
  return shared_->requests.Judge(result.kind, result.sequence);
}

}  // namespace qm
