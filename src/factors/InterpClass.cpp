// Factor tables: reading, sorting, interpolation, merging, sweeping, saving and printing.
#include "factors/InterpClass.h"

#include <algorithm>
#include <exception>
#include <numeric>

#include "factors/Conversions.h"
#include "factors/FactorText.h"
#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/Printer.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kNoPointsMessage = "No calibration points in interp file";
constexpr const char* kBadDataMessage = "Bad data in calibration file";
constexpr int kPrinterError = 482;
// GetTable lets window events run after this many points.
constexpr std::size_t kPointsBetweenEvents = 4096;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string FactorLine(const FactorPoint& point) {
  return PlainGeneralText(point.Freq) + ", " + vbtext::Format(point.Value, "0.0##");
}

void PrintHeading(Printer& printer) {
  for (int i = 0; i < 3; ++i) printer.PrintLine("");
  printer.PrintLine(ZonedLine({"", "Freq", "Loss"}));
}

std::string PrintedFrequency(double freq) {
  return (freq < 0 ? "" : " ") + vbtext::GeneralText(freq);
}

}  // namespace

InterpClass::InterpClass(Host& host) : host_(host) {}

// ---- reading ----

int InterpClass::CharKind(std::string_view text) {
  const char c = text.empty() ? ' ' : text.front();
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') return 1;
  if (c == ' ' || c == '\t' || c == ',') return 0;
  return -1;
}

bool InterpClass::ParseFactorLine(std::string_view line, double& freq, float& value) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (CharKind(line.substr(i, 1)) == -1) return false;
  }
  std::size_t pos = 0;
  auto nextNumber = [&]() {
    while (pos < line.size() && CharKind(line.substr(pos, 1)) == 0) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && CharKind(line.substr(pos, 1)) == 1) ++pos;
    return line.substr(start, pos - start);
  };
  const std::string_view first = nextNumber();
  if (first.empty()) return false;
  const std::string_view second = nextNumber();
  if (second.empty()) return false;
  freq = vbtext::LeadingDecimal(first);
  value = static_cast<float>(vbtext::LeadingDecimal(second));
  return true;
}

long InterpClass::FileToTable(const std::string& fileName, Table& table) {
  table.clear();
  if (fileName.empty()) return 0;
  TextFileReader reader;
  FileError error;
  if (!reader.Open(fileName, error)) {
    ShowFileError(host_, error, "InterpClass.FileToTable", fileName);
    return -1;
  }
  // Header lines: everything before the first data line, which may not be the last line.
  std::string line;
  FactorPoint point;
  bool isData = false;
  bool firstLine = true;
  while (!isData) {
    if (!reader.ReadLine(line, error) || reader.AtEnd()) {
      host_.MsgBox("Unexpected end of file in " + fileName);
      return -1;
    }
    // A byte-order mark left by an editor is no part of the first line.
    if (firstLine && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
    firstLine = false;
    isData = ParseFactorLine(line, point.Freq, point.Value);
  }
  table.push_back(point);
  // From the first data line on, every line must be data; an empty line is bad data too.
  while (reader.ReadLine(line, error)) {
    if (!ParseFactorLine(line, point.Freq, point.Value)) {
      table.clear();
      host_.MsgBox(kBadDataMessage);
      return -1;
    }
    table.push_back(point);
  }
  // Runs of equal values are compressed between neighbours in frequency, so the sort comes
  // first: compressing in file order would drop points of an unsorted file.
  SortTable(table);
  CompressRuns(table);
  return static_cast<long>(table.size()) - 1;
}

void InterpClass::CompressRuns(Table& table) {
  if (table.size() < 3) return;
  Table kept;
  kept.reserve(table.size());
  const std::size_t last = table.size() - 1;
  for (std::size_t i = 0; i <= last; ++i) {
    const bool inside = i > 0 && i < last && table[i - 1].Value == table[i].Value &&
                        table[i].Value == table[i + 1].Value;
    if (!inside) kept.push_back(table[i]);
  }
  table = std::move(kept);
}

// A diminishing-gap exchange sort. Points of equal frequency keep their order (the position
// they came in breaks ties), so steps and files already in order stay exactly as read.
void InterpClass::SortTable(Table& table) {
  const long last = static_cast<long>(table.size()) - 1;
  if (last < 1) return;
  std::vector<std::size_t> arrival(table.size());
  std::iota(arrival.begin(), arrival.end(), std::size_t{0});
  auto outOfOrder = [&](long i, long j) {
    const double fi = table[static_cast<std::size_t>(i)].Freq;
    const double fj = table[static_cast<std::size_t>(j)].Freq;
    return fi > fj || (fi == fj &&
                       arrival[static_cast<std::size_t>(i)] > arrival[static_cast<std::size_t>(j)]);
  };
  // Halves round to the even neighbour: 1.5 gives 2 and 0.5 gives 0, so the gaps end at 1.
  long gap = static_cast<long>(vbtext::RoundHalfEven((last + 1) / 2.0));
  while (gap >= 1) {
    bool swapped = true;
    while (swapped) {
      swapped = false;
      for (long i = 0; i <= last - gap; ++i) {
        if (outOfOrder(i, i + gap)) {
          std::swap(table[static_cast<std::size_t>(i)], table[static_cast<std::size_t>(i + gap)]);
          std::swap(arrival[static_cast<std::size_t>(i)],
                    arrival[static_cast<std::size_t>(i + gap)]);
          swapped = true;
        }
      }
    }
    gap = static_cast<long>(vbtext::RoundHalfEven(gap / 2.0));
  }
}

int InterpClass::InitInterp(const std::string& fileName) {
  lastIndex_ = FileToTable(fileName, points_);
  if (lastIndex_ < 1) points_.clear();
  return lastIndex_ >= 1 ? 1 : 0;
}

// ---- interpolation ----

float InterpClass::InterpPoint(double f1, float y1, double f2, float y2, double f, int mode) {
  if (mode == kInterpLogarithmic) {
    if (f1 < 0.000001) return static_cast<float>(kNoValue);
    return static_cast<float>(y1 + Log10(f / f1) / Log10(f2 / f1) * (y2 - y1));
  }
  return static_cast<float>(y1 + (f - f1) / (f2 - f1) * (y2 - y1));
}

float InterpClass::StepChoice(float a, float b, int rule) {
  if (rule == kStepHigherValue) return MaxOf(a, b);
  if (rule == kStepLowerValue) return MinOf(a, b);
  return 0;
}

int InterpClass::InterpVal(double freq, float& result, int mode, int rule) {
  const long n = lastIndex_;
  if (n < 1) {
    host_.MsgBox(kNoPointsMessage);
    return 0;
  }
  auto F = [this](long i) { return points_[static_cast<std::size_t>(i)].Freq; };
  auto V = [this](long i) { return points_[static_cast<std::size_t>(i)].Value; };
  if (!(freq >= F(0) && freq <= F(n))) return 0;  // also refuses a frequency that is no number

  if (cursor_ > n) cursor_ = 0;
  long k = 0;
  if (cursor_ <= 0) {
    cursor_ = 1;
  } else if (F(cursor_ - 1) < freq && freq < F(cursor_)) {
    result = InterpPoint(F(cursor_ - 1), V(cursor_ - 1), F(cursor_), V(cursor_), freq, mode);
    return 1;
  }
  k = cursor_;
  while (k > 0 && freq <= F(k - 1)) --k;
  while (freq > F(k)) ++k;
  cursor_ = k;

  if (freq == F(k)) {
    const bool step = k < n && F(k + 1) == freq;
    result = step ? StepChoice(V(k), V(k + 1), rule) : V(k);
    return 1;
  }
  result = InterpPoint(F(k - 1), V(k - 1), F(k), V(k), freq, mode);
  return 1;
}

double InterpClass::MaxFreq() const {
  return lastIndex_ >= 1 ? points_[static_cast<std::size_t>(lastIndex_)].Freq : -1;
}

double InterpClass::MinFreq() const {
  return lastIndex_ >= 1 ? points_.front().Freq : -1;
}

// ---- sweeping ----

void InterpClass::AnswerPoint(long index, bool upperSideOfStep, double& freq, float& value) {
  const FactorPoint& point = points_[static_cast<std::size_t>(index)];
  freq = point.Freq;
  value = point.Value;
  lastFreq_ = freq;
  lastValue_ = value;
  lastWasUpperSide_ = upperSideOfStep;
}

int InterpClass::GetNextCalibPoint(double& freq, float& value) {
  const long n = lastIndex_;
  if (n < 1) {
    host_.MsgBox(kNoPointsMessage);
    return 0;
  }
  auto F = [this](long i) { return points_[static_cast<std::size_t>(i)].Freq; };
  auto V = [this](long i) { return points_[static_cast<std::size_t>(i)].Value; };
  if (freq < F(0)) freq = F(0);
  if (freq > F(n)) return 0;

  for (long i = 1; freq >= F(i); ++i) {
    if (F(i - 1) == F(i)) {
      if (lastFreq_ < F(i)) {
        AnswerPoint(i - 1, false, freq, value);
        return 1;
      }
      // The upper side follows the lower side once; after it the sweep goes on past the step.
      if (lastFreq_ == F(i - 1) && lastValue_ == V(i - 1) && !lastWasUpperSide_) {
        AnswerPoint(i, true, freq, value);
        return 1;
      }
    }
    if (i == n) break;
    if (lastFreq_ < F(i) && F(i) < freq && F(i) != F(i + 1)) {
      freq = F(i);
      break;
    }
  }
  InterpVal(freq, value, kInterpLogarithmic, kStepLowerValue);
  lastFreq_ = freq;
  lastValue_ = value;
  lastWasUpperSide_ = false;
  return 1;
}

// ---- merging ----

// Gives table a a point at every frequency of b inside [low, high], as many points there as
// b has (so that both sides of a step of b find a partner), valued from a: linearly
// interpolated where a has no point, a's own value where it has one.
void InterpClass::AddMissingPoints(Table& a, const Table& b, double low, double high) {
  const Table original = a;
  auto byFreq = [](const FactorPoint& p, double f) { return p.Freq < f; };
  std::size_t i = 0;
  while (i < b.size()) {
    const double f = b[i].Freq;
    std::size_t inB = 1;
    while (i + inB < b.size() && b[i + inB].Freq == f) ++inB;
    i += inB;
    if (f < low || f > high) continue;
    const auto first = std::lower_bound(original.begin(), original.end(), f, byFreq);
    auto end = first;
    while (end != original.end() && end->Freq == f) ++end;
    const std::size_t inA = static_cast<std::size_t>(end - first);
    if (inA >= inB) continue;
    float value = 0;
    if (inA > 0) {
      value = (end - 1)->Value;
    } else {
      const auto above = first;  // low and high lie inside a, so both neighbours exist
      const auto below = first - 1;
      value = InterpPoint(below->Freq, below->Value, above->Freq, above->Value, f, kInterpLinear);
    }
    a.insert(a.end(), inB - inA, FactorPoint{f, value});
  }
  SortTable(a);
}

int InterpClass::IncludeInterp(const std::string& fileName) {
  if (lastIndex_ < 1) return InitInterp(fileName);
  Table b;
  if (FileToTable(fileName, b) <= 0) return 0;
  Table a = points_;
  // Ranges that meet at one frequency have no common range to merge over.
  if (b.back().Freq <= a.front().Freq || a.back().Freq <= b.front().Freq) {
    host_.MsgBox("Data in file " + fileName + " does not coincide with previous cal data.");
    return 0;
  }
  const double low = MaxOf(a.front().Freq, b.front().Freq);
  const double high = MinOf(a.back().Freq, b.back().Freq);
  AddMissingPoints(a, b, low, high);
  AddMissingPoints(b, a, low, high);

  auto firstInRange = [low](const Table& t) {
    return static_cast<std::size_t>(
        std::find_if(t.begin(), t.end(), [low](const FactorPoint& p) { return p.Freq >= low; }) -
        t.begin());
  };
  std::size_t ia = firstInRange(a);
  const std::size_t firstB = firstInRange(b);
  std::size_t ib = firstB;
  while (ia < a.size() && ib < b.size() && b[ib].Freq <= high) {
    b[ib].Value = b[ib].Value + a[ia].Value;
    ++ia;
    ++ib;
  }
  points_.assign(b.begin() + static_cast<std::ptrdiff_t>(firstB),
                 b.begin() + static_cast<std::ptrdiff_t>(ib));
  lastIndex_ = static_cast<long>(points_.size()) - 1;
  return 1;
}

// ---- copying, saving, printing ----

void InterpClass::GetTable(std::vector<double>& freqs, std::vector<float>& values) {
  if (lastIndex_ < 1) {
    freqs.assign(1, 0.0);
    values.assign(1, 0.0f);
    return;
  }
  // A copy, so that an event handler that changes the table meanwhile cannot disturb it.
  const Table table = points_;
  freqs.assign(table.size() + 1, 0.0);
  values.assign(table.size() + 1, 0.0f);
  for (std::size_t i = 0; i < table.size(); ++i) {
    freqs[i] = table[i].Freq;
    values[i] = table[i].Value;
    if ((i + 1) % kPointsBetweenEvents == 0) host_.DoEvents(0);
  }
}

int InterpClass::SaveFile(const std::string& fileName) {
  if (lastIndex_ < 1) {
    // An empty table would replace the file with one that cannot be read back.
    host_.MsgBox(kNoPointsMessage);
    return 0;
  }
  AtomicFileWriter writer;
  FileError error;
  if (writer.Open(fileName, error)) {
    for (const FactorPoint& point : points_) writer.WriteLine(FactorLine(point));
    if (writer.Commit(error)) return 1;
  }
  ShowFileError(host_, error, "InterpClass.SaveFile", fileName);
  return 0;
}

int InterpClass::PrintTable(Printer& printer) {
  try {
    printer.SetFont("Courier New", 10, false);
    PrintHeading(printer);
    for (std::size_t i = 0; i < points_.size(); ++i) {
      const FactorPoint& point = points_[i];
      printer.PrintLine(
          ZonedLine({"", PrintedFrequency(point.Freq), vbtext::Format(point.Value, "0.0##")}));
      const bool more = i + 1 < points_.size();
      if (more && printer.CurrentY() > printer.PageHeight() - kTwipsPerInch) {
        printer.NewPage();
        PrintHeading(printer);
      }
    }
    printer.EndDoc();
    return 1;
  } catch (const PrinterError& e) {
    ShowFileError(host_, FileError{e.Number(), e.what()}, "InterpClass.PrintTable");
  } catch (const std::exception&) {
    ShowFileError(host_, MakeFileError(kPrinterError), "InterpClass.PrintTable");
  }
  return 0;
}

}  // namespace brimtal
