// The signal generator: its definition (the command fragments and limits of one generator
// model, kept in a .sg file) and the driver that sends frequency, level, RF and modulation
// commands built from it.
#pragma once

#include <cstdint>
#include <string>

#include "instruments/InstrumentDefinition.h"

namespace brimtal {

struct SigGenDef {
  std::string Name;
  std::int16_t Address = 0;
  std::string InitString;
  std::string FreqSetPre;
  std::string FreqSetSuf;
  std::string LevelSetPre;
  std::string LevelSetSuf;
  std::string ModOff;
  std::string RfOff;
  std::string RfOn;
  std::int16_t AmCapable = 0;  // check-box value: 0 not capable, anything else capable
  std::string AmModFreqPre;
  std::string AmModFreqSuf;
  std::string AmModDepthPre;
  std::string AmModDepthSuf;
  std::string AmModOn;
  std::int16_t FmCapable = 0;
  std::string FmModFreqPre;
  std::string FmModFreqSuf;
  std::string FmModDevPre;
  std::string FmModDevSuf;
  std::string FmModOn;
  std::int16_t PulseCapable = 0;
  std::string PulseModFreqPre;  // repetition frequency, kHz
  std::string PulseModFreqSuf;
  std::string PulseModWidthPre;  // width, ms
  std::string PulseModWidthSuf;
  std::string PulseModOn;
  float MaxLevel = 0;  // dBm
  float MinLevel = 0;
  double MaxFreq = 0;  // MHz
  double MinFreq = 0;
  std::int32_t Eos = 0;  // 0 none, 1 CR, 2 CR LF

  bool operator==(const SigGenDef&) const = default;
};

// What the last modulation parameters were.
enum class SigGenModKind : std::int32_t { None = 0, Am = 1, Fm = 2, Pulse = 3 };

class SigGen : public DefinedInstrument {
 public:
  static constexpr float kNoLevel = -999;
  static constexpr const char* kDeviceName = "SigGen";

  SigGen(Gpib& gpib, Host& host);

  // Opens the instrument and leaves RF and modulation off. A frequency of 0 means the
  // definition's minimum frequency and level.
  bool SigGenInit(double freqMhz, float levelDbm);
  // Records the request; while RF is on, sends only what changed, never taking the output
  // above both the old and the new level.
  bool SigGenSetFreqLevel(double freqMhz, float levelDbm);
  bool SigGenRfOn();
  bool SigGenRfOff();
  bool SigGenSetAm(float modFreqKhz, float depthPercent, bool depthZeroForOff);
  bool SigGenSetFm(float modFreqKhz, float deviationKhz);
  bool SigGenSetPulse(float repFreqKhz, float widthMs);
  bool SigGenAmOn();
  bool SigGenFmOn();
  bool SigGenPulseOn();
  bool SigGenModOff();
  // Minimum frequency and level, RF off, back to local: every step is tried, false when any
  // of them failed.
  bool SigGenShutdown();
  // The next level increment of a levelling loop, dB.
  static float LevelStep(float measured, float target, float tolerance);

  bool LoadFile(const std::string& path) override;
  bool SaveFile(const std::string& path) override;
  bool PrintSetup(Printer& printer) override;

  SigGenDef SigGenGetDefinition() const { return def_; }
  void SigGenSetDefinition(const SigGenDef& def);

  const std::string& SigGenFileName() const { return DefinitionFileName(); }
  const std::string& SigGenName() const { return def_.Name; }
  double SigGenMinFreq() const { return def_.MinFreq; }
  double SigGenMaxFreq() const { return def_.MaxFreq; }
  float SigGenMinLevel() const { return def_.MinLevel; }
  float SigGenMaxLevel() const { return def_.MaxLevel; }
  bool SigGenAmCapable() const { return def_.AmCapable != 0; }
  bool SigGenFmCapable() const { return def_.FmCapable != 0; }
  bool SigGenPulseCapable() const { return def_.PulseCapable != 0; }
  std::int16_t SigGenAddress() const { return def_.Address; }
  void SetSigGenAddress(std::int16_t address) { def_.Address = address; }

  // Driver state, for the windows that show it and for tests.
  bool RfIsOn() const { return rfIsOn_; }
  bool ModIsOn() const { return modIsOn_; }
  SigGenModKind ModKind() const { return modKind_; }
  double LastFreq() const { return lastFreq_; }
  float LastLevel() const { return lastLevel_; }
  double ReqFreq() const { return reqFreq_; }
  float ReqLevel() const { return reqLevel_; }
  float AmFreq() const { return amFreq_; }
  float AmDepth() const { return amDepth_; }
  bool AmDepthZeroForOff() const { return amDepthZeroForOff_; }
  const std::string& Terminator() const { return link_.Terminator(); }

 private:
  bool Send(const std::string& text);
  bool SendNumber(const std::string& prefix, double value, const char* pattern,
                  const std::string& suffix);
  bool SendFreq(double freqMhz);
  bool SendLevel(float levelDbm);
  bool SendChanges(double freqMhz, float levelDbm);
  bool WriteFailed();
  bool LowerToMinimum();
  bool CapabilityMissing(bool capable, const char* kind);
  bool ModulationFailed(const char* message);

  Gpib& gpib_;
  SigGenDef def_;
  bool rfIsOn_ = false;
  bool modIsOn_ = false;
  SigGenModKind modKind_ = SigGenModKind::None;
  double lastFreq_ = 0;
  float lastLevel_ = kNoLevel;
  // A write failed since the last level that reached the instrument: its output is unknown.
  bool levelUnknown_ = false;
  double reqFreq_ = 0;
  float reqLevel_ = 0;
  float amFreq_ = 0;
  float amDepth_ = 0;
  bool amDepthZeroForOff_ = false;
};

}  // namespace brimtal
