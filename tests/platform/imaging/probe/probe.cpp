// A program for RunIsolated's tests: its first argument says what its work
// does (fills the buffer with the input's first byte, refuses, crashes,
// loops, throws, takes too much memory, or closes its answer pipe and then
// hangs). Started as the metafile helper, it takes forever over every file,
// as a slow file makes the real one do, or, as MD_PROBE_METAFILE says,
// crashes on it ("crash") or refuses it (any other text, its reason).
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
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
    const bool metafile = what == "wmf" || what == "emf";
    const char* asked = metafile ? std::getenv("MD_PROBE_METAFILE") : nullptr;
    if (asked != nullptr && std::strcmp(asked, "crash") != 0) return std::string(asked);
    if (what == "crash" || asked != nullptr) ::raise(SIGSEGV);
    if (what == "loop" || metafile)
      for (;;) ::pause();
    if (what == "close and hang") {
      // Every descriptor past the input: the buffer and the answer pipe.
      ::close_range(3, ~0U, 0);
      ::sleep(20);  // a host that waits for the end waits this long
      ::_exit(0);
    }
    if (what == "throw") throw std::runtime_error("no luck");
    if (what == "alloc") {
      std::vector<char> v(std::size_t{1} << 30, 1);
      return std::string(v.back() == 1 ? "kept" : "");
    }
    return what;
  });
}
