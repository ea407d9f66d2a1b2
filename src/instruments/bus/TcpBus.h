// Instruments on the LAN through raw SCPI sockets, one host:port per bus address. Connections
// are opened when first needed and kept; every wait is bounded by the board timeout. A write
// that ends with EOI ends with a line feed on the socket, and a line feed ends a read as EOI
// does on the bus.
#pragma once

#include <map>
#include <string>

#include "instruments/bus/Ni488.h"

namespace brimtal::bus {

struct TcpEndpoint {
  std::string host;
  int port = 5025;
  bool operator==(const TcpEndpoint&) const = default;
};

class TcpBus final : public Ni488 {
 public:
  static constexpr int kDefaultPort = 5025;
  // The listener search only probes: a short connect.
  static constexpr int kProbeTimeoutMs = 1000;
  // A connection may take longer than the 30 ms of a flush.
  static constexpr int kMinimumConnectMs = 1000;

  explicit TcpBus(std::map<int, TcpEndpoint> endpoints);
  ~TcpBus() override;
  TcpBus(const TcpBus&) = delete;
  TcpBus& operator=(const TcpBus&) = delete;

  Status SendIFC() override;
  Status FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                  int limit) override;
  Status SetRWLS(const std::vector<Address>& addressList) override;
  Status EnableLocal(const std::vector<Address>& addressList) override;
  Status Send(Address address, std::string_view data, SendEnd end) override;
  Status Receive(Address address, std::string& data, std::size_t count, ReadEnd end) override;
  Status ibtmo(Timeout timeout) override;
  std::string Description() const override { return "LAN (SCPI sockets)"; }
  bool IsSimulated() const override { return false; }

 private:
  struct Connection {
    int fd = -1;
    std::string pending;  // received and not yet read
  };
  enum class ConnectResult { Connected, Refused, TimedOut };
  // An open connection to the address (reopened when the instrument closed it).
  ConnectResult Connect(int address, int timeoutMs);
  void Close(int address);

  std::map<int, TcpEndpoint> endpoints_;
  std::map<int, Connection> connections_;
  int timeoutMs_ = 10000;
};

}  // namespace brimtal::bus
