// Shared routines: comparisons, path shortening, the filter choice, number prompts, the busy
// pointer and window placement.
#include <gtest/gtest.h>

#include "shell/BmGlobals.h"
#include "shell/ScriptedHost.h"

namespace brimtal {
namespace {

TEST(BmGlobals, MinAndMaxOfEqualValues) {
  EXPECT_EQ(MaxOf(3, 3), 3);
  EXPECT_EQ(MinOf(3, 3), 3);
  EXPECT_EQ(MinOf(2.5, -1.0), -1.0);
  EXPECT_EQ(MaxOf(2.5, -1.0), 2.5);
}

TEST(BmGlobals, ShortenPathKeepsFirstAndLastOfFourOrMoreParts) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/lab/cal/x.cal", "/.../x.cal"},
      {"/cal/x.cal", "/cal/x.cal"},
      {"cal/x.cal", "cal/x.cal"},
      {"a/b/c/d", "a/.../d"},
      {"a/b/c", "a/b/c"},
      {"", ""},
  };
  for (auto [path, shortened] : cases) EXPECT_EQ(ShortenPath(path), shortened) << path;
}

TEST(BmGlobals, FileNameOfPath) {
  EXPECT_EQ(FileNameOfPath("/home/lab/x.cal"), "x.cal");
  EXPECT_EQ(FileNameOfPath("x.cal"), "x.cal");
  EXPECT_EQ(FileNameOfPath("/home/"), "");
}

TEST(BmGlobals, FilterIndexFollowsThePreferredPattern) {
  const std::string filter =
      "Amp Power File (*.pwr)|*.pwr|Cable Loss File (*.los)|*.los|Factor File (*.fac)|*.fac|"
      "Test Level File (*.lev)|*.lev|All Files (*.*)|*.*";
  EXPECT_EQ(ChooseFilterIndex(filter, ""), 1);
  EXPECT_EQ(ChooseFilterIndex(filter, "*.lev"), 4);
  EXPECT_EQ(ChooseFilterIndex(filter, "*.xyz"), 5);
  EXPECT_EQ(ChooseFilterIndex("*.*", "*.lev"), 1);
}

TEST(BmGlobals, PickFileAsksTheHostWithTheChosenFilter) {
  ScriptedHost host;
  host.QueueFile("/lab/a.eqp");
  host.QueueFile("");
  EXPECT_EQ(PickFile(host, true, "Equipment Setup Files (*.eqp)|*.eqp|All Files|*.*",
                     "Select equipment file", "*.eqp", "/lab"),
            "/lab/a.eqp");
  EXPECT_EQ(PickFile(host, false, "A|*.a|B|*.b", "t", "*.z"), "");
  ASSERT_EQ(host.FileRequests().size(), 2u);
  EXPECT_TRUE(host.FileRequests()[0].save);
  EXPECT_TRUE(host.FileRequests()[0].confirmOverwrite);
  EXPECT_EQ(host.FileRequests()[0].filterIndex, 1);
  EXPECT_EQ(host.FileRequests()[0].startDir, "/lab");
  EXPECT_FALSE(host.FileRequests()[1].save);
  EXPECT_EQ(host.FileRequests()[1].filterIndex, 2);
}

TEST(BmGlobals, AskNumberEndsQuietlyOnCancelOrBlanksAndTellsWhatIsNoNumber) {
  struct Case {
    std::optional<std::string> answer;
    std::optional<double> number;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"80", 80.0, {}},
      {" 1E3 ", 1000.0, {}},
      {std::nullopt, std::nullopt, {}},
      {"", std::nullopt, {}},
      {"   ", std::nullopt, {}},
      {"80 MHz", std::nullopt, {"Error # 13\rType mismatch"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.value_or("(cancelled)"));
    ScriptedHost host;
    host.QueueInput(c.answer);
    EXPECT_EQ(AskNumber(host, "Enter Frequency in MHZ", "80"), c.number);
    EXPECT_EQ(host.MessageTexts(), c.messages);
    ASSERT_EQ(host.InputRequests().size(), 1u);
    EXPECT_EQ(host.InputRequests()[0].prompt, "Enter Frequency in MHZ");
    EXPECT_EQ(host.InputRequests()[0].title, "");
    EXPECT_EQ(host.InputRequests()[0].defaultText, "80");
  }
}

TEST(BmGlobals, BusyPointerLastsAsLongAsItsScope) {
  ScriptedHost host;
  {
    const BusyPointer busy(host);
    EXPECT_TRUE(host.Busy());
  }
  EXPECT_FALSE(host.Busy());
}

TEST(BmGlobals, PlaceWindowStaysPutCentresOrMoves) {
  const ScreenRect screen{0, 0, 1920, 1080};
  EXPECT_FALSE(PlaceWindowPosition("", 400, 300, screen).has_value());
  EXPECT_FALSE(PlaceWindowPosition("1,", 400, 300, screen).has_value());
  auto moved = PlaceWindowPosition("100,200", 400, 300, screen);
  ASSERT_TRUE(moved.has_value());
  EXPECT_EQ(moved->x, 100);
  EXPECT_EQ(moved->y, 200);
  for (const char* offScreen : {"-5,200", "100,-1", "1700,200", "100,900"}) {
    auto centred = PlaceWindowPosition(offScreen, 400, 300, screen);
    ASSERT_TRUE(centred.has_value()) << offScreen;
    EXPECT_EQ(centred->x, 760) << offScreen;
    EXPECT_EQ(centred->y, 390) << offScreen;
  }
}

}  // namespace
}  // namespace brimtal
