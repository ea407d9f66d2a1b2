// The interp program: merges correction-factor files and interpolates them. It takes no
// arguments and keeps no settings.
#include <QApplication>

#include "interp/frmTest.h"
#include "shell/QtHost.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Interp"));
  brimtal::QtHost host("Interp");
  brimtal::frmTest window(host);
  window.show();
  return QApplication::exec();
}
