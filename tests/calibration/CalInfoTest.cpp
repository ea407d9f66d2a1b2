// Calibration info files: reading the six lines, the messages, and the lines a writer makes.
#include <gtest/gtest.h>

#include "calibration/CalInfo.h"
#include "shell/FileIo.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::DataFile;
using test::ReadFileBytes;
using test::TempDir;

TEST(CalInfoLoadDef, ReadsTheSixLines) {
  ScriptedHost host;
  CalInfo info(host);
  EXPECT_EQ(info.LoadDef(DataFile("cal/basic.bminfo")), 1);
  EXPECT_EQ(info.Record(),
            (CalInfoRecord{"CDN M3 at 3 V", "AR 75A250", "CDN M3", "3v", "100 - 400", 0}));
  EXPECT_TRUE(host.Messages().empty());
}

TEST(CalInfoLoadDef, AnEmptyPathIsAWarning) {
  ScriptedHost host;
  CalInfo info(host);
  EXPECT_EQ(info.LoadDef(""), 0);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text,
            "WARNING: \rNo calibration filename specified\rin test definition file.");
  EXPECT_EQ(host.Messages()[0].buttons, MsgButtons::OK);
}

TEST(CalInfoLoadDef, FailuresShowTheErrorBoxAndKeepWhatWasRead) {
  struct Case {
    std::string path;
    std::string error;
    CalInfoRecord after;
  };
  TempDir dir;
  const CalInfoRecord basic{"CDN M3 at 3 V", "AR 75A250", "CDN M3", "3v", "100 - 400", 0};
  const Case cases[] = {
      {DataFile("cal/five-lines.bminfo"),
       "Error # 62\rInput past end of file",
       {"Short", "Amp", "Device", "3v", "0.15 - 80", 0}},
      {DataFile("cal/bad-coupling.bminfo"),
       "Error # 13\rType mismatch",
       {"Text", "Amp", "Device", "3v", "0.15 - 80", 0}},
      {dir.File("missing.bminfo"), "Error # 53\rFile not found", basic},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ScriptedHost host;
    CalInfo info(host);
    ASSERT_EQ(info.LoadDef(DataFile("cal/basic.bminfo")), 1);
    EXPECT_EQ(info.LoadDef(c.path), 0);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, c.error + "\rCalInfo.LoadDef\r" + c.path);
    EXPECT_EQ(host.Messages()[0].title, "Error");
    EXPECT_EQ(host.Messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(info.Record(), c.after);
  }
}

TEST(CalInfoLines, FromTheSetUpAndBackThroughTheReader) {
  struct Case {
    CalInfoRecord record;
    std::string bytes;
  };
  const Case cases[] = {
      {MakeCalInfoRecord("Flat 3 V", "AR 75A250", "CDN M3", 0, "/lab/ignored.lev", 3, 0.15, 80, 0),
       "Flat 3 V\r\nAR 75A250\r\nCDN M3\r\n3v\r\n0.15 - 80\r\n 0 \r\n"},
      {MakeCalInfoRecord("Sloped", "IFI CMX5001", "BCI probe", 1, "/lab/Levels/slope.lev", 3, 1.5,
                         230, 2),
       "Sloped\r\nIFI CMX5001\r\nBCI probe\r\n/lab/Levels/slope.lev\r\n1.5 - 230\r\n 2 \r\n"},
      {MakeCalInfoRecord("", "", "", 0, "", 1.1f, 0.009, 1000.5, 3),
       "\r\n\r\n\r\n1.1v\r\n0.009 - 1000.5\r\n 3 \r\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.File("x.bminfo");
    FileError error;
    ASSERT_TRUE(WriteTextLines(path, CalInfoLines(c.record), error));
    EXPECT_EQ(ReadFileBytes(path), c.bytes);
    ScriptedHost host;
    CalInfo info(host);
    ASSERT_EQ(info.LoadDef(path), 1);
    EXPECT_EQ(info.Record(), c.record);
  }
}

TEST(CalInfoLines, ALineBreakInATextStaysOneLine) {
  CalInfoRecord record{"two\r\nlines", "amp", "dev", "3v", "1 - 2", 1};
  EXPECT_EQ(CalInfoLines(record),
            (std::vector<std::string>{"two  lines", "amp", "dev", "3v", "1 - 2", " 1 "}));
}

}  // namespace
}  // namespace brimtal
