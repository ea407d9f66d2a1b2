// Reading and writing the equipment file.
#include "equipment/Equip.h"

#include <filesystem>
#include <system_error>

#include "shell/DefinitionFile.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {
constexpr int kReservedLines = 9;

// A relative path in an equipment file names a file beside the equipment file, so that a set
// of files works wherever it is copied and whatever the working folder is.
std::string BesideEquipmentFile(const std::string& equipPath, const std::string& path) {
  namespace fs = std::filesystem;
  if (vbtext::Trim(path).empty() || fs::path(path).is_absolute()) return path;
  std::error_code ec;
  fs::path folder = fs::absolute(fs::path(equipPath), ec).parent_path();
  if (ec) folder = fs::path(equipPath).parent_path();
  return (folder / path).lexically_normal().string();
}
}  // namespace

Equip::Equip(Host& host, LogWriter writeLog) : host_(host), writeLog_(std::move(writeLog)) {}

int Equip::LoadDef(const std::string& path) {
  DefinitionReader in;
  FileError error;
  EquipmentConfig& c = config_;
  auto file = [&](std::string& field) {
    if (!in.Text(field, error)) return false;
    field = BesideEquipmentFile(path, field);
    return true;
  };
  const bool ok = in.Open(path, error) && file(c.SigGenFile) && in.Int16(c.SigGenAddr, error) &&
                  file(c.MeterFile) && in.Int16(c.MeterAddr, error) && file(c.PwrMtrFile) &&
                  in.Int16(c.PwrMtrAddr, error) && in.Int32(c.PmCoupling, error) &&
                  in.Double(c.PmBandSwitchFreq, error) && file(c.CableLossFile) &&
                  file(c.FwdPortFile) && file(c.RevPortFile) && file(c.MaxAmpPowerFile) &&
                  file(c.ProbeFile) && in.Int32(c.AmpType, error) &&
                  in.Flag(c.IfiMonitorPower, error) && in.Flag(c.IfiAttenBetweenSteps, error) &&
                  in.Double(c.AmpBandSwitchFreq, error);
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
