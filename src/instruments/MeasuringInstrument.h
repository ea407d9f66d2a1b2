// What the power meter and meter drivers share: the frequency they were last told, and triggered
// readings with the waits around them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "instruments/InstrumentDefinition.h"

namespace brimtal {

class BDelay;
class Clock;
class Gpib;
class Host;
class ScriptEngine;

// Settling seconds as milliseconds, held within what a 32-bit tick count can wait for.
std::int64_t SettleMs(double seconds);

// What the Test menu's Read shows: "Result = " and the value ("##0.0#") with its unit, CR LF,
// then "Returned String = " and the reply in double quotes.
std::string ReadingResultText(double value, const std::string& unit, const std::string& reply);

class MeasuringInstrument : public DefinedInstrument {
 public:
  // Driver state, for the runs' diagnostics and for tests.
  double LastFreq() const { return lastFreq_; }
  bool Triggered() const { return triggered_; }
  std::int64_t ReadyTick() const { return readyTick_; }
  const InstrumentLink& Link() const { return link_; }

 protected:
  MeasuringInstrument(Gpib& gpib, Host& host, BDelay& delay, Clock& clock, ScriptEngine& engine);
  ~MeasuringInstrument() = default;
  MeasuringInstrument(const MeasuringInstrument&) = delete;
  MeasuringInstrument& operator=(const MeasuringInstrument&) = delete;

  // Opens the device; a period of use starts with no frequency set and nothing triggered.
  bool Open(std::int16_t address, const std::string& initString, const std::string& deviceName);
  // Tells the instrument a frequency unless it is the one it was last told; without a frequency
  // command the frequency is only kept. A failed send is reported with the failure text; the
  // frequency is still the one asked for (channel choices follow it), but the same request goes
  // out again.
  bool ChangeFrequency(double freqMhz, bool hasCommand, const std::function<bool()>& send,
                       const std::string& failure);
  // Starts a capture: the instrument's output is flushed and the trigger command, if there is
  // one, sent; the reading may be taken after the settling time. A failed trigger is reported
  // with the failure text and leaves nothing pending.
  bool StartCapture(std::int16_t address, const std::string& command, double settlingSeconds,
                    const std::string& failure);
  // Waits for a pending capture (a halt ends the wait early), or starts one and pauses for the
  // settle seconds, a pause that a halt does not shorten. False when the capture did not start.
  bool AwaitCapture(const std::function<bool()>& start, double settleSeconds);
  // The settling pause after a capture that was not pending.
  void SettlePause(double seconds);
  // Asks for the reading (when there is a read command) and receives the reply; the value text
  // is the reply or what the parse expression makes of it. False when the bus failed or the
  // value text is empty.
  bool FetchValue(std::int16_t address, const std::string& readCmd, const std::string& parseCmd,
                  std::string& value);

  const std::string& LastReply() const { return lastReply_; }

 private:
  BDelay& delay_;
  Clock& clock_;
  ScriptEngine& engine_;
  double lastFreq_ = 0;
  bool freqSent_ = true;  // false after a failed frequency command
  bool triggered_ = false;
  std::int64_t readyTick_ = 0;
  std::string lastReply_;
};

}  // namespace brimtal
