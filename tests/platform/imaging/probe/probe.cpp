// A program for RunIsolated's tests: its first argument says what its work
// does (fills the buffer with the input's first byte, refuses, crashes,
// loops, throws or takes too much memory).
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/imaging/isolate.h"

int main(int argc, char** argv) {
  return md::imaging::detail::IsolatedMain(argc, argv, [](const md::imaging::detail::IsolatedRequest& r) {
    const std::string what = r.args.empty() ? "" : r.args[0];
    if (what == "fill") {
      if (r.inputBytes == 0) return std::string("no input");
      std::memset(r.buffer, r.input[0], r.bytes);
      return std::string();
    }
    if (what == "crash") ::raise(SIGSEGV);
    if (what == "loop")
      for (;;) ::pause();
    if (what == "throw") throw std::runtime_error("no luck");
    if (what == "alloc") {
      std::vector<char> v(std::size_t{1} << 30, 1);
      return std::string(v.back() == 1 ? "kept" : "");
    }
    return what;
  });
}
