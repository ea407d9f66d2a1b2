// Listing folders and places for the directory picker.
#include "shell/DirectoryList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "shell/VbText.h"

namespace brimtal {

namespace fs = std::filesystem;

namespace {

// Mount tables write blanks and the like in octal: "\040".
std::string UnescapeMountPath(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool octal = text[i] == '\\' && i + 3 < text.size() &&
                       std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                   text.begin() + static_cast<std::ptrdiff_t>(i) + 4,
                                   [](char c) { return c >= '0' && c <= '7'; });
    if (octal) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsUnder(const std::string& path, const std::string& root) {
  if (root == "/") return path.starts_with('/');
  return path == root || (path.starts_with(root) && path[root.size()] == '/');
}

}  // namespace

std::optional<std::vector<DirListEntry>> ListDirectory(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !fs::is_directory(path, ec)) return std::nullopt;
  const fs::path folder = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) return std::nullopt;
  std::vector<DirListEntry> entries;
  fs::path walked;
  int depth = 0;
  for (const auto& part : folder) {
    walked /= part;
    if (part.empty()) continue;
    entries.push_back({walked.string(), part.string(), depth++, true});
  }
  std::vector<DirListEntry> children;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.starts_with('.') || !it->is_directory(typeError)) continue;
    children.push_back({it->path().string(), name, depth, false});
  }
  std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
    return vbtext::ToLower(a.name) < vbtext::ToLower(b.name);
  });
  entries.insert(entries.end(), children.begin(), children.end());
  return entries;
}

std::vector<DriveEntry> ListDrives(const std::string& home, const std::string& mountsTable) {
  std::vector<DriveEntry> drives{{"/ (File System)", "/"}};
  if (!home.empty() && home != "/") drives.push_back({home + " (Home)", home});
  std::istringstream lines(mountsTable);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device;
    std::string mountPoint;
    if (!(fields >> device >> mountPoint)) continue;
    mountPoint = UnescapeMountPath(mountPoint);
    const bool media = IsUnder(mountPoint, "/media") || IsUnder(mountPoint, "/mnt") ||
                       IsUnder(mountPoint, "/run/media");
    if (!media || mountPoint == "/media" || mountPoint == "/mnt") continue;
    const bool known = std::any_of(drives.begin(), drives.end(),
                                   [&](const DriveEntry& d) { return d.root == mountPoint; });
    if (!known) {
      drives.push_back(
          {mountPoint + " (" + fs::path(mountPoint).filename().string() + ")", mountPoint});
    }
  }
  return drives;
}

std::vector<DriveEntry> SystemDrives() {
  const char* home = std::getenv("HOME");
  std::ifstream mounts("/proc/mounts");
  const std::string table((std::istreambuf_iterator<char>(mounts)),
                          std::istreambuf_iterator<char>());
  return ListDrives(home != nullptr ? home : "", table);
}

std::size_t DriveOfPath(const std::vector<DriveEntry>& drives, const std::string& path) {
  std::size_t best = 0;
  std::size_t bestLength = 0;
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const std::string& root = drives[i].root;
    if (IsUnder(path, root) && root.size() > bestLength) {
      best = i;
      bestLength = root.size();
    }
  }
  return best;
}

}  // namespace brimtal
