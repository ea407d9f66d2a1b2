// Gathering the platform's details.
#include "shell/SystemInfo.h"

#include <map>

#include "shell/FileIo.h"
#include "shell/VbText.h"

#if defined(__unix__)
#include <sys/utsname.h>
#endif

namespace brimtal {

namespace {

std::optional<std::string> ReadWhole(const std::string& path) {
  TextFileReader reader;
  FileError error;
  if (path.empty() || !reader.Open(path, error)) return std::nullopt;
  std::string content;
  std::string line;
  while (reader.ReadLine(line, error)) content += line + '\n';
  return content;
}

// "name : value" lines of /proc/cpuinfo and /proc/meminfo, in file order.
std::vector<std::pair<std::string, std::string>> ColonLines(const std::string& content) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& line : SplitLines(content)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    pairs.emplace_back(vbtext::Trim(std::string_view(line).substr(0, colon)),
                       vbtext::Trim(std::string_view(line).substr(colon + 1)));
  }
  return pairs;
}

std::optional<std::string> Distribution(const std::string& path) {
  const auto content = ReadWhole(path);
  if (!content) return std::nullopt;
  if (auto pretty = OsReleaseValue(*content, "PRETTY_NAME"); pretty && !pretty->empty()) {
    return pretty;
  }
  auto name = OsReleaseValue(*content, "NAME");
  if (!name || name->empty()) return std::nullopt;
  if (auto version = OsReleaseValue(*content, "VERSION"); version && !version->empty()) {
    return *name + " " + *version;
  }
  return name;
}

std::optional<std::string> Processor(const std::string& path) {
  const auto content = ReadWhole(path);
  if (!content) return std::nullopt;
  std::string model;
  int processors = 0;
  for (const auto& [name, value] : ColonLines(*content)) {
    if (name == "processor") ++processors;
    // "model name" on x86, "Model" or "Hardware" on ARM boards.
    if (model.empty() && (name == "model name" || name == "Model" || name == "Hardware")) {
      model = value;
    }
  }
  if (model.empty() && processors == 0) return std::nullopt;
  if (model.empty()) model = "Unknown processor";
  if (processors > 1) model += ", " + std::to_string(processors) + " logical processors";
  return model;
}

std::string GigabytesText(double kilobytes) {
  return vbtext::Format(kilobytes / (1024.0 * 1024.0), "0.0") + " GB";
}

void AddMemory(const std::string& path, std::vector<SystemInfoItem>& items) {
  const auto content = ReadWhole(path);
  if (!content) return;
  std::map<std::string, double> kilobytes;
  for (const auto& [name, value] : ColonLines(*content)) {
    if (vbtext::ToLower(value).ends_with(" kb")) kilobytes[name] = vbtext::Val(value);
  }
  if (auto total = kilobytes.find("MemTotal"); total != kilobytes.end() && total->second > 0) {
    items.push_back({"Total memory", GigabytesText(total->second)});
  }
  if (auto available = kilobytes.find("MemAvailable"); available != kilobytes.end()) {
    items.push_back({"Available memory", GigabytesText(available->second)});
  }
}

}  // namespace

std::optional<KernelInfo> RunningKernel() {
#if defined(__unix__)
  utsname name{};
  if (::uname(&name) != 0) return std::nullopt;
  return KernelInfo{name.sysname, name.release, name.machine};
#else
  return std::nullopt;
#endif
}

std::optional<std::string> OsReleaseValue(const std::string& content, const std::string& key) {
  for (const auto& line : SplitLines(content)) {
    const std::string trimmed = vbtext::Trim(line);
    if (!trimmed.starts_with(key + "=")) continue;
    std::string_view raw = std::string_view(trimmed).substr(key.size() + 1);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') &&
        raw.back() == raw.front()) {
      raw = raw.substr(1, raw.size() - 2);
    }
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\\' && i + 1 < raw.size()) ++i;  // \" \\ \$ \` stand for the character
      value += raw[i];
    }
    return value;
  }
  return std::nullopt;
}

std::vector<SystemInfoItem> GatherSystemInfo(const SystemInfoSources& sources) {
  std::vector<SystemInfoItem> items;
  if (auto distribution = Distribution(sources.osReleasePath)) {
    items.push_back({"Operating system", *distribution});
  }
  const auto kernel = sources.kernel ? sources.kernel() : RunningKernel();
  if (kernel) {
    items.push_back({"Kernel", vbtext::Trim(kernel->sysname + " " + kernel->release)});
    if (!kernel->machine.empty()) items.push_back({"Machine", kernel->machine});
  }
  if (auto processor = Processor(sources.cpuInfoPath)) items.push_back({"Processor", *processor});
  AddMemory(sources.memInfoPath, items);
  return items;
}

}  // namespace brimtal
