// Frequency lists: the list file reader, the run frequency generator with the band-switch
// pair, the sort, the builder's tidy and its ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "equipment/Equip.h"
#include "equipment/ReadFreq.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::DataFile;
using test::TempDir;
using test::WriteFileBytes;

struct ReaderCase {
  const char* file;
  int result;
  FreqList entries;
  const char* message;  // with the path appended when it ends in a blank
};

TEST(FileTolist, ReadsListLinesAndRefusesBadFiles) {
  const ReaderCase cases[] = {
      {"gap.lst", 2, {150, 80}, nullptr},
      {"lf-only.lst", 2, {150, 80}, nullptr},
      // First number of a line, after any separators; "-" alone reads as 0.
      {"separators.lst", 5, {150, 80.25, 1.2, 5, 0}, nullptr},
      // Entries read before bad data stay.
      {"letter.lst", -1, {150}, "Bad data in frequency list file"},
      {"empty-first-line.lst", -1, {}, "Unexpected end of file in "},
      {"blank-first-line.lst", -1, {}, "Unexpected end of file in "},
      {"empty.lst", -1, {}, "Unexpected end of file in "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ScriptedHost host;
    const std::string path = DataFile(std::string("lists/") + c.file);
    FreqList list{999};
    EXPECT_EQ(FileTolist(host, path, list), c.result);
    EXPECT_EQ(list, c.entries);
    if (c.message == nullptr) {
      EXPECT_TRUE(host.Messages().empty());
      continue;
    }
    std::string expected = c.message;
    if (expected.back() == ' ') expected += path;
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{expected});
  }
}

TEST(FileTolist, EmptyPathReadsNothingAndAMissingFileShowsTheErrorBox) {
  ScriptedHost host;
  FreqList list{1, 2};
  EXPECT_EQ(FileTolist(host, "", list), 0);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(host.Messages().empty());

  TempDir dir;
  const std::string missing = dir.File("missing.lst");
  EXPECT_EQ(FileTolist(host, missing, list), -1);
  ASSERT_EQ(host.Messages().size(), 1u);
  const auto& box = host.Messages()[0];
  EXPECT_EQ(box.text, "Error # 53\rFile not found\rReadFreq.FileTolist\r" + missing);
  EXPECT_EQ(box.icon, MsgIcon::Critical);
  EXPECT_EQ(box.title, "Error");
}

TEST(FileTolist, ListsBeyondTheEntryBoundAreRefused) {
  TempDir dir;
  std::string lines;
  for (int i = 1; i <= kMaxFreqListEntries; ++i) lines += std::to_string(i) + "\r\n";
  WriteFileBytes(dir.File("full.lst"), lines);
  WriteFileBytes(dir.File("over.lst"), lines + "40000\r\n");
  ScriptedHost host;
  FreqList list;
  EXPECT_EQ(FileTolist(host, dir.File("full.lst"), list), kMaxFreqListEntries);
  EXPECT_EQ(list.back(), kMaxFreqListEntries);
  EXPECT_EQ(FileTolist(host, dir.File("over.lst"), list), -1);
  EXPECT_EQ(host.MessageTexts(),
            std::vector<std::string>{"More than 32767 frequencies in " + dir.File("over.lst")});
}

struct SweepCase {
  const char* name;
  int stepType;
  double start, stop, step;
  std::int32_t ampType;
  double bandSwitch;
  FreqList expected;
};

TEST(MakeFreqList, SweepsWithAndWithoutTheBandSwitchPair) {
  const SweepCase cases[] = {
      {"linear", 0, 150, 230, 10, kAmpGeneric, 200, {150, 160, 170, 180, 190, 200, 210, 220, 230}},
      {"linear past the stop", 0, 150, 230, 30, kAmpGeneric, 0, {150, 180, 210, 240}},
      // n = 2.5 and 3.5: halves go to the even neighbour.
      {"linear, half count rounded down", 0, 150, 165, 10, kAmpGeneric, 0, {150, 160}},
      {"linear, half count rounded up", 0, 150, 175, 10, kAmpGeneric, 0, {150, 160, 170, 180}},
      {"pair in front of the first frequency above B",
       0,
       150,
       230,
       10,
       kAmpIfi,
       200,
       {150, 160, 170, 180, 190, 200, 200, 200.000001, 210, 220, 230}},
      {"B at the start", 0, 200, 230, 10, kAmpIfi, 200, {200, 200, 200.000001, 210, 220, 230}},
      {"B below the range",
       0,
       300,
       1000,
       100,
       kAmpIfi,
       230,
       {300, 400, 500, 600, 700, 800, 900, 1000}},
      {"B at the stop", 0, 150, 230, 40, kAmpIfi, 230, {150, 190, 230}},
      {"B in range, no frequency above it", 0, 150, 224, 30, kAmpIfi, 220, {150, 180, 210}},
      {"logarithmic", 1, 150, 160, 5, kAmpGeneric, 0, {150, 157.5, 160}},
      {"logarithmic with the pair",
       1,
       150,
       160,
       5,
       kAmpIfi,
       155,
       {150, 155, 155.000001, 157.5, 160}},
      {"no pair in front of the final stop", 1, 150, 160, 5, kAmpIfi, 158, {150, 157.5, 160}},
      {"unknown step type", 3, 150, 160, 5, kAmpGeneric, 0, {}},
      {"linear step of zero", 0, 150, 160, 0, kAmpGeneric, 0, {}},
      {"linear step below zero", 0, 150, 160, -5, kAmpGeneric, 0, {}},
      {"logarithmic start of zero", 1, 0, 160, 5, kAmpGeneric, 0, {}},
      {"logarithmic step of zero", 1, 150, 160, 0, kAmpGeneric, 0, {}},
      {"linear beyond the entry bound", 0, 1, 1000, 0.001, kAmpGeneric, 0, {}},
      {"logarithmic beyond the entry bound", 1, 1, 1000, 0.001, kAmpGeneric, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    EquipmentConfig equipment;
    equipment.AmpType = c.ampType;
    equipment.AmpBandSwitchFreq = c.bandSwitch;
    FreqList list{999};
    const int count = MakeFreqList(host, equipment, c.stepType, c.start, c.stop, c.step, list, "");
    EXPECT_EQ(count, static_cast<int>(c.expected.size()));
    ASSERT_EQ(list.size(), c.expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
      EXPECT_NEAR(list[i], c.expected[i], 1e-9) << "entry " << i + 1;
    }
    EXPECT_TRUE(host.Messages().empty());
  }
}

TEST(MakeFreqList, ASweepThatMeetsTheBandSwitchByRoundingStaysAscending) {
  // 0.15 + 3997 x 0.05 comes out a hair above 200 in binary; it is the band-switch frequency
  // itself, so the pair follows it and the list never steps back (a calibration made from it
  // must load again).
  ScriptedHost host;
  EquipmentConfig equipment;
  equipment.AmpType = kAmpIfi;
  equipment.AmpBandSwitchFreq = 200;
  FreqList list;
  const int count = MakeFreqList(host, equipment, kStepLinear, 0.15, 200.2, 0.05, list, "");
  ASSERT_EQ(count, 4002 + 2);
  ASSERT_EQ(list.size(), 4004u);
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
  const auto pair = std::find(list.begin(), list.end(), 200.000001);
  ASSERT_NE(pair, list.end());
  const auto at = static_cast<std::size_t>(pair - list.begin());
  EXPECT_EQ(at, 3999u);
  EXPECT_EQ(list[at - 2], 200.0);
  EXPECT_EQ(list[at - 1], 200.0);
  EXPECT_NEAR(list[at - 3], 199.95, 1e-9);
  EXPECT_NEAR(list[at + 1], 200.05, 1e-9);
}

TEST(MakeFreqList, FromAListFileStopsAtTheFirstEntryAboveStop) {
  ScriptedHost host;
  EquipmentConfig equipment;
  equipment.AmpType = kAmpIfi;
  equipment.AmpBandSwitchFreq = 110;
  FreqList list;
  // The file holds 80, 150, 100, 300, 120: 80 is below start, 300 ends the walk.
  EXPECT_EQ(MakeFreqList(host, equipment, kStepListFile, 100, 200, 0, list,
                         DataFile("lists/unsorted.lst")),
            2);
  EXPECT_EQ(list, (FreqList{150, 100}));
  EXPECT_EQ(MakeFreqList(host, equipment, kStepListFile, 500, 600, 0, list,
                         DataFile("lists/unsorted.lst")),
            0);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(
      MakeFreqList(host, equipment, kStepListFile, 100, 200, 0, list, DataFile("lists/letter.lst")),
      0);
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Bad data in frequency list file"});
}

TEST(MakeFreqList, TheConductedImmunitySweepInOnePercentSteps) {
  ScriptedHost host;
  FreqList list;
  const int count = MakeFreqList(host, EquipmentConfig{}, kStepLog, 0.15, 80, 1, list, "");
  ASSERT_EQ(count, static_cast<int>(list.size()));
  // 0.15 x 1.01^631 = 79.7 is the last step below 80 MHz; the stop follows it.
  EXPECT_EQ(count, 633);
  EXPECT_EQ(list.front(), 0.15);
  EXPECT_EQ(list.back(), 80);
  EXPECT_NEAR(list[631], 0.15 * std::pow(1.01, 631), 1e-9);
  for (std::size_t i = 1; i + 1 < list.size(); ++i) {
    EXPECT_NEAR(list[i] / list[i - 1], 1.01, 1e-12);
  }
}

TEST(ExampleLists, TheConductedImmunitySweepIsWhatTheBuilderMakes) {
  // The example list is the builder's logarithmic range of 0.15 to 80 MHz in 1 % steps.
  const std::string path = test::ExampleFile("bench/iec61000-4-6.lst");
  const auto range = LogRange(0.15, 80, 1, kMaxFreqListEntries);
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(test::ReadFileBytes(path), FreqListText(*range) + "\r\n");
  ScriptedHost host;
  FreqList list;
  EXPECT_EQ(FileTolist(host, path, list), 633);
}

TEST(SortFreqs, SortsAscendingAndLetsEventsRun) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(-50, 50);
  for (std::size_t n : {0u, 1u, 2u, 3u, 10u, 101u, 2000u}) {
    SCOPED_TRACE(n);
    FreqList list(n);
    for (auto& f : list) f = pick(random) / 4.0;  // many repeats, negatives and zeros
    FreqList expected = list;
    std::sort(expected.begin(), expected.end());
    ScriptedHost host;
    SortFreqs(list, host);
    EXPECT_EQ(list, expected);
    if (n > 1) {
      EXPECT_GT(host.DoEventsCalls(), 0);
    }
  }
}

TEST(TidyFreqs, KeepsEachFrequencyOnceInOrder) {
  struct Case {
    FreqList before, after;
  };
  const Case cases[] = {
      {{30, 10, 20, 10}, {10, 20, 30}},
      // Three and more equal entries meeting.
      {{5, 5, 5}, {5}},
      {{1, 2, 2, 2, 2, 3, 3, 3}, {1, 2, 3}},
      // Entries that print alike are one frequency.
      {{1.0000000000000002, 1, 2}, {1, 2}},
      // A 0 does not cut the list.
      {{0, 0.15, 0, 80, 0.15}, {0, 0.15, 80}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    ScriptedHost host;
    FreqList list = c.before;
    TidyFreqs(list, host);
    EXPECT_EQ(list, c.after);
  }
}

TEST(FreqListText, SixDecimalsAtMostOneAtLeastJoinedByCrLf) {
  EXPECT_EQ(FreqListText({1, 0.15, 157.5, 200.000001, 0.1234567, 1000}),
            "1.0\r\n0.15\r\n157.5\r\n200.000001\r\n0.123457\r\n1000.0");
  EXPECT_EQ(FreqListText({80}), "80.0");
  EXPECT_EQ(FreqListText({}), "");
}

TEST(BuilderRanges, GenerateTheirEntriesWithinTheRoomLeft) {
  EXPECT_EQ(LinearRange(1, 10, 5, 100), (FreqList{1, 6, 10}));
  EXPECT_EQ(LinearRange(1, 1, 5, 100), (FreqList{1}));
  EXPECT_EQ(LogRange(150, 160, 5, 100), (FreqList{150, 157.5, 160}));
  EXPECT_EQ(HarmonicRange(100, 3, 100), (FreqList{100, 200, 300}));
  // Exactly the room left fits; one more does not.
  EXPECT_EQ(LinearRange(1, 3, 1, 3), (FreqList{1, 2, 3}));
  EXPECT_EQ(LinearRange(1, 3, 1, 2), std::nullopt);
  EXPECT_EQ(LogRange(150, 160, 5, 3), (FreqList{150, 157.5, 160}));
  EXPECT_EQ(LogRange(150, 160, 5, 2), std::nullopt);
  EXPECT_EQ(HarmonicRange(100, 3, 2), std::nullopt);
  // A step too small to move the frequency ends at the bound instead of running forever.
  EXPECT_EQ(LinearRange(1e6, 2e6, 1e-12, kMaxFreqListEntries), std::nullopt);
  EXPECT_EQ(LogRange(1e6, 2e6, 1e-20, kMaxFreqListEntries), std::nullopt);
  // Frequencies must stay finite.
  EXPECT_EQ(HarmonicRange(1e308, 3, 100), std::nullopt);
}

}  // namespace
}  // namespace brimtal
