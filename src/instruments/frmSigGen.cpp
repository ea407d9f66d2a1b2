// The signal generator definition window.
#include "instruments/frmSigGen.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <cmath>
#include <filesystem>

#include "instruments/Gpib.h"
#include "instruments/SigGen.h"
#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/UiGlobals.h"
#include "ui_frmSigGen.h"

namespace brimtal {

namespace {

constexpr const char* kFilter = "Signal Generators (*.sg)|*.sg|All Files|*.*";
constexpr const char* kHelpKeyword = "frmSigGen";

QAction* AddMenuAction(QMenu* menu, const char* name, const char* text) {
  QAction* action = menu->addAction(QString::fromUtf8(text));
  action->setObjectName(QString::fromUtf8(name));
  return action;
}

}  // namespace

frmSigGen::frmSigGen(Host& host, SigGen& sigGen, Gpib& gpib, std::string startDir, QWidget* parent)
    : QDialog(parent),
      host_(host),
      sigGen_(sigGen),
      gpib_(gpib),
      startDir_(std::move(startDir)),
      ui_(new Ui::frmSigGen),
      checks_(host) {
  ui_->setupUi(this);
  BuildMenus();
  for (QCheckBox* box : {ui_->chkAmCapable, ui_->chkFmCapable, ui_->chkPulseCapable}) {
    connect(box, &QCheckBox::toggled, this, &frmSigGen::EnableGroups);
  }
  ShowDefinition();
}

frmSigGen::~frmSigGen() = default;

void frmSigGen::BuildMenus() {
  auto* menuBar = new QMenuBar(this);
  menuBar->setObjectName("mnuBar");

  QMenu* file = menuBar->addMenu(tr("&File"));
  file->setObjectName("mnuFile");
  connect(AddMenuAction(file, "mnuFileLoad", "&Load..."), &QAction::triggered, this, [this] {
    if (!gate_.Busy()) Load();
  });
  mnuFileSave_ = AddMenuAction(file, "mnuFileSave", "&Save ");
  connect(mnuFileSave_, &QAction::triggered, this, [this] {
    if (!gate_.Busy()) Save();
  });
  connect(AddMenuAction(file, "mnuFileSaveAs", "Save &As..."), &QAction::triggered, this, [this] {
    if (!gate_.Busy()) SaveAs();
  });
  connect(AddMenuAction(file, "mnuFilePrint", "&Print..."), &QAction::triggered, this,
          [this] { Run(&frmSigGen::Print); });
  file->addSeparator();
  connect(AddMenuAction(file, "mnuFileExit", "E&xit"), &QAction::triggered, this,
          &frmSigGen::close);

  QMenu* test = menuBar->addMenu(tr("&Test"));
  test->setObjectName("mnuTest");
  mnuTestInit_ = AddMenuAction(test, "mnuTestInit", "&Init");
  connect(mnuTestInit_, &QAction::triggered, this, [this] { Run(&frmSigGen::TestInit); });
  struct Item {
    const char* name;
    const char* text;
    void (frmSigGen::*command)();
  };
  const Item items[] = {
      {"mnuTestSetFreqLev", "Set &CW Freq and Lev", &frmSigGen::TestSetFreqLevel},
      {"mnuTestEnableAm", "Enable &AM", &frmSigGen::TestEnableAm},
      {"mnuTestEnableFm", "Enable &FM", &frmSigGen::TestEnableFm},
      {"mnuTestEnablePulse", "Enable &Pulse Mod", &frmSigGen::TestEnablePulse},
      {"mnuTestDisableMod", "&Disable Modulation", &frmSigGen::TestDisableModulation},
      {"mnuTestRfOn", "RF &On", &frmSigGen::TestRfOn},
      {"mnuTestRfOff", "&RF Off", &frmSigGen::TestRfOff},
      {"mnuTestLocal", "&Local", &frmSigGen::TestLocal},
  };
  for (const Item& item : items) {
    if (item.command == &frmSigGen::TestDisableModulation ||
        item.command == &frmSigGen::TestLocal) {
      test->addSeparator();
    }
    QAction* action = AddMenuAction(test, item.name, item.text);
    const auto command = item.command;
    connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    testItems_.append(action);
  }
  EnableTestItems(false);

  QMenu* help = menuBar->addMenu(tr("&Help"));
  help->setObjectName("mnuHelp");
  connect(AddMenuAction(help, "mnuHelpWindow", "&Signal generator definition\tF1"),
          &QAction::triggered, this,
          [this] { ShowHelpKey(Manual::Brimtal, QString::fromUtf8(kHelpKeyword), this); });
  layout()->setMenuBar(menuBar);
}

// --- the definition in the controls ---

std::vector<TextBox<SigGenDef>> frmSigGen::TextBoxes() const {
  return {{ui_->txtName, &SigGenDef::Name},
          {ui_->txtInit, &SigGenDef::InitString},
          {ui_->txtFreqSetPre, &SigGenDef::FreqSetPre},
          {ui_->txtFreqSetSuf, &SigGenDef::FreqSetSuf},
          {ui_->txtLevelSetPre, &SigGenDef::LevelSetPre},
          {ui_->txtLevelSetSuf, &SigGenDef::LevelSetSuf},
          {ui_->txtModOff, &SigGenDef::ModOff},
          {ui_->txtRfOff, &SigGenDef::RfOff},
          {ui_->txtRfOn, &SigGenDef::RfOn},
          {ui_->txtAmModFreqPre, &SigGenDef::AmModFreqPre},
          {ui_->txtAmModFreqSuf, &SigGenDef::AmModFreqSuf},
          {ui_->txtAmModDepthPre, &SigGenDef::AmModDepthPre},
          {ui_->txtAmModDepthSuf, &SigGenDef::AmModDepthSuf},
          {ui_->txtAmModOn, &SigGenDef::AmModOn},
          {ui_->txtFmModFreqPre, &SigGenDef::FmModFreqPre},
          {ui_->txtFmModFreqSuf, &SigGenDef::FmModFreqSuf},
          {ui_->txtFmModDevPre, &SigGenDef::FmModDevPre},
          {ui_->txtFmModDevSuf, &SigGenDef::FmModDevSuf},
          {ui_->txtFmModOn, &SigGenDef::FmModOn},
          {ui_->txtPulseModFreqPre, &SigGenDef::PulseModFreqPre},
          {ui_->txtPulseModFreqSuf, &SigGenDef::PulseModFreqSuf},
          {ui_->txtPulseModWidthPre, &SigGenDef::PulseModWidthPre},
          {ui_->txtPulseModWidthSuf, &SigGenDef::PulseModWidthSuf},
          {ui_->txtPulseModOn, &SigGenDef::PulseModOn}};
}

void frmSigGen::ShowDefinition() {
  const SigGenDef d = sigGen_.SigGenGetDefinition();
  ShowTexts(TextBoxes(), d);
  ShowText(ui_->txtAddress, vbtext::GeneralText(static_cast<double>(d.Address)));
  ui_->chkAmCapable->setChecked(d.AmCapable != 0);
  ui_->chkFmCapable->setChecked(d.FmCapable != 0);
  ui_->chkPulseCapable->setChecked(d.PulseCapable != 0);
  ShowText(ui_->txtMaxLev, vbtext::GeneralText(d.MaxLevel));
  ShowText(ui_->txtMinLev, vbtext::GeneralText(d.MinLevel));
  ShowText(ui_->txtMaxFreq, vbtext::GeneralText(d.MaxFreq));
  ShowText(ui_->txtMinFreq, vbtext::GeneralText(d.MinFreq));
  // A code none of the buttons stands for shows no button and is kept when collecting.
  SetOption({ui_->optEOSnone, ui_->optEOScr, ui_->optEOScrlf}, d.Eos);
  EnableGroups();
  UpdateCaption();
}

void frmSigGen::EnableGroups() {
  const struct {
    QCheckBox* capable;
    QList<QLineEdit*> boxes;
  } groups[] = {
      {ui_->chkAmCapable,
       {ui_->txtAmModFreqPre, ui_->txtAmModFreqSuf, ui_->txtAmModDepthPre, ui_->txtAmModDepthSuf,
        ui_->txtAmModOn}},
      {ui_->chkFmCapable,
       {ui_->txtFmModFreqPre, ui_->txtFmModFreqSuf, ui_->txtFmModDevPre, ui_->txtFmModDevSuf,
        ui_->txtFmModOn}},
      {ui_->chkPulseCapable,
       {ui_->txtPulseModFreqPre, ui_->txtPulseModFreqSuf, ui_->txtPulseModWidthPre,
        ui_->txtPulseModWidthSuf, ui_->txtPulseModOn}},
  };
  for (const auto& group : groups) {
    for (QLineEdit* box : group.boxes) box->setEnabled(group.capable->isChecked());
  }
}

void frmSigGen::UpdateCaption() {
  ShowFileInCaption(*this, mnuFileSave_, "Signal Generator File: ", sigGen_.SigGenFileName(),
                    gpib_);
}

// The checks run in a fixed order and stop at the first box that is wrong; the definition
// changes only when every box is right.
bool frmSigGen::CollectDefinition(int* answer) {
  double address = 0;
  double maxFreq = 0;
  double minFreq = 0;
  double maxLev = 0;
  double minLev = 0;
  const bool checked =
      checks_.Number(ui_->txtAddress, 0, 30, address) &&
      checks_.Number(ui_->txtMaxFreq, BoxChecks::kPositive, BoxChecks::kDoubleMax, maxFreq) &&
      checks_.Number(ui_->txtMinFreq, BoxChecks::kPositive, BoxChecks::kDoubleMax, minFreq) &&
      (minFreq < maxFreq || checks_.Reject(ui_->txtMinFreq)) &&
      checks_.Number(ui_->txtMaxLev, -BoxChecks::kFloatMax, BoxChecks::kFloatMax, maxLev) &&
      checks_.Number(ui_->txtMinLev, -BoxChecks::kFloatMax, BoxChecks::kFloatMax, minLev);
  if (!checked) {
    if (answer != nullptr) *answer = checks_.Answer();
    return false;
  }
  SigGenDef d = sigGen_.SigGenGetDefinition();
  CollectTexts(TextBoxes(), d);
  d.Address = static_cast<std::int16_t>(vbtext::RoundHalfEven(address));
  d.AmCapable = ui_->chkAmCapable->isChecked() ? 1 : 0;
  d.FmCapable = ui_->chkFmCapable->isChecked() ? 1 : 0;
  d.PulseCapable = ui_->chkPulseCapable->isChecked() ? 1 : 0;
  d.MaxLevel = static_cast<float>(maxLev);
  d.MinLevel = static_cast<float>(minLev);
  d.MaxFreq = maxFreq;
  d.MinFreq = minFreq;
  d.Eos = OptionCode({ui_->optEOSnone, ui_->optEOScr, ui_->optEOScrlf}, d.Eos);
  sigGen_.SigGenSetDefinition(d);
  return true;
}

// --- File menu ---

bool frmSigGen::Load() {
  const std::string path =
      PickFile(host_, false, kFilter, "Select signal generator definition file", "*.sg", startDir_);
  if (path.empty()) return false;
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (!folder.empty()) startDir_ = folder;
  const bool loaded = sigGen_.LoadFile(path);
  ShowDefinition();  // also what a failed load read before it stopped
  return loaded;
}

bool frmSigGen::SaveAs() {
  const std::string path = PickFile(host_, true, kFilter, "Select signal generator filename",
                                    "*.sg", startDir_, FileNameOfPath(sigGen_.SigGenFileName()));
  if (path.empty() || !CollectDefinition()) return false;
  const bool saved = sigGen_.SaveFile(path);
  UpdateCaption();
  return saved;
}

bool frmSigGen::Save() {
  if (sigGen_.SigGenFileName().empty()) return SaveAs();
  if (!CollectDefinition()) return false;
  return sigGen_.SaveFile(sigGen_.SigGenFileName());
}

void frmSigGen::Print() {
  if (!CollectDefinition()) return;
  const std::unique_ptr<Printer> printer = host_.PrinterDialog(PrinterDialogRequest{"Printer"});
  if (printer) sigGen_.PrintSetup(*printer);
}

// --- Test menu ---

void frmSigGen::EnableTestItems(bool enabled) {
  for (QAction* item : testItems_) item->setEnabled(enabled);
}

void frmSigGen::Run(void (frmSigGen::*command)()) {
  gate_.Run([this, command] { (this->*command)(); });
}

std::string frmSigGen::SuffixOf(const QLineEdit* box) const {
  return BoxText(box);
}

std::optional<float> frmSigGen::AskFloat(const std::string& prompt, const char* defaultText) {
  const auto value = AskNumber(host_, prompt, defaultText);
  if (!value) return std::nullopt;
  if (!(std::fabs(*value) <= BoxChecks::kFloatMax)) {
    host_.MsgBox(ErrorNumberText(MakeFileError(vberr::kOverflow)));
    return std::nullopt;
  }
  return static_cast<float>(*value);
}

std::optional<std::pair<double, float>> frmSigGen::AskFreqLevel() {
  const auto freq = AskNumber(host_, "Enter Frequency in " + SuffixOf(ui_->txtFreqSetSuf), "80");
  if (!freq) return std::nullopt;
  const auto level = AskFloat("Enter Level in " + SuffixOf(ui_->txtLevelSetSuf), "-55");
  if (!level) return std::nullopt;
  return std::pair{*freq, *level};
}

bool frmSigGen::OnGenerator(const std::function<void()>& command) {
  if (!CollectDefinition()) return false;
  const BusyPointer pointer(host_);
  command();
  return true;
}

void frmSigGen::EnableModulation(const Parameter& first, const Parameter& second,
                                 const std::function<bool(float, float)>& set,
                                 const std::function<bool()>& switchOn) {
  if (!CollectDefinition()) return;
  const auto a = AskFloat(first.prompt + SuffixOf(first.suffix), first.defaultText);
  if (!a) return;
  const auto b = AskFloat(second.prompt + SuffixOf(second.suffix), second.defaultText);
  if (!b) return;
  const BusyPointer pointer(host_);
  sigGen_.SigGenModOff();
  if (set(*a, *b)) switchOn();
}

void frmSigGen::TestInit() {
  if (!CollectDefinition()) return;
  const auto request = AskFreqLevel();
  if (!request) return;
  const BusyPointer pointer(host_);
  // Without interface clear nothing was opened, so there is nothing to shut down either.
  if (!gpib_.GpibSendIfc()) return;
  if (sigGen_.SigGenInit(request->first, request->second)) {
    EnableTestItems(true);
  } else {
    sigGen_.SigGenShutdown();
  }
}

void frmSigGen::TestSetFreqLevel() {
  if (!CollectDefinition()) return;
  const auto request = AskFreqLevel();
  if (!request) return;
  const BusyPointer pointer(host_);
  sigGen_.SigGenSetFreqLevel(request->first, request->second);
}

void frmSigGen::TestEnableAm() {
  EnableModulation(
      {"Enter Modulation Frequency in ", ui_->txtAmModFreqSuf, "1"},
      {"Enter Modulation Depth in ", ui_->txtAmModDepthSuf, "80"},
      [this](float freq, float depth) { return sigGen_.SigGenSetAm(freq, depth, false); },
      [this] { return sigGen_.SigGenAmOn(); });
}

void frmSigGen::TestEnableFm() {
  EnableModulation(
      {"Enter Modulation Frequency in ", ui_->txtFmModFreqSuf, "1"},
      {"Enter Modulation Deviation in ", ui_->txtFmModDevSuf, "10"},
      [this](float freq, float deviation) { return sigGen_.SigGenSetFm(freq, deviation); },
      [this] { return sigGen_.SigGenFmOn(); });
}

void frmSigGen::TestEnablePulse() {
  EnableModulation(
      {"Enter Pulse Frequency in ", ui_->txtPulseModFreqSuf, "1"},
      {"Enter Pulse Width in ", ui_->txtPulseModWidthSuf, "0.01"},
      [this](float freq, float width) { return sigGen_.SigGenSetPulse(freq, width); },
      [this] { return sigGen_.SigGenPulseOn(); });
}

void frmSigGen::TestDisableModulation() {
  OnGenerator([this] { sigGen_.SigGenModOff(); });
}

void frmSigGen::TestRfOn() {
  OnGenerator([this] { sigGen_.SigGenRfOn(); });
}

void frmSigGen::TestRfOff() {
  OnGenerator([this] { sigGen_.SigGenRfOff(); });
}

void frmSigGen::TestLocal() {
  // The items are disabled again whatever the shutdown's result.
  if (OnGenerator([this] { sigGen_.SigGenShutdown(); })) EnableTestItems(false);
}

// --- window events ---

// Opening shows the driver's definition; coming back from the task bar keeps the edits.
void frmSigGen::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) ShowDefinition();
  QDialog::showEvent(event);
}

void frmSigGen::reject() {
  close();
}

// Closing keeps what the boxes hold; when a box is wrong, Retry keeps the window open and
// Cancel closes it without the change.
void frmSigGen::closeEvent(QCloseEvent* event) {
  int answer = kWarnNotShown;
  if (gate_.Busy() || (!CollectDefinition(&answer) && answer == kWarnRetry)) {
    event->ignore();
    return;
  }
  event->accept();
  QDialog::reject();
  if (callingForm_) callingForm_->show();
  emit Closed();
}

void frmSigGen::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    ShowHelpKey(Manual::Brimtal, QString::fromUtf8(kHelpKeyword), this);
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace brimtal
