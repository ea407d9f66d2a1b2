// The main menu.
#include "shell/TopMenu.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

#include "instruments/script/ParseReply.h"
#include "shell/Brimtal.h"
#include "shell/QtHost.h"
#include "shell/frmAbout.h"
#include "shell/ui/HelpViewer.h"
#include "ui_TopMenu.h"

namespace brimtal {

namespace {

QPushButton* ButtonOf(Ui::TopMenu& ui, TopMenu::Activity which) {
  switch (which) {
    case TopMenu::Activity::ConfigSys: return ui.cmdConfigSys;
    case TopMenu::Activity::Calibration: return ui.cmdCalibration;
    case TopMenu::Activity::RunTest: return ui.cmdRunTest;
  }
  return ui.cmdConfigSys;
}

}  // namespace

TopMenu::TopMenu(Brimtal& context, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TopMenu>()), context_(context) {
  ui_->setupUi(this);
  ui_->Image1->setPixmap(
      ProductPicture().scaled(160, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  QFont title = ui_->Label1->font();
  title.setPointSizeF(title.pointSizeF() * 1.6);
  title.setBold(true);
  ui_->Label1->setFont(title);
  QFont subtitle = ui_->Label2->font();
  subtitle.setPointSizeF(subtitle.pointSizeF() * 1.2);
  ui_->Label2->setFont(subtitle);
  for (auto which : {Activity::ConfigSys, Activity::Calibration, Activity::RunTest}) {
    QPushButton* button = ButtonOf(*ui_, which);
    button->setEnabled(false);
    connect(button, &QPushButton::clicked, this, [this, which] { OpenActivity(which); });
  }
  connect(ui_->cmdExit, &QPushButton::clicked, this, &QWidget::close);
  connect(ui_->mnuHelpContents, &QAction::triggered, this,
          [this] { ShowHelpKey(Manual::Brimtal, QStringLiteral("TopMenu"), this); });
  connect(ui_->mnuHelpSearch, &QAction::triggered, this,
          [this] { ShowHelpSearch(Manual::Brimtal, this); });
  connect(ui_->mnuHelpAbout, &QAction::triggered, this, &TopMenu::ShowAbout);
  ShowBus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TopMenu::ShowBus() {
  const bool simulated = context_.bus->IsSimulated();
  auto* lblBus = new QLabel(this);
  lblBus->setObjectName(QStringLiteral("lblBus"));
  statusBar()->addWidget(lblBus, 1);
  lblBus->setText(ToQt("Instruments: " + context_.bus->Description() +
                       (simulated ? " \u2014 no real instrument is driven" : std::string())));
  lblBus->setStyleSheet(simulated ? QStringLiteral("color: #a05000; font-weight: bold;")
                                  : QString());
}

TopMenu::~TopMenu() = default;

void TopMenu::SetActivity(Activity which, Opener open) {
  ButtonOf(*ui_, which)->setEnabled(static_cast<bool>(open));
  openers_[static_cast<int>(which)] = std::move(open);
}

bool TopMenu::OpenActivity(Activity which) {
  const Opener& open = openers_[static_cast<int>(which)];
  if (!open) return false;
  QWidget* window = open(*this);
  if (window == nullptr) return false;
  hide();
  return true;
}

void TopMenu::SetCaption(const std::string& caption) {
  setWindowTitle(ToQt(caption + context_.SimulatedSuffix()));
}

void TopMenu::SetLabel1(const std::string& text) {
  ui_->Label1->setText(ToQt(text));
}

void TopMenu::ShowAbout() {
  frmAbout about({QStringLiteral("Brimtal"), QStringLiteral("Brimtal RF Immunity"),
                  QStringLiteral("Conducted RF immunity testing for the EMC laboratory"),
                  ToQt(ScriptEngineVersionText(context_.script)), QPixmap()},
                 context_.host, this);
  about.exec();
}

void TopMenu::closeEvent(QCloseEvent* event) {
  // The main menu never refuses to close; closing it ends the program.
  emit Closing();
  event->accept();
}

}  // namespace brimtal
