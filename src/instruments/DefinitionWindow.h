// What the power meter and meter definition windows share: the caption, the File menu, the
// checks that collect the boxes back into a definition, closing with Retry, and the Test menu's
// prompts, result box and parse test.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "shell/Host.h"

class QAction;
class QCloseEvent;
class QLineEdit;
class QRadioButton;

namespace brimtal {

class Gpib;
class Printer;
class ScriptEngine;

// The busy pointer for as long as it lives.
class BusyPointer {
 public:
  explicit BusyPointer(Host& host) : host_(host) { host_.SetBusy(true); }
  ~BusyPointer() { host_.SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Host& host_;
};

// The texts of one kind of definition file and its window.
struct DefinitionFileKind {
  std::string caption;    // followed by the file's path
  std::string loadTitle;  // of the open dialog
  std::string saveTitle;  // of the save dialog
  std::string filter;     // "description|pattern|..."
  std::string pattern;    // the filter pair to start on
  std::string helpKey;    // the manual section of the window
};

class DefinitionWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Asks for a definition file, loads it and shows it; true when a file was loaded.
  bool Load();
  // The window to show again when this one closes.
  void SetCallingForm(QWidget* form) { callingForm_ = form; }

 signals:
  void Closed();

 protected:
  struct FileMenu {
    QAction* load;
    QAction* save;
    QAction* saveAs;
    QAction* print;
    QAction* exit;
    QAction* help;
  };

  DefinitionWindow(Host& host, Gpib& gpib, std::string startDir, DefinitionFileKind kind,
                   QWidget* parent = nullptr);

  // Wires the File menu; call once the form is set up.
  void ConnectFileMenu(const FileMenu& menu);
  // Wires a menu item to a command. While a command runs (its waits let events in), other
  // commands and closing the window are refused.
  void ConnectCommand(QAction* item, std::function<void()> command);

  // The window's own part: its checks and boxes, and the driver's file operations.
  // Collect checks the boxes in order and stops at the first failure (through the Check
  // functions below); when all pass it hands the definition to the driver.
  virtual bool Collect() = 0;
  virtual void ShowDefinition() = 0;
  virtual std::string FileName() const = 0;
  virtual bool LoadFile(const std::string& path) = 0;
  virtual bool SaveFile(const std::string& path) = 0;
  virtual bool PrintSetup(Printer& printer) = 0;

  // A number in the box within low..high: otherwise the box is selected, the warning shown and
  // false returned.
  static constexpr double kFloatMax = std::numeric_limits<float>::max();
  static constexpr double kDoubleMax = std::numeric_limits<double>::max();
  bool CheckNumber(QLineEdit* box, double low, double high, double& value);
  // An instrument address: a whole number 0 to 30.
  bool CheckAddress(QLineEdit* box, std::int16_t& address);
  // A check of the window's own: the box is selected and "Number outside valid range" shown.
  bool RejectOutOfRange(QLineEdit* box);

  // Option buttons stand for the codes 0, 1, 2, ... in their order. A code without a button
  // clears them all; collecting then keeps the code the definition had.
  static void SetOption(const std::vector<QRadioButton*>& buttons, int code);
  static std::int32_t OptionCode(const std::vector<QRadioButton*>& buttons, std::int32_t kept);
  // The number answered to a prompt; nothing when the operator cancels, leaves it empty or
  // answers with something that is not a number (then after an error box).
  std::optional<double> AskNumber(const std::string& prompt, const std::string& defaultText);
  void OpenParseTest(ScriptEngine& engine, const std::string& expression, const std::string& reply);
  // Shows the file name in the caption and the Save item.
  void UpdateCaption();

  void closeEvent(QCloseEvent* event) override;

  Host& host_;
  Gpib& gpib_;

 private:
  bool Warn(QLineEdit* box, bool notNumber);
  void SaveAs();
  void Save();
  void Print();

  std::string startDir_;
  DefinitionFileKind kind_;
  QAction* saveItem_ = nullptr;
  QWidget* callingForm_ = nullptr;
  bool retry_ = false;  // the last failed check was answered with Retry
  bool busy_ = false;   // a command is running
};

}  // namespace brimtal
