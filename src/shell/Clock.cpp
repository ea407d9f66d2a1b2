// The real-time clock.
#include "shell/Clock.h"

#include <chrono>

namespace brimtal {

std::int64_t SystemClock::TickMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace brimtal
