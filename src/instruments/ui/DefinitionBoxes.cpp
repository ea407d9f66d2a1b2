// The controls of the instrument definition windows.
#include "instruments/ui/DefinitionBoxes.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <optional>

#include "instruments/Gpib.h"
#include "shell/QtHost.h"
#include "shell/VbText.h"

namespace brimtal {

void ShowText(QLineEdit* box, const std::string& text) {
  box->setText(QString::fromStdString(text));
  box->setCursorPosition(0);
}

std::string BoxText(const QLineEdit* box) {
  return FromQt(box->text());
}

void SetOption(const std::vector<QRadioButton*>& buttons, int code) {
  const bool known = code >= 0 && code < static_cast<int>(buttons.size());
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    // Exclusive buttons cannot all be cleared one by one.
    buttons[i]->setAutoExclusive(known);
    buttons[i]->setChecked(known && static_cast<int>(i) == code);
  }
  for (QRadioButton* button : buttons) button->setAutoExclusive(true);
}

std::int32_t OptionCode(const std::vector<QRadioButton*>& buttons, std::int32_t kept) {
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i]->isChecked()) return static_cast<std::int32_t>(i);
  }
  return kept;
}

bool BoxChecks::Number(QLineEdit* box, double low, double high, double& value) {
  const std::optional<double> number = vbtext::ToNumber(BoxText(box));
  if (!number) return Warn(box, true);
  if (!(*number >= low && *number <= high)) return Warn(box, false);
  value = *number;
  return true;
}

bool BoxChecks::Reject(QLineEdit* box) {
  return Warn(box, false);
}

// A box that fails its check is never taken, even when the window is hidden and the warning
// could not be shown.
bool BoxChecks::Warn(QLineEdit* box, bool notNumber) {
  answer_ = notNumber ? WarnNotNumber(box, host_) : WarnOutOfRange(box, host_);
  return false;
}

void ShowFileInCaption(QWidget& window, QAction* saveItem, const std::string& caption,
                       const std::string& path, Gpib& gpib) {
  std::string title = caption + path;
  if (gpib.Bus().IsSimulated()) title += " (" + gpib.Bus().Description() + ")";
  window.setWindowTitle(QString::fromStdString(title));
  if (saveItem != nullptr)
    saveItem->setText("&Save " + QString::fromStdString(path).replace('&', "&&"));
}

void CommandGate::Run(const std::function<void()>& command) {
  if (busy_) return;
  busy_ = true;
  struct Done {
    bool& busy;
    ~Done() { busy = false; }
  } done{busy_};
  command();
}

}  // namespace brimtal
