// Feeds arbitrary bytes to the expression engine. The first line is the instrument reply, the
// rest the expression, which is run as an expression, as statements and then as an expression
// again over the variables the statements left. Only ScriptError may leave the engine, and no
// number it returns may lack a text that reads back as a number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "instruments/script/ParseReply.h"
#include "instruments/script/ScriptLimits.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckValue(const brimtal::ScriptValue& value) {
  if (value.IsString()) {
    Check(value.StringValue().size() <= brimtal::script::kMaxTextLength);
  } else if (value.IsArray()) {
    for (const auto& element : value.ArrayValue()) CheckValue(element);
  } else if (value.IsNumber() && value.Type() != brimtal::ScriptType::Boolean) {
    Check(brimtal::NumberFromText(brimtal::ToText(value)).has_value());
  }
}

void Evaluate(brimtal::ScriptEngine& engine, const std::string& expression) {
  try {
    CheckValue(engine.Eval(expression));
  } catch (const brimtal::ScriptError& error) {
    Check(error.Number() != 0 && !error.Description().empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string reply(input.substr(0, lineEnd));
  const std::string expression(lineEnd == std::string_view::npos ? "" : input.substr(lineEnd + 1));

  brimtal::ScriptEngine engine = brimtal::CreateScriptEngine();
  engine.FindObject(brimtal::kMathLibName)->RetString = reply;
  try {
    engine.ExecuteStatement("x= RetString");
  } catch (const brimtal::ScriptError&) {
  }
  Evaluate(engine, expression);
  try {
    engine.ExecuteStatement(expression);
  } catch (const brimtal::ScriptError&) {
  }
  Evaluate(engine, expression);
  return 0;
}
