// The program's context: the one of each thing that lives for the whole program, built by
// main() and handed to every window by reference.
#pragma once

#include <memory>
#include <string>

#include "calibration/CalInfo.h"
#include "equipment/Equip.h"
#include "instruments/Gpib.h"
#include "instruments/IfiAmp.h"
#include "instruments/Meter.h"
#include "instruments/PM.h"
#include "instruments/SigGen.h"
#include "instruments/bus/BusConfig.h"
#include "instruments/script/ScriptEngine.h"
#include "shell/BDelay.h"
#include "shell/LogFile.h"
#include "shell/Settings.h"
#include "shell/Speaker.h"

namespace brimtal {

class Clock;
class Host;

// The bus configuration as the settings file gives it (section "Bus").
bus::BusConfig ReadBusSettings(INISettings& settings);

struct Brimtal {
  Brimtal(Host& host_, Clock& clock_, const WallClock& wallClock, ProgramPaths paths_);
  Brimtal(const Brimtal&) = delete;
  Brimtal& operator=(const Brimtal&) = delete;

  // A line for window titles and reports while the simulated bench stands in for the
  // instruments (" (simulated bench)"), else empty.
  std::string SimulatedSuffix() const;

  Host& host;
  Clock& clock;
  ProgramPaths paths;
  INISettings settings;
  LogFile log;
  // The halt request of runs: set by Halt buttons, watched by abortable waits.
  bool HaltFlag = false;
  BDelay delay;
  Speaker speaker;
  bus::BusConfig busConfig;
  std::unique_ptr<bus::Ni488> bus;
  Gpib gpib;
  // Created by the start-up (step 4); the drivers hold a reference to this object.
  ScriptEngine script;
  SigGen sigGen;
  PM pm;
  Meter meter;
  IfiAmp ifi;
  Equip equip;
  CalInfo calInfo;
  // Where the manual lies, as found at start-up.
  std::string HelpFilePath;
};

}  // namespace brimtal
