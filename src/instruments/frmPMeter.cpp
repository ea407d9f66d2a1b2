// The power meter definition window.
#include "instruments/frmPMeter.h"

#include "instruments/Gpib.h"
#include "instruments/PM.h"
#include "shell/Host.h"
#include "shell/QtHost.h"
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
    : DefinitionWindow(host, gpib, std::move(startDir), kPowerMeterFiles, parent),
      ui_(std::make_unique<Ui::frmPMeter>()),
      pm_(pm),
      engine_(engine) {
  ui_->setupUi(this);
  ConnectFileMenu({ui_->mnuFileLoad, ui_->mnuFileSave, ui_->mnuFileSaveAs, ui_->mnuFilePrint,
                   ui_->mnuFileExit, ui_->mnuHelpContents});
  ConnectCommand(ui_->mnuTestInit, [this] { mnuTestInit_Click(); });
  ConnectCommand(ui_->mnuTestSetFreq, [this] { mnuTestSetFreq_Click(); });
  ConnectCommand(ui_->mnuTestTrigger, [this] { mnuTestTrigger_Click(); });
  ConnectCommand(ui_->mnuTestRead, [this] { mnuTestRead_Click(); });
  ConnectCommand(ui_->mnuTestShutdown, [this] { mnuTestShutdown_Click(); });
  ConnectCommand(ui_->mnuTestParse, [this] { mnuTestParse_Click(); });
  EnableTests(false);
  ShowDefinition();
}

frmPMeter::~frmPMeter() = default;

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

std::string frmPMeter::FileName() const {
  return pm_.PmFileName();
}
bool frmPMeter::LoadFile(const std::string& path) {
  return pm_.LoadFile(path);
}
bool frmPMeter::SaveFile(const std::string& path) {
  return pm_.SaveFile(path);
}
bool frmPMeter::PrintSetup(Printer& printer) {
  return pm_.PrintSetup(printer);
}

void frmPMeter::ShowDefinition() {
  const PowerMeterDef& d = pm_.PmGetDefinition();
  ui_->txtName->setText(ToQt(d.Name));
  ui_->txtAddress->setText(ToQt(vbtext::GeneralText(static_cast<double>(d.Address))));
  ui_->txtInit->setText(ToQt(d.InitString));
  ui_->txtFreqSetPre->setText(ToQt(d.FreqSetPre));
  ui_->txtFreqSetSuf->setText(ToQt(d.FreqSetSuf));
  ui_->txtSelectCh1->setText(ToQt(d.SelectCh1));
  ui_->txtSelectCh2->setText(ToQt(d.SelectCh2));
  ui_->txtRead1->setText(ToQt(d.Ch1Read));
  ui_->txtRead2->setText(ToQt(d.Ch2Read));
  ui_->txtTrigger1->setText(ToQt(d.Ch1Trigger));
  ui_->txtTrigger2->setText(ToQt(d.Ch2Trigger));
  ui_->txtBandSwitchFreq->setText(ToQt(vbtext::GeneralText(d.BandSwitchFreq)));
  ui_->txtClose->setText(ToQt(d.Shutdown));
  ui_->txtMaxFreq->setText(ToQt(vbtext::GeneralText(d.MaxFreq)));
  ui_->txtMinFreq->setText(ToQt(vbtext::GeneralText(d.MinFreq)));
  ui_->txtSetTime->setText(ToQt(vbtext::GeneralText(d.SettlingTime)));
  ui_->txtParseString->setText(ToQt(d.ParseCmd));
  SetOption(UnitButtons(), d.Units);
  SetOption(TypeButtons(), d.InstType);
  SetOption(EosButtons(), d.Eos);
}

bool frmPMeter::Collect() {
  PowerMeterDef d = pm_.PmGetDefinition();
  double maxFreq = 0;
  double minFreq = 0;
  double setTime = 0;
  double bandSwitch = 0;
  if (!CheckAddress(ui_->txtAddress, d.Address) ||
      !CheckNumber(ui_->txtMaxFreq, 0, kDoubleMax, maxFreq) ||
      !CheckNumber(ui_->txtMinFreq, 0, kDoubleMax, minFreq)) {
    return false;
  }
  if (minFreq > maxFreq) return RejectOutOfRange(ui_->txtMinFreq);
  if (!CheckNumber(ui_->txtSetTime, -kFloatMax, kFloatMax, setTime) ||
      !CheckNumber(ui_->txtBandSwitchFreq, -kDoubleMax, kDoubleMax, bandSwitch)) {
    return false;
  }
  d.Name = FromQt(ui_->txtName->text());
  d.InitString = FromQt(ui_->txtInit->text());
  d.FreqSetPre = FromQt(ui_->txtFreqSetPre->text());
  d.FreqSetSuf = FromQt(ui_->txtFreqSetSuf->text());
  d.SelectCh1 = FromQt(ui_->txtSelectCh1->text());
  d.SelectCh2 = FromQt(ui_->txtSelectCh2->text());
  d.Ch1Read = FromQt(ui_->txtRead1->text());
  d.Ch2Read = FromQt(ui_->txtRead2->text());
  d.Ch1Trigger = FromQt(ui_->txtTrigger1->text());
  d.Ch2Trigger = FromQt(ui_->txtTrigger2->text());
  d.BandSwitchFreq = bandSwitch;
  d.Shutdown = FromQt(ui_->txtClose->text());
  d.MaxFreq = maxFreq;
  d.MinFreq = minFreq;
  d.SettlingTime = static_cast<float>(setTime);
  d.ParseCmd = FromQt(ui_->txtParseString->text());
  d.Units = OptionCode(UnitButtons(), d.Units);
  d.InstType = OptionCode(TypeButtons(), d.InstType);
  d.Eos = OptionCode(EosButtons(), d.Eos);
  pm_.PmSetDefinition(d);
  return true;
}

void frmPMeter::EnableTests(bool enabled) {
  for (QAction* item : {ui_->mnuTestSetFreq, ui_->mnuTestTrigger, ui_->mnuTestRead,
                        ui_->mnuTestShutdown, ui_->mnuTestParse}) {
    item->setEnabled(enabled);
  }
}

void frmPMeter::mnuTestInit_Click() {
  if (!Collect()) return;
  BusyPointer busy(host_);
  gpib_.GpibSendIfc();
  if (pm_.PmInit()) {
    EnableTests(true);
  } else {
    pm_.PmShutdown();
  }
}

void frmPMeter::mnuTestSetFreq_Click() {
  if (!Collect()) return;
  const auto freq = AskNumber("Enter Frequency in " + FromQt(ui_->txtFreqSetSuf->text()), "80");
  if (freq) pm_.PmSetFreq(*freq);
}

void frmPMeter::mnuTestTrigger_Click() {
  if (Collect()) pm_.PmTrigger(1);
}

void frmPMeter::mnuTestRead_Click() {
  if (!Collect()) return;
  const double reading = pm_.PmRead(1);
  host_.MsgBox(ReadingResultText(reading, " dBm", pm_.PmLastReply()));
}

void frmPMeter::mnuTestShutdown_Click() {
  if (Collect()) pm_.PmShutdown();
}

void frmPMeter::mnuTestParse_Click() {
  OpenParseTest(engine_, pm_.PmGetDefinition().ParseCmd, pm_.PmLastReply());
}

}  // namespace brimtal
