// The signal generator driver and its definition file.
#include "instruments/SigGen.h"

#include <cmath>
#include <vector>

#include "instruments/Gpib.h"
#include "shell/BmGlobals.h"
#include "shell/DefinitionFile.h"
#include "shell/FileIo.h"
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

bool HasCommand(const std::string& prefix, const std::string& suffix) {
  return !prefix.empty() || !suffix.empty();
}

bool Within(double value, double low, double high) {
  return value >= low && value <= high;  // false for NaN
}

}  // namespace

SigGen::SigGen(Gpib& gpib, Host& host) : gpib_(gpib), host_(host) {
  UpdateTerminator();
}

void SigGen::UpdateTerminator() {
  if (const auto termination = TerminationForEos(def_.Eos)) terminator_ = termination->terminator;
}

void SigGen::SigGenSetDefinition(const SigGenDef& def) {
  def_ = def;
  UpdateTerminator();
}

// --- commands ---

bool SigGen::Send(const std::string& text) {
  return gpib_.GpibWrite(def_.Address, text + terminator_);
}

// The prefix, one blank, the number in its pattern (which ends in the blank before the
// suffix), the suffix.
bool SigGen::SendNumber(const std::string& prefix, double value, const char* pattern,
                        const std::string& suffix) {
  return Send(prefix + " " + vbtext::Format(value, pattern) + suffix);
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
// or when the output already is at or below that level.
bool SigGen::LowerToMinimum() {
  if (lastFreq_ == 0 || !HasCommand(def_.LevelSetPre, def_.LevelSetSuf)) return true;
  const float lowest = MinOf(def_.MinLevel, def_.MaxLevel);
  if (!(lastLevel_ > lowest)) return true;
  lastLevel_ = lowest;
  return SendLevel(lowest) || WriteFailed();
}

bool SigGen::SigGenInit(double freqMhz, float levelDbm) {
  if (!gpib_.GpibInitDevice(def_.Address, def_.InitString + terminator_, kDeviceName)) {
    return false;
  }
  lastFreq_ = 0;
  lastLevel_ = kNoLevel;
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

bool SigGen::LoadFile(const std::string& path) {
  fileName_ = path;
  DefinitionReader in;
  FileError error;
  SigGenDef& d = def_;
  const bool ok =
      in.Open(path, error) && in.Text(d.Name, error) && in.Int16(d.Address, error) &&
      in.Text(d.InitString, error) && in.Text(d.FreqSetPre, error) &&
      in.Text(d.FreqSetSuf, error) && in.Text(d.LevelSetPre, error) &&
      in.Text(d.LevelSetSuf, error) && in.Text(d.ModOff, error) && in.Text(d.RfOff, error) &&
      in.Text(d.RfOn, error) && in.Text(d.AmModFreqPre, error) && in.Text(d.AmModFreqSuf, error) &&
      in.Text(d.AmModDepthPre, error) && in.Text(d.AmModDepthSuf, error) &&
      in.Text(d.AmModOn, error) && in.Text(d.FmModFreqPre, error) &&
      in.Text(d.FmModFreqSuf, error) && in.Text(d.FmModDevPre, error) &&
      in.Text(d.FmModDevSuf, error) && in.Text(d.FmModOn, error) &&
      in.Text(d.PulseModFreqPre, error) && in.Text(d.PulseModFreqSuf, error) &&
      in.Text(d.PulseModWidthPre, error) && in.Text(d.PulseModWidthSuf, error) &&
      in.Text(d.PulseModOn, error) && in.Float(d.MaxLevel, error) && in.Float(d.MinLevel, error) &&
      in.Double(d.MaxFreq, error) && in.Double(d.MinFreq, error) && in.Int32(d.Eos, error) &&
      in.Int16(d.AmCapable, error) && in.Int16(d.FmCapable, error) &&
      in.Int16(d.PulseCapable, error);
  if (!ok) {
    ShowFileError(host_, error, "SigGen.LoadFile", path);
    return false;
  }
  UpdateTerminator();
  return true;
}

bool SigGen::SaveFile(const std::string& path) {
  const SigGenDef& d = def_;
  DefinitionWriter out;
  out.Text(d.Name);
  out.Number(static_cast<int>(d.Address));
  for (const std::string* text :
       {&d.InitString,       &d.FreqSetPre,       &d.FreqSetSuf,      &d.LevelSetPre,
        &d.LevelSetSuf,      &d.ModOff,           &d.RfOff,           &d.RfOn,
        &d.AmModFreqPre,     &d.AmModFreqSuf,     &d.AmModDepthPre,   &d.AmModDepthSuf,
        &d.AmModOn,          &d.FmModFreqPre,     &d.FmModFreqSuf,    &d.FmModDevPre,
        &d.FmModDevSuf,      &d.FmModOn,          &d.PulseModFreqPre, &d.PulseModFreqSuf,
        &d.PulseModWidthPre, &d.PulseModWidthSuf, &d.PulseModOn}) {
    out.Text(*text);
  }
  out.Number(d.MaxLevel);
  out.Number(d.MinLevel);
  out.Number(d.MaxFreq);
  out.Number(d.MinFreq);
  out.Number(static_cast<int>(d.Eos));
  out.Number(static_cast<int>(d.AmCapable));
  out.Number(static_cast<int>(d.FmCapable));
  out.Number(static_cast<int>(d.PulseCapable));
  FileError error;
  if (!out.Save(path, error)) {
    ShowFileError(host_, error, "SigGen.SaveFile", path);
    return false;
  }
  fileName_ = path;
  return true;
}

// --- printout ---

namespace {

constexpr std::size_t kLabelWidth = 17;
constexpr std::size_t kInitChunk = 60;

// Lines of the printout; a line that would not fit on the page starts a new one.
class PrintoutLines {
 public:
  explicit PrintoutLines(Printer& printer) : printer_(printer) {}

  void Line(const std::string& text = {}) {
    const int top = printer_.CurrentY();
    if (lineHeight_ > 0 && top + lineHeight_ > printer_.PageHeight()) printer_.NewPage();
    const int before = printer_.CurrentY();
    printer_.PrintLine(text);
    lineHeight_ = printer_.CurrentY() - before;
  }
  void Field(const char* label, const std::string& value) { Line(label + value); }

 private:
  Printer& printer_;
  int lineHeight_ = 0;
};

std::string PlainNumber(std::int32_t value) {
  return vbtext::GeneralText(static_cast<double>(value));
}

}  // namespace

bool SigGen::PrintSetup(Printer& printer) {
  const SigGenDef& d = def_;
  try {
    printer.SetFont("Courier New", 10, false);
    PrintoutLines p(printer);
    for (int i = 0; i < 6; ++i) p.Line();
    p.Field("Instrument Name: ", d.Name);
    p.Field("        Address: ", PlainNumber(d.Address));
    p.Line();
    p.Line();
    p.Field("    Init String: ", d.InitString.substr(0, kInitChunk));
    for (std::size_t at = kInitChunk; at < d.InitString.size(); at += kInitChunk) {
      p.Line(std::string(kLabelWidth, ' ') + d.InitString.substr(at, kInitChunk));
    }
    p.Line();
    p.Field("Freq Set Prefix: ", d.FreqSetPre);
    p.Field("         Suffix: ", d.FreqSetSuf);
    p.Line();
    p.Field(" Lev Set Prefix: ", d.LevelSetPre);
    p.Line(std::string(kLabelWidth, ' ') + d.LevelSetSuf);
    p.Line();
    p.Field(" Modulation Off: ", d.ModOff);
    p.Line();
    p.Field("         RF Off: ", d.RfOff);
    p.Field("         Rf On : ", d.RfOn);
    p.Line();
    p.Field("     AM Capable: ", PlainNumber(d.AmCapable));
    p.Field(" AM Freq Prefix: ", d.AmModFreqPre);
    p.Field("         Suffix: ", d.AmModFreqSuf);
    p.Line();
    p.Field("AM Depth Prefix: ", d.AmModDepthPre);
    p.Field("         Suffix: ", d.AmModDepthSuf);
    p.Line();
    p.Field("      AM Mod On: ", d.AmModOn);
    p.Line();
    p.Field("     FM Capable: ", PlainNumber(d.FmCapable));
    p.Field(" FM Freq Prefix: ", d.FmModFreqPre);
    p.Field("         Suffix: ", d.FmModFreqSuf);
    p.Line();
    p.Field("  FM Dev Prefix: ", d.FmModDevPre);
    p.Field("         Suffix: ", d.FmModDevSuf);
    p.Line();
    p.Field("      FM Mod On: ", d.FmModOn);
    p.Line();
    p.Field("  Pulse Capable: ", PlainNumber(d.PulseCapable));
    p.Field(" Pulse Freq Pre: ", d.PulseModFreqPre);
    p.Field("            Suf: ", d.PulseModFreqSuf);
    p.Line();
    p.Field("Pulse Width Pre: ", d.PulseModWidthPre);
    p.Field("            Suf: ", d.PulseModWidthSuf);
    p.Line();
    p.Field("   Pulse Mod On: ", d.PulseModOn);
    p.Line();
    p.Field("  Maximum Level: ", vbtext::GeneralText(d.MaxLevel));
    p.Field("  Minimum Level: ", vbtext::GeneralText(d.MinLevel));
    p.Line();
    p.Field("   Maximum Freq: ", vbtext::GeneralText(d.MaxFreq));
    p.Field("   Minimum Freq: ", vbtext::GeneralText(d.MinFreq));
    p.Line();
    p.Field("  End of String: ", PlainNumber(d.Eos) + "  (0 = none, 1 = cr, 2 = cr/lf)");
    printer.EndDoc();
  } catch (const PrinterError& failure) {
    ShowFileError(host_, FileError{failure.Number(), failure.what()}, "SigGen.PrintSetup");
    return false;
  }
  return true;
}

}  // namespace brimtal
