// The temporary folder: the user's shared "mapdeck-<uid>", or, when that is not
// this user's folder, one of the process's own beside it (a ProcessFolder,
// whose sweeping and removal the files tests pin).
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/tempdir.h"

namespace {

namespace fs = std::filesystem;

// A pattern matching `text` alone.
std::string Literal(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::string("\\.^$|()[]{}*+?").find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out;
}

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
    std::string error;
    const std::string dir = md::basilo::MakeTempDir(base, &own, &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(own != nullptr, row.own);
    EXPECT_EQ(fs::path(dir).replace_extension(),
              row.own ? shared + "-" + std::to_string(::getpid()) : shared);
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(dir)));
    own.reset();
    fs::remove_all(base);
  }
}

// Where the environment's folder cannot take the log (missing, a file, not
// writable), the folder is made in the system's, and the note says so and
// why. Each row runs as nobody where the tests run as root, whose writes no
// folder's mode refuses.
TEST(TempDir, AnEnvironmentFolderThatCannotBeUsedGivesWayToTheSystemsWithANote) {
  const struct {
    const char* wanted;  // what the environment names: "", "folder", "missing", "file" or "unwritable"
    bool taken;          // whether its folder is used
    const char* why;     // what the note says of it
  } rows[] = {{"", false, ""},
              {"folder", true, ""},
              {"missing", false, "No such file or directory"},
              {"file", false, "not a folder"},
              {"unwritable", false, "Permission denied"}};
  std::string base = (fs::temp_directory_path() / "tempdir-XXXXXX").string();
  ASSERT_NE(::mkdtemp(base.data()), nullptr);
  fs::permissions(base, fs::perms::all);
  const std::string system = base + "/system";
  fs::create_directory(system);
  fs::permissions(system, fs::perms::all);
  for (const auto& row : rows) {
    const std::string kind = row.wanted, wanted = kind.empty() ? "" : base + "/" + kind;
    if (kind == "folder" || kind == "unwritable") fs::create_directory(wanted);
    if (kind == "folder") fs::permissions(wanted, fs::perms::all);
    if (kind == "unwritable")
      fs::permissions(wanted, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    if (kind == "file") std::ofstream(wanted) << "a file";
    const std::string user = ::getuid() == 0 ? "65534" : std::to_string(::getuid());
    const std::string folder = (row.taken ? wanted : system) + "/mapdeck-" + user;
    const std::string note = kind.empty() || row.taken
                                 ? ""
                                 : "the temporary folder " + wanted + " (TMPDIR) cannot be used (" + row.why +
                                       "): this process's log and pictures go to " + system + "/mapdeck-" +
                                       user + " instead";
    EXPECT_EXIT(
        {
          if (::getuid() == 0 &&
              (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
          std::unique_ptr<md::files::ProcessFolder> own;
          std::string said;
          const std::string dir = md::basilo::ChooseTempDir("TMPDIR", wanted, system, &own, &said);
          const bool made = fs::is_directory(dir) && ::access(dir.c_str(), W_OK) == 0;
          std::fprintf(stderr, "%s|%s|%s", dir.c_str(), made ? "made" : "not made", said.c_str());
          ::_exit(0);
        },
        testing::ExitedWithCode(0), "^" + Literal(folder + "|made|" + note) + "$")
        << (kind.empty() ? "unset" : kind);
  }
  fs::remove_all(base);
}

// Through the library: a process whose TMPDIR it cannot write writes its
// records into the system's temporary folder, the first of them saying so,
// and the log names that file.
TEST(TempDir, TheLogOfAnUnwritableTmpdirReachesTheSystemsFolderAndSaysSo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, whose log is made in it
  const std::string base = (fs::path(MD_TEST_OUTPUT_DIR) / "unwritable-tmpdir").string();
  fs::create_directories(base);
  fs::permissions(base, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EXIT(
      {
        if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
          ::_exit(2);
        if (::access(base.c_str(), W_OK) == 0) ::_exit(3);
        ::setenv("TMPDIR", base.c_str(), 1);
        GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Test::Method", "a record");
        const std::string path = GIS_GetLogPtr()->GetFilePath();
        std::ifstream in(path);
        // This process's lines: others' may share the file.
        const std::string mine = "[" + std::to_string(::getpid()) + "] level ";
        std::string said = path + "\n";
        std::string line;
        while (std::getline(in, line))
          if (line.find(mine) != std::string::npos)
            said += line.substr(line.find(mine) + mine.size() - 7) + "\n";
        std::fputs(said.c_str(), stderr);
        ::_exit(0);
      },
      testing::ExitedWithCode(0),
      "^/tmp/mapdeck-[0-9]+/mapdeck\\.log\n level 1 GIS_GetTempDir: the temporary folder " + Literal(base) +
          " \\(TMPDIR\\) cannot be used \\(Permission denied\\)[^\n]*\n"
          " level 3 CGIS_Test::Method: a record[^\n]*\n$");
  fs::remove_all(base);
}

}  // namespace
