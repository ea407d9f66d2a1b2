// The start-up steps: caption, second copy, command line, default equipment file, the hooks
// of the loading steps and their messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/LogFile.h"
#include "shell/ScriptedHost.h"
#include "shell/Settings.h"
#include "shell/Startup.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

namespace fs = std::filesystem;

struct FakeGuard : InstanceGuard {
  bool running = false;
  bool AnotherInstanceRunning() override { return running; }
};

struct Display : StartupDisplay {
  std::string caption;
  std::string label1;
  void SetCaption(const std::string& text) override { caption = text; }
  void SetLabel1(const std::string& text) override { label1 = text; }
};

struct StartupFixture : ::testing::Test {
  test::TempDir dir;
  ProgramPaths paths{dir.Path().string(), "brimtal", dir.File("config")};
  INISettings settings{paths};
  FixedWallClock clock{{2025, 1, 2, 3, 4, 5}};
  LogFile log{settings, clock, dir.File("runlog.bml")};
  ScriptedHost host;
  FakeGuard guard;
  Display display;
  Startup startup{host, settings, log, guard, paths};
  std::vector<std::string> calls;  // what the hooks were asked to do, in order

  void SetUp() override {
    settings.Setting().SaveSettingStr("System", "LogToFile", "1");
    startup.hooks.createScriptEngine = [this] { calls.push_back("engine"); };
    startup.hooks.loadEquipment = [this](const std::string& p) {
      calls.push_back("equip " + p);
      return p.ends_with("bad.eqp") ? 0 : 1;
    };
    startup.hooks.applyEquipment = [this] { calls.push_back("apply"); };
    startup.hooks.loadTestDefinition = [this](const std::string& p) {
      calls.push_back("test " + p);
      return !p.ends_with("bad.tst");
    };
    startup.hooks.calInfoFileOfTest = [] { return std::string("/cal/a.bminfo"); };
    startup.hooks.loadCalInfo = [this](const std::string& p) {
      calls.push_back("calinfo " + p);
      return calInfoLoads;
    };
    startup.hooks.openTestDefinition = [this] { calls.push_back("open test window"); };
  }
  bool calInfoLoads = true;

  // The log's messages without their time stamps.
  std::vector<std::string> LogLines() { return LogLinesOf(log.Path()); }
  static std::vector<std::string> LogLinesOf(const std::string& path) {
    std::vector<std::string> lines;
    if (!fs::exists(path)) return lines;
    const std::string text = test::ReadFileBytes(path);
    std::size_t start = 0;
    while (start < text.size()) {
      const auto end = text.find("\r\n", start);
      lines.push_back(text.substr(start + 20, end - start - 20));
      start = end + 2;
    }
    return lines;
  }
};

TEST_F(StartupFixture, CaptionLabelAndHelpPath) {
  const StartupOutcome outcome = startup.Run(display, {});
  EXPECT_EQ(display.caption, "Brimtal 1.1");
  EXPECT_EQ(display.label1, "Brimtal 1.1\r\nConducted RF Immunity");
  EXPECT_EQ(outcome.helpFilePath, dir.File("manual/brimtal"));
  EXPECT_EQ(Startup::HelpFilePath("/opt/"), "/opt/manual/brimtal");
  EXPECT_FALSE(outcome.endProgram);
}

TEST_F(StartupFixture, NothingGivenLogsTheDefaultAndLoadsNothing) {
  const StartupOutcome outcome = startup.Run(display, {});
  EXPECT_EQ(calls, std::vector<std::string>{"engine"});
  EXPECT_EQ(LogLines(), std::vector<std::string>{"default equipment file loaded"});
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(outcome.equipPath, "");
}

TEST_F(StartupFixture, ASecondCopyEndsBeforeAnythingLoads) {
  guard.running = true;
  settings.SetDefaultEquipFile("/eq/default.eqp");
  const StartupOutcome outcome = startup.Run(display, {"/e:/eq/a.eqp"});
  EXPECT_TRUE(outcome.endProgram);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(LogLines().empty());
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "This application is already running on this computer");
  EXPECT_EQ(host.Messages()[0].buttons, MsgButtons::OK);
  EXPECT_EQ(host.Messages()[0].title, "Brimtal");
}

TEST_F(StartupFixture, CommandLineCases) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> calls;
    std::vector<std::string> log;
    std::vector<std::string> messages;
  } cases[] = {
      // The order of the steps, not of the arguments, decides: equipment first.
      {{"/t:/tests/a.tst", "/e:/eq/a.eqp"},
       {"engine", "equip /eq/a.eqp", "apply", "test /tests/a.tst", "calinfo /cal/a.bminfo",
        "open test window"},
       {"test file loaded from command line", "equip file loaded from command line"},
       {}},
      // A later piece of a kind replaces an earlier one; paths are used as given.
      {{"/e:first.eqp", "/e:../eq/second.eqp"},
       {"engine", "equip ../eq/second.eqp", "apply"},
       {"equip file loaded from command line", "equip file loaded from command line"},
       {}},
      // Blank and short pieces are skipped; the default equipment file is then used.
      {{" ", "", "ab"},
       {"engine", "equip /eq/default.eqp", "apply"},
       {"default equipment file loaded"},
       {}},
      // A piece with quotes inside is split at them like a whole command line.
      {{"/e:/eq/a.eqp\" \"/t:/tests/a.tst"},
       {"engine", "equip /eq/a.eqp", "apply", "test /tests/a.tst", "calinfo /cal/a.bminfo",
        "open test window"},
       {"equip file loaded from command line", "test file loaded from command line"},
       {}},
      // Two arguments given as one piece: the path holds the blank and the second argument.
      {{"/e:/eq/a.eqp /t:/tests/a.tst"},
       {"engine", "equip /eq/a.eqp /t:/tests/a.tst", "apply"},
       {"equip file loaded from command line"},
       {}},
      // "/e:" alone names no file: the default is taken.
      {{"/e:"},
       {"engine", "equip /eq/default.eqp", "apply"},
       {"equip file loaded from command line", "default equipment file loaded"},
       {}},
      // Any other piece of four or more characters stops the start-up after the message.
      {{"/e:/eq/a.eqp", "/x:whatever", "/t:/tests/a.tst"},
       {"engine"},
       {"equip file loaded from command line"},
       {"Command line error, (\"/e:/eq/a.eqp\" \"/x:whatever\" \"/t:/tests/a.tst\")"}},
      {{"/E:/eq/a.eqp"}, {"engine"}, {}, {"Command line error, (\"/E:/eq/a.eqp\")"}},
      {{"file.eqp"}, {"engine"}, {}, {"Command line error, (\"file.eqp\")"}},
  };
  for (const auto& c : cases) {
    test::TempDir caseDir;
    ProgramPaths casePaths{caseDir.Path().string(), "brimtal", caseDir.File("config")};
    INISettings caseSettings(casePaths);
    caseSettings.Setting().SaveSettingStr("System", "LogToFile", "1");
    caseSettings.SetDefaultEquipFile("/eq/default.eqp");
    LogFile caseLog(caseSettings, clock, caseDir.File("runlog.bml"));
    ScriptedHost caseHost;
    Startup s(caseHost, caseSettings, caseLog, guard, casePaths);
    s.hooks = startup.hooks;
    calls.clear();
    const StartupOutcome outcome = s.Run(display, c.args);
    const std::string name = JoinCommandLine(c.args);
    EXPECT_EQ(calls, c.calls) << name;
    EXPECT_EQ(LogLinesOf(caseLog.Path()), c.log) << name;
    EXPECT_EQ(caseHost.MessageTexts(), c.messages) << name;
    EXPECT_EQ(outcome.commandLineError, !c.messages.empty()) << name;
  }
}

TEST_F(StartupFixture, LoadFailuresAreSaidAndStartUpGoesOn) {
  const struct {
    std::vector<std::string> args;
    bool calInfoLoads;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
  } cases[] = {
      {{"/e:/eq/bad.eqp", "/t:/tests/a.tst"},
       true,
       {"engine", "equip /eq/bad.eqp", "test /tests/a.tst", "calinfo /cal/a.bminfo",
        "open test window"},
       {"Error loading equipment file /eq/bad.eqp"}},
      {{"/e:/eq/a.eqp", "/t:/tests/bad.tst"},
       true,
       {"engine", "equip /eq/a.eqp", "apply", "test /tests/bad.tst"},
       {"Error loading test setup file: /tests/bad.tst"}},
      {{"/t:/tests/a.tst"},
       false,
       {"engine", "test /tests/a.tst", "calinfo /cal/a.bminfo"},
       {"Error loading calinfo file: /cal/a.bminfo"}},
  };
  for (const auto& c : cases) {
    ScriptedHost caseHost;
    Startup s(caseHost, settings, log, guard, paths);
    s.hooks = startup.hooks;
    calInfoLoads = c.calInfoLoads;
    calls.clear();
    s.Run(display, c.args);
    EXPECT_EQ(calls, c.calls) << JoinCommandLine(c.args);
    EXPECT_EQ(caseHost.MessageTexts(), c.messages) << JoinCommandLine(c.args);
    for (const auto& m : caseHost.Messages()) {
      EXPECT_EQ(m.buttons, MsgButtons::OK);
      EXPECT_EQ(m.title, "Brimtal");
    }
  }
}

TEST_F(StartupFixture, UnwiredStepsAreSkipped) {
  startup.hooks = {};
  EXPECT_FALSE(startup.Run(display, {"/e:/eq/a.eqp", "/t:/tests/a.tst"}).endProgram);
  EXPECT_TRUE(host.Messages().empty());
}

TEST(InstanceGuard, ASecondLockOnTheSameFileFindsTheFirst) {
  test::TempDir dir;
  const std::string folder = dir.File("run");
  auto first = std::make_unique<LockFileInstanceGuard>("brimtal", folder);
  EXPECT_FALSE(first->AnotherInstanceRunning());
  EXPECT_EQ(first->LockPath(), folder + "/brimtal.lock");
  {
    LockFileInstanceGuard second("brimtal", folder);
    EXPECT_TRUE(second.AnotherInstanceRunning());
    LockFileInstanceGuard otherProgram("interp", folder);
    EXPECT_FALSE(otherProgram.AnotherInstanceRunning());
  }
  first.reset();  // the first copy ends: its lock is gone
  LockFileInstanceGuard third("brimtal", folder);
  EXPECT_FALSE(third.AnotherInstanceRunning());
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(InstanceGuard, AFolderThatIsALinkIsNotTrusted) {
  test::TempDir dir;
  fs::create_directory(dir.File("elsewhere"));
  fs::create_directory_symlink(dir.File("elsewhere"), dir.File("planted"));
  LockFileInstanceGuard guard("brimtal", dir.File("planted"));
  EXPECT_FALSE(guard.AnotherInstanceRunning());
  EXPECT_FALSE(fs::exists(dir.File("elsewhere/brimtal.lock")));
}

}  // namespace
}  // namespace brimtal
