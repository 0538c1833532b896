#include "bench/erp/MeanTimes.h"

#include <benchmark/benchmark.h>

#include <cstdio>

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

}  // namespace

std::map<std::string, double> runWithMeanTimes(int* argc, char** argv) {
  std::map<std::string, double> means;
  benchmark::Initialize(argc, argv);
  Reporter reporter(means);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return means;
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
