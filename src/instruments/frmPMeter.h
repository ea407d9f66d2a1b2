// The power meter definition window: edits a definition, loads, saves and prints it, and tries
// it on the instrument through its Test menu.
#pragma once

#include <memory>
#include <string>

#include "instruments/ui/DefinitionWindow.h"

namespace Ui {
class frmPMeter;
}

namespace brimtal {

class Gpib;
class Host;
class PM;
class ScriptEngine;
struct PowerMeterDef;

class frmPMeter : public DefinitionWindow {
  Q_OBJECT

 public:
  // startDir: where the file dialogs start (the equipment folder).
  frmPMeter(Host& host, PM& pm, Gpib& gpib, ScriptEngine& engine, std::string startDir,
            QWidget* parent = nullptr);
  ~frmPMeter() override;

 protected:
  bool Collect() override;
  void ShowDefinition() override;

 private:
  std::vector<TextBox<PowerMeterDef>> TextBoxes() const;
  std::vector<QRadioButton*> UnitButtons() const;
  std::vector<QRadioButton*> TypeButtons() const;
  std::vector<QRadioButton*> EosButtons() const;

  std::unique_ptr<Ui::frmPMeter> ui_;
  PM& pm_;
};

}  // namespace brimtal
