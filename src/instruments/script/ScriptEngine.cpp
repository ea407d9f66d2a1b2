// The expression engine: names are resolved in this order: constants, built-in functions,
// registered objects, the properties of objects registered with global members, variables.
// An unknown variable is Empty; calling an unknown name is a type mismatch.
#include "instruments/script/ScriptEngine.h"

#include <utility>

#include "instruments/script/ScriptFunctions.h"
#include "instruments/script/ScriptLimits.h"
#include "instruments/script/ScriptOperators.h"
#include "instruments/script/ScriptParser.h"
#include "shell/VbText.h"

namespace brimtal {

namespace script {

namespace {

// The one property a registered object has.
constexpr std::string_view kRetString = "RetString";

// All variables together may hold this many units: a character or an array element each.
constexpr std::size_t kMaxStoreSize = 4 * kMaxTextLength;

std::size_t StoredSize(const ScriptValue& value) {
  if (value.IsString()) return value.StringValue().size();
  if (!value.IsArray()) return 1;
  std::size_t size = 1;
  for (const ScriptValue& element : value.ArrayValue()) size += 1 + StoredSize(element);
  return size;
}

}  // namespace

// One run of a statement or an expression, with its own work budget.
class Evaluation {
 public:
  explicit Evaluation(ScriptEngine& engine) : engine_(engine) {}

  ScriptValue Value(const Node& node) {
    budget_.Charge(1);
    switch (node.kind) {
      case Node::Kind::Literal: return node.value;
      case Node::Kind::Name: return NameValue(node.name);
      case Node::Kind::Member: return MemberValue(node);
      case Node::Kind::Call: return CallValue(node);
      case Node::Kind::Unary: return ApplyUnary(node.op, Value(*node.children[0]));
      case Node::Kind::Binary: {
        const ScriptValue left = Value(*node.children[0]);
        const ScriptValue right = Value(*node.children[1]);
        return ApplyBinary(node.op, left, right, budget_);
      }
    }
    RaiseScriptError(ScriptFault::SyntaxError);
  }

  void Assign(const Assignment& statement) {
    const ScriptValue value = Value(*statement.value);
    const Node& target = *statement.target;
    if (target.kind == Node::Kind::Member) {
      ObjectOf(target).RetString = ToText(value);
      return;
    }
    const std::string& name = target.name;
    if (FindConstant(name) || FindBuiltin(name) || Named(name)) {
      RaiseScriptError(ScriptFault::IllegalAssignment, name);
    }
    if (clsBmLib* owner = GlobalMemberOwner(name)) {
      owner->RetString = ToText(value);
      return;
    }
    SetVariable(name, value);
  }

 private:
  ScriptEngine::NamedObject* Named(std::string_view name) {
    for (auto& named : engine_.objects_) {
      if (SameName(named.name, name)) return &named;
    }
    return nullptr;
  }

  clsBmLib* GlobalMemberOwner(std::string_view name) {
    if (!SameName(name, kRetString)) return nullptr;
    for (auto& named : engine_.objects_) {
      if (named.globalMembers) return named.object.get();
    }
    return nullptr;
  }

  ScriptValue Text(const std::string& text) {
    budget_.Charge(text.size());
    return ScriptValue::String(text);
  }

  ScriptValue NameValue(const std::string& name) {
    if (auto constant = FindConstant(name)) return *constant;
    if (const Builtin* builtin = FindBuiltin(name)) {
      if (builtin->minArgs > 0) RaiseScriptError(ScriptFault::WrongArgumentCount, name);
      return Call(*builtin, name, {});
    }
    if (Named(name)) RaiseScriptError(ScriptFault::NoSuchMember, name);
    if (clsBmLib* owner = GlobalMemberOwner(name)) return Text(owner->RetString);
    const auto found = engine_.variables_.find(vbtext::ToLower(name));
    if (found == engine_.variables_.end()) return ScriptValue();
    budget_.Charge(found->second.size);
    return found->second.value;
  }

  // The object a Member node refers to, after checking that it has the member. Only a
  // registered object's name refers to an object; any other value is evaluated (and may fail
  // on its own) and then is no object.
  clsBmLib& ObjectOf(const Node& member) {
    const Node& object = *member.children[0];
    if (object.kind != Node::Kind::Name) {
      Value(object);
      RaiseScriptError(ScriptFault::ObjectRequired);
    }
    ScriptEngine::NamedObject* named = Named(object.name);
    if (named == nullptr) RaiseScriptError(ScriptFault::ObjectRequired, object.name);
    if (!SameName(member.name, kRetString)) {
      RaiseScriptError(ScriptFault::NoSuchMember, named->name + "." + member.name);
    }
    return *named->object;
  }

  ScriptValue MemberValue(const Node& node) { return Text(ObjectOf(node).RetString); }

  ScriptValue Call(const Builtin& builtin, std::string_view name,
                   const std::vector<ScriptValue>& args) {
    if (builtin.call == nullptr) RaiseScriptError(ScriptFault::CannotCreateObject);
    if (static_cast<int>(args.size()) < builtin.minArgs ||
        static_cast<int>(args.size()) > builtin.maxArgs) {
      RaiseScriptError(ScriptFault::WrongArgumentCount, name);
    }
    return builtin.call(args, budget_);
  }

  ScriptValue CallValue(const Node& node) {
    const Node& callee = *node.children[0];
    if (callee.kind != Node::Kind::Name) return Index(Value(callee), node, {});
    const std::string& name = callee.name;
    if (const Builtin* builtin = FindBuiltin(name)) {
      if (builtin->call == nullptr) RaiseScriptError(ScriptFault::CannotCreateObject);
      std::vector<ScriptValue> args;
      for (std::size_t i = 1; i < node.children.size(); ++i)
        args.push_back(Value(*node.children[i]));
      return Call(*builtin, name, args);
    }
    const bool known = FindConstant(name) || Named(name) || GlobalMemberOwner(name) ||
                       engine_.variables_.count(vbtext::ToLower(name)) > 0;
    if (!known) RaiseScriptError(ScriptFault::TypeMismatch, name);
    return Index(NameValue(name), node, name);
  }

  // value(i): one element of an array, counted from 0.
  ScriptValue Index(const ScriptValue& value, const Node& call, std::string_view name) {
    if (!value.IsArray()) RaiseScriptError(ScriptFault::TypeMismatch, name);
    if (call.children.size() != 2) RaiseScriptError(ScriptFault::SubscriptOutOfRange);
    const std::int32_t index = ToLong(Value(*call.children[1]));
    const auto& elements = value.ArrayValue();
    if (index < 0 || static_cast<std::size_t>(index) >= elements.size()) {
      RaiseScriptError(ScriptFault::SubscriptOutOfRange);
    }
    return elements[static_cast<std::size_t>(index)];
  }

  void SetVariable(const std::string& name, const ScriptValue& value) {
    if (value.IsString()) WorkBudget::CheckLength(value.StringValue().size());
    const std::size_t size = StoredSize(value);
    std::string key = vbtext::ToLower(name);
    std::size_t total = size;
    for (const auto& [other, variable] : engine_.variables_) {
      if (other != key) total += variable.size;
    }
    const bool isNew = engine_.variables_.count(key) == 0;
    if (total > kMaxStoreSize || (isNew && engine_.variables_.size() >= kMaxVariables)) {
      RaiseScriptError(ScriptFault::OutOfMemory);
    }
    engine_.variables_[std::move(key)] = ScriptEngine::Variable{value, size};
  }

  ScriptEngine& engine_;
  WorkBudget budget_;
};

}  // namespace script

namespace {

// Runs f, keeping any script error as the engine's last error before passing it on.
template <typename F>
auto KeepingError(ScriptErrorInfo& error, F f) {
  try {
    return f();
  } catch (const ScriptError& e) {
    error = ScriptErrorInfo{e.Number(), e.Description()};
    throw;
  }
}

}  // namespace

ScriptEngine::ScriptEngine() = default;
ScriptEngine::~ScriptEngine() = default;
ScriptEngine::ScriptEngine(ScriptEngine&&) noexcept = default;
ScriptEngine& ScriptEngine::operator=(ScriptEngine&&) noexcept = default;

clsBmLib& ScriptEngine::AddObject(const std::string& name, bool globalMembers) {
  if (FindObject(name) != nullptr) {
    RaiseScriptError(ScriptFault::KeyInUse);
  }
  objects_.push_back(NamedObject{name, std::make_unique<clsBmLib>(), globalMembers});
  return *objects_.back().object;
}

clsBmLib* ScriptEngine::FindObject(std::string_view name) {
  for (auto& named : objects_) {
    if (script::SameName(named.name, name)) return named.object.get();
  }
  return nullptr;
}

void ScriptEngine::ExecuteStatement(std::string_view statement) {
  KeepingError(error_, [&] {
    const auto statements = script::ParseStatements(statement);
    script::Evaluation run(*this);
    for (const auto& assignment : statements) run.Assign(assignment);
  });
}

ScriptValue ScriptEngine::Eval(std::string_view expression) {
  return KeepingError(error_, [&] {
    const auto tree = script::ParseExpression(expression);
    script::Evaluation run(*this);
    return run.Value(*tree);
  });
}

}  // namespace brimtal
