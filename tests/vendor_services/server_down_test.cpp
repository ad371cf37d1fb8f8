// FreeTDS, registered as "SQL Server" as it is for real use, against servers that cannot answer. Only the
// loopback address is ever contacted: the closed port is one this test holds bound without listening, and
// the other host is under the reserved .invalid domain, which never resolves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/loopback_server.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

using test::LoopbackServer;
using test::ServerBehaviour;
using testing::HasSubstr;

// The vendor's connection string around `host`, with `port` in place of 1433.
std::wstring ConnectionStringTo(const std::wstring& host, unsigned port) {
  std::wstring text = VendorConnectionString(host);
  const std::wstring standard_port = L"," + std::wstring(L"1433;");
  text.replace(text.find(standard_port), standard_port.size(), L"," + std::to_wstring(port) + L";");
  return text;
}

struct DownCase {
  const char* name;
  std::wstring host;  // empty: 127.0.0.1 on a closed port
  int refreshes;      // each one asks the system's resolver again for a name it cannot have
};

void PrintTo(const DownCase& c, std::ostream* out) {
  *out << c.name;
}

const DownCase kDownCases[] = {
    {"ClosedLoopbackPort", L"", 3},
    {"UnresolvableHost", L"vendor-db.invalid", 1},
};

class ServerDownTest : public testing::TestWithParam<DownCase> {};

TEST_P(ServerDownTest, BothOperationsReportSqlServerIsDown) {
  LoopbackServer closed(ServerBehaviour::Closed);
  ASSERT_NE(closed.port(), 0u);
  const bool loopback = GetParam().host.empty();
  VendorDatabase vendor(loopback ? ConnectionStringTo(L"127.0.0.1", closed.port())
                                 : ConnectionStringTo(GetParam().host, closed.port()));

  const Outcome connected = vendor.ConnectVendorDatabase();
  ASSERT_TRUE(connected.has_value());
  EXPECT_EQ(connected->number, kProviderGeneralFailure);
  // FreeTDS itself must have tried: a driver manager that cannot find the driver fails the same way.
  EXPECT_THAT(connected->description, HasSubstr(L"[FreeTDS]"));
  EXPECT_EQ(VendorStatusReport(connected), L"SQL Server is down.");

  // Every refresh tries again from a new connection, and the label keeps its text each time.
  for (int attempt = 0; attempt < GetParam().refreshes; ++attempt) {
    const PublicMessageRefresh refresh = vendor.RefreshPublicMessage();
    EXPECT_EQ(refresh.message, std::nullopt);
    EXPECT_EQ(VendorStatusReport(refresh.failure), L"SQL Server is down.");
  }
}

INSTANTIATE_TEST_SUITE_P(FreeTdsAsSqlServer, ServerDownTest, testing::ValuesIn(kDownCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm
