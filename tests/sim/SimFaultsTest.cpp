// Faults of the simulated bench and the status words they leave: absent instruments, replies
// that never come or arrive garbled, failed writes, and reads that end early.
#include <gtest/gtest.h>

#include "BenchRig.h"

namespace brimtal::test {
namespace {

using sim::SimFault;

TEST(SimFaults, AnAbsentInstrumentIsNotFoundAndNeitherListensNorTalks) {
  BenchRig rig;
  rig.bus.SetAbsent(19);
  EXPECT_FALSE(rig.gpib.GpibInitDevice(19, "*RST\r\n", "SigGen"));
  ASSERT_EQ(rig.host.Messages().size(), 1u);
  EXPECT_EQ(rig.host.Messages()[0].text,
            "Error finding SigGen\r\nibsta = &H8120 < ERR CMPL CIC>\r\niberr = ENOL <No "
            "Listener>\r\nibcnt = 0x0");

  EXPECT_FALSE(rig.gpib.GpibWrite(19, "OUTP ON\r\n"));
  EXPECT_EQ(rig.gpib.iberr(), bus::kEnol);
  const auto before = rig.clock.TickMs();
  std::string reply;
  EXPECT_FALSE(rig.gpib.GpibRead(19, bus::ReadEnd::StopOnLf, reply));
  EXPECT_EQ(rig.gpib.ibsta() & (bus::kErr | bus::kTimo), bus::kErr | bus::kTimo);
  EXPECT_EQ(rig.gpib.iberr(), bus::kEabo);
  EXPECT_GE(rig.clock.TickMs() - before, 10000) << "the read waited for the 10 s timeout";

  rig.bus.SetAbsent(19, false);
  EXPECT_TRUE(rig.gpib.GpibInitDevice(19, "*RST\r\n", "SigGen"));
}

TEST(SimFaults, ListenerSearchReportsMoreListenersThanItMayList) {
  BenchRig rig;
  std::vector<bus::Address> found;
  const bus::Status status = rig.bus.FindLstn({13, 18, 19, bus::kNoAddr}, found, 2);
  EXPECT_TRUE(status.Failed());
  EXPECT_EQ(status.iberr, bus::kEtab);
  EXPECT_EQ(found, (std::vector<bus::Address>{13, 18}));
  EXPECT_FALSE(rig.bus.FindLstn({0, 18, bus::kNoAddr}, found, 2).Failed());
  EXPECT_EQ(found, (std::vector<bus::Address>{18}));
}

TEST(SimFaults, ChosenExchangesFailAndTheOthersGoThrough) {
  BenchRig rig;
  rig.bus.InjectFault(SimFault::WriteFails, 19, 1, 1);  // the second write to the generator
  rig.bus.InjectFault(SimFault::NoReply, 19, 1);
  EXPECT_TRUE(rig.gpib.GpibWrite(19, "FREQ 80 MHZ\r\n"));
  EXPECT_FALSE(rig.gpib.GpibWrite(19, "FREQ 90 MHZ\r\n"));
  EXPECT_EQ(rig.host.Messages().size(), 0u);
  rig.gpib.GpibErrorBox("Error in writing command to Signal Generator. ");
  EXPECT_EQ(rig.host.Messages().back().text,
            "Error in writing command to Signal Generator. \r\nibsta = &HC128 < ERR TIMO CMPL CIC "
            "TACS>\r\niberr = EABO <Op. aborted>\r\nibcnt = 0x6");
  EXPECT_DOUBLE_EQ(rig.bus.Bench().SigGen().FreqHz(), 80e6) << "the failed write did nothing";

  rig.Write(19, "FREQ?");
  std::string reply;
  const auto before = rig.clock.TickMs();
  EXPECT_FALSE(rig.gpib.GpibRead(19, bus::ReadEnd::StopOnLf, reply));
  EXPECT_EQ(rig.gpib.iberr(), bus::kEabo);
  EXPECT_NE(rig.gpib.ibsta() & bus::kTimo, 0);
  EXPECT_GE(rig.clock.TickMs() - before, 10000);
  EXPECT_EQ(rig.Query(19, "FREQ?"), "+8.00000000E+07\n") << "the next exchange is sound";
}

TEST(SimFaults, AGarbledReplyKeepsItsLengthAndEnd) {
  BenchRig rig;
  rig.bus.InjectFault(SimFault::GarbledReply, 19, 1);
  const std::string clean = "+1.00000000E+08\n";
  const std::string garbled = rig.Query(19, "FREQ?");
  EXPECT_NE(garbled, clean);
  ASSERT_EQ(garbled.size(), clean.size());
  EXPECT_EQ(garbled.back(), '\n');
  EXPECT_NE(rig.gpib.ibsta() & bus::kEnd, 0);
  EXPECT_EQ(rig.Query(19, "FREQ?"), clean);
}

TEST(SimFaults, ReadsEndAtTheBufferTheTerminationOrTheTimeout) {
  BenchRig rig;
  rig.Write(19, "*IDN?");
  std::string part;
  ASSERT_TRUE(rig.gpib.GpibRead(19, bus::ReadEnd::StopOnLf, part, 10));
  EXPECT_EQ(part, "Brimtal,Si");
  EXPECT_EQ(rig.gpib.ibsta() & bus::kEnd, 0) << "no END before the last byte";
  ASSERT_TRUE(rig.gpib.GpibRead(19, bus::ReadEnd::StopOnLf, part));
  EXPECT_EQ(part, "mGen 3000,0019,1.0\n");
  EXPECT_NE(rig.gpib.ibsta() & bus::kEnd, 0);

  // The amplifier ends its reply with CR LF: a read that stops on CR leaves the LF.
  rig.Write(10, "RP");
  ASSERT_TRUE(rig.gpib.GpibRead(10, bus::ReadEnd::StopOnCr, part, 80));
  EXPECT_EQ(part, "0.00 0.00\r");
  ASSERT_TRUE(rig.gpib.GpibRead(10, bus::ReadEnd::EoiOnly, part, 80));
  EXPECT_EQ(part, "\n");

  // Flushing an instrument that has nothing to say costs the short timeout only.
  const auto before = rig.clock.TickMs();
  rig.gpib.GpibFlush(13);
  EXPECT_LT(rig.clock.TickMs() - before, 100);
  EXPECT_GE(rig.clock.TickMs() - before, 30);
}

}  // namespace
}  // namespace brimtal::test
