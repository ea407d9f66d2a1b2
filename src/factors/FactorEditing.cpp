// The factor editor's texts and files.
#include "factors/FactorEditing.h"

#include "factors/FactorText.h"
#include "factors/InterpClass.h"
#include "shell/FileIo.h"
#include "shell/VbText.h"

namespace brimtal {

std::optional<std::string> FactorFilterPattern(int filterDefault) {
  switch (filterDefault) {
    case 0: return "*.fac";
    case 1: return "*.lev";
    case 2: return "*.los";
    case 3: return "*.txt";
    case 4: return "*.*";
    default: return std::nullopt;
  }
}

std::string GridRowLabel(int row) {
  return " " + std::to_string(row);
}

std::string GridColumnHeading(int column) {
  return "Col  " + std::to_string(column);
}

std::string GridCellCaption(const std::string& rowLabel, const std::string& columnHeading) {
  return " " + rowLabel + " : " + columnHeading + " ";
}

std::string DeleteRowQuestion(int row) {
  return "There is data in Row " + std::to_string(row) + " ! Delete anyway?";
}

std::string DeleteColumnQuestion(int column) {
  return "There is data in Col " + std::to_string(column) + " ! Delete anyway?";
}

bool IsFactorNumber(std::string_view text) {
  const std::string trimmed = vbtext::Trim(text);
  std::size_t pos = 0;
  if (pos < trimmed.size() && (trimmed[pos] == '+' || trimmed[pos] == '-')) ++pos;
  bool digits = false;
  bool point = false;
  for (; pos < trimmed.size(); ++pos) {
    const char c = trimmed[pos];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

std::vector<FactorCells> FactorTableCells(InterpClass& table) {
  std::vector<double> freqs;
  std::vector<float> values;
  table.GetTable(freqs, values);
  std::vector<FactorCells> cells;
  // The last element of both arrays only marks the end.
  for (std::size_t i = 0; i + 1 < freqs.size(); ++i) {
    cells.push_back({PlainGeneralText(freqs[i]), PlainGeneralText(values[i])});
  }
  return cells;
}

std::optional<std::string> FactorGridLine(std::string_view freqText, std::string_view valueText) {
  if (!IsFactorNumber(freqText) || !IsFactorNumber(valueText)) return std::nullopt;
  return std::string(freqText) + ", " + std::string(valueText);
}

bool SaveFactorGrid(Host& host, const std::string& path, const std::vector<FactorCells>& rows) {
  AtomicFileWriter writer;
  FileError error;
  if (writer.Open(path, error)) {
    for (const FactorCells& row : rows) {
      if (const auto line = FactorGridLine(row.freq, row.value)) writer.WriteLine(*line);
    }
    if (writer.Commit(error)) return true;
  }
  ShowFileError(host, error, "frmEditFactor.SaveGrid", path);
  return false;
}

}  // namespace brimtal
