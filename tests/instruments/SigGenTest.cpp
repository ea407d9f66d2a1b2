// The signal generator driver over a recording bus: the .sg file, the exact bytes of every
// operation, the order rules for frequency and level, RF off without an RF-off command,
// modulation, shutdown, the levelling step and the printout.
#include "instruments/SigGen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BusRig.h"
#include "TestPrinters.h"
#include "shell/FileIo.h"
#include "shell/Printer.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using Lines = std::vector<std::string>;
using test::FakeBus;
using test::kTimedOutComplete;
using test::kTimedOutCompleteStatus;

// The definition held by tests/data/siggen/full.sg.
SigGenDef FullDef() {
  SigGenDef d;
  d.Name = "Test generator 3000";
  d.Address = 19;
  d.InitString = "*RST;*CLS";
  d.FreqSetPre = "FREQ";
  d.FreqSetSuf = "MHZ";
  d.LevelSetPre = "POW";
  d.LevelSetSuf = "DBM";
  d.ModOff = "MOD:OFF";
  d.RfOff = "OUTP OFF";
  d.RfOn = "OUTP ON";
  d.AmCapable = 1;
  d.AmModFreqPre = "AM:INT:FREQ";
  d.AmModFreqSuf = "KHZ";
  d.AmModDepthPre = "AM:DEPT";
  d.AmModDepthSuf = "PCT";
  d.AmModOn = "AM:STAT ON";
  d.FmCapable = 1;
  d.FmModFreqPre = "FM:INT:FREQ";
  d.FmModFreqSuf = "KHZ";
  d.FmModDevPre = "FM:DEV";
  d.FmModDevSuf = "KHZ";
  d.FmModOn = "FM:STAT ON";
  d.PulseCapable = 0;
  d.PulseModFreqPre = "PULM:FREQ";
  d.PulseModFreqSuf = "KHZ";
  d.PulseModWidthPre = "PULM:WIDT";
  d.PulseModWidthSuf = "MS";
  d.PulseModOn = "PULM:STAT ON";
  d.MaxLevel = 13.5F;
  d.MinLevel = -110;
  d.MaxFreq = 1000;
  d.MinFreq = 0.15;
  d.Eos = 2;
  return d;
}

class SigGenTest : public ::testing::Test, protected test::BusRig {
 protected:
  SigGen gen{gpib, host};

  void SetUp() override { gen.SigGenSetDefinition(FullDef()); }

  // The bytes of every write since the last call, in order.
  Lines Sent() {
    Lines sent;
    for (const auto& call : bus.calls) {
      if (call.op == "Send") sent.push_back(call.data);
    }
    bus.calls.clear();
    return sent;
  }
  // The next n writes succeed, the one after fails with a timeout.
  void FailWriteAfter(int n) {
    for (int i = 0; i < n; ++i) bus.Queue("Send", {bus::kCmpl, 0, 1});
    bus.Queue("Send", kTimedOutComplete);
  }
  // RF on at a known frequency and level, with the traffic of getting there forgotten.
  void OnAt(double freq, float level) {
    ASSERT_TRUE(gen.SigGenSetFreqLevel(freq, level));
    ASSERT_TRUE(gen.SigGenRfOn());
    Sent();
  }
  void Modify(void (*change)(SigGenDef&)) {
    SigGenDef d = gen.SigGenGetDefinition();
    change(d);
    gen.SigGenSetDefinition(d);
  }
};

// --- definition file ---

TEST_F(SigGenTest, LoadsEveryLineAndSavesTheSameBytes) {
  SigGen other{gpib, host};
  const std::string path = test::DataFile("siggen/full.sg");
  ASSERT_TRUE(other.LoadFile(path));
  EXPECT_EQ(other.SigGenGetDefinition(), FullDef());
  EXPECT_EQ(other.SigGenFileName(), path);
  EXPECT_EQ(other.Terminator(), "\r\n");

  test::TempDir dir;
  const std::string copy = dir.File("copy.sg");
  ASSERT_TRUE(other.SaveFile(copy));
  EXPECT_EQ(test::ReadFileBytes(copy), test::ReadFileBytes(path));
  EXPECT_EQ(other.SigGenFileName(), copy);
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenTest, ReadsLineFeedFilesWithBlanksAroundNumbers) {
  ASSERT_TRUE(gen.LoadFile(test::DataFile("siggen/no-rf-off.sg")));
  const SigGenDef d = gen.SigGenGetDefinition();
  EXPECT_EQ(d.Name, "Old generator, no RF off command");
  EXPECT_EQ(d.Address, 7);
  EXPECT_EQ(d.FreqSetPre, "F");
  EXPECT_EQ(d.LevelSetSuf, "DM");
  EXPECT_EQ(d.RfOff, "");
  EXPECT_EQ(d.MaxLevel, 10.0F);
  EXPECT_EQ(d.MinLevel, -120.5F);
  EXPECT_EQ(d.MaxFreq, 520.0);
  EXPECT_EQ(d.MinFreq, 0.01);
  EXPECT_EQ(d.Eos, 1);
  EXPECT_EQ(gen.Terminator(), "\r");
  EXPECT_FALSE(gen.SigGenAmCapable());
}

TEST_F(SigGenTest, WritesNumbersInDefinitionStyle) {
  SigGenDef d = FullDef();
  d.Address = 0;
  d.MaxLevel = -0.5F;
  d.MinLevel = -120.25F;
  d.MaxFreq = 2500.125;
  d.MinFreq = 0.009;
  d.Eos = 0;
  d.AmCapable = 0;
  d.FmCapable = 0;
  d.PulseCapable = 1;
  gen.SigGenSetDefinition(d);
  test::TempDir dir;
  ASSERT_TRUE(gen.SaveFile(dir.File("n.sg")));
  const Lines lines = SplitLines(test::ReadFileBytes(dir.File("n.sg")));
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[1], " 0 ");
  EXPECT_EQ(Lines(lines.begin() + 25, lines.end()),
            (Lines{"-.5 ", "-120.25 ", " 2500.125 ", " .009 ", " 0 ", " 0 ", " 0 ", " 1 "}));
}

struct BadFile {
  const char* name;
  int linesKept;     // lines of full.sg kept
  int replacedLine;  // 1-based line replaced by `replacement`, 0 for none
  const char* replacement;
  const char* errorLines;  // number and description as the box shows them
};

class SigGenBadFileTest : public SigGenTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(SigGenBadFileTest, IsRefusedWithTheFileErrorBoxKeepingWhatWasRead) {
  const BadFile& c = GetParam();
  Lines lines = SplitLines(test::ReadFileBytes(test::DataFile("siggen/full.sg")));
  lines.resize(static_cast<std::size_t>(c.linesKept));
  if (c.replacedLine > 0) lines[static_cast<std::size_t>(c.replacedLine - 1)] = c.replacement;
  test::TempDir dir;
  const std::string path = dir.File("bad.sg");
  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  test::WriteFileBytes(path, bytes);

  gen.SigGenSetDefinition(SigGenDef{});
  EXPECT_FALSE(gen.LoadFile(path));
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text,
            std::string("Error # ") + c.errorLines + "\rSigGen.LoadFile\r" + path);
  EXPECT_EQ(host.Messages()[0].title, "Error");
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(gen.SigGenFileName(), path);
  // The fields read before the failure stay.
  EXPECT_EQ(gen.SigGenName(), c.linesKept > 0 ? "Test generator 3000" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SigGenBadFileTest,
    ::testing::Values(BadFile{"MissingLastLine", 32, 0, "", "62\rInput past end of file"},
                      BadFile{"EmptyFile", 0, 0, "", "62\rInput past end of file"},
                      BadFile{"FrequencyWithUnit", 33, 28, "1 GHz", "13\rType mismatch"},
                      BadFile{"AddressTooLarge", 33, 2, "99999", "6\rOverflow"},
                      BadFile{"EmptyEos", 33, 30, "", "13\rType mismatch"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SigGenTest, MissingFileAndFailedSaveAreReported) {
  test::TempDir dir;
  const std::string missing = dir.File("none.sg");
  EXPECT_FALSE(gen.LoadFile(missing));
  const std::string unwritable = dir.File("no-such-folder/x.sg");
  EXPECT_FALSE(gen.SaveFile(unwritable));
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error # 53\rFile not found\rSigGen.LoadFile\r" + missing,
                   "Error # 76\rPath not found\rSigGen.SaveFile\r" + unwritable}));
  EXPECT_EQ(gen.SigGenFileName(), missing);  // a failed save keeps the name
}

// --- command texts ---

TEST_F(SigGenTest, NumbersAreSentInTheirPatternsBetweenPrefixAndSuffix) {
  OnAt(150, -10);
  struct Case {
    double freq;
    float level;
    Lines bytes;
  };
  const Case cases[] = {
      {150.0000004, -10, {"FREQ 150.0 MHZ\r\n"}},  // the same text is still a new frequency
      {0.1500004, -10, {"FREQ 0.15 MHZ\r\n"}},
      {999.9999995, -10, {"FREQ 1000.0 MHZ\r\n"}},
      {123.4567891, -10, {"FREQ 123.456789 MHZ\r\n"}},
      {123.4567891, -9.95F, {"POW -10.0 DBM\r\n"}},  // rounded from the value as typed
      {123.4567891, 1.15F, {"POW 1.2 DBM\r\n"}},
      {123.4567891, 13.5F, {"POW 13.5 DBM\r\n"}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(gen.SigGenSetFreqLevel(c.freq, c.level));
    EXPECT_EQ(Sent(), c.bytes) << c.freq << " MHz " << c.level << " dBm";
  }
}

TEST_F(SigGenTest, BlanksStayWhenPrefixOrSuffixIsEmptyAndTheTerminatorFollowsEos) {
  struct Case {
    int eos;
    const char* pre;
    const char* suf;
    const char* bytes;
  };
  const Case cases[] = {
      {0, "FR", "", "FR 80.0 "},
      {1, "", "MZ", " 80.0 MZ\r"},
      {2, "", "Z", " 80.0 Z\r\n"},
      {7, "FR", "MZ", "FR 80.0 MZ\r\n"},  // an unknown code keeps the previous terminator
  };
  for (const Case& c : cases) {
    SigGenDef d = FullDef();
    d.Eos = c.eos;
    d.FreqSetPre = c.pre;
    d.FreqSetSuf = c.suf;
    gen.SigGenSetDefinition(d);
    OnAt(100, -20);
    ASSERT_TRUE(gen.SigGenSetFreqLevel(80, -20));
    EXPECT_EQ(Sent(), Lines{c.bytes}) << c.eos;
    ASSERT_TRUE(gen.SigGenRfOff());
  }
  // FM commands go out even with neither prefix nor suffix.
  Modify([](SigGenDef& d) { d.FmModFreqPre = d.FmModFreqSuf = ""; });
  Sent();
  EXPECT_TRUE(gen.SigGenSetFm(1, 10));
  EXPECT_EQ(Sent(), (Lines{" 1.0 \r\n", "FM:DEV 10.0 KHZ\r\n"}));
}

// --- frequency, level and RF ---

TEST_F(SigGenTest, OnlyWhatChangedIsSentAndTheLevelNeverOvershoots) {
  OnAt(100, -20);
  struct Step {
    double freq;
    float level;
    Lines bytes;
  };
  const Step steps[] = {
      {100, -20, {}},
      {100, -10, {"POW -10.0 DBM\r\n"}},
      {200, -10, {"FREQ 200.0 MHZ\r\n"}},
      {300, -10, {"FREQ 300.0 MHZ\r\n"}},
      {150, -30, {"POW -30.0 DBM\r\n", "FREQ 150.0 MHZ\r\n"}},  // falls: level first
      {250, -5, {"FREQ 250.0 MHZ\r\n", "POW -5.0 DBM\r\n"}},    // rises: level last
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(gen.SigGenSetFreqLevel(s.freq, s.level));
    EXPECT_EQ(Sent(), s.bytes) << s.freq << " MHz " << s.level << " dBm";
    EXPECT_EQ(gen.LastFreq(), s.freq);
    EXPECT_EQ(gen.LastLevel(), s.level);
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenTest, WhileRfIsOffRequestsAreOnlyRecordedAndRfOnSendsTheLastFirst) {
  EXPECT_TRUE(gen.SigGenSetFreqLevel(80, -40));
  EXPECT_TRUE(gen.SigGenSetFreqLevel(90, -30));
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(gen.ReqFreq(), 90);
  EXPECT_EQ(gen.ReqLevel(), -30);

  EXPECT_TRUE(gen.SigGenRfOn());
  EXPECT_TRUE(gen.RfIsOn());
  EXPECT_EQ(Sent(), (Lines{"FREQ 90.0 MHZ\r\n", "POW -30.0 DBM\r\n", "OUTP ON\r\n"}));
  EXPECT_TRUE(gen.SigGenRfOn());  // already on: only the RF-on command again
  EXPECT_EQ(Sent(), Lines{"OUTP ON\r\n"});
  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_FALSE(gen.RfIsOn());
  EXPECT_EQ(Sent(), Lines{"OUTP OFF\r\n"});
}

TEST_F(SigGenTest, RequestsOutsideTheLimitsSwitchRfOffAndAreRefused) {
  struct Case {
    double freq;
    float level;
    const char* message;
  };
  const Case cases[] = {
      {100, 13.6F, "Level requested outside of range of instrument"},
      {100, -110.1F, "Level requested outside of range of instrument"},
      {1000.000001, 0, "Frequency requested outside of range of instrument"},
      {0.149, 0, "Frequency requested outside of range of instrument"},
      {0.149, 99, "Level requested outside of range of instrument"},  // level is checked first
  };
  for (const Case& c : cases) {
    OnAt(100, -20);
    host.ClearMessages();
    EXPECT_FALSE(gen.SigGenSetFreqLevel(c.freq, c.level));
    EXPECT_EQ(Sent(), Lines{"OUTP OFF\r\n"});
    EXPECT_FALSE(gen.RfIsOn());
    EXPECT_EQ(host.MessageTexts(), Lines{c.message});
    EXPECT_EQ(gen.ReqFreq(), 100);  // the refused request is not recorded
  }
  // The limits themselves are inside.
  host.ClearMessages();
  EXPECT_TRUE(gen.SigGenSetFreqLevel(0.15, 13.5F));
  EXPECT_TRUE(gen.SigGenSetFreqLevel(1000, -110));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenTest, MissingFrequencyOrLevelCommandRefusesSilently) {
  Modify([](SigGenDef& d) { d.LevelSetPre = d.LevelSetSuf = ""; });
  EXPECT_FALSE(gen.SigGenSetFreqLevel(100, -20));
  Modify([](SigGenDef& d) {
    d = FullDef();
    d.FreqSetPre = d.FreqSetSuf = "";
  });
  EXPECT_FALSE(gen.SigGenSetFreqLevel(100, -20));
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenTest, AFailedWriteStopsTheCommandsAndTheNextRequestSendsBoth) {
  OnAt(100, -20);
  FailWriteAfter(0);
  EXPECT_FALSE(gen.SigGenSetFreqLevel(150, -30));  // level falls: level first, and it fails
  EXPECT_EQ(Sent(), Lines{"POW -30.0 DBM\r\n"});
  EXPECT_EQ(host.MessageTexts(),
            Lines{std::string("Error in writing command to Signal Generator. ") +
                  kTimedOutCompleteStatus});
  EXPECT_EQ(gen.LastFreq(), 0);
  EXPECT_EQ(gen.LastLevel(), SigGen::kNoLevel);

  EXPECT_TRUE(gen.SigGenSetFreqLevel(150, -30));
  EXPECT_EQ(Sent(), (Lines{"FREQ 150.0 MHZ\r\n", "POW -30.0 DBM\r\n"}));
}

TEST_F(SigGenTest, RfOnWhoseRequestFailsDoesNotCountAsOn) {
  ASSERT_TRUE(gen.SigGenSetFreqLevel(100, -20));
  FailWriteAfter(0);
  EXPECT_FALSE(gen.SigGenRfOn());
  EXPECT_EQ(Sent(), Lines{"FREQ 100.0 MHZ\r\n"});
  EXPECT_FALSE(gen.RfIsOn());
  EXPECT_EQ(host.Messages().size(), 1u);
  // A second attempt sends the whole request before the RF-on command.
  EXPECT_TRUE(gen.SigGenRfOn());
  EXPECT_EQ(Sent(), (Lines{"FREQ 100.0 MHZ\r\n", "POW -20.0 DBM\r\n", "OUTP ON\r\n"}));
}

TEST_F(SigGenTest, FailedRfCommandsAreReported) {
  ASSERT_TRUE(gen.SigGenSetFreqLevel(100, -20));
  FailWriteAfter(2);
  EXPECT_FALSE(gen.SigGenRfOn());
  EXPECT_TRUE(gen.RfIsOn());
  FailWriteAfter(0);
  EXPECT_FALSE(gen.SigGenRfOff());
  EXPECT_FALSE(gen.RfIsOn());
  EXPECT_EQ(host.MessageTexts(),
            (Lines{std::string("Error setting SigGen RF on. ") + kTimedOutCompleteStatus,
                   std::string("Error setting SigGen RF off. ") + kTimedOutCompleteStatus}));
}

// --- RF off without an RF-off command ---

class SigGenNoRfOffTest : public SigGenTest {
 protected:
  void SetUp() override {
    SigGenDef d = FullDef();
    d.RfOff = "";
    gen.SigGenSetDefinition(d);
  }
};

TEST_F(SigGenNoRfOffTest, RfOffLowersToTheMinimumLevelAndRfOnRestoresTheRequest) {
  OnAt(100, -20);
  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_EQ(Sent(), Lines{"POW -110.0 DBM\r\n"});
  EXPECT_FALSE(gen.RfIsOn());

  // A second RF off sends nothing more and leaves the pending request alone.
  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(gen.ReqFreq(), 100);
  EXPECT_EQ(gen.ReqLevel(), -20);

  EXPECT_TRUE(gen.SigGenRfOn());
  EXPECT_EQ(Sent(), (Lines{"POW -20.0 DBM\r\n", "OUTP ON\r\n"}));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenNoRfOffTest, NothingIsLoweredBeforeAnythingWasSent) {
  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_TRUE(gen.SigGenInit(100, -20));
  const Lines sent = Sent();
  EXPECT_EQ(sent, (Lines{"*RST;*CLS\r\n", "MOD:OFF\r\n"}));
  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(host.Messages().empty());
}

// A definition changed while RF was on can refuse the frequency the generator is at; the
// refusal switches RF off, which must lower the level once, without looping, and never raise
// the output.
TEST_F(SigGenNoRfOffTest, RefusalAfterTheLimitsChangedLowersOnceWithoutRaising) {
  struct Case {
    const char* name;
    void (*change)(SigGenDef&);
    double freq;
    float level;
    Lines bytes;
    const char* message;
  };
  const Case cases[] = {
      {"lower maximum frequency", [](SigGenDef& d) { d.MaxFreq = 50; }, 100, -20,
       Lines{"POW -110.0 DBM\r\n"}, "Frequency requested outside of range of instrument"},
      {"minimum level above maximum, both below the output",
       [](SigGenDef& d) {
         d.MinLevel = -40;
         d.MaxLevel = -60;
       },
       100, -20, Lines{"POW -60.0 DBM\r\n"}, "Level requested outside of range of instrument"},
      {"minimum level above maximum, both above the output",
       [](SigGenDef& d) {
         d.MinLevel = 10;
         d.MaxLevel = 0;
       },
       100, -20, Lines{}, "Level requested outside of range of instrument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    OnAt(100, -20);
    host.ClearMessages();
    Modify(c.change);
    EXPECT_FALSE(gen.SigGenSetFreqLevel(c.freq, c.level));
    EXPECT_EQ(Sent(), c.bytes);
    EXPECT_FALSE(gen.RfIsOn());
    EXPECT_EQ(host.MessageTexts(), Lines{c.message});
  }
}

TEST_F(SigGenNoRfOffTest, AFailedLoweringIsReportedAsAFailure) {
  OnAt(100, -20);
  FailWriteAfter(0);
  EXPECT_FALSE(gen.SigGenRfOff());
  EXPECT_FALSE(gen.RfIsOn());
  EXPECT_EQ(host.MessageTexts(),
            Lines{std::string("Error in writing command to Signal Generator. ") +
                  kTimedOutCompleteStatus});
}

// After a failed write the generator may still be at its old level: RF off must bring it down
// all the same, once, and the next request sends frequency and level again.
TEST_F(SigGenNoRfOffTest, AfterAFailedWriteRfOffStillLowersTheOutput) {
  OnAt(100, -20);
  FailWriteAfter(0);
  EXPECT_FALSE(gen.SigGenSetFreqLevel(100, -10));
  Sent();
  host.ClearMessages();

  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_EQ(Sent(), Lines{"POW -110.0 DBM\r\n"});
  EXPECT_TRUE(gen.SigGenRfOff());
  EXPECT_TRUE(Sent().empty());

  EXPECT_TRUE(gen.SigGenRfOn());
  EXPECT_EQ(Sent(), (Lines{"FREQ 100.0 MHZ\r\n", "POW -10.0 DBM\r\n", "OUTP ON\r\n"}));
  EXPECT_TRUE(host.Messages().empty());
}

// --- initialisation and shutdown ---

TEST_F(SigGenTest, InitOpensTheDeviceAndSendsBothOffCommands) {
  const auto start = clock.TickMs();
  ASSERT_TRUE(gen.SigGenInit(80, -55));
  EXPECT_GE(clock.TickMs() - start, 2000);
  EXPECT_EQ(bus.Ops(), (Lines{"FindLstn", "SetRWLS", "Send", "Send", "Send"}));
  EXPECT_EQ(bus.calls[0].list, (std::vector<bus::Address>{0, 19, bus::kNoAddr}));
  EXPECT_EQ(Sent(), (Lines{"*RST;*CLS\r\n", "MOD:OFF\r\n", "OUTP OFF\r\n"}));
  EXPECT_FALSE(gen.RfIsOn());
  EXPECT_FALSE(gen.ModIsOn());
  EXPECT_EQ(gen.ReqFreq(), 80);
  EXPECT_EQ(gen.ReqLevel(), -55);
  EXPECT_EQ(gen.LastFreq(), 0);
  EXPECT_EQ(gen.LastLevel(), SigGen::kNoLevel);
}

TEST_F(SigGenTest, InitWithFrequencyZeroTakesTheMinimaAndAnEmptyInitSendsTheTerminator) {
  Modify([](SigGenDef& d) { d.InitString = ""; });
  ASSERT_TRUE(gen.SigGenInit(0, 5));
  EXPECT_EQ(gen.ReqFreq(), 0.15);
  EXPECT_EQ(gen.ReqLevel(), -110);
  EXPECT_EQ(Sent(), (Lines{"\r\n", "MOD:OFF\r\n", "OUTP OFF\r\n"}));
}

TEST_F(SigGenTest, InitFailsOnARefusedRequestOrAFailedOffCommand) {
  EXPECT_FALSE(gen.SigGenInit(5000, -20));
  EXPECT_EQ(host.MessageTexts(), Lines{"Frequency requested outside of range of instrument"});
  host.ClearMessages();
  Sent();
  FailWriteAfter(1);  // the init string goes out, modulation off fails; RF off is still sent
  EXPECT_FALSE(gen.SigGenInit(80, -20));
  EXPECT_EQ(Sent(), (Lines{"*RST;*CLS\r\n", "MOD:OFF\r\n", "OUTP OFF\r\n"}));
  EXPECT_EQ(host.MessageTexts(),
            Lines{std::string("Error turning modulation off. ") + kTimedOutCompleteStatus});
}

TEST_F(SigGenTest, ShutdownLowersSwitchesOffAndGoesLocal) {
  OnAt(300, 0);
  EXPECT_TRUE(gen.SigGenShutdown());
  EXPECT_EQ(bus.Ops(), (Lines{"Send", "Send", "Send", "EnableLocal"}));
  EXPECT_EQ(bus.calls[3].list, (std::vector<bus::Address>{0, 19, bus::kNoAddr}));
  EXPECT_EQ(Sent(), (Lines{"POW -110.0 DBM\r\n", "FREQ 0.15 MHZ\r\n", "OUTP OFF\r\n"}));
  EXPECT_FALSE(gen.RfIsOn());
}

TEST_F(SigGenTest, ShutdownTriesEveryStepWhateverFails) {
  struct Case {
    const char* name;
    void (*arrange)(FakeBus&);
    Lines messages;
  };
  const Case cases[] = {
      {"lowering fails", [](FakeBus& b) { b.Queue("Send", kTimedOutComplete); },
       Lines{std::string("Error in writing command to Signal Generator. ") +
             kTimedOutCompleteStatus}},
      {"RF off fails",
       [](FakeBus& b) {
         b.Queue("Send", {bus::kCmpl, 0, 1});
         b.Queue("Send", {bus::kCmpl, 0, 1});
         b.Queue("Send", kTimedOutComplete);
       },
       Lines{std::string("Error setting SigGen RF off. ") + kTimedOutCompleteStatus}},
      {"local fails", [](FakeBus& b) { b.Queue("EnableLocal", kTimedOutComplete); },
       Lines{std::string("Error closing SigGen") + kTimedOutCompleteStatus}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OnAt(300, 0);
    host.ClearMessages();
    c.arrange(bus);
    EXPECT_FALSE(gen.SigGenShutdown());
    EXPECT_EQ(bus.Ops().back(), "EnableLocal");
    const Lines sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), "OUTP OFF\r\n");
    EXPECT_FALSE(gen.RfIsOn());
    EXPECT_EQ(host.MessageTexts(), c.messages);
  }
}

// --- modulation ---

TEST_F(SigGenTest, AmWithDepthZeroForOffRestoresTheRememberedDepth) {
  EXPECT_TRUE(gen.SigGenSetAm(1, 80, true));
  EXPECT_TRUE(gen.SigGenAmOn());
  EXPECT_EQ(Sent(), (Lines{"AM:INT:FREQ 1.0 KHZ\r\n", "AM:DEPT 80.0 PCT\r\n", "AM:STAT ON\r\n"}));
  EXPECT_EQ(gen.ModKind(), SigGenModKind::Am);

  EXPECT_TRUE(gen.SigGenModOff());
  EXPECT_EQ(Sent(), (Lines{"AM:INT:FREQ 1.0 KHZ\r\n", "AM:DEPT 0.0 PCT\r\n"}));
  EXPECT_TRUE(gen.ModIsOn());
  EXPECT_EQ(gen.AmDepth(), 80);

  EXPECT_TRUE(gen.SigGenAmOn());
  EXPECT_EQ(Sent(), (Lines{"AM:INT:FREQ 1.0 KHZ\r\n", "AM:DEPT 80.0 PCT\r\n"}));
}

TEST_F(SigGenTest, ModulationCommandsAndOffWithoutDepthZero) {
  EXPECT_FALSE(gen.SigGenModOff());  // nothing is on: nothing to send
  EXPECT_TRUE(gen.SigGenSetAm(0.4F, 30.25F, false));
  EXPECT_TRUE(gen.SigGenAmOn());
  EXPECT_TRUE(gen.SigGenModOff());
  EXPECT_FALSE(gen.ModIsOn());
  EXPECT_TRUE(gen.SigGenSetFm(1.0005F, 10));
  EXPECT_TRUE(gen.SigGenFmOn());
  EXPECT_EQ(gen.ModKind(), SigGenModKind::Fm);
  Modify([](SigGenDef& d) {
    d.PulseCapable = 5;  // any non-zero value is capable
    d.AmModFreqPre = d.AmModFreqSuf = "";
  });
  EXPECT_TRUE(gen.SigGenSetPulse(1, 0.01F));
  EXPECT_TRUE(gen.SigGenPulseOn());
  EXPECT_EQ(gen.ModKind(), SigGenModKind::Pulse);
  EXPECT_TRUE(gen.SigGenModOff());
  EXPECT_TRUE(gen.SigGenSetAm(2, 50, false));  // no AM frequency command: depth only
  EXPECT_EQ(Sent(), (Lines{"AM:INT:FREQ 0.4 KHZ\r\n", "AM:DEPT 30.3 PCT\r\n", "AM:STAT ON\r\n",
                           "MOD:OFF\r\n", "FM:INT:FREQ 1.001 KHZ\r\n", "FM:DEV 10.0 KHZ\r\n",
                           "FM:STAT ON\r\n", "PULM:FREQ 1.0 KHZ\r\n", "PULM:WIDT 0.01 MS\r\n",
                           "PULM:STAT ON\r\n", "MOD:OFF\r\n", "AM:DEPT 50.0 PCT\r\n"}));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(SigGenTest, MissingCapabilityIsToldAndNothingIsSent) {
  Modify([](SigGenDef& d) { d.AmCapable = d.FmCapable = d.PulseCapable = 0; });
  EXPECT_FALSE(gen.SigGenSetAm(1, 80, false));
  EXPECT_FALSE(gen.SigGenAmOn());
  EXPECT_FALSE(gen.SigGenSetFm(1, 10));
  EXPECT_FALSE(gen.SigGenFmOn());
  EXPECT_FALSE(gen.SigGenSetPulse(1, 1));
  EXPECT_FALSE(gen.SigGenPulseOn());
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(gen.ModKind(), SigGenModKind::None);
  EXPECT_FALSE(gen.ModIsOn());
  const std::string am = "Signal Generator not capable of AM Modulation";
  const std::string fm = "Signal Generator not capable of FM Modulation";
  const std::string pulse = "Signal Generator not capable of Pulse Modulation";
  EXPECT_EQ(host.MessageTexts(), (Lines{am, am, fm, fm, pulse, pulse}));
}

TEST_F(SigGenTest, FailedModulationWritesAreReported) {
  Modify([](SigGenDef& d) { d.PulseCapable = 1; });
  struct Case {
    const char* message;
    bool (*act)(SigGen&);
    SigGenModKind kindAfter;
    bool modOnAfter;
  };
  const Case cases[] = {
      {"Error setting AM modulation", [](SigGen& g) { return g.SigGenSetAm(1, 80, false); },
       SigGenModKind::None, false},
      {"Error setting FM modulation", [](SigGen& g) { return g.SigGenSetFm(1, 10); },
       SigGenModKind::Fm, false},
      {"Error setting Pulse modulation", [](SigGen& g) { return g.SigGenSetPulse(1, 1); },
       SigGenModKind::Pulse, false},
      {"Error setting AM Modulation on. ", [](SigGen& g) { return g.SigGenAmOn(); },
       SigGenModKind::Pulse, true},
      {"Error turning modulation off. ", [](SigGen& g) { return g.SigGenModOff(); },
       SigGenModKind::Pulse, false},
      {"Error setting FM Modulation on. ", [](SigGen& g) { return g.SigGenFmOn(); },
       SigGenModKind::Pulse, true},
      {"Error setting Pulse Modulation on.", [](SigGen& g) { return g.SigGenPulseOn(); },
       SigGenModKind::Pulse, true},
  };
  for (const Case& c : cases) {
    host.ClearMessages();
    bus.Queue("Send", kTimedOutComplete);
    EXPECT_FALSE(c.act(gen)) << c.message;
    EXPECT_EQ(host.MessageTexts(), Lines{std::string(c.message) + kTimedOutCompleteStatus});
    EXPECT_EQ(gen.ModKind(), c.kindAfter) << c.message;
    EXPECT_EQ(gen.ModIsOn(), c.modOnAfter) << c.message;
  }
}

// --- levelling step ---

TEST(SigGenLevelStep, FollowsTheLevellingRule) {
  struct Case {
    float measured;
    float target;
    float tolerance;
    float step;
  };
  const Case cases[] = {
      {10, 12, 0.5F, 1.6666666F},
      {11.9F, 12, 0.1F, 0.1F},
      {0, 20, 0.5F, 10},
      {12.3F, 12, 0.5F, -0.05F},
      {12, 12, 0.5F, 0.25F},
      {11.5F, 12, 0.1F, 0.4F},
      {-3, 12, 0, 10},
      {1.5F, 12, 0.5F, 7.3333335F},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(SigGen::LevelStep(c.measured, c.target, c.tolerance), c.step, 1e-5)
        << c.measured << " " << c.target << " " << c.tolerance;
  }
}

// --- printout ---

TEST_F(SigGenTest, PrintsTheDefinitionLabelByLabel) {
  SigGenDef d = FullDef();
  d.InitString = std::string(60, 'a') + std::string(60, 'b') + "c";
  d.MaxFreq = 1000.5;
  gen.SigGenSetDefinition(d);
  RecordingPrinter printer(100 * kTwipsPerInch);
  ASSERT_TRUE(gen.PrintSetup(printer));
  EXPECT_EQ(printer.FontName(), "Courier New");
  EXPECT_EQ(printer.FontSize(), 10);
  EXPECT_TRUE(printer.Ended());
  ASSERT_EQ(printer.Pages().size(), 1u);
  const std::string pad(17, ' ');
  const Lines expected{
      "",
      "",
      "",
      "",
      "",
      "",
      "Instrument Name: Test generator 3000",
      "        Address: 19",
      "",
      "",
      "    Init String: " + std::string(60, 'a'),
      pad + std::string(60, 'b'),
      pad + "c",
      "",
      "Freq Set Prefix: FREQ",
      "         Suffix: MHZ",
      "",
      " Lev Set Prefix: POW",
      pad + "DBM",
      "",
      " Modulation Off: MOD:OFF",
      "",
      "         RF Off: OUTP OFF",
      "         Rf On : OUTP ON",
      "",
      "     AM Capable: 1",
      " AM Freq Prefix: AM:INT:FREQ",
      "         Suffix: KHZ",
      "",
      "AM Depth Prefix: AM:DEPT",
      "         Suffix: PCT",
      "",
      "      AM Mod On: AM:STAT ON",
      "",
      "     FM Capable: 1",
      " FM Freq Prefix: FM:INT:FREQ",
      "         Suffix: KHZ",
      "",
      "  FM Dev Prefix: FM:DEV",
      "         Suffix: KHZ",
      "",
      "      FM Mod On: FM:STAT ON",
      "",
      "  Pulse Capable: 0",
      " Pulse Freq Pre: PULM:FREQ",
      "            Suf: KHZ",
      "",
      "Pulse Width Pre: PULM:WIDT",
      "            Suf: MS",
      "",
      "   Pulse Mod On: PULM:STAT ON",
      "",
      "  Maximum Level: 13.5",
      "  Minimum Level: -110",
      "",
      "   Maximum Freq: 1000.5",
      "   Minimum Freq: 0.15",
      "",
      "  End of String: 2  (0 = none, 1 = cr, 2 = cr/lf)",
  };
  EXPECT_EQ(printer.Pages()[0], expected);
}

TEST_F(SigGenTest, ALongPrintoutContinuesOnANewPageAndPrinterErrorsAreReported) {
  RecordingPrinter printer(40 * 240);  // room for 40 lines
  ASSERT_TRUE(gen.PrintSetup(printer));
  ASSERT_EQ(printer.Pages().size(), 2u);
  EXPECT_EQ(printer.Pages()[0].size(), 40u);
  EXPECT_EQ(printer.Pages()[1].back(), "  End of String: 2  (0 = none, 1 = cr, 2 = cr/lf)");

  test::FailingPrinter failing("");
  EXPECT_FALSE(gen.PrintSetup(failing));
  EXPECT_EQ(host.MessageTexts(), Lines{"Error # 482\rPrinter error\rSigGen.PrintSetup"});
}

}  // namespace
}  // namespace brimtal
