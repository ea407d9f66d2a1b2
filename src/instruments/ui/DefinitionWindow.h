// What the power meter and meter definition windows share: the caption, the File menu, the
// checks that collect the boxes back into a definition, closing with Retry, and the Test menu of
// a measuring instrument.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "instruments/ui/DefinitionBoxes.h"
#include "shell/Host.h"

class QAction;
class QCloseEvent;
class QLineEdit;

namespace brimtal {

class DefinedInstrument;
class Gpib;
class ScriptEngine;

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

  // The Test menu items every measuring instrument has, and what they do with its driver.
  struct TestMenu {
    QAction* init;
    QAction* setFreq;
    QAction* trigger;
    QAction* read;
    QAction* shutdown;
    QAction* parse;
  };
  struct InstrumentTests {
    std::function<bool()> init;
    std::function<bool()> shutdown;
    std::function<bool(double)> setFreq;
    std::function<bool()> trigger;
    std::function<double()> read;
    std::string readingUnit;  // after the reading in the result box
    std::function<std::string()> lastReply;
    std::function<std::string()> parseCmd;
  };

  DefinitionWindow(Host& host, Gpib& gpib, ScriptEngine& engine, DefinedInstrument& driver,
                   std::string startDir, DefinitionFileKind kind, QWidget* parent = nullptr);

  // Wires the File menu; call once the form is set up.
  void ConnectFileMenu(const FileMenu& menu);
  // Wires the Test menu. Every item but Parse first collects the definition and stops when a
  // check fails; Set Freq asks the frequency in the unit of the suffix box. The items other than
  // Init, and the window's own items given, work once Init succeeded.
  void ConnectTestMenu(const TestMenu& menu, InstrumentTests tests, QLineEdit* freqSuffix,
                       const std::vector<QAction*>& ownItems = {});
  // Wires a menu item to a command. While a command runs (its waits let events in), other
  // commands and closing the window are refused.
  void ConnectCommand(QAction* item, std::function<void()> command);

  // The window's own part: its checks and boxes. Collect checks the boxes in order and stops
  // at the first failure (through checks_); when all pass it hands the definition to the driver.
  virtual bool Collect() = 0;
  virtual void ShowDefinition() = 0;

  // An instrument address: a whole number 0 to 30.
  bool CheckAddress(QLineEdit* box, std::int16_t& address);
  // The frequency limits: numbers, not negative, the minimum not above the maximum.
  bool CheckFrequencies(QLineEdit* maxBox, QLineEdit* minBox, double& maxFreq, double& minFreq);

  void closeEvent(QCloseEvent* event) override;

  Host& host_;
  Gpib& gpib_;
  BoxChecks checks_;

 private:
  void UpdateCaption();
  void SaveAs();
  void Save();
  void Print();

  ScriptEngine& engine_;
  DefinedInstrument& driver_;
  std::string startDir_;
  DefinitionFileKind kind_;
  QAction* saveItem_ = nullptr;
  QWidget* callingForm_ = nullptr;
  CommandGate gate_;
};

}  // namespace brimtal
