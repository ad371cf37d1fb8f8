// Vendor servers that cannot answer, met by FreeTDS registered as "SQL Server": a closed port (server down),
// and a server that takes the connection and then refuses the login: it closes at once, or answers with
// bytes that are no login reply. Only the loopback address is used. Through the vendor database directly
// and through the real window's start and refresh; the window must go on working after each.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "reliability/figures.h"
#include "reliability/window_checks.h"
#include "support/loopback_server.h"
#include "ui/main_window_fixture.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

using test::LoopbackServer;
using test::ServerBehaviour;

// The vendor's connection string for 127.0.0.1 with `port` in place of 1433.
std::wstring ConnectionStringTo(unsigned port) {
  std::wstring text = VendorConnectionString(L"127.0.0.1");
  const std::wstring standard = L",1433;";
  text.replace(text.find(standard), standard.size(), L"," + std::to_wstring(port) + L";");
  return text;
}

struct ServerCase {
  const char* name;
  ServerBehaviour behaviour;
};

void PrintTo(const ServerCase& c, std::ostream* out) {
  *out << c.name;
}

const ServerCase kServerCases[] = {
    {"server down (closed port)", ServerBehaviour::Closed},
    {"login refused (connection closed at once)", ServerBehaviour::AcceptAndClose},
    {"login refused (garbage answer)", ServerBehaviour::Garbage},
};

std::string TestName(const testing::TestParamInfo<ServerCase>& info) {
  std::string name;
  for (char c : std::string(info.param.name))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

constexpr wchar_t kDown[] = L"SQL Server is down.";

class VendorServerTest : public testing::TestWithParam<ServerCase> {};

TEST_P(VendorServerTest, BothOperationsReportSqlServerIsDown) {
  LoopbackServer server(GetParam().behaviour);
  ASSERT_NE(server.port(), 0u);
  VendorDatabase vendor(ConnectionStringTo(server.port()));
  EXPECT_EQ(VendorStatusReport(vendor.ConnectVendorDatabase()), kDown);
  const PublicMessageRefresh refresh = vendor.RefreshPublicMessage();
  EXPECT_EQ(refresh.message, std::nullopt);
  EXPECT_EQ(VendorStatusReport(refresh.failure), kDown);
  if (GetParam().behaviour != ServerBehaviour::Closed) {
    EXPECT_GE(server.connections(), 2) << "the driver reached the server each time";
  }
}

INSTANTIATE_TEST_SUITE_P(FreeTds, VendorServerTest, testing::ValuesIn(kServerCases), TestName);

class WindowServerTest : public test::MainWindowTest, public testing::WithParamInterface<ServerCase> {
 protected:
  std::wstring VendorConnection() const override { return ConnectionStringTo(server.port()); }
  LoopbackServer server{GetParam().behaviour};
};

TEST_P(WindowServerTest, StartAndRefreshReportAndTheWindowStaysUsable) {
  ASSERT_NE(server.port(), 0u);
  window->Form_Load();
  const std::wstring at_start = test::WindowText(Control(L"lblStatus"));
  EXPECT_EQ(at_start, kDown);
  SetText(L"txtFileLocation", ExpertAdvisor());
  const std::wstring label = test::WindowText(Control(L"lblAds2"));
  Forget();

  Click(L"cmdBuy");
  const test::ActionReports reports = test::ReportsOf(Recorded());
  EXPECT_EQ(reports.vendor, kDown);
  EXPECT_EQ(reports.last, L"Status: OK.");
  EXPECT_EQ(test::WindowText(Control(L"lblAds2")), label) << "the label keeps its text";
  const bool usable = test::SendParametersWorks(*this, L"EURJPY");
  EXPECT_TRUE(usable);

  const bool met = at_start == kDown && reports.vendor == kDown;
  std::string shown;
  for (wchar_t c : reports.vendor)
    shown += static_cast<char>(c < 0x80 ? c : '?');
  EXPECT_TRUE(test::ReportFigure(std::string("database fault, ") + GetParam().name + ", start and refresh",
                                 shown, "SQL Server is down.", met));
  EXPECT_TRUE(
      test::ReportFigure(std::string("database fault, ") + GetParam().name + ": window usable afterwards",
                         usable ? "files written, Status: OK." : "no", "files written, Status: OK.", usable));
}

INSTANTIATE_TEST_SUITE_P(FreeTds, WindowServerTest, testing::ValuesIn(kServerCases), TestName);

}  // namespace
}  // namespace qm
