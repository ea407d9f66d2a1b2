// Tables of expressions with the value or the error they must give.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "instruments/script/ScriptEngine.h"

namespace brimtal::test {

struct ValueCase {
  std::string expression;
  const char* type;  // TypeName of the value
  const char* text;  // its text
};

struct ErrorCase {
  std::string expression;
  int number;
  const char* description;
};

inline void ExpectValues(ScriptEngine& engine, std::initializer_list<ValueCase> cases) {
  for (const ValueCase& c : cases) {
    try {
      const ScriptValue value = engine.Eval(c.expression);
      EXPECT_EQ(TypeName(value), c.type) << c.expression;
      if (!value.IsArray()) {
        EXPECT_EQ(ToText(value), c.text) << c.expression;
      }
    } catch (const ScriptError& error) {
      ADD_FAILURE() << c.expression << " raised " << error.Number() << " " << error.Description();
    }
  }
}

inline void ExpectErrors(ScriptEngine& engine, std::initializer_list<ErrorCase> cases) {
  for (const ErrorCase& c : cases) {
    try {
      const ScriptValue value = engine.Eval(c.expression);
      ADD_FAILURE() << c.expression << " gave " << TypeName(value) << " instead of error "
                    << c.number;
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.Number(), c.number) << c.expression;
      EXPECT_EQ(error.Description(), c.description) << c.expression;
    }
  }
}

}  // namespace brimtal::test
