// The rules of the factor editor that do not need a window: the file dialog filter, the texts
// of the grid's labels and questions, the cells of a loaded table and the lines of a saved grid.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimtal {

class Host;
class InterpClass;

inline constexpr const char* kFactorFileFilter =
    "Amp Power File (*.pwr)|*.pwr|Cable Loss File (*.los)|*.los|Factor File (*.fac)|*.fac|"
    "Test Level File (*.lev)|*.lev|Probe File (*.prb)|*.prb|Text File (*.txt)|*.txt|"
    "All Files (*.*)|*.*";

// The preferred dialog pattern for a FilterDefault value: 0 "*.fac", 1 "*.lev", 2 "*.los",
// 3 "*.txt", 4 "*.*"; nothing for any other value (the pattern stays as it was).
std::optional<std::string> FactorFilterPattern(int filterDefault);

// A data row's label: its number after one blank (" 3").
std::string GridRowLabel(int row);
// The heading of a column added by the grid: "Col " and the number after one blank ("Col  3").
std::string GridColumnHeading(int column);
// The text above the grid naming the current cell: "  1 : Freq ".
std::string GridCellCaption(const std::string& rowLabel, const std::string& columnHeading);
// The questions before a row or column with data is deleted.
std::string DeleteRowQuestion(int row);
std::string DeleteColumnQuestion(int column);
inline constexpr const char* kDeleteRowTitle = "Delete Row!";
inline constexpr const char* kDeleteColumnTitle = "Delete Column!";

// True when the cell text is a number the factor file reader reads back as written: blanks
// around an optional sign, digits with an optional point (no exponent, no letters).
bool IsFactorNumber(std::string_view text);

struct FactorCells {
  std::string freq;
  std::string value;
};
// The table's points as cell texts in general number format (15 significant digits for the
// frequency, 7 for the 32-bit value), in plain digits so that saving keeps every point.
std::vector<FactorCells> FactorTableCells(InterpClass& table);

// The line a grid row is saved as ("freq, value", the cell texts exactly as typed), or nothing
// when either text is not a number.
std::optional<std::string> FactorGridLine(std::string_view freqText, std::string_view valueText);
// Writes the rows that are numbers, in grid order, replacing the file; a failure shows the
// "Error # " box for frmEditFactor.SaveGrid and keeps the previous file.
bool SaveFactorGrid(Host& host, const std::string& path, const std::vector<FactorCells>& rows);

}  // namespace brimtal
