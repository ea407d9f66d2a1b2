// The brimtal program: builds the program's context, runs the start-up and shows the main menu.
#include <QApplication>
#include <string>
#include <vector>

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
  // The expression engine, the equipment file and the test definition are wired into
  // startup.hooks here, and the activities into menu.SetActivity, as their modules arrive.

  // Qt has taken its own options out of argv; what is left is the program's command line.
  const std::vector<std::string> args(argv + 1, argv + argc);
  const brimtal::StartupOutcome outcome = startup.Run(menu, args);
  if (outcome.endProgram) return 0;
  context.HelpFilePath = outcome.helpFilePath;

  menu.show();
  return app.exec();
}
