// The Options menu: folders through the picker, the default equipment file, the desktop
// shortcut; and the folder listing behind the picker window.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "shell/DirectoryList.h"
#include "shell/Options.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

namespace fs = std::filesystem;

struct OptionsFixture : ::testing::Test {
  test::TempDir dir;
  INISettings settings{ProgramPaths{dir.Path().string(), "brimtal", dir.File("config")}};
  ScriptedHost host;
};

TEST_F(OptionsFixture, AChosenFolderIsStoredACancelledOneChangesNothing) {
  settings.SetCablesDir("/lab/cables");
  host.QueueDirectory("/lab/cables-2024");
  EXPECT_TRUE(ChooseSettingsDirectory(host, settings, SettingsDirectory::Cables));
  EXPECT_EQ(settings.GetCablesDir(), "/lab/cables-2024");
  host.QueueDirectory("");  // Cancel, after a folder was chosen in an earlier use
  EXPECT_FALSE(ChooseSettingsDirectory(host, settings, SettingsDirectory::Cables));
  EXPECT_EQ(settings.GetCablesDir(), "/lab/cables-2024");
  EXPECT_EQ(settings.GetProbesDir(), dir.Path().string());  // no other folder touched
}

TEST_F(OptionsFixture, DefaultEquipFileStartsInTheFolderOrOnTheCurrentFile) {
  settings.SetEquipDir("/lab/eq");
  host.QueueFile("/lab/eq/a.eqp");
  EXPECT_TRUE(ChooseDefaultEquipFile(host, settings));
  host.QueueFile("");
  EXPECT_FALSE(ChooseDefaultEquipFile(host, settings));
  EXPECT_EQ(settings.GetDefaultEquipFile(), "/lab/eq/a.eqp");
  const auto& asked = host.FileRequests();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].title, "Select equipment file");
  EXPECT_EQ(asked[0].filter, "Equipment Setup Files (*.eqp)|*.eqp|All Files|*.*");
  EXPECT_FALSE(asked[0].save);
  EXPECT_EQ(asked[0].startDir, "/lab/eq");  // no default yet: the equipment folder
  EXPECT_EQ(asked[0].proposedName, "");
  EXPECT_EQ(asked[1].startDir, "");  // a default exists: it is preselected
  EXPECT_EQ(asked[1].proposedName, "/lab/eq/a.eqp");
}

TEST_F(OptionsFixture, ShortcutStartsTheProgramWithBothFiles) {
  settings.SetEquipDir("/lab/eq");
  settings.SetTestSetupsDir("/lab/tests");
  host.QueueFile("/lab/eq/bench 1.eqp");
  host.QueueFile("/lab/tests/cable$A%1.tst");
  host.QueueInput("  \"Cable A test\" ");
  const std::string written =
      CreateDesktopShortcut(host, settings, "\"/opt/brimtal/bin/brimtal\"", dir.File("Desktop"));
  EXPECT_EQ(written, dir.File("Desktop/Cable A test.desktop"));
  EXPECT_EQ(test::ReadFileBytes(written),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Version=1.0\n"
            "Name=Cable A test\n"
            "Comment=Brimtal RF conducted immunity\n"
            "Exec=\"/opt/brimtal/bin/brimtal\" \"/e:/lab/eq/bench 1.eqp\" "
            "\"/t:/lab/tests/cable\\\\$A%%1.tst\"\n"
            "Terminal=false\n"
            "Categories=Science;Electronics;\n");
  EXPECT_NE(fs::status(written).permissions() & fs::perms::owner_exec, fs::perms::none);
  ASSERT_EQ(host.FileRequests().size(), 2u);
  EXPECT_EQ(host.FileRequests()[0].startDir, "/lab/eq");
  EXPECT_EQ(host.FileRequests()[1].title, "Select Test Definition File");
  EXPECT_EQ(host.FileRequests()[1].filter, "Test Definitions (*.tst)|*.tst");
  EXPECT_EQ(host.FileRequests()[1].startDir, "/lab/tests");
  ASSERT_EQ(host.InputRequests().size(), 1u);
  EXPECT_EQ(host.InputRequests()[0].prompt, "Enter a descriptive title for the shortcut");
  EXPECT_EQ(host.InputRequests()[0].title, "Desktop Shorcut Title");
}

TEST_F(OptionsFixture, ShortcutWithBothFilesCancelledHasNoArguments) {
  host.QueueFile("");
  host.QueueFile("");
  host.QueueInput("Brimtal");
  const std::string written =
      CreateDesktopShortcut(host, settings, "/opt/brimtal/bin/brimtal", dir.File("Desktop"));
  const std::string text = test::ReadFileBytes(written);
  EXPECT_NE(text.find("\nExec=\"/opt/brimtal/bin/brimtal\"\n"), std::string::npos) << text;
}

TEST_F(OptionsFixture, ShortcutNeedsATitleAndSaysWhenItCannotBeWritten) {
  for (std::optional<std::string> title :
       {std::optional<std::string>{}, std::optional<std::string>{"  "}}) {
    host.QueueFile("");
    host.QueueFile("");
    host.QueueInput(title);
    EXPECT_EQ(CreateDesktopShortcut(host, settings, "/opt/b/brimtal", dir.File("Desktop")), "");
  }
  EXPECT_FALSE(fs::exists(dir.File("Desktop")));

  test::WriteFileBytes(dir.File("not-a-folder"), "x");
  host.QueueFile("");
  host.QueueFile("");
  host.QueueInput("Lab");
  EXPECT_EQ(CreateDesktopShortcut(host, settings, "/opt/b/brimtal", dir.File("not-a-folder")), "");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].title, "Error");
  EXPECT_EQ(host.Messages()[0].text, "Error # 76\rPath not found\rOptions.CreateDesktopShortcut\r" +
                                         dir.File("not-a-folder/Lab.desktop"));
}

TEST(DesktopEntry, ValuesAreEscapedForTheirKeys) {
  const std::pair<const char*, const char*> exec[] = {
      {"/plain/path", "\"/plain/path\""},
      {"/with blank/x", "\"/with blank/x\""},
      {"a\"b", "\"a\\\"b\""},
      {"a`b$c", "\"a\\`b\\$c\""},
      {"a\\b", "\"a\\\\b\""},
      {"100%", "\"100%%\""},
  };
  for (const auto& [argument, quoted] : exec) EXPECT_EQ(DesktopExecArgument(argument), quoted);
  EXPECT_EQ(DesktopStringValue("a\\b\nc\td"), "a\\\\b\\nc\\td");
  EXPECT_EQ(DesktopFileName("Cable/A"), "Cable_A.desktop");
  EXPECT_EQ(DesktopFileName(".."), "Brimtal.desktop");
}

TEST(RunForOutput, OutputFailureAndTimeout) {
  EXPECT_EQ(RunForOutput({"sh", "-c", "echo hello"}, 5000), "hello\n");
  EXPECT_EQ(RunForOutput({"sh", "-c", "exit 3"}, 5000), std::nullopt);
  EXPECT_EQ(RunForOutput({"no-such-program-brimtal"}, 5000), std::nullopt);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunForOutput({"sleep", "10"}, 200), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(UserDesktopFolder().starts_with('/'));
}

TEST(DirectoryList, AncestorsTheFolderAndItsSubfolders) {
  test::TempDir dir;
  for (const char* sub : {"lab/beta", "lab/Alpha", "lab/.hidden", "lab/gamma/deep"}) {
    fs::create_directories(dir.Path() / sub);
  }
  test::WriteFileBytes(dir.File("lab/file.txt"), "x");
  const auto entries = ListDirectory(dir.File("lab/gamma/.."));
  ASSERT_TRUE(entries.has_value());
  const fs::path lab = fs::weakly_canonical(dir.Path() / "lab");
  std::vector<std::string> names;
  for (const auto& e : *entries) names.push_back(e.name);
  const int labDepth = static_cast<int>(std::distance(lab.begin(), lab.end())) - 1;
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(entries->front().path, "/");
  EXPECT_EQ(entries->front().depth, 0);
  const std::vector<std::string> tail(names.end() - 4, names.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"lab", "Alpha", "beta", "gamma"}));
  const DirListEntry& folder = (*entries)[entries->size() - 4];
  EXPECT_EQ(folder.path, lab.string());
  EXPECT_TRUE(folder.open);
  EXPECT_EQ(folder.depth, labDepth);
  EXPECT_FALSE(entries->back().open);
  EXPECT_EQ(entries->back().depth, labDepth + 1);
  EXPECT_EQ(entries->back().path, (lab / "gamma").string());
  EXPECT_FALSE(ListDirectory(dir.File("lab/none")).has_value());
  EXPECT_FALSE(ListDirectory(dir.File("lab/file.txt")).has_value());
  EXPECT_FALSE(ListDirectory("").has_value());
}

TEST(DirectoryList, DrivesAreTheRootHomeAndMountedMedia) {
  const std::string mounts =
      "/dev/sda1 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "/dev/sdb1 /media/lab/USB\\040STICK vfat rw 0 0\n"
      "/dev/sdc1 /mnt/archive ext4 ro 0 0\n"
      "/dev/sdd1 /run/media/lab/CAL ext4 rw 0 0\n"
      "tmpfs /mnt tmpfs rw 0 0\n"
      "garbage\n";
  const auto drives = ListDrives("/home/lab", mounts);
  std::vector<std::string> roots;
  for (const auto& d : drives) roots.push_back(d.root);
  EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home/lab", "/media/lab/USB STICK",
                                             "/mnt/archive", "/run/media/lab/CAL"}));
  EXPECT_EQ(drives[2].label, "/media/lab/USB STICK (USB STICK)");
  const std::pair<const char*, std::size_t> owners[] = {
      {"/home/lab/eq", 1},           {"/home/lab", 1}, {"/home/labx", 0},
      {"/media/lab/USB STICK/x", 2}, {"/etc", 0},
  };
  for (const auto& [path, drive] : owners) EXPECT_EQ(DriveOfPath(drives, path), drive) << path;
}

}  // namespace
}  // namespace brimtal
