// The temporary folder: the user's shared "mapdeck-<uid>", or, when another
// user took that name, a folder of the process's own beside it, whose making
// removes what ended processes left of theirs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/basilo/tempdir.h"

namespace {

namespace fs = std::filesystem;

TEST(TempDir, AProcesssOwnFolderRemovesThoseEndedProcessesLeft) {
  struct Row {
    const char* what;
    const char* taken;  // what lies at "mapdeck-<uid>": nothing, "folder", "file", "link", "foreign"
    bool own;           // whether the process gets a folder of its own
  };
  const Row rows[] = {
      {"nothing there", "", false},
      {"this user's folder", "folder", false},
      {"a file", "file", true},
      {"a link to a folder", "link", true},
      // Only root can give a folder away; another user's planted one is its own.
      {"another user's folder", "foreign", ::geteuid() == 0},
  };
  const std::string uid = std::to_string(::getuid());
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string base = (fs::temp_directory_path() / "tempdir-XXXXXX").string();
    ASSERT_NE(::mkdtemp(base.data()), nullptr);
    const std::string shared = base + "/mapdeck-" + uid, taken = row.taken;
    if (taken == "folder" || taken == "foreign") fs::create_directory(shared);
    if (taken == "foreign") (void)!::chown(shared.c_str(), 54321, 54321);
    if (taken == "file") std::ofstream(shared) << "taken";
    if (taken == "link") fs::create_directory_symlink(base, shared);
    // What an ended process left in its folder, and a folder of an older
    // build's process, which names no process.
    const std::string left = base + "/mapdeck-" + uid + "-" + std::to_string(ended) + ".0";
    const std::string older = base + "/mapdeck-" + uid + "-Ab12Cd";
    fs::create_directories(left + "/kept." + std::to_string(ended) + ".0");
    std::ofstream(left + "/kept." + std::to_string(ended) + ".0/a.png") << "png";
    std::ofstream(left + "/mapdeck.log") << "log";
    fs::create_directory(older);
    std::string dir;
    {
      std::unique_ptr<md::files::ProcessFolder> own;
      dir = md::basilo::MakeTempDir(base, &own);
      EXPECT_EQ(own != nullptr, row.own);
      const std::string ownName = "mapdeck-" + uid + "-" + std::to_string(::getpid()) + ".";
      if (row.own) {
        EXPECT_EQ(fs::path(dir).filename().string().rfind(ownName, 0), 0u) << dir;
      } else {
        EXPECT_EQ(dir, shared);
      }
      EXPECT_EQ(fs::path(dir).parent_path(), fs::path(base));
      EXPECT_TRUE(fs::is_directory(fs::symlink_status(dir)));
      EXPECT_EQ(fs::exists(left), !row.own);
      EXPECT_TRUE(fs::exists(older));
    }
    EXPECT_EQ(fs::exists(dir), !row.own);  // the process's own goes with its object
    fs::remove_all(base);
  }
}

}  // namespace
