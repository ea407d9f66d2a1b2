// The power meter definition window.
#include "instruments/frmPMeter.h"

#include "instruments/PM.h"
#include "shell/VbText.h"
#include "ui_frmPMeter.h"

namespace brimtal {

namespace {

const DefinitionFileKind kPowerMeterFiles{"Power Meter File: ",
                                          "Select Power Meter File",
                                          "Select Power Meter Filename",
                                          "PMeters|*.pm|All Files|*.*",
                                          "*.pm",
                                          "frmPMeter"};

}  // namespace

frmPMeter::frmPMeter(Host& host, PM& pm, Gpib& gpib, ScriptEngine& engine, std::string startDir,
                     QWidget* parent)
    : DefinitionWindow(host, gpib, engine, pm, std::move(startDir), kPowerMeterFiles, parent),
      ui_(std::make_unique<Ui::frmPMeter>()),
      pm_(pm) {
  ui_->setupUi(this);
  ConnectFileMenu({ui_->mnuFileLoad, ui_->mnuFileSave, ui_->mnuFileSaveAs, ui_->mnuFilePrint,
                   ui_->mnuFileExit, ui_->mnuHelpContents});
  ConnectTestMenu(
      {ui_->mnuTestInit, ui_->mnuTestSetFreq, ui_->mnuTestTrigger, ui_->mnuTestRead,
       ui_->mnuTestShutdown, ui_->mnuTestParse},
      {[this] { return pm_.PmInit(); }, [this] { return pm_.PmShutdown(); },
       [this](double freq) { return pm_.PmSetFreq(freq); }, [this] { return pm_.PmTrigger(1); },
       [this] { return pm_.PmRead(1); }, " dBm", [this] { return pm_.PmLastReply(); },
       [this] { return pm_.PmGetDefinition().ParseCmd; }},
      ui_->txtFreqSetSuf);
  ShowDefinition();
}

frmPMeter::~frmPMeter() = default;

std::vector<TextBox<PowerMeterDef>> frmPMeter::TextBoxes() const {
  return {{ui_->txtName, &PowerMeterDef::Name},
          {ui_->txtInit, &PowerMeterDef::InitString},
          {ui_->txtFreqSetPre, &PowerMeterDef::FreqSetPre},
          {ui_->txtFreqSetSuf, &PowerMeterDef::FreqSetSuf},
          {ui_->txtSelectCh1, &PowerMeterDef::SelectCh1},
          {ui_->txtSelectCh2, &PowerMeterDef::SelectCh2},
          {ui_->txtRead1, &PowerMeterDef::Ch1Read},
          {ui_->txtRead2, &PowerMeterDef::Ch2Read},
          {ui_->txtTrigger1, &PowerMeterDef::Ch1Trigger},
          {ui_->txtTrigger2, &PowerMeterDef::Ch2Trigger},
          {ui_->txtClose, &PowerMeterDef::Shutdown},
          {ui_->txtParseString, &PowerMeterDef::ParseCmd}};
}
std::vector<QRadioButton*> frmPMeter::UnitButtons() const {
  return {ui_->optUnitWatts, ui_->optUnitDbm,   ui_->optUnitDbuv,
          ui_->optUnitMv,    ui_->optUnitVolts, ui_->optUnitDbmv};
}
std::vector<QRadioButton*> frmPMeter::TypeButtons() const {
  return {ui_->optTypeSpecAn, ui_->optTypePwrMeter};
}
std::vector<QRadioButton*> frmPMeter::EosButtons() const {
  return {ui_->optEOSnone, ui_->optEOScr, ui_->optEOScrlf};
}

void frmPMeter::ShowDefinition() {
  const PowerMeterDef& d = pm_.PmGetDefinition();
  ShowTexts(TextBoxes(), d);
  ShowText(ui_->txtAddress, vbtext::GeneralText(static_cast<double>(d.Address)));
  ShowText(ui_->txtBandSwitchFreq, vbtext::GeneralText(d.BandSwitchFreq));
  ShowText(ui_->txtMaxFreq, vbtext::GeneralText(d.MaxFreq));
  ShowText(ui_->txtMinFreq, vbtext::GeneralText(d.MinFreq));
  ShowText(ui_->txtSetTime, vbtext::GeneralText(d.SettlingTime));
  SetOption(UnitButtons(), d.Units);
  SetOption(TypeButtons(), d.InstType);
  SetOption(EosButtons(), d.Eos);
}

bool frmPMeter::Collect() {
  PowerMeterDef d = pm_.PmGetDefinition();
  double setTime = 0;
  if (!CheckAddress(ui_->txtAddress, d.Address) ||
      !CheckFrequencies(ui_->txtMaxFreq, ui_->txtMinFreq, d.MaxFreq, d.MinFreq) ||
      !checks_.Number(ui_->txtSetTime, -BoxChecks::kFloatMax, BoxChecks::kFloatMax, setTime) ||
      !checks_.Number(ui_->txtBandSwitchFreq, -BoxChecks::kDoubleMax, BoxChecks::kDoubleMax,
                      d.BandSwitchFreq)) {
    return false;
  }
  CollectTexts(TextBoxes(), d);
  d.SettlingTime = static_cast<float>(setTime);
  d.Units = OptionCode(UnitButtons(), d.Units);
  d.InstType = OptionCode(TypeButtons(), d.InstType);
  d.Eos = OptionCode(EosButtons(), d.Eos);
  pm_.PmSetDefinition(d);
  return true;
}

}  // namespace brimtal
