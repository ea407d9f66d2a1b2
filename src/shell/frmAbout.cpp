// The About box and the system information dialog.
#include "shell/frmAbout.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QtGlobal>

#include "Version.h"
#include "shell/Host.h"
#include "ui_frmAbout.h"
#include "ui_frmSysInfo.h"

// Resources of a static library are registered by name from outside any namespace.
static void InitShellResources() {
  Q_INIT_RESOURCE(shell);
}

namespace brimtal {

QPixmap ProductPicture() {
  InitShellResources();
  return QPixmap(QStringLiteral(":/shell/product.png"));
}

frmAbout::frmAbout(const AboutInfo& info, Host& host, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmAbout>()), host_(host) {
  ui_->setupUi(this);
  setWindowTitle(QStringLiteral("About ") + info.programTitle);
  QFont titleFont = ui_->lblTitle->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
  titleFont.setBold(true);
  ui_->lblTitle->setFont(titleFont);
  ui_->lblTitle->setText(info.title);
  ui_->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                               .arg(kVersionMajor)
                               .arg(kVersionMinor)
                               .arg(kVersionRevision));
  ui_->lblDescription->setText(info.description);
  ui_->lblDescription->setVisible(!info.description.isEmpty());
  ui_->lblScriptVersion->setText(QStringLiteral("Script Engine Version ") + info.scriptVersion);
  ui_->lblScriptVersion->setVisible(!info.scriptVersion.isEmpty());
  const QPixmap picture = info.picture.isNull() ? ProductPicture() : info.picture;
  ui_->picIcon->setPixmap(picture.scaled(112, 112, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  connect(ui_->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::ShowSystemInfo);
}

frmAbout::~frmAbout() = default;

void frmAbout::ShowSystemInfo() {
  std::vector<SystemInfoItem> items = GatherSystemInfo(sources_);
  if (items.empty()) {
    host_.MsgBox("System Information Is Unavailable At This Time");
    return;
  }
  items.push_back({"Qt version", qVersion()});
  frmSysInfo dialog(items, this);
  dialog.exec();
}

frmSysInfo::frmSysInfo(const std::vector<SystemInfoItem>& items, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmSysInfo>()), items_(items) {
  ui_->setupUi(this);
  ui_->grdInfo->setRowCount(static_cast<int>(items.size()));
  for (int row = 0; row < static_cast<int>(items.size()); ++row) {
    const auto& item = items[static_cast<std::size_t>(row)];
    ui_->grdInfo->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(item.name)));
    ui_->grdInfo->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(item.value)));
  }
  ui_->grdInfo->resizeColumnToContents(0);
  ui_->grdInfo->horizontalHeader()->setStretchLastSection(true);
  connect(ui_->cmdClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->cmdCopy, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(Text()); });
}

frmSysInfo::~frmSysInfo() = default;

QString frmSysInfo::Text() const {
  QString text;
  for (const auto& item : items_) {
    text += QString::fromStdString(item.name + ": " + item.value) + QChar('\n');
  }
  return text;
}

}  // namespace brimtal
