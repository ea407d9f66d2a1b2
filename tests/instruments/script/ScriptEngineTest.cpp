// The expression engine: literals, operators with their types and precedence, names,
// statements, errors and the bounds that keep hostile expressions harmless.
#include <gtest/gtest.h>

#include <string>

#include "ScriptCases.h"
#include "instruments/script/ParseReply.h"
#include "instruments/script/ScriptEngine.h"

namespace brimtal {
namespace {

using test::ExpectErrors;
using test::ExpectValues;

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

// "1" inside the given number of parentheses.
std::string Nested(int depth) {
  return Repeat("(", depth) + "1" + Repeat(")", depth);
}

class ScriptEngineTest : public ::testing::Test {
 protected:
  ScriptEngine engine = CreateScriptEngine();
};

TEST_F(ScriptEngineTest, Literals) {
  ExpectValues(engine,
               {
                   {"42", "Integer", "42"},         {"32767", "Integer", "32767"},
                   {"32768", "Long", "32768"},      {"2147483648", "Double", "2147483648"},
                   {"1.5", "Double", "1.5"},        {".5", "Double", "0.5"},
                   {"2.", "Double", "2"},           {"1E3", "Double", "1000"},
                   {"1.5e-3", "Double", "0.0015"},  {"&HFF", "Integer", "255"},
                   {"&hff", "Integer", "255"},      {"&HFFFF", "Integer", "-1"},
                   {"&H8000", "Integer", "-32768"}, {"&H10000", "Long", "65536"},
                   {"&HFFFFFFFF", "Long", "-1"},    {"&HFF&", "Long", "255"},
                   {"&O17", "Integer", "15"},       {"\"say \"\"hi\"\"\"", "String", "say \"hi\""},
                   {"\"\"", "String", ""},          {"True", "Boolean", "True"},
                   {"false", "Boolean", "False"},   {"EMPTY", "Empty", ""},
               });
}

TEST_F(ScriptEngineTest, ArithmeticOperatorsWidenTheirResultType) {
  ExpectValues(engine, {
                           // ^ always gives a Double, groups from the left and binds tighter
                           // than a sign.
                           {"2 ^ 10", "Double", "1024"},
                           {"2 ^ 3 ^ 2", "Double", "64"},
                           {"-2 ^ 2", "Double", "-4"},
                           {"2 ^ -1", "Double", "0.5"},
                           {"(-8) ^ 3", "Double", "-512"},
                           // Negation.
                           {"-5", "Integer", "-5"},
                           {"-32768", "Long", "-32768"},
                           {"-Empty", "Integer", "0"},
                           {"-True", "Integer", "1"},
                           {"-\"2.5\"", "Double", "-2.5"},
                           // * and /.
                           {"6 * 7", "Integer", "42"},
                           {"200 * 200", "Long", "40000"},
                           {"65536 * 65536", "Double", "4294967296"},
                           {"1.5 * 2", "Double", "3"},
                           {"7 / 2", "Double", "3.5"},
                           {"1 / 3", "Double", "0.333333333333333"},
                           {"CSng(1) / 4", "Single", "0.25"},
                           {"CSng(1) / 3", "Single", "0.3333333"},
                           {"CLng(1) / CSng(4)", "Double", "0.25"},
                           // \ and Mod round their operands (halves to even) first.
                           {"7 \\ 2", "Integer", "3"},
                           {"-7 \\ 2", "Integer", "-3"},
                           {"7.5 \\ 2", "Long", "4"},
                           {"2.5 \\ 1", "Long", "2"},
                           {"-32768 \\ -1", "Long", "32768"},
                           {"7 Mod 3", "Integer", "1"},
                           {"-7 Mod 3", "Integer", "-1"},
                           {"7 Mod -3", "Integer", "1"},
                           {"5.5 Mod 4", "Long", "2"},
                           // + and -.
                           {"1 + 2", "Integer", "3"},
                           {"32767 + 1", "Long", "32768"},
                           {"2147483647 + 1", "Double", "2147483648"},
                           {"-32767 - 2", "Long", "-32769"},
                           {"5 - 7", "Integer", "-2"},
                           {"True + True", "Integer", "-2"},
                           {"Empty + Empty", "Integer", "0"},
                           {"CSng(1.5) + 1", "Single", "2.5"},
                           {"CSng(1) + CLng(1)", "Double", "2"},
                           {"0.1 + 0.2", "Double", "0.3"},
                       });
}

TEST_F(ScriptEngineTest, TextsMeetNumbersAsTheLanguageConvertsThem) {
  ExpectValues(engine, {
                           {"\"1.5\" + 1", "Double", "2.5"},
                           {"\" 2 \" * \"3\"", "Double", "6"},
                           {"(\"1.5\" & vbLf) + 1", "Double", "2.5"},
                           {"\"a\" + \"b\"", "String", "ab"},
                           {"Empty + \"a\"", "String", "a"},
                           {"\"a\" + Empty", "String", "a"},
                           {"1 & 2", "String", "12"},
                           {"\"a\" & Empty", "String", "a"},
                           {"True & 1.5", "String", "True1.5"},
                           {"1 / 4 & \"\"", "String", "0.25"},
                           {"1 + 2 & 3", "String", "33"},
                       });
  ExpectErrors(engine, {
                           {"\"a\" + 1", 13, "Type mismatch"},
                           {"\"12 dBm\" * 1", 13, "Type mismatch"},
                           {"-\"a\"", 13, "Type mismatch"},
                           {"Split(\"a\") & \"\"", 13, "Type mismatch"},
                       });
}

TEST_F(ScriptEngineTest, ComparisonOperators) {
  ExpectValues(engine, {
                           {"1 = 1", "Boolean", "True"},
                           {"2 = 2.0", "Boolean", "True"},
                           {"\"a\" = \"A\"", "Boolean", "False"},
                           {"Empty = 0", "Boolean", "True"},
                           {"Empty = \"\"", "Boolean", "True"},
                           {"Empty = Empty", "Boolean", "True"},
                           // A number is less than any text: they are never equal.
                           {"1 = \"1\"", "Boolean", "False"},
                           {"1 < \"0\"", "Boolean", "True"},
                           {"1 <> 2", "Boolean", "True"},
                           {"\"a\" <> \"a\"", "Boolean", "False"},
                           {"\"a\" < \"b\"", "Boolean", "True"},
                           {"\"B\" < \"a\"", "Boolean", "True"},
                           {"3 > 2", "Boolean", "True"},
                           {"2 <= 2", "Boolean", "True"},
                           {"3 <= 2", "Boolean", "False"},
                           {"\"b\" >= \"a\"", "Boolean", "True"},
                           {"True < 0", "Boolean", "True"},
                           {"1 < 2 < 3", "Boolean", "True"},
                       });
  ExpectErrors(engine, {{"Split(\"a\") = 1", 13, "Type mismatch"}});
}

TEST_F(ScriptEngineTest, LogicalOperatorsWorkOnBitsAndBooleans) {
  ExpectValues(engine, {
                           {"Not True", "Boolean", "False"},
                           {"Not 0", "Integer", "-1"},
                           {"Not Empty", "Integer", "-1"},
                           {"Not CLng(5)", "Long", "-6"},
                           {"Not 1.5", "Long", "-3"},
                           {"Not 1 = 2", "Boolean", "True"},
                           {"True And False", "Boolean", "False"},
                           {"12 And 10", "Integer", "8"},
                           {"True And 3", "Integer", "3"},
                           {"CLng(12) And 10", "Long", "8"},
                           {"12 Or 3", "Integer", "15"},
                           {"False Or True", "Boolean", "True"},
                           {"12 Xor 10", "Integer", "6"},
                           {"True Xor True", "Boolean", "False"},
                           {"\"12\" And 10", "Long", "8"},
                       });
  ExpectErrors(engine, {{"\"a\" And 1", 13, "Type mismatch"}, {"Not \"a\"", 13, "Type mismatch"}});
}

TEST_F(ScriptEngineTest, Precedence) {
  ExpectValues(engine, {
                           {"1 + 2 * 3", "Integer", "7"},
                           {"(1 + 2) * 3", "Integer", "9"},
                           {"10 - 4 - 3", "Integer", "3"},
                           {"2 * 3 Mod 4", "Integer", "2"},
                           {"7 \\ 2 * 2", "Integer", "1"},
                           {"9 Mod 4 \\ 2", "Integer", "1"},
                           {"1 + 5 Mod 3", "Integer", "3"},
                           {"-2 * 3", "Integer", "-6"},
                           {"1 + 1 = 2 And 3 > 2", "Boolean", "True"},
                           {"True Or False Xor True", "Boolean", "False"},
                           {"False And True Or True", "Boolean", "True"},
                           {"Not False And False", "Boolean", "False"},
                           {"1 + Not 0", "Integer", "0"},
                           {"\"a\" & 1 = 1", "Boolean", "False"},
                       });
}

TEST_F(ScriptEngineTest, NamesIgnoreLetterCaseAndUnknownVariablesAreEmpty) {
  engine.FindObject("MathLib")->RetString = "+1.5E-3";
  engine.ExecuteStatement("Reading = 5");
  ExpectValues(engine, {
                           {"reading", "Integer", "5"},
                           {"READING * 2", "Integer", "10"},
                           {"RetString", "String", "+1.5E-3"},
                           {"retstring", "String", "+1.5E-3"},
                           {"MathLib.RetString", "String", "+1.5E-3"},
                           {"MATHLIB.retSTRING", "String", "+1.5E-3"},
                           {"neverSet", "Empty", ""},
                           {"IsEmpty(neverSet)", "Boolean", "True"},
                           {"vbcrlf", "String", "\r\n"},
                       });
}

TEST_F(ScriptEngineTest, ArraysAreIndexedFromZero) {
  engine.ExecuteStatement("parts = Split(\"1,2,-3.5,4\", \",\")");
  ExpectValues(engine, {
                           {"Split(\"1,2,-3.5,4\", \",\")(2)", "String", "-3.5"},
                           {"parts(0)", "String", "1"},
                           {"Parts(3) + 1", "Double", "5"},
                           {"parts(1.5)", "String", "-3.5"},
                           {"parts(\"1\")", "String", "2"},
                           {"parts", "Variant()", ""},
                       });
  ExpectErrors(engine, {
                           {"parts(4)", 9, "Subscript out of range"},
                           {"parts(-1)", 9, "Subscript out of range"},
                           {"parts(0, 1)", 9, "Subscript out of range"},
                           {"parts()", 9, "Subscript out of range"},
                           {"parts(\"x\")", 13, "Type mismatch"},
                           {"Split(\"a\")(0)(0)", 13, "Type mismatch"},
                       });
}

TEST_F(ScriptEngineTest, StatementsAssignVariablesAndTheReplyProperty) {
  clsBmLib& mathLib = *engine.FindObject("MathLib");
  engine.ExecuteStatement("a = 1: b = a + 1\r\nc = b * 10 ' a comment\nd = 1 + _\n 2");
  engine.ExecuteStatement("");
  engine.ExecuteStatement("RetString = 2.5");
  EXPECT_EQ(mathLib.RetString, "2.5");
  engine.ExecuteStatement("mathlib.retstring = \"q\" & a");
  EXPECT_EQ(mathLib.RetString, "q1");
  ExpectValues(engine, {{"b", "Integer", "2"}, {"c", "Integer", "20"}, {"d", "Integer", "3"}});
  // Eval compares where a statement assigns.
  ExpectValues(engine, {{"a = 2", "Boolean", "False"}});
  ExpectValues(engine, {{"a", "Integer", "1"}});
}

TEST_F(ScriptEngineTest, StatementErrors) {
  const test::ErrorCase cases[] = {
      {"5", 1024, "Expected statement"},
      {"And = 1", 1024, "Expected statement"},
      {"x", 1011, "Expected '='"},
      {"x(1) = 2", 1011, "Expected '='"},
      {"x = ", 1023, "Expected expression"},
      {"x = 1 2", 1025, "Expected end of statement"},
      {"Len = 1", 501, "Illegal assignment: 'Len'"},
      {"vbCrLf = 1", 501, "Illegal assignment: 'vbCrLf'"},
      {"MathLib = 1", 501, "Illegal assignment: 'MathLib'"},
      {"MathLib.Value = 1", 438, "Object doesn't support this property or method: 'MathLib.Value'"},
      {"y.RetString = 1", 424, "Object required: 'y'"},
      {"RetString = Split(\"a\")", 13, "Type mismatch"},
  };
  for (const auto& c : cases) {
    try {
      engine.ExecuteStatement(c.expression);
      ADD_FAILURE() << c.expression << " ran";
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.Number(), c.number) << c.expression;
      EXPECT_EQ(error.Description(), c.description) << c.expression;
    }
  }
}

TEST_F(ScriptEngineTest, RuntimeErrors) {
  ExpectErrors(
      engine,
      {
          {"1 / 0", 11, "Division by zero"},
          {"0 / 0", 6, "Overflow"},
          {"5 \\ 0", 11, "Division by zero"},
          {"5 Mod 0.4", 11, "Division by zero"},
          {"1E308 * 10", 6, "Overflow"},
          {"-2147483648 \\ -1", 6, "Overflow"},
          {"2147483648 \\ 1", 6, "Overflow"},
          {"(-8) ^ (1 / 3)", 5, "Invalid procedure call or argument"},
          {"0 ^ -1", 5, "Invalid procedure call or argument"},
          {"Foo(1)", 13, "Type mismatch: 'Foo'"},
          {"Eval(\"1\")", 13, "Type mismatch: 'Eval'"},
          {"Len()", 450, "Wrong number of arguments or invalid property assignment: 'Len'"},
          {"Left(\"a\", 1, 2)", 450,
           "Wrong number of arguments or invalid property assignment: 'Left'"},
          {"Left", 450, "Wrong number of arguments or invalid property assignment: 'Left'"},
          {"MathLib", 438, "Object doesn't support this property or method: 'MathLib'"},
          {"MathLib.Size", 438, "Object doesn't support this property or method: 'MathLib.Size'"},
          {"x.Length", 424, "Object required: 'x'"},
      });
}

TEST_F(ScriptEngineTest, NothingReachesObjectsOrTheSystem) {
  ExpectErrors(
      engine, {
                  {"CreateObject(\"WScript.Shell\")", 429, "ActiveX component can't create object"},
                  {"createobject(\"Scripting.FileSystemObject\").DeleteFile(\"x\")", 429,
                   "ActiveX component can't create object"},
                  {"GetObject(\"winmgmts:\")", 429, "ActiveX component can't create object"},
                  {"CreateObject", 429, "ActiveX component can't create object"},
                  {"Execute(\"x = 1\")", 13, "Type mismatch: 'Execute'"},
                  {"Shell(\"rm -rf /\")", 13, "Type mismatch: 'Shell'"},
              });
}

TEST_F(ScriptEngineTest, SyntaxErrors) {
  ExpectErrors(engine, {
                           {"", 1023, "Expected expression"},
                           {"   ", 1023, "Expected expression"},
                           {"1 +", 1023, "Expected expression"},
                           {"Not", 1023, "Expected expression"},
                           {"* 2", 1002, "Syntax error"},
                           {"And 1", 1002, "Syntax error"},
                           {"1 + )", 1002, "Syntax error"},
                           {"(1", 1006, "Expected ')'"},
                           {"Mid(x, 1", 1006, "Expected ')'"},
                           {"1 2", 1025, "Expected end of statement"},
                           {"1.2.3", 1025, "Expected end of statement"},
                           {"x\n", 1025, "Expected end of statement"},
                           {"\"abc", 1033, "Unterminated string constant"},
                           {"\"a\nb\"", 1033, "Unterminated string constant"},
                           {"1 # 2", 1032, "Invalid character"},
                           {"x;", 1032, "Invalid character"},
                           {"1E", 1031, "Invalid number"},
                           {"&H123456789", 1031, "Invalid number"},
                           {"1E999", 1031, "Invalid number"},
                           {"MathLib.", 1010, "Expected identifier"},
                           {std::string(256, 'a'), 1030, "Identifier too long"},
                       });
}

TEST_F(ScriptEngineTest, BoundsStopHostileExpressions) {
  ExpectErrors(engine,
               {
                   {Nested(70), 28, "Out of stack space"},
                   {Repeat("-", 70) + "1", 28, "Out of stack space"},
                   {Repeat("Not ", 70) + "1", 28, "Out of stack space"},
                   {"1" + Repeat(" + 1", 600), 28, "Out of stack space"},
                   {"String(65537, \"a\")", 14, "Out of string space"},
                   {"Space(65536) & \"a\"", 14, "Out of string space"},
                   {"Replace(String(40000, \"a\"), \"a\", \"aa\")", 14, "Out of string space"},
                   {"Len(Space(60000))" + Repeat(" + Len(Space(60000))", 300), 7, "Out of memory"},
                   {Repeat(" ", 9000) + "1", 1001, "Out of memory"},
               });
  // Within the bounds the same constructs work.
  ExpectValues(engine, {
                           {Nested(60), "Integer", "1"},
                           {"1" + Repeat(" + 1", 400), "Integer", "401"},
                           {"Len(String(65536, \"a\"))", "Long", "65536"},
                       });
}

TEST_F(ScriptEngineTest, VariablesAreBounded) {
  engine.FindObject("MathLib")->RetString = std::string(65537, 'a');
  try {
    engine.ExecuteStatement("x= RetString");
    ADD_FAILURE() << "a text beyond the limit was kept";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.Number(), 14);
  }
  for (int i = 0; i < 4; ++i) engine.ExecuteStatement("s" + std::to_string(i) + " = Space(60000)");
  EXPECT_THROW(engine.ExecuteStatement("s4 = Space(60000)"), ScriptError);
  // Replacing a kept value frees its room.
  engine.ExecuteStatement("s0 = 1: s4 = Space(60000)");
  ScriptEngine small;
  for (int i = 0; i < 64; ++i) small.ExecuteStatement("v" + std::to_string(i) + " = 1");
  try {
    small.ExecuteStatement("v64 = 1");
    ADD_FAILURE() << "a 65th variable was kept";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.Number(), 7);
    EXPECT_EQ(error.Description(), "Out of memory");
  }
  small.ExecuteStatement("v0 = 2");
  EXPECT_EQ(ToText(small.Eval("v0")), "2");
}

TEST_F(ScriptEngineTest, TheErrorObjectKeepsTheLastErrorUntilCleared) {
  EXPECT_EQ(engine.Error().Number, 0);
  EXPECT_THROW(engine.Eval("1 / 0"), ScriptError);
  EXPECT_EQ(engine.Error().Number, 11);
  EXPECT_EQ(engine.Error().Description, "Division by zero");
  engine.ClearError();
  EXPECT_EQ(engine.Error().Number, 0);
  EXPECT_EQ(engine.Error().Description, "");
  EXPECT_EQ(ToText(engine.Eval("1 / 4")), "0.25");
}

TEST_F(ScriptEngineTest, EnginesShareNothing) {
  ScriptEngine other = CreateScriptEngine();
  engine.ExecuteStatement("x = 1");
  other.ExecuteStatement("x = 2");
  engine.FindObject("MathLib")->RetString = "one";
  EXPECT_EQ(ToText(engine.Eval("x")), "1");
  EXPECT_EQ(ToText(other.Eval("x")), "2");
  EXPECT_EQ(ToText(other.Eval("RetString")), "");
}

TEST_F(ScriptEngineTest, RegisteringObjects) {
  EXPECT_EQ(ScriptEngineVersionText(engine), "5.8");
  try {
    engine.AddObject("mathlib", false);
    ADD_FAILURE() << "a second MathLib was registered";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.Number(), 457);
  }
  // Without global members only the qualified name reaches the property.
  ScriptEngine plain;
  plain.AddObject("Lib", false).RetString = "r";
  EXPECT_EQ(ToText(plain.Eval("Lib.RetString")), "r");
  EXPECT_TRUE(plain.Eval("RetString").IsEmpty());
}

}  // namespace
}  // namespace brimtal
