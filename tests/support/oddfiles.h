// Odd files that every reader and writer of files meets sooner or later, and
// the checks that they are met safely: a reader refuses a named pipe nobody
// writes to, a folder, a device that never ends and a file larger than it
// takes, without waiting and without throwing; a writer keeps a file's
// permission bits, writes through a symbolic link and refuses a read-only
// file, leaving it as it was.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <string>
#include <vector>

namespace md::test {

// The odd paths made in a folder: "pipe" (a named pipe), "folder", the
// endless "/dev/zero" and "big" (a sparse file of the given size).
struct OddPaths {
  OddPaths(const std::filesystem::path& folder, std::uintmax_t bigBytes) {
    std::filesystem::create_directories(folder);
    pipe = (folder / "pipe").string();
    this->folder = (folder / "folder").string();
    big = (folder / "big").string();
    std::filesystem::remove_all(pipe);
    ::mkfifo(pipe.c_str(), 0644);
    std::filesystem::create_directories(this->folder);
    std::ofstream(big, std::ios::binary).put('x');
    std::filesystem::resize_file(big, bigBytes);
  }
  // Every odd path with its name.
  std::vector<std::pair<const char*, std::string>> All() const {
    return {{"pipe", pipe}, {"folder", folder}, {"device", "/dev/zero"}, {"big", big}};
  }
  std::string pipe, folder, big;
};

// Runs read() on a thread of its own: FALSE (after freeing a reader waiting
// on the pipe, so that the test can end) when it waited 10 s, or when it
// threw. The reader's own checks are made inside read().
inline bool EndsWithoutWaiting(const std::string& pipe, const std::function<void()>& read) {
  auto done = std::async(std::launch::async, [&] {
    try {
      read();
      return true;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "threw: " << e.what();
      return false;
    }
  });
  if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return done.get();
  ADD_FAILURE() << "waited on the named pipe";
  std::ofstream(pipe, std::ios::binary).put('\n');  // frees the waiting reader
  done.wait();
  return false;
}

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A writer of files, given a path: writes it, answering whether it said it
// succeeded. Checked on a file of mode 0600, on a symbolic link to a file
// and on a read-only file, all made in the folder.
inline void ExpectSafeWrites(const std::filesystem::path& folder,
                             const std::function<bool(const std::string&)>& write) {
  std::filesystem::create_directories(folder);
  const std::string kept = (folder / "kept").string(), real = (folder / "real").string(),
                    link = (folder / "link").string(), locked = (folder / "locked").string();
  for (const std::string& p : {kept, real, link, locked}) {
    if (std::filesystem::exists(p)) ::chmod(p.c_str(), 0600);
    std::filesystem::remove(p);
  }
  std::ofstream(kept) << "old";
  std::ofstream(real) << "old";
  std::ofstream(locked) << "old";
  ::chmod(kept.c_str(), 0600);
  ::chmod(locked.c_str(), 0444);
  ::symlink("real", link.c_str());
  struct stat st {};

  EXPECT_TRUE(write(kept));
  EXPECT_NE(FileText(kept), "old");
  ASSERT_EQ(::stat(kept.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u) << "the permission bits of an existing file";

  EXPECT_TRUE(write(link));
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link is kept";
  EXPECT_NE(FileText(real), "old") << "the file the link names is written";

  EXPECT_FALSE(write(locked)) << "a read-only file is refused";
  EXPECT_EQ(FileText(locked), "old");
  ASSERT_EQ(::stat(locked.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);

  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++entries;
  EXPECT_EQ(entries, 4) << "no temporary file is left";
  ::chmod(locked.c_str(), 0600);
}

}  // namespace md::test
