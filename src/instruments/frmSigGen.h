// The signal generator definition window: edits the driver's definition, loads, saves and
// prints it, and tries it on the instrument through the Test menu.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "instruments/ui/DefinitionBoxes.h"

class QAction;
class QCheckBox;
class QLineEdit;

namespace Ui {
class frmSigGen;
}

namespace brimtal {

class Gpib;
class Host;
class SigGen;
struct SigGenDef;

class frmSigGen : public QDialog {
  Q_OBJECT

 public:
  // startDir: where the file dialogs start (the equipment directory).
  frmSigGen(Host& host, SigGen& sigGen, Gpib& gpib, std::string startDir,
            QWidget* parent = nullptr);
  ~frmSigGen() override;

  // File > Load: asks for a .sg file and loads it into the driver. True when a file was
  // loaded; the window need not be shown.
  bool Load();
  // Copies the driver's definition into the controls.
  void ShowDefinition();
  // Checks the controls and makes them the driver's definition. On failure the answer to the
  // warning (kWarnRetry, kWarnCancel or kWarnNotShown) is in *answer when given.
  bool CollectDefinition(int* answer = nullptr);

  const std::string& StartDir() const { return startDir_; }
  void SetStartDir(std::string dir) { startDir_ = std::move(dir); }
  // The window to show again when this one closes.
  void SetCallingForm(QWidget* form) { callingForm_ = form; }

 signals:
  void Closed();

 public slots:
  // Esc and File > Exit close the window the same way as its close box.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildMenus();
  std::vector<TextBox<SigGenDef>> TextBoxes() const;
  void UpdateCaption();
  void EnableGroups();
  void EnableTestItems(bool enabled);
  // Runs a command unless another one is running (waits let window events through).
  void Run(void (frmSigGen::*command)());
  bool Save();
  bool SaveAs();
  void Print();
  // A prompt for a number in the unit that the suffix box names.
  struct Parameter {
    std::string prompt;
    const QLineEdit* suffix;
    const char* defaultText;
  };
  // Asks a number for a 32-bit value; nothing when the answer is empty, cancelled, not a number
  // or beyond 32 bits (told).
  std::optional<float> AskFloat(const std::string& prompt, const char* defaultText);
  // The frequency and the level of Init and Set CW Freq and Lev.
  std::optional<std::pair<double, float>> AskFreqLevel();
  // Collects the definition and runs the command under the busy pointer; false when a check
  // failed.
  bool OnGenerator(const std::function<void()>& command);
  // Collects the definition and asks the two parameters of a modulation; then switches
  // modulation off, sets the parameters and, when they were taken, switches the modulation on.
  void EnableModulation(const Parameter& first, const Parameter& second,
                        const std::function<bool(float, float)>& set,
                        const std::function<bool()>& switchOn);
  std::string SuffixOf(const QLineEdit* box) const;
  void TestInit();
  void TestSetFreqLevel();
  void TestEnableAm();
  void TestEnableFm();
  void TestEnablePulse();
  void TestDisableModulation();
  void TestRfOn();
  void TestRfOff();
  void TestLocal();

  Host& host_;
  SigGen& sigGen_;
  Gpib& gpib_;
  std::string startDir_;
  std::unique_ptr<Ui::frmSigGen> ui_;
  QAction* mnuFileSave_ = nullptr;
  QAction* mnuTestInit_ = nullptr;
  QList<QAction*> testItems_;  // the eight items that need an initialised generator
  QPointer<QWidget> callingForm_;
  BoxChecks checks_;
  CommandGate gate_;
};

}  // namespace brimtal
