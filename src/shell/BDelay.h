// The waits every run and driver shares: plain waits, the one dwell timer, and the halt
// request they watch. Waits never spin: they hand the time left to the host's event pump.
#pragma once

#include <cstdint>

namespace brimtal {

class Clock;
class Host;

// A window that shows the seconds left of a dwell.
class CountdownDisplay {
 public:
  virtual ~CountdownDisplay() = default;
  virtual void Countdown(double seconds) = 0;
};

class BDelay {
 public:
  // Longest single hand-over to the event pump, so halts and countdowns stay prompt.
  static constexpr int kMaxPumpMs = 20;

  BDelay(Host& host, Clock& clock, const bool& haltFlag);

  // 0 s asks "Press Enter to continue". Otherwise waits; false when abortable and halted.
  bool PlainWait(double seconds, bool abortable);
  void StartDwell(double seconds);
  // Waits for what is left of the dwell; a dwell of 0 s asks the operator ("Wait for user").
  bool WaitDwell(bool abortable, CountdownDisplay* window);

  std::int32_t DwellMs() const { return dwellMs_; }

 private:
  void PumpUntil(std::int64_t deadline);
  Host& host_;
  Clock& clock_;
  const bool& haltFlag_;
  std::int32_t dwellMs_ = 0;
  std::int64_t dwellStart_ = 0;
};

}  // namespace brimtal
