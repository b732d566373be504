// Console output of a benchmark program plus the CPU time per iteration of
// each run (CPU time: wall time swings with whatever else the machine runs),
// so that the program can print the ratio of two of its benchmarks at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(OutputOptions options = OO_Defaults) : ConsoleReporter(options) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0)
        perIteration_[r.benchmark_name()] = r.cpu_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }

  // CPU time per iteration of the last run (in name order) whose name starts
  // with `prefix`; 0 when none ran.
  double PerIteration(const std::string& prefix) const {
    double t = 0;
    for (const auto& [name, perIteration] : perIteration_)
      if (name.rfind(prefix, 0) == 0) t = perIteration;
    return t;
  }

  // Prints "<label> = <ratio> (target: at most <target>)" of the two
  // benchmarks when both ran.
  void PrintRatio(const std::string& numerator, const std::string& denominator, const char* label,
                  double target) const {
    const double a = PerIteration(numerator), b = PerIteration(denominator);
    if (a > 0 && b > 0) std::printf("%s = %.2f (target: at most %.2f)\n", label, a / b, target);
  }

 private:
  std::map<std::string, double> perIteration_;
};

// The main of a program that compares two of its benchmarks: runs them all
// with the ratio reporter, then prints the ratio of the two.
inline int RunBenchmarksWithRatio(int argc, char** argv, const std::string& numerator,
                                  const std::string& denominator, const char* label, double target) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintRatio(numerator, denominator, label, target);
  return 0;
}
