// Vendor servers that cannot answer, met by FreeTDS registered as "SQL Server": a closed port (server down),
// and a server that takes the connection and then refuses the login: it closes at once, or answers with
// bytes that are no login reply. Only the loopback address is used. Through the vendor database directly
// and through the real window's start and refresh; the window must go on working after each.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>

#include "reliability/figures.h"
#include "reliability/window_checks.h"
#include "ui/main_window_fixture.h"
#include "vendor_services/vendor_database.h"

namespace qm {
namespace {

enum class Behaviour {
  Closed,          // bound, never listening: the connection is refused
  AcceptAndClose,  // the connection is taken and closed before any reply
  Garbage,         // the connection is taken and answered with bytes that are no login reply
};

// A server on 127.0.0.1 for as long as this object lives.
class LoopbackServer {
 public:
  explicit LoopbackServer(Behaviour behaviour) : behaviour_(behaviour) {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (socket_ == INVALID_SOCKET || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    if (behaviour_ != Behaviour::Closed && ::listen(socket_, 8) == 0)
      thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stopping_ = true;
    if (socket_ != INVALID_SOCKET)
      ::closesocket(socket_);  // ends the accept that waits
    if (thread_.joinable())
      thread_.join();
    if (started_)
      ::WSACleanup();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  unsigned port() const { return port_; }
  int connections() const { return connections_; }

 private:
  void Serve() {
    while (!stopping_) {
      SOCKET client = ::accept(socket_, nullptr, nullptr);
      if (client == INVALID_SOCKET)
        return;
      ++connections_;
      if (behaviour_ == Behaviour::Garbage) {
        static constexpr char kGarbage[] = "HTTP/1.0 400 Bad Request\r\n\r\n\x04\x01\x00\x08\xff\xff\xff\xff";
        ::send(client, kGarbage, sizeof kGarbage - 1, 0);
        char sink[512];
        ::recv(client, sink, sizeof sink, 0);
      }
      ::closesocket(client);
    }
  }

  Behaviour behaviour_;
  bool started_ = false;
  SOCKET socket_ = INVALID_SOCKET;
  unsigned port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

// The vendor's connection string for 127.0.0.1 with `port` in place of 1433.
std::wstring ConnectionStringTo(unsigned port) {
  std::wstring text = VendorConnectionString(L"127.0.0.1");
  const std::wstring standard = L",1433;";
  text.replace(text.find(standard), standard.size(), L"," + std::to_wstring(port) + L";");
  return text;
}

struct ServerCase {
  const char* name;
  Behaviour behaviour;
};

void PrintTo(const ServerCase& c, std::ostream* out) {
  *out << c.name;
}

const ServerCase kServerCases[] = {
    {"server down (closed port)", Behaviour::Closed},
    {"login refused (connection closed at once)", Behaviour::AcceptAndClose},
    {"login refused (garbage answer)", Behaviour::Garbage},
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
  if (GetParam().behaviour != Behaviour::Closed) {
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
