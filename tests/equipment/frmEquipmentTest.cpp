// The equipment configuration window, driven with key and mouse events: showing a
// configuration, the options that act at once, the checks on closing and saving, choosing
// instruments and factor files, equipment files, the menus, and its part in the start-up and
// the main menu.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "equipment/Equip.h"
#include "equipment/frmEquipment.h"
#include "factors/frmEditFactor.h"
#include "instruments/frmMeter.h"
#include "instruments/frmSigGen.h"
#include "shell/Brimtal.h"
#include "shell/Clock.h"
#include "shell/LogFile.h"
#include "shell/ScriptedHost.h"
#include "shell/Startup.h"
#include "shell/TopMenu.h"
#include "shell/frmAbout.h"
#include "shell/frmHelp.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

namespace fs = std::filesystem;
using test::DataFile;
using test::ExampleFile;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

const char* const kNotNumber = "Value not a number, re-enter";
const char* const kOutOfRange = "Number outside valid range, re-enter";
const char* const kEquipFilter = "Equipment Setup Files (*.eqp)|*.eqp|All Files|*.*";
const char* const kSigGenName = "Brimtal SimGen 3000 (simulated bench)";
const char* const kMeterName = "Brimtal SimSpec 3 (simulated bench)";
const char* const kPmName = "Brimtal SimPower 2 (simulated bench)";

std::string Bench(const std::string& name) {
  return ExampleFile("bench/" + name);
}

template <typename T>
T* Control(QWidget& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromUtf8(name));
  if (control == nullptr) qFatal("no control %s", name);
  return control;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QString Tag(QWidget& window, const char* label) {
  return Control<QLabel>(window, label)->property("tag").toString();
}

template <typename T>
T* TopLevel() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<T*>(widget)) return found;
  }
  return nullptr;
}

// The program's context on a scripted host, in a program folder of its own.
struct Rig {
  TempDir dir;
  VirtualClock clock;
  ScriptedHost host{&clock};
  FixedWallClock wall;
  Brimtal context{host, clock, wall, ProgramPaths{dir.Path().string(), "brimtal", dir.File("c")}};

  // The example bench's configuration, with the paths made whole.
  void LoadBench() {
    if (context.equip.LoadDef(Bench("bench.eqp")) != 1) qFatal("bench.eqp does not load");
  }
  std::unique_ptr<frmEquipment> Open() {
    auto window = std::make_unique<frmEquipment>(context);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qFatal("window not shown");
    return window;
  }
};

void Click(QWidget& window, const char* name) {
  QTest::mouseClick(Control<QAbstractButton>(window, name), Qt::LeftButton);
}

void ClickOption(QWidget& window, const char* name) {
  auto* option = Control<QAbstractButton>(window, name);
  QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

void ShowTab(QWidget& window, int index) {
  QTabBar* bar = Control<QTabWidget>(window, "tabSetup")->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

int CurrentTab(QWidget& window) {
  return Control<QTabWidget>(window, "tabSetup")->currentIndex();
}

void Type(QWidget& window, const char* box, const QString& text) {
  QLineEdit* edit = Control<QLineEdit>(window, box);
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Opens a menu of the menu bar with Alt and its letter.
QMenu* OpenMenu(QWidget& window, char letter) {
  // The menu bar takes Alt and a letter only in the active window.
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) qFatal("window not active");
  QTest::keyClick(&window, letter, Qt::AltModifier);
  if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; })) {
    qFatal("menu %c not open", letter);
  }
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Chooses a menu command with the keyboard: Alt and the menu's letter, then the letters of the
// submenu and the item.
void ChooseMenu(QWidget& window, const QString& letters) {
  OpenMenu(window, letters[0].toLatin1());
  for (int i = 1; i < letters.size(); ++i) {
    if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; })) {
      qFatal("menu not open for %s", qPrintable(letters));
    }
    QTest::keyClick(QApplication::activePopupWidget(), letters[i].toLatin1());
  }
}

// "&Insertion Loss" and "&Interp File Utility" share their letter: I moves between them and
// Enter chooses.
void ChooseInterp(QWidget& window) {
  QMenu* menu = OpenMenu(window, 'U');
  auto* interp = Control<QAction>(window, "mnuUtilInterp");
  for (int i = 0; i < 3 && menu->activeAction() != interp; ++i) QTest::keyClick(menu, Qt::Key_I);
  QCOMPARE(menu->activeAction(), interp);
  QTest::keyClick(menu, Qt::Key_Return);
}

// Runs the check on the modal window that the next command opens, then closes it. It polls
// rather than waits, so that the command can run up to the point where the window opens.
void OnNextModal(std::function<void(QWidget*)> check) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, check = std::move(check)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    timer->stop();
    timer->deleteLater();
    check(modal);
    modal->close();
  });
  timer->start();
}

std::string EqpLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// The example bench as it is written once its paths were made whole.
std::string BenchWritten(const std::string& sigGenAddr, const std::string& coupling) {
  return EqpLines({Bench("sim-siggen.sg"),
                   sigGenAddr,
                   Bench("sim-analyser.mtr"),
                   " 18 ",
                   Bench("sim-powermeter.pm"),
                   " 13 ",
                   coupling,
                   " 220 ",
                   Bench("cable.los"),
                   Bench("coupler-fwd.fac"),
                   Bench("coupler-rev.fac"),
                   Bench("amplifier-max.pwr"),
                   Bench("monitor-probe.prb"),
                   " 1 ",
                   "False",
                   "False",
                   " 220 ",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   ""});
}

}  // namespace

class frmEquipmentTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheExampleBench() {
    Rig r;
    r.LoadBench();
    auto w = r.Open();
    QCOMPARE(w->windowTitle(), QString("Test Equipment (simulated bench)"));
    QCOMPARE(CurrentTab(*w), 0);
    const struct {
      const char* label;
      const char* box;
      std::string path;
      const char* name;
      const char* address;
    } instruments[] = {
        {"lblSigGen", "txtSigGenAddr", Bench("sim-siggen.sg"), kSigGenName, "19"},
        {"lblMeter", "txtMeterAddr", Bench("sim-analyser.mtr"), kMeterName, "18"},
        {"lblPwrMtr", "txtPwrMtrAddr", Bench("sim-powermeter.pm"), kPmName, "13"},
    };
    for (const auto& i : instruments) {
      QCOMPARE(Tag(*w, i.label), Q(i.path));
      QCOMPARE(Control<QLabel>(*w, i.label)->toolTip(), QString(i.name));
      QCOMPARE(Control<QLineEdit>(*w, i.box)->text(), QString(i.address));
    }
    // The drivers hold the definitions the configuration names.
    QCOMPARE(r.context.sigGen.SigGenName(), std::string(kSigGenName));
    QCOMPARE(r.context.meter.MeterName(), std::string(kMeterName));
    QCOMPARE(r.context.pm.PmName(), std::string(kPmName));

    QCOMPARE(Control<QLineEdit>(*w, "txtPmBandSwitchFreq")->text(), QString("220"));
    QVERIFY(!Control<QLineEdit>(*w, "txtPmBandSwitchFreq")->isEnabled());
    QVERIFY(Control<QRadioButton>(*w, "optDualFwdRev")->isChecked());
    QVERIFY(!Control<QLabel>(*w, "lblBandSwitchFreq")->isEnabled());
    const std::pair<const char*, const char*> factors[] = {
        {"lblCalCable", "cable.los"},          {"lblFwdPort", "coupler-fwd.fac"},
        {"lblRevPort", "coupler-rev.fac"},     {"lblMaxPower", "amplifier-max.pwr"},
        {"lblProbeFile", "monitor-probe.prb"},
    };
    for (const auto& [label, file] : factors) QCOMPARE(Tag(*w, label), Q(Bench(file)));
    QVERIFY(Control<QRadioButton>(*w, "optIFIAmp")->isChecked());
    QCOMPARE(Control<QLineEdit>(*w, "txtIfiBandSwitch")->text(), QString("220"));
    QVERIFY(!Control<QCheckBox>(*w, "chkIfiPwr")->isChecked());
    QVERIFY(Control<QCheckBox>(*w, "chkIfiPwr")->isEnabled());
    QVERIFY(Control<QLineEdit>(*w, "txtIfiBandSwitch")->isEnabled());
    // Reserved for the cable calibration, which is not part of this version.
    QVERIFY(!Control<QAction>(*w, "mnuUtilInsertionLoss")->isEnabled());
    QVERIFY(r.host.Messages().empty());
  }

  void anEmptyConfigurationShowsNothingAndTheGenericAmplifier() {
    Rig r;
    r.context.equip.SetIfiAttenBetweenSteps(true);
    auto w = r.Open();
    for (const char* label : {"lblSigGen", "lblMeter", "lblPwrMtr", "lblProbeFile"}) {
      QVERIFY(Control<QLabel>(*w, label)->text().isEmpty());
      QVERIFY(Tag(*w, label).isEmpty());
    }
    QVERIFY(Control<QLineEdit>(*w, "txtSigGenAddr")->text().isEmpty());
    QVERIFY(Control<QRadioButton>(*w, "optSingle")->isChecked());
    QVERIFY(Control<QRadioButton>(*w, "optGenericAmp")->isChecked());
    for (const char* control : {"chkIfiPwr", "chkIfiAtten", "txtIfiBandSwitch", "lblAmpSwitchFreq"})
      QVERIFY2(!Control<QWidget>(*w, control)->isEnabled(), control);
    // A stored attenuator setting is shown, even though nothing else reads it.
    QVERIFY(Control<QCheckBox>(*w, "chkIfiAtten")->isChecked());
    QVERIFY(r.context.sigGen.SigGenFileName().empty());
  }

  void aLongPathIsShortenedAndGivenInFullInTheToolTip() {
    Rig r;
    const std::string folder =
        r.dir.File("laboratory/conducted-immunity/bench-2/instrument-definitions/generators");
    fs::create_directories(folder);
    const std::string path = folder + "/signal-generator-of-the-second-bench.sg";
    WriteFileBytes(path, ReadFileBytes(Bench("sim-siggen.sg")));
    r.context.equip.SetSigGenFile(path);
    auto w = r.Open();
    auto* label = Control<QLabel>(*w, "lblSigGen");
    QVERIFY(label->text().contains("/.../") ||
            label->text() == "signal-generator-of-the-second-bench.sg");
    QCOMPARE(Tag(*w, "lblSigGen"), Q(path));
    QCOMPARE(label->toolTip(), QString(kSigGenName) + "\n" + Q(path));
    // Wide enough again, the label shows the whole path and the name alone.
    w->resize(label->fontMetrics().horizontalAdvance(Q(path)) + 400, w->height());
    QTRY_COMPARE(label->text(), Q(path));
    QCOMPARE(label->toolTip(), QString(kSigGenName));
  }

  void optionsAndBoxesChangeTheConfigurationAtOnce() {
    Rig r;
    r.LoadBench();
    auto w = r.Open();
    const Equip& equip = r.context.equip;
    ClickOption(*w, "optDualSplit");
    QCOMPARE(equip.PmCoupling(), 2);
    QVERIFY(Control<QLabel>(*w, "lblBandSwitchFreq")->isEnabled());
    QVERIFY(!Control<QLineEdit>(*w, "txtPmBandSwitchFreq")->isEnabled());
    ClickOption(*w, "optSingle");
    QCOMPARE(equip.PmCoupling(), 0);
    QVERIFY(!Control<QLabel>(*w, "lblBandSwitchFreq")->isEnabled());

    ShowTab(*w, 2);
    ClickOption(*w, "optGenericAmp");
    QCOMPARE(equip.AmpType(), kAmpGeneric);
    const char* ifiControls[] = {"chkIfiPwr", "chkIfiAtten", "txtIfiBandSwitch",
                                 "lblAmpSwitchFreq"};
    for (const char* control : ifiControls)
      QVERIFY2(!Control<QWidget>(*w, control)->isEnabled(), control);
    ClickOption(*w, "optIFIAmp");
    QCOMPARE(equip.AmpType(), kAmpIfi);
    for (const char* control : ifiControls)
      QVERIFY2(Control<QWidget>(*w, control)->isEnabled(), control);

    ClickOption(*w, "chkIfiPwr");
    QVERIFY(equip.IfiMonitorPower());
    ClickOption(*w, "chkIfiAtten");
    QVERIFY(equip.Config().IfiAttenBetweenSteps);
    ClickOption(*w, "chkIfiPwr");
    ClickOption(*w, "chkIfiAtten");
    QVERIFY(!equip.IfiMonitorPower());
    QVERIFY(!equip.Config().IfiAttenBetweenSteps);
  }

  void closingChecksTheEntries_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("ifi");
    QTest::addColumn<bool>("meterless");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("address 30") << "txtSigGenAddr" << 0 << true << false << "30"
                                << "";
    QTest::newRow("address 31") << "txtSigGenAddr" << 0 << true << false << "31" << kOutOfRange;
    QTest::newRow("address -1") << "txtMeterAddr" << 0 << true << false << "-1" << kOutOfRange;
    QTest::newRow("address x1") << "txtPwrMtrAddr" << 0 << true << false << "x1" << kNotNumber;
    QTest::newRow("no meter file") << "txtMeterAddr" << 0 << true << true << "junk"
                                   << "";
    QTest::newRow("band 200") << "txtIfiBandSwitch" << 2 << true << false << "200"
                              << "";
    QTest::newRow("band 230") << "txtIfiBandSwitch" << 2 << true << false << "230"
                              << "";
    QTest::newRow("band 199.9") << "txtIfiBandSwitch" << 2 << true << false << "199.9"
                                << kOutOfRange;
    QTest::newRow("band 230.1") << "txtIfiBandSwitch" << 2 << true << false << "230.1"
                                << kOutOfRange;
    QTest::newRow("band MHz") << "txtIfiBandSwitch" << 2 << true << false << "MHz" << kNotNumber;
    QTest::newRow("generic amplifier") << "txtIfiBandSwitch" << 2 << false << false << "abc"
                                       << "";
  }
  void closingChecksTheEntries() {
    QFETCH(QString, box);
    QFETCH(int, tab);
    QFETCH(bool, ifi);
    QFETCH(bool, meterless);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Rig r;
    r.LoadBench();
    if (meterless) r.context.equip.SetMeterFile("");
    auto w = r.Open();
    ShowTab(*w, 2);
    ClickOption(*w, ifi ? "optIFIAmp" : "optGenericAmp");
    ShowTab(*w, tab);
    Type(*w, box.toUtf8().constData(), text);
    ShowTab(*w, tab == 0 ? 1 : 0);  // the check brings the box into view itself
    if (!message.isEmpty()) r.host.QueueAnswer(MsgAnswer::Retry);
    Click(*w, "cmdExit");

    auto* edit = Control<QLineEdit>(*w, box.toUtf8().constData());
    if (message.isEmpty()) {
      QVERIFY(r.host.Messages().empty());
      QVERIFY(!w->isVisible());
      return;
    }
    QCOMPARE(r.host.MessageTexts(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(r.host.Messages()[0].buttons, MsgButtons::RetryCancel);
    QVERIFY(w->isVisible());
    QCOMPARE(CurrentTab(*w), tab);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), text);
  }

  void acceptedEntriesReachTheConfigurationAndTheDrivers() {
    Rig r;
    r.LoadBench();
    auto w = r.Open();
    Type(*w, "txtSigGenAddr", "30");
    Type(*w, "txtPwrMtrAddr", "0");
    ShowTab(*w, 2);
    Type(*w, "txtIfiBandSwitch", "200");
    Click(*w, "cmdExit");
    QVERIFY(!w->isVisible());
    const Equip& equip = r.context.equip;
    QCOMPARE(equip.SigGenAddr(), std::int16_t{30});
    QCOMPARE(r.context.sigGen.SigGenAddress(), std::int16_t{30});
    QCOMPARE(r.context.pm.PmAddress(), std::int16_t{0});
    QCOMPARE(equip.AmpBandSwitchFreq(), 200.0);
    QCOMPARE(equip.Config().PmBandSwitchFreq, 200.0);
    QCOMPARE(r.context.pm.PmGetDefinition().BandSwitchFreq, 200.0);
  }

  void aRefusedCloseKeepsTheCallerHidden() {
    Rig r;
    r.LoadBench();
    QWidget caller;
    QPointer<frmEquipment> w = frmEquipment::OpenFrom(r.context, caller);
    QVERIFY(QTest::qWaitForWindowExposed(w.data()));
    QVERIFY(w->parentWidget() == nullptr);
    Type(*w, "txtSigGenAddr", "31");
    r.host.QueueAnswer(MsgAnswer::Cancel);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QVERIFY(!caller.isVisible());
    Type(*w, "txtSigGenAddr", "19");
    Click(*w, "cmdExit");
    QVERIFY(caller.isVisible());
    QTRY_VERIFY(w.isNull());  // discarded once closed
  }

  void selectingAnInstrumentTakesTheChosenDefinition() {
    Rig r;
    r.context.settings.SetEquipDir(r.dir.File("defs"));
    r.context.equip.SetSigGenAddr(7);
    auto w = r.Open();

    // Cancelled: the driver keeps the configured address and no file is named.
    r.host.QueueFile("");
    Click(*w, "cmdSigGen");
    QCOMPARE(r.context.sigGen.SigGenAddress(), std::int16_t{7});
    QVERIFY(r.context.equip.SigGenFile().empty());
    QCOMPARE(r.host.FileRequests().back().title,
             std::string("Select signal generator definition file"));
    QCOMPARE(r.host.FileRequests().back().startDir, r.dir.File("defs"));

    r.host.QueueFile(Bench("sim-siggen.sg"));
    Click(*w, "cmdSigGen");
    QCOMPARE(Tag(*w, "lblSigGen"), Q(Bench("sim-siggen.sg")));
    QCOMPARE(Control<QLabel>(*w, "lblSigGen")->toolTip(), QString(kSigGenName));
    QCOMPARE(Control<QLineEdit>(*w, "txtSigGenAddr")->text(), QString("19"));
    QCOMPARE(r.context.equip.SigGenFile(), Bench("sim-siggen.sg"));
    QCOMPARE(r.context.equip.SigGenAddr(), std::int16_t{19});

    // The menu does the same and shows the instruments.
    ShowTab(*w, 2);
    r.host.QueueFile(Bench("sim-analyser.mtr"));
    ChooseMenu(*w, "ISM");
    QCOMPARE(CurrentTab(*w), 0);
    QCOMPARE(r.host.FileRequests().back().startDir, r.dir.File("defs"));
    QCOMPARE(Control<QLabel>(*w, "lblMeter")->toolTip(), QString(kMeterName));
    QCOMPARE(r.context.equip.MeterFile(), Bench("sim-analyser.mtr"));
    r.host.QueueFile(Bench("sim-powermeter.pm"));
    ChooseMenu(*w, "ISP");
    QCOMPARE(Control<QLineEdit>(*w, "txtPwrMtrAddr")->text(), QString("13"));
    QVERIFY(r.host.Messages().empty());
  }

  void browseTakesOnlyFilesThatReadAsFactorTables_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("folder");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("file");
    using D = SettingsDirectory;
    QTest::newRow("cable") << "cmdCalCable"
                           << "lblCalCable" << int(D::Cables) << "Select cable loss file"
                           << "Cable Loss File (*.los)|*.los"
                           << "cable.los";
    QTest::newRow("forward") << "cmdFwdPort"
                             << "lblFwdPort" << int(D::Factors) << "Select coupling factor file"
                             << "Factor File (*.fac)|*.fac"
                             << "coupler-fwd.fac";
    QTest::newRow("reverse") << "cmdRevPort"
                             << "lblRevPort" << int(D::Factors) << "Select coupling factor file"
                             << "Factor File (*.fac)|*.fac"
                             << "coupler-rev.fac";
    QTest::newRow("amplifier") << "cmdMaxPower"
                               << "lblMaxPower" << int(D::Equip) << "Select Max Amp Power file"
                               << "Amp Power File (*.pwr)|*.pwr"
                               << "amplifier-max.pwr";
    QTest::newRow("probe") << "cmdProbe"
                           << "lblProbeFile" << int(D::Probes) << "Select Monitor Probe Factor file"
                           << "Probe File (*.prb)|*.prb"
                           << "monitor-probe.prb";
  }
  void browseTakesOnlyFilesThatReadAsFactorTables() {
    QFETCH(QString, button);
    QFETCH(QString, label);
    QFETCH(int, folder);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, file);
    Rig r;
    // Every kind of file in a folder of its own, so that a wrong start folder shows.
    for (auto kind : {SettingsDirectory::Cables, SettingsDirectory::Factors,
                      SettingsDirectory::Equip, SettingsDirectory::Probes}) {
      r.context.settings.SetDir(kind, r.dir.File("folder" + std::to_string(int(kind))));
    }
    auto w = r.Open();
    ShowTab(*w, 1);
    const QByteArray name = button.toUtf8();
    const QByteArray labelName = label.toUtf8();

    r.host.QueueFile(Bench(file.toStdString()));
    Click(*w, name.constData());
    const FileDialogRequest& request = r.host.FileRequests().back();
    QCOMPARE(Q(request.title), title);
    QCOMPARE(Q(request.filter), filter);
    QCOMPARE(request.filterIndex, 1);
    QVERIFY(!request.save);
    QCOMPARE(request.startDir, r.dir.File("folder" + std::to_string(folder)));
    QCOMPARE(Tag(*w, labelName.constData()), Q(Bench(file.toStdString())));

    // A file that does not read is reported and keeps the old choice; so does a cancel.
    r.host.QueueFile(DataFile("equipment/bad-data.prb"));
    Click(*w, name.constData());
    QCOMPARE(r.host.MessageTexts(), std::vector<std::string>{"Bad data in calibration file"});
    r.host.QueueFile("");
    Click(*w, name.constData());
    QCOMPARE(Tag(*w, labelName.constData()), Q(Bench(file.toStdString())));

    // Checking takes the label's path into the configuration.
    QVERIFY(w->ValidateAndApply());
    const EquipmentConfig& c = r.context.equip.Config();
    const std::string chosen = Bench(file.toStdString());
    QVERIFY(c.CableLossFile == chosen || c.FwdPortFile == chosen || c.RevPortFile == chosen ||
            c.MaxAmpPowerFile == chosen || c.ProbeFile == chosen);
  }

  void factorSelectMenuShowsTheFactorsTab() {
    Rig r;
    auto w = r.Open();
    r.host.QueueFile(Bench("monitor-probe.prb"));
    ChooseMenu(*w, "TSP");
    QCOMPARE(CurrentTab(*w), 1);
    QCOMPARE(r.context.equip.ProbeFile(), Bench("monitor-probe.prb"));
    QCOMPARE(Tag(*w, "lblProbeFile"), Q(Bench("monitor-probe.prb")));
  }

  void loadShowsTheFileAndSaveWritesItExactly() {
    Rig r;
    auto w = r.Open();
    r.host.QueueFile(Bench("bench.eqp"));
    ChooseMenu(*w, "FL");
    const FileDialogRequest& load = r.host.FileRequests().back();
    QCOMPARE(load.title, std::string("Select equipment file"));
    QCOMPARE(load.filter, std::string(kEquipFilter));
    QCOMPARE(load.startDir, r.context.settings.GetEquipDir());
    QCOMPARE(w->windowTitle(), "Equipment File: " + Q(Bench("bench.eqp")) + " (simulated bench)");
    QCOMPARE(Control<QAction>(*w, "mnuFileSave")->text(), "&Save " + Q(Bench("bench.eqp")));
    QCOMPARE(Control<QLabel>(*w, "lblSigGen")->toolTip(), QString(kSigGenName));
    QCOMPARE(Control<QLineEdit>(*w, "txtMeterAddr")->text(), QString("18"));

    const std::string copy = r.dir.File("copy.eqp");
    r.host.QueueFile(copy);
    ChooseMenu(*w, "FA");
    QVERIFY(r.host.FileRequests().back().save);
    QCOMPARE(QString::fromStdString(ReadFileBytes(copy)),
             QString::fromStdString(BenchWritten(" 19 ", " 1 ")));
    QCOMPARE(w->FilePath(), copy);

    // Changes go to the file the window names now.
    Type(*w, "txtSigGenAddr", "7");
    ClickOption(*w, "optDualSplit");
    const std::size_t asked = r.host.FileRequests().size();
    ChooseMenu(*w, "FS");
    QCOMPARE(r.host.FileRequests().size(), asked);
    QCOMPARE(QString::fromStdString(ReadFileBytes(copy)),
             QString::fromStdString(BenchWritten(" 7 ", " 2 ")));

    // A cancelled Save As keeps the file; a cancelled Load forgets it but keeps the record.
    r.host.QueueFile("");
    ChooseMenu(*w, "FA");
    QCOMPARE(w->FilePath(), copy);
    r.host.QueueFile("");
    ChooseMenu(*w, "FL");
    QCOMPARE(w->windowTitle(), QString("Equipment File:  (simulated bench)"));
    QCOMPARE(Control<QAction>(*w, "mnuFileSave")->text(), QString("&Save "));
    QCOMPARE(r.context.equip.SigGenAddr(), std::int16_t{7});
    // With no file named, Save asks for one.
    const std::string third = r.dir.File("third.eqp");
    r.host.QueueFile(third);
    ChooseMenu(*w, "FS");
    QVERIFY(r.host.FileRequests().back().save);
    QCOMPARE(ReadFileBytes(third), ReadFileBytes(copy));
    QVERIFY(r.host.Messages().empty());
  }

  void aFileThatFailsPartWayIsShownAsFarAsItWasRead() {
    Rig r;
    r.LoadBench();
    auto w = r.Open();
    const std::string bad = DataFile("equipment/bad-address.eqp");
    r.host.QueueFile(bad);
    ChooseMenu(*w, "FL");
    const std::string sigGen = DataFile("equipment/a.sg");
    const std::string meter = DataFile("equipment/b.mtr");
    QCOMPARE(r.host.MessageTexts(),
             (std::vector<std::string>{"Error # 13\rType mismatch\rEquip.LoadDef\r" + bad,
                                       "Error # 53\rFile not found\rSigGen.LoadFile\r" + sigGen,
                                       "Error # 53\rFile not found\rMeter.LoadFile\r" + meter}));
    QCOMPARE(Tag(*w, "lblSigGen"), Q(sigGen));
    QCOMPARE(Tag(*w, "lblMeter"), Q(meter));
    // What the file did not reach stays as it was.
    QCOMPARE(Tag(*w, "lblPwrMtr"), Q(Bench("sim-powermeter.pm")));
    QCOMPARE(w->windowTitle(), "Equipment File: " + Q(bad) + " (simulated bench)");
  }

  void saveIsRefusedWhileAnEntryIsWrong() {
    Rig r;
    r.LoadBench();
    auto w = r.Open();
    ShowTab(*w, 1);
    Type(*w, "txtSigGenAddr", "31");
    r.host.QueueAnswer(MsgAnswer::Retry);
    ChooseMenu(*w, "FS");
    QCOMPARE(r.host.MessageTexts(), std::vector<std::string>{kOutOfRange});
    QVERIFY(r.host.FileRequests().empty());
    QCOMPARE(CurrentTab(*w), 0);
    // Saved after the correction; the tab the operator was on stays.
    Type(*w, "txtSigGenAddr", "19");
    ShowTab(*w, 1);
    r.host.QueueFile(r.dir.File("x.eqp"));
    ChooseMenu(*w, "FA");
    QVERIFY(fs::exists(r.dir.File("x.eqp")));
    QCOMPARE(CurrentTab(*w), 1);
  }

  void optionsMenuStoresFoldersAndTheDefaultFile_data() {
    QTest::addColumn<QString>("letter");
    QTest::addColumn<int>("folder");
    using D = SettingsDirectory;
    QTest::newRow("equipment") << "E" << int(D::Equip);
    QTest::newRow("calibrations") << "C" << int(D::Calibrations);
    QTest::newRow("test setups") << "T" << int(D::TestSetups);
    QTest::newRow("test results") << "R" << int(D::TestResults);
    QTest::newRow("cables") << "B" << int(D::Cables);
    QTest::newRow("couplers") << "P" << int(D::Factors);
    QTest::newRow("probes") << "O" << int(D::Probes);
    QTest::newRow("lists") << "L" << int(D::FreqList);
    QTest::newRow("insertion loss") << "I" << int(D::InsertionLoss);
  }
  void optionsMenuStoresFoldersAndTheDefaultFile() {
    QFETCH(QString, letter);
    QFETCH(int, folder);
    Rig r;
    auto w = r.Open();
    const auto which = static_cast<SettingsDirectory>(folder);
    r.host.QueueDirectory(r.dir.File("chosen"));
    ChooseMenu(*w, "FO" + letter);
    QCOMPARE(r.context.settings.GetDir(which), r.dir.File("chosen"));
    for (int other = 0; other <= int(SettingsDirectory::InsertionLoss); ++other) {
      if (other == folder) continue;
      QCOMPARE(r.context.settings.GetDir(static_cast<SettingsDirectory>(other)),
               r.dir.Path().string());
    }
    r.host.QueueFile(Bench("bench.eqp"));
    ChooseMenu(*w, "FOD");
    QCOMPARE(r.context.settings.GetDefaultEquipFile(), Bench("bench.eqp"));
  }

  void desktopShortcutStartsTheProgramWithTheChosenFiles() {
    Rig r;
    auto w = r.Open();
    w->SetDesktopFolder(r.dir.File("desk"));
    r.host.QueueFile(Bench("bench.eqp"));
    r.host.QueueFile("");
    r.host.QueueInput(std::string("Bench"));
    ChooseMenu(*w, "FC");
    const std::string text = ReadFileBytes(r.dir.File("desk/Bench.desktop"));
    QVERIFY(text.find("Exec=") != std::string::npos);
    QVERIFY(text.find(r.context.paths.ProgramPath()) != std::string::npos);
    QVERIFY(text.find("/e:" + Bench("bench.eqp")) != std::string::npos);
    QVERIFY(text.find("/t:") == std::string::npos);
  }

  void defineOpensTheDefinitionWindowsModally() {
    Rig r;
    r.LoadBench();
    r.context.settings.SetEquipDir(r.dir.File("defs"));
    auto w = r.Open();
    // The signal generator window loads another definition: the configuration follows.
    const std::string copy = r.dir.File("copy.sg");
    WriteFileBytes(copy, ReadFileBytes(Bench("sim-siggen.sg")));
    bool sawSigGen = false;
    OnNextModal([&](QWidget* modal) {
      auto* sigGen = qobject_cast<frmSigGen*>(modal);
      QVERIFY(sigGen != nullptr);
      QCOMPARE(sigGen->StartDir(), r.dir.File("defs"));
      r.host.QueueFile(copy);
      QVERIFY(sigGen->Load());
      sawSigGen = true;
    });
    ChooseMenu(*w, "IDS");
    QVERIFY(sawSigGen);
    QCOMPARE(Tag(*w, "lblSigGen"), Q(copy));
    QCOMPARE(r.context.equip.SigGenFile(), copy);

    // The meter window is a main window, shown modally all the same; nothing changes.
    bool sawMeter = false;
    OnNextModal([&](QWidget* modal) {
      QVERIFY(qobject_cast<frmMeter*>(modal) != nullptr);
      QVERIFY(modal->isModal());
      sawMeter = true;
    });
    ChooseMenu(*w, "IDM");
    QVERIFY(sawMeter);
    QCOMPARE(Tag(*w, "lblMeter"), Q(Bench("sim-analyser.mtr")));
    QVERIFY(r.host.Messages().empty());
  }

  void factorEditorsOpenWithTheirFileKind_data() {
    QTest::addColumn<QString>("letter");
    QTest::addColumn<int>("filterIndex");
    // The editor's filter: *.pwr, *.los, *.fac, *.lev, *.prb, *.txt, *.*.
    QTest::newRow("cable loss") << "C" << 2;
    QTest::newRow("test level") << "L" << 4;
    QTest::newRow("factor files") << "F" << 3;
  }
  void factorEditorsOpenWithTheirFileKind() {
    QFETCH(QString, letter);
    QFETCH(int, filterIndex);
    Rig r;
    r.context.settings.SetFactorsDir(r.dir.File("factors"));
    QPointer<QWidget> editor;
    {
      auto w = r.Open();
      ChooseMenu(*w, "T" + letter);
      editor = TopLevel<frmEditFactor>();
      QVERIFY(editor != nullptr);
      QVERIFY(editor->isVisible());
      Click(*w, "cmdExit");
    }
    // The editor outlives the configuration window.
    QVERIFY(editor != nullptr && editor->isVisible());
    r.host.QueueFile("");
    Control<QAction>(*editor, "mnuFileLoad")->trigger();
    QCOMPARE(r.host.FileRequests().back().filterIndex, filterIndex);
    QCOMPARE(r.host.FileRequests().back().startDir, r.dir.File("factors"));
    editor->close();
    QTRY_VERIFY(editor.isNull());
  }

  void interpIsStartedFromTheProgramFolder() {
    Rig r;
    auto w = r.Open();
    ChooseInterp(*w);
    QCOMPARE(r.host.MessageTexts(), std::vector<std::string>{"Error running Interp.exe"});

    const std::string program = r.dir.File("interp");
    WriteFileBytes(program, "#!/bin/sh\necho started > \"$PWD/interp-ran\"\n");
    fs::permissions(program, fs::perms::owner_all);
    r.host.ClearMessages();
    ChooseInterp(*w);
    QVERIFY(r.host.Messages().empty());
    // It runs in the program folder, on its own.
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(r.dir.File("interp-ran")), 10000);
  }

  void helpShowsTheSectionOfTheWindow() {
    Rig r;
    auto w = r.Open();
    for (int tab = 0; tab < 3; ++tab) {
      ShowTab(*w, tab);
      QTest::keyClick(w.get(), Qt::Key_F1);
      QPointer<frmHelp> help = TopLevel<frmHelp>();
      QVERIFY(help != nullptr);
      QVERIFY(help->CurrentSection() >= 0);
      QCOMPARE(help->Index().Sections()[std::size_t(help->CurrentSection())].fileName,
               std::string("25-equipment-configuration.md"));
      help->close();
      QTRY_VERIFY(help.isNull());
      w->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    bool sawAbout = false;
    OnNextModal([&sawAbout](QWidget* modal) {
      QVERIFY(qobject_cast<frmAbout*>(modal) != nullptr);
      QCOMPARE(modal->windowTitle(), QString("About Brimtal"));
      sawAbout = true;
    });
    ChooseMenu(*w, "HA");
    QVERIFY(sawAbout);
  }

  void theExampleBenchIsAppliedAtStartUpAndShownFromTheMainMenu() {
    Rig r;
    // Addresses other than the definitions' own show that the configuration was applied.
    const std::string eqp = r.dir.File("moved.eqp");
    std::string bytes = BenchWritten(" 7 ", " 1 ");
    bytes.replace(bytes.find(" 18 "), 4, " 8 ");
    WriteFileBytes(eqp, bytes);
    for (const std::string& file : {eqp, Bench("bench.eqp")}) {
      TopMenu menu(r.context);
      LockFileInstanceGuard guard("brimtal", r.dir.File("run"));
      Startup startup(r.host, r.context.settings, r.context.log, guard, r.context.paths);
      WireEquipment(r.context, startup.hooks, menu);
      startup.Run(menu, {"/e:" + file});
      QVERIFY(r.host.Messages().empty());
      QCOMPARE(r.context.sigGen.SigGenName(), std::string(kSigGenName));
      QCOMPARE(r.context.meter.MeterName(), std::string(kMeterName));
      QCOMPARE(r.context.pm.PmName(), std::string(kPmName));
      const bool moved = file == eqp;
      QCOMPARE(r.context.sigGen.SigGenAddress(), std::int16_t(moved ? 7 : 19));
      QCOMPARE(r.context.meter.MeterAddress(), std::int16_t(moved ? 8 : 18));
      QCOMPARE(r.context.pm.PmAddress(), std::int16_t{13});
      QCOMPARE(r.context.pm.PmGetDefinition().BandSwitchFreq, 220.0);
      QVERIFY(TopLevel<frmEquipment>() == nullptr);  // nothing left over from the start-up

      menu.show();
      QVERIFY(QTest::qWaitForWindowExposed(&menu));
      Click(menu, "cmdConfigSys");
      QPointer<frmEquipment> w = TopLevel<frmEquipment>();
      QVERIFY(w != nullptr);
      QVERIFY(QTest::qWaitForWindowExposed(w.data()));
      QVERIFY(w->parentWidget() == nullptr);
      QVERIFY(!menu.isVisible());
      const std::pair<const char*, const char*> shown[] = {
          {"lblSigGen", kSigGenName}, {"lblMeter", kMeterName}, {"lblPwrMtr", kPmName}};
      for (const auto& [label, name] : shown) {
        QCOMPARE(Control<QLabel>(*w, label)->toolTip(), QString(name));
        QVERIFY(!Control<QLabel>(*w, label)->text().isEmpty());
      }
      QCOMPARE(Control<QLineEdit>(*w, "txtSigGenAddr")->text(), moved ? QString("7") : "19");
      Click(*w, "cmdExit");
      QVERIFY(menu.isVisible());
      QTRY_VERIFY(w.isNull());
    }
  }

  void aWrongAddressInTheFileIsToldAtStartUpWhichGoesOn() {
    Rig r;
    const std::string eqp = r.dir.File("wrong.eqp");
    WriteFileBytes(eqp, BenchWritten(" 31 ", " 1 "));
    TopMenu menu(r.context);
    LockFileInstanceGuard guard("brimtal", r.dir.File("run"));
    Startup startup(r.host, r.context.settings, r.context.log, guard, r.context.paths);
    WireEquipment(r.context, startup.hooks, menu);
    r.host.QueueAnswer(MsgAnswer::Retry);
    const StartupOutcome outcome = startup.Run(menu, {"/e:" + eqp});
    QVERIFY(!outcome.endProgram && !outcome.commandLineError);
    QCOMPARE(r.host.MessageTexts(), std::vector<std::string>{kOutOfRange});
    // The definitions are loaded all the same; the refused address did not reach the driver.
    QCOMPARE(r.context.sigGen.SigGenName(), std::string(kSigGenName));
    QCOMPARE(r.context.sigGen.SigGenAddress(), std::int16_t{19});
    QVERIFY(TopLevel<frmEquipment>() == nullptr);
  }

  void theWindowIsLaidOutSoNothingIsCutOff() {
    Rig r;
    r.LoadBench();
    auto w = r.Open();
    const QByteArray folder = qgetenv("BRIMTAL_SCREENSHOT_DIR");
    const char* tabNames[] = {"instruments", "factors", "amplifier"};
    for (int tab = 0; tab < 3; ++tab) {
      ShowTab(*w, tab);
      if (!folder.isEmpty()) {
        QVERIFY(
            w->grab().save(QString::fromUtf8(folder) + "/frmEquipment-" + tabNames[tab] + ".png"));
      }
      for (QAbstractButton* button : w->findChildren<QAbstractButton*>()) {
        if (!button->isVisible()) continue;
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->objectName()));
      }
      // A path of a usual length fits in full.
      const QString usualPath("/home/operator/emc-lab/equipment/bench-2/sim-powermeter.pm");
      for (QLabel* label : w->findChildren<QLabel*>()) {
        if (!label->isVisible() || !label->property("tag").isValid()) continue;
        QVERIFY2(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(usualPath),
                 qPrintable(label->objectName()));
      }
    }
  }
};

}  // namespace brimtal

QTEST_MAIN(brimtal::frmEquipmentTest)
#include "frmEquipmentTest.moc"
