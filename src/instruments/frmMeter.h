// The meter definition window: edits a definition (the level limits in the chosen units),
// loads, saves and prints it, and tries it on the instrument through its Test menu.
#pragma once

#include <memory>
#include <string>

#include "instruments/ui/DefinitionWindow.h"

namespace Ui {
class frmMeter;
}

namespace brimtal {

class Gpib;
class Host;
class Meter;
class ScriptEngine;
struct MeterDef;

class frmMeter : public DefinitionWindow {
  Q_OBJECT

 public:
  // startDir: where the file dialogs start (the equipment folder).
  frmMeter(Host& host, Meter& meter, Gpib& gpib, ScriptEngine& engine, std::string startDir,
           QWidget* parent = nullptr);
  ~frmMeter() override;

 protected:
  bool Collect() override;
  void ShowDefinition() override;

 private:
  // A level box back in dBuV, in the unit selected now. A box left as it was shown, in the unit
  // it was shown in, keeps the level exactly (the shown text is rounded).
  bool CollectLevel(QLineEdit* box, const std::string& shownText, float kept, int units,
                    double& dbuv);
  void ShowLevelUnits();
  std::vector<TextBox<MeterDef>> TextBoxes() const;
  std::vector<QRadioButton*> UnitButtons() const;
  std::vector<QRadioButton*> TypeButtons() const;
  std::vector<QRadioButton*> EosButtons() const;

  std::unique_ptr<Ui::frmMeter> ui_;
  Meter& meter_;
  int shownUnits_ = -1;
  std::string shownMaxLevel_;
  std::string shownMinLevel_;
};

}  // namespace brimtal
