// The shared windows: About box, system information, help viewer and the window routines.
#include <sys/resource.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <filesystem>

#include "shell/BDelay.h"
#include "shell/BmGlobals.h"
#include "shell/Brimtal.h"
#include "shell/Clock.h"
#include "shell/QtHost.h"
#include "shell/ScriptedHost.h"
#include "shell/Startup.h"
#include "shell/TopMenu.h"
#include "shell/frmAbout.h"
#include "shell/frmHelp.h"
#include "shell/frmPickDir.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/UiGlobals.h"
#include "support/TestFiles.h"

namespace brimtal {

namespace {

template <typename T>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("control %s not found", name);
  return child;
}

// Runs the check on the first modal dialog that opens, then closes it.
void OnNextModal(std::function<void(QWidget*)> check) {
  QTimer::singleShot(0, [check = std::move(check)] {
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY(modal != nullptr);
    check(modal);
    modal->close();
  });
}

SystemInfoSources NoSystemInfo() {
  SystemInfoSources sources;
  sources.osReleasePath = sources.cpuInfoPath = sources.memInfoPath = "/nonexistent/x";
  sources.kernel = [] { return std::optional<KernelInfo>{}; };
  return sources;
}

}  // namespace

class ShellWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void aboutShowsTitleVersionAndPicture() {
    ScriptedHost host;
    frmAbout about({"Brimtal", "Brimtal RF Immunity", "Conducted RF immunity testing", "5.8", {}},
                   host);
    about.show();
    QCOMPARE(about.windowTitle(), QString("About Brimtal"));
    QCOMPARE(Child<QLabel>(&about, "lblTitle")->text(), QString("Brimtal RF Immunity"));
    QCOMPARE(Child<QLabel>(&about, "lblVersion")->text(), QString("Version 1.1.0"));
    QCOMPARE(Child<QLabel>(&about, "lblScriptVersion")->text(),
             QString("Script Engine Version 5.8"));
    QVERIFY(Child<QLabel>(&about, "lblScriptVersion")->isVisible());
    QVERIFY(!Child<QLabel>(&about, "picIcon")->pixmap().isNull());
    QCOMPARE(Child<QPushButton>(&about, "cmdSysInfo")->text(), QString("&System Info..."));
    QTest::keyClick(&about, Qt::Key_Return);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
  }

  void aboutHidesEmptyScriptVersionAndDescription() {
    ScriptedHost host;
    QPixmap own(20, 20);
    own.fill(Qt::red);
    frmAbout about({"Interp", "Interp", "", "", own}, host);
    about.show();
    QCOMPARE(about.windowTitle(), QString("About Interp"));
    QVERIFY(!Child<QLabel>(&about, "lblScriptVersion")->isVisible());
    QVERIFY(!Child<QLabel>(&about, "lblDescription")->isVisible());
    const QImage shown = Child<QLabel>(&about, "picIcon")->pixmap().toImage();
    QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
  }

  void systemInfoUnavailableIsSaid() {
    ScriptedHost host;
    frmAbout about({"Brimtal", "Brimtal RF Immunity", "", "", {}}, host);
    about.SetSystemInfoSources(NoSystemInfo());
    about.show();
    QTest::mouseClick(Child<QPushButton>(&about, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(host.MessageTexts(),
             std::vector<std::string>{"System Information Is Unavailable At This Time"});
    QCOMPARE(host.Messages()[0].title, std::string("Brimtal"));
  }

  void systemInfoListsThePlatform() {
    ScriptedHost host;
    frmAbout about({"Brimtal", "Brimtal RF Immunity", "", "", {}}, host);
    SystemInfoSources sources = NoSystemInfo();
    sources.osReleasePath = test::DataFile("shell/sysinfo/os-release");
    sources.memInfoPath = test::DataFile("shell/sysinfo/meminfo");
    about.SetSystemInfoSources(sources);
    about.show();
    QStringList rows;
    OnNextModal([&rows](QWidget* dialog) {
      auto* grid = Child<QTableWidget>(dialog, "grdInfo");
      for (int r = 0; r < grid->rowCount(); ++r) {
        rows << grid->item(r, 0)->text() + "=" + grid->item(r, 1)->text();
      }
    });
    QTest::mouseClick(Child<QPushButton>(&about, "cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(rows,
             QStringList({"Operating system=Debian GNU/Linux 12 (bookworm)", "Total memory=15.5 GB",
                          "Available memory=7.8 GB", QString("Qt version=") + qVersion()}));
    QVERIFY(host.Messages().empty());
  }

  void fitPathToLabelShortensInTwoSteps() {
    QLabel label;
    label.setFixedWidth(label.fontMetrics().horizontalAdvance("/home/.../x.eqp") + 4);
    const QString fits = "/a/x.eqp";
    const QString deep = "/home/lab/equipment/x.eqp";
    const QString longName = "/home/lab/equipment/a-very-long-equipment-file-name.eqp";
    const struct {
      QString path, shown, tip;
    } cases[] = {
        {fits, fits, ""},
        {deep, "/.../x.eqp", deep},
        {longName, "a-very-long-equipment-file-name.eqp", longName},
        {"", "", ""},
    };
    for (const auto& c : cases) {
      FitPathToLabel(c.path, &label);
      QCOMPARE(label.text(), c.shown);
      QCOMPARE(label.toolTip(), c.tip);
      QCOMPARE(LabelTag(&label), c.path);
    }
  }

  void warningsAskOnlyForAVisibleBox() {
    ScriptedHost host;
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* box = new QLineEdit("12x", &window);
    QVBoxLayout layout(&window);
    layout.addWidget(other);
    layout.addWidget(box);
    QCOMPARE(WarnNotNumber(box, host), kWarnNotShown);
    QVERIFY(host.Messages().empty());

    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();
    host.QueueAnswer(MsgAnswer::Retry);
    QCOMPARE(WarnNotNumber(box, host), kWarnRetry);
    host.QueueAnswer(MsgAnswer::Cancel);
    QCOMPARE(WarnOutOfRange(box, host), kWarnCancel);
    QCOMPARE(host.MessageTexts(),
             (std::vector<std::string>{"Value not a number, re-enter",
                                       "Number outside valid range, re-enter"}));
    QCOMPARE(host.Messages()[0].buttons, MsgButtons::RetryCancel);
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectedText(), QString("12x"));
  }

  void placeWindowMovesOrCentres() {
    QWidget window;
    window.resize(200, 100);
    window.show();
    const QRect area = window.screen()->availableGeometry();
    const QPoint start = window.pos();
    PlaceWindow("", &window);
    QCOMPARE(window.pos(), start);
    PlaceWindow(std::to_string(area.x() + 10) + "," + std::to_string(area.y() + 20), &window);
    QCOMPARE(window.pos(), QPoint(area.x() + 10, area.y() + 20));
    QCOMPARE(WindowPositionText(&window),
             std::to_string(area.x() + 10) + "," + std::to_string(area.y() + 20));
    PlaceWindow("-5000,10", &window);
    const QSize size = window.frameGeometry().size();
    QCOMPARE(window.pos(), QPoint(area.x() + (area.width() - size.width()) / 2,
                                  area.y() + (area.height() - size.height()) / 2));
  }

  void pickDirStartsInItsFolderAndReturnsTheHighlightedOne() {
    test::TempDir dir;
    namespace fs = std::filesystem;
    for (const char* sub : {"bench/cables", "bench/probes", "other"}) {
      fs::create_directories(dir.Path() / sub);
    }
    const QString root = QString::fromStdString(fs::canonical(dir.Path()).string());
    frmPickDir picker(nullptr, {{"/ (File System)", "/"}, {"Lab", root.toStdString()}});
    QCOMPARE(picker.windowTitle(), QString("Select Directory"));
    picker.setProperty("StartDir", root + "/bench");
    picker.show();
    auto* list = Child<QListWidget>(&picker, "Dir1");
    auto* path = Child<QLabel>(&picker, "lblPath");
    auto* drives = Child<QComboBox>(&picker, "Drive1");
    QCOMPARE(picker.CurrentPath(), root + "/bench");
    QCOMPARE(drives->currentIndex(), 1);
    QCOMPARE(LabelTag(path), root + "/bench");
    QCOMPARE(list->item(list->count() - 1)->text().trimmed(), QString("probes"));

    // A folder that does not exist leaves the lists as they were.
    picker.SetStartDir(root + "/missing");
    QCOMPARE(picker.CurrentPath(), root + "/bench");

    // Double-click opens a folder; the path label follows.
    QListWidgetItem* cables = list->findItems("cables", Qt::MatchEndsWith).value(0);
    QVERIFY(cables != nullptr);
    // A real double click: a click, then the double click on the same place.
    const QPoint place = list->visualItemRect(cables).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place);
    QCOMPARE(picker.CurrentPath(), root + "/bench/cables");
    QCOMPARE(LabelTag(path), root + "/bench/cables");

    // Enter in the list opens the highlighted folder without closing the window.
    list->setCurrentRow(list->count() - 2);  // "bench", the parent
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.CurrentPath(), root + "/bench");

    // A single click only highlights; OK returns the highlighted folder.
    QListWidgetItem* probes = list->findItems("probes", Qt::MatchEndsWith).value(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(probes).center());
    QCOMPARE(picker.CurrentPath(), root + "/bench");
    QTest::mouseClick(Child<QPushButton>(&picker, "OKButton"), Qt::LeftButton);
    QCOMPARE(picker.Result(), root + "/bench/probes");
    QVERIFY(!picker.isVisible());
  }

  void pickDirCancelOrCloseReturnsNothing() {
    test::TempDir dir;
    const QString root = QString::fromStdString(std::filesystem::canonical(dir.Path()).string());
    for (int way = 0; way < 3; ++way) {
      frmPickDir picker(nullptr, {{"/ (File System)", "/"}});
      picker.SetStartDir(root);
      picker.show();
      if (way == 0) QTest::mouseClick(Child<QPushButton>(&picker, "CancelButton"), Qt::LeftButton);
      if (way == 1) QTest::keyClick(&picker, Qt::Key_Escape);
      if (way == 2) picker.close();
      QVERIFY(!picker.isVisible());
      QCOMPARE(picker.Result(), QString());
    }
  }

  void pickDirDriveListMovesToThePlace() {
    test::TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.Path() / "media/usb/results");
    fs::create_directories(dir.Path() / "home/lab");
    const std::string root = fs::canonical(dir.Path()).string();
    frmPickDir picker(
        nullptr,
        {{"/ (File System)", "/"}, {"Home", root + "/home/lab"}, {"USB", root + "/media/usb"}});
    picker.SetStartDir(QString::fromStdString(root + "/home/lab"));
    picker.show();
    auto* drives = Child<QComboBox>(&picker, "Drive1");
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_Down);  // to "USB": its top folder
    QCOMPARE(picker.CurrentPath(), QString::fromStdString(root + "/media/usb"));
    picker.SetStartDir(QString::fromStdString(root + "/media/usb/results"));
    QTest::keyClick(drives, Qt::Key_Up);  // back home, where the list was
    QCOMPARE(picker.CurrentPath(), QString::fromStdString(root + "/home/lab"));
    QTest::keyClick(drives, Qt::Key_Down);  // the USB stick's last folder
    QCOMPARE(picker.CurrentPath(), QString::fromStdString(root + "/media/usb/results"));
  }

  void qtHostPicksDirectoriesWithThePicker() {
    test::TempDir dir;
    const QString root = QString::fromStdString(std::filesystem::canonical(dir.Path()).string());
    QtHost host("Brimtal");
    QString title;
    OnNextModal([&title](QWidget* dialog) {
      title = dialog->windowTitle();
      QVERIFY(qobject_cast<frmPickDir*>(dialog) != nullptr);
      QTest::mouseClick(Child<QPushButton>(dialog, "OKButton"), Qt::LeftButton);
    });
    QCOMPARE(host.PickDirectory("Select Directory", root.toStdString()), root.toStdString());
    QCOMPARE(title, QString("Select Directory"));
  }

  void topMenuShowsItsButtonsAndTheStartUpTexts() {
    test::TempDir dir;
    VirtualClock clock;
    ScriptedHost host(&clock);
    FixedWallClock wall;
    Brimtal context(host, clock, wall, ProgramPaths{dir.Path().string(), "brimtal", dir.File("c")});
    TopMenu menu(context);
    LockFileInstanceGuard guard("brimtal", dir.File("run"));
    Startup startup(host, context.settings, context.log, guard, context.paths);
    startup.Run(menu, {});
    menu.show();
    // Nothing configured: the simulated bench, and the title and status line say so.
    QCOMPARE(menu.windowTitle(), QString("Brimtal 1.1 (simulated bench)"));
    QVERIFY(Child<QLabel>(&menu, "lblBus")->text().startsWith("Instruments: simulated bench"));
    QCOMPARE(Child<QLabel>(&menu, "Label1")->text(), QString("Brimtal 1.1\nConducted RF Immunity"));
    QCOMPARE(Child<QLabel>(&menu, "Label2")->text(), QString("Conducted Immunity"));
    QVERIFY(!Child<QLabel>(&menu, "Image1")->pixmap().isNull());
    const struct {
      const char* name;
      const char* caption;
      const char* tip;
    } buttons[] = {
        {"cmdConfigSys", "Configure &System", "System setup and utilities"},
        {"cmdCalibration", "Conducted Immunity &Calibration",
         "Calibrate a conducted immunity test setup"},
        {"cmdRunTest", "&Run Conducted Immunity Test",
         "Expose a product to conducted RF disturbances"},
        {"cmdExit", "E&xit", ""},
    };
    for (const auto& b : buttons) {
      auto* button = Child<QPushButton>(&menu, b.name);
      QCOMPARE(button->text(), QString(b.caption));
      QCOMPARE(button->toolTip(), QString(b.tip));
      // Activities are enabled once their windows are wired; Exit always works.
      QCOMPARE(button->isEnabled(), QString(b.name) == "cmdExit");
    }
  }

  void topMenuOpensAnActivityAndHides() {
    test::TempDir dir;
    VirtualClock clock;
    ScriptedHost host(&clock);
    FixedWallClock wall;
    Brimtal context(host, clock, wall, ProgramPaths{dir.Path().string(), "brimtal", dir.File("c")});
    TopMenu menu(context);
    menu.show();
    QWidget activity;
    TopMenu* caller = nullptr;
    menu.SetActivity(TopMenu::Activity::RunTest, [&](TopMenu& callingForm) {
      caller = &callingForm;
      activity.show();
      return &activity;
    });
    auto* runTest = Child<QPushButton>(&menu, "cmdRunTest");
    QVERIFY(runTest->isEnabled());
    QVERIFY(!Child<QPushButton>(&menu, "cmdCalibration")->isEnabled());
    QTest::mouseClick(runTest, Qt::LeftButton);
    QCOMPARE(caller, &menu);
    QVERIFY(activity.isVisible());
    QVERIFY(!menu.isVisible());

    // The window closes and shows its caller again; a window that fails to open keeps the menu.
    activity.close();
    caller->show();
    menu.SetActivity(TopMenu::Activity::Calibration, [](TopMenu&) { return nullptr; });
    QVERIFY(!menu.OpenActivity(TopMenu::Activity::Calibration));
    QVERIFY(menu.isVisible());
  }

  void topMenuExitEndsTheProgram() {
    test::TempDir dir;
    VirtualClock clock;
    ScriptedHost host(&clock);
    FixedWallClock wall;
    Brimtal context(host, clock, wall, ProgramPaths{dir.Path().string(), "brimtal", dir.File("c")});
    TopMenu menu(context);
    menu.show();
    QSignalSpy closing(&menu, &TopMenu::Closing);
    QTest::mouseClick(Child<QPushButton>(&menu, "cmdExit"), Qt::LeftButton);
    QCOMPARE(closing.count(), 1);
    QVERIFY(!menu.isVisible());
    menu.show();  // the close box does the same
    QVERIFY(menu.close());
    QCOMPARE(closing.count(), 2);
  }

  void waitsWithTheRealHostCostLittleProcessorTime() {
    QWidget window;
    window.show();
    QtHost host("Brimtal");
    SystemClock clock;
    bool halt = false;
    BDelay delay(host, clock, halt);
    auto cpuSeconds = [] {
      rusage usage{};
      getrusage(RUSAGE_SELF, &usage);
      return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
             usage.ru_stime.tv_usec / 1e6;
    };
    const double before = cpuSeconds();
    const qint64 start = clock.TickMs();
    QVERIFY(delay.PlainWait(1.0, true));
    const qint64 elapsed = clock.TickMs() - start;
    QVERIFY(elapsed >= 1000);
    // The wait sleeps in the event loop; measured at about 0.3 % of one core.
    QVERIFY2(cpuSeconds() - before < 0.05 * elapsed / 1000.0, "the wait spins");
  }

  void helpJumpsToKeywordsAndFollowsLinks() {
    frmHelp help(Manual::Brimtal, QString::fromStdString(test::DataFile("shell/manual")));
    help.show();
    auto* contents = Child<QListWidget>(&help, "lstContents");
    QCOMPARE(contents->count(), 4);
    help.ShowKeyword("cmdExit");
    QCOMPARE(help.CurrentSection(), 1);
    QCOMPARE(contents->currentRow(), 1);
    auto* page = Child<QTextBrowser>(&help, "txtPage");
    QVERIFY(page->toPlainText().contains("The main menu offers three activities."));

    help.ShowKeyword("introduction");
    emit page->anchorClicked(QUrl("02-main-menu.md"));
    QCOMPARE(help.CurrentSection(), 1);
    QTest::mouseClick(Child<QPushButton>(&help, "cmdBack"), Qt::LeftButton);
    QCOMPARE(help.CurrentSection(), 0);
    QTest::mouseClick(Child<QPushButton>(&help, "cmdForward"), Qt::LeftButton);
    QCOMPARE(help.CurrentSection(), 1);
    QVERIFY(!Child<QPushButton>(&help, "cmdForward")->isEnabled());
  }

  void helpIndexSearchesAsYouType() {
    frmHelp help(Manual::Brimtal, QString::fromStdString(test::DataFile("shell/manual")));
    help.show();
    help.ShowSearch();
    auto* tabs = Child<QTabWidget>(&help, "tabNav");
    QCOMPARE(tabs->currentWidget()->objectName(), QString("tabIndex"));
    auto* search = Child<QLineEdit>(&help, "txtSearch");
    auto* index = Child<QListWidget>(&help, "lstIndex");
    QCOMPARE(index->count(), 9);
    QTest::keyClicks(search, "ini");
    QCOMPARE(index->count(), 1);
    QCOMPARE(index->item(0)->text(), QString("Brimtal.ini"));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(help.CurrentSection(), 2);

    // No keyword matches: the sections mentioning the words are offered instead.
    search->clear();
    QTest::keyClicks(search, "three activities");
    QCOMPARE(index->count(), 2);
    QVERIFY(!(index->item(0)->flags() & Qt::ItemIsSelectable));
    index->setCurrentRow(1);
    QCOMPARE(help.CurrentSection(), 1);
  }

  void unknownKeywordOpensTheIndexWithIt() {
    frmHelp help(Manual::Brimtal, QString::fromStdString(test::DataFile("shell/manual")));
    help.show();
    help.ShowKeyword("frmNoSuchWindow");
    QCOMPARE(Child<QTabWidget>(&help, "tabNav")->currentWidget()->objectName(),
             QString("tabIndex"));
    QCOMPARE(Child<QLineEdit>(&help, "txtSearch")->text(), QString("frmNoSuchWindow"));
    QVERIFY(Child<QTextBrowser>(&help, "txtPage")->toPlainText().contains("frmNoSuchWindow"));
  }

  void missingManualIsSaidInTheWindow() {
    test::TempDir dir;
    frmHelp help(Manual::Interp, QString::fromStdString(dir.File("none")));
    QCOMPARE(help.windowTitle(), QString("Interp Help"));
    QVERIFY(Child<QTextBrowser>(&help, "txtPage")->toPlainText().contains("manual is missing"));
    help.ShowKeyword("anything");
    QCOMPARE(help.CurrentSection(), -1);
  }

  void showHelpKeyReusesOneWindowPerManual() {
    ShowHelpKey(Manual::Brimtal, "TopMenu");
    ShowHelpTab(Manual::Brimtal);
    QList<frmHelp*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* help = qobject_cast<frmHelp*>(w)) windows << help;
    }
    QCOMPARE(windows.size(), 1);
    frmHelp* help = windows[0];
    QVERIFY(help->isVisible());
    QVERIFY(!help->Index().Empty());
    help->ShowKeyword("TopMenu");
    QVERIFY(help->CurrentSection() >= 0);
    const auto& keywords = help->Index().Sections()[help->CurrentSection()].keywords;
    QVERIFY(std::find(keywords.begin(), keywords.end(), "TopMenu") != keywords.end());
    help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

}  // namespace brimtal

QTEST_MAIN(brimtal::ShellWindowsTest)
#include "ShellWindowsTest.moc"
