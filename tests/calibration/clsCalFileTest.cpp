// Loading calibrations and looking values up in them: the bracket search with its cursor,
// doubled frequencies, powers in watts, unrecorded powers, and the file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "calibration/clsCalFile.h"
#include "shell/FileIo.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::DataFile;
using test::TempDir;
using test::WriteFileBytes;

constexpr float kNone = -999.0f;

// basic.cal:
//   100  -20  130  30  20
//   200  -10  140  40  na
//   200   -8  138  41  na    (the same frequency again: a band change)
//   300  -12  150  na  na
//   400   -6  160  26  36    (more reverse than forward power)
struct LoadedCal : ::testing::Test {
  ScriptedHost host;
  clsCalFile cal{host};
  void SetUp() override {
    ASSERT_TRUE(cal.LoadFile(DataFile("cal/basic.bminfo")));
    ASSERT_TRUE(host.Messages().empty());
  }
  // One lookup on a freshly loaded object, after `before` identical lookups.
  float Fresh(float (clsCalFile::*member)(double), double mhz, int before) {
    clsCalFile reference(host);
    EXPECT_TRUE(reference.LoadFile(DataFile("cal/basic.bminfo")));
    for (int i = 0; i < before; ++i) (reference.*member)(mhz);
    return (reference.*member)(mhz);
  }
};

TEST_F(LoadedCal, RangeAndSteps) {
  EXPECT_EQ(cal.GetStartFreq(), 100);
  EXPECT_EQ(cal.GetStopFreq(), 400);
  EXPECT_EQ(cal.GetNumSteps(), 4);
}

struct LookupCase {
  double mhz;
  float sigGen, testLevel, fwd, rev, net;
};

TEST_F(LoadedCal, LookupsAtPointsBetweenThemAndOutside) {
  const double geometricMean = std::sqrt(100.0 * 200.0);
  const LookupCase cases[] = {
      // Exactly at the ends; a hair outside them nothing.
      {100, -20, 130, 30, 20, 29.5424f},
      {400, -6, 160, 26, 36, kNone},
      {100 - 1e-9, kNone, kNone, kNone, kNone, kNone},
      {400 + 1e-9, kNone, kNone, kNone, kNone, kNone},
      // Halfway: the mean; the test level reaches its mean at the geometric mean.
      // Powers halfway between 1 W and 10 W: 5.5 W.
      {150, -15, 135.8496f, 37.4036f, kNone, kNone},
      {geometricMean, -15.8579f, 135, 36.7467f, kNone, kNone},
      // A doubled frequency gives the larger of its two values.
      {200, -8, 140, 41, kNone, kNone},
      // Above it, the bracket is the second of the pair and the next point.
      {250, -10, 144.6041f, kNone, kNone, kNone},
      // "na" in both powers.
      {300, -12, 150, kNone, kNone, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mhz);
    // The search path (a fresh object) and the quick path (the same lookup again).
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE(pass == 0 ? "search" : "repeat");
      EXPECT_NEAR(Fresh(&clsCalFile::GetSigGen, c.mhz, pass), c.sigGen, 1e-4);
      EXPECT_NEAR(Fresh(&clsCalFile::GetTestLevel, c.mhz, pass), c.testLevel, 1e-4);
      EXPECT_NEAR(Fresh(&clsCalFile::GetFwdPwr, c.mhz, pass), c.fwd, 1e-4);
      EXPECT_NEAR(Fresh(&clsCalFile::GetRevPwr, c.mhz, pass), c.rev, 1e-4);
      EXPECT_NEAR(Fresh(&clsCalFile::GetNetPwr, c.mhz, pass), c.net, 1e-4);
    }
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(LoadedCal, PowersDoNotDependOnThePathThatFoundTheBracket) {
  // First call: the search; repeat: the quick path inside the same bracket, which leaves
  // the cursor alone. 5.5 W between 1 W and 10 W, not 35 dBm.
  EXPECT_NEAR(cal.GetFwdPwr(150), 37.4036f, 1e-4);
  const int cursor = cal.Cursor();
  EXPECT_NEAR(cal.GetFwdPwr(150), 37.4036f, 1e-4);
  EXPECT_EQ(cal.Cursor(), cursor);
  // Further up and back down again: the search walks down to the bracket.
  EXPECT_NEAR(cal.GetSigGen(350), -9, 1e-4);
  EXPECT_GT(cal.Cursor(), cursor);
  EXPECT_NEAR(cal.GetFwdPwr(150), 37.4036f, 1e-4);
  EXPECT_EQ(cal.Cursor(), cursor);
}

TEST_F(LoadedCal, EveryOrderOfLookupsGivesTheSameValues) {
  // Rising, falling and random frequencies move the cursor in every way; each value must
  // equal the one an object without history gives.
  std::mt19937 random(3);
  std::uniform_real_distribution<double> anywhere(90, 410);
  std::vector<double> frequencies = {100, 200, 200, 150, 150, 120, 300, 250, 400, 399, 101};
  for (int i = 0; i < 300; ++i) frequencies.push_back(anywhere(random));
  // The reference asks each column of its own fresh object, whose first lookup searches.
  const auto fresh = [this](float (clsCalFile::*member)(double), double f) {
    return Fresh(member, f, 0);
  };
  for (double f : frequencies) {
    SCOPED_TRACE(f);
    EXPECT_EQ(cal.GetSigGen(f), fresh(&clsCalFile::GetSigGen, f));
    EXPECT_EQ(cal.GetTestLevel(f), fresh(&clsCalFile::GetTestLevel, f));
    EXPECT_EQ(cal.GetFwdPwr(f), fresh(&clsCalFile::GetFwdPwr, f));
    EXPECT_EQ(cal.GetRevPwr(f), fresh(&clsCalFile::GetRevPwr, f));
    EXPECT_EQ(cal.GetNetPwr(f), fresh(&clsCalFile::GetNetPwr, f));
    EXPECT_GE(cal.Cursor(), 0);
    EXPECT_LE(cal.Cursor(), cal.GetNumSteps());
  }
}

TEST(clsCalFileLookup, LogFrequencyFromZeroMegahertzHasNoValue) {
  ScriptedHost host;
  clsCalFile cal(host);
  ASSERT_TRUE(cal.LoadFile(DataFile("cal/zero-start.bminfo")));
  EXPECT_EQ(cal.GetTestLevel(5), kNone);
  EXPECT_NEAR(cal.GetSigGen(5), -15, 1e-6);
  EXPECT_EQ(cal.GetTestLevel(0), 130);
}

TEST(clsCalFileLookup, AnUnloadedObjectHasNoPoints) {
  ScriptedHost host;
  clsCalFile cal(host);
  EXPECT_EQ(cal.GetNumSteps(), 0);
  EXPECT_EQ(cal.GetSigGen(100), kNone);
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"No calibration points in interp file"});
}

struct LoadCase {
  const char* name;
  const char* info;     // under tests/data/cal
  const char* message;  // the data file's path is appended when it ends in a blank
};

TEST(clsCalFileLoad, BadDataFilesAreRefusedAndLeaveNoPoints) {
  const LoadCase cases[] = {
      {"one line", "one-line.bminfo", "Unexpected end of file in "},
      {"four fields", "four-fields.bminfo", "Bad data in calibration file: "},
      {"a level that is not a number", "bad-level.bminfo", "Bad data in calibration file: "},
      {"falling frequencies", "falling.bminfo", "Bad data in calibration file: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    clsCalFile cal(host);
    const std::string info = DataFile(std::string("cal/") + c.info);
    const std::string data = info.substr(0, info.size() - 7) + ".cal";
    EXPECT_FALSE(cal.LoadFile(info));
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{c.message + data});
    EXPECT_EQ(cal.GetNumSteps(), 0);
  }
}

TEST(clsCalFileLoad, TwoLinesAreEnough) {
  TempDir dir;
  WriteFileBytes(dir.File("two.cal"), "1.5,-3.000,120.00,na,na,\r\n2.5,-1.000,121.00,na,na,\r\n");
  ScriptedHost host;
  clsCalFile cal(host);
  ASSERT_TRUE(cal.LoadFile(dir.File("two.bminfo")));
  EXPECT_EQ(cal.GetNumSteps(), 1);
  EXPECT_EQ(cal.GetSigGen(2), -2);
}

TEST(clsCalFileLoad, FileNamesKeepTheirLetterCase) {
  TempDir dir;
  const auto folder = dir.Path() / "Lab Cals" / "CDN M3";
  std::filesystem::create_directories(folder);
  const std::string lines =
      "100.0,-20.000,130.00,30.00,20.00,\r\n200.0,-10.000,140.00,40.00,na,\r\n";
  WriteFileBytes((folder / "Run1.cal").string(), lines);
  WriteFileBytes((folder / "Run2.CAL").string(), lines);
  for (const char* info : {"Run1.bminfo", "Run1.BMINFO", "Run2.bminfo", "Run2.BmInfo"}) {
    SCOPED_TRACE(info);
    ScriptedHost host;
    clsCalFile cal(host);
    EXPECT_TRUE(cal.LoadFile((folder / info).string()));
    EXPECT_EQ(cal.GetStopFreq(), 200);
    EXPECT_TRUE(host.Messages().empty());
  }
}

TEST(clsCalFileLoad, NamesThatAreNoInfoFileAndMissingFiles) {
  TempDir dir;
  ScriptedHost host;
  clsCalFile cal(host);
  EXPECT_FALSE(cal.LoadFile(""));
  EXPECT_TRUE(host.Messages().empty());

  const std::string dataPath = DataFile("cal/basic.cal");
  EXPECT_FALSE(cal.LoadFile(dataPath));
  EXPECT_EQ(host.MessageTexts(),
            std::vector<std::string>{"Bad filename for calibration file: " + dataPath});
  host.ClearMessages();

  EXPECT_FALSE(cal.LoadFile(dir.File("Missing.bminfo")));
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text,
            "Error # 53\rFile not found\rclsCalFile.LoadFile\r" + dir.File("Missing.cal"));
  EXPECT_EQ(host.Messages()[0].title, "Error");
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
}

TEST(clsCalFileLoad, ALoadAfterAFailedOneStartsAfresh) {
  ScriptedHost host;
  clsCalFile cal(host);
  ASSERT_TRUE(cal.LoadFile(DataFile("cal/basic.bminfo")));
  EXPECT_FALSE(cal.LoadFile(DataFile("cal/bad-level.bminfo")));
  EXPECT_EQ(cal.GetNumSteps(), 0);
}

TEST(CalDataLines, WrittenAsTheReaderReadsThem) {
  EXPECT_EQ(CalDataLine(CalPoint{150, -12.3456f, 130, 30.125f, kNone}),
            "150.0,-12.346,130.00,30.13,na,");
  EXPECT_EQ(CalDataLine(CalPoint{0.15, 5, 129.999f, kNone, -1.5f}), "0.15,5.000,130.00,na,-1.50,");
  EXPECT_EQ(CalDataLine(std::vector<std::string>{"1.0", "2.000", "3.00", "na", "na"}),
            "1.0,2.000,3.00,na,na,");
  const auto point = ParseCalDataLine("200.000001,-8.000,138.00,41.00,na,");
  ASSERT_TRUE(point.has_value());
  EXPECT_EQ(point->F, 200.000001);
  EXPECT_EQ(point->S, -8);
  EXPECT_EQ(point->L, 138);
  EXPECT_EQ(point->W, 41);
  EXPECT_EQ(point->R, kNone);
  // Powers beyond single precision are bad data, not infinities.
  EXPECT_FALSE(ParseCalDataLine("1,2,3,1E39,na,").has_value());
  EXPECT_FALSE(ParseCalDataLine("1,2,3,4,").has_value());
  EXPECT_TRUE(ParseCalDataLine("1,2,3,4,5").has_value());
}

TEST(CalDataLines, FileNamesPairDataAndInfo) {
  EXPECT_EQ(CalDataPathOf("/lab/Run 1"), "/lab/Run 1.cal");
  EXPECT_EQ(CalDataPathOf("/lab/Run 1.cal"), "/lab/Run 1.cal");
  EXPECT_EQ(CalDataPathOf("/lab/Run 1.CAL"), "/lab/Run 1.CAL");
  EXPECT_EQ(CalInfoPathOf("/lab/Run 1.cal"), "/lab/Run 1.bminfo");
  EXPECT_EQ(CalInfoPathOf("/lab/Run 1.CAL"), "/lab/Run 1.bminfo");
}

TEST(CalDataLines, WrittenFilesLoadBack) {
  TempDir dir;
  const std::vector<CalPoint> points = {
      {0.15, -20.5f, 129.54f, 33.25f, 20}, {1, -19.25f, 130, kNone, kNone}, {80, -3, 140, 40, 30}};
  std::vector<std::string> lines;
  for (const auto& p : points) lines.push_back(CalDataLine(p));
  const std::string data = CalDataPathOf(dir.File("Sweep"));
  FileError error;
  ASSERT_TRUE(WriteTextLines(data, lines, error));
  ScriptedHost host;
  clsCalFile cal(host);
  ASSERT_TRUE(cal.LoadFile(CalInfoPathOf(data)));
  ASSERT_EQ(cal.GetNumSteps(), 2);
  for (const auto& p : points) {
    EXPECT_EQ(cal.GetSigGen(p.F), p.S);
    EXPECT_EQ(cal.GetTestLevel(p.F), p.L);
    EXPECT_EQ(cal.GetFwdPwr(p.F), p.W);
    EXPECT_EQ(cal.GetRevPwr(p.F), p.R);
  }
}

}  // namespace
}  // namespace brimtal
