// A bus for tests of the layers above it: records every call and answers with statuses and
// replies queued in advance (a successful status when nothing is queued).
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "instruments/bus/Ni488.h"

namespace brimtal::test {

class FakeBus final : public bus::Ni488 {
 public:
  struct Call {
    std::string op;  // "IFC", "FindLstn", "SetRWLS", "EnableLocal", "Send", "Receive", "ibtmo"
    std::vector<bus::Address> list;
    bus::Address address = 0;
    std::string data;
    std::size_t count = 0;
    int limit = 0;
    bus::SendEnd sendEnd = bus::SendEnd::None;
    bus::ReadEnd readEnd = bus::ReadEnd::EoiOnly;
    bus::Timeout timeout = bus::Timeout::S10;
  };

  // The status the next call of op leaves (in order of queueing).
  void Queue(const std::string& op, bus::Status status) { statuses_[op].push_back(status); }
  // The bytes the next Receive puts into the buffer (ibcnt is their length unless queued).
  void QueueReply(std::string bytes) { replies_.push_back(std::move(bytes)); }

  std::vector<Call> calls;
  std::vector<int> registerCodes;  // answers of RegisterGpibGlobalsForThread, in order
  int registerCalls = 0;
  int unregisterCalls = 0;

  bus::Status SendIFC() override { return Record(Named("IFC")); }
  bus::Status FindLstn(const std::vector<bus::Address>& padList, std::vector<bus::Address>& results,
                       int limit) override {
    Call call = Named("FindLstn");
    call.list = padList;
    call.limit = limit;
    results.clear();
    return Record(call);
  }
  bus::Status SetRWLS(const std::vector<bus::Address>& list) override {
    Call call = Named("SetRWLS");
    call.list = list;
    return Record(call);
  }
  bus::Status EnableLocal(const std::vector<bus::Address>& list) override {
    Call call = Named("EnableLocal");
    call.list = list;
    return Record(call);
  }
  bus::Status Send(bus::Address address, std::string_view data, bus::SendEnd end) override {
    Call call = Named("Send");
    call.address = address;
    call.data = std::string(data);
    call.sendEnd = end;
    bus::Status status = Next("Send", {bus::kCmpl, 0, static_cast<long>(data.size())});
    calls.push_back(call);
    return status;
  }
  bus::Status Receive(bus::Address address, std::string& data, std::size_t count,
                      bus::ReadEnd end) override {
    Call call = Named("Receive");
    call.address = address;
    call.count = count;
    call.readEnd = end;
    calls.push_back(call);
    data.clear();
    if (!replies_.empty()) {
      data = replies_.front();
      replies_.pop_front();
    }
    return Next("Receive", {bus::kEnd | bus::kCmpl, 0, static_cast<long>(data.size())});
  }
  bus::Status ibtmo(bus::Timeout timeout) override {
    Call call = Named("ibtmo");
    call.timeout = timeout;
    return Record(call);
  }
  int RegisterGpibGlobalsForThread() override {
    const int code = registerCalls < static_cast<int>(registerCodes.size())
                         ? registerCodes[static_cast<std::size_t>(registerCalls)]
                         : 0;
    ++registerCalls;
    return code;
  }
  void UnregisterGpibGlobalsForThread() override { ++unregisterCalls; }
  std::string Description() const override { return "test bus"; }
  bool IsSimulated() const override { return true; }

  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const Call& call : calls) ops.push_back(call.op);
    return ops;
  }

 private:
  static Call Named(const char* op) {
    Call call;
    call.op = op;
    return call;
  }
  bus::Status Record(const Call& call) {
    calls.push_back(call);
    return Next(call.op, {bus::kCmpl, 0, 0});
  }
  bus::Status Next(const std::string& op, bus::Status fallback) {
    auto& queue = statuses_[op];
    if (queue.empty()) return fallback;
    const bus::Status status = queue.front();
    queue.pop_front();
    return status;
  }

  std::map<std::string, std::deque<bus::Status>> statuses_;
  std::deque<std::string> replies_;
};

}  // namespace brimtal::test
