// The configuration window's rules on plain values: what it shows of an instrument, how a
// chosen definition becomes the configuration's, and checking and applying the entries.
#include <gtest/gtest.h>

#include "equipment/Equip.h"
#include "equipment/EquipmentEditing.h"
#include "shell/Brimtal.h"
#include "shell/Clock.h"
#include "shell/LogFile.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::DataFile;
using test::ExampleFile;
using test::TempDir;

const std::string kSigGenFile = ExampleFile("bench/sim-siggen.sg");
const std::string kMeterFile = ExampleFile("bench/sim-analyser.mtr");
const std::string kPmFile = ExampleFile("bench/sim-powermeter.pm");

struct EditingFixture : ::testing::Test {
  TempDir dir;
  VirtualClock clock;
  ScriptedHost host{&clock};
  FixedWallClock wall;
  Brimtal context{host, clock, wall, ProgramPaths{dir.Path().string(), "brimtal", dir.File("c")}};
  Equip& equip = context.equip;
  EquipmentEditing editing{host, context.equip, context.sigGen, context.meter, context.pm};

  // Entries with all three instruments named and valid addresses.
  EquipmentEntries ValidEntries() const {
    EquipmentEntries e;
    e.sigGenPath = kSigGenFile;
    e.sigGenAddress = "19";
    e.meterPath = kMeterFile;
    e.meterAddress = "18";
    e.pwrMtrPath = kPmFile;
    e.pwrMtrAddress = "13";
    e.ifiBandSwitch = "230";
    e.coupling = 1;
    e.ampType = kAmpGeneric;
    return e;
  }
};

TEST_F(EditingFixture, ShowingAnInstrumentLoadsItsDefinitionAndShowsTheConfiguredAddress) {
  equip.SetSigGenFile(kSigGenFile);
  equip.SetSigGenAddr(5);
  equip.SetPwrMtrFile(kPmFile);
  equip.SetPwrMtrAddr(7);

  const InstrumentShown sigGen = editing.ShowInstrument(EquipInstrument::SigGen);
  EXPECT_EQ(sigGen.path, kSigGenFile);
  EXPECT_EQ(sigGen.name, "Brimtal SimGen 3000 (simulated bench)");
  EXPECT_EQ(sigGen.address, "5");
  EXPECT_EQ(context.sigGen.SigGenFileName(), kSigGenFile);
  // The driver keeps the file's own address until the entries are applied.
  EXPECT_EQ(context.sigGen.SigGenAddress(), 19);

  const InstrumentShown pm = editing.ShowInstrument(EquipInstrument::PowerMeter);
  EXPECT_EQ(pm.name, "Brimtal SimPower 2 (simulated bench)");
  EXPECT_EQ(pm.address, "7");

  // No file named: nothing shown and nothing loaded.
  const InstrumentShown meter = editing.ShowInstrument(EquipInstrument::Meter);
  EXPECT_TRUE(meter.path.empty() && meter.name.empty() && meter.address.empty());
  EXPECT_TRUE(context.meter.MeterFileName().empty());
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(EditingFixture, AMissingDefinitionIsReportedByItsDriverAndItsPathStillShown) {
  const std::string missing = dir.File("gone.mtr");
  equip.SetMeterFile(missing);
  equip.SetMeterAddr(18);
  const InstrumentShown shown = editing.ShowInstrument(EquipInstrument::Meter);
  EXPECT_EQ(shown.path, missing);
  EXPECT_EQ(shown.address, "18");
  ASSERT_EQ(host.MessageTexts(),
            std::vector<std::string>{"Error # 53\rFile not found\rMeter.LoadFile\r" + missing});
}

TEST_F(EditingFixture, ASelectedDefinitionBringsItsFileAndAddressIntoTheConfiguration) {
  equip.SetMeterAddr(4);
  editing.GiveConfiguredAddress(EquipInstrument::Meter);
  EXPECT_EQ(context.meter.MeterAddress(), 4);

  // Nothing chosen: the configuration keeps its address and names no file.
  InstrumentShown shown = editing.TakeDriverSelection(EquipInstrument::Meter);
  EXPECT_TRUE(shown.path.empty() && shown.address.empty());
  EXPECT_EQ(equip.MeterAddr(), 4);

  // A file chosen: its path and its own address are taken.
  ASSERT_TRUE(context.meter.LoadFile(kMeterFile));
  shown = editing.TakeDriverSelection(EquipInstrument::Meter);
  EXPECT_EQ(equip.MeterFile(), kMeterFile);
  EXPECT_EQ(equip.MeterAddr(), 18);
  EXPECT_EQ(shown.path, kMeterFile);
  EXPECT_EQ(shown.name, "Brimtal SimSpec 3 (simulated bench)");
  EXPECT_EQ(shown.address, "18");
}

TEST_F(EditingFixture, TheConfigurationFollowsADriverThatWasGivenAnotherDefinition) {
  InstrumentShown shown;
  EXPECT_FALSE(editing.FollowDriver(EquipInstrument::SigGen, shown));  // the driver has none

  equip.SetSigGenFile(kSigGenFile);
  equip.SetSigGenAddr(3);
  ASSERT_TRUE(context.sigGen.LoadFile(kSigGenFile));
  EXPECT_FALSE(editing.FollowDriver(EquipInstrument::SigGen, shown));  // the same file
  EXPECT_EQ(equip.SigGenAddr(), 3);

  TempDir other;
  const std::string copy = other.File("copy.sg");
  test::WriteFileBytes(copy, test::ReadFileBytes(kSigGenFile));
  ASSERT_TRUE(context.sigGen.LoadFile(copy));
  ASSERT_TRUE(editing.FollowDriver(EquipInstrument::SigGen, shown));
  EXPECT_EQ(equip.SigGenFile(), copy);
  EXPECT_EQ(equip.SigGenAddr(), 19);
  EXPECT_EQ(shown.path, copy);
}

TEST_F(EditingFixture, AddressesAreWholeNumbersFromZeroToThirty) {
  const struct {
    const char* text;
    EntryFault fault;
    int stored;  // in the record afterwards; -99: the record keeps its old address
  } cases[] = {
      {"30", EntryFault::None, 30},         {"0", EntryFault::None, 0},
      {" 7 ", EntryFault::None, 7},         {"&H1E", EntryFault::None, 30},
      {"29.5", EntryFault::None, 30},  // halves go to the even neighbour
      {"30.5", EntryFault::None, 30},       {"-0.4", EntryFault::None, 0},
      {"31", EntryFault::OutOfRange, 31},   {"-1", EntryFault::OutOfRange, -1},
      {"30.6", EntryFault::OutOfRange, 31}, {"99999999999999999999", EntryFault::OutOfRange, -99},
      {"", EntryFault::NotNumber, -99},     {"19a", EntryFault::NotNumber, -99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    equip.SetSigGenAddr(12);
    context.sigGen.SetSigGenAddress(12);
    EquipmentEntries e = ValidEntries();
    e.sigGenAddress = c.text;
    const EntryCheck check = editing.Apply(e);
    EXPECT_EQ(check.fault, c.fault);
    EXPECT_EQ(check.box, c.fault == EntryFault::None ? EntryBox::None : EntryBox::SigGenAddress);
    EXPECT_EQ(equip.SigGenAddr(), c.stored == -99 ? 12 : c.stored);
    // Only an accepted address reaches the driver.
    EXPECT_EQ(context.sigGen.SigGenAddress(), c.fault == EntryFault::None ? c.stored : 12);
  }
}

TEST_F(EditingFixture, TheFirstRefusalStopsTheChecksInTheirOrder) {
  equip.SetMeterFile("old.mtr");
  equip.SetCableLossFile("old.los");
  EquipmentEntries e = ValidEntries();
  e.sigGenAddress = "40";
  e.meterAddress = "x";
  e.cableLossFile = "new.los";
  EntryCheck check = editing.Apply(e);
  EXPECT_EQ(check.box, EntryBox::SigGenAddress);
  EXPECT_EQ(check.fault, EntryFault::OutOfRange);
  // Nothing after the refused box was taken.
  EXPECT_EQ(equip.MeterFile(), "old.mtr");
  EXPECT_EQ(equip.CableLossFile(), "old.los");

  e.sigGenAddress = "19";
  check = editing.Apply(e);
  EXPECT_EQ(check.box, EntryBox::MeterAddress);
  EXPECT_EQ(check.fault, EntryFault::NotNumber);
  EXPECT_EQ(equip.MeterFile(), kMeterFile);

  e.meterAddress = "18";
  e.pwrMtrAddress = "-3";
  EXPECT_EQ(editing.Apply(e).box, EntryBox::PwrMtrAddress);
  e.pwrMtrAddress = "13";
  EXPECT_TRUE(editing.Apply(e).Passed());
  EXPECT_EQ(context.pm.PmAddress(), 13);
}

TEST_F(EditingFixture, AnInstrumentWithoutAFileIsLeftOutOfTheChecks) {
  for (const char* path : {"", "x"}) {
    SCOPED_TRACE(path);
    EquipmentEntries e = ValidEntries();
    e.meterPath = path;
    e.meterAddress = "not an address";
    context.meter.SetMeterAddress(9);
    EXPECT_TRUE(editing.Apply(e).Passed());
    EXPECT_EQ(equip.MeterFile(), path);
    EXPECT_EQ(context.meter.MeterAddress(), 9);
  }
  EquipmentEntries e = ValidEntries();
  e.meterPath = "ab";  // two characters name a file
  e.meterAddress = "not an address";
  EXPECT_EQ(editing.Apply(e).box, EntryBox::MeterAddress);
}

TEST_F(EditingFixture, TheBandSwitchOfTheIfiAmplifierLiesFrom200To230MHz) {
  const struct {
    const char* text;
    EntryFault fault;
    double stored;  // 0: nothing stored
  } cases[] = {
      {"200", EntryFault::None, 200},           {"230", EntryFault::None, 230},
      {" 215.5 ", EntryFault::None, 215.5},     {"199.9", EntryFault::OutOfRange, 199.9},
      {"230.1", EntryFault::OutOfRange, 230.1}, {"high", EntryFault::NotNumber, 0},
      {"", EntryFault::NotNumber, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    equip.SetAmpBandSwitchFreq(0);
    equip.SetPmBandSwitchFreq(0);
    context.pm.PmSetBandSwitchFreq(0);
    equip.SetProbeFile("");
    EquipmentEntries e = ValidEntries();
    e.ampType = kAmpIfi;
    e.ifiBandSwitch = c.text;
    e.probeFile = "p.prb";
    const EntryCheck check = editing.Apply(e);
    EXPECT_EQ(check.fault, c.fault);
    EXPECT_EQ(check.box, c.fault == EntryFault::None ? EntryBox::None : EntryBox::IfiBandSwitch);
    // A number is stored before its range is checked, and stays when it is refused.
    EXPECT_DOUBLE_EQ(equip.AmpBandSwitchFreq(), c.stored);
    EXPECT_DOUBLE_EQ(equip.Config().PmBandSwitchFreq, c.stored);
    EXPECT_DOUBLE_EQ(context.pm.PmGetDefinition().BandSwitchFreq, c.stored);
    EXPECT_EQ(equip.ProbeFile(), c.fault == EntryFault::None ? "p.prb" : "");
  }
}

TEST_F(EditingFixture, WithTheGenericAmplifierTheBandSwitchIsNotLookedAt) {
  equip.SetAmpBandSwitchFreq(215);
  EquipmentEntries e = ValidEntries();
  e.ampType = kAmpGeneric;
  e.ifiBandSwitch = "not a frequency";
  EXPECT_TRUE(editing.Apply(e).Passed());
  EXPECT_DOUBLE_EQ(equip.AmpBandSwitchFreq(), 215);
  EXPECT_EQ(equip.AmpType(), kAmpGeneric);
}

TEST_F(EditingFixture, FactorPathsOptionsAndTickedBoxesAreApplied) {
  equip.SetIfiMonitorPower(true);
  equip.SetIfiAttenBetweenSteps(true);
  equip.SetPmCoupling(2);
  equip.SetAmpType(kAmpIfi);
  EquipmentEntries e = ValidEntries();
  e.cableLossFile = "/f/c.los";
  e.fwdPortFile = "/f/fwd.fac";
  e.revPortFile = "/f/rev.fac";
  e.maxAmpPowerFile = "/f/amp.pwr";
  e.probeFile = "/f/p.prb";
  e.coupling = kNoChoice;
  e.ampType = kNoChoice;
  ASSERT_TRUE(editing.Apply(e).Passed());
  const EquipmentConfig& c = equip.Config();
  EXPECT_EQ(c.CableLossFile, "/f/c.los");
  EXPECT_EQ(c.FwdPortFile, "/f/fwd.fac");
  EXPECT_EQ(c.RevPortFile, "/f/rev.fac");
  EXPECT_EQ(c.MaxAmpPowerFile, "/f/amp.pwr");
  EXPECT_EQ(c.ProbeFile, "/f/p.prb");
  // No option selected keeps the codes; cleared boxes were applied when they were cleared.
  EXPECT_EQ(c.PmCoupling, 2);
  EXPECT_EQ(c.AmpType, kAmpIfi);
  EXPECT_TRUE(c.IfiMonitorPower);
  EXPECT_TRUE(c.IfiAttenBetweenSteps);

  equip.SetIfiMonitorPower(false);
  equip.SetIfiAttenBetweenSteps(false);
  e.coupling = 0;
  e.ampType = kAmpGeneric;
  e.ifiPwrTicked = true;
  e.ifiAttenTicked = true;
  ASSERT_TRUE(editing.Apply(e).Passed());
  EXPECT_EQ(c.PmCoupling, 0);
  EXPECT_EQ(c.AmpType, kAmpGeneric);
  EXPECT_TRUE(c.IfiMonitorPower);
  EXPECT_TRUE(c.IfiAttenBetweenSteps);
}

TEST_F(EditingFixture, OnlyAFileThatReadsAsAFactorTableIsAccepted) {
  EXPECT_TRUE(editing.ReadsAsFactorFile(ExampleFile("bench/monitor-probe.prb")));
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_FALSE(editing.ReadsAsFactorFile(DataFile("equipment/bad-data.prb")));
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Bad data in calibration file"});
}

}  // namespace
}  // namespace brimtal
