// Appending entries to the run log.
#include "shell/LogFile.h"

#include <cstdio>
#include <ctime>

#include "shell/FileIo.h"
#include "shell/Settings.h"

namespace brimtal {

LocalDateTime SystemWallClock::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string LogTimeStamp(const LocalDateTime& when) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", when.month % 100,
                when.day % 100, ((when.year % 100) + 100) % 100, when.hour % 100, when.minute % 100,
                when.second % 100);
  return text;
}

LogFile::LogFile(INISettings& settings, const WallClock& clock, std::string path)
    : settings_(settings), clock_(clock), path_(std::move(path)) {}

void LogFile::WriteLog(const std::string& message) {
  try {
    if (settings_.GetLogToFile() == 0) return;
  } catch (const SettingError&) {
    // A LogToFile beyond the integer range is still not 0: it asks for the log.
  }
  AppendToFile(path_, LogTimeStamp(clock_.Now()) + " - " + message + "\r\n");
}

}  // namespace brimtal
