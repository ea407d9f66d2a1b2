// Lines of text on printer pages.
#include "shell/QtPrinter.h"

#include <QFontMetricsF>

#include "shell/FileIo.h"

namespace brimtal {

namespace {
constexpr int kPrinterError = 482;
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
  font_.setStyleHint(QFont::TypeWriter);
}

std::unique_ptr<QtPrinter> QtPrinter::ToPdf(const std::string& path) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(path));
  return std::make_unique<QtPrinter>(std::move(printer));
}

QtPrinter::~QtPrinter() {
  if (painter_.isActive()) painter_.end();
}

void QtPrinter::Begin() {
  if (painter_.isActive()) return;
  if (!painter_.begin(printer_.get())) {
    throw PrinterError(kPrinterError, ErrorDescription(kPrinterError));
  }
  painter_.setFont(font_);
}

int QtPrinter::ToTwips(double deviceUnits) const {
  return static_cast<int>(deviceUnits * kTwipsPerInch / printer_->resolution());
}

void QtPrinter::SetFont(const std::string& name, double sizePoints, bool bold) {
  font_ = QFont(QString::fromStdString(name));
  font_.setStyleHint(QFont::TypeWriter);
  font_.setPointSizeF(sizePoints);
  font_.setBold(bold);
  if (painter_.isActive()) painter_.setFont(font_);
}

void QtPrinter::PrintLine(const std::string& text) {
  Begin();
  const QFontMetricsF metrics(font_, printer_.get());
  painter_.drawText(QPointF(0, y_ + metrics.ascent()), QString::fromStdString(text));
  y_ += metrics.lineSpacing();
}

int QtPrinter::CurrentY() const {
  return ToTwips(y_);
}

int QtPrinter::PageHeight() const {
  return ToTwips(printer_->pageLayout().paintRectPixels(printer_->resolution()).height());
}

void QtPrinter::NewPage() {
  Begin();
  if (!printer_->newPage()) throw PrinterError(kPrinterError, ErrorDescription(kPrinterError));
  y_ = 0;
}

void QtPrinter::EndDoc() {
  Begin();
  if (!painter_.end()) throw PrinterError(kPrinterError, ErrorDescription(kPrinterError));
}

}  // namespace brimtal
