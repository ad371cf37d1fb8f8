#include "vendor_services/vendor_worker.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "vendor_services/vendor_failures.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;

// Where a worker thread is. The thread and the watchdog each move it on with one compare-and-swap, so
// exactly one of them decides how a call ends: the thread with its result, or the watchdog with a time-out,
// after which the thread only finds out that it was left behind.
enum class Phase { Idle, Login, Query, Abandoned };

struct Lane {
  std::atomic<Phase> phase{Phase::Idle};
};

class DatabaseSession final : public VendorSession {
 public:
  explicit DatabaseSession(const std::wstring& connection_string) : database_(connection_string) {}
  Outcome OpenConnection() override { return database_.ConnectVendorDatabase(); }
  std::variant<std::optional<std::wstring>, Failure> ReadPublicMessage() override {
    return database_.ReadPublicMessage();
  }

 private:
  VendorDatabase database_;
};

// What a call given up reports: the failures of a driver's own login and query time-outs (HYT00).
Failure OverdueFailure(Phase phase) {
  if (phase == Phase::Login)
    return ConnectFailure({{L"HYT00", 0, L"Login timeout expired"}});
  return StatementFailure({{L"HYT00", 0, L"Query timeout expired"}});
}

}  // namespace

VendorSessionFactory VendorDatabaseSessions(std::wstring connection_string) {
  return [connection_string = std::move(connection_string)]() -> std::unique_ptr<VendorSession> {
    return std::make_unique<DatabaseSession>(connection_string);
  };
}

// Everything the threads share, kept alive by each of them: a thread left behind holds no pointer to the
// VendorWorker. All of it is guarded by `mutex`, which is never held during a driver call.
struct VendorWorker::Shared : std::enable_shared_from_this<Shared> {
  Shared(VendorResultHandler handler, VendorSessionFactory factory, VendorDeadlines limits)
      : on_result(std::move(handler)), sessions(std::move(factory)), deadlines(limits) {}

  // Hands `request` to the worker thread, starting a fresh one when there is none.
  void Start(VendorRequest request);
  // Hands the result of the running request over and starts the waiting one.
  void Deliver(VendorResult result);
  // Sets the deadline of the phase the worker thread has just entered.
  void Watch(Phase phase, std::chrono::milliseconds limit);

  static void RunLane(std::shared_ptr<Shared> shared, std::shared_ptr<Lane> lane);
  static void RunWatchdog(std::shared_ptr<Shared> shared);

  std::mutex mutex;
  std::condition_variable work_ready;
  std::condition_variable deadline_changed;
  const VendorResultHandler on_result;
  const VendorSessionFactory sessions;
  const VendorDeadlines deadlines;
  VendorRequests requests;
  std::optional<VendorRequest> handed;  // started, not yet taken by the worker thread
  std::shared_ptr<Lane> lane;           // the worker thread that is not left behind, if any
  Phase watched = Phase::Idle;
  std::optional<Clock::time_point> deadline;
  bool closed = false;
};

void VendorWorker::Shared::Start(VendorRequest request) {
  handed = request;
  if (!lane) {
    auto fresh = std::make_shared<Lane>();
    try {
      std::thread(RunLane, shared_from_this(), fresh).detach();
    } catch (const std::system_error&) {
      handed.reset();
      Deliver({request.kind, request.sequence, std::nullopt, RuntimeFailure(err::kOutOfMemory)});
      return;
    }
    lane = std::move(fresh);
  }
  work_ready.notify_one();
}

void VendorWorker::Shared::Deliver(VendorResult result) {
  deadline.reset();
  if (closed)
    return;
  const std::optional<VendorRequest> next = requests.Finish(result.sequence);
  try {
    on_result(std::move(result));
  } catch (...) {
    // A result the window could not take is lost like a message that never came; the worker goes on.
  }
  if (next)
    Start(*next);
}

void VendorWorker::Shared::Watch(Phase phase, std::chrono::milliseconds limit) {
  watched = phase;
  deadline = Clock::now() + limit;
  deadline_changed.notify_one();
}

void VendorWorker::Shared::RunLane(std::shared_ptr<Shared> shared, std::shared_ptr<Lane> lane) {
  std::unique_ptr<VendorSession> session;
  for (;;) {
    VendorRequest request;
    {
      std::unique_lock lock(shared->mutex);
      shared->work_ready.wait(lock, [&] { return shared->closed || shared->handed; });
      if (shared->closed)
        return;
      request = *std::exchange(shared->handed, std::nullopt);
      lane->phase = Phase::Login;
      shared->Watch(Phase::Login, shared->deadlines.login);
    }
    VendorResult result{request.kind, request.sequence, std::nullopt, std::nullopt};
    try {
      if (!session)
        session = shared->sessions();
      result.outcome = session->OpenConnection();
    } catch (const std::bad_alloc&) {
      result.outcome = RuntimeFailure(err::kOutOfMemory);
    }
    const bool query = !result.outcome && request.kind == VendorRequestKind::Refresh;
    Phase expected = Phase::Login;
    if (!lane->phase.compare_exchange_strong(expected, query ? Phase::Query : Phase::Idle))
      return;  // left behind: the watchdog has answered for this request
    if (query) {
      {
        std::lock_guard lock(shared->mutex);
        shared->Watch(Phase::Query, shared->deadlines.query);
      }
      try {
        auto message = session->ReadPublicMessage();
        if (auto* failure = std::get_if<Failure>(&message))
          result.outcome = std::move(*failure);
        else
          result.message = std::move(std::get<std::optional<std::wstring>>(message));
      } catch (const std::bad_alloc&) {
        result.outcome = RuntimeFailure(err::kOutOfMemory);
      }
      expected = Phase::Query;
      if (!lane->phase.compare_exchange_strong(expected, Phase::Idle))
        return;
    }
    std::lock_guard lock(shared->mutex);
    shared->Deliver(std::move(result));
  }
}

void VendorWorker::Shared::RunWatchdog(std::shared_ptr<Shared> shared) {
  std::unique_lock lock(shared->mutex);
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
    Phase expected = shared->watched;
    // A thread that has just come back owns its result; it sets the next deadline itself.
    if (!shared->lane || !shared->lane->phase.compare_exchange_strong(expected, Phase::Abandoned))
      continue;
    shared->lane.reset();
    const VendorRequest overdue = *shared->requests.running();
    shared->Deliver({overdue.kind, overdue.sequence, std::nullopt, OverdueFailure(shared->watched)});
  }
}

VendorWorker::VendorWorker(VendorResultHandler on_result, VendorSessionFactory sessions,
                           VendorDeadlines deadlines)
    : shared_(std::make_shared<Shared>(std::move(on_result), std::move(sessions), deadlines)) {
  std::thread(Shared::RunWatchdog, shared_).detach();
}

VendorWorker::~VendorWorker() {
  std::lock_guard lock(shared_->mutex);
  shared_->closed = true;
  shared_->work_ready.notify_all();
  shared_->deadline_changed.notify_all();
}

std::uint64_t VendorWorker::Ask(VendorRequestKind kind) {
  std::lock_guard lock(shared_->mutex);
  if (const std::optional<VendorRequest> start = shared_->requests.Ask(kind)) {
    shared_->Start(*start);
    return start->sequence;
  }
  return shared_->requests.waiting()->sequence;
}

std::uint64_t VendorWorker::ConnectVendorDatabase() {
  return Ask(VendorRequestKind::Connect);
}

std::uint64_t VendorWorker::RefreshPublicMessage() {
  return Ask(VendorRequestKind::Refresh);
}

void VendorWorker::NoteActionReport() {
  std::lock_guard lock(shared_->mutex);
  shared_->requests.NoteActionReport();
}

bool VendorWorker::Busy() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->requests.running().has_value();
}

VendorVerdict VendorWorker::Judge(const VendorResult& result) {
  std::lock_guard lock(shared_->mutex);
  return shared_->requests.Judge(result.kind, result.sequence);
}

}  // namespace qm
