// Which bus the program drives, as the settings file says (section "Bus"), and the factory
// that builds it. Nothing configured means the simulated bench.
//
//   [Bus]
//   Backend=tcp                      ; sim (default), gpib or tcp
//   Address19=192.168.1.20:5025      ; tcp: host:port per GPIB address (port 5025 if omitted)
//   Transcript=/var/log/brimtal-bus.txt   ; every exchange appended to this file
//   GpibLibrary=/opt/gpib/lib/libgpib.so.0 ; gpib: where linux-gpib is, if not in the usual places
//   SimSeed=1                        ; sim: seed of the measurement noise
//   SimAmplifier=ifi                 ; sim: ifi (amplifier pair at 9 and 10) or generic
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/bus/Ni488.h"
#include "instruments/bus/TcpBus.h"
#include "sim/SimBench.h"

namespace brimtal {
class Clock;
class Host;
}  // namespace brimtal

namespace brimtal::bus {

enum class BusBackend { Sim, Gpib, Tcp };

struct BusConfig {
  BusBackend backend = BusBackend::Sim;
  std::map<int, TcpEndpoint> tcpAddresses;
  std::string transcriptPath;  // empty: no transcript
  std::string gpibLibrary;     // empty: the usual places
  std::uint64_t simSeed = 1;
  sim::SimAmplifier simAmplifier = sim::SimAmplifier::IfiPair;
  // Entries that could not be used, each a sentence for the operator.
  std::vector<std::string> problems;
};

// (section, key, default) -> the value in the settings file, or the default.
using SettingLookup = std::function<std::string(const std::string& section, const std::string& key,
                                                const std::string& defaultValue)>;

BusConfig ReadBusConfig(const SettingLookup& lookup);

// "host:port" or "host" (port 5025); "[v6 address]:port" for IPv6. Nothing for bad text.
std::optional<TcpEndpoint> ParseEndpoint(std::string_view text);

// The bus the configuration asks for, with a transcript around it when one is configured.
std::unique_ptr<Ni488> MakeBus(const BusConfig& config, Host& host, Clock& clock);

}  // namespace brimtal::bus
