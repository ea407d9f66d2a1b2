// The configuration window's rules on plain values.
#include "equipment/EquipmentEditing.h"

#include <cmath>
#include <limits>
#include <optional>

#include "equipment/Equip.h"
#include "factors/InterpClass.h"
#include "instruments/Meter.h"
#include "instruments/PM.h"
#include "instruments/SigGen.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr std::int64_t kHighestAddress = 30;
// A path this short names no file: its instrument is left out of the checks.
constexpr std::size_t kShortestPath = 2;

}  // namespace

EquipmentEditing::EquipmentEditing(Host& host, Equip& equip, SigGen& sigGen, Meter& meter, PM& pm)
    : host_(host), equip_(equip), pm_(pm) {
  links_[static_cast<int>(EquipInstrument::SigGen)] = {
      [&equip]() -> const std::string& { return equip.SigGenFile(); },
      [&equip] { return equip.SigGenAddr(); },
      [&equip](const std::string& v) { equip.SetSigGenFile(v); },
      [&equip](std::int16_t v) { equip.SetSigGenAddr(v); },
      [&sigGen](const std::string& path) { return sigGen.LoadFile(path); },
      [&sigGen]() -> const std::string& { return sigGen.SigGenFileName(); },
      [&sigGen]() -> const std::string& { return sigGen.SigGenName(); },
      [&sigGen] { return sigGen.SigGenAddress(); },
      [&sigGen](std::int16_t v) { sigGen.SetSigGenAddress(v); },
  };
  links_[static_cast<int>(EquipInstrument::Meter)] = {
      [&equip]() -> const std::string& { return equip.MeterFile(); },
      [&equip] { return equip.MeterAddr(); },
      [&equip](const std::string& v) { equip.SetMeterFile(v); },
      [&equip](std::int16_t v) { equip.SetMeterAddr(v); },
      [&meter](const std::string& path) { return meter.LoadFile(path); },
      [&meter]() -> const std::string& { return meter.MeterFileName(); },
      [&meter]() -> const std::string& { return meter.MeterName(); },
      [&meter] { return meter.MeterAddress(); },
      [&meter](std::int16_t v) { meter.SetMeterAddress(v); },
  };
  links_[static_cast<int>(EquipInstrument::PowerMeter)] = {
      [&equip]() -> const std::string& { return equip.PwrMtrFile(); },
      [&equip] { return equip.PwrMtrAddr(); },
      [&equip](const std::string& v) { equip.SetPwrMtrFile(v); },
      [&equip](std::int16_t v) { equip.SetPwrMtrAddr(v); },
      [&pm](const std::string& path) { return pm.LoadFile(path); },
      [&pm]() -> const std::string& { return pm.PmFileName(); },
      [&pm]() -> const std::string& { return pm.PmName(); },
      [&pm] { return pm.PmAddress(); },
      [&pm](std::int16_t v) { pm.SetPmAddress(v); },
  };
}

const EquipmentEditing::Link& EquipmentEditing::LinkOf(EquipInstrument which) const {
  return links_[static_cast<int>(which)];
}

InstrumentShown EquipmentEditing::ShowInstrument(EquipInstrument which) {
  const Link& link = LinkOf(which);
  const std::string path = link.file();
  if (path.empty()) return {};
  link.load(path);
  return {path, link.driverName(), std::to_string(link.address())};
}

void EquipmentEditing::GiveConfiguredAddress(EquipInstrument which) {
  const Link& link = LinkOf(which);
  link.setDriverAddress(link.address());
}

InstrumentShown EquipmentEditing::TakeDriverSelection(EquipInstrument which) {
  const Link& link = LinkOf(which);
  link.setFile(link.driverFile());
  link.setAddress(link.driverAddress());
  if (link.file().empty()) return {};
  return {link.file(), link.driverName(), std::to_string(link.address())};
}

bool EquipmentEditing::FollowDriver(EquipInstrument which, InstrumentShown& shown) {
  const Link& link = LinkOf(which);
  if (link.driverFile().empty() || link.driverFile() == link.file()) return false;
  shown = TakeDriverSelection(which);
  return true;
}

std::string EquipmentEditing::BandSwitchText() const {
  return vbtext::GeneralText(equip_.AmpBandSwitchFreq());
}

bool EquipmentEditing::ReadsAsFactorFile(const std::string& path) {
  InterpClass table(host_);
  return table.InitInterp(path) == 1;
}

EntryCheck EquipmentEditing::ApplyAddress(EquipInstrument which, const std::string& path,
                                          const std::string& address) {
  static constexpr EntryBox kBoxes[] = {EntryBox::SigGenAddress, EntryBox::MeterAddress,
                                        EntryBox::PwrMtrAddress};
  const EntryBox box = kBoxes[static_cast<int>(which)];
  const Link& link = LinkOf(which);
  link.setFile(path);
  if (path.size() < kShortestPath) return {};
  const std::optional<double> number = vbtext::ToNumber(address);
  if (!number) return {box, EntryFault::NotNumber};
  // A number too large for an address is refused before it is rounded into one.
  if (!(std::fabs(*number) <= std::numeric_limits<std::int16_t>::max())) {
    return {box, EntryFault::OutOfRange};
  }
  const std::int64_t rounded = vbtext::RoundHalfEven(*number);
  link.setAddress(static_cast<std::int16_t>(rounded));
  if (rounded < 0 || rounded > kHighestAddress) return {box, EntryFault::OutOfRange};
  link.setDriverAddress(static_cast<std::int16_t>(rounded));
  return {};
}

EntryCheck EquipmentEditing::ApplyBandSwitch(const std::string& text) {
  const std::optional<double> number = vbtext::ToNumber(text);
  if (!number) return {EntryBox::IfiBandSwitch, EntryFault::NotNumber};
  equip_.SetAmpBandSwitchFreq(*number);
  equip_.SetPmBandSwitchFreq(*number);
  pm_.PmSetBandSwitchFreq(*number);
  if (!(*number >= kIfiBandSwitchLowMhz && *number <= kIfiBandSwitchHighMhz)) {
    return {EntryBox::IfiBandSwitch, EntryFault::OutOfRange};
  }
  return {};
}

EntryCheck EquipmentEditing::Apply(const EquipmentEntries& e) {
  const struct {
    EquipInstrument which;
    const std::string& path;
    const std::string& address;
  } instruments[] = {
      {EquipInstrument::SigGen, e.sigGenPath, e.sigGenAddress},
      {EquipInstrument::Meter, e.meterPath, e.meterAddress},
      {EquipInstrument::PowerMeter, e.pwrMtrPath, e.pwrMtrAddress},
  };
  for (const auto& instrument : instruments) {
    const EntryCheck check = ApplyAddress(instrument.which, instrument.path, instrument.address);
    if (!check.Passed()) return check;
  }
  if (e.ampType == kAmpIfi) {
    const EntryCheck check = ApplyBandSwitch(e.ifiBandSwitch);
    if (!check.Passed()) return check;
  }
  equip_.SetCableLossFile(e.cableLossFile);
  equip_.SetFwdPortFile(e.fwdPortFile);
  equip_.SetRevPortFile(e.revPortFile);
  equip_.SetMaxAmpPowerFile(e.maxAmpPowerFile);
  equip_.SetProbeFile(e.probeFile);
  if (e.coupling != kNoChoice) equip_.SetPmCoupling(e.coupling);
  if (e.ampType != kNoChoice) equip_.SetAmpType(e.ampType);
  // A cleared box was applied when it was cleared.
  if (e.ifiAttenTicked) equip_.SetIfiAttenBetweenSteps(true);
  if (e.ifiPwrTicked) equip_.SetIfiMonitorPower(true);
  return {};
}

}  // namespace brimtal
