#include "platform/imaging/helper/isolatedmain.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "platform/files/errortext.h"
#include "platform/imaging/protocol/run.h"

namespace md::imaging::detail {
namespace {

// The address space the process holds now, from /proc/self/statm (pages).
std::size_t AddressSpace() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  unsigned long pages = 0;
  const int got = std::fscanf(f, "%lu", &pages);
  std::fclose(f);
  return got == 1 ? pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string Errno(const char* what) { return std::string(what) + ": " + md::files::ErrorText(errno); }

}  // namespace

int IsolatedMain(int argc, char** argv, const std::function<std::string(const IsolatedRequest&)>& work) {
  if (argc < 4 || std::strcmp(argv[1], kIsolatedFlag) != 0) {
    std::fprintf(stderr, "%s: started by the library that uses it, not by hand\n", argc > 0 ? argv[0] : "");
    return 2;
  }
  // What the program holds already (a sanitizer's reserved shadow included)
  // and the extra allowed, within the bound the warden set before the start
  // (which under a sanitizer is none); an allocation past it fails. Its
  // processor time is the warden's to watch.
  const unsigned long long extra = std::strtoull(argv[3], nullptr, 10);
  const std::size_t have = AddressSpace();
  rlimit held{};
  const bool limited = ::getrlimit(RLIMIT_AS, &held) == 0 && held.rlim_max != RLIM_INFINITY;
  if (have != 0) {
    const rlim_t bound = std::min<rlim_t>(have + extra, limited ? held.rlim_max : RLIM_INFINITY);
    const rlimit as{bound, bound};
    ::setrlimit(RLIMIT_AS, &as);
  }

  IsolatedRequest request;
  request.args.assign(argv + 4, argv + argc);
  std::string answer;
  struct stat in {
  }, out{};
  if (::fstat(kInputFd, &in) != 0 || ::fstat(kBufferFd, &out) != 0 || out.st_size <= 0) {
    answer = "the renderer was given no buffer";
  } else {
    request.inputBytes = static_cast<std::size_t>(in.st_size);
    request.bytes = static_cast<std::size_t>(out.st_size);
    void* inMap = request.inputBytes == 0
                      ? nullptr
                      : ::mmap(nullptr, request.inputBytes, PROT_READ, MAP_PRIVATE, kInputFd, 0);
    void* outMap = ::mmap(nullptr, request.bytes, PROT_READ | PROT_WRITE, MAP_SHARED, kBufferFd, 0);
    if (inMap == MAP_FAILED || outMap == MAP_FAILED) {
      answer = Errno("the renderer cannot map its files");
    } else {
      request.input = static_cast<const std::uint8_t*>(inMap);
      request.buffer = outMap;
      rlimit now{};
      const std::size_t used = AddressSpace();
      if (used != 0 && ::getrlimit(RLIMIT_AS, &now) == 0 && now.rlim_cur != RLIM_INFINITY)
        request.room = now.rlim_cur > used ? static_cast<std::size_t>(now.rlim_cur - used) : 0;
      try {
        answer = work(request);
      } catch (const std::exception& e) {
        answer = std::string("failed: ") + e.what();
      } catch (...) {
        answer = "failed";
      }
    }
  }
  answer.insert(answer.begin(), 'A');  // the pipe carries at least one byte
  WriteAll(kAnswerFd, answer.data(), answer.size());
  // No exit handlers: libraries' teardown after a damaged file is no concern.
  ::_exit(0);
}

}  // namespace md::imaging::detail
