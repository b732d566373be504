// Console output of a benchmark program plus the CPU time per iteration of
// each benchmark (CPU time: wall time swings with whatever else the machine
// runs), so that the program can print the ratio of two of its benchmarks at
// the end. Under --benchmark_repetitions the time is the median of the
// repetitions (the mean of the runs seen when no median is reported).
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(OutputOptions options = OO_Defaults) : ConsoleReporter(options) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.error_occurred || r.iterations <= 0) continue;
      if (r.run_type == Run::RT_Aggregate) {
        if (r.aggregate_name == "median")
          median_[r.run_name.str()] = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        continue;
      }
      Mean& m = perIteration_[r.benchmark_name()];
      m.sum += r.cpu_accumulated_time / static_cast<double>(r.iterations);
      ++m.count;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // CPU seconds per iteration of the benchmark named `name` (or of the one
  // whose name continues `name` with "/..."; the last in name order when
  // several do): the median of its repetitions, else the mean of its runs;
  // 0 when none ran.
  double PerIteration(const std::string& name) const {
    double t = 0;
    for (const auto& [run, median] : median_)
      if (run == name || run.rfind(name + "/", 0) == 0) t = median;
    if (t > 0) return t;
    for (const auto& [run, mean] : perIteration_)
      if (run == name || run.rfind(name + "/", 0) == 0) t = mean.sum / mean.count;
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
  struct Mean {
    double sum = 0;
    int count = 0;
  };
  std::map<std::string, Mean> perIteration_;
  std::map<std::string, double> median_;
};

// Runs the registered benchmarks with the reporter: a short run (the given
// minimum time) unless the command line sets --benchmark_min_time, colours
// only on a terminal so that CI logs stay plain. False on an unknown option.
inline bool RunBenchmarks(int argc, char** argv, RatioReporter** reporterOut, const char* shortMinTime) {
  std::vector<char*> args(argv, argv + argc);
  bool hasMinTime = false;
  for (int i = 1; i < argc; ++i)
    hasMinTime = hasMinTime || std::strncmp(argv[i], "--benchmark_min_time", 20) == 0;
  std::string shortRun = std::string("--benchmark_min_time=") + shortMinTime;
  if (!hasMinTime) args.insert(args.begin() + 1, shortRun.data());
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());
  if (benchmark::ReportUnrecognizedArguments(n, args.data())) return false;
  static RatioReporter reporter(isatty(STDOUT_FILENO) ? RatioReporter::OO_Defaults
                                                      : RatioReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  *reporterOut = &reporter;
  return true;
}

// The main of a program that compares two of its benchmarks: runs them all
// (a short run unless --benchmark_min_time is given), then prints the ratio
// of the two.
inline int RunBenchmarksWithRatio(int argc, char** argv, const std::string& numerator,
                                  const std::string& denominator, const char* label, double target) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  reporter->PrintRatio(numerator, denominator, label, target);
  return 0;
}
