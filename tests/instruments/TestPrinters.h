// Printers for the printout tests: one that fails part way, and one the code under test may own
// while the test keeps what was printed.
#pragma once

#include <string>
#include <utility>

#include "shell/Printer.h"

namespace brimtal::test {

// Fails with the printer error when asked to print a line that starts with the given text (an
// empty text fails the first line).
class FailingPrinter final : public Printer {
 public:
  explicit FailingPrinter(std::string failAt) : failAt_(std::move(failAt)) {}
  void SetFont(const std::string& name, double size, bool bold) override {
    pages_.SetFont(name, size, bold);
  }
  void PrintLine(const std::string& text) override {
    if (text.rfind(failAt_, 0) == 0) throw PrinterError(482, "Printer error");
    pages_.PrintLine(text);
  }
  int CurrentY() const override { return pages_.CurrentY(); }
  int PageHeight() const override { return pages_.PageHeight(); }
  void NewPage() override { pages_.NewPage(); }
  void EndDoc() override { pages_.EndDoc(); }

 private:
  std::string failAt_;
  RecordingPrinter pages_;
};

// Hands everything to a recording printer that the test keeps.
class PrinterInto final : public Printer {
 public:
  explicit PrinterInto(RecordingPrinter& pages) : pages_(pages) {}
  void SetFont(const std::string& name, double size, bool bold) override {
    pages_.SetFont(name, size, bold);
  }
  void PrintLine(const std::string& text) override { pages_.PrintLine(text); }
  int CurrentY() const override { return pages_.CurrentY(); }
  int PageHeight() const override { return pages_.PageHeight(); }
  void NewPage() override { pages_.NewPage(); }
  void EndDoc() override { pages_.EndDoc(); }

 private:
  RecordingPrinter& pages_;
};

}  // namespace brimtal::test
