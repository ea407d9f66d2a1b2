// A calibration as its run left it: the data file (.cal, one line per calibrated frequency)
// read through the path of its info file (.bminfo), with lookups that interpolate the
// signal-generator level, test level and powers at any frequency inside the calibrated range.
// The line format lives here for the reader and the writer alike.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brimtal {

class Host;

// One calibrated frequency. W and R are -999 when the run did not record them.
struct CalPoint {
  double F = 0;  // MHz
  float S = 0;   // signal-generator level, dBm
  float L = 0;   // test level, dBuV
  float W = 0;   // forward power, dBm
  float R = 0;   // reverse power, dBm
};

// The texts of the five fields of a data line, as the run's result grid shows them.
inline constexpr const char* kCalFreqFormat = "0.0#####";
inline constexpr const char* kCalSigGenFormat = "###0.000";
inline constexpr const char* kCalLevelFormat = "##0.00";
inline constexpr const char* kCalPowerFormat = "##0.00";
// The power text of a power that was not recorded.
inline constexpr const char* kCalNoPower = "na";

// A power field: "##0.00", or "na" for a value below -998.
std::string CalPowerText(float dbm);
// A data line from the five field texts: each field followed by a comma.
std::string CalDataLine(const std::vector<std::string>& fields);
// A data line of a point, every field in its format.
std::string CalDataLine(const CalPoint& point);
// A data line read back; nothing when it is bad data (fewer than five fields, a frequency,
// generator level or test level that is not a number, or a number beyond single precision).
std::optional<CalPoint> ParseCalDataLine(const std::string& line);

// The data file to write for a chosen name: the name itself when it ends in ".cal" (in any
// letter case), else the name with ".cal" appended, so that the reader finds it.
std::string CalDataPathOf(const std::string& chosenPath);
// The info file of a data file: its last four characters (".cal") replaced by ".bminfo".
std::string CalInfoPathOf(const std::string& dataPath);

class clsCalFile {
 public:
  explicit clsCalFile(Host& host);

  // The first and last calibrated frequency; -999 before a calibration is loaded.
  double GetStartFreq() const;
  double GetStopFreq() const;
  // The number of points less one; 0 before a calibration is loaded.
  int GetNumSteps() const;

  // Each gives -999 outside the calibrated range and where a power was not recorded.
  // Linear in frequency.
  float GetSigGen(double mhz);
  // Linear in the logarithm of frequency.
  float GetTestLevel(double mhz);
  // Interpolated in watts, linear in frequency.
  float GetFwdPwr(double mhz);
  float GetRevPwr(double mhz);
  // Forward less reverse power, in watts, as dBm.
  float GetNetPwr(double mhz);

  // Loads the calibration whose info file is infoPath; true on success, false after a
  // message (no message for an empty path). A failed load leaves no points.
  bool LoadFile(const std::string& infoPath);

  // Where the last lookup ended; rising frequencies continue from here.
  int Cursor() const { return cursor_; }

 private:
  enum class Column { SigGen, TestLevel, FwdPwr, RevPwr };
  float Lookup(double mhz, Column column);
  float Exact(int index, Column column) const;
  float Interpolate(int below, double mhz, Column column) const;
  bool ReadDataFile(const std::string& dataPath);

  Host& host_;
  std::vector<CalPoint> points_;
  int cursor_ = 0;
};

}  // namespace brimtal
