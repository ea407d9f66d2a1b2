// The settings file: private-profile reading, writing that never destroys the file, the
// errors of the settings object, and the program's named settings with their defaults.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/Settings.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

namespace fs = std::filesystem;

ProgramPaths PathsIn(const test::TempDir& dir) {
  fs::create_directories(dir.Path() / "prog");
  return ProgramPaths{dir.File("prog"), "brimtal", dir.File("config")};
}

// A settings object in file mode over a copy of a fixture file.
struct ProfileFixture : ::testing::Test {
  test::TempDir dir;
  clsSetting setting{PathsIn(dir)};
  void SetUp() override {
    fs::copy_file(test::DataFile("shell/settings/profile.ini"), dir.File("prog/Lab.ini"));
    setting.Init("  Lab ", 1);
  }
};

TEST_F(ProfileFixture, InitNamesTheFileAndKeepsTheMode) {
  EXPECT_EQ(setting.AppName(), "Lab");
  EXPECT_EQ(setting.IniPath(), dir.File("prog/Lab.ini"));
  EXPECT_EQ(setting.SaveMode(), 1);
  setting.Init("Other");  // 999: the mode stays
  EXPECT_EQ(setting.SaveMode(), 1);
  EXPECT_EQ(setting.IniPath(), dir.File("prog/Other.ini"));

  clsSetting fresh(PathsIn(dir));
  EXPECT_EQ(fresh.SaveMode(), 0);
  EXPECT_EQ(fresh.GetSettingStr("a", "b", "dflt"), "dflt");  // the first use initialises
  EXPECT_EQ(fresh.AppName(), "brimtal");
}

TEST_F(ProfileFixture, ReadsValuesTheWayPrivateProfilesDo) {
  const std::string longValue(126, 'a');
  const struct {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"Equip", "Dir", "/home/lab/bench"},  // blanks around the name and the value
      {"EQUIP", "dir", "/home/lab/bench"},  // names without letter case
      {"Equip", "File", ""},                // present but empty: not the default
      {"Paths", "Quoted", "/srv/with blanks"},
      {"Paths", "Single", "x"},
      {"Paths", "Unbalanced", "\"abc"},
      {"Paths", "Long", longValue},  // cut at 127 characters, then trimmed
      {"Paths", "Nul", "abc"},
      {"Paths", "NulFirst", ""},
      {"Paths", "Tabbed", "value"},
      {"Paths", "Twice", "first"},  // the first of two entries
      {"Paths", "Missing", "<default>"},
      {"Nowhere", "Dir", "<default>"},
      {"", "orphan", "<default>"},  // keys above the first section belong to none
  };
  for (const auto& c : cases) {
    EXPECT_EQ(setting.GetSettingStr(c.section, c.key, "<default>"), c.expected)
        << c.section << "/" << c.key;
  }
}

TEST_F(ProfileFixture, ReadsIntegersAsTheLeadingInteger) {
  const std::pair<const char*, int> cases[] = {
      {"Plain", 42},   {"Negative", -17}, {"Leading", 12}, {"Blank", 99}, {"Text", 0},
      {"Missing", 99}, {"Small", -32768}, {"Plus", 7},     {"Spaced", 8},
  };
  for (const auto& [key, expected] : cases) {
    EXPECT_EQ(setting.GetSettingInt("Numbers", key, 99), expected) << key;
  }
}

TEST_F(ProfileFixture, AnIntegerBeyondSixteenBitsIsAReadingError) {
  try {
    setting.GetSettingInt("Numbers", "Big", 0);
    FAIL() << "no error";
  } catch (const SettingError& e) {
    EXPECT_EQ(e.Number(), static_cast<std::int32_t>(0x80040203u));
    EXPECT_EQ(e.Source(), "CSetting.GetSettingInt");
    EXPECT_EQ(e.Description(), "Error reading Setting (6, Overflow)");
  }
}

TEST_F(ProfileFixture, ListsSectionsAndKeysInFileOrder) {
  EXPECT_EQ(setting.GetSectionNames(), (std::vector<std::string>{"Equip", "Paths", "Numbers"}));
  const SettingRows rows = setting.GetSettingAll("paths");
  std::vector<std::string> keys;
  for (const auto& row : rows) keys.push_back(row.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"Quoted", "Single", "Unbalanced", "Long", "Nul",
                                            "NulFirst", "Tabbed", "Twice"}));
  EXPECT_EQ(rows[0].second, "/srv/with blanks");
  EXPECT_EQ(rows[7].second, "first");
  EXPECT_TRUE(setting.GetSettingAll("Nowhere").empty());
}

TEST(Settings, ListsStopAtTheirBuffer) {
  test::TempDir dir;
  std::string keys = "[Many]\n";
  std::string sections;
  for (int i = 0; i < 300; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Key%03d", i);
    keys += std::string(name) + "=v\n";
    sections += "[" + std::string(name) + "]\n";
  }
  clsSetting setting(PathsIn(dir));
  setting.Init("Lab", 1);
  // "Key000" NUL ... NUL NUL: 292 names of six characters fit in 2048, the 293rd does not.
  test::WriteFileBytes(setting.IniPath(), keys);
  const SettingRows rows = setting.GetSettingAll("Many");
  ASSERT_EQ(rows.size(), 292u);
  EXPECT_EQ(rows.back(), (std::pair<std::string, std::string>{"Key291", "v"}));
  test::WriteFileBytes(setting.IniPath(), sections);
  const auto names = setting.GetSectionNames();
  ASSERT_EQ(names.size(), 292u);
  EXPECT_EQ(names.back(), "Key291");
}

TEST(Settings, WritingCreatesAndUpdatesTheFileWithCrLf) {
  test::TempDir dir;
  clsSetting setting(PathsIn(dir));
  setting.Init("Brimtal", 1);
  setting.SaveSettingStr("Equip", "Dir", "/lab/eq");
  setting.SaveSettingInt("System", "LogToFile", -3);
  setting.SaveSettingStr("equip", "FILE", "/lab/eq/a.eqp\r\n[System]\r\nLogToFile=1");
  setting.SaveSettingStr("Equip", "Dir", "/lab/new");
  EXPECT_EQ(test::ReadFileBytes(dir.File("prog/Brimtal.ini")),
            "[Equip]\r\nDir=/lab/new\r\nFILE=/lab/eq/a.eqp\r\n\r\n[System]\r\nLogToFile=-3\r\n");
  EXPECT_EQ(setting.GetSettingInt("System", "LogToFile", 0), -3);
  EXPECT_FALSE(fs::exists(dir.File("prog/Brimtal.ini.saving~")));
}

TEST(Settings, WritingChangesOnlyTheLineOfTheKey) {
  test::TempDir dir;
  clsSetting setting(PathsIn(dir));
  setting.Init("Brimtal", 1);
  fs::copy_file(test::DataFile("shell/settings/hand_edited.ini"), setting.IniPath());
  const std::string original = test::ReadFileBytes(setting.IniPath());
  auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };

  // An existing key is rewritten in its place, under its own spelling; every comment, note
  // and empty line of the file stays.
  setting.SaveSettingStr("equip", "file", "/lab/b.eqp");
  std::string expected = replaced(original, "FILE=/lab/a.eqp", "FILE=/lab/b.eqp");
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), expected);

  // A new key goes after the last line of its section that is not empty.
  setting.SaveSettingInt("Equip", "Beeps", 2);
  expected = replaced(expected, "b.eqp\r\n", "b.eqp\r\nBeeps=2\r\n");
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), expected);

  // A new section goes at the end.
  setting.SaveSettingStr("Cables", "Dir", "/lab/cables");
  expected += "\r\n[Cables]\r\nDir=/lab/cables\r\n";
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), expected);

  // Removing a key takes its line only.
  setting.DeleteKey("EQUIP", "Dir");
  expected = replaced(expected, "Dir=/lab/equip\r\n", "");
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), expected);
  EXPECT_EQ(setting.GetSettingStr("Equip", "File", ""), "/lab/b.eqp");
  EXPECT_EQ(setting.GetSettingInt("Equip", "Beeps", 0), 2);
}

TEST(Settings, WritingAFileThatStartsWithAByteOrderMarkChangesItsKey) {
  test::TempDir dir;
  clsSetting setting(PathsIn(dir));
  setting.Init("Brimtal", 1);
  test::WriteFileBytes(setting.IniPath(), "\xEF\xBB\xBF[Equip]\r\nDir=/old\r\n");
  setting.SaveSettingStr("Equip", "Dir", "/new");
  EXPECT_EQ(setting.GetSettingStr("Equip", "Dir", ""), "/new");
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), "[Equip]\r\nDir=/new\r\n");
}

TEST(Settings, AProtectedFileIsLeftAsItWas) {
  test::TempDir dir;
  clsSetting setting(PathsIn(dir));
  setting.Init("Brimtal", 1);
  const std::string original = "[Equip]\r\nDir=/old\r\n";
  test::WriteFileBytes(setting.IniPath(), original);
  fs::permissions(setting.IniPath(), fs::perms::owner_read | fs::perms::group_read);
  setting.SaveSettingStr("Equip", "Dir", "/new");  // silently not kept
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), original);
  try {
    setting.DeleteKey("Equip", "Dir");
    FAIL() << "no error";
  } catch (const SettingError& e) {
    EXPECT_EQ(e.Number(), static_cast<std::int32_t>(0x80040205u));
    EXPECT_EQ(e.Source(), "CSetting.DeleteKey");
    EXPECT_EQ(e.Description(),
              "Error Deleting Key (-2147220987, Error Deleting Key (check if file is protected))");
  }
  EXPECT_EQ(test::ReadFileBytes(setting.IniPath()), original);
  setting.DeleteKey("Equip", "NoSuchKey");  // nothing to change: no error
}

TEST(Settings, DeleteKeyRemovesOnlyThatKey) {
  test::TempDir dir;
  clsSetting setting(PathsIn(dir));
  setting.Init("Brimtal", 1);
  test::WriteFileBytes(setting.IniPath(), "[A]\nx=1\ny=2\n[B]\nx=3\n");
  setting.DeleteKey("a", "X");
  EXPECT_EQ(setting.GetSettingAll("A"), (SettingRows{{"y", "2"}}));
  EXPECT_EQ(setting.GetSettingStr("B", "x", ""), "3");
}

TEST(Settings, StoreModeKeepsValuesPerUser) {
  test::TempDir dir;
  clsSetting setting(PathsIn(dir));
  setting.Init("Lab", 0);
  EXPECT_EQ(setting.StorePath(), dir.File("config/Brimtal/Lab-store.ini"));
  setting.SaveSettingStr("Win", "Top", "  12 ");
  setting.SaveSettingStr("Win", "Name", "abc");
  setting.SaveSettingStr("0", "First", "Win");
  EXPECT_EQ(setting.GetSettingStr("win", "top", ""), "12");  // stored values lose outer blanks
  EXPECT_EQ(setting.GetSettingInt("Win", "Top", 5), 12);
  EXPECT_EQ(setting.GetSettingInt("Win", "Name", 5), 0);
  EXPECT_EQ(setting.GetSettingInt("Win", "Missing", 5), 5);
  EXPECT_EQ(setting.GetSectionNames(), std::vector<std::string>{"First"});
  EXPECT_FALSE(fs::exists(dir.File("prog/Lab.ini")));

  setting.DeleteKey("Win", "");
  EXPECT_TRUE(setting.GetSettingAll("Win").empty());
  try {
    setting.DeleteKey("Win", "Top");
    FAIL() << "no error";
  } catch (const SettingError& e) {
    EXPECT_EQ(e.Description(), "Error Deleting Key (5, Invalid procedure call or argument)");
  }
}

TEST(Settings, SettingsFileLivesInTheProgramFolderOrElseTheUserFolder) {
  test::TempDir dir;
  ProgramPaths writable = PathsIn(dir);
  EXPECT_EQ(writable.SettingsDir(), dir.File("prog"));
  ProgramPaths elsewhere{dir.File("missing"), "brimtal", dir.File("config")};
  EXPECT_EQ(elsewhere.SettingsDir(), dir.File("config/Brimtal"));
  INISettings settings(elsewhere);
  settings.SetEquipDir("/lab");
  EXPECT_EQ(test::ReadFileBytes(dir.File("config/Brimtal/Brimtal.ini")), "[Equip]\r\nDir=/lab\r\n");

  const ProgramPaths exe = ProgramPaths::ForExecutable("/opt/brimtal/bin/brimtal");
  EXPECT_EQ(exe.programDir, "/opt/brimtal/bin");
  EXPECT_EQ(exe.executableName, "brimtal");
  EXPECT_EQ(exe.ProgramPath(), "/opt/brimtal/bin/brimtal");
}

TEST(INISettings, FreshInstallationGivesTheDefaults) {
  test::TempDir dir;
  INISettings settings(PathsIn(dir));
  const std::string program = dir.File("prog");
  EXPECT_EQ(settings.GetEquipDir(), program);
  EXPECT_EQ(settings.GetCalibrationsDir(), program);
  EXPECT_EQ(settings.GetTestSetupsDir(), program);
  EXPECT_EQ(settings.GetTestResultsDir(), program);
  EXPECT_EQ(settings.GetCablesDir(), program);
  EXPECT_EQ(settings.GetFactorsDir(), program);
  EXPECT_EQ(settings.GetProbesDir(), program);
  EXPECT_EQ(settings.GetFreqListDir(), program);
  EXPECT_EQ(settings.GetInsertionLossDir(), program);
  EXPECT_EQ(settings.GetDefaultEquipFile(), "");
  EXPECT_EQ(settings.GetRunTestFormPosition(), "");
  EXPECT_EQ(settings.GetManualFormPosition(), "");
  EXPECT_EQ(settings.GetRunButtonsPosition(), "");
  EXPECT_EQ(settings.GetLogToFile(), 0);
  EXPECT_FALSE(fs::exists(dir.File("prog/Brimtal.ini")));  // reading creates nothing
  EXPECT_EQ(settings.Setting().IniPath(), dir.File("prog/Brimtal.ini"));
  EXPECT_EQ(settings.Setting().SaveMode(), 1);
}

TEST(INISettings, EveryAccessorUsesItsOwnSectionAndKey) {
  test::TempDir dir;
  INISettings settings(PathsIn(dir));
  using Setter = void (INISettings::*)(const std::string&);
  const std::pair<Setter, const char*> setters[] = {
      {&INISettings::SetEquipDir, "Equip/Dir"},
      {&INISettings::SetDefaultEquipFile, "Equip/File"},
      {&INISettings::SetCalibrationsDir, "Calibrations/Dir"},
      {&INISettings::SetTestSetupsDir, "Test_Setups/Dir"},
      {&INISettings::SetTestResultsDir, "Test_Results/Dir"},
      {&INISettings::SetCablesDir, "Cables/Dir"},
      {&INISettings::SetFactorsDir, "Factors/Dir"},
      {&INISettings::SetProbesDir, "Probes/Dir"},
      {&INISettings::SetFreqListDir, "FreqList/Dir"},
      {&INISettings::SetInsertionLossDir, "Insertion_Loss/Dir"},
      {&INISettings::SetRunTestFormPosition, "RunTestForm/Position"},
      {&INISettings::SetManualFormPosition, "ManualForm/Position"},
      {&INISettings::SetRunButtonsPosition, "RunButtons/Position"},
  };
  // Each value is its own place, so a mix-up of sections or keys shows.
  for (const auto& [set, place] : setters) (settings.*set)(std::string("/") + place + "/");
  clsSetting& file = settings.Setting();
  for (const auto& [set, place] : setters) {
    const std::string text = place;
    const auto slash = text.find('/');
    EXPECT_EQ(file.GetSettingStr(text.substr(0, slash), text.substr(slash + 1), "?"),
              "/" + text + "/");
  }
  EXPECT_EQ(settings.GetTestResultsDir(), "/Test_Results/Dir/");  // kept with its "/"
  EXPECT_EQ(settings.GetTestSetupsDir(), "/Test_Setups/Dir/");
  EXPECT_EQ(settings.GetCablesDir(), "/Cables/Dir/");
  EXPECT_EQ(settings.GetRunButtonsPosition(), "/RunButtons/Position/");
  EXPECT_EQ(settings.GetDefaultEquipFile(), "/Equip/File/");
  file.SaveSettingStr("System", "LogToFile", "1");
  EXPECT_EQ(settings.GetLogToFile(), 1);
}

}  // namespace
}  // namespace brimtal
