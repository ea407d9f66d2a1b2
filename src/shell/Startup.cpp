// The start-up steps and the second-copy guard.
#include "shell/Startup.h"

#include <cerrno>
#include <cstdlib>

#include "Version.h"
#include "shell/Host.h"
#include "shell/LogFile.h"
#include "shell/Settings.h"

#if defined(__unix__)
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brimtal {

LockFileInstanceGuard::LockFileInstanceGuard(std::string name, std::string folder)
    : name_(std::move(name)), folder_(std::move(folder)) {}

LockFileInstanceGuard::~LockFileInstanceGuard() {
#if defined(__unix__)
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
#endif
}

std::string LockFileInstanceGuard::DefaultFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/') return runtime;
#if defined(__unix__)
  return "/tmp/brimtal-" + std::to_string(::getuid());
#else
  return ".";
#endif
}

bool LockFileInstanceGuard::AnotherInstanceRunning() {
  if (checked_) return otherRunning_;
  checked_ = true;
#if defined(__unix__)
  // A shared /tmp folder must be our own private one, never a link someone else planted.
  if (::mkdir(folder_.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (::lstat(folder_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
    return false;
  }
  fd_ = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return false;
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    otherRunning_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
  }
#endif
  return otherRunning_;
}

std::string JoinCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const auto& arg : args) {
    if (!line.empty()) line += ' ';
    line += '"' + arg + '"';
  }
  return line;
}

CommandLineResult ParseCommandLine(const std::vector<std::string>& args,
                                   const std::function<void(const std::string&)>& log) {
  CommandLineResult result;
  for (const auto& arg : args) {
    std::size_t start = 0;
    while (start <= arg.size()) {
      const std::size_t quote = arg.find('"', start);
      const std::string piece =
          arg.substr(start, quote == std::string::npos ? std::string::npos : quote - start);
      if (piece.starts_with("/e:")) {
        result.equipPath = piece.substr(3);
        log("equip file loaded from command line");
      } else if (piece.starts_with("/t:")) {
        result.testPath = piece.substr(3);
        log("test file loaded from command line");
      } else if (piece.size() >= 4) {
        result.error = true;
        return result;
      }
      if (quote == std::string::npos) break;
      start = quote + 1;
    }
  }
  return result;
}

Startup::Startup(Host& host, INISettings& settings, LogFile& log, InstanceGuard& guard,
                 const ProgramPaths& paths)
    : host_(host), settings_(settings), log_(log), guard_(guard), paths_(paths) {}

std::string Startup::Caption() {
  return "Brimtal " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::string Startup::HelpFilePath(const std::string& programDir) {
  return programDir + (programDir.ends_with('/') ? "" : "/") + kHelpName;
}

StartupOutcome Startup::Run(StartupDisplay& display, const std::vector<std::string>& args) {
  StartupOutcome outcome;
  display.SetCaption(Caption());
  display.SetLabel1(Caption() + "\r\nConducted RF Immunity");

  if (guard_.AnotherInstanceRunning()) {
    host_.MsgBox("This application is already running on this computer");
    outcome.endProgram = true;
    return outcome;
  }

  outcome.helpFilePath = HelpFilePath(paths_.programDir);

  if (hooks.createScriptEngine) hooks.createScriptEngine();

  if (!args.empty()) {
    const CommandLineResult line =
        ParseCommandLine(args, [this](const std::string& entry) { log_.WriteLog(entry); });
    if (line.error) {
      host_.MsgBox("Command line error, (" + JoinCommandLine(args) + ")");
      outcome.commandLineError = true;
      return outcome;
    }
    outcome.equipPath = line.equipPath;
    outcome.testPath = line.testPath;
  }

  if (outcome.equipPath.empty()) {
    outcome.equipPath = settings_.GetDefaultEquipFile();
    log_.WriteLog("default equipment file loaded");
  }

  if (!outcome.equipPath.empty()) LoadEquipment(outcome.equipPath);
  if (!outcome.testPath.empty()) LoadTestDefinition(outcome.testPath);
  return outcome;
}

void Startup::LoadEquipment(const std::string& path) {
  if (!hooks.loadEquipment) return;
  if (hooks.loadEquipment(path) == 1) {
    if (hooks.applyEquipment) hooks.applyEquipment();
  } else {
    host_.MsgBox("Error loading equipment file " + path);
  }
}

void Startup::LoadTestDefinition(const std::string& path) {
  if (!hooks.loadTestDefinition) return;
  if (!hooks.loadTestDefinition(path)) {
    host_.MsgBox("Error loading test setup file: " + path);
    return;
  }
  const std::string calInfo = hooks.calInfoFileOfTest ? hooks.calInfoFileOfTest() : std::string();
  if (hooks.loadCalInfo && hooks.loadCalInfo(calInfo)) {
    if (hooks.openTestDefinition) hooks.openTestDefinition();
  } else if (hooks.loadCalInfo) {
    host_.MsgBox("Error loading calinfo file: " + calInfo);
  }
}

}  // namespace brimtal
