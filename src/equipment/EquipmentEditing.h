// What the equipment configuration window decides on plain values: what it shows of each
// instrument, how a chosen definition becomes the configuration's, and the order and rules by
// which its entries are checked and applied to the record and the drivers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace brimtal {

class Equip;
class Host;
class Meter;
class PM;
class SigGen;

enum class EquipInstrument { SigGen = 0, Meter = 1, PowerMeter = 2 };

// One instrument as the window shows it: the definition file's path, the instrument's name
// (the path label's tool tip) and the address box's text. All empty when no file is named.
struct InstrumentShown {
  std::string path;
  std::string name;
  std::string address;
};

// An option group's choice: kNoChoice when none of its buttons is selected.
inline constexpr std::int32_t kNoChoice = -1;

// The window's boxes and choices, collected for checking.
struct EquipmentEntries {
  std::string sigGenPath;
  std::string sigGenAddress;
  std::string meterPath;
  std::string meterAddress;
  std::string pwrMtrPath;
  std::string pwrMtrAddress;
  std::string ifiBandSwitch;
  std::string cableLossFile;
  std::string fwdPortFile;
  std::string revPortFile;
  std::string maxAmpPowerFile;
  std::string probeFile;
  std::int32_t coupling = kNoChoice;  // 0, 1, 2 as PmCoupling
  std::int32_t ampType = kNoChoice;   // kAmpGeneric or kAmpIfi
  bool ifiAttenTicked = false;
  bool ifiPwrTicked = false;
};

// The box whose entry was refused, and why.
enum class EntryBox { None, SigGenAddress, MeterAddress, PwrMtrAddress, IfiBandSwitch };
enum class EntryFault { None, NotNumber, OutOfRange };
struct EntryCheck {
  EntryBox box = EntryBox::None;
  EntryFault fault = EntryFault::None;
  bool Passed() const { return fault == EntryFault::None; }
};

inline constexpr double kIfiBandSwitchLowMhz = 200;
inline constexpr double kIfiBandSwitchHighMhz = 230;

class EquipmentEditing {
 public:
  EquipmentEditing(Host& host, Equip& equip, SigGen& sigGen, Meter& meter, PM& pm);

  // Loads the definition the configuration names into the driver (a failed load has shown
  // its own message; the path is shown all the same) and tells what to show.
  InstrumentShown ShowInstrument(EquipInstrument which);
  // Before a definition is chosen: the driver takes the configured address, which it keeps
  // when no file is chosen.
  void GiveConfiguredAddress(EquipInstrument which);
  // After: the driver's file and address become the configuration's; what to show.
  InstrumentShown TakeDriverSelection(EquipInstrument which);
  // After the definition window: when the driver now holds another definition file than the
  // configuration names, that file and its address become the configuration's, so that the
  // window never names one definition while the driver uses another. True when it changed.
  bool FollowDriver(EquipInstrument which, InstrumentShown& shown);

  // The amplifier's band-switch frequency as the boxes show it.
  std::string BandSwitchText() const;

  // True when the file reads as a factor table (its reader has reported a failure).
  bool ReadsAsFactorFile(const std::string& path);

  // Checks and applies the entries in order, stopping at the first refusal: for each
  // instrument whose path has two characters or more, its address (a number, rounded to a
  // whole one, 0 to 30) goes to the record and the driver; with the IFI amplifier, the
  // band-switch frequency (a number, 200 to 230 MHz; stored before its range is checked); then
  // the factor paths, the coupling, the amplifier type and the ticked boxes.
  EntryCheck Apply(const EquipmentEntries& entries);

 private:
  // One instrument's place in the record and its driver.
  struct Link {
    std::function<const std::string&()> file;
    std::function<std::int16_t()> address;
    std::function<void(const std::string&)> setFile;
    std::function<void(std::int16_t)> setAddress;
    std::function<bool(const std::string&)> load;
    std::function<const std::string&()> driverFile;
    std::function<const std::string&()> driverName;
    std::function<std::int16_t()> driverAddress;
    std::function<void(std::int16_t)> setDriverAddress;
  };

  const Link& LinkOf(EquipInstrument which) const;
  EntryCheck ApplyAddress(EquipInstrument which, const std::string& path,
                          const std::string& address);
  EntryCheck ApplyBandSwitch(const std::string& text);

  Host& host_;
  Equip& equip_;
  PM& pm_;
  std::array<Link, 3> links_;
};

}  // namespace brimtal
