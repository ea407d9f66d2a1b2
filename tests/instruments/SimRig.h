// The GPIB layer over the simulated bench, on virtual time with a scripted operator.
#pragma once

#include "instruments/Gpib.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"
#include "sim/SimBus.h"

namespace brimtal::test {

struct SimRig {
  explicit SimRig(sim::SimOptions options = {}) : bus(clock, options) {}

  VirtualClock clock;
  ScriptedHost host{&clock};
  bool haltFlag = false;
  BDelay delay{host, clock, haltFlag};
  sim::SimBus bus;
  Gpib gpib{bus, host, delay};
};

}  // namespace brimtal::test
