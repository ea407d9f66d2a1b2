// The power meter definition window, driven with keys and the mouse: what it shows, the checks
// that collect it in their order, the File menu, closing, and a Test-menu session on the
// simulated bench.
#include "instruments/frmPMeter.h"

#include "DefinitionWindowRig.h"
#include "TestPrinters.h"
#include "factors/Conversions.h"
#include "instruments/PM.h"
#include "shell/VbText.h"

namespace brimtal::test {
namespace {

struct PMeterWindow : BenchHost, WindowControls<PMeterWindow> {
  PM pm{gpib, host, delay, clock, engine};
  std::unique_ptr<frmPMeter> window;

  explicit PMeterWindow(const std::string& file = DataFile("meters/power-meter.pm")) {
    if (!file.empty() && !pm.LoadFile(file)) qFatal("cannot load %s", file.c_str());
    window = std::make_unique<frmPMeter>(host, pm, gpib, engine, dir.Path().string());
    Show(*window);
  }
  bool Checked(const char* option) { return Option(option)->isChecked(); }
};

const char* const kTestItems[] = {"mnuTestSetFreq", "mnuTestTrigger", "mnuTestRead",
                                  "mnuTestShutdown", "mnuTestParse"};

}  // namespace

class frmPMeterTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheDefinitionAndItsFile() {
    PMeterWindow w;
    const std::string path = DataFile("meters/power-meter.pm");
    QCOMPARE(w.window->windowTitle(),
             QString::fromStdString("Power Meter File: " + path + " (simulated bench)"));
    QCOMPARE(w.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + path));
    QCOMPARE(w.Box("txtName")->text(), QString("Bench PM 2"));
    QCOMPARE(w.Box("txtAddress")->text(), QString("13"));
    QCOMPARE(w.Box("txtInit")->text(), QString("*RST;:UNIT1:POW W"));
    QCOMPARE(w.Box("txtSelectCh2")->text(), QString("INST:NSEL 2"));
    QCOMPARE(w.Box("txtRead1")->text(), QString("FETC1?"));
    QCOMPARE(w.Box("txtTrigger2")->text(), QString("INIT2"));
    QCOMPARE(w.Box("txtBandSwitchFreq")->text(), QString("230"));
    QCOMPARE(w.Box("txtClose")->text(), QString("SYST:LOC"));
    QCOMPARE(w.Box("txtMaxFreq")->text(), QString("18000"));
    QCOMPARE(w.Box("txtMinFreq")->text(), QString("0.01"));
    QCOMPARE(w.Box("txtSetTime")->text(), QString("0.25"));
    QCOMPARE(w.Box("txtParseString")->text(), QString("Mid(x, 2, 8)"));
    QVERIFY(w.Checked("optUnitWatts"));
    QVERIFY(w.Checked("optTypePwrMeter"));
    QVERIFY(w.Checked("optEOScrlf"));
    QVERIFY(w.Item("mnuTestInit")->isEnabled());
    for (const char* item : kTestItems) QVERIFY2(!w.Item(item)->isEnabled(), item);
  }

  // Each row spoils one box; collecting (here for Save) stops there with its warning.
  void collectingRefusesABadBox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning");
    const QString notNumber = "Value not a number, re-enter";
    const QString outside = "Number outside valid range, re-enter";
    QTest::newRow("address not a number") << "txtAddress"
                                          << "x13" << notNumber;
    QTest::newRow("address above 30") << "txtAddress"
                                      << "31" << outside;
    QTest::newRow("address below 0") << "txtAddress"
                                     << "-1" << outside;
    QTest::newRow("address of many digits") << "txtAddress"
                                            << "99999999999999999999" << outside;
    QTest::newRow("address with a fraction") << "txtAddress"
                                             << "12.5" << outside;
    QTest::newRow("max freq not a number") << "txtMaxFreq"
                                           << "lots" << notNumber;
    QTest::newRow("max freq negative") << "txtMaxFreq"
                                       << "-1" << outside;
    QTest::newRow("min freq negative") << "txtMinFreq"
                                       << "-0.01" << outside;
    QTest::newRow("min freq above max") << "txtMinFreq"
                                        << "18000.5" << outside;
    QTest::newRow("settling time not a number") << "txtSetTime"
                                                << "0,25" << notNumber;
    QTest::newRow("band switch not a number") << "txtBandSwitchFreq"
                                              << "high" << notNumber;
  }
  void collectingRefusesABadBox() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, warning);
    PMeterWindow w;
    const std::string before = ReadFileBytes(w.pm.PmFileName());
    const PowerMeterDef definition = w.pm.PmGetDefinition();
    Type(w.Box("txtName"), "renamed");
    QLineEdit* offending = w.Box(box.toUtf8().constData());
    Type(offending, text);
    w.host.QueueAnswer(MsgAnswer::Cancel);
    w.File("mnuFileSave");
    QCOMPARE(w.host.Messages().size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(w.host.Messages()[0].text), warning);
    QCOMPARE(w.host.Messages()[0].buttons, MsgButtons::RetryCancel);
    QCOMPARE(QApplication::focusWidget(), offending);
    QCOMPARE(offending->selectedText(), text);
    // Nothing was taken and nothing saved.
    QVERIFY(w.pm.PmGetDefinition() == definition);
    QCOMPARE(ReadFileBytes(w.pm.PmFileName()), before);
  }

  void checksRunInOrderAndStopAtTheFirst() {
    PMeterWindow w;
    Type(w.Box("txtBandSwitchFreq"), "x");
    Type(w.Box("txtSetTime"), "x");
    Type(w.Box("txtMinFreq"), "x");
    Type(w.Box("txtMaxFreq"), "-5");
    w.host.QueueAnswer(MsgAnswer::Cancel);
    w.File("mnuFileSave");
    QCOMPARE(w.host.MessageTexts(),
             std::vector<std::string>{"Number outside valid range, re-enter"});
    QCOMPARE(QApplication::focusWidget(), w.Box("txtMaxFreq"));
  }

  void collectingTakesEveryControl() {
    PMeterWindow w;
    const std::pair<const char*, const char*> typed[] = {
        {"txtName", "Lab meter"},    {"txtAddress", "7"},
        {"txtInit", "*CLS"},         {"txtFreqSetPre", "SENS:FREQ"},
        {"txtFreqSetSuf", "MHz"},    {"txtSelectCh1", "A"},
        {"txtSelectCh2", ""},        {"txtRead1", "READ1?"},
        {"txtRead2", "READ2?"},      {"txtTrigger1", "TRG1"},
        {"txtTrigger2", "TRG2"},     {"txtBandSwitchFreq", "1e3"},
        {"txtClose", "GTL"},         {"txtMaxFreq", "4200"},
        {"txtMinFreq", "0.15"},      {"txtSetTime", "1.5"},
        {"txtParseString", "Val(x)"}};
    for (const auto& [box, text] : typed) Type(w.Box(box), text);
    Pick(Control<QRadioButton>(*w.window, "optUnitDbmv"));
    Pick(Control<QRadioButton>(*w.window, "optTypeSpecAn"));
    Pick(Control<QRadioButton>(*w.window, "optEOScr"));
    const std::string path = w.dir.File("lab.pm");
    w.host.QueueFile(path);
    w.File("mnuFileSaveAs");
    QCOMPARE(ReadFileBytes(path),
             std::string("Lab meter\r\n 7 \r\n*CLS\r\nSENS:FREQ\r\nMHz\r\nA\r\n\r\nREAD1?\r\n"
                         "READ2?\r\nTRG1\r\nTRG2\r\n 1000 \r\nGTL\r\n 5 \r\n 0 \r\n 4200 \r\n"
                         " .15 \r\n 1.5 \r\n 1 \r\nVal(x)\r\n"));
    const FileDialogRequest& dialog = w.host.FileRequests().at(0);
    QCOMPARE(dialog.title, std::string("Select Power Meter Filename"));
    QCOMPARE(dialog.filter, std::string("PMeters|*.pm|All Files|*.*"));
    QVERIFY(dialog.save);
    QCOMPARE(dialog.startDir, w.dir.Path().string());
    QCOMPARE(w.window->windowTitle(),
             QString::fromStdString("Power Meter File: " + path + " (simulated bench)"));
    QCOMPARE(w.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + path));
    QVERIFY(w.host.Messages().empty());
  }

  void saveWithoutAFileAsksForOneAndCancelSavesNothing() {
    PMeterWindow w("");
    w.host.QueueFile("");
    w.File("mnuFileSave");
    QCOMPARE(w.host.FileRequests().size(), std::size_t{1});
    QCOMPARE(w.host.FileRequests()[0].title, std::string("Select Power Meter Filename"));
    QVERIFY(w.pm.PmFileName().empty());
    QCOMPARE(w.window->windowTitle(), QString("Power Meter File:  (simulated bench)"));
  }

  void loadReadsShowsAndNamesTheFile() {
    PMeterWindow w("");
    const std::string path = ExampleFile("bench/sim-powermeter.pm");
    w.host.QueueFile(path);
    w.File("mnuFileLoad");
    const FileDialogRequest& dialog = w.host.FileRequests().at(0);
    QCOMPARE(dialog.title, std::string("Select Power Meter File"));
    QCOMPARE(dialog.filterIndex, 1);
    QVERIFY(!dialog.save);
    QCOMPARE(dialog.startDir, w.dir.Path().string());
    QCOMPARE(w.pm.PmFileName(), path);
    QCOMPARE(w.Box("txtName")->text(), QString("Brimtal SimPower 2 (simulated bench)"));
    QCOMPARE(w.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + path));

    // The configuration window loads without showing the window.
    frmPMeter hidden(w.host, w.pm, w.gpib, w.engine, w.dir.Path().string());
    w.host.QueueFile("");
    QVERIFY(!hidden.Load());
    w.host.QueueFile(DataFile("meters/power-meter.pm"));
    QVERIFY(hidden.Load());
    QCOMPARE(w.pm.PmName(), std::string("Bench PM 2"));
    QCOMPARE(Control<QLineEdit>(hidden, "txtName")->text(), QString("Bench PM 2"));
  }

  void loadOfABadFileShowsWhatWasReadAndReportsIt() {
    PMeterWindow w;
    const std::string path = w.dir.File("short.pm");
    WriteFileBytes(path, "Cut short\r\n 22 \r\n");
    w.host.QueueFile(path);
    QVERIFY(!w.window->Load());
    QCOMPARE(
        w.host.MessageTexts(),
        std::vector<std::string>{"Error # 62\rInput past end of file\rPwrMtr.LoadFile\r" + path});
    QCOMPARE(w.Box("txtName")->text(), QString("Cut short"));
    QCOMPARE(w.Box("txtAddress")->text(), QString("22"));
  }

  void printCollectsAndPrintsUnlessCancelled() {
    PMeterWindow w;
    RecordingPrinter pages;
    w.host.QueuePrinter(std::make_unique<PrinterInto>(pages));
    Type(w.Box("txtName"), "Printed");
    w.File("mnuFilePrint");
    QCOMPARE(pages.Pages().at(0).at(6), std::string("Instrument Name: Printed"));
    QVERIFY(pages.Ended());

    w.host.QueuePrinter(nullptr);
    Type(w.Box("txtName"), "Not printed");
    w.File("mnuFilePrint");
    QCOMPARE(pages.Pages().size(), std::size_t{1});
    QCOMPARE(w.pm.PmName(), std::string("Not printed"));
  }

  void closingCollectsAndRetryKeepsTheWindowOpen() {
    PMeterWindow w;
    Type(w.Box("txtAddress"), "40");
    w.host.QueueAnswer(MsgAnswer::Retry);
    w.File("mnuFileExit");
    QVERIFY(w.window->isVisible());
    QCOMPARE(w.pm.PmAddress(), 13);

    w.host.QueueAnswer(MsgAnswer::Cancel);
    QVERIFY(w.window->close());
    QVERIFY(!w.window->isVisible());
    QCOMPARE(w.pm.PmAddress(), 13);

    PMeterWindow good;
    QWidget caller;
    good.window->SetCallingForm(&caller);
    Type(good.Box("txtAddress"), "14");
    QVERIFY(good.window->close());
    QCOMPARE(good.pm.PmAddress(), 14);
    QVERIFY(caller.isVisible());
  }

  void testMenuSessionOnTheSimulatedBench() {
    PMeterWindow w(ExampleFile("bench/sim-powermeter.pm"));
    w.SetGenerator(150, "-20.0");

    w.Test("mnuTestRead");  // not yet initialised: disabled
    QVERIFY(w.host.Messages().empty());
    w.Test("mnuTestInit");
    QVERIFY(w.gpib.IfcSent());
    QVERIFY(w.bus.Bench().At(sim::SimBench::kPowerMeterAddress)->Remote());
    for (const char* item : kTestItems) QVERIFY2(w.Item(item)->isEnabled(), item);

    w.host.QueueInput("150");
    w.Test("mnuTestSetFreq");
    QCOMPARE(w.host.InputRequests().at(0).prompt, std::string("Enter Frequency in MHZ"));
    QCOMPARE(w.host.InputRequests().at(0).defaultText, std::string("80"));
    QCOMPARE(w.pm.LastFreq(), 150.0);

    w.Test("mnuTestTrigger");
    QVERIFY(w.pm.Triggered());
    w.Test("mnuTestRead");
    QCOMPARE(w.host.Messages().size(), std::size_t{1});
    const std::string result = w.host.Messages()[0].text;
    const std::string reply = w.pm.PmLastReply();
    QVERIFY(!reply.empty());
    const double dbm = WattsToDbm(vbtext::Val(reply));
    QCOMPARE(result, "Result = " + vbtext::Format(dbm, "##0.0#") + " dBm\r\nReturned String = \"" +
                         reply + "\"");
    QVERIFY(std::abs(dbm - w.bus.Bench().Signals().forwardPortDbm) < 0.1);

    ExpectParseTest([&] { w.Test("mnuTestParse"); }, "X", reply);

    w.Test("mnuTestShutdown");
    QVERIFY(!w.bus.Bench().At(sim::SimBench::kPowerMeterAddress)->Remote());
    QCOMPARE(w.host.Messages().size(), std::size_t{1});
  }

  void setFreqAnswersThatAreNoNumber() {
    PMeterWindow w(ExampleFile("bench/sim-powermeter.pm"));
    w.Test("mnuTestInit");
    w.host.QueueInput(std::nullopt);
    w.Test("mnuTestSetFreq");
    w.host.QueueInput("");
    w.Test("mnuTestSetFreq");
    w.host.QueueInput("eighty");
    w.Test("mnuTestSetFreq");
    QCOMPARE(w.host.MessageTexts(), std::vector<std::string>{"Error # 13\rType mismatch"});
    w.host.QueueInput("20000");
    w.Test("mnuTestSetFreq");
    QCOMPARE(w.host.MessageTexts().back(),
             std::string("Frequency requested exceeds power meter's capability. "));
    QCOMPARE(w.pm.LastFreq(), 0.0);
  }

  void failedInitShutsDownAndKeepsTheTestsDisabled() {
    PMeterWindow w(ExampleFile("bench/sim-powermeter.pm"));
    w.bus.SetAbsent(sim::SimBench::kPowerMeterAddress);
    w.Test("mnuTestInit");
    const std::vector<std::string> messages = w.host.MessageTexts();
    QVERIFY(messages.size() >= 2);
    QVERIFY(messages[0].rfind("Error finding PwrMtr\r\n", 0) == 0);
    QVERIFY(messages[1].rfind("Error in writing command to power meter. \r\n", 0) == 0);
    for (const char* item : kTestItems) QVERIFY2(!w.Item(item)->isEnabled(), item);
  }

  void testCommandsCollectFirst() {
    PMeterWindow w(ExampleFile("bench/sim-powermeter.pm"));
    Type(w.Box("txtAddress"), "x");
    w.host.QueueAnswer(MsgAnswer::Cancel);
    w.Test("mnuTestInit");
    QCOMPARE(w.host.MessageTexts(), std::vector<std::string>{"Value not a number, re-enter"});
    QVERIFY(!w.gpib.IfcSent());
  }
};

int RunfrmPMeterTest(int argc, char** argv) {
  frmPMeterTest tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace brimtal::test

#include "frmPMeterTest.moc"
