// The RF chain of the simulated bench.
#include "sim/ChainModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "factors/Conversions.h"

namespace brimtal::sim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRappSmoothness = 2.0;
// An amplifier outside its band: a step down, then a roll-off in dB per decade.
constexpr double kOutOfBandDb = 30.0;
constexpr double kRollOffDbPerDecade = 60.0;

double Decades(double freqMhz) {
  return std::log10(std::max(freqMhz, 1e-6));
}

double ToWatts(double dbm) {
  return dbm <= kNoSignalDbm ? 0.0 : DbmToWatts(dbm);
}

double ToDbm(double watts) {
  return watts <= 0.0 ? kNoSignalDbm : WattsToDbm(watts);
}

// Series resonances of the EUT cable: where the loop impedance dips.
struct Resonance {
  double freqMhz;
  double widthMhz;
};
constexpr Resonance kLoopResonances[] = {{9.5, 1.2}, {31.0, 3.5}, {64.0, 6.0}, {150.0, 14.0}};
constexpr double kResonanceDepth = 0.78;

}  // namespace

double ChainModel::AmpGainDb(double freqMhz) {
  const double d = Decades(freqMhz);
  return 50.0 + 1.2 * std::sin(kTwoPi * 1.3 * d + 0.7) + 0.6 * std::sin(kTwoPi * 3.1 * d + 2.1);
}

double ChainModel::AmpSaturationDbm(double freqMhz) {
  return 50.0 + 0.4 * std::sin(kTwoPi * 0.8 * Decades(freqMhz) + 1.0);
}

double ChainModel::AmpOutputDbm(double inputDbm, double freqMhz, const AmplifierPath& path) {
  if (inputDbm <= kNoSignalDbm) return kNoSignalDbm;
  if (!path.operating) return inputDbm - kStandbyIsolationDb;
  double rollOff = 0.0;
  if (freqMhz > path.highMhz) {
    rollOff = kOutOfBandDb + kRollOffDbPerDecade * std::log10(freqMhz / path.highMhz);
  }
  if (freqMhz < path.lowMhz) {
    rollOff = kOutOfBandDb + kRollOffDbPerDecade * std::log10(path.lowMhz / freqMhz);
  }
  // Smooth compression towards saturation (Rapp's model on power).
  const double linear = ToWatts(inputDbm + AmpGainDb(freqMhz) - rollOff);
  const double saturation = ToWatts(AmpSaturationDbm(freqMhz));
  const double compressed = linear / std::pow(1.0 + std::pow(linear / saturation, kRappSmoothness),
                                              1.0 / kRappSmoothness);
  return ToDbm(compressed);
}

double ChainModel::CouplerMainLossDb(double freqMhz) {
  return 0.2 + 0.1 * freqMhz / 1000.0;
}

double ChainModel::ForwardCouplingDb(double freqMhz) {
  const double d = Decades(freqMhz);
  return 40.2 + 0.3 * d + 0.15 * std::sin(kTwoPi * d);
}

double ChainModel::ReverseCouplingDb(double freqMhz) {
  const double d = Decades(freqMhz);
  return 40.5 + 0.35 * d - 0.1 * std::sin(kTwoPi * d + 0.5);
}

double ChainModel::LoadReflection(double freqMhz) {
  return 0.08 + 0.22 * (0.5 + 0.5 * std::sin(kTwoPi * 1.7 * Decades(freqMhz) + 0.4));
}

double ChainModel::CouplingDeviceDb(double freqMhz) {
  return 112.0 + 0.5 * std::sin(kTwoPi * 0.9 * Decades(freqMhz) + 0.3) - 0.8 * freqMhz / 1000.0;
}

double ChainModel::CableLossDb(double freqMhz) {
  return 0.05 + 0.11 * std::sqrt(std::max(freqMhz, 0.0)) + 0.0004 * freqMhz;
}

double ChainModel::LoopImpedanceOhms(double freqMhz) {
  double ohms = kNominalLoopOhms;
  for (const Resonance& r : kLoopResonances) {
    const double x = (freqMhz - r.freqMhz) / r.widthMhz;
    ohms *= 1.0 - kResonanceDepth / (1.0 + x * x);
  }
  return ohms;
}

double ChainModel::ProbeTransferDbOhm(double freqMhz) {
  const double f = std::max(freqMhz, 1e-6);
  return -10.0 * std::log10(1.0 + (1.0 / f) * (1.0 / f)) + 1.5 * std::log10(1.0 + f / 300.0);
}

ChainSignals ChainModel::Compute(const GeneratorOutput& generator, const AmplifierPath& amplifier,
                                 bus::BenchSetup setup) {
  const double f = generator.freqMhz;
  ChainSignals s;
  s.averageOffsetDb = generator.averageOffsetDb;
  const bool generatorOnMeter =
      setup == bus::BenchSetup::Direct || setup == bus::BenchSetup::CableInserted;
  if (generatorOnMeter) {
    // The cable calibration takes the amplifier out: the generator drives the receiver.
    s.meterInputDbm = generator.carrierDbm;
    if (setup == bus::BenchSetup::CableInserted && generator.carrierDbm > kNoSignalDbm) {
      s.meterInputDbm -= CableLossDb(f);
    }
    return s;
  }
  const double amplified = AmpOutputDbm(generator.carrierDbm, f, amplifier);
  if (amplified <= kNoSignalDbm) return s;
  const double gamma = LoadReflection(f);
  s.forwardDbm = amplified - CouplerMainLossDb(f);
  s.reverseDbm = s.forwardDbm + 20.0 * std::log10(gamma);
  s.netDbm = s.forwardDbm + 10.0 * std::log10(1.0 - gamma * gamma);
  const double leakage = kCouplerDirectivityDb;
  s.forwardPortDbm = ToDbm(ToWatts(s.forwardDbm - ForwardCouplingDb(f)) +
                           ToWatts(s.reverseDbm - ForwardCouplingDb(f) - leakage));
  s.reversePortDbm = ToDbm(ToWatts(s.reverseDbm - ReverseCouplingDb(f)) +
                           ToWatts(s.forwardDbm - ReverseCouplingDb(f) - leakage));
  s.testVoltageDbuv = s.netDbm + CouplingDeviceDb(f);
  s.inducedCurrentDbua = s.testVoltageDbuv - 20.0 * std::log10(LoopImpedanceOhms(f));
  const double receiverDbuv = setup == bus::BenchSetup::Eut
                                  ? s.inducedCurrentDbua + ProbeTransferDbOhm(f) - CableLossDb(f)
                                  : s.testVoltageDbuv - kFixtureLossDb - CableLossDb(f);
  s.meterInputDbm = DbuvToDbm(receiverDbuv, 50.0f);
  return s;
}

double NoiseSource::Uniform() {
  // 53 random bits make every double in [0, 1) equally likely; the same on every platform.
  return static_cast<double>(engine_() >> 11) * (1.0 / 9007199254740992.0);
}

double NoiseSource::Gaussian(double sigma) {
  double u1 = Uniform();
  while (u1 <= 0.0) u1 = Uniform();
  const double u2 = Uniform();
  return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

}  // namespace brimtal::sim
