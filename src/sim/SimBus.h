// The simulated bench as a bus back-end. Every exchange costs the time it would take on a real
// bus (with a virtual clock the clock is advanced; with the real clock nothing waits), and
// tests can make an address absent or spoil chosen exchanges.
#pragma once

#include <memory>
#include <set>
#include <vector>

#include "instruments/bus/Ni488.h"
#include "sim/SimBench.h"

namespace brimtal {
class Clock;
class VirtualClock;
}  // namespace brimtal

namespace brimtal::sim {

enum class SimFault {
  WriteFails,    // the write stops half way with a timeout
  NoReply,       // the instrument does not answer: the read times out
  GarbledReply,  // the reply arrives with its characters scrambled
};

class SimBus final : public bus::Ni488 {
 public:
  // Bus time of each kind of exchange, milliseconds.
  static constexpr int kControlMs = 1;
  static constexpr int kListenerProbeMs = 2;
  static constexpr int kWriteMs = 1;
  static constexpr int kReadMs = 2;

  explicit SimBus(Clock& clock, SimOptions options = {});

  SimBench& Bench() { return bench_; }

  void SetAbsent(int address, bool absent = true);
  // Spoils `count` exchanges of the kind with the address, after letting `skip` of them pass.
  // Writes count for WriteFails, reads for the others.
  void InjectFault(SimFault fault, int address, int count = 1, int skip = 0);

  bus::Status SendIFC() override;
  bus::Status FindLstn(const std::vector<bus::Address>& padList, std::vector<bus::Address>& results,
                       int limit) override;
  bus::Status SetRWLS(const std::vector<bus::Address>& addressList) override;
  bus::Status EnableLocal(const std::vector<bus::Address>& addressList) override;
  bus::Status Send(bus::Address address, std::string_view data, bus::SendEnd end) override;
  bus::Status Receive(bus::Address address, std::string& data, std::size_t count,
                      bus::ReadEnd end) override;
  bus::Status ibtmo(bus::Timeout timeout) override;
  void AnnounceSetup(bus::BenchSetup setup) override { bench_.SetSetup(setup); }
  std::string Description() const override { return "simulated bench"; }
  bool IsSimulated() const override { return true; }

 private:
  struct FaultRule {
    SimFault fault;
    int address;
    int count;
    int skip;
  };
  bool TakeFault(SimFault fault, int address);
  SimInstrument* Present(int address);
  void Spend(std::int64_t ms);
  bus::Status TimedOut(long count);
  std::string Garble(const std::string& bytes);

  SimBench bench_;
  VirtualClock* virtualClock_;
  int timeoutMs_ = 10000;
  std::set<int> absent_;
  std::vector<FaultRule> faults_;
};

}  // namespace brimtal::sim
