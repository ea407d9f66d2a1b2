// The power meter driver and its definition file.
#include "instruments/PM.h"

#include "factors/Conversions.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kDeviceName = "PwrMtr";
constexpr const char* kFreqPattern = "####0.0######### ";
constexpr const char* kWriteCommandError = "Error in writing command to power meter. ";
constexpr const char* kSelectError = "Error in writing to power meter. ";
constexpr const char* kReadError = "Error in reading power meter. ";
constexpr const char* kBadUnits = "Error, bad units value in meter config file";
constexpr float kOhms = 50.0f;

// The file's lines in order; the parse expression came later, so files without it load with
// none.
const DefinitionField<PowerMeterDef> kFileLines[] = {
    &PowerMeterDef::Name,       &PowerMeterDef::Address,    &PowerMeterDef::InitString,
    &PowerMeterDef::FreqSetPre, &PowerMeterDef::FreqSetSuf, &PowerMeterDef::SelectCh1,
    &PowerMeterDef::SelectCh2,  &PowerMeterDef::Ch1Read,    &PowerMeterDef::Ch2Read,
    &PowerMeterDef::Ch1Trigger, &PowerMeterDef::Ch2Trigger, &PowerMeterDef::BandSwitchFreq,
    &PowerMeterDef::Shutdown,   &PowerMeterDef::Units,      &PowerMeterDef::InstType,
    &PowerMeterDef::MaxFreq,    &PowerMeterDef::MinFreq,    &PowerMeterDef::SettlingTime,
    &PowerMeterDef::Eos,
};
const DefinitionField<PowerMeterDef> kLaterLines[] = {&PowerMeterDef::ParseCmd};

}  // namespace

PM::PM(Gpib& gpib, Host& host, BDelay& delay, Clock& clock, ScriptEngine& engine)
    : MeasuringInstrument(gpib, host, delay, clock, engine) {
  link_.SetEos(def_.Eos);
}

void PM::PmSetDefinition(const PowerMeterDef& def) {
  def_ = def;
  link_.SetEos(def_.Eos);
}

bool PM::PmInit() {
  return Open(def_.Address, def_.InitString, kDeviceName);
}

bool PM::PmSetFreq(double freqMhz) {
  if (freqMhz < def_.MinFreq || freqMhz > def_.MaxFreq) {
    host_.MsgBox("Frequency requested exceeds power meter's capability. ");
    return false;
  }
  return ChangeFrequency(
      freqMhz, HasCommand(def_.FreqSetPre, def_.FreqSetSuf),
      [&] {
        return SendFreqCommand(
            InstrumentLink::NumberCommand(def_.FreqSetPre, freqMhz, kFreqPattern, def_.FreqSetSuf));
      },
      kWriteCommandError);
}

// Both channels measure at the frequency; the second only when it can be selected.
bool PM::SendFreqCommand(const std::string& command) {
  PmSelectChannel(1);
  if (!link_.Send(def_.Address, command)) return false;
  if (def_.SelectCh2.empty()) return true;
  PmSelectChannel(2);
  return link_.Send(def_.Address, command);
}

bool PM::PmSelectChannel(int channel) {
  if (channel != 1 && channel != 2) return false;
  const std::string& select = channel == 1 ? def_.SelectCh1 : def_.SelectCh2;
  if (select.empty()) return true;
  if (!link_.Send(def_.Address, select)) {
    link_.ErrorBox(kSelectError);
    return false;
  }
  return true;
}

int PM::ChannelFor(int channel) const {
  if (channel != 0) return channel;
  return LastFreq() <= def_.BandSwitchFreq ? 1 : 2;
}

bool PM::PmTrigger(int channel) {
  const int used = ChannelFor(channel);
  std::string trigger;
  if (used == 1 || used == 2) {
    PmSelectChannel(used);
    trigger = used == 1 ? def_.Ch1Trigger : def_.Ch2Trigger;
  }
  return StartCapture(def_.Address, trigger, def_.SettlingTime, kWriteCommandError);
}

double PM::PmRead(int channel) {
  if (!AwaitCapture([&] { return PmTrigger(channel); }, def_.SettlingTime)) return ReadFailed();
  const int used = ChannelFor(channel);
  const std::string read = used == 1 ? def_.Ch1Read : used == 2 ? def_.Ch2Read : std::string();
  std::string value;
  if (!FetchValue(def_.Address, read, def_.ParseCmd, value)) return ReadFailed();
  double dbm = 0;
  if (!ToDbm(vbtext::Val(value), dbm)) {
    host_.MsgBox(kBadUnits);
    return ReadFailed();
  }
  return dbm;
}

bool PM::ToDbm(double number, double& dbm) {
  switch (def_.Units) {
    case 0: dbm = WattsToDbm(number); return true;
    case 1: dbm = number; return true;
    case 2: dbm = DbuvToDbm(number, kOhms); return true;
    case 3: dbm = VoltsToDbm(number / 1000, kOhms); return true;
    case 4: dbm = VoltsToDbm(number, kOhms); return true;
    case 5: dbm = DbuvToDbm(number + 60, kOhms); return true;
    default: return false;
  }
}

double PM::ReadFailed() {
  link_.ErrorBox(kReadError);
  host_.SetBusy(false);
  return kFailedReading;
}

bool PM::PmShutdown() {
  return link_.Shutdown(
      def_.Address, def_.Shutdown, [this] { return PmInit(); }, kDeviceName, kWriteCommandError);
}

bool PM::LoadFile(const std::string& path) {
  return LoadDefinitionFile(path, "PwrMtr.LoadFile", def_, kFileLines, kLaterLines);
}

bool PM::SaveFile(const std::string& path) {
  return SaveDefinitionFile(path, "PwrMtr.SaveFile", def_, kFileLines, kLaterLines);
}

bool PM::PrintSetup(Printer& printer) {
  const PowerMeterDef& d = def_;
  auto number = [](double value) { return vbtext::GeneralText(value); };
  return PrintDefinitionFile(printer, "PwrMtr.PrintSetup", [&](Printer& out) {
    PrintHead(out, d);
    out.PrintLine("");
    out.PrintLine("   Maximum Freq: " + number(d.MaxFreq));
    out.PrintLine("   Minimum Freq: " + number(d.MinFreq));
    out.PrintLine("     Bandswitch: " + number(d.BandSwitchFreq));
    out.PrintLine("");
    out.PrintLine("     Select Ch1: " + d.SelectCh1);
    out.PrintLine("     Select Ch2: " + d.SelectCh2);
    out.PrintLine("");
    out.PrintLine("    Ch1 Trigger: " + d.Ch1Trigger);
    out.PrintLine("    Ch2 Trigger: " + d.Ch2Trigger);
    out.PrintLine("");
    out.PrintLine("       Ch1 Read: " + d.Ch1Read);
    out.PrintLine("       Ch2 Read: " + d.Ch2Read);
    out.PrintLine("    Parsing Cmd: " + d.ParseCmd);
    out.PrintLine("");
    out.PrintLine("       Shutdown: " + d.Shutdown);
    out.PrintLine("");
    out.PrintLine(NumberLine("          Units: ", d.Units,
                             "  (0=Watts, 1=dBm, 2=dBuv, 3=mv, 4=Volts, 5=dBmv)"));
    out.PrintLine(NumberLine("           Type: ", d.InstType, "  (0 = SpecAn, 1 = PowerMeter)"));
    out.PrintLine("  Settling Time: " + vbtext::GeneralText(d.SettlingTime));
    out.PrintLine(NumberLine("  End of String: ", d.Eos, "  (0 = none, 1 = cr, 2 = cr/lf)"));
  });
}

}  // namespace brimtal
