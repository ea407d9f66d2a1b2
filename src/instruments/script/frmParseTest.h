// The parse test window: a user tries a parse expression against an instrument's reply.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class frmParseTest;
}

namespace brimtal {

class Host;
class ScriptEngine;

class frmParseTest : public QDialog {
  Q_OBJECT

 public:
  frmParseTest(ScriptEngine& engine, Host& host, QWidget* parent = nullptr);
  ~frmParseTest() override;

  // The expression to start from; empty text shows "X", which returns the reply unchanged.
  void SetParseExpression(const std::string& expression);
  // The reply to try it on.
  void SetReturnString(const std::string& reply);

 private:
  void cmdTest_Click();

  std::unique_ptr<Ui::frmParseTest> ui_;
  ScriptEngine& engine_;
  Host& host_;
};

}  // namespace brimtal
