// What the directory picker lists: the places to start from (the file system, the home
// folder, mounted media) and, for a folder, its ancestors and its subfolders.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brimtal {

struct DirListEntry {
  std::string path;
  std::string name;   // the last part of the path ("/" for the root)
  int depth = 0;      // 0 for the root
  bool open = false;  // an ancestor or the folder itself, rather than a subfolder
};

// The folder's ancestors from the root down, the folder itself, then its subfolders sorted
// without regard to letter case (hidden ones left out). Nothing when the folder does not exist.
std::optional<std::vector<DirListEntry>> ListDirectory(const std::string& path);

struct DriveEntry {
  std::string label;
  std::string root;
};

// "/" and the home folder first, then mount points of removable and added media (under
// /media, /mnt and /run/media) from the text of a mounts table ("/proc/mounts" format).
std::vector<DriveEntry> ListDrives(const std::string& home, const std::string& mountsTable);
// The drives of this system.
std::vector<DriveEntry> SystemDrives();
// The drive whose root is the longest leading part of the path; 0 ("/") for anything else.
std::size_t DriveOfPath(const std::vector<DriveEntry>& drives, const std::string& path);

}  // namespace brimtal
