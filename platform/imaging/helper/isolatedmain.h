// The main of a program an isolated run (platform/imaging/isolate.h) starts,
// in the program's own process: it maps the input and the buffer the run
// handed it (protocol/run.h), runs the work and sends back its answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace md::imaging::detail {

// What the program's work gets: its arguments, the input and the buffer.
struct IsolatedRequest {
  std::vector<std::string> args;
  const std::uint8_t* input = nullptr;
  std::size_t inputBytes = 0;
  void* buffer = nullptr;
  std::size_t bytes = 0;
  // The address space left to the work once the input and the buffer are
  // mapped: what its extra memory leaves, or less where the limit the
  // program inherited is lower (SIZE_MAX where no limit is known).
  std::size_t room = SIZE_MAX;
};

// Lowers its address space's limit to what it holds and its extra memory
// first (never above the hard limit it inherited), maps the input and the buffer, runs `work` and sends back
// its answer (an exception is answered as "failed: <what>"). Returns only when it was not started by an
// isolated run (the exit status then).
int IsolatedMain(int argc, char** argv, const std::function<std::string(const IsolatedRequest&)>& work);

}  // namespace md::imaging::detail
