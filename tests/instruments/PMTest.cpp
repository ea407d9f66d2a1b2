// The power meter driver over a recording bus: the bytes of every operation, channels and the
// band switch, triggered readings and their waits, reply parsing and units, failures, shutdown,
// the definition file and its printout.
#include "instruments/PM.h"

#include <gtest/gtest.h>

#include <cmath>

#include "MeterRig.h"
#include "TestPrinters.h"
#include "shell/FileIo.h"
#include "shell/Printer.h"
#include "support/TestFiles.h"

namespace brimtal::test {
namespace {

PowerMeterDef TwoChannelMeter() {
  PowerMeterDef d;
  d.Name = "Test PM";
  d.Address = 13;
  d.InitString = "*RST";
  d.FreqSetPre = "FREQ";
  d.FreqSetSuf = "MHZ";
  d.SelectCh1 = "CH1";
  d.SelectCh2 = "CH2";
  d.Ch1Read = "FETC1?";
  d.Ch2Read = "FETC2?";
  d.Ch1Trigger = "INIT1";
  d.Ch2Trigger = "INIT2";
  d.BandSwitchFreq = 230;
  d.Shutdown = "SYST:LOC";
  d.Units = 1;
  d.InstType = 1;
  d.MaxFreq = 1000;
  d.MinFreq = 0.01;
  d.SettlingTime = 0.2f;
  d.Eos = 2;
  return d;
}

class PMTest : public ::testing::Test, protected MeterRig {
 protected:
  PM pm{gpib, host, delay, clock, engine};

  void SetUp() override { pm.PmSetDefinition(TwoChannelMeter()); }
  void Define(void (*change)(PowerMeterDef&)) {
    PowerMeterDef d = pm.PmGetDefinition();
    change(d);
    pm.PmSetDefinition(d);
  }
};

TEST_F(PMTest, InitSendsTheInitStringWithTheTerminatorAndResetsTheState) {
  ASSERT_TRUE(pm.PmSetFreq(100));
  ASSERT_TRUE(pm.PmTrigger(1));
  ClearTraffic();
  ASSERT_TRUE(pm.PmInit());
  EXPECT_EQ(Traffic(), (Lines{"Open 13", "Send 13 *RST\r\n"}));
  EXPECT_EQ(pm.LastFreq(), 0);
  EXPECT_FALSE(pm.Triggered());

  Define([](PowerMeterDef& d) { d.InitString.clear(); });
  ClearTraffic();
  ASSERT_TRUE(pm.PmInit());
  EXPECT_EQ(Traffic(), (Lines{"Open 13"}));
}

TEST_F(PMTest, FrequencyGoesToChannelTwoOnlyWhenItCanBeSelected) {
  ASSERT_TRUE(pm.PmSetFreq(150));
  EXPECT_EQ(Traffic(), (Lines{"Send 13 CH1\r\n", "Send 13 FREQ 150.0 MHZ\r\n", "Send 13 CH2\r\n",
                              "Send 13 FREQ 150.0 MHZ\r\n"}));

  Define([](PowerMeterDef& d) {
    d.SelectCh2.clear();
    d.Eos = 1;
  });
  ClearTraffic();
  ASSERT_TRUE(pm.PmSetFreq(0.123456789));
  EXPECT_EQ(Traffic(), (Lines{"Send 13 CH1\r", "Send 13 FREQ 0.123456789 MHZ\r"}));
  EXPECT_EQ(pm.LastFreq(), 0.123456789);
}

TEST_F(PMTest, FrequencyIsSentOnlyWhenItChangesAndOnlyWithinTheLimits) {
  ASSERT_TRUE(pm.PmSetFreq(80));
  ClearTraffic();
  EXPECT_TRUE(pm.PmSetFreq(80));
  EXPECT_TRUE(Traffic().empty());

  for (double outside : {0.009, 1000.5}) {
    EXPECT_FALSE(pm.PmSetFreq(outside));
    EXPECT_EQ(pm.LastFreq(), 80);
  }
  EXPECT_TRUE(Traffic().empty());
  EXPECT_EQ(host.MessageTexts(), (Lines{"Frequency requested exceeds power meter's capability. ",
                                        "Frequency requested exceeds power meter's capability. "}));
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::None);

  // Limits are inclusive; without a frequency command only the frequency is kept.
  Define([](PowerMeterDef& d) { d.FreqSetPre = d.FreqSetSuf = ""; });
  EXPECT_TRUE(pm.PmSetFreq(1000));
  EXPECT_TRUE(Traffic().empty());
  EXPECT_EQ(pm.LastFreq(), 1000);
}

TEST_F(PMTest, FailedFrequencyWriteIsReportedAndTheSameRequestGoesOutAgain) {
  bus.Queue("Send", {});         // CH1
  bus.Queue("Send", kTimedOut);  // the frequency command
  EXPECT_FALSE(pm.PmSetFreq(150));
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error in writing command to power meter. " + kTimedOutStatus}));
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Exclamation);
  // Nothing more after the failure.
  EXPECT_EQ(Traffic(), (Lines{"Send 13 CH1\r\n", "Send 13 FREQ 150.0 MHZ\r\n"}));

  ClearTraffic();
  EXPECT_TRUE(pm.PmSetFreq(150));
  EXPECT_EQ(Traffic().size(), 4u);
  EXPECT_EQ(pm.LastFreq(), 150);
}

// The band-switch choice follows the frequency asked for even when telling it failed: a reading
// above the band switch must not come from the lower band's channel.
TEST_F(PMTest, AfterAFailedFrequencyWriteTheChannelStillFollowsTheRequest) {
  bus.Queue("Send", {});         // CH1
  bus.Queue("Send", kTimedOut);  // the frequency command
  EXPECT_FALSE(pm.PmSetFreq(500));
  ClearTraffic();
  QueueReadings({"-3"});
  EXPECT_DOUBLE_EQ(pm.PmRead(0), -3);
  EXPECT_EQ(Traffic(), (Lines{"Send 13 CH2\r\n", "Flush 13", "Send 13 INIT2\r\n",
                              "Send 13 FETC2?\r\n", "Receive 13 LF 64"}));
}

TEST_F(PMTest, ChannelSelection) {
  EXPECT_FALSE(pm.PmSelectChannel(3));
  EXPECT_FALSE(pm.PmSelectChannel(0));
  EXPECT_TRUE(Traffic().empty());

  Define([](PowerMeterDef& d) { d.SelectCh1.clear(); });
  EXPECT_TRUE(pm.PmSelectChannel(1));
  EXPECT_TRUE(Traffic().empty());

  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(pm.PmSelectChannel(2));
  EXPECT_EQ(host.MessageTexts(), (Lines{"Error in writing to power meter. " + kTimedOutStatus}));
}

TEST_F(PMTest, FailedChannelSelectDoesNotStopTheFrequencyCommand) {
  bus.Queue("Send", kTimedOut);
  EXPECT_TRUE(pm.PmSetFreq(150));
  EXPECT_EQ(Traffic().size(), 4u);
  EXPECT_EQ(host.MessageTexts(), (Lines{"Error in writing to power meter. " + kTimedOutStatus}));
}

TEST_F(PMTest, TriggerFlushesSelectsAndStartsAndTheReadCollectsAfterTheSettlingTime) {
  ASSERT_TRUE(pm.PmTrigger(1));
  EXPECT_TRUE(pm.Triggered());
  EXPECT_EQ(pm.ReadyTick(), 1200);
  EXPECT_EQ(Traffic(), (Lines{"Send 13 CH1\r\n", "Flush 13", "Send 13 INIT1\r\n"}));
  // The flush: 30 ms, a read of 64 bytes up to EOI that is thrown away, then 10 s again.
  EXPECT_EQ(bus.calls[1].timeout, bus::Timeout::Ms30);
  EXPECT_EQ(bus.calls[2].count, 64u);
  EXPECT_EQ(bus.calls[2].readEnd, bus::ReadEnd::EoiOnly);
  EXPECT_EQ(bus.calls[3].timeout, bus::Timeout::S10);

  clock.Advance(150);
  ClearTraffic();
  bus.QueueReply("-12.5\r\n");
  EXPECT_DOUBLE_EQ(pm.PmRead(1), -12.5);
  // No second trigger; only the 50 ms that were left.
  EXPECT_EQ(Traffic(), (Lines{"Send 13 FETC1?\r\n", "Receive 13 LF 64"}));
  EXPECT_GE(clock.TickMs(), 1200);
  EXPECT_LT(clock.TickMs(), 1200 + BDelay::kMaxPumpMs);
  EXPECT_FALSE(pm.Triggered());
  EXPECT_EQ(pm.PmLastReply(), "-12.5\r\n");
}

TEST_F(PMTest, ReadWithoutTriggerTriggersAndWaitsTheWholeSettlingTimeEvenWhenHalted) {
  haltFlag = true;
  QueueReadings({"3.25"});
  EXPECT_DOUBLE_EQ(pm.PmRead(2), 3.25);
  EXPECT_EQ(Traffic(), (Lines{"Send 13 CH2\r\n", "Flush 13", "Send 13 INIT2\r\n",
                              "Send 13 FETC2?\r\n", "Receive 13 LF 64"}));
  EXPECT_GE(clock.TickMs(), 1200);
}

TEST_F(PMTest, TriggeredWaitEndsEarlyOnHalt) {
  Define([](PowerMeterDef& d) { d.SettlingTime = 30; });
  ASSERT_TRUE(pm.PmTrigger(1));
  host.At(1500, [this] { haltFlag = true; });
  bus.QueueReply("1");
  EXPECT_DOUBLE_EQ(pm.PmRead(1), 1);
  EXPECT_LT(clock.TickMs(), 1600);
}

TEST_F(PMTest, NoSettlingTimeMeansNoPauseAndNoQuestion) {
  Define([](PowerMeterDef& d) { d.SettlingTime = 0; });
  QueueReadings({"7"});
  EXPECT_DOUBLE_EQ(pm.PmRead(1), 7);
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_LT(clock.TickMs(), 1000 + BDelay::kMaxPumpMs);
}

TEST_F(PMTest, ChannelZeroFollowsTheBandSwitchFrequency) {
  struct Case {
    double freq;
    const char* trigger;
    const char* read;
  };
  for (const Case& c :
       {Case{230, "INIT1\r\n", "FETC1?\r\n"}, Case{230.000001, "INIT2\r\n", "FETC2?\r\n"},
        Case{0.01, "INIT1\r\n", "FETC1?\r\n"}}) {
    SCOPED_TRACE(c.freq);
    ASSERT_TRUE(pm.PmSetFreq(c.freq));
    ClearTraffic();
    QueueReadings({"-3"});
    EXPECT_DOUBLE_EQ(pm.PmRead(0), -3);
    const Lines traffic = Traffic();
    ASSERT_EQ(traffic.size(), 5u);
    EXPECT_EQ(traffic[2], std::string("Send 13 ") + c.trigger);
    EXPECT_EQ(traffic[3], std::string("Send 13 ") + c.read);
  }

  // The equipment configuration moves the band switch.
  pm.PmSetBandSwitchFreq(0.005);
  ClearTraffic();
  ASSERT_TRUE(pm.PmTrigger(0));
  EXPECT_EQ(Traffic().back(), "Send 13 INIT2\r\n");
}

TEST_F(PMTest, RepliesAreParsedAndConvertedToDbm) {
  struct Case {
    int units;
    const char* reply;
    const char* parse;
    double dbm;
  };
  const Case cases[] = {
      {1, "  -12.34 dBm", "", -12.34},
      {1, "CH1,-20.5,OK", "Mid(x, 5, 5)", -20.5},
      {0, "+1.00000000E-03", "", 0.0},
      {0, "+1.00000000E+00", "", 30.0},
      {0, "0", "", -999.0},
      {2, "106.9897", "", 0.0},
      {3, "1000", "", 13.0103},
      {4, "1", "", 13.0103},
      {4, "5e-7", "", -107.0},
      {4, "-0.5", "", -999.0},
      {5, "46.9897", "", 0.0},
      {1, "no number", "", 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    const int units = c.units;
    const std::string parse = c.parse;
    PowerMeterDef d = TwoChannelMeter();
    d.Units = units;
    d.ParseCmd = parse;
    pm.PmSetDefinition(d);
    QueueReadings({c.reply});
    EXPECT_NEAR(pm.PmRead(1), c.dbm, 1e-4);
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(PMTest, FailedReadingsGive999AfterTheReadingErrorBox) {
  struct Case {
    const char* name;
    int units;
    const char* parse;
    const char* reply;  // nullptr: the read times out
    Lines messages;     // empty: a scripting error comes first
  };
  const std::string readError = "Error in reading power meter. ";
  const std::string fine = "\r\nibsta = &H2100 < END CMPL>\r\nNo error, iberr =  0\r\nibcnt = 0x";
  const Case cases[] = {
      {"read times out", 1, "", nullptr, {readError + kTimedOutStatus}},
      {"empty reply", 1, "", "", {readError + fine + "0"}},
      {"bad units",
       6,
       "",
       "1.5",
       {"Error, bad units value in meter config file", readError + fine + "3"}},
      {"parse expression fails", 1, "Mid(x,", "1.5", {}},
      {"parse gives nothing", 1, "Left(x, 0)", "1.5", {readError + fine + "3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PowerMeterDef d = TwoChannelMeter();
    d.Units = c.units;
    d.ParseCmd = c.parse;
    pm.PmSetDefinition(d);
    host.ClearMessages();
    host.SetBusy(true);
    QueueReadings({c.reply});
    EXPECT_EQ(pm.PmRead(1), 999.0);
    EXPECT_FALSE(host.Busy());
    if (c.messages.empty()) {
      ASSERT_EQ(host.Messages().size(), 2u);
      EXPECT_EQ(host.MessageTexts()[0].rfind("Scripting error\r\nError number ", 0), 0u);
      EXPECT_EQ(host.MessageTexts()[1], readError + fine + "3");
    } else {
      EXPECT_EQ(host.MessageTexts(), c.messages);
    }
  }
}

TEST_F(PMTest, FailedTriggerIsReportedAndTheNextReadTriggersAgain) {
  bus.Queue("Send", {});         // CH1
  bus.Queue("Send", kTimedOut);  // INIT1
  EXPECT_FALSE(pm.PmTrigger(1));
  EXPECT_FALSE(pm.Triggered());
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error in writing command to power meter. " + kTimedOutStatus}));

  ClearTraffic();
  QueueReadings({"-1"});
  EXPECT_DOUBLE_EQ(pm.PmRead(1), -1);
  EXPECT_EQ(Traffic()[2], "Send 13 INIT1\r\n");
}

TEST_F(PMTest, ReadWhoseTriggerFailsShowsBothBoxes) {
  bus.Queue("Send", {});
  bus.Queue("Send", kTimedOut);
  EXPECT_EQ(pm.PmRead(1), 999.0);
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error in writing command to power meter. " + kTimedOutStatus,
                   "Error in reading power meter. " + kTimedOutStatus}));
}

TEST_F(PMTest, ShutdownReturnsToLocalEvenWhenItsCommandFails) {
  ASSERT_TRUE(pm.PmShutdown());
  EXPECT_EQ(Traffic(), (Lines{"Send 13 SYST:LOC\r\n", "Local 13"}));

  ClearTraffic();
  bus.Queue("Send", kTimedOut);
  EXPECT_FALSE(pm.PmShutdown());
  EXPECT_EQ(Traffic(), (Lines{"Send 13 SYST:LOC\r\n", "Local 13"}));
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error in writing command to power meter. " + kTimedOutStatus}));

  // Without a shutdown command the instrument is initialised again.
  Define([](PowerMeterDef& d) { d.Shutdown.clear(); });
  ClearTraffic();
  host.ClearMessages();
  ASSERT_TRUE(pm.PmShutdown());
  EXPECT_EQ(Traffic(), (Lines{"Open 13", "Send 13 *RST\r\n", "Local 13"}));

  bus.Queue("EnableLocal", {bus::kErr, bus::kEcic, 0});
  EXPECT_FALSE(pm.PmShutdown());
  EXPECT_EQ(host.MessageTexts().back().rfind("Error closing PwrMtr\r\n", 0), 0u);
}

TEST_F(PMTest, DefinitionFileLoadsAndSavesByteForByte) {
  const std::string path = DataFile("meters/power-meter.pm");
  ASSERT_TRUE(pm.LoadFile(path));
  const PowerMeterDef& d = pm.PmGetDefinition();
  EXPECT_EQ(pm.PmFileName(), path);
  EXPECT_EQ(d.Name, "Bench PM 2");
  EXPECT_EQ(d.Address, 13);
  EXPECT_EQ(d.InitString, "*RST;:UNIT1:POW W");
  EXPECT_EQ(d.SelectCh2, "INST:NSEL 2");
  EXPECT_EQ(d.Ch2Trigger, "INIT2");
  EXPECT_EQ(d.BandSwitchFreq, 230);
  EXPECT_EQ(d.Shutdown, "SYST:LOC");
  EXPECT_EQ(d.Units, 0);
  EXPECT_EQ(d.InstType, 1);
  EXPECT_EQ(d.MaxFreq, 18000);
  EXPECT_EQ(d.MinFreq, 0.01);
  EXPECT_EQ(d.SettlingTime, 0.25f);
  EXPECT_EQ(d.Eos, 2);
  EXPECT_EQ(d.ParseCmd, "Mid(x, 2, 8)");
  EXPECT_EQ(pm.Link().Terminator(), "\r\n");
  EXPECT_EQ(pm.Link().ReadTerm(), bus::ReadEnd::StopOnLf);

  TempDir dir;
  ASSERT_TRUE(pm.SaveFile(dir.File("copy.pm")));
  EXPECT_EQ(ReadFileBytes(dir.File("copy.pm")), ReadFileBytes(path));
  EXPECT_EQ(pm.PmFileName(), dir.File("copy.pm"));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(PMTest, FileWithoutParseLineLoadsWithNoneAndIsSavedWithTwentyLines) {
  Define([](PowerMeterDef& d) { d.ParseCmd = "old"; });
  ASSERT_TRUE(pm.LoadFile(DataFile("meters/no-parse-line.pm")));
  const PowerMeterDef& d = pm.PmGetDefinition();
  EXPECT_EQ(d.ParseCmd, "");
  EXPECT_EQ(d.Ch1Read, "READ?");
  EXPECT_EQ(d.MaxFreq, 4200.5);
  EXPECT_EQ(d.MinFreq, 0.01);
  EXPECT_EQ(pm.Link().Terminator(), "\r");

  TempDir dir;
  ASSERT_TRUE(pm.SaveFile(dir.File("new.pm")));
  EXPECT_EQ(ReadFileBytes(dir.File("new.pm")),
            "Old PM\r\n 7 \r\n\r\n\r\n\r\n\r\n\r\nREAD?\r\n\r\n\r\n\r\n 0 \r\n\r\n 1 \r\n 1 \r\n"
            " 4200.5 \r\n .01 \r\n 1.5 \r\n 1 \r\n\r\n");
}

TEST_F(PMTest, BadFilesAreRefusedWithTheFileErrorBox) {
  const Lines good = SplitLines(ReadFileBytes(DataFile("meters/power-meter.pm")));
  struct Case {
    const char* name;
    std::size_t lines;  // keep this many lines
    int badLine;        // 1-based line to spoil, 0 for none
    std::string error;
  };
  const Case cases[] = {
      {"ends after line 18", 18, 0, "Error # 62\rInput past end of file\rPwrMtr.LoadFile\r"},
      {"address not a number", 20, 2, "Error # 13\rType mismatch\rPwrMtr.LoadFile\r"},
      {"address too large", 20, -2, "Error # 6\rOverflow\rPwrMtr.LoadFile\r"},
      {"units not a number", 20, 14, "Error # 13\rType mismatch\rPwrMtr.LoadFile\r"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pm.PmSetDefinition(TwoChannelMeter());
    host.ClearMessages();
    Lines lines(good.begin(), good.begin() + static_cast<long>(c.lines));
    if (c.badLine > 0) lines[static_cast<std::size_t>(c.badLine - 1)] = "thirteen";
    if (c.badLine < 0) lines[static_cast<std::size_t>(-c.badLine - 1)] = "99999999999999999999";
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    const std::string path = dir.File("bad.pm");
    WriteFileBytes(path, bytes);
    EXPECT_FALSE(pm.LoadFile(path));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, c.error + path);
    EXPECT_EQ(host.Messages()[0].title, "Error");
    EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
    // The file is named and the lines before the bad one were taken.
    EXPECT_EQ(pm.PmFileName(), path);
    EXPECT_EQ(pm.PmName(), "Bench PM 2");
  }

  host.ClearMessages();
  EXPECT_FALSE(pm.LoadFile(dir.File("missing.pm")));
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error # 53\rFile not found\rPwrMtr.LoadFile\r" + dir.File("missing.pm")}));
}

TEST_F(PMTest, FailedSaveKeepsTheOldFileAndTheOldName) {
  TempDir dir;
  ASSERT_TRUE(pm.SaveFile(dir.File("kept.pm")));
  const std::string before = ReadFileBytes(dir.File("kept.pm"));
  const std::string target = dir.File("no-such-folder/new.pm");
  Define([](PowerMeterDef& d) { d.Name = "changed"; });
  EXPECT_FALSE(pm.SaveFile(target));
  EXPECT_EQ(pm.PmFileName(), dir.File("kept.pm"));
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text.rfind("Error # 76\rPath not found\rPwrMtr.SaveFile\r", 0), 0u)
      << host.Messages()[0].text;
  EXPECT_EQ(ReadFileBytes(dir.File("kept.pm")), before);
}

TEST_F(PMTest, PrintoutListsTheDefinitionUnderItsLabels) {
  Define([](PowerMeterDef& d) {
    d.InitString = std::string(60, 'a') + std::string(60, 'b') + "cc";
    d.ParseCmd = "Val(x)";
  });
  RecordingPrinter printer;
  ASSERT_TRUE(pm.PrintSetup(printer));
  EXPECT_EQ(printer.FontName(), "Courier New");
  EXPECT_EQ(printer.FontSize(), 10);
  EXPECT_TRUE(printer.Ended());
  const std::string indent(17, ' ');
  const Lines expected{"",
                       "",
                       "",
                       "",
                       "",
                       "",
                       "Instrument Name: Test PM",
                       "        Address: 13",
                       "",
                       "    Init String: " + std::string(60, 'a'),
                       indent + std::string(60, 'b'),
                       indent + "cc",
                       "",
                       "Freq Set Prefix: FREQ",
                       "         Suffix: MHZ",
                       "",
                       "   Maximum Freq: 1000",
                       "   Minimum Freq: 0.01",
                       "     Bandswitch: 230",
                       "",
                       "     Select Ch1: CH1",
                       "     Select Ch2: CH2",
                       "",
                       "    Ch1 Trigger: INIT1",
                       "    Ch2 Trigger: INIT2",
                       "",
                       "       Ch1 Read: FETC1?",
                       "       Ch2 Read: FETC2?",
                       "    Parsing Cmd: Val(x)",
                       "",
                       "       Shutdown: SYST:LOC",
                       "",
                       "          Units: 1  (0=Watts, 1=dBm, 2=dBuv, 3=mv, 4=Volts, 5=dBmv)",
                       "           Type: 1  (0 = SpecAn, 1 = PowerMeter)",
                       "  Settling Time: 0.2",
                       "  End of String: 2  (0 = none, 1 = cr, 2 = cr/lf)"};
  ASSERT_EQ(printer.Pages().size(), 1u);
  EXPECT_EQ(printer.Pages()[0], expected);
}

TEST_F(PMTest, PrinterFailureIsReportedAsAFileError) {
  TempDir dir;
  ASSERT_TRUE(pm.SaveFile(dir.File("p.pm")));
  FailingPrinter printer("    Init String");
  EXPECT_FALSE(pm.PrintSetup(printer));
  EXPECT_EQ(host.MessageTexts(),
            (Lines{"Error # 482\rPrinter error\rPwrMtr.PrintSetup\r" + dir.File("p.pm")}));
}

}  // namespace
}  // namespace brimtal::test
