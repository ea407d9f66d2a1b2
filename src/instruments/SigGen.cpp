// The signal generator driver and its definition file.
#include "instruments/SigGen.h"

#include "instruments/Gpib.h"
#include "shell/BmGlobals.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kFreqPattern = "####0.0##### ";
constexpr const char* kLevelPattern = "##0.0 ";
constexpr const char* kModPattern = "##0.0## ";
constexpr const char* kDepthPattern = "##0.0 ";

// A 32-bit value is formatted from its own decimal digits, so that 1.15 rounds to 1.2 as the
// operator typed it rather than from the nearest double below it.
double FloatValue(float value) {
  return vbtext::ToNumber(vbtext::GeneralText(value)).value_or(static_cast<double>(value));
}

bool Within(double value, double low, double high) {
  return value >= low && value <= high;  // false for NaN
}

}  // namespace

SigGen::SigGen(Gpib& gpib, Host& host) : DefinedInstrument(gpib, host), gpib_(gpib) {
  link_.SetEos(def_.Eos);
}

void SigGen::SigGenSetDefinition(const SigGenDef& def) {
  def_ = def;
  link_.SetEos(def_.Eos);
}

// --- commands ---

bool SigGen::Send(const std::string& text) {
  return link_.Send(def_.Address, text);
}

bool SigGen::SendNumber(const std::string& prefix, double value, const char* pattern,
                        const std::string& suffix) {
  return Send(InstrumentLink::NumberCommand(prefix, value, pattern, suffix));
}

bool SigGen::SendFreq(double freqMhz) {
  return SendNumber(def_.FreqSetPre, freqMhz, kFreqPattern, def_.FreqSetSuf);
}

bool SigGen::SendLevel(float levelDbm) {
  return SendNumber(def_.LevelSetPre, FloatValue(levelDbm), kLevelPattern, def_.LevelSetSuf);
}

// After a failed write nothing is known about the instrument: the next request sends both.
bool SigGen::WriteFailed() {
  gpib_.GpibErrorBox("Error in writing command to Signal Generator. ");
  lastLevel_ = kNoLevel;
  lastFreq_ = 0;
  levelUnknown_ = true;
  return false;
}

// --- frequency, level and RF ---

bool SigGen::SigGenSetFreqLevel(double freqMhz, float levelDbm) {
  if (!HasCommand(def_.FreqSetPre, def_.FreqSetSuf) ||
      !HasCommand(def_.LevelSetPre, def_.LevelSetSuf)) {
    return false;
  }
  if (!Within(levelDbm, def_.MinLevel, def_.MaxLevel)) {
    SigGenRfOff();
    host_.MsgBox("Level requested outside of range of instrument");
    return false;
  }
  if (!Within(freqMhz, def_.MinFreq, def_.MaxFreq)) {
    SigGenRfOff();
    host_.MsgBox("Frequency requested outside of range of instrument");
    return false;
  }
  reqFreq_ = freqMhz;
  reqLevel_ = levelDbm;
  if (!rfIsOn_) return true;
  return SendChanges(freqMhz, levelDbm);
}

// Only what changed goes out; when both change, a falling level is sent before the new
// frequency and a rising one after it.
bool SigGen::SendChanges(double freqMhz, float levelDbm) {
  const bool sameFreq = freqMhz == lastFreq_;
  const bool sameLevel = levelDbm == lastLevel_;
  if (sameFreq && sameLevel) return true;
  if (sameFreq) {
    lastLevel_ = levelDbm;
    return SendLevel(levelDbm) || WriteFailed();
  }
  if (sameLevel) {
    lastFreq_ = freqMhz;
    return SendFreq(freqMhz) || WriteFailed();
  }
  const bool falling = levelDbm < lastLevel_;
  lastFreq_ = freqMhz;
  lastLevel_ = levelDbm;
  const bool sent =
      falling ? SendLevel(levelDbm) && SendFreq(freqMhz) : SendFreq(freqMhz) && SendLevel(levelDbm);
  return sent || WriteFailed();
}

bool SigGen::SigGenRfOn() {
  if (!rfIsOn_) {
    rfIsOn_ = true;
    if (!SigGenSetFreqLevel(reqFreq_, reqLevel_)) {
      // The request did not reach the instrument, so RF must not count as on.
      rfIsOn_ = false;
      return false;
    }
  }
  if (!Send(def_.RfOn)) {
    gpib_.GpibErrorBox("Error setting SigGen RF on. ");
    return false;
  }
  return true;
}

bool SigGen::SigGenRfOff() {
  if (def_.RfOff.empty() && HasCommand(def_.FreqSetPre, def_.FreqSetSuf)) {
    const bool lowered = LowerToMinimum();
    rfIsOn_ = false;
    return lowered;
  }
  rfIsOn_ = false;
  if (!Send(def_.RfOff)) {
    gpib_.GpibErrorBox("Error setting SigGen RF off. ");
    return false;
  }
  return true;
}

// A generator without an RF-off command is switched off by sending the lowest level of its
// definition at the frequency it is on. The level command is sent directly: this must work
// even when the definition no longer admits the last frequency, and it must not touch the
// pending request, which the next RF on sends. Nothing is sent when nothing has been set yet
// or when the output already is at or below that level; after a failed write the output may
// still be up at a level no longer known, so the lowest level is sent then too.
bool SigGen::LowerToMinimum() {
  if (!HasCommand(def_.LevelSetPre, def_.LevelSetSuf)) return true;
  const float lowest = MinOf(def_.MinLevel, def_.MaxLevel);
  if (!levelUnknown_ && (lastFreq_ == 0 || !(lastLevel_ > lowest))) return true;
  lastLevel_ = lowest;
  if (!SendLevel(lowest)) return WriteFailed();
  levelUnknown_ = false;
  return true;
}

bool SigGen::SigGenInit(double freqMhz, float levelDbm) {
  // The terminator goes out even without an init command.
  if (!gpib_.GpibInitDevice(def_.Address, def_.InitString + link_.Terminator(), kDeviceName)) {
    return false;
  }
  lastFreq_ = 0;
  lastLevel_ = kNoLevel;
  levelUnknown_ = false;
  if (freqMhz == 0) {
    freqMhz = def_.MinFreq;
    levelDbm = def_.MinLevel;
  }
  if (!SigGenSetFreqLevel(freqMhz, levelDbm)) return false;
  amDepthZeroForOff_ = false;
  rfIsOn_ = true;
  modIsOn_ = true;
  const bool modOff = SigGenModOff();
  const bool rfOff = SigGenRfOff();
  return modOff && rfOff;
}

bool SigGen::SigGenShutdown() {
  const bool lowered = SigGenSetFreqLevel(def_.MinFreq, def_.MinLevel);
  const bool rfOff = SigGenRfOff();
  const bool local = gpib_.GpibCloseDevice(def_.Address, kDeviceName);
  return lowered && rfOff && local;
}

// --- modulation ---

bool SigGen::CapabilityMissing(bool capable, const char* kind) {
  if (capable) return false;
  host_.MsgBox(std::string("Signal Generator not capable of ") + kind + " Modulation");
  return true;
}

bool SigGen::ModulationFailed(const char* message) {
  gpib_.GpibErrorBox(message);
  return false;
}

bool SigGen::SigGenSetAm(float modFreqKhz, float depthPercent, bool depthZeroForOff) {
  if (CapabilityMissing(SigGenAmCapable(), "AM")) return false;
  // While modulation is on (also after a depth-zero "off"), the values to restore stay.
  if (!modIsOn_) {
    amFreq_ = modFreqKhz;
    amDepth_ = depthPercent;
  }
  bool sent = true;
  if (HasCommand(def_.AmModFreqPre, def_.AmModFreqSuf)) {
    sent = SendNumber(def_.AmModFreqPre, FloatValue(modFreqKhz), kModPattern, def_.AmModFreqSuf);
  }
  if (sent && HasCommand(def_.AmModDepthPre, def_.AmModDepthSuf)) {
    sent =
        SendNumber(def_.AmModDepthPre, FloatValue(depthPercent), kDepthPattern, def_.AmModDepthSuf);
  }
  if (!sent) return ModulationFailed("Error setting AM modulation");
  modKind_ = SigGenModKind::Am;
  amDepthZeroForOff_ = depthZeroForOff;
  return true;
}

bool SigGen::SigGenSetFm(float modFreqKhz, float deviationKhz) {
  if (CapabilityMissing(SigGenFmCapable(), "FM")) return false;
  modKind_ = SigGenModKind::Fm;
  const bool sent =
      SendNumber(def_.FmModFreqPre, FloatValue(modFreqKhz), kModPattern, def_.FmModFreqSuf) &&
      SendNumber(def_.FmModDevPre, FloatValue(deviationKhz), kModPattern, def_.FmModDevSuf);
  return sent || ModulationFailed("Error setting FM modulation");
}

bool SigGen::SigGenSetPulse(float repFreqKhz, float widthMs) {
  if (CapabilityMissing(SigGenPulseCapable(), "Pulse")) return false;
  modKind_ = SigGenModKind::Pulse;
  const bool sent =
      SendNumber(def_.PulseModFreqPre, FloatValue(repFreqKhz), kModPattern, def_.PulseModFreqSuf) &&
      SendNumber(def_.PulseModWidthPre, FloatValue(widthMs), kModPattern, def_.PulseModWidthSuf);
  return sent || ModulationFailed("Error setting Pulse modulation");
}

bool SigGen::SigGenAmOn() {
  if (CapabilityMissing(SigGenAmCapable(), "AM")) return false;
  if (modIsOn_) return SigGenSetAm(amFreq_, amDepth_, amDepthZeroForOff_);
  modIsOn_ = true;
  return Send(def_.AmModOn) || ModulationFailed("Error setting AM Modulation on. ");
}

bool SigGen::SigGenFmOn() {
  if (CapabilityMissing(SigGenFmCapable(), "FM")) return false;
  modIsOn_ = true;
  return Send(def_.FmModOn) || ModulationFailed("Error setting FM Modulation on. ");
}

bool SigGen::SigGenPulseOn() {
  if (CapabilityMissing(SigGenPulseCapable(), "Pulse")) return false;
  modIsOn_ = true;
  return Send(def_.PulseModOn) || ModulationFailed("Error setting Pulse Modulation on.");
}

bool SigGen::SigGenModOff() {
  if (!modIsOn_) return false;
  if (modKind_ == SigGenModKind::Am && amDepthZeroForOff_) {
    return SigGenSetAm(amFreq_, 0, true);
  }
  modIsOn_ = false;
  return Send(def_.ModOff) || ModulationFailed("Error turning modulation off. ");
}

// --- levelling ---

float SigGen::LevelStep(float measured, float target, float tolerance) {
  const double m = measured;
  const double t = target;
  const double tol = tolerance;
  if (m < t) {
    double step = (t + tol - m) / 1.5;
    if (step < 0.2) step = 0.1;
    if (step > 10) step = 10;
    return static_cast<float>(step);
  }
  return static_cast<float>(tol / 2 + t - m);
}

// --- definition file ---

namespace {

// The file's lines in order: the capability flags come last, after the limits.
const DefinitionField<SigGenDef> kFileLines[] = {
    &SigGenDef::Name,
    &SigGenDef::Address,
    &SigGenDef::InitString,
    &SigGenDef::FreqSetPre,
    &SigGenDef::FreqSetSuf,
    &SigGenDef::LevelSetPre,
    &SigGenDef::LevelSetSuf,
    &SigGenDef::ModOff,
    &SigGenDef::RfOff,
    &SigGenDef::RfOn,
    &SigGenDef::AmModFreqPre,
    &SigGenDef::AmModFreqSuf,
    &SigGenDef::AmModDepthPre,
    &SigGenDef::AmModDepthSuf,
    &SigGenDef::AmModOn,
    &SigGenDef::FmModFreqPre,
    &SigGenDef::FmModFreqSuf,
    &SigGenDef::FmModDevPre,
    &SigGenDef::FmModDevSuf,
    &SigGenDef::FmModOn,
    &SigGenDef::PulseModFreqPre,
    &SigGenDef::PulseModFreqSuf,
    &SigGenDef::PulseModWidthPre,
    &SigGenDef::PulseModWidthSuf,
    &SigGenDef::PulseModOn,
    &SigGenDef::MaxLevel,
    &SigGenDef::MinLevel,
    &SigGenDef::MaxFreq,
    &SigGenDef::MinFreq,
    &SigGenDef::Eos,
    &SigGenDef::AmCapable,
    &SigGenDef::FmCapable,
    &SigGenDef::PulseCapable,
};

}  // namespace

bool SigGen::LoadFile(const std::string& path) {
  return LoadDefinitionFile(path, "SigGen.LoadFile", def_, kFileLines);
}

bool SigGen::SaveFile(const std::string& path) {
  return SaveDefinitionFile(path, "SigGen.SaveFile", def_, kFileLines);
}

// --- printout ---

bool SigGen::PrintSetup(Printer& printer) {
  const SigGenDef& d = def_;
  return PrintDefinitionFile(printer, "SigGen.PrintSetup", [&](Printer& out) {
    PrintHead(out, d, 2);
    out.PrintLine("");
    out.PrintLine(" Lev Set Prefix: " + d.LevelSetPre);
    out.PrintLine(std::string(kPrintLabelWidth, ' ') + d.LevelSetSuf);
    out.PrintLine("");
    out.PrintLine(" Modulation Off: " + d.ModOff);
    out.PrintLine("");
    out.PrintLine("         RF Off: " + d.RfOff);
    out.PrintLine("         Rf On : " + d.RfOn);
    out.PrintLine("");
    out.PrintLine(NumberLine("     AM Capable: ", d.AmCapable));
    out.PrintLine(" AM Freq Prefix: " + d.AmModFreqPre);
    out.PrintLine("         Suffix: " + d.AmModFreqSuf);
    out.PrintLine("");
    out.PrintLine("AM Depth Prefix: " + d.AmModDepthPre);
    out.PrintLine("         Suffix: " + d.AmModDepthSuf);
    out.PrintLine("");
    out.PrintLine("      AM Mod On: " + d.AmModOn);
    out.PrintLine("");
    out.PrintLine(NumberLine("     FM Capable: ", d.FmCapable));
    out.PrintLine(" FM Freq Prefix: " + d.FmModFreqPre);
    out.PrintLine("         Suffix: " + d.FmModFreqSuf);
    out.PrintLine("");
    out.PrintLine("  FM Dev Prefix: " + d.FmModDevPre);
    out.PrintLine("         Suffix: " + d.FmModDevSuf);
    out.PrintLine("");
    out.PrintLine("      FM Mod On: " + d.FmModOn);
    out.PrintLine("");
    out.PrintLine(NumberLine("  Pulse Capable: ", d.PulseCapable));
    out.PrintLine(" Pulse Freq Pre: " + d.PulseModFreqPre);
    out.PrintLine("            Suf: " + d.PulseModFreqSuf);
    out.PrintLine("");
    out.PrintLine("Pulse Width Pre: " + d.PulseModWidthPre);
    out.PrintLine("            Suf: " + d.PulseModWidthSuf);
    out.PrintLine("");
    out.PrintLine("   Pulse Mod On: " + d.PulseModOn);
    out.PrintLine("");
    out.PrintLine("  Maximum Level: " + vbtext::GeneralText(d.MaxLevel));
    out.PrintLine("  Minimum Level: " + vbtext::GeneralText(d.MinLevel));
    out.PrintLine("");
    out.PrintLine("   Maximum Freq: " + vbtext::GeneralText(d.MaxFreq));
    out.PrintLine("   Minimum Freq: " + vbtext::GeneralText(d.MinFreq));
    out.PrintLine("");
    out.PrintLine(NumberLine("  End of String: ", d.Eos, "  (0 = none, 1 = cr, 2 = cr/lf)"));
  });
}

}  // namespace brimtal
