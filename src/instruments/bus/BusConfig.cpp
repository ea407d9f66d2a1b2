// Reading the bus settings and building the bus.
#include "instruments/bus/BusConfig.h"

#include "instruments/bus/LinuxGpibBus.h"
#include "instruments/bus/Transcript.h"
#include "shell/VbText.h"
#include "sim/SimBus.h"

namespace brimtal::bus {

namespace {

constexpr const char* kSection = "Bus";
constexpr int kHighestAddress = 30;

std::optional<int> Port(std::string_view text) {
  const auto value = vbtext::ToNumber(text);
  if (!value || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  if (*value < 1 || *value > 65535) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

std::optional<TcpEndpoint> ParseEndpoint(std::string_view text) {
  const std::string trimmed = vbtext::Trim(text);
  if (trimmed.empty() || trimmed.find_first_of(" \t") != std::string::npos) return std::nullopt;
  TcpEndpoint endpoint;
  std::string portText;
  if (trimmed[0] == '[') {
    const std::size_t close = trimmed.find(']');
    if (close == std::string::npos || close == 1) return std::nullopt;
    endpoint.host = trimmed.substr(1, close - 1);
    const std::string rest = trimmed.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') return std::nullopt;
      portText = rest.substr(1);
    }
  } else {
    const std::size_t colon = trimmed.find(':');
    if (colon != trimmed.rfind(':')) return std::nullopt;  // a bare IPv6 address needs brackets
    endpoint.host = trimmed.substr(0, colon);
    if (colon != std::string::npos) portText = trimmed.substr(colon + 1);
  }
  if (endpoint.host.empty()) return std::nullopt;
  endpoint.port = TcpBus::kDefaultPort;
  if (!portText.empty() || trimmed.back() == ':') {
    const auto port = Port(portText);
    if (!port) return std::nullopt;
    endpoint.port = *port;
  }
  return endpoint;
}

BusConfig ReadBusConfig(const SettingLookup& lookup) {
  BusConfig config;
  auto get = [&](const std::string& key) { return vbtext::Trim(lookup(kSection, key, "")); };

  const std::string backend = vbtext::ToLower(get("Backend"));
  if (backend == "gpib") {
    config.backend = BusBackend::Gpib;
  } else if (backend == "tcp") {
    config.backend = BusBackend::Tcp;
  } else if (!backend.empty() && backend != "sim") {
    config.problems.push_back("The settings name an unknown bus back-end \"" + get("Backend") +
                              "\" (section Bus, key Backend: sim, gpib or tcp). The simulated "
                              "bench is used instead.");
  }

  for (int address = 0; address <= kHighestAddress; ++address) {
    const std::string key = "Address" + std::to_string(address);
    const std::string text = get(key);
    if (text.empty()) continue;
    if (const auto endpoint = ParseEndpoint(text)) {
      config.tcpAddresses[address] = *endpoint;
    } else {
      config.problems.push_back("The settings give GPIB address " + std::to_string(address) +
                                " the LAN address \"" + text +
                                "\", which is not host:port. That instrument cannot be reached.");
    }
  }
  if (config.backend == BusBackend::Tcp && config.tcpAddresses.empty()) {
    config.problems.push_back(
        "The LAN back-end is chosen but no instrument has an address (section Bus, keys "
        "Address0 to Address30 = host:port).");
  }

  config.transcriptPath = get("Transcript");
  config.gpibLibrary = get("GpibLibrary");

  const std::string seed = get("SimSeed");
  if (!seed.empty()) {
    const auto value = vbtext::ToNumber(seed);
    if (value && *value >= 0 && *value == static_cast<double>(static_cast<std::uint64_t>(*value))) {
      config.simSeed = static_cast<std::uint64_t>(*value);
    } else {
      config.problems.push_back("The settings give the simulated bench the seed \"" + seed +
                                "\", which is not a whole number. Seed 1 is used.");
    }
  }
  const std::string amplifier = vbtext::ToLower(get("SimAmplifier"));
  if (amplifier == "generic") {
    config.simAmplifier = sim::SimAmplifier::Generic;
  } else if (!amplifier.empty() && amplifier != "ifi") {
    config.problems.push_back("The settings name an unknown simulated amplifier \"" +
                              get("SimAmplifier") +
                              "\" (ifi or generic). The amplifier pair is used.");
  }
  return config;
}

std::unique_ptr<Ni488> MakeBus(const BusConfig& config, Host& host, Clock& clock) {
  std::unique_ptr<Ni488> bus;
  switch (config.backend) {
    case BusBackend::Gpib:
      bus = config.gpibLibrary.empty() ? std::make_unique<LinuxGpibBus>(host)
                                       : std::make_unique<LinuxGpibBus>(
                                             host, std::vector<std::string>{config.gpibLibrary});
      break;
    case BusBackend::Tcp: bus = std::make_unique<TcpBus>(config.tcpAddresses); break;
    case BusBackend::Sim:
      bus = std::make_unique<sim::SimBus>(
          clock,
          sim::SimOptions{config.simSeed, config.simAmplifier, BenchSetup::CalibrationFixture});
      break;
  }
  if (config.transcriptPath.empty()) return bus;
  return std::make_unique<TranscriptBus>(
      std::move(bus), std::make_unique<FileTranscript>(config.transcriptPath), clock);
}

}  // namespace brimtal::bus
