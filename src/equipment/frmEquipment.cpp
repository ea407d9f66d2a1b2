// The equipment configuration window.
#include "equipment/frmEquipment.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QProcess>

#include "equipment/Equip.h"
#include "factors/frmEditFactor.h"
#include "instruments/frmMeter.h"
#include "instruments/frmPMeter.h"
#include "instruments/frmSigGen.h"
#include "instruments/script/ParseReply.h"
#include "shell/BmGlobals.h"
#include "shell/Brimtal.h"
#include "shell/Options.h"
#include "shell/QtHost.h"
#include "shell/Startup.h"
#include "shell/TopMenu.h"
#include "shell/frmAbout.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/UiGlobals.h"
#include "ui_frmEquipment.h"

namespace brimtal {

namespace {

constexpr const char* kCaption = "Test Equipment";
constexpr const char* kFileCaption = "Equipment File: ";
constexpr const char* kSelectEquipmentTitle = "Select equipment file";
constexpr int kTabInstruments = 0;
constexpr int kTabFactors = 1;
constexpr int kTabAmplifier = 2;
constexpr EquipInstrument kInstruments[] = {EquipInstrument::SigGen, EquipInstrument::Meter,
                                            EquipInstrument::PowerMeter};

// A factor file's Browse button: where its dialog starts, what it offers, and the field of the
// configuration it fills.
struct FactorBrowse {
  SettingsDirectory folder;
  const char* pattern;
  const char* title;
  const char* filter;
  void (Equip::*store)(const std::string&);
};

constexpr FactorBrowse kFactors[] = {
    {SettingsDirectory::Cables, "*.los", "Select cable loss file", "Cable Loss File (*.los)|*.los",
     &Equip::SetCableLossFile},
    {SettingsDirectory::Factors, "*.fac", "Select coupling factor file",
     "Factor File (*.fac)|*.fac", &Equip::SetFwdPortFile},
    {SettingsDirectory::Factors, "*.fac", "Select coupling factor file",
     "Factor File (*.fac)|*.fac", &Equip::SetRevPortFile},
    {SettingsDirectory::Equip, "*.pwr", "Select Max Amp Power file", "Amp Power File (*.pwr)|*.pwr",
     &Equip::SetMaxAmpPowerFile},
    {SettingsDirectory::Probes, "*.prb", "Select Monitor Probe Factor file",
     "Probe File (*.prb)|*.prb", &Equip::SetProbeFile},
};

// The help keyword of each tab.
constexpr const char* kTabHelp[] = {"selecting instruments", "selecting factors",
                                    "amplifier configuration"};

// Selects the button of the code; a code without a button clears them all.
void SelectOption(std::initializer_list<QRadioButton*> buttons, int code) {
  const bool known = code >= 0 && code < static_cast<int>(buttons.size());
  int index = 0;
  for (QRadioButton* button : buttons) {
    // Exclusive buttons cannot all be cleared one by one.
    button->setAutoExclusive(known);
    button->setChecked(index++ == code);
    button->setAutoExclusive(true);
  }
}

// The code of the selected button, counting from 0, or kNoChoice.
std::int32_t SelectedOption(std::initializer_list<const QRadioButton*> buttons) {
  std::int32_t index = 0;
  for (const QRadioButton* button : buttons) {
    if (button->isChecked()) return index;
    ++index;
  }
  return kNoChoice;
}

std::string Text(const QLineEdit* box) {
  return FromQt(box->text());
}

std::string Tag(const QLabel* label) {
  return FromQt(LabelTag(label));
}

// A definition window that is a main window, shown until it closes.
void RunModal(DefinitionWindow& window) {
  QEventLoop loop;
  QObject::connect(&window, &DefinitionWindow::Closed, &loop, &QEventLoop::quit);
  window.setWindowModality(Qt::ApplicationModal);
  window.show();
  loop.exec();
}

}  // namespace

frmEquipment::frmEquipment(Brimtal& context, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::frmEquipment>()),
      context_(context),
      editing_(context.host, context.equip, context.sigGen, context.meter, context.pm) {
  ui_->setupUi(this);
  for (EquipInstrument which : kInstruments) PathLabel(which)->installEventFilter(this);
  for (QLabel* label : FactorLabels()) label->installEventFilter(this);
  ConnectMenus();
  ConnectControls();
  SetCaption(kCaption);
  ShowConfiguration();
  ui_->tabSetup->setCurrentIndex(kTabInstruments);
}

frmEquipment::~frmEquipment() = default;

frmEquipment* frmEquipment::OpenFrom(Brimtal& context, QWidget& callingForm) {
  auto* window = new frmEquipment(context);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->SetCallingForm(&callingForm);
  window->show();
  return window;
}

void frmEquipment::ApplyUnseen(Brimtal& context) {
  frmEquipment window(context);
  // Shown off the screen, the boxes count as visible, so that a refused entry is told.
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  window.close();
}

void frmEquipment::ConnectMenus() {
  Ui::frmEquipment& ui = *ui_;
  Host& host = context_.host;
  INISettings& settings = context_.settings;
  connect(ui.mnuFileLoad, &QAction::triggered, this, &frmEquipment::Load);
  connect(ui.mnuFileSave, &QAction::triggered, this, &frmEquipment::Save);
  connect(ui.mnuFileSaveAs, &QAction::triggered, this, &frmEquipment::SaveAs);
  connect(ui.mnuFileShortcut, &QAction::triggered, this, &frmEquipment::CreateShortcut);
  connect(ui.mnuFileExit, &QAction::triggered, this, &QWidget::close);
  connect(ui.mnuOptDefaultEquip, &QAction::triggered, this,
          [&host, &settings] { ChooseDefaultEquipFile(host, settings); });
  const std::pair<QAction*, SettingsDirectory> folders[] = {
      {ui.mnuOptEquipDir, SettingsDirectory::Equip},
      {ui.mnuOptCalDir, SettingsDirectory::Calibrations},
      {ui.mnuOptTestSetupsDir, SettingsDirectory::TestSetups},
      {ui.mnuOptTestResultsDir, SettingsDirectory::TestResults},
      {ui.mnuOptCablesDir, SettingsDirectory::Cables},
      {ui.mnuOptFactorsDir, SettingsDirectory::Factors},
      {ui.mnuOptProbesDir, SettingsDirectory::Probes},
      {ui.mnuOptFreqListDir, SettingsDirectory::FreqList},
      {ui.mnuOptInsLossDir, SettingsDirectory::InsertionLoss},
  };
  for (const auto& [item, folder] : folders) {
    connect(item, &QAction::triggered, this, [&host, &settings, folder = folder] {
      ChooseSettingsDirectory(host, settings, folder);
    });
  }

  const std::pair<QAction*, EquipInstrument> selects[] = {
      {ui.mnuInstSelectSigGen, EquipInstrument::SigGen},
      {ui.mnuInstSelectMeter, EquipInstrument::Meter},
      {ui.mnuInstSelectPwrMtr, EquipInstrument::PowerMeter},
  };
  for (const auto& [item, which] : selects) {
    connect(item, &QAction::triggered, this, [this, which = which] {
      SelectInstrument(which);
      ui_->tabSetup->setCurrentIndex(kTabInstruments);
    });
  }
  const std::pair<QAction*, EquipInstrument> defines[] = {
      {ui.mnuInstDefineSigGen, EquipInstrument::SigGen},
      {ui.mnuInstDefineMeter, EquipInstrument::Meter},
      {ui.mnuInstDefinePwrMtr, EquipInstrument::PowerMeter},
  };
  for (const auto& [item, which] : defines) {
    connect(item, &QAction::triggered, this, [this, which = which] { DefineInstrument(which); });
  }

  QAction* factorSelects[] = {ui.mnuFactSelectCable, ui.mnuFactSelectFwdPort,
                              ui.mnuFactSelectRevPort, ui.mnuFactSelectMaxPower,
                              ui.mnuFactSelectProbe};
  for (std::size_t factor = 0; factor < std::size(factorSelects); ++factor) {
    connect(factorSelects[factor], &QAction::triggered, this, [this, factor] {
      BrowseFactor(factor);
      ui_->tabSetup->setCurrentIndex(kTabFactors);
    });
  }
  connect(ui.mnuFactEditCable, &QAction::triggered, this, [this] { EditFactors(2); });
  connect(ui.mnuFactEditLevel, &QAction::triggered, this, [this] { EditFactors(1); });
  connect(ui.mnuFactEditFactors, &QAction::triggered, this, [this] { EditFactors(0); });

  connect(ui.mnuUtilInterp, &QAction::triggered, this, &frmEquipment::StartInterp);

  connect(ui.mnuHelpEquipment, &QAction::triggered, this, &frmEquipment::ShowHelpOnTab);
  connect(ui.mnuHelpContents, &QAction::triggered, this,
          [this] { ShowHelpTab(Manual::Brimtal, this); });
  connect(ui.mnuHelpIndex, &QAction::triggered, this,
          [this] { ShowHelpSearch(Manual::Brimtal, this); });
  connect(ui.mnuHelpAbout, &QAction::triggered, this, &frmEquipment::ShowAbout);
}

void frmEquipment::ConnectControls() {
  Ui::frmEquipment& ui = *ui_;
  connect(ui.cmdSigGen, &QPushButton::clicked, this,
          [this] { SelectInstrument(EquipInstrument::SigGen); });
  connect(ui.cmdMeter, &QPushButton::clicked, this,
          [this] { SelectInstrument(EquipInstrument::Meter); });
  connect(ui.cmdPwrMtr, &QPushButton::clicked, this,
          [this] { SelectInstrument(EquipInstrument::PowerMeter); });
  QPushButton* browse[] = {ui.cmdCalCable, ui.cmdFwdPort, ui.cmdRevPort, ui.cmdMaxPower,
                           ui.cmdProbe};
  for (std::size_t factor = 0; factor < std::size(browse); ++factor) {
    connect(browse[factor], &QPushButton::clicked, this, [this, factor] { BrowseFactor(factor); });
  }
  connect(ui.cmdExit, &QPushButton::clicked, this, &QWidget::close);

  // Options and check boxes change the configuration as soon as they are clicked.
  const std::pair<QRadioButton*, std::int32_t> couplings[] = {
      {ui.optSingle, 0}, {ui.optDualFwdRev, 1}, {ui.optDualSplit, 2}};
  for (const auto& [option, coupling] : couplings) {
    connect(option, &QRadioButton::toggled, this, [this, coupling = coupling](bool checked) {
      if (!checked) return;
      context_.equip.SetPmCoupling(coupling);
      EnableCouplingControls();
    });
  }
  connect(ui.optGenericAmp, &QRadioButton::toggled, this, [this](bool checked) {
    if (!checked) return;
    context_.equip.SetAmpType(kAmpGeneric);
    EnableAmplifierControls(false);
  });
  connect(ui.optIFIAmp, &QRadioButton::toggled, this, [this](bool checked) {
    if (!checked) return;
    context_.equip.SetAmpType(kAmpIfi);
    EnableAmplifierControls(true);
  });
  connect(ui.chkIfiPwr, &QCheckBox::toggled, this,
          [this](bool checked) { context_.equip.SetIfiMonitorPower(checked); });
  connect(ui.chkIfiAtten, &QCheckBox::toggled, this,
          [this](bool checked) { context_.equip.SetIfiAttenBetweenSteps(checked); });
}

QLabel* frmEquipment::PathLabel(EquipInstrument which) const {
  switch (which) {
    case EquipInstrument::SigGen: return ui_->lblSigGen;
    case EquipInstrument::Meter: return ui_->lblMeter;
    case EquipInstrument::PowerMeter: return ui_->lblPwrMtr;
  }
  return ui_->lblSigGen;
}

QLineEdit* frmEquipment::AddressBox(EquipInstrument which) const {
  switch (which) {
    case EquipInstrument::SigGen: return ui_->txtSigGenAddr;
    case EquipInstrument::Meter: return ui_->txtMeterAddr;
    case EquipInstrument::PowerMeter: return ui_->txtPwrMtrAddr;
  }
  return ui_->txtSigGenAddr;
}

QLineEdit* frmEquipment::BoxOf(EntryBox box) const {
  switch (box) {
    case EntryBox::SigGenAddress: return ui_->txtSigGenAddr;
    case EntryBox::MeterAddress: return ui_->txtMeterAddr;
    case EntryBox::PwrMtrAddress: return ui_->txtPwrMtrAddr;
    case EntryBox::IfiBandSwitch: return ui_->txtIfiBandSwitch;
    case EntryBox::None: break;
  }
  return nullptr;
}

std::array<QLabel*, 5> frmEquipment::FactorLabels() const {
  return {ui_->lblCalCable, ui_->lblFwdPort, ui_->lblRevPort, ui_->lblMaxPower, ui_->lblProbeFile};
}

void frmEquipment::ShowConfiguration() {
  for (EquipInstrument which : kInstruments) ShowInstrument(which, editing_.ShowInstrument(which));
  if (!context_.equip.PwrMtrFile().empty()) {
    ui_->txtPmBandSwitchFreq->setText(ToQt(editing_.BandSwitchText()));
  }
  ShowFactorPaths();
  ShowCoupling();
  ShowAmplifier();
}

void frmEquipment::ShowInstrument(EquipInstrument which, const InstrumentShown& shown) {
  instrumentNames_[static_cast<std::size_t>(which)] = shown.name;
  QLabel* label = PathLabel(which);
  label->setProperty("tag", ToQt(shown.path));
  RefitPathLabel(label);
  AddressBox(which)->setText(ToQt(shown.address));
}

void frmEquipment::ShowFactorPaths() {
  const Equip& equip = context_.equip;
  const std::string* paths[] = {&equip.CableLossFile(), &equip.FwdPortFile(), &equip.RevPortFile(),
                                &equip.MaxAmpPowerFile(), &equip.ProbeFile()};
  const std::array<QLabel*, 5> labels = FactorLabels();
  for (std::size_t i = 0; i < labels.size(); ++i) FitPathToLabel(*paths[i], labels[i]);
}

void frmEquipment::ShowCoupling() {
  SelectOption({ui_->optSingle, ui_->optDualFwdRev, ui_->optDualSplit},
               context_.equip.PmCoupling());
  EnableCouplingControls();
}

void frmEquipment::ShowAmplifier() {
  const EquipmentConfig& config = context_.equip.Config();
  SelectOption({ui_->optGenericAmp, ui_->optIFIAmp}, config.AmpType);
  ui_->txtIfiBandSwitch->setText(ToQt(editing_.BandSwitchText()));
  ui_->chkIfiPwr->setChecked(config.IfiMonitorPower);
  ui_->chkIfiAtten->setChecked(config.IfiAttenBetweenSteps);
  EnableAmplifierControls(!ui_->optGenericAmp->isChecked());
}

void frmEquipment::EnableCouplingControls() {
  // The power meter's band switch follows the amplifier's; it is never typed here.
  ui_->txtPmBandSwitchFreq->setEnabled(false);
  ui_->lblBandSwitchFreq->setEnabled(ui_->optDualSplit->isChecked());
}

void frmEquipment::EnableAmplifierControls(bool ifi) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           ui_->chkIfiPwr, ui_->chkIfiAtten, ui_->txtIfiBandSwitch, ui_->lblAmpSwitchFreq}) {
    control->setEnabled(ifi);
  }
}

bool frmEquipment::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (auto* label = qobject_cast<QLabel*>(watched)) RefitPathLabel(label);
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmEquipment::RefitPathLabel(QLabel* label) {
  FitPathToLabel(LabelTag(label), label);
  for (EquipInstrument which : kInstruments) {
    if (PathLabel(which) != label) continue;
    // The instrument's name, and below it the full path when the label could not show it.
    QString tip = ToQt(instrumentNames_[static_cast<std::size_t>(which)]);
    if (!label->toolTip().isEmpty()) tip += (tip.isEmpty() ? "" : "\n") + LabelTag(label);
    label->setToolTip(tip);
  }
}

void frmEquipment::SetCaption(const std::string& caption) {
  setWindowTitle(ToQt(caption + context_.SimulatedSuffix()));
}

void frmEquipment::SetFilePath(const std::string& path) {
  path_ = path;
  SetCaption(kFileCaption + path);
  // A "&" in the path is shown as itself, not taken for a shortcut mark.
  ui_->mnuFileSave->setText("&Save " + ToQt(path).replace('&', QStringLiteral("&&")));
}

EquipmentEntries frmEquipment::CollectEntries() const {
  const Ui::frmEquipment& ui = *ui_;
  EquipmentEntries e;
  e.sigGenPath = Tag(ui.lblSigGen);
  e.sigGenAddress = Text(ui.txtSigGenAddr);
  e.meterPath = Tag(ui.lblMeter);
  e.meterAddress = Text(ui.txtMeterAddr);
  e.pwrMtrPath = Tag(ui.lblPwrMtr);
  e.pwrMtrAddress = Text(ui.txtPwrMtrAddr);
  e.ifiBandSwitch = Text(ui.txtIfiBandSwitch);
  e.cableLossFile = Tag(ui.lblCalCable);
  e.fwdPortFile = Tag(ui.lblFwdPort);
  e.revPortFile = Tag(ui.lblRevPort);
  e.maxAmpPowerFile = Tag(ui.lblMaxPower);
  e.probeFile = Tag(ui.lblProbeFile);
  e.coupling = SelectedOption({ui.optSingle, ui.optDualFwdRev, ui.optDualSplit});
  e.ampType = SelectedOption({ui.optGenericAmp, ui.optIFIAmp});
  e.ifiAttenTicked = ui.chkIfiAtten->isChecked();
  e.ifiPwrTicked = ui.chkIfiPwr->isChecked();
  return e;
}

bool frmEquipment::ValidateAndApply() {
  const int tab = ui_->tabSetup->currentIndex();
  // The addresses are checked on the first tab, the band switch on the last, so that a
  // refused box is in view.
  ui_->tabSetup->setCurrentIndex(kTabInstruments);
  const EntryCheck check = editing_.Apply(CollectEntries());
  if (check.Passed()) {
    ui_->tabSetup->setCurrentIndex(tab);
    return true;
  }
  if (check.box == EntryBox::IfiBandSwitch) ui_->tabSetup->setCurrentIndex(kTabAmplifier);
  QLineEdit* box = BoxOf(check.box);
  if (check.fault == EntryFault::NotNumber) {
    WarnNotNumber(box, context_.host);
  } else {
    WarnOutOfRange(box, context_.host);
  }
  return false;
}

void frmEquipment::closeEvent(QCloseEvent* event) {
  if (!ValidateAndApply()) {
    event->ignore();
    return;
  }
  event->accept();
  if (callingForm_ != nullptr) callingForm_->show();
  callingForm_ = nullptr;
  emit Closed();
}

void frmEquipment::SelectInstrument(EquipInstrument which) {
  editing_.GiveConfiguredAddress(which);
  const std::string folder = context_.settings.GetEquipDir();
  Brimtal& c = context_;
  // The definition window asks for the file and loads it; it is never shown.
  switch (which) {
    case EquipInstrument::SigGen: frmSigGen(c.host, c.sigGen, c.gpib, folder, this).Load(); break;
    case EquipInstrument::Meter:
      frmMeter(c.host, c.meter, c.gpib, c.script, folder, this).Load();
      break;
    case EquipInstrument::PowerMeter:
      frmPMeter(c.host, c.pm, c.gpib, c.script, folder, this).Load();
      break;
  }
  ShowInstrument(which, editing_.TakeDriverSelection(which));
}

void frmEquipment::DefineInstrument(EquipInstrument which) {
  const std::string folder = context_.settings.GetEquipDir();
  Brimtal& c = context_;
  switch (which) {
    case EquipInstrument::SigGen: {
      frmSigGen window(c.host, c.sigGen, c.gpib, folder, this);
      window.exec();
      break;
    }
    case EquipInstrument::Meter: {
      frmMeter window(c.host, c.meter, c.gpib, c.script, folder, this);
      RunModal(window);
      break;
    }
    case EquipInstrument::PowerMeter: {
      frmPMeter window(c.host, c.pm, c.gpib, c.script, folder, this);
      RunModal(window);
      break;
    }
  }
  InstrumentShown shown;
  if (editing_.FollowDriver(which, shown)) ShowInstrument(which, shown);
}

void frmEquipment::BrowseFactor(std::size_t factor) {
  const FactorBrowse& kind = kFactors[factor];
  const std::string path = PickFile(context_.host, false, kind.filter, kind.title, kind.pattern,
                                    context_.settings.GetDir(kind.folder));
  // A file that does not read as a factor table has been reported and leaves the old choice.
  if (path.empty() || !editing_.ReadsAsFactorFile(path)) return;
  (context_.equip.*kind.store)(path);
  FitPathToLabel(path, FactorLabels()[factor]);
}

void frmEquipment::EditFactors(int filterDefault) {
  // The editor belongs to no window: it stays open when this one closes.
  frmEditFactor::ShowModeless(context_.host, context_.settings.GetFactorsDir(), filterDefault);
}

void frmEquipment::StartInterp() {
  const QString folder = ToQt(context_.paths.programDir);
  if (!QProcess::startDetached(folder + QStringLiteral("/interp"), {}, folder)) {
    context_.host.MsgBox("Error running Interp.exe");
  }
}

void frmEquipment::ShowHelpOnTab() {
  const int tab = ui_->tabSetup->currentIndex();
  if (tab < 0 || tab >= static_cast<int>(std::size(kTabHelp))) return;
  ShowHelpKey(Manual::Brimtal, QString::fromUtf8(kTabHelp[tab]), this);
}

void frmEquipment::ShowAbout() {
  frmAbout about({QStringLiteral("Brimtal"), QStringLiteral("Brimtal RF Immunity"),
                  QStringLiteral("Conducted RF immunity testing for the EMC laboratory"),
                  ToQt(ScriptEngineVersionText(context_.script)), QPixmap()},
                 context_.host, this);
  about.exec();
}

void frmEquipment::Load() {
  const std::string path = PickFile(context_.host, false, kEquipmentFilter, kSelectEquipmentTitle,
                                    "", context_.settings.GetEquipDir());
  SetFilePath(path);
  if (path.empty()) return;
  // A file that failed part way has been reported; the record is shown as it now stands.
  context_.equip.LoadDef(path);
  ShowConfiguration();
}

void frmEquipment::Save() {
  if (!ValidateAndApply()) return;
  if (path_.empty()) {
    SaveUnderNewName();
  } else {
    context_.equip.SaveDef(path_);
  }
}

void frmEquipment::SaveAs() {
  if (ValidateAndApply()) SaveUnderNewName();
}

void frmEquipment::SaveUnderNewName() {
  const std::string path = PickFile(context_.host, true, kEquipmentFilter, kSelectEquipmentTitle,
                                    "", context_.settings.GetEquipDir(), FileNameOfPath(path_));
  // Cancelling keeps the file this window works on.
  if (path.empty()) return;
  SetFilePath(path);
  context_.equip.SaveDef(path);
}

void frmEquipment::CreateShortcut() {
  CreateDesktopShortcut(context_.host, context_.settings, context_.paths.ProgramPath(),
                        desktopFolder_.empty() ? UserDesktopFolder() : desktopFolder_);
}

void WireEquipment(Brimtal& context, StartupHooks& hooks, TopMenu& menu) {
  hooks.loadEquipment = [&context](const std::string& path) { return context.equip.LoadDef(path); };
  hooks.applyEquipment = [&context] { frmEquipment::ApplyUnseen(context); };
  menu.SetActivity(TopMenu::Activity::ConfigSys, [&context](TopMenu& callingForm) -> QWidget* {
    return frmEquipment::OpenFrom(context, callingForm);
  });
}

}  // namespace brimtal
