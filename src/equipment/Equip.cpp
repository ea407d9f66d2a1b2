// Reading and writing the equipment file.
#include "equipment/Equip.h"

#include "shell/DefinitionFile.h"

namespace brimtal {

namespace {
constexpr int kReservedLines = 9;
}

Equip::Equip(Host& host, LogWriter writeLog) : host_(host), writeLog_(std::move(writeLog)) {}

int Equip::LoadDef(const std::string& path) {
  DefinitionReader in;
  FileError error;
  EquipmentConfig& c = config_;
  const bool ok = in.Open(path, error) && in.Text(c.SigGenFile, error) &&
                  in.Int16(c.SigGenAddr, error) && in.Text(c.MeterFile, error) &&
                  in.Int16(c.MeterAddr, error) && in.Text(c.PwrMtrFile, error) &&
                  in.Int16(c.PwrMtrAddr, error) && in.Int32(c.PmCoupling, error) &&
                  in.Double(c.PmBandSwitchFreq, error) && in.Text(c.CableLossFile, error) &&
                  in.Text(c.FwdPortFile, error) && in.Text(c.RevPortFile, error) &&
                  in.Text(c.MaxAmpPowerFile, error) && in.Text(c.ProbeFile, error) &&
                  in.Int32(c.AmpType, error) && in.Flag(c.IfiMonitorPower, error) &&
                  in.Flag(c.IfiAttenBetweenSteps, error) && in.Double(c.AmpBandSwitchFreq, error);
  if (!ok) {
    ShowFileError(host_, error, "Equip.LoadDef", path);
    return 0;
  }
  if (writeLog_) writeLog_("Equip file: " + path);
  return 1;
}

int Equip::SaveDef(const std::string& path) {
  const EquipmentConfig& c = config_;
  DefinitionWriter out;
  out.Text(c.SigGenFile);
  out.Number(static_cast<int>(c.SigGenAddr));
  out.Text(c.MeterFile);
  out.Number(static_cast<int>(c.MeterAddr));
  out.Text(c.PwrMtrFile);
  out.Number(static_cast<int>(c.PwrMtrAddr));
  out.Number(static_cast<int>(c.PmCoupling));
  out.Number(c.PmBandSwitchFreq);
  out.Text(c.CableLossFile);
  out.Text(c.FwdPortFile);
  out.Text(c.RevPortFile);
  out.Text(c.MaxAmpPowerFile);
  out.Text(c.ProbeFile);
  out.Number(static_cast<int>(c.AmpType));
  out.Flag(c.IfiMonitorPower);
  out.Flag(c.IfiAttenBetweenSteps);
  out.Number(c.AmpBandSwitchFreq);
  out.Empty(kReservedLines);
  FileError error;
  if (!out.Save(path, error)) {
    ShowFileError(host_, error, "Equip.SaveDef", path);
    return 0;
  }
  if (writeLog_) writeLog_("Equip file saved: " + path);
  return 1;
}

}  // namespace brimtal
