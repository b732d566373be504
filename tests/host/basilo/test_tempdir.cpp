// The temporary folder: the user's shared "mapdeck-<uid>", or, when that is not
// this user's folder, one of the process's own beside it (a ProcessFolder,
// whose sweeping and removal the files tests pin).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/basilo/tempdir.h"

namespace {

namespace fs = std::filesystem;

TEST(TempDir, AProcessTakesAFolderOfItsOwnWhenTheSharedOneIsNotThisUsers) {
  const struct {
    const char* taken;  // what lies at "mapdeck-<uid>": "", "folder", "file", "link" or "foreign"
    bool own;           // whether the process gets one of its own, "mapdeck-<uid>-<pid>.<n>"
  } rows[] = {{"", false}, {"folder", false}, {"file", true}, {"link", true}, {"foreign", ::geteuid() == 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.taken);
    std::string base = (fs::temp_directory_path() / "tempdir-XXXXXX").string();
    ASSERT_NE(::mkdtemp(base.data()), nullptr);
    const std::string shared = base + "/mapdeck-" + std::to_string(::getuid()), taken = row.taken;
    if (taken == "folder" || taken == "foreign") fs::create_directory(shared);
    if (taken == "foreign") (void)!::chown(shared.c_str(), 54321, 54321);  // only root can give it away
    if (taken == "file") std::ofstream(shared) << "taken";
    if (taken == "link") fs::create_directory_symlink(base, shared);
    std::unique_ptr<md::files::ProcessFolder> own;
    const std::string dir = md::basilo::MakeTempDir(base, &own);
    EXPECT_EQ(own != nullptr, row.own);
    EXPECT_EQ(fs::path(dir).replace_extension(),
              row.own ? shared + "-" + std::to_string(::getpid()) : shared);
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(dir)));
    own.reset();
    fs::remove_all(base);
  }
}

}  // namespace
