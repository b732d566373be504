// The start of a benchmark program: a short run (a smoke run) unless the
// caller asks for another minimum time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

// Initialises the benchmark library with --benchmark_min_time=0.05 added
// when the arguments give none; false when an argument is not understood.
inline bool InitializeShortRun(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  bool hasMinTime = false;
  for (int i = 1; i < argc; ++i)
    hasMinTime = hasMinTime || std::strncmp(argv[i], "--benchmark_min_time", 20) == 0;
  static char shortRun[] = "--benchmark_min_time=0.05";
  if (!hasMinTime) args.insert(args.begin() + 1, shortRun);
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());
  return !benchmark::ReportUnrecognizedArguments(n, args.data());
}
