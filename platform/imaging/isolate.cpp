// The child runs the work over a shared anonymous mapping and writes its
// answer ("" or a reason) to a pipe; the parent waits for the pipe to close
// or the time to pass, and then for the child.
#include "platform/imaging/isolate.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace md::imaging::detail {
namespace {

long long NowMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The address space the process holds now, from /proc/self/statm (pages).
std::size_t AddressSpace() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  unsigned long pages = 0;
  const int got = std::fscanf(f, "%lu", &pages);
  std::fclose(f);
  return got == 1 ? pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

[[noreturn]] void Child(int fd, void* buffer, const std::function<std::string(void*)>& work,
                        const IsolationLimits& limits) {
  // Libraries' complaints about a damaged file are not the host's output.
  const int null = ::open("/dev/null", O_WRONLY);
  if (null >= 0) ::dup2(null, 2);
  // What the child holds already (a sanitizer's reserved shadow included)
  // and the extra allowed; an allocation past it fails.
  const std::size_t have = AddressSpace();
  if (have != 0) {
    const rlimit as{have + limits.extraMemory, have + limits.extraMemory};
    ::setrlimit(RLIMIT_AS, &as);
  }
  const rlim_t seconds = static_cast<rlim_t>(limits.milliseconds / 1000 + 2);
  const rlimit cpu{seconds, seconds};
  ::setrlimit(RLIMIT_CPU, &cpu);
  std::string answer;
  try {
    answer = work(buffer);
  } catch (const std::exception& e) {
    answer = std::string("failed: ") + e.what();
  } catch (...) {
    answer = "failed";
  }
  answer.insert(answer.begin(), 'A');  // the pipe carries at least one byte
  const char* p = answer.data();
  std::size_t left = answer.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n <= 0) break;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  ::_exit(0);
}

}  // namespace

bool RunIsolated(std::size_t bytes, const std::function<std::string(void* buffer)>& work,
                 const std::function<std::string(const void* buffer)>& collect, const IsolationLimits& limits,
                 std::string* error) {
  const std::size_t mapped = bytes == 0 ? 1 : bytes;
  void* buffer = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (buffer == MAP_FAILED) {
    *error = std::string("no memory for the drawing: ") + std::strerror(errno);
    return false;
  }
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    ::munmap(buffer, mapped);
    *error = std::string("cannot start the renderer: ") + std::strerror(errno);
    return false;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    Child(fds[1], buffer, work, limits);
  }
  ::close(fds[1]);
  if (pid < 0) {
    ::close(fds[0]);
    ::munmap(buffer, mapped);
    *error = std::string("cannot start the renderer: ") + std::strerror(errno);
    return false;
  }

  std::string answer;
  bool timedOut = false;
  const long long deadline = NowMs() + limits.milliseconds;
  for (;;) {
    const long long left = deadline - NowMs();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int r = ::poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      timedOut = r == 0;
      break;
    }
    char chunk[512];
    const ssize_t n = ::read(fds[0], chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (answer.size() < 4096) answer.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  if (timedOut) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }

  bool ok = false;
  if (timedOut) {
    *error = "drawing took longer than " + std::to_string(limits.milliseconds / 1000.0).substr(0, 4) + " s";
  } else if (WIFSIGNALED(status)) {
    *error = WTERMSIG(status) == SIGXCPU
                 ? std::string("drawing took too long")
                 : "the renderer stopped on signal " + std::to_string(WTERMSIG(status));
  } else if (answer.empty() || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *error = "the renderer stopped without an answer";
  } else if (answer.size() > 1) {
    *error = answer.substr(1);
  } else {
    *error = collect(buffer);
    ok = error->empty();
  }
  ::munmap(buffer, mapped);
  return ok;
}

}  // namespace md::imaging::detail
