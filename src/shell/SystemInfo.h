// What the About box's "System Info..." shows: the platform's details, read from the system's
// own files and from uname.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brimtal {

struct SystemInfoItem {
  std::string name;
  std::string value;
};

struct KernelInfo {
  std::string sysname;  // "Linux"
  std::string release;  // "6.1.0-13-amd64"
  std::string machine;  // "x86_64"
};

// Where the details come from; tests point the paths at fixture files.
struct SystemInfoSources {
  std::string osReleasePath = "/etc/os-release";
  std::string cpuInfoPath = "/proc/cpuinfo";
  std::string memInfoPath = "/proc/meminfo";
  std::function<std::optional<KernelInfo>()> kernel;  // empty: the running kernel (uname)
};

std::optional<KernelInfo> RunningKernel();

// The details that could be read, in a fixed order: distribution, kernel, machine, processor,
// memory. Empty when nothing could be read.
std::vector<SystemInfoItem> GatherSystemInfo(const SystemInfoSources& sources = {});

// The value of a KEY=value line of an os-release file, with its quotes and escapes removed.
std::optional<std::string> OsReleaseValue(const std::string& content, const std::string& key);

}  // namespace brimtal
