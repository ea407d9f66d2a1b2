// The expression engine behind reply parsing: a small interpreter for the VBScript dialect of
// parse expressions. It runs assignment statements and evaluates expressions over its
// variables, its named objects and a fixed set of built-in functions. Nothing in it reaches
// files, processes, objects or the network, and every evaluation is bounded in text length,
// nesting and work.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/script/ScriptValue.h"

namespace brimtal {

namespace script {
class Evaluation;
}

// The object through which an expression sees an instrument's reply.
struct clsBmLib {
  std::string RetString;
};

// The engine's record of the last error, kept until cleared.
struct ScriptErrorInfo {
  int Number = 0;
  std::string Description;
};

class ScriptEngine {
 public:
  ScriptEngine();
  ~ScriptEngine();
  ScriptEngine(ScriptEngine&&) noexcept;
  ScriptEngine& operator=(ScriptEngine&&) noexcept;
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // Registers a new object under the name and returns it; the engine owns it. With
  // globalMembers, expressions may name its properties alone (RetString as well as
  // MathLib.RetString). A name already registered raises error 457.
  clsBmLib& AddObject(const std::string& name, bool globalMembers);
  // The object registered under the name in any letter case, or nullptr.
  clsBmLib* FindObject(std::string_view name);

  // Runs assignments "name = expression", separated by ":" or line ends. Raises
  // ScriptError and keeps it as the last error.
  void ExecuteStatement(std::string_view statement);
  // The value of one expression. Raises ScriptError and keeps it as the last error.
  ScriptValue Eval(std::string_view expression);

  const ScriptErrorInfo& Error() const { return error_; }
  void ClearError() { error_ = {}; }

 private:
  friend class script::Evaluation;

  struct NamedObject {
    std::string name;
    std::unique_ptr<clsBmLib> object;
    bool globalMembers = false;
  };
  struct Variable {
    ScriptValue value;
    std::size_t size = 0;  // the units it counts against the store's bound
  };

  std::vector<NamedObject> objects_;
  std::map<std::string, Variable> variables_;  // by lower-case name
  ScriptErrorInfo error_;
};

}  // namespace brimtal
