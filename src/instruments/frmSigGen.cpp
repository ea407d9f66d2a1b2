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
#include <limits>

#include "instruments/Gpib.h"
#include "instruments/SigGen.h"
#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/HelpViewer.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/QtHost.h"
#include "shell/UiGlobals.h"
#include "shell/VbText.h"
#include "ui_frmSigGen.h"

namespace brimtal {

namespace {

constexpr const char* kFilter = "Signal Generators (*.sg)|*.sg|All Files|*.*";
constexpr const char* kHelpKeyword = "frmSigGen";
constexpr int kOverflow = 6;

QAction* AddMenuAction(QMenu* menu, const char* name, const char* text) {
  QAction* action = menu->addAction(QString::fromUtf8(text));
  action->setObjectName(QString::fromUtf8(name));
  return action;
}

std::string Text(const QLineEdit* box) {
  return FromQt(box->text());
}

void SetText(QLineEdit* box, const std::string& text) {
  box->setText(QString::fromStdString(text));
  box->setCursorPosition(0);
}

// A path shown in a menu item: its ampersands are not mnemonics.
QString MenuText(const std::string& text) {
  return QString::fromStdString(text).replace('&', "&&");
}

bool FitsFloat(double value) {
  return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

// The box shown when a typed answer does not convert: number CR description.
std::string ConversionErrorText(int number) {
  const FileError error = MakeFileError(number);
  return "Error # " + std::to_string(error.number) + "\r" + error.description;
}

// The mouse pointer shows that the bus is busy for as long as a command runs.
class BusyPointer {
 public:
  explicit BusyPointer(Host& host) : host_(host) { host_.SetBusy(true); }
  ~BusyPointer() { host_.SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Host& host_;
};

}  // namespace

frmSigGen::frmSigGen(Host& host, SigGen& sigGen, Gpib& gpib, std::string startDir, QWidget* parent)
    : QDialog(parent),
      host_(host),
      sigGen_(sigGen),
      gpib_(gpib),
      startDir_(std::move(startDir)),
      ui_(new Ui::frmSigGen) {
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
    if (!busy_) Load();
  });
  mnuFileSave_ = AddMenuAction(file, "mnuFileSave", "&Save ");
  connect(mnuFileSave_, &QAction::triggered, this, [this] {
    if (!busy_) Save();
  });
  connect(AddMenuAction(file, "mnuFileSaveAs", "Save &As..."), &QAction::triggered, this, [this] {
    if (!busy_) SaveAs();
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

void frmSigGen::ShowDefinition() {
  const SigGenDef d = sigGen_.SigGenGetDefinition();
  SetText(ui_->txtName, d.Name);
  SetText(ui_->txtAddress, vbtext::GeneralText(static_cast<double>(d.Address)));
  SetText(ui_->txtInit, d.InitString);
  SetText(ui_->txtFreqSetPre, d.FreqSetPre);
  SetText(ui_->txtFreqSetSuf, d.FreqSetSuf);
  SetText(ui_->txtLevelSetPre, d.LevelSetPre);
  SetText(ui_->txtLevelSetSuf, d.LevelSetSuf);
  SetText(ui_->txtModOff, d.ModOff);
  SetText(ui_->txtRfOff, d.RfOff);
  SetText(ui_->txtRfOn, d.RfOn);
  ui_->chkAmCapable->setChecked(d.AmCapable != 0);
  SetText(ui_->txtAmModFreqPre, d.AmModFreqPre);
  SetText(ui_->txtAmModFreqSuf, d.AmModFreqSuf);
  SetText(ui_->txtAmModDepthPre, d.AmModDepthPre);
  SetText(ui_->txtAmModDepthSuf, d.AmModDepthSuf);
  SetText(ui_->txtAmModOn, d.AmModOn);
  ui_->chkFmCapable->setChecked(d.FmCapable != 0);
  SetText(ui_->txtFmModFreqPre, d.FmModFreqPre);
  SetText(ui_->txtFmModFreqSuf, d.FmModFreqSuf);
  SetText(ui_->txtFmModDevPre, d.FmModDevPre);
  SetText(ui_->txtFmModDevSuf, d.FmModDevSuf);
  SetText(ui_->txtFmModOn, d.FmModOn);
  ui_->chkPulseCapable->setChecked(d.PulseCapable != 0);
  SetText(ui_->txtPulseModFreqPre, d.PulseModFreqPre);
  SetText(ui_->txtPulseModFreqSuf, d.PulseModFreqSuf);
  SetText(ui_->txtPulseModWidthPre, d.PulseModWidthPre);
  SetText(ui_->txtPulseModWidthSuf, d.PulseModWidthSuf);
  SetText(ui_->txtPulseModOn, d.PulseModOn);
  SetText(ui_->txtMaxLev, vbtext::GeneralText(d.MaxLevel));
  SetText(ui_->txtMinLev, vbtext::GeneralText(d.MinLevel));
  SetText(ui_->txtMaxFreq, vbtext::GeneralText(d.MaxFreq));
  SetText(ui_->txtMinFreq, vbtext::GeneralText(d.MinFreq));
  // A code none of the buttons stands for shows no button and is kept when collecting.
  QRadioButton* const eosButtons[] = {ui_->optEOSnone, ui_->optEOScr, ui_->optEOScrlf};
  for (int code = 0; code < 3; ++code) {
    QRadioButton* button = eosButtons[code];
    button->setAutoExclusive(false);
    button->setChecked(d.Eos == code);
    button->setAutoExclusive(true);
  }
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
  const std::string& path = sigGen_.SigGenFileName();
  std::string caption = "Signal Generator File: " + path;
  if (gpib_.Bus().IsSimulated()) caption += " (" + gpib_.Bus().Description() + ")";
  setWindowTitle(QString::fromStdString(caption));
  mnuFileSave_->setText("&Save " + MenuText(path));
}

// The checks run in a fixed order and stop at the first box that is wrong; the definition
// changes only when every box is right.
bool frmSigGen::CollectDefinition(int* answer) {
  auto reject = [&](QLineEdit* box, bool notNumber) {
    const int given = notNumber ? WarnNotNumber(box, host_) : WarnOutOfRange(box, host_);
    if (answer != nullptr) *answer = given;
    return false;
  };
  const auto address = vbtext::ToNumber(Text(ui_->txtAddress));
  if (!address) return reject(ui_->txtAddress, true);
  if (!(*address >= 0 && *address <= 30)) return reject(ui_->txtAddress, false);
  const auto maxFreq = vbtext::ToNumber(Text(ui_->txtMaxFreq));
  if (!maxFreq) return reject(ui_->txtMaxFreq, true);
  if (!(*maxFreq > 0 && std::isfinite(*maxFreq))) return reject(ui_->txtMaxFreq, false);
  const auto minFreq = vbtext::ToNumber(Text(ui_->txtMinFreq));
  if (!minFreq) return reject(ui_->txtMinFreq, true);
  if (!(*minFreq > 0 && *minFreq < *maxFreq)) return reject(ui_->txtMinFreq, false);
  const auto maxLev = vbtext::ToNumber(Text(ui_->txtMaxLev));
  if (!maxLev) return reject(ui_->txtMaxLev, true);
  if (!FitsFloat(*maxLev)) return reject(ui_->txtMaxLev, false);
  const auto minLev = vbtext::ToNumber(Text(ui_->txtMinLev));
  if (!minLev) return reject(ui_->txtMinLev, true);
  if (!FitsFloat(*minLev)) return reject(ui_->txtMinLev, false);

  SigGenDef d = sigGen_.SigGenGetDefinition();
  d.Name = Text(ui_->txtName);
  d.Address = static_cast<std::int16_t>(vbtext::RoundHalfEven(*address));
  d.InitString = Text(ui_->txtInit);
  d.FreqSetPre = Text(ui_->txtFreqSetPre);
  d.FreqSetSuf = Text(ui_->txtFreqSetSuf);
  d.LevelSetPre = Text(ui_->txtLevelSetPre);
  d.LevelSetSuf = Text(ui_->txtLevelSetSuf);
  d.ModOff = Text(ui_->txtModOff);
  d.RfOff = Text(ui_->txtRfOff);
  d.RfOn = Text(ui_->txtRfOn);
  d.AmCapable = ui_->chkAmCapable->isChecked() ? 1 : 0;
  d.AmModFreqPre = Text(ui_->txtAmModFreqPre);
  d.AmModFreqSuf = Text(ui_->txtAmModFreqSuf);
  d.AmModDepthPre = Text(ui_->txtAmModDepthPre);
  d.AmModDepthSuf = Text(ui_->txtAmModDepthSuf);
  d.AmModOn = Text(ui_->txtAmModOn);
  d.FmCapable = ui_->chkFmCapable->isChecked() ? 1 : 0;
  d.FmModFreqPre = Text(ui_->txtFmModFreqPre);
  d.FmModFreqSuf = Text(ui_->txtFmModFreqSuf);
  d.FmModDevPre = Text(ui_->txtFmModDevPre);
  d.FmModDevSuf = Text(ui_->txtFmModDevSuf);
  d.FmModOn = Text(ui_->txtFmModOn);
  d.PulseCapable = ui_->chkPulseCapable->isChecked() ? 1 : 0;
  d.PulseModFreqPre = Text(ui_->txtPulseModFreqPre);
  d.PulseModFreqSuf = Text(ui_->txtPulseModFreqSuf);
  d.PulseModWidthPre = Text(ui_->txtPulseModWidthPre);
  d.PulseModWidthSuf = Text(ui_->txtPulseModWidthSuf);
  d.PulseModOn = Text(ui_->txtPulseModOn);
  d.MaxLevel = static_cast<float>(*maxLev);
  d.MinLevel = static_cast<float>(*minLev);
  d.MaxFreq = *maxFreq;
  d.MinFreq = *minFreq;
  if (ui_->optEOSnone->isChecked()) d.Eos = 0;
  if (ui_->optEOScr->isChecked()) d.Eos = 1;
  if (ui_->optEOScrlf->isChecked()) d.Eos = 2;
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
  if (busy_) return;
  busy_ = true;
  struct Done {
    bool& busy;
    ~Done() { busy = false; }
  } done{busy_};
  (this->*command)();
}

std::string frmSigGen::SuffixOf(const QLineEdit* box) const {
  return Text(box);
}

std::optional<double> frmSigGen::AskNumber(const std::string& prompt, const char* defaultText) {
  const auto answer = host_.InputBox(prompt, {}, defaultText);
  if (!answer || answer->empty()) return std::nullopt;
  const auto value = vbtext::ToNumber(*answer);
  if (!value) {
    host_.MsgBox(ConversionErrorText(vberr::kTypeMismatch));
    return std::nullopt;
  }
  return value;
}

std::optional<float> frmSigGen::AskFloat(const std::string& prompt, const char* defaultText) {
  const auto value = AskNumber(prompt, defaultText);
  if (!value) return std::nullopt;
  if (!FitsFloat(*value)) {
    host_.MsgBox(ConversionErrorText(kOverflow));
    return std::nullopt;
  }
  return static_cast<float>(*value);
}

void frmSigGen::TestInit() {
  if (!CollectDefinition()) return;
  const auto freq = AskNumber("Enter Frequency in " + SuffixOf(ui_->txtFreqSetSuf), "80");
  if (!freq) return;
  const auto level = AskFloat("Enter Level in " + SuffixOf(ui_->txtLevelSetSuf), "-55");
  if (!level) return;
  BusyPointer pointer(host_);
  // Without interface clear nothing was opened, so there is nothing to shut down either.
  if (!gpib_.GpibSendIfc()) return;
  if (sigGen_.SigGenInit(*freq, *level)) {
    EnableTestItems(true);
  } else {
    sigGen_.SigGenShutdown();
  }
}

void frmSigGen::TestSetFreqLevel() {
  if (!CollectDefinition()) return;
  const auto freq = AskNumber("Enter Frequency in " + SuffixOf(ui_->txtFreqSetSuf), "80");
  if (!freq) return;
  const auto level = AskFloat("Enter Level in " + SuffixOf(ui_->txtLevelSetSuf), "-55");
  if (!level) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenSetFreqLevel(*freq, *level);
}

void frmSigGen::TestEnableAm() {
  if (!CollectDefinition()) return;
  const auto freq =
      AskFloat("Enter Modulation Frequency in " + SuffixOf(ui_->txtAmModFreqSuf), "1");
  if (!freq) return;
  const auto depth = AskFloat("Enter Modulation Depth in " + SuffixOf(ui_->txtAmModDepthSuf), "80");
  if (!depth) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenModOff();
  if (sigGen_.SigGenSetAm(*freq, *depth, false)) sigGen_.SigGenAmOn();
}

void frmSigGen::TestEnableFm() {
  if (!CollectDefinition()) return;
  const auto freq =
      AskFloat("Enter Modulation Frequency in " + SuffixOf(ui_->txtFmModFreqSuf), "1");
  if (!freq) return;
  const auto deviation =
      AskFloat("Enter Modulation Deviation in " + SuffixOf(ui_->txtFmModDevSuf), "10");
  if (!deviation) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenModOff();
  if (sigGen_.SigGenSetFm(*freq, *deviation)) sigGen_.SigGenFmOn();
}

void frmSigGen::TestEnablePulse() {
  if (!CollectDefinition()) return;
  const auto freq = AskFloat("Enter Pulse Frequency in " + SuffixOf(ui_->txtPulseModFreqSuf), "1");
  if (!freq) return;
  const auto width = AskFloat("Enter Pulse Width in " + SuffixOf(ui_->txtPulseModWidthSuf), "0.01");
  if (!width) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenModOff();
  if (sigGen_.SigGenSetPulse(*freq, *width)) sigGen_.SigGenPulseOn();
}

void frmSigGen::TestDisableModulation() {
  if (!CollectDefinition()) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenModOff();
}

void frmSigGen::TestRfOn() {
  if (!CollectDefinition()) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenRfOn();
}

void frmSigGen::TestRfOff() {
  if (!CollectDefinition()) return;
  BusyPointer pointer(host_);
  sigGen_.SigGenRfOff();
}

void frmSigGen::TestLocal() {
  if (!CollectDefinition()) return;
  {
    BusyPointer pointer(host_);
    sigGen_.SigGenShutdown();
  }
  EnableTestItems(false);
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
  if (busy_ || (!CollectDefinition(&answer) && answer == kWarnRetry)) {
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
