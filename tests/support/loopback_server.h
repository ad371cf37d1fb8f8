#pragma once
// A TCP server on 127.0.0.1 for one test, standing in for a database server that cannot answer. Only the
// loopback address is ever used, and the server ends with this object: the listening socket and every
// connection it holds are closed.

#include <memory>
#include <string>
#include <string_view>

#include "vendor_services/connection_string.h"

namespace qm::test {

enum class ServerBehaviour {
  Closed,          // bound, never listening: every connection is refused
  AcceptAndClose,  // each connection is taken and closed before any reply
  Garbage,         // each connection is taken and answered with bytes that are no login reply
  Hang,            // each connection is taken and held open, and nothing is ever sent
};

class LoopbackServer {
 public:
  explicit LoopbackServer(ServerBehaviour behaviour);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // The port on 127.0.0.1; 0 when none could be had.
  unsigned port() const;
  // Connections taken so far.
  int connections() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// `connection_string` with the value of its pair `key` (matched without regard to case) replaced by `value`,
// every other pair kept as written: the one way tests point a connection string at a server, driver,
// provider or database of their own. Throws when the string has no such pair.
std::wstring WithPair(const std::wstring& connection_string, std::wstring_view key, std::wstring_view value);

// The vendor's connection string pointed at `host` (127.0.0.1 when not given) and `port` in place of the
// vendor's server and 1433: what points the panel's own string at a server of a test's own.
inline std::wstring ConnectionStringTo(unsigned port, const std::wstring& host = L"127.0.0.1") {
  return WithPair(VendorConnectionString(), L"server", host + L"," + std::to_wstring(port));
}

}  // namespace qm::test
