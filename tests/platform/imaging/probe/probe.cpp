// A program for RunIsolated's tests: its first argument says what its work
// does (fills the buffer with the input's first byte, refuses, crashes,
// loops, throws, takes too much memory, closes its answer pipe and then
// hangs, or tries a call its fence refuses and answers how it went).
// Started as the metafile helper, it takes forever over every file, as a
// slow file makes the real one do, or, as MD_PROBE_METAFILE says, crashes on
// it ("crash") or refuses it (any other text, its reason), or answers a white
// pixel and the SVG document that follows "svg:" (or, asked to paint a box,
// white pixels); after spending the milliseconds of processor time a
// "cpu:<ms>:" before that names, and sleeping those a "sleep:<ms>:" names.
#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/imaging/isolate.h"

// Under the address sanitizer too, the crash it makes ends it on a signal.
extern "C" const char* __asan_default_options() { return "abort_on_error=1"; }

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
    if (asked != nullptr && std::strncmp(asked, "cpu:", 4) == 0) {
      char* rest = nullptr;
      const long ms = std::strtol(asked + 4, &rest, 10);
      while (std::clock() < ms * (CLOCKS_PER_SEC / 1000)) {
      }
      asked = rest + 1;
    }
    if (asked != nullptr && std::strncmp(asked, "sleep:", 6) == 0) {
      char* rest = nullptr;
      const long ms = std::strtol(asked + 6, &rest, 10);
      const timespec wait{ms / 1000, ms % 1000 * 1000000L};
      ::nanosleep(&wait, nullptr);
      asked = rest + 1;
    }
    if (asked != nullptr && std::strncmp(asked, "svg:", 4) == 0 && r.args.size() > 3) {
      std::memset(static_cast<char*>(r.buffer) + 64, 0xFF, r.bytes - 64);  // a box painted white
      return std::string();
    }
    if (asked != nullptr && std::strncmp(asked, "svg:", 4) == 0) {
      const std::string svg = asked + 4;
      const int header[4] = {1, 1, 300000, static_cast<int>(svg.size())};
      std::memcpy(r.buffer, header, sizeof header);
      std::memset(static_cast<char*>(r.buffer) + 64, 0xFF, 4);
      svg.copy(static_cast<char*>(r.buffer) + 64 + std::stoull(r.args.at(1)) * 4, svg.size());
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
    if (what == "leave") {
      // Writes to its output, then starts four processes that note their pids in args[2] and
      // sleep, holding its descriptors (but the answer pipe, for "answer alone"): in its group,
      // its own session, its own group, by a double fork; then does as args[1] says.
      int ready[2];
      bool written = ::write(1, "out\n", 4) == 4;
      if (!written || ::pipe(ready) != 0) return std::string("cannot start");
      for (int kind = 0; kind < 4; ++kind) {
        if (::fork() != 0) continue;
        if (kind == 1 || kind == 3) ::setsid();
        if (kind == 2) ::setpgid(0, 0);
        if (r.args.at(1) == "answer alone") ::close(4);
        if (kind == 3 && ::fork() != 0) ::_exit(0);
        std::ofstream(r.args.at(2), std::ios::app) << ::getpid() << std::endl;
        written = ::write(ready[1], "", 1) == 1;
        for (;;) ::pause();
      }
      char byte;
      for (int kind = 0; kind < 4; ++kind)
        if (::read(ready[0], &byte, 1) != 1) return std::string("a process did not start");
      if (r.args.at(1) == "end") ::_exit(0);
      if (r.args.at(1) == "kill its warden" && ::kill(::getppid(), SIGKILL) == 0)
        return std::string("its warden was killed");
      while (r.args.at(1) == "wait") ::pause();
      return std::string();
    }
    if (what == "try") {
      const pid_t warden = ::getppid(), self = ::getpid();
      const std::string call = r.args.at(1);
      const long done = call == "kill itself"       ? ::kill(self, 0)
                        : call == "kill its warden" ? ::kill(warden, 0)
                        : call == "kill its group"  ? ::kill(0, 0)
                        : call == "signal through a pidfd"
                            ? ::syscall(SYS_pidfd_send_signal, -1, 0, nullptr, 0)
                        : call == "trace its warden" ? ::ptrace(PTRACE_PEEKDATA, warden, nullptr, nullptr)
                        : call == "own a pipe for its warden" ? ::fcntl(4, F_SETOWN, warden)
                        : call == "start a session"           ? ::setsid()
                        : call == "call as x32"               ? ::syscall(SYS_getpid | 0x40000000)
                                                              : (errno = EINVAL, -1);
      return done != -1 ? std::string("done") : "errno " + std::to_string(errno);
    }
    if (what == "throw") throw std::runtime_error("no luck");
    if (what == "alloc") {
      std::vector<char> v(std::size_t{1} << 30, 1);
      return std::string(v.back() == 1 ? "kept" : "");
    }
    return what;
  });
}
