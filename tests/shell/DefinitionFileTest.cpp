// One-value-per-line definition files: the writer's texts and the reader's conversions.
#include <gtest/gtest.h>

#include "shell/DefinitionFile.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(DefinitionFile, WriterUsesTheDefinitionStyle) {
  TempDir dir;
  DefinitionWriter writer;
  writer.Text("HP 8648");
  writer.Number(19);
  writer.Number(0.15);
  writer.Number(-10.0f);
  writer.Flag(true);
  writer.Empty(2);
  FileError error;
  ASSERT_TRUE(writer.Save(dir.File("a.def"), error));
  EXPECT_EQ(ReadFileBytes(dir.File("a.def")),
            "HP 8648\r\n 19 \r\n .15 \r\n-10 \r\nTrue\r\n\r\n\r\n");
}

TEST(DefinitionFile, ReaderConvertsEachLineAndReportsWhatFailed) {
  TempDir dir;
  WriteFileBytes(dir.File("b.def"),
                 "  name with blanks  \r\n 2.5 \r\n3.5\n -.5 \r\ntrue\r\n0\r\n 1E2 \r\n");
  DefinitionReader reader;
  FileError error;
  ASSERT_TRUE(reader.Open(dir.File("b.def"), error));
  std::string text;
  std::int16_t a = 0;
  std::int32_t b = 0;
  float c = 0;
  bool d = false, e = true;
  double f = 0;
  ASSERT_TRUE(reader.Text(text, error));
  EXPECT_EQ(text, "  name with blanks  ");
  ASSERT_TRUE(reader.Int16(a, error));
  EXPECT_EQ(a, 2);  // halves go to the even neighbour
  ASSERT_TRUE(reader.Int32(b, error));
  EXPECT_EQ(b, 4);
  ASSERT_TRUE(reader.Float(c, error));
  EXPECT_FLOAT_EQ(c, -0.5f);
  ASSERT_TRUE(reader.Flag(d, error));
  EXPECT_TRUE(d);
  ASSERT_TRUE(reader.Flag(e, error));
  EXPECT_FALSE(e);
  ASSERT_TRUE(reader.Double(f, error));
  EXPECT_DOUBLE_EQ(f, 100);
  EXPECT_FALSE(reader.Text(text, error));
  EXPECT_EQ(error.number, 62);
}

TEST(DefinitionFile, BadValuesAreTypeMismatchOrOverflow) {
  const std::pair<const char*, int> cases[] = {
      {"abc", 13}, {"", 13}, {"40000", 6}, {"-40000", 6}, {"1e300", 6}};
  for (auto [line, number] : cases) {
    TempDir dir;
    WriteFileBytes(dir.File("c.def"), std::string(line) + "\r\n" + line + "\r\n");
    DefinitionReader reader;
    FileError error;
    ASSERT_TRUE(reader.Open(dir.File("c.def"), error));
    std::int16_t small = 0;
    float single = 0;
    const bool ok = reader.Int16(small, error);
    EXPECT_FALSE(ok && reader.Float(single, error)) << line;
    EXPECT_EQ(error.number, number) << line;
  }
  FileError error;
  bool flag = false;
  EXPECT_FALSE(ParseDefinitionFlag("yes", flag, error));
  EXPECT_EQ(error.number, 13);
}

}  // namespace
}  // namespace brimtal
