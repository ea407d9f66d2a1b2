// Reply parsing over the expression engine.
#include "instruments/script/ParseReply.h"

#include "shell/Host.h"

namespace brimtal {

ScriptEngine CreateScriptEngine() {
  ScriptEngine engine;
  engine.AddObject(kMathLibName, true);
  ScriptEngineVersionText(engine);
  return engine;
}

std::string ScriptEngineVersionText(ScriptEngine& engine) {
  return ToText(engine.Eval("scriptenginemajorversion")) + "." +
         ToText(engine.Eval("scriptengineminorversion"));
}

std::string ParseReply(Host& host, ScriptEngine& engine, const std::string& reply,
                       const std::string& expression) {
  try {
    clsBmLib* mathLib = engine.FindObject(kMathLibName);
    if (mathLib == nullptr) RaiseScriptError(ScriptFault::ObjectRequired, kMathLibName);
    mathLib->RetString = reply;
    engine.ExecuteStatement("x= RetString");
    return ToText(engine.Eval(expression));
  } catch (const ScriptError& error) {
    host.MsgBox("Scripting error\r\nError number " + std::to_string(error.Number()) + "\r\n" +
                    error.Description(),
                MsgButtons::OK, MsgIcon::None, {});
    engine.ClearError();
    return {};
  }
}

}  // namespace brimtal
