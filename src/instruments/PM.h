// The power meter: its definition (.pm file) and the driver that sets its frequency, takes
// triggered readings on one of two channels and returns them in dBm.
#pragma once

#include <cstdint>
#include <string>

#include "instruments/MeasuringInstrument.h"

namespace brimtal {

struct PowerMeterDef {
  std::string Name;
  std::int16_t Address = 0;
  std::string InitString;
  std::string FreqSetPre;
  std::string FreqSetSuf;
  std::string SelectCh1;
  std::string SelectCh2;
  std::string Ch1Read;
  std::string Ch2Read;
  std::string Ch1Trigger;
  std::string Ch2Trigger;
  double BandSwitchFreq = 0;  // MHz; channel 1 up to and including it
  std::string Shutdown;
  std::int32_t Units = 0;     // readings in 0 Watts, 1 dBm, 2 dBuV, 3 mV, 4 Volts, 5 dBmV
  std::int32_t InstType = 0;  // 0 spectrum analyser, 1 power meter (stored and printed only)
  double MaxFreq = 0;
  double MinFreq = 0;
  float SettlingTime = 0;  // seconds between trigger and reading
  std::int32_t Eos = 0;    // 0 none, 1 CR, 2 CR LF
  std::string ParseCmd;    // empty: the reply is the value

  bool operator==(const PowerMeterDef&) const = default;
};

inline constexpr double kFailedReading = 999.0;

class PM final : public MeasuringInstrument {
 public:
  PM(Gpib& gpib, Host& host, BDelay& delay, Clock& clock, ScriptEngine& engine);

  bool PmInit();
  bool PmSetFreq(double freqMhz);
  bool PmSelectChannel(int channel);
  // Channel 0 chooses by the band-switch frequency; 1 and 2 name the channel.
  bool PmTrigger(int channel);
  // The reading in dBm, or 999 when it failed.
  double PmRead(int channel);
  // Every step is tried, even after one failed; false when any did.
  bool PmShutdown();
  void PmSetBandSwitchFreq(double freqMhz) { def_.BandSwitchFreq = freqMhz; }

  bool LoadFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  bool PrintSetup(Printer& printer) override;

  const PowerMeterDef& PmGetDefinition() const { return def_; }
  void PmSetDefinition(const PowerMeterDef& def);

  const std::string& PmFileName() const { return DefinitionFileName(); }
  const std::string& PmName() const { return def_.Name; }
  std::int16_t PmAddress() const { return def_.Address; }
  void SetPmAddress(std::int16_t address) { def_.Address = address; }
  double PmMinFreq() const { return def_.MinFreq; }
  double PmMaxFreq() const { return def_.MaxFreq; }
  const std::string& PmLastReply() const { return LastReply(); }

 private:
  int ChannelFor(int channel) const;
  bool SendFreqCommand(const std::string& command);
  bool ToDbm(double number, double& dbm);
  double ReadFailed();

  PowerMeterDef def_;
};

}  // namespace brimtal
