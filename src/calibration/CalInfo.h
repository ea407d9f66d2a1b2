// The calibration info file (.bminfo): six lines describing the set-up a calibration was taken
// with, read into the record that the test definition window and the run controls show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brimtal {

class Host;

struct CalInfoRecord {
  std::string SetupDescription;
  std::string AmpUsed;
  std::string DeviceDescription;
  std::string LevelText;      // the level file path, or the flat level in volts followed by "v"
  std::string FreqRangeText;  // "0.15 - 80"
  std::int32_t CouplingMethod = 0;

  bool operator==(const CalInfoRecord&) const = default;
};

// The record of a calibration set-up's values. limitType 1 (sloped) names the level file;
// otherwise the flat level calLevel (volts) is given.
CalInfoRecord MakeCalInfoRecord(const std::string& setupDescription, const std::string& ampUsed,
                                const std::string& deviceDescription, std::int32_t limitType,
                                const std::string& levelFile, float calLevel, double startFreq,
                                double stopFreq, std::int32_t couplingMethod);

// The six lines of an info file, for the writer. A line break inside a text would split the
// file's lines, so it is written as a blank.
std::vector<std::string> CalInfoLines(const CalInfoRecord& record);

class CalInfo {
 public:
  explicit CalInfo(Host& host);

  // Reads an info file into the record: 1 on success, 0 after a message. Fields read before
  // a failure keep their new values.
  int LoadDef(const std::string& path);

  const CalInfoRecord& Record() const { return record_; }

 private:
  Host& host_;
  CalInfoRecord record_;
};

}  // namespace brimtal
