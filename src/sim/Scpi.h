// Reading the command texts the simulated instruments receive: program messages split into
// commands, headers matched against patterns with long and short forms ("[SOURce]:FREQuency"),
// numbers with units, and the instrument error queue.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimtal::sim {

struct ScpiCommand {
  std::vector<std::string> nodes;  // upper case, numeric suffix removed ("INIT1" -> "INIT")
  std::vector<int> suffixes;       // the numeric suffix of each node, 0 when none
  bool query = false;
  std::vector<std::string> params;  // without surrounding blanks
  std::string text;                 // the command as received
};

// Splits one message (terminators and surrounding blanks removed) into its commands at the
// semicolons outside quotes; each command is taken from the root.
std::vector<ScpiCommand> ParseScpiMessage(std::string_view message);

// Does the header match a pattern such as "[SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]"?
// Upper-case letters of a mnemonic are its short form; brackets mark optional nodes.
bool HeaderMatches(const ScpiCommand& command, std::string_view pattern);

// The numeric suffix of the node that matches the mnemonic (0 when absent or not present).
int NodeSuffix(const ScpiCommand& command, std::string_view mnemonic);

// A number followed by an optional unit ("80.0 MHZ", "-20DBM", "1e3"); the unit in upper case.
struct Quantity {
  double value = 0;
  std::string unit;
};
std::optional<Quantity> ParseQuantity(std::string_view text);
// ON, OFF, 1, 0.
std::optional<bool> ParseBoolean(std::string_view text);

// The instrument's error queue as SYSTem:ERRor? reports it.
class ErrorQueue {
 public:
  static constexpr int kUndefinedHeader = -113;
  static constexpr int kMissingParameter = -109;
  static constexpr int kIllegalParameter = -224;
  static constexpr int kDataOutOfRange = -222;
  static constexpr int kInvalidSuffix = -131;

  void Push(int code);
  // "+0,\"No error\"" when empty.
  std::string Pop();
  void Clear() { errors_.clear(); }
  bool Empty() const { return errors_.empty(); }

 private:
  std::deque<int> errors_;
};

}  // namespace brimtal::sim
