// The simulated bench: the instruments at their bus addresses, the RF chain between them, what
// the runs have connected, the measurement noise and the time each instrument needs.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/bus/Ni488.h"
#include "sim/ChainModel.h"
#include "sim/SimInstruments.h"

namespace brimtal {
class Clock;
}

namespace brimtal::sim {

// With the amplifier pair the runs must select the band; a generic amplifier is always on and
// has no bus address.
enum class SimAmplifier { IfiPair, Generic };

struct SimOptions {
  std::uint64_t seed = 1;
  SimAmplifier amplifier = SimAmplifier::IfiPair;
  bus::BenchSetup setup = bus::BenchSetup::CalibrationFixture;
};

class SimBench {
 public:
  static constexpr int kAmpBand2Address = 9;
  static constexpr int kAmpBand1Address = 10;
  static constexpr int kPowerMeterAddress = 13;
  static constexpr int kAnalyserAddress = 18;
  static constexpr int kSigGenAddress = 19;

  // Time an instrument needs for a measurement after it was started.
  static constexpr int kPowerMeterMeasureMs = 50;
  static constexpr int kAnalyserSweepMs = 60;

  SimBench(Clock& clock, SimOptions options = {});
  ~SimBench();
  SimBench(const SimBench&) = delete;
  SimBench& operator=(const SimBench&) = delete;

  std::vector<int> Addresses() const;
  // Nothing when no instrument answers at the address.
  SimInstrument* At(int address);
  // Hands every line of the bytes (ended by LF, or by the end of the bytes) to the instrument.
  void Write(int address, std::string_view bytes);

  void SetSetup(bus::BenchSetup setup) { setup_ = setup; }
  bus::BenchSetup Setup() const { return setup_; }
  SimAmplifier Amplifier() const { return options_.amplifier; }

  // What the chain delivers right now.
  ChainSignals Signals() const;
  AmplifierPath AmplifierNow() const;

  SimSigGen& SigGen() { return *sigGen_; }
  SimPowerMeter& PowerMeter() { return *powerMeter_; }
  SimAnalyser& Analyser() { return *analyser_; }
  SimAmplifierPair& AmplifierPair() { return pair_; }
  NoiseSource& Noise() { return noise_; }
  std::int64_t Now() const;

 private:
  Clock& clock_;
  SimOptions options_;
  bus::BenchSetup setup_;
  NoiseSource noise_;
  SimAmplifierPair pair_;
  std::unique_ptr<SimSigGen> sigGen_;
  std::unique_ptr<SimPowerMeter> powerMeter_;
  std::unique_ptr<SimAnalyser> analyser_;
  std::unique_ptr<SimIfiUnit> band1Unit_;
  std::unique_ptr<SimIfiUnit> band2Unit_;
  std::map<int, SimInstrument*> byAddress_;
};

}  // namespace brimtal::sim
