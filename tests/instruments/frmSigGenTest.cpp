// The signal generator window, driven with key and mouse events: the definition in the
// controls, the enable rules, the collecting checks in their order, closing with Retry and
// Cancel, the File menu, and a Test-menu session against the simulated bench.
#include <QCheckBox>
#include <string>
#include <vector>

#include "DefinitionWindowRig.h"
#include "TestPrinters.h"
#include "instruments/SigGen.h"
#include "instruments/frmSigGen.h"

namespace brimtal {
namespace {

using test::Control;
using test::DataFile;
using test::ReadFileBytes;
using Texts = std::vector<std::string>;

const char* const kFilter = "Signal Generators (*.sg)|*.sg|All Files|*.*";
const char* const kNotNumber = "Value not a number, re-enter";
const char* const kOutOfRange = "Number outside valid range, re-enter";

// The window over the simulated bench, shown and active, with a folder of its own.
struct Rig : test::BenchHost, test::WindowControls<Rig> {
  SigGen gen{gpib, host};
  std::unique_ptr<frmSigGen> window;

  // The definition is loaded from a copy in the rig's folder, so that saving never touches
  // the original; an empty name loads nothing.
  explicit Rig(const std::string& definition = DataFile("siggen/full.sg")) {
    if (!definition.empty()) {
      test::WriteFileBytes(Copy(), ReadFileBytes(definition));
      if (!gen.LoadFile(Copy())) qFatal("definition not loaded");
    }
    window = std::make_unique<frmSigGen>(host, gen, gpib, dir.Path().string());
    test::Show(*window);
  }

  std::string Copy() const { return dir.File("gen.sg"); }

  void Type(const char* box, const QString& text) { test::Type(Box(box), text); }
  // Alt+menu key opens the menu, the item's mnemonic chooses it.
  bool Choose(Qt::Key menuKey, const char* menuName, Qt::Key itemKey) {
    QTest::keyClick(window.get(), menuKey, Qt::AltModifier);
    auto* menu = Control<QMenu>(*window, menuName);
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000)) return false;
    QTest::keyClick(menu, itemKey);
    return QTest::qWaitFor([menu] { return !menu->isVisible(); }, 2000);
  }
  bool File(Qt::Key item) { return Choose(Qt::Key_F, "mnuFile", item); }
  bool Test(Qt::Key item) { return Choose(Qt::Key_T, "mnuTest", item); }
};

class frmSigGenTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheDefinitionWithItsFileInCaptionAndSaveItem();
  void capabilityBoxesEnableTheirGroups();
  void collectingChecksInOrderAndStopsAtTheFirstWrongBox_data();
  void collectingChecksInOrderAndStopsAtTheFirstWrongBox();
  void collectingTakesEveryControl();
  void closingWithAWrongBoxStaysOpenOnRetryAndDropsTheChangeOnCancel();
  void loadAsksForAFileAndShowsIt();
  void saveAsWritesTheFileAndSaveWithoutAPathAsksForOne();
  void printGoesThroughThePrinterDialog();
  void testMenuSessionDrivesTheSimulatedGenerator();
  void testPromptsEndOnCancelEmptyOrBadAnswers();
  void aFailedInitShutsTheGeneratorDownAndKeepsTheItemsDisabled();
};

void frmSigGenTest::showsTheDefinitionWithItsFileInCaptionAndSaveItem() {
  Rig rig;
  const std::string path = rig.Copy();
  QCOMPARE(rig.window->windowTitle(),
           QString::fromStdString("Signal Generator File: " + path + " (simulated bench)"));
  QCOMPARE(rig.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + path));
  QCOMPARE(rig.Box("txtName")->text(), QString("Test generator 3000"));
  QCOMPARE(rig.Box("txtAddress")->text(), QString("19"));
  QCOMPARE(rig.Box("txtLevelSetSuf")->text(), QString("DBM"));
  QCOMPARE(rig.Box("txtMaxLev")->text(), QString("13.5"));
  QCOMPARE(rig.Box("txtMinLev")->text(), QString("-110"));
  QCOMPARE(rig.Box("txtMinFreq")->text(), QString("0.15"));
  QVERIFY(Control<QRadioButton>(*rig.window, "optEOScrlf")->isChecked());
  QVERIFY(Control<QCheckBox>(*rig.window, "chkAmCapable")->isChecked());
  QVERIFY(!Control<QCheckBox>(*rig.window, "chkPulseCapable")->isChecked());
  // Only Init is offered before the generator is opened.
  QVERIFY(rig.Item("mnuTestInit")->isEnabled());
  for (const char* item :
       {"mnuTestSetFreqLev", "mnuTestEnableAm", "mnuTestEnableFm", "mnuTestEnablePulse",
        "mnuTestDisableMod", "mnuTestRfOn", "mnuTestRfOff", "mnuTestLocal"}) {
    QVERIFY2(!rig.Item(item)->isEnabled(), item);
  }
}

void frmSigGenTest::capabilityBoxesEnableTheirGroups() {
  Rig rig;
  const std::vector<std::pair<const char*, Texts>> groups{
      {"chkAmCapable",
       {"txtAmModFreqPre", "txtAmModFreqSuf", "txtAmModDepthPre", "txtAmModDepthSuf",
        "txtAmModOn"}},
      {"chkFmCapable",
       {"txtFmModFreqPre", "txtFmModFreqSuf", "txtFmModDevPre", "txtFmModDevSuf", "txtFmModOn"}},
      {"chkPulseCapable",
       {"txtPulseModFreqPre", "txtPulseModFreqSuf", "txtPulseModWidthPre", "txtPulseModWidthSuf",
        "txtPulseModOn"}},
  };
  for (const auto& [check, boxes] : groups) {
    auto* box = Control<QCheckBox>(*rig.window, check);
    const bool before = box->isChecked();
    for (const std::string& name : boxes) QCOMPARE(rig.Box(name.c_str())->isEnabled(), before);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    QCOMPARE(box->isChecked(), !before);
    for (const std::string& name : boxes) QCOMPARE(rig.Box(name.c_str())->isEnabled(), !before);
  }
}

void frmSigGenTest::collectingChecksInOrderAndStopsAtTheFirstWrongBox_data() {
  QTest::addColumn<QStringList>("entries");  // box=text pairs typed before saving
  QTest::addColumn<QString>("warnedBox");
  QTest::addColumn<QString>("message");
  const auto row = [](const char* name, QStringList entries, const char* box, const char* text) {
    QTest::newRow(name) << entries << QString(box) << QString(text);
  };
  row("address text", {"txtAddress=ab"}, "txtAddress", kNotNumber);
  row("address empty", {"txtAddress="}, "txtAddress", kNotNumber);
  row("address 31", {"txtAddress=31"}, "txtAddress", kOutOfRange);
  row("address negative", {"txtAddress=-1"}, "txtAddress", kOutOfRange);
  row("address many digits", {"txtAddress=1000000000000000000000019"}, "txtAddress", kOutOfRange);
  row("maximum frequency text", {"txtMaxFreq=1 GHz"}, "txtMaxFreq", kNotNumber);
  row("maximum frequency zero", {"txtMaxFreq=0"}, "txtMaxFreq", kOutOfRange);
  row("minimum frequency zero", {"txtMinFreq=0"}, "txtMinFreq", kOutOfRange);
  row("minimum equal to maximum", {"txtMinFreq=1000"}, "txtMinFreq", kOutOfRange);
  row("minimum above a lowered maximum", {"txtMaxFreq=100", "txtMinFreq=200"}, "txtMinFreq",
      kOutOfRange);
  row("maximum level text", {"txtMaxLev=high"}, "txtMaxLev", kNotNumber);
  row("maximum level beyond 32 bits", {"txtMaxLev=1E39"}, "txtMaxLev", kOutOfRange);
  row("minimum level empty", {"txtMinLev="}, "txtMinLev", kNotNumber);
  // The first wrong box in the order is the one reported.
  row("address before frequency", {"txtMaxFreq=x", "txtAddress=40"}, "txtAddress", kOutOfRange);
  row("frequency before level", {"txtMaxLev=x", "txtMinFreq=-5"}, "txtMinFreq", kOutOfRange);
}

void frmSigGenTest::collectingChecksInOrderAndStopsAtTheFirstWrongBox() {
  QFETCH(QStringList, entries);
  QFETCH(QString, warnedBox);
  QFETCH(QString, message);
  Rig rig;
  const SigGenDef before = rig.gen.SigGenGetDefinition();
  rig.Type("txtName", "Renamed");
  for (const QString& entry : entries) {
    const QStringList parts = entry.split('=');
    rig.Type(parts[0].toUtf8().constData(), parts[1]);
  }
  rig.host.QueueAnswer(MsgAnswer::Cancel);
  QVERIFY(rig.File(Qt::Key_S));
  QCOMPARE(rig.host.MessageTexts(), Texts{message.toStdString()});
  QCOMPARE(rig.host.Messages()[0].buttons, MsgButtons::RetryCancel);
  QLineEdit* box = rig.Box(warnedBox.toUtf8().constData());
  QCOMPARE(QApplication::focusWidget(), box);
  QCOMPARE(box->selectedText(), box->text());
  QVERIFY(rig.gen.SigGenGetDefinition() == before);  // nothing taken, nothing saved
  QCOMPARE(ReadFileBytes(rig.Copy()), ReadFileBytes(DataFile("siggen/full.sg")));
}

void frmSigGenTest::collectingTakesEveryControl() {
  Rig rig;
  rig.Type("txtAddress", "2.5");  // halves go to the even neighbour
  rig.Type("txtName", "Edited");
  rig.Type("txtInit", "*RST");
  rig.Type("txtRfOff", "");
  rig.Type("txtMaxLev", "10.25");
  rig.Type("txtMinLev", "-120");
  rig.Type("txtMaxFreq", "2000");
  rig.Type("txtMinFreq", ".009");
  rig.Type("txtPulseModOn", "unchanged while disabled");
  auto* cr = Control<QRadioButton>(*rig.window, "optEOScr");
  QTest::mouseClick(cr, Qt::LeftButton, {}, QPoint(6, cr->height() / 2));
  auto* am = Control<QCheckBox>(*rig.window, "chkAmCapable");
  QTest::mouseClick(am, Qt::LeftButton, {}, QPoint(6, am->height() / 2));
  QVERIFY(rig.window->CollectDefinition());
  const SigGenDef d = rig.gen.SigGenGetDefinition();
  QCOMPARE(d.Address, std::int16_t{2});
  QCOMPARE(d.Name, std::string("Edited"));
  QCOMPARE(d.InitString, std::string("*RST"));
  QCOMPARE(d.RfOff, std::string());
  QCOMPARE(d.MaxLevel, 10.25F);
  QCOMPARE(d.MinLevel, -120.0F);
  QCOMPARE(d.MaxFreq, 2000.0);
  QCOMPARE(d.MinFreq, 0.009);
  QCOMPARE(d.Eos, 1);
  QCOMPARE(rig.gen.Terminator(), std::string("\r"));
  QCOMPARE(d.AmCapable, std::int16_t{0});
  QCOMPARE(d.PulseModOn, std::string("PULM:STAT ON"));  // a disabled box takes no typing
  QVERIFY(rig.host.Messages().empty());
}

void frmSigGenTest::closingWithAWrongBoxStaysOpenOnRetryAndDropsTheChangeOnCancel() {
  Rig rig;
  rig.Type("txtName", "Changed");
  rig.Type("txtMinLev", "low");
  rig.host.QueueAnswer(MsgAnswer::Retry);
  QTest::keyClick(rig.window.get(), Qt::Key_Escape);
  QVERIFY(rig.window->isVisible());
  QCOMPARE(rig.host.MessageTexts(), Texts{kNotNumber});
  QCOMPARE(rig.gen.SigGenName(), std::string("Test generator 3000"));

  rig.host.QueueAnswer(MsgAnswer::Cancel);
  QVERIFY(rig.File(Qt::Key_X));
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(rig.gen.SigGenName(), std::string("Test generator 3000"));

  // Closing with every box right keeps the edit.
  rig.window->show();
  QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
  rig.Type("txtName", "Kept");
  QVERIFY(rig.window->close());
  QCOMPARE(rig.gen.SigGenName(), std::string("Kept"));
  QCOMPARE(rig.host.Messages().size(), std::size_t{2});
}

void frmSigGenTest::loadAsksForAFileAndShowsIt() {
  Rig rig("");
  QCOMPARE(rig.window->windowTitle(), QString("Signal Generator File:  (simulated bench)"));
  rig.host.QueueFile("");
  QVERIFY(!rig.window->Load());  // cancelled

  const std::string path = test::ExampleFile("bench/sim-siggen.sg");
  rig.host.QueueFile(path);
  QVERIFY(rig.File(Qt::Key_L));
  QCOMPARE(rig.host.FileRequests().size(), std::size_t{2});
  const FileDialogRequest& request = rig.host.FileRequests()[1];
  QVERIFY(!request.save);
  QCOMPARE(request.title, std::string("Select signal generator definition file"));
  QCOMPARE(request.filter, std::string(kFilter));
  QCOMPARE(request.filterIndex, 1);
  QCOMPARE(request.startDir, rig.dir.Path().string());
  QCOMPARE(rig.Box("txtName")->text(), QString("Brimtal SimGen 3000 (simulated bench)"));
  QCOMPARE(rig.Box("txtMinFreq")->text(), QString("0.009"));
  QCOMPARE(rig.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + path));
  QCOMPARE(rig.gen.SigGenFileName(), path);

  // A file that cannot be read is told, and what it held so far is shown.
  const std::string broken = rig.dir.File("broken.sg");
  test::WriteFileBytes(broken, "Half a generator\r\n 12 \r\n");
  rig.host.QueueFile(broken);
  QVERIFY(!rig.window->Load());
  QCOMPARE(rig.host.MessageTexts(),
           Texts{"Error # 62\rInput past end of file\rSigGen.LoadFile\r" + broken});
  QCOMPARE(rig.Box("txtName")->text(), QString("Half a generator"));
  QCOMPARE(rig.Box("txtAddress")->text(), QString("12"));
  QCOMPARE(rig.window->windowTitle(),
           QString::fromStdString("Signal Generator File: " + broken + " (simulated bench)"));
}

void frmSigGenTest::saveAsWritesTheFileAndSaveWithoutAPathAsksForOne() {
  Rig rig("");
  rig.Type("txtName", "New & improved");
  rig.Type("txtMaxFreq", "1000");
  rig.Type("txtMinFreq", "1");
  const std::string first = rig.dir.File("first.sg");
  rig.host.QueueFile(first);
  QVERIFY(rig.File(Qt::Key_S));  // no file yet: Save behaves as Save As
  QCOMPARE(rig.host.FileRequests().back().title, std::string("Select signal generator filename"));
  QVERIFY(rig.host.FileRequests().back().save);
  QVERIFY(rig.host.FileRequests().back().confirmOverwrite);
  QCOMPARE(rig.gen.SigGenFileName(), first);
  QCOMPARE(rig.Item("mnuFileSave")->text(), QString::fromStdString("&Save " + first));
  QVERIFY(ReadFileBytes(first).rfind("New & improved\r\n 0 \r\n", 0) == 0);

  // Save As the example definition loaded elsewhere writes the same bytes.
  QVERIFY(rig.gen.LoadFile(DataFile("siggen/full.sg")));
  rig.window->ShowDefinition();
  const std::string second = rig.dir.File("second.sg");
  rig.host.QueueFile(second);
  QVERIFY(rig.File(Qt::Key_A));
  QCOMPARE(rig.host.FileRequests().back().proposedName, std::string("full.sg"));
  QCOMPARE(ReadFileBytes(second), ReadFileBytes(DataFile("siggen/full.sg")));

  // Save goes to the current file without asking.
  rig.Type("txtRfOn", "OUTP:STAT ON");
  const auto requests = rig.host.FileRequests().size();
  QVERIFY(rig.File(Qt::Key_S));
  QCOMPARE(rig.host.FileRequests().size(), requests);
  QVERIFY(ReadFileBytes(second).find("\r\nOUTP:STAT ON\r\n") != std::string::npos);
  QVERIFY(rig.host.Messages().empty());
}

void frmSigGenTest::printGoesThroughThePrinterDialog() {
  Rig rig;
  rig.host.QueuePrinter(nullptr);
  QVERIFY(rig.File(Qt::Key_P));  // cancelled: nothing printed

  RecordingPrinter paper(100 * kTwipsPerInch);
  rig.host.QueuePrinter(std::make_unique<test::PrinterInto>(paper));
  rig.Type("txtName", "Printed name");
  QVERIFY(rig.File(Qt::Key_P));
  QVERIFY(paper.Ended());
  QCOMPARE(paper.Pages()[0][6], std::string("Instrument Name: Printed name"));
  QVERIFY(rig.host.AllAnswersUsed());
}

void frmSigGenTest::testMenuSessionDrivesTheSimulatedGenerator() {
  Rig rig(test::ExampleFile("bench/sim-siggen.sg"));
  sim::SimSigGen& generator = rig.bus.Bench().SigGen();
  for (const char* answer : {"80", "-55"}) rig.host.QueueInput(std::string(answer));
  QVERIFY(rig.Test(Qt::Key_I));
  QVERIFY(generator.Remote());
  QVERIFY(rig.Item("mnuTestRfOn")->isEnabled());

  for (const char* answer : {"150", "-10"}) rig.host.QueueInput(std::string(answer));
  QVERIFY(rig.Test(Qt::Key_C));
  QVERIFY(!generator.RfOn());  // recorded until RF goes on
  QVERIFY(rig.Test(Qt::Key_O));
  QVERIFY(generator.RfOn());
  QCOMPARE(generator.FreqHz(), 150e6);
  QCOMPARE(generator.LevelDbm(), -10.0);

  for (const char* answer : {"1", "30"}) rig.host.QueueInput(std::string(answer));
  QVERIFY(rig.Test(Qt::Key_A));
  QVERIFY(generator.AmOn());
  QCOMPARE(generator.AmDepthPct(), 30.0);
  for (const char* answer : {"1", "10"}) rig.host.QueueInput(std::string(answer));
  QVERIFY(rig.Test(Qt::Key_F));
  QVERIFY(!generator.AmOn());
  for (const char* answer : {"1", "0.01"}) rig.host.QueueInput(std::string(answer));
  QVERIFY(rig.Test(Qt::Key_P));
  QVERIFY(rig.Test(Qt::Key_D));
  QVERIFY(rig.Test(Qt::Key_R));
  QVERIFY(!generator.RfOn());
  QVERIFY(rig.Test(Qt::Key_L));
  QVERIFY(!generator.Remote());
  QVERIFY(!rig.Item("mnuTestRfOn")->isEnabled());

  std::vector<std::pair<std::string, std::string>> prompts;
  for (const auto& request : rig.host.InputRequests()) {
    QCOMPARE(request.title, std::string());
    prompts.emplace_back(request.prompt, request.defaultText);
  }
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Enter Frequency in MHZ", "80"},           {"Enter Level in DBM", "-55"},
      {"Enter Frequency in MHZ", "80"},           {"Enter Level in DBM", "-55"},
      {"Enter Modulation Frequency in KHZ", "1"}, {"Enter Modulation Depth in PCT", "80"},
      {"Enter Modulation Frequency in KHZ", "1"}, {"Enter Modulation Deviation in KHZ", "10"},
      {"Enter Pulse Frequency in KHZ", "1"},      {"Enter Pulse Width in MS", "0.01"},
  };
  QVERIFY(prompts == expected);
  QVERIFY(rig.host.Messages().empty());
}

void frmSigGenTest::testPromptsEndOnCancelEmptyOrBadAnswers() {
  Rig rig;
  rig.host.QueueInput(std::nullopt);
  QVERIFY(rig.Test(Qt::Key_I));
  rig.host.QueueInput(std::string("80"));
  rig.host.QueueInput(std::string());
  QVERIFY(rig.Test(Qt::Key_I));
  rig.host.QueueInput(std::string("80 MHz"));
  QVERIFY(rig.Test(Qt::Key_I));
  rig.host.QueueInput(std::string("80"));
  rig.host.QueueInput(std::string("1E300"));
  QVERIFY(rig.Test(Qt::Key_I));
  QCOMPARE(rig.host.MessageTexts(), (Texts{"Error # 13\rType mismatch", "Error # 6\rOverflow"}));
  QCOMPARE(rig.host.InputRequests().size(), std::size_t{6});
  QVERIFY(!rig.bus.Bench().SigGen().Remote());
  QVERIFY(!rig.gpib.IfcSent());
  QVERIFY(!rig.Item("mnuTestRfOn")->isEnabled());

  // A wrong box stops the command before any prompt.
  rig.host.ClearMessages();
  rig.Type("txtAddress", "99");
  rig.host.QueueAnswer(MsgAnswer::Cancel);
  QVERIFY(rig.Test(Qt::Key_I));
  QCOMPARE(rig.host.MessageTexts(), Texts{kOutOfRange});
  QCOMPARE(rig.host.InputRequests().size(), std::size_t{6});
}

void frmSigGenTest::aFailedInitShutsTheGeneratorDownAndKeepsTheItemsDisabled() {
  Rig rig(test::ExampleFile("bench/sim-siggen.sg"));
  rig.bus.SetAbsent(19);
  for (const char* answer : {"80", "-55"}) rig.host.QueueInput(std::string(answer));
  QVERIFY(rig.Test(Qt::Key_I));
  QVERIFY(!rig.Item("mnuTestRfOn")->isEnabled());
  const Texts messages = rig.host.MessageTexts();
  QVERIFY(!messages.empty());
  QVERIFY(messages.front().rfind("Error finding SigGen\r\n", 0) == 0);
  // The shutdown that follows tried to switch RF off and return the generator to local.
  QVERIFY(messages.size() >= 2);
  QVERIFY(messages[1].rfind("Error setting SigGen RF off. ", 0) == 0);
  QVERIFY(!rig.host.Busy());
}

}  // namespace
}  // namespace brimtal

QTEST_MAIN(brimtal::frmSigGenTest)
#include "frmSigGenTest.moc"
