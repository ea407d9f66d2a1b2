// The reader of parse expressions: a tokenizer and a recursive-descent parser with the
// language's operator precedence, from the lowest: Xor, Or, And, Not, comparisons, &, + -,
// Mod, \, * /, prefix - +, ^. Operators of one level group from the left.
#include "instruments/script/ScriptParser.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "instruments/script/ScriptLimits.h"
#include "shell/VbText.h"

namespace brimtal::script {

namespace {

enum class TokenKind { Number, String, Name, Symbol, LineEnd, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;   // symbol or name as written
  ScriptValue value;  // number or string literal
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsOctalDigit(char c) {
  return c >= '0' && c <= '7';
}
bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}
int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view source) : s_(source) {}

  std::vector<Token> All() {
    if (s_.size() > kMaxSourceLength) RaiseScriptError(ScriptFault::CompileOutOfMemory);
    std::vector<Token> tokens;
    while (SkipBlanks()) tokens.push_back(Next());
    tokens.push_back(Token{});
    return tokens;
  }

 private:
  char At(std::size_t i) const { return i < s_.size() ? s_[i] : '\0'; }

  // Skips blanks, comments and line continuations; false at the end of the text.
  bool SkipBlanks() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == ' ' || c == '\t') {
        ++pos_;
      } else if (c == '\'') {
        while (pos_ < s_.size() && !IsLineEnd(s_[pos_])) ++pos_;
      } else if (c == '_' && IsContinuation()) {
        continue;
      } else {
        return true;
      }
    }
    return false;
  }

  // "_" at the end of a line joins the next line to this one.
  bool IsContinuation() {
    std::size_t p = pos_ + 1;
    while (At(p) == ' ' || At(p) == '\t') ++p;
    if (p < s_.size() && !IsLineEnd(s_[p])) return false;
    if (At(p) == '\r') ++p;
    if (At(p) == '\n') ++p;
    pos_ = p;
    return true;
  }

  Token Next() {
    const char c = s_[pos_];
    if (IsLineEnd(c)) {
      pos_ += (c == '\r' && At(pos_ + 1) == '\n') ? 2 : 1;
      return Token{TokenKind::LineEnd, {}, {}};
    }
    if (IsDigit(c) || (c == '.' && IsDigit(At(pos_ + 1)))) return Decimal();
    if (c == '&' && (At(pos_ + 1) == 'H' || At(pos_ + 1) == 'h') && IsHexDigit(At(pos_ + 2))) {
      return Radix(16, IsHexDigit, 8);
    }
    if (c == '&' && (At(pos_ + 1) == 'O' || At(pos_ + 1) == 'o') && IsOctalDigit(At(pos_ + 2))) {
      return Radix(8, IsOctalDigit, 11);
    }
    if (c == '"') return String();
    if (IsLetter(c)) return Name();
    return Symbol();
  }

  Token Decimal() {
    const std::size_t start = pos_;
    bool whole = true;
    while (IsDigit(At(pos_))) ++pos_;
    if (At(pos_) == '.') {
      whole = false;
      ++pos_;
      while (IsDigit(At(pos_))) ++pos_;
    }
    if (At(pos_) == 'E' || At(pos_) == 'e') {
      whole = false;
      ++pos_;
      if (At(pos_) == '+' || At(pos_) == '-') ++pos_;
      if (!IsDigit(At(pos_))) RaiseScriptError(ScriptFault::InvalidNumber);
      while (IsDigit(At(pos_))) ++pos_;
    }
    std::string text(s_.substr(start, pos_ - start));
    if (text.front() == '.') text.insert(0, "0");
    if (const auto point = text.find('.'); point != std::string::npos) {
      if (point + 1 == text.size() || !IsDigit(text[point + 1])) text.insert(point + 1, "0");
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
      RaiseScriptError(ScriptFault::InvalidNumber);
    }
    Token token{TokenKind::Number, {}, {}};
    token.value = whole ? NumberOfType(ScriptType::Integer, value) : ScriptValue::Double(value);
    return token;
  }

  // &H and &O literals: up to four hex digits (six octal) make an Integer, more a Long;
  // a trailing "&" asks for a Long. The bits are taken as they are, so &HFFFF is -1.
  Token Radix(int base, bool (*isDigit)(char), std::size_t maxDigits) {
    pos_ += 2;
    std::uint64_t value = 0;
    std::size_t significant = 0;
    while (isDigit(At(pos_))) {
      if (value != 0 || s_[pos_] != '0') ++significant;
      if (significant > maxDigits) RaiseScriptError(ScriptFault::InvalidNumber);
      value = value * static_cast<std::uint64_t>(base) +
              static_cast<std::uint64_t>(DigitValue(s_[pos_]));
      ++pos_;
    }
    if (value > 0xFFFFFFFFu) RaiseScriptError(ScriptFault::InvalidNumber);
    bool asLong = value > 0xFFFFu;
    if (At(pos_) == '&') {
      asLong = true;
      ++pos_;
    }
    Token token{TokenKind::Number, {}, {}};
    token.value = asLong ? ScriptValue::Long(static_cast<std::int32_t>(value))
                         : ScriptValue::Integer(static_cast<std::int16_t>(value));
    return token;
  }

  Token String() {
    std::string text;
    ++pos_;
    for (;;) {
      if (pos_ >= s_.size() || IsLineEnd(s_[pos_])) {
        RaiseScriptError(ScriptFault::UnterminatedString);
      }
      if (s_[pos_] == '"') {
        if (At(pos_ + 1) != '"') break;
        ++pos_;
      }
      text += s_[pos_++];
    }
    ++pos_;
    Token token{TokenKind::String, {}, {}};
    token.value = ScriptValue::String(std::move(text));
    return token;
  }

  Token Name() {
    const std::size_t start = pos_;
    while (IsLetter(At(pos_)) || IsDigit(At(pos_)) || At(pos_) == '_') ++pos_;
    if (pos_ - start > kMaxNameLength) RaiseScriptError(ScriptFault::IdentifierTooLong);
    return Token{TokenKind::Name, std::string(s_.substr(start, pos_ - start)), {}};
  }

  Token Symbol() {
    const std::string_view two = s_.substr(pos_, 2);
    for (const char* pair : {"<>", "<=", ">="}) {
      if (two == pair) {
        pos_ += 2;
        return Token{TokenKind::Symbol, pair, {}};
      }
    }
    const char c = s_[pos_];
    if (std::string_view("+-*/\\^&=<>(),.:").find(c) == std::string_view::npos) {
      RaiseScriptError(ScriptFault::InvalidCharacter);
    }
    ++pos_;
    return Token{TokenKind::Symbol, std::string(1, c), {}};
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

struct OperatorWord {
  std::string_view word;
  Operator op;
};

class Parser {
 public:
  explicit Parser(std::string_view source) : tokens_(Tokenizer(source).All()) {}

  std::unique_ptr<Node> WholeExpression() {
    if (AtEnd()) RaiseScriptError(ScriptFault::ExpectedExpression);
    auto node = Expression();
    if (!AtEnd()) RaiseScriptError(ScriptFault::ExpectedEndOfStatement);
    return node;
  }

  std::vector<Assignment> Statements() {
    std::vector<Assignment> statements;
    for (;;) {
      while (IsSeparator()) ++pos_;
      if (AtEnd()) return statements;
      statements.push_back(Statement());
      if (!AtEnd() && !IsSeparator()) RaiseScriptError(ScriptFault::ExpectedEndOfStatement);
    }
  }

 private:
  using Level = std::unique_ptr<Node> (Parser::*)();

  // Counts one level of nesting while it lives.
  class Nested {
   public:
    explicit Nested(Parser& parser) : parser_(parser) {
      if (++parser_.nesting_ > kMaxNesting) RaiseScriptError(ScriptFault::OutOfStackSpace);
    }
    ~Nested() { --parser_.nesting_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    Parser& parser_;
  };

  const Token& Peek() const { return tokens_[pos_]; }
  bool AtEnd() const { return Peek().kind == TokenKind::End; }
  bool IsSeparator() const { return Peek().kind == TokenKind::LineEnd || IsSymbol(":"); }
  bool IsSymbol(std::string_view symbol) const {
    return Peek().kind == TokenKind::Symbol && Peek().text == symbol;
  }
  bool IsWord(std::string_view word) const {
    return Peek().kind == TokenKind::Name && vbtext::EqualsNoCase(Peek().text, word);
  }
  bool IsOperator(std::string_view word) const {
    return IsLetter(word.front()) ? IsWord(word) : IsSymbol(word);
  }
  bool IsReservedWord() const {
    for (const char* word : {"And", "Or", "Xor", "Not", "Mod"}) {
      if (IsWord(word)) return true;
    }
    return false;
  }

  Assignment Statement() {
    if (Peek().kind != TokenKind::Name || IsReservedWord() || IsWord("True") || IsWord("False") ||
        IsWord("Empty")) {
      RaiseScriptError(ScriptFault::ExpectedStatement);
    }
    Assignment statement;
    statement.target = NameNode();
    if (IsSymbol(".")) statement.target = MemberNode(std::move(statement.target));
    if (!IsSymbol("=")) RaiseScriptError(ScriptFault::ExpectedEquals);
    ++pos_;
    if (AtEnd() || IsSeparator()) RaiseScriptError(ScriptFault::ExpectedExpression);
    statement.value = Expression();
    return statement;
  }

  std::unique_ptr<Node> Expression() { return Xor(); }

  std::unique_ptr<Node> LeftToRight(Level next, std::initializer_list<OperatorWord> operators) {
    auto left = (this->*next)();
    for (;;) {
      const auto match = std::find_if(operators.begin(), operators.end(),
                                      [this](const OperatorWord& o) { return IsOperator(o.word); });
      if (match == operators.end()) return left;
      ++pos_;
      left = Binary(match->op, std::move(left), (this->*next)());
    }
  }

  std::unique_ptr<Node> Xor() { return LeftToRight(&Parser::Or, {{"Xor", Operator::Xor}}); }
  std::unique_ptr<Node> Or() { return LeftToRight(&Parser::And, {{"Or", Operator::Or}}); }
  std::unique_ptr<Node> And() { return LeftToRight(&Parser::Not, {{"And", Operator::And}}); }

  std::unique_ptr<Node> Not() {
    if (!IsWord("Not")) return Comparison();
    const Nested nested(*this);
    ++pos_;
    return Unary(Operator::Not, Not());
  }

  std::unique_ptr<Node> Comparison() {
    return LeftToRight(&Parser::Concatenation, {{"=", Operator::Equal},
                                                {"<>", Operator::NotEqual},
                                                {"<=", Operator::LessOrEqual},
                                                {">=", Operator::GreaterOrEqual},
                                                {"<", Operator::Less},
                                                {">", Operator::Greater}});
  }
  std::unique_ptr<Node> Concatenation() {
    return LeftToRight(&Parser::Additive, {{"&", Operator::Concatenate}});
  }
  std::unique_ptr<Node> Additive() {
    return LeftToRight(&Parser::Modulo, {{"+", Operator::Add}, {"-", Operator::Subtract}});
  }
  std::unique_ptr<Node> Modulo() {
    return LeftToRight(&Parser::IntegerDivision, {{"Mod", Operator::Modulo}});
  }
  std::unique_ptr<Node> IntegerDivision() {
    return LeftToRight(&Parser::Multiplicative, {{"\\", Operator::IntegerDivide}});
  }
  std::unique_ptr<Node> Multiplicative() {
    return LeftToRight(&Parser::Prefixed, {{"*", Operator::Multiply}, {"/", Operator::Divide}});
  }

  // Prefix signs bind less tightly than "^": -2 ^ 2 is -4. "Not" in an operand's place
  // takes the rest at its own level: 1 + Not 0 is 1 + (Not 0).
  std::unique_ptr<Node> Prefixed() {
    if (IsWord("Not")) return Not();
    if (!IsSymbol("-") && !IsSymbol("+")) return Power();
    const Nested nested(*this);
    const Operator op = IsSymbol("-") ? Operator::Negate : Operator::Identity;
    ++pos_;
    return Unary(op, Prefixed());
  }

  std::unique_ptr<Node> Power() {
    auto left = Postfix();
    while (IsSymbol("^")) {
      ++pos_;
      left = Binary(Operator::Power, std::move(left), Exponent());
    }
    return left;
  }

  // The right side of "^" may carry its own sign: 2 ^ -1.
  std::unique_ptr<Node> Exponent() {
    if (!IsSymbol("-") && !IsSymbol("+")) return Postfix();
    const Nested nested(*this);
    const Operator op = IsSymbol("-") ? Operator::Negate : Operator::Identity;
    ++pos_;
    return Unary(op, Exponent());
  }

  std::unique_ptr<Node> Postfix() {
    auto node = Primary();
    for (;;) {
      const bool named = node->kind == Node::Kind::Name || node->kind == Node::Kind::Member ||
                         node->kind == Node::Kind::Call;
      if (named && IsSymbol("(")) {
        node = Arguments(std::move(node));
      } else if (named && IsSymbol(".")) {
        node = MemberNode(std::move(node));
      } else {
        return node;
      }
    }
  }

  std::unique_ptr<Node> Arguments(std::unique_ptr<Node> callee) {
    const Nested nested(*this);
    ++pos_;
    auto call = std::make_unique<Node>();
    call->kind = Node::Kind::Call;
    call->children.push_back(std::move(callee));
    if (!IsSymbol(")")) {
      call->children.push_back(Expression());
      while (IsSymbol(",")) {
        ++pos_;
        call->children.push_back(Expression());
      }
    }
    if (!IsSymbol(")")) RaiseScriptError(ScriptFault::ExpectedCloseParen);
    ++pos_;
    return Deepen(std::move(call));
  }

  std::unique_ptr<Node> MemberNode(std::unique_ptr<Node> object) {
    ++pos_;
    if (Peek().kind != TokenKind::Name) RaiseScriptError(ScriptFault::ExpectedIdentifier);
    auto member = std::make_unique<Node>();
    member->kind = Node::Kind::Member;
    member->name = Peek().text;
    member->children.push_back(std::move(object));
    ++pos_;
    return Deepen(std::move(member));
  }

  std::unique_ptr<Node> NameNode() {
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Name;
    node->name = Peek().text;
    ++pos_;
    return node;
  }

  std::unique_ptr<Node> Primary() {
    const Token& token = Peek();
    switch (token.kind) {
      case TokenKind::Number:
      case TokenKind::String: {
        auto node = std::make_unique<Node>();
        node->value = token.value;
        ++pos_;
        return node;
      }
      case TokenKind::Name: return NamedPrimary();
      case TokenKind::Symbol:
        if (IsSymbol("(")) return Parenthesized();
        RaiseScriptError(ScriptFault::SyntaxError);
      case TokenKind::LineEnd:
      case TokenKind::End: break;
    }
    RaiseScriptError(ScriptFault::ExpectedExpression);
  }

  std::unique_ptr<Node> NamedPrimary() {
    if (IsReservedWord()) RaiseScriptError(ScriptFault::SyntaxError);
    if (!IsWord("True") && !IsWord("False") && !IsWord("Empty")) return NameNode();
    auto node = std::make_unique<Node>();
    if (!IsWord("Empty")) node->value = ScriptValue::Boolean(IsWord("True"));
    ++pos_;
    return node;
  }

  std::unique_ptr<Node> Parenthesized() {
    const Nested nested(*this);
    ++pos_;
    auto inner = Expression();
    if (!IsSymbol(")")) RaiseScriptError(ScriptFault::ExpectedCloseParen);
    ++pos_;
    return inner;
  }

  std::unique_ptr<Node> Unary(Operator op, std::unique_ptr<Node> operand) {
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Unary;
    node->op = op;
    node->children.push_back(std::move(operand));
    return Deepen(std::move(node));
  }

  std::unique_ptr<Node> Binary(Operator op, std::unique_ptr<Node> left,
                               std::unique_ptr<Node> right) {
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Binary;
    node->op = op;
    node->children.push_back(std::move(left));
    node->children.push_back(std::move(right));
    return Deepen(std::move(node));
  }

  // Sets the node's depth from its children; the evaluator recurses that deep.
  static std::unique_ptr<Node> Deepen(std::unique_ptr<Node> node) {
    int deepest = 0;
    for (const auto& child : node->children) deepest = std::max(deepest, child->depth);
    node->depth = deepest + 1;
    if (node->depth > kMaxTreeDepth) RaiseScriptError(ScriptFault::OutOfStackSpace);
    return node;
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int nesting_ = 0;
};

}  // namespace

std::unique_ptr<Node> ParseExpression(std::string_view source) {
  return Parser(source).WholeExpression();
}

std::vector<Assignment> ParseStatements(std::string_view source) {
  return Parser(source).Statements();
}

}  // namespace brimtal::script
