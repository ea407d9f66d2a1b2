// Reading and writing text files; the "Error # " text.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/FileIo.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(SplitLines, AcceptsCrLfAndLfAndIgnoresAFinalLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(SplitLines("\n"), std::vector<std::string>{""});
  EXPECT_EQ(SplitLines("x\ry\n"), std::vector<std::string>{"x\ry"});
}

TEST(TextFileReader, ReadsLinesUntilTheEnd) {
  TempDir dir;
  WriteFileBytes(dir.File("f.txt"), "one\r\ntwo\n");
  TextFileReader reader;
  FileError error;
  ASSERT_TRUE(reader.Open(dir.File("f.txt"), error));
  std::string line;
  ASSERT_TRUE(reader.ReadLine(line, error));
  EXPECT_EQ(line, "one");
  EXPECT_FALSE(reader.AtEnd());
  ASSERT_TRUE(reader.ReadLine(line, error));
  EXPECT_EQ(line, "two");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.ReadLine(line, error));
  EXPECT_EQ(error.number, 62);
  EXPECT_EQ(error.description, "Input past end of file");
}

TEST(TextFileReader, OpenFailuresHaveTheirNumbers) {
  TempDir dir;
  TextFileReader reader;
  FileError error;
  EXPECT_FALSE(reader.Open(dir.File("missing.txt"), error));
  EXPECT_EQ(error.number, 53);
  EXPECT_EQ(error.description, "File not found");
  EXPECT_FALSE(reader.Open(dir.File("no-folder/missing.txt"), error));
  EXPECT_EQ(error.number, 76);
  EXPECT_EQ(error.description, "Path not found");
  EXPECT_FALSE(reader.Open(dir.Path().string(), error));
  EXPECT_EQ(error.number, 75);
  EXPECT_FALSE(reader.Open("", error));
  EXPECT_EQ(error.number, 52);
}

TEST(FileErrorText, NumberDescriptionPlaceAndPath) {
  EXPECT_EQ(FileErrorText(MakeFileError(53), "InterpClass.FileToTable", "/tmp/a.fac"),
            "Error # 53\rFile not found\rInterpClass.FileToTable\r/tmp/a.fac");
  EXPECT_EQ(FileErrorText(MakeFileError(482), "InterpClass.PrintTable"),
            "Error # 482\rPrinter error\rInterpClass.PrintTable");
  ScriptedHost host;
  ShowFileError(host, MakeFileError(70), "Equip.SaveDef", "x.eqp");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].title, "Error");
  EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(host.Messages()[0].text, "Error # 70\rPermission denied\rEquip.SaveDef\rx.eqp");
}

TEST(AtomicFileWriter, WritesCrLfLinesAndReplacesTheFile) {
  TempDir dir;
  const auto path = dir.File("out.txt");
  WriteFileBytes(path, "old content that is longer\r\n");
  FileError error;
  ASSERT_TRUE(WriteTextLines(path, {"150, 1.25", "0.15, -3.0"}, error));
  EXPECT_EQ(ReadFileBytes(path), "150, 1.25\r\n0.15, -3.0\r\n");
  // Nothing is left behind beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFileWriter, AnAbandonedSaveLeavesThePreviousFile) {
  TempDir dir;
  const auto path = dir.File("keep.txt");
  WriteFileBytes(path, "previous\r\n");
  {
    AtomicFileWriter writer;
    FileError error;
    ASSERT_TRUE(writer.Open(path, error));
    writer.WriteLine("half of a new");
  }  // never committed
  EXPECT_EQ(ReadFileBytes(path), "previous\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFileWriter, RefusesProtectedFilesAndMissingFolders) {
  TempDir dir;
  const auto path = dir.File("protected.txt");
  WriteFileBytes(path, "keep me\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  FileError error;
  EXPECT_FALSE(WriteTextLines(path, {"new"}, error));
  EXPECT_EQ(error.number, 70);
  EXPECT_EQ(ReadFileBytes(path), "keep me\r\n");

  EXPECT_FALSE(WriteTextLines(dir.File("nowhere/x.txt"), {"new"}, error));
  EXPECT_EQ(error.number, 76);
  EXPECT_FALSE(WriteTextLines(dir.Path().string(), {"new"}, error));
  EXPECT_EQ(error.number, 75);
}

}  // namespace
}  // namespace brimtal
