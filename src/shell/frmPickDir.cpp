// The directory picker window.
#include "shell/frmPickDir.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>

#include "shell/ui/UiGlobals.h"
#include "ui_frmPickDir.h"

namespace brimtal {

namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

frmPickDir::frmPickDir(QWidget* parent, std::vector<DriveEntry> drives)
    : QDialog(parent), ui_(std::make_unique<Ui::frmPickDir>()), drives_(std::move(drives)) {
  ui_->setupUi(this);
  for (const auto& drive : drives_) ui_->Drive1->addItem(QString::fromStdString(drive.label));
  connect(ui_->Drive1, &QComboBox::activated, this, &frmPickDir::DriveChosen);
  connect(ui_->Dir1, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { ChangeDirectory(item->data(kPathRole).toString()); });
  connect(ui_->OKButton, &QPushButton::clicked, this, &frmPickDir::Confirm);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // Enter in the folder list opens the folder; OK is the button's job.
  ui_->Dir1->installEventFilter(this);
  if (!ChangeDirectory(QDir::currentPath())) ChangeDirectory(QStringLiteral("/"));
}

frmPickDir::~frmPickDir() = default;

void frmPickDir::SetStartDir(const QString& directory) {
  startDir_ = directory;
  if (!ChangeDirectory(directory) || directory.isEmpty()) return;
  const std::size_t drive = DriveOfPath(drives_, currentPath_.toStdString());
  if (drive < drives_.size()) ui_->Drive1->setCurrentIndex(static_cast<int>(drive));
}

bool frmPickDir::ChangeDirectory(const QString& path) {
  const auto entries = ListDirectory(path.toStdString());
  if (!entries) return false;
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  ui_->Dir1->clear();
  int current = 0;
  for (const auto& entry : *entries) {
    auto* item = new QListWidgetItem(
        entry.open ? open : closed,
        QString(entry.depth * 3, QChar(' ')) + QString::fromStdString(entry.name), ui_->Dir1);
    item->setData(kPathRole, QString::fromStdString(entry.path));
    item->setToolTip(QString::fromStdString(entry.path));
    if (entry.open) current = ui_->Dir1->count() - 1;
  }
  currentPath_ = ui_->Dir1->item(current)->data(kPathRole).toString();
  ui_->Dir1->setCurrentRow(current);
  ui_->Dir1->scrollToItem(ui_->Dir1->item(current));
  lastPathOfDrive_[DriveOfPath(drives_, currentPath_.toStdString())] = currentPath_;
  ShowPath();
  return true;
}

void frmPickDir::DriveChosen(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= drives_.size()) return;
  const auto drive = static_cast<std::size_t>(index);
  const auto last = lastPathOfDrive_.find(drive);
  // A place's own last folder, else its top; a place that is gone leaves the list alone.
  if ((last == lastPathOfDrive_.end() || !ChangeDirectory(last->second)) &&
      !ChangeDirectory(QString::fromStdString(drives_[drive].root))) {
    ui_->Drive1->setCurrentIndex(
        static_cast<int>(DriveOfPath(drives_, currentPath_.toStdString())));
  }
}

void frmPickDir::Confirm() {
  const QListWidgetItem* highlighted = ui_->Dir1->currentItem();
  result_ = highlighted != nullptr ? highlighted->data(kPathRole).toString() : currentPath_;
  accept();
}

void frmPickDir::reject() {
  result_.clear();
  QDialog::reject();
}

bool frmPickDir::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->Dir1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (QListWidgetItem* item = ui_->Dir1->currentItem()) {
        ChangeDirectory(item->data(kPathRole).toString());
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmPickDir::ShowPath() {
  FitPathToLabel(currentPath_, ui_->lblPath);
}

void frmPickDir::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ShowPath();
}

void frmPickDir::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ShowPath();
}

}  // namespace brimtal
