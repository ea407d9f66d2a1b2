// The About box of both programs, and the system information it can show.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

#include "shell/SystemInfo.h"

namespace Ui {
class frmAbout;
class frmSysInfo;
}  // namespace Ui

namespace brimtal {

class Host;

struct AboutInfo {
  QString programTitle;   // "Brimtal" or "Interp": caption "About " + programTitle
  QString title;          // lblTitle, e.g. "Brimtal RF Immunity" or "Interp"
  QString description;    // a one-line description (may be empty)
  QString scriptVersion;  // e.g. "5.8"; empty hides lblScriptVersion
  QPixmap picture;        // picIcon; null: the program's own product picture
};

// The product picture of the programs (main menu, About box).
QPixmap ProductPicture();

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  frmAbout(const AboutInfo& info, Host& host, QWidget* parent = nullptr);
  ~frmAbout() override;

  // Where "System Info..." reads the platform's details (the running system unless set).
  void SetSystemInfoSources(SystemInfoSources sources) { sources_ = std::move(sources); }

 private:
  void ShowSystemInfo();

  std::unique_ptr<Ui::frmAbout> ui_;
  Host& host_;
  SystemInfoSources sources_;
};

// The platform's details in a table, with a button that copies them as text.
class frmSysInfo : public QDialog {
  Q_OBJECT

 public:
  frmSysInfo(const std::vector<SystemInfoItem>& items, QWidget* parent = nullptr);
  ~frmSysInfo() override;
  // The details as lines of "name: value".
  QString Text() const;

 private:
  std::unique_ptr<Ui::frmSysInfo> ui_;
  std::vector<SystemInfoItem> items_;
};

}  // namespace brimtal
