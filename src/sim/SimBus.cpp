// The simulated bench behind the bus interface.
#include "sim/SimBus.h"

#include <algorithm>

#include "shell/Clock.h"

namespace brimtal::sim {

namespace {

constexpr int kControlOk = bus::kCmpl | bus::kCic;
constexpr int kWriteOk = bus::kCmpl | bus::kCic | bus::kTacs;
constexpr int kReadOk = bus::kCmpl | bus::kCic | bus::kLacs;

bool StopsAt(char c, bus::ReadEnd end) {
  return (end == bus::ReadEnd::StopOnLf && c == '\n') ||
         (end == bus::ReadEnd::StopOnCr && c == '\r');
}

std::vector<int> Listed(const std::vector<bus::Address>& list) {
  std::vector<int> addresses;
  for (bus::Address a : list) {
    if (a == bus::kNoAddr) break;
    addresses.push_back(a);
  }
  return addresses;
}

}  // namespace

SimBus::SimBus(Clock& clock, SimOptions options)
    : bench_(clock, options), virtualClock_(dynamic_cast<VirtualClock*>(&clock)) {}

void SimBus::SetAbsent(int address, bool absent) {
  if (absent) {
    absent_.insert(address);
  } else {
    absent_.erase(address);
  }
}

void SimBus::InjectFault(SimFault fault, int address, int count, int skip) {
  faults_.push_back({fault, address, count, skip});
}

bool SimBus::TakeFault(SimFault fault, int address) {
  for (FaultRule& rule : faults_) {
    if (rule.fault != fault || rule.address != address || rule.count <= 0) continue;
    if (rule.skip > 0) {
      --rule.skip;
      return false;
    }
    --rule.count;
    return true;
  }
  return false;
}

SimInstrument* SimBus::Present(int address) {
  return absent_.count(address) != 0 ? nullptr : bench_.At(address);
}

void SimBus::Spend(std::int64_t ms) {
  if (virtualClock_ != nullptr) virtualClock_->Advance(ms);
}

bus::Status SimBus::TimedOut(long count) {
  Spend(timeoutMs_);
  return {bus::kErr | bus::kTimo | kReadOk, bus::kEabo, count};
}

bus::Status SimBus::SendIFC() {
  Spend(kControlMs);
  return {kControlOk, 0, 0};
}

bus::Status SimBus::FindLstn(const std::vector<bus::Address>& padList,
                             std::vector<bus::Address>& results, int limit) {
  results.clear();
  const std::vector<int> addresses = Listed(padList);
  Spend(kListenerProbeMs * static_cast<std::int64_t>(addresses.size()));
  for (int address : addresses) {
    if (Present(address) == nullptr) continue;
    if (static_cast<int>(results.size()) >= limit) {
      return {bus::kErr | kControlOk, bus::kEtab, static_cast<long>(results.size())};
    }
    results.push_back(static_cast<bus::Address>(address));
  }
  // Nobody listening at any of the addresses is reported as an error, so that the operator
  // learns at once that the instrument is missing.
  if (results.empty()) return {bus::kErr | kControlOk, bus::kEnol, 0};
  return {kControlOk, 0, static_cast<long>(results.size())};
}

bus::Status SimBus::SetRWLS(const std::vector<bus::Address>& addressList) {
  Spend(kControlMs);
  for (int address : Listed(addressList)) {
    if (SimInstrument* instrument = Present(address)) instrument->SetRemote(true, true);
  }
  return {kControlOk, 0, 0};
}

bus::Status SimBus::EnableLocal(const std::vector<bus::Address>& addressList) {
  Spend(kControlMs);
  for (int address : Listed(addressList)) {
    if (SimInstrument* instrument = Present(address)) instrument->SetRemote(false, false);
  }
  return {kControlOk, 0, 0};
}

bus::Status SimBus::Send(bus::Address address, std::string_view data, bus::SendEnd /*end*/) {
  Spend(kWriteMs + static_cast<std::int64_t>(data.size()) / 64);
  if (Present(address) == nullptr) return {bus::kErr | kWriteOk, bus::kEnol, 0};
  if (TakeFault(SimFault::WriteFails, address)) {
    Spend(timeoutMs_);
    return {bus::kErr | bus::kTimo | kWriteOk, bus::kEabo, static_cast<long>(data.size() / 2)};
  }
  bench_.Write(address, data);
  return {kWriteOk, 0, static_cast<long>(data.size())};
}

bus::Status SimBus::Receive(bus::Address address, std::string& data, std::size_t count,
                            bus::ReadEnd end) {
  data.clear();
  SimInstrument* instrument = Present(address);
  if (instrument == nullptr) return TimedOut(0);
  auto& output = instrument->Output();
  if (output.empty()) return TimedOut(0);
  if (TakeFault(SimFault::NoReply, address)) {
    output.pop_front();
    return TimedOut(0);
  }
  // The instrument holds the bus until its measurement is ready.
  const std::int64_t wait = output.front().readyTick - bench_.Now();
  if (wait > timeoutMs_) return TimedOut(0);
  Spend(kReadMs + std::max<std::int64_t>(wait, 0));
  PendingReply& reply = output.front();
  if (TakeFault(SimFault::GarbledReply, address)) reply.bytes = Garble(reply.bytes);
  std::size_t taken = 0;
  bool ended = false;
  while (taken < count && taken < reply.bytes.size()) {
    const char c = reply.bytes[taken++];
    if (StopsAt(c, end)) break;
  }
  data = reply.bytes.substr(0, taken);
  reply.bytes.erase(0, taken);
  if (reply.bytes.empty()) {
    output.pop_front();
    ended = true;  // EOI came with the last byte
  }
  return {kReadOk | (ended ? bus::kEnd : 0), 0, static_cast<long>(taken)};
}

bus::Status SimBus::ibtmo(bus::Timeout timeout) {
  timeoutMs_ = bus::TimeoutMs(timeout);
  return {kControlOk, 0, 0};
}

std::string SimBus::Garble(const std::string& bytes) {
  std::string garbled = bytes;
  NoiseSource& noise = bench_.Noise();
  for (char& c : garbled) {
    if (c == '\r' || c == '\n') continue;
    c = static_cast<char>(0x21 + static_cast<int>(noise.Uniform() * 94.0));
  }
  return garbled;
}

}  // namespace brimtal::sim
