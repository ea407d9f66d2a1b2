// The program's own thin layer over the instrument bus: opening and closing a device, the
// GPIB error box with the decoded status, and the write, read and flush conventions that
// every instrument driver follows.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "instruments/bus/Ni488.h"

namespace brimtal {

class BDelay;
class Host;

// What a definition's end-of-string code (0 none, 1 CR, 2 CR LF) means for writing and reading.
struct Termination {
  std::string terminator;  // appended to every command
  bus::ReadEnd readEnd;    // how replies are read
};
// Nothing for codes other than 0, 1 and 2 (the driver then keeps what it had).
std::optional<Termination> TerminationForEos(int eos);

class Gpib {
 public:
  static constexpr int kReplyBufferSize = 64;     // the generic instruments
  static constexpr int kAmpReplyBufferSize = 80;  // the amplifier pair
  static constexpr std::int16_t kNoAddr = -1;

  Gpib(bus::Ni488& bus, Host& host, BDelay& delay);

  // Interface clear, once per program run (again only after a failed attempt).
  bool GpibSendIfc();
  // Listener search, remote with lockout, the initialisation string (sent as given, terminator
  // included; empty sends nothing), then a 2 s pause that a halt does not shorten.
  bool GpibInitDevice(std::int16_t address, const std::string& initString,
                      const std::string& deviceName);
  bool GpibCloseDevice(std::int16_t address, const std::string& deviceName);
  // The message followed by the decoded status lines, exclamation icon, OK.
  void GpibErrorBox(const std::string& message);
  std::string IbstaText() const;
  std::string IberrText() const;
  std::string IbcntText() const;

  // Writing: the command (terminator already appended) with EOI on its last byte. False when
  // ERR is set; the caller shows its own error box.
  bool GpibWrite(std::int16_t address, std::string_view command);
  // Reading: into a buffer of bufferSize characters; the reply is the first ibcnt of them.
  bool GpibRead(std::int16_t address, bus::ReadEnd end, std::string& reply,
                int bufferSize = kReplyBufferSize);
  // Before a trigger: 30 ms timeout, one read that is thrown away whatever happens, 10 s timeout.
  void GpibFlush(std::int16_t address);

  // Tells the bus what the run has connected (only the simulated bench listens).
  void AnnounceSetup(bus::BenchSetup setup);

  // Called once when the bus library cannot be used at all and the program must end.
  void SetQuitHandler(std::function<void()> quit) { quit_ = std::move(quit); }

  std::int16_t ibsta() const { return ibsta_; }
  std::int16_t iberr() const { return iberr_; }
  std::int16_t ibcnt() const { return ibcnt_; }
  bool IfcSent() const { return ifcSent_; }
  const std::array<std::int16_t, 3>& AddrList() const { return addrList_; }
  bus::Ni488& Bus() { return bus_; }

 private:
  bool Registered();
  void Keep(const bus::Status& status);
  bool Failed() const;
  std::vector<bus::Address> BusList() const;

  bus::Ni488& bus_;
  Host& host_;
  BDelay& delay_;
  std::function<void()> quit_;
  std::int16_t ibsta_ = 0;
  std::int16_t iberr_ = 0;
  std::int16_t ibcnt_ = 0;
  bool ifcSent_ = false;
  bool registered_ = false;
  bool unusable_ = false;
  std::array<std::int16_t, 3> addrList_{0, 0, kNoAddr};
  std::array<std::int16_t, 3> resultList_{0, 0, 0};
};

}  // namespace brimtal
