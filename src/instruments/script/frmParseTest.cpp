// The parse test window.
#include "instruments/script/frmParseTest.h"

#include <QFontDatabase>

#include "instruments/script/ParseReply.h"
#include "shell/QtHost.h"
#include "ui_frmParseTest.h"

namespace brimtal {

frmParseTest::frmParseTest(ScriptEngine& engine, Host& host, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmParseTest>()), engine_(engine), host_(host) {
  ui_->setupUi(this);
  // Replies are read character by character: a fixed-pitch font shows every blank.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (QLineEdit* box : {ui_->txtRetString, ui_->txtEvalExpression, ui_->txtResult}) {
    box->setFont(fixed);
  }
  SetParseExpression({});
  connect(ui_->cmdTest, &QPushButton::clicked, this, &frmParseTest::cmdTest_Click);
}

frmParseTest::~frmParseTest() = default;

void frmParseTest::SetParseExpression(const std::string& expression) {
  ui_->txtEvalExpression->setText(QString::fromStdString(expression.empty() ? "X" : expression));
}

void frmParseTest::SetReturnString(const std::string& reply) {
  ui_->txtRetString->setText(QString::fromStdString(reply));
}

void frmParseTest::cmdTest_Click() {
  const std::string result = ParseReply(host_, engine_, FromQt(ui_->txtRetString->text()),
                                        FromQt(ui_->txtEvalExpression->text()));
  ui_->txtResult->setText(QString::fromStdString(result));
}

}  // namespace brimtal
