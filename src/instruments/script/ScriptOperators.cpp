// Operators of parse expressions. Arithmetic works in the widest operand type (Integer, Long,
// Single, Double; Empty and Booleans count as Integer, numeric texts as Double) and widens a
// result that does not fit. Comparisons follow the language's rules for mixed operands.
#include "instruments/script/ScriptOperators.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace brimtal::script {

namespace {

int Rank(ScriptType type) {
  switch (type) {
    case ScriptType::Integer: return 0;
    case ScriptType::Long: return 1;
    case ScriptType::Single: return 2;
    default: return 3;
  }
}

// A Long with a Single needs a Double to hold both exactly.
ScriptType CombinedType(const ScriptValue& left, const ScriptValue& right) {
  const ScriptType a = NumericTypeOf(left);
  const ScriptType b = NumericTypeOf(right);
  if ((a == ScriptType::Long && b == ScriptType::Single) ||
      (a == ScriptType::Single && b == ScriptType::Long)) {
    return ScriptType::Double;
  }
  return Rank(a) >= Rank(b) ? a : b;
}

bool IsWhole(ScriptType type) {
  return type == ScriptType::Integer || type == ScriptType::Long;
}

// +, - and * on numbers. Whole operands are added exactly; a Single result is the double
// result rounded once to single precision, which equals single-precision arithmetic.
ScriptValue Arithmetic(Operator op, const ScriptValue& left, const ScriptValue& right) {
  const ScriptType type = CombinedType(left, right);
  const double a = ToDouble(left);
  const double b = ToDouble(right);
  if (IsWhole(type)) {
    const auto x = static_cast<std::int64_t>(a);
    const auto y = static_cast<std::int64_t>(b);
    const std::int64_t result = op == Operator::Add        ? x + y
                                : op == Operator::Subtract ? x - y
                                                           : x * y;
    return NumberOfType(type, static_cast<double>(result));
  }
  const double result = op == Operator::Add ? a + b : op == Operator::Subtract ? a - b : a * b;
  return NumberOfType(type, result);
}

ScriptValue Add(const ScriptValue& left, const ScriptValue& right, WorkBudget& budget) {
  if (left.IsString() && right.IsString()) {
    budget.Text(left.StringValue().size() + right.StringValue().size());
    return ScriptValue::String(left.StringValue() + right.StringValue());
  }
  if (left.IsString() && right.IsEmpty()) return left;
  if (left.IsEmpty() && right.IsString()) return right;
  return Arithmetic(Operator::Add, left, right);
}

ScriptValue Divide(const ScriptValue& left, const ScriptValue& right) {
  const ScriptType a = NumericTypeOf(left);
  const ScriptType b = NumericTypeOf(right);
  // Single only when every operand is an Integer or a Single and one of them is a Single.
  const auto small = [](ScriptType t) {
    return t == ScriptType::Integer || t == ScriptType::Single;
  };
  const bool single = small(a) && small(b) && (a == ScriptType::Single || b == ScriptType::Single);
  const double dividend = ToDouble(left);
  const double divisor = ToDouble(right);
  if (divisor == 0) {
    // 0 / 0 has no value at all; the language calls it an overflow.
    RaiseScriptError(dividend == 0 ? ScriptFault::Overflow : ScriptFault::DivisionByZero);
  }
  return NumberOfType(single ? ScriptType::Single : ScriptType::Double, dividend / divisor);
}

// \ and Mod round both operands to whole numbers first.
ScriptValue WholeDivision(Operator op, const ScriptValue& left, const ScriptValue& right) {
  const bool integers =
      NumericTypeOf(left) == ScriptType::Integer && NumericTypeOf(right) == ScriptType::Integer;
  const std::int64_t dividend = ToLong(left);
  const std::int64_t divisor = ToLong(right);
  if (divisor == 0) RaiseScriptError(ScriptFault::DivisionByZero);
  const std::int64_t result =
      op == Operator::IntegerDivide ? dividend / divisor : dividend % divisor;
  if (result > std::numeric_limits<std::int32_t>::max()) RaiseScriptError(ScriptFault::Overflow);
  return NumberOfType(integers ? ScriptType::Integer : ScriptType::Long,
                      static_cast<double>(result));
}

ScriptValue Power(const ScriptValue& left, const ScriptValue& right) {
  const double base = ToDouble(left);
  const double exponent = ToDouble(right);
  if ((base < 0 && exponent != std::trunc(exponent)) || (base == 0 && exponent < 0)) {
    RaiseScriptError(ScriptFault::InvalidCall);
  }
  return DoubleResult(std::pow(base, exponent));
}

ScriptValue Concatenate(const ScriptValue& left, const ScriptValue& right, WorkBudget& budget) {
  std::string a = ToText(left);
  const std::string b = ToText(right);
  budget.Text(a.size() + b.size());
  return ScriptValue::String(a + b);
}

// -1, 0 or 1. Empty meets a number as 0 and a text as ""; a number is less than any text.
int Compare(const ScriptValue& left, const ScriptValue& right, WorkBudget& budget) {
  if (left.IsArray() || right.IsArray()) RaiseScriptError(ScriptFault::TypeMismatch);
  const bool leftText = left.IsString() || (left.IsEmpty() && right.IsString());
  const bool rightText = right.IsString() || (right.IsEmpty() && left.IsString());
  if (leftText && rightText) {
    const std::string a = left.IsString() ? left.StringValue() : std::string();
    const std::string b = right.IsString() ? right.StringValue() : std::string();
    budget.Charge(std::min(a.size(), b.size()));
    const int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
  }
  if (leftText != rightText) return leftText ? 1 : -1;
  const double a = left.NumberValue();
  const double b = right.NumberValue();
  return a < b ? -1 : a > b ? 1 : 0;
}

bool Holds(Operator op, int order) {
  switch (op) {
    case Operator::Equal: return order == 0;
    case Operator::NotEqual: return order != 0;
    case Operator::Less: return order < 0;
    case Operator::Greater: return order > 0;
    case Operator::LessOrEqual: return order <= 0;
    default: return order >= 0;
  }
}

// The bits of an operand of Not, And, Or and Xor, and the type it brings.
struct LogicOperand {
  ScriptType type;
  std::int64_t bits;
};

LogicOperand ToLogic(const ScriptValue& value) {
  switch (value.Type()) {
    case ScriptType::Boolean: return {ScriptType::Boolean, value.BooleanValue() ? -1 : 0};
    case ScriptType::Empty: return {ScriptType::Integer, 0};
    case ScriptType::Integer: return {ScriptType::Integer, value.IntegerValue()};
    default: return {ScriptType::Long, ToLong(value)};
  }
}

ScriptValue LogicResult(ScriptType left, ScriptType right, std::int64_t bits) {
  if (left == ScriptType::Boolean && right == ScriptType::Boolean) {
    return ScriptValue::Boolean(bits != 0);
  }
  const bool integers = left != ScriptType::Long && right != ScriptType::Long;
  return NumberOfType(integers ? ScriptType::Integer : ScriptType::Long, static_cast<double>(bits));
}

ScriptValue Logic(Operator op, const ScriptValue& left, const ScriptValue& right) {
  const LogicOperand a = ToLogic(left);
  const LogicOperand b = ToLogic(right);
  const std::int64_t bits = op == Operator::And  ? (a.bits & b.bits)
                            : op == Operator::Or ? (a.bits | b.bits)
                                                 : (a.bits ^ b.bits);
  return LogicResult(a.type, b.type, bits);
}

}  // namespace

ScriptValue ApplyUnary(Operator op, const ScriptValue& operand) {
  if (op == Operator::Identity) return operand;
  if (op == Operator::Not) {
    const LogicOperand a = ToLogic(operand);
    return LogicResult(a.type, a.type, ~a.bits);
  }
  return NumberOfType(NumericTypeOf(operand), -ToDouble(operand));
}

ScriptValue ApplyBinary(Operator op, const ScriptValue& left, const ScriptValue& right,
                        WorkBudget& budget) {
  switch (op) {
    case Operator::Add: return Add(left, right, budget);
    case Operator::Subtract:
    case Operator::Multiply: return Arithmetic(op, left, right);
    case Operator::Divide: return Divide(left, right);
    case Operator::IntegerDivide:
    case Operator::Modulo: return WholeDivision(op, left, right);
    case Operator::Power: return Power(left, right);
    case Operator::Concatenate: return Concatenate(left, right, budget);
    case Operator::Equal:
    case Operator::NotEqual:
    case Operator::Less:
    case Operator::Greater:
    case Operator::LessOrEqual:
    case Operator::GreaterOrEqual:
      return ScriptValue::Boolean(Holds(op, Compare(left, right, budget)));
    case Operator::And:
    case Operator::Or:
    case Operator::Xor: return Logic(op, left, right);
    default: break;
  }
  RaiseScriptError(ScriptFault::SyntaxError);
}

}  // namespace brimtal::script
