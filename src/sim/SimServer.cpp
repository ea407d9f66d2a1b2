// Raw SCPI sockets in front of the simulated bench.
#include "sim/SimServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sim/SimBench.h"

namespace brimtal::sim {

namespace {

void SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the peer has gone; the next read notices
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

SimServer::SimServer(SimBench& bench) : bench_(bench) {}

SimServer::~SimServer() {
  CloseAll();
}

void SimServer::CloseAll() {
  for (Connection& c : connections_) ::close(c.fd);
  for (int fd : listeners_) ::close(fd);
  connections_.clear();
  listeners_.clear();
  served_.clear();
}

bool SimServer::Listen(const std::string& host, int basePort, std::string& error) {
  CloseAll();
  sockaddr_in where{};
  where.sin_family = AF_INET;
  if (::inet_pton(AF_INET, host.c_str(), &where.sin_addr) != 1) {
    error = "not an IPv4 address: " + host;
    return false;
  }
  for (int address : bench_.Addresses()) {
    const int port = basePort == 0 ? 0 : basePort + address;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
        ::listen(fd, 4) != 0) {
      error = "cannot listen on " + host + ":" + std::to_string(port) + " (" +
              std::strerror(errno) + ")";
      if (fd >= 0) ::close(fd);
      CloseAll();
      return false;
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    listeners_.push_back(fd);
    served_.push_back({address, ntohs(bound.sin_port)});
  }
  return true;
}

bool SimServer::Poll(int timeoutMs, int stopFd) {
  std::vector<pollfd> fds;
  for (int fd : listeners_) fds.push_back({fd, POLLIN, 0});
  for (const Connection& c : connections_) fds.push_back({c.fd, POLLIN, 0});
  if (stopFd >= 0) fds.push_back({stopFd, POLLIN, 0});
  const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
  if (ready <= 0) return true;
  if (stopFd >= 0 && (fds.back().revents & POLLIN) != 0) return false;
  const std::size_t listenerCount = listeners_.size();
  std::vector<Connection> kept;
  for (std::size_t i = 0; i < connections_.size(); ++i) {
    Connection& c = connections_[i];
    if ((fds[listenerCount + i].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !Serve(c)) {
      ::close(c.fd);
      continue;
    }
    kept.push_back(std::move(c));
  }
  connections_ = std::move(kept);
  for (std::size_t i = 0; i < listenerCount; ++i) {
    if ((fds[i].revents & POLLIN) != 0) Accept(static_cast<int>(i));
  }
  return true;
}

void SimServer::Accept(int listenerIndex) {
  const int fd = ::accept4(listeners_[static_cast<std::size_t>(listenerIndex)], nullptr, nullptr,
                           SOCK_CLOEXEC);
  if (fd < 0) return;
  const int yes = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  connections_.push_back({fd, served_[static_cast<std::size_t>(listenerIndex)].address, {}});
}

bool SimServer::Serve(Connection& connection) {
  char buffer[4096];
  const ssize_t n = ::recv(connection.fd, buffer, sizeof buffer, 0);
  if (n < 0 && errno == EINTR) return true;
  if (n <= 0) return false;
  connection.input.append(buffer, static_cast<std::size_t>(n));
  std::size_t lf;
  while ((lf = connection.input.find('\n')) != std::string::npos) {
    const std::string message = connection.input.substr(0, lf + 1);
    connection.input.erase(0, lf + 1);
    bench_.Write(connection.address, message);
    if (SimInstrument* instrument = bench_.At(connection.address)) {
      auto& output = instrument->Output();
      while (!output.empty()) {
        SendAll(connection.fd, output.front().bytes);
        output.pop_front();
      }
    }
  }
  return true;
}

}  // namespace brimtal::sim
