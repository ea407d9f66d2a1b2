// The physical model of the simulated RF chain: signal generator, amplifier, directional
// coupler, load mismatch, coupling device, calibration fixture, EUT loop, monitor probe and the
// cable to the measuring receiver. The bench's properties are fixed functions of frequency (the
// example factor files are written from them); only measurement noise depends on the seed.
#pragma once

#include <cstdint>
#include <random>

#include "instruments/bus/Ni488.h"

namespace brimtal::sim {

// A level that stands for "no signal at all" (RF off).
inline constexpr double kNoSignalDbm = -300.0;

// What the generator puts out.
struct GeneratorOutput {
  double freqMhz = 100.0;
  double carrierDbm = kNoSignalDbm;
  // Average power relative to the carrier (AM raises it, pulses lower it); power meters see it.
  double averageOffsetDb = 0.0;
};

// How the amplifier treats the frequency: amplifying, rolled off outside its band, or in
// standby (only leakage through).
struct AmplifierPath {
  bool operating = false;
  double lowMhz = 0.01;
  double highMhz = 1000.0;
};

// Everything the instruments can see, for one generator output and one amplifier path.
struct ChainSignals {
  double forwardDbm = kNoSignalDbm;  // at the coupler output, towards the coupling device
  double reverseDbm = kNoSignalDbm;  // reflected by the coupling device
  double netDbm = kNoSignalDbm;
  double testVoltageDbuv = kNoSignalDbm;  // open-circuit voltage of the coupling device
  double inducedCurrentDbua = kNoSignalDbm;
  double forwardPortDbm = kNoSignalDbm;  // power meter channel 1
  double reversePortDbm = kNoSignalDbm;  // power meter channel 2
  double meterInputDbm = kNoSignalDbm;   // what reaches the spectrum analyser
  double averageOffsetDb = 0.0;          // of the modulation, for average-reading instruments
};

class ChainModel {
 public:
  static constexpr double kFixtureLossDb = 15.6;
  static constexpr double kCouplerDirectivityDb = 25.0;
  static constexpr double kStandbyIsolationDb = 30.0;
  static constexpr double kNominalLoopOhms = 300.0;

  static double AmpGainDb(double freqMhz);         // small-signal gain with its ripple
  static double AmpSaturationDbm(double freqMhz);  // the output it cannot exceed
  static double AmpOutputDbm(double inputDbm, double freqMhz, const AmplifierPath& path);
  static double CouplerMainLossDb(double freqMhz);
  static double ForwardCouplingDb(double freqMhz);  // coupler output power / forward port power
  static double ReverseCouplingDb(double freqMhz);
  static double LoadReflection(double freqMhz);      // magnitude of the reflection coefficient
  static double CouplingDeviceDb(double freqMhz);    // test voltage (dBuV) minus net power (dBm)
  static double CableLossDb(double freqMhz);         // fixture or probe to the receiver
  static double LoopImpedanceOhms(double freqMhz);   // of the EUT's common-mode loop
  static double ProbeTransferDbOhm(double freqMhz);  // monitor probe volts per ampere, in dB
  static double ProbeFactorDb(double freqMhz) { return -ProbeTransferDbOhm(freqMhz); }

  static ChainSignals Compute(const GeneratorOutput& generator, const AmplifierPath& amplifier,
                              bus::BenchSetup setup);
};

// Seeded measurement noise; the same seed and the same sequence of readings give the same
// values on every machine.
class NoiseSource {
 public:
  explicit NoiseSource(std::uint64_t seed) : engine_(seed) {}
  // A normally distributed value with mean 0 and the given standard deviation.
  double Gaussian(double sigma);
  // A uniformly distributed value in [0, 1).
  double Uniform();

 private:
  std::mt19937_64 engine_;
};

}  // namespace brimtal::sim
