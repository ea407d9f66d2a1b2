// Frequency list files, run frequency generation and the list sort.
#include "equipment/ReadFreq.h"

#include <algorithm>
#include <cmath>

#include "equipment/Equip.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr const char* kBadListData = "Bad data in frequency list file";
constexpr std::size_t kMaxEntries = static_cast<std::size_t>(kMaxFreqListEntries);

bool IsNumberChar(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}
bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',';
}

// A line of a list file: nothing but number characters and separators. Its frequency is the
// leading decimal of its first run of number characters. A line of separators only holds no
// frequency and counts as empty.
struct ListLine {
  enum Kind { Empty, Bad, Entry } kind = Empty;
  double mhz = 0;
};

ListLine ParseListLine(std::string_view line) {
  if (!std::all_of(line.begin(), line.end(),
                   [](char c) { return IsNumberChar(c) || IsSeparator(c); })) {
    return {ListLine::Bad, 0};
  }
  std::size_t begin = 0;
  while (begin < line.size() && IsSeparator(line[begin])) ++begin;
  if (begin == line.size()) return {ListLine::Empty, 0};
  std::size_t end = begin;
  while (end < line.size() && IsNumberChar(line[end])) ++end;
  return {ListLine::Entry, vbtext::LeadingDecimal(line.substr(begin, end - begin))};
}

// Reads the lines of an opened list file into list; -1 after a message on bad data.
int ReadListLines(Host& host, TextFileReader& reader, const std::string& path, FreqList& list) {
  std::string line;
  FileError error;
  bool first = true;
  while (reader.ReadLine(line, error)) {
    const ListLine parsed = ParseListLine(line);
    if (first && parsed.kind == ListLine::Empty) {
      host.MsgBox("Unexpected end of file in " + path);
      return -1;
    }
    first = false;
    if (parsed.kind == ListLine::Empty) continue;
    if (parsed.kind == ListLine::Bad) {
      host.MsgBox(kBadListData);
      return -1;
    }
    if (list.size() == kMaxEntries) {
      host.MsgBox("More than " + std::to_string(kMaxFreqListEntries) + " frequencies in " + path);
      return -1;
    }
    list.push_back(parsed.mhz);
  }
  if (first) {
    host.MsgBox("Unexpected end of file in " + path);
    return -1;
  }
  return static_cast<int>(list.size());
}

// start, start x (1 + pct/100), ... while below stop; nothing when that would exceed limit
// entries (a step too small to move the frequency any more ends there too).
std::optional<FreqList> LogSweep(double start, double stop, double stepPercent, std::size_t limit) {
  FreqList sweep;
  const double factor = 1.0 + stepPercent / 100.0;
  for (double f = start; f < stop; f *= factor) {
    if (sweep.size() == limit) return std::nullopt;
    sweep.push_back(f);
  }
  return sweep;
}

// Linear run frequencies start + (i - 1) x step for i = 1 to n, n = (stop - start) / step + 1
// rounded half to even.
std::optional<FreqList> LinearSweep(double start, double stop, double step, std::size_t limit) {
  const double count = std::nearbyint((stop - start) / step + 1.0);
  if (!std::isfinite(count) || count > static_cast<double>(limit)) return std::nullopt;
  FreqList sweep;
  for (long i = 1; i <= static_cast<long>(count); ++i) {
    sweep.push_back(start + static_cast<double>(i - 1) * step);
  }
  return sweep;
}

// Closer to the band-switch frequency than this, a generated frequency is that frequency: it
// differs from it only by binary rounding and is written as the same text.
constexpr double kSameAsBandSwitchMhz = 5e-7;

// The band-switch pair B, B + 0.000001 in front of the first entry above B, when
// start <= B < stop.
void InsertBandSwitchPair(FreqList& list, double start, double stop, double bandSwitch) {
  if (!(start <= bandSwitch && bandSwitch < stop)) return;
  // A step sum a hair above B would otherwise follow the pair and step back below B + 0.000001.
  for (double& f : list) {
    if (std::fabs(f - bandSwitch) < kSameAsBandSwitchMhz) f = bandSwitch;
  }
  const auto above =
      std::find_if(list.begin(), list.end(), [&](double f) { return f > bandSwitch; });
  if (above == list.end()) return;
  list.insert(above, {bandSwitch, bandSwitch + 0.000001});
}

int EntriesOfListFile(Host& host, double start, double stop, const std::string& listFile,
                      FreqList& list) {
  FreqList fromFile;
  if (FileTolist(host, listFile, fromFile) <= 0) return 0;
  for (double f : fromFile) {
    if (f > stop) break;
    if (f >= start) list.push_back(f);
  }
  return static_cast<int>(list.size());
}

bool AllFinite(const FreqList& list) {
  return std::all_of(list.begin(), list.end(), [](double f) { return std::isfinite(f); });
}

}  // namespace

int FileTolist(Host& host, const std::string& path, FreqList& list) {
  list.clear();
  if (path.empty()) return 0;
  TextFileReader reader;
  FileError error;
  if (!reader.Open(path, error)) {
    ShowFileError(host, error, "ReadFreq.FileTolist", path);
    return -1;
  }
  return ReadListLines(host, reader, path, list);
}

int MakeFreqList(Host& host, const EquipmentConfig& equipment, int stepType, double start,
                 double stop, double step, FreqList& list, const std::string& listFile) {
  list.clear();
  if (stepType == kStepListFile) return EntriesOfListFile(host, start, stop, listFile, list);
  if (stepType != kStepLinear && stepType != kStepLog) return 0;
  // Room for the band-switch pair and, for a logarithmic sweep, the stop entry.
  const std::size_t limit = kMaxEntries - 3;
  std::optional<FreqList> sweep;
  if (step > 0 && (stepType == kStepLinear || start > 0)) {
    sweep = stepType == kStepLinear ? LinearSweep(start, stop, step, limit)
                                    : LogSweep(start, stop, step, limit);
  }
  if (!sweep) return 0;
  list = std::move(*sweep);
  if (equipment.AmpType == kAmpIfi) {
    InsertBandSwitchPair(list, start, stop, equipment.AmpBandSwitchFreq);
  }
  if (stepType == kStepLog) list.push_back(stop);
  if (!AllFinite(list)) list.clear();
  return static_cast<int>(list.size());
}

void SortFreqs(FreqList& list, Host& host) {
  const std::size_t n = list.size();
  auto gap = static_cast<std::size_t>(vbtext::RoundHalfEven((static_cast<double>(n) + 1) / 2));
  while (gap >= 1) {
    bool swapped = true;
    while (swapped) {
      swapped = false;
      for (std::size_t i = 0; i + gap < n; ++i) {
        if (list[i] > list[i + gap]) {
          std::swap(list[i], list[i + gap]);
          swapped = true;
        }
      }
      host.DoEvents(0);
    }
    gap = static_cast<std::size_t>(vbtext::RoundHalfEven(static_cast<double>(gap) / 2));
  }
}

std::string FreqText(double mhz) {
  return vbtext::Format(mhz, "#0.0#####");
}

std::string FreqListText(const FreqList& list) {
  std::string text;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += FreqText(list[i]);
  }
  return text;
}

void TidyFreqs(FreqList& list, Host& host) {
  SortFreqs(list, host);
  const auto sameFrequency = [](double a, double b) {
    return vbtext::GeneralText(a) == vbtext::GeneralText(b);
  };
  list.erase(std::unique(list.begin(), list.end(), sameFrequency), list.end());
}

std::optional<FreqList> LinearRange(double start, double end, double step, std::size_t room) {
  FreqList range;
  for (double f = start; f < end; f += step) {
    if (range.size() == room) return std::nullopt;
    range.push_back(f);
  }
  if (range.size() == room) return std::nullopt;
  range.push_back(end);
  if (!AllFinite(range)) return std::nullopt;
  return range;
}

std::optional<FreqList> LogRange(double start, double end, double stepPercent, std::size_t room) {
  if (room == 0) return std::nullopt;
  auto range = LogSweep(start, end, stepPercent, room - 1);
  if (!range) return std::nullopt;
  range->push_back(end);
  if (!AllFinite(*range)) return std::nullopt;
  return range;
}

std::optional<FreqList> HarmonicRange(double fundamental, long count, std::size_t room) {
  if (count < 0 || static_cast<std::size_t>(count) > room) return std::nullopt;
  FreqList range;
  for (long k = 1; k <= count; ++k) range.push_back(fundamental * static_cast<double>(k));
  if (!AllFinite(range)) return std::nullopt;
  return range;
}

}  // namespace brimtal
