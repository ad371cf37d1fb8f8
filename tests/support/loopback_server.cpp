#include "support/loopback_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace qm::test {

struct LoopbackServer::State {
  void Serve();

  ServerBehaviour behaviour;
  bool started = false;
  SOCKET listener = INVALID_SOCKET;
  unsigned port = 0;
  std::atomic<bool> stopping{false};
  std::atomic<int> connections{0};
  std::mutex held_mutex;
  std::vector<SOCKET> held;
  std::thread thread;
};

void LoopbackServer::State::Serve() {
  while (!stopping) {
    SOCKET client = ::accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET)
      return;
    ++connections;
    if (behaviour == ServerBehaviour::Hang) {
      std::lock_guard lock(held_mutex);
      held.push_back(client);
      continue;
    }
    if (behaviour == ServerBehaviour::Garbage) {
      static constexpr char kGarbage[] = "HTTP/1.0 400 Bad Request\r\n\r\n\x04\x01\x00\x08\xff\xff\xff\xff";
      ::send(client, kGarbage, sizeof kGarbage - 1, 0);
      char sink[512];
      ::recv(client, sink, sizeof sink, 0);
    }
    ::closesocket(client);
  }
}

LoopbackServer::LoopbackServer(ServerBehaviour behaviour) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.behaviour = behaviour;
  WSADATA data;
  s.started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  s.listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (s.listener == INVALID_SOCKET || ::bind(s.listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(s.listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    return;
  }
  s.port = ntohs(address.sin_port);
  if (behaviour != ServerBehaviour::Closed && ::listen(s.listener, 8) == 0)
    s.thread = std::thread([&s] { s.Serve(); });
}

LoopbackServer::~LoopbackServer() {
  State& s = *state_;
  s.stopping = true;
  if (s.listener != INVALID_SOCKET)
    ::closesocket(s.listener);  // ends the accept that waits
  if (s.thread.joinable())
    s.thread.join();
  for (SOCKET client : s.held)
    ::closesocket(client);
  if (s.started)
    ::WSACleanup();
}

unsigned LoopbackServer::port() const {
  return state_->port;
}

int LoopbackServer::connections() const {
  return state_->connections;
}

std::wstring WithPair(const std::wstring& connection_string, std::wstring_view key, std::wstring_view value) {
  for (size_t start = 0; start < connection_string.size();) {
    const size_t end = std::min(connection_string.find(L';', start), connection_string.size());
    const size_t equals = connection_string.find(L'=', start);
    if (equals < end &&
        ::CompareStringOrdinal(connection_string.data() + start, static_cast<int>(equals - start), key.data(),
                               static_cast<int>(key.size()), TRUE) == CSTR_EQUAL) {
      std::wstring out = connection_string;
      return out.replace(equals + 1, end - equals - 1, value);
    }
    start = end + 1;
  }
  throw std::invalid_argument("the connection string has no such pair");
}

}  // namespace qm::test
