// Calibration info files.
#include "calibration/CalInfo.h"

#include <algorithm>

#include "shell/DefinitionFile.h"
#include "shell/Host.h"
#include "shell/VbText.h"

namespace brimtal {

namespace {

constexpr std::int32_t kLimitFromFile = 1;

std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

CalInfoRecord MakeCalInfoRecord(const std::string& setupDescription, const std::string& ampUsed,
                                const std::string& deviceDescription, std::int32_t limitType,
                                const std::string& levelFile, float calLevel, double startFreq,
                                double stopFreq, std::int32_t couplingMethod) {
  CalInfoRecord record;
  record.SetupDescription = setupDescription;
  record.AmpUsed = ampUsed;
  record.DeviceDescription = deviceDescription;
  record.LevelText = limitType == kLimitFromFile ? levelFile : vbtext::GeneralText(calLevel) + "v";
  record.FreqRangeText = vbtext::GeneralText(startFreq) + " - " + vbtext::GeneralText(stopFreq);
  record.CouplingMethod = couplingMethod;
  return record;
}

std::vector<std::string> CalInfoLines(const CalInfoRecord& record) {
  DefinitionWriter writer;
  for (const auto* text : {&record.SetupDescription, &record.AmpUsed, &record.DeviceDescription,
                           &record.LevelText, &record.FreqRangeText}) {
    writer.Text(OneLine(*text));
  }
  writer.Number(static_cast<int>(record.CouplingMethod));
  return writer.Lines();
}

CalInfo::CalInfo(Host& host) : host_(host) {}

int CalInfo::LoadDef(const std::string& path) {
  if (path.empty()) {
    host_.MsgBox("WARNING: \rNo calibration filename specified\rin test definition file.");
    return 0;
  }
  DefinitionReader reader;
  FileError error;
  const bool read =
      reader.Open(path, error) && reader.Text(record_.SetupDescription, error) &&
      reader.Text(record_.AmpUsed, error) && reader.Text(record_.DeviceDescription, error) &&
      reader.Text(record_.LevelText, error) && reader.Text(record_.FreqRangeText, error) &&
      reader.Int32(record_.CouplingMethod, error);
  if (!read) {
    ShowFileError(host_, error, "CalInfo.LoadDef", path);
    return 0;
  }
  return 1;
}

}  // namespace brimtal
