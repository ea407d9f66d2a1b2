// The manual index: reading the section files, keyword lookup and search.
#include <gtest/gtest.h>

#include "shell/ManualIndex.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

std::vector<std::string> Titles(const ManualIndex& index) {
  std::vector<std::string> titles;
  for (const auto& s : index.Sections()) titles.push_back(s.title);
  return titles;
}

TEST(ManualIndex, ReadsOnlySectionFilesInNameOrder) {
  const auto index = ManualIndex::Load(test::DataFile("shell/manual"));
  // notes.md is no section; 10-untitled-topic.md has no title line and is named by its topic.
  EXPECT_EQ(Titles(index), (std::vector<std::string>{"Introduction", "The main menu", "Settings",
                                                     "untitled topic"}));
  const ManualSection& menu = index.Sections()[1];
  EXPECT_EQ(menu.fileName, "02-main-menu.md");
  // CR LF files, blank entries between commas and surrounding blanks are handled.
  EXPECT_EQ(menu.keywords, (std::vector<std::string>{"TopMenu", "main menu", "cmdExit"}));
  EXPECT_EQ(menu.body, "\nThe main menu offers three activities.\n");
  // Without a title line the keywords line is not recognised either; it stays text.
  EXPECT_TRUE(index.Sections()[3].keywords.empty());
  EXPECT_NE(index.Sections()[3].body.find("Keywords: should not count"), std::string::npos);
}

TEST(ManualIndex, MissingFolderGivesAnEmptyManual) {
  test::TempDir dir;
  EXPECT_TRUE(ManualIndex::Load(dir.File("none")).Empty());
  EXPECT_TRUE(ManualIndex::Load(dir.Path().string()).Empty());
}

TEST(ManualIndex, FindKeywordPrefersKeywordsThenTitlesThenTopics) {
  const auto index = ManualIndex::Load(test::DataFile("shell/manual"));
  const std::pair<const char*, std::optional<std::size_t>> cases[] = {
      {"topmenu", 1},     // letter case ignored
      {"  cmdExit ", 1},  // surrounding blanks ignored
      {"main menu", 1},   // listed by two sections: the first one wins
      {"Brimtal.ini", 2},      {"SETTINGS", 2},        {"The main menu", 1},  // a title
      {"untitled topic", 3},                            // the topic of the file name
      {"ghost", std::nullopt}, {"menu", std::nullopt},  // only whole keywords lead to a section
      {"", std::nullopt},
  };
  for (const auto& [keyword, section] : cases)
    EXPECT_EQ(index.FindKeyword(keyword), section) << keyword;
}

TEST(ManualIndex, KeywordListIsSortedAndSearchable) {
  const auto index = ManualIndex::Load(test::DataFile("shell/manual"));
  std::vector<std::string> all;
  for (const auto& k : index.Keywords()) all.push_back(k.keyword);
  EXPECT_EQ(
      all, (std::vector<std::string>{"Brimtal", "Brimtal.ini", "cmdExit", "introduction",
                                     "main menu", "main menu", "overview", "settings", "TopMenu"}));
  std::vector<std::pair<std::string, std::size_t>> found;
  for (const auto& k : index.Search("MENU")) found.emplace_back(k.keyword, k.section);
  EXPECT_EQ(found, (std::vector<std::pair<std::string, std::size_t>>{
                       {"main menu", 1}, {"main menu", 2}, {"TopMenu", 1}}));
  EXPECT_EQ(index.Search("").size(), all.size());
  EXPECT_TRUE(index.Search("oscilloscope").empty());
}

TEST(ManualIndex, FullTextSearchNeedsEveryWord) {
  const auto index = ManualIndex::Load(test::DataFile("shell/manual"));
  EXPECT_EQ(index.SectionsContaining("three ACTIVITIES"), std::vector<std::size_t>{1});
  EXPECT_EQ(index.SectionsContaining("main menu"), (std::vector<std::size_t>{0, 1}));
  EXPECT_TRUE(index.SectionsContaining("three settings").empty());
  EXPECT_TRUE(index.SectionsContaining("   ").empty());
}

TEST(ManualIndex, FileLookupAndNames) {
  const auto index = ManualIndex::Load(test::DataFile("shell/manual"));
  EXPECT_EQ(index.FindFile("03-Settings.md"), 2u);
  EXPECT_EQ(index.FindFile("notes.md"), std::nullopt);
  const std::pair<const char*, bool> names[] = {
      {"01-introduction.md", true}, {"7-x.md", true},        {"01-.md", false}, {"intro.md", false},
      {"01introduction.md", false}, {"01-intro.txt", false},
  };
  for (const auto& [name, ok] : names) EXPECT_EQ(IsManualFileName(name), ok) << name;
}

}  // namespace
}  // namespace brimtal
