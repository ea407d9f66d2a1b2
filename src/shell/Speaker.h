// Tones and the warbling alarm, played through the host.
#pragma once

namespace brimtal {

class Clock;
class Host;

// 0: tones with a frequency are available; 2: only the plain beep. (1 was a family of
// systems whose speaker had to be driven through its port; it does not occur here.)
int OsFamily();

class Speaker {
 public:
  Speaker(Host& host, Clock& clock);
  // Plays a tone and returns when it has ended, letting events run meanwhile.
  void Tone(int frequencyHz, int durationMs);
  // A warble of f, f/0.85, f, f/1.15 in 50 ms tones for the duration; at least 100 Hz.
  void Alarm(int frequencyHz, int durationMs);

 private:
  void WaitMs(int ms);
  Host& host_;
  Clock& clock_;
};

}  // namespace brimtal
