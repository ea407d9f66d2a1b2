// The interp program without its windows: one factor table, the commands of the File menu,
// the interpolation of a typed frequency and the texts the windows show.
#pragma once

#include <optional>
#include <string>

#include "factors/InterpClass.h"

namespace brimtal {

class Host;

class InterpSession {
 public:
  explicit InterpSession(Host& host);

  // File menu commands; each asks for its file (or printer) through the host. A cancelled
  // dialog ends the command without a word and changes nothing.
  // New reads a factor file into the table, replacing it; true on success.
  bool New();
  // Include adds a factor file to the table over the common range; true on success.
  bool Include();
  // Save As writes the table to the chosen file; the caption becomes its path.
  bool SaveAs();
  // Print asks for a printer and prints the table on it.
  void Print();

  // The text for the result box: the value with the decimal places, "N/A" when there is no
  // value there, or nothing when the frequency text was refused (the operator was told).
  std::optional<std::string> Interpolate(const std::string& freqText, bool logarithmic,
                                         bool emission);
  // Asks for the number of decimal places until the answer is a number.
  void AskDecimalPlaces();
  int DecimalPlaces() const { return decimalPlaces_; }

  bool HasTable() const { return table_.HasTable(); }
  InterpClass& Table() { return table_; }
  // Caption of the main window: "Interp", then the file names or the saved path.
  const std::string& Caption() const { return caption_; }
  // Lowest and highest frequency of the table as the From and To boxes show them.
  const std::string& FromText() const { return fromText_; }
  const std::string& ToText() const { return toText_; }
  // The file last chosen in New, Include or Save As.
  const std::string& LastPath() const { return lastPath_; }

 private:
  void ShowRange();

  Host& host_;
  InterpClass table_;
  int decimalPlaces_ = 2;
  std::string caption_ = "Interp";
  std::string fromText_;
  std::string toText_;
  std::string lastPath_;
};

// The display pattern of the result: "0." and one "#" per decimal place (0 to 15).
std::string DecimalPlacesPattern(int places);
// The table as the table window lists it: per point the frequency as " #####0.0#####", ", ",
// the value as "  ###0.0#" and CR LF; the caption " 12 entries in table".
struct TableListing {
  std::string text;
  std::string caption;
};
TableListing ListTable(InterpClass& table);

}  // namespace brimtal
