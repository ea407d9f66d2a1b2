// Waits that keep the window alive.
#include "shell/BDelay.h"

#include <algorithm>

#include "shell/Clock.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

BDelay::BDelay(Host& host, Clock& clock, const bool& haltFlag)
    : host_(host), clock_(clock), haltFlag_(haltFlag) {}

void BDelay::PumpUntil(std::int64_t deadline) {
  const std::int64_t left = deadline - clock_.TickMs();
  host_.DoEvents(static_cast<int>(std::clamp<std::int64_t>(left, 0, kMaxPumpMs)));
}

bool BDelay::PlainWait(double seconds, bool abortable) {
  if (seconds == 0) {
    host_.MsgBox("Press Enter to continue");
    return true;
  }
  const std::int64_t deadline = clock_.TickMs() + vbtext::RoundHalfEven(seconds * 1000.0);
  while (clock_.TickMs() < deadline) {
    PumpUntil(deadline);
    if (abortable && haltFlag_) return false;
  }
  return true;
}

void BDelay::StartDwell(double seconds) {
  dwellMs_ = static_cast<std::int32_t>(vbtext::RoundHalfEven(seconds * 1000.0));
  dwellStart_ = clock_.TickMs();
}

bool BDelay::WaitDwell(bool abortable, CountdownDisplay* window) {
  if (dwellMs_ == 0) {
    return host_.MsgBox("Press Enter to continue, Escape to halt", MsgButtons::OKCancel,
                        MsgIcon::None, "Wait for user") == MsgAnswer::OK;
  }
  const std::int64_t deadline = dwellStart_ + dwellMs_;
  while (clock_.TickMs() < deadline) {
    PumpUntil(deadline);
    if (window != nullptr) {
      // A pump that returns a little late must not show a negative time left.
      const std::int64_t left = std::max<std::int64_t>(deadline - clock_.TickMs(), 0);
      window->Countdown(static_cast<double>(left) / 1000.0);
    }
    if (abortable && haltFlag_) return false;
  }
  return true;
}

}  // namespace brimtal
