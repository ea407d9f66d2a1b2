// Reply parsing as the drivers and the test window use it: the program's engine with its
// MathLib object, the engine's version text, and ParseReply.
#pragma once

#include <string>

#include "instruments/script/ScriptEngine.h"

namespace brimtal {

class Host;

// The name under which the reply object is registered, its members global.
inline constexpr const char* kMathLibName = "MathLib";

// A new engine with MathLib registered, checked once by evaluating its version.
ScriptEngine CreateScriptEngine();

// "5.8": the engine's major version, ".", its minor version, as expressions see them.
std::string ScriptEngineVersionText(ScriptEngine& engine);

// Sets MathLib.RetString to the reply, runs "x= RetString" and returns the expression's value
// as text. A failure shows the "Scripting error" box, clears the engine's error and returns
// empty text; the next call works as usual.
std::string ParseReply(Host& host, ScriptEngine& engine, const std::string& reply,
                       const std::string& expression);

}  // namespace brimtal
