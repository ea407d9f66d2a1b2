// What the driver tests stand on: the GPIB layer over a recording bus, on virtual time with a
// scripted operator, and the timeouts the bus reports with the status lines the error box shows.
#pragma once

#include <cstdint>
#include <string>

#include "FakeBus.h"
#include "instruments/Gpib.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"

namespace brimtal::test {

// A write or read that timed out.
inline const bus::Status kTimedOut{bus::kErr | bus::kTimo, bus::kEabo, 0};
inline const std::string kTimedOutStatus =
    "\r\nibsta = &HC000 < ERR TIMO>\r\niberr = EABO <Op. aborted>\r\nibcnt = 0x0";
// A write that timed out and was reported complete.
inline const bus::Status kTimedOutComplete{bus::kErr | bus::kTimo | bus::kCmpl, bus::kEabo, 0};
inline const std::string kTimedOutCompleteStatus =
    "\r\nibsta = &HC100 < ERR TIMO CMPL>\r\niberr = EABO <Op. aborted>\r\nibcnt = 0x0";

struct BusRig {
  explicit BusRig(std::int64_t startMs = 0) : clock(startMs) {}

  VirtualClock clock;
  ScriptedHost host{&clock};
  bool haltFlag = false;
  BDelay delay{host, clock, haltFlag};
  FakeBus bus;
  Gpib gpib{bus, host, delay};
};

}  // namespace brimtal::test
