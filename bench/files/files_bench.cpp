// What a save costs in a folder of many files, against an empty folder:
//   Begin/N       a replacement begun and given up (its temporary made and
//                 removed), the folder read by an earlier save of the process
//                 less than 30 s before, as in every save but the first;
//   FirstBegin/N  the same when the folder is read whole first (the first
//                 save of a process in that folder, or one 30 s after);
//   Save/N        a 64 KiB file written whole (made, flushed, renamed).
// The folders hold N empty files; the ratios N = 100000 against N = 0 are
// printed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_reporter.h"
#include "platform/files/filestore.h"
#include "platform/files/leftovers.h"

namespace {

namespace fs = std::filesystem;

// A folder of `files` empty files, made once and removed at exit.
class Folder {
 public:
  explicit Folder(int files) {
    path_ = (fs::temp_directory_path() /
             ("mapdeck-bench-files-" + std::to_string(::getpid()) + "-" + std::to_string(files)))
                .string();
    fs::create_directories(path_);
    char name[32];
    for (int i = 0; i < files; ++i) {
      std::snprintf(name, sizeof name, "/map-%06d.png", i);
      const int fd = ::open((path_ + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
      if (fd >= 0) ::close(fd);
    }
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Target() const { return path_ + "/page.mdfs"; }

 private:
  std::string path_;
};

const Folder& FolderOf(int files) {
  static std::map<int, std::unique_ptr<Folder>> folders;
  auto& folder = folders[files];
  if (folder == nullptr) folder = std::make_unique<Folder>(files);
  return *folder;
}

// A clock an hour on at every reading: every folder is read afresh.
std::atomic<std::int64_t> g_hours{0};
std::int64_t AlwaysLater() { return g_hours += 3600; }

void BeginIn(benchmark::State& state, bool everyTimeAfresh) {
  const std::string target = FolderOf(static_cast<int>(state.range(0))).Target();
  md::files::detail::SetSweepClock(everyTimeAfresh ? AlwaysLater : nullptr);
  std::string error;
  {
    md::files::FileReplacement first;  // the process's first save there
    first.Begin(target.c_str(), &error);
  }
  for (auto _ : state) {
    md::files::FileReplacement file;
    if (!file.Begin(target.c_str(), &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  md::files::detail::SetSweepClock(nullptr);
}

void Begin(benchmark::State& state) { BeginIn(state, false); }
void FirstBegin(benchmark::State& state) { BeginIn(state, true); }

void Save(benchmark::State& state) {
  const std::string target = FolderOf(static_cast<int>(state.range(0))).Target();
  const std::vector<char> bytes(64 * 1024, 'x');
  std::string error;
  for (auto _ : state) {
    if (!md::files::WriteWholeFile(target.c_str(), bytes.data(), bytes.size(), &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
}

BENCHMARK(Begin)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstBegin)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Save)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  reporter->PrintRatio("Begin/100000", "Begin/0", "begin in 100,000 files / in an empty folder", 3.0);
  const std::pair<const char*, const char*> others[] = {
      {"Save", "save in 100,000 files / in an empty folder"},
      {"FirstBegin", "a process's first begin in 100,000 files / in an empty folder"}};
  for (const auto& [name, label] : others) {
    const double many = reporter->PerIteration(std::string(name) + "/100000");
    const double none = reporter->PerIteration(std::string(name) + "/0");
    if (many > 0 && none > 0) std::printf("%s = %.2f\n", label, many / none);
  }
  return 0;
}
