// The Options menu's folders, default equipment file and desktop shortcut.
#include "shell/Options.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "shell/BmGlobals.h"
#include "shell/FileIo.h"
#include "shell/Host.h"
#include "shell/VbText.h"

#if defined(__unix__)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace brimtal {

namespace fs = std::filesystem;

std::string DirPicker::PickDir() {
  return host_.PickDirectory("Select Directory", startDir_);
}

bool ChooseSettingsDirectory(Host& host, INISettings& settings, SettingsDirectory which) {
  DirPicker picker(host);
  picker.PickDirStart(settings.GetDir(which));
  const std::string chosen = picker.PickDir();
  if (chosen.empty()) return false;
  settings.SetDir(which, chosen);
  return true;
}

bool ChooseDefaultEquipFile(Host& host, INISettings& settings) {
  const std::string current = settings.GetDefaultEquipFile();
  const bool none = current.size() < 2;
  const std::string chosen =
      PickFile(host, false, kEquipmentFilter, "Select equipment file", "",
               none ? settings.GetEquipDir() : std::string(), none ? std::string() : current);
  if (chosen.empty()) return false;
  settings.SetDefaultEquipFile(chosen);
  return true;
}

std::optional<std::string> RunForOutput(const std::vector<std::string>& argv, int timeoutMs) {
#if defined(__unix__)
  if (argv.empty()) return std::nullopt;
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  if (spawned != 0) {
    ::close(pipeEnds[0]);
    return std::nullopt;
  }
  std::string output;
  bool timedOut = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd fd{pipeEnds[0], POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[4096];
    const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(pipeEnds[0]);
  if (timedOut) ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
#else
  (void)argv;
  (void)timeoutMs;
  return std::nullopt;
#endif
}

std::string UserDesktopFolder() {
  if (const auto answer = RunForOutput({"xdg-user-dir", "DESKTOP"}, 2000)) {
    const std::string folder = vbtext::Trim(answer->substr(0, answer->find('\n')));
    if (folder.starts_with('/')) return folder;
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/Desktop";
}

std::string DesktopExecArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';  // "%%" is a literal percent sign, not a field code
    quoted += c;
  }
  return quoted + '"';
}

std::string DesktopStringValue(const std::string& text) {
  std::string value;
  for (char c : text) {
    switch (c) {
      case '\\': value += "\\\\"; break;
      case '\n': value += "\\n"; break;
      case '\r': value += "\\r"; break;
      case '\t': value += "\\t"; break;
      default: value += c;
    }
  }
  return value;
}

std::string DesktopEntryText(const std::string& name, const std::string& program,
                             const std::vector<std::string>& arguments) {
  std::string exec = DesktopExecArgument(program);
  for (const auto& argument : arguments) exec += " " + DesktopExecArgument(argument);
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=" +
         DesktopStringValue(name) +
         "\n"
         "Comment=Brimtal RF conducted immunity\n"
         "Exec=" +
         DesktopStringValue(exec) +
         "\n"
         "Terminal=false\n"
         "Categories=Science;Electronics;\n";
}

std::string DesktopFileName(const std::string& title) {
  std::string name;
  for (char c : title) {
    name += (c == '/' || static_cast<unsigned char>(c) < 0x20) ? '_' : c;
  }
  if (name.empty() || name == "." || name == "..") name = "Brimtal";
  return name + ".desktop";
}

namespace {

// A pair of double quotes around the whole text (after removing surrounding blanks) goes.
std::string WithoutEnclosingQuotes(const std::string& text) {
  const std::string trimmed = vbtext::Trim(text);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
    return trimmed.substr(1, trimmed.size() - 2);
  }
  return text;
}

}  // namespace

std::string CreateDesktopShortcut(Host& host, INISettings& settings, const std::string& programPath,
                                  const std::string& desktopFolder) {
  std::vector<std::string> arguments;
  const std::string equipFile =
      PickFile(host, false, kEquipmentFilter, "Select equipment file", "", settings.GetEquipDir());
  if (!equipFile.empty()) arguments.push_back("/e:" + equipFile);
  const std::string testFile =
      PickFile(host, false, kTestDefinitionFilter, "Select Test Definition File", "",
               settings.GetTestSetupsDir());
  if (!testFile.empty()) arguments.push_back("/t:" + testFile);

  const auto title =
      host.InputBox("Enter a descriptive title for the shortcut", "Desktop Shorcut Title", "");
  if (!title) return {};
  const std::string name = vbtext::Trim(WithoutEnclosingQuotes(*title));
  if (name.empty()) return {};
  const std::string target = WithoutEnclosingQuotes(programPath);

  const std::string path = desktopFolder + "/" + DesktopFileName(name);
  std::error_code ec;
  fs::create_directories(desktopFolder, ec);
  FileError error;
  AtomicFileWriter writer;
  bool written = writer.Open(path, error);
  if (written) {
    writer.Write(DesktopEntryText(name, target, arguments));
    written = writer.Commit(error);
  }
  if (!written) {
    ShowFileError(host, error, "Options.CreateDesktopShortcut", path);
    return {};
  }
  fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);
  return path;
}

}  // namespace brimtal
