// The power meter driver and its definition file.
#include "instruments/PM.h"

#include "factors/Conversions.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/DefinitionFile.h"
#include "shell/FileIo.h"
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

}  // namespace

PM::PM(Gpib& gpib, Host& host, BDelay& delay, Clock& clock, ScriptEngine& engine)
    : host_(host), delay_(delay), clock_(clock), engine_(engine), link_(gpib) {
  link_.SetEos(def_.Eos);
}

void PM::PmSetDefinition(const PowerMeterDef& def) {
  def_ = def;
  link_.SetEos(def_.Eos);
}

bool PM::PmInit() {
  if (!link_.Open(def_.Address, def_.InitString, kDeviceName)) return false;
  lastFreq_ = 0;
  triggered_ = false;
  return true;
}

bool PM::PmSetFreq(double freqMhz) {
  if (freqMhz < def_.MinFreq || freqMhz > def_.MaxFreq) {
    host_.MsgBox("Frequency requested exceeds power meter's capability. ");
    return false;
  }
  if (freqMhz == lastFreq_) return true;
  if (def_.FreqSetPre.empty() && def_.FreqSetSuf.empty()) {
    lastFreq_ = freqMhz;
    return true;
  }
  const std::string command =
      InstrumentLink::NumberCommand(def_.FreqSetPre, freqMhz, kFreqPattern, def_.FreqSetSuf);
  if (!SendFreqCommand(command)) {
    // The instrument may hold either frequency now: the next request must go out again.
    lastFreq_ = 0;
    link_.ErrorBox(kWriteCommandError);
    return false;
  }
  lastFreq_ = freqMhz;
  return true;
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
  return lastFreq_ <= def_.BandSwitchFreq ? 1 : 2;
}

bool PM::PmTrigger(int channel) {
  const int used = ChannelFor(channel);
  std::string trigger;
  if (used == 1 || used == 2) {
    PmSelectChannel(used);
    trigger = used == 1 ? def_.Ch1Trigger : def_.Ch2Trigger;
  }
  triggered_ = true;
  link_.Flush(def_.Address);
  if (trigger.empty()) return true;
  if (!link_.Send(def_.Address, trigger)) {
    // Nothing was started: the next reading triggers anew instead of collecting a stale value.
    triggered_ = false;
    link_.ErrorBox(kWriteCommandError);
    return false;
  }
  readyTick_ = clock_.TickMs() + SettleMs(def_.SettlingTime);
  return true;
}

double PM::PmRead(int channel) {
  if (triggered_) {
    WaitForTick(delay_, clock_, readyTick_);
  } else {
    if (!PmTrigger(channel)) return ReadFailed();
    SettlePause(delay_, host_, def_.SettlingTime);
  }
  const int used = ChannelFor(channel);
  const std::string read = used == 1 ? def_.Ch1Read : used == 2 ? def_.Ch2Read : std::string();
  triggered_ = false;
  if (!read.empty() && !link_.Send(def_.Address, read)) return ReadFailed();
  if (!link_.Receive(def_.Address, lastReply_)) return ReadFailed();
  const std::string value = ValueText(host_, engine_, lastReply_, def_.ParseCmd);
  if (value.empty()) return ReadFailed();
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
  fileName_ = path;
  DefinitionReader in;
  FileError error;
  PowerMeterDef& d = def_;
  const bool ok =
      in.Open(path, error) && in.Text(d.Name, error) && in.Int16(d.Address, error) &&
      in.Text(d.InitString, error) && in.Text(d.FreqSetPre, error) &&
      in.Text(d.FreqSetSuf, error) && in.Text(d.SelectCh1, error) && in.Text(d.SelectCh2, error) &&
      in.Text(d.Ch1Read, error) && in.Text(d.Ch2Read, error) && in.Text(d.Ch1Trigger, error) &&
      in.Text(d.Ch2Trigger, error) && in.Double(d.BandSwitchFreq, error) &&
      in.Text(d.Shutdown, error) && in.Int32(d.Units, error) && in.Int32(d.InstType, error) &&
      in.Double(d.MaxFreq, error) && in.Double(d.MinFreq, error) &&
      in.Float(d.SettlingTime, error) && in.Int32(d.Eos, error);
  if (ok) {
    // The parse expression came later; files without it load with none.
    d.ParseCmd.clear();
    FileError ignored;
    in.Text(d.ParseCmd, ignored);
  }
  link_.SetEos(d.Eos);
  if (!ok) ShowFileError(host_, error, "PwrMtr.LoadFile", path);
  return ok;
}

bool PM::SaveFile(const std::string& path) {
  const PowerMeterDef& d = def_;
  DefinitionWriter out;
  out.Text(d.Name);
  out.Number(static_cast<int>(d.Address));
  out.Text(d.InitString);
  out.Text(d.FreqSetPre);
  out.Text(d.FreqSetSuf);
  out.Text(d.SelectCh1);
  out.Text(d.SelectCh2);
  out.Text(d.Ch1Read);
  out.Text(d.Ch2Read);
  out.Text(d.Ch1Trigger);
  out.Text(d.Ch2Trigger);
  out.Number(d.BandSwitchFreq);
  out.Text(d.Shutdown);
  out.Number(static_cast<int>(d.Units));
  out.Number(static_cast<int>(d.InstType));
  out.Number(d.MaxFreq);
  out.Number(d.MinFreq);
  out.Number(d.SettlingTime);
  out.Number(static_cast<int>(d.Eos));
  out.Text(d.ParseCmd);
  FileError error;
  if (!out.Save(path, error)) {
    ShowFileError(host_, error, "PwrMtr.SaveFile", path);
    return false;
  }
  fileName_ = path;
  return true;
}

bool PM::PrintSetup(Printer& printer) {
  const PowerMeterDef& d = def_;
  auto number = [](double value) { return vbtext::GeneralText(value); };
  return PrintDefinition(host_, printer, "PwrMtr.PrintSetup", fileName_, [&](Printer& out) {
    PrintIdentity(out, d.Name, d.Address, d.InitString);
    out.PrintLine("");
    out.PrintLine("Freq Set Prefix: " + d.FreqSetPre);
    out.PrintLine("         Suffix: " + d.FreqSetSuf);
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
    out.PrintLine(CodeLine("          Units: ", d.Units,
                           "  (0=Watts, 1=dBm, 2=dBuv, 3=mv, 4=Volts, 5=dBmv)"));
    out.PrintLine(CodeLine("           Type: ", d.InstType, "  (0 = SpecAn, 1 = PowerMeter)"));
    out.PrintLine("  Settling Time: " + vbtext::GeneralText(d.SettlingTime));
    out.PrintLine(CodeLine("  End of String: ", d.Eos, "  (0 = none, 1 = cr, 2 = cr/lf)"));
  });
}

}  // namespace brimtal
