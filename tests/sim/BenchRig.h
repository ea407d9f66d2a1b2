// The simulated bench driven through the GPIB layer as the drivers drive it, with virtual
// time, and the example factor files of the bench read as plain tables.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "instruments/Gpib.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"
#include "sim/SimBus.h"

namespace brimtal::test {

class BenchRig {
 public:
  explicit BenchRig(sim::SimOptions options = {}) : bus(clock, options), gpib(bus, host, delay) {}

  VirtualClock clock;
  ScriptedHost host{&clock};
  bool haltFlag = false;
  BDelay delay{host, clock, haltFlag};
  sim::SimBus bus;
  Gpib gpib;

  void Write(int address, const std::string& command) {
    EXPECT_TRUE(gpib.GpibWrite(static_cast<std::int16_t>(address), command + "\r\n")) << command;
  }
  std::string Query(int address, const std::string& command) {
    Write(address, command);
    std::string reply;
    EXPECT_TRUE(gpib.GpibRead(static_cast<std::int16_t>(address), bus::ReadEnd::StopOnLf, reply))
        << command;
    return reply;
  }
  double QueryNumber(int address, const std::string& command);

  // The amplifier band as the amplifier control selects it.
  void SelectBand(int band);
  void SetGenerator(double freqMhz, double levelDbm);
  // Forward and reverse power at the coupler, dBm, from the power meter and the example
  // coupler files, as the runs compute them.
  double ForwardDbm(double freqMhz);
  double ReverseDbm(double freqMhz);
  // The analyser's reading in dBuV with the reference level set for the expected dBuV.
  double ReceiverDbuv(double freqMhz, double expectedDbuv);
};

// The points of an example factor file of the bench (header lines skipped).
std::map<double, double> ExampleFactors(const std::string& name);
double ExampleFactor(const std::string& name, double freqMhz);

}  // namespace brimtal::test
