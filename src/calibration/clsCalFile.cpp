// Calibration data files and the lookups into a loaded calibration.
#include "calibration/clsCalFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "factors/Conversions.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr float kNoLevel = -999.0f;
// Any level below this is no value.
constexpr float kNoValueBelow = -998.0f;
constexpr const char* kPlace = "clsCalFile.LoadFile";
constexpr const char* kInfoExtension = ".bminfo";
constexpr const char* kDataExtension = ".cal";

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         vbtext::EqualsNoCase(std::string_view(text).substr(text.size() - suffix.size()), suffix);
}

std::vector<std::string> SplitAtCommas(const std::string& line) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    pieces.push_back(
        line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return pieces;
    start = comma + 1;
  }
}

std::optional<float> SingleOf(double value) {
  if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
    return std::nullopt;
  }
  return static_cast<float>(value);
}

std::optional<float> SingleOf(const std::string& text) {
  const auto number = vbtext::ToNumber(text);
  if (!number) return std::nullopt;
  return SingleOf(*number);
}

// The data file of an info file: its extension replaced by ".cal", or by ".CAL" when only
// that file exists.
std::string DataPathOfInfo(const std::string& infoPath) {
  const std::string stem =
      infoPath.substr(0, infoPath.size() - std::string_view(kInfoExtension).size());
  const std::string lower = stem + kDataExtension;
  const std::string upper = stem + vbtext::ToUpper(kDataExtension);
  std::error_code ec;
  if (!std::filesystem::exists(lower, ec) && std::filesystem::exists(upper, ec)) return upper;
  return lower;
}

bool IsNoValue(float value) {
  return value < kNoValueBelow;
}

}  // namespace

std::string CalPowerText(float dbm) {
  return IsNoValue(dbm) ? kCalNoPower : vbtext::Format(dbm, kCalPowerFormat);
}

std::string CalDataLine(const std::vector<std::string>& fields) {
  std::string line;
  for (const auto& field : fields) line += field + ",";
  return line;
}

std::string CalDataLine(const CalPoint& point) {
  return CalDataLine(
      {vbtext::Format(point.F, kCalFreqFormat), vbtext::Format(point.S, kCalSigGenFormat),
       vbtext::Format(point.L, kCalLevelFormat), CalPowerText(point.W), CalPowerText(point.R)});
}

std::optional<CalPoint> ParseCalDataLine(const std::string& line) {
  // Every field is followed by a comma, so the piece after the last comma is no field.
  auto pieces = SplitAtCommas(line);
  if (pieces.back().empty()) pieces.pop_back();
  if (pieces.size() < 5) return std::nullopt;
  const auto frequency = vbtext::ToNumber(pieces[0]);
  const auto sigGen = SingleOf(pieces[1]);
  const auto level = SingleOf(pieces[2]);
  if (!frequency || !sigGen || !level) return std::nullopt;
  CalPoint point{*frequency, *sigGen, *level, kNoLevel, kNoLevel};
  // A power that is not a number was not recorded; one beyond single precision is bad data.
  for (auto [text, value] : {std::pair{&pieces[3], &point.W}, std::pair{&pieces[4], &point.R}}) {
    const auto number = vbtext::ToNumber(*text);
    if (!number) continue;
    const auto single = SingleOf(*number);
    if (!single) return std::nullopt;
    *value = *single;
  }
  return point;
}

std::string CalDataPathOf(const std::string& chosenPath) {
  return EndsWithNoCase(chosenPath, kDataExtension) ? chosenPath : chosenPath + kDataExtension;
}

std::string CalInfoPathOf(const std::string& dataPath) {
  const std::size_t keep = dataPath.size() >= 4 ? dataPath.size() - 4 : 0;
  return dataPath.substr(0, keep) + kInfoExtension;
}

clsCalFile::clsCalFile(Host& host) : host_(host) {}

double clsCalFile::GetStartFreq() const {
  return points_.empty() ? kNoValue : points_.front().F;
}

double clsCalFile::GetStopFreq() const {
  return points_.empty() ? kNoValue : points_.back().F;
}

int clsCalFile::GetNumSteps() const {
  return points_.empty() ? 0 : static_cast<int>(points_.size()) - 1;
}

float clsCalFile::GetSigGen(double mhz) {
  return Lookup(mhz, Column::SigGen);
}

float clsCalFile::GetTestLevel(double mhz) {
  return Lookup(mhz, Column::TestLevel);
}

float clsCalFile::GetFwdPwr(double mhz) {
  return Lookup(mhz, Column::FwdPwr);
}

float clsCalFile::GetRevPwr(double mhz) {
  return Lookup(mhz, Column::RevPwr);
}

float clsCalFile::GetNetPwr(double mhz) {
  const float forward = GetFwdPwr(mhz);
  const float reverse = GetRevPwr(mhz);
  if (IsNoValue(forward) || IsNoValue(reverse)) return kNoLevel;
  return static_cast<float>(WattsToDbm(DbmToWatts(forward) - DbmToWatts(reverse)));
}

float clsCalFile::Exact(int index, Column column) const {
  const CalPoint& p = points_[static_cast<std::size_t>(index)];
  switch (column) {
    case Column::SigGen: return p.S;
    case Column::TestLevel: return p.L;
    case Column::FwdPwr: return p.W;
    case Column::RevPwr: return p.R;
  }
  return kNoLevel;
}

// Between points below and below + 1. The test level is linear in the logarithm of frequency;
// powers are interpolated in watts, so that the result does not depend on which path of the
// lookup found the bracket; a bracket with an unrecorded end has no value.
float clsCalFile::Interpolate(int below, double mhz, Column column) const {
  const double x1 = points_[static_cast<std::size_t>(below)].F;
  const double x2 = points_[static_cast<std::size_t>(below) + 1].F;
  const float y1 = Exact(below, column);
  const float y2 = Exact(below + 1, column);
  if (IsNoValue(y1) || IsNoValue(y2)) return kNoLevel;
  double t = 0;
  if (column == Column::TestLevel) {
    if (x1 < 1e-6) return kNoLevel;
    t = Log10(mhz / x1) / Log10(x2 / x1);
  } else {
    t = (mhz - x1) / (x2 - x1);
  }
  if (column == Column::FwdPwr || column == Column::RevPwr) {
    const double w1 = DbmToWatts(y1);
    const double w2 = DbmToWatts(y2);
    return static_cast<float>(WattsToDbm(w1 + t * (w2 - w1)));
  }
  return static_cast<float>(y1 + t * (y2 - y1));
}

float clsCalFile::Lookup(double mhz, Column column) {
  if (points_.empty()) {
    host_.MsgBox("No calibration points in interp file");
    return kNoLevel;
  }
  const int n = GetNumSteps();
  const auto F = [this](int i) { return points_[static_cast<std::size_t>(i)].F; };
  if (!(mhz >= F(0) && mhz <= F(n))) return kNoLevel;
  if (cursor_ > n) cursor_ = 0;
  // Quick path: still inside the bracket of the last lookup.
  if (cursor_ > 0 && F(cursor_ - 1) < mhz && mhz < F(cursor_)) {
    return Interpolate(cursor_ - 1, mhz, column);
  }
  if (cursor_ == 0) cursor_ = 1;
  while (cursor_ > 0 && mhz <= F(cursor_ - 1)) --cursor_;
  for (; cursor_ <= n; ++cursor_) {
    if (mhz < F(cursor_)) return cursor_ > 0 ? Interpolate(cursor_ - 1, mhz, column) : kNoLevel;
    if (mhz == F(cursor_)) {
      // A frequency calibrated twice (a band change) gives the larger value.
      if (cursor_ < n && F(cursor_ + 1) == mhz) {
        return std::max(Exact(cursor_, column), Exact(cursor_ + 1, column));
      }
      return Exact(cursor_, column);
    }
  }
  cursor_ = n;
  return kNoLevel;
}

bool clsCalFile::LoadFile(const std::string& infoPath) {
  points_.clear();
  cursor_ = 0;
  if (infoPath.empty()) return false;
  // The extension is compared without regard to letter case; the file is opened under the
  // path as given.
  if (!EndsWithNoCase(infoPath, kInfoExtension)) {
    host_.MsgBox("Bad filename for calibration file: " + infoPath);
    return false;
  }
  return ReadDataFile(DataPathOfInfo(infoPath));
}

bool clsCalFile::ReadDataFile(const std::string& dataPath) {
  TextFileReader reader;
  FileError error;
  if (!reader.Open(dataPath, error)) {
    ShowFileError(host_, error, kPlace, dataPath);
    return false;
  }
  if (reader.LineCount() < 2) {
    host_.MsgBox("Unexpected end of file in " + dataPath);
    return false;
  }
  std::vector<CalPoint> points;
  std::string line;
  while (reader.ReadLine(line, error)) {
    const auto point = ParseCalDataLine(line);
    // Frequencies never fall: the lookups rely on it.
    if (!point || (!points.empty() && point->F < points.back().F)) {
      host_.MsgBox("Bad data in calibration file: " + dataPath);
      return false;
    }
    points.push_back(*point);
  }
  points_ = std::move(points);
  return true;
}

}  // namespace brimtal
