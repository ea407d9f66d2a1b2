// The meter definition window, driven with keys and the mouse: the level limits shown and taken
// in the chosen units, the checks that collect it in their order, and a Test-menu session on the
// simulated bench.
#include "instruments/frmMeter.h"

#include <QLabel>

#include "DefinitionWindowRig.h"
#include "TestPrinters.h"
#include "factors/Conversions.h"
#include "instruments/Meter.h"
#include "shell/VbText.h"

namespace brimtal::test {
namespace {

struct MeterWindow : BenchHost, WindowControls<MeterWindow> {
  Meter meter{gpib, host, delay, clock, engine, haltFlag};
  std::unique_ptr<frmMeter> window;

  explicit MeterWindow(const std::string& file = DataFile("meters/analyser.mtr")) {
    if (!meter.LoadFile(file)) qFatal("cannot load %s", file.c_str());
    window = std::make_unique<frmMeter>(host, meter, gpib, engine, dir.Path().string());
    Show(*window);
  }
  QString Label(const char* name) { return Control<QLabel>(*window, name)->text(); }
  // Collects through Save As into a file of the test's folder.
  void SaveAs(const std::string& name) {
    host.QueueFile(dir.File(name));
    File("mnuFileSaveAs");
  }
};

const char* const kTestItems[] = {"mnuTestSetFreq", "mnuTestSetLevel", "mnuTestTrigger",
                                  "mnuTestRead",    "mnuTestShutdown", "mnuTestParse"};

}  // namespace

class frmMeterTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheLevelsInTheInstrumentsUnit() {
    MeterWindow w;
    const std::string path = DataFile("meters/analyser.mtr");
    QCOMPARE(w.window->windowTitle(),
             QString::fromStdString("Meter File: " + path + " (simulated bench)"));
    QCOMPARE(w.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + path));
    QVERIFY(w.Option("optUnitDbm")->isChecked());
    QVERIFY(w.Option("optTypeSpecAn")->isChecked());
    QVERIFY(w.Option("optEOScrlf")->isChecked());
    // 137 and -23 dBuV as dBm, rounded to two decimals first.
    QCOMPARE(w.Box("txtMaxLev")->text(), QString("30.01"));
    QCOMPARE(w.Box("txtMinLev")->text(), QString("-129.99"));
    QCOMPARE(w.Label("lblMaxLevUnits"), QString("dBm"));
    QCOMPARE(w.Box("txtLevSetPre")->text(), QString("DISP:TRAC:Y:RLEV"));
    QCOMPARE(w.Box("txtRead")->text(), QString("CALC:MARK:Y?"));
    QCOMPARE(w.Box("txtParse")->text(), QString("Left(x, 12)"));
    QCOMPARE(w.Box("txtMinFreq")->text(), QString("0.009"));
    QVERIFY(w.Item("mnuTestInit")->isEnabled());
    for (const char* item : kTestItems) QVERIFY2(!w.Item(item)->isEnabled(), item);
  }

  void untouchedLevelsAreSavedExactly() {
    MeterWindow w;
    w.SaveAs("same.mtr");
    QCOMPARE(ReadFileBytes(w.dir.File("same.mtr")), ReadFileBytes(DataFile("meters/analyser.mtr")));
    QVERIFY(w.host.Messages().empty());
  }

  void levelsAreTypedInTheChosenUnit_data() {
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("min");
    QTest::addColumn<double>("maxDbuv");
    QTest::addColumn<double>("minDbuv");
    QTest::newRow("volts") << "optUnitVolts"
                           << "1"
                           << "0.000001" << 120.0 << 0.0;
    QTest::newRow("millivolts") << "optUnitMv"
                                << "1"
                                << "0.01" << 60.0 << 20.0;
    QTest::newRow("dBmV") << "optUnitDbmv"
                          << "20"
                          << "-40" << 80.0 << 20.0;
    QTest::newRow("dBuV") << "optUnitDbuv"
                          << "110.5"
                          << "-10" << 110.5 << -10.0;
    QTest::newRow("dBm") << "optUnitDbm"
                         << "0"
                         << "-100" << 106.9897 << 6.9897;
  }
  void levelsAreTypedInTheChosenUnit() {
    QFETCH(QString, unit);
    QFETCH(QString, max);
    QFETCH(QString, min);
    QFETCH(double, maxDbuv);
    QFETCH(double, minDbuv);
    MeterWindow w;
    Pick(w.Option(unit.toUtf8().constData()));
    Type(w.Box("txtMaxLev"), max);
    Type(w.Box("txtMinLev"), min);
    w.SaveAs("typed.mtr");
    QVERIFY(w.host.Messages().empty());
    QVERIFY(std::abs(w.meter.MeterMaxLevel() - maxDbuv) < 1e-4);
    QVERIFY(std::abs(w.meter.MeterMinLevel() - minDbuv) < 1e-4);
    QCOMPARE(w.Label("lblMinLevUnits"), w.Option(unit.toUtf8().constData())->text());
  }

  void changingTheUnitAloneReadsTheSameNumbersInTheNewUnit() {
    MeterWindow w;
    Pick(w.Option("optUnitDbuv"));
    QCOMPARE(w.Box("txtMaxLev")->text(), QString("30.01"));
    QCOMPARE(w.Label("lblMaxLevUnits"), QString("dBuV"));
    w.SaveAs("dbuv.mtr");
    QCOMPARE(w.meter.MeterMaxLevel(), 30.01f);
    QCOMPARE(w.meter.MeterMinLevel(), -129.99f);
    QCOMPARE(w.meter.MeterGetDefinition().Units, 1);
  }

  void collectingRefusesABadBox_data() {
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning");
    const QString notNumber = "Value not a number, re-enter";
    const QString outside = "Number outside valid range, re-enter";
    QTest::newRow("address") << ""
                             << "txtAddress"
                             << "1e40" << outside;
    QTest::newRow("max freq") << ""
                              << "txtMaxFreq"
                              << "-3000" << outside;
    QTest::newRow("min freq above max") << ""
                                        << "txtMinFreq"
                                        << "3001" << outside;
    QTest::newRow("max level") << ""
                               << "txtMaxLev"
                               << "high" << notNumber;
    QTest::newRow("min level") << ""
                               << "txtMinLev"
                               << "low" << notNumber;
    QTest::newRow("min level above max") << ""
                                         << "txtMinLev"
                                         << "30.02" << outside;
    QTest::newRow("negative volts") << "optUnitVolts"
                                    << "txtMaxLev"
                                    << "-1" << outside;
    QTest::newRow("negative millivolts") << "optUnitMv"
                                         << "txtMinLev"
                                         << "-0.5" << outside;
    QTest::newRow("level beyond any float") << "optUnitDbuv"
                                            << "txtMaxLev"
                                            << "1e39" << outside;
    QTest::newRow("settling time") << ""
                                   << "txtSetTime"
                                   << "a while" << notNumber;
  }
  void collectingRefusesABadBox() {
    QFETCH(QString, unit);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, warning);
    MeterWindow w;
    const MeterDef definition = w.meter.MeterGetDefinition();
    if (!unit.isEmpty()) Pick(w.Option(unit.toUtf8().constData()));
    QLineEdit* offending = w.Box(box.toUtf8().constData());
    Type(offending, text);
    w.host.QueueAnswer(MsgAnswer::Cancel);
    w.SaveAs("refused.mtr");
    QCOMPARE(w.host.MessageTexts(), std::vector<std::string>{warning.toStdString()});
    QCOMPARE(QApplication::focusWidget(), offending);
    QCOMPARE(offending->selectedText(), text);
    QVERIFY(w.meter.MeterGetDefinition() == definition);
    QVERIFY(!std::filesystem::exists(w.dir.File("refused.mtr")));
  }

  void levelChecksComeAfterTheFrequencyChecksAndBeforeTheSettlingTime() {
    MeterWindow w;
    Type(w.Box("txtSetTime"), "x");
    Type(w.Box("txtMinLev"), "x");
    Type(w.Box("txtMaxLev"), "x");
    Type(w.Box("txtMinFreq"), "-1");
    w.host.QueueAnswer(MsgAnswer::Cancel);
    w.host.QueueAnswer(MsgAnswer::Cancel);
    w.SaveAs("a.mtr");
    Type(w.Box("txtMinFreq"), "0.009");
    w.SaveAs("b.mtr");
    QCOMPARE(w.host.MessageTexts(),
             (std::vector<std::string>{"Number outside valid range, re-enter",
                                       "Value not a number, re-enter"}));
    QCOMPARE(QApplication::focusWidget(), w.Box("txtMaxLev"));
  }

  void testMenuSessionOnTheSimulatedBench() {
    MeterWindow w(ExampleFile("bench/sim-analyser.mtr"));
    w.SetGenerator(150, "-50.0");
    w.Test("mnuTestInit");
    QVERIFY(w.bus.Bench().At(sim::SimBench::kAnalyserAddress)->Remote());
    for (const char* item : kTestItems) QVERIFY2(w.Item(item)->isEnabled(), item);

    w.host.QueueInput("150");
    w.Test("mnuTestSetFreq");
    w.host.QueueInput("120");
    w.Test("mnuTestSetLevel");
    const auto& prompts = w.host.InputRequests();
    QCOMPARE(prompts.at(0).prompt, std::string("Enter Frequency in MHZ"));
    QCOMPARE(prompts.at(0).defaultText, std::string("80"));
    QCOMPARE(prompts.at(1).prompt, std::string("Enter Level in dBuv"));
    QCOMPARE(prompts.at(1).defaultText, std::string("120"));
    QCOMPARE(w.bus.Bench().Analyser().CenterHz(), 150e6);
    QVERIFY(std::abs(w.bus.Bench().Analyser().ReferenceLevelDbm() - DbuvToDbm(122, 50.0f)) < 1e-4);

    w.Test("mnuTestTrigger");
    QVERIFY(w.meter.Triggered());
    w.Test("mnuTestRead");
    QCOMPARE(w.host.Messages().size(), std::size_t{1});
    const std::string reply = w.meter.MeterLastReply();
    const double dbuv = DbmToDbuv(vbtext::Val(reply), 50.0f);
    QCOMPARE(w.host.Messages()[0].text, "Result = " + vbtext::Format(dbuv, "##0.0#") +
                                            " dBuv\r\nReturned String = \"" + reply + "\"");
    const double modelled = DbmToDbuv(w.bus.Bench().Signals().meterInputDbm, 50.0f);
    QVERIFY2(modelled < 120, std::to_string(modelled).c_str());  // below the range
    QVERIFY2(std::abs(dbuv - modelled) < 0.2, reply.c_str());

    ExpectParseTest([&] { w.Test("mnuTestParse"); }, "X", reply);

    w.Test("mnuTestShutdown");
    QVERIFY(!w.bus.Bench().At(sim::SimBench::kAnalyserAddress)->Remote());
    QCOMPARE(w.host.Messages().size(), std::size_t{1});
  }

  void setLevelOutsideTheLimitsIsRefusedByTheDriver() {
    MeterWindow w(ExampleFile("bench/sim-analyser.mtr"));
    w.Test("mnuTestInit");
    w.host.ClearMessages();
    w.host.QueueInput("150");
    w.Test("mnuTestSetLevel");
    w.host.QueueInput("1OO");
    w.Test("mnuTestSetLevel");
    QCOMPARE(w.host.MessageTexts(),
             (std::vector<std::string>{"Level requested exceeds meter's capability. ",
                                       "Error # 13\rType mismatch"}));
  }
};

int RunfrmMeterTest(int argc, char** argv) {
  frmMeterTest tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace brimtal::test

#include "frmMeterTest.moc"
