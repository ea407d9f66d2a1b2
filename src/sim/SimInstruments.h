// The instruments of the simulated bench. Each takes whole program messages, acts on its
// commands and queues its replies; the bench routes messages by address and tells the
// measuring instruments what the RF chain delivers.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "sim/ChainModel.h"
#include "sim/Scpi.h"

namespace brimtal::sim {

class SimBench;

// A reply waiting in an instrument's output buffer; it can be read from readyTick on.
struct PendingReply {
  std::string bytes;
  std::int64_t readyTick = 0;
};

class SimInstrument {
 public:
  explicit SimInstrument(SimBench& bench) : bench_(bench) {}
  virtual ~SimInstrument() = default;
  SimInstrument(const SimInstrument&) = delete;
  SimInstrument& operator=(const SimInstrument&) = delete;

  // One complete message (its terminator may still be attached).
  virtual void Write(std::string_view message) = 0;
  virtual std::string Identity() const = 0;

  std::deque<PendingReply>& Output() { return output_; }
  void SetRemote(bool remote, bool lockout) {
    remote_ = remote;
    lockout_ = lockout;
  }
  bool Remote() const { return remote_; }
  bool Lockout() const { return lockout_; }

 protected:
  void Reply(std::string bytes, std::int64_t readyTick);
  SimBench& bench_;

 private:
  std::deque<PendingReply> output_;
  bool remote_ = false;
  bool lockout_ = false;
};

// An instrument that speaks the SCPI-style command language: common commands, the error queue
// and the reply format are shared; Execute handles the instrument's own commands.
class ScpiInstrument : public SimInstrument {
 public:
  using SimInstrument::SimInstrument;
  void Write(std::string_view message) override;
  ErrorQueue& Errors() { return errors_; }

 protected:
  // Returns the reply text of a query (nothing for commands); pushes errors itself.
  virtual std::optional<std::string> Execute(const ScpiCommand& command) = 0;
  virtual void Reset() = 0;
  // The tick at which the replies of this message may be read.
  virtual std::int64_t ReadyTick() const;

  // Helpers for the instruments' commands.
  std::optional<double> Number(const ScpiCommand& command, double scaleOfNoUnit,
                               std::initializer_list<std::pair<const char*, double>> units);
  std::optional<bool> Boolean(const ScpiCommand& command);
  std::optional<std::string> Word(const ScpiCommand& command);

 private:
  ErrorQueue errors_;
};

class SimSigGen final : public ScpiInstrument {
 public:
  explicit SimSigGen(SimBench& bench);
  std::string Identity() const override { return "Brimtal,SimGen 3000,0019,1.0"; }
  GeneratorOutput Generated() const;

  double FreqHz() const { return freqHz_; }
  double LevelDbm() const { return levelDbm_; }
  bool RfOn() const { return rfOn_; }
  bool AmOn() const { return amOn_; }
  double AmDepthPct() const { return amDepthPct_; }

 protected:
  std::optional<std::string> Execute(const ScpiCommand& command) override;
  void Reset() override;

 private:
  double freqHz_ = 100e6;
  double levelDbm_ = -110.0;
  bool rfOn_ = false;
  bool amOn_ = false;
  double amFreqHz_ = 1000.0;
  double amDepthPct_ = 80.0;
  bool fmOn_ = false;
  double fmFreqHz_ = 1000.0;
  double fmDeviationHz_ = 10e3;
  bool pulseOn_ = false;
  double pulseFreqHz_ = 1000.0;
  double pulseWidthS_ = 1e-4;
};

class SimPowerMeter final : public ScpiInstrument {
 public:
  explicit SimPowerMeter(SimBench& bench);
  std::string Identity() const override { return "Brimtal,SimPower 2,0013,1.0"; }

 protected:
  std::optional<std::string> Execute(const ScpiCommand& command) override;
  void Reset() override;
  std::int64_t ReadyTick() const override { return readyTick_; }

 private:
  struct Channel {
    double freqHz = 50e6;
    bool watts = true;
    bool captured = false;
    double capturedWatts = 0.0;
  };
  Channel& Select(const ScpiCommand& command, std::string_view mnemonic);
  void Capture(Channel& channel, int number);
  std::string Reading(const Channel& channel) const;

  Channel channels_[2];
  int selected_ = 1;
  std::int64_t readyTick_ = 0;
};

class SimAnalyser final : public ScpiInstrument {
 public:
  explicit SimAnalyser(SimBench& bench);
  std::string Identity() const override { return "Brimtal,SimSpec 3,0018,1.0"; }
  double ReferenceLevelDbm() const { return referenceDbm_; }
  double CenterHz() const { return centerHz_; }

 protected:
  std::optional<std::string> Execute(const ScpiCommand& command) override;
  void Reset() override;
  std::int64_t ReadyTick() const override { return readyTick_; }

 private:
  void Sweep();
  std::string Reading() const;

  double centerHz_ = 1.5e9;
  double referenceDbm_ = 0.0;
  std::string unit_ = "DBM";
  bool continuous_ = true;
  bool swept_ = false;
  double markerDbm_ = 0.0;
  std::int64_t readyTick_ = 0;
};

// The amplifier pair: address 10 is the band-1 amplifier, address 9 the band-2 amplifier and
// the controller that routes the input to one band and switches the pair on.
class SimAmplifierPair {
 public:
  static constexpr double kBand1LowMhz = 0.01;
  static constexpr double kBand1HighMhz = 250.0;
  static constexpr double kBand2LowMhz = 200.0;
  static constexpr double kBand2HighMhz = 1000.0;

  AmplifierPath Path() const;
  void Band1Command(const std::string& command);
  void ControllerCommand(const std::string& command);
  int SelectedBand() const { return band_; }
  bool Band1Operating() const { return band1Operate_; }
  bool ControllerOn() const { return controllerOn_; }

 private:
  bool band1Operate_ = false;
  bool controllerOn_ = false;
  int band_ = 1;
};

class SimIfiUnit final : public SimInstrument {
 public:
  SimIfiUnit(SimBench& bench, SimAmplifierPair& pair, bool band1Unit);
  void Write(std::string_view message) override;
  std::string Identity() const override;

 private:
  SimAmplifierPair& pair_;
  bool band1Unit_;
};

}  // namespace brimtal::sim
