// Settings files on SimpleIni, read and written the way private-profile files always were.
#include "shell/Settings.h"

#include <SimpleIni.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>

#include "shell/FileIo.h"
#include "shell/VbText.h"

#if defined(__unix__)
#include <unistd.h>
#endif

namespace brimtal {

namespace fs = std::filesystem;

namespace {

// The underlying failure inside an operation, before it is passed on as a SettingError.
struct Failure {
  std::int32_t number;
  std::string text;
};

[[noreturn]] void Fail(int number) {
  throw Failure{number, ErrorDescription(number)};
}

// Runs an operation and passes any failure on with the operation's number, source and prefix.
template <typename Operation>
auto Guarded(std::int32_t number, const char* source, const char* prefix, Operation op) {
  try {
    return op();
  } catch (const Failure& failure) {
    throw SettingError(
        number, source,
        std::string(prefix) + "(" + std::to_string(failure.number) + ", " + failure.text + ")");
  }
}

// One settings file, loaded whole for reading.
class IniDocument {
 public:
  IniDocument() : ini_(false, true, false) { ini_.SetSpaces(false); }

  void Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ini_.LoadData(WithoutNulTails(content));
  }

  std::optional<std::string> Value(const std::string& section, const std::string& key) const {
    if (section.empty()) return std::nullopt;  // keys above the first header belong to none
    const char* value = ini_.GetValue(section.c_str(), key.c_str(), nullptr);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }

  std::vector<std::string> Keys(const std::string& section) const {
    if (section.empty()) return {};
    CSimpleIniA::TNamesDepend keys;
    ini_.GetAllKeys(section.c_str(), keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> names;
    for (const auto& key : keys) names.emplace_back(key.pItem);
    return names;
  }

  std::vector<std::string> Sections() const {
    CSimpleIniA::TNamesDepend sections;
    ini_.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> names;
    // Keys above the first section header belong to no section.
    for (const auto& section : sections) {
      if (*section.pItem != '\0') names.emplace_back(section.pItem);
    }
    return names;
  }

  bool HasKey(const std::string& section, const std::string& key) const {
    return Value(section, key).has_value();
  }
  bool HasSection(const std::string& section) const {
    return ini_.GetSection(section.c_str()) != nullptr;
  }

 private:
  // A NUL inside a line ends what can be read of that line.
  static std::string WithoutNulTails(const std::string& content) {
    std::string out;
    out.reserve(content.size());
    bool skipping = false;
    for (char c : content) {
      if (c == '\n') skipping = false;
      if (c == '\0') skipping = true;
      if (!skipping) out += c;
    }
    return out;
  }

  CSimpleIniA ini_;
};

// The settings file as its lines, changed the way the private-profile writes change it: only
// the line of the key in question is replaced, inserted or removed, so comments, notes and
// anything else an engineer typed into the file stay where they were.
class ProfileLines {
 public:
  void Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A byte-order mark left by an editor is no part of the first line, as for the reader.
    if (content.starts_with("\xEF\xBB\xBF")) content.erase(0, 3);
    lines_ = SplitLines(content);
  }

  void Set(const std::string& section, const std::string& key, const std::string& value) {
    if (const auto line = KeyLine(section, key)) {
      // The key keeps the spelling it has in the file.
      lines_[*line] = KeyOf(lines_[*line]) + "=" + value;
      return;
    }
    const std::string entry = key + "=" + value;
    if (const auto header = SectionHeader(section)) {
      // After the section's last line that is not empty, so the gap before the next stays.
      std::size_t at = *header + 1;
      for (std::size_t i = *header + 1; i < lines_.size() && !IsHeader(lines_[i]); ++i) {
        if (!vbtext::Trim(lines_[i]).empty()) at = i + 1;
      }
      lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), entry);
      return;
    }
    if (!lines_.empty() && !vbtext::Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + section + "]");
    lines_.push_back(entry);
  }

  void Remove(const std::string& section, const std::string& key) {
    if (const auto line = KeyLine(section, key)) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    }
  }

  // Removes every part of the file headed by the section, with its lines.
  void RemoveSection(const std::string& section) {
    std::vector<std::string> kept;
    bool inside = false;
    for (const auto& line : lines_) {
      if (IsHeader(line)) inside = vbtext::EqualsNoCase(HeaderName(line), section);
      if (!inside) kept.push_back(line);
    }
    lines_ = std::move(kept);
  }

  // Writes the file beside itself and renames it into place, with CR LF line ends.
  bool Save(const std::string& path, FileError& error) const {
    std::error_code ec;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    AtomicFileWriter writer;
    if (!writer.Open(path, error)) return false;
    for (const auto& line : lines_) writer.WriteLine(line);
    return writer.Commit(error);
  }

 private:
  static bool IsHeader(const std::string& line) {
    const std::string text = vbtext::TrimLeft(line);
    return text.starts_with('[') && text.find(']') != std::string::npos;
  }
  static std::string HeaderName(const std::string& line) {
    const std::string text = vbtext::TrimLeft(line);
    return vbtext::Trim(text.substr(1, text.find(']') - 1));
  }
  static bool IsComment(const std::string& line) {
    const std::string text = vbtext::TrimLeft(line);
    return text.starts_with(';') || text.starts_with('#');
  }
  static std::string KeyOf(const std::string& line) {
    return vbtext::Trim(line.substr(0, line.find('=')));
  }

  std::optional<std::size_t> SectionHeader(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (IsHeader(lines_[i]) && vbtext::EqualsNoCase(HeaderName(lines_[i]), section)) return i;
    }
    return std::nullopt;
  }

  // The first line of the key within any part of the file headed by the section.
  std::optional<std::size_t> KeyLine(const std::string& section, const std::string& key) const {
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string& line = lines_[i];
      if (IsHeader(line)) {
        inside = vbtext::EqualsNoCase(HeaderName(line), section);
      } else if (inside && !IsComment(line) && line.find('=') != std::string::npos &&
                 vbtext::EqualsNoCase(KeyOf(line), key)) {
        return i;
      }
    }
    return std::nullopt;
  }

  std::vector<std::string> lines_;
};

// A value as the private-profile read hands it over: without surrounding quotes, at most
// 127 characters, cut before a NUL, without surrounding blanks.
std::string ProfileValue(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > clsSetting::kValueBuffer - 1) value.resize(clsSetting::kValueBuffer - 1);
  if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return vbtext::Trim(value);
}

// The names that come back whole through a list buffer: names separated by NULs, the list
// ended by a second NUL. A name cut by the end of the buffer is left out.
std::vector<std::string> WithinListBuffer(const std::vector<std::string>& names) {
  std::size_t used = 0;
  std::vector<std::string> kept;
  for (const auto& name : names) {
    if (used + name.size() + 2 > clsSetting::kListBuffer) break;
    used += name.size() + 1;
    kept.push_back(name);
  }
  return kept;
}

// The platform's integer reading: blanks, an optional sign, decimal digits; 0 when there are
// no digits. Values beyond the 16-bit range overflow.
std::int16_t LeadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) Fail(6);
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    Fail(6);
  }
  return static_cast<std::int16_t>(value);
}

// A value written to a line-based file ends at its first line break, as reading it back would.
std::string SingleLine(const std::string& value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

ProgramPaths ProgramPaths::ForExecutable(const std::string& executablePath) {
  ProgramPaths paths;
  const fs::path exe(executablePath);
  paths.programDir = exe.parent_path().string();
  while (paths.programDir.size() > 1 && paths.programDir.back() == '/') paths.programDir.pop_back();
  paths.executableName = exe.stem().string();
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (xdg != nullptr && *xdg == '/') {
    paths.configHome = xdg;
  } else {
    paths.configHome = std::string(home != nullptr ? home : "") + "/.config";
  }
  return paths;
}

std::string ProgramPaths::ProgramPath() const {
  return programDir + (programDir.ends_with('/') ? "" : "/") + executableName;
}

std::string ProgramPaths::UserConfigDir() const {
  return configHome + "/Brimtal";
}

std::string ProgramPaths::SettingsDir() const {
  std::error_code ec;
  bool writable = fs::is_directory(programDir, ec);
#if defined(__unix__)
  writable = writable && ::access(programDir.c_str(), W_OK) == 0;
#endif
  return writable ? programDir : UserConfigDir();
}

clsSetting::clsSetting(ProgramPaths paths) : paths_(std::move(paths)) {}

void clsSetting::Init() {
  Init(paths_.executableName, kKeepMode);
}

void clsSetting::Init(const std::string& appName, int mode) {
  appName_ = vbtext::Trim(appName);
  const std::string folder = paths_.SettingsDir();
  iniPath_ = folder + (folder.ends_with('/') ? "" : "/") + appName_ + ".ini";
  if (mode != kKeepMode) saveMode_ = mode;
}

void clsSetting::EnsureInit() {
  if (appName_.empty()) Init();
}

std::string clsSetting::StorePath() const {
  return paths_.UserConfigDir() + "/" + appName_ + "-store.ini";
}

std::string clsSetting::GetSettingStr(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) {
  EnsureInit();
  return Guarded(settingerr::kReadingSetting, "CSetting.GetSettingStr", "Error reading Setting ",
                 [&] {
                   IniDocument doc;
                   doc.Load(FileMode() ? iniPath_ : StorePath());
                   const auto value = doc.Value(section, key);
                   if (!value) return defaultValue;
                   return FileMode() ? ProfileValue(*value) : *value;
                 });
}

std::int16_t clsSetting::GetSettingInt(const std::string& section, const std::string& key,
                                       std::int16_t defaultValue) {
  EnsureInit();
  return Guarded(settingerr::kReadingSetting, "CSetting.GetSettingInt", "Error reading Setting ",
                 [&]() -> std::int16_t {
                   IniDocument doc;
                   doc.Load(FileMode() ? iniPath_ : StorePath());
                   const auto value = doc.Value(section, key);
                   if (FileMode()) {
                     const std::string text = value ? ProfileValue(*value) : std::string();
                     return text.empty() ? defaultValue : LeadingInteger(text);
                   }
                   if (!value) return defaultValue;
                   const auto number = vbtext::ToNumber(*value);
                   if (!number) return 0;
                   const std::int64_t rounded = vbtext::RoundHalfEven(*number);
                   return LeadingInteger(std::to_string(rounded));
                 });
}

SettingRows clsSetting::GetSettingAll(const std::string& section) {
  EnsureInit();
  return Guarded(settingerr::kReadingSection, "CSetting.GetSettingAll", "Error reading Section ",
                 [&] {
                   IniDocument doc;
                   doc.Load(FileMode() ? iniPath_ : StorePath());
                   SettingRows rows;
                   std::vector<std::string> keys = doc.Keys(section);
                   if (FileMode()) keys = WithinListBuffer(keys);
                   for (const auto& key : keys) {
                     const std::string value = doc.Value(section, key).value_or("");
                     rows.emplace_back(key, FileMode() ? ProfileValue(value) : value);
                   }
                   return rows;
                 });
}

std::vector<std::string> clsSetting::GetSectionNames() {
  EnsureInit();
  return Guarded(settingerr::kReadingSection, "CSetting.GetSectionNames", "Error reading Section ",
                 [&] {
                   IniDocument doc;
                   if (!FileMode()) {
                     doc.Load(StorePath());
                     return doc.Keys("0");
                   }
                   doc.Load(iniPath_);
                   return WithinListBuffer(doc.Sections());
                 });
}

void clsSetting::SaveSettingStr(const std::string& section, const std::string& key,
                                const std::string& value) {
  EnsureInit();
  Guarded(settingerr::kWriting, "CSetting.SaveSettingStr", "Error writing Setting ", [&] {
    const std::string path = FileMode() ? iniPath_ : StorePath();
    ProfileLines doc;
    doc.Load(path);
    doc.Set(section, key, SingleLine(value));
    FileError error;
    // A settings file that cannot be written keeps its old content; only the store complains.
    if (!doc.Save(path, error) && !FileMode()) throw Failure{error.number, error.description};
    return 0;
  });
}

void clsSetting::SaveSettingInt(const std::string& section, const std::string& key,
                                std::int16_t value) {
  EnsureInit();
  Guarded(settingerr::kWriting, "CSetting.SaveSettingInt", "Error writing Setting ", [&] {
    const std::string path = FileMode() ? iniPath_ : StorePath();
    ProfileLines doc;
    doc.Load(path);
    doc.Set(section, key, std::to_string(value));
    FileError error;
    if (!doc.Save(path, error) && !FileMode()) throw Failure{error.number, error.description};
    return 0;
  });
}

void clsSetting::DeleteKey(const std::string& section, const std::string& key) {
  EnsureInit();
  Guarded(settingerr::kDeletingKey, "CSetting.DeleteKey", "Error Deleting Key ", [&] {
    const std::string path = FileMode() ? iniPath_ : StorePath();
    IniDocument doc;
    doc.Load(path);
    ProfileLines lines;
    lines.Load(path);
    FileError error;
    if (FileMode()) {
      if (!doc.HasKey(section, key)) return 0;
      lines.Remove(section, key);
      if (!lines.Save(path, error)) {
        throw Failure{settingerr::kDeletingKey, "Error Deleting Key (check if file is protected)"};
      }
      return 0;
    }
    // The store refuses to remove what is not there, as the registry did.
    if (key.empty() ? !doc.HasSection(section) : !doc.HasKey(section, key)) Fail(5);
    if (key.empty()) {
      lines.RemoveSection(section);
    } else {
      lines.Remove(section, key);
    }
    if (!lines.Save(path, error)) throw Failure{error.number, error.description};
    return 0;
  });
}

INISettings::INISettings(ProgramPaths paths) : paths_(paths), setting_(std::move(paths)) {}

clsSetting& INISettings::Setting() {
  if (!initialised_) {
    setting_.Init("Brimtal", 1);
    initialised_ = true;
  }
  return setting_;
}

namespace {

const char* SectionOf(SettingsDirectory which) {
  switch (which) {
    case SettingsDirectory::Equip: return "Equip";
    case SettingsDirectory::Calibrations: return "Calibrations";
    case SettingsDirectory::TestSetups: return "Test_Setups";
    case SettingsDirectory::TestResults: return "Test_Results";
    case SettingsDirectory::Cables: return "Cables";
    case SettingsDirectory::Factors: return "Factors";
    case SettingsDirectory::Probes: return "Probes";
    case SettingsDirectory::FreqList: return "FreqList";
    case SettingsDirectory::InsertionLoss: return "Insertion_Loss";
  }
  return "Equip";
}

}  // namespace

std::string INISettings::GetDir(SettingsDirectory which) {
  return Setting().GetSettingStr(SectionOf(which), "Dir", paths_.programDir);
}

void INISettings::SetDir(SettingsDirectory which, const std::string& value) {
  Setting().SaveSettingStr(SectionOf(which), "Dir", value);
}

std::string INISettings::GetDefaultEquipFile() {
  return Setting().GetSettingStr("Equip", "File", "");
}
void INISettings::SetDefaultEquipFile(const std::string& v) {
  Setting().SaveSettingStr("Equip", "File", v);
}
std::string INISettings::GetRunTestFormPosition() {
  return Setting().GetSettingStr("RunTestForm", "Position", "");
}
void INISettings::SetRunTestFormPosition(const std::string& v) {
  Setting().SaveSettingStr("RunTestForm", "Position", v);
}
std::string INISettings::GetManualFormPosition() {
  return Setting().GetSettingStr("ManualForm", "Position", "");
}
void INISettings::SetManualFormPosition(const std::string& v) {
  Setting().SaveSettingStr("ManualForm", "Position", v);
}
std::string INISettings::GetRunButtonsPosition() {
  return Setting().GetSettingStr("RunButtons", "Position", "");
}
void INISettings::SetRunButtonsPosition(const std::string& v) {
  Setting().SaveSettingStr("RunButtons", "Position", v);
}
std::int16_t INISettings::GetLogToFile() {
  return Setting().GetSettingInt("System", "LogToFile", 0);
}

}  // namespace brimtal
