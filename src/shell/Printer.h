// What the printouts need of a printer: a font, lines of text in print zones, the vertical
// position in twips for page breaks, new pages and the end of the document.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace brimtal {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPrintZoneWidth = 14;

// Raised by a printer that cannot go on (no paper, the PDF file cannot be written, ...).
class PrinterError : public std::runtime_error {
 public:
  PrinterError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int Number() const { return number_; }

 private:
  int number_;
};

class Printer {
 public:
  virtual ~Printer() = default;
  virtual void SetFont(const std::string& name, double sizePoints, bool bold) = 0;
  // Prints the text and moves to the next line.
  virtual void PrintLine(const std::string& text) = 0;
  // Vertical position of the next line from the top of the printable area, in twips.
  virtual int CurrentY() const = 0;
  // Height of the printable area, in twips.
  virtual int PageHeight() const = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
};

// The items laid out in print zones of 14 characters: each item starts at the next zone
// boundary after the previous one; an empty item just moves to the next zone.
std::string ZonedLine(const std::vector<std::string>& items);

// Keeps the printed pages as lines of text, for tests and previews.
class RecordingPrinter final : public Printer {
 public:
  // A letter page (11 in) with half-inch margins, lines of 10 points with leading.
  explicit RecordingPrinter(int pageHeightTwips = 10 * kTwipsPerInch, int lineHeightTwips = 240);

  void SetFont(const std::string& name, double sizePoints, bool bold) override;
  void PrintLine(const std::string& text) override;
  int CurrentY() const override;
  int PageHeight() const override { return pageHeight_; }
  void NewPage() override;
  void EndDoc() override;

  const std::vector<std::vector<std::string>>& Pages() const { return pages_; }
  bool Ended() const { return ended_; }
  const std::string& FontName() const { return fontName_; }
  double FontSize() const { return fontSize_; }
  bool FontBold() const { return fontBold_; }

 private:
  int pageHeight_;
  int lineHeight_;
  std::vector<std::vector<std::string>> pages_{1};
  bool ended_ = false;
  std::string fontName_;
  double fontSize_ = 0;
  bool fontBold_ = false;
};

}  // namespace brimtal
