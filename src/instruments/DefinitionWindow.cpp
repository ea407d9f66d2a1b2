// The shared part of the power meter and meter definition windows.
#include "instruments/DefinitionWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

#include "instruments/Gpib.h"
#include "instruments/script/frmParseTest.h"
#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/HelpViewer.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/QtHost.h"
#include "shell/UiGlobals.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {
constexpr double kMaxAddress = 30;
}

DefinitionWindow::DefinitionWindow(Host& host, Gpib& gpib, std::string startDir,
                                   DefinitionFileKind kind, QWidget* parent)
    : QMainWindow(parent),
      host_(host),
      gpib_(gpib),
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

void DefinitionWindow::ConnectCommand(QAction* item, std::function<void()> command) {
  connect(item, &QAction::triggered, this, [this, command = std::move(command)] {
    if (busy_) return;
    busy_ = true;
    struct Done {
      bool& busy;
      ~Done() { busy = false; }
    } done{busy_};
    command();
  });
}

void DefinitionWindow::UpdateCaption() {
  std::string caption = kind_.caption + FileName();
  if (gpib_.Bus().IsSimulated()) caption += " (" + gpib_.Bus().Description() + ")";
  setWindowTitle(ToQt(caption));
  // An ampersand in the path is shown, not taken for a shortcut.
  if (saveItem_ != nullptr) saveItem_->setText("&Save " + ToQt(FileName()).replace('&', "&&"));
}

bool DefinitionWindow::Load() {
  const std::string path =
      PickFile(host_, false, kind_.filter, kind_.loadTitle, kind_.pattern, startDir_);
  if (path.empty()) return false;
  const bool loaded = LoadFile(path);
  // A file that failed part way is shown as far as it was read, under its name.
  ShowDefinition();
  UpdateCaption();
  return loaded;
}

void DefinitionWindow::SaveAs() {
  const std::string path = PickFile(host_, true, kind_.filter, kind_.saveTitle, kind_.pattern,
                                    startDir_, FileNameOfPath(FileName()));
  if (path.empty() || !Collect()) return;
  if (SaveFile(path)) UpdateCaption();
}

void DefinitionWindow::Save() {
  if (FileName().empty()) {
    SaveAs();
    return;
  }
  if (Collect()) SaveFile(FileName());
}

void DefinitionWindow::Print() {
  if (!Collect()) return;
  const std::unique_ptr<Printer> printer = host_.PrinterDialog({"Printer"});
  if (printer) PrintSetup(*printer);
}

void DefinitionWindow::closeEvent(QCloseEvent* event) {
  if (busy_ || (!Collect() && retry_)) {
    event->ignore();
    return;
  }
  event->accept();
  if (callingForm_ != nullptr) callingForm_->show();
  emit Closed();
}

// A box that fails its check is never taken, even when the window is hidden and the warning
// could not be shown.
bool DefinitionWindow::Warn(QLineEdit* box, bool notNumber) {
  const int answer = notNumber ? WarnNotNumber(box, host_) : WarnOutOfRange(box, host_);
  retry_ = answer == kWarnRetry;
  return false;
}

bool DefinitionWindow::RejectOutOfRange(QLineEdit* box) {
  return Warn(box, false);
}

bool DefinitionWindow::CheckNumber(QLineEdit* box, double low, double high, double& value) {
  const std::optional<double> number = vbtext::ToNumber(FromQt(box->text()));
  if (!number) return Warn(box, true);
  if (!(*number >= low && *number <= high)) return Warn(box, false);
  value = *number;
  return true;
}

bool DefinitionWindow::CheckAddress(QLineEdit* box, std::int16_t& address) {
  double number = 0;
  if (!CheckNumber(box, 0, kMaxAddress, number)) return false;
  if (number != std::floor(number)) return Warn(box, false);
  address = static_cast<std::int16_t>(number);
  return true;
}

void DefinitionWindow::SetOption(const std::vector<QRadioButton*>& buttons, int code) {
  const bool known = code >= 0 && code < static_cast<int>(buttons.size());
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    // Exclusive buttons cannot all be cleared one by one.
    buttons[i]->setAutoExclusive(known);
    buttons[i]->setChecked(known && static_cast<int>(i) == code);
  }
  for (QRadioButton* button : buttons) button->setAutoExclusive(true);
}

std::int32_t DefinitionWindow::OptionCode(const std::vector<QRadioButton*>& buttons,
                                          std::int32_t kept) {
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i]->isChecked()) return static_cast<std::int32_t>(i);
  }
  return kept;
}

std::optional<double> DefinitionWindow::AskNumber(const std::string& prompt,
                                                  const std::string& defaultText) {
  const std::optional<std::string> answer = host_.InputBox(prompt, {}, defaultText);
  if (!answer || vbtext::Trim(*answer).empty()) return std::nullopt;
  const std::optional<double> number = vbtext::ToNumber(*answer);
  if (!number) {
    const FileError error = MakeFileError(vberr::kTypeMismatch);
    host_.MsgBox("Error # " + std::to_string(error.number) + "\r" + error.description);
  }
  return number;
}

void DefinitionWindow::OpenParseTest(ScriptEngine& engine, const std::string& expression,
                                     const std::string& reply) {
  frmParseTest dialog(engine, host_, this);
  dialog.SetParseExpression(expression);
  dialog.SetReturnString(reply);
  dialog.exec();
}

}  // namespace brimtal
