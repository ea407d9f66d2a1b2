// The brimtal program: builds the program's context, runs the start-up and shows the main menu.
#include <QApplication>
#include <string>
#include <vector>

#include "equipment/frmEquipment.h"
#include "instruments/script/ParseReply.h"
#include "shell/Brimtal.h"
#include "shell/Clock.h"
#include "shell/LogFile.h"
#include "shell/QtHost.h"
#include "shell/Settings.h"
#include "shell/Startup.h"
#include "shell/TopMenu.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brimtal"));
  QApplication::setQuitOnLastWindowClosed(false);

  brimtal::QtHost host("Brimtal");
  brimtal::SystemClock clock;
  brimtal::SystemWallClock wallClock;
  brimtal::Brimtal context(
      host, clock, wallClock,
      brimtal::ProgramPaths::ForExecutable(QApplication::applicationFilePath().toStdString()));

  brimtal::TopMenu menu(context);
  QObject::connect(&menu, &brimtal::TopMenu::Closing, &app, &QApplication::quit);

  brimtal::LockFileInstanceGuard guard("brimtal");
  brimtal::Startup startup(host, context.settings, context.log, guard, context.paths);
  startup.hooks.createScriptEngine = [&context] { context.script = brimtal::CreateScriptEngine(); };
  brimtal::WireEquipment(context, startup.hooks, menu);
  context.gpib.SetQuitHandler([] { QApplication::exit(1); });
  // Which instruments this session drives goes into the log before anything is loaded.
  context.log.WriteLog("Instrument bus: " + context.bus->Description());
  for (const std::string& problem : context.busConfig.problems) {
    context.log.WriteLog("Instrument bus setting ignored: " + problem);
    context.host.MsgBox(problem, brimtal::MsgButtons::OK, brimtal::MsgIcon::Exclamation);
  }

  // Qt has taken its own options out of argv; what is left is the program's command line.
  const std::vector<std::string> args(argv + 1, argv + argc);
  const brimtal::StartupOutcome outcome = startup.Run(menu, args);
  if (outcome.endProgram) return 0;
  context.HelpFilePath = outcome.helpFilePath;

  menu.show();
  return app.exec();
}
