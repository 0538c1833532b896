#pragma once

#include <map>
#include <string>

namespace quill::bench {

// Runs the benchmarks given on the command line (all by default) with the
// console's report and answers each one's mean real time per iteration,
// in seconds, by its full name ("BM_X_Large/iterations:5/real_time"); of a
// repeated one, the mean of its repetitions, which run interleaved at random
// with the other cases' repetitions.
// `defaultFilter` chooses the cases when the command line names none.
std::map<std::string, double> runWithMeanTimes(int* argc, char** argv, const std::string& defaultFilter = {});

// Prints every case's mean, the names without their run options and in
// order, so that a case's variants ("BM_X/Embedded", "BM_X/Server",
// "BM_X_BareOdbc") stand together whatever order they ran in.
void printMeans(const std::map<std::string, double>& means);

// Prints "<measured> / <baseline> = ratio (target: at most <target>)" when
// both ran, the names without their run options.
void printRatio(const std::map<std::string, double>& means, const std::string& measured, const std::string& baseline,
                double target);

}  // namespace quill::bench
