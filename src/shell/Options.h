// The configuration window's Options menu: start folders, the default equipment file and the
// desktop shortcut that starts the program with an equipment file and a test definition.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/Settings.h"

namespace brimtal {

class Host;

inline constexpr const char* kEquipmentFilter = "Equipment Setup Files (*.eqp)|*.eqp|All Files|*.*";
inline constexpr const char* kTestDefinitionFilter = "Test Definitions (*.tst)|*.tst";

// The directory picker: prepared with a start folder, then shown.
class DirPicker {
 public:
  explicit DirPicker(Host& host) : host_(host) {}
  void PickDirStart(const std::string& directory) { startDir_ = directory; }
  // The chosen folder, or empty text when the operator cancelled.
  std::string PickDir();

 private:
  Host& host_;
  std::string startDir_;
};

// A folder entry of the Options menu: the picker starts in the folder kept for that kind; a
// chosen folder is stored, a cancelled picker changes nothing. True when one was stored.
bool ChooseSettingsDirectory(Host& host, INISettings& settings, SettingsDirectory which);
// "Default Equipment File": true when a file was chosen and stored.
bool ChooseDefaultEquipFile(Host& host, INISettings& settings);

// Runs a program and returns what it wrote, or nothing when it could not run, failed or took
// longer than the timeout (it is then stopped).
std::optional<std::string> RunForOutput(const std::vector<std::string>& argv, int timeoutMs);
// The user's desktop folder: `xdg-user-dir DESKTOP` (given two seconds), else ~/Desktop.
std::string UserDesktopFolder();

// One argument of a desktop file's Exec key: quoted, with its special characters escaped.
std::string DesktopExecArgument(const std::string& argument);
// A desktop file's string value with its special characters escaped.
std::string DesktopStringValue(const std::string& text);
// The text of a desktop file that starts the program with the arguments.
std::string DesktopEntryText(const std::string& name, const std::string& program,
                             const std::vector<std::string>& arguments);
// The file name on the desktop for a shortcut title.
std::string DesktopFileName(const std::string& title);

// "Create Desktop Shorcut": asks for an equipment file and a test definition (each may be
// cancelled) and for the title, then writes the shortcut into the desktop folder (the user's
// desktop unless given). The path written, or empty text when cancelled or when it could not
// be written (that is reported).
std::string CreateDesktopShortcut(Host& host, INISettings& settings, const std::string& programPath,
                                  const std::string& desktopFolder = UserDesktopFolder());

}  // namespace brimtal
