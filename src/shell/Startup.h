// The start-up of brimtal: caption, the guard against a second running copy, the help path,
// the command line and the default equipment file. Loading the expression engine, the
// equipment file and a test definition belongs to other modules; they are called through
// hooks that the program wires.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace brimtal {

class Host;
class INISettings;
class LogFile;
struct ProgramPaths;

// Answers whether another copy of the program is already running.
class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  virtual bool AnotherInstanceRunning() = 0;
};

// Holds an exclusive lock on a file for as long as it lives; a second copy finds it taken.
// The file lies in $XDG_RUNTIME_DIR, else in a private folder /tmp/brimtal-<uid>.
class LockFileInstanceGuard final : public InstanceGuard {
 public:
  explicit LockFileInstanceGuard(std::string name, std::string folder = DefaultFolder());
  ~LockFileInstanceGuard() override;
  LockFileInstanceGuard(const LockFileInstanceGuard&) = delete;
  LockFileInstanceGuard& operator=(const LockFileInstanceGuard&) = delete;

  // Takes the lock on the first call. A lock that cannot be tried at all (no folder) does
  // not keep the program from starting.
  bool AnotherInstanceRunning() override;
  std::string LockPath() const { return folder_ + "/" + name_ + ".lock"; }

  static std::string DefaultFolder();

 private:
  std::string name_;
  std::string folder_;
  int fd_ = -1;
  bool checked_ = false;
  bool otherRunning_ = false;
};

// The window that shows the start-up's texts.
class StartupDisplay {
 public:
  virtual ~StartupDisplay() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetLabel1(const std::string& text) = 0;
};

struct CommandLineResult {
  std::string equipPath;
  std::string testPath;
  bool error = false;
};

// The arguments as the command line of one text: each quoted, separated by blanks.
std::string JoinCommandLine(const std::vector<std::string>& args);

// Reads the arguments. Each argument is a quoted piece (and is split further at any double
// quote inside it): "/e:" + path names the equipment file, "/t:" + path the test definition,
// a later one replacing an earlier one; pieces shorter than four characters are skipped; any
// other piece is an error, which ends the reading. log receives the lines to write to the log.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args,
                                   const std::function<void(const std::string&)>& log);

// What the other modules do at start-up. An empty hook is a step not wired yet: it is skipped.
struct StartupHooks {
  // Creates the expression engine with its "MathLib" object.
  std::function<void()> createScriptEngine;
  // Reads the equipment file (Equip.LoadDef): 1 when the whole file was read.
  std::function<int(const std::string& path)> loadEquipment;
  // Applies the loaded configuration to the drivers (the configuration window opened and
  // closed unseen).
  std::function<void()> applyEquipment;
  // Reads a test definition: true on success.
  std::function<bool(const std::string& path)> loadTestDefinition;
  // The calibration info file named by the loaded test definition.
  std::function<std::string()> calInfoFileOfTest;
  // Reads a calibration info file (CalInfo.LoadDef): true on success.
  std::function<bool(const std::string& path)> loadCalInfo;
  // Opens the test definition window as the main menu's "Run Conducted Immunity Test" does.
  std::function<void()> openTestDefinition;
};

struct StartupOutcome {
  bool endProgram = false;        // another copy runs: end at once
  bool commandLineError = false;  // the start-up stopped after the command line
  std::string helpFilePath;
  std::string equipPath;
  std::string testPath;
};

class Startup {
 public:
  static constexpr const char* kHelpName = "manual/brimtal";

  Startup(Host& host, INISettings& settings, LogFile& log, InstanceGuard& guard,
          const ProgramPaths& paths);

  StartupHooks hooks;

  // Runs the start-up steps in order on the main menu; args are the program's arguments
  // without the program name.
  StartupOutcome Run(StartupDisplay& display, const std::vector<std::string>& args);

  // "Brimtal 1.1"
  static std::string Caption();
  // The help path: the program directory, "/" unless it ends with one, and kHelpName.
  static std::string HelpFilePath(const std::string& programDir);

 private:
  void LoadEquipment(const std::string& path);
  void LoadTestDefinition(const std::string& path);

  Host& host_;
  INISettings& settings_;
  LogFile& log_;
  InstanceGuard& guard_;
  const ProgramPaths& paths_;
};

}  // namespace brimtal
