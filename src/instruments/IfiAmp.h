// The IFI amplifier pair: band selection by frequency over two fixed bus addresses, and the
// amplifiers' own power indication. With any other amplifier every operation succeeds
// without bus traffic.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace brimtal {

class BDelay;
class Gpib;
class SigGen;

class IfiAmp {
 public:
  static constexpr std::int16_t kBand1Address = 10;
  static constexpr std::int16_t kBand2Address = 9;  // also the controller of the pair
  static constexpr int kModeNotInitialised = 0;
  static constexpr int kModeControlled = 1;
  static constexpr int kModePassive = 2;

  IfiAmp(Gpib& gpib, BDelay& delay, SigGen& sigGen);

  // mode 1: the pair is controlled; mode 2: no control, everything succeeds at once.
  bool IfiInit(std::int32_t mode, double bandSwitchMhz);
  // Selects the band for the frequency (at or below the band-switch frequency: band 1); 0
  // resets the pair and forgets the band. The generator's RF is switched off before a change.
  bool IfiSetBand(double freqMhz);
  bool IfiReset();
  // Forward and reflected power as the selected amplifier reports them; -1 and -1 when the
  // pair is not controlled; false when no band is selected yet.
  bool IfiReadPower(float& first, float& second);

  std::int32_t IfiMode() const { return mode_; }
  std::int32_t IfiBand() const { return band_; }
  double BandSwitchFreq() const { return bandSwitchMhz_; }

 private:
  bool Send(std::int16_t address, const char* command);
  bool SendAll(std::initializer_list<std::pair<std::int16_t, const char*>> commands);
  bool Failed();
  bool SelectBand1(double freqMhz);
  bool SelectBand2();
  bool ParseReply(const std::string& reply, float& first, float& second) const;

  Gpib& gpib_;
  BDelay& delay_;
  SigGen& sigGen_;
  std::int32_t mode_ = kModeNotInitialised;
  double bandSwitchMhz_ = 0;
  std::int32_t band_ = 0;
};

}  // namespace brimtal
