// The settings file: clsSetting reads and writes sectioned key files the way the program has
// always read them (values cut at 127 characters, blanks trimmed, names without letter case),
// and INISettings names every value the program keeps there.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace brimtal {

// Where the program lives and where per-user files go.
struct ProgramPaths {
  std::string programDir;      // the running executable's directory, without a trailing "/"
  std::string executableName;  // its file name without extension
  std::string configHome;      // $XDG_CONFIG_HOME, else ~/.config

  // The paths of an executable; configHome from the environment.
  static ProgramPaths ForExecutable(const std::string& executablePath);
  // The executable itself.
  std::string ProgramPath() const;
  // The per-user folder of the program: configHome + "/Brimtal".
  std::string UserConfigDir() const;
  // Where the settings file lives: the program directory when it is writable, else the
  // per-user folder.
  std::string SettingsDir() const;
};

// A failed settings operation: its number, the operation as source, and a description made of
// the operation's prefix and the underlying error's number and text.
class SettingError : public std::runtime_error {
 public:
  SettingError(std::int32_t number, std::string source, std::string description)
      : std::runtime_error(description),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}
  std::int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

namespace settingerr {
inline constexpr std::int32_t kWriting = static_cast<std::int32_t>(0x80040202u);
inline constexpr std::int32_t kReadingSetting = static_cast<std::int32_t>(0x80040203u);
inline constexpr std::int32_t kReadingSection = static_cast<std::int32_t>(0x80040204u);
inline constexpr std::int32_t kDeletingKey = static_cast<std::int32_t>(0x80040205u);
}  // namespace settingerr

// (key, value) rows in file order.
using SettingRows = std::vector<std::pair<std::string, std::string>>;

class clsSetting {
 public:
  // The longest value a read returns, and the buffers for key and section lists.
  static constexpr std::size_t kValueBuffer = 128;
  static constexpr std::size_t kListBuffer = 2048;
  static constexpr int kKeepMode = 999;

  explicit clsSetting(ProgramPaths paths);

  // AppName = the name without surrounding blanks (the executable's name when omitted);
  // IniPath = settings folder + "/" + AppName + ".ini"; SaveMode = mode unless it is 999.
  void Init();
  void Init(const std::string& appName, int mode = kKeepMode);

  // File mode: the value cut to 127 characters, cut before a NUL and trimmed; the default
  // when the key is missing. Store mode: the stored value or the default.
  std::string GetSettingStr(const std::string& section, const std::string& key,
                            const std::string& defaultValue);
  // File mode: the leading integer of the value, the default when the key is missing or
  // empty. Store mode: the stored value if it reads as a number (0 if not), or the default.
  // A value outside the 16-bit range raises the reading error.
  std::int16_t GetSettingInt(const std::string& section, const std::string& key,
                             std::int16_t defaultValue);
  // Every key of the section with its value; empty when the section is missing or empty.
  SettingRows GetSettingAll(const std::string& section);
  // File mode: the section names in file order. Store mode: the entries of section "0".
  std::vector<std::string> GetSectionNames();
  // Writing never destroys the file: a write that cannot be made leaves it as it was (file
  // mode: silently; store mode: raises the writing error).
  void SaveSettingStr(const std::string& section, const std::string& key, const std::string& value);
  void SaveSettingInt(const std::string& section, const std::string& key, std::int16_t value);
  // File mode: removes the key; a file that cannot be changed raises the deleting error.
  // Store mode: removes the key, or the whole section when the key is empty.
  void DeleteKey(const std::string& section, const std::string& key);

  void SaveMode(std::int32_t mode) { saveMode_ = mode; }
  std::int32_t SaveMode() const { return saveMode_; }
  const std::string& AppName() const { return appName_; }
  const std::string& IniPath() const { return iniPath_; }
  // The file of store mode: the per-user folder + "/" + AppName + "-store.ini".
  std::string StorePath() const;

 private:
  void EnsureInit();
  bool FileMode() const { return saveMode_ != 0; }

  ProgramPaths paths_;
  std::string appName_;
  std::string iniPath_;
  std::int32_t saveMode_ = 0;
};

// The folders the program keeps, one per kind of file.
enum class SettingsDirectory {
  Equip,
  Calibrations,
  TestSetups,
  TestResults,
  Cables,
  Factors,
  Probes,
  FreqList,
  InsertionLoss,
};

// The named values of the program's settings file "Brimtal.ini". Every getter reads the file
// anew and every setter writes it at once.
class INISettings {
 public:
  explicit INISettings(ProgramPaths paths);

  std::string GetEquipDir() { return GetDir(SettingsDirectory::Equip); }
  void SetEquipDir(const std::string& v) { SetDir(SettingsDirectory::Equip, v); }
  std::string GetDefaultEquipFile();
  void SetDefaultEquipFile(const std::string& v);
  std::string GetCalibrationsDir() { return GetDir(SettingsDirectory::Calibrations); }
  void SetCalibrationsDir(const std::string& v) { SetDir(SettingsDirectory::Calibrations, v); }
  std::string GetTestSetupsDir() { return GetDir(SettingsDirectory::TestSetups); }
  void SetTestSetupsDir(const std::string& v) { SetDir(SettingsDirectory::TestSetups, v); }
  std::string GetTestResultsDir() { return GetDir(SettingsDirectory::TestResults); }
  void SetTestResultsDir(const std::string& v) { SetDir(SettingsDirectory::TestResults, v); }
  std::string GetCablesDir() { return GetDir(SettingsDirectory::Cables); }
  void SetCablesDir(const std::string& v) { SetDir(SettingsDirectory::Cables, v); }
  std::string GetFactorsDir() { return GetDir(SettingsDirectory::Factors); }
  void SetFactorsDir(const std::string& v) { SetDir(SettingsDirectory::Factors, v); }
  std::string GetProbesDir() { return GetDir(SettingsDirectory::Probes); }
  void SetProbesDir(const std::string& v) { SetDir(SettingsDirectory::Probes, v); }
  std::string GetFreqListDir() { return GetDir(SettingsDirectory::FreqList); }
  void SetFreqListDir(const std::string& v) { SetDir(SettingsDirectory::FreqList, v); }
  std::string GetInsertionLossDir() { return GetDir(SettingsDirectory::InsertionLoss); }
  void SetInsertionLossDir(const std::string& v) { SetDir(SettingsDirectory::InsertionLoss, v); }
  std::string GetRunTestFormPosition();
  void SetRunTestFormPosition(const std::string& v);
  std::string GetManualFormPosition();
  void SetManualFormPosition(const std::string& v);
  std::string GetRunButtonsPosition();
  void SetRunButtonsPosition(const std::string& v);
  std::int16_t GetLogToFile();

  // A folder by its kind; the program directory when none is stored.
  std::string GetDir(SettingsDirectory which);
  void SetDir(SettingsDirectory which, const std::string& value);

  const ProgramPaths& Paths() const { return paths_; }
  // The settings object, initialised as "Brimtal" in file mode on first use.
  clsSetting& Setting();

 private:
  ProgramPaths paths_;
  clsSetting setting_;
  bool initialised_ = false;
};

}  // namespace brimtal
