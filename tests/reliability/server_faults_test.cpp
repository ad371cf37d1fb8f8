// Vendor servers that cannot answer, met by FreeTDS registered as "SQL Server" (by scripts/register-odbc.sh,
// as for real use): a closed port (server down), a host name that never resolves, a server that takes the
// connection and then refuses the login (it closes at once, or answers with bytes that are no login reply),
// and a server that takes the connection and never answers. Only the loopback address is contacted; the
// other host is under the reserved .invalid domain. Through the vendor worker, through the real
// window's start and refresh, which must answer input at once whatever the server does, and through the real
// Quenmarel.exe, which must stay bounded through an outage and end at once when told to, in any state.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_handle.h"
#include "support/action_files.h"
#include "support/figures.h"
#include "support/loopback_server.h"
#include "support/window_driver.h"
#include "support/main_window_fixture.h"
#include "support/text.h"
#include "support/vendor_results.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

using test::ConnectionStringTo;
using test::LoopbackServer;
using test::ServerBehaviour;
using testing::HasSubstr;

struct ServerCase {
  const char* name;
  ServerBehaviour behaviour;
  std::wstring host;  // where the connection string points; the server listens on 127.0.0.1
  bool reached;       // every login reaches the server (it counts the connection)
  bool hangs;         // a login waits out the login time-out: only the window meets it, at start-up
  int refreshes;      // through the vendor worker, each a new login
  bool press_during_login = false;  // the window: a BUY while the start-up login hangs
};

void PrintTo(const ServerCase& c, std::ostream* out) {
  *out << c.name;
}

const ServerCase kServerCases[] = {
    {"server down (closed port)", ServerBehaviour::Closed, L"127.0.0.1", false, false, 3},
    // Each refresh asks the system's resolver again for a name it cannot have.
    {"host name that never resolves", ServerBehaviour::Closed, L"vendor-db.invalid", false, false, 1},
    {"login refused (connection closed at once)", ServerBehaviour::AcceptAndClose, L"127.0.0.1", true, false,
     1},
    {"login refused (garbage answer)", ServerBehaviour::Garbage, L"127.0.0.1", true, false, 1},
    {"server that never answers", ServerBehaviour::Hang, L"127.0.0.1", true, true, 0},
    {"server that never answers, BUY during the start-up login", ServerBehaviour::Hang, L"127.0.0.1", true,
     true, 0, true},
};

std::vector<ServerCase> CasesThatAnswerAtOnce() {
  std::vector<ServerCase> cases;
  for (const ServerCase& c : kServerCases) {
    if (!c.hangs)
      cases.push_back(c);
  }
  return cases;
}

template <typename Case>
std::string TestName(const testing::TestParamInfo<Case>& info) {
  return test::TestNameOf(info.param.name);
}

constexpr wchar_t kDown[] = L"SQL Server is down.";

class VendorServerTest : public testing::TestWithParam<ServerCase> {};

TEST_P(VendorServerTest, BothOperationsReportSqlServerIsDown) {
  const ServerCase& c = GetParam();
  LoopbackServer server(c.behaviour);
  ASSERT_NE(server.port(), 0u);
  test::VendorRequester vendor(ConnectionStringTo(server.port(), c.host));

  const Outcome connected = vendor.Connect().outcome;
  ASSERT_TRUE(connected.has_value());
  EXPECT_EQ(connected->number, kProviderGeneralFailure);
  // FreeTDS itself must have tried: a driver manager that cannot find the driver fails the same way.
  EXPECT_THAT(connected->description, HasSubstr(L"[FreeTDS]"));
  EXPECT_EQ(VendorStatusReport(connected), kDown);

  // Every refresh tries again from a new connection, and the label keeps its text each time.
  for (int attempt = 0; attempt < c.refreshes; ++attempt) {
    const VendorResult refresh = vendor.Refresh();
    EXPECT_EQ(refresh.message, std::nullopt);
    EXPECT_EQ(VendorStatusReport(refresh.outcome), kDown);
  }
  EXPECT_EQ(server.connections(), c.reached ? 1 + c.refreshes : 0);
}

INSTANTIATE_TEST_SUITE_P(FreeTds, VendorServerTest, testing::ValuesIn(CasesThatAnswerAtOnce()),
                         TestName<ServerCase>);

class WindowServerTest : public test::MainWindowTest, public testing::WithParamInterface<ServerCase> {
 protected:
  std::wstring VendorConnection() const override {
    return ConnectionStringTo(server.port(), GetParam().host);
  }

  // Runs `work` on the window's thread, and then its queue, while another thread sends the window a message:
  // true when that message is answered within a second of `work`'s start.
  bool AnswersWithinASecond(const std::function<void()>& work) {
    std::atomic<bool> done = false;
    bool answered = false;
    std::thread probe([&, window = window->hwnd()] {
      DWORD_PTR ignored = 0;
      answered = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored) != 0;
      done = true;
    });
    work();
    PumpUntil([&] { return done.load(); }, 60'000);  // the probe ends within its own second
    probe.join();
    return answered;
  }

  // Runs the queue until lblStatus reads `text`, for at most `bound_ms`.
  bool StatusBecomes(const std::wstring& text, ULONGLONG bound_ms) {
    return PumpUntil([&] { return test::TextOf(Control(L"lblStatus")) == text; }, bound_ms);
  }

  LoopbackServer server{GetParam().behaviour};
};

// Whatever the server does, the window answers at once; the start-up report arrives when the login has
// failed (within the login time-out and the worker's grace for a server that never answers), unless a BUY
// has reported since, and each BUY has its files in place and its own report on the status line at once,
// while the start-up login or its refresh runs or waits.
TEST_P(WindowServerTest, TheWindowAnswersAtOnceAndReportsTheServerDown) {
  const ServerCase& c = GetParam();
  ASSERT_NE(server.port(), 0u);
  // A BUY: the window answers within a second, the seven files are in place, the action's own report is on
  // the status line and the message label keeps its text, once the refresh has failed too (a refresh to a
  // server that never answers ends only after the test).
  const auto press_buy = [this, &c](const std::string& when) {
    SCOPED_TRACE(when);
    const std::wstring label = test::TextOf(Control(L"lblAds2"));
    Forget();
    const int results = recorder->vendor_results;
    const bool answered = AnswersWithinASecond([this] { Click(L"cmdBuy"); });
    EXPECT_TRUE(answered);
    if (!c.hangs)
      AwaitVendorResults(results + 1);
    const bool written = Recorded() == test::WindowEvents(L"MT4\\tester\\files\\", test::ActionNamed("Buy"));
    EXPECT_TRUE(written) << "the seven files, then the action's report";
    const std::wstring status = test::TextOf(Control(L"lblStatus"));
    EXPECT_EQ(status, L"Status: OK.") << "the action's report stays";
    EXPECT_EQ(test::TextOf(Control(L"lblAds2")), label) << "the label keeps its text";
    return answered && written && status == L"Status: OK." && test::TextOf(Control(L"lblAds2")) == label;
  };

  const bool started = AnswersWithinASecond([this] { window->Form_Load(); });
  EXPECT_TRUE(started) << "at start-up";
  SetText(L"txtFileLocation", ExpertAdvisor());
  bool pressed = true;
  bool reported = false;
  if (c.press_during_login) {
    pressed = press_buy("a BUY while the start-up login hangs");
    // The login is given up within 17 s and the press's refresh logs in next: the worker hands the start-up
    // report to the window before it starts the refresh. Once the refresh has reached the server, the
    // report is in the window's queue; it is older than the press's and is not shown.
    const bool given_up = PumpUntil([&] { return server.connections() >= 2; }, 30'000);
    EXPECT_TRUE(given_up) << "the start-up login ended and the refresh began";
    Pump();
    reported = given_up && test::TextOf(Control(L"lblStatus")) == L"Status: OK.";
    EXPECT_TRUE(reported) << "the late start-up report replaced the action's";
  } else {
    reported = StatusBecomes(kDown, 20'000);
    EXPECT_TRUE(reported) << "the start-up report";
  }

  // The second press comes while the first one's refresh runs (or, for a server that never answers, hangs).
  for (int press = 1; press <= 2; ++press)
    pressed = press_buy("press " + std::to_string(press)) && pressed;
  const bool usable = SendParametersWorks(L"EURJPY");
  EXPECT_TRUE(usable);
  if (c.reached) {
    // A refresh to a server that never answers begins after the start-up login has been given up.
    EXPECT_GE(server.connections(), c.hangs ? 1 : 2) << "the logins reached the server";
  }

  const std::string prefix = std::string("database fault, ") + c.name;
  const char* start_goal = c.press_during_login ? "answered within 1 s; the BUY's Status: OK. kept for 20 s"
                                                : "answered within 1 s; SQL Server is down. within 20 s";
  const char* start_seen =
      c.press_during_login ? "answered; the BUY's Status: OK. kept" : "answered; SQL Server is down.";
  EXPECT_TRUE(test::ReportFigure(prefix + ", start-up", started && reported ? start_seen : "no", start_goal,
                                 started && reported));
  EXPECT_TRUE(
      test::ReportFigure(prefix + (c.press_during_login ? ", three BUY presses" : ", two BUY presses"),
                         pressed ? "answered; files written, Status: OK., label kept" : "no",
                         "answered within 1 s; files written, Status: OK., label kept", pressed));
  EXPECT_TRUE(test::ReportFigure(prefix + ": window usable afterwards",
                                 usable ? "files written, Status: OK." : "no", "files written, Status: OK.",
                                 usable));
}

INSTANTIATE_TEST_SUITE_P(FreeTds, WindowServerTest, testing::ValuesIn(kServerCases), TestName<ServerCase>);

// The program itself, in its own process, through tools/soak/panel_day (its own docs say how): the start-up
// status line, BUY presses and Exit, against a server on 127.0.0.1 that never answers or the SQLite
// stand-in. Its FIGURE lines are passed on; it fails when any of them missed its goal.
struct PanelProcessCase {
  const char* name;
  const wchar_t* registered;  // what "SQL Server" is: shim, freetds (itself) or sqlite
  int presses;                // -1: Exit during the start-up login
  int spacing_ms;
};

const PanelProcessCase kPanelProcessCases[] = {
    {"Exit during the start-up login", L"shim", -1, 0},
    {"FreeTDS itself, a BUY after a login given up, Exit during its login", L"freetds", 1, 18'500},
    {"Exit with a connection open after a successful connect", L"sqlite", 0, 0},
};

// The day, outside CI: scripts/reliability.sh --day.
const PanelProcessCase kDayCases[] = {
    {"FreeTDS itself, ten BUY presses 18.5 s apart", L"freetds", 10, 18'500},
    {"FreeTDS itself, a BUY every 18 s for 10 minutes", L"freetds", 33, 18'000},
    {"the registered shim, a BUY every 18 s for 10 minutes", L"shim", 33, 18'000},
};

class PanelProcessTest : public testing::TestWithParam<PanelProcessCase> {};

TEST_P(PanelProcessTest, StaysBoundedAndEndsAtExit) {
  const PanelProcessCase& c = GetParam();
  const std::wstring program = test::PathFromEnvironment("QM_PANEL_DAY");
  ASSERT_FALSE(program.empty()) << "QM_PANEL_DAY names the built panel_day.exe";
  // Its output is this program's: the FIGURE lines land in the suite's log.
  const test::PeerProcess day(program, {std::wstring(c.name, c.name + std::strlen(c.name)), c.registered,
                                        std::to_wstring(c.presses), std::to_wstring(c.spacing_ms)});
  EXPECT_EQ(day.ExitCode(40 * 60'000), 0u);
}

INSTANTIATE_TEST_SUITE_P(Panel, PanelProcessTest, testing::ValuesIn(kPanelProcessCases),
                         TestName<PanelProcessCase>);
INSTANTIATE_TEST_SUITE_P(DISABLED_Day, PanelProcessTest, testing::ValuesIn(kDayCases),
                         TestName<PanelProcessCase>);

}  // namespace
}  // namespace qm
