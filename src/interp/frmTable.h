// The table window of interp: the factor table as a list of lines, filled when it opens.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmTable;
}

namespace brimtal {

class InterpClass;

class frmTable : public QDialog {
  Q_OBJECT

 public:
  frmTable(InterpClass& table, QWidget* parent = nullptr);
  ~frmTable() override;

 private:
  std::unique_ptr<Ui::frmTable> ui_;
};

}  // namespace brimtal
