// The vendor worker: first against sessions that block until the test lets them go (short deadlines), then
// against real drivers: the SQLite stand-in that answers, and FreeTDS as "SQL Server" against loopback
// servers that cannot answer. Every wait is bounded; nothing here measures time.
#include "vendor_services/vendor_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_server.h"
#include "support/sqlite_database.h"
#include "support/vendor_results.h"
#include "support/window_driver.h"

namespace qm {

// Failures print as a result reads; found by argument-dependent lookup, so outside the unnamed namespace.
void PrintTo(const VendorResult& result, std::ostream* out) {
  std::wstring text = result.kind == VendorRequestKind::Connect ? L"connect " : L"refresh ";
  text +=
      std::to_wstring(result.sequence) + L": " + (result.message ? L"\"" + *result.message + L"\"" : L"-");
  text += L", " + VendorStatusReport(result.outcome);
  for (wchar_t c : text)
    *out << static_cast<char>(c < 0x80 ? c : '?');
}

namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ResultLog;
using test::ServerBehaviour;

// Long enough for any event these tests wait for, short enough that a fault fails rather than hangs.
constexpr auto kBound = 60s;

enum class Hang { Login, Query };

// Starts the worker's threads as the product does, counting those that ended; the start numbered
// `failing` (1 the watchdog, 2 the first worker thread, ...) throws as with no memory left.
struct Threads {
  std::atomic<int> asked = 0;
  std::atomic<int> ended = 0;
  int failing = 0;
};

VendorThreadStarter Counted(std::shared_ptr<Threads> threads) {
  return [threads](std::function<void()> work) {
    if (++threads->asked == threads->failing)
      throw std::bad_alloc();
    StartDetachedThread([threads, work = std::move(work)] {
      work();
      ++threads->ended;
    });
  };
}

// Sessions numbered 1, 2, ... in the order the worker makes them. Sessions 1 to `hanging` block in one phase
// until the test releases them; every other call answers at once, a message naming its session.
class FakeDriver : public std::enable_shared_from_this<FakeDriver> {
 public:
  explicit FakeDriver(Hang hang, int hanging = 1) : hang_(hang), hanging_(hanging) {}

  VendorSessionFactory Sessions();

  bool WaitUntilBlocked() {
    return Wait([&] { return blocked_; });
  }
  bool WaitUntilEnded(int session) {
    return Wait([&] { return ended_.count(session) > 0; });
  }
  bool Ended(int session) {
    std::lock_guard lock(mutex_);
    return ended_.count(session) > 0;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  std::vector<std::thread::id> Threads() {
    std::lock_guard lock(mutex_);
    return threads_;
  }

 private:
  class Session;

  template <typename Predicate>
  bool Wait(Predicate done) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, done);
  }

  void Block(int session, Hang phase) {
    if (session > hanging_ || phase != hang_)
      return;
    std::unique_lock lock(mutex_);
    blocked_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, kBound, [&] { return released_; });
  }

  const Hang hang_;
  const int hanging_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool blocked_ = false;
  bool released_ = false;
  std::vector<std::thread::id> threads_;  // the thread each session was made on
  std::set<int> ended_;
};

class FakeDriver::Session final : public VendorSession {
 public:
  Session(std::shared_ptr<FakeDriver> driver, int number) : driver_(std::move(driver)), number_(number) {}
  ~Session() override {
    std::lock_guard lock(driver_->mutex_);
    driver_->ended_.insert(number_);
    driver_->changed_.notify_all();
  }
  Outcome OpenConnection() override {
    driver_->Block(number_, Hang::Login);
    return std::nullopt;
  }
  PublicMessageRead ReadPublicMessage() override {
    driver_->Block(number_, Hang::Query);
    return std::optional<std::wstring>(L"message from session " + std::to_wstring(number_));
  }

 private:
  std::shared_ptr<FakeDriver> driver_;
  int number_;
};

VendorSessionFactory FakeDriver::Sessions() {
  return [driver = shared_from_this()]() -> std::unique_ptr<VendorSession> {
    std::lock_guard lock(driver->mutex_);
    driver->threads_.push_back(std::this_thread::get_id());
    return std::make_unique<Session>(driver, static_cast<int>(driver->threads_.size()));
  };
}

// A call that does not come back in time: the worker reports the time-out, goes on with a fresh thread,
// and the call given up never reports when it finally returns; its thread frees its session and ends.
struct OverdueCase {
  const char* name;
  VendorRequestKind first;
  Hang hang;
  Failure overdue;
  std::wstring report;
  int hanging = 1;        // sessions that hang: with two out, a press is answered at once, with no thread
  int failing_start = 0;  // a thread start that fails
  Outcome merged_outcome = std::nullopt;  // of the presses while the first call hangs; none: a message
};

const Failure kLoginOverdue{-2147467259, L"Login timeout expired"};
const std::wstring kDown = L"SQL Server is down.";

void PrintTo(const OverdueCase& c, std::ostream* out) {
  *out << c.name;
}

const OverdueCase kOverdueCases[] = {
    {"StartUpLoginHangs",
     VendorRequestKind::Connect,
     Hang::Login,
     {-2147467259, L"Login timeout expired"},
     L"SQL Server is down."},
    {"RefreshLoginHangs",
     VendorRequestKind::Refresh,
     Hang::Login,
     {-2147467259, L"Login timeout expired"},
     L"SQL Server is down."},
    {"QueryHangs",
     VendorRequestKind::Refresh,
     Hang::Query,
     {-2147217900, L"Query timeout expired"},
     L"-2147217900 : Query timeout expired"},
    {"TwoLoginsHangNoThirdStarts", VendorRequestKind::Connect, Hang::Login, kLoginOverdue, kDown, 2, 0,
     kLoginOverdue},
    // The watchdog starts the refresh that waits when it gives the first login up.
    {"ThreadStartFailsInTheWatchdog", VendorRequestKind::Refresh, Hang::Login, kLoginOverdue, kDown, 1, 3,
     Failure{7, L"Out of memory"}},
};

class OverdueTest : public testing::TestWithParam<OverdueCase> {};

TEST_P(OverdueTest, ReportsTheTimeOutAndGoesOnWithAFreshThread) {
  const OverdueCase& c = GetParam();
  auto driver = std::make_shared<FakeDriver>(c.hang, c.hanging);
  auto threads = std::make_shared<Threads>();
  threads->failing = c.failing_start;
  ResultLog log;
  auto worker = std::make_unique<VendorWorker>(log.Handler(), driver->Sessions(), VendorDeadlines{1s, 1s},
                                               Counted(threads));

  if (c.first == VendorRequestKind::Connect)
    worker->ConnectVendorDatabase();
  else
    worker->RefreshPublicMessage();
  ASSERT_TRUE(driver->WaitUntilBlocked());
  // Presses while the call hangs merge into one refresh that runs after it, as the newest of them (4).
  for (int press = 0; press < 3; ++press)
    worker->RefreshPublicMessage();

  const std::vector<VendorResult> results = log.WaitFor(2);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0], (VendorResult{c.first, 1, std::nullopt, c.overdue}));
  EXPECT_EQ(VendorStatusReport(results[0].outcome), c.report);
  const std::optional<std::wstring> message = L"message from session 2";
  EXPECT_EQ(results[1], (VendorResult{VendorRequestKind::Refresh, 4,
                                      c.merged_outcome ? std::nullopt : message, c.merged_outcome}));
  // One more press: as a login given up while two are out, else on the thread of the merged refresh.
  worker->RefreshPublicMessage();
  const VendorResult next = log.WaitFor(3).back();
  EXPECT_EQ(next, (VendorResult{VendorRequestKind::Refresh, 5, c.hanging == 2 ? std::nullopt : message,
                                c.hanging == 2 ? c.merged_outcome : std::nullopt}));
  EXPECT_EQ(threads->asked.load(), 3 + (c.failing_start > 0)) << "the watchdog and two worker threads";

  // The calls given up come back, their threads free their sessions and end; a press logs in again.
  driver->Release();
  for (int session = 1; session <= c.hanging; ++session)
    EXPECT_TRUE(driver->WaitUntilEnded(session));
  EXPECT_TRUE(test::WaitUntil([&] { return threads->ended == c.hanging; }));
  worker->RefreshPublicMessage();
  EXPECT_EQ(log.WaitFor(4).back().message, L"message from session " + std::to_wstring(c.hanging + 1));
  const std::vector<std::thread::id> sessions = driver->Threads();
  ASSERT_GE(sessions.size(), 2u);
  EXPECT_NE(sessions[0], sessions[1]);

  // At the end the idle thread ends, leaving its session to the end of the process.
  worker.reset();
  EXPECT_TRUE(test::WaitUntil([&] { return threads->ended == threads->asked - (c.failing_start > 0); }));
  EXPECT_FALSE(driver->Ended(static_cast<int>(sessions.size())));
  EXPECT_EQ(log.WaitFor(0).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(FakeDriver, OverdueTest, testing::ValuesIn(kOverdueCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VendorWorkerTest, EndsAtOnceWhileACallHangsAndReportsNothingAfter) {
  auto driver = std::make_shared<FakeDriver>(Hang::Login);
  ResultLog log;
  auto threads = std::make_shared<Threads>();
  auto worker = std::make_unique<VendorWorker>(log.Handler(), driver->Sessions(),
                                               VendorDeadlines{kBound, kBound}, Counted(threads));
  worker->ConnectVendorDatabase();
  ASSERT_TRUE(driver->WaitUntilBlocked());

  auto destroyed = std::async(std::launch::async, [&] { worker.reset(); });
  const std::future_status ended = destroyed.wait_for(10s);
  driver->Release();  // lets a destructor that waits for the call end too, so that the test fails, not hangs
  EXPECT_EQ(ended, std::future_status::ready) << "the destructor waited for the hanging call";
  destroyed.wait();
  // The call comes back after the end: its thread ends and leaves its session to the end of the process.
  EXPECT_TRUE(test::WaitUntil([&] { return threads->ended == 2; }));
  EXPECT_FALSE(driver->Ended(1));
  EXPECT_TRUE(log.WaitFor(0).empty());
}

// The vendor's connection string with the SQLite driver, registered beside FreeTDS under a name of its own.
std::wstring SqliteConnectionString() {
  return test::WithPair(VendorConnectionString(), L"driver", L"{SQLite stand-in}");
}

struct ServerCase {
  const char* name;
  std::optional<ServerBehaviour> server;  // nothing: the SQLite stand-in answers
  std::wstring connect_report;
  std::optional<std::wstring> message;
  std::wstring refresh_report;
  int threads;      // worker threads the connect and the refresh took
  int connections;  // reached the server at least
  int failing_start = 0;
};

void PrintTo(const ServerCase& c, std::ostream* out) {
  *out << c.name;
}

const ServerCase kServerCases[] = {
    {"SqliteStandInAnswers", std::nullopt, L"Status: OK.", L"Spreads are low today", L"Status: OK.", 1, 0},
    {"ClosedLoopbackPort", ServerBehaviour::Closed, L"SQL Server is down.", std::nullopt,
     L"SQL Server is down.", 1, 0},
    // FreeTDS's own login time-out is 15 s, and then it tries again with no time-out at all: the worker's
    // deadline ends each login, and the refresh runs on a fresh thread while the first one is still inside.
    {"ServerThatNeverAnswers", ServerBehaviour::Hang, L"SQL Server is down.", std::nullopt,
     L"SQL Server is down.", 2, 2},
    // The connect reports the thread that could not start; the refresh starts it again.
    {"WatchdogFailsToStart", std::nullopt, L"7 : Out of memory", L"Spreads are low today", L"Status: OK.", 1,
     0, 1},
    {"WorkerFailsToStart", std::nullopt, L"7 : Out of memory", L"Spreads are low today", L"Status: OK.", 1, 0,
     2},
};

class WorkerServerTest : public testing::TestWithParam<ServerCase> {};

TEST_P(WorkerServerTest, ConnectAndRefreshReport) {
  const ServerCase& c = GetParam();
  LoopbackServer server(c.server.value_or(ServerBehaviour::Closed));
  ASSERT_NE(server.port(), 0u);
  std::optional<test::SqliteVendorDatabase> database;
  if (!c.server) {
    database.emplace(SqliteConnectionString());
    database->Run(L"CREATE TABLE Vostrel_Gap (Id INTEGER, Public_Msg TEXT)");
    database->Run(L"INSERT INTO Vostrel_Gap (Public_Msg) VALUES ('  Spreads are low today ')");
  }
  auto threads = std::make_shared<std::atomic<int>>(0);
  VendorSessionFactory counted =
      [threads, inner = VendorDatabaseSessions(c.server ? test::ConnectionStringTo(server.port())
                                                        : SqliteConnectionString())] {
        ++*threads;
        return inner();
      };

  ResultLog log;
  std::vector<VendorResult> results;
  {
    auto failing = std::make_shared<Threads>();
    failing->failing = c.failing_start;
    VendorWorker worker(log.Handler(), counted, {4s, 4s}, Counted(failing));
    worker.ConnectVendorDatabase();
    worker.RefreshPublicMessage();
    results = log.WaitFor(2);
  }
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].kind, VendorRequestKind::Connect);
  EXPECT_EQ(VendorStatusReport(results[0].outcome), c.connect_report);
  EXPECT_EQ(results[1].kind, VendorRequestKind::Refresh);
  EXPECT_EQ(results[1].message, c.message);
  EXPECT_EQ(VendorStatusReport(results[1].outcome), c.refresh_report);
  EXPECT_EQ(*threads, c.threads);
  EXPECT_GE(server.connections(), c.connections);
}

INSTANTIATE_TEST_SUITE_P(RealDrivers, WorkerServerTest, testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
