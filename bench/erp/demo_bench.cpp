#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "bench/erp/BenchCompany.h"
#include "erp/DemoCompany.h"

namespace {

namespace fs = std::filesystem;
using namespace quill::erp;

fs::path scratchFolder(const char* purpose) {
  auto folder = fs::temp_directory_path() / fmt::format("quill-bench-{}-{}", purpose, static_cast<long>(::getpid()));
  fs::remove_all(folder);
  return folder;
}

void generate(benchmark::State& state, DemoSize size, const char* purpose, double targetSeconds) {
  auto folder = scratchFolder(purpose);
  DemoOptions options;
  options.size = size;
  double seconds = 0;
  for (auto _ : state) {
    auto started = std::chrono::steady_clock::now();
    auto company = DemoCompany::create(folder, options);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    benchmark::DoNotOptimize(company);
  }
  if (auto info = DemoCompany::readInfo(folder / "dados" / (options.effectiveDatabaseName() + ".db"))) {
    state.counters["articles"] = info->articles;
    state.counters["clients"] = info->clients;
    state.counters["lines"] = info->documentLines;
  }
  fs::remove_all(folder);
  state.counters["target_s"] = targetSeconds;
  if (size == DemoSize::Large)
    fmt::print(stderr, "large company generated in {:.2f} s (target under {:.0f} s)\n", seconds, targetSeconds);
}

// The benchmark company: 100,000 articles, 20,000 clients, 1,000,000 lines.
void BM_GenerateCompany_Large(benchmark::State& state) { generate(state, DemoSize::Large, "generate-large", 90); }
BENCHMARK(BM_GenerateCompany_Large)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_GenerateCompany_Demo(benchmark::State& state) { generate(state, DemoSize::Demo, "generate-demo", 1); }
BENCHMARK(BM_GenerateCompany_Demo)->Unit(benchmark::kMillisecond)->UseRealTime();

// What every later benchmark pays to find the large company again.
void BM_EnsureCompany_LargeReused(benchmark::State& state) {
  const auto& company = quill::bench::largeCompany();
  DemoOptions options;
  options.size = DemoSize::Large;
  for (auto _ : state) {
    bool reused = false;
    DemoCompany::ensure(company.erpFolder, options, &reused);
    if (!reused) state.SkipWithError("the large company was generated again");
  }
}
BENCHMARK(BM_EnsureCompany_LargeReused)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
