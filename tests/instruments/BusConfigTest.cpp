// Choosing the bus from the settings: the keys of section Bus, the LAN addresses, the
// problems an operator must hear about, and the bus the factory builds.
#include "instruments/bus/BusConfig.h"

#include <gtest/gtest.h>

#include <map>

#include "instruments/bus/LinuxGpibBus.h"
#include "instruments/bus/Transcript.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"
#include "sim/SimBus.h"
#include "support/TestFiles.h"

namespace brimtal::bus {
namespace {

SettingLookup Settings(std::map<std::string, std::string> values) {
  return [values](const std::string& section, const std::string& key, const std::string& fallback) {
    EXPECT_EQ(section, "Bus");
    const auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
  };
}

TEST(BusConfig, NothingConfiguredMeansTheSimulatedBench) {
  const BusConfig config = ReadBusConfig(Settings({}));
  EXPECT_EQ(config.backend, BusBackend::Sim);
  EXPECT_TRUE(config.tcpAddresses.empty());
  EXPECT_EQ(config.transcriptPath, "");
  EXPECT_EQ(config.simSeed, 1u);
  EXPECT_EQ(config.simAmplifier, sim::SimAmplifier::IfiPair);
  EXPECT_TRUE(config.problems.empty());
}

TEST(BusConfig, ReadsTheBackEndAddressesAndOptions) {
  const BusConfig config = ReadBusConfig(Settings({{"Backend", " TCP "},
                                                   {"Address19", "192.168.1.20:5025"},
                                                   {"Address13", "pm.lab.example"},
                                                   {"Address0", "[fe80::1]:5000"},
                                                   {"Address30", "10.0.0.9:6000"},
                                                   {"Transcript", "/tmp/bus.txt"},
                                                   {"SimSeed", "42"},
                                                   {"SimAmplifier", "Generic"}}));
  EXPECT_EQ(config.backend, BusBackend::Tcp);
  const std::map<int, TcpEndpoint> expected{{0, {"fe80::1", 5000}},
                                            {13, {"pm.lab.example", 5025}},
                                            {19, {"192.168.1.20", 5025}},
                                            {30, {"10.0.0.9", 6000}}};
  EXPECT_EQ(config.tcpAddresses, expected);
  EXPECT_EQ(config.transcriptPath, "/tmp/bus.txt");
  EXPECT_EQ(config.simSeed, 42u);
  EXPECT_EQ(config.simAmplifier, sim::SimAmplifier::Generic);
  EXPECT_TRUE(config.problems.empty());
  EXPECT_EQ(ReadBusConfig(Settings({{"Backend", "gpib"}})).backend, BusBackend::Gpib);
}

TEST(BusConfig, EndpointsAreHostAndPort) {
  const std::vector<std::pair<const char*, std::optional<TcpEndpoint>>> cases{
      {"10.1.2.3:5025", TcpEndpoint{"10.1.2.3", 5025}},
      {"scope", TcpEndpoint{"scope", 5025}},
      {"[::1]", TcpEndpoint{"::1", 5025}},
      {"[::1]:7", TcpEndpoint{"::1", 7}},
      {"host:0", std::nullopt},
      {"host:65536", std::nullopt},
      {"host:50x", std::nullopt},
      {"host:", std::nullopt},
      {":5025", std::nullopt},
      {"::1", std::nullopt},
      {"two words:5025", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ParseEndpoint(text), expected) << text;
}

TEST(BusConfig, UnusableEntriesAreReportedAndLeftOut) {
  const BusConfig config = ReadBusConfig(Settings({{"Backend", "serial"},
                                                   {"Address19", "bad address:1:2"},
                                                   {"SimSeed", "-3"},
                                                   {"SimAmplifier", "tube"}}));
  EXPECT_EQ(config.backend, BusBackend::Sim);
  EXPECT_TRUE(config.tcpAddresses.empty());
  ASSERT_EQ(config.problems.size(), 4u);
  EXPECT_EQ(config.problems[0],
            "The settings name an unknown bus back-end \"serial\" (section Bus, key Backend: sim, "
            "gpib or tcp). The simulated bench is used instead.");
  EXPECT_EQ(config.problems[1],
            "The settings give GPIB address 19 the LAN address \"bad address:1:2\", which is not "
            "host:port. That instrument cannot be reached.");

  const BusConfig empty = ReadBusConfig(Settings({{"Backend", "tcp"}}));
  ASSERT_EQ(empty.problems.size(), 1u);
  EXPECT_NE(empty.problems[0].find("no instrument has an address"), std::string::npos);
}

TEST(BusConfig, FactoryBuildsTheConfiguredBus) {
  VirtualClock clock;
  ScriptedHost host{&clock};
  BusConfig config;
  auto sim = MakeBus(config, host, clock);
  EXPECT_NE(dynamic_cast<sim::SimBus*>(sim.get()), nullptr);
  EXPECT_EQ(sim->Description(), "simulated bench");
  EXPECT_TRUE(sim->IsSimulated());

  config.backend = BusBackend::Tcp;
  config.tcpAddresses[19] = {"127.0.0.1", 5025};
  auto lan = MakeBus(config, host, clock);
  EXPECT_EQ(lan->Description(), "LAN (SCPI sockets)");
  EXPECT_FALSE(lan->IsSimulated());

  config.backend = BusBackend::Gpib;
  config.gpibLibrary = "/nonexistent/libgpib.so.0";
  auto gpib = MakeBus(config, host, clock);
  ASSERT_NE(dynamic_cast<LinuxGpibBus*>(gpib.get()), nullptr);
  EXPECT_NE(
      dynamic_cast<LinuxGpibBus*>(gpib.get())->LoadProblem().find("/nonexistent/libgpib.so.0"),
      std::string::npos);
  EXPECT_FALSE(gpib->IsSimulated());

  test::TempDir dir;
  config.backend = BusBackend::Sim;
  config.transcriptPath = dir.File("bus.txt");
  auto recorded = MakeBus(config, host, clock);
  ASSERT_NE(dynamic_cast<TranscriptBus*>(recorded.get()), nullptr);
  EXPECT_TRUE(recorded->IsSimulated());
  recorded->SendIFC();
  EXPECT_NE(test::ReadFileBytes(config.transcriptPath).find("IFC"), std::string::npos);
}

}  // namespace
}  // namespace brimtal::bus
