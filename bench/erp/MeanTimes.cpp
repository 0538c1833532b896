#include "bench/erp/MeanTimes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

namespace quill::bench {

namespace {

class Reporter : public benchmark::ConsoleReporter {
 public:
  explicit Reporter(std::map<std::string, double>& means) : means_(means) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.error_occurred || run.iterations <= 0) continue;
      // Of repeated runs, the mean of the repetitions (reported after them)
      // stands for the case, under the name its single runs have; the other
      // aggregates are not times per iteration.
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "mean") means_[run.run_name.str()] = run.real_accumulated_time / run.iterations;
        continue;
      }
      means_[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
    }
    ConsoleReporter::ReportRuns(runs);
  }

 private:
  std::map<std::string, double>& means_;
};

// The mean of a benchmark whatever options its name carries.
const double* meanOf(const std::map<std::string, double>& means, const std::string& name) {
  for (const auto& [full, seconds] : means)
    if (full == name || full.rfind(name + "/", 0) == 0) return &seconds;
  return nullptr;
}

// A name without its run options ("BM_X/Server/repeats:10/real_time" is
// "BM_X/Server").
std::string caseName(const std::string& full) {
  std::string name;
  std::size_t start = 0;
  while (start <= full.size()) {
    std::size_t end = full.find('/', start);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(start, end - start);
    if (part.find(':') == std::string::npos && part != "real_time" && part != "process_time" && part != "manual_time")
      name += (name.empty() ? "" : "/") + part;
    start = end + 1;
  }
  return name;
}

}  // namespace

std::map<std::string, double> runWithMeanTimes(int* argc, char** argv, const std::string& defaultFilter) {
  std::map<std::string, double> means;
  // The repetitions of all cases run in a random order, so that a measured
  // case and its baseline share whatever else the machine is doing at the
  // time (its other users, the server's own background work); options on
  // the command line come after and win.
  static char interleaved[] = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> arguments(argv, argv + *argc);
  arguments.insert(arguments.begin() + (arguments.empty() ? 0 : 1), interleaved);
  std::string filter = "--benchmark_filter=" + defaultFilter;
  const bool filtered = std::any_of(arguments.begin(), arguments.end(), [](const char* argument) {
    return std::string_view(argument).rfind("--benchmark_filter", 0) == 0;
  });
  if (!defaultFilter.empty() && !filtered) arguments.insert(arguments.begin() + 1, filter.data());
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  Reporter reporter(means);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return means;
}

void printMeans(const std::map<std::string, double>& means) {
  std::map<std::string, double> byCase;
  for (const auto& [full, seconds] : means) byCase[caseName(full)] = seconds;
  std::printf("Mean real time per iteration:\n");
  for (const auto& [name, seconds] : byCase) {
    if (seconds < 1e-3)
      std::printf("  %-60s %10.1f us\n", name.c_str(), seconds * 1e6);
    else if (seconds < 1)
      std::printf("  %-60s %10.1f ms\n", name.c_str(), seconds * 1e3);
    else
      std::printf("  %-60s %10.2f s\n", name.c_str(), seconds);
  }
}

void printRatio(const std::map<std::string, double>& means, const std::string& measured, const std::string& baseline,
                double target) {
  const double* m = meanOf(means, measured);
  const double* b = meanOf(means, baseline);
  if (m && b && *b > 0)
    std::printf("%s / %s = %.2f (target: at most %g)%s\n", measured.c_str(), baseline.c_str(), *m / *b, target,
                *m / *b > target ? " OVER THE TARGET" : "");
  else
    std::printf("%s / %s: not measured\n", measured.c_str(), baseline.c_str());
}

}  // namespace quill::bench
