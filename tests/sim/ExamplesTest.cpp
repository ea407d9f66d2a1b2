// The example files of the simulated bench: the factor files and lists are exactly what the
// bench's model gives and read as factor files; the instrument definitions use only commands
// the simulated instruments understand.
#include <gtest/gtest.h>

#include <cmath>

#include "BenchRig.h"
#include "factors/Conversions.h"
#include "factors/InterpClass.h"
#include "shell/DefinitionFile.h"
#include "shell/VbText.h"
#include "sim/BenchFiles.h"
#include "sim/ChainModel.h"
#include "support/TestFiles.h"

namespace brimtal::test {
namespace {

std::string Joined(const sim::BenchFile& file) {
  std::string bytes;
  for (const std::string& line : file.lines) bytes += line + "\r\n";
  return bytes;
}

TEST(BenchExamples, FilesInTheExamplesFolderAreTheBenchsOwn) {
  std::vector<sim::BenchFile> files = sim::BenchFactorFiles();
  for (auto& list : sim::BenchFrequencyLists()) files.push_back(list);
  for (const sim::BenchFile& file : files) {
    EXPECT_EQ(ReadFileBytes(ExampleFile("bench/" + file.name)), Joined(file))
        << file.name
        << " differs from the model: brimtal-simbench --write-bench-files examples/bench";
  }
}

TEST(BenchExamples, TheFilesAreWrittenWhereAskedOrTheFailureNamesThePath) {
  TempDir dir;
  FileError error;
  std::string failed;
  ASSERT_TRUE(sim::WriteBenchFiles(dir.Path().string(), error, failed));
  for (const char* name : {"coupler-fwd.fac", "cable.los", "iec61000-4-6.lst"}) {
    EXPECT_EQ(ReadFileBytes(dir.File(name)),
              ReadFileBytes(ExampleFile(std::string("bench/") + name)))
        << name;
  }
  EXPECT_FALSE(sim::WriteBenchFiles(dir.File("missing"), error, failed));
  EXPECT_EQ(failed, dir.File("missing") + "/coupler-fwd.fac");
  EXPECT_NE(error.number, 0);
}

struct FactorCheck {
  const char* name;
  double (*model)(double);
  double tolerance;
};

TEST(BenchExamples, FactorFilesReadAsFactorTablesThatMatchTheModel) {
  const std::vector<FactorCheck> checks{
      {"coupler-fwd.fac", sim::ChainModel::ForwardCouplingDb, 0.02},
      {"coupler-rev.fac", sim::ChainModel::ReverseCouplingDb, 0.02},
      {"cable.los", sim::ChainModel::CableLossDb, 0.03},
      {"monitor-probe.prb", sim::ChainModel::ProbeFactorDb, 0.35},
      {"amplifier-max.pwr", sim::ChainModel::AmpSaturationDbm, 0.02},
  };
  ScriptedHost host;
  for (const FactorCheck& check : checks) {
    SCOPED_TRACE(check.name);
    InterpClass table(host);
    ASSERT_EQ(table.InitInterp(ExampleFile(std::string("bench/") + check.name)), 1);
    EXPECT_DOUBLE_EQ(table.MinFreq(), 0.01);
    EXPECT_DOUBLE_EQ(table.MaxFreq(), 1000.0);
    // Between the points as well as on them, as the runs interpolate.
    for (double f : {0.15, 0.7, 9.5, 31.0, 80.0, 230.0, 650.0}) {
      float value = 0;
      ASSERT_EQ(table.InterpVal(f, value, 1, 0), 1);
      EXPECT_NEAR(value, check.model(f), check.tolerance) << f << " MHz";
    }
  }
  InterpClass level(host);
  ASSERT_EQ(level.InitInterp(ExampleFile("bench/sloped-level.lev")), 1);
  float volts = 0;
  ASSERT_EQ(level.InterpVal(0.15, volts, 1, 0), 1);
  EXPECT_FLOAT_EQ(volts, 1.0f);
  ASSERT_EQ(level.InterpVal(80.0, volts, 1, 0), 1);
  EXPECT_FLOAT_EQ(volts, 10.0f);
  EXPECT_TRUE(host.Messages().empty());
}

TEST(BenchExamples, ConductedImmunitySweepStepsOnePercent) {
  const std::vector<std::string> lines =
      SplitLines(ReadFileBytes(ExampleFile("bench/iec61000-4-6.lst")));
  ASSERT_GT(lines.size(), 600u);
  std::vector<double> freqs;
  for (const std::string& line : lines) freqs.push_back(vbtext::LeadingDecimal(line));
  EXPECT_DOUBLE_EQ(freqs.front(), 0.15);
  EXPECT_DOUBLE_EQ(freqs.back(), 80.0);
  for (std::size_t i = 1; i < freqs.size(); ++i) {
    const double ratio = freqs[i] / freqs[i - 1];
    EXPECT_GT(ratio, 1.0) << freqs[i];
    EXPECT_LE(ratio, 1.01 + 1e-5) << freqs[i];
  }
}

// Reads a definition file line by line into texts.
std::vector<std::string> DefinitionLines(const std::string& name, std::size_t expected) {
  DefinitionReader reader;
  FileError error;
  EXPECT_TRUE(reader.Open(ExampleFile("bench/" + name), error)) << name;
  std::vector<std::string> lines;
  std::string line;
  while (lines.size() < expected && reader.Text(line, error)) lines.push_back(line);
  EXPECT_EQ(lines.size(), expected) << name;
  EXPECT_TRUE(reader.AtEnd()) << name;
  lines.resize(expected);
  return lines;
}

std::string NumberCommand(const std::string& prefix, double value, const char* pattern,
                          const std::string& suffix) {
  return prefix + " " + vbtext::Format(value, pattern) + " " + suffix;
}

void ExpectNoErrors(BenchRig& rig, int address, const std::string& name) {
  EXPECT_EQ(rig.Query(address, "SYST:ERR?"), "+0,\"No error\"\n") << name;
}

TEST(BenchExamples, SignalGeneratorDefinitionDrivesTheSimulatedGenerator) {
  const auto sg = DefinitionLines("sim-siggen.sg", 33);
  EXPECT_EQ(vbtext::ToNumber(sg[1]), 19.0);
  EXPECT_EQ(vbtext::ToNumber(sg[29]), 2.0) << "CR LF";
  for (int numeric : {1, 25, 26, 27, 28, 29, 30, 31, 32}) {
    EXPECT_TRUE(vbtext::ToNumber(sg[static_cast<std::size_t>(numeric)])) << numeric + 1;
  }
  BenchRig rig;
  auto send = [&](const std::string& text) { rig.Write(19, text); };
  send(sg[2]);
  send(NumberCommand(sg[3], 80.0, "####0.0##### ", sg[4]));
  send(NumberCommand(sg[5], -20.0, "##0.0 ", sg[6]));
  send(sg[9]);
  EXPECT_TRUE(rig.bus.Bench().SigGen().RfOn());
  EXPECT_DOUBLE_EQ(rig.bus.Bench().SigGen().FreqHz(), 80e6);
  EXPECT_DOUBLE_EQ(rig.bus.Bench().SigGen().LevelDbm(), -20.0);
  send(NumberCommand(sg[10], 1.0, "##0.0## ", sg[11]));
  send(NumberCommand(sg[12], 80.0, "##0.0 ", sg[13]));
  send(sg[14]);
  EXPECT_TRUE(rig.bus.Bench().SigGen().AmOn());
  send(NumberCommand(sg[15], 1.0, "##0.0## ", sg[16]));
  send(NumberCommand(sg[17], 10.0, "##0.0## ", sg[18]));
  send(sg[19]);
  send(NumberCommand(sg[20], 1.0, "##0.0## ", sg[21]));
  send(NumberCommand(sg[22], 0.01, "##0.0## ", sg[23]));
  send(sg[24]);
  send(sg[7]);
  EXPECT_FALSE(rig.bus.Bench().SigGen().AmOn());
  send(sg[8]);
  EXPECT_FALSE(rig.bus.Bench().SigGen().RfOn());
  ExpectNoErrors(rig, 19, "sim-siggen.sg");
}

TEST(BenchExamples, PowerMeterAndAnalyserDefinitionsReadTheSimulatedInstruments) {
  const auto pm = DefinitionLines("sim-powermeter.pm", 20);
  const auto mtr = DefinitionLines("sim-analyser.mtr", 19);
  EXPECT_EQ(vbtext::ToNumber(pm[1]), 13.0);
  EXPECT_EQ(vbtext::ToNumber(pm[13]), 0.0) << "watts";
  EXPECT_EQ(vbtext::ToNumber(mtr[1]), 18.0);
  EXPECT_EQ(vbtext::ToNumber(mtr[10]), 4.0) << "dBm";

  BenchRig rig;
  rig.SelectBand(1);
  rig.SetGenerator(80.0, -20.0);
  // The power meter as its driver uses it: both channels tuned, trigger, settle, read.
  rig.Write(13, pm[2]);
  for (int channel : {5, 6}) {
    rig.Write(13, pm[static_cast<std::size_t>(channel)]);
    rig.Write(13, NumberCommand(pm[3], 80.0, "####0.0######### ", pm[4]));
  }
  double watts[2] = {};
  for (int channel : {0, 1}) {
    rig.Write(13, pm[static_cast<std::size_t>(5 + channel)]);
    rig.gpib.GpibFlush(13);
    rig.Write(13, pm[static_cast<std::size_t>(9 + channel)]);
    watts[channel] = rig.QueryNumber(13, pm[static_cast<std::size_t>(7 + channel)]);
  }
  EXPECT_NEAR(WattsToDbm(watts[0]) + ExampleFactor("coupler-fwd.fac", 80.0), 30.0, 2.5);
  EXPECT_LT(watts[1], watts[0] / 10.0) << "the reverse port sees the reflection only";
  rig.Write(13, pm[12]);
  ExpectNoErrors(rig, 13, "sim-powermeter.pm");

  // The analyser as the meter driver uses it: range for 130 dBuV, tune, trigger, read.
  rig.Write(18, mtr[2]);
  rig.Write(18, NumberCommand(mtr[3], 80.0, "####0.0######### ", mtr[4]));
  rig.Write(18, NumberCommand(mtr[5], DbuvToDbm(132.0, 50.0f), "####0.0##### ", mtr[6]));
  rig.gpib.GpibFlush(18);
  rig.Write(18, mtr[8]);
  const double reading = rig.QueryNumber(18, mtr[7]);
  EXPECT_LT(reading, DbuvToDbm(132.0, 50.0f));
  EXPECT_GT(reading, -60.0);
  // The driver ranges up to 2 dB above the highest level it reads.
  const double maxLevel = vbtext::ToNumber(mtr[12]).value_or(0);
  rig.Write(18, NumberCommand(mtr[5], DbuvToDbm(maxLevel + 2.0, 50.0f), "####0.0##### ", mtr[6]));
  rig.Write(18, mtr[9]);
  ExpectNoErrors(rig, 18, "sim-analyser.mtr");
}

TEST(BenchExamples, UnknownCommandsLandInTheErrorQueue) {
  BenchRig rig;
  rig.Write(19, "FREQ 80 MHZ;:FROB 3;:POW 99 DBM;:POW -10 XYZ");
  EXPECT_EQ(rig.Query(19, "SYST:ERR?"), "-113,\"Undefined header\"\n");
  EXPECT_EQ(rig.Query(19, "SYST:ERR?"), "-222,\"Data out of range\"\n");
  EXPECT_EQ(rig.Query(19, "SYST:ERR?"), "-131,\"Invalid suffix\"\n");
  EXPECT_EQ(rig.Query(19, "SYST:ERR?"), "+0,\"No error\"\n");
  EXPECT_EQ(rig.Query(19, "FREQ?;POW?"), "+8.00000000E+07;-1.10000000E+02\n");
  EXPECT_EQ(rig.Query(19, "*IDN?"), "Brimtal,SimGen 3000,0019,1.0\n");
}

}  // namespace
}  // namespace brimtal::test
