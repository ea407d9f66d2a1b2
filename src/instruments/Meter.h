// The meter on the monitor probe (spectrum analyser, oscilloscope or RF voltmeter): its
// definition (.mtr file) and the driver that sets its frequency and range and takes readings
// in dBuV, ranging automatically.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "instruments/MeasuringInstrument.h"

namespace brimtal {

struct MeterDef {
  std::string Name;
  std::int16_t Address = 0;
  std::string InitString;
  std::string FreqSetPre;
  std::string FreqSetSuf;
  std::string LevelSetPre;
  std::string LevelSetSuf;
  std::string ReadCmd;
  std::string TriggerCmd;
  std::string Shutdown;
  std::int32_t Units = 0;     // the instrument's numbers: 0 Volts, 1 dBuV, 2 mV, 3 dBmV, 4 dBm
  std::int32_t InstType = 0;  // 0 spectrum analyser, 1 oscilloscope, 2 RF meter
  float MaxLevel = 0;         // dBuV, whatever Units says
  float MinLevel = 0;
  double MaxFreq = 0;
  double MinFreq = 0;
  float SettlingTime = 0;
  std::int32_t Eos = 0;  // 0 none, 1 CR, 2 CR LF
  std::string ParseCmd;

  bool operator==(const MeterDef&) const = default;
};

inline constexpr std::int32_t kMeterScope = 1;
// Readings: above MaxLevel, and failed.
inline constexpr double kMeterOverRange = 1000.0;
inline constexpr double kMeterFailed = 999.0;
// LastLevel before any range was set.
inline constexpr double kNoRangeSet = 999.0;

// A level in dBuV in the instrument's unit (Units code, 50 ohms); nothing for unknown codes.
std::optional<double> DbuvToMeterUnits(double dbuv, int units);
// A number in the instrument's unit as dBuV; nothing for unknown codes.
std::optional<double> MeterUnitsToDbuv(double value, int units);

// The definition window's level boxes. A dBuV level as shown in the unit with the pattern
// (dBm first rounded to two decimals); unknown units show dBuV.
std::string MeterLevelText(double dbuv, int units, std::string_view pattern);
// A level typed in the unit, as dBuV; nothing when the unit cannot hold it (a negative voltage).
std::optional<double> TypedMeterLevel(double value, int units);

class Meter final : public MeasuringInstrument {
 public:
  Meter(Gpib& gpib, Host& host, BDelay& delay, Clock& clock, ScriptEngine& engine,
        const bool& haltFlag);

  // Opens the instrument and sets the range for its maximum level.
  bool MeterInit();
  bool MeterSetFreq(double freqMhz);
  // Sets the range for the expected level (dBuV).
  bool MeterSetLevel(double levelDbuv);
  bool MeterTrigger();
  // Mode 1 reads as the range stands; any other mode ranges until the reading fits. settle is
  // in seconds, -1 for the definition's settling time. dBuV; 1000 above MaxLevel; 999 failed.
  double MeterRead(int mode, double settle);
  // Every step is tried, even after one failed; false when any did.
  bool MeterShutdown();

  bool LoadFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  bool PrintSetup(Printer& printer) override;

  const MeterDef& MeterGetDefinition() const { return def_; }
  void MeterSetDefinition(const MeterDef& def);

  const std::string& MeterFileName() const { return DefinitionFileName(); }
  const std::string& MeterName() const { return def_.Name; }
  std::int16_t MeterAddress() const { return def_.Address; }
  void SetMeterAddress(std::int16_t address) { def_.Address = address; }
  double MeterMinFreq() const { return def_.MinFreq; }
  double MeterMaxFreq() const { return def_.MaxFreq; }
  float MeterMinLevel() const { return def_.MinLevel; }
  float MeterMaxLevel() const { return def_.MaxLevel; }
  float MeterSettlingTime() const { return def_.SettlingTime; }
  const std::string& MeterLastReply() const { return LastReply(); }

  // The level the range was last set for, for the runs' diagnostics and for tests.
  double LastLevel() const { return lastLevel_; }

 private:
  // One reading converted to dBuV; false after the failure's own message, if it has one.
  bool ReadOnce(double& dbuv);
  double ReadFailed();

  const bool& haltFlag_;
  MeterDef def_;
  double lastLevel_ = kNoRangeSet;
  bool rangeSent_ = true;  // false after a failed range command
};

}  // namespace brimtal
