// The values parse expressions work with (VBScript's Empty, Boolean, Integer, Long, Single,
// Double, String and one-dimensional arrays), the conversions between them and the errors the
// expression engine raises, with VBScript's numbers and descriptions.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brimtal {

// An error raised while reading or running an expression.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  int number_;
};

// The errors of the engine. A name, when given, is added as VBScript does: "Type mismatch: 'Foo'".
enum class ScriptFault {
  InvalidCall,             // 5
  Overflow,                // 6
  OutOfMemory,             // 7
  SubscriptOutOfRange,     // 9
  DivisionByZero,          // 11
  TypeMismatch,            // 13
  OutOfStringSpace,        // 14
  OutOfStackSpace,         // 28
  ObjectRequired,          // 424
  CannotCreateObject,      // 429
  NoSuchMember,            // 438
  WrongArgumentCount,      // 450
  KeyInUse,                // 457
  IllegalAssignment,       // 501
  CompileOutOfMemory,      // 1001
  SyntaxError,             // 1002
  ExpectedCloseParen,      // 1006
  ExpectedIdentifier,      // 1010
  ExpectedEquals,          // 1011
  ExpectedExpression,      // 1023
  ExpectedStatement,       // 1024
  ExpectedEndOfStatement,  // 1025
  IdentifierTooLong,       // 1030
  InvalidNumber,           // 1031
  InvalidCharacter,        // 1032
  UnterminatedString,      // 1033
};

[[noreturn]] void RaiseScriptError(ScriptFault fault, std::string_view name = {});

enum class ScriptType { Empty, Boolean, Integer, Long, Single, Double, String, Array };

class ScriptValue {
 public:
  using Elements = std::vector<ScriptValue>;

  ScriptValue() = default;  // Empty
  static ScriptValue Boolean(bool value) { return ScriptValue(Data(value)); }
  static ScriptValue Integer(std::int16_t value) { return ScriptValue(Data(value)); }
  static ScriptValue Long(std::int32_t value) { return ScriptValue(Data(value)); }
  static ScriptValue Single(float value) { return ScriptValue(Data(value)); }
  static ScriptValue Double(double value) { return ScriptValue(Data(value)); }
  static ScriptValue String(std::string value) { return ScriptValue(Data(std::move(value))); }
  static ScriptValue Array(Elements elements) {
    return ScriptValue(Data(std::make_shared<const Elements>(std::move(elements))));
  }

  ScriptType Type() const { return static_cast<ScriptType>(data_.index()); }
  bool IsEmpty() const { return Type() == ScriptType::Empty; }
  bool IsString() const { return Type() == ScriptType::String; }
  bool IsArray() const { return Type() == ScriptType::Array; }
  // Boolean, Integer, Long, Single or Double.
  bool IsNumber() const;

  // The stored value; each requires its type.
  bool BooleanValue() const { return std::get<bool>(data_); }
  std::int16_t IntegerValue() const { return std::get<std::int16_t>(data_); }
  std::int32_t LongValue() const { return std::get<std::int32_t>(data_); }
  float SingleValue() const { return std::get<float>(data_); }
  double DoubleValue() const { return std::get<double>(data_); }
  const std::string& StringValue() const { return std::get<std::string>(data_); }
  const Elements& ArrayValue() const { return *std::get<std::shared_ptr<const Elements>>(data_); }

  // The value of Empty or a number as a double (True is -1).
  double NumberValue() const;

 private:
  using Data = std::variant<std::monostate, bool, std::int16_t, std::int32_t, float, double,
                            std::string, std::shared_ptr<const Elements>>;
  explicit ScriptValue(Data data) : data_(std::move(data)) {}
  Data data_;
};

// A Double result; infinities are an overflow.
ScriptValue DoubleResult(double value);
// The type arithmetic on the value works in: Integer for Empty, Booleans and Integers, Long,
// Single, Double for Doubles and texts; arrays are a type mismatch.
ScriptType NumericTypeOf(const ScriptValue& value);
// A number as a value of the given type, widened as the language widens a result that does
// not fit: Integer to Long to Double, Long to Double, Single to Double. Empty and Boolean
// count as Integer, String as Double. A whole number is required for Integer and Long.
ScriptValue NumberOfType(ScriptType type, double value);

// The conversions of the language. Each raises a ScriptError (type mismatch, overflow).
// Text: Empty is "", Booleans "True" / "False", numbers their general text; arrays fail.
std::string ToText(const ScriptValue& value);
// A number read from text: the ordinary conversion, line ends around the number allowed.
std::optional<double> NumberFromText(std::string_view text);
// Empty is 0, True -1, texts are read as numbers.
double ToDouble(const ScriptValue& value);
// Rounded to the nearest whole number, halves to even; outside the type's range an overflow.
std::int32_t ToLong(const ScriptValue& value);
std::int16_t ToInteger(const ScriptValue& value);
float ToSingle(const ScriptValue& value);
// Numbers are true when not zero; texts "True" / "False" in any case or numbers.
bool ToBoolean(const ScriptValue& value);
// "Empty", "Boolean", "Integer", "Long", "Single", "Double", "String", "Variant()".
std::string TypeName(const ScriptValue& value);

}  // namespace brimtal
