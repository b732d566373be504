// A program for RunIsolated's tests: its first argument says what its work
// does (fills the buffer with the input's first byte, refuses, crashes,
// loops, throws, takes too much memory, closes its answer pipe and then
// hangs, or leaves a process behind). Started as the metafile helper, it
// takes forever over every file, as a slow file makes the real one do, or,
// as MD_PROBE_METAFILE says, crashes on it ("crash"), answers a white pixel
// and the SVG document that follows "svg:", or refuses it (any other text,
// its reason).
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/imaging/isolate.h"

// Under the address sanitizer the crash it is told to make ends it on a
// signal too: the sanitizer aborts after its report instead of exiting.
extern "C" const char* __asan_default_options() { return "abort_on_error=1"; }

namespace {

// Writes to its standard output, then starts a process that sleeps holding
// every descriptor it got but as `how` says, and has it append its pid to
// the file `pids`; then answers, ends without an answer or hangs, as `then`
// says.
std::string Leave(const std::string& how, const std::string& then, const std::string& pids) {
  bool written = ::write(1, "out\n", 4) == 4;
  int ready[2];
  if (!written || ::pipe(ready) != 0) return "cannot start";
  if (::fork() == 0) {
    if (how == "a session of its own" || how == "a double fork") ::setsid();
    if (how == "a process group of its own") ::setpgid(0, 0);
    if (how == "no answer pipe") ::close(4);
    if (how == "a double fork" && ::fork() != 0) ::_exit(0);
    if (std::FILE* f = std::fopen(pids.c_str(), "a")) {
      std::fprintf(f, "%d\n", static_cast<int>(::getpid()));
      std::fclose(f);
    }
    written = ::write(ready[1], "", 1) == 1;
    for (;;) ::pause();
  }
  char byte;
  if (::read(ready[0], &byte, 1) != 1) return "the process did not start";
  if (then == "end") ::_exit(0);
  if (then == "hang")
    for (;;) ::pause();
  return "";
}

}  // namespace

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
    if (asked != nullptr && std::strncmp(asked, "svg:", 4) == 0 && r.args.size() == 3) {
      // A white pixel, and the SVG after it as the metafile helper answers.
      const std::size_t svg = std::strlen(asked + 4), pixels = std::stoull(r.args[1]);
      if (r.bytes < 64 + pixels * 4 + svg) return std::string("too small a buffer");
      const std::int32_t header[4] = {1, 1, 300000, static_cast<std::int32_t>(svg)};
      std::memcpy(r.buffer, header, sizeof header);
      auto* bytes = static_cast<char*>(r.buffer);
      std::memset(bytes + 64, 0xFF, 4);
      std::memcpy(bytes + 64 + pixels * 4, asked + 4, svg);
      return std::string();
    }
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
    if (what == "leave" && r.args.size() == 4) return Leave(r.args[1], r.args[2], r.args[3]);
    if (what == "throw") throw std::runtime_error("no luck");
    if (what == "alloc") {
      std::vector<char> v(std::size_t{1} << 30, 1);
      return std::string(v.back() == 1 ? "kept" : "");
    }
    return what;
  });
}
