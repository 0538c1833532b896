#pragma once

#include <map>
#include <string>

namespace quill::bench {

// Runs the benchmarks given on the command line (all by default) with the
// console's report and answers each one's mean real time per iteration,
// in seconds, by its full name ("BM_X_Large/iterations:5/real_time").
std::map<std::string, double> runWithMeanTimes(int* argc, char** argv);

// Prints "<measured> / <baseline> = ratio (target: at most <target>)" when
// both ran, the names without their run options.
void printRatio(const std::map<std::string, double>& means, const std::string& measured, const std::string& baseline,
                double target);

}  // namespace quill::bench
