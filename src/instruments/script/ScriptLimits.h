// The bounds that keep any expression from hanging the program or exhausting its memory:
// text length, source length, nesting, the work of one evaluation and the variables kept.
#pragma once

#include <cstddef>

#include "instruments/script/ScriptValue.h"

namespace brimtal::script {

// Longest text an expression may make or keep (out of string space beyond).
inline constexpr std::size_t kMaxTextLength = 65536;
// Longest expression or statement accepted.
inline constexpr std::size_t kMaxSourceLength = 8192;
// Longest name, as the language allows.
inline constexpr std::size_t kMaxNameLength = 255;
// Nested parentheses, calls and prefix operators while reading.
inline constexpr int kMaxNesting = 64;
// Depth of an expression's tree, long operator chains included.
inline constexpr int kMaxTreeDepth = 512;
// Work units one evaluation may spend: a unit per operation, per character made or searched
// and several per array element.
inline constexpr std::size_t kMaxWork = std::size_t{1} << 24;
inline constexpr std::size_t kWorkPerElement = 16;
// Variables an engine keeps between evaluations.
inline constexpr std::size_t kMaxVariables = 64;

// The work counter of one evaluation.
class WorkBudget {
 public:
  void Charge(std::size_t units) {
    if (units > kMaxWork - used_) RaiseScriptError(ScriptFault::OutOfMemory);
    used_ += units;
  }
  // A text of the given length may be made.
  static void CheckLength(std::size_t length) {
    if (length > kMaxTextLength) RaiseScriptError(ScriptFault::OutOfStringSpace);
  }
  // Before making a text of the given length.
  void Text(std::size_t length) {
    CheckLength(length);
    Charge(length);
  }
  // Before making an array of the given number of elements.
  void Elements(std::size_t count) {
    if (count > kMaxTextLength) RaiseScriptError(ScriptFault::OutOfMemory);
    Charge(count * kWorkPerElement);
  }

 private:
  std::size_t used_ = 0;
};

}  // namespace brimtal::script
