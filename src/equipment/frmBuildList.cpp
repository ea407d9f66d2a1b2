// The frequency list builder window.
#include "equipment/frmBuildList.h"

#include <QKeySequence>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/QtHost.h"
#include "shell/VbText.h"
#include "shell/ui/HelpViewer.h"
#include "shell/ui/UiGlobals.h"
#include "ui_frmBuildList.h"

namespace brimtal {

namespace {

constexpr const char* kListFilter = "Frequency List Files (*.lst)|*.lst|All Files|*.*";
constexpr std::size_t kMaxEntries = static_cast<std::size_t>(kMaxFreqListEntries);

QAction* AddMenuAction(QMenu* menu, const char* name, const char* text) {
  QAction* action = menu->addAction(QString::fromUtf8(text));
  action->setObjectName(QString::fromUtf8(name));
  return action;
}

}  // namespace

frmBuildList::frmBuildList(Host& host, std::string listDir, QWidget* parent)
    : QDialog(parent), host_(host), listDir_(std::move(listDir)), ui_(new Ui::frmBuildList) {
  ui_->setupUi(this);

  auto* menuBar = new QMenuBar(this);
  menuBar->setObjectName("mnuBar");
  QMenu* file = menuBar->addMenu(tr("&File"));
  file->setObjectName("mnuFile");
  connect(AddMenuAction(file, "mnuFileAddFromFile", "&Add from file"), &QAction::triggered, this,
          &frmBuildList::AddFromFile);
  connect(AddMenuAction(file, "mnuFileSaveAs", "Save &As"), &QAction::triggered, this,
          &frmBuildList::SaveAs);
  file->addSeparator();
  connect(AddMenuAction(file, "mnuFileExit", "E&xit"), &QAction::triggered, this,
          &frmBuildList::Exit);
  QMenu* help = menuBar->addMenu(tr("&Help"));
  help->setObjectName("mnuHelp");
  QAction* lists = AddMenuAction(help, "mnuHelpLists", "&Frequency Lists");
  lists->setShortcut(QKeySequence::HelpContents);
  connect(lists, &QAction::triggered, this,
          [this] { ShowHelpKey(Manual::Brimtal, "frmBuildList", this); });
  connect(AddMenuAction(help, "mnuHelpContents", "&Contents"), &QAction::triggered, this,
          [this] { ShowHelpTab(Manual::Brimtal, this); });
  connect(AddMenuAction(help, "mnuHelpIndex", "&Index"), &QAction::triggered, this,
          [this] { ShowHelpSearch(Manual::Brimtal, this); });
  layout()->setMenuBar(menuBar);

  connect(ui_->optLinear, &QRadioButton::toggled, this, &frmBuildList::StepUnitsChanged);
  connect(ui_->optLog, &QRadioButton::toggled, this, &frmBuildList::StepUnitsChanged);
  connect(ui_->optHarmonics, &QRadioButton::toggled, this, &frmBuildList::StepUnitsChanged);
  connect(ui_->cmdAdd, &QPushButton::clicked, this, &frmBuildList::Add);
  connect(ui_->cmdClear, &QPushButton::clicked, this, &frmBuildList::New);
  connect(ui_->cmdExit, &QPushButton::clicked, this, &frmBuildList::Exit);

  // The end box keeps its place while hidden, so that Add does not jump between step units.
  for (QWidget* endRow : std::initializer_list<QWidget*>{ui_->txtRangeEnd, ui_->lblRangeEnd}) {
    QSizePolicy policy = endRow->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    endRow->setSizePolicy(policy);
  }
  ui_->optHarmonics->setChecked(true);
  StepUnitsChanged();
  UpdateCaption(false);
}

frmBuildList::~frmBuildList() = default;

void frmBuildList::DoIt(double& lowest, double& highest, std::string& fileName) {
  lowest_ = lowest;
  highest_ = highest;
  StartFrom(fileName);
  exec();
  if (file_.empty()) {
    fileName.clear();
    return;
  }
  fileName = file_;
  lowest = lowest_;
  highest = highest_;
}

void frmBuildList::StartFrom(const std::string& fileName) {
  list_.clear();
  file_.clear();
  callerFile_ = false;
  if (!fileName.empty() && ReadListFile(fileName, list_)) {
    file_ = fileName;
    callerFile_ = true;
  }
  ShowList();
  UpdateCaption(false);
}

bool frmBuildList::ReadListFile(const std::string& path, FreqList& entries) {
  if (FileTolist(host_, path, entries) <= 0) {
    entries.clear();
    return false;
  }
  if (std::any_of(entries.begin(), entries.end(), [](double f) { return !(f > 0); })) {
    host_.MsgBox("The frequency list file " + path + " holds frequencies of 0 MHz or less.");
    entries.clear();
    return false;
  }
  return true;
}

void frmBuildList::UpdateCaption(bool modified) {
  setWindowTitle(ToQt("Frequency List: " + (file_.empty() ? std::string("(unsaved)") : file_)));
  modified_ = modified;
}

void frmBuildList::ShowList() {
  ui_->txtList->setPlainText(ToQt(FreqListText(list_)));
}

void frmBuildList::Tidy() {
  busy_ = true;
  TidyFreqs(list_, host_);
  busy_ = false;
  ShowList();
}

void frmBuildList::StepUnitsChanged() {
  const bool harmonics = ui_->optHarmonics->isChecked();
  ui_->txtRangeEnd->setVisible(!harmonics);
  ui_->lblRangeEnd->setVisible(!harmonics);
  if (harmonics) {
    ui_->lblRangeStart->setText("Fundamental, MHz");
    ui_->lblStep->setText("# of harmonics");
  } else {
    ui_->lblRangeStart->setText("Start, MHz");
    ui_->lblStep->setText(ui_->optLog->isChecked() ? "Step, %" : "Step, MHz");
  }
}

// Reads the three boxes and generates the range they describe; nothing after a warning.
std::optional<FreqList> frmBuildList::CollectRange() {
  const auto notNumber = [this](QLineEdit* box) {
    WarnNotNumber(box, host_);
    return std::nullopt;
  };
  const auto outOfRange = [this](QLineEdit* box) {
    WarnOutOfRange(box, host_);
    return std::nullopt;
  };
  const auto start = vbtext::ToNumber(FromQt(ui_->txtRangeStart->text()));
  if (!start) return notNumber(ui_->txtRangeStart);
  const auto step = vbtext::ToNumber(FromQt(ui_->txtStepSize->text()));
  if (!step) return notNumber(ui_->txtStepSize);
  const bool harmonics = ui_->optHarmonics->isChecked();
  std::optional<double> end;
  if (!harmonics) {
    end = vbtext::ToNumber(FromQt(ui_->txtRangeEnd->text()));
    if (!end) return notNumber(ui_->txtRangeEnd);
  }

  // Frequencies of 0 or less, steps that never reach the end and lists beyond the bound are
  // refused.
  const std::size_t room = kMaxEntries - list_.size();
  if (!(*start > 0)) return outOfRange(ui_->txtRangeStart);
  std::optional<FreqList> range;
  if (harmonics) {
    if (!(*step < static_cast<double>(room) + 1)) return outOfRange(ui_->txtStepSize);
    const long count = static_cast<long>(vbtext::RoundHalfEven(*step));
    if (count < 1) return outOfRange(ui_->txtStepSize);
    if (!std::isfinite(*start * static_cast<double>(count))) {
      return outOfRange(ui_->txtRangeStart);
    }
    range = HarmonicRange(*start, count, room);
  } else {
    if (!(*step > 0)) return outOfRange(ui_->txtStepSize);
    if (*end < *start) return outOfRange(ui_->txtRangeEnd);
    range = ui_->optLog->isChecked() ? LogRange(*start, *end, *step, room)
                                     : LinearRange(*start, *end, *step, room);
  }
  if (!range) return outOfRange(ui_->txtStepSize);
  return range;
}

void frmBuildList::Add() {
  if (busy_) return;
  const auto range = CollectRange();
  if (!range) return;
  file_.clear();
  // The list is no longer the caller's file as it was handed in.
  callerFile_ = false;
  UpdateCaption(true);
  list_.insert(list_.end(), range->begin(), range->end());
  Tidy();
  ui_->txtRangeStart->clear();
  ui_->txtRangeStart->setFocus();
}

void frmBuildList::AddFromFile() {
  if (busy_) return;
  const std::string path =
      PickFile(host_, false, kListFilter, "Select frequency list file", {}, listDir_);
  if (path.empty()) return;
  FreqList entries;
  if (!ReadListFile(path, entries)) return;
  if (list_.empty()) {
    list_ = std::move(entries);
    file_ = path;
    UpdateCaption(false);
  } else {
    if (entries.size() > kMaxEntries - list_.size()) {
      host_.MsgBox("A frequency list holds at most " + std::to_string(kMaxFreqListEntries) +
                   " frequencies.");
      return;
    }
    list_.insert(list_.end(), entries.begin(), entries.end());
    file_.clear();
    UpdateCaption(true);
  }
  callerFile_ = false;
  ui_->txtList->setPlainText("Sorting...");
  Tidy();
}

bool frmBuildList::SaveAs() {
  if (busy_) return false;
  if (list_.empty()) {
    host_.MsgBox("Nothing to save!");
    return false;
  }
  const std::string path =
      PickFile(host_, true, kListFilter, "Frequency List Filename", {}, listDir_);
  if (path.empty() || !WriteList(path)) return false;
  file_ = path;
  UpdateCaption(false);
  return true;
}

bool frmBuildList::WriteList(const std::string& path) {
  AtomicFileWriter writer;
  FileError error;
  if (writer.Open(path, error)) {
    writer.WriteLine(FreqListText(list_));
    if (writer.Commit(error)) return true;
  }
  ShowFileError(host_, error, "frmBuildList.SaveFile", path);
  return false;
}

void frmBuildList::New() {
  if (busy_) return;
  list_.clear();
  callerFile_ = false;
  file_.clear();
  ShowList();
  UpdateCaption(false);
}

void frmBuildList::Exit() {
  if (busy_) return;
  if (modified_) {
    const MsgAnswer answer = host_.MsgBox("Save before exiting?", MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Cancel) return;
    if (answer == MsgAnswer::Yes) {
      SaveAs();
      callerFile_ = false;
      return;
    }
  }
  if (callerFile_) {
    TakeEndsOfList();
    file_.clear();
  } else if (!file_.empty()) {
    const MsgAnswer answer =
        host_.MsgBox("Do you want to use file " + file_ + "?", MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Cancel) return;
    if (answer == MsgAnswer::Yes) {
      TakeEndsOfList();
    } else {
      file_.clear();
    }
  }
  done(Accepted);
}

void frmBuildList::reject() {
  if (busy_) return;
  if (!file_.empty()) TakeEndsOfList();
  QDialog::reject();
}

void frmBuildList::TakeEndsOfList() {
  if (list_.empty()) return;
  lowest_ = list_.front();
  highest_ = list_.back();
}

}  // namespace brimtal
