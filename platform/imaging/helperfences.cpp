#include "platform/imaging/helperfences.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "platform/files/errortext.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/protocol/fences.h"

namespace md::imaging {
namespace {

std::atomic<UnfencedHook> g_hook{nullptr};

}  // namespace

UnfencedHook SetUnfencedHook(UnfencedHook hook) { return g_hook.exchange(hook); }

namespace {

// Asks the warden which fences a program gets here, `without` left out; -1
// when it could not be asked or a passing failure kept it from learning them,
// with *why saying what kept it.
int AskWarden(int without, std::string* why) {
  std::string warden = detail::ProgramBesideLibrary("mapdeck-warden");
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::string flag = "--fences", left = std::to_string(without),
              pretended = std::to_string(detail::WardenProbeFailure());
  char* argv[] = {warden.data(), flag.data(), left.data(), pretended.data(), nullptr};
  std::vector<std::string> variables = detail::ProgramEnvironment();
  std::vector<char*> envp;
  for (auto& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  pid_t pid = -1;
  const int r = ::posix_spawn(&pid, warden.c_str(), &actions, nullptr, argv, envp.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string said;
  char chunk[32];
  ssize_t n;
  while (r == 0 && ((n = ::read(out[0], chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR)))
    if (n > 0) said.append(chunk, static_cast<std::size_t>(n));
  ::close(out[0]);
  // Reaped here unless the host ignores SIGCHLD or reaps every child itself.
  while (r == 0 && ::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  char* end = nullptr;
  const long fences = std::strtol(said.c_str(), &end, 10);
  const bool answered = r == 0 && end != said.c_str() && *end == '\n';
  if (answered && fences >= 0) return static_cast<int>(fences);
  if (r != 0)
    *why = "its warden " + warden + " could not be started: " + md::files::StartErrorText(r);
  else if (answered)
    *why = "its warden could not try it: " + md::files::StartErrorText(static_cast<int>(-fences));
  else
    *why = "its warden " + warden + " did not answer";
  return -1;
}

}  // namespace

namespace {

std::atomic<int> g_probeTakenAway{0};
std::mutex g_knownMutex;
std::map<int, int> g_known;  // the fences, by the set left out

// What two answers of the warden show the kernel gives: each fence either
// put in force, but namespaces only where Landlock is not (a program gets
// the one or the other); an answer not had (-1) shows nothing.
int Together(int a, int b) {
  if (a < 0 || b < 0) return std::max(a, b);
  const int both = a | b;
  return (both & detail::kFenceLandlock) != 0 ? both & ~detail::kFenceNamespaces : both;
}

}  // namespace

int detail::SetHelperFencesProbeTakenAway(int fences) {
  std::lock_guard<std::mutex> lock(g_knownMutex);
  g_known.clear();
  return g_probeTakenAway.exchange(fences);
}

int detail::HelperFences(std::string* why) {
  // Asked once a process for each set of fences left out, until it answers:
  // twice, so that one answer lowered by a passing failure (a ruleset or a
  // namespace that could not be made that time) does not lower what every
  // run of the process must get; where the two differ, a third time, and
  // what any of them put in force is what the kernel gives. An answer a
  // passing failure kept the warden from giving (-1) is not kept: the next
  // run asks again.
  const int without = WardenFencesWithout();
  std::lock_guard<std::mutex> lock(g_knownMutex);
  const auto it = g_known.find(without);
  if (it != g_known.end()) return it->second;
  std::string ignored;
  std::string* reason = why != nullptr ? why : &ignored;
  int fences = AskWarden(without | g_probeTakenAway.exchange(0), reason);
  const int again = AskWarden(without, reason);
  if (fences != again) fences = Together(Together(fences, again), AskWarden(without, reason));
  if (fences >= 0) g_known.emplace(without, fences);
  return fences;
}

std::string detail::UnfencedText(int fences) {
  if (fences < 0) return "";
  const bool landlock = (fences & kFenceLandlock) != 0, namespaces = (fences & kFenceNamespaces) != 0;
  std::vector<std::string> open;
  if (!landlock && !namespaces)
    open.push_back(
        "its files and its host's memory (no Landlock and no user namespaces here: it may read and write "
        "every "
        "file its user may, and the memory of the host and of its user's other processes through /proc)");
  if ((fences & kFenceFilter) == 0) {
    // What the filter alone holds, and what of it the fence of files and
    // processes holds too.
    std::string calls =
        "its system calls (no seccomp filter here: it may start processes, each with a memory limit of its "
        "own";
    if (!landlock && !namespaces) {
      calls +=
          ", signal, limit, trace and read or write the memory of its user's other processes, and open "
          "network connections";
    } else if (landlock) {
      calls +=
          ", limit and reschedule its user's other processes, send UDP and reach unix sockets named by a "
          "path";
      if ((fences & kFenceLandlockNet) == 0) calls += ", open TCP connections";
      if ((fences & kFenceLandlockScope) == 0)
        calls += ", signal its user's other processes and reach abstract unix sockets";
    }
    open.push_back(calls + ")");
  }
  if ((fences & kFenceNoCapability) == 0) open.push_back("its capabilities (it keeps what its user holds)");
  if (open.empty()) return "";
  std::string text = "the metafile helper runs unfenced in";
  for (std::size_t i = 0; i < open.size(); ++i) text += (i == 0 ? " " : "; ") + open[i];
  return text;
}

void detail::TellUnfencedOnce() {
  static std::once_flag told;
  std::call_once(told, [] {
    const std::string text = UnfencedText(HelperFences());
    const UnfencedHook hook = g_hook.load();
    if (!text.empty() && hook != nullptr) hook(text);
  });
}

}  // namespace md::imaging
