// The factor editor's rules without the window: filter patterns, number texts, saved lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "factors/FactorEditing.h"
#include "factors/FactorText.h"
#include "factors/InterpClass.h"
#include "shell/Host.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

TEST(FactorEditing, FilterDefaultChoosesThePreferredPattern) {
  const std::pair<int, std::optional<std::string>> cases[] = {
      {0, "*.fac"}, {1, "*.lev"},      {2, "*.los"},       {3, "*.txt"},
      {4, "*.*"},   {5, std::nullopt}, {-1, std::nullopt},
  };
  for (const auto& [value, pattern] : cases)
    EXPECT_EQ(FactorFilterPattern(value), pattern) << value;
}

TEST(FactorEditing, GridTexts) {
  EXPECT_EQ(GridRowLabel(3), " 3");
  EXPECT_EQ(GridColumnHeading(3), "Col  3");
  EXPECT_EQ(GridCellCaption(GridRowLabel(1), "Freq"), "  1 : Freq ");
  EXPECT_EQ(DeleteRowQuestion(4), "There is data in Row 4 ! Delete anyway?");
  EXPECT_EQ(DeleteColumnQuestion(12), "There is data in Col 12 ! Delete anyway?");
}

TEST(FactorEditing, NumbersTheReaderReadsBack) {
  const std::pair<const char*, bool> cases[] = {
      {"150", true},    {"1.50", true},   {"-3", true},   {"+.5", true},   {"7.", true},
      {" 12.5 ", true}, {"\t2\t", true},  {"", false},    {" ", false},    {"-", false},
      {".", false},     {"1.5E2", false}, {"1e3", false}, {"&H10", false}, {"1.2.3", false},
      {"1,5", false},   {"12 dB", false}, {"1 2", false}, {"--1", false},
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(IsFactorNumber(text), number) << text;
}

TEST(FactorEditing, GridLinesKeepTheTextsAsTyped) {
  EXPECT_EQ(FactorGridLine("150", "1.50"), "150, 1.50");
  EXPECT_EQ(FactorGridLine(" 0.15", "-3 "), " 0.15, -3 ");
  EXPECT_EQ(FactorGridLine("150", ""), std::nullopt);
  EXPECT_EQ(FactorGridLine("", "1"), std::nullopt);
  EXPECT_EQ(FactorGridLine("150", "n/a"), std::nullopt);
}

TEST(FactorEditing, PlainGeneralTexts) {
  EXPECT_EQ(PlainGeneralText(150.0), "150");
  EXPECT_EQ(PlainGeneralText(0.15), "0.15");
  EXPECT_EQ(PlainGeneralText(-2.5), "-2.5");
  EXPECT_EQ(PlainGeneralText(0.00001), "0.00001");
  EXPECT_EQ(PlainGeneralText(-0.0000123), "-0.0000123");
  EXPECT_EQ(PlainGeneralText(2.5e15), "2500000000000000");
  EXPECT_EQ(PlainGeneralText(0.1f), "0.1");
  EXPECT_EQ(PlainGeneralText(1.25e-5f), "0.0000125");
  EXPECT_EQ(PlainGeneralText(123456789.0f), "123456800");
}

TEST(FactorEditing, TableCellsInGeneralNumberFormat) {
  test::TempDir dir;
  const std::string path = dir.File("t.fac");
  test::WriteFileBytes(path, "Title\r\n0.15, -3.1\r\n0.00002, 0.00004\r\n150, 1.2345678\r\n");
  ScriptedHost host;
  InterpClass table(host);
  ASSERT_EQ(table.InitInterp(path), 1);
  const std::vector<FactorCells> cells = FactorTableCells(table);
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].freq, "0.00002");
  EXPECT_EQ(cells[0].value, "0.00004");
  EXPECT_EQ(cells[1].freq, "0.15");
  EXPECT_EQ(cells[1].value, "-3.1");
  EXPECT_EQ(cells[2].freq, "150");
  EXPECT_EQ(cells[2].value, "1.234568");
  ScriptedHost none;
  InterpClass empty(none);
  EXPECT_TRUE(FactorTableCells(empty).empty());
}

TEST(FactorEditing, SaveGridWritesNumberRowsAndSkipsTheRest) {
  test::TempDir dir;
  const std::string path = dir.File("grid.fac");
  ScriptedHost host;
  ASSERT_TRUE(SaveFactorGrid(host, path,
                             {{"150", "1.50"}, {"10", ""}, {"", ""}, {"20", "x"}, {"1", "-.5"}}));
  EXPECT_EQ(test::ReadFileBytes(path), "150, 1.50\r\n1, -.5\r\n");
  EXPECT_TRUE(host.Messages().empty());
}

TEST(FactorEditing, FailedSaveShowsTheErrorAndKeepsTheFile) {
  test::TempDir dir;
  const std::string path = dir.File("old.fac");
  test::WriteFileBytes(path, "1, 1\r\n2, 2\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  ScriptedHost host;
  EXPECT_FALSE(SaveFactorGrid(host, path, {{"5", "5"}}));
  EXPECT_EQ(test::ReadFileBytes(path), "1, 1\r\n2, 2\r\n");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text,
            "Error # 70\rPermission denied\rfrmEditFactor.SaveGrid\r" + path);
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(host.Messages()[0].title, "Error");
}

}  // namespace
}  // namespace brimtal
