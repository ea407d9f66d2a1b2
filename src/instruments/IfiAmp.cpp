// The IFI amplifier pair.
#include "instruments/IfiAmp.h"

#include "instruments/Gpib.h"
#include "instruments/SigGen.h"
#include "shell/BDelay.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kTerminator = "\r\n";
constexpr double kBandSettlingSeconds = 2.0;
constexpr const char* kAmpError = "Error sending command to amps";

std::optional<float> Number(std::string_view text) {
  const auto value = vbtext::ToNumber(text);
  if (!value) return std::nullopt;
  return static_cast<float>(*value);
}

}  // namespace

IfiAmp::IfiAmp(Gpib& gpib, BDelay& delay, SigGen& sigGen)
    : gpib_(gpib), delay_(delay), sigGen_(sigGen) {}

bool IfiAmp::Failed() {
  gpib_.GpibErrorBox(kAmpError);
  return false;
}

bool IfiAmp::Send(std::int16_t address, const char* command) {
  return gpib_.GpibWrite(address, std::string(command) + kTerminator);
}

// Stops at the first command that fails.
bool IfiAmp::SendAll(std::initializer_list<std::pair<std::int16_t, const char*>> commands) {
  for (const auto& [address, command] : commands) {
    if (!Send(address, command)) return false;
  }
  return true;
}

bool IfiAmp::IfiInit(std::int32_t mode, double bandSwitchMhz) {
  mode_ = mode;
  bandSwitchMhz_ = bandSwitchMhz;
  if (mode_ == kModePassive) return true;
  return IfiSetBand(0);
}

bool IfiAmp::IfiReset() {
  if (mode_ == kModePassive) return true;
  return IfiSetBand(0);
}

bool IfiAmp::IfiSetBand(double freqMhz) {
  if (mode_ == kModePassive) return true;
  if (mode_ == kModeNotInitialised && freqMhz > 0) return true;
  if (freqMhz == 0) band_ = 0;
  const bool band1Wanted = freqMhz <= bandSwitchMhz_;
  if (band1Wanted && band_ != 1) return SelectBand1(freqMhz);
  if (band1Wanted || band_ == 2) return true;
  return SelectBand2();
}

// The amplifiers are never switched with the generator's output on: when RF cannot be switched
// off (the generator driver has said why), the band stays as it is.
bool IfiAmp::SelectBand1(double freqMhz) {
  if (!sigGen_.SigGenRfOff()) return false;
  if (!SendAll({{kBand1Address, "8"},
                {kBand2Address, "FA"},
                {kBand2Address, "L3"},
                {kBand2Address, "M1"},
                {kBand2Address, "ON"},
                {kBand2Address, "B1"}})) {
    return Failed();
  }
  // A reset (frequency 0) leaves the band-1 amplifier in standby and the band unselected.
  if (freqMhz > 0 && mode_ == kModeControlled) {
    if (!Send(kBand1Address, "9")) return Failed();
    delay_.PlainWait(kBandSettlingSeconds, false);
    band_ = 1;
  }
  return Send(kBand2Address, "ZA") || Failed();
}

bool IfiAmp::SelectBand2() {
  if (!sigGen_.SigGenRfOff()) return false;
  if (!SendAll({{kBand2Address, "FA"},
                {kBand1Address, "8"},
                {kBand2Address, "L3"},
                {kBand2Address, "M1"},
                {kBand2Address, "ON"},
                {kBand2Address, "B2"}})) {
    return Failed();
  }
  delay_.PlainWait(kBandSettlingSeconds, false);
  band_ = 2;
  return Send(kBand2Address, "ZA") || Failed();
}

bool IfiAmp::IfiReadPower(float& first, float& second) {
  if (mode_ == kModeNotInitialised || mode_ == kModePassive) {
    first = -1;
    second = -1;
    return true;
  }
  if (band_ != 1 && band_ != 2) return false;
  const std::int16_t address = band_ == 1 ? kBand1Address : kBand2Address;
  std::string reply;
  if (!Send(address, "RP") ||
      !gpib_.GpibRead(address, bus::ReadEnd::EoiOnly, reply, Gpib::kAmpReplyBufferSize) ||
      !ParseReply(reply, first, second)) {
    return Failed();
  }
  return true;
}

// Band 1 answers in fixed columns (reflected in 1 to 4, forward in 6 to 9); band 2 answers
// forward and reflected separated by one blank. The line end is not part of either number.
bool IfiAmp::ParseReply(const std::string& reply, float& first, float& second) const {
  const std::string text = reply.substr(0, reply.find_first_of("\r\n"));
  std::optional<float> a;
  std::optional<float> b;
  if (band_ == 1) {
    a = Number(text.size() > 5 ? std::string_view(text).substr(5, 4) : std::string_view());
    b = Number(std::string_view(text).substr(0, 4));
  } else {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return false;
    a = Number(std::string_view(text).substr(0, blank));
    b = Number(std::string_view(text).substr(blank + 1));
  }
  if (!a || !b) return false;
  first = *a;
  second = *b;
  return true;
}

}  // namespace brimtal
