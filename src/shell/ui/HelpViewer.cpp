// The help window and the three help calls.
#include "shell/ui/HelpViewer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "shell/frmHelp.h"
#include "ui_frmHelp.h"

namespace brimtal {

namespace {

QString ManualName(Manual manual) {
  return manual == Manual::Brimtal ? QStringLiteral("brimtal") : QStringLiteral("interp");
}

QString ManualTitle(Manual manual) {
  return manual == Manual::Brimtal ? QStringLiteral("Brimtal Help") : QStringLiteral("Interp Help");
}

// The help window of a manual: the one already open, else a new one. It belongs to no other
// window, so it stays up while the window that asked for it hides, and it does not keep the
// program running once the main window has closed.
frmHelp* HelpWindow(Manual manual, QWidget* parent) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* help = qobject_cast<frmHelp*>(widget);
    if (help != nullptr && help->WhichManual() == manual) {
      help->Reload();
      return help;
    }
  }
  auto* help = new frmHelp(manual, ManualFolder(manual));
  help->setAttribute(Qt::WA_DeleteOnClose);
  help->setAttribute(Qt::WA_QuitOnClose, false);
  if (parent != nullptr) {
    const QRect area = parent->window()->frameGeometry();
    help->move(area.center() - help->rect().center());
  }
  return help;
}

void Present(frmHelp* help) {
  help->show();
  help->raise();
  help->activateWindow();
}

}  // namespace

QString ManualFolder(Manual manual) {
  const QString name = ManualName(manual);
  const QString appDir = QCoreApplication::applicationDirPath();
  std::vector<std::string> candidates;
  for (const QString& relative :
       {QStringLiteral("manual"), QStringLiteral("../manual"), QStringLiteral("../../manual"),
        QStringLiteral("../../../manual"), QStringLiteral("../share/brimtal/manual")}) {
    candidates.push_back(QDir::cleanPath(appDir + "/" + relative + "/" + name).toStdString());
  }
#ifdef BRIMTAL_SOURCE_MANUAL
  candidates.push_back(
      QDir::cleanPath(QStringLiteral(BRIMTAL_SOURCE_MANUAL) + "/" + name).toStdString());
#endif
  return QString::fromStdString(FirstExistingFolder(candidates));
}

frmHelp::frmHelp(Manual manual, const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ui_(std::make_unique<Ui::frmHelp>()),
      manual_(manual),
      folder_(folder) {
  ui_->setupUi(this);
  setWindowTitle(ManualTitle(manual));
  ui_->splitHelp->setStretchFactor(0, 1);
  ui_->splitHelp->setStretchFactor(1, 3);
  ui_->splitHelp->setSizes({260, 700});
  connect(ui_->lstContents, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row != current_) ShowSection(static_cast<std::size_t>(row));
  });
  connect(ui_->txtSearch, &QLineEdit::textChanged, this, &frmHelp::FillIndex);
  connect(ui_->txtSearch, &QLineEdit::returnPressed, this, [this] {
    if (ui_->lstIndex->count() > 0) ui_->lstIndex->setCurrentRow(0);
  });
  connect(ui_->lstIndex, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item == nullptr) return;
    const QVariant section = item->data(Qt::UserRole);
    if (section.isValid()) ShowSection(section.toULongLong());
  });
  connect(ui_->txtPage, &QTextBrowser::anchorClicked, this, &frmHelp::FollowLink);
  connect(ui_->cmdBack, &QPushButton::clicked, this, &frmHelp::GoBack);
  connect(ui_->cmdForward, &QPushButton::clicked, this, &frmHelp::GoForward);
  Reload();
}

frmHelp::~frmHelp() = default;

void frmHelp::Reload() {
  index_ = ManualIndex::Load(folder_.toStdString());
  history_.clear();
  historyPos_ = 0;
  current_ = -1;
  FillContents();
  FillIndex(ui_->txtSearch->text());
  UpdateHistoryButtons();
  if (index_.Empty()) {
    ui_->txtPage->setMarkdown(
        QStringLiteral("# The manual is missing\n\nNo manual sections were found in `%1`. "
                       "Reinstall the program to restore them.")
            .arg(folder_.isEmpty() ? QStringLiteral("manual/") + ManualName(manual_) : folder_));
  }
}

void frmHelp::FillContents() {
  QSignalBlocker block(ui_->lstContents);
  ui_->lstContents->clear();
  for (const auto& section : index_.Sections()) {
    ui_->lstContents->addItem(QString::fromStdString(section.title));
  }
}

void frmHelp::FillIndex(const QString& text) {
  QSignalBlocker block(ui_->lstIndex);
  ui_->lstIndex->clear();
  const auto keywords = index_.Search(text.toStdString());
  for (const auto& entry : keywords) {
    auto* item = new QListWidgetItem(QString::fromStdString(entry.keyword), ui_->lstIndex);
    item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(entry.section));
    item->setToolTip(QString::fromStdString(index_.Sections()[entry.section].title));
  }
  if (!keywords.empty() || text.trimmed().isEmpty()) return;
  // No keyword matches: offer the sections whose text has the words.
  const auto sections = index_.SectionsContaining(text.toStdString());
  auto* heading = new QListWidgetItem(
      sections.empty() ? tr("No keyword or section matches") : tr("Sections mentioning it:"),
      ui_->lstIndex);
  heading->setFlags(Qt::NoItemFlags);
  for (std::size_t section : sections) {
    auto* item = new QListWidgetItem(
        QStringLiteral("    ") + QString::fromStdString(index_.Sections()[section].title),
        ui_->lstIndex);
    item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(section));
  }
}

void frmHelp::ShowSection(std::size_t section, bool remember) {
  if (section >= index_.Sections().size()) return;
  const ManualSection& s = index_.Sections()[section];
  current_ = static_cast<int>(section);
  ui_->txtPage->setMarkdown(QString::fromStdString("# " + s.title + "\n\n" + s.body));
  {
    QSignalBlocker block(ui_->lstContents);
    ui_->lstContents->setCurrentRow(current_);
  }
  if (remember) {
    if (!history_.empty()) history_.resize(historyPos_ + 1);
    if (history_.empty() || history_.back() != section) history_.push_back(section);
    historyPos_ = history_.size() - 1;
  }
  UpdateHistoryButtons();
}

void frmHelp::ShowNotFound(const QString& text) {
  ui_->txtPage->setMarkdown(tr("# No help topic\n\nThe manual has no section for \"%1\". "
                               "The index on the left lists what it has.")
                                .arg(text));
}

void frmHelp::ShowKeyword(const QString& keyword) {
  if (const auto section = index_.FindKeyword(keyword.toStdString())) {
    ui_->tabNav->setCurrentWidget(ui_->tabContents);
    ShowSection(*section);
    return;
  }
  ShowSearch(keyword);
  ShowNotFound(keyword);
}

void frmHelp::ShowContents() {
  ui_->tabNav->setCurrentWidget(ui_->tabContents);
  ui_->lstContents->setFocus();
  if (current_ < 0 && !index_.Empty()) ShowSection(0);
}

void frmHelp::ShowSearch(const QString& text) {
  ui_->tabNav->setCurrentWidget(ui_->tabIndex);
  ui_->txtSearch->setText(text);
  FillIndex(text);
  ui_->txtSearch->setFocus();
  ui_->txtSearch->selectAll();
  if (current_ < 0 && !index_.Empty() && text.isEmpty()) ShowSection(0);
}

void frmHelp::FollowLink(const QUrl& url) {
  if (url.isRelative() || url.isLocalFile()) {
    const QString file = QFileInfo(url.isLocalFile() ? url.toLocalFile() : url.path()).fileName();
    if (const auto section = index_.FindFile(file.toStdString())) {
      ShowSection(*section);
      if (url.hasFragment()) ui_->txtPage->scrollToAnchor(url.fragment());
      return;
    }
    if (url.path().isEmpty() && url.hasFragment()) {
      ui_->txtPage->scrollToAnchor(url.fragment());
      return;
    }
  }
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
    QDesktopServices::openUrl(url);
  }
}

void frmHelp::GoBack() {
  if (historyPos_ == 0 || history_.empty()) return;
  --historyPos_;
  ShowSection(history_[historyPos_], false);
}

void frmHelp::GoForward() {
  if (historyPos_ + 1 >= history_.size()) return;
  ++historyPos_;
  ShowSection(history_[historyPos_], false);
}

void frmHelp::UpdateHistoryButtons() {
  ui_->cmdBack->setEnabled(!history_.empty() && historyPos_ > 0);
  ui_->cmdForward->setEnabled(historyPos_ + 1 < history_.size());
}

void ShowHelpKey(Manual manual, const QString& keyword, QWidget* parent) {
  frmHelp* help = HelpWindow(manual, parent);
  help->ShowKeyword(keyword);
  Present(help);
}

void ShowHelpTab(Manual manual, QWidget* parent) {
  frmHelp* help = HelpWindow(manual, parent);
  help->ShowContents();
  Present(help);
}

void ShowHelpSearch(Manual manual, QWidget* parent) {
  frmHelp* help = HelpWindow(manual, parent);
  help->ShowSearch();
  Present(help);
}

}  // namespace brimtal
