// What the power meter and meter tests share: the bus rig with the program's expression engine,
// starting at tick 1000, and a compact view of the bus traffic.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "BusRig.h"
#include "instruments/script/ParseReply.h"

namespace brimtal::test {

using Lines = std::vector<std::string>;

struct MeterRig : BusRig {
  MeterRig() : BusRig(1000) {}

  ScriptEngine engine = CreateScriptEngine();

  // One line per bus call: "Send 13 FREQ 150.0 MHZ\r\n", "Receive 13 LF", "Flush 13", "Open 13",
  // "Local 13". A flush (30 ms timeout, read, 10 s timeout) shows as one line.
  std::vector<std::string> Traffic() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < bus.calls.size(); ++i) {
      const FakeBus::Call& call = bus.calls[i];
      if (call.op == "Send") {
        lines.push_back("Send " + std::to_string(call.address) + " " + call.data);
      } else if (call.op == "ibtmo" && call.timeout == bus::Timeout::Ms30 &&
                 i + 2 < bus.calls.size()) {
        lines.push_back("Flush " + std::to_string(bus.calls[i + 1].address));
        i += 2;
      } else if (call.op == "Receive") {
        const char* end = call.readEnd == bus::ReadEnd::StopOnLf   ? "LF"
                          : call.readEnd == bus::ReadEnd::StopOnCr ? "CR"
                                                                   : "EOI";
        lines.push_back("Receive " + std::to_string(call.address) + " " + end + " " +
                        std::to_string(call.count));
      } else if (call.op == "FindLstn") {
        lines.push_back("Open " + std::to_string(call.list.at(1)));
      } else if (call.op == "EnableLocal") {
        lines.push_back("Local " + std::to_string(call.list.at(1)));
      }
    }
    return lines;
  }
  void ClearTraffic() { bus.calls.clear(); }
  // The replies of readings that trigger first: nothing for the flush, then the reply; a null
  // reply stands for a read that times out.
  void QueueReadings(std::initializer_list<const char*> replies) {
    for (const char* reply : replies) {
      bus.QueueReply("");
      if (reply == nullptr) {
        bus.Queue("Receive", {});
        bus.Queue("Receive", kTimedOut);
      } else {
        bus.QueueReply(reply);
      }
    }
  }
};

}  // namespace brimtal::test
