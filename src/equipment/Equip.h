// The equipment configuration: which instrument definitions, addresses and correction files
// make up the test set-up, and its equipment file (.eqp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brimtal {

class Host;

struct EquipmentConfig {
  std::string SigGenFile;
  std::int16_t SigGenAddr = 0;
  std::string MeterFile;
  std::int16_t MeterAddr = 0;
  std::string PwrMtrFile;
  std::int16_t PwrMtrAddr = 0;
  // 0 single channel, 1 dual channel forward and reverse, 2 dual channel split band.
  std::int32_t PmCoupling = 0;
  double PmBandSwitchFreq = 0;
  std::string CableLossFile;
  std::string FwdPortFile;
  std::string RevPortFile;
  std::string MaxAmpPowerFile;
  std::string ProbeFile;
  // 0 generic amplifier, 1 the IFI amplifier pair controlled over the bus.
  std::int32_t AmpType = 0;
  bool IfiMonitorPower = false;
  bool IfiAttenBetweenSteps = false;
  double AmpBandSwitchFreq = 0;

  bool operator==(const EquipmentConfig&) const = default;
};

inline constexpr std::int32_t kAmpGeneric = 0;
inline constexpr std::int32_t kAmpIfi = 1;

class Equip {
 public:
  using LogWriter = std::function<void(const std::string&)>;
  Equip(Host& host, LogWriter writeLog);

  // 1 when the first 17 lines were read, else 0 after the file-error box; fields read before
  // a failure keep their new values.
  int LoadDef(const std::string& path);
  // 1 when all 26 lines were written, else 0 after the file-error box.
  int SaveDef(const std::string& path);

  const EquipmentConfig& Config() const { return config_; }

  const std::string& SigGenFile() const { return config_.SigGenFile; }
  void SetSigGenFile(const std::string& v) { config_.SigGenFile = v; }
  std::int16_t SigGenAddr() const { return config_.SigGenAddr; }
  void SetSigGenAddr(std::int16_t v) { config_.SigGenAddr = v; }
  const std::string& MeterFile() const { return config_.MeterFile; }
  void SetMeterFile(const std::string& v) { config_.MeterFile = v; }
  std::int16_t MeterAddr() const { return config_.MeterAddr; }
  void SetMeterAddr(std::int16_t v) { config_.MeterAddr = v; }
  const std::string& PwrMtrFile() const { return config_.PwrMtrFile; }
  void SetPwrMtrFile(const std::string& v) { config_.PwrMtrFile = v; }
  std::int16_t PwrMtrAddr() const { return config_.PwrMtrAddr; }
  void SetPwrMtrAddr(std::int16_t v) { config_.PwrMtrAddr = v; }
  std::int32_t PmCoupling() const { return config_.PmCoupling; }
  void SetPmCoupling(std::int32_t v) { config_.PmCoupling = v; }
  void SetPmBandSwitchFreq(double v) { config_.PmBandSwitchFreq = v; }
  const std::string& CableLossFile() const { return config_.CableLossFile; }
  void SetCableLossFile(const std::string& v) { config_.CableLossFile = v; }
  const std::string& FwdPortFile() const { return config_.FwdPortFile; }
  void SetFwdPortFile(const std::string& v) { config_.FwdPortFile = v; }
  const std::string& RevPortFile() const { return config_.RevPortFile; }
  void SetRevPortFile(const std::string& v) { config_.RevPortFile = v; }
  const std::string& MaxAmpPowerFile() const { return config_.MaxAmpPowerFile; }
  void SetMaxAmpPowerFile(const std::string& v) { config_.MaxAmpPowerFile = v; }
  const std::string& ProbeFile() const { return config_.ProbeFile; }
  void SetProbeFile(const std::string& v) { config_.ProbeFile = v; }
  std::int32_t AmpType() const { return config_.AmpType; }
  void SetAmpType(std::int32_t v) { config_.AmpType = v; }
  bool IfiMonitorPower() const { return config_.IfiMonitorPower; }
  void SetIfiMonitorPower(bool v) { config_.IfiMonitorPower = v; }
  void SetIfiAttenBetweenSteps(bool v) { config_.IfiAttenBetweenSteps = v; }
  double AmpBandSwitchFreq() const { return config_.AmpBandSwitchFreq; }
  void SetAmpBandSwitchFreq(double v) { config_.AmpBandSwitchFreq = v; }

 private:
  Host& host_;
  LogWriter writeLog_;
  EquipmentConfig config_;
};

}  // namespace brimtal
