// The built-in functions and constants that parse expressions can use.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "instruments/script/ScriptLimits.h"
#include "instruments/script/ScriptValue.h"

namespace brimtal::script {

using BuiltinCall = ScriptValue (*)(const std::vector<ScriptValue>& args, WorkBudget& budget);

struct Builtin {
  std::string_view name;
  int minArgs;
  int maxArgs;
  // Nothing for the functions that would create or reach objects: they are refused.
  BuiltinCall call;
};

// The function of that name in any letter case, or nothing.
const Builtin* FindBuiltin(std::string_view name);
// The value of a named constant (vbCrLf, vbTextCompare, ...), or nothing.
std::optional<ScriptValue> FindConstant(std::string_view name);
// Names equal in any letter case.
bool SameName(std::string_view a, std::string_view b);

}  // namespace brimtal::script
