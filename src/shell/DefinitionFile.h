// Definition files hold one value per line in the order of their record: texts as they are,
// numbers in the definition-file style (" .15 ", "-10 "), flags as "True" or "False". These
// two classes read and write such files so that every record's reader and writer agree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/FileIo.h"

namespace brimtal {

class DefinitionReader {
 public:
  bool Open(const std::string& path, FileError& error) { return reader_.Open(path, error); }

  // Each reads the next line; false with the error set when the file has ended (62) or the
  // line does not convert (13 type mismatch, 6 overflow). Surrounding blanks are ignored for
  // numbers and flags; texts are taken whole.
  bool Text(std::string& value, FileError& error);
  bool Int16(std::int16_t& value, FileError& error);
  bool Int32(std::int32_t& value, FileError& error);
  bool Double(double& value, FileError& error);
  bool Float(float& value, FileError& error);
  // "True"/"False" in any letter case, or a number (non-zero is true).
  bool Flag(bool& value, FileError& error);
  bool Skip(FileError& error);
  bool AtEnd() const { return reader_.AtEnd(); }

 private:
  bool Number(double& value, FileError& error);
  TextFileReader reader_;
};

// Conversions of single lines, shared with windows that read the same values from boxes.
bool ParseDefinitionInt(const std::string& text, std::int64_t low, std::int64_t high,
                        std::int64_t& value, FileError& error);
bool ParseDefinitionFlag(const std::string& text, bool& value, FileError& error);

class DefinitionWriter {
 public:
  void Text(const std::string& value) { lines_.push_back(value); }
  void Number(double value);
  void Number(float value);
  void Number(int value);
  void Flag(bool value);
  void Empty(int count = 1);
  const std::vector<std::string>& Lines() const { return lines_; }
  // Writes the lines with CR LF, replacing the file in one step.
  bool Save(const std::string& path, FileError& error) const;

 private:
  std::vector<std::string> lines_;
};

}  // namespace brimtal
