// Built-in functions of parse expressions: conversions, arithmetic, text and array functions.
// Positions count from 1; a compare argument is 0 (binary) or 1 (text, any letter case).
// Every text made is checked against the text limit and counted as work.
#include "instruments/script/ScriptFunctions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "shell/VbText.h"

namespace brimtal::script {

namespace {

using Args = std::vector<ScriptValue>;

char LowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int CompareMode(const Args& args, std::size_t index) {
  if (args.size() <= index) return 0;
  const std::int32_t mode = ToLong(args[index]);
  if (mode != 0 && mode != 1) RaiseScriptError(ScriptFault::InvalidCall);
  return mode;
}

ScriptValue MadeText(std::string text, WorkBudget& budget) {
  budget.Text(text.size());
  return ScriptValue::String(std::move(text));
}

// The text itself, or its lower-case form for a text comparison.
std::string Comparable(std::string text, int mode, WorkBudget& budget) {
  if (mode == 1) {
    budget.Charge(text.size());
    for (char& c : text) c = LowerChar(c);
  }
  return text;
}

// The first place of needle in text at or after from, or npos. Linear in the text length
// (Knuth-Morris-Pratt), so no pair of texts can make a search slow.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from,
                     WorkBudget& budget) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  budget.Charge(needle.size());
  std::vector<std::size_t> border(needle.size(), 0);
  for (std::size_t i = 1, k = 0; i < needle.size(); ++i) {
    while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
    if (needle[i] == needle[k]) ++k;
    border[i] = k;
  }
  std::size_t matched = 0;
  for (std::size_t i = from; i < text.size(); ++i) {
    while (matched > 0 && text[i] != needle[matched]) matched = border[matched - 1];
    if (text[i] == needle[matched]) ++matched;
    if (matched == needle.size()) {
      budget.Charge(i + 1 - from);
      return i + 1 - needle.size();
    }
  }
  budget.Charge(text.size() - std::min(from, text.size()));
  return std::string_view::npos;
}

std::string Reversed(std::string_view text) {
  return std::string(text.rbegin(), text.rend());
}

std::string TrimSpaces(std::string_view text, bool left, bool right) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (left && begin < end && text[begin] == ' ') ++begin;
  while (right && end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

// Applies f to the number and keeps the argument's numeric type (Abs(-3) stays an Integer).
ScriptValue SameType(const ScriptValue& value, double (*f)(double)) {
  return NumberOfType(NumericTypeOf(value), f(ToDouble(value)));
}

ScriptValue Real(const ScriptValue& value, double (*f)(double)) {
  return DoubleResult(f(ToDouble(value)));
}

const ScriptValue::Elements& ArrayArg(const ScriptValue& value) {
  if (!value.IsArray()) RaiseScriptError(ScriptFault::TypeMismatch);
  return value.ArrayValue();
}

void CheckDimension(const Args& args) {
  if (args.size() > 1 && ToLong(args[1]) != 1) RaiseScriptError(ScriptFault::SubscriptOutOfRange);
}

// Rounds to the given number of decimals, halves to the even neighbour, working on the
// 15-significant-digit decimal text of the value so that 2.675 counts as written.
double RoundDecimals(double value, std::int32_t decimals) {
  if (value == 0) return value;
  std::array<char, 64> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::scientific, 14);
  const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  const bool negative = text.front() == '-';
  std::string digits;
  const std::size_t e = text.find('e');
  for (std::size_t i = 0; i < e; ++i) {
    if (text[i] >= '0' && text[i] <= '9') digits += text[i];
  }
  int exponent = 0;
  const std::size_t expStart = e + 1 + (text[e + 1] == '+' ? 1 : 0);
  std::from_chars(text.data() + expStart, text.data() + text.size(), exponent);
  const std::int64_t keep = static_cast<std::int64_t>(exponent) + 1 + decimals;
  if (keep >= static_cast<std::int64_t>(digits.size())) return value;
  if (keep < 0) return 0.0;
  std::string kept = digits.substr(0, static_cast<std::size_t>(keep));
  const std::string rest = digits.substr(static_cast<std::size_t>(keep));
  const bool aboveHalf =
      rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
  const bool half = rest[0] == '5' && !aboveHalf;
  const bool lastOdd = !kept.empty() && (kept.back() - '0') % 2 == 1;
  if (aboveHalf || (half && lastOdd)) {
    std::size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) {
      kept.insert(kept.begin(), '1');
    } else {
      ++kept[i - 1];
    }
  }
  if (kept.empty()) return 0.0;
  const std::string rounded = (negative ? "-" : "") + kept + "e" + std::to_string(-decimals);
  double result = 0;
  std::from_chars(rounded.data(), rounded.data() + rounded.size(), result);
  return result;
}

// -1 true, 0 false, -2 the default.
bool Tristate(const Args& args, std::size_t index, bool byDefault) {
  if (args.size() <= index) return byDefault;
  switch (ToLong(args[index])) {
    case -1: return true;
    case 0: return false;
    case -2: return byDefault;
    default: RaiseScriptError(ScriptFault::InvalidCall);
  }
}

std::string GroupThousands(const std::string& number) {
  const std::size_t point = std::min(number.find('.'), number.size());
  std::string grouped;
  for (std::size_t i = 0; i < point; ++i) {
    if (i > 0 && (point - i) % 3 == 0) grouped += ',';
    grouped += number[i];
  }
  return grouped + number.substr(point);
}

// Hexadecimal and octal texts of the bits of a whole number: 16 bits for the Integer types
// (Hex(-1) is "FFFF"), 32 bits otherwise.
std::string RadixText(const ScriptValue& value, int base) {
  std::uint32_t bits = 0;
  if (NumericTypeOf(value) == ScriptType::Integer) {
    bits = static_cast<std::uint16_t>(ToInteger(value));
  } else {
    bits = static_cast<std::uint32_t>(ToLong(value));
  }
  std::array<char, 40> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), bits, base);
  return vbtext::ToUpper(
      std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
}

// --- the functions, in alphabetical order ---

ScriptValue Abs(const Args& a, WorkBudget&) {
  return SameType(a[0], [](double v) { return std::fabs(v); });
}
ScriptValue Asc(const Args& a, WorkBudget&) {
  const std::string text = ToText(a[0]);
  if (text.empty()) RaiseScriptError(ScriptFault::InvalidCall);
  return ScriptValue::Integer(static_cast<unsigned char>(text[0]));
}
ScriptValue Atn(const Args& a, WorkBudget&) {
  return Real(a[0], [](double v) { return std::atan(v); });
}
ScriptValue CBool(const Args& a, WorkBudget&) {
  return ScriptValue::Boolean(ToBoolean(a[0]));
}
ScriptValue CDbl(const Args& a, WorkBudget&) {
  return DoubleResult(ToDouble(a[0]));
}
ScriptValue Chr(const Args& a, WorkBudget&) {
  const std::int32_t code = ToLong(a[0]);
  if (code < 0 || code > 255) RaiseScriptError(ScriptFault::InvalidCall);
  return ScriptValue::String(std::string(1, static_cast<char>(code)));
}
ScriptValue CInt(const Args& a, WorkBudget&) {
  return ScriptValue::Integer(ToInteger(a[0]));
}
ScriptValue CLng(const Args& a, WorkBudget&) {
  return ScriptValue::Long(ToLong(a[0]));
}
ScriptValue Cos(const Args& a, WorkBudget&) {
  return Real(a[0], [](double v) { return std::cos(v); });
}
ScriptValue CSng(const Args& a, WorkBudget&) {
  return ScriptValue::Single(ToSingle(a[0]));
}
ScriptValue CStr(const Args& a, WorkBudget& budget) {
  return MadeText(ToText(a[0]), budget);
}
ScriptValue Exp(const Args& a, WorkBudget&) {
  return Real(a[0], [](double v) { return std::exp(v); });
}
ScriptValue Fix(const Args& a, WorkBudget&) {
  return SameType(a[0], [](double v) { return std::trunc(v); });
}

// FormatNumber(value[, decimals[, leading zero[, parentheses[, grouping]]]]): by default two
// decimals, a zero before the point and thousands grouped with commas.
ScriptValue FormatNumber(const Args& a, WorkBudget& budget) {
  const double value = ToDouble(a[0]);
  std::int32_t decimals = a.size() > 1 ? ToLong(a[1]) : -1;
  if (decimals == -1) decimals = 2;
  if (decimals < 0 || decimals > 255) RaiseScriptError(ScriptFault::InvalidCall);
  const bool leadingZero = Tristate(a, 2, true);
  const bool parentheses = Tristate(a, 3, false);
  const bool grouping = Tristate(a, 4, true);
  std::string pattern = leadingZero ? "0" : "#";
  if (decimals > 0) pattern += "." + std::string(static_cast<std::size_t>(decimals), '0');
  std::string text = vbtext::Format(std::fabs(value), pattern);
  if (text.empty()) text = "0";
  if (grouping) text = GroupThousands(text);
  const bool negative = value < 0 && text.find_first_of("123456789") != std::string::npos;
  if (negative) text = parentheses ? "(" + text + ")" : "-" + text;
  return MadeText(std::move(text), budget);
}

ScriptValue Hex(const Args& a, WorkBudget&) {
  return ScriptValue::String(RadixText(a[0], 16));
}

// InStr([start, ]text, sought[, compare])
ScriptValue InStr(const Args& a, WorkBudget& budget) {
  const bool withStart = a.size() > 2;
  const std::int32_t start = withStart ? ToLong(a[0]) : 1;
  if (start < 1) RaiseScriptError(ScriptFault::InvalidCall);
  const int mode = CompareMode(a, 3);
  const std::string text = Comparable(ToText(a[withStart ? 1 : 0]), mode, budget);
  const std::string sought = Comparable(ToText(a[withStart ? 2 : 1]), mode, budget);
  if (text.empty()) return ScriptValue::Long(0);
  const std::size_t from = static_cast<std::size_t>(start) - 1;
  const std::size_t found = FindText(text, sought, from, budget);
  return ScriptValue::Long(found == std::string_view::npos ? 0
                                                           : static_cast<std::int32_t>(found + 1));
}

// InStrRev(text, sought[, start[, compare]]): the last place of sought that ends at or
// before start (-1: the end of the text).
ScriptValue InStrRev(const Args& a, WorkBudget& budget) {
  std::int32_t start = a.size() > 2 ? ToLong(a[2]) : -1;
  if (start == 0 || start < -1) RaiseScriptError(ScriptFault::InvalidCall);
  const int mode = CompareMode(a, 3);
  const std::string text = Comparable(ToText(a[0]), mode, budget);
  const std::string sought = Comparable(ToText(a[1]), mode, budget);
  const auto length = static_cast<std::int32_t>(text.size());
  if (text.empty()) return ScriptValue::Long(0);
  if (start == -1) start = length;
  if (start > length) return ScriptValue::Long(0);
  if (sought.empty()) return ScriptValue::Long(start);
  budget.Charge(static_cast<std::size_t>(start) + sought.size());
  const std::string window =
      Reversed(std::string_view(text).substr(0, static_cast<std::size_t>(start)));
  const std::size_t found = FindText(window, Reversed(sought), 0, budget);
  if (found == std::string_view::npos) return ScriptValue::Long(0);
  return ScriptValue::Long(start - static_cast<std::int32_t>(found + sought.size()) + 1);
}

ScriptValue Int(const Args& a, WorkBudget&) {
  return SameType(a[0], [](double v) { return std::floor(v); });
}
ScriptValue IsArray(const Args& a, WorkBudget&) {
  return ScriptValue::Boolean(a[0].IsArray());
}
ScriptValue IsEmpty(const Args& a, WorkBudget&) {
  return ScriptValue::Boolean(a[0].IsEmpty());
}
ScriptValue IsNumeric(const Args& a, WorkBudget&) {
  if (a[0].IsString()) return ScriptValue::Boolean(NumberFromText(a[0].StringValue()).has_value());
  return ScriptValue::Boolean(!a[0].IsArray());
}

ScriptValue Join(const Args& a, WorkBudget& budget) {
  const auto& elements = ArrayArg(a[0]);
  const std::string separator = a.size() > 1 ? ToText(a[1]) : " ";
  std::string text;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const std::string element = ToText(elements[i]);
    WorkBudget::CheckLength(text.size() + element.size() + (i > 0 ? separator.size() : 0));
    if (i > 0) text += separator;
    text += element;
  }
  return MadeText(std::move(text), budget);
}

ScriptValue LBound(const Args& a, WorkBudget&) {
  ArrayArg(a[0]);
  CheckDimension(a);
  return ScriptValue::Long(0);
}
ScriptValue LCase(const Args& a, WorkBudget& budget) {
  return MadeText(vbtext::ToLower(ToText(a[0])), budget);
}
ScriptValue Left(const Args& a, WorkBudget& budget) {
  const std::string text = ToText(a[0]);
  const std::int32_t count = ToLong(a[1]);
  if (count < 0) RaiseScriptError(ScriptFault::InvalidCall);
  return MadeText(text.substr(0, static_cast<std::size_t>(count)), budget);
}
ScriptValue Len(const Args& a, WorkBudget&) {
  return ScriptValue::Long(static_cast<std::int32_t>(ToText(a[0]).size()));
}
ScriptValue Log(const Args& a, WorkBudget&) {
  const double value = ToDouble(a[0]);
  if (value <= 0) RaiseScriptError(ScriptFault::InvalidCall);
  return DoubleResult(std::log(value));
}
ScriptValue LTrim(const Args& a, WorkBudget& budget) {
  return MadeText(TrimSpaces(ToText(a[0]), true, false), budget);
}

// Mid(text, start[, length])
ScriptValue Mid(const Args& a, WorkBudget& budget) {
  const std::string text = ToText(a[0]);
  const std::int32_t start = ToLong(a[1]);
  const std::int32_t length = a.size() > 2 ? ToLong(a[2]) : static_cast<std::int32_t>(text.size());
  if (start < 1 || length < 0) RaiseScriptError(ScriptFault::InvalidCall);
  if (static_cast<std::size_t>(start) > text.size()) return ScriptValue::String({});
  return MadeText(
      text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(length)), budget);
}

ScriptValue Oct(const Args& a, WorkBudget&) {
  return ScriptValue::String(RadixText(a[0], 8));
}

// Replace(text, sought, replacement[, start[, count[, compare]]]): the text from start on,
// with at most count (-1: every) occurrences replaced.
ScriptValue Replace(const Args& a, WorkBudget& budget) {
  const std::string text = ToText(a[0]);
  const std::string sought = ToText(a[1]);
  const std::string replacement = ToText(a[2]);
  const std::int32_t start = a.size() > 3 ? ToLong(a[3]) : 1;
  const std::int32_t count = a.size() > 4 ? ToLong(a[4]) : -1;
  const int mode = CompareMode(a, 5);
  if (start < 1 || count < -1) RaiseScriptError(ScriptFault::InvalidCall);
  if (static_cast<std::size_t>(start) > text.size()) return ScriptValue::String({});
  const std::string tail = text.substr(static_cast<std::size_t>(start) - 1);
  if (sought.empty() || count == 0) return MadeText(tail, budget);
  const std::string searched = Comparable(tail, mode, budget);
  const std::string soughtForm = Comparable(sought, mode, budget);
  std::string result;
  std::size_t pos = 0;
  for (std::int32_t done = 0; count == -1 || done < count; ++done) {
    const std::size_t found = FindText(searched, soughtForm, pos, budget);
    if (found == std::string_view::npos) break;
    WorkBudget::CheckLength(result.size() + (found - pos) + replacement.size());
    result.append(tail, pos, found - pos);
    result += replacement;
    pos = found + sought.size();
  }
  WorkBudget::CheckLength(result.size() + (tail.size() - pos));
  result.append(tail, pos);
  return MadeText(std::move(result), budget);
}

ScriptValue Right(const Args& a, WorkBudget& budget) {
  const std::string text = ToText(a[0]);
  const std::int32_t count = ToLong(a[1]);
  if (count < 0) RaiseScriptError(ScriptFault::InvalidCall);
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(count));
  return MadeText(text.substr(text.size() - n), budget);
}

ScriptValue Round(const Args& a, WorkBudget&) {
  const std::int32_t decimals = a.size() > 1 ? ToLong(a[1]) : 0;
  if (decimals < 0) RaiseScriptError(ScriptFault::InvalidCall);
  const ScriptType type = NumericTypeOf(a[0]);
  return NumberOfType(type, RoundDecimals(ToDouble(a[0]), decimals));
}

ScriptValue RTrim(const Args& a, WorkBudget& budget) {
  return MadeText(TrimSpaces(ToText(a[0]), false, true), budget);
}
ScriptValue ScriptEngineName(const Args&, WorkBudget&) {
  return ScriptValue::String("VBScript");
}
ScriptValue ScriptEngineMajorVersion(const Args&, WorkBudget&) {
  return ScriptValue::Long(5);
}
ScriptValue ScriptEngineMinorVersion(const Args&, WorkBudget&) {
  return ScriptValue::Long(8);
}
ScriptValue Sgn(const Args& a, WorkBudget&) {
  const double value = ToDouble(a[0]);
  return ScriptValue::Integer(value > 0 ? 1 : value < 0 ? -1 : 0);
}
ScriptValue Sin(const Args& a, WorkBudget&) {
  return Real(a[0], [](double v) { return std::sin(v); });
}

std::string Repeated(std::int32_t count, char c, WorkBudget& budget) {
  if (count < 0) RaiseScriptError(ScriptFault::InvalidCall);
  budget.Text(static_cast<std::size_t>(count));
  return std::string(static_cast<std::size_t>(count), c);
}

ScriptValue Space(const Args& a, WorkBudget& budget) {
  return ScriptValue::String(Repeated(ToLong(a[0]), ' ', budget));
}

// Split(text[, separator[, count[, compare]]]): an empty text gives an empty array, an empty
// separator the whole text as one element; count (-1: all) limits the elements, the last
// keeping the rest of the text.
ScriptValue Split(const Args& a, WorkBudget& budget) {
  const std::string text = ToText(a[0]);
  const std::string separator = a.size() > 1 ? ToText(a[1]) : " ";
  const std::int32_t count = a.size() > 2 ? ToLong(a[2]) : -1;
  const int mode = CompareMode(a, 3);
  if (count < -1) RaiseScriptError(ScriptFault::InvalidCall);
  ScriptValue::Elements parts;
  if (text.empty() || count == 0) return ScriptValue::Array(std::move(parts));
  const std::string searched = Comparable(text, mode, budget);
  const std::string separatorForm = Comparable(separator, mode, budget);
  std::size_t pos = 0;
  while (!separator.empty() &&
         (count == -1 || static_cast<std::int32_t>(parts.size()) + 1 < count)) {
    const std::size_t found = FindText(searched, separatorForm, pos, budget);
    if (found == std::string_view::npos) break;
    budget.Elements(parts.size() + 1);
    parts.push_back(ScriptValue::String(text.substr(pos, found - pos)));
    pos = found + separator.size();
  }
  budget.Elements(parts.size() + 1);
  parts.push_back(ScriptValue::String(text.substr(pos)));
  return ScriptValue::Array(std::move(parts));
}

ScriptValue Sqr(const Args& a, WorkBudget&) {
  const double value = ToDouble(a[0]);
  if (value < 0) RaiseScriptError(ScriptFault::InvalidCall);
  return DoubleResult(std::sqrt(value));
}

ScriptValue StrComp(const Args& a, WorkBudget& budget) {
  const int mode = CompareMode(a, 2);
  const std::string left = Comparable(ToText(a[0]), mode, budget);
  const std::string right = Comparable(ToText(a[1]), mode, budget);
  budget.Charge(std::min(left.size(), right.size()));
  const int order = left.compare(right);
  return ScriptValue::Integer(order < 0 ? -1 : order > 0 ? 1 : 0);
}

// String(count, character): the character is a text (its first character) or a code, taken
// modulo 256.
ScriptValue StringOf(const Args& a, WorkBudget& budget) {
  const std::int32_t count = ToLong(a[0]);
  char c = 0;
  if (a[1].IsString()) {
    if (a[1].StringValue().empty()) RaiseScriptError(ScriptFault::InvalidCall);
    c = a[1].StringValue()[0];
  } else {
    const std::int32_t code = ToLong(a[1]);
    if (code < 0) RaiseScriptError(ScriptFault::InvalidCall);
    c = static_cast<char>(code % 256);
  }
  return ScriptValue::String(Repeated(count, c, budget));
}

ScriptValue StrReverse(const Args& a, WorkBudget& budget) {
  return MadeText(Reversed(ToText(a[0])), budget);
}
ScriptValue Tan(const Args& a, WorkBudget&) {
  return Real(a[0], [](double v) { return std::tan(v); });
}
ScriptValue Trim(const Args& a, WorkBudget& budget) {
  return MadeText(TrimSpaces(ToText(a[0]), true, true), budget);
}
ScriptValue TypeNameOf(const Args& a, WorkBudget&) {
  return ScriptValue::String(TypeName(a[0]));
}
ScriptValue UBound(const Args& a, WorkBudget&) {
  const auto& elements = ArrayArg(a[0]);
  CheckDimension(a);
  return ScriptValue::Long(static_cast<std::int32_t>(elements.size()) - 1);
}
ScriptValue UCase(const Args& a, WorkBudget& budget) {
  return MadeText(vbtext::ToUpper(ToText(a[0])), budget);
}

constexpr int kAny = 255;

constexpr Builtin kBuiltins[] = {
    {"Abs", 1, 1, Abs},
    {"Asc", 1, 1, Asc},
    {"Atn", 1, 1, Atn},
    {"CBool", 1, 1, CBool},
    {"CDbl", 1, 1, CDbl},
    {"Chr", 1, 1, Chr},
    {"CInt", 1, 1, CInt},
    {"CLng", 1, 1, CLng},
    {"Cos", 1, 1, Cos},
    {"CreateObject", 0, kAny, nullptr},
    {"CSng", 1, 1, CSng},
    {"CStr", 1, 1, CStr},
    {"Exp", 1, 1, Exp},
    {"Fix", 1, 1, Fix},
    {"FormatNumber", 1, 5, FormatNumber},
    {"GetObject", 0, kAny, nullptr},
    {"Hex", 1, 1, Hex},
    {"InStr", 2, 4, InStr},
    {"InStrRev", 2, 4, InStrRev},
    {"Int", 1, 1, Int},
    {"IsArray", 1, 1, IsArray},
    {"IsEmpty", 1, 1, IsEmpty},
    {"IsNumeric", 1, 1, IsNumeric},
    {"Join", 1, 2, Join},
    {"LBound", 1, 2, LBound},
    {"LCase", 1, 1, LCase},
    {"Left", 2, 2, Left},
    {"Len", 1, 1, Len},
    {"Log", 1, 1, Log},
    {"LTrim", 1, 1, LTrim},
    {"Mid", 2, 3, Mid},
    {"Oct", 1, 1, Oct},
    {"Replace", 3, 6, Replace},
    {"Right", 2, 2, Right},
    {"Round", 1, 2, Round},
    {"RTrim", 1, 1, RTrim},
    {"ScriptEngine", 0, 0, ScriptEngineName},
    {"ScriptEngineMajorVersion", 0, 0, ScriptEngineMajorVersion},
    {"ScriptEngineMinorVersion", 0, 0, ScriptEngineMinorVersion},
    {"Sgn", 1, 1, Sgn},
    {"Sin", 1, 1, Sin},
    {"Space", 1, 1, Space},
    {"Split", 1, 4, Split},
    {"Sqr", 1, 1, Sqr},
    {"StrComp", 2, 3, StrComp},
    {"String", 2, 2, StringOf},
    {"StrReverse", 1, 1, StrReverse},
    {"Tan", 1, 1, Tan},
    {"Trim", 1, 1, Trim},
    {"TypeName", 1, 1, TypeNameOf},
    {"UBound", 1, 2, UBound},
    {"UCase", 1, 1, UCase},
};

struct Constant {
  std::string_view name;
  std::string_view text;  // for a text constant
  int number;             // for a number constant (when text is absent)
  bool isText;
};

constexpr Constant kConstants[] = {
    {"vbCr", "\r", 0, true},           {"vbLf", "\n", 0, true},
    {"vbCrLf", "\r\n", 0, true},       {"vbNewLine", "\r\n", 0, true},
    {"vbTab", "\t", 0, true},          {"vbNullString", "", 0, true},
    {"vbBinaryCompare", "", 0, false}, {"vbTextCompare", "", 1, false},
    {"vbTrue", "", -1, false},         {"vbFalse", "", 0, false},
    {"vbUseDefault", "", -2, false},
};

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  }
  return true;
}

const Builtin* FindBuiltin(std::string_view name) {
  for (const Builtin& builtin : kBuiltins) {
    if (SameName(builtin.name, name)) return &builtin;
  }
  return nullptr;
}

std::optional<ScriptValue> FindConstant(std::string_view name) {
  for (const Constant& constant : kConstants) {
    if (!SameName(constant.name, name)) continue;
    if (constant.isText) return ScriptValue::String(std::string(constant.text));
    return ScriptValue::Long(constant.number);
  }
  return std::nullopt;
}

}  // namespace brimtal::script
