// The meter driver over a recording bus: the bytes of every operation, the range with its margin
// and units, the oscilloscope's time base, triggered readings, automatic ranging, failures,
// shutdown, the definition file and its printout.
#include "instruments/Meter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "MeterRig.h"
#include "TestPrinters.h"
#include "shell/FileIo.h"
#include "shell/Printer.h"
#include "support/TestFiles.h"

namespace brimtal::test {
namespace {

MeterDef Analyser() {
  MeterDef d;
  d.Name = "Test Analyser";
  d.Address = 18;
  d.InitString = "*RST";
  d.FreqSetPre = "FREQ:CENT";
  d.FreqSetSuf = "MHZ";
  d.LevelSetPre = "RLEV";
  d.LevelSetSuf = "DBUV";
  d.ReadCmd = "MARK?";
  d.TriggerCmd = "INIT";
  d.Shutdown = "LOCAL";
  d.Units = 1;
  d.InstType = 0;
  d.MaxLevel = 120;
  d.MinLevel = 0;
  d.MaxFreq = 3000;
  d.MinFreq = 0.009;
  d.SettlingTime = 0.1f;
  d.Eos = 2;
  return d;
}

class MeterTest : public ::testing::Test, protected MeterRig {
 protected:
  Meter meter{gpib, host, delay, clock, engine, haltFlag};

  void SetUp() override { meter.MeterSetDefinition(Analyser()); }
  void Define(void (*change)(MeterDef&)) {
    MeterDef d = meter.MeterGetDefinition();
    change(d);
    meter.MeterSetDefinition(d);
  }
  // The range commands in the traffic, in order.
  Lines RangeCommands() const {
    Lines found;
    for (const std::string& line : Traffic()) {
      if (line.rfind("Send 18 RLEV", 0) == 0) found.push_back(line.substr(8));
    }
    return found;
  }
};

TEST_F(MeterTest, InitOpensAndStartsOnTheRangeForTheMaximumLevel) {
  ASSERT_TRUE(meter.MeterInit());
  EXPECT_EQ(Traffic(), (Lines{"Open 18", "Send 18 *RST\r\n", "Send 18 RLEV 120.0 DBUV\r\n"}));
  EXPECT_EQ(meter.LastLevel(), 118);
  EXPECT_EQ(meter.LastFreq(), 0);
  EXPECT_FALSE(meter.Triggered());

  // A second init sets the same range again: the state starts over.
  ClearTraffic();
  ASSERT_TRUE(meter.MeterInit());
  EXPECT_EQ(RangeCommands(), (Lines{"RLEV 120.0 DBUV\r\n"}));
}

TEST_F(MeterTest, FrequencyCommandAndTheOscilloscopesTimeBase) {
  ASSERT_TRUE(meter.MeterSetFreq(150));
  ASSERT_TRUE(meter.MeterSetFreq(150));
  EXPECT_EQ(Traffic(), (Lines{"Send 18 FREQ:CENT 150.0 MHZ\r\n"}));

  Define([](MeterDef& d) {
    d.InstType = kMeterScope;
    d.FreqSetPre = "TIM:SCAL";
    d.FreqSetSuf = "S";
    d.Eos = 0;
  });
  ClearTraffic();
  ASSERT_TRUE(meter.MeterSetFreq(10));
  ASSERT_TRUE(meter.MeterSetFreq(3));
  EXPECT_EQ(Traffic(), (Lines{"Send 18 TIM:SCAL 0.00000005 S", "Send 18 TIM:SCAL 0.0000001667 S"}));
}

TEST_F(MeterTest, FrequencyOutsideTheLimitsIsRefused) {
  Define([](MeterDef& d) {
    d.InstType = kMeterScope;
    d.MinFreq = 0;
  });
  for (double outside : {3000.5, 0.0, -1.0}) {
    EXPECT_FALSE(meter.MeterSetFreq(outside)) << outside;
  }
  EXPECT_TRUE(Traffic().empty());
  EXPECT_EQ(host.MessageTexts(), Lines(3, "Frequency requested exceeds meter's capability. "));
}

TEST_F(MeterTest, FailedWritesAreReportedAndTheSameRequestGoesOutAgain) {
  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(meter.MeterSetFreq(80));
  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(meter.MeterSetLevel(60));
  EXPECT_EQ(host.MessageTexts(), Lines(2, "Error in writing command to meter. " + kTimedOutStatus));

  ClearTraffic();
  EXPECT_TRUE(meter.MeterSetFreq(80));
  EXPECT_TRUE(meter.MeterSetLevel(60));
  EXPECT_EQ(Traffic(), (Lines{"Send 18 FREQ:CENT 80.0 MHZ\r\n", "Send 18 RLEV 62.0 DBUV\r\n"}));
  EXPECT_EQ(meter.LastLevel(), 60);
}

// Ranging after a failed range command starts from the range asked for; nothing else tells the
// driver where the instrument's range is.
TEST_F(MeterTest, AutomaticRangingAfterAFailedRangeCommand) {
  ASSERT_TRUE(meter.MeterSetLevel(60));
  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(meter.MeterSetLevel(50));
  ClearTraffic();
  QueueReadings({"40", "40"});
  EXPECT_DOUBLE_EQ(meter.MeterRead(0, -1), 40);
  EXPECT_EQ(RangeCommands(), (Lines{"RLEV 45.0 DBUV\r\n"}));
  EXPECT_EQ(meter.LastLevel(), 43);
  EXPECT_EQ(host.MessageTexts(), (Lines{"Error in writing command to meter. " + kTimedOutStatus}));
}

TEST_F(MeterTest, RangeIsSentWithItsMarginInTheInstrumentsUnit) {
  struct Case {
    int units;
    int type;
    double level;
    const char* sent;
  };
  const Case cases[] = {
      {1, 0, 60, "RLEV 62.0 DBUV\r\n"},       {1, 2, 60, "RLEV 62.0 DBUV\r\n"},
      {1, 1, 60, "RLEV 53.2 DBUV\r\n"},       {0, 0, 118, "RLEV 1.0 DBUV\r\n"},
      {0, 0, 20.5, "RLEV 0.000013 DBUV\r\n"}, {2, 0, 58, "RLEV 1.0 DBUV\r\n"},
      {3, 0, 60, "RLEV 2.0 DBUV\r\n"},        {4, 0, 60, "RLEV -44.9897 DBUV\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sent);
    MeterDef d = Analyser();
    d.Units = c.units;
    d.InstType = c.type;
    meter.MeterSetDefinition(d);
    ClearTraffic();
    ASSERT_TRUE(meter.MeterSetLevel(c.level));
    EXPECT_EQ(RangeCommands(), (Lines{c.sent}));
    EXPECT_EQ(meter.LastLevel(), c.level);
    ASSERT_TRUE(meter.MeterSetLevel(0));  // a different range for the next case
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(MeterTest, RangeRequestsOutsideTheLimitsOrWithBadUnitsSendNothing) {
  ASSERT_TRUE(meter.MeterSetLevel(60));
  ClearTraffic();
  EXPECT_TRUE(meter.MeterSetLevel(60));
  EXPECT_FALSE(meter.MeterSetLevel(120.5));
  EXPECT_FALSE(meter.MeterSetLevel(-0.5));
  Define([](MeterDef& d) { d.Units = 5; });
  EXPECT_FALSE(meter.MeterSetLevel(70));
  EXPECT_TRUE(Traffic().empty());
  EXPECT_EQ(meter.LastLevel(), 60);
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Level requested exceeds meter's capability. ",
                   "Level requested exceeds meter's capability. ",
                   "Error, bad units value in meter config file",
                   "Error in writing command to meter. \r\nibsta = &H100 < CMPL>\r\nNo error, "
                   "iberr =  0\r\nibcnt = 0x10"}));

  // Without a range command the level is only kept.
  Define([](MeterDef& d) { d.LevelSetPre = d.LevelSetSuf = ""; });
  EXPECT_TRUE(meter.MeterSetLevel(80));
  EXPECT_TRUE(Traffic().empty());
  EXPECT_EQ(meter.LastLevel(), 80);
}

TEST_F(MeterTest, TriggerAndTriggeredRead) {
  ASSERT_TRUE(meter.MeterTrigger());
  EXPECT_EQ(meter.ReadyTick(), 1100);
  clock.Advance(40);
  bus.QueueReply("55.5\r\n");
  EXPECT_DOUBLE_EQ(meter.MeterRead(1, -1), 55.5);
  EXPECT_EQ(Traffic(),
            (Lines{"Flush 18", "Send 18 INIT\r\n", "Send 18 MARK?\r\n", "Receive 18 LF 64"}));
  EXPECT_GE(clock.TickMs(), 1100);
  EXPECT_LT(clock.TickMs(), 1100 + BDelay::kMaxPumpMs);
  EXPECT_EQ(meter.MeterLastReply(), "55.5\r\n");
  EXPECT_FALSE(meter.Triggered());
}

TEST_F(MeterTest, UntriggeredReadWaitsTheGivenSettlingTime) {
  haltFlag = true;  // the settling pause is not abortable
  QueueReadings({"30"});
  EXPECT_DOUBLE_EQ(meter.MeterRead(1, 2.5), 30);
  EXPECT_GE(clock.TickMs(), 3500);
  EXPECT_EQ(Traffic(),
            (Lines{"Flush 18", "Send 18 INIT\r\n", "Send 18 MARK?\r\n", "Receive 18 LF 64"}));
}

TEST_F(MeterTest, FailedTriggerIsReportedAndLeavesNothingPending) {
  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(meter.MeterTrigger());
  EXPECT_FALSE(meter.Triggered());
  bus.Queue("Send", kTimedOut);
  EXPECT_EQ(meter.MeterRead(1, -1), 999.0);
  EXPECT_EQ(host.MessageTexts(), (Lines{"Error in writing command to meter. " + kTimedOutStatus,
                                        "Error in writing command to meter. " + kTimedOutStatus,
                                        "Error in reading meter. " + kTimedOutStatus}));
}

TEST_F(MeterTest, ReadingsAreConvertedToDbuv) {
  struct Case {
    int units;
    const char* reply;
    const char* parse;
    double dbuv;
  };
  const Case cases[] = {
      {0, "1", "", 120.0},
      {0, "5E-7", "", 0.0},
      {0, "-1", "", -999.0},
      {1, " 42.5 dBuV", "", 42.5},
      {2, "1", "", 60.0},
      {3, "0", "", 60.0},
      {4, "0", "", 106.9897},
      {4, "-6.98970004E-001", "", 106.2907},
      {4, "MKR 1: -20 dBm", "Mid(x, 8)", 86.9897},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    MeterDef d = Analyser();
    d.Units = c.units;
    d.ParseCmd = c.parse;
    meter.MeterSetDefinition(d);
    QueueReadings({c.reply});
    EXPECT_NEAR(meter.MeterRead(1, 0), c.dbuv, 1e-4);
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(MeterTest, ReadingAboveTheMaximumLevelIs1000InEveryMode) {
  for (int mode : {0, 1, 2}) {
    ASSERT_TRUE(meter.MeterSetLevel(60));
    QueueReadings({"120.01"});
    EXPECT_EQ(meter.MeterRead(mode, 0), 1000.0) << mode;
  }
  EXPECT_EQ(RangeCommands().size(), 1u);
}

TEST_F(MeterTest, AutomaticRanging) {
  struct Case {
    const char* name;
    double range;
    std::initializer_list<const char*> readings;
    Lines rangeCommands;
    double result;
    double lastLevel;
  };
  const Case cases[] = {
      {"down by ten, then to three above the reading",
       60,
       {"40", "40", "40"},
       {"RLEV 52.0 DBUV\r\n", "RLEV 45.0 DBUV\r\n"},
       40,
       43},
      {"up to ten above the reading, then down to it",
       60,
       {"70", "70", "70"},
       {"RLEV 82.0 DBUV\r\n", "RLEV 75.0 DBUV\r\n"},
       70,
       73},
      {"within six below the range", 60, {"55"}, {}, 55, 60},
      {"just at six below the range", 60, {"54"}, {}, 54, 60},
      {"up no further than the maximum level",
       110,
       {"115", "120"},
       {"RLEV 122.0 DBUV\r\n"},
       120,
       120},
      {"at the maximum level on the maximum range", 120, {"120"}, {}, 120, 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(meter.MeterSetLevel(c.range));
    ClearTraffic();
    for (const char* reading : c.readings) QueueReadings({reading});
    EXPECT_DOUBLE_EQ(meter.MeterRead(0, -1), c.result);
    EXPECT_EQ(RangeCommands(), c.rangeCommands);
    EXPECT_EQ(meter.LastLevel(), c.lastLevel);
    // Every range change is followed by a new trigger before the next reading.
    const Lines traffic = Traffic();
    EXPECT_EQ(std::count(traffic.begin(), traffic.end(), "Send 18 INIT\r\n"),
              static_cast<long>(c.readings.size()));
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(MeterTest, ModeOneAndMetersWithoutRangeCommandNeverRange) {
  ASSERT_TRUE(meter.MeterSetLevel(60));
  ClearTraffic();
  QueueReadings({"20"});
  EXPECT_DOUBLE_EQ(meter.MeterRead(1, -1), 20);
  Define([](MeterDef& d) { d.LevelSetPre = d.LevelSetSuf = ""; });
  QueueReadings({"90"});
  EXPECT_DOUBLE_EQ(meter.MeterRead(0, -1), 90);
  EXPECT_TRUE(RangeCommands().empty());
  EXPECT_EQ(meter.LastLevel(), 60);
}

TEST_F(MeterTest, HaltDuringRangingReturnsTheReadingTakenBeforeTheChange) {
  ASSERT_TRUE(meter.MeterSetLevel(60));
  ClearTraffic();
  QueueReadings({"20"});
  host.At(1150, [this] { haltFlag = true; });
  EXPECT_DOUBLE_EQ(meter.MeterRead(0, -1), 20);
  EXPECT_EQ(RangeCommands(), (Lines{"RLEV 52.0 DBUV\r\n"}));
}

TEST_F(MeterTest, RangingBelowTheMinimumLevelFailsTheReading) {
  Define([](MeterDef& d) { d.MinLevel = 45; });
  ASSERT_TRUE(meter.MeterSetLevel(50));
  QueueReadings({"30"});
  EXPECT_EQ(meter.MeterRead(0, -1), 999.0);
  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_EQ(host.MessageTexts()[0], "Level requested exceeds meter's capability. ");
  EXPECT_EQ(host.MessageTexts()[1].rfind("Error in reading meter. \r\n", 0), 0u);
}

TEST_F(MeterTest, FailedReadingsGive999) {
  struct Case {
    const char* name;
    int units;
    const char* reply;  // nullptr: the read times out
    const char* firstMessage;
  };
  const Case cases[] = {
      {"read times out", 1, nullptr, nullptr},
      {"empty reply", 1, "", nullptr},
      {"bad units", 7, "12", "Error, bad units value in meter config file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MeterDef d = Analyser();
    d.Units = c.units;
    meter.MeterSetDefinition(d);
    host.ClearMessages();
    QueueReadings({c.reply});
    EXPECT_EQ(meter.MeterRead(1, 0), 999.0);
    const Lines messages = host.MessageTexts();
    ASSERT_EQ(messages.size(), c.firstMessage == nullptr ? 1u : 2u);
    if (c.firstMessage != nullptr) {
      EXPECT_EQ(messages[0], c.firstMessage);
    }
    EXPECT_EQ(messages.back().rfind("Error in reading meter. \r\nibsta = &H", 0), 0u);
  }
}

TEST_F(MeterTest, ShutdownReturnsToLocalEvenWhenItsCommandFails) {
  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(meter.MeterShutdown());
  EXPECT_EQ(Traffic(), (Lines{"Send 18 LOCAL\r\n", "Local 18"}));
  EXPECT_EQ(host.MessageTexts(), (Lines{"Error in writing command to meter. " + kTimedOutStatus}));

  Define([](MeterDef& d) { d.Shutdown.clear(); });
  ClearTraffic();
  ASSERT_TRUE(meter.MeterShutdown());
  EXPECT_EQ(Traffic(),
            (Lines{"Open 18", "Send 18 *RST\r\n", "Send 18 RLEV 120.0 DBUV\r\n", "Local 18"}));
}

TEST_F(MeterTest, DefinitionFileLoadsAndSavesByteForByte) {
  const std::string path = DataFile("meters/analyser.mtr");
  ASSERT_TRUE(meter.LoadFile(path));
  const MeterDef& d = meter.MeterGetDefinition();
  EXPECT_EQ(meter.MeterFileName(), path);
  EXPECT_EQ(d.Name, "Bench Analyser");
  EXPECT_EQ(d.Address, 18);
  EXPECT_EQ(d.LevelSetPre, "DISP:TRAC:Y:RLEV");
  EXPECT_EQ(d.LevelSetSuf, "DBM");
  EXPECT_EQ(d.ReadCmd, "CALC:MARK:Y?");
  EXPECT_EQ(d.TriggerCmd, "INIT");
  EXPECT_EQ(d.Shutdown, "INIT:CONT ON");
  EXPECT_EQ(d.Units, 4);
  EXPECT_EQ(d.InstType, 0);
  EXPECT_EQ(d.MaxLevel, 137.0f);
  EXPECT_EQ(d.MinLevel, -23.0f);
  EXPECT_EQ(d.MaxFreq, 3000);
  EXPECT_EQ(d.MinFreq, 0.009);
  EXPECT_EQ(d.SettlingTime, 0.1f);
  EXPECT_EQ(d.ParseCmd, "Left(x, 12)");
  EXPECT_EQ(meter.Link().Terminator(), "\r\n");

  TempDir dir;
  ASSERT_TRUE(meter.SaveFile(dir.File("copy.mtr")));
  EXPECT_EQ(ReadFileBytes(dir.File("copy.mtr")), ReadFileBytes(path));
  EXPECT_EQ(meter.MeterFileName(), dir.File("copy.mtr"));
}

TEST_F(MeterTest, FileWithoutParseLineLoadsWithNoneAndIsSavedWithNineteenLines) {
  Define([](MeterDef& d) { d.ParseCmd = "old"; });
  ASSERT_TRUE(meter.LoadFile(DataFile("meters/no-parse-line.mtr")));
  EXPECT_EQ(meter.MeterGetDefinition().ParseCmd, "");
  EXPECT_EQ(meter.MeterGetDefinition().InstType, kMeterScope);
  EXPECT_EQ(meter.MeterMaxLevel(), 120.5f);
  EXPECT_EQ(meter.Link().Terminator(), "\r");
  TempDir dir;
  ASSERT_TRUE(meter.SaveFile(dir.File("new.mtr")));
  EXPECT_EQ(ReadFileBytes(dir.File("new.mtr")),
            "Old scope\r\n 5 \r\n\r\nTIM:SCAL\r\n\r\nVOLT:RANG\r\n\r\nMEAS?\r\n\r\n\r\n 0 \r\n"
            " 1 \r\n 120.5 \r\n 0 \r\n 500 \r\n 1 \r\n 0 \r\n 1 \r\n\r\n");
}

TEST_F(MeterTest, FileErrorsNameTheirPlace) {
  TempDir dir;
  const std::string shortFile = dir.File("short.mtr");
  WriteFileBytes(shortFile, "Name\r\n 18 \r\n");
  EXPECT_FALSE(meter.LoadFile(shortFile));
  EXPECT_EQ(meter.MeterName(), "Name");
  EXPECT_FALSE(meter.SaveFile(dir.File("missing/x.mtr")));
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error # 62\rInput past end of file\rMeter.LoadFile\r" + shortFile,
                   "Error # 76\rPath not found\rmeter.SaveFile\r" + dir.File("missing/x.mtr")}));
  EXPECT_EQ(meter.MeterFileName(), shortFile);

  FailingPrinter printer("  Maximum Level");
  EXPECT_FALSE(meter.PrintSetup(printer));
  EXPECT_EQ(host.MessageTexts().back(),
            "Error # 482\rPrinter error\rMeter.PrintSetup\r" + shortFile);
}

TEST_F(MeterTest, PrintoutListsTheDefinitionUnderItsLabels) {
  Define([](MeterDef& d) {
    d.MinLevel = -23.5f;
    d.ParseCmd = "Left(x, 12)";
  });
  RecordingPrinter printer;
  ASSERT_TRUE(meter.PrintSetup(printer));
  EXPECT_EQ(printer.FontName(), "Courier New");
  EXPECT_EQ(printer.FontSize(), 10);
  EXPECT_TRUE(printer.Ended());
  const Lines expected{"",
                       "",
                       "",
                       "",
                       "",
                       "",
                       "Instrument Name: Test Analyser",
                       "        Address: 18",
                       "",
                       "    Init String: *RST",
                       "",
                       "Freq Set Prefix: FREQ:CENT",
                       "         Suffix: MHZ",
                       "",
                       " Lev Set Prefix: RLEV",
                       "                 DBUV",
                       "",
                       "  Maximum Level: 120 dBuV",
                       "  Minimum Level: -23.5 dBuV",
                       "",
                       "   Maximum Freq: 3000",
                       "   Minimum Freq: 0.009",
                       "",
                       "        Trigger: INIT",
                       "           Read: MARK?",
                       "      Parse cmd: Left(x, 12)",
                       "       Shutdown: LOCAL",
                       "",
                       "          Units: 1  (0 = Volts, 1 = dBuv, 2 = mv, 3 = dbmv, 4 = dbm)",
                       "           Type: 0  (0 = SpecAn, 1 = Scope, 2 = RfMeter)",
                       "  Settling Time: 0.1",
                       "  End of String: 2  (0 = none, 1 = cr, 2 = cr/lf)"};
  ASSERT_EQ(printer.Pages().size(), 1u);
  EXPECT_EQ(printer.Pages()[0], expected);
}

TEST(MeterUnits, LevelsConvertBothWaysInEveryUnit) {
  struct Case {
    int units;
    double dbuv;
    double inUnits;
  };
  const Case cases[] = {{0, 120, 1.0}, {1, 42.5, 42.5},    {2, 60, 1.0},
                        {3, 60, 0.0},  {4, 106.9897, 0.0}, {0, 0, 1e-6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    EXPECT_NEAR(*DbuvToMeterUnits(c.dbuv, c.units), c.inUnits, 1e-4);
    EXPECT_NEAR(*MeterUnitsToDbuv(c.inUnits, c.units), c.dbuv, 1e-4);
  }
  EXPECT_FALSE(DbuvToMeterUnits(10, 5).has_value());
  EXPECT_FALSE(MeterUnitsToDbuv(10, -1).has_value());
}

TEST(MeterUnits, LevelBoxesShowAndTakeLevelsInTheChosenUnit) {
  struct Shown {
    double dbuv;
    int units;
    const char* pattern;
    const char* text;
  };
  const Shown shown[] = {
      {120, 0, "##0.0##", "1.0"},       {120, 1, "##0.0##", "120.0"},  {60, 2, "##0.0##", "1.0"},
      {60, 3, "##0.0###", "0.0"},       {50, 4, "##0.0###", "-56.99"}, {50, 1, "##0.0###", "50.0"},
      {42.125, 9, "##0.0##", "42.125"},
  };
  for (const Shown& c : shown) {
    EXPECT_EQ(MeterLevelText(c.dbuv, c.units, c.pattern), c.text) << c.units;
  }

  struct Typed {
    double value;
    int units;
    std::optional<double> dbuv;
  };
  const Typed typed[] = {{1, 0, 120.0}, {-1, 0, std::nullopt}, {-0.5, 2, std::nullopt},
                         {-1, 3, 59.0}, {0, 4, 106.9897},      {5, 9, 5.0}};
  for (const Typed& c : typed) {
    const std::optional<double> dbuv = TypedMeterLevel(c.value, c.units);
    ASSERT_EQ(dbuv.has_value(), c.dbuv.has_value()) << c.value << " in " << c.units;
    if (dbuv) {
      EXPECT_NEAR(*dbuv, *c.dbuv, 1e-4);
    }
  }
}

}  // namespace
}  // namespace brimtal::test
