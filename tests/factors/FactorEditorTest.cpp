// The factor editor window and its grid, driven with key and mouse events.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>

#include "factors/EditGrid.h"
#include "factors/FactorEditing.h"
#include "factors/frmEditFactor.h"
#include "shell/ScriptedHost.h"
#include "support/TestFiles.h"

namespace brimtal {

namespace {

template <typename T>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("control %s not found", name);
  return child;
}

const QColor kYellow(255, 255, 192);

#define ASSERT_MESSAGES(host, count) QCOMPARE((host).Messages().size(), std::size_t(count))

// One editor window with its controls, shown and active so that keys reach the focus.
struct Editor {
  explicit Editor(const std::string& factorsDir = "/lab/factors") : window(host, factorsDir) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
    grid = Child<QTableWidget>(&window, "grdFactors");
    editor = Child<QLineEdit>(&window, "txtCellEdit");
    caption = Child<QLabel>(&window, "lblCell");
  }

  // Texts of the data cells, row by row.
  QList<QStringList> Cells() const {
    QList<QStringList> rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
      QStringList row;
      for (int c = 0; c < grid->columnCount(); ++c) row << grid->item(r, c)->text();
      rows << row;
    }
    return rows;
  }
  QStringList RowLabels() const {
    QStringList labels;
    for (int r = 0; r < grid->rowCount(); ++r) labels << grid->verticalHeaderItem(r)->text();
    return labels;
  }
  // Current cell as the grid counts it (data from row 1, column 1).
  QPoint Current() const { return {grid->currentRow() + 1, grid->currentColumn() + 1}; }
  QPoint CellCentre(int row, int col) const {
    return grid->visualItemRect(grid->item(row - 1, col - 1)).center();
  }
  void Click(int row, int col, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(grid->viewport(), button, {}, CellCentre(row, col));
  }
  // Keys to whatever has the focus: the grid, or the editor box once editing started.
  void Type(const QString& text) {
    for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
  }
  void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
  void Fill(const QList<QStringList>& rows) {
    while (grid->rowCount() < rows.size()) window.Grid().AddRow();
    for (int r = 0; r < rows.size(); ++r) {
      for (int c = 0; c < rows[r].size(); ++c) grid->item(r, c)->setText(rows[r][c]);
    }
  }

  ScriptedHost host;
  frmEditFactor window;
  QTableWidget* grid;
  QLineEdit* editor;
  QLabel* caption;
};

}  // namespace

class FactorEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void opensWithAnEmptyGrid() {
    Editor e;
    QCOMPARE(e.window.windowTitle(), QString("File: (none)"));
    QCOMPARE(e.grid->columnCount(), 2);
    QCOMPARE(e.grid->horizontalHeaderItem(0)->text(), QString("Freq"));
    QCOMPARE(e.grid->horizontalHeaderItem(1)->text(), QString("Factor"));
    QCOMPARE(e.RowLabels(), QStringList{" 1"});
    QCOMPARE(e.Current(), QPoint(1, 1));
    QCOMPARE(e.caption->text(), QString("  1 : Freq "));
    QCOMPARE(e.grid->item(0, 0)->background().color(), kYellow);
    QVERIFY(!e.editor->isVisible());
    QCOMPARE(e.grid->item(0, 0)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
  }

  void typingOverACellReplacesItsTextAndEnterMovesOn() {
    Editor e;
    e.Fill({{"123", "4"}});
    e.Type("7");
    QCOMPARE(e.grid->item(0, 0)->text(), QString("7"));
    QVERIFY(e.editor->isVisible());
    QCOMPARE(QApplication::focusWidget(), e.editor);
    QCOMPARE(e.editor->geometry(), e.grid->visualItemRect(e.grid->item(0, 0)));
    e.Type(".5");
    QCOMPARE(e.grid->item(0, 0)->text(), QString("7.5"));  // copied while typing
    e.Key(Qt::Key_Return);
    QVERIFY(!e.editor->isVisible());
    QCOMPARE(e.Current(), QPoint(1, 2));
    QCOMPARE(QApplication::focusWidget(), e.grid);
    QCOMPARE(e.caption->text(), QString("  1 : Factor "));
    QCOMPARE(e.grid->item(0, 0)->background().color(), e.grid->palette().color(QPalette::Base));
    QCOMPARE(e.grid->item(0, 1)->background().color(), kYellow);
  }

  void enterInTheLastCellAddsALabelledRow() {
    Editor e;
    e.Type("150");
    e.Key(Qt::Key_Return);
    e.Type("1.25");
    e.Key(Qt::Key_Return);
    QCOMPARE(e.RowLabels(), (QStringList{" 1", " 2"}));
    QCOMPARE(e.Current(), QPoint(2, 1));
    QCOMPARE(e.caption->text(), QString("  2 : Freq "));
    QCOMPARE(e.Cells(), (QList<QStringList>{{"150", "1.25"}, {"", ""}}));
    // Enter on the grid, not editing: the next cell, no editing.
    e.Key(Qt::Key_Return);
    QCOMPARE(e.Current(), QPoint(2, 2));
    QVERIFY(!e.editor->isVisible());
  }

  void arrowKeysInTheEditor() {
    Editor e;
    e.Fill({{"1", "2"}, {"3", "4"}});
    e.Click(2, 2);
    e.Key(Qt::Key_F2);
    QVERIFY(e.editor->isVisible());
    // Right with the caret at the end of the last cell of the last row adds no row.
    e.Key(Qt::Key_Right);
    QCOMPARE(e.Current(), QPoint(2, 2));
    QCOMPARE(e.grid->rowCount(), 2);
    QCOMPARE(QApplication::focusWidget(), e.grid);
    // Right at the end of the last column of an upper row goes to column 1 of the next.
    e.Click(1, 2);
    e.Key(Qt::Key_F2);
    e.Key(Qt::Key_Right);
    QCOMPARE(e.Current(), QPoint(2, 1));
    QVERIFY(!e.editor->isVisible());
    // Left with the caret at 0 in column 1 goes to the last column of the row above.
    e.Key(Qt::Key_F2);
    e.editor->setCursorPosition(0);
    e.Key(Qt::Key_Left);
    QCOMPARE(e.Current(), QPoint(1, 2));
    // Left with the caret inside the text stays in the cell; the grid takes the focus.
    e.Key(Qt::Key_F2);
    e.Key(Qt::Key_Left);
    QCOMPARE(e.Current(), QPoint(1, 2));
    QCOMPARE(QApplication::focusWidget(), e.grid);
    // Up in row 1 stays, Down moves.
    e.Key(Qt::Key_F2);
    e.Key(Qt::Key_Up);
    QCOMPARE(e.Current(), QPoint(1, 2));
    e.Key(Qt::Key_F2);
    e.Key(Qt::Key_Down);
    QCOMPARE(e.Current(), QPoint(2, 2));
    e.Key(Qt::Key_F2);
    e.Key(Qt::Key_Down);
    QCOMPARE(e.Current(), QPoint(2, 2));
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}, {"3", "4"}}));
  }

  void escapeRestoresTheTextTheCellHadWhenEntered() {
    Editor e;
    e.Fill({{"12.5", ""}});
    e.Click(1, 2);
    e.Click(1, 1);
    e.Key(Qt::Key_Backspace);
    QCOMPARE(e.grid->item(0, 0)->text(), QString("12."));
    QVERIFY(e.editor->isVisible());
    e.Type("75");
    e.Key(Qt::Key_Backspace);
    e.Type("9");
    QCOMPARE(e.grid->item(0, 0)->text(), QString("12.79"));
    e.Key(Qt::Key_Escape);
    QCOMPARE(e.grid->item(0, 0)->text(), QString("12.5"));
    QCOMPARE(e.editor->text(), QString("12.5"));
    QVERIFY(e.editor->isVisible());
    QCOMPARE(e.editor->cursorPosition(), 4);
    // Esc on the grid does nothing.
    e.Key(Qt::Key_Return);
    e.Key(Qt::Key_Escape);
    QCOMPARE(e.Current(), QPoint(1, 2));
    QVERIFY(!e.editor->isVisible());
  }

  void backspaceOnAnEmptyCellStillOpensTheEditor() {
    Editor e;
    e.Key(Qt::Key_Backspace);
    QVERIFY(e.editor->isVisible());
    QCOMPARE(e.editor->text(), QString());
  }

  void mouseOnTheGrid() {
    Editor e;
    e.Fill({{"1", "2"}, {"3", "4"}, {"5", "6"}});
    e.Click(1, 1);
    e.Type("8");
    QVERIFY(e.editor->isVisible());
    // A click elsewhere ends the editing; the cell keeps what was typed.
    e.Click(2, 2);
    QVERIFY(!e.editor->isVisible());
    QCOMPARE(e.Current(), QPoint(2, 2));
    QCOMPARE(e.grid->item(0, 0)->text(), QString("8"));
    // Right clicks: on a data cell nothing, on a heading its column, on a label its row.
    e.Click(3, 1, Qt::RightButton);
    QCOMPARE(e.Current(), QPoint(2, 2));
    QHeaderView* headings = e.grid->horizontalHeader();
    QTest::mouseClick(headings->viewport(), Qt::RightButton, {},
                      QPoint(headings->sectionViewportPosition(1) + 5, headings->height() / 2));
    QCOMPARE(e.Current(), QPoint(1, 2));
    QHeaderView* labels = e.grid->verticalHeader();
    QTest::mouseClick(labels->viewport(), Qt::RightButton, {},
                      QPoint(labels->width() / 2, labels->sectionViewportPosition(2) + 5));
    QCOMPARE(e.Current(), QPoint(3, 1));
    QCOMPARE(e.caption->text(), QString("  3 : Freq "));
  }

  void deleteRowButton() {
    Editor e;
    auto* del = Child<QPushButton>(&e.window, "cmdDelRow");
    // A single data row is never deleted, and nothing is asked.
    e.Fill({{"1", "2"}});
    QTest::mouseClick(del, Qt::LeftButton);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}}));
    // An empty current row goes without a question.
    e.Fill({{"1", "2"}, {"", ""}, {"5", "6"}});
    e.Click(2, 1);
    QTest::mouseClick(del, Qt::LeftButton);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}, {"5", "6"}}));
    QCOMPARE(e.RowLabels(), (QStringList{" 1", " 2"}));
    // A row with data: No keeps it, Yes deletes it and moves the rows below up.
    e.Fill({{"1", "2"}, {"3", ""}, {"5", "6"}, {"7", "8"}});
    e.Click(2, 2);
    e.host.QueueAnswer(MsgAnswer::No);
    QTest::mouseClick(del, Qt::LeftButton);
    QCOMPARE(e.grid->rowCount(), 4);
    e.host.QueueAnswer(MsgAnswer::Yes);
    QTest::mouseClick(del, Qt::LeftButton);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}, {"5", "6"}, {"7", "8"}}));
    QCOMPARE(e.RowLabels(), (QStringList{" 1", " 2", " 3"}));
    QCOMPARE(e.Current(), QPoint(2, 2));
    ASSERT_MESSAGES(e.host, 2);
    for (const auto& message : e.host.Messages()) {
      QCOMPARE(message.text, std::string("There is data in Row 2 ! Delete anyway?"));
      QCOMPARE(message.title, std::string("Delete Row!"));
      QVERIFY(message.buttons == MsgButtons::YesNo);
    }
    // Deleting the last row while it is current moves the current cell up.
    e.host.ClearMessages();
    e.Click(3, 1);
    e.host.QueueAnswer(MsgAnswer::Yes);
    QTest::mouseClick(del, Qt::LeftButton);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}, {"5", "6"}}));
    QCOMPARE(e.Current(), QPoint(2, 1));
    QCOMPARE(e.grid->item(1, 0)->background().color(), kYellow);
    QVERIFY(e.host.AllAnswersUsed());
  }

  void insertRowButton() {
    Editor e;
    e.Fill({{"1", "2"}, {"3", "4"}, {"5", "6"}});
    e.Click(2, 2);
    e.Key(Qt::Key_F2);
    QTest::mouseClick(Child<QPushButton>(&e.window, "cmdInsRow"), Qt::LeftButton);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}, {"", ""}, {"3", "4"}, {"5", "6"}}));
    QCOMPARE(e.RowLabels(), (QStringList{" 1", " 2", " 3", " 4"}));
    QCOMPARE(e.Current(), QPoint(2, 2));
    QVERIFY(!e.editor->isVisible());
    e.grid->setFocus();
    e.Type("9");
    e.Key(Qt::Key_Escape);  // back to the inserted row's empty text
    QCOMPARE(e.grid->item(1, 1)->text(), QString());
  }

  void columnOperations() {
    Editor e;
    EditGrid& grid = e.window.Grid();
    e.Fill({{"1", "2"}, {"3", "4"}});
    grid.AddCol();
    QCOMPARE(e.grid->horizontalHeaderItem(2)->text(), QString("Col  3"));
    QCOMPARE(e.Current(), QPoint(2, 3));
    QCOMPARE(e.caption->text(), QString("  2 : Col  3 "));
    e.Click(1, 2);
    grid.InsCol();
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "", "2", ""}, {"3", "", "4", ""}}));
    QCOMPARE(e.grid->horizontalHeaderItem(1)->text(), QString("Factor"));
    QCOMPARE(e.grid->horizontalHeaderItem(3)->text(), QString("Col  4"));
    QCOMPARE(e.grid->item(0, 3)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
    e.host.QueueAnswer(MsgAnswer::Yes);
    grid.DelCol();  // column 4 is empty: no question
    QCOMPARE(e.grid->columnCount(), 3);
    QVERIFY(e.host.Messages().empty());
    grid.DelCol();
    QCOMPARE(e.grid->columnCount(), 2);
    ASSERT_MESSAGES(e.host, 1);
    QCOMPARE(e.host.Messages()[0].text, std::string("There is data in Col 3 ! Delete anyway?"));
    QCOMPARE(e.host.Messages()[0].title, std::string("Delete Column!"));
    grid.DelCol();  // column 2 is empty again
    QCOMPARE(e.grid->columnCount(), 1);
    grid.DelCol();  // one data column is never deleted
    QCOMPARE(e.grid->columnCount(), 1);
    QCOMPARE(e.Current(), QPoint(1, 1));
    QVERIFY(e.host.AllAnswersUsed());
  }

  void lastRowDeletion() {
    Editor e;
    EditGrid& grid = e.window.Grid();
    e.Fill({{"1", "2"}, {"", ""}});
    grid.DelRow();
    QCOMPARE(e.grid->rowCount(), 1);
    grid.DelRow();
    QCOMPARE(e.grid->rowCount(), 1);
    QVERIFY(e.host.Messages().empty());
  }

  void loadShowsThePointsSortedWithOneEmptyRowBelow() {
    test::TempDir dir;
    const std::string path = dir.File("coupler.fac");
    test::WriteFileBytes(path, "Coupler\r\n10, 2\r\n0.15, -3\r\n80, 1.5\r\n1000, 1.5\r\n");
    Editor e(dir.Path().string());
    e.host.QueueFile(path);
    QTest::keyClick(&e.window, Qt::Key_F, Qt::AltModifier);
    QMenu* file = Child<QMenu>(&e.window, "mnuFile");
    QTRY_VERIFY(file->isVisible());
    QTest::keyClick(file, Qt::Key_L);
    QCOMPARE(e.host.FileRequests().size(), size_t(1));
    const FileDialogRequest& request = e.host.FileRequests()[0];
    QCOMPARE(request.title, std::string("Select Factor File"));
    QCOMPARE(request.filter, std::string(kFactorFileFilter));
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.startDir, dir.Path().string());
    QVERIFY(!request.save);
    QCOMPARE(e.Cells(),
             (QList<QStringList>{
                 {"0.15", "-3"}, {"10", "2"}, {"80", "1.5"}, {"1000", "1.5"}, {"", ""}}));
    QCOMPARE(e.RowLabels(), (QStringList{" 1", " 2", " 3", " 4", " 5"}));
    QCOMPARE(e.Current().x(), 5);
    QCOMPARE(e.window.windowTitle(), QString::fromStdString("File: " + path));
    QCOMPARE(e.window.findChild<QAction*>("mnuFileSave")->text(),
             QString::fromStdString("&Save " + path));
    // Saved unchanged: one line per point, in ascending frequency, without the header.
    e.window.findChild<QAction*>("mnuFileSave")->trigger();
    QCOMPARE(test::ReadFileBytes(path),
             std::string("0.15, -3\r\n10, 2\r\n80, 1.5\r\n1000, 1.5\r\n"));
    QVERIFY(e.host.Messages().empty());
  }

  void savingWritesTheTextsAsTyped() {
    test::TempDir dir;
    const std::string path = dir.File("typed.lev");
    Editor e(dir.Path().string());
    e.window.FilterDefault(1);
    e.window.FilterDefault(9);  // not a filter: the pattern stays
    e.Type("150");
    e.Key(Qt::Key_Return);
    e.Type("1.50");
    e.Key(Qt::Key_Return);
    e.Type("200");
    e.Key(Qt::Key_Return);
    e.Key(Qt::Key_Return);  // no factor: the row is left out
    e.Type("250");
    e.Key(Qt::Key_Return);
    e.Type("n/a");
    e.Key(Qt::Key_Return);
    e.Type("0.15");
    e.Key(Qt::Key_Return);
    e.Type("-3");
    e.Key(Qt::Key_Return);
    e.host.QueueFile(path);
    e.window.findChild<QAction*>("mnuFileSave")->trigger();  // no file yet: Save As
    QCOMPARE(e.host.FileRequests().size(), size_t(1));
    QCOMPARE(e.host.FileRequests()[0].title, std::string("Select filename"));
    QVERIFY(e.host.FileRequests()[0].save);
    QCOMPARE(e.host.FileRequests()[0].filterIndex, 4);  // Test Level File (*.lev)
    QCOMPARE(test::ReadFileBytes(path), std::string("150, 1.50\r\n0.15, -3\r\n"));
    QCOMPARE(e.window.windowTitle(), QString::fromStdString("File: " + path));
    QCOMPARE(e.window.FilePath(), path);
  }

  void failedLoadChangesNothing() {
    test::TempDir dir;
    const std::string bad = dir.File("bad.fac");
    test::WriteFileBytes(bad, "1, 2\r\n2, 3\r\nnot data\r\n");
    Editor e(dir.Path().string());
    e.Fill({{"5", "6"}});
    e.host.QueueFile(bad);
    e.host.QueueFile("");  // cancelled
    QAction* load = e.window.findChild<QAction*>("mnuFileLoad");
    load->trigger();
    load->trigger();
    QCOMPARE(e.host.MessageTexts(), (std::vector<std::string>{"Bad data in calibration file",
                                                              "error loading factor file"}));
    QVERIFY(e.host.Messages()[1].icon == MsgIcon::None);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"5", "6"}}));
    QCOMPARE(e.window.windowTitle(), QString("File: (none)"));
    QVERIFY(e.window.FilePath().empty());
  }

  void failedSaveShowsTheErrorBox() {
    test::TempDir dir;
    const std::string path = dir.File("missing/folder.fac");
    Editor e(dir.Path().string());
    e.Fill({{"1", "2"}});
    e.host.QueueFile(path);
    e.window.findChild<QAction*>("mnuFileSaveAs")->trigger();
    ASSERT_MESSAGES(e.host, 1);
    QCOMPARE(e.host.Messages()[0].text,
             "Error # 76\rPath not found\rfrmEditFactor.SaveGrid\r" + path);
    QVERIFY(e.host.Messages()[0].icon == MsgIcon::Critical);
    QCOMPARE(e.Cells(), (QList<QStringList>{{"1", "2"}}));
  }

  void exitClosesTheWindow() {
    Editor e;
    QVERIFY(e.window.isVisible());
    e.window.findChild<QAction*>("mnuFileExit")->trigger();
    QVERIFY(!e.window.isVisible());
  }
};

}  // namespace brimtal

QTEST_MAIN(brimtal::FactorEditorTest)
#include "FactorEditorTest.moc"
