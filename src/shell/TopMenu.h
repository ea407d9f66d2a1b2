// The main menu of brimtal: the three activities, Exit, and the start-up's texts.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "shell/Startup.h"

namespace Ui {
class TopMenu;
}

namespace brimtal {

struct Brimtal;

class TopMenu : public QMainWindow, public StartupDisplay {
  Q_OBJECT

 public:
  enum class Activity { ConfigSys, Calibration, RunTest };
  // Opens an activity's window with the main menu as its CallingForm and returns it, or
  // nullptr when it could not open. The window shows its CallingForm again when it closes.
  using Opener = std::function<QWidget*(TopMenu& callingForm)>;

  explicit TopMenu(Brimtal& context, QWidget* parent = nullptr);
  ~TopMenu() override;

  // Wires an activity's button; until then the button stays disabled.
  void SetActivity(Activity which, Opener open);
  // What the activity's button does: opens the window and hides the main menu.
  bool OpenActivity(Activity which);

  void SetCaption(const std::string& caption) override;
  void SetLabel1(const std::string& text) override;

 signals:
  // The main menu closes: the program ends.
  void Closing();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowAbout();
  // Which instruments the program drives, in a line below the buttons.
  void ShowBus();

  std::unique_ptr<Ui::TopMenu> ui_;
  Brimtal& context_;
  Opener openers_[3];
};

}  // namespace brimtal
