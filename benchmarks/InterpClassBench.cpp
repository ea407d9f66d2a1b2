// Factor tables: the cost of one interpolation in a rising sweep, against the table's size,
// and the cost of reading a large factor file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "factors/InterpClass.h"
#include "shell/ScriptedHost.h"

namespace brimtal {
namespace {

constexpr long kSweepCalls = 1'000'000;

// A factor file in a fresh temporary folder, removed when the benchmark ends.
class FactorFile {
 public:
  FactorFile(const std::string& name, const std::vector<int>& order) {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / ("brimtal-bench-" + std::to_string(random()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / name).string();
    std::ofstream out(path_, std::ios::binary);
    out << "Generated factor table\r\nMHz, dB\r\n";
    for (int i : order) out << (1 + i * 0.5) << ", " << ((i * 7) % 13) * 0.25 << "\r\n";
  }
  ~FactorFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& Path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

std::vector<int> Ascending(int count) {
  std::vector<int> order(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i;
  return order;
}

// One iteration is a sweep of a million rising frequencies over the whole table; the counter
// time_per_call is the time of one InterpVal call.
void BM_RisingSweep(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  FactorFile file("sweep.fac", Ascending(points));
  ScriptedHost host;
  InterpClass table(host);
  if (table.InitInterp(file.Path()) != 1) {
    state.SkipWithError("the factor file did not load");
    return;
  }
  const double low = table.MinFreq();
  const double step = (table.MaxFreq() - low) / kSweepCalls;
  for (auto _ : state) {
    float sum = 0;
    float value = 0;
    for (long i = 0; i < kSweepCalls; ++i) {
      table.InterpVal(low + i * step, value, kInterpLogarithmic, kStepHigherValue);
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["time_per_call"] = benchmark::Counter(
      static_cast<double>(kSweepCalls),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RisingSweep)->Arg(100)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_InitInterp(benchmark::State& state, bool shuffled) {
  std::vector<int> order = Ascending(static_cast<int>(state.range(0)));
  if (shuffled) std::shuffle(order.begin(), order.end(), std::mt19937(5));
  FactorFile file("large.fac", order);
  ScriptedHost host;
  InterpClass table(host);
  for (auto _ : state) {
    if (table.InitInterp(file.Path()) != 1) state.SkipWithError("the factor file did not load");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_CAPTURE(BM_InitInterp, ascending, false)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InitInterp, shuffled, true)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimtal
