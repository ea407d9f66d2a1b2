// Line-per-value definition files.
#include "shell/DefinitionFile.h"

#include <cmath>
#include <limits>

#include "shell/VbText.h"

namespace brimtal {

bool ParseDefinitionInt(const std::string& text, std::int64_t low, std::int64_t high,
                        std::int64_t& value, FileError& error) {
  const auto number = vbtext::ToNumber(text);
  if (!number) {
    error = MakeFileError(vberr::kTypeMismatch);
    return false;
  }
  const double rounded = std::nearbyint(*number);
  if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
    error = MakeFileError(vberr::kOverflow);
    return false;
  }
  value = static_cast<std::int64_t>(rounded);
  return true;
}

bool ParseDefinitionFlag(const std::string& text, bool& value, FileError& error) {
  const std::string trimmed = vbtext::Trim(text);
  if (vbtext::EqualsNoCase(trimmed, "True")) {
    value = true;
    return true;
  }
  if (vbtext::EqualsNoCase(trimmed, "False")) {
    value = false;
    return true;
  }
  const auto number = vbtext::ToNumber(trimmed);
  if (!number) {
    error = MakeFileError(vberr::kTypeMismatch);
    return false;
  }
  value = *number != 0;
  return true;
}

bool DefinitionReader::Text(std::string& value, FileError& error) {
  return reader_.ReadLine(value, error);
}

bool DefinitionReader::Skip(FileError& error) {
  std::string ignored;
  return reader_.ReadLine(ignored, error);
}

bool DefinitionReader::Number(double& value, FileError& error) {
  std::string line;
  if (!reader_.ReadLine(line, error)) return false;
  const auto number = vbtext::ToNumber(line);
  if (!number) {
    error = MakeFileError(vberr::kTypeMismatch);
    return false;
  }
  value = *number;
  return true;
}

bool DefinitionReader::Int16(std::int16_t& value, FileError& error) {
  std::string line;
  std::int64_t wide = 0;
  if (!reader_.ReadLine(line, error) ||
      !ParseDefinitionInt(line, std::numeric_limits<std::int16_t>::min(),
                          std::numeric_limits<std::int16_t>::max(), wide, error)) {
    return false;
  }
  value = static_cast<std::int16_t>(wide);
  return true;
}

bool DefinitionReader::Int32(std::int32_t& value, FileError& error) {
  std::string line;
  std::int64_t wide = 0;
  if (!reader_.ReadLine(line, error) ||
      !ParseDefinitionInt(line, std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max(), wide, error)) {
    return false;
  }
  value = static_cast<std::int32_t>(wide);
  return true;
}

bool DefinitionReader::Double(double& value, FileError& error) {
  return Number(value, error);
}

bool DefinitionReader::Float(float& value, FileError& error) {
  double wide = 0;
  if (!Number(wide, error)) return false;
  if (std::fabs(wide) > std::numeric_limits<float>::max()) {
    error = MakeFileError(vberr::kOverflow);
    return false;
  }
  value = static_cast<float>(wide);
  return true;
}

bool DefinitionReader::Flag(bool& value, FileError& error) {
  std::string line;
  return reader_.ReadLine(line, error) && ParseDefinitionFlag(line, value, error);
}

void DefinitionWriter::Number(double value) {
  lines_.push_back(vbtext::DefinitionText(value));
}
void DefinitionWriter::Number(float value) {
  lines_.push_back(vbtext::DefinitionText(value));
}
void DefinitionWriter::Number(int value) {
  lines_.push_back(vbtext::DefinitionText(value));
}
void DefinitionWriter::Flag(bool value) {
  lines_.push_back(vbtext::BoolText(value));
}

void DefinitionWriter::Empty(int count) {
  for (int i = 0; i < count; ++i) lines_.emplace_back();
}

bool DefinitionWriter::Save(const std::string& path, FileError& error) const {
  return WriteTextLines(path, lines_, error);
}

}  // namespace brimtal
