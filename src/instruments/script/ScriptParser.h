// Reading parse expressions and assignment statements into trees.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/script/ScriptValue.h"

namespace brimtal::script {

enum class Operator {
  Power,
  Negate,
  Identity,
  Multiply,
  Divide,
  IntegerDivide,
  Modulo,
  Add,
  Subtract,
  Concatenate,
  Equal,
  NotEqual,
  Less,
  Greater,
  LessOrEqual,
  GreaterOrEqual,
  Not,
  And,
  Or,
  Xor,
};

struct Node {
  enum class Kind {
    Literal,  // value
    Name,     // name
    Member,   // children[0] . name
    Call,     // children[0] ( children[1..] ): a call by name or an index into an array
    Unary,    // op children[0]
    Binary,   // children[0] op children[1]
  };
  Kind kind = Kind::Literal;
  ScriptValue value;
  std::string name;  // as written
  Operator op = Operator::Identity;
  std::vector<std::unique_ptr<Node>> children;
  int depth = 1;
};

// name = value, where the target is a Name or a Member node.
struct Assignment {
  std::unique_ptr<Node> target;
  std::unique_ptr<Node> value;
};

// One expression; raises the compile errors (syntax, unterminated string, too long or deep).
std::unique_ptr<Node> ParseExpression(std::string_view source);
// Assignments separated by ":" or line ends; empty statements are allowed.
std::vector<Assignment> ParseStatements(std::string_view source);

}  // namespace brimtal::script
