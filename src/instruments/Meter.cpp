// The meter driver and its definition file.
#include "instruments/Meter.h"

#include "factors/Conversions.h"
#include "shell/BmGlobals.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kDeviceName = "Meter";
constexpr const char* kFreqPattern = "####0.0######### ";
constexpr const char* kLevelPattern = "####0.0##### ";
constexpr const char* kWriteCommandError = "Error in writing command to meter. ";
constexpr const char* kReadError = "Error in reading meter. ";
constexpr const char* kBadUnits = "Error, bad units value in meter config file";
constexpr float kOhms = 50.0f;

// The range is set with a margin above the expected level; an oscilloscope's screen is set
// below it.
constexpr double kScopeMargin = -6.8;
constexpr double kRangeMargin = 2.0;
// Automatic ranging: a reading more than this far below the range brings the range down, by at
// most kRangeDownStep, to kHeadroom above the reading; a reading at or above the range takes it
// kRangeUpStep above the reading.
constexpr double kRangeWindow = 6.0;
constexpr double kRangeDownStep = 10.0;
constexpr double kHeadroom = 3.0;
constexpr double kRangeUpStep = 10.0;
// Half a period in seconds of a frequency in MHz: the time base of an oscilloscope.
constexpr double kHalfPeriodPerMhz = 5e-7;
// MeterInit starts on the range for the maximum level less this.
constexpr double kInitialRangeBelowMax = 2.0;

// The file's lines in order; the parse expression came later, so files without it load with
// none.
const DefinitionField<MeterDef> kFileLines[] = {
    &MeterDef::Name,         &MeterDef::Address,     &MeterDef::InitString,  &MeterDef::FreqSetPre,
    &MeterDef::FreqSetSuf,   &MeterDef::LevelSetPre, &MeterDef::LevelSetSuf, &MeterDef::ReadCmd,
    &MeterDef::TriggerCmd,   &MeterDef::Shutdown,    &MeterDef::Units,       &MeterDef::InstType,
    &MeterDef::MaxLevel,     &MeterDef::MinLevel,    &MeterDef::MaxFreq,     &MeterDef::MinFreq,
    &MeterDef::SettlingTime, &MeterDef::Eos,
};
const DefinitionField<MeterDef> kLaterLines[] = {&MeterDef::ParseCmd};

}  // namespace

std::optional<double> DbuvToMeterUnits(double dbuv, int units) {
  switch (units) {
    case 0: return DbuvToVolts(dbuv);
    case 1: return dbuv;
    case 2: return DbuvToVolts(dbuv) * 1000;
    case 3: return dbuv - 60;
    case 4: return DbuvToDbm(dbuv, kOhms);
    default: return std::nullopt;
  }
}

std::optional<double> MeterUnitsToDbuv(double value, int units) {
  switch (units) {
    case 0: return VoltsToDbuv(value);
    case 1: return value;
    case 2: return VoltsToDbuv(value / 1000);
    case 3: return value + 60;
    case 4: return DbmToDbuv(value, kOhms);
    default: return std::nullopt;
  }
}

std::string MeterLevelText(double dbuv, int units, std::string_view pattern) {
  double shown = DbuvToMeterUnits(dbuv, units).value_or(dbuv);
  if (units == 4) shown = vbtext::ToNumber(vbtext::Format(shown, "##0.0#")).value_or(shown);
  return vbtext::Format(shown, pattern);
}

std::optional<double> TypedMeterLevel(double value, int units) {
  const bool voltage = units == 0 || units == 2;
  if (voltage && value < 0) return std::nullopt;
  return MeterUnitsToDbuv(value, units).value_or(value);
}

Meter::Meter(Gpib& gpib, Host& host, BDelay& delay, Clock& clock, ScriptEngine& engine,
             const bool& haltFlag)
    : MeasuringInstrument(gpib, host, delay, clock, engine), haltFlag_(haltFlag) {
  link_.SetEos(def_.Eos);
}

void Meter::MeterSetDefinition(const MeterDef& def) {
  def_ = def;
  link_.SetEos(def_.Eos);
}

bool Meter::MeterInit() {
  if (!Open(def_.Address, def_.InitString, kDeviceName)) return false;
  lastLevel_ = kNoRangeSet;
  rangeSent_ = true;
  return MeterSetLevel(static_cast<double>(def_.MaxLevel) - kInitialRangeBelowMax);
}

bool Meter::MeterSetFreq(double freqMhz) {
  const bool scope = def_.InstType == kMeterScope;
  // A time base cannot be set for 0 Hz.
  if (freqMhz < def_.MinFreq || freqMhz > def_.MaxFreq || (scope && !(freqMhz > 0))) {
    host_.MsgBox("Frequency requested exceeds meter's capability. ");
    return false;
  }
  const double number = scope ? kHalfPeriodPerMhz / freqMhz : freqMhz;
  return ChangeFrequency(
      freqMhz, HasCommand(def_.FreqSetPre, def_.FreqSetSuf),
      [&] {
        return link_.Send(
            def_.Address,
            InstrumentLink::NumberCommand(def_.FreqSetPre, number, kFreqPattern, def_.FreqSetSuf));
      },
      kWriteCommandError);
}

bool Meter::MeterSetLevel(double levelDbuv) {
  if (levelDbuv < def_.MinLevel || levelDbuv > def_.MaxLevel) {
    host_.MsgBox("Level requested exceeds meter's capability. ");
    return false;
  }
  if (levelDbuv == lastLevel_ && rangeSent_) return true;
  if (!HasCommand(def_.LevelSetPre, def_.LevelSetSuf)) {
    lastLevel_ = levelDbuv;
    rangeSent_ = true;
    return true;
  }
  const double range = levelDbuv + (def_.InstType == kMeterScope ? kScopeMargin : kRangeMargin);
  const std::optional<double> number = DbuvToMeterUnits(range, def_.Units);
  if (!number) {
    host_.MsgBox(kBadUnits);
    link_.ErrorBox(kWriteCommandError);
    return false;
  }
  if (!link_.Send(def_.Address, InstrumentLink::NumberCommand(def_.LevelSetPre, *number,
                                                              kLevelPattern, def_.LevelSetSuf))) {
    // Ranging goes on from the range asked for, but the same request goes out again.
    lastLevel_ = levelDbuv;
    rangeSent_ = false;
    link_.ErrorBox(kWriteCommandError);
    return false;
  }
  lastLevel_ = levelDbuv;
  rangeSent_ = true;
  return true;
}

bool Meter::MeterTrigger() {
  return StartCapture(def_.Address, def_.TriggerCmd, def_.SettlingTime, kWriteCommandError);
}

double Meter::MeterRead(int mode, double settle) {
  if (settle == -1) settle = def_.SettlingTime;
  if (!AwaitCapture([this] { return MeterTrigger(); }, settle)) return ReadFailed();
  const double maxLevel = def_.MaxLevel;
  for (;;) {
    double reading = 0;
    if (!ReadOnce(reading)) return ReadFailed();
    if (reading > maxLevel) return kMeterOverRange;
    if (mode == 1 || !HasCommand(def_.LevelSetPre, def_.LevelSetSuf)) return reading;
    double range = lastLevel_;
    if (reading < lastLevel_ - kRangeWindow) {
      range = MaxOf(reading + kHeadroom, lastLevel_ - kRangeDownStep);
    } else if (reading >= lastLevel_) {
      range = MinOf(reading + kRangeUpStep, maxLevel);
    }
    // Within the window, or already on the range it would move to: the reading stands.
    if (range == lastLevel_) return reading;
    if (!MeterSetLevel(range) || !MeterTrigger()) return ReadFailed();
    SettlePause(settle);
    if (haltFlag_) return reading;
  }
}

bool Meter::ReadOnce(double& dbuv) {
  std::string value;
  if (!FetchValue(def_.Address, def_.ReadCmd, def_.ParseCmd, value)) return false;
  const std::optional<double> converted = MeterUnitsToDbuv(vbtext::Val(value), def_.Units);
  if (!converted) {
    host_.MsgBox(kBadUnits);
    return false;
  }
  dbuv = *converted;
  return true;
}

double Meter::ReadFailed() {
  link_.ErrorBox(kReadError);
  return kMeterFailed;
}

bool Meter::MeterShutdown() {
  return link_.Shutdown(
      def_.Address, def_.Shutdown, [this] { return MeterInit(); }, kDeviceName, kWriteCommandError);
}

bool Meter::LoadFile(const std::string& path) {
  return LoadDefinitionFile(path, "Meter.LoadFile", def_, kFileLines, kLaterLines);
}

bool Meter::SaveFile(const std::string& path) {
  return SaveDefinitionFile(path, "meter.SaveFile", def_, kFileLines, kLaterLines);
}

bool Meter::PrintSetup(Printer& printer) {
  const MeterDef& d = def_;
  return PrintDefinitionFile(printer, "Meter.PrintSetup", [&](Printer& out) {
    PrintHead(out, d);
    out.PrintLine("");
    out.PrintLine(" Lev Set Prefix: " + d.LevelSetPre);
    out.PrintLine(std::string(kPrintLabelWidth, ' ') + d.LevelSetSuf);
    out.PrintLine("");
    out.PrintLine("  Maximum Level: " + vbtext::GeneralText(d.MaxLevel) + " dBuV");
    out.PrintLine("  Minimum Level: " + vbtext::GeneralText(d.MinLevel) + " dBuV");
    out.PrintLine("");
    out.PrintLine("   Maximum Freq: " + vbtext::GeneralText(d.MaxFreq));
    out.PrintLine("   Minimum Freq: " + vbtext::GeneralText(d.MinFreq));
    out.PrintLine("");
    out.PrintLine("        Trigger: " + d.TriggerCmd);
    out.PrintLine("           Read: " + d.ReadCmd);
    out.PrintLine("      Parse cmd: " + d.ParseCmd);
    out.PrintLine("       Shutdown: " + d.Shutdown);
    out.PrintLine("");
    out.PrintLine(NumberLine("          Units: ", d.Units,
                             "  (0 = Volts, 1 = dBuv, 2 = mv, 3 = dbmv, 4 = dbm)"));
    out.PrintLine(
        NumberLine("           Type: ", d.InstType, "  (0 = SpecAn, 1 = Scope, 2 = RfMeter)"));
    out.PrintLine("  Settling Time: " + vbtext::GeneralText(d.SettlingTime));
    out.PrintLine(NumberLine("  End of String: ", d.Eos, "  (0 = none, 1 = cr, 2 = cr/lf)"));
  });
}

}  // namespace brimtal
