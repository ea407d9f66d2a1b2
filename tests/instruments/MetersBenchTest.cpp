// The example power meter and analyser definitions on the simulated bench: initialisation,
// readings that follow the bench's model, automatic ranging on a real reference level, and the
// return to local. The generator is set with the example generator definition's commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "factors/Conversions.h"
#include "instruments/Gpib.h"
#include "instruments/Meter.h"
#include "instruments/PM.h"
#include "instruments/bus/Transcript.h"
#include "instruments/script/ParseReply.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/FileIo.h"
#include "shell/ScriptedHost.h"
#include "shell/VbText.h"
#include "sim/SimBus.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::ExampleFile;

class MetersBenchTest : public ::testing::Test {
 protected:
  static constexpr int kGenerator = sim::SimBench::kSigGenAddress;

  MetersBenchTest() {
    auto simulated = std::make_unique<sim::SimBus>(
        clock, sim::SimOptions{7, sim::SimAmplifier::Generic, bus::BenchSetup::CalibrationFixture});
    sim = simulated.get();
    transcribed = std::make_unique<bus::TranscriptBus>(std::move(simulated), transcript, clock);
    gpib = std::make_unique<Gpib>(*transcribed, host, delay);
    pm = std::make_unique<PM>(*gpib, host, delay, clock, engine);
    meter = std::make_unique<Meter>(*gpib, host, delay, clock, engine, haltFlag);
  }

  // The generator on at the frequency and level, with the commands of the example generator
  // definition (prefix, number, suffix; RF on; the definition's terminator).
  void SetGenerator(double freqMhz, double levelDbm) {
    FileError error;
    TextFileReader sg;
    ASSERT_TRUE(sg.Open(ExampleFile("bench/sim-siggen.sg"), error));
    std::vector<std::string> lines;
    std::string line;
    while (sg.ReadLine(line, error)) lines.push_back(line);
    ASSERT_GE(lines.size(), 30u);
    const std::string end = TerminationForEos(static_cast<int>(vbtext::Val(lines[29])))->terminator;
    const std::string commands[] = {
        lines[3] + " " + vbtext::Format(freqMhz, "####0.0##### ") + lines[4],
        lines[5] + " " + vbtext::Format(levelDbm, "##0.0 ") + lines[6], lines[9]};
    for (const std::string& command : commands) {
      ASSERT_TRUE(gpib->GpibWrite(kGenerator, command + end)) << command;
    }
  }

  std::vector<std::string> SentTo(int address) const {
    std::vector<std::string> sent;
    for (const bus::TranscriptEntry& entry : transcript.Entries()) {
      if (entry.operation == "SEND" && entry.address == address) sent.push_back(entry.bytes);
    }
    return sent;
  }

  VirtualClock clock;
  ScriptedHost host{&clock};
  bool haltFlag = false;
  BDelay delay{host, clock, haltFlag};
  ScriptEngine engine = CreateScriptEngine();
  bus::MemoryTranscript transcript;
  sim::SimBus* sim = nullptr;
  std::unique_ptr<bus::TranscriptBus> transcribed;
  std::unique_ptr<Gpib> gpib;
  std::unique_ptr<PM> pm;
  std::unique_ptr<Meter> meter;
};

TEST_F(MetersBenchTest, ExampleDefinitionsReadWhatTheBenchDelivers) {
  ASSERT_TRUE(pm->LoadFile(ExampleFile("bench/sim-powermeter.pm")));
  ASSERT_TRUE(meter->LoadFile(ExampleFile("bench/sim-analyser.mtr")));
  ASSERT_TRUE(gpib->GpibSendIfc());
  ASSERT_TRUE(pm->PmInit());
  ASSERT_TRUE(meter->MeterInit());
  EXPECT_TRUE(sim->Bench().At(sim::SimBench::kPowerMeterAddress)->Remote());
  EXPECT_TRUE(sim->Bench().At(sim::SimBench::kAnalyserAddress)->Remote());
  // The analyser took the range for the definition's highest level: its reference level is the
  // maximum level (the range 2 dB below it, set with the 2 dB margin).
  EXPECT_NEAR(DbmToDbuv(sim->Bench().Analyser().ReferenceLevelDbm(), 50.0f), meter->MeterMaxLevel(),
              1e-4);

  SetGenerator(150, -20);
  ASSERT_TRUE(pm->PmSetFreq(150));
  const sim::ChainSignals signals = sim->Bench().Signals();
  EXPECT_NEAR(pm->PmRead(0), signals.forwardPortDbm, 0.1);
  EXPECT_NEAR(pm->PmRead(2), signals.reversePortDbm, 0.1);
  // Both channels were told the frequency.
  const std::vector<std::string> toPowerMeter = SentTo(sim::SimBench::kPowerMeterAddress);
  EXPECT_EQ(std::count(toPowerMeter.begin(), toPowerMeter.end(), "FREQ 150.0 MHZ\r\n"), 2);

  // A level step of 10 dB shows in a triggered reading.
  SetGenerator(150, -30);
  ASSERT_TRUE(pm->PmTrigger(1));
  EXPECT_NEAR(pm->PmRead(1), signals.forwardPortDbm - 10, 0.15);

  // The analyser ranges down from its maximum to the signal and reads it in dBuV.
  ASSERT_TRUE(meter->MeterSetFreq(150));
  const double expected = DbmToDbuv(sim->Bench().Signals().meterInputDbm, 50.0f);
  const double reading = meter->MeterRead(0, -1);
  EXPECT_NEAR(reading, expected, 0.2);
  // Ranging stopped with the reading in the window below the range, the instrument's reference
  // level 2 dB above the range.
  EXPECT_GE(reading, meter->LastLevel() - 6);
  EXPECT_LT(reading, meter->LastLevel());
  EXPECT_NEAR(DbmToDbuv(sim->Bench().Analyser().ReferenceLevelDbm(), 50.0f), meter->LastLevel() + 2,
              1e-4);

  ASSERT_TRUE(pm->PmShutdown());
  ASSERT_TRUE(meter->MeterShutdown());
  EXPECT_FALSE(sim->Bench().At(sim::SimBench::kPowerMeterAddress)->Remote());
  EXPECT_FALSE(sim->Bench().At(sim::SimBench::kAnalyserAddress)->Remote());
  EXPECT_TRUE(host.Messages().empty()) << host.Messages().front().text;
  // An instrument refuses a setting without a word on the bus: only its error queue tells.
  EXPECT_EQ(sim->Bench().PowerMeter().Errors().Pop(), "+0,\"No error\"");
  EXPECT_EQ(sim->Bench().Analyser().Errors().Pop(), "+0,\"No error\"");
}

TEST_F(MetersBenchTest, AnAbsentPowerMeterFailsItsInitialisation) {
  ASSERT_TRUE(pm->LoadFile(ExampleFile("bench/sim-powermeter.pm")));
  sim->SetAbsent(sim::SimBench::kPowerMeterAddress);
  EXPECT_FALSE(pm->PmInit());
  ASSERT_FALSE(host.Messages().empty());
  EXPECT_EQ(host.MessageTexts().front().rfind("Error finding PwrMtr\r\n", 0), 0u);
}

TEST_F(MetersBenchTest, AReadingThatTimesOutIsReportedAndTheNextOneWorks) {
  ASSERT_TRUE(pm->LoadFile(ExampleFile("bench/sim-powermeter.pm")));
  ASSERT_TRUE(pm->PmInit());
  SetGenerator(80, -20);
  ASSERT_TRUE(pm->PmSetFreq(80));
  const double good = pm->PmRead(1);
  sim->InjectFault(sim::SimFault::NoReply, sim::SimBench::kPowerMeterAddress);
  EXPECT_EQ(pm->PmRead(1), 999.0);
  EXPECT_EQ(host.MessageTexts().back().rfind("Error in reading power meter. \r\nibsta = &HC", 0),
            0u);
  EXPECT_NEAR(pm->PmRead(1), good, 0.2);
}

}  // namespace
}  // namespace brimtal
