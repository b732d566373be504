// Whole-file reads and replacements: what the user set on a file survives a
// save (permission bits, symbolic links, read-only), odd files are refused
// without blocking, and a refused save changes nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files/filestore.h"

namespace {

using md::files::FileReplacement;
using md::files::IsReadableFile;
using md::files::ReadWholeFile;
using md::files::WriteWholeFile;

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (std::filesystem::temp_directory_path() / "filestore-XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir_.data()), nullptr);
  }
  void TearDown() override { (void)std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool Write(const std::string& path, const std::string& bytes, std::string* error) {
    return WriteWholeFile(path.c_str(), bytes.data(), bytes.size(), error);
  }
  static mode_t Mode(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
  }
  static bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }
  int FileCount() const {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) n += e.exists() || e.is_symlink() ? 1 : 0;
    return n;
  }

  std::string dir_;
};

TEST_F(FileStoreTest, AnExistingFileKeepsItsPermissionBits) {
  for (mode_t mode : {0600, 0640, 0604, 0660, 0755}) {
    SCOPED_TRACE(mode);
    const std::string path = Path("kept");
    std::string error;
    ASSERT_TRUE(Write(path, "old", &error)) << error;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(Write(path, "new contents", &error)) << error;
    EXPECT_EQ(Mode(path), mode);
    EXPECT_EQ(Contents(path), "new contents");
    EXPECT_EQ(FileCount(), 1);  // no temporary file left
    ::unlink(path.c_str());
  }
}

TEST_F(FileStoreTest, ANewFileTakesTheUsualModeForNewFiles) {
  const mode_t mask = ::umask(022);
  std::string error;
  ASSERT_TRUE(Write(Path("fresh"), "x", &error)) << error;
  ::umask(mask);
  EXPECT_EQ(Mode(Path("fresh")), 0644);
}

TEST_F(FileStoreTest, SymbolicLinksAreWrittenThroughToTheirTarget) {
  std::string error;
  ASSERT_TRUE(Write(Path("real"), "old", &error));
  ASSERT_EQ(::chmod(Path("real").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real", Path("relative").c_str()), 0);                 // relative to its folder
  ASSERT_EQ(::symlink(Path("relative").c_str(), Path("chain").c_str()), 0);  // a link to a link
  ASSERT_EQ(::mkdir(Path("sub").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("../real", Path("sub/up").c_str()), 0);

  struct Row {
    const char* via;
    const char* bytes;
  } const rows[] = {{"relative", "one"}, {"chain", "two"}, {"sub/up", "three"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.via);
    ASSERT_TRUE(Write(Path(row.via), row.bytes, &error)) << error;
    EXPECT_TRUE(IsLink(Path(row.via)));
    EXPECT_EQ(Contents(Path("real")), row.bytes);
    EXPECT_EQ(Mode(Path("real")), 0600u);
  }
  EXPECT_TRUE(IsLink(Path("relative")) && IsLink(Path("chain")));

  // A dangling link makes the file it names.
  ASSERT_EQ(::symlink("later", Path("dangling").c_str()), 0);
  ASSERT_TRUE(Write(Path("dangling"), "made", &error)) << error;
  EXPECT_TRUE(IsLink(Path("dangling")));
  EXPECT_EQ(Contents(Path("later")), "made");

  // A loop is refused.
  ASSERT_EQ(::symlink("loop-b", Path("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", Path("loop-b").c_str()), 0);
  EXPECT_FALSE(Write(Path("loop-a"), "x", &error));
  EXPECT_NE(error.find("symbolic links"), std::string::npos) << error;
}

TEST_F(FileStoreTest, ReadOnlyAndOddTargetsAreRefusedAndLeftAlone) {
  std::string error;
  const std::string path = Path("readonly");
  ASSERT_TRUE(Write(path, "keep me", &error));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(Write(path, "lost", &error));
  EXPECT_EQ(error, path + " is read-only");
  EXPECT_EQ(Contents(path), "keep me");
  EXPECT_EQ(Mode(path), 0444u);
  // Through a link the message names the real file.
  ASSERT_EQ(::symlink("readonly", Path("to-readonly").c_str()), 0);
  EXPECT_FALSE(Write(Path("to-readonly"), "lost", &error));
  EXPECT_EQ(error, path + " is read-only");

  ASSERT_EQ(::mkdir(Path("folder").c_str(), 0755), 0);
  EXPECT_FALSE(Write(Path("folder"), "x", &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
  EXPECT_FALSE(Write(Path("pipe"), "x", &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_FALSE(Write(Path("missing/file"), "x", &error));
  EXPECT_FALSE(WriteWholeFile(nullptr, "x", 1, &error));
  EXPECT_FALSE(WriteWholeFile("", "x", 1, &error));
  EXPECT_EQ(FileCount(), 4);  // readonly, to-readonly, folder, pipe: no temporary left behind
}

TEST_F(FileStoreTest, ReadingTakesRegularFilesOnlyAndNeverWaitsOnAPipe) {
  std::string error;
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(Write(Path("data"), std::string("a\0b", 3), &error));
  ASSERT_TRUE(ReadWholeFile(Path("data").c_str(), 3, &bytes, &error)) << error;
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 0, 'b'}));
  EXPECT_FALSE(ReadWholeFile(Path("data").c_str(), 2, &bytes, &error));
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(error, "larger than 2 bytes");
  bool missing = false;
  EXPECT_FALSE(ReadWholeFile(Path("none").c_str(), 10, &bytes, &error, &missing));
  EXPECT_TRUE(missing);
  EXPECT_FALSE(ReadWholeFile(dir_.c_str(), 10, &bytes, &error, &missing));
  EXPECT_EQ(error, "not a regular file");
  EXPECT_FALSE(missing);
  EXPECT_FALSE(ReadWholeFile("/dev/zero", 1 << 20, &bytes, &error));
  EXPECT_EQ(error, "not a regular file");
  EXPECT_TRUE(IsReadableFile(Path("data").c_str(), &error)) << error;
  EXPECT_FALSE(IsReadableFile(dir_.c_str(), &error));
  EXPECT_FALSE(IsReadableFile(Path("none").c_str(), &error));

  const std::string pipe = Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  auto read = std::async(std::launch::async, [&] {
    std::string e;
    std::vector<std::uint8_t> b;
    return ReadWholeFile(pipe.c_str(), 10, &b, &e) ? std::string("read") : e;
  });
  if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    // Free the waiting reader so that the test can end, then fail.
    const int fd = ::open(pipe.c_str(), O_WRONLY);
    if (fd >= 0) ::close(fd);
    FAIL() << "reading a named pipe waited for a writer";
  }
  EXPECT_EQ(read.get(), "not a regular file");
  EXPECT_FALSE(IsReadableFile(pipe.c_str(), &error));
}

TEST_F(FileStoreTest, AFileReadInPiecesGivesItsBytesAndIsRefusedAsAWholeReadIs) {
  std::string error;
  std::string data;
  for (int i = 0; i < 10000; ++i) data.push_back(static_cast<char>(i * 31 + i / 253));
  ASSERT_TRUE(Write(Path("data"), data, &error));
  for (const std::size_t piece : {std::size_t{1}, std::size_t{4096}, std::size_t{7}, data.size() + 1}) {
    md::files::FileReader file;
    ASSERT_TRUE(file.Open(Path("data").c_str(), data.size(), &error)) << error;
    EXPECT_EQ(file.size(), data.size());
    std::string got;
    std::vector<char> buffer(piece);
    std::size_t n = 0;
    while (file.Read(buffer.data(), buffer.size(), &n, &error) && n > 0) got.append(buffer.data(), n);
    EXPECT_EQ(got, data) << piece;
  }
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
  const struct {
    std::string path;
    std::size_t limit;
    const char* error;
  } refused[] = {
      {Path("data"), data.size() - 1, "larger than 9999 bytes"},
      {dir_, 10, "not a regular file"},
      {Path("pipe"), 10, "not a regular file"},
      {"", 10, "no path"},
  };
  for (const auto& r : refused) {
    md::files::FileReader file;
    EXPECT_FALSE(file.Open(r.path.c_str(), r.limit, &error)) << r.path;
    EXPECT_EQ(error, r.error) << r.path;
    std::size_t n = 1;
    char byte;
    EXPECT_FALSE(file.Read(&byte, 1, &n, &error));
    EXPECT_EQ(n, 0u);
  }
}

TEST_F(FileStoreTest, AReplacementWrittenInPiecesTakesEffectOnlyWhenCommitted) {
  std::string error;
  const std::string path = Path("streamed");
  ASSERT_TRUE(Write(path, "old", &error));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  {
    FileReplacement file;
    ASSERT_TRUE(file.Begin(path.c_str(), &error)) << error;
    EXPECT_TRUE(file.Write("new ", 4));
    EXPECT_TRUE(file.Write("bytes", 5));
    EXPECT_EQ(Contents(path), "old");  // nothing shows before the commit
  }
  EXPECT_EQ(Contents(path), "old");  // ended without a commit: no change, no temporary
  EXPECT_EQ(FileCount(), 1);
  FileReplacement file;
  ASSERT_TRUE(file.Begin(path.c_str(), &error)) << error;
  file.Write("new ", 4);
  file.Write("bytes", 5);
  ASSERT_TRUE(file.Commit(&error)) << error;
  EXPECT_EQ(Contents(path), "new bytes");
  EXPECT_EQ(Mode(path), 0640u);
  EXPECT_EQ(FileCount(), 1);
  EXPECT_FALSE(file.Commit(&error));  // once only
}

TEST_F(FileStoreTest, WrittenBytesCanBeOverwrittenInPlaceBeforeTheCommit) {
  std::string error;
  const std::string path = Path("patched");
  FileReplacement file;
  ASSERT_TRUE(file.Begin(path.c_str(), &error)) << error;
  ASSERT_TRUE(file.Write("0000 body", 9));
  EXPECT_TRUE(file.WriteAt(0, "HEAD", 4));
  EXPECT_TRUE(file.Write(" end", 4));  // appending carries on at the end
  EXPECT_TRUE(file.WriteAt(5, "B", 1));
  ASSERT_TRUE(file.Commit(&error)) << error;
  EXPECT_EQ(Contents(path), "HEAD Body end");
  EXPECT_FALSE(file.WriteAt(0, "x", 1));  // nothing is open after the commit
}

// Appends are gathered before they reach the file: every mix of small and
// large pieces, and overwrites of bytes not yet written out, end as written.
TEST_F(FileStoreTest, PiecesOfAnySizeEndInTheFileInOrder) {
  struct Row {
    const char* name;
    std::vector<std::size_t> pieces;  // sizes of the appends, in order
    std::size_t at;                   // where a four-byte overwrite lands
  };
  const Row rows[] = {
      {"bytes one at a time", std::vector<std::size_t>(70000, 1), 65534},
      {"a piece short of the gathering, then one", {65535, 1, 3}, 10},
      {"a small piece, then one larger than the gathering", {1, 70000, 2}, 69999},
      {"large pieces only", {100000, 140000}, 120000},
      {"an overwrite of the last bytes not yet out", {5, 5, 5}, 11},
  };
  std::string error;
  for (const Row& row : rows) {
    const std::string path = Path("pieces");
    FileReplacement file;
    ASSERT_TRUE(file.Begin(path.c_str(), &error)) << row.name << ": " << error;
    std::string expected;
    for (std::size_t size : row.pieces) {
      std::string piece(size, '\0');
      for (std::size_t i = 0; i < size; ++i) piece[i] = static_cast<char>('a' + (expected.size() + i) % 26);
      ASSERT_TRUE(file.Write(piece.data(), piece.size())) << row.name;
      expected += piece;
    }
    ASSERT_TRUE(file.WriteAt(row.at, "WXYZ", 4)) << row.name;
    expected.replace(row.at, 4, "WXYZ");
    ASSERT_TRUE(file.Write("!", 1)) << row.name;
    expected += "!";
    ASSERT_TRUE(file.Commit(&error)) << row.name << ": " << error;
    EXPECT_EQ(Contents(path), expected) << row.name;
  }
}

// Bytes still gathered when the disk refuses them make the commit fail and
// leave the target as it was.
TEST_F(FileStoreTest, AWriteThatFailsWhileGatheredFailsTheCommit) {
  std::string error;
  const std::string path = Path("limited");
  ASSERT_TRUE(Write(path, "old", &error));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    FileReplacement file;
    std::string why;
    if (!file.Begin(path.c_str(), &why)) ::_exit(2);
    for (int i = 0; i < 500; ++i)
      if (!file.Write("0123456789", 10)) ::_exit(3);  // gathered: none reaches the disk yet
    const bool committed = file.Commit(&why);
    ::_exit(!committed && why.find("too large") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Contents(path), "old");
  EXPECT_EQ(FileCount(), 1);
}

}  // namespace
