// The brimtal program: builds the program's context and shows the main menu.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QLabel label(QStringLiteral("Brimtal"));
  label.show();
  return app.exec();
}
