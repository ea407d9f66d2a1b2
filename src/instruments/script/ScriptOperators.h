// The operators of parse expressions with the language's type rules: which operand types
// combine, what type the result has, and when a result widens (32767 + 1 is a Long).
#pragma once

#include "instruments/script/ScriptLimits.h"
#include "instruments/script/ScriptParser.h"
#include "instruments/script/ScriptValue.h"

namespace brimtal::script {

ScriptValue ApplyUnary(Operator op, const ScriptValue& operand);
ScriptValue ApplyBinary(Operator op, const ScriptValue& left, const ScriptValue& right,
                        WorkBudget& budget);

}  // namespace brimtal::script
