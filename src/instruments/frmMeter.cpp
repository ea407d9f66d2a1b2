// The meter definition window.
#include "instruments/frmMeter.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <optional>

#include "instruments/Meter.h"
#include "shell/BmGlobals.h"
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
    : DefinitionWindow(host, gpib, engine, meter, std::move(startDir), kMeterFiles, parent),
      ui_(std::make_unique<Ui::frmMeter>()),
      meter_(meter) {
  ui_->setupUi(this);
  ConnectFileMenu({ui_->mnuFileLoad, ui_->mnuFileSave, ui_->mnuFileSaveAs, ui_->mnuFilePrint,
                   ui_->mnuFileExit, ui_->mnuHelpContents});
  ConnectTestMenu(
      {ui_->mnuTestInit, ui_->mnuTestSetFreq, ui_->mnuTestTrigger, ui_->mnuTestRead,
       ui_->mnuTestShutdown, ui_->mnuTestParse},
      {[this] { return meter_.MeterInit(); }, [this] { return meter_.MeterShutdown(); },
       [this](double freq) { return meter_.MeterSetFreq(freq); },
       [this] { return meter_.MeterTrigger(); }, [this] { return meter_.MeterRead(1, -1); },
       " dBuv", [this] { return meter_.MeterLastReply(); },
       [this] { return meter_.MeterGetDefinition().ParseCmd; }},
      ui_->txtFreqSetSuf, {ui_->mnuTestSetLevel});
  ConnectCommand(ui_->mnuTestSetLevel, [this] {
    if (!Collect()) return;
    const auto level = AskNumber(host_, "Enter Level in dBuv", "120");
    if (level) meter_.MeterSetLevel(*level);
  });
  for (QRadioButton* option : UnitButtons()) {
    connect(option, &QRadioButton::toggled, this, &frmMeter::ShowLevelUnits);
  }
  ShowDefinition();
}

frmMeter::~frmMeter() = default;

std::vector<TextBox<MeterDef>> frmMeter::TextBoxes() const {
  return {{ui_->txtName, &MeterDef::Name},
          {ui_->txtInit, &MeterDef::InitString},
          {ui_->txtFreqSetPre, &MeterDef::FreqSetPre},
          {ui_->txtFreqSetSuf, &MeterDef::FreqSetSuf},
          {ui_->txtLevSetPre, &MeterDef::LevelSetPre},
          {ui_->txtLevSetSuf, &MeterDef::LevelSetSuf},
          {ui_->txtRead, &MeterDef::ReadCmd},
          {ui_->txtTrigger, &MeterDef::TriggerCmd},
          {ui_->txtClose, &MeterDef::Shutdown},
          {ui_->txtParse, &MeterDef::ParseCmd}};
}
std::vector<QRadioButton*> frmMeter::UnitButtons() const {
  return {ui_->optUnitVolts, ui_->optUnitDbuv, ui_->optUnitMv, ui_->optUnitDbmv, ui_->optUnitDbm};
}
std::vector<QRadioButton*> frmMeter::TypeButtons() const {
  return {ui_->optTypeSpecAn, ui_->optTypeScope, ui_->optTypeRFMeter};
}
std::vector<QRadioButton*> frmMeter::EosButtons() const {
  return {ui_->optEOSnone, ui_->optEOScr, ui_->optEOScrlf};
}

void frmMeter::ShowDefinition() {
  const MeterDef& d = meter_.MeterGetDefinition();
  ShowTexts(TextBoxes(), d);
  ShowText(ui_->txtAddress, vbtext::GeneralText(static_cast<double>(d.Address)));
  ShowText(ui_->txtMaxFreq, vbtext::GeneralText(d.MaxFreq));
  ShowText(ui_->txtMinFreq, vbtext::GeneralText(d.MinFreq));
  ShowText(ui_->txtSetTime, vbtext::GeneralText(d.SettlingTime));
  shownUnits_ = d.Units;
  shownMaxLevel_ = MeterLevelText(d.MaxLevel, d.Units, kMaxLevelPattern);
  shownMinLevel_ = MeterLevelText(d.MinLevel, d.Units, kMinLevelPattern);
  ShowText(ui_->txtMaxLev, shownMaxLevel_);
  ShowText(ui_->txtMinLev, shownMinLevel_);
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
  if (!checks_.Number(box, -BoxChecks::kDoubleMax, BoxChecks::kDoubleMax, typed)) return false;
  if (units == shownUnits_ && BoxText(box) == shownText) {
    dbuv = kept;
    return true;
  }
  const std::optional<double> level = TypedMeterLevel(typed, units);
  if (!level || !(*level >= -BoxChecks::kFloatMax && *level <= BoxChecks::kFloatMax)) {
    return checks_.Reject(box);
  }
  dbuv = *level;
  return true;
}

bool frmMeter::Collect() {
  MeterDef d = meter_.MeterGetDefinition();
  const int units = OptionCode(UnitButtons(), d.Units);
  double maxLevel = 0;
  double minLevel = 0;
  double setTime = 0;
  if (!CheckAddress(ui_->txtAddress, d.Address) ||
      !CheckFrequencies(ui_->txtMaxFreq, ui_->txtMinFreq, d.MaxFreq, d.MinFreq) ||
      !CollectLevel(ui_->txtMaxLev, shownMaxLevel_, d.MaxLevel, units, maxLevel) ||
      !CollectLevel(ui_->txtMinLev, shownMinLevel_, d.MinLevel, units, minLevel)) {
    return false;
  }
  if (minLevel > maxLevel) return checks_.Reject(ui_->txtMinLev);
  if (!checks_.Number(ui_->txtSetTime, -BoxChecks::kFloatMax, BoxChecks::kFloatMax, setTime)) {
    return false;
  }
  CollectTexts(TextBoxes(), d);
  d.Units = units;
  d.InstType = OptionCode(TypeButtons(), d.InstType);
  d.MaxLevel = static_cast<float>(maxLevel);
  d.MinLevel = static_cast<float>(minLevel);
  d.SettlingTime = static_cast<float>(setTime);
  d.Eos = OptionCode(EosButtons(), d.Eos);
  meter_.MeterSetDefinition(d);
  return true;
}

}  // namespace brimtal
