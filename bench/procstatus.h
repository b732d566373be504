// What the kernel says of this process's memory, for benchmarks that print it.
#pragma once

#include <fstream>
#include <string>

namespace md::bench {

// The kB of a line of /proc/self/status ("VmRSS", "VmHWM"); 0 when there is
// none.
inline double StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(std::string(key) + ":", 0) == 0) return std::stod(line.substr(line.find(':') + 1));
  return 0;
}

}  // namespace md::bench
