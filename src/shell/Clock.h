// Millisecond tick clocks: real time for the program, virtual time for tests and simulations.
#pragma once

#include <cstdint>

namespace brimtal {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t TickMs() const = 0;
};

class SystemClock final : public Clock {
 public:
  std::int64_t TickMs() const override;
};

// Time stands still until someone advances it; a wait of an hour then costs nothing.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(std::int64_t startMs = 0) : now_(startMs) {}
  std::int64_t TickMs() const override { return now_; }
  void Advance(std::int64_t ms) { now_ += ms > 0 ? ms : 0; }

 private:
  std::int64_t now_;
};

}  // namespace brimtal
