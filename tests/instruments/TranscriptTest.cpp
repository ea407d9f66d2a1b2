// The transcript of bus traffic: what it records of each exchange, how a line reads, and that
// the file keeps growing line by line.
#include "instruments/bus/Transcript.h"

#include <gtest/gtest.h>

#include "instruments/Gpib.h"
#include "shell/BDelay.h"
#include "shell/Clock.h"
#include "shell/ScriptedHost.h"
#include "sim/SimBus.h"
#include "support/TestFiles.h"

namespace brimtal::bus {
namespace {

TEST(Transcript, RecordsEveryExchangeWithItsBytesAndStatus) {
  VirtualClock clock;
  ScriptedHost host{&clock};
  bool halt = false;
  BDelay delay{host, clock, halt};
  MemoryTranscript transcript;
  TranscriptBus bus(std::make_unique<sim::SimBus>(clock), transcript, clock);
  Gpib gpib(bus, host, delay);

  ASSERT_TRUE(gpib.GpibSendIfc());
  ASSERT_TRUE(gpib.GpibInitDevice(19, "*IDN?\r\n", "SigGen"));
  std::string reply;
  ASSERT_TRUE(gpib.GpibRead(19, ReadEnd::StopOnLf, reply));
  gpib.AnnounceSetup(BenchSetup::Eut);
  EXPECT_FALSE(gpib.GpibWrite(7, "X\r\n"));

  const auto& entries = transcript.Entries();
  ASSERT_EQ(entries.size(), 7u);
  const std::vector<std::string> ops{"IFC",     "FINDLSTN", "SETRWLS", "SEND",
                                     "RECEIVE", "SETUP",    "SEND"};
  for (std::size_t i = 0; i < ops.size(); ++i) EXPECT_EQ(entries[i].operation, ops[i]) << i;
  EXPECT_EQ(entries[1].detail, "0,19,NOADDR found 19");
  EXPECT_EQ(entries[3].address, 19);
  EXPECT_EQ(entries[3].bytes, "*IDN?\r\n");
  EXPECT_EQ(entries[4].bytes, reply);
  EXPECT_EQ(entries[4].status.ibcnt, static_cast<long>(reply.size()));
  EXPECT_NE(entries[4].status.ibsta & kEnd, 0);
  EXPECT_GT(entries[4].tickMs, entries[3].tickMs) << "the 2 s settling lies between them";
  EXPECT_EQ(entries[5].detail, "EUT");
  EXPECT_TRUE(entries[6].status.Failed());
  EXPECT_EQ(entries[6].status.iberr, kEnol);
  EXPECT_EQ(bus.Description(), "simulated bench");
  EXPECT_TRUE(bus.IsSimulated());
}

TEST(Transcript, BytesAreShownWithControlCharactersEscaped) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"FREQ 80.0 MHZ\r\n", "FREQ 80.0 MHZ\\r\\n"},
      {"a\tb\\c\"d\"", "a\\tb\\\\c\\\"d\\\""},
      {std::string("\x00\x1b\x7f\xff", 4), "\\x00\\x1B\\x7F\\xFF"},
      {"", ""},
  };
  for (const auto& [raw, shown] : cases) EXPECT_EQ(EscapeBytes(raw), shown);
}

TEST(Transcript, LinesGiveTimeOperationAddressBytesAndStatus) {
  TranscriptEntry send{0, "SEND", 19, "OUTP ON\r\n", "EOI", {0x0128, 0, 9}};
  EXPECT_EQ(TranscriptLine("2026-03-01 10:00:00.250", send),
            "2026-03-01 10:00:00.250  SEND     19  > \"OUTP ON\\r\\n\" EOI  ibsta=&H128 ibcnt=9");
  TranscriptEntry timeout{0, "RECEIVE", 13, "+1.", "stop on LF", {0xC124, 6, 3}};
  EXPECT_EQ(TranscriptLine("T", timeout),
            "T  RECEIVE  13  < \"+1.\" stop on LF  ibsta=&HC124 EABO ibcnt=3");
  TranscriptEntry ifc{0, "IFC", -1, "", "", {0x8000, 7, 0}};
  EXPECT_EQ(TranscriptLine("T", ifc), "T  IFC      --   ibsta=&H8000 ENEB ibcnt=0");
}

TEST(Transcript, FileGrowsByOneLinePerExchangeAndKeepsWhatWasThere) {
  test::TempDir dir;
  const std::string path = dir.File("bus.txt");
  test::WriteFileBytes(path, "earlier run\r\n");
  VirtualClock clock;
  int calls = 0;
  FileTranscript file(path, [&calls] { return "W" + std::to_string(++calls); });
  TranscriptBus bus(std::make_unique<sim::SimBus>(clock), file, clock);
  bus.Send(19, "OUTP OFF\n", SendEnd::EoiWithLastByte);
  bus.ibtmo(Timeout::Ms30);
  EXPECT_EQ(test::ReadFileBytes(path),
            "earlier run\r\n"
            "W1  SEND     19  > \"OUTP OFF\\n\" EOI  ibsta=&H128 ibcnt=9\r\n"
            "W2  TIMEOUT  --  30 ms  ibsta=&H120 ibcnt=0\r\n");
  EXPECT_FALSE(file.Failed());

  FileTranscript nowhere(dir.File("missing-folder/bus.txt"), [] { return "W"; });
  nowhere.Record(TranscriptEntry{});
  EXPECT_TRUE(nowhere.Failed());
}

}  // namespace
}  // namespace brimtal::bus
