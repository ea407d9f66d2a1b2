// Runs the window tests of the power meter and meter definitions in one program.
#include <QApplication>

namespace brimtal::test {
int RunfrmPMeterTest(int argc, char** argv);
int RunfrmMeterTest(int argc, char** argv);
}  // namespace brimtal::test

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setAttribute(Qt::AA_Use96Dpi, true);
  const int pmeterFailures = brimtal::test::RunfrmPMeterTest(argc, argv);
  const int meterFailures = brimtal::test::RunfrmMeterTest(argc, argv);
  return pmeterFailures + meterFailures;
}
