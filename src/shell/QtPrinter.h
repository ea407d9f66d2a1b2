// A printer for the printouts, drawing on a QPrinter: a real printer or a PDF file.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "shell/Printer.h"

namespace brimtal {

class QtPrinter final : public Printer {
 public:
  explicit QtPrinter(std::unique_ptr<QPrinter> printer);
  // A printer that writes a PDF file.
  static std::unique_ptr<QtPrinter> ToPdf(const std::string& path);
  ~QtPrinter() override;

  void SetFont(const std::string& name, double sizePoints, bool bold) override;
  void PrintLine(const std::string& text) override;
  int CurrentY() const override;
  int PageHeight() const override;
  void NewPage() override;
  void EndDoc() override;

 private:
  void Begin();
  int ToTwips(double deviceUnits) const;
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  QFont font_{QStringLiteral("Courier New"), 10};
  double y_ = 0;
};

}  // namespace brimtal
