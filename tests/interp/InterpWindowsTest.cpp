// The interp windows driven with key and mouse events: files, interpolation, decimal places,
// the table window, printing to PDF, About and help.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "interp/InterpSession.h"
#include "interp/frmTable.h"
#include "interp/frmTest.h"
#include "shell/QtPrinter.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {

namespace {

template <typename T>
T* Child(QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("control %s not found", name);
  return child;
}

const std::string kCoupler = test::DataFile("interp/coupler.fac");
const std::string kCable = test::DataFile("interp/cable.los");

struct Interp {
  Interp() : window(host) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
    freq = Child<QLineEdit>(&window, "Text1");
    result = Child<QLabel>(&window, "lblLevel");
  }
  QAction* Action(const char* name) { return Child<QAction>(&window, name); }
  void New(const std::string& path) {
    host.QueueFile(path);
    Action("mnuFileNew")->trigger();
  }
  // Types the frequency over the box's text and presses Enter.
  void Look(const QString& text) {
    freq->setFocus();
    freq->selectAll();
    QTest::keyClicks(freq, text);
    QTest::keyClick(freq, Qt::Key_Return);
  }
  // Clicks an option button on its round indicator.
  void Choose(const char* option) {
    auto* button = Child<QRadioButton>(&window, option);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    QVERIFY(button->isChecked());
  }
  void RightClickResult() { QTest::mouseClick(result, Qt::RightButton, {}, QPoint(5, 5)); }

  ScriptedHost host{nullptr, "Interp"};
  frmTest window;
  QLineEdit* freq;
  QLabel* result;
};

}  // namespace

class InterpWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithoutATable() {
    Interp in;
    QCOMPARE(in.window.windowTitle(), QString("Interp"));
    QCOMPARE(Child<QLabel>(&in.window, "Label1")->text(), QString("Interp Factor File Utility"));
    QVERIFY(!in.Action("mnuFileInclude")->isEnabled());
    QVERIFY(!in.Action("mnuFileSaveAs")->isEnabled());
    QVERIFY(!in.Action("mnuFilePrint")->isEnabled());
    QVERIFY(in.Action("mnuFileNew")->isEnabled());
    QVERIFY(Child<QRadioButton>(&in.window, "optLog")->isChecked());
    QVERIFY(Child<QRadioButton>(&in.window, "optEmission")->isChecked());
    QCOMPARE(in.result->toolTip(), QString("(right click to set decimal places)"));
    QCOMPARE(in.freq->toolTip(), QString("Frequency to interpolate"));
    QVERIFY(!(in.window.windowFlags() & Qt::WindowMaximizeButtonHint));
    // Interpolate without a table: the class's message, then N/A.
    in.Look("10");
    QCOMPARE(in.result->text(), QString("N/A"));
    QCOMPARE(in.host.MessageTexts(),
             std::vector<std::string>{"No calibration points in interp file"});
  }

  void newInterpolateAndTheDecimalPlaces() {
    Interp in;
    in.New(kCoupler);
    QCOMPARE(in.window.windowTitle(), QString("coupler.fac"));
    QCOMPARE(Child<QLabel>(&in.window, "lblStart")->text(), QString("0.15"));
    QCOMPARE(Child<QLabel>(&in.window, "lblEnd")->text(), QString("80"));
    QVERIFY(in.Action("mnuFileInclude")->isEnabled());
    QVERIFY(in.Action("mnuFileSaveAs")->isEnabled());
    QVERIFY(in.Action("mnuFilePrint")->isEnabled());

    in.Look("30");
    QCOMPARE(in.result->text(), QString("0.5"));
    QCOMPARE(QApplication::focusWidget(), in.freq);
    QCOMPARE(in.freq->selectedText(), QString("30"));
    in.Choose("optImmunity");
    QTest::mouseClick(Child<QPushButton>(&in.window, "Command1"), Qt::LeftButton);
    QCOMPARE(in.result->text(), QString("2."));
    in.Look("80.0001");
    QCOMPARE(in.result->text(), QString("N/A"));
    in.Look("0.15");
    QCOMPARE(in.result->text(), QString("-3.2"));
    // Typing clears the result.
    QTest::keyClick(in.freq, Qt::Key_End);
    QTest::keyClick(in.freq, '1');
    QCOMPARE(in.result->text(), QString());

    // Decimal places with an empty result: asked, nothing computed.
    in.host.QueueInput("abc");
    in.host.QueueInput("3");
    in.RightClickResult();
    QCOMPARE(in.result->text(), QString());
    QCOMPARE(in.host.InputRequests().size(), size_t(2));
    // With a result shown, the new places apply at once.
    in.Choose("optLinear");
    in.Look("5.5");
    QCOMPARE(in.result->text(), QString("-0.625"));
    in.host.QueueInput("0");
    in.RightClickResult();
    QCOMPARE(in.result->text(), QString("-1."));
    QVERIFY(in.host.Messages().empty());
  }

  void refusedFrequencies() {
    Interp in;
    in.New(kCoupler);
    in.Look("");
    in.Look("1 0");
    QCOMPARE(in.host.MessageTexts(),
             (std::vector<std::string>{"Try entering a frequency", "Try entering a number"}));
    QCOMPARE(in.result->text(), QString());
  }

  void includeAndTheTableWindow() {
    Interp in;
    auto* display = Child<QPushButton>(&in.window, "cmdDisplayTable");
    // No table: an empty list.
    QTest::mouseClick(display, Qt::LeftButton);
    QVERIFY(in.window.TableWindow() != nullptr);
    QCOMPARE(in.window.TableWindow()->windowTitle(), QString(" 0 entries in table"));
    QCOMPARE(Child<QPlainTextEdit>(in.window.TableWindow(), "txtTable")->toPlainText(), QString());

    in.New(kCoupler);
    QVERIFY(in.window.TableWindow() == nullptr);  // New closed it
    QTest::mouseClick(display, Qt::LeftButton);
    frmTable* table = in.window.TableWindow();
    QVERIFY(table->isVisible());
    QCOMPARE(table->windowTitle(), QString(" 6 entries in table"));
    const QString listing = Child<QPlainTextEdit>(table, "txtTable")->toPlainText();
    QCOMPARE(listing.split('\n').first(), QString(" 0.15,   -3.2"));
    QCOMPARE(listing.count('\n'), 6);

    // Save As leaves the open list alone.
    test::TempDir dir;
    const std::string saved = dir.File("saved.fac");
    in.host.QueueFile(saved);
    in.Action("mnuFileSaveAs")->trigger();
    QCOMPARE(in.window.windowTitle(), QString::fromStdString(saved));
    QCOMPARE(in.window.TableWindow(), table);
    QCOMPARE(table->windowTitle(), QString(" 6 entries in table"));
    QVERIFY(!test::ReadFileBytes(saved).empty());

    // Include closes it; the caption grows and the range narrows.
    in.New(kCoupler);
    in.host.QueueFile(kCable);
    QTest::mouseClick(display, Qt::LeftButton);
    in.Action("mnuFileInclude")->trigger();
    QVERIFY(in.window.TableWindow() == nullptr);
    QCOMPARE(in.window.windowTitle(), QString("coupler.fac-cable.los"));
    QCOMPARE(Child<QLabel>(&in.window, "lblStart")->text(), QString("1"));
    QCOMPARE(Child<QLabel>(&in.window, "lblEnd")->text(), QString("50"));
    QTest::mouseClick(display, Qt::LeftButton);
    QCOMPARE(in.window.TableWindow()->windowTitle(), QString(" 5 entries in table"));
  }

  void failedNewDisablesTheItems() {
    Interp in;
    in.New(kCoupler);
    test::TempDir dir;
    const std::string bad = dir.File("bad.fac");
    test::WriteFileBytes(bad, "1, 2\r\n");
    in.New(bad);
    QVERIFY(!in.Action("mnuFileInclude")->isEnabled());
    QVERIFY(!in.Action("mnuFilePrint")->isEnabled());
    QCOMPARE(in.window.windowTitle(), QString("coupler.fac"));
    QCOMPARE(Child<QLabel>(&in.window, "lblEnd")->text(), QString("80"));
  }

  void printsToAPdfFile() {
    Interp in;
    in.New(kCoupler);
    test::TempDir dir;
    const std::string pdf = dir.File("table.pdf");
    in.host.QueuePrinter(QtPrinter::ToPdf(pdf));
    in.Action("mnuFilePrint")->trigger();
    QVERIFY(in.host.Messages().empty());
    const std::string bytes = test::ReadFileBytes(pdf);
    QVERIFY(bytes.size() > 500);
    QCOMPARE(bytes.substr(0, 5), std::string("%PDF-"));
  }

  void printingToAnUnwritablePdfShowsTheClassBox() {
    Interp in;
    in.New(kCoupler);
    in.host.QueuePrinter(QtPrinter::ToPdf("/nonexistent/folder/table.pdf"));
    in.Action("mnuFilePrint")->trigger();
    QCOMPARE(in.host.MessageTexts(),
             std::vector<std::string>{"Error # 482\rPrinter error\rInterpClass.PrintTable"});
  }

  void aboutBox() {
    Interp in;
    bool checked = false;
    QTimer::singleShot(0, [&] {
      QWidget* about = QApplication::activeModalWidget();
      QVERIFY(about != nullptr);
      QCOMPARE(about->windowTitle(), QString("About Interp"));
      QCOMPARE(Child<QLabel>(about, "lblTitle")->text(), QString("Interp"));
      QVERIFY(!Child<QLabel>(about, "lblScriptVersion")->isVisible());
      checked = true;
      QTest::keyClick(about, Qt::Key_Escape);
    });
    in.Action("mnuHelpAbout")->trigger();
    QVERIFY(checked);
  }

  void contentsOpensTheInterpManual() {
    Interp in;
    in.Action("mnuHelpContents")->trigger();
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible() && w->windowTitle() == "Interp Help") help = w;
    }
    QVERIFY(help != nullptr);
    help->close();
  }

  void exitClosesBothWindows() {
    Interp in;
    in.New(kCoupler);
    QTest::mouseClick(Child<QPushButton>(&in.window, "cmdDisplayTable"), Qt::LeftButton);
    QVERIFY(in.window.TableWindow()->isVisible());
    in.Action("mnuFileExit")->trigger();
    QVERIFY(!in.window.isVisible());
    QVERIFY(in.window.TableWindow() == nullptr);
  }
};

}  // namespace brimtal

QTEST_MAIN(brimtal::InterpWindowsTest)
#include "InterpWindowsTest.moc"
