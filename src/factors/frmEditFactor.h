// The factor editor: a factor file in a grid of frequency and factor texts, loaded through
// the factor table reader and saved exactly as typed.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>

namespace Ui {
class frmEditFactor;
}

namespace brimtal {

class EditGrid;
class Host;

class frmEditFactor : public QMainWindow {
  Q_OBJECT

 public:
  // factorsDir is where the file dialogs start the first time.
  frmEditFactor(Host& host, std::string factorsDir, QWidget* parent = nullptr);
  ~frmEditFactor() override;

  // A new editor window, shown modeless, that is discarded when it closes.
  static frmEditFactor* ShowModeless(Host& host, std::string factorsDir, int filterDefault,
                                     QWidget* parent = nullptr);

  // The preferred pattern of the Load and Save As dialogs: 0 "*.fac", 1 "*.lev", 2 "*.los",
  // 3 "*.txt", 4 "*.*"; other values leave it as it was.
  void FilterDefault(int value);

  const std::string& FilePath() const { return path_; }
  EditGrid& Grid() { return *grid_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LoadFile();
  void Save();
  void SaveAs();
  void SaveGrid();
  void SetFilePath(const std::string& path);
  std::string DialogFolder();

  std::unique_ptr<Ui::frmEditFactor> ui_;
  Host& host_;
  std::string factorsDir_;
  std::string dialogDir_;
  std::string path_;
  std::string preferredPattern_;
  std::unique_ptr<EditGrid> grid_;
};

}  // namespace brimtal
