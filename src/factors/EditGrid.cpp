// The grid editor: keys and mouse on the grid and in the editor box, rows and columns.
#include "factors/EditGrid.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionHeader>
#include <QTableWidget>

#include "factors/FactorEditing.h"
#include "shell/Host.h"

namespace brimtal {

namespace {

constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignVCenter;
const QColor kCurrentCellColour(255, 255, 192);
// The label column is at least 600 twips wide: 40 pixels at 96 dots per inch.
constexpr int kLabelColumnPixels = 40;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

EditGrid::EditGrid(Host& host, QObject* parent) : QObject(parent), host_(host) {}

EditGrid::~EditGrid() = default;

void EditGrid::SetupFlexGrid(QTableWidget* grid, QLineEdit* editor, QLabel* header,
                             const QString& corner, const QStringList& headings) {
  grid_ = grid;
  editor_ = editor;
  header_ = header;
  cornerText_ = corner;

  grid_->setColumnCount(static_cast<int>(headings.size()) - 1);
  if (grid_->rowCount() < 1) grid_->setRowCount(1);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->horizontalHeader()->setDefaultAlignment(kCellAlignment);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->horizontalHeader()->setSectionsClickable(false);
  grid_->verticalHeader()->setDefaultAlignment(kCellAlignment);
  grid_->verticalHeader()->setSectionsClickable(false);
  const int cornerWidth = grid_->fontMetrics().horizontalAdvance(corner) + 16;
  grid_->verticalHeader()->setMinimumWidth(std::max(kLabelColumnPixels, cornerWidth));
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
  for (int c = 1; c < Cols(); ++c) {
    grid_->setHorizontalHeaderItem(c - 1, new QTableWidgetItem(headings[c]));
  }
  for (int r = 1; r < Rows(); ++r) {
    grid_->setVerticalHeaderItem(r - 1, new QTableWidgetItem(Q(GridRowLabel(r))));
  }
  FillEmptyItems();

  corner_ = grid_->findChild<QAbstractButton*>();
  if (corner_ != nullptr) {
    corner_->installEventFilter(this);
    corner_->update();
  }
  grid_->installEventFilter(this);
  grid_->viewport()->installEventFilter(this);
  grid_->horizontalHeader()->viewport()->installEventFilter(this);
  grid_->verticalHeader()->viewport()->installEventFilter(this);

  editor_->setParent(grid_->viewport());
  editor_->setFrame(false);
  QPalette editorColours = editor_->palette();
  editorColours.setColor(QPalette::Base, kCurrentCellColour);
  editor_->setPalette(editorColours);
  editor_->hide();
  editor_->installEventFilter(this);
  // Whatever is typed shows in the cell at once.
  connect(editor_, &QLineEdit::textEdited, this,
          [this](const QString& text) { SetCellText(Row(), Col(), text); });
  // The box belongs over its cell; a moving grid ends the editing (the cell has the text).
  connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &EditGrid::HideEditor);
  connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &EditGrid::HideEditor);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, &EditGrid::HideEditor);
  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int col, int previousRow, int previousCol) {
            LeaveCell(previousRow + 1, previousCol + 1);
            EnterCell(row + 1, col + 1);
          });

  if (Row() == 1 && Col() == 1) {
    EnterCell(1, 1);
  } else {
    SetCurrentCell(1, 1);
  }
}

// ---- cells ----

int EditGrid::Rows() const {
  return grid_->rowCount() + 1;
}
int EditGrid::Cols() const {
  return grid_->columnCount() + 1;
}
int EditGrid::Row() const {
  return grid_->currentRow() + 1;
}
int EditGrid::Col() const {
  return grid_->currentColumn() + 1;
}

void EditGrid::SetCurrentCell(int row, int col) {
  grid_->setCurrentCell(row - 1, col - 1);
}

QTableWidgetItem* EditGrid::NewItem(const QString& text) const {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(kCellAlignment);
  return item;
}

QTableWidgetItem* EditGrid::Item(int row, int col) const {
  if (row < 1 || col < 1) return nullptr;
  return grid_->item(row - 1, col - 1);
}

QString EditGrid::CellText(int row, int col) const {
  const QTableWidgetItem* item = Item(row, col);
  return item != nullptr ? item->text() : QString();
}

void EditGrid::SetCellText(int row, int col, const QString& text) {
  if (QTableWidgetItem* item = Item(row, col)) item->setText(text);
}

void EditGrid::FillEmptyItems() {
  for (int r = 0; r < grid_->rowCount(); ++r) {
    for (int c = 0; c < grid_->columnCount(); ++c) {
      if (grid_->item(r, c) == nullptr) grid_->setItem(r, c, NewItem());
    }
  }
}

bool EditGrid::Editing() const {
  return editor_->isVisible();
}

void EditGrid::EnterCell(int row, int col) {
  QTableWidgetItem* item = Item(row, col);
  if (item == nullptr) return;
  UpdateCaption();
  HideEditor();
  enteredText_ = item->text();
  item->setBackground(kCurrentCellColour);
}

void EditGrid::LeaveCell(int row, int col) {
  if (QTableWidgetItem* item = Item(row, col)) {
    item->setBackground(grid_->palette().color(QPalette::Base));
  }
}

void EditGrid::UpdateCaption() {
  const QTableWidgetItem* label = grid_->verticalHeaderItem(Row() - 1);
  const QTableWidgetItem* heading = grid_->horizontalHeaderItem(Col() - 1);
  if (label == nullptr || heading == nullptr) return;
  header_->setText(Q(GridCellCaption(label->text().toStdString(), heading->text().toStdString())));
}

// ---- editing ----

void EditGrid::StartEdit() {
  QTableWidgetItem* item = Item(Row(), Col());
  if (item == nullptr) return;
  grid_->scrollToItem(item);
  editor_->setGeometry(grid_->visualItemRect(item));
  editor_->setFont(grid_->font());
  editor_->setText(item->text());
  editor_->show();
  editor_->end(false);
  editor_->setFocus();
}

void EditGrid::HideEditor() {
  if (editor_ == nullptr || editor_->isHidden()) return;
  // Hiding the box that has the focus would pass the focus on like Tab, which moves the
  // table's current cell; the grid takes it first.
  if (editor_->hasFocus()) grid_->setFocus();
  editor_->hide();
}

void EditGrid::NextCell() {
  grid_->setUpdatesEnabled(false);
  if (Col() < Cols() - 1) {
    SetCurrentCell(Row(), Col() + 1);
  } else {
    const int row = Row();
    if (row == Rows() - 1) AddRow();
    SetCurrentCell(row + 1, 1);
  }
  grid_->setUpdatesEnabled(true);
}

bool EditGrid::GridKey(int key, const QString& text) {
  if (Item(Row(), Col()) == nullptr) return false;
  if (key == Qt::Key_F2) {
    StartEdit();
  } else if (key == Qt::Key_Backspace) {
    QString cell = CellText(Row(), Col());
    cell.chop(1);
    SetCellText(Row(), Col(), cell);
    StartEdit();
  } else if (IsEnter(key)) {
    NextCell();
  } else if (key == Qt::Key_Escape) {
    // Nothing to undo outside the editor.
  } else if (text.size() == 1 && text.at(0).isPrint()) {
    SetCellText(Row(), Col(), text);
    StartEdit();
  } else {
    return false;  // arrows, Tab, paging: the grid's own navigation
  }
  return true;
}

bool EditGrid::EditorKey(int key) {
  const int row = Row();
  const int col = Col();
  const int lastRow = Rows() - 1;
  const int lastCol = Cols() - 1;
  switch (key) {
    case Qt::Key_Escape:
      editor_->setText(enteredText_);
      editor_->end(false);
      SetCellText(row, col, enteredText_);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      SetCellText(row, col, editor_->text());
      HideEditor();
      NextCell();
      grid_->setFocus();
      return true;
    case Qt::Key_Left:
      if (editor_->cursorPosition() == 0) {
        if (col > 1) {
          SetCurrentCell(row, col - 1);
        } else if (row > 1) {
          SetCurrentCell(row - 1, lastCol);
        }
      }
      break;
    case Qt::Key_Right:
      if (editor_->cursorPosition() == editor_->text().size()) {
        if (col < lastCol) {
          SetCurrentCell(row, col + 1);
        } else if (row < lastRow) {
          SetCurrentCell(row + 1, 1);
        }
      }
      break;
    case Qt::Key_Up:
      if (row > 1) SetCurrentCell(row - 1, col);
      break;
    case Qt::Key_Down:
      if (row < lastRow) SetCurrentCell(row + 1, col);
      break;
    default: return false;  // typing: copied into the cell as it is typed
  }
  grid_->setFocus();
  return true;
}

bool EditGrid::GridMousePress(QObject* watched, int button, const QPoint& pos) {
  HideEditor();
  if (button != Qt::RightButton) return false;
  if (watched == grid_->horizontalHeader()->viewport()) {
    const int col = grid_->horizontalHeader()->logicalIndexAt(pos);
    if (col >= 0) SetCurrentCell(1, col + 1);
  } else if (watched == grid_->verticalHeader()->viewport()) {
    const int row = grid_->verticalHeader()->logicalIndexAt(pos);
    if (row >= 0) SetCurrentCell(row + 1, 1);
  } else if (watched == corner_) {
    SetCurrentCell(1, 1);
  }
  return true;  // a right click on a data cell does nothing more
}

void EditGrid::PaintCorner() {
  QStyleOptionHeader option;
  option.initFrom(corner_);
  option.rect = corner_->rect();
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.text = cornerText_;
  option.textAlignment = kCellAlignment;
  QPainter painter(corner_);
  corner_->style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
}

bool EditGrid::eventFilter(QObject* watched, QEvent* event) {
  if (grid_ == nullptr) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (watched == grid_) return GridKey(key->key(), key->text());
      if (watched == editor_) return EditorKey(key->key());
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (watched == grid_->viewport() || watched == grid_->horizontalHeader()->viewport() ||
          watched == grid_->verticalHeader()->viewport() || watched == corner_) {
        return GridMousePress(watched, mouse->button(), mouse->position().toPoint());
      }
      break;
    }
    case QEvent::Paint:
      if (watched == corner_) {
        PaintCorner();
        return true;
      }
      break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

// ---- rows and columns ----

void EditGrid::AppendRow() {
  const int row = grid_->rowCount();
  grid_->insertRow(row);
  grid_->setVerticalHeaderItem(row, new QTableWidgetItem(Q(GridRowLabel(row + 1))));
  for (int c = 0; c < grid_->columnCount(); ++c) grid_->setItem(row, c, NewItem());
}

void EditGrid::AppendColumn() {
  const int col = grid_->columnCount();
  grid_->insertColumn(col);
  grid_->setHorizontalHeaderItem(col, new QTableWidgetItem(Q(GridColumnHeading(col + 1))));
  for (int r = 0; r < grid_->rowCount(); ++r) grid_->setItem(r, col, NewItem());
}

void EditGrid::AddRow() {
  AppendRow();
  SetCurrentCell(Rows() - 1, Col());
}

void EditGrid::AddCol() {
  AppendColumn();
  SetCurrentCell(Row(), Cols() - 1);
}

bool EditGrid::RowHasData(int row) const {
  for (int c = 1; c < Cols(); ++c) {
    if (!CellText(row, c).isEmpty()) return true;
  }
  return false;
}

bool EditGrid::ColumnHasData(int col) const {
  for (int r = 1; r < Rows(); ++r) {
    if (!CellText(r, col).isEmpty()) return true;
  }
  return false;
}

bool EditGrid::ConfirmDelete(const std::string& question, const char* title) {
  return host_.MsgBox(question, MsgButtons::YesNo, MsgIcon::Question, title) == MsgAnswer::Yes;
}

void EditGrid::DelRow() {
  if (Rows() < 3) return;
  const int last = Rows() - 1;
  if (RowHasData(last) && !ConfirmDelete(DeleteRowQuestion(last), kDeleteRowTitle)) return;
  if (Row() == last) SetCurrentCell(last - 1, Col());
  grid_->removeRow(last - 1);
}

void EditGrid::ExtractRow() {
  if (Rows() < 3) return;
  const int row = Row();
  if (RowHasData(row) && !ConfirmDelete(DeleteRowQuestion(row), kDeleteRowTitle)) return;
  const int last = Rows() - 1;
  for (int r = row; r < last; ++r) {
    for (int c = 1; c < Cols(); ++c) SetCellText(r, c, CellText(r + 1, c));
  }
  if (Row() == last) SetCurrentCell(last - 1, Col());
  grid_->removeRow(last - 1);
  HideEditor();
  enteredText_ = CellText(Row(), Col());
}

void EditGrid::DelCol() {
  if (Cols() < 3) return;
  const int last = Cols() - 1;
  if (ColumnHasData(last) && !ConfirmDelete(DeleteColumnQuestion(last), kDeleteColumnTitle)) {
    return;
  }
  if (Col() == last) SetCurrentCell(Row(), last - 1);
  grid_->removeColumn(last - 1);
}

void EditGrid::InsRow() {
  const int row = Row();
  AppendRow();
  for (int r = Rows() - 1; r > row; --r) {
    for (int c = 1; c < Cols(); ++c) SetCellText(r, c, CellText(r - 1, c));
  }
  for (int c = 1; c < Cols(); ++c) SetCellText(row, c, QString());
  HideEditor();
  // The current cell now holds the inserted row's empty text; Esc goes back to that.
  enteredText_ = CellText(Row(), Col());
}

void EditGrid::InsCol() {
  const int col = Col();
  AppendColumn();
  for (int r = 1; r < Rows(); ++r) {
    for (int c = Cols() - 1; c > col; --c) SetCellText(r, c, CellText(r, c - 1));
    SetCellText(r, col, QString());
  }
  HideEditor();
  enteredText_ = CellText(Row(), Col());
}

void EditGrid::LoadRows(const QList<QStringList>& rows) {
  HideEditor();
  const int col = std::max(Col(), 1);
  grid_->setUpdatesEnabled(false);
  {
    // Rows are rebuilt whole; the current cell is entered once they stand.
    const QSignalBlocker quiet(grid_);
    grid_->setRowCount(0);
    grid_->setRowCount(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < grid_->rowCount(); ++r) {
      grid_->setVerticalHeaderItem(r, new QTableWidgetItem(Q(GridRowLabel(r + 1))));
      for (int c = 0; c < grid_->columnCount(); ++c) {
        const bool filled = r < rows.size() && c < rows[r].size();
        grid_->setItem(r, c, NewItem(filled ? rows[r][c] : QString()));
      }
    }
    grid_->setCurrentCell(grid_->rowCount() - 1, col - 1);
  }
  EnterCell(Row(), Col());
  grid_->setUpdatesEnabled(true);
}

}  // namespace brimtal
