// The frequency list builder: composes a list from linear and logarithmic ranges, harmonics of
// a fundamental and other list files, and saves it as a list file.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "equipment/ReadFreq.h"

namespace Ui {
class frmBuildList;
}

namespace brimtal {

class Host;

class frmBuildList : public QDialog {
  Q_OBJECT

 public:
  // listDir: where the file dialogs start (the frequency list directory).
  frmBuildList(Host& host, std::string listDir, QWidget* parent = nullptr);
  ~frmBuildList() override;

  // Shows the builder modally, starting from the list file fileName (when not empty). On
  // return fileName is the list file the caller should use, or empty; with a file, lowest and
  // highest are its first and last frequency, otherwise they are left as they were.
  void DoIt(double& lowest, double& highest, std::string& fileName);
  // The list file the window stands for; empty when the list has no file or has changed.
  std::string GetFilename() const { return file_; }

  const FreqList& List() const { return list_; }
  bool IsModified() const { return modified_; }

 public slots:
  // Esc and the close box: close without questions.
  void reject() override;

 private slots:
  void StepUnitsChanged();
  void Add();
  void AddFromFile();
  bool SaveAs();
  void New();
  void Exit();

 private:
  void StartFrom(const std::string& fileName);
  // Reads a list file for the builder: at least one entry, every entry above 0 MHz.
  bool ReadListFile(const std::string& path, FreqList& entries);
  std::optional<FreqList> CollectRange();
  void UpdateCaption(bool modified);
  void ShowList();
  void Tidy();
  void TakeEndsOfList();
  bool WriteList(const std::string& path);

  Host& host_;
  std::string listDir_;
  std::unique_ptr<Ui::frmBuildList> ui_;
  FreqList list_;
  std::string file_;
  bool modified_ = false;
  bool callerFile_ = false;
  bool busy_ = false;
  double lowest_ = 0;
  double highest_ = 0;
};

}  // namespace brimtal
