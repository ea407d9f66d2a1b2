// The equipment configuration window ("Test Equipment"): which instrument definitions and
// addresses, which factor files and which amplifier make up the set-up; loading and saving
// equipment files; and the way to the program options, the instrument definition windows, the
// factor editor and the interp program.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "equipment/EquipmentEditing.h"

class QLabel;
class QLineEdit;

namespace Ui {
class frmEquipment;
}

namespace brimtal {

struct Brimtal;
struct StartupHooks;
class TopMenu;

class frmEquipment : public QMainWindow {
  Q_OBJECT

 public:
  // Opening the window shows the current configuration, which loads the definitions it names
  // into the drivers.
  explicit frmEquipment(Brimtal& context, QWidget* parent = nullptr);
  ~frmEquipment() override;

  // The main menu's "Configure System": a window of its own (no owner), discarded when it
  // closes, that shows callingForm again then.
  static frmEquipment* OpenFrom(Brimtal& context, QWidget& callingForm);
  // The start-up's step: the window opened and closed without being seen, so that the drivers
  // get the definitions and addresses of the configuration. A refused closing has shown its
  // message; nothing more happens.
  static void ApplyUnseen(Brimtal& context);

  // The window to show again when this one closes.
  void SetCallingForm(QWidget* form) { callingForm_ = form; }
  // The equipment file last loaded or saved here (empty at first).
  const std::string& FilePath() const { return path_; }
  // Where "Create Desktop Shorcut" writes (the user's desktop when empty).
  void SetDesktopFolder(std::string folder) { desktopFolder_ = std::move(folder); }

  // Checks the entries in order and applies them to the configuration and the drivers; false
  // after the first refusal, with its box selected and the warning shown.
  bool ValidateAndApply();

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Path labels are refitted whenever their width changes.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectMenus();
  void ConnectControls();
  void ShowConfiguration();
  void ShowInstrument(EquipInstrument which, const InstrumentShown& shown);
  void ShowFactorPaths();
  void ShowCoupling();
  void ShowAmplifier();
  void EnableCouplingControls();
  void EnableAmplifierControls(bool ifi);
  // The path shortened to the label's width as it is now; an instrument's name as tool tip.
  void RefitPathLabel(QLabel* label);
  void SetCaption(const std::string& caption);
  void SetFilePath(const std::string& path);

  void SelectInstrument(EquipInstrument which);
  void DefineInstrument(EquipInstrument which);
  void BrowseFactor(std::size_t factor);
  void EditFactors(int filterDefault);
  void StartInterp();
  void ShowAbout();
  void ShowHelpOnTab();

  void Load();
  void Save();
  void SaveAs();
  // Save As once the entries were applied.
  void SaveUnderNewName();
  void CreateShortcut();

  EquipmentEntries CollectEntries() const;
  QLabel* PathLabel(EquipInstrument which) const;
  QLineEdit* AddressBox(EquipInstrument which) const;
  QLineEdit* BoxOf(EntryBox box) const;
  std::array<QLabel*, 5> FactorLabels() const;

  std::unique_ptr<Ui::frmEquipment> ui_;
  Brimtal& context_;
  EquipmentEditing editing_;
  QPointer<QWidget> callingForm_;
  std::string path_;
  std::string desktopFolder_;
  std::array<std::string, 3> instrumentNames_;
};

// Wires the configuration into the program: the start-up reads the equipment file and applies
// it through the window unseen, and the main menu's "Configure System" opens the window.
void WireEquipment(Brimtal& context, StartupHooks& hooks, TopMenu& menu);

}  // namespace brimtal
