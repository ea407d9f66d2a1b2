// Number and text conversions.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "shell/VbText.h"

namespace brimtal::vbtext {
namespace {

struct PatternCase {
  double value;
  const char* pattern;
  const char* text;
};

TEST(VbTextFormat, PatternsGiveTheProgramsTexts) {
  const PatternCase cases[] = {
      {80, "####0.0##### ", "80.0 "},
      {150.1234567, "####0.0##### ", "150.123457 "},
      {5e-8, "####0.0######### ", "0.00000005 "},
      {-55, "##0.0 ", "-55.0 "},
      {3.14159, "0.##", "3.14"},
      {2.5, "0.##", "2.5"},
      {3, "0.##", "3."},
      {3.7, "0.", "4."},
      {1.25, "0.0##", "1.25"},
      {-3, "0.0##", "-3.0"},
      {-12.3456, "###0.000", "-12.346"},
      // Half away from zero on the 15-digit decimal text, not on the binary value.
      {0.125, "0.0#", "0.13"},
      {1.005, "0.00", "1.01"},
      {-0.125, "0.0#", "-0.13"},
      {2.675, "0.00", "2.68"},
      // Carries run into the integer part.
      {9.9996, "0.000", "10.000"},
      {99.95, "#0.0", "100.0"},
      // Literals around the digits, forced integer digits, optional digits only.
      {80, " #####0.0#####", " 80.0"},
      {0.15, " #####0.0#####", " 0.15"},
      {1.25, "  ###0.0#", "  1.25"},
      {-3.2, "  ###0.0#", "  -3.2"},
      {5, "00.0", "05.0"},
      {0.5, "#.##", ".5"},
      {0, "##0.0", "0.0"},
      // A value that rounds to zero carries no sign.
      {-0.001, "0.0", "0.0"},
      {1234567.891, "##0.00", "1234567.89"},
      {1e20, "0.0", "100000000000000000000.0"},
      {-999, "##0.0#", "-999.0"},
      {12.5, "0", "13"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Format(c.value, c.pattern), c.text) << c.value << " with " << c.pattern;
  }
}

TEST(VbTextGeneral, DoubleAndFloatTexts) {
  EXPECT_EQ(GeneralText(0.15), "0.15");
  EXPECT_EQ(GeneralText(1.1f), "1.1");
  EXPECT_EQ(GeneralText(static_cast<double>(1.1f)), "1.10000002384186");
  EXPECT_EQ(GeneralText(150.0), "150");
  EXPECT_EQ(GeneralText(-3.0), "-3");
  EXPECT_EQ(GeneralText(0.0), "0");
  EXPECT_EQ(GeneralText(-0.0), "0");
  EXPECT_EQ(GeneralText(0.0001), "0.0001");
  EXPECT_EQ(GeneralText(0.00001), "1E-05");
  EXPECT_EQ(GeneralText(-1.5e-7), "-1.5E-07");
  EXPECT_EQ(GeneralText(123456789012345.0), "123456789012345");
  EXPECT_EQ(GeneralText(1e15), "1E+15");
  EXPECT_EQ(GeneralText(1234567.0f), "1234567");
  EXPECT_EQ(GeneralText(12345678.0f), "1.234568E+07");
  EXPECT_EQ(GeneralText(1.0 / 3.0), "0.333333333333333");
}

TEST(VbTextGeneral, SignedAndDefinitionStyles) {
  EXPECT_EQ(DefinitionText(0.15), " .15 ");
  EXPECT_EQ(DefinitionText(-10.0), "-10 ");
  EXPECT_EQ(DefinitionText(2.0), " 2 ");
  EXPECT_EQ(DefinitionText(-0.5f), "-.5 ");
  EXPECT_EQ(DefinitionText(13), " 13 ");
  EXPECT_EQ(DefinitionText(0.0), " 0 ");
  EXPECT_EQ(SignedText(150.0), " 150");
  EXPECT_EQ(SignedText(-1.5), "-1.5");
}

TEST(VbTextRounding, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, long> cases[] = {{0.5, 0},    {1.5, 2},   {2.5, 2},   {3.5, 4},
                                           {-0.5, 0},   {-1.5, -2}, {-2.5, -2}, {2.4999, 2},
                                           {2.5001, 3}, {7.0, 7}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(VbTextReaders, OrdinaryConversion) {
  const std::pair<const char*, double> numbers[] = {
      {"12", 12},      {"  -3.5  ", -3.5}, {"+.25", 0.25}, {"1.", 1},
      {"1.5E+2", 150}, {"2e-3", 0.002},    {"1D2", 100},   {"&H1F", 31},
      {"&o17", 15},    {"\t7\t", 7},       {"-.5", -0.5}};
  for (auto [text, value] : numbers) {
    auto n = ToNumber(text);
    ASSERT_TRUE(n.has_value()) << text;
    EXPECT_DOUBLE_EQ(*n, value) << text;
  }
  for (const char* bad : {"", " ", "abc", "1.2.3", "12abc", ".", "-", "1E", "1,5", "&H", "&HG",
                          "inf", "nan", "1 2", "1e999"}) {
    EXPECT_FALSE(ToNumber(bad).has_value()) << bad;
  }
}

TEST(VbTextReaders, LeadingNumericPart) {
  const std::pair<const char*, double> cases[] = {{"  -12.34 dBm", -12.34},
                                                  {"+1.23456789E-03", 0.00123456789},
                                                  {"MKA -23.45 dBm", 0},
                                                  {"1 2 3", 123},
                                                  {"&H10 units", 16},
                                                  {"", 0},
                                                  {"-", 0},
                                                  {"7.5V", 7.5},
                                                  {"-6.98970004E-001", -0.698970004},
                                                  {"1.5E", 1.5},
                                                  {".5", 0.5}};
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(Val(text), value) << text;
}

TEST(VbTextReaders, LeadingDecimalStopsAtAnythingButSignDigitsAndPoint) {
  const std::pair<const char*, double> cases[] = {
      {"150", 150}, {"-1.5", -1.5}, {"1.5E+2", 1.5}, {"-", 0},       {"+", 0},
      {"1-2", 1},   {"..5", 0},     {"3.", 3},       {"+.75", 0.75}, {"12.5.6", 12.5}};
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(LeadingDecimal(text), value) << text;
}

TEST(VbTextLocale, ThePointStaysTheSeparatorWhateverTheLocale) {
  // The windows switch the C library to the desktop's locale; conversions must not follow.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  EXPECT_EQ(Format(1.25, "0.0##"), "1.25");
  EXPECT_EQ(GeneralText(0.15), "0.15");
  EXPECT_DOUBLE_EQ(*ToNumber("1.5"), 1.5);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(VbTextMisc, HexTrimAndCase) {
  EXPECT_EQ(Hex16(static_cast<std::int16_t>(0x8000 | 0x4000 | 0x100)), "C100");
  EXPECT_EQ(Hex16(0), "0");
  EXPECT_EQ(Hex16(0x2a), "2A");
  EXPECT_EQ(Trim(" \t a b \t"), "a b");
  EXPECT_TRUE(EqualsNoCase("RetString", "RETSTRING"));
  EXPECT_EQ(BoolText(true), "True");
}

}  // namespace
}  // namespace brimtal::vbtext
