// The help window: contents, keyword index with search, and the section being read.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "shell/ManualIndex.h"
#include "shell/ui/HelpViewer.h"

namespace Ui {
class frmHelp;
}

namespace brimtal {

// The folder the manual is read from: beside the program (a build tree or an install), else
// the source tree's docs/manual.
QString ManualFolder(Manual manual);

class frmHelp : public QWidget {
  Q_OBJECT

 public:
  // folder: where the manual's sections are read from.
  frmHelp(Manual manual, const QString& folder, QWidget* parent = nullptr);
  ~frmHelp() override;

  Manual WhichManual() const { return manual_; }
  // Reads the folder again, so sections added since are found.
  void Reload();
  void ShowKeyword(const QString& keyword);
  void ShowContents();
  void ShowSearch(const QString& text = {});
  // The section on show, or -1.
  int CurrentSection() const { return current_; }
  const ManualIndex& Index() const { return index_; }

 private:
  void ShowSection(std::size_t section, bool remember = true);
  void ShowNotFound(const QString& text);
  void FillContents();
  void FillIndex(const QString& text);
  void FollowLink(const QUrl& url);
  void GoBack();
  void GoForward();
  void UpdateHistoryButtons();

  std::unique_ptr<Ui::frmHelp> ui_;
  Manual manual_;
  QString folder_;
  ManualIndex index_;
  int current_ = -1;
  std::vector<std::size_t> history_;
  std::size_t historyPos_ = 0;
};

}  // namespace brimtal
