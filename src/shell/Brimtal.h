// The program's context: the one of each thing that lives for the whole program, built by
// main() and handed to every window by reference.
#pragma once

#include <string>

#include "shell/BDelay.h"
#include "shell/LogFile.h"
#include "shell/Settings.h"
#include "shell/Speaker.h"

namespace brimtal {

class Clock;
class Host;

struct Brimtal {
  Brimtal(Host& host_, Clock& clock_, const WallClock& wallClock, ProgramPaths paths_)
      : host(host_),
        clock(clock_),
        paths(std::move(paths_)),
        settings(paths),
        log(settings, wallClock),
        delay(host_, clock_, HaltFlag),
        speaker(host_, clock_) {}
  Brimtal(const Brimtal&) = delete;
  Brimtal& operator=(const Brimtal&) = delete;

  Host& host;
  Clock& clock;
  ProgramPaths paths;
  INISettings settings;
  LogFile log;
  // The halt request of runs: set by Halt buttons, watched by abortable waits.
  bool HaltFlag = false;
  BDelay delay;
  Speaker speaker;
  // Where the manual lies, as found at start-up.
  std::string HelpFilePath;
};

}  // namespace brimtal
