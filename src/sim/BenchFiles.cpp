// Example files of the simulated bench.
#include "sim/BenchFiles.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "factors/Conversions.h"
#include "shell/VbText.h"
#include "sim/ChainModel.h"

namespace brimtal::sim {

namespace {

// Ten points a decade, as calibration reports list them, from 10 kHz to 1 GHz.
std::vector<double> CalibrationFrequencies() {
  static constexpr double kSteps[] = {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0};
  std::vector<double> freqs;
  for (double decade = 0.01; decade < 1000.0; decade *= 10.0) {
    for (double step : kSteps) freqs.push_back(step * decade);
  }
  freqs.push_back(1000.0);
  return freqs;
}

std::string FactorLine(double freqMhz, double value, const char* pattern) {
  return vbtext::GeneralText(freqMhz) + ", " + vbtext::Format(value, pattern);
}

BenchFile Factors(std::string name, std::vector<std::string> header,
                  const std::function<double(double)>& value, const char* pattern = "0.00") {
  BenchFile file{std::move(name), std::move(header)};
  for (double f : CalibrationFrequencies()) file.lines.push_back(FactorLine(f, value(f), pattern));
  return file;
}

// The layout the insertion-loss calibration writes: a form header, then frequency, loss and
// the two readings in fixed columns.
BenchFile CableLossFile() {
  const std::string name = "cable.los";
  BenchFile file{
      name,
      {std::string(34, ' ') + name, "", "Date:__________________________________________________",
       "", "Performed by:__________________________________________", "",
       "Device:________________________________________________", "",
       "Equipment Used:________________________________________", "", ""}};
  auto columns = [](const std::vector<std::pair<std::size_t, std::string>>& parts) {
    std::string line;
    for (const auto& [column, text] : parts) {
      if (line.size() < column - 1) line.resize(column - 1, ' ');
      line += text;
    }
    return line;
  };
  file.lines.push_back(
      columns({{1, "Frequency,"}, {15, "InsLoss,"}, {25, "Direct,"}, {35, "Insert"}}));
  const double generatorDbm = -10.0;
  const double direct =
      vbtext::ToNumber(vbtext::Format(DbmToDbuv(generatorDbm, 50.0f), "0.00")).value_or(0);
  for (double f : CalibrationFrequencies()) {
    const std::string loss = vbtext::Format(ChainModel::CableLossDb(f), "##0.0#");
    const double insert = direct - vbtext::ToNumber(loss).value_or(0);
    file.lines.push_back(columns({{1, vbtext::Format(f, "####0.000###") + ", "},
                                  {15, loss + ", "},
                                  {25, vbtext::Format(direct, "##0.0#") + ", "},
                                  {35, vbtext::Format(insert, "##0.0#")}}));
  }
  return file;
}

// A test level rising 20 dB a decade from 1 V at 150 kHz to 10 V at 1.5 MHz, then flat.
BenchFile SlopedLevelFile() {
  BenchFile file{
      "sloped-level.lev",
      {"Simulated bench: sloped test level", "Open-circuit test voltage, volts", "MHz, V"}};
  for (double f : {0.15, 0.2, 0.3, 0.5, 0.7, 1.0, 1.5, 1000.0}) {
    file.lines.push_back(FactorLine(f, std::min(10.0, 10.0 * f / 1.5), "0.0##"));
  }
  return file;
}

BenchFile ListFile(std::string name, const std::vector<double>& freqs) {
  BenchFile file{std::move(name), {}};
  for (double f : freqs) file.lines.push_back(vbtext::Format(f, "#0.0#####"));
  return file;
}

// The sweep of the conducted-immunity standard: 150 kHz to 80 MHz, each step 1 % above the last.
std::vector<double> ConductedImmunitySweep() {
  std::vector<double> freqs;
  for (double f = 0.15; f < 80.0; f *= 1.01) freqs.push_back(f);
  freqs.push_back(80.0);
  return freqs;
}

}  // namespace

std::vector<BenchFile> BenchFactorFiles() {
  return {
      Factors("coupler-fwd.fac",
              {"Simulated bench: directional coupler, forward port",
               "Coupling factor in dB: forward power = port reading + factor", "MHz, dB"},
              ChainModel::ForwardCouplingDb),
      Factors("coupler-rev.fac",
              {"Simulated bench: directional coupler, reverse port",
               "Coupling factor in dB: reverse power = port reading + factor", "MHz, dB"},
              ChainModel::ReverseCouplingDb),
      CableLossFile(),
      Factors("monitor-probe.prb",
              {"Simulated bench: monitor current probe",
               "Probe factor in dB: current (dBuA) = probe voltage (dBuV) + factor", "MHz, dB"},
              ChainModel::ProbeFactorDb),
      Factors("amplifier-max.pwr",
              {"Simulated bench: amplifier pair, saturated output power", "MHz, dBm"},
              ChainModel::AmpSaturationDbm),
      SlopedLevelFile(),
  };
}

std::vector<BenchFile> BenchFrequencyLists() {
  return {
      ListFile("iec61000-4-6.lst", ConductedImmunitySweep()),
      ListFile("quick-check.lst", {0.15, 1.0, 9.5, 31.0, 80.0, 150.0, 230.0, 500.0, 1000.0}),
  };
}

bool WriteBenchFiles(const std::string& folder, FileError& error, std::string& failedPath) {
  std::vector<BenchFile> files = BenchFactorFiles();
  for (BenchFile& list : BenchFrequencyLists()) files.push_back(std::move(list));
  for (const BenchFile& file : files) {
    const std::string path = folder + "/" + file.name;
    if (!WriteTextLines(path, file.lines, error)) {
      failedPath = path;
      return false;
    }
  }
  return true;
}

}  // namespace brimtal::sim
