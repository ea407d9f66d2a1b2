// The table window.
#include "interp/frmTable.h"

#include <QFontDatabase>

#include "interp/InterpSession.h"
#include "shell/QtHost.h"
#include "ui_frmTable.h"

namespace brimtal {

frmTable::frmTable(InterpClass& table, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::frmTable>()) {
  ui_->setupUi(this);
  ui_->txtTable->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFixedSize(size());
  const TableListing listing = ListTable(table);
  ui_->txtTable->setPlainText(ToQt(listing.text));
  setWindowTitle(QString::fromStdString(listing.caption));
}

frmTable::~frmTable() = default;

}  // namespace brimtal
