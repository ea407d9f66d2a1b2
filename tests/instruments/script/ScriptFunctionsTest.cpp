// Built-in functions and constants of parse expressions: values, result types and errors.
#include <gtest/gtest.h>

#include "ScriptCases.h"
#include "instruments/script/ParseReply.h"

namespace brimtal {
namespace {

using test::ExpectErrors;
using test::ExpectValues;

constexpr const char* kInvalidCall = "Invalid procedure call or argument";

class ScriptFunctionsTest : public ::testing::Test {
 protected:
  ScriptEngine engine = CreateScriptEngine();
};

TEST_F(ScriptFunctionsTest, Conversions) {
  ExpectValues(engine, {
                           {"CBool(0)", "Boolean", "False"},
                           {"CBool(-0.5)", "Boolean", "True"},
                           {"CBool(\"true\")", "Boolean", "True"},
                           {"CBool(\"2\")", "Boolean", "True"},
                           {"CBool(Empty)", "Boolean", "False"},
                           {"CDbl(\"+1.23456789E-03\")", "Double", "0.00123456789"},
                           {"CDbl(\" 12 \")", "Double", "12"},
                           {"CDbl(\"-23.45\" & vbCrLf)", "Double", "-23.45"},
                           {"CDbl(\"&H10\")", "Double", "16"},
                           {"CDbl(True)", "Double", "-1"},
                           {"CInt(2.5)", "Integer", "2"},
                           {"CInt(3.5)", "Integer", "4"},
                           {"CInt(\"-1.5\")", "Integer", "-2"},
                           {"CLng(\"123456\")", "Long", "123456"},
                           {"CLng(-2.5)", "Long", "-2"},
                           {"CSng(1.1)", "Single", "1.1"},
                           {"CDbl(CSng(1.1))", "Double", "1.10000002384186"},
                           {"CSng(12345678)", "Single", "1.234568E+07"},
                           {"CStr(1 / 4)", "String", "0.25"},
                           {"CStr(True)", "String", "True"},
                           {"CStr(1E-5)", "String", "1E-05"},
                           {"CStr(0.0001)", "String", "0.0001"},
                           {"CStr(1E15)", "String", "1E+15"},
                           {"CStr(123456789012345)", "String", "123456789012345"},
                           {"CStr(2 / 3 * 1E20)", "String", "6.66666666666667E+19"},
                           {"CStr(Empty)", "String", ""},
                       });
  ExpectErrors(engine, {
                           {"CBool(\"yes\")", 13, "Type mismatch"},
                           {"CDbl(\"12 dBm\")", 13, "Type mismatch"},
                           {"CDbl(\"\")", 13, "Type mismatch"},
                           {"CDbl(\"1,5\")", 13, "Type mismatch"},
                           {"CInt(32767.5)", 6, "Overflow"},
                           {"CInt(-32769)", 6, "Overflow"},
                           {"CLng(2147483648)", 6, "Overflow"},
                           {"CSng(1E39)", 6, "Overflow"},
                           {"CStr(Split(\"a\"))", 13, "Type mismatch"},
                       });
}

TEST_F(ScriptFunctionsTest, ArithmeticFunctionsKeepTheNumberType) {
  ExpectValues(engine, {
                           {"Abs(-2.5)", "Double", "2.5"},
                           {"Abs(-7)", "Integer", "7"},
                           {"Abs(-32768)", "Long", "32768"},
                           {"Abs(\"-3\")", "Double", "3"},
                           {"Abs(Empty)", "Integer", "0"},
                           {"Fix(-2.7)", "Double", "-2"},
                           {"Fix(2.7)", "Double", "2"},
                           {"Int(-2.5)", "Double", "-3"},
                           {"Int(2.5)", "Double", "2"},
                           {"Int(7)", "Integer", "7"},
                           {"Int(CSng(2.5))", "Single", "2"},
                           {"Sgn(-0.5)", "Integer", "-1"},
                           {"Sgn(0)", "Integer", "0"},
                           {"Sgn(\"3\")", "Integer", "1"},
                           {"Sqr(16)", "Double", "4"},
                           {"Exp(0)", "Double", "1"},
                           {"Exp(1)", "Double", "2.71828182845905"},
                           {"Log(Exp(2))", "Double", "2"},
                           {"Atn(1) * 4", "Double", "3.14159265358979"},
                           {"Cos(0)", "Double", "1"},
                           {"Sin(0)", "Double", "0"},
                           {"Tan(Atn(1))", "Double", "1"},
                       });
  ExpectErrors(engine, {
                           {"Sqr(-1)", 5, kInvalidCall},
                           {"Log(0)", 5, kInvalidCall},
                           {"Log(-1)", 5, kInvalidCall},
                           {"Exp(1000)", 6, "Overflow"},
                           {"Abs(\"a\")", 13, "Type mismatch"},
                           {"Sin(Split(\"a\"))", 13, "Type mismatch"},
                       });
}

// Round works on the number as written in decimal and sends halves to the even neighbour.
TEST_F(ScriptFunctionsTest, Round) {
  ExpectValues(engine, {
                           {"Round(2.5)", "Double", "2"},
                           {"Round(3.5)", "Double", "4"},
                           {"Round(-2.5)", "Double", "-2"},
                           {"Round(2.4999)", "Double", "2"},
                           {"Round(0.125, 2)", "Double", "0.12"},
                           {"Round(0.135, 2)", "Double", "0.14"},
                           {"Round(2.675, 2)", "Double", "2.68"},
                           {"Round(0.1251, 2)", "Double", "0.13"},
                           {"Round(99.95, 1)", "Double", "100"},
                           {"Round(1.23456789E-03, 5)", "Double", "0.00123"},
                           {"Round(0.004, 2)", "Double", "0"},
                           {"Round(12345.678, 1)", "Double", "12345.7"},
                           {"Round(1.5E300, 2)", "Double", "1.5E+300"},
                           {"Round(7)", "Integer", "7"},
                           {"Round(\"2.55\", 1)", "Double", "2.6"},
                           {"Round(CSng(2.5))", "Single", "2"},
                       });
  ExpectErrors(engine, {{"Round(1, -1)", 5, kInvalidCall}});
}

TEST_F(ScriptFunctionsTest, FormatNumber) {
  ExpectValues(engine, {
                           {"FormatNumber(1234.5)", "String", "1,234.50"},
                           {"FormatNumber(-0.125, 2)", "String", "-0.13"},
                           {"FormatNumber(0.5, 0)", "String", "1"},
                           {"FormatNumber(0.25, 1, 0)", "String", ".3"},
                           {"FormatNumber(0.4, 0, 0)", "String", "0"},
                           {"FormatNumber(-1234, 0, -1, -1)", "String", "(1,234)"},
                           {"FormatNumber(1234567.891, 1, -1, 0, 0)", "String", "1234567.9"},
                           {"FormatNumber(1234567.891, -1, -2, -2, -2)", "String", "1,234,567.89"},
                           {"FormatNumber(\"12\")", "String", "12.00"},
                           {"FormatNumber(-0.001)", "String", "0.00"},
                       });
  ExpectErrors(engine, {
                           {"FormatNumber(\"a\")", 13, "Type mismatch"},
                           {"FormatNumber(1, -2)", 5, kInvalidCall},
                           {"FormatNumber(1, 2, 3)", 5, kInvalidCall},
                       });
}

TEST_F(ScriptFunctionsTest, HexAndOctShowTheBitsOfTheType) {
  ExpectValues(engine, {
                           {"Hex(255)", "String", "FF"},
                           {"Hex(-1)", "String", "FFFF"},
                           {"Hex(CLng(-1))", "String", "FFFFFFFF"},
                           {"Hex(-32769)", "String", "FFFF7FFF"},
                           {"Hex(65536)", "String", "10000"},
                           {"Hex(2.5)", "String", "2"},
                           {"Hex(\"255\")", "String", "FF"},
                           {"Hex(Empty)", "String", "0"},
                           {"Oct(8)", "String", "10"},
                           {"Oct(-1)", "String", "177777"},
                       });
  ExpectErrors(engine, {{"Hex(2147483648)", 6, "Overflow"}, {"Oct(\"x\")", 13, "Type mismatch"}});
}

TEST_F(ScriptFunctionsTest, SearchingText) {
  ExpectValues(engine, {
                           {"InStr(\"MKA -23.45 dBm\", \" \")", "Long", "4"},
                           {"InStr(3, \"a,b,c\", \",\")", "Long", "4"},
                           {"InStr(\"abc\", \"x\")", "Long", "0"},
                           {"InStr(1, \"ABC\", \"b\", 1)", "Long", "2"},
                           {"InStr(1, \"ABC\", \"b\", vbBinaryCompare)", "Long", "0"},
                           {"InStr(\"abc\", \"\")", "Long", "1"},
                           {"InStr(4, \"abc\", \"\")", "Long", "4"},
                           {"InStr(\"\", \"a\")", "Long", "0"},
                           {"InStr(9, \"abc\", \"c\")", "Long", "0"},
                           {"InStr(\"aaab aaaab\", \"aaaab\")", "Long", "6"},
                           {"InStr(\"abababc\", \"ababc\")", "Long", "3"},
                           {"InStr(12345, 34)", "Long", "3"},
                           {"InStrRev(\"1,2,-3.5,4\", \",\")", "Long", "9"},
                           {"InStrRev(\"abcabc\", \"c\", 5)", "Long", "3"},
                           {"InStrRev(\"abcabc\", \"bc\", 5)", "Long", "2"},
                           {"InStrRev(\"abcabc\", \"bc\", 6)", "Long", "5"},
                           {"InStrRev(\"ABC\", \"a\", -1, 1)", "Long", "1"},
                           {"InStrRev(\"abc\", \"x\")", "Long", "0"},
                           {"InStrRev(\"abc\", \"c\", 4)", "Long", "0"},
                           {"InStrRev(\"abc\", \"\", 2)", "Long", "2"},
                           {"StrComp(\"a\", \"b\")", "Integer", "-1"},
                           {"StrComp(\"b\", \"a\")", "Integer", "1"},
                           {"StrComp(\"A\", \"a\")", "Integer", "-1"},
                           {"StrComp(\"A\", \"a\", vbTextCompare)", "Integer", "0"},
                           {"StrComp(\"ab\", \"a\")", "Integer", "1"},
                       });
  ExpectErrors(engine, {
                           {"InStr(0, \"a\", \"a\")", 5, kInvalidCall},
                           {"InStr(1, \"a\", \"a\", 2)", 5, kInvalidCall},
                           {"InStrRev(\"abc\", \"a\", 0)", 5, kInvalidCall},
                           {"InStrRev(\"abc\", \"a\", -2)", 5, kInvalidCall},
                           {"StrComp(\"a\", \"b\", -1)", 5, kInvalidCall},
                       });
}

TEST_F(ScriptFunctionsTest, PiecesOfText) {
  ExpectValues(engine, {
                           {"Asc(\"A\")", "Integer", "65"},
                           {"Asc(\"abc\")", "Integer", "97"},
                           {"Chr(65)", "String", "A"},
                           {"Len(Chr(0))", "Long", "1"},
                           {"Left(\"abc\", 2)", "String", "ab"},
                           {"Left(\"abc\", 9)", "String", "abc"},
                           {"Left(12345, 2)", "String", "12"},
                           {"Right(\"abc\", 2)", "String", "bc"},
                           {"Right(\"abc\", 5)", "String", "abc"},
                           {"Mid(\"MKA -23.45 dBm\", 5, 6)", "String", "-23.45"},
                           {"Mid(\"abc\", 2)", "String", "bc"},
                           {"Mid(\"abc\", 5)", "String", ""},
                           {"Mid(\"abc\", 2, 0)", "String", ""},
                           {"Len(\"abc\")", "Long", "3"},
                           {"Len(Empty)", "Long", "0"},
                           {"Len(1.5)", "Long", "3"},
                           {"LCase(\"AbC\")", "String", "abc"},
                           {"UCase(\"dBm\")", "String", "DBM"},
                           {"\"[\" & LTrim(\"  a  \") & \"]\"", "String", "[a  ]"},
                           {"\"[\" & RTrim(\"  a  \") & \"]\"", "String", "[  a]"},
                           {"\"[\" & Trim(\"  a  \") & \"]\"", "String", "[a]"},
                           {"Len(Trim(vbTab & \"a \"))", "Long", "2"},
                           {"\"[\" & Space(2) & \"]\"", "String", "[  ]"},
                           {"String(3, \"ab\")", "String", "aaa"},
                           {"String(2, 65)", "String", "AA"},
                           {"String(2, 321)", "String", "AA"},
                           {"StrReverse(\"abc\")", "String", "cba"},
                       });
  ExpectErrors(engine, {
                           {"Asc(\"\")", 5, kInvalidCall},
                           {"Chr(256)", 5, kInvalidCall},
                           {"Chr(-1)", 5, kInvalidCall},
                           {"Left(\"abc\", -1)", 5, kInvalidCall},
                           {"Right(\"abc\", -1)", 5, kInvalidCall},
                           {"Mid(\"abc\", 0)", 5, kInvalidCall},
                           {"Mid(\"abc\", 1, -1)", 5, kInvalidCall},
                           {"Space(-1)", 5, kInvalidCall},
                           {"String(-1, \"a\")", 5, kInvalidCall},
                           {"String(1, \"\")", 5, kInvalidCall},
                           {"Len(Split(\"a\"))", 13, "Type mismatch"},
                       });
}

TEST_F(ScriptFunctionsTest, Replace) {
  ExpectValues(engine, {
                           {"Replace(\"1,2,3\", \",\", \";\")", "String", "1;2;3"},
                           {"Replace(\"aXbxc\", \"x\", \"-\", 1, -1, 1)", "String", "a-b-c"},
                           {"Replace(\"aXbxc\", \"x\", \"-\")", "String", "aXb-c"},
                           {"Replace(\"abcabc\", \"b\", \"\", 3)", "String", "cac"},
                           {"Replace(\"aaa\", \"a\", \"b\", 1, 2)", "String", "bba"},
                           {"Replace(\"aaa\", \"aa\", \"b\")", "String", "ba"},
                           {"Replace(\"abc\", \"\", \"x\")", "String", "abc"},
                           {"Replace(\"abc\", \"b\", \"x\", 1, 0)", "String", "abc"},
                           {"Replace(\"abc\", \"b\", \"x\", 9)", "String", ""},
                           {"Replace(\" dBm\", \" dBm\", \"\")", "String", ""},
                       });
  ExpectErrors(engine, {
                           {"Replace(\"a\", \"a\", \"b\", 0)", 5, kInvalidCall},
                           {"Replace(\"a\", \"a\", \"b\", 1, -2)", 5, kInvalidCall},
                           {"Replace(\"a\", \"a\", \"b\", 1, 1, 3)", 5, kInvalidCall},
                       });
}

TEST_F(ScriptFunctionsTest, ArraysFromSplit) {
  ExpectValues(engine, {
                           {"Split(\"1,2,-3.5,4\", \",\")", "Variant()", ""},
                           {"UBound(Split(\"1,2,-3.5,4\", \",\"))", "Long", "3"},
                           {"LBound(Split(\"1,2,-3.5,4\", \",\"))", "Long", "0"},
                           {"UBound(Split(\"\"))", "Long", "-1"},
                           {"Split(\"a  b\")(1)", "String", ""},
                           {"Split(\"a  b\")(2)", "String", "b"},
                           {"Split(\"aXbxc\", \"x\", -1, 1)(2)", "String", "c"},
                           {"Split(\"a,b,c\", \",\", 2)(1)", "String", "b,c"},
                           {"UBound(Split(\"a,b\", \",\", 0))", "Long", "-1"},
                           {"Split(\"abc\", \"\")(0)", "String", "abc"},
                           {"Split(\"a, b\", \", \")(1)", "String", "b"},
                           {"UBound(Split(\"a,b\", \",\"), 1)", "Long", "1"},
                           {"Join(Split(\"a b c\"))", "String", "a b c"},
                           {"Join(Split(\"a,b\", \",\"), \"; \")", "String", "a; b"},
                           {"Join(Split(\"\"), \",\")", "String", ""},
                           {"IsArray(Split(\"a\"))", "Boolean", "True"},
                           {"IsArray(\"a\")", "Boolean", "False"},
                       });
  ExpectErrors(engine, {
                           {"Split(\"a\", \",\", -2)", 5, kInvalidCall},
                           {"Join(\"a\")", 13, "Type mismatch"},
                           {"UBound(\"a\")", 13, "Type mismatch"},
                           {"LBound(1)", 13, "Type mismatch"},
                           {"LBound(Split(\"a\"), 2)", 9, "Subscript out of range"},
                       });
}

TEST_F(ScriptFunctionsTest, TestsOfValues) {
  ExpectValues(engine, {
                           {"IsEmpty(Empty)", "Boolean", "True"},
                           {"IsEmpty(neverSet)", "Boolean", "True"},
                           {"IsEmpty(\"\")", "Boolean", "False"},
                           {"IsEmpty(0)", "Boolean", "False"},
                           {"IsNumeric(\" -12.5 \")", "Boolean", "True"},
                           {"IsNumeric(\"+1.23456789E-03\")", "Boolean", "True"},
                           {"IsNumeric(\"12 dBm\")", "Boolean", "False"},
                           {"IsNumeric(\"1,5\")", "Boolean", "False"},
                           {"IsNumeric(\"\")", "Boolean", "False"},
                           {"IsNumeric(Empty)", "Boolean", "True"},
                           {"IsNumeric(True)", "Boolean", "True"},
                           {"IsNumeric(Split(\"1\"))", "Boolean", "False"},
                           {"TypeName(1.5)", "String", "Double"},
                           {"TypeName(\"\")", "String", "String"},
                       });
}

TEST_F(ScriptFunctionsTest, EngineIdentityAndConstants) {
  ExpectValues(engine, {
                           {"ScriptEngineMajorVersion", "Long", "5"},
                           {"scriptengineminorversion", "Long", "8"},
                           {"ScriptEngineMinorVersion()", "Long", "8"},
                           {"ScriptEngine", "String", "VBScript"},
                           {"Len(vbCrLf)", "Long", "2"},
                           {"Asc(vbCr)", "Integer", "13"},
                           {"Asc(vbLf)", "Integer", "10"},
                           {"vbNewLine = vbCrLf", "Boolean", "True"},
                           {"Asc(vbTab)", "Integer", "9"},
                           {"Len(vbNullString)", "Long", "0"},
                           {"vbTextCompare", "Long", "1"},
                           {"vbTrue", "Long", "-1"},
                           {"vbUseDefault", "Long", "-2"},
                       });
  ExpectErrors(engine, {{"ScriptEngineMajorVersion(1)", 450,
                         "Wrong number of arguments or invalid property assignment: "
                         "'ScriptEngineMajorVersion'"}});
}

}  // namespace
}  // namespace brimtal
