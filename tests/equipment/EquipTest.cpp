// The equipment file: byte-exact writing, reading 17 lines, and the error boxes.
#include <gtest/gtest.h>

#include <filesystem>

#include "equipment/Equip.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::DataFile;
using test::ReadFileBytes;
using test::TempDir;

struct EquipFixture : ::testing::Test {
  ScriptedHost host;
  std::vector<std::string> log;
  Equip equip{host, [this](const std::string& line) { log.push_back(line); }};
};

TEST_F(EquipFixture, SaveWritesTwentySixLinesInTheDefinitionStyle) {
  TempDir dir;
  equip.SetSigGenFile("/lab/sg.sg");
  equip.SetSigGenAddr(19);
  equip.SetPwrMtrAddr(13);
  equip.SetPmCoupling(2);
  equip.SetPmBandSwitchFreq(0.5);
  equip.SetProbeFile("/lab/p.prb");
  equip.SetAmpType(kAmpIfi);
  equip.SetIfiMonitorPower(true);
  equip.SetAmpBandSwitchFreq(230);
  ASSERT_EQ(equip.SaveDef(dir.File("x.eqp")), 1);
  EXPECT_EQ(ReadFileBytes(dir.File("x.eqp")),
            "/lab/sg.sg\r\n 19 \r\n\r\n 0 \r\n\r\n 13 \r\n 2 \r\n .5 \r\n\r\n\r\n\r\n\r\n"
            "/lab/p.prb\r\n 1 \r\nTrue\r\nFalse\r\n 230 \r\n"
            "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(log, std::vector<std::string>{"Equip file saved: " + dir.File("x.eqp")});

  Equip reread(host, nullptr);
  ASSERT_EQ(reread.LoadDef(dir.File("x.eqp")), 1);
  EXPECT_EQ(reread.Config(), equip.Config());
}

TEST_F(EquipFixture, ASeventeenLineFileIsComplete) {
  const auto path = DataFile("equipment/seventeen-lines.eqp");
  const std::string folder = DataFile("equipment");
  ASSERT_EQ(equip.LoadDef(path), 1);
  const EquipmentConfig& c = equip.Config();
  EXPECT_EQ(c.SigGenFile, folder + "/sim/siggen.sg");
  EXPECT_EQ(c.MeterAddr, 18);
  EXPECT_EQ(c.PwrMtrFile, folder + "/sim/powermeter.pm");
  EXPECT_EQ(c.PmCoupling, 1);
  EXPECT_DOUBLE_EQ(c.PmBandSwitchFreq, 230);
  EXPECT_EQ(c.ProbeFile, folder + "/probe.prb");
  EXPECT_EQ(c.AmpType, 1);
  EXPECT_TRUE(c.IfiMonitorPower);
  EXPECT_FALSE(c.IfiAttenBetweenSteps);
  EXPECT_DOUBLE_EQ(c.AmpBandSwitchFreq, 215.5);
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(log, std::vector<std::string>{"Equip file: " + path});
}

TEST_F(EquipFixture, ReadFailuresShowTheErrorBoxAndKeepWhatWasRead) {
  const auto bad = DataFile("equipment/bad-address.eqp");
  EXPECT_EQ(equip.LoadDef(bad), 0);
  EXPECT_EQ(equip.SigGenFile(), DataFile("equipment/a.sg"));
  EXPECT_EQ(equip.MeterFile(), DataFile("equipment/b.mtr"));
  TempDir dir;
  EXPECT_EQ(equip.LoadDef(dir.File("none.eqp")), 0);
  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_EQ(host.Messages()[0].text, "Error # 13\rType mismatch\rEquip.LoadDef\r" + bad);
  EXPECT_EQ(host.Messages()[0].title, "Error");
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(host.Messages()[1].text,
            "Error # 53\rFile not found\rEquip.LoadDef\r" + dir.File("none.eqp"));
  EXPECT_TRUE(log.empty());
}

// Relative paths name files beside the equipment file, so that a set of files works from any
// working folder; absolute paths and empty lines stay as they are.
TEST_F(EquipFixture, RelativePathsAreTakenFromTheEquipmentFilesFolder) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "set");
  test::WriteFileBytes(dir.File("set/x.eqp"),
                       "gen.sg\r\n 19 \r\n../defs/meter.mtr\r\n 18 \r\n/abs/pm.pm\r\n 13 \r\n"
                       " 1 \r\n 220 \r\n\r\n./fwd.fac\r\n \r\n/abs/amp.pwr\r\nsub/probe.prb\r\n"
                       " 1 \r\nFalse\r\nFalse\r\n 220 \r\n");
  const std::string folder = dir.File("set");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const int loaded = equip.LoadDef("set/x.eqp");
  std::filesystem::current_path(before);
  ASSERT_EQ(loaded, 1);
  const EquipmentConfig& c = equip.Config();
  EXPECT_EQ(c.SigGenFile, folder + "/gen.sg");
  EXPECT_EQ(c.MeterFile, dir.File("defs/meter.mtr"));
  EXPECT_EQ(c.PwrMtrFile, "/abs/pm.pm");
  EXPECT_EQ(c.CableLossFile, "");
  EXPECT_EQ(c.FwdPortFile, folder + "/fwd.fac");
  EXPECT_EQ(c.RevPortFile, " ");
  EXPECT_EQ(c.MaxAmpPowerFile, "/abs/amp.pwr");
  EXPECT_EQ(c.ProbeFile, folder + "/sub/probe.prb");
}

TEST_F(EquipFixture, AShortFileIsInputPastEnd) {
  TempDir dir;
  test::WriteFileBytes(dir.File("short.eqp"), "a.sg\r\n 19 \r\n");
  EXPECT_EQ(equip.LoadDef(dir.File("short.eqp")), 0);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text,
            "Error # 62\rInput past end of file\rEquip.LoadDef\r" + dir.File("short.eqp"));
}

TEST_F(EquipFixture, AFailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const auto path = dir.File("kept.eqp");
  test::WriteFileBytes(path, "previous");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_EQ(equip.SaveDef(path), 0);
  EXPECT_EQ(ReadFileBytes(path), "previous");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "Error # 70\rPermission denied\rEquip.SaveDef\r" + path);
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace brimtal
