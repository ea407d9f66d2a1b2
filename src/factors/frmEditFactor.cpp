// The factor editor window.
#include "factors/frmEditFactor.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <filesystem>

#include "factors/EditGrid.h"
#include "factors/FactorEditing.h"
#include "factors/InterpClass.h"
#include "shell/BmGlobals.h"
#include "shell/Host.h"
#include "shell/ui/HelpViewer.h"
#include "ui_frmEditFactor.h"

namespace brimtal {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A path inside a menu item's text, where "&" would mark a shortcut letter.
QString MenuPath(const std::string& path) {
  return Q(path).replace(QStringLiteral("&"), QStringLiteral("&&"));
}

}  // namespace

frmEditFactor::frmEditFactor(Host& host, std::string factorsDir, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::frmEditFactor>()),
      host_(host),
      factorsDir_(std::move(factorsDir)),
      grid_(std::make_unique<EditGrid>(host)) {
  ui_->setupUi(this);
  setWindowTitle(QStringLiteral("File: (none)"));
  auto* editor = new QLineEdit(this);
  editor->setObjectName(QStringLiteral("txtCellEdit"));
  grid_->SetupFlexGrid(ui_->grdFactors, editor, ui_->lblCell, QStringLiteral("Item#"),
                       {QString(), QStringLiteral("Freq"), QStringLiteral("Factor")});
  connect(ui_->mnuFileLoad, &QAction::triggered, this, &frmEditFactor::LoadFile);
  connect(ui_->mnuFileSave, &QAction::triggered, this, &frmEditFactor::Save);
  connect(ui_->mnuFileSaveAs, &QAction::triggered, this, &frmEditFactor::SaveAs);
  connect(ui_->mnuFileExit, &QAction::triggered, this, &QWidget::close);
  connect(ui_->cmdInsRow, &QPushButton::clicked, this, [this] { grid_->InsRow(); });
  connect(ui_->cmdDelRow, &QPushButton::clicked, this, [this] { grid_->ExtractRow(); });
  ui_->grdFactors->setFocus();
}

frmEditFactor::~frmEditFactor() = default;

frmEditFactor* frmEditFactor::ShowModeless(Host& host, std::string factorsDir, int filterDefault,
                                           QWidget* parent) {
  auto* window = new frmEditFactor(host, std::move(factorsDir), parent);
  window->setWindowFlag(Qt::Window);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->FilterDefault(filterDefault);
  window->show();
  return window;
}

void frmEditFactor::FilterDefault(int value) {
  if (const auto pattern = FactorFilterPattern(value)) preferredPattern_ = *pattern;
}

void frmEditFactor::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    ShowHelpKey(Manual::Brimtal, QStringLiteral("frmEditFactor"), this);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

std::string frmEditFactor::DialogFolder() {
  if (dialogDir_.empty()) dialogDir_ = factorsDir_;
  return dialogDir_;
}

void frmEditFactor::SetFilePath(const std::string& path) {
  path_ = path;
  // The next dialog starts where this file is.
  dialogDir_ = std::filesystem::path(path).parent_path().string();
  setWindowTitle(Q("File: " + path));
  ui_->mnuFileSave->setText(QStringLiteral("&Save ") + MenuPath(path));
}

void frmEditFactor::LoadFile() {
  const std::string path = PickFile(host_, false, kFactorFileFilter, "Select Factor File",
                                    preferredPattern_, DialogFolder());
  if (path.empty()) return;
  InterpClass table(host_);
  if (table.InitInterp(path) != 1) {
    host_.MsgBox("error loading factor file");
    return;
  }
  SetFilePath(path);
  QList<QStringList> rows;
  for (const FactorCells& point : FactorTableCells(table)) {
    rows.append({Q(point.freq), Q(point.value)});
  }
  grid_->LoadRows(rows);
}

void frmEditFactor::Save() {
  if (path_.empty()) {
    SaveAs();
  } else {
    SaveGrid();
  }
}

void frmEditFactor::SaveAs() {
  const std::string path = PickFile(host_, true, kFactorFileFilter, "Select filename",
                                    preferredPattern_, DialogFolder());
  if (path.empty()) return;
  SetFilePath(path);
  SaveGrid();
}

void frmEditFactor::SaveGrid() {
  std::vector<FactorCells> rows;
  for (int r = 1; r < grid_->Rows(); ++r) {
    rows.push_back({grid_->CellText(r, 1).toStdString(), grid_->CellText(r, 2).toStdString()});
  }
  SaveFactorGrid(host_, path_, rows);
}

}  // namespace brimtal
