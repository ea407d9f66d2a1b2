// ParseReply over the program's engine: the reply reaches the expression as x and RetString,
// failures show the "Scripting error" box, return empty text and leave the engine usable.
#include <gtest/gtest.h>

#include <string>

#include "instruments/script/ParseReply.h"
#include "shell/ScriptedHost.h"

namespace brimtal {
namespace {

class ParseReplyTest : public ::testing::Test {
 protected:
  ScriptedHost host;
  ScriptEngine engine = CreateScriptEngine();

  void ExpectScriptingError(const std::string& reply, const std::string& expression,
                            const std::string& numberAndDescription) {
    host.ClearMessages();
    EXPECT_EQ(ParseReply(host, engine, reply, expression), "") << expression;
    ASSERT_EQ(host.Messages().size(), 1u) << expression;
    const auto& box = host.Messages()[0];
    EXPECT_EQ(box.text, "Scripting error\r\nError number " + numberAndDescription) << expression;
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    EXPECT_EQ(box.icon, MsgIcon::None);
    EXPECT_EQ(box.title, "Brimtal");
    EXPECT_EQ(engine.Error().Number, 0) << "the engine's error was not cleared";
  }
};

TEST_F(ParseReplyTest, TheReplyItselfInEveryLetterCase) {
  const char* replies[] = {"+1.23456789E-03", "  -12.34 dBm", "1,2,-3.5,4", "", "OK\n",
                           "\"quoted\""};
  const char* expressions[] = {
      "X", "x", " x ", "RetString", "MathLib.RetString", "mathlib.RETSTRING"};
  for (const char* reply : replies) {
    for (const char* expression : expressions) {
      EXPECT_EQ(ParseReply(host, engine, reply, expression), reply) << expression;
    }
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(ParseReplyTest, WorkedExamplesOfTheManual) {
  struct Example {
    const char* reply;
    const char* expression;
    const char* result;
  };
  const Example examples[] = {
      {"+1.23456789E-03", "CDbl(x)", "0.00123456789"},
      {"+1.23456789E-03", "CDbl(x) * 1000", "1.23456789"},
      {"+1.23456789E-03", "Round(CDbl(x) * 1000, 3)", "1.235"},
      {"MKA -23.45 dBm", "Mid(x, 5, 6)", "-23.45"},
      {"MKA -23.45 dBm", "Split(x, \" \")(1)", "-23.45"},
      {"MKA -23.45 dBm", "Trim(Replace(Replace(x, \"MKA\", \"\"), \"dBm\", \"\"))", "-23.45"},
      {"  -12.34 dBm", "Split(Trim(x), \" \")(0)", "-12.34"},
      {"  -12.34 dBm", "Left(Trim(x), InStr(Trim(x), \" \") - 1)", "-12.34"},
      {"1,2,-3.5,4", "Split(x, \",\")(2)", "-3.5"},
      {"1,2,-3.5,4", "CDbl(Split(x, \",\")(2)) * 2", "-7"},
      {"1,2,-3.5,4", "Split(x, \",\")(UBound(Split(x, \",\")))", "4"},
      {"1,2,-3.5,4", "Mid(x, InStrRev(x, \",\") + 1)", "4"},
      {"-23.45\n", "CDbl(x) + 0", "-23.45"},
      {"OVLD", "x = \"OVLD\"", "True"},
  };
  for (const auto& e : examples) {
    EXPECT_EQ(ParseReply(host, engine, e.reply, e.expression), e.result)
        << e.reply << " with " << e.expression;
  }
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(ParseReplyTest, EachCallSeesItsOwnReply) {
  EXPECT_EQ(ParseReply(host, engine, "1", "CDbl(x) + 1"), "2");
  EXPECT_EQ(ParseReply(host, engine, "10", "CDbl(x) + 1"), "11");
  // A statement inside the expression is a comparison, so nothing the expression does changes x.
  EXPECT_EQ(ParseReply(host, engine, "5", "x = 6"), "False");
  EXPECT_EQ(ParseReply(host, engine, "5", "x"), "5");
}

TEST_F(ParseReplyTest, ASyntaxErrorShowsTheBoxAndTheNextCallWorks) {
  ExpectScriptingError("1.5", "CDbl(x", "1006\r\nExpected ')'");
  host.ClearMessages();
  EXPECT_EQ(ParseReply(host, engine, "1.5", "CDbl(x) * 2"), "3");
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(ParseReplyTest, EveryKindOfFailureGivesEmptyText) {
  ExpectScriptingError("abc", "x + 1", "13\r\nType mismatch");
  ExpectScriptingError("1,2", "Split(x, \",\")", "13\r\nType mismatch");
  ExpectScriptingError("1,2", "Split(x, \",\")(5)", "9\r\nSubscript out of range");
  ExpectScriptingError("0", "1 / x", "11\r\nDivision by zero");
  ExpectScriptingError("", "Left(x, -1)", "5\r\nInvalid procedure call or argument");
  ExpectScriptingError("", "1 +", "1023\r\nExpected expression");
  ExpectScriptingError("", "\"open", "1033\r\nUnterminated string constant");
  ExpectScriptingError("", "", "1023\r\nExpected expression");
  ExpectScriptingError("", "CreateObject(\"WScript.Shell\").Run(\"calc\")",
                       "429\r\nActiveX component can't create object");
  // A reply too long to keep fails at "x= RetString", before the expression.
  ExpectScriptingError(std::string(70000, '1'), "1", "14\r\nOut of string space");
  EXPECT_EQ(ParseReply(host, engine, "7", "x"), "7");
}

TEST_F(ParseReplyTest, AnEngineWithoutMathLibIsAScriptingError) {
  engine = ScriptEngine();
  ExpectScriptingError("1", "x", "424\r\nObject required: 'MathLib'");
}

TEST_F(ParseReplyTest, TheProgramsEngineReportsItsVersion) {
  EXPECT_EQ(ScriptEngineVersionText(engine), "5.8");
  EXPECT_NE(engine.FindObject("mathlib"), nullptr);
}

}  // namespace
}  // namespace brimtal
