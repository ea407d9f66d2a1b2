// The board-level instrument bus as the program uses it: nine operations on board 0, each
// leaving the status words ibsta, iberr and ibcnt. Arguments are symbolic (end modes,
// terminations, timeouts); every back-end turns them into whatever its library expects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brimtal::bus {

// A primary address 0 to 30; lists of addresses end with kNoAddr.
using Address = std::uint16_t;
inline constexpr Address kNoAddr = 0xFFFF;

// Bits of ibsta.
inline constexpr int kErr = 0x8000;
inline constexpr int kTimo = 0x4000;
inline constexpr int kEnd = 0x2000;
inline constexpr int kSrqi = 0x1000;
inline constexpr int kRqs = 0x0800;
inline constexpr int kCmpl = 0x0100;
inline constexpr int kLok = 0x0080;
inline constexpr int kRem = 0x0040;
inline constexpr int kCic = 0x0020;
inline constexpr int kAtn = 0x0010;
inline constexpr int kTacs = 0x0008;
inline constexpr int kLacs = 0x0004;
inline constexpr int kDtas = 0x0002;
inline constexpr int kDcas = 0x0001;

// Values of iberr.
inline constexpr int kEdvr = 0;
inline constexpr int kEcic = 1;
inline constexpr int kEnol = 2;
inline constexpr int kEadr = 3;
inline constexpr int kEarg = 4;
inline constexpr int kEsac = 5;
inline constexpr int kEabo = 6;
inline constexpr int kEneb = 7;
inline constexpr int kEdma = 8;
inline constexpr int kEoip = 10;
inline constexpr int kEcap = 11;
inline constexpr int kEfso = 12;
inline constexpr int kEbus = 14;
inline constexpr int kEstb = 15;
inline constexpr int kEsrq = 16;
inline constexpr int kEtab = 20;

// The short name and description of an iberr value ("ENOL", "No Listener"); empty texts for
// values that have none.
struct ErrorInfo {
  std::string_view name;
  std::string_view description;
};
ErrorInfo ErrorInfoOf(int iberr);

// What one call left behind.
struct Status {
  int ibsta = 0;
  int iberr = 0;
  long ibcnt = 0;
  bool Failed() const { return (ibsta & kErr) != 0; }
};

// How the last byte of a write is marked.
enum class SendEnd { None, EoiWithLastByte };
// When a read stops (besides a full buffer and EOI).
enum class ReadEnd { EoiOnly, StopOnLf, StopOnCr };
// The board timeouts the program uses.
enum class Timeout { Ms30, S10 };
int TimeoutMs(Timeout timeout);

// What the runs have connected to the RF chain; only the simulated bench cares.
enum class BenchSetup { CalibrationFixture, Eut, Direct, CableInserted };
std::string_view BenchSetupName(BenchSetup setup);

class Ni488 {
 public:
  virtual ~Ni488() = default;

  // Interface clear on board 0.
  virtual Status SendIFC() = 0;
  // Tests the addresses of padList (ended by kNoAddr) for listeners; at most limit found
  // addresses go into results.
  virtual Status FindLstn(const std::vector<Address>& padList, std::vector<Address>& results,
                          int limit) = 0;
  // Remote with lockout for the listed devices.
  virtual Status SetRWLS(const std::vector<Address>& addressList) = 0;
  // Back to local for the listed devices.
  virtual Status EnableLocal(const std::vector<Address>& addressList) = 0;
  virtual Status Send(Address address, std::string_view data, SendEnd end) = 0;
  // Reads at most count bytes into data (replacing it); ibcnt tells how many came.
  virtual Status Receive(Address address, std::string& data, std::size_t count, ReadEnd end) = 0;
  // The board timeout for every later call.
  virtual Status ibtmo(Timeout timeout) = 0;
  // Libraries that keep their status in per-thread cells need them registered before the
  // first call: 0 registered, 1 already registered, 2 no threads, 3 failed. Back-ends that
  // return the status with every call have nothing to register.
  virtual int RegisterGpibGlobalsForThread() { return 0; }
  virtual void UnregisterGpibGlobalsForThread() {}

  // The runs announce what is connected; real instruments cannot be told, so real back-ends
  // ignore it.
  virtual void AnnounceSetup(BenchSetup /*setup*/) {}

  // One line for window titles and the run log ("simulated bench", "LAN (SCPI sockets)").
  virtual std::string Description() const = 0;
  virtual bool IsSimulated() const = 0;
};

}  // namespace brimtal::bus
