// Tones through the host's sound output.
#include "shell/Speaker.h"

#include <algorithm>
#include <cstdint>

#include "shell/Clock.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

int OsFamily() {
  return 0;
}

Speaker::Speaker(Host& host, Clock& clock) : host_(host), clock_(clock) {}

void Speaker::WaitMs(int ms) {
  const std::int64_t deadline = clock_.TickMs() + ms;
  while (clock_.TickMs() < deadline) {
    host_.DoEvents(static_cast<int>(std::min<std::int64_t>(deadline - clock_.TickMs(), 20)));
  }
}

void Speaker::Tone(int frequencyHz, int durationMs) {
  if (OsFamily() == 2) {
    host_.Beep();
    return;
  }
  host_.StartTone(frequencyHz, durationMs);
  WaitMs(durationMs);
}

void Speaker::Alarm(int frequencyHz, int durationMs) {
  const int f = std::max(frequencyHz, 100);
  const int warble[4] = {f, static_cast<int>(vbtext::RoundHalfEven(f / 0.85)), f,
                         static_cast<int>(vbtext::RoundHalfEven(f / 1.15))};
  const std::int64_t end = clock_.TickMs() + durationMs;
  while (clock_.TickMs() < end) {
    for (int tone : warble) Tone(tone, 50);
  }
}

}  // namespace brimtal
