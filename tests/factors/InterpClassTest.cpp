// Factor tables: reading factor files, interpolation, merging, the sweep, saving and printing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "factors/InterpClass.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using Points = std::vector<std::pair<double, float>>;

Points PointsOf(const InterpClass& table) {
  Points points;
  for (const auto& p : table.Points()) points.emplace_back(p.Freq, p.Value);
  return points;
}

std::string FactorFile(const Points& points) {
  std::string text;
  for (const auto& [f, v] : points) text += std::to_string(f) + " " + std::to_string(v) + "\r\n";
  return text;
}

class InterpClassTest : public ::testing::Test {
 protected:
  // Writes the text to a file of the temporary folder and reads it into the table.
  int Load(const std::string& text, const std::string& name = "table.fac") {
    return table_.InitInterp(Write(text, name));
  }
  int Include(const std::string& text, const std::string& name = "more.fac") {
    return table_.IncludeInterp(Write(text, name));
  }
  std::string Write(const std::string& text, const std::string& name) {
    const std::string path = dir_.File(name);
    test::WriteFileBytes(path, text);
    return path;
  }
  float Value(double freq, int mode = kInterpLinear, int rule = kStepHigherValue) {
    float result = -12345;
    EXPECT_EQ(table_.InterpVal(freq, result, mode, rule), 1) << freq;
    return result;
  }

  test::TempDir dir_;
  ScriptedHost host_;
  InterpClass table_{host_};
};

// ---- reading ----

TEST_F(InterpClassTest, SkipsHeaderLinesAndInterpolatesLinearlyAndLogarithmically) {
  ASSERT_EQ(table_.InitInterp(test::DataFile("factors/title_units.fac")), 1);
  EXPECT_EQ(PointsOf(table_), (Points{{1, 0}, {10, 2}}));
  EXPECT_FLOAT_EQ(Value(5.5, kInterpLinear), 1.0f);
  EXPECT_NEAR(Value(5.5, kInterpLogarithmic), 2 * std::log10(5.5), 1e-6);
  EXPECT_FLOAT_EQ(Value(1, kInterpLogarithmic), 0.0f);
  EXPECT_FLOAT_EQ(Value(10, kInterpLogarithmic), 2.0f);
  EXPECT_EQ(table_.MinFreq(), 1);
  EXPECT_EQ(table_.MaxFreq(), 10);
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(InterpClassTest, FrequenciesOutsideTheTableLeaveTheResultAlone) {
  ASSERT_EQ(table_.InitInterp(test::DataFile("factors/title_units.fac")), 1);
  for (double f : {0.999999, 10.000001, -1.0, std::nan("")}) {
    float result = 42;
    EXPECT_EQ(table_.InterpVal(f, result, kInterpLinear, kStepHigherValue), 0) << f;
    EXPECT_EQ(result, 42) << f;
  }
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(InterpClassTest, DataLinesAndHeaderLines) {
  struct Case {
    std::string line;
    bool data;
    double freq;
    float value;
  };
  const Case cases[] = {
      {"150,,,-1.5", true, 150, -1.5f},
      {"  150\t-1.5", true, 150, -1.5f},
      {",\t 150 , -1.5 7 8", true, 150, -1.5f},
      {"150 -1.5 +", true, 150, -1.5f},
      {"1.2.3 4", true, 1.2, 4},
      {".5 -.25", true, 0.5, -0.25f},
      {"+7. 3", true, 7, 3},
      {"- 3", true, 0, 3},  // a number text without digits reads as 0
      {"1.5E+2, 3", false, 0, 0},
      {"1.5e2 3", false, 0, 0},
      {"150 dB 3", false, 0, 0},
      {"150;3", false, 0, 0},
      {"150", false, 0, 0},
      {"  ,, ", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("line \"" + c.line + "\"");
    host_.ClearMessages();
    // A header line before two data lines is skipped; a data line becomes a third point.
    ASSERT_EQ(Load(c.line + "\r\n1000, 9\r\n2000, 8\r\n"), 1);
    EXPECT_TRUE(host_.Messages().empty());
    Points expected{{1000, 9}, {2000, 8}};
    if (c.data) expected.insert(expected.begin(), {c.freq, c.value});
    EXPECT_EQ(PointsOf(table_), expected);
  }
}

TEST_F(InterpClassTest, RunsOfEqualValuesKeepTheirFirstAndLastPoint) {
  const std::pair<std::string, Points> cases[] = {
      {"1 5\r\n2 5\r\n3 5\r\n4 5\r\n5 7\r\n", {{1, 5}, {4, 5}, {5, 7}}},
      {"1 5\n2 5\n3 5", {{1, 5}, {3, 5}}},
      {"1 5\n2 5\n", {{1, 5}, {2, 5}}},
      {"1 4\n2 5\n3 5\n4 5\n", {{1, 4}, {2, 5}, {4, 5}}},
      {"1 5\n2 5\n3 7\n4 7\n5 7\n6 5\n", {{1, 5}, {2, 5}, {3, 7}, {5, 7}, {6, 5}}},
      // Compression works between neighbours in frequency, after the sort: the 10 MHz point
      // of this unsorted file is the end of the table, not part of a run.
      {"1 5\n10 5\n3 5\n4 7\n", {{1, 5}, {3, 5}, {4, 7}, {10, 5}}},
      {"4 5\n2 5\n3 5\n1 5\n5 6\n", {{1, 5}, {4, 5}, {5, 6}}},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    ASSERT_EQ(Load(text), 1);
    EXPECT_EQ(PointsOf(table_), expected);
    EXPECT_EQ(table_.LastIndex(), static_cast<long>(expected.size()) - 1);
  }
}

TEST_F(InterpClassTest, UnsortedFileKeepsItsWholeRange) {
  ASSERT_EQ(table_.InitInterp(test::DataFile("factors/unsorted_run.fac")), 1);
  EXPECT_EQ(table_.MaxFreq(), 10);
  EXPECT_FLOAT_EQ(Value(7), 6.0f);
}

TEST_F(InterpClassTest, SortKeepsStepsInFileOrder) {
  // Out-of-order points make the sort move points across both steps; each step keeps its
  // value below the step first, whatever the magnitudes of the two values.
  ASSERT_EQ(Load("40 9\n20 1\n20 5\n60 2\n30 5\n30 0\n5 3\n50 2\n10 1\n"), 1);
  EXPECT_EQ(
      PointsOf(table_),
      (Points{{5, 3}, {10, 1}, {20, 1}, {20, 5}, {30, 5}, {30, 0}, {40, 9}, {50, 2}, {60, 2}}));
}

TEST_F(InterpClassTest, SortOrdersLargeShuffledFiles) {
  std::vector<int> order(3001);
  for (int i = 0; i < 3001; ++i) order[static_cast<std::size_t>(i)] = i;
  std::mt19937 random(7);
  std::shuffle(order.begin(), order.end(), random);
  std::string text = "shuffled\r\n";
  for (int i : order) text += std::to_string(i) + ", " + std::to_string(i % 7) + "\r\n";
  ASSERT_EQ(Load(text), 1);
  ASSERT_EQ(table_.LastIndex(), 3000);
  for (int i = 0; i <= 3000; ++i) {
    EXPECT_EQ(table_.Points()[static_cast<std::size_t>(i)].Freq, i);
    EXPECT_EQ(table_.Points()[static_cast<std::size_t>(i)].Value, static_cast<float>(i % 7));
  }
}

TEST_F(InterpClassTest, BadFilesAreRejectedWithTheirMessage) {
  const std::string path = dir_.File("table.fac");
  const std::string endOfFile = "Unexpected end of file in " + path;
  const std::pair<std::string, std::string> cases[] = {
      {"", endOfFile},
      {"Title only\r\n", endOfFile},
      {"Title\r\nUnits\r\n", endOfFile},
      {"Title\r\n150, 2\r\n", endOfFile},  // the only data line is the last line
      {"150, 2", endOfFile},
      {"1, 0\r\n2, 1\r\n\r\n", "Bad data in calibration file"},
      {"1, 0\r\n\r\n2, 1\r\n", "Bad data in calibration file"},
      {"1, 0\r\n2, 1\r\nEnd of table\r\n", "Bad data in calibration file"},
      {"1, 0\r\n2, 1\r\n3\r\n", "Bad data in calibration file"},
      {"1, 0\n2, 2\n3, 2\n4, 2\n5E1, 2\n", "Bad data in calibration file"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    host_.ClearMessages();
    ASSERT_EQ(Load("0 0\n1 1\n"), 1);
    EXPECT_EQ(Load(text), 0);
    EXPECT_EQ(table_.LastIndex(), -1);
    EXPECT_FALSE(table_.HasTable());
    EXPECT_EQ(table_.MinFreq(), -1);
    EXPECT_EQ(table_.MaxFreq(), -1);
    ASSERT_EQ(host_.Messages().size(), 1u);
    EXPECT_EQ(host_.Messages()[0].text, message);
    EXPECT_EQ(host_.Messages()[0].buttons, MsgButtons::OK);
    EXPECT_EQ(host_.Messages()[0].icon, MsgIcon::None);
  }
}

TEST_F(InterpClassTest, TrailingEmptyLineFixtureIsBadData) {
  EXPECT_EQ(table_.InitInterp(test::DataFile("factors/trailing_empty_line.fac")), 0);
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{"Bad data in calibration file"});
}

TEST_F(InterpClassTest, LineEndsAreCrLfOrLf) {
  ASSERT_EQ(Load("Title\n1, 0\n2, 1\n3, 4\n"), 1);
  const Points lf = PointsOf(table_);
  ASSERT_EQ(Load("Title\r\n1, 0\r\n2, 1\r\n3, 4"), 1);
  EXPECT_EQ(PointsOf(table_), lf);
  EXPECT_EQ(lf, (Points{{1, 0}, {2, 1}, {3, 4}}));
}

TEST_F(InterpClassTest, ByteOrderMarkDoesNotHideTheFirstPoint) {
  ASSERT_EQ(Load("\xEF\xBB\xBF"
                 "0.15, -3\r\n1, 2\r\n"),
            1);
  EXPECT_EQ(PointsOf(table_), (Points{{0.15, -3}, {1, 2}}));
  ASSERT_EQ(Load("\xEF\xBB\xBF"
                 "Title\r\n0.15, -3\r\n1, 2\r\n"),
            1);
  EXPECT_EQ(PointsOf(table_), (Points{{0.15, -3}, {1, 2}}));
}

TEST_F(InterpClassTest, UnreadableFilesShowTheErrorBox) {
  const std::string missing = dir_.File("missing.fac");
  const std::string noFolder = dir_.File("nofolder/x.fac");
  const std::pair<std::string, std::string> cases[] = {
      {missing, "Error # 53\rFile not found\rInterpClass.FileToTable\r" + missing},
      {noFolder, "Error # 76\rPath not found\rInterpClass.FileToTable\r" + noFolder},
  };
  for (const auto& [path, text] : cases) {
    host_.ClearMessages();
    EXPECT_EQ(table_.InitInterp(path), 0);
    EXPECT_EQ(table_.LastIndex(), -1);
    ASSERT_EQ(host_.Messages().size(), 1u);
    EXPECT_EQ(host_.Messages()[0].text, text);
    EXPECT_EQ(host_.Messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(host_.Messages()[0].title, "Error");
  }
}

TEST_F(InterpClassTest, EmptyFileNameGivesNoTableAndNoMessage) {
  ASSERT_EQ(Load("1 1\n2 2\n"), 1);
  EXPECT_EQ(table_.InitInterp(""), 0);
  EXPECT_EQ(table_.LastIndex(), 0);
  EXPECT_FALSE(table_.HasTable());
  EXPECT_TRUE(host_.Messages().empty());
}

// ---- interpolation ----

TEST_F(InterpClassTest, StepsGiveTheValueOnTheSameSideAndTheRuleAtTheStep) {
  ASSERT_EQ(table_.InitInterp(test::DataFile("factors/step.fac")), 1);
  const struct {
    double freq;
    int rule;
    float expected;
  } cases[] = {
      {15, kStepHigherValue, 1},
      {25, kStepHigherValue, 5},
      {20, kStepHigherValue, 5},
      {20, kStepLowerValue, 1},
      {20, 2, 0},
      {10, kStepLowerValue, 1},
      {30, kStepHigherValue, 5},
      {19.999, kStepLowerValue, 1},
  };
  // Twice, in rising and in falling order, so that every cursor position is met.
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& c : cases)
      EXPECT_EQ(Value(c.freq, kInterpLinear, c.rule), c.expected) << c.freq;
    for (auto it = std::rbegin(cases); it != std::rend(cases); ++it) {
      EXPECT_EQ(Value(it->freq, kInterpLogarithmic, it->rule), it->expected) << it->freq;
    }
  }
}

TEST_F(InterpClassTest, StepRuleDoesNotDependOnWhichSideIsHigher) {
  ASSERT_EQ(Load("10 6\n20 6\n20 2\n30 2\n"), 1);
  EXPECT_EQ(Value(20, kInterpLinear, kStepHigherValue), 6);
  EXPECT_EQ(Value(20, kInterpLinear, kStepLowerValue), 2);
  EXPECT_EQ(Value(15, kInterpLinear, kStepLowerValue), 6);
  EXPECT_EQ(Value(25, kInterpLinear, kStepHigherValue), 2);
}

TEST_F(InterpClassTest, LogarithmicFromAFrequencyNearZeroGivesNoValue) {
  ASSERT_EQ(Load("0 1\n0.0000009 2\n0.000002 4\n10 8\n"), 1);
  EXPECT_EQ(Value(0.0000005, kInterpLogarithmic), -999);
  EXPECT_EQ(Value(0.0000015, kInterpLogarithmic), -999);
  EXPECT_NEAR(Value(0.0000015, kInterpLinear), 2 + 0.6 / 1.1 * 2, 1e-5);
  EXPECT_EQ(Value(0, kInterpLogarithmic), 1);  // a stored point needs no interpolation
  EXPECT_NEAR(Value(0.00002, kInterpLogarithmic), 4 + 4 * std::log10(10.0) / std::log10(5e6), 1e-5);
}

TEST_F(InterpClassTest, CursorNeverChangesTheResult) {
  // A table with steps; frequencies in random order must give what a plain search gives.
  Points points;
  for (int i = 0; i < 200; ++i) {
    points.emplace_back(i * 3.0, static_cast<float>((i * 37) % 11));
    if (i % 17 == 5) points.emplace_back(i * 3.0, static_cast<float>((i * 13) % 7) - 20);
  }
  ASSERT_EQ(Load(FactorFile(points)), 1);
  const auto& stored = table_.Points();
  auto reference = [&](double f, int rule) {
    for (std::size_t k = 0; k < stored.size(); ++k) {
      if (stored[k].Freq == f) {
        if (k + 1 < stored.size() && stored[k + 1].Freq == f) {
          return rule == kStepHigherValue ? std::max(stored[k].Value, stored[k + 1].Value)
                                          : std::min(stored[k].Value, stored[k + 1].Value);
        }
        return stored[k].Value;
      }
      if (stored[k].Freq > f) {
        const auto& a = stored[k - 1];
        const auto& b = stored[k];
        return static_cast<float>(a.Value + (f - a.Freq) / (b.Freq - a.Freq) * (b.Value - a.Value));
      }
    }
    return -1.0f;
  };
  std::mt19937 random(11);
  std::uniform_real_distribution<double> anywhere(0, 597);
  std::uniform_int_distribution<int> onPoint(0, 199);
  for (int i = 0; i < 5000; ++i) {
    const double f = i % 3 == 0 ? onPoint(random) * 3.0 : anywhere(random);
    const int rule = i % 2;
    ASSERT_EQ(Value(f, kInterpLinear, rule), reference(f, rule)) << f << " rule " << rule;
  }
}

TEST_F(InterpClassTest, WithoutATableEveryQueryComplains) {
  float value = 7;
  double freq = 5;
  EXPECT_EQ(table_.InterpVal(5, value, kInterpLinear, kStepHigherValue), 0);
  EXPECT_EQ(table_.GetNextCalibPoint(freq, value), 0);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(table_.MinFreq(), -1);
  EXPECT_EQ(table_.MaxFreq(), -1);
  EXPECT_EQ(host_.MessageTexts(),
            (std::vector<std::string>{"No calibration points in interp file",
                                      "No calibration points in interp file"}));
}

TEST_F(InterpClassTest, MillionPointFileLoadsAndInterpolates) {
  std::string text = "Generated table\r\n";
  text.reserve(24'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    text += std::to_string(i) + ".5, " + std::to_string(i % 1000) + "\r\n";
  }
  ASSERT_EQ(Load(text), 1);
  EXPECT_EQ(table_.LastIndex(), 999'999);
  EXPECT_EQ(table_.MaxFreq(), 999'999.5);
  EXPECT_FLOAT_EQ(Value(999'998.75), 998.25f);
  EXPECT_FLOAT_EQ(Value(123'456.5), 456.0f);
  EXPECT_EQ(table_.Cursor(), 123'456);
}

// ---- merging ----

TEST_F(InterpClassTest, MergeAddsOverTheCommonRangeAndDropsTheRest) {
  ASSERT_EQ(Load("50 1\n100 2\n150 3\n200 4\n"), 1);
  ASSERT_EQ(Include("1 10\n75 20\n100 30\n"), 1);
  // 75 comes from the second file (the first interpolated: 1.5); 50 from the first (the second
  // interpolated between 1 and 75 MHz).
  const float at50 = static_cast<float>(10 + (50.0 - 1) / 74 * 10);
  EXPECT_EQ(PointsOf(table_), (Points{{50, 1 + at50}, {75, 21.5f}, {100, 32}}));
  EXPECT_EQ(table_.MinFreq(), 50);
  EXPECT_EQ(table_.MaxFreq(), 100);
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(InterpClassTest, MergeKeepsEveryStepInItsOrder) {
  const struct {
    const char* table;
    const char* merged;
    Points expected;
  } cases[] = {
      // A step in the table, none in the file (whose 50 MHz point the reader drops).
      {"30 3\n40 1\n40 5\n70 6\n", "30 0\n50 0\n70 0\n", {{30, 3}, {40, 1}, {40, 5}, {70, 6}}},
      {"30 3\n40 1\n40 5\n70 6\n",
       "30 0\n50 1\n70 0\n",
       {{30, 3}, {40, 1.5f}, {40, 5.5f}, {50, 6.33333349f}, {70, 6}}},
      // The file has a step where the table has a single point: both sides get its value.
      {"10 1\n20 2\n30 3\n", "10 0\n20 10\n20 -10\n30 0\n", {{10, 1}, {20, 12}, {20, -8}, {30, 3}}},
      // The table has a step where the file has a single point.
      {"10 0\n20 10\n20 -10\n30 0\n", "10 1\n20 2\n30 3\n", {{10, 1}, {20, 12}, {20, -8}, {30, 3}}},
      // Steps at the same frequency in both: lower side to lower side.
      {"10 0\n20 1\n20 5\n30 5\n",
       "10 0\n20 10\n20 40\n30 40\n",
       {{10, 0}, {20, 11}, {20, 45}, {30, 45}}},
      // A step of the file where the table has no point.
      {"10 0\n30 2\n", "10 0\n20 10\n20 40\n30 40\n", {{10, 0}, {20, 11}, {20, 41}, {30, 42}}},
      // A step exactly at the start of the common range.
      {"10 1\n10 5\n20 5\n", "0 0\n30 3\n", {{10, 2}, {10, 6}, {20, 7}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.table) + "+\n" + c.merged);
    ASSERT_EQ(Load(c.table), 1);
    ASSERT_EQ(Include(c.merged), 1);
    EXPECT_EQ(PointsOf(table_), c.expected);
  }
}

TEST_F(InterpClassTest, RefusedMergeLeavesTheTableUnchanged) {
  const std::string file = dir_.File("more.fac");
  const std::string refused = "Data in file " + file + " does not coincide with previous cal data.";
  const std::pair<const char*, std::string> cases[] = {
      {"200 1\n300 1\n", refused},
      {"1 1\n5 1\n", refused},
      {"1 1\n10 1\n", refused},  // meets the table at 10 MHz only
      {"100 1\n200 1\n", refused},
      {"Title\n", "Unexpected end of file in " + file},
      {"1 1\n2 2\nx\n", "Bad data in calibration file"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    ASSERT_EQ(Load("10 1\n50 2\n100 3\n"), 1);
    host_.ClearMessages();
    EXPECT_EQ(Include(text), 0);
    EXPECT_EQ(PointsOf(table_), (Points{{10, 1}, {50, 2}, {100, 3}}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{message});
  }
  EXPECT_EQ(table_.IncludeInterp(dir_.File("missing.fac")), 0);
  EXPECT_EQ(table_.LastIndex(), 2);
}

TEST_F(InterpClassTest, IncludeWithoutATableReadsTheFile) {
  EXPECT_EQ(Include("Title\n"), 0);
  EXPECT_FALSE(table_.HasTable());
  ASSERT_EQ(Include("1 1\n2 2\n3 2\n4 2\n"), 1);
  EXPECT_EQ(PointsOf(table_), (Points{{1, 1}, {2, 2}, {4, 2}}));
}

// ---- the sweep ----

// Sweeps from below the table in steps of delta MHz and returns every answer.
Points Sweep(InterpClass& table, double delta) {
  Points answers;
  double f = 0;
  float v = 0;
  while (table.GetNextCalibPoint(f, v) == 1 && answers.size() <= 1000) {
    answers.emplace_back(f, v);
    f += delta;
  }
  return answers;
}

std::vector<double> FrequenciesOf(const Points& points) {
  std::vector<double> freqs;
  for (const auto& point : points) freqs.push_back(point.first);
  return freqs;
}

TEST_F(InterpClassTest, SweepStopsAtEveryPointAndBothSidesOfEveryStep) {
  ASSERT_EQ(Load("10 1\n20 1\n20 5\n35 5\n55 3\n"), 1);
  const Points answers = Sweep(table_, 10);
  EXPECT_EQ(FrequenciesOf(answers), (std::vector<double>{10, 20, 20, 30, 35, 45, 55}));
  ASSERT_EQ(answers.size(), 7u);
  EXPECT_EQ(answers[1].second, 1);
  EXPECT_EQ(answers[2].second, 5);
  EXPECT_EQ(answers[4].second, 5);
  EXPECT_NEAR(answers[5].second, 5 - 2 * std::log10(45.0 / 35) / std::log10(55.0 / 35), 1e-5);
  EXPECT_EQ(answers[6].second, 3);
}

TEST_F(InterpClassTest, SweepOverAnyTableEnds) {
  const std::pair<const char*, std::vector<double>> cases[] = {
      // Steps whose two values are equal are passed like any other step.
      {"10 1\n20 3\n20 3\n30 5\n", {10, 17, 20, 20, 27}},
      {"10 2\n10 2\n30 5\n", {10, 10, 17, 24}},
      {"10 1\n24 4\n24 4\n", {10, 17, 24}},
      {"10 1\n20 1\n20 1\n30 2\n", {10, 17, 20, 27}},
      {"10 1\n20 5\n20 1\n30 2\n", {10, 17, 20, 20, 27}},
  };
  for (const auto& [text, freqs] : cases) {
    SCOPED_TRACE(text);
    ASSERT_EQ(Load(text), 1);
    InterpClass fresh(host_);
    ASSERT_EQ(fresh.InitInterp(dir_.File("table.fac")), 1);
    EXPECT_EQ(FrequenciesOf(Sweep(fresh, 7)), freqs);
  }
}

TEST_F(InterpClassTest, SweepInterpolatesLogarithmicallyWithTheLowerValueAtSteps) {
  ASSERT_EQ(Load("1 0\n100 4\n"), 1);
  double f = 10;
  float v = 0;
  ASSERT_EQ(table_.GetNextCalibPoint(f, v), 1);
  EXPECT_EQ(f, 10);
  EXPECT_FLOAT_EQ(v, 2);
  f = 100.5;
  EXPECT_EQ(table_.GetNextCalibPoint(f, v), 0);
}

// ---- copying, saving, printing ----

TEST_F(InterpClassTest, GetTableEndsWithAZeroElement) {
  std::vector<double> freqs{1, 2, 3, 4, 5};
  std::vector<float> values{1, 2, 3, 4, 5};
  table_.GetTable(freqs, values);
  EXPECT_EQ(freqs, std::vector<double>{0});
  EXPECT_EQ(values, std::vector<float>{0});
  ASSERT_EQ(Load("0.15 -3\n150 1.25\n"), 1);
  table_.GetTable(freqs, values);
  EXPECT_EQ(freqs, (std::vector<double>{0.15, 150, 0}));
  EXPECT_EQ(values, (std::vector<float>{-3, 1.25f, 0}));
}

TEST_F(InterpClassTest, SaveFileWritesOneLinePerPoint) {
  ASSERT_EQ(Load("Title\n0.15 -3\n150 1.25\n200 1.23456\n250 -0.0004\n1000 7.0005\n"), 1);
  const std::string path = dir_.File("saved.fac");
  ASSERT_EQ(table_.SaveFile(path), 1);
  EXPECT_EQ(test::ReadFileBytes(path),
            "0.15, -3.0\r\n150, 1.25\r\n200, 1.235\r\n250, 0.0\r\n1000, 7.001\r\n");
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(InterpClassTest, SavedFilesReadBack) {
  ASSERT_EQ(Load("0.00001 1\n0.0000123 2\n0.15 -3\n123456.789012345 4\n"), 1);
  const Points before = PointsOf(table_);
  const std::string path = dir_.File("saved.fac");
  ASSERT_EQ(table_.SaveFile(path), 1);
  EXPECT_EQ(test::ReadFileBytes(path),
            "0.00001, 1.0\r\n0.0000123, 2.0\r\n0.15, -3.0\r\n123456.789012345, 4.0\r\n");
  InterpClass again(host_);
  ASSERT_EQ(again.InitInterp(path), 1);
  EXPECT_EQ(PointsOf(again), before);
}

TEST_F(InterpClassTest, FailedSaveKeepsThePreviousFile) {
  ASSERT_EQ(Load("1 1\n2 2\n"), 1);
  const std::string path = dir_.File("old.fac");
  test::WriteFileBytes(path, "old content\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(table_.SaveFile(path), 0);
  EXPECT_EQ(test::ReadFileBytes(path), "old content\r\n");
  const std::string noFolder = dir_.File("nofolder/new.fac");
  EXPECT_EQ(table_.SaveFile(noFolder), 0);
  ASSERT_EQ(host_.Messages().size(), 2u);
  EXPECT_EQ(host_.Messages()[0].text,
            "Error # 70\rPermission denied\rInterpClass.SaveFile\r" + path);
  EXPECT_EQ(host_.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(host_.Messages()[0].title, "Error");
  EXPECT_EQ(host_.Messages()[1].text,
            "Error # 76\rPath not found\rInterpClass.SaveFile\r" + noFolder);
}

TEST_F(InterpClassTest, SaveWithoutATableKeepsTheFile) {
  const std::string path = dir_.File("keep.fac");
  test::WriteFileBytes(path, "1, 1\r\n2, 2\r\n");
  EXPECT_EQ(table_.SaveFile(path), 0);
  EXPECT_EQ(test::ReadFileBytes(path), "1, 1\r\n2, 2\r\n");
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{"No calibration points in interp file"});
}

TEST_F(InterpClassTest, PrintTableRepeatsTheHeadingOnEveryPage) {
  ASSERT_EQ(Load("0.15 -3\n1 0.5\n10 1.25\n100 -12.3456\n1000 4\n"), 1);
  // Lines of 240 twips on a page of 2880: a new page once a line ends below 1440 twips.
  RecordingPrinter printer(2880, 240);
  ASSERT_EQ(table_.PrintTable(printer), 1);
  EXPECT_EQ(printer.FontName(), "Courier New");
  EXPECT_EQ(printer.FontSize(), 10);
  EXPECT_FALSE(printer.FontBold());
  EXPECT_TRUE(printer.Ended());
  const std::string heading = "              Freq          Loss";
  const std::vector<std::vector<std::string>> pages = {
      {"", "", "", heading, "               0.15         -3.0", "               1            0.5",
       "               10           1.25"},
      {"", "", "", heading, "               100          -12.346",
       "               1000         4.0"},
  };
  EXPECT_EQ(printer.Pages(), pages);
  EXPECT_TRUE(host_.Messages().empty());
}

class FailingPrinter final : public Printer {
 public:
  void SetFont(const std::string&, double, bool) override {}
  void PrintLine(const std::string&) override {
    if (++lines_ > 5) throw PrinterError(482, "Printer error");
  }
  int CurrentY() const override { return 0; }
  int PageHeight() const override { return 20000; }
  void NewPage() override {}
  void EndDoc() override {}

 private:
  int lines_ = 0;
};

TEST_F(InterpClassTest, PrinterFailureShowsTheErrorBox) {
  ASSERT_EQ(Load("1 1\n2 2\n3 3\n"), 1);
  FailingPrinter printer;
  EXPECT_EQ(table_.PrintTable(printer), 0);
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0].text, "Error # 482\rPrinter error\rInterpClass.PrintTable");
  EXPECT_EQ(host_.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(host_.Messages()[0].title, "Error");
}

}  // namespace
}  // namespace brimtal
