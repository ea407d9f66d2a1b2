// The frequency list builder, driven with key and mouse events: adding ranges of each kind,
// the refusals, adding from files, Save As, New, and the questions on the way out.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "equipment/frmBuildList.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

using test::DataFile;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const char* const kFilter = "Frequency List Files (*.lst)|*.lst|All Files|*.*";

template <typename T>
T* Control(QWidget& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromUtf8(name));
  if (control == nullptr) qFatal("no control %s", name);
  return control;
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// A builder shown on the screen, with a scripted host and a list folder of its own.
struct Builder {
  TempDir dir;
  ScriptedHost host;
  frmBuildList window{host, dir.Path().string()};

  Builder() {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not shown");
  }
  QLineEdit* Box(const char* name) { return Control<QLineEdit>(window, name); }
  QString ListText() { return Control<QPlainTextEdit>(window, "txtList")->toPlainText(); }

  void Select(const char* option) {
    auto* button = Control<QRadioButton>(window, option);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }
  void Type(const char* box, const QString& text) {
    QLineEdit* edit = Box(box);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  void Click(const char* button) {
    QTest::mouseClick(Control<QPushButton>(window, button), Qt::LeftButton);
  }
  // Fills the boxes the option shows and presses Add.
  void Add(const char* option, const QString& start, const QString& step, const QString& end) {
    Select(option);
    Type("txtRangeStart", start);
    Type("txtStepSize", step);
    if (Box("txtRangeEnd")->isVisible()) Type("txtRangeEnd", end);
    Click("cmdAdd");
  }
  // Chooses a command of the File menu with the keyboard: Alt+F, down to the command, Enter.
  enum FileCommand { AddFromFile = 0, SaveAs = 1, Exit = 2 };
  void FileMenu(FileCommand command) {
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    auto* menu = Control<QMenu>(window, "mnuFile");
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); })) qFatal("File menu not open");
    for (int i = 0; i < command; ++i) QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
  }
};

// Runs DoIt while script drives the window; a script that leaves the window open fails.
void RunDoIt(frmBuildList& window, double& lowest, double& highest, std::string& file,
             const std::function<void()>& script) {
  QTimer::singleShot(0, &window, script);
  QTimer::singleShot(5000, &window, [&window] {
    if (window.isVisible()) {
      QTest::qFail("the window stayed open", __FILE__, __LINE__);
      window.done(QDialog::Rejected);
    }
  });
  window.DoIt(lowest, highest, file);
}

}  // namespace

class frmBuildListTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnHarmonicsWithNoFile() {
    Builder b;
    QCOMPARE(b.window.windowTitle(), QString("Frequency List: (unsaved)"));
    QVERIFY(Control<QRadioButton>(b.window, "optHarmonics")->isChecked());
    QVERIFY(!b.Box("txtRangeEnd")->isVisible());
    QVERIFY(!Control<QLabel>(b.window, "lblRangeEnd")->isVisible());
    QCOMPARE(b.Box("txtStepSize")->text(), QString("10"));
    QVERIFY(!b.window.IsModified());
  }

  void stepUnitsSetTheLabels_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("startLabel");
    QTest::addColumn<QString>("stepLabel");
    QTest::addColumn<bool>("endShown");
    QTest::newRow("linear") << "optLinear"
                            << "Start, MHz"
                            << "Step, MHz" << true;
    QTest::newRow("log") << "optLog"
                         << "Start, MHz"
                         << "Step, %" << true;
    QTest::newRow("harmonics") << "optHarmonics"
                               << "Fundamental, MHz"
                               << "# of harmonics" << false;
  }
  void stepUnitsSetTheLabels() {
    QFETCH(QString, option);
    QFETCH(QString, startLabel);
    QFETCH(QString, stepLabel);
    QFETCH(bool, endShown);
    Builder b;
    b.Select("optLog");  // start elsewhere, so that every row is a change
    b.Select("optLinear");
    b.Select(option.toUtf8().constData());
    QCOMPARE(Control<QLabel>(b.window, "lblRangeStart")->text(), startLabel);
    QCOMPARE(Control<QLabel>(b.window, "lblStep")->text(), stepLabel);
    QCOMPARE(b.Box("txtRangeEnd")->isVisible(), endShown);
    QCOMPARE(Control<QLabel>(b.window, "lblRangeEnd")->isVisible(), endShown);
  }

  void addEachKind_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("list");
    QTest::newRow("linear") << "optLinear"
                            << "1"
                            << "5"
                            << "10"
                            << "1.0\n6.0\n10.0";
    QTest::newRow("log") << "optLog"
                         << "150"
                         << "5"
                         << "160"
                         << "150.0\n157.5\n160.0";
    QTest::newRow("harmonics") << "optHarmonics"
                               << "100"
                               << "3"
                               << ""
                               << "100.0\n200.0\n300.0";
    // Sums that land a hair off the end do not leave the end twice.
    QTest::newRow("low start") << "optLinear"
                               << "0.15"
                               << "0.05"
                               << "0.3"
                               << "0.15\n0.2\n0.25\n0.3";
    // The hidden end box is not read for harmonics.
    QTest::newRow("harmonics, end not read") << "optHarmonics"
                                             << "2.5"
                                             << "2"
                                             << "x"
                                             << "2.5\n5.0";
  }
  void addEachKind() {
    QFETCH(QString, option);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, end);
    QFETCH(QString, list);
    Builder b;
    b.Select("optLinear");
    b.Type("txtRangeEnd", end);  // harmonics hide the box and must not read it
    b.Select(option.toUtf8().constData());
    b.Type("txtRangeStart", start);
    b.Type("txtStepSize", step);
    b.Click("cmdAdd");
    QCOMPARE(b.ListText(), list);
    QVERIFY(b.host.Messages().empty());
    QCOMPARE(b.window.windowTitle(), QString("Frequency List: (unsaved)"));
    QVERIFY(b.window.IsModified());
    QVERIFY(b.Box("txtRangeStart")->text().isEmpty());
    QVERIFY(b.Box("txtRangeStart")->hasFocus());
  }

  void addingAgainKeepsEachFrequencyOnce() {
    Builder b;
    b.Add("optLinear", "1", "5", "10");
    b.Add("optLinear", "1", "5", "10");
    QCOMPARE(b.ListText(), QString("1.0\n6.0\n10.0"));
    // Three equal entries meet here (100 from each range and the list).
    b.Add("optHarmonics", "100", "3", "");
    b.Add("optLinear", "100", "100", "300");
    b.Add("optHarmonics", "50", "2", "");
    QCOMPARE(b.window.List(), (FreqList{1, 6, 10, 50, 100, 200, 300}));
    QVERIFY(b.host.Messages().empty());
  }

  void refusals_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("message");
    const QString notNumber = "Value not a number, re-enter";
    const QString outside = "Number outside valid range, re-enter";
    QTest::newRow("start not a number") << "optLinear"
                                        << "1 MHz"
                                        << "5"
                                        << "10"
                                        << "txtRangeStart" << notNumber;
    QTest::newRow("step not a number") << "optLog"
                                       << "1"
                                       << ""
                                       << "10"
                                       << "txtStepSize" << notNumber;
    QTest::newRow("end not a number") << "optLinear"
                                      << "1"
                                      << "5"
                                      << "ten"
                                      << "txtRangeEnd" << notNumber;
    QTest::newRow("start of 0") << "optLinear"
                                << "0"
                                << "5"
                                << "10"
                                << "txtRangeStart" << outside;
    QTest::newRow("negative fundamental") << "optHarmonics"
                                          << "-5"
                                          << "3"
                                          << ""
                                          << "txtRangeStart" << outside;
    QTest::newRow("log start of 0") << "optLog"
                                    << "0"
                                    << "5"
                                    << "10"
                                    << "txtRangeStart" << outside;
    QTest::newRow("linear step of 0") << "optLinear"
                                      << "1"
                                      << "0"
                                      << "10"
                                      << "txtStepSize" << outside;
    QTest::newRow("log step below 0") << "optLog"
                                      << "1"
                                      << "-1"
                                      << "10"
                                      << "txtStepSize" << outside;
    QTest::newRow("no harmonics") << "optHarmonics"
                                  << "100"
                                  << "0.4"
                                  << ""
                                  << "txtStepSize" << outside;
    QTest::newRow("half a harmonic rounds to 0") << "optHarmonics"
                                                 << "100"
                                                 << "0.5"
                                                 << ""
                                                 << "txtStepSize" << outside;
    QTest::newRow("end below start") << "optLinear"
                                     << "10"
                                     << "1"
                                     << "5"
                                     << "txtRangeEnd" << outside;
    QTest::newRow("too many harmonics") << "optHarmonics"
                                        << "1"
                                        << "32768"
                                        << ""
                                        << "txtStepSize" << outside;
    QTest::newRow("too many steps") << "optLinear"
                                    << "1"
                                    << "0.001"
                                    << "1000"
                                    << "txtStepSize" << outside;
    QTest::newRow("harmonics beyond any number") << "optHarmonics"
                                                 << "1E308"
                                                 << "10"
                                                 << ""
                                                 << "txtRangeStart" << outside;
  }
  void refusals() {
    QFETCH(QString, option);
    QFETCH(QString, start);
    QFETCH(QString, step);
    QFETCH(QString, end);
    QFETCH(QString, box);
    QFETCH(QString, message);
    Builder b;
    b.Add("optHarmonics", "7", "1", "");
    b.host.QueueAnswer(MsgAnswer::Cancel);
    b.Add(option.toUtf8().constData(), start, step, end);
    QCOMPARE(b.host.MessageTexts(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(b.host.Messages()[0].buttons, MsgButtons::RetryCancel);
    QLineEdit* offending = b.Box(box.toUtf8().constData());
    QVERIFY(offending->hasFocus());
    QCOMPARE(offending->selectedText(), offending->text());
    QCOMPARE(b.window.List(), FreqList{7});
  }

  void listsStayWithinTheirBound() {
    Builder b;
    b.Add("optHarmonics", "1", "32767", "");
    QCOMPARE(b.window.List().size(), std::size_t{32767});
    b.host.QueueAnswer(MsgAnswer::Cancel);
    b.Add("optHarmonics", "100000", "1", "");
    QCOMPARE(b.host.MessageTexts(),
             std::vector<std::string>{"Number outside valid range, re-enter"});
    QVERIFY(b.Box("txtStepSize")->hasFocus());
    QCOMPARE(b.window.List().size(), std::size_t{32767});
  }

  void addFromFileIntoAnEmptyListTakesTheFile() {
    Builder b;
    const std::string path = DataFile("lists/repeats.lst");
    b.host.QueueFile(path);
    b.FileMenu(Builder::AddFromFile);
    QCOMPARE(b.window.List(), (FreqList{10, 20, 30}));
    QCOMPARE(b.ListText(), QString("10.0\n20.0\n30.0"));
    QCOMPARE(b.window.windowTitle(), Text("Frequency List: " + path));
    QCOMPARE(b.window.GetFilename(), path);
    QVERIFY(!b.window.IsModified());
    const auto& request = b.host.FileRequests().at(0);
    QVERIFY(!request.save);
    QCOMPARE(request.title, std::string("Select frequency list file"));
    QCOMPARE(request.filter, std::string(kFilter));
    QCOMPARE(request.startDir, b.dir.Path().string());

    // Merging a second file leaves the list without a file.
    b.host.QueueFile(DataFile("lists/gap.lst"));
    b.FileMenu(Builder::AddFromFile);
    QCOMPARE(b.window.List(), (FreqList{10, 20, 30, 80, 150}));
    QCOMPARE(b.window.windowTitle(), QString("Frequency List: (unsaved)"));
    QVERIFY(b.window.GetFilename().empty());
    QVERIFY(b.window.IsModified());
    QVERIFY(b.host.Messages().empty());
  }

  void addFromFileThatFailsChangesNothing_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("cancelled") << ""
                               << "";
    QTest::newRow("bad data") << "lists/letter.lst"
                              << "Bad data in frequency list file";
    QTest::newRow("frequency of 0")
        << "lists/zero.lst"
        << "The frequency list file %1 holds frequencies of 0 MHz or less.";
  }
  void addFromFileThatFailsChangesNothing() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    Builder b;
    const std::string first = DataFile("lists/gap.lst");
    b.host.QueueFile(first);
    b.FileMenu(Builder::AddFromFile);
    const std::string path = file.isEmpty() ? std::string() : DataFile(file.toStdString());
    b.host.QueueFile(path);
    b.FileMenu(Builder::AddFromFile);
    QCOMPARE(b.window.List(), (FreqList{80, 150}));
    QCOMPARE(b.window.GetFilename(), first);
    QCOMPARE(b.window.windowTitle(), Text("Frequency List: " + first));
    QVERIFY(!b.window.IsModified());
    const auto expected = message.isEmpty()
                              ? std::vector<std::string>{}
                              : std::vector<std::string>{message.arg(Text(path)).toStdString()};
    QCOMPARE(b.host.MessageTexts(), expected);
  }

  void saveAsWritesTheListAndTakesItsName() {
    Builder b;
    b.Add("optHarmonics", "0.15", "3", "");
    const std::string path = b.dir.File("three.lst");
    b.host.QueueFile(path);
    b.FileMenu(Builder::SaveAs);
    QCOMPARE(ReadFileBytes(path), std::string("0.15\r\n0.3\r\n0.45\r\n"));
    QCOMPARE(b.window.windowTitle(), Text("Frequency List: " + path));
    QVERIFY(!b.window.IsModified());
    const auto& request = b.host.FileRequests().at(0);
    QVERIFY(request.save);
    QCOMPARE(request.title, std::string("Frequency List Filename"));
    QCOMPARE(request.filter, std::string(kFilter));
    QCOMPARE(request.startDir, b.dir.Path().string());
    // What was written reads back as the list shows it.
    FreqList reread;
    QCOMPARE(FileTolist(b.host, path, reread), 3);
    QCOMPARE(FreqListText(reread), FreqListText(b.window.List()));
  }

  void saveAsWithAnEmptyListSavesNothing() {
    Builder b;
    b.FileMenu(Builder::SaveAs);
    QCOMPARE(b.host.MessageTexts(), std::vector<std::string>{"Nothing to save!"});
    QVERIFY(b.host.FileRequests().empty());
  }

  void aFailedSaveKeepsThePreviousFile() {
    Builder b;
    b.Add("optHarmonics", "100", "2", "");
    const std::string path = b.dir.File("kept.lst");
    WriteFileBytes(path, "1.0\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    b.host.QueueFile(path);
    b.FileMenu(Builder::SaveAs);
    QCOMPARE(
        b.host.MessageTexts(),
        std::vector<std::string>{"Error # 70\rPermission denied\rfrmBuildList.SaveFile\r" + path});
    QCOMPARE(b.host.Messages()[0].title, std::string("Error"));
    QCOMPARE(b.host.Messages()[0].icon, MsgIcon::Critical);
    QCOMPARE(ReadFileBytes(path), std::string("1.0\r\n"));
    QCOMPARE(b.window.windowTitle(), QString("Frequency List: (unsaved)"));
    QVERIFY(b.window.IsModified());
  }

  void newStartsOver() {
    Builder b;
    b.host.QueueFile(DataFile("lists/gap.lst"));
    b.FileMenu(Builder::AddFromFile);
    b.Add("optHarmonics", "1", "2", "");
    b.Click("cmdClear");
    QVERIFY(b.window.List().empty());
    QVERIFY(b.ListText().isEmpty());
    QVERIFY(b.window.GetFilename().empty());
    QCOMPARE(b.window.windowTitle(), QString("Frequency List: (unsaved)"));
    QVERIFY(!b.window.IsModified());
  }

  void doItStartsFromTheCallersFileAndHandsNothingBack() {
    Builder b;
    b.window.hide();
    double lowest = 1;
    double highest = 2;
    std::string file = DataFile("lists/unsorted.lst");
    RunDoIt(b.window, lowest, highest, file, [&] {
      // The caller's file is shown as it is, neither sorted nor tidied.
      QCOMPARE(b.ListText(), QString("80.0\n150.0\n100.0\n300.0\n120.0"));
      QCOMPARE(b.window.windowTitle(), Text("Frequency List: " + file));
      b.Click("cmdExit");
    });
    QVERIFY(b.host.Messages().empty());
    QVERIFY(file.empty());
    QCOMPARE(lowest, 1.0);
    QCOMPARE(highest, 2.0);
  }

  // Once a range is added the list is no longer the caller's file: a list saved under a new
  // name is offered to the caller instead of being dropped on the way out.
  void aChangedCallersListSavedUnderANewNameIsOffered() {
    Builder b;
    b.window.hide();
    double lowest = 1;
    double highest = 2;
    std::string file = DataFile("lists/unsorted.lst");
    const std::string saved = b.dir.File("extended.lst");
    RunDoIt(b.window, lowest, highest, file, [&] {
      b.Add("optHarmonics", "400", "2", "");
      b.host.QueueFile(saved);
      b.FileMenu(Builder::SaveAs);
      QCOMPARE(b.window.windowTitle(), Text("Frequency List: " + saved));
      b.host.QueueAnswer(MsgAnswer::Yes);
      b.Click("cmdExit");
    });
    QCOMPARE(b.host.MessageTexts(),
             std::vector<std::string>{"Do you want to use file " + saved + "?"});
    QCOMPARE(ReadFileBytes(saved),
             std::string("80.0\r\n100.0\r\n120.0\r\n150.0\r\n300.0\r\n400.0\r\n800.0\r\n"));
    QCOMPARE(file, saved);
    QCOMPARE(lowest, 80.0);
    QCOMPARE(highest, 800.0);
  }

  void doItWithABadFileStartsEmpty() {
    Builder b;
    b.window.hide();
    double lowest = 1;
    double highest = 2;
    const std::string bad = DataFile("lists/letter.lst");
    std::string file = bad;
    RunDoIt(b.window, lowest, highest, file, [&] {
      QVERIFY(b.window.List().empty());
      QVERIFY(b.ListText().isEmpty());
      QCOMPARE(b.window.windowTitle(), QString("Frequency List: (unsaved)"));
      b.Click("cmdExit");
    });
    QCOMPARE(b.host.MessageTexts(), std::vector<std::string>{"Bad data in frequency list file"});
    QVERIFY(file.empty());
    QCOMPARE(lowest, 1.0);
  }

  void exitAsksToSaveThenWhetherToUseTheFile() {
    Builder b;
    b.window.hide();
    double lowest = 0;
    double highest = 0;
    std::string file;
    const std::string saved = b.dir.File("built.lst");
    RunDoIt(b.window, lowest, highest, file, [&] {
      b.Add("optLog", "150", "5", "160");
      // Cancel stays; Yes saves and stays.
      b.host.QueueAnswer(MsgAnswer::Cancel);
      b.Click("cmdExit");
      QVERIFY(b.window.isVisible());
      b.host.QueueAnswer(MsgAnswer::Yes);
      b.host.QueueFile(saved);
      b.Click("cmdExit");
      QVERIFY(b.window.isVisible());
      QCOMPARE(ReadFileBytes(saved), std::string("150.0\r\n157.5\r\n160.0\r\n"));
      // Saved: whether to use it; Cancel stays, Yes closes.
      b.host.QueueAnswer(MsgAnswer::Cancel);
      b.Click("cmdExit");
      QVERIFY(b.window.isVisible());
      b.host.QueueAnswer(MsgAnswer::Yes);
      b.Click("cmdExit");
    });
    const std::string useIt = "Do you want to use file " + saved + "?";
    QCOMPARE(
        b.host.MessageTexts(),
        (std::vector<std::string>{"Save before exiting?", "Save before exiting?", useIt, useIt}));
    for (const auto& message : b.host.Messages()) {
      QCOMPARE(message.buttons, MsgButtons::YesNoCancel);
    }
    QCOMPARE(file, saved);
    QCOMPARE(lowest, 150.0);
    QCOMPARE(highest, 160.0);
  }

  void exitWithoutSavingOrUsingHandsNothingBack_data() {
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QString>("question");
    QTest::newRow("unsaved list, not saved") << false << "Save before exiting?";
    QTest::newRow("file, not used") << true << "Do you want to use file %1?";
  }
  void exitWithoutSavingOrUsingHandsNothingBack() {
    QFETCH(bool, fromFile);
    QFETCH(QString, question);
    Builder b;
    b.window.hide();
    double lowest = 5;
    double highest = 6;
    std::string file;
    const std::string path = DataFile("lists/gap.lst");
    RunDoIt(b.window, lowest, highest, file, [&] {
      if (fromFile) {
        b.host.QueueFile(path);
        b.FileMenu(Builder::AddFromFile);
      } else {
        b.Add("optHarmonics", "10", "2", "");
      }
      b.host.QueueAnswer(MsgAnswer::No);
      b.Click("cmdExit");
    });
    if (fromFile) question = question.arg(Text(path));
    QCOMPARE(b.host.MessageTexts(), std::vector<std::string>{question.toStdString()});
    QVERIFY(file.empty());
    QCOMPARE(lowest, 5.0);
    QCOMPARE(highest, 6.0);
  }

  void closeBoxAndEscapeAskNothing_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("close box") << false;
    QTest::newRow("escape") << true;
  }
  void closeBoxAndEscapeAskNothing() {
    QFETCH(bool, escape);
    Builder b;
    b.window.hide();
    double lowest = 0;
    double highest = 0;
    std::string file;
    const std::string path = DataFile("lists/gap.lst");
    RunDoIt(b.window, lowest, highest, file, [&] {
      b.host.QueueFile(path);
      b.FileMenu(Builder::AddFromFile);
      if (escape) {
        QTest::keyClick(&b.window, Qt::Key_Escape);
      } else {
        b.window.close();
      }
    });
    QVERIFY(b.host.Messages().empty());
    QCOMPARE(file, path);
    QCOMPARE(lowest, 80.0);
    QCOMPARE(highest, 150.0);
  }

  void closeBoxDropsAnUnsavedList() {
    Builder b;
    b.window.hide();
    double lowest = 3;
    double highest = 4;
    std::string file;
    RunDoIt(b.window, lowest, highest, file, [&] {
      b.Add("optHarmonics", "10", "2", "");
      b.window.close();
    });
    QVERIFY(b.host.Messages().empty());
    QVERIFY(file.empty());
    QCOMPARE(lowest, 3.0);
    QCOMPARE(highest, 4.0);
  }

  // Every caption fits its control; BRIMTAL_SCREENSHOT_DIR receives a picture of the window.
  void layoutShowsEveryTextWhole() {
    Builder b;
    b.Add("optLog", "0.15", "1", "80");
    b.Select("optLinear");
    b.Type("txtRangeStart", "150");
    for (const char* name : {"lblRangeStart", "lblStep", "lblRangeEnd"}) {
      auto* label = Control<QLabel>(b.window, name);
      QVERIFY2(label->width() >= label->sizeHint().width(), name);
    }
    for (const char* name : {"cmdAdd", "cmdClear", "cmdEdit", "cmdExit"}) {
      auto* button = Control<QPushButton>(b.window, name);
      QVERIFY2(button->width() >= button->sizeHint().width(), name);
    }
    for (const char* name : {"optLinear", "optLog", "optHarmonics"}) {
      auto* option = Control<QRadioButton>(b.window, name);
      QVERIFY2(option->width() >= option->sizeHint().width(), name);
    }
    auto* list = Control<QPlainTextEdit>(b.window, "txtList");
    const int widest = list->fontMetrics().horizontalAdvance("1000.000001");
    QVERIFY(list->viewport()->width() >= widest);
    const QByteArray folder = qgetenv("BRIMTAL_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
      QVERIFY(b.window.grab().save(QString::fromUtf8(folder) + "/frmBuildList.png"));
    }
  }
};

}  // namespace brimtal

QTEST_MAIN(brimtal::frmBuildListTest)
#include "frmBuildListTest.moc"
