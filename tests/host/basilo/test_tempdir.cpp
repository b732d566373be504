// The temporary folder: the user's shared "mapdeck-<uid>", or, when that is not
// this user's folder, one of the process's own beside it (a ProcessFolder,
// whose sweeping and removal the files tests pin).
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/basilo/igis_globalproperties.h"
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

// Mounts an empty folder of root's over /tmp, in a mount namespace of this
// process's own: nobody can make a folder there.
bool CloseTmp() {
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount("tmpfs", "/tmp", "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") == 0;
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
// why; where the system's cannot take it either, the system's folder itself
// is answered, and the note says why of each and where the records go. Each
// row runs as nobody where the tests run as root, whose writes no folder's
// mode refuses.
TEST(TempDir, AnEnvironmentFolderThatCannotBeUsedGivesWayToTheSystemsWithANote) {
  const struct {
    const char* wanted;  // what the environment names: "", "folder", "missing", "file" or "unwritable"
    bool taken;          // whether its folder is used
    const char* why;     // what the note says of it
    bool system = true;  // whether the system's folder can take it
  } rows[] = {{"", false, ""},
              {"folder", true, ""},
              {"missing", false, "No such file or directory"},
              {"file", false, "not a folder"},
              {"unwritable", false, "Permission denied"},
              {"unwritable", false, "Permission denied", false},
              {"", false, "", false}};
  std::string base = (fs::temp_directory_path() / "tempdir-XXXXXX").string();
  ASSERT_NE(::mkdtemp(base.data()), nullptr);
  fs::permissions(base, fs::perms::all);
  const std::string usable = base + "/system", closed = base + "/closed";
  fs::create_directory(usable);
  fs::permissions(usable, fs::perms::all);
  fs::create_directory(closed);
  fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  for (const auto& row : rows) {
    const std::string system = row.system ? usable : closed;
    const std::string kind = row.wanted, wanted = kind.empty() ? "" : base + "/" + kind;
    if (kind == "folder" || kind == "unwritable") fs::create_directory(wanted);
    if (kind == "folder") fs::permissions(wanted, fs::perms::all);
    if (kind == "unwritable")
      fs::permissions(wanted, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    if (kind == "file") std::ofstream(wanted) << "a file";
    const std::string user = ::getuid() == 0 ? "65534" : std::to_string(::getuid());
    const std::string folder = !row.system ? system : (row.taken ? wanted : system) + "/mapdeck-" + user;
    const std::string passed =
        "the temporary folder " + wanted + " (TMPDIR) cannot be used (" + row.why + ")";
    const std::string note =
        !row.system ? (kind.empty() ? "the temporary folder " + system + " cannot be used"
                                    : passed + ", nor can " + system) +
                          " (Permission denied): this process has no folder for its log and pictures; its "
                          "records go to its standard error"
        : kind.empty() || row.taken
            ? ""
            : passed + ": this process's log and pictures go to " + folder + " instead";
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
        testing::ExitedWithCode(0),
        "^" + Literal(folder + (row.system ? "|made|" : "|not made|") + note) + "$")
        << (kind.empty() ? "unset" : kind) << (row.system ? "" : ", the system's folder closed");
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

// Through the library, where neither TMPDIR nor /tmp can take the folder (a
// fresh process as nobody, /tmp closed to it): GIS_GetTempDir still answers,
// /tmp, no log file is made there, and the records reach standard error, the
// first saying why of each folder.
TEST(TempDir, WhereNoFolderCanTakeTheLogItsRecordsGoToStandardError) {
  if (::getuid() != 0) GTEST_SKIP() << "only a test run as root can close /tmp to a process of nobody's";
  const pid_t probe = ::fork();
  if (probe == 0) ::_exit(CloseTmp() ? 0 : 1);
  int status = 0;
  if (!(::waitpid(probe, &status, 0) == probe && WIFEXITED(status) && WEXITSTATUS(status) == 0))
    GTEST_SKIP()
        << "this kernel does not let a process mount a folder over /tmp in a mount namespace of its own";
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, whose log is made in it
  const std::string base = (fs::path(MD_TEST_OUTPUT_DIR) / "unwritable-tmpdir-closed-tmp").string();
  fs::create_directories(base);
  fs::permissions(base, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                            fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EXIT(
      {
        if (!CloseTmp()) ::_exit(4);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        if (::access(base.c_str(), W_OK) == 0 || ::access("/tmp", W_OK) == 0) ::_exit(3);
        ::setenv("TMPDIR", base.c_str(), 1);
        GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Test::Method", "a record");
        std::fprintf(stderr, "answered %s, the log file %s\n", GIS_GetTempDir(),
                     fs::exists(GIS_GetLogPtr()->GetFilePath()) ? "made" : "not made");
        ::_exit(0);
      },
      testing::ExitedWithCode(0),
      "^[^\n]* level 1 GIS_GetTempDir: the temporary folder " + Literal(base) +
          " \\(TMPDIR\\) cannot be used \\(Permission denied\\), nor can /tmp \\(Permission denied\\): "
          "this process has no folder for its log and pictures; its records go to its standard error[^\n]*\n"
          "[^\n]* level 3 CGIS_Test::Method: a record[^\n]*\n"
          "answered /tmp, the log file not made\n$");
  fs::remove_all(base);
}

}  // namespace
