// A factor table: a factor file read into points sorted by frequency, with interpolation
// (linear or in the logarithm of frequency, with a rule for steps), merging of a second file,
// a sweep that never steps over a point, and saving and printing of the table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brimtal {

class Host;
class Printer;

// One point of a factor table: frequency in MHz and the factor value (32-bit, as stored).
struct FactorPoint {
  double Freq = 0;
  float Value = 0;
};

// Interpolation modes and step rules of InterpVal.
inline constexpr int kInterpLinear = 0;
inline constexpr int kInterpLogarithmic = 1;
inline constexpr int kStepHigherValue = 0;  // immunity: the higher of the two values at a step
inline constexpr int kStepLowerValue = 1;   // emission: the lower of the two

class InterpClass {
 public:
  explicit InterpClass(Host& host);

  // Adds a second factor file to the table over the common frequency range; with no table
  // yet, the same as InitInterp. 1 on success, 0 with the table unchanged.
  int IncludeInterp(const std::string& fileName);
  // Reads a factor file into the table, replacing it. 1 when the table holds two points or more.
  int InitInterp(const std::string& fileName);
  // The table's value at freq; 0 (result unchanged) without a table or outside it.
  int InterpVal(double freq, float& result, int mode, int rule);
  // Frequency of the last (first) point, -1 without a table.
  double MaxFreq() const;
  double MinFreq() const;
  // The next frequency of a rising sweep that does not jump over a point of the table.
  int GetNextCalibPoint(double& freq, float& value);
  // Both arrays get indices 0 to LastIndex + 1; the last element is 0. Without a table both
  // hold the single element 0.
  void GetTable(std::vector<double>& freqs, std::vector<float>& values);
  // Writes the table as a factor file ("150, 1.25"), replacing the file.
  int SaveFile(const std::string& fileName);
  // Prints the table: heading "Freq" and "Loss", one point per line, repeated on every page.
  int PrintTable(Printer& printer);

  bool HasTable() const { return lastIndex_ >= 1; }
  // Index of the last point; 0 or negative means no table (-1 after a failed read).
  long LastIndex() const { return lastIndex_; }
  const std::vector<FactorPoint>& Points() const { return points_; }
  // Where the last interpolation found its bracket.
  long Cursor() const { return cursor_; }

 private:
  using Table = std::vector<FactorPoint>;

  static void AddMissingPoints(Table& a, const Table& b, double low, double high);
  long FileToTable(const std::string& fileName, Table& table);
  static bool ParseFactorLine(std::string_view line, double& freq, float& value);
  static int CharKind(std::string_view text);
  static float InterpPoint(double f1, float y1, double f2, float y2, double f, int mode);
  static void SortTable(Table& table);
  static float StepChoice(float a, float b, int rule);
  static void CompressRuns(Table& table);
  void AnswerPoint(long index, bool upperSideOfStep, double& freq, float& value);

  Host& host_;
  Table points_;
  long lastIndex_ = 0;
  long cursor_ = 0;
  double lastFreq_ = 0;
  float lastValue_ = 0;
  // True when the last sweep answer was the upper point of a step; with equal values on both
  // sides of a step, the frequency and value alone cannot tell the two answers apart.
  bool lastWasUpperSide_ = false;
};

}  // namespace brimtal
