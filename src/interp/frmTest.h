// The main window of interp: load and add factor files, interpolate a typed frequency, list,
// save and print the table.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

namespace Ui {
class frmTest;
}

namespace brimtal {

class Host;
class InterpSession;
class frmTable;

class frmTest : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmTest(Host& host, QWidget* parent = nullptr);
  ~frmTest() override;

  InterpSession& Session() { return *session_; }
  // The table window while it is open.
  frmTable* TableWindow() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void New();
  void Include();
  void SaveAs();
  void Print();
  void Interpolate();
  void DisplayTable();
  void ShowAbout();
  void ShowContents();
  void AskDecimalPlaces();
  void CloseTableWindow();
  void ShowTableState();

  std::unique_ptr<Ui::frmTest> ui_;
  Host& host_;
  std::unique_ptr<InterpSession> session_;
  QPointer<frmTable> tableWindow_;
  bool placed_ = false;
};

}  // namespace brimtal
