// Gathering the platform's details for the About box.
#include <gtest/gtest.h>

#include "shell/SystemInfo.h"
#include "support/TestFiles.h"

namespace brimtal {
namespace {

std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<SystemInfoItem>& items) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& item : items) pairs.emplace_back(item.name, item.value);
  return pairs;
}

SystemInfoSources Fixture(const std::string& osRelease = "os-release") {
  SystemInfoSources sources;
  sources.osReleasePath = test::DataFile("shell/sysinfo/" + osRelease);
  sources.cpuInfoPath = test::DataFile("shell/sysinfo/cpuinfo");
  sources.memInfoPath = test::DataFile("shell/sysinfo/meminfo");
  sources.kernel = [] { return KernelInfo{"Linux", "6.1.0-13-amd64", "x86_64"}; };
  return sources;
}

TEST(SystemInfo, ReadsEveryDetailInOrder) {
  EXPECT_EQ(Pairs(GatherSystemInfo(Fixture())),
            (std::vector<std::pair<std::string, std::string>>{
                {"Operating system", "Debian GNU/Linux 12 (bookworm)"},
                {"Kernel", "Linux 6.1.0-13-amd64"},
                {"Machine", "x86_64"},
                {"Processor", "Intel(R) Core(TM) i5-8365U CPU @ 1.60GHz, 2 logical processors"},
                {"Total memory", "15.5 GB"},
                {"Available memory", "7.8 GB"},
            }));
}

TEST(SystemInfo, DistributionFallsBackToNameAndVersionWithQuotesRemoved) {
  const auto items = GatherSystemInfo(Fixture("os-release-noname"));
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0].value, "Lab \"Linux\" 3.1");
}

TEST(SystemInfo, WhatCannotBeReadIsLeftOut) {
  SystemInfoSources sources = Fixture();
  sources.cpuInfoPath = "/nonexistent/cpuinfo";
  sources.kernel = [] { return std::optional<KernelInfo>{}; };
  const auto items = Pairs(GatherSystemInfo(sources));
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].first, "Operating system");
  EXPECT_EQ(items[1].first, "Total memory");

  SystemInfoSources nothing;
  nothing.osReleasePath = nothing.cpuInfoPath = nothing.memInfoPath = "/nonexistent/x";
  nothing.kernel = [] { return std::optional<KernelInfo>{}; };
  EXPECT_TRUE(GatherSystemInfo(nothing).empty());
}

TEST(SystemInfo, TheRunningSystemGivesAKernel) {
  const auto kernel = RunningKernel();
  ASSERT_TRUE(kernel.has_value());
  EXPECT_FALSE(kernel->sysname.empty());
  EXPECT_FALSE(kernel->release.empty());
}

}  // namespace
}  // namespace brimtal
