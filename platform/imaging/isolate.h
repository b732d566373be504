// Running a library that may crash or loop on a damaged file in a child
// process, with a time and a memory limit, and taking back what it drew.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace md::imaging::detail {

struct IsolationLimits {
  // Wall-clock time the child may take.
  int milliseconds = 10000;
  // Address space the child may add to what it inherits.
  std::size_t extraMemory = std::size_t{1} << 30;
};

// Runs `work` in a child process over a shared buffer of `bytes` bytes
// (zeroed, its pages taken only as they are written); `work` answers "" when
// it filled the buffer, else the reason it could not. Then `collect` reads
// the buffer in this process and answers "" or the reason it refuses what it
// found. True when both answered ""; false with the reason in *error when
// either refused, or the child crashed or ran out of memory or time.
bool RunIsolated(std::size_t bytes, const std::function<std::string(void* buffer)>& work,
                 const std::function<std::string(const void* buffer)>& collect, const IsolationLimits& limits,
                 std::string* error);

}  // namespace md::imaging::detail
