// The shared part of the power meter and meter definition windows.
#include "instruments/ui/DefinitionWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <cmath>
#include <memory>
#include <optional>

#include "instruments/Gpib.h"
#include "instruments/MeasuringInstrument.h"
#include "instruments/script/frmParseTest.h"
#include "shell/BmGlobals.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/QtHost.h"
#include "shell/ui/HelpViewer.h"

namespace brimtal {

namespace {
constexpr double kMaxAddress = 30;
}

DefinitionWindow::DefinitionWindow(Host& host, Gpib& gpib, ScriptEngine& engine,
                                   DefinedInstrument& driver, std::string startDir,
                                   DefinitionFileKind kind, QWidget* parent)
    : QMainWindow(parent),
      host_(host),
      gpib_(gpib),
      checks_(host),
      engine_(engine),
      driver_(driver),
      startDir_(std::move(startDir)),
      kind_(std::move(kind)) {}

void DefinitionWindow::ConnectFileMenu(const FileMenu& menu) {
  saveItem_ = menu.save;
  ConnectCommand(menu.load, [this] { Load(); });
  ConnectCommand(menu.save, [this] { Save(); });
  ConnectCommand(menu.saveAs, [this] { SaveAs(); });
  ConnectCommand(menu.print, [this] { Print(); });
  connect(menu.exit, &QAction::triggered, this, &QWidget::close);
  connect(menu.help, &QAction::triggered, this,
          [this] { ShowHelpKey(Manual::Brimtal, ToQt(kind_.helpKey), this); });
  UpdateCaption();
}

void DefinitionWindow::ConnectTestMenu(const TestMenu& menu, InstrumentTests tests,
                                       QLineEdit* freqSuffix,
                                       const std::vector<QAction*>& ownItems) {
  std::vector<QAction*> afterInit{menu.setFreq, menu.trigger, menu.read, menu.shutdown, menu.parse};
  afterInit.insert(afterInit.end(), ownItems.begin(), ownItems.end());
  auto enable = [afterInit](bool enabled) {
    for (QAction* item : afterInit) item->setEnabled(enabled);
  };
  enable(false);
  auto t = std::make_shared<const InstrumentTests>(std::move(tests));
  ConnectCommand(menu.init, [this, t, enable] {
    if (!Collect()) return;
    const BusyPointer busy(host_);
    gpib_.GpibSendIfc();
    if (t->init()) {
      enable(true);
    } else {
      t->shutdown();
    }
  });
  ConnectCommand(menu.setFreq, [this, t, freqSuffix] {
    if (!Collect()) return;
    const auto freq = AskNumber(host_, "Enter Frequency in " + BoxText(freqSuffix), "80");
    if (freq) t->setFreq(*freq);
  });
  ConnectCommand(menu.trigger, [this, t] {
    if (Collect()) t->trigger();
  });
  ConnectCommand(menu.read, [this, t] {
    if (!Collect()) return;
    const double reading = t->read();
    host_.MsgBox(ReadingResultText(reading, t->readingUnit, t->lastReply()));
  });
  ConnectCommand(menu.shutdown, [this, t] {
    if (Collect()) t->shutdown();
  });
  ConnectCommand(menu.parse, [this, t] {
    frmParseTest dialog(engine_, host_, this);
    dialog.SetParseExpression(t->parseCmd());
    dialog.SetReturnString(t->lastReply());
    dialog.exec();
  });
}

void DefinitionWindow::ConnectCommand(QAction* item, std::function<void()> command) {
  connect(item, &QAction::triggered, this,
          [this, command = std::move(command)] { gate_.Run(command); });
}

void DefinitionWindow::UpdateCaption() {
  ShowFileInCaption(*this, saveItem_, kind_.caption, driver_.DefinitionFileName(), gpib_);
}

bool DefinitionWindow::Load() {
  const std::string path =
      PickFile(host_, false, kind_.filter, kind_.loadTitle, kind_.pattern, startDir_);
  if (path.empty()) return false;
  const bool loaded = driver_.LoadFile(path);
  // A file that failed part way is shown as far as it was read, under its name.
  ShowDefinition();
  UpdateCaption();
  return loaded;
}

void DefinitionWindow::SaveAs() {
  const std::string path = PickFile(host_, true, kind_.filter, kind_.saveTitle, kind_.pattern,
                                    startDir_, FileNameOfPath(driver_.DefinitionFileName()));
  if (path.empty() || !Collect()) return;
  if (driver_.SaveFile(path)) UpdateCaption();
}

void DefinitionWindow::Save() {
  if (driver_.DefinitionFileName().empty()) {
    SaveAs();
    return;
  }
  if (Collect()) driver_.SaveFile(driver_.DefinitionFileName());
}

void DefinitionWindow::Print() {
  if (!Collect()) return;
  const std::unique_ptr<Printer> printer = host_.PrinterDialog({"Printer"});
  if (printer) driver_.PrintSetup(*printer);
}

void DefinitionWindow::closeEvent(QCloseEvent* event) {
  if (gate_.Busy() || (!Collect() && checks_.Answer() == kWarnRetry)) {
    event->ignore();
    return;
  }
  event->accept();
  if (callingForm_ != nullptr) callingForm_->show();
  emit Closed();
}

bool DefinitionWindow::CheckAddress(QLineEdit* box, std::int16_t& address) {
  double number = 0;
  if (!checks_.Number(box, 0, kMaxAddress, number)) return false;
  if (number != std::floor(number)) return checks_.Reject(box);
  address = static_cast<std::int16_t>(number);
  return true;
}

bool DefinitionWindow::CheckFrequencies(QLineEdit* maxBox, QLineEdit* minBox, double& maxFreq,
                                        double& minFreq) {
  if (!checks_.Number(maxBox, 0, BoxChecks::kDoubleMax, maxFreq) ||
      !checks_.Number(minBox, 0, BoxChecks::kDoubleMax, minFreq)) {
    return false;
  }
  return minFreq <= maxFreq || checks_.Reject(minBox);
}

}  // namespace brimtal
