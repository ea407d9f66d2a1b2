// Raw SCPI sockets behind the bus interface.
#include "instruments/bus/TcpBus.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace brimtal::bus {

namespace {

constexpr int kControlOk = kCmpl | kCic;
constexpr int kWriteOk = kCmpl | kCic | kTacs;
constexpr int kReadOk = kCmpl | kCic | kLacs;

using SteadyClock = std::chrono::steady_clock;

int MsLeft(SteadyClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

std::vector<int> Listed(const std::vector<Address>& list) {
  std::vector<int> addresses;
  for (Address a : list) {
    if (a == kNoAddr) break;
    addresses.push_back(a);
  }
  return addresses;
}

// Waits for the socket; false when the time ran out.
bool WaitFor(int fd, short events, SteadyClock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int ready = ::poll(&p, 1, MsLeft(deadline));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return true;  // the next call reports the error
  }
}

// True when the peer has closed the connection (nothing of what it sent is lost: data waiting
// to be read means it is still there).
bool PeerClosed(int fd) {
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  char c;
  const ssize_t n = ::recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
  return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

}  // namespace

TcpBus::TcpBus(std::map<int, TcpEndpoint> endpoints) : endpoints_(std::move(endpoints)) {}

TcpBus::~TcpBus() {
  for (auto& [address, connection] : connections_) ::close(connection.fd);
}

void TcpBus::Close(int address) {
  const auto it = connections_.find(address);
  if (it == connections_.end()) return;
  ::close(it->second.fd);
  connections_.erase(it);
}

TcpBus::ConnectResult TcpBus::Connect(int address, int timeoutMs) {
  const auto open = connections_.find(address);
  if (open != connections_.end()) {
    if (!PeerClosed(open->second.fd)) return ConnectResult::Connected;
    Close(address);
  }
  const auto endpoint = endpoints_.find(address);
  if (endpoint == endpoints_.end()) return ConnectResult::Refused;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(endpoint->second.port);
  if (::getaddrinfo(endpoint->second.host.c_str(), port.c_str(), &hints, &found) != 0) {
    return ConnectResult::Refused;
  }
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  ConnectResult result = ConnectResult::Refused;
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    int error = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
    if (error == EINPROGRESS) {
      if (!WaitFor(fd, POLLOUT, deadline)) {
        ::close(fd);
        result = ConnectResult::TimedOut;
        break;
      }
      socklen_t length = sizeof error;
      ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    }
    if (error == 0) {
      const int yes = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      connections_[address] = Connection{fd, {}};
      result = ConnectResult::Connected;
      break;
    }
    ::close(fd);
  }
  ::freeaddrinfo(found);
  return result;
}

Status TcpBus::SendIFC() {
  // Interface clear ends every transfer: whatever the instruments sent and nobody read is gone.
  for (auto& [address, connection] : connections_) connection.pending.clear();
  return {kControlOk, 0, 0};
}

Status TcpBus::FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                        int limit) {
  results.clear();
  for (int address : Listed(padList)) {
    if (endpoints_.count(address) == 0) continue;
    if (Connect(address, kProbeTimeoutMs) != ConnectResult::Connected) continue;
    if (static_cast<int>(results.size()) >= limit) {
      return {kErr | kControlOk, kEtab, static_cast<long>(results.size())};
    }
    results.push_back(static_cast<Address>(address));
  }
  if (results.empty()) return {kErr | kControlOk, kEnol, 0};
  return {kControlOk, 0, static_cast<long>(results.size())};
}

Status TcpBus::SetRWLS(const std::vector<Address>& /*addressList*/) {
  // A socket has no remote state of its own: instruments go remote when a client connects.
  return {kControlOk, 0, 0};
}

Status TcpBus::EnableLocal(const std::vector<Address>& addressList) {
  for (int address : Listed(addressList)) Close(address);
  return {kControlOk, 0, 0};
}

Status TcpBus::Send(Address address, std::string_view data, SendEnd end) {
  switch (Connect(address, std::max(timeoutMs_, kMinimumConnectMs))) {
    case ConnectResult::Connected: break;
    case ConnectResult::Refused: return {kErr | kWriteOk, kEnol, 0};
    case ConnectResult::TimedOut: return {kErr | kTimo | kWriteOk, kEabo, 0};
  }
  std::string bytes(data);
  if (end == SendEnd::EoiWithLastByte && (bytes.empty() || bytes.back() != '\n')) bytes += '\n';
  const int fd = connections_[address].fd;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs_);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      if (WaitFor(fd, POLLOUT, deadline)) continue;
      const long moved = static_cast<long>(std::min(sent, data.size()));
      return {kErr | kTimo | kWriteOk, kEabo, moved};
    }
    Close(address);  // the instrument has gone
    return {kErr | kWriteOk, kEnol, static_cast<long>(std::min(sent, data.size()))};
  }
  return {kWriteOk, 0, static_cast<long>(data.size())};
}

Status TcpBus::Receive(Address address, std::string& data, std::size_t count, ReadEnd end) {
  data.clear();
  switch (Connect(address, std::max(timeoutMs_, kMinimumConnectMs))) {
    case ConnectResult::Connected: break;
    case ConnectResult::Refused: return {kErr | kReadOk, kEnol, 0};
    case ConnectResult::TimedOut: return {kErr | kTimo | kReadOk, kEabo, 0};
  }
  Connection& connection = connections_[address];
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs_);
  for (;;) {
    // A line feed ends a message on a socket as EOI does on the bus; a read that stops on CR
    // may end earlier.
    const std::size_t mark =
        connection.pending.find_first_of(end == ReadEnd::StopOnCr ? "\r\n" : "\n");
    if (mark != std::string::npos && mark < count) {
      data = connection.pending.substr(0, mark + 1);
      connection.pending.erase(0, mark + 1);
      return {kReadOk | (data.back() == '\n' ? kEnd : 0), 0, static_cast<long>(data.size())};
    }
    if (connection.pending.size() >= count) {
      data = connection.pending.substr(0, count);
      connection.pending.erase(0, count);
      return {kReadOk, 0, static_cast<long>(count)};
    }
    if (!WaitFor(connection.fd, POLLIN, deadline)) {
      data = connection.pending;
      connection.pending.clear();
      return {kErr | kTimo | kReadOk, kEabo, static_cast<long>(data.size())};
    }
    char buffer[4096];
    const ssize_t n = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      connection.pending.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      // The instrument closed the connection: what it sent last is the end of its message.
      data = connection.pending;
      Close(address);
      if (data.empty()) return {kErr | kReadOk, kEabo, 0};
      return {kReadOk | kEnd, 0, static_cast<long>(data.size())};
    }
  }
}

Status TcpBus::ibtmo(Timeout timeout) {
  timeoutMs_ = TimeoutMs(timeout);
  return {kControlOk, 0, 0};
}

}  // namespace brimtal::bus
