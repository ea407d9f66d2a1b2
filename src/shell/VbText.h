// Every conversion between numbers and text: display patterns, general number text, the
// definition-file style, integer rounding and the readers of numbers at the start of a text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimtal::vbtext {

// A display pattern such as "##0.0#", "####0.0##### " or "0.": '0' a forced digit, '#' an
// optional digit, '.' the point, anything else literal. The value is taken as its
// 15-significant-digit decimal text and then rounded half away from zero.
std::string Format(double value, std::string_view pattern);

// Shortest decimal text with up to 15 (double) or 7 (float) significant digits; exponent form
// ("1E-05", "1.5E+15") only for magnitudes below 0.0001 or from 1E15 (1E7 for float) up.
std::string GeneralText(double value);
std::string GeneralText(float value);

// The general text with a leading blank for a non-negative number and no zero before the
// point of a magnitude below 1: 0.15 -> " .15", -0.5 -> "-.5", 2 -> " 2".
std::string SignedText(double value);
std::string SignedText(float value);

// The definition-file style: the signed text followed by one blank (" .15 ", "-10 ", " 2 ").
std::string DefinitionText(double value);
std::string DefinitionText(float value);
std::string DefinitionText(int value);

// Scientific notation as instruments reply: the mantissa with the given decimals, "E", the
// exponent's sign and at least exponentDigits digits; a "+" before a non-negative mantissa
// only when forceSign is set ("+1.23456789E-03", "-6.98970004E-001").
std::string ScientificText(double value, int decimals, int exponentDigits, bool forceSign);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t RoundHalfEven(double value);

// The ordinary text-to-number conversion: surrounding blanks allowed, an optional sign,
// digits with an optional point, an optional exponent (E or D), or &H / &O integers.
// nullopt when the text is not a number (a type mismatch).
std::optional<double> ToNumber(std::string_view text);
inline bool IsNumeric(std::string_view text) {
  return ToNumber(text).has_value();
}

// The leading numeric part of a text, 0 when there is none. Blanks, tabs and line feeds
// inside the number are skipped; the point is the separator; an exponent and &H / &O
// prefixes are understood ("  -12.34 dBm" -> -12.34, "+1.2E-03W" -> 0.0012).
double Val(std::string_view text);

// The longest leading part of the text that forms a decimal number: an optional sign, digits,
// an optional point and digits; 0 when there is none ("-" alone, "abc"). Factor and list files.
double LeadingDecimal(std::string_view text);

// Texts without surrounding blanks; the left and right halves of that.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Letter case changes of ASCII letters; case-insensitive equality.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Upper-case hexadecimal without leading zeros, of the 16-bit pattern of value.
std::string Hex16(std::int16_t value);

// "True" / "False".
inline std::string BoolText(bool value) {
  return value ? "True" : "False";
}

}  // namespace brimtal::vbtext
