// Serves the instruments of a simulated bench as raw SCPI sockets, one listening port per
// instrument, so that LAN back-ends and VISA clients can drive them. Messages end at a line
// feed; replies go back to the connection that asked.
#pragma once

#include <string>
#include <vector>

namespace brimtal::sim {

class SimBench;

struct ServedInstrument {
  int address = 0;
  int port = 0;
};

class SimServer {
 public:
  explicit SimServer(SimBench& bench);
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  // Listens for every instrument of the bench on host:(basePort + address); a base port of 0
  // lets the system choose a free port for each. False with a reason when a port cannot be had.
  bool Listen(const std::string& host, int basePort, std::string& error);
  const std::vector<ServedInstrument>& Served() const { return served_; }

  // Waits at most timeoutMs for connections and messages and handles them. When stopFd is
  // given and becomes readable, returns false at once.
  bool Poll(int timeoutMs, int stopFd = -1);

 private:
  struct Connection {
    int fd = -1;
    int address = 0;
    std::string input;
  };
  void Accept(int listenerIndex);
  // False when the peer has gone.
  bool Serve(Connection& connection);
  void CloseAll();

  SimBench& bench_;
  std::vector<ServedInstrument> served_;
  std::vector<int> listeners_;
  std::vector<Connection> connections_;
};

}  // namespace brimtal::sim
