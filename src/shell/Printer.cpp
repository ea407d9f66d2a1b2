// Print-zone layout and the recording printer.
#include "shell/Printer.h"

namespace brimtal {

std::string ZonedLine(const std::vector<std::string>& items) {
  std::string line;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      const std::size_t next = (line.size() / kPrintZoneWidth + 1) * kPrintZoneWidth;
      line.append(next - line.size(), ' ');
    }
    line += items[i];
  }
  return line;
}

RecordingPrinter::RecordingPrinter(int pageHeightTwips, int lineHeightTwips)
    : pageHeight_(pageHeightTwips), lineHeight_(lineHeightTwips) {}

void RecordingPrinter::SetFont(const std::string& name, double sizePoints, bool bold) {
  fontName_ = name;
  fontSize_ = sizePoints;
  fontBold_ = bold;
}

void RecordingPrinter::PrintLine(const std::string& text) {
  pages_.back().push_back(text);
}

int RecordingPrinter::CurrentY() const {
  return static_cast<int>(pages_.back().size()) * lineHeight_;
}

void RecordingPrinter::NewPage() {
  pages_.emplace_back();
}

void RecordingPrinter::EndDoc() {
  ended_ = true;
}

}  // namespace brimtal
