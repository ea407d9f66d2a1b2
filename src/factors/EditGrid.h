// In-place editing of a grid of texts: a table widget with a heading row and a label column,
// a text box placed over the current cell while it is edited, and a label naming the cell.
//
// Rows and columns are counted as on the screen: row 0 is the heading row, column 0 the label
// column, data cells start at row 1, column 1 (the widget's own row and column 0).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTableWidgetItem;

namespace brimtal {

class Host;

class EditGrid : public QObject {
  Q_OBJECT

 public:
  explicit EditGrid(Host& host, QObject* parent = nullptr);
  ~EditGrid() override;

  // Lays out the grid and binds it with the editor box and the label. headings[0] is not read;
  // headings[1..] head the data columns.
  void SetupFlexGrid(QTableWidget* grid, QLineEdit* editor, QLabel* header, const QString& corner,
                     const QStringList& headings);

  void AddCol();
  void AddRow();
  void DelCol();
  void DelRow();
  void InsRow();
  void InsCol();
  void ExtractRow();

  // Counts and positions including the heading row and label column.
  int Rows() const;
  int Cols() const;
  int Row() const;
  int Col() const;
  void SetCurrentCell(int row, int col);
  QString CellText(int row, int col) const;
  void SetCellText(int row, int col, const QString& text);
  // Replaces the data rows by these texts (columns 1, 2, ...) followed by one empty row, which
  // becomes the current row: what filling the first row after cutting the grid to one row,
  // and each further row after AddRow, would give, in one step.
  void LoadRows(const QList<QStringList>& rows);
  bool Editing() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void StartEdit();
  void NextCell();
  void HideEditor();
  void EnterCell(int row, int col);
  void LeaveCell(int row, int col);
  void AppendRow();
  void AppendColumn();
  QTableWidgetItem* NewItem(const QString& text = {}) const;
  QTableWidgetItem* Item(int row, int col) const;
  void FillEmptyItems();
  bool RowHasData(int row) const;
  bool ColumnHasData(int col) const;
  bool ConfirmDelete(const std::string& question, const char* title);
  bool GridKey(int key, const QString& text);
  bool EditorKey(int key);
  bool GridMousePress(QObject* watched, int button, const QPoint& pos);
  void PaintCorner();
  void UpdateCaption();

  Host& host_;
  QTableWidget* grid_ = nullptr;
  QLineEdit* editor_ = nullptr;
  QLabel* header_ = nullptr;
  QAbstractButton* corner_ = nullptr;
  QString cornerText_;
  // The text the current cell had when it was entered; Esc in the editor goes back to it.
  QString enteredText_;
};

}  // namespace brimtal
