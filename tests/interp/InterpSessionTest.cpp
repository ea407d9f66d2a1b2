// The interp program's commands without windows: files, interpolation, decimal places,
// the table listing, saving and printing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "interp/InterpSession.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

const std::string kCoupler = test::DataFile("interp/coupler.fac");
const std::string kCable = test::DataFile("interp/cable.los");

class InterpSessionTest : public ::testing::Test {
 protected:
  void LoadCoupler() {
    host_.QueueFile(kCoupler);
    ASSERT_TRUE(session_.New());
  }
  std::optional<std::string> At(const std::string& freq, bool logarithmic = true,
                                bool emission = true) {
    return session_.Interpolate(freq, logarithmic, emission);
  }

  test::TempDir dir_;
  ScriptedHost host_{nullptr, "Interp"};
  InterpSession session_{host_};
};

TEST_F(InterpSessionTest, StartsWithoutATable) {
  EXPECT_FALSE(session_.HasTable());
  EXPECT_EQ(session_.Caption(), "Interp");
  EXPECT_EQ(session_.FromText(), "");
  EXPECT_EQ(session_.DecimalPlaces(), 2);
  // No table: the class says so, then the result reads N/A.
  EXPECT_EQ(At("10"), "N/A");
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{"No calibration points in interp file"});
}

TEST_F(InterpSessionTest, NewShowsTheFileNameAndTheRange) {
  LoadCoupler();
  ASSERT_EQ(host_.FileRequests().size(), 1u);
  const FileDialogRequest& request = host_.FileRequests()[0];
  EXPECT_EQ(request.title, "Select interpolation file");
  EXPECT_EQ(request.filter, "*.*");
  EXPECT_EQ(request.filterIndex, 1);
  EXPECT_FALSE(request.save);
  EXPECT_TRUE(session_.HasTable());
  EXPECT_EQ(session_.Caption(), "coupler.fac");
  EXPECT_EQ(session_.FromText(), "0.15");
  EXPECT_EQ(session_.ToText(), "80");
  EXPECT_EQ(session_.LastPath(), kCoupler);
}

TEST_F(InterpSessionTest, NewThatFailsLeavesNoTableButKeepsTheTexts) {
  LoadCoupler();
  const std::string bad = dir_.File("bad.fac");
  test::WriteFileBytes(bad, "only a title\r\n");
  host_.QueueFile(bad);
  EXPECT_FALSE(session_.New());
  EXPECT_FALSE(session_.HasTable());
  EXPECT_EQ(session_.Caption(), "coupler.fac");
  EXPECT_EQ(session_.FromText(), "0.15");
  EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{"Unexpected end of file in " + bad});
}

TEST_F(InterpSessionTest, CancelledDialogsChangeNothing) {
  LoadCoupler();
  for (int i = 0; i < 3; ++i) host_.QueueFile("");
  host_.QueuePrinter(nullptr);
  EXPECT_FALSE(session_.New());
  EXPECT_FALSE(session_.Include());
  EXPECT_FALSE(session_.SaveAs());
  session_.Print();
  EXPECT_TRUE(session_.HasTable());
  EXPECT_EQ(session_.Caption(), "coupler.fac");
  EXPECT_TRUE(host_.Messages().empty());
  EXPECT_TRUE(host_.AllAnswersUsed());
}

TEST_F(InterpSessionTest, IncludeNarrowsTheRangeAndExtendsTheCaption) {
  LoadCoupler();
  host_.QueueFile(kCable);
  ASSERT_TRUE(session_.Include());
  EXPECT_EQ(session_.Caption(), "coupler.fac-cable.los");
  EXPECT_EQ(session_.FromText(), "1");
  EXPECT_EQ(session_.ToText(), "50");
}

TEST_F(InterpSessionTest, IncludeOutsideTheRangeIsRefused) {
  LoadCoupler();
  const std::string far = dir_.File("far.fac");
  test::WriteFileBytes(far, "100, 1\r\n200, 2\r\n");
  host_.QueueFile(far);
  EXPECT_FALSE(session_.Include());
  EXPECT_EQ(session_.Caption(), "coupler.fac");
  EXPECT_EQ(session_.ToText(), "80");
  EXPECT_EQ(host_.MessageTexts(),
            std::vector<std::string>{"Data in file " + far +
                                     " does not coincide with previous cal data."});
}

TEST_F(InterpSessionTest, InterpolateTextsAndChoices) {
  LoadCoupler();
  const struct {
    const char* freq;
    bool logarithmic;
    bool emission;
    std::optional<std::string> result;
  } cases[] = {
      {"0.15", true, true, "-3.2"},  // the first point itself
      {"80", true, true, "1.75"},    // the last point itself
      {"0.149999", true, true, "N/A"}, {"80.000001", true, true, "N/A"},
      {"30", true, true, "0.5"},      // emission: the lower value at the step
      {"30", true, false, "2."},      // immunity: the higher
      {"5.5", false, true, "-0.63"},  // linear between (1, -1.5) and (10, 0.25): -0.625
      {"5.5", true, true, "-0.2"},    // logarithmic
      {" 1E1 ", true, true, "0.25"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(At(c.freq, c.logarithmic, c.emission), c.result) << c.freq;
  }
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(InterpSessionTest, RefusedFrequencyTexts) {
  LoadCoupler();
  EXPECT_EQ(At(""), std::nullopt);
  EXPECT_EQ(At("ten"), std::nullopt);
  EXPECT_EQ(At("10 MHz"), std::nullopt);
  EXPECT_EQ(host_.MessageTexts(),
            (std::vector<std::string>{"Try entering a frequency", "Try entering a number",
                                      "Try entering a number"}));
  EXPECT_EQ(host_.Messages()[0].icon, MsgIcon::None);
  EXPECT_EQ(host_.Messages()[0].title, "Interp");
}

TEST_F(InterpSessionTest, DecimalPlacesAreAskedUntilTheAnswerIsANumber) {
  LoadCoupler();
  host_.QueueInput(std::nullopt);
  host_.QueueInput("");
  host_.QueueInput("three");
  host_.QueueInput("3.5");
  session_.AskDecimalPlaces();
  EXPECT_EQ(session_.DecimalPlaces(), 4);  // halves go to the even neighbour
  ASSERT_EQ(host_.InputRequests().size(), 4u);
  for (const auto& request : host_.InputRequests()) {
    EXPECT_EQ(request.prompt, "Enter number of decimal places");
    EXPECT_EQ(request.title, "Decimal Places");
    EXPECT_EQ(request.defaultText, "2");
  }
  EXPECT_EQ(At("5.5", false), "-0.625");
  const std::pair<const char*, int> answers[] = {{"0", 0}, {"-2", 0}, {"2.5", 2}, {"1E9", 15}};
  for (const auto& [answer, places] : answers) {
    host_.QueueInput(answer);
    session_.AskDecimalPlaces();
    EXPECT_EQ(session_.DecimalPlaces(), places) << answer;
  }
}

TEST(InterpPatterns, DecimalPlacesPattern) {
  EXPECT_EQ(DecimalPlacesPattern(2), "0.##");
  EXPECT_EQ(DecimalPlacesPattern(0), "0.");
  EXPECT_EQ(DecimalPlacesPattern(-1), "0.");
  EXPECT_EQ(DecimalPlacesPattern(99), "0.###############");
}

TEST_F(InterpSessionTest, ZeroDecimalPlacesKeepThePoint) {
  const std::string path = dir_.File("level.lev");
  test::WriteFileBytes(path, "1, 3.7\r\n10, 3.14159\r\n100, 2.5\r\n");
  host_.QueueFile(path);
  ASSERT_TRUE(session_.New());
  EXPECT_EQ(At("10"), "3.14");
  EXPECT_EQ(At("100"), "2.5");
  host_.QueueInput("0");
  session_.AskDecimalPlaces();
  EXPECT_EQ(At("1"), "4.");
}

TEST_F(InterpSessionTest, TableListing) {
  ScriptedHost host;
  InterpClass empty(host);
  const TableListing none = ListTable(empty);
  EXPECT_EQ(none.text, "");
  EXPECT_EQ(none.caption, " 0 entries in table");
  LoadCoupler();
  const TableListing listing = ListTable(session_.Table());
  EXPECT_EQ(listing.text,
            " 0.15,   -3.2\r\n"
            " 1.0,   -1.5\r\n"
            " 10.0,   0.25\r\n"
            " 30.0,   0.5\r\n"
            " 30.0,   2.0\r\n"
            " 80.0,   1.75\r\n");
  EXPECT_EQ(listing.caption, " 6 entries in table");
}

TEST_F(InterpSessionTest, SaveAsProposesTheCaptionAndWritesTheTable) {
  LoadCoupler();
  const std::string path = dir_.File("merged.fac");
  host_.QueueFile(path);
  ASSERT_TRUE(session_.SaveAs());
  const FileDialogRequest& request = host_.FileRequests().back();
  EXPECT_EQ(request.title, "Select Filename");
  EXPECT_TRUE(request.save);
  EXPECT_TRUE(request.confirmOverwrite);
  EXPECT_EQ(request.proposedName, "coupler.fac");
  EXPECT_EQ(request.filter, "*.*");
  EXPECT_EQ(session_.Caption(), path);
  EXPECT_EQ(test::ReadFileBytes(path),
            "0.15, -3.2\r\n1, -1.5\r\n10, 0.25\r\n30, 0.5\r\n30, 2.0\r\n80, 1.75\r\n");
}

// The printer the dialog hands out is released after printing; this one prints onto a
// recording printer that the test keeps.
class PrinterInto final : public Printer {
 public:
  explicit PrinterInto(RecordingPrinter& target) : target_(target) {}
  void SetFont(const std::string& name, double size, bool bold) override {
    target_.SetFont(name, size, bold);
  }
  void PrintLine(const std::string& text) override { target_.PrintLine(text); }
  int CurrentY() const override { return target_.CurrentY(); }
  int PageHeight() const override { return target_.PageHeight(); }
  void NewPage() override { target_.NewPage(); }
  void EndDoc() override { target_.EndDoc(); }

 private:
  RecordingPrinter& target_;
};

TEST_F(InterpSessionTest, PrintsOnTheChosenPrinter) {
  LoadCoupler();
  RecordingPrinter pages;
  host_.QueuePrinter(std::make_unique<PrinterInto>(pages));
  session_.Print();
  ASSERT_EQ(pages.Pages().size(), 1u);
  ASSERT_EQ(pages.Pages()[0].size(), 4u + 6u);
  EXPECT_EQ(pages.Pages()[0][4], "               0.15         -3.2");
  EXPECT_EQ(pages.Pages()[0][9], "               80           1.75");
  EXPECT_TRUE(pages.Ended());
  EXPECT_TRUE(host_.Messages().empty());
}

// A host whose printer dialog fails; everything else is scripted.
class FailingPrinterDialogHost final : public Host {
 public:
  MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title) override {
    return scripted.MsgBox(text, buttons, icon, title);
  }
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override {
    return scripted.InputBox(prompt, title, defaultText);
  }
  void DoEvents(int maxWaitMs) override { scripted.DoEvents(maxWaitMs); }
  void SetBusy(bool) override {}
  void StartTone(int, int) override {}
  void Beep() override {}
  std::string FileDialog(const FileDialogRequest& request) override {
    return scripted.FileDialog(request);
  }
  std::string PickDirectory(const std::string&, const std::string&) override { return {}; }
  std::unique_ptr<Printer> PrinterDialog(const PrinterDialogRequest&) override {
    throw PrinterError(482, "Printer error");
  }
  std::string AppTitle() const override { return "Interp"; }

  ScriptedHost scripted;
};

TEST(InterpSessionPrinting, PrinterDialogFailureNamesTheMenuAndTheFile) {
  FailingPrinterDialogHost host;
  InterpSession session(host);
  host.scripted.QueueFile(kCoupler);
  ASSERT_TRUE(session.New());
  session.Print();
  ASSERT_EQ(host.scripted.Messages().size(), 1u);
  EXPECT_EQ(host.scripted.Messages()[0].text,
            "Error # 482\rPrinter error\rmnuFilePrint\r" + kCoupler);
  EXPECT_EQ(host.scripted.Messages()[0].icon, MsgIcon::Critical);
  EXPECT_EQ(host.scripted.Messages()[0].title, "Error");
}

}  // namespace
}  // namespace brimtal
