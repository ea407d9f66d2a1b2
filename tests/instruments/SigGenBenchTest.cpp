// The example generator definition driving the simulated bench: what the generator puts out
// after initialisation, frequency, level, RF on and modulation, and the forward power the
// bench's power meter and amplifier then report.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "SimRig.h"
#include "factors/Conversions.h"
#include "instruments/IfiAmp.h"
#include "instruments/SigGen.h"
#include "shell/VbText.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

class SigGenBenchTest : public ::testing::Test, protected test::SimRig {
 protected:
  static constexpr std::int16_t kPowerMeter = sim::SimBench::kPowerMeterAddress;

  SigGen gen{gpib, host};
  IfiAmp amp{gpib, delay, gen};

  sim::SimSigGen& Generator() { return bus.Bench().SigGen(); }

  // Channel 1 of the bench's power meter (the forward coupler port), in dBm, read with the
  // commands of the example power meter definition.
  double ForwardPortDbm(double freqMhz) {
    const std::string freq = "FREQ " + vbtext::Format(freqMhz, "####0.0##### ") + "MHZ\r\n";
    for (const std::string& command :
         {std::string("INST:NSEL 1\r\n"), freq, std::string("INIT1\r\n")}) {
      EXPECT_TRUE(gpib.GpibWrite(kPowerMeter, command));
    }
    delay.PlainWait(0.1, false);
    EXPECT_TRUE(gpib.GpibWrite(kPowerMeter, "FETC1?\r\n"));
    std::string reply;
    EXPECT_TRUE(gpib.GpibRead(kPowerMeter, bus::ReadEnd::StopOnLf, reply));
    const auto watts = vbtext::ToNumber(vbtext::Trim(reply.substr(0, reply.find_first_of("\r\n"))));
    EXPECT_TRUE(watts.has_value()) << reply;
    return WattsToDbm(watts.value_or(0));
  }
};

TEST_F(SigGenBenchTest, TheExampleDefinitionSetsTheSimulatedGenerator) {
  ASSERT_TRUE(gen.LoadFile(test::ExampleFile("bench/sim-siggen.sg")));
  ASSERT_TRUE(gpib.GpibSendIfc());
  ASSERT_TRUE(gen.SigGenInit(80, -20));
  EXPECT_TRUE(Generator().Remote());
  EXPECT_FALSE(Generator().RfOn());

  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  ASSERT_TRUE(amp.IfiSetBand(150));
  ASSERT_TRUE(gen.SigGenSetFreqLevel(150, -20));
  EXPECT_FALSE(Generator().RfOn());  // only recorded while RF is off
  ASSERT_TRUE(gen.SigGenRfOn());
  EXPECT_TRUE(Generator().RfOn());
  EXPECT_EQ(Generator().FreqHz(), 150e6);
  EXPECT_EQ(Generator().LevelDbm(), -20);

  // The power meter sees what the chain model delivers, and follows a level step of 10 dB.
  const double modelled = bus.Bench().Signals().forwardPortDbm;
  const double before = ForwardPortDbm(150);
  EXPECT_NEAR(before, modelled, 0.1);
  ASSERT_TRUE(gen.SigGenSetFreqLevel(150, -30));
  EXPECT_EQ(Generator().LevelDbm(), -30);
  EXPECT_NEAR(ForwardPortDbm(150), before - 10, 0.1);

  // The amplifier's own indication: forward watts in the first value.
  float first = 0;
  float second = 0;
  ASSERT_TRUE(amp.IfiReadPower(first, second));
  EXPECT_NEAR(first, DbmToWatts(bus.Bench().Signals().forwardDbm), 0.006);
  EXPECT_GE(second, 0);

  ASSERT_TRUE(gen.SigGenSetAm(1, 80, false));
  ASSERT_TRUE(gen.SigGenAmOn());
  EXPECT_TRUE(Generator().AmOn());
  EXPECT_EQ(Generator().AmDepthPct(), 80);
  ASSERT_TRUE(gen.SigGenModOff());
  EXPECT_FALSE(Generator().AmOn());

  ASSERT_TRUE(gen.SigGenShutdown());
  EXPECT_FALSE(Generator().RfOn());
  EXPECT_EQ(Generator().LevelDbm(), -110);
  EXPECT_DOUBLE_EQ(Generator().FreqHz(), 9e3);
  EXPECT_FALSE(Generator().Remote());
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenBenchTest, AChangeOfBandSwitchesTheGeneratorOffFirst) {
  ASSERT_TRUE(gen.LoadFile(test::ExampleFile("bench/sim-siggen.sg")));
  ASSERT_TRUE(gen.SigGenInit(80, -20));
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  ASSERT_TRUE(amp.IfiSetBand(150));
  ASSERT_TRUE(gen.SigGenSetFreqLevel(150, -20));
  ASSERT_TRUE(gen.SigGenRfOn());
  ASSERT_TRUE(amp.IfiSetBand(500));
  EXPECT_FALSE(Generator().RfOn());
  EXPECT_FALSE(gen.RfIsOn());
  EXPECT_EQ(bus.Bench().AmplifierPair().SelectedBand(), 2);
  ASSERT_TRUE(gen.SigGenSetFreqLevel(500, -20));
  ASSERT_TRUE(gen.SigGenRfOn());
  EXPECT_EQ(Generator().FreqHz(), 500e6);
  EXPECT_TRUE(Generator().RfOn());
}

}  // namespace
}  // namespace brimtal
