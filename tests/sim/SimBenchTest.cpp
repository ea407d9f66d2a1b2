// The simulated generator, power meter, analyser and amplifier pair driven through the GPIB
// layer: the readings follow the RF chain the example factor files describe.
#include <gtest/gtest.h>

#include <cmath>

#include "BenchRig.h"
#include "factors/Conversions.h"
#include "shell/VbText.h"

namespace brimtal::test {
namespace {

constexpr double kFreq = 80.0;

class SimBenchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rig.gpib.GpibSendIfc());
    ASSERT_TRUE(rig.gpib.GpibInitDevice(19, "*RST;:OUTP OFF\r\n", "SigGen"));
    ASSERT_TRUE(rig.gpib.GpibInitDevice(13, "*RST;:UNIT1:POW W;:UNIT2:POW W\r\n", "PwrMtr"));
    ASSERT_TRUE(rig.gpib.GpibInitDevice(18, "*RST;:INIT:CONT OFF\r\n", "Meter"));
    rig.SelectBand(1);
  }
  BenchRig rig;
};

TEST_F(SimBenchTest, ForwardPowerFollowsTheGeneratorThroughTheAmplifier) {
  rig.SetGenerator(kFreq, -30.0);
  const double low = rig.ForwardDbm(kFreq);
  // About 50 dB of gain, with some ripple over frequency.
  EXPECT_NEAR(low, -30.0 + 50.0, 2.5);
  rig.SetGenerator(kFreq, -29.0);
  EXPECT_NEAR(rig.ForwardDbm(kFreq) - low, 1.0, 0.06) << "linear well below saturation";

  // Near saturation the output hardly grows and stays near 50 dBm.
  rig.SetGenerator(kFreq, 0.0);
  const double driven = rig.ForwardDbm(kFreq);
  rig.SetGenerator(kFreq, 10.0);
  const double overdriven = rig.ForwardDbm(kFreq);
  EXPECT_GT(driven, 47.0);
  EXPECT_LT(overdriven - driven, 2.0) << "10 dB more drive";
  EXPECT_LT(overdriven, 50.5);
  EXPECT_GT(overdriven, 49.0);
}

TEST_F(SimBenchTest, PowerMeterSeesTheModulationAndItsSensorFrequency) {
  rig.SetGenerator(kFreq, -30.0);
  const double carrier = rig.ForwardDbm(kFreq);
  const double receiver = rig.ReceiverDbuv(kFreq, 110.0);
  // AM at 80 %: the average power rises by 10 log10(1 + m^2 / 2), the carrier stays.
  rig.Write(19, "AM:DEPT 80.0 PCT");
  rig.Write(19, "AM:STAT ON");
  EXPECT_NEAR(rig.ForwardDbm(kFreq) - carrier, 10.0 * std::log10(1.32), 0.06);
  EXPECT_NEAR(rig.ReceiverDbuv(kFreq, 110.0), receiver, 0.25);
  rig.Write(19, "AM:STAT OFF");
  // Pulses of 0.1 ms every millisecond: a tenth of the power on average.
  rig.Write(19, "PULM:INT:FREQ 1.0 KHZ");
  rig.Write(19, "PULM:INT:PWID 0.1 MS");
  rig.Write(19, "PULM:STAT ON");
  EXPECT_NEAR(rig.ForwardDbm(kFreq) - carrier, -10.0, 0.06);
  rig.Write(19, "PULM:STAT OFF");
  // A sensor left at another frequency reads off by up to half a dB.
  rig.Write(13, "INST:NSEL 1");
  rig.Write(13, "FREQ 8.0 MHZ");
  rig.Write(13, "INIT1");
  const double misread =
      WattsToDbm(rig.QueryNumber(13, "FETC1?")) + ExampleFactor("coupler-fwd.fac", kFreq);
  EXPECT_NEAR(misread - carrier, 0.5, 0.06);
}

TEST_F(SimBenchTest, ReplyIsScientificWattsEndedByLineFeed) {
  rig.SetGenerator(kFreq, -30.0);
  rig.Write(13, "INIT1");
  const std::string reply = rig.Query(13, "FETC1?");
  ASSERT_EQ(reply.size(), 16u) << reply;
  EXPECT_EQ(reply[0], '+');
  EXPECT_EQ(reply.substr(11, 2), "E-");
  EXPECT_EQ(reply.back(), '\n');
  EXPECT_NEAR(WattsToDbm(std::stod(reply)) + ExampleFactor("coupler-fwd.fac", kFreq), 20.0, 2.5);
}

TEST_F(SimBenchTest, AmplifierIsMutedUnlessTheBandCoveringTheFrequencyIsSelected) {
  rig.SetGenerator(kFreq, -30.0);
  const double band1 = rig.ForwardDbm(kFreq);
  rig.SelectBand(2);  // 200 MHz to 1 GHz: 80 MHz is far below it
  EXPECT_LT(rig.ForwardDbm(kFreq), band1 - 25.0);
  rig.Write(9, "FA");  // the pair in standby
  EXPECT_LT(rig.ForwardDbm(kFreq), band1 - 25.0);
  rig.SelectBand(1);
  EXPECT_NEAR(rig.ForwardDbm(kFreq), band1, 0.1);
  rig.Write(19, "OUTP OFF");
  EXPECT_LT(WattsToDbm(rig.QueryNumber(13, "READ1?")), -65.0) << "only the sensor's noise floor";
}

TEST_F(SimBenchTest, ReverseForwardAndTestVoltageHangTogether) {
  rig.SetGenerator(kFreq, -20.0);
  const double forward = rig.ForwardDbm(kFreq);
  const double reverse = rig.ReverseDbm(kFreq);
  const double returnLoss = forward - reverse;
  EXPECT_GT(returnLoss, 10.0);
  EXPECT_LT(returnLoss, 22.5);
  const double net = WattsToDbm(DbmToWatts(forward) - DbmToWatts(reverse));
  // In the calibration fixture the receiver sees the test voltage 15.6 dB down, through the cable.
  const double testVoltage =
      rig.ReceiverDbuv(kFreq, net + 112.0 - 15.6) + 15.6 + ExampleFactor("cable.los", kFreq);
  EXPECT_NEAR(testVoltage - net, 112.0, 0.8) << "about 10 V for 28 dBm of net power";
}

TEST_F(SimBenchTest, EutCurrentReachesTheLimitOnlyNearLoopResonances) {
  // Induced current minus the test voltage: -20 log10 of the loop impedance.
  auto loopDb = [this](double freqMhz) {
    rig.gpib.AnnounceSetup(bus::BenchSetup::CalibrationFixture);
    rig.SetGenerator(freqMhz, -25.0);
    const double cable = ExampleFactor("cable.los", freqMhz);
    const double voltage = rig.ReceiverDbuv(freqMhz, 140.0 - 15.6 - cable) + 15.6 + cable;
    rig.gpib.AnnounceSetup(bus::BenchSetup::Eut);
    const double current =
        rig.ReceiverDbuv(freqMhz, 125.0) + cable + ExampleFactor("monitor-probe.prb", freqMhz);
    return current - voltage;
  };
  const double limit150Ohm = -20.0 * std::log10(150.0);
  EXPECT_LT(loopDb(20.0), limit150Ohm - 3.0);
  EXPECT_GT(loopDb(30.0), limit150Ohm + 3.0);
  EXPECT_LT(loopDb(250.0), limit150Ohm - 3.0);
}

TEST_F(SimBenchTest, CableCalibrationSeesTheGeneratorDirectlyAndThroughTheCable) {
  rig.SetGenerator(kFreq, -10.0);
  rig.gpib.AnnounceSetup(bus::BenchSetup::Direct);
  const double direct = rig.ReceiverDbuv(kFreq, 97.0);
  EXPECT_NEAR(direct, DbmToDbuv(-10.0, 50.0f), 0.2);
  rig.gpib.AnnounceSetup(bus::BenchSetup::CableInserted);
  const double inserted = rig.ReceiverDbuv(kFreq, 97.0);
  EXPECT_NEAR(direct - inserted, ExampleFactor("cable.los", kFreq), 0.2);
}

TEST_F(SimBenchTest, AnalyserClipsAtItsReferenceLevel) {
  rig.gpib.AnnounceSetup(bus::BenchSetup::Direct);
  rig.SetGenerator(kFreq, -20.0);
  rig.Write(18, "FREQ:CENT 80 MHZ");
  rig.Write(18, "DISP:TRAC:Y:RLEV -40 DBM");
  rig.Write(18, "INIT");
  EXPECT_DOUBLE_EQ(rig.QueryNumber(18, "CALC:MARK:Y?"), -40.0);
  rig.Write(18, "DISP:TRAC:Y:RLEV 0 DBM");
  rig.Write(18, "INIT");
  const std::string reply = rig.Query(18, "CALC:MARK:Y?");
  EXPECT_NEAR(std::stod(reply), -20.0, 0.25);
  EXPECT_EQ(reply.substr(11, 2), "E+") << reply;  // "-2.00xxxxxxE+001"
  EXPECT_EQ(reply.size(), 17u) << reply;
  // Tuned away from the carrier it sees only its noise.
  rig.Write(18, "FREQ:CENT 81 MHZ");
  rig.Write(18, "INIT");
  EXPECT_LT(rig.QueryNumber(18, "CALC:MARK:Y?"), -95.0);
}

TEST_F(SimBenchTest, ReadingsWaitForTheMeasurementAndCostBusTime) {
  rig.SetGenerator(kFreq, -30.0);
  const auto before = rig.clock.TickMs();
  rig.Write(13, "INIT1");
  rig.Query(13, "FETC1?");
  EXPECT_GE(rig.clock.TickMs() - before, sim::SimBench::kPowerMeterMeasureMs);
  EXPECT_LT(rig.clock.TickMs() - before, sim::SimBench::kPowerMeterMeasureMs + 20);
}

TEST_F(SimBenchTest, AmplifierReportsItsOwnForwardAndReflectedPower) {
  rig.SetGenerator(kFreq, -10.0);
  const double forwardW = DbmToWatts(rig.ForwardDbm(kFreq));
  const double reverseW = DbmToWatts(rig.ReverseDbm(kFreq));
  std::string reply = rig.Query(10, "RP");
  ASSERT_EQ(reply.size(), 11u) << reply;  // reflected in characters 1-4, forward in 6-9
  EXPECT_NEAR(vbtext::Val(reply.substr(5, 4)), forwardW, 0.02 * forwardW + 0.05);
  EXPECT_NEAR(vbtext::Val(reply.substr(0, 4)), reverseW, 0.05 * reverseW + 0.05);

  rig.SelectBand(2);
  rig.SetGenerator(500.0, -10.0);
  const double forward2 = DbmToWatts(rig.ForwardDbm(500.0));
  reply = rig.Query(9, "RP");
  const std::size_t blank = reply.find(' ');
  ASSERT_NE(blank, std::string::npos);
  EXPECT_NEAR(vbtext::Val(reply.substr(0, blank)), forward2, 0.02 * forward2 + 0.1);
  EXPECT_EQ(rig.Query(10, "RP"), "0.00 0.00\r\n") << "band 1 carries nothing now";
}

TEST(SimBenchSeeds, TheSameSeedGivesTheSameReadings) {
  auto readings = [](std::uint64_t seed) {
    sim::SimOptions options;
    options.seed = seed;
    BenchRig rig(options);
    rig.SelectBand(1);
    rig.SetGenerator(kFreq, -30.0);
    std::string all;
    for (int i = 0; i < 3; ++i) all += rig.Query(13, "READ1?") + rig.Query(18, "CALC:MARK:Y?");
    return all;
  };
  EXPECT_EQ(readings(7), readings(7));
  EXPECT_NE(readings(7), readings(8));
}

TEST(SimBenchGeneric, AGenericAmplifierNeedsNoBandAndHasNoAddress) {
  sim::SimOptions options;
  options.amplifier = sim::SimAmplifier::Generic;
  BenchRig rig(options);
  rig.SetGenerator(500.0, -30.0);
  EXPECT_NEAR(rig.ForwardDbm(500.0), 20.0, 2.5);
  EXPECT_EQ(rig.bus.Bench().At(9), nullptr);
  EXPECT_EQ(rig.bus.Bench().At(10), nullptr);
}

}  // namespace
}  // namespace brimtal::test
