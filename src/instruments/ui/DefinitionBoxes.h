// What the instrument definition windows share in their controls: text boxes bound to the
// definition's texts, option buttons that stand for codes, the checks that collect number boxes
// in order, the caption naming the file, and one command at a time.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "shell/ui/UiGlobals.h"

class QAction;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace brimtal {

class Gpib;
class Host;

// Shows the text from its start (a long command would otherwise show its end).
void ShowText(QLineEdit* box, const std::string& text);
std::string BoxText(const QLineEdit* box);

// A text box and the text of the definition it edits.
template <typename Def>
struct TextBox {
  QLineEdit* box;
  std::string Def::*field;
};

template <typename Def>
void ShowTexts(const std::vector<TextBox<Def>>& boxes, const Def& def) {
  for (const TextBox<Def>& text : boxes) ShowText(text.box, def.*text.field);
}

template <typename Def>
void CollectTexts(const std::vector<TextBox<Def>>& boxes, Def& def) {
  for (const TextBox<Def>& text : boxes) def.*text.field = BoxText(text.box);
}

// Option buttons stand for the codes 0, 1, 2, ... in their order. A code without a button
// clears them all; collecting then keeps the code the definition had.
void SetOption(const std::vector<QRadioButton*>& buttons, int code);
std::int32_t OptionCode(const std::vector<QRadioButton*>& buttons, std::int32_t kept);

// The checks of number boxes while a window collects its definition. A box that fails is
// selected and the warning shown; the answer to it tells a closing window whether to stay open.
class BoxChecks {
 public:
  static constexpr double kFloatMax = std::numeric_limits<float>::max();
  static constexpr double kDoubleMax = std::numeric_limits<double>::max();
  // The smallest number above 0, for checks that want a positive number.
  static constexpr double kPositive = std::numeric_limits<double>::denorm_min();

  explicit BoxChecks(Host& host) : host_(host) {}

  // A number in the box within low..high (both included), else false after the warning.
  bool Number(QLineEdit* box, double low, double high, double& value);
  // A check of the window's own failed: "Number outside valid range" for the box.
  bool Reject(QLineEdit* box);
  // kWarnRetry, kWarnCancel or kWarnNotShown (the box was hidden) for the last failed check.
  int Answer() const { return answer_; }

 private:
  bool Warn(QLineEdit* box, bool notNumber);

  Host& host_;
  int answer_ = kWarnNotShown;
};

// "Caption path" as the window title, with the bus when it is the simulated bench, and the
// Save item "&Save path" (an ampersand in the path is shown, not taken for a shortcut).
void ShowFileInCaption(QWidget& window, QAction* saveItem, const std::string& caption,
                       const std::string& path, Gpib& gpib);

// Runs one command at a time: a command's waits let window events in, and meanwhile neither
// another command nor closing the window may start.
class CommandGate {
 public:
  bool Busy() const { return busy_; }
  // Runs the command unless one is running.
  void Run(const std::function<void()>& command);

 private:
  bool busy_ = false;
};

}  // namespace brimtal
