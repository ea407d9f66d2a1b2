// Values of parse expressions and the conversions between them.
#include "instruments/script/ScriptValue.h"

#include <cmath>
#include <limits>

#include "shell/VbText.h"

namespace brimtal {

namespace {

struct FaultText {
  int number;
  const char* description;
};

FaultText TextOf(ScriptFault fault) {
  switch (fault) {
    case ScriptFault::InvalidCall: return {5, "Invalid procedure call or argument"};
    case ScriptFault::Overflow: return {6, "Overflow"};
    case ScriptFault::OutOfMemory: return {7, "Out of memory"};
    case ScriptFault::SubscriptOutOfRange: return {9, "Subscript out of range"};
    case ScriptFault::DivisionByZero: return {11, "Division by zero"};
    case ScriptFault::TypeMismatch: return {13, "Type mismatch"};
    case ScriptFault::OutOfStringSpace: return {14, "Out of string space"};
    case ScriptFault::OutOfStackSpace: return {28, "Out of stack space"};
    case ScriptFault::ObjectRequired: return {424, "Object required"};
    case ScriptFault::CannotCreateObject: return {429, "ActiveX component can't create object"};
    case ScriptFault::NoSuchMember: return {438, "Object doesn't support this property or method"};
    case ScriptFault::WrongArgumentCount:
      return {450, "Wrong number of arguments or invalid property assignment"};
    case ScriptFault::KeyInUse:
      return {457, "This key is already associated with an element of this collection"};
    case ScriptFault::IllegalAssignment: return {501, "Illegal assignment"};
    case ScriptFault::CompileOutOfMemory: return {1001, "Out of memory"};
    case ScriptFault::SyntaxError: return {1002, "Syntax error"};
    case ScriptFault::ExpectedCloseParen: return {1006, "Expected ')'"};
    case ScriptFault::ExpectedIdentifier: return {1010, "Expected identifier"};
    case ScriptFault::ExpectedEquals: return {1011, "Expected '='"};
    case ScriptFault::ExpectedExpression: return {1023, "Expected expression"};
    case ScriptFault::ExpectedStatement: return {1024, "Expected statement"};
    case ScriptFault::ExpectedEndOfStatement: return {1025, "Expected end of statement"};
    case ScriptFault::IdentifierTooLong: return {1030, "Identifier too long"};
    case ScriptFault::InvalidNumber: return {1031, "Invalid number"};
    case ScriptFault::InvalidCharacter: return {1032, "Invalid character"};
    case ScriptFault::UnterminatedString: return {1033, "Unterminated string constant"};
  }
  return {51, "Internal error"};
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

template <typename T>
bool FitsIn(double value) {
  return value >= static_cast<double>(std::numeric_limits<T>::min()) &&
         value <= static_cast<double>(std::numeric_limits<T>::max());
}

}  // namespace

void RaiseScriptError(ScriptFault fault, std::string_view name) {
  const FaultText text = TextOf(fault);
  std::string description = text.description;
  if (!name.empty()) description += ": '" + std::string(name) + "'";
  throw ScriptError(text.number, description);
}

bool ScriptValue::IsNumber() const {
  switch (Type()) {
    case ScriptType::Boolean:
    case ScriptType::Integer:
    case ScriptType::Long:
    case ScriptType::Single:
    case ScriptType::Double: return true;
    default: return false;
  }
}

double ScriptValue::NumberValue() const {
  switch (Type()) {
    case ScriptType::Boolean: return BooleanValue() ? -1.0 : 0.0;
    case ScriptType::Integer: return IntegerValue();
    case ScriptType::Long: return LongValue();
    case ScriptType::Single: return SingleValue();
    case ScriptType::Double: return DoubleValue();
    default: return 0.0;
  }
}

ScriptValue DoubleResult(double value) {
  if (!std::isfinite(value)) RaiseScriptError(ScriptFault::Overflow);
  return ScriptValue::Double(value);
}

ScriptType NumericTypeOf(const ScriptValue& value) {
  switch (value.Type()) {
    case ScriptType::Empty:
    case ScriptType::Boolean:
    case ScriptType::Integer: return ScriptType::Integer;
    case ScriptType::Long: return ScriptType::Long;
    case ScriptType::Single: return ScriptType::Single;
    case ScriptType::Double:
    case ScriptType::String: return ScriptType::Double;
    case ScriptType::Array: break;
  }
  RaiseScriptError(ScriptFault::TypeMismatch);
}

ScriptValue NumberOfType(ScriptType type, double value) {
  switch (type) {
    case ScriptType::Empty:
    case ScriptType::Boolean:
    case ScriptType::Integer:
      if (FitsIn<std::int16_t>(value))
        return ScriptValue::Integer(static_cast<std::int16_t>(value));
      [[fallthrough]];
    case ScriptType::Long:
      if (FitsIn<std::int32_t>(value)) return ScriptValue::Long(static_cast<std::int32_t>(value));
      break;
    case ScriptType::Single:
      if (std::fabs(value) <= std::numeric_limits<float>::max()) {
        return ScriptValue::Single(static_cast<float>(value));
      }
      break;
    default: break;
  }
  return DoubleResult(value);
}

std::string ToText(const ScriptValue& value) {
  switch (value.Type()) {
    case ScriptType::Empty: return {};
    case ScriptType::Boolean: return vbtext::BoolText(value.BooleanValue());
    case ScriptType::Integer: return std::to_string(value.IntegerValue());
    case ScriptType::Long: return std::to_string(value.LongValue());
    case ScriptType::Single: return vbtext::GeneralText(value.SingleValue());
    case ScriptType::Double: return vbtext::GeneralText(value.DoubleValue());
    case ScriptType::String: return value.StringValue();
    case ScriptType::Array: break;
  }
  RaiseScriptError(ScriptFault::TypeMismatch);
}

std::optional<double> NumberFromText(std::string_view text) {
  // Instrument replies often keep their line end; it is no part of the number.
  while (!text.empty() && IsLineEnd(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsLineEnd(text.back())) text.remove_suffix(1);
  auto number = vbtext::ToNumber(text);
  if (number && !std::isfinite(*number)) return std::nullopt;
  return number;
}

double ToDouble(const ScriptValue& value) {
  if (value.IsString()) {
    const auto number = NumberFromText(value.StringValue());
    if (!number) RaiseScriptError(ScriptFault::TypeMismatch);
    return *number;
  }
  if (value.IsArray()) RaiseScriptError(ScriptFault::TypeMismatch);
  return value.NumberValue();
}

std::int32_t ToLong(const ScriptValue& value) {
  const double rounded = std::nearbyint(ToDouble(value));
  if (!FitsIn<std::int32_t>(rounded)) RaiseScriptError(ScriptFault::Overflow);
  return static_cast<std::int32_t>(rounded);
}

std::int16_t ToInteger(const ScriptValue& value) {
  const double rounded = std::nearbyint(ToDouble(value));
  if (!FitsIn<std::int16_t>(rounded)) RaiseScriptError(ScriptFault::Overflow);
  return static_cast<std::int16_t>(rounded);
}

float ToSingle(const ScriptValue& value) {
  const double number = ToDouble(value);
  if (std::fabs(number) > std::numeric_limits<float>::max()) {
    RaiseScriptError(ScriptFault::Overflow);
  }
  return static_cast<float>(number);
}

bool ToBoolean(const ScriptValue& value) {
  if (value.IsString()) {
    if (vbtext::EqualsNoCase(value.StringValue(), "True")) return true;
    if (vbtext::EqualsNoCase(value.StringValue(), "False")) return false;
  }
  return ToDouble(value) != 0.0;
}

std::string TypeName(const ScriptValue& value) {
  switch (value.Type()) {
    case ScriptType::Empty: return "Empty";
    case ScriptType::Boolean: return "Boolean";
    case ScriptType::Integer: return "Integer";
    case ScriptType::Long: return "Long";
    case ScriptType::Single: return "Single";
    case ScriptType::Double: return "Double";
    case ScriptType::String: return "String";
    case ScriptType::Array: return "Variant()";
  }
  return "Unknown";
}

}  // namespace brimtal
