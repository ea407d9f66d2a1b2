// The simulated bench: instruments by address and the chain between them.
#include "sim/SimBench.h"

#include "shell/Clock.h"

namespace brimtal::sim {

SimBench::SimBench(Clock& clock, SimOptions options)
    : clock_(clock), options_(options), setup_(options.setup), noise_(options.seed) {
  sigGen_ = std::make_unique<SimSigGen>(*this);
  powerMeter_ = std::make_unique<SimPowerMeter>(*this);
  analyser_ = std::make_unique<SimAnalyser>(*this);
  byAddress_[kSigGenAddress] = sigGen_.get();
  byAddress_[kPowerMeterAddress] = powerMeter_.get();
  byAddress_[kAnalyserAddress] = analyser_.get();
  if (options_.amplifier == SimAmplifier::IfiPair) {
    band1Unit_ = std::make_unique<SimIfiUnit>(*this, pair_, true);
    band2Unit_ = std::make_unique<SimIfiUnit>(*this, pair_, false);
    byAddress_[kAmpBand1Address] = band1Unit_.get();
    byAddress_[kAmpBand2Address] = band2Unit_.get();
  }
}

SimBench::~SimBench() = default;

std::vector<int> SimBench::Addresses() const {
  std::vector<int> addresses;
  for (const auto& [address, instrument] : byAddress_) addresses.push_back(address);
  return addresses;
}

SimInstrument* SimBench::At(int address) {
  const auto it = byAddress_.find(address);
  return it == byAddress_.end() ? nullptr : it->second;
}

void SimBench::Write(int address, std::string_view bytes) {
  SimInstrument* instrument = At(address);
  if (instrument == nullptr) return;
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    const std::string_view message =
        bytes.substr(0, lf == std::string_view::npos ? bytes.size() : lf + 1);
    instrument->Write(message);
    bytes.remove_prefix(message.size());
  }
}

AmplifierPath SimBench::AmplifierNow() const {
  if (options_.amplifier == SimAmplifier::Generic) {
    return AmplifierPath{true, SimAmplifierPair::kBand1LowMhz, SimAmplifierPair::kBand2HighMhz};
  }
  return pair_.Path();
}

ChainSignals SimBench::Signals() const {
  return ChainModel::Compute(sigGen_->Generated(), AmplifierNow(), setup_);
}

std::int64_t SimBench::Now() const {
  return clock_.TickMs();
}

}  // namespace brimtal::sim
