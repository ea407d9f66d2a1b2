// Building the program's context.
#include "shell/Brimtal.h"

namespace brimtal {

bus::BusConfig ReadBusSettings(INISettings& settings) {
  return bus::ReadBusConfig([&settings](const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
    return settings.Setting().GetSettingStr(section, key, defaultValue);
  });
}

Brimtal::Brimtal(Host& host_, Clock& clock_, const WallClock& wallClock, ProgramPaths paths_)
    : host(host_),
      clock(clock_),
      paths(std::move(paths_)),
      settings(paths),
      log(settings, wallClock),
      delay(host_, clock_, HaltFlag),
      speaker(host_, clock_),
      busConfig(ReadBusSettings(settings)),
      bus(bus::MakeBus(busConfig, host_, clock_)),
      gpib(*bus, host_, delay),
      sigGen(gpib, host_),
      pm(gpib, host_, delay, clock_, script),
      meter(gpib, host_, delay, clock_, script, HaltFlag),
      ifi(gpib, delay, sigGen),
      equip(host_, [this](const std::string& line) { log.WriteLog(line); }),
      calInfo(host_) {}

std::string Brimtal::SimulatedSuffix() const {
  return bus->IsSimulated() ? " (" + bus->Description() + ")" : std::string();
}

}  // namespace brimtal
