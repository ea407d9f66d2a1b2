// The run log: entry format, order, the switch in the settings file and unwritable logs.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/LogFile.h"
#include "shell/Settings.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

namespace fs = std::filesystem;

struct RunLogFixture : ::testing::Test {
  test::TempDir dir;
  INISettings settings{ProgramPaths{dir.Path().string(), "brimtal", dir.File("config")}};
  FixedWallClock clock{{2025, 3, 4, 9, 5, 7}};
  LogFile log{settings, clock, dir.File("runlog.bml")};

  void LogToFile(const std::string& value) {
    settings.Setting().SaveSettingStr("System", "LogToFile", value);
  }
};

TEST_F(RunLogFixture, OffOrMissingSettingWritesNoFile) {
  log.WriteLog("equip file loaded from command line");
  LogToFile("0");
  log.WriteLog("default equipment file loaded");
  EXPECT_FALSE(fs::exists(log.Path()));
}

TEST_F(RunLogFixture, EntriesAreStampedAndAppendedInCallOrder) {
  test::WriteFileBytes(log.Path(), "earlier entry\r\n");
  LogToFile("1");
  log.WriteLog("equip file loaded from command line");
  log.WriteLog("default equipment file loaded");  // the same second: call order kept
  clock.Set({2031, 12, 31, 23, 59, 58});
  log.WriteLog("Test run started\r\nStart Freq 0.15 MHz\r\nStop Freq 80 MHz");
  log.WriteLog("Instruments taken offline");
  EXPECT_EQ(test::ReadFileBytes(log.Path()),
            "earlier entry\r\n"
            "03/04/25 09:05:07 - equip file loaded from command line\r\n"
            "03/04/25 09:05:07 - default equipment file loaded\r\n"
            "12/31/31 23:59:58 - Test run started\r\nStart Freq 0.15 MHz\r\nStop Freq 80 MHz\r\n"
            "12/31/31 23:59:58 - Instruments taken offline\r\n");
}

TEST_F(RunLogFixture, AnyNonZeroValueSwitchesItOn) {
  for (const char* value : {"-1", "7 days", "99999"}) {
    fs::remove(log.Path());
    LogToFile(value);
    log.WriteLog("x");
    EXPECT_TRUE(fs::exists(log.Path())) << value;
  }
}

TEST_F(RunLogFixture, ALogThatCannotBeWrittenIsSkipped) {
  LogToFile("1");
  LogFile blocked(settings, clock, dir.File("no-such-folder/runlog.bml"));
  EXPECT_NO_THROW(blocked.WriteLog("Equip file: /x.eqp"));
  fs::create_directory(dir.File("runlog-is-a-folder"));
  LogFile folder(settings, clock, dir.File("runlog-is-a-folder"));
  EXPECT_NO_THROW(folder.WriteLog("Equip file: /x.eqp"));
  EXPECT_TRUE(fs::is_directory(dir.File("runlog-is-a-folder")));
}

TEST(RunLog, TimeStampsAreTwoDigitFields) {
  EXPECT_EQ(LogTimeStamp({2000, 1, 2, 3, 4, 5}), "01/02/00 03:04:05");
  EXPECT_EQ(LogTimeStamp({1999, 10, 31, 13, 0, 0}), "10/31/99 13:00:00");
  const LocalDateTime now = SystemWallClock().Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
}

}  // namespace
}  // namespace brimtal
