// The parse test window, driven with keys and clicks.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "instruments/script/ParseReply.h"
#include "instruments/script/frmParseTest.h"
#include "shell/ScriptedHost.h"

namespace brimtal {

class frmParseTestTest : public QObject {
  Q_OBJECT

 private:
  template <typename T>
  static T* Control(QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) qFatal("no control %s", name);
    return control;
  }

  static void ReplaceText(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
  }

 private slots:
  void CaptionLabelsAndTheXDefault() {
    ScriptedHost host;
    ScriptEngine engine = CreateScriptEngine();
    frmParseTest window(engine, host);
    QCOMPARE(window.windowTitle(), QStringLiteral("Parse Test"));
    QCOMPARE(Control<QLabel>(window, "lblRetString")->text(), QStringLiteral("Returned String"));
    QCOMPARE(Control<QLabel>(window, "lblEvalExpression")->text(),
             QStringLiteral("Parsing Expression"));
    QCOMPARE(Control<QLabel>(window, "lblResult")->text(), QStringLiteral("Result"));
    QCOMPARE(Control<QPushButton>(window, "cmdTest")->text(), QStringLiteral("Test"));
    auto* expression = Control<QLineEdit>(window, "txtEvalExpression");
    QCOMPARE(expression->text(), QStringLiteral("X"));
    window.SetParseExpression("CDbl(x)");
    QCOMPARE(expression->text(), QStringLiteral("CDbl(x)"));
    window.SetParseExpression("");
    QCOMPARE(expression->text(), QStringLiteral("X"));
  }

  void TestParsesTheReplyInTheBoxes() {
    ScriptedHost host;
    ScriptEngine engine = CreateScriptEngine();
    frmParseTest window(engine, host);
    window.SetReturnString("  -12.34 dBm");
    window.show();
    auto* result = Control<QLineEdit>(window, "txtResult");
    QTest::mouseClick(Control<QPushButton>(window, "cmdTest"), Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("  -12.34 dBm"));

    // The user edits the expression and presses Enter: Test is the default button.
    ReplaceText(Control<QLineEdit>(window, "txtEvalExpression"),
                QStringLiteral("Split(Trim(x), \" \")(0)"));
    QTest::keyClick(Control<QLineEdit>(window, "txtEvalExpression"), Qt::Key_Return);
    QCOMPARE(result->text(), QStringLiteral("-12.34"));

    // A new reply typed into its box is what the next test uses.
    ReplaceText(Control<QLineEdit>(window, "txtRetString"), QStringLiteral("  7.5 dBm"));
    QTest::mouseClick(Control<QPushButton>(window, "cmdTest"), Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("7.5"));
    QVERIFY(host.Messages().empty());
  }

  void AFailingExpressionShowsTheBoxAndClearsTheResult() {
    ScriptedHost host;
    ScriptEngine engine = CreateScriptEngine();
    frmParseTest window(engine, host);
    window.SetReturnString("MKA -23.45 dBm");
    window.SetParseExpression("Mid(x, 5, 6)");
    window.show();
    auto* test = Control<QPushButton>(window, "cmdTest");
    auto* result = Control<QLineEdit>(window, "txtResult");
    QTest::mouseClick(test, Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("-23.45"));

    ReplaceText(Control<QLineEdit>(window, "txtEvalExpression"), QStringLiteral("Mid(x, 5"));
    QTest::mouseClick(test, Qt::LeftButton);
    QCOMPARE(result->text(), QString());
    QCOMPARE(host.MessageTexts(),
             std::vector<std::string>{"Scripting error\r\nError number 1006\r\nExpected ')'"});

    QTest::keyClick(Control<QLineEdit>(window, "txtEvalExpression"), Qt::Key_ParenRight);
    QTest::mouseClick(test, Qt::LeftButton);
    QCOMPARE(result->text(), QStringLiteral("-23.45 dBm"));
    QCOMPARE(host.Messages().size(), std::size_t{1});
  }

  void AReplyKeepsItsLineEnd() {
    ScriptedHost host;
    ScriptEngine engine = CreateScriptEngine();
    frmParseTest window(engine, host);
    window.SetReturnString("-3.5\n");
    window.SetParseExpression("Len(x)");
    QTest::mouseClick(Control<QPushButton>(window, "cmdTest"), Qt::LeftButton);
    QCOMPARE(Control<QLineEdit>(window, "txtResult")->text(), QStringLiteral("5"));
  }
};

}  // namespace brimtal

QTEST_MAIN(brimtal::frmParseTestTest)
#include "frmParseTestTest.moc"
