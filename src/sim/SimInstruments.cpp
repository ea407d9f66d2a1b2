// The simulated instruments.
#include "sim/SimInstruments.h"

#include <algorithm>
#include <cmath>

#include "factors/Conversions.h"
#include "shell/VbText.h"
#include "sim/SimBench.h"

namespace brimtal::sim {

namespace {

using Units = std::initializer_list<std::pair<const char*, double>>;
const Units kFrequencyUnits{{"HZ", 1.0}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}};
const Units kTimeUnits{{"S", 1.0}, {"MS", 1e-3}, {"US", 1e-6}, {"NS", 1e-9}};
const Units kPercentUnits{{"PCT", 1.0}};
const Units kDbmUnits{{"DBM", 1.0}};

// Noise of the readings, dB, and the floors below which nothing is seen.
constexpr double kPowerMeterNoiseDb = 0.01;
constexpr double kPowerMeterFloorWatts = 1e-10;
constexpr double kAnalyserNoiseDb = 0.05;
constexpr double kAnalyserFloorDbm = -100.0;
// How far from the carrier the analyser may be tuned and still see it.
constexpr double kAnalyserCaptureHz = 50e3;

std::string NumberReply(double value) {
  return vbtext::ScientificText(value, 8, 2, true);
}

std::string BoolReply(bool value) {
  return value ? "1" : "0";
}

double Watts(double dbm) {
  return dbm <= kNoSignalDbm ? 0.0 : DbmToWatts(dbm);
}

double PowerSumDbm(double a, double b) {
  return WattsToDbm(Watts(a) + Watts(b));
}

std::string Compact(std::string_view message) {
  std::string text;
  for (char c : message) {
    if (c != '\r' && c != '\n' && c != ' ' && c != '\t') text += c;
  }
  return vbtext::ToUpper(text);
}

// A power in watts in exactly four characters, as the band-1 amplifier reports it.
std::string FourCharacters(double watts) {
  for (const char* pattern : {"0.00", "0.0", "0"}) {
    const std::string text = vbtext::Format(watts, pattern);
    if (text.size() <= 4) return std::string(4 - text.size(), ' ') + text;
  }
  return "9999";
}

}  // namespace

void SimInstrument::Reply(std::string bytes, std::int64_t readyTick) {
  output_.push_back({std::move(bytes), readyTick});
}

// --- the command language shared by the generator, power meter and analyser ---

void ScpiInstrument::Write(std::string_view message) {
  std::string replies;
  for (const ScpiCommand& command : ParseScpiMessage(message)) {
    std::optional<std::string> reply;
    if (HeaderMatches(command, "*IDN") && command.query) {
      reply = Identity();
    } else if (HeaderMatches(command, "*RST")) {
      Reset();
    } else if (HeaderMatches(command, "*CLS")) {
      errors_.Clear();
    } else if (HeaderMatches(command, "*OPC") && command.query) {
      reply = "1";
    } else if (HeaderMatches(command, "*WAI")) {
      // Every command completes before the next one is read.
    } else if (HeaderMatches(command, "SYSTem:ERRor[:NEXT]") && command.query) {
      reply = errors_.Pop();
    } else if (HeaderMatches(command, "SYSTem:LOCal")) {
      SetRemote(false, false);
    } else {
      reply = Execute(command);
    }
    if (reply) replies += (replies.empty() ? "" : ";") + *reply;
  }
  if (!replies.empty()) Reply(replies + "\n", std::max(ReadyTick(), bench_.Now()));
}

std::int64_t ScpiInstrument::ReadyTick() const {
  return bench_.Now();
}

std::optional<double> ScpiInstrument::Number(const ScpiCommand& command, double scaleOfNoUnit,
                                             Units units) {
  if (command.params.empty() || command.params[0].empty()) {
    errors_.Push(ErrorQueue::kMissingParameter);
    return std::nullopt;
  }
  const auto quantity = ParseQuantity(command.params[0]);
  if (!quantity) {
    errors_.Push(ErrorQueue::kIllegalParameter);
    return std::nullopt;
  }
  if (quantity->unit.empty()) return quantity->value * scaleOfNoUnit;
  for (const auto& [name, scale] : units) {
    if (quantity->unit == name) return quantity->value * scale;
  }
  errors_.Push(ErrorQueue::kInvalidSuffix);
  return std::nullopt;
}

std::optional<bool> ScpiInstrument::Boolean(const ScpiCommand& command) {
  if (command.params.empty()) {
    errors_.Push(ErrorQueue::kMissingParameter);
    return std::nullopt;
  }
  const auto value = ParseBoolean(command.params[0]);
  if (!value) errors_.Push(ErrorQueue::kIllegalParameter);
  return value;
}

std::optional<std::string> ScpiInstrument::Word(const ScpiCommand& command) {
  if (command.params.empty() || command.params[0].empty()) {
    errors_.Push(ErrorQueue::kMissingParameter);
    return std::nullopt;
  }
  return vbtext::ToUpper(command.params[0]);
}

namespace {

// A numeric setting: its query, or a new value within limits.
std::optional<std::string> NumericSetting(ScpiInstrument& instrument, const ScpiCommand& command,
                                          double& field, std::optional<double> value, double low,
                                          double high) {
  if (command.query) return NumberReply(field);
  if (!value) return std::nullopt;
  if (*value < low || *value > high) {
    instrument.Errors().Push(ErrorQueue::kDataOutOfRange);
  } else {
    field = *value;
  }
  return std::nullopt;
}

std::optional<std::string> BooleanSetting(const ScpiCommand& command, bool& field,
                                          std::optional<bool> value) {
  if (command.query) return BoolReply(field);
  if (value) field = *value;
  return std::nullopt;
}

}  // namespace

// --- signal generator ---

SimSigGen::SimSigGen(SimBench& bench) : ScpiInstrument(bench) {}

void SimSigGen::Reset() {
  freqHz_ = 100e6;
  levelDbm_ = -110.0;
  rfOn_ = amOn_ = fmOn_ = pulseOn_ = false;
  amFreqHz_ = fmFreqHz_ = pulseFreqHz_ = 1000.0;
  amDepthPct_ = 80.0;
  fmDeviationHz_ = 10e3;
  pulseWidthS_ = 1e-4;
}

GeneratorOutput SimSigGen::Generated() const {
  GeneratorOutput out;
  out.freqMhz = freqHz_ / 1e6;
  out.carrierDbm = rfOn_ ? levelDbm_ : kNoSignalDbm;
  if (amOn_) {
    const double m = amDepthPct_ / 100.0;
    out.averageOffsetDb += 10.0 * std::log10(1.0 + m * m / 2.0);
  }
  if (pulseOn_) {
    out.averageOffsetDb += 10.0 * std::log10(std::clamp(pulseWidthS_ * pulseFreqHz_, 1e-4, 1.0));
  }
  return out;
}

std::optional<std::string> SimSigGen::Execute(const ScpiCommand& c) {
  auto number = [&](double scale, Units units) {
    return c.query ? std::nullopt : Number(c, scale, units);
  };
  auto boolean = [&] { return c.query ? std::nullopt : Boolean(c); };
  if (HeaderMatches(c, "[SOURce]:FREQuency[:CW]") || HeaderMatches(c, "[SOURce]:FREQuency:FIXed")) {
    return NumericSetting(*this, c, freqHz_, number(1.0, kFrequencyUnits), 9e3, 3e9);
  }
  if (HeaderMatches(c, "[SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]")) {
    return NumericSetting(*this, c, levelDbm_, number(1.0, kDbmUnits), -110.0, 13.0);
  }
  if (HeaderMatches(c, "OUTPut[:STATe]")) return BooleanSetting(c, rfOn_, boolean());
  if (HeaderMatches(c, "[SOURce]:AM:STATe")) return BooleanSetting(c, amOn_, boolean());
  if (HeaderMatches(c, "[SOURce]:AM:INTernal:FREQuency")) {
    return NumericSetting(*this, c, amFreqHz_, number(1.0, kFrequencyUnits), 0.1, 100e3);
  }
  if (HeaderMatches(c, "[SOURce]:AM[:DEPTh]")) {
    return NumericSetting(*this, c, amDepthPct_, number(1.0, kPercentUnits), 0.0, 100.0);
  }
  if (HeaderMatches(c, "[SOURce]:FM:STATe")) return BooleanSetting(c, fmOn_, boolean());
  if (HeaderMatches(c, "[SOURce]:FM:INTernal:FREQuency")) {
    return NumericSetting(*this, c, fmFreqHz_, number(1.0, kFrequencyUnits), 0.1, 100e3);
  }
  if (HeaderMatches(c, "[SOURce]:FM[:DEViation]")) {
    return NumericSetting(*this, c, fmDeviationHz_, number(1.0, kFrequencyUnits), 0.0, 10e6);
  }
  if (HeaderMatches(c, "[SOURce]:PULM:STATe")) return BooleanSetting(c, pulseOn_, boolean());
  if (HeaderMatches(c, "[SOURce]:PULM:INTernal:FREQuency")) {
    return NumericSetting(*this, c, pulseFreqHz_, number(1.0, kFrequencyUnits), 0.1, 10e6);
  }
  if (HeaderMatches(c, "[SOURce]:PULM:INTernal:PWIDth")) {
    return NumericSetting(*this, c, pulseWidthS_, number(1.0, kTimeUnits), 1e-8, 10.0);
  }
  Errors().Push(ErrorQueue::kUndefinedHeader);
  return std::nullopt;
}

// --- power meter: channel 1 on the forward coupler port, channel 2 on the reverse port ---

SimPowerMeter::SimPowerMeter(SimBench& bench) : ScpiInstrument(bench) {}

void SimPowerMeter::Reset() {
  for (Channel& channel : channels_) channel = Channel{};
  selected_ = 1;
}

SimPowerMeter::Channel& SimPowerMeter::Select(const ScpiCommand& command,
                                              std::string_view mnemonic) {
  const int suffix = NodeSuffix(command, mnemonic);
  const int number = suffix == 1 || suffix == 2 ? suffix : selected_;
  return channels_[number - 1];
}

void SimPowerMeter::Capture(Channel& channel, int number) {
  const ChainSignals signals = bench_.Signals();
  const double portDbm = number == 1 ? signals.forwardPortDbm : signals.reversePortDbm;
  NoiseSource& noise = bench_.Noise();
  // A sensor corrected for the wrong frequency reads up to half a dB off.
  const double actualHz = bench_.SigGen().FreqHz();
  const double mismatch = std::abs(std::log10(channel.freqHz / actualHz));
  const double correctionDb = mismatch > 0.005 ? 0.5 * std::min(1.0, mismatch) : 0.0;
  const double signal = portDbm <= kNoSignalDbm
                            ? 0.0
                            : Watts(portDbm + signals.averageOffsetDb + correctionDb +
                                    noise.Gaussian(kPowerMeterNoiseDb));
  const double floor = kPowerMeterFloorWatts * (1.0 + 0.2 * noise.Gaussian(1.0));
  channel.capturedWatts = signal + std::max(floor, 0.1 * kPowerMeterFloorWatts);
  channel.captured = true;
  readyTick_ = bench_.Now() + SimBench::kPowerMeterMeasureMs;
}

std::string SimPowerMeter::Reading(const Channel& channel) const {
  return NumberReply(channel.watts ? channel.capturedWatts : WattsToDbm(channel.capturedWatts));
}

std::optional<std::string> SimPowerMeter::Execute(const ScpiCommand& c) {
  if (HeaderMatches(c, "INSTrument[:NSELect]")) {
    if (c.query) return std::to_string(selected_);
    const auto value = Number(c, 1.0, {});
    if (value && (*value == 1.0 || *value == 2.0)) {
      selected_ = static_cast<int>(*value);
    } else if (value) {
      Errors().Push(ErrorQueue::kDataOutOfRange);
    }
    return std::nullopt;
  }
  if (HeaderMatches(c, "[SENSe]:FREQuency[:CW]")) {
    Channel& channel = Select(c, "SENSe");
    return NumericSetting(*this, c, channel.freqHz,
                          c.query ? std::nullopt : Number(c, 1.0, kFrequencyUnits), 1e3, 100e9);
  }
  if (HeaderMatches(c, "UNIT:POWer")) {
    Channel& channel = Select(c, "UNIT");
    if (c.query) return channel.watts ? "W" : "DBM";
    const auto word = Word(c);
    if (word == "W" || word == "DBM") {
      channel.watts = *word == "W";
    } else if (word) {
      Errors().Push(ErrorQueue::kIllegalParameter);
    }
    return std::nullopt;
  }
  if (HeaderMatches(c, "INITiate[:IMMediate]") && !c.query) {
    const int suffix = NodeSuffix(c, "INITiate");
    const int number = suffix == 1 || suffix == 2 ? suffix : selected_;
    Capture(channels_[number - 1], number);
    return std::nullopt;
  }
  if (HeaderMatches(c, "INITiate:CONTinuous")) {
    bool continuous = false;
    return BooleanSetting(c, continuous, c.query ? std::nullopt : Boolean(c));
  }
  const bool fetch = HeaderMatches(c, "FETCh[:SCALar][:POWer][:AC]");
  const bool measure = HeaderMatches(c, "READ[:SCALar][:POWer][:AC]") ||
                       HeaderMatches(c, "MEASure[:SCALar][:POWer][:AC]");
  if ((fetch || measure) && c.query) {
    const std::string_view mnemonic = fetch ? "FETCh" : (c.nodes[0] == "READ" ? "READ" : "MEASure");
    const int suffix = NodeSuffix(c, mnemonic);
    const int number = suffix == 1 || suffix == 2 ? suffix : selected_;
    Channel& channel = channels_[number - 1];
    if (measure || !channel.captured) Capture(channel, number);
    return Reading(channel);
  }
  Errors().Push(ErrorQueue::kUndefinedHeader);
  return std::nullopt;
}

// --- spectrum analyser, zero span on the carrier, marker on the trace ---

SimAnalyser::SimAnalyser(SimBench& bench) : ScpiInstrument(bench) {}

void SimAnalyser::Reset() {
  centerHz_ = 1.5e9;
  referenceDbm_ = 0.0;
  unit_ = "DBM";
  continuous_ = true;
  swept_ = false;
}

void SimAnalyser::Sweep() {
  const ChainSignals signals = bench_.Signals();
  const double carrierHz = bench_.SigGen().FreqHz();
  const double input =
      std::abs(centerHz_ - carrierHz) <= kAnalyserCaptureHz ? signals.meterInputDbm : kNoSignalDbm;
  const double shown =
      PowerSumDbm(input, kAnalyserFloorDbm) + bench_.Noise().Gaussian(kAnalyserNoiseDb);
  // Above the reference level the trace runs off the top of the screen.
  markerDbm_ = std::min(shown, referenceDbm_);
  swept_ = true;
  readyTick_ = bench_.Now() + SimBench::kAnalyserSweepMs;
}

std::string SimAnalyser::Reading() const {
  double value = markerDbm_;
  if (unit_ == "DBUV") value = DbmToDbuv(markerDbm_, 50.0f);
  if (unit_ == "DBMV") value = DbmToDbuv(markerDbm_, 50.0f) - 60.0;
  if (unit_ == "V") value = DbuvToVolts(DbmToDbuv(markerDbm_, 50.0f));
  if (unit_ == "W") value = DbmToWatts(markerDbm_);
  return vbtext::ScientificText(value, 8, 3, false);
}

std::optional<std::string> SimAnalyser::Execute(const ScpiCommand& c) {
  auto number = [&](double scale, Units units) {
    return c.query ? std::nullopt : Number(c, scale, units);
  };
  if (HeaderMatches(c, "[SENSe]:FREQuency:CENTer")) {
    return NumericSetting(*this, c, centerHz_, number(1.0, kFrequencyUnits), 9e3, 3e9);
  }
  if (HeaderMatches(c, "[SENSe]:FREQuency:SPAN") ||
      HeaderMatches(c, "[SENSe]:BANDwidth[:RESolution]") ||
      HeaderMatches(c, "[SENSe]:BWIDth[:RESolution]")) {
    double ignored = 0.0;
    return NumericSetting(*this, c, ignored, number(1.0, kFrequencyUnits), 0.0, 3e9);
  }
  if (HeaderMatches(c, "DISPlay[:WINDow]:TRACe:Y[:SCALe]:RLEVel")) {
    if (c.query) return NumberReply(referenceDbm_);
    if (c.params.empty()) {
      Errors().Push(ErrorQueue::kMissingParameter);
      return std::nullopt;
    }
    const auto quantity = ParseQuantity(c.params[0]);
    if (!quantity) {
      Errors().Push(ErrorQueue::kIllegalParameter);
      return std::nullopt;
    }
    const std::string unit = quantity->unit.empty() ? unit_ : quantity->unit;
    double dbm = quantity->value;
    if (unit == "DBUV")
      dbm = DbuvToDbm(quantity->value, 50.0f);
    else if (unit == "DBMV")
      dbm = DbuvToDbm(quantity->value + 60.0, 50.0f);
    else if (unit != "DBM") {
      Errors().Push(ErrorQueue::kInvalidSuffix);
      return std::nullopt;
    }
    // Up to +40 dBm: the meter driver sets the range 2 dB above the highest level it may read.
    return NumericSetting(*this, c, referenceDbm_, dbm, -130.0, 40.0);
  }
  if (HeaderMatches(c, "UNIT:POWer")) {
    if (c.query) return unit_;
    const auto word = Word(c);
    if (word == "DBM" || word == "DBUV" || word == "DBMV" || word == "V" || word == "W") {
      unit_ = *word;
    } else if (word) {
      Errors().Push(ErrorQueue::kIllegalParameter);
    }
    return std::nullopt;
  }
  if (HeaderMatches(c, "INITiate[:IMMediate]") && !c.query) {
    Sweep();
    return std::nullopt;
  }
  if (HeaderMatches(c, "INITiate:CONTinuous")) {
    return BooleanSetting(c, continuous_, c.query ? std::nullopt : Boolean(c));
  }
  if (HeaderMatches(c, "CALCulate:MARKer[:Y]") && c.query) {
    if (continuous_ || !swept_) Sweep();
    return Reading();
  }
  if (HeaderMatches(c, "CALCulate:MARKer:X") && c.query) return NumberReply(centerHz_);
  if (HeaderMatches(c, "CALCulate:MARKer:MAXimum[:PEAK]") && !c.query) return std::nullopt;
  Errors().Push(ErrorQueue::kUndefinedHeader);
  return std::nullopt;
}

// --- amplifier pair ---

AmplifierPath SimAmplifierPair::Path() const {
  AmplifierPath path;
  if (band_ == 1) {
    path.operating = controllerOn_ && band1Operate_;
    path.lowMhz = kBand1LowMhz;
    path.highMhz = kBand1HighMhz;
  } else {
    path.operating = controllerOn_;
    path.lowMhz = kBand2LowMhz;
    path.highMhz = kBand2HighMhz;
  }
  return path;
}

void SimAmplifierPair::Band1Command(const std::string& command) {
  if (command == "8") band1Operate_ = false;
  if (command == "9") band1Operate_ = true;
}

void SimAmplifierPair::ControllerCommand(const std::string& command) {
  if (command == "FA") controllerOn_ = false;
  if (command == "ON") controllerOn_ = true;
  if (command == "B1") band_ = 1;
  if (command == "B2") band_ = 2;
  // "L3", "M1" and "ZA" set the front panel's level, mode and attenuator: nothing to model.
}

SimIfiUnit::SimIfiUnit(SimBench& bench, SimAmplifierPair& pair, bool band1Unit)
    : SimInstrument(bench), pair_(pair), band1Unit_(band1Unit) {}

std::string SimIfiUnit::Identity() const {
  return band1Unit_ ? "amplifier pair, band 1" : "amplifier pair, band 2 and control";
}

void SimIfiUnit::Write(std::string_view message) {
  const std::string command = Compact(message);
  if (command != "RP") {
    if (band1Unit_) {
      pair_.Band1Command(command);
    } else {
      pair_.ControllerCommand(command);
    }
    return;
  }
  // Each amplifier reports its own output; an amplifier that carries no signal reports zero.
  const ChainSignals signals = bench_.Signals();
  const bool carries = pair_.Path().operating && pair_.SelectedBand() == (band1Unit_ ? 1 : 2);
  const double forward = carries ? Watts(signals.forwardDbm) : 0.0;
  const double reflected = carries ? Watts(signals.reverseDbm) : 0.0;
  const std::string text =
      band1Unit_ ? FourCharacters(reflected) + " " + FourCharacters(forward)
                 : vbtext::Format(forward, "0.0") + " " + vbtext::Format(reflected, "0.0");
  Reply(text + "\r\n", bench_.Now());
}

}  // namespace brimtal::sim
