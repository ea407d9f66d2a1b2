// The command reader of the simulated instruments.
#include "sim/Scpi.h"

#include <cctype>

#include "shell/VbText.h"

namespace brimtal::sim {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void AddNode(ScpiCommand& command, std::string node) {
  int suffix = 0;
  std::size_t end = node.size();
  while (end > 0 && IsDigit(node[end - 1])) --end;
  // "*IDN" and plain numbers have no suffix to split off.
  if (end > 0 && end < node.size() && node[0] != '*') {
    suffix = static_cast<int>(vbtext::Val(node.substr(end)));
    node.resize(end);
  }
  command.nodes.push_back(vbtext::ToUpper(node));
  command.suffixes.push_back(suffix);
}

std::vector<std::string> SplitParams(std::string_view text) {
  std::vector<std::string> params;
  std::string current;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      params.push_back(vbtext::Trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!vbtext::Trim(current).empty() || !params.empty()) params.push_back(vbtext::Trim(current));
  return params;
}

std::optional<ScpiCommand> ParseCommand(std::string_view text) {
  const std::string trimmed = vbtext::Trim(text);
  if (trimmed.empty()) return std::nullopt;
  ScpiCommand command;
  command.text = trimmed;
  std::size_t headerEnd = 0;
  while (headerEnd < trimmed.size() && trimmed[headerEnd] != ' ' && trimmed[headerEnd] != '\t') {
    ++headerEnd;
  }
  std::string header = trimmed.substr(0, headerEnd);
  if (!header.empty() && header.back() == '?') {
    command.query = true;
    header.pop_back();
  }
  std::size_t start = header.empty() || header[0] != ':' ? 0 : 1;
  while (start <= header.size()) {
    const std::size_t colon = header.find(':', start);
    const std::size_t stop = colon == std::string::npos ? header.size() : colon;
    AddNode(command, header.substr(start, stop - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  command.params = SplitParams(std::string_view(trimmed).substr(headerEnd));
  return command;
}

struct PatternNode {
  std::string shortForm;
  std::string longForm;
  bool optional = false;
};

std::vector<PatternNode> ParsePattern(std::string_view pattern) {
  std::vector<PatternNode> nodes;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] == ':') {
      ++i;
      continue;
    }
    PatternNode node;
    std::string mnemonic;
    if (pattern[i] == '[') {
      node.optional = true;
      ++i;
      while (i < pattern.size() && pattern[i] != ']') {
        if (pattern[i] != ':') mnemonic += pattern[i];
        ++i;
      }
      ++i;
    } else {
      while (i < pattern.size() && pattern[i] != ':' && pattern[i] != '[') mnemonic += pattern[i++];
    }
    for (char c : mnemonic) {
      if (std::isupper(static_cast<unsigned char>(c)) || c == '*' || IsDigit(c)) {
        node.shortForm += c;
      }
    }
    node.longForm = vbtext::ToUpper(mnemonic);
    nodes.push_back(node);
  }
  return nodes;
}

bool NodeMatches(const PatternNode& pattern, const std::string& node) {
  return node == pattern.shortForm || node == pattern.longForm;
}

bool MatchFrom(const std::vector<PatternNode>& pattern, std::size_t p,
               const std::vector<std::string>& nodes, std::size_t n) {
  if (p == pattern.size()) return n == nodes.size();
  if (n < nodes.size() && NodeMatches(pattern[p], nodes[n]) &&
      MatchFrom(pattern, p + 1, nodes, n + 1)) {
    return true;
  }
  return pattern[p].optional && MatchFrom(pattern, p + 1, nodes, n);
}

std::string ErrorText(int code) {
  switch (code) {
    case ErrorQueue::kUndefinedHeader: return "Undefined header";
    case ErrorQueue::kMissingParameter: return "Missing parameter";
    case ErrorQueue::kIllegalParameter: return "Illegal parameter value";
    case ErrorQueue::kDataOutOfRange: return "Data out of range";
    case ErrorQueue::kInvalidSuffix: return "Invalid suffix";
    default: return "Error";
  }
}

}  // namespace

std::vector<ScpiCommand> ParseScpiMessage(std::string_view message) {
  std::vector<ScpiCommand> commands;
  std::string current;
  bool quoted = false;
  auto flush = [&] {
    if (auto command = ParseCommand(current)) commands.push_back(std::move(*command));
    current.clear();
  };
  for (char c : message) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      flush();
    } else if (c != '\r' && c != '\n') {
      current += c;
    }
  }
  flush();
  return commands;
}

bool HeaderMatches(const ScpiCommand& command, std::string_view pattern) {
  return MatchFrom(ParsePattern(pattern), 0, command.nodes, 0);
}

int NodeSuffix(const ScpiCommand& command, std::string_view mnemonic) {
  const std::vector<PatternNode> pattern = ParsePattern(mnemonic);
  if (pattern.empty()) return 0;
  for (std::size_t i = 0; i < command.nodes.size(); ++i) {
    if (NodeMatches(pattern[0], command.nodes[i])) return command.suffixes[i];
  }
  return 0;
}

std::optional<Quantity> ParseQuantity(std::string_view text) {
  const std::string trimmed = vbtext::Trim(text);
  std::size_t i = 0;
  if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-')) ++i;
  bool digits = false;
  while (i < trimmed.size() && (IsDigit(trimmed[i]) || trimmed[i] == '.')) {
    digits = digits || IsDigit(trimmed[i]);
    ++i;
  }
  if (!digits) return std::nullopt;
  // An exponent only when digits follow it ("1E3"); otherwise the E starts the unit.
  if (i < trimmed.size() && (trimmed[i] == 'E' || trimmed[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < trimmed.size() && (trimmed[j] == '+' || trimmed[j] == '-')) ++j;
    if (j < trimmed.size() && IsDigit(trimmed[j])) {
      while (j < trimmed.size() && IsDigit(trimmed[j])) ++j;
      i = j;
    }
  }
  const auto value = vbtext::ToNumber(trimmed.substr(0, i));
  if (!value) return std::nullopt;
  const std::string unit = vbtext::ToUpper(vbtext::Trim(trimmed.substr(i)));
  for (char c : unit) {
    if (!std::isalpha(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return Quantity{*value, unit};
}

std::optional<bool> ParseBoolean(std::string_view text) {
  const std::string word = vbtext::ToUpper(vbtext::Trim(text));
  if (word == "ON" || word == "1") return true;
  if (word == "OFF" || word == "0") return false;
  return std::nullopt;
}

void ErrorQueue::Push(int code) {
  constexpr std::size_t kDepth = 10;
  if (errors_.size() < kDepth) errors_.push_back(code);
}

std::string ErrorQueue::Pop() {
  if (errors_.empty()) return "+0,\"No error\"";
  const int code = errors_.front();
  errors_.pop_front();
  return vbtext::GeneralText(static_cast<double>(code)) + ",\"" + ErrorText(code) + "\"";
}

}  // namespace brimtal::sim
