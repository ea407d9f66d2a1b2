// The interp main window.
#include "interp/frmTest.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "interp/InterpSession.h"
#include "interp/frmTable.h"
#include "shell/BmGlobals.h"
#include "shell/Host.h"
#include "shell/frmAbout.h"
#include "shell/ui/HelpViewer.h"
#include "ui_frmTest.h"

namespace brimtal {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

frmTest::frmTest(Host& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::frmTest>()),
      host_(host),
      session_(std::make_unique<InterpSession>(host)) {
  ui_->setupUi(this);
  setWindowIcon(QIcon(ProductPicture()));
  QFont titleFont = ui_->Label1->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
  titleFont.setBold(true);
  ui_->Label1->setFont(titleFont);
  ui_->lblLevel->installEventFilter(this);

  connect(ui_->mnuFileNew, &QAction::triggered, this, &frmTest::New);
  connect(ui_->mnuFileInclude, &QAction::triggered, this, &frmTest::Include);
  connect(ui_->mnuFileSaveAs, &QAction::triggered, this, &frmTest::SaveAs);
  connect(ui_->mnuFilePrint, &QAction::triggered, this, &frmTest::Print);
  connect(ui_->mnuFileExit, &QAction::triggered, this, &QWidget::close);
  connect(ui_->mnuHelpAbout, &QAction::triggered, this, &frmTest::ShowAbout);
  connect(ui_->mnuHelpContents, &QAction::triggered, this, &frmTest::ShowContents);
  connect(ui_->Command1, &QPushButton::clicked, this, &frmTest::Interpolate);
  // Enter in the frequency box runs Interpolate, as the window's default button.
  connect(ui_->Text1, &QLineEdit::returnPressed, this, &frmTest::Interpolate);
  connect(ui_->Text1, &QLineEdit::textEdited, ui_->lblLevel, &QLabel::clear);
  connect(ui_->cmdDisplayTable, &QPushButton::clicked, this, &frmTest::DisplayTable);
  ShowTableState();
}

frmTest::~frmTest() {
  CloseTableWindow();
}

frmTable* frmTest::TableWindow() const {
  return tableWindow_;
}

void frmTest::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_) return;
  placed_ = true;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void frmTest::closeEvent(QCloseEvent* event) {
  CloseTableWindow();
  QMainWindow::closeEvent(event);
}

void frmTest::ShowTableState() {
  const bool loaded = session_->HasTable();
  ui_->mnuFileInclude->setEnabled(loaded);
  ui_->mnuFileSaveAs->setEnabled(loaded);
  ui_->mnuFilePrint->setEnabled(loaded);
  setWindowTitle(Q(session_->Caption()));
  ui_->lblStart->setText(Q(session_->FromText()));
  ui_->lblEnd->setText(Q(session_->ToText()));
}

void frmTest::CloseTableWindow() {
  if (tableWindow_ != nullptr) delete tableWindow_;
}

void frmTest::New() {
  CloseTableWindow();
  session_->New();
  ShowTableState();
}

void frmTest::Include() {
  CloseTableWindow();
  session_->Include();
  ShowTableState();
}

void frmTest::SaveAs() {
  session_->SaveAs();
  ShowTableState();
}

void frmTest::Print() {
  session_->Print();
}

void frmTest::Interpolate() {
  ui_->lblLevel->clear();
  const auto result = session_->Interpolate(
      ui_->Text1->text().toStdString(), ui_->optLog->isChecked(), ui_->optEmission->isChecked());
  if (!result) return;
  ui_->lblLevel->setText(Q(*result));
  ui_->Text1->setFocus();
  ui_->Text1->setSelection(0, 20);
}

void frmTest::AskDecimalPlaces() {
  session_->AskDecimalPlaces();
  if (!ui_->lblLevel->text().isEmpty()) Interpolate();
}

bool frmTest::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->lblLevel && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    AskDecimalPlaces();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmTest::DisplayTable() {
  if (tableWindow_ == nullptr) {
    const BusyPointer busy(host_);  // a table of many thousand points takes a moment to list
    tableWindow_ = new frmTable(session_->Table(), this);
    tableWindow_->setAttribute(Qt::WA_DeleteOnClose);
  }
  tableWindow_->show();
  tableWindow_->raise();
  tableWindow_->activateWindow();
}

void frmTest::ShowAbout() {
  AboutInfo info;
  info.programTitle = QStringLiteral("Interp");
  info.title = QStringLiteral("Interp");
  info.description = QStringLiteral(
      "Adds correction-factor files together and interpolates between their points.");
  frmAbout about(info, host_, this);
  about.exec();
}

void frmTest::ShowContents() {
  ShowHelpTab(Manual::Interp, this);
}

}  // namespace brimtal
