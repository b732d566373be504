// What writers that ended part-way left: which temporaries and process
// folders a later writer removes (by their locks, whatever process ID they
// name), that a taken name never fails a save, and when a folder is read
// again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/files/leftovers.h"
#include "platform/files/processfolder.h"

namespace {

namespace fs = std::filesystem;
using md::files::TemporaryName;

// A process that ends at once, or one that holds a file or folder locked, as
// a live writer does, until killed.
pid_t Child(const std::string& held = "") {
  int ready[2];
  if (!held.empty() && ::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0 && held.empty()) ::_exit(0);
  if (pid == 0) {
    const int fd = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
    (void)!::write(ready[1], &ok, 1);
    for (;;) ::pause();
  }
  char ok = 0;
  if (!held.empty()) {
    (void)!::read(ready[0], &ok, 1);
    ::close(ready[0]);
    ::close(ready[1]);
  } else {
    ::waitpid(pid, nullptr, 0);
  }
  EXPECT_TRUE(held.empty() || ok) << held;
  return pid;
}
void Kill(pid_t pid) {
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

// While it lives, the folders' readings age by a clock the test sets.
struct SweepClock {
  SweepClock() {
    md::files::detail::SetSweepClock([] { return now.load(); });
  }
  ~SweepClock() { md::files::detail::SetSweepClock(nullptr); }
  static inline std::atomic<std::int64_t> now{0};
};

// A file or folder planted where a writer would leave one, held by a live
// process or not, and whether the next writer removes it.
struct Planted {
  std::string path;
  const char* kind;  // "file", "link", or a folder holding one with a file:
                     // "folder", or "foreign" (another user's)
  bool held;
  bool removed;
};

class Leftovers : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (fs::temp_directory_path() / "leftovers-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir_.data()), nullptr);
    SweepClock::now += 3600;  // every test reads its folder afresh
  }
  void TearDown() override {
    for (pid_t pid : holders_) Kill(pid);
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Plant(const std::vector<Planted>& rows) {
    for (const Planted& row : rows) {
      const std::string kind = row.kind;
      if (kind != "file" && kind != "link") fs::create_directories(row.path + "/kept.1.0");
      if (kind == "link") fs::create_symlink(row.path + ".real", row.path);
      std::ofstream(kind == "file"   ? row.path
                    : kind == "link" ? row.path + ".real"
                                     : row.path + "/kept.1.0/a.png")
          << "left";
      if (kind == "foreign") (void)!::chown(row.path.c_str(), 54321, 54321);
      if (row.held) holders_.push_back(Child(row.path));
    }
  }
  static void ExpectRemoved(const std::vector<Planted>& rows) {
    for (const Planted& row : rows)
      EXPECT_EQ(!fs::exists(fs::symlink_status(row.path)), row.removed) << row.path;
  }
  static bool Save(const std::string& target) {
    std::string error;
    EXPECT_TRUE(md::files::WriteWholeFile(target.c_str(), "new", 3, &error)) << error;
    return error.empty();
  }

  SweepClock clock_;
  std::string dir_;
  std::vector<pid_t> holders_;
};

// A save removes the target's temporaries that no process holds, whatever
// process ID they name, and nothing else; the names it would write under
// itself, taken, are passed over.
TEST_F(Leftovers, ASaveRemovesTheTemporariesNoProcessHoldsAndPassesOverTakenNames) {
  const std::string target = Path("page.mdfs"), ended = std::to_string(Child());
  const unsigned next = md::files::detail::NextTemporaryNumber() + 1;
  std::vector<Planted> rows = {
      {target + ".tmp." + ended + ".0", "file", false, true},
      {TemporaryName(target, ::getppid(), 0), "file", false, true},  // its process runs, but holds nothing
      {TemporaryName(target, ::getpid(), 4000000), "file", false, true},  // an earlier process had this ID
      {target + ".tmp." + ended + ".1", "file", true, false},             // a live writer's
      {target + ".tmp." + ended + ".2", "folder", false, false},
      {target + ".tmp." + ended + ".3", "link", false, false},
      {Path("other.mdfs.tmp." + ended + ".0"), "file", false, false},
      {target + ".tmp." + ended, "file", false, false},
      {target + ".tmp.x.0", "file", false, false},
      {target + ".tmp." + ended + ".01", "file", false, false},
  };
  for (unsigned n = next; n < next + 6; ++n)
    rows.push_back({TemporaryName(target, ::getpid(), n), n % 2 ? "folder" : "file", n % 2 == 0, false});
  Plant(rows);
  ASSERT_TRUE(Save(target));
  EXPECT_EQ(std::ifstream(target).get(), 'n');
  ExpectRemoved(rows);
}

// A folder read less than 30 seconds ago is not read again: what appeared
// since waits for the next reading, while what that reading found is
// checked again at every save.
TEST_F(Leftovers, AFolderIsReadAgainAfterThirtySeconds) {
  const std::string target = Path("page.mdfs"), ended = std::to_string(Child());
  // Held at the first save (let go after), seconds on, removed by the second.
  const std::tuple<bool, int, bool> rows[] = {
      {false, 0, false}, {false, 29, false}, {false, 30, true}, {true, 0, true}};
  for (const auto& [held, later, removed] : rows) {
    const std::vector<Planted> left = {
        {target + ".tmp." + ended + "." + std::to_string(later), "file", held, removed}};
    if (held) Plant(left);
    ASSERT_TRUE(Save(target));
    if (held) {
      Kill(holders_.back());
      holders_.pop_back();
    }
    if (!held) Plant(left);
    SweepClock::now += later;
    ASSERT_TRUE(Save(target));
    ExpectRemoved(left);
    SweepClock::now += 3600;
  }
}

// A temporary being renamed into place is still held: another process saving
// the file meanwhile (md_files_saver) leaves it alone, and both saves succeed.
TEST_F(Leftovers, AnotherProcessSavingTheFileWhileATemporaryIsRenamedLeavesIt) {
  static int other = -1;
  const auto before = md::files::detail::SetRenameHook([](const std::string& temp) {
    other = std::system(("'" MD_FILES_SAVER "' '" + temp.substr(0, temp.rfind(".tmp.")) + "' other").c_str());
  });
  Save(Path("page.mdfs"));
  md::files::detail::SetRenameHook(before);
  EXPECT_EQ(std::exchange(other, -1), 0);
  EXPECT_EQ(std::ifstream(Path("page.mdfs")).get(), 'n');         // the later save's
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);  // no temporary left
}

// Without locks, a save knows the temporaries this process writes by the
// files they are, however the target is spelled, and leaves them alone.
TEST_F(Leftovers, WithoutLocksASaveLeavesTheTemporariesThisProcessWrites) {
  const std::string x = Path("x.png");
  const std::string rows[][2] = {{"x.png", "x.png"}, {"x.png", "./x.png"}, {x, "x.png"}, {x, x}};
  const fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  const bool before = md::files::detail::SetLocksMissing(true);
  for (const auto& [spelling, other] : rows) {
    SCOPED_TRACE(spelling + " then " + other);
    md::files::FileReplacement first;
    std::string error;
    EXPECT_TRUE(first.Begin(spelling.c_str(), &error) && first.Write("first", 5)) << error;
    SweepClock::now += 3600;
    Save(other);
    EXPECT_TRUE(first.Commit(&error)) << error;
    EXPECT_EQ(std::ifstream(x).get(), 'f');
  }
  md::files::detail::SetLocksMissing(before);
  fs::current_path(cwd);
}

// A process's folder: those that killed processes left go when another is
// made, with the folders in them, never another user's nor through a link;
// the folder goes with its object.
TEST_F(Leftovers, AProcessFolderRemovesTheFoldersNoProcessHolds) {
  const std::string ended = std::to_string(Child());
  const std::vector<Planted> rows = {
      {Path("kept." + ended + ".0"), "folder", false, true},
      {Path("kept." + std::to_string(::getppid()) + ".0"), "folder", false, true},
      {Path("kept." + std::to_string(::getpid()) + ".4000000"), "folder", false, true},
      {Path("kept." + ended + ".1"), "folder", true, false},
      {Path("kept." + ended + ".2"), "file", false, false},
      {Path("kept." + ended + ".3"), "link", false, false},
      {Path("kept." + ended + ".4"), "foreign", false, ::geteuid() != 0},  // only root can give it away
      {Path("kept.x.0"), "folder", false, false},
      {Path("other." + ended + ".0"), "folder", false, false},
  };
  Plant(rows);
  std::string own, error;
  {
    md::files::ProcessFolder folder(dir_, "kept.");
    own = folder.Path(&error);
    ASSERT_EQ(fs::path(own).parent_path(), fs::path(dir_)) << error;
    EXPECT_EQ(folder.Path(&error), own);
    EXPECT_EQ(fs::path(own).filename().string().rfind("kept." + std::to_string(::getpid()) + ".", 0), 0u);
    std::ofstream(own + "/a.png") << "png";
    ExpectRemoved(rows);
  }
  EXPECT_FALSE(fs::exists(own));
}

}  // namespace
