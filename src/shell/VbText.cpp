// Number and text conversions. Everything here is locale-independent: the point is always
// the decimal separator, whatever the desktop's regional settings say.
#include "shell/VbText.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace brimtal::vbtext {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A decimal number as a sign, an integer part and a fraction part, all digit texts.
struct FixedDigits {
  bool negative = false;
  std::string integer;
  std::string fraction;
};

// The value as its 15-significant-digit decimal text, written out without an exponent.
FixedDigits FifteenDigits(double value) {
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::scientific, 14);
  std::string text(buffer.data(), end);
  FixedDigits fixed;
  std::size_t pos = 0;
  if (text[pos] == '-') {
    fixed.negative = true;
    ++pos;
  }
  std::string digits;
  while (pos < text.size() && text[pos] != 'e') {
    if (IsDigit(text[pos])) digits += text[pos];
    ++pos;
  }
  int exponent = 0;
  std::from_chars(text.data() + pos + 1 + (text[pos + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  exponent);
  const int pointPos = exponent + 1;  // digits before the point
  const int count = static_cast<int>(digits.size());
  if (pointPos <= 0) {
    fixed.integer = "0";
    fixed.fraction = std::string(static_cast<std::size_t>(-pointPos), '0') + digits;
  } else if (pointPos >= count) {
    fixed.integer = digits + std::string(static_cast<std::size_t>(pointPos - count), '0');
  } else {
    fixed.integer = digits.substr(0, static_cast<std::size_t>(pointPos));
    fixed.fraction = digits.substr(static_cast<std::size_t>(pointPos));
  }
  return fixed;
}

// Adds one unit in the last place of the digit text, carrying to the left.
void IncrementDigits(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

void RoundHalfAwayFromZero(FixedDigits& fixed, std::size_t decimals) {
  if (fixed.fraction.size() <= decimals) return;
  const bool up = fixed.fraction[decimals] >= '5';
  fixed.fraction.resize(decimals);
  if (!up) return;
  std::string all = fixed.integer + fixed.fraction;
  IncrementDigits(all);
  fixed.integer = all.substr(0, all.size() - decimals);
  fixed.fraction = all.substr(all.size() - decimals);
}

struct Pattern {
  std::string prefix;
  std::string suffix;
  std::size_t minInteger = 0;
  std::size_t minFraction = 0;
  std::size_t maxFraction = 0;
  bool hasPoint = false;
};

Pattern ParsePattern(std::string_view pattern) {
  Pattern p;
  auto isNumeric = [](char c) { return c == '#' || c == '0' || c == '.'; };
  std::size_t i = 0;
  while (i < pattern.size() && !isNumeric(pattern[i])) p.prefix += pattern[i++];
  for (; i < pattern.size() && isNumeric(pattern[i]); ++i) {
    const char c = pattern[i];
    if (c == '.') {
      p.hasPoint = true;
    } else if (!p.hasPoint) {
      if (c == '0') ++p.minInteger;
    } else {
      ++p.maxFraction;
      if (c == '0') p.minFraction = p.maxFraction;
    }
  }
  p.suffix = std::string(pattern.substr(i));
  return p;
}

std::string ToExponentForm(std::string text) {
  // to_chars writes "1e-05" / "1.5e+15"; the program writes "1E-05" / "1.5E+15".
  const auto e = text.find('e');
  if (e != std::string::npos) text[e] = 'E';
  return text;
}

std::string GeneralDigits(double value, int precision) {
  if (value == 0) return "0";
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, precision);
  return ToExponentForm(std::string(buffer.data(), end));
}

std::string Signed(std::string general) {
  std::string sign = " ";
  if (!general.empty() && general[0] == '-') {
    sign = "-";
    general.erase(0, 1);
  }
  if (general.size() > 1 && general[0] == '0' && general[1] == '.') general.erase(0, 1);
  return sign + general;
}

// Reads [sign] digits [. digits] [exponent] at text[pos]; returns the normalised text that
// from_chars understands and advances pos past it. withExponent allows E/D exponents.
std::string ScanDecimal(std::string_view text, std::size_t& pos, bool withExponent,
                        bool& anyDigit) {
  std::string out;
  anyDigit = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') out += '-';
    ++pos;
  }
  while (pos < text.size() && IsDigit(text[pos])) {
    out += text[pos++];
    anyDigit = true;
  }
  if (pos < text.size() && text[pos] == '.') {
    std::string fraction;
    std::size_t p = pos + 1;
    while (p < text.size() && IsDigit(text[p])) fraction += text[p++];
    if (anyDigit || !fraction.empty()) {
      anyDigit = anyDigit || !fraction.empty();
      out += '.';
      out += fraction;
      pos = p;
    }
  }
  if (withExponent && anyDigit && pos < text.size() &&
      (text[pos] == 'E' || text[pos] == 'e' || text[pos] == 'D' || text[pos] == 'd')) {
    std::size_t p = pos + 1;
    std::string exponent = "e";
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) exponent += text[p++];
    std::size_t digitsStart = p;
    while (p < text.size() && IsDigit(text[p])) exponent += text[p++];
    if (p > digitsStart) {
      out += exponent;
      pos = p;
    }
  }
  return out;
}

std::optional<double> DecimalValue(const std::string& normalised) {
  std::string text = normalised;
  if (!text.empty() && text[0] == '.') text.insert(0, "0");
  if (text.size() > 1 && text[0] == '-' && text[1] == '.') text.insert(1, "0");
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// &H and &O integer texts, at text[pos] just after the "&".
std::optional<double> RadixValue(std::string_view text, std::size_t& pos) {
  if (pos >= text.size()) return std::nullopt;
  const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
  int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
  if (base == 0) return std::nullopt;
  std::size_t p = pos + 1;
  std::uint64_t value = 0;
  std::size_t start = p;
  while (p < text.size() && p - start < 16) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[p])));
    int digit = IsDigit(c) ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
    if (digit >= base) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    ++p;
  }
  if (p == start) return std::nullopt;
  pos = p;
  return static_cast<double>(value);
}

}  // namespace

std::string Format(double value, std::string_view pattern) {
  const Pattern p = ParsePattern(pattern);
  if (!std::isfinite(value)) return p.prefix + GeneralText(value) + p.suffix;
  FixedDigits fixed = FifteenDigits(value);
  RoundHalfAwayFromZero(fixed, p.maxFraction);
  while (fixed.fraction.size() > p.minFraction && fixed.fraction.back() == '0') {
    fixed.fraction.pop_back();
  }
  fixed.fraction.append(p.minFraction - std::min(p.minFraction, fixed.fraction.size()), '0');
  const auto firstNonZero = fixed.integer.find_first_not_of('0');
  fixed.integer = firstNonZero == std::string::npos ? "" : fixed.integer.substr(firstNonZero);
  if (fixed.integer.size() < p.minInteger) {
    fixed.integer.insert(0, p.minInteger - fixed.integer.size(), '0');
  }
  const bool isZero = (fixed.integer + fixed.fraction).find_first_not_of('0') == std::string::npos;
  // The sign stays next to the digits, so that columns padded with leading blanks read well.
  std::string out = p.prefix + (fixed.negative && !isZero ? "-" : "") + fixed.integer;
  if (p.hasPoint) out += "." + fixed.fraction;
  return out + p.suffix;
}

std::string GeneralText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  return GeneralDigits(value, 15);
}

std::string GeneralText(float value) {
  if (!std::isfinite(value)) return GeneralText(static_cast<double>(value));
  return GeneralDigits(static_cast<double>(value), 7);
}

std::string SignedText(double value) {
  return Signed(GeneralText(value));
}
std::string SignedText(float value) {
  return Signed(GeneralText(value));
}
std::string DefinitionText(double value) {
  return SignedText(value) + " ";
}
std::string DefinitionText(float value) {
  return SignedText(value) + " ";
}
std::string DefinitionText(int value) {
  return SignedText(static_cast<double>(value)) + " ";
}

std::int64_t RoundHalfEven(double value) {
  // The default floating-point rounding mode is to nearest, halves to even.
  return static_cast<std::int64_t>(std::nearbyint(value));
}

std::optional<double> ToNumber(std::string_view text) {
  const std::string trimmed = Trim(text);
  std::string_view t = trimmed;
  if (t.empty()) return std::nullopt;
  std::size_t pos = 0;
  if (t[0] == '&') {
    ++pos;
    auto value = RadixValue(t, pos);
    if (!value || pos != t.size()) return std::nullopt;
    return value;
  }
  bool anyDigit = false;
  const std::string normalised = ScanDecimal(t, pos, true, anyDigit);
  if (!anyDigit || pos != t.size()) return std::nullopt;
  return DecimalValue(normalised);
}

double Val(std::string_view text) {
  std::string compact;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  }
  std::size_t pos = 0;
  if (!compact.empty() && compact[0] == '&') {
    ++pos;
    return RadixValue(compact, pos).value_or(0.0);
  }
  bool anyDigit = false;
  const std::string normalised = ScanDecimal(compact, pos, true, anyDigit);
  if (!anyDigit) return 0.0;
  return DecimalValue(normalised).value_or(0.0);
}

double LeadingDecimal(std::string_view text) {
  std::size_t pos = 0;
  bool anyDigit = false;
  const std::string normalised = ScanDecimal(text, pos, false, anyDigit);
  if (!anyDigit) return 0.0;
  return DecimalValue(normalised).value_or(0.0);
}

std::string TrimLeft(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  std::size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) {
  return TrimLeft(TrimRight(text));
}

std::string ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return ToUpper(a) == ToUpper(b);
}

std::string ScientificText(double value, int decimals, int exponentDigits, bool forceSign) {
  std::array<char, 64> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::scientific, decimals);
  const std::string text(buffer.data(), end);
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;  // not finite
  std::string mantissa = text.substr(0, e);
  if (forceSign && mantissa[0] != '-') mantissa.insert(mantissa.begin(), '+');
  const char exponentSign = text[e + 1];
  std::string exponentDigitsText = text.substr(e + 2);
  while (static_cast<int>(exponentDigitsText.size()) < exponentDigits) {
    exponentDigitsText.insert(exponentDigitsText.begin(), '0');
  }
  return mantissa + "E" + exponentSign + exponentDigitsText;
}

std::string Hex16(std::int16_t value) {
  std::array<char, 8> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                 static_cast<unsigned>(static_cast<std::uint16_t>(value)), 16);
  return ToUpper(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
}

}  // namespace brimtal::vbtext
