// The run log: time-stamped entries appended to "runlog.bml" while logging is switched on.
#pragma once

#include <string>

namespace brimtal {

class INISettings;

// A date and time of the local wall clock.
struct LocalDateTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalDateTime Now() const = 0;
};

class SystemWallClock final : public WallClock {
 public:
  LocalDateTime Now() const override;
};

// A wall clock that shows whatever it was set to.
class FixedWallClock final : public WallClock {
 public:
  explicit FixedWallClock(LocalDateTime now = {}) : now_(now) {}
  LocalDateTime Now() const override { return now_; }
  void Set(LocalDateTime now) { now_ = now; }

 private:
  LocalDateTime now_;
};

// "mm/dd/yy hh:mm:ss"
std::string LogTimeStamp(const LocalDateTime& when);

class LogFile {
 public:
  static constexpr const char* kFileName = "runlog.bml";

  // path: the log file; by default "runlog.bml" in the current working directory.
  LogFile(INISettings& settings, const WallClock& clock, std::string path = kFileName);

  // When GetLogToFile is non-zero, appends "mm/dd/yy hh:mm:ss - " + message + CR LF. A log
  // that cannot be written is skipped without disturbing the caller.
  void WriteLog(const std::string& message);

  const std::string& Path() const { return path_; }

 private:
  INISettings& settings_;
  const WallClock& clock_;
  std::string path_;
};

}  // namespace brimtal
