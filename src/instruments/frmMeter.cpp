// The meter definition window.
#include "instruments/frmMeter.h"

#include "instruments/Gpib.h"
#include "instruments/Meter.h"
#include "shell/Host.h"
#include "shell/QtHost.h"
#include "shell/VbText.h"
#include "ui_frmMeter.h"

namespace brimtal {

namespace {

const DefinitionFileKind kMeterFiles{"Meter File: ",
                                     "Select meter definition file",
                                     "Select meter filename",
                                     "Meters (*.mtr)|*.mtr|All Files|*.*",
                                     "*.mtr",
                                     "frmMeter"};

constexpr const char* kMaxLevelPattern = "##0.0##";
constexpr const char* kMinLevelPattern = "##0.0###";
// The unit option names, by code.
constexpr const char* kUnitNames[] = {"Volts", "dBuV", "mV", "dBmV", "dBm"};

}  // namespace

frmMeter::frmMeter(Host& host, Meter& meter, Gpib& gpib, ScriptEngine& engine, std::string startDir,
                   QWidget* parent)
    : DefinitionWindow(host, gpib, std::move(startDir), kMeterFiles, parent),
      ui_(std::make_unique<Ui::frmMeter>()),
      meter_(meter),
      engine_(engine) {
  ui_->setupUi(this);
  ConnectFileMenu({ui_->mnuFileLoad, ui_->mnuFileSave, ui_->mnuFileSaveAs, ui_->mnuFilePrint,
                   ui_->mnuFileExit, ui_->mnuHelpContents});
  ConnectCommand(ui_->mnuTestInit, [this] { mnuTestInit_Click(); });
  ConnectCommand(ui_->mnuTestSetFreq, [this] { mnuTestSetFreq_Click(); });
  ConnectCommand(ui_->mnuTestSetLevel, [this] { mnuTestSetLevel_Click(); });
  ConnectCommand(ui_->mnuTestTrigger, [this] { mnuTestTrigger_Click(); });
  ConnectCommand(ui_->mnuTestRead, [this] { mnuTestRead_Click(); });
  ConnectCommand(ui_->mnuTestShutdown, [this] { mnuTestShutdown_Click(); });
  ConnectCommand(ui_->mnuTestParse, [this] { mnuTestParse_Click(); });
  for (QRadioButton* option : UnitButtons()) {
    connect(option, &QRadioButton::toggled, this, &frmMeter::ShowLevelUnits);
  }
  EnableTests(false);
  ShowDefinition();
}

frmMeter::~frmMeter() = default;

std::vector<QRadioButton*> frmMeter::UnitButtons() const {
  return {ui_->optUnitVolts, ui_->optUnitDbuv, ui_->optUnitMv, ui_->optUnitDbmv, ui_->optUnitDbm};
}
std::vector<QRadioButton*> frmMeter::TypeButtons() const {
  return {ui_->optTypeSpecAn, ui_->optTypeScope, ui_->optTypeRFMeter};
}
std::vector<QRadioButton*> frmMeter::EosButtons() const {
  return {ui_->optEOSnone, ui_->optEOScr, ui_->optEOScrlf};
}

std::string frmMeter::FileName() const {
  return meter_.MeterFileName();
}
bool frmMeter::LoadFile(const std::string& path) {
  return meter_.LoadFile(path);
}
bool frmMeter::SaveFile(const std::string& path) {
  return meter_.SaveFile(path);
}
bool frmMeter::PrintSetup(Printer& printer) {
  return meter_.PrintSetup(printer);
}

void frmMeter::ShowDefinition() {
  const MeterDef& d = meter_.MeterGetDefinition();
  ui_->txtName->setText(ToQt(d.Name));
  ui_->txtAddress->setText(ToQt(vbtext::GeneralText(static_cast<double>(d.Address))));
  ui_->txtInit->setText(ToQt(d.InitString));
  ui_->txtFreqSetPre->setText(ToQt(d.FreqSetPre));
  ui_->txtFreqSetSuf->setText(ToQt(d.FreqSetSuf));
  ui_->txtLevSetPre->setText(ToQt(d.LevelSetPre));
  ui_->txtLevSetSuf->setText(ToQt(d.LevelSetSuf));
  ui_->txtRead->setText(ToQt(d.ReadCmd));
  ui_->txtTrigger->setText(ToQt(d.TriggerCmd));
  ui_->txtClose->setText(ToQt(d.Shutdown));
  ui_->txtMaxFreq->setText(ToQt(vbtext::GeneralText(d.MaxFreq)));
  ui_->txtMinFreq->setText(ToQt(vbtext::GeneralText(d.MinFreq)));
  ui_->txtSetTime->setText(ToQt(vbtext::GeneralText(d.SettlingTime)));
  ui_->txtParse->setText(ToQt(d.ParseCmd));
  shownUnits_ = d.Units;
  shownMaxLevel_ = MeterLevelText(d.MaxLevel, d.Units, kMaxLevelPattern);
  shownMinLevel_ = MeterLevelText(d.MinLevel, d.Units, kMinLevelPattern);
  ui_->txtMaxLev->setText(ToQt(shownMaxLevel_));
  ui_->txtMinLev->setText(ToQt(shownMinLevel_));
  SetOption(UnitButtons(), d.Units);
  SetOption(TypeButtons(), d.InstType);
  SetOption(EosButtons(), d.Eos);
  ShowLevelUnits();
}

// The labels beside the level boxes name the unit the boxes are read in.
void frmMeter::ShowLevelUnits() {
  const int units = OptionCode(UnitButtons(), shownUnits_);
  const bool known = units >= 0 && units < static_cast<int>(std::size(kUnitNames));
  const QString name = known ? QString(kUnitNames[units]) : QString("dBuV");
  ui_->lblMaxLevUnits->setText(name);
  ui_->lblMinLevUnits->setText(name);
}

bool frmMeter::CollectLevel(QLineEdit* box, const std::string& shownText, float kept, int units,
                            double& dbuv) {
  double typed = 0;
  if (!CheckNumber(box, -kDoubleMax, kDoubleMax, typed)) return false;
  if (units == shownUnits_ && FromQt(box->text()) == shownText) {
    dbuv = kept;
    return true;
  }
  const std::optional<double> level = TypedMeterLevel(typed, units);
  if (!level || !(*level >= -kFloatMax && *level <= kFloatMax)) return RejectOutOfRange(box);
  dbuv = *level;
  return true;
}

bool frmMeter::Collect() {
  MeterDef d = meter_.MeterGetDefinition();
  const int units = OptionCode(UnitButtons(), d.Units);
  double maxFreq = 0;
  double minFreq = 0;
  double maxLevel = 0;
  double minLevel = 0;
  double setTime = 0;
  if (!CheckAddress(ui_->txtAddress, d.Address) ||
      !CheckNumber(ui_->txtMaxFreq, 0, kDoubleMax, maxFreq) ||
      !CheckNumber(ui_->txtMinFreq, 0, kDoubleMax, minFreq)) {
    return false;
  }
  if (minFreq > maxFreq) return RejectOutOfRange(ui_->txtMinFreq);
  if (!CollectLevel(ui_->txtMaxLev, shownMaxLevel_, d.MaxLevel, units, maxLevel) ||
      !CollectLevel(ui_->txtMinLev, shownMinLevel_, d.MinLevel, units, minLevel)) {
    return false;
  }
  if (minLevel > maxLevel) return RejectOutOfRange(ui_->txtMinLev);
  if (!CheckNumber(ui_->txtSetTime, -kFloatMax, kFloatMax, setTime)) return false;
  d.Name = FromQt(ui_->txtName->text());
  d.InitString = FromQt(ui_->txtInit->text());
  d.FreqSetPre = FromQt(ui_->txtFreqSetPre->text());
  d.FreqSetSuf = FromQt(ui_->txtFreqSetSuf->text());
  d.LevelSetPre = FromQt(ui_->txtLevSetPre->text());
  d.LevelSetSuf = FromQt(ui_->txtLevSetSuf->text());
  d.ReadCmd = FromQt(ui_->txtRead->text());
  d.TriggerCmd = FromQt(ui_->txtTrigger->text());
  d.Shutdown = FromQt(ui_->txtClose->text());
  d.Units = units;
  d.InstType = OptionCode(TypeButtons(), d.InstType);
  d.MaxLevel = static_cast<float>(maxLevel);
  d.MinLevel = static_cast<float>(minLevel);
  d.MaxFreq = maxFreq;
  d.MinFreq = minFreq;
  d.SettlingTime = static_cast<float>(setTime);
  d.Eos = OptionCode(EosButtons(), d.Eos);
  d.ParseCmd = FromQt(ui_->txtParse->text());
  meter_.MeterSetDefinition(d);
  return true;
}

void frmMeter::EnableTests(bool enabled) {
  for (QAction* item : {ui_->mnuTestSetFreq, ui_->mnuTestSetLevel, ui_->mnuTestTrigger,
                        ui_->mnuTestRead, ui_->mnuTestShutdown, ui_->mnuTestParse}) {
    item->setEnabled(enabled);
  }
}

void frmMeter::mnuTestInit_Click() {
  if (!Collect()) return;
  BusyPointer busy(host_);
  gpib_.GpibSendIfc();
  if (meter_.MeterInit()) {
    EnableTests(true);
  } else {
    meter_.MeterShutdown();
  }
}

void frmMeter::mnuTestSetFreq_Click() {
  if (!Collect()) return;
  const auto freq = AskNumber("Enter Frequency in " + FromQt(ui_->txtFreqSetSuf->text()), "80");
  if (freq) meter_.MeterSetFreq(*freq);
}

void frmMeter::mnuTestSetLevel_Click() {
  if (!Collect()) return;
  const auto level = AskNumber("Enter Level in dBuv", "120");
  if (level) meter_.MeterSetLevel(*level);
}

void frmMeter::mnuTestTrigger_Click() {
  if (Collect()) meter_.MeterTrigger();
}

void frmMeter::mnuTestRead_Click() {
  if (!Collect()) return;
  const double reading = meter_.MeterRead(1, -1);
  host_.MsgBox(ReadingResultText(reading, " dBuv", meter_.MeterLastReply()));
}

void frmMeter::mnuTestShutdown_Click() {
  if (Collect()) meter_.MeterShutdown();
}

void frmMeter::mnuTestParse_Click() {
  OpenParseTest(engine_, meter_.MeterGetDefinition().ParseCmd, meter_.MeterLastReply());
}

}  // namespace brimtal
