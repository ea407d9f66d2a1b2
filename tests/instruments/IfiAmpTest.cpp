// The amplifier pair over a recording bus: the band sequences to both addresses, their pauses,
// the generator's RF off before every change, failures, and the power readings.
#include "instruments/IfiAmp.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "BusRig.h"
#include "instruments/SigGen.h"

namespace brimtal {
namespace {

using test::kTimedOutComplete;
using Writes = std::vector<std::pair<int, std::string>>;

const std::string kAmpError = "Error sending command to amps" + test::kTimedOutCompleteStatus;

const Writes kGenOff{{19, "OUTP OFF\r\n"}};
const Writes kBand1{{10, "8\r\n"}, {9, "FA\r\n"}, {9, "L3\r\n"},
                    {9, "M1\r\n"}, {9, "ON\r\n"}, {9, "B1\r\n"}};
const Writes kBand2{{9, "FA\r\n"}, {10, "8\r\n"}, {9, "L3\r\n"},
                    {9, "M1\r\n"}, {9, "ON\r\n"}, {9, "B2\r\n"}};
const Writes kOperate1{{10, "9\r\n"}};
const Writes kZa{{9, "ZA\r\n"}};

Writes Join(std::initializer_list<Writes> parts) {
  Writes all;
  for (const Writes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class IfiAmpTest : public ::testing::Test, protected test::BusRig {
 protected:
  SigGen gen{gpib, host};
  IfiAmp amp{gpib, delay, gen};

  void SetUp() override {
    SigGenDef d;
    d.Address = 19;
    d.RfOff = "OUTP OFF";
    d.Eos = 2;
    gen.SigGenSetDefinition(d);
  }

  Writes Sent() {
    Writes sent;
    for (const auto& call : bus.calls) {
      if (call.op == "Send") sent.emplace_back(call.address, call.data);
    }
    bus.calls.clear();
    return sent;
  }
};

TEST_F(IfiAmpTest, WithoutControlNothingIsEverSent) {
  float first = 0;
  float second = 0;
  // Before initialisation, frequencies are accepted without traffic.
  EXPECT_TRUE(amp.IfiSetBand(100));
  EXPECT_TRUE(amp.IfiReadPower(first, second));
  EXPECT_EQ(std::make_pair(first, second), std::make_pair(-1.0F, -1.0F));

  EXPECT_TRUE(amp.IfiInit(IfiAmp::kModePassive, 230));
  EXPECT_TRUE(amp.IfiSetBand(100));
  EXPECT_TRUE(amp.IfiSetBand(500));
  EXPECT_TRUE(amp.IfiReset());
  first = second = 0;
  EXPECT_TRUE(amp.IfiReadPower(first, second));
  EXPECT_EQ(std::make_pair(first, second), std::make_pair(-1.0F, -1.0F));
  EXPECT_TRUE(bus.calls.empty());
  EXPECT_EQ(clock.TickMs(), 0);
}

TEST_F(IfiAmpTest, FrequenciesSendEachBandSequenceOnlyWhenTheBandChanges) {
  const auto start = clock.TickMs();
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  EXPECT_EQ(Sent(), Join({kGenOff, kBand1, kZa}));  // a reset: no operate, no pause
  EXPECT_EQ(clock.TickMs(), start);
  EXPECT_EQ(amp.IfiBand(), 0);

  struct Step {
    double freq;
    Writes writes;
    int band;
    bool pause;
  };
  const Step steps[] = {
      {80, Join({kGenOff, kBand1, kOperate1, kZa}), 1, true},
      {150, {}, 1, false},
      {200, {}, 1, false},  // the band-switch frequency itself is band 1
      {200.001, Join({kGenOff, kBand2, kZa}), 2, true},
      {900, {}, 2, false},
      {199, Join({kGenOff, kBand1, kOperate1, kZa}), 1, true},
      {0, Join({kGenOff, kBand1, kZa}), 0, false},
      {10, Join({kGenOff, kBand1, kOperate1, kZa}), 1, true},
  };
  for (const Step& s : steps) {
    const auto before = clock.TickMs();
    EXPECT_TRUE(amp.IfiSetBand(s.freq));
    EXPECT_EQ(Sent(), s.writes) << s.freq;
    EXPECT_EQ(amp.IfiBand(), s.band) << s.freq;
    if (s.pause) {
      EXPECT_GE(clock.TickMs() - before, 2000) << s.freq;
      EXPECT_LT(clock.TickMs() - before, 2100) << s.freq;
    } else {
      EXPECT_EQ(clock.TickMs(), before) << s.freq;
    }
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(IfiAmpTest, APauseIsNotShortenedByAHalt) {
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  haltFlag = true;
  const auto before = clock.TickMs();
  EXPECT_TRUE(amp.IfiSetBand(500));
  EXPECT_GE(clock.TickMs() - before, 2000);
}

TEST_F(IfiAmpTest, AFailedWriteStopsTheSequenceAndTheNextRequestRepeatsIt) {
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  ASSERT_TRUE(amp.IfiSetBand(100));
  Sent();
  // Generator RF off, "FA", "8", then "L3" fails.
  for (int i = 0; i < 3; ++i) bus.Queue("Send", {bus::kCmpl, 0, 1});
  bus.Queue("Send", kTimedOutComplete);
  EXPECT_FALSE(amp.IfiSetBand(300));
  EXPECT_EQ(Sent(), Join({kGenOff, Writes(kBand2.begin(), kBand2.begin() + 3)}));
  EXPECT_EQ(amp.IfiBand(), 1);
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{kAmpError});

  EXPECT_TRUE(amp.IfiSetBand(300));
  EXPECT_EQ(Sent(), Join({kGenOff, kBand2, kZa}));
  EXPECT_EQ(amp.IfiBand(), 2);
}

TEST_F(IfiAmpTest, TheBandCountsAsChangedOnceItsPauseIsReached) {
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  Sent();
  // Everything up to the final "ZA" of band 1 goes out.
  for (int i = 0; i < 8; ++i) bus.Queue("Send", {bus::kCmpl, 0, 1});
  bus.Queue("Send", kTimedOutComplete);
  EXPECT_FALSE(amp.IfiSetBand(100));
  EXPECT_EQ(Sent(), Join({kGenOff, kBand1, kOperate1, kZa}));
  EXPECT_EQ(amp.IfiBand(), 1);
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{kAmpError});
  EXPECT_TRUE(amp.IfiSetBand(120));
  EXPECT_TRUE(Sent().empty());
}

TEST_F(IfiAmpTest, NoBandChangeWhileTheGeneratorCannotBeSwitchedOff) {
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  Sent();
  bus.Queue("Send", kTimedOutComplete);
  EXPECT_FALSE(amp.IfiSetBand(100));
  EXPECT_EQ(Sent(), kGenOff);
  EXPECT_EQ(amp.IfiBand(), 0);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text.rfind("Error setting SigGen RF off. ", 0), 0u);
}

TEST_F(IfiAmpTest, PowerReadingsComeFromTheSelectedAmplifier) {
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  float first = 7;
  float second = 7;
  EXPECT_FALSE(amp.IfiReadPower(first, second));  // no band selected yet
  EXPECT_EQ(first, 7);
  Sent();
  EXPECT_TRUE(bus.calls.empty());

  ASSERT_TRUE(amp.IfiSetBand(100));
  Sent();
  bus.QueueReply("0.05 12.5\r\n");
  ASSERT_TRUE(amp.IfiReadPower(first, second));
  EXPECT_EQ(first, 12.5F);
  EXPECT_EQ(second, 0.05F);
  ASSERT_EQ(bus.calls.size(), 2u);
  EXPECT_EQ(bus.calls[1].op, "Receive");
  EXPECT_EQ(bus.calls[1].address, 10);
  EXPECT_EQ(bus.calls[1].count, 80u);
  EXPECT_EQ(bus.calls[1].readEnd, bus::ReadEnd::EoiOnly);
  EXPECT_EQ(Sent(), (Writes{{10, "RP\r\n"}}));

  ASSERT_TRUE(amp.IfiSetBand(500));
  Sent();
  bus.QueueReply("123.4 5.6\r\n");
  ASSERT_TRUE(amp.IfiReadPower(first, second));
  EXPECT_EQ(first, 123.4F);
  EXPECT_EQ(second, 5.6F);
  EXPECT_EQ(Sent(), (Writes{{9, "RP\r\n"}}));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(IfiAmpTest, UnreadableRepliesAndBusFailuresAreReported) {
  struct Case {
    double freq;
    const char* reply;
    bool readFails;
  };
  const Case cases[] = {
      {100, "0.05", false},           // too short for the forward column
      {100, "abcd efgh\r\n", false},  // not numbers
      {500, "123.4\r\n", false},      // no blank between the values
      {500, "", true},                // no reply at all
  };
  ASSERT_TRUE(amp.IfiInit(IfiAmp::kModeControlled, 200));
  for (const Case& c : cases) {
    ASSERT_TRUE(amp.IfiSetBand(c.freq));
    host.ClearMessages();
    bus.QueueReply(c.reply);
    if (c.readFails) bus.Queue("Receive", kTimedOutComplete);
    float first = 7;
    float second = 7;
    EXPECT_FALSE(amp.IfiReadPower(first, second)) << c.reply;
    ASSERT_EQ(host.Messages().size(), 1u) << c.reply;
    EXPECT_EQ(host.Messages()[0].text.rfind("Error sending command to amps\r\n", 0), 0u);
  }
}

}  // namespace
}  // namespace brimtal
