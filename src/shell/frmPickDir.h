// The directory picker window "Select Directory": a list of places, the folder list and the
// chosen path.
#pragma once

#include <QDialog>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "shell/DirectoryList.h"

namespace Ui {
class frmPickDir;
}

namespace brimtal {

class frmPickDir : public QDialog {
  Q_OBJECT
  Q_PROPERTY(QString StartDir READ StartDir WRITE SetStartDir)

 public:
  // drives: the places offered in Drive1; the system's places by default.
  explicit frmPickDir(QWidget* parent = nullptr, std::vector<DriveEntry> drives = SystemDrives());
  ~frmPickDir() override;

  // Moves the folder list to the folder and the place list to its place; a folder that does
  // not exist leaves both as they were.
  void SetStartDir(const QString& directory);
  QString StartDir() const { return startDir_; }
  // The folder the list is in.
  QString CurrentPath() const { return currentPath_; }
  // The chosen folder after OK; empty after Cancel or closing.
  QString Result() const { return result_; }

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool ChangeDirectory(const QString& path);
  void DriveChosen(int index);
  void Confirm();
  void ShowPath();

  std::unique_ptr<Ui::frmPickDir> ui_;
  std::vector<DriveEntry> drives_;
  std::map<std::size_t, QString> lastPathOfDrive_;
  QString startDir_;
  QString currentPath_;
  QString result_;
};

}  // namespace brimtal
