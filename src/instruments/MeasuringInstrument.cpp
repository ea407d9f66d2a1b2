// The pieces the power meter and meter drivers share.
#include "instruments/MeasuringInstrument.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "instruments/script/ParseReply.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

std::int64_t SettleMs(double seconds) {
  constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
  const double ms = seconds * 1000.0;
  if (std::isnan(ms)) return 0;
  return vbtext::RoundHalfEven(std::clamp(ms, -kLimit, kLimit));
}

std::string ReadingResultText(double value, const std::string& unit, const std::string& reply) {
  return "Result = " + vbtext::Format(value, "##0.0#") + unit + "\r\nReturned String = \"" + reply +
         "\"";
}

MeasuringInstrument::MeasuringInstrument(Gpib& gpib, Host& host, BDelay& delay, Clock& clock,
                                         ScriptEngine& engine)
    : DefinedInstrument(gpib, host), delay_(delay), clock_(clock), engine_(engine) {}

bool MeasuringInstrument::Open(std::int16_t address, const std::string& initString,
                               const std::string& deviceName) {
  if (!link_.Open(address, initString, deviceName)) return false;
  lastFreq_ = 0;
  freqSent_ = true;
  triggered_ = false;
  return true;
}

bool MeasuringInstrument::ChangeFrequency(double freqMhz, bool hasCommand,
                                          const std::function<bool()>& send,
                                          const std::string& failure) {
  if (freqMhz == lastFreq_ && freqSent_) return true;
  lastFreq_ = freqMhz;
  freqSent_ = !hasCommand || send();
  // The instrument may hold either frequency now: the next request goes out again.
  if (!freqSent_) link_.ErrorBox(failure);
  return freqSent_;
}

bool MeasuringInstrument::StartCapture(std::int16_t address, const std::string& command,
                                       double settlingSeconds, const std::string& failure) {
  triggered_ = true;
  link_.Flush(address);
  if (command.empty()) return true;
  if (!link_.Send(address, command)) {
    // Nothing was started: the next reading triggers anew instead of collecting a stale value.
    triggered_ = false;
    link_.ErrorBox(failure);
    return false;
  }
  readyTick_ = clock_.TickMs() + SettleMs(settlingSeconds);
  return true;
}

bool MeasuringInstrument::AwaitCapture(const std::function<bool()>& start, double settleSeconds) {
  if (triggered_) {
    const std::int64_t left = readyTick_ - clock_.TickMs();
    if (left > 0) delay_.PlainWait(static_cast<double>(left) / 1000.0, true);
    return true;
  }
  if (!start()) return false;
  SettlePause(settleSeconds);
  return true;
}

// No settling time means no pause, but the events still get their turn.
void MeasuringInstrument::SettlePause(double seconds) {
  const std::int64_t ms = SettleMs(seconds);
  if (ms > 0) {
    delay_.PlainWait(static_cast<double>(ms) / 1000.0, false);
  } else {
    host_.DoEvents(0);
  }
}

bool MeasuringInstrument::FetchValue(std::int16_t address, const std::string& readCmd,
                                     const std::string& parseCmd, std::string& value) {
  triggered_ = false;
  if (!readCmd.empty() && !link_.Send(address, readCmd)) return false;
  if (!link_.Receive(address, lastReply_)) return false;
  value = parseCmd.empty() ? lastReply_ : ParseReply(host_, engine_, lastReply_, parseCmd);
  return !value.empty();
}

}  // namespace brimtal
