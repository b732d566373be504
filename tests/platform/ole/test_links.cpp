// Links and their sources: a link read from a storage writes nothing until
// it is updated; a source being written, or the kernel's, is not taken.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"
#include "tests/support/sourceclock.h"

namespace {

using md::ole::LinkedObject;

std::string Write(const std::string& name, const std::string& text) {
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Shown(const md::ole::EmbeddedObject& object) {
  const std::vector<std::uint8_t> bytes = object.Content();
  return std::string(bytes.begin(), bytes.end());
}

TEST(Links, ALinkReadFromAStorageWritesItsSourceOnlyOnceUpdated) {
  const std::string path = Write("link_unread.txt", "first");
  md::ole::Storage stored;
  md::ole::CreateLinkToFile(path, nullptr)->Save(&stored);
  const auto read = LinkedObject::FromStorage(stored, nullptr);
  ASSERT_NE(read, nullptr);
  const auto edit = md::ole::TextDocumentClass().createFromContent({'e', 'd', 'i', 't'}, nullptr);
  std::string error;
  EXPECT_FALSE(read->WriteSource(*edit, &error));
  EXPECT_NE(error.find("update the link first"), std::string::npos) << error;
  EXPECT_EQ(FileText(path), "first");
  EXPECT_TRUE(read->Update(&error)) << error;
  EXPECT_TRUE(read->WriteSource(*edit, &error)) << error;
  EXPECT_EQ(FileText(path), "edit");
}

// Rewrites the source once, longer, between its read and its second stamp.
int g_rewrites = 0;
void RewriteOnce(const std::string& path) {
  if (g_rewrites-- > 0) std::ofstream(path, std::ios::binary) << "rewritten while read";
}

TEST(Links, ASourceRewrittenWhileItIsReadIsNotTaken) {
  const struct {
    const char* name;
    std::function<bool(LinkedObject&, const std::string&, std::string*)> read;
  } kReads[] = {
      {"updating a link",
       [](LinkedObject& link, const std::string&, std::string* e) { return link.Update(e); }},
      {"making a link", [](LinkedObject&, const std::string& path,
                           std::string* e) { return md::ole::CreateLinkToFile(path, e) != nullptr; }},
  };
  for (const auto& r : kReads) {
    SCOPED_TRACE(r.name);
    const std::string path = Write("link_rewritten.txt", "first");
    const auto link = md::ole::CreateLinkToFile(path, nullptr);
    ASSERT_NE(link, nullptr);
    Write("link_rewritten.txt", "second");
    g_rewrites = 1;
    const md::ole::detail::SourceReadHook before = md::ole::detail::SetSourceReadHook(&RewriteOnce);
    std::string error;
    EXPECT_FALSE(r.read(*link, path, &error));
    md::ole::detail::SetSourceReadHook(before);
    EXPECT_NE(error.find("changed while it was read"), std::string::npos) << error;
    EXPECT_EQ(Shown(*link), "first");
    // The next update, once the source has settled, takes it as it is now.
    const md::test::SourceClock later;
    EXPECT_TRUE(link->Update(&error)) << error;
    EXPECT_EQ(Shown(*link), "rewritten while read");
  }
}

// A source changed under a second ago (by its change time; its modification
// time may be set back) may still be being written: it is refused until it
// has settled, one renamed into place as well.
TEST(Links, ASourceChangedLessThanASecondAgoIsTakenOnlyOnceSettled) {
  constexpr std::int64_t kSecond = 1000000000;
  const std::string path = Write("link_settling.txt", "first");
  const std::unique_ptr<LinkedObject> link = md::ole::CreateLinkToFile(path, nullptr);
  std::string error;
  std::vector<std::string> shown;
  // What the link shows once updated that long after the source's last change.
  const auto update = [&](std::int64_t after) {
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const md::test::SourceClock clock(st.st_ctim.tv_sec * kSecond + st.st_ctim.tv_nsec + after);
    link->Update(&error);
    shown.push_back(Shown(*link));
  };
  std::ofstream(path) << "second";
  // A fine clock's time: one in whole seconds may lie 2 s before its change.
  const timespec old[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 123456789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  update(kSecond / 3);
  EXPECT_NE(error.find("changed less than a second ago"), std::string::npos) << error;
  update(3 * kSecond / 2);
  std::rename(Write("link_settling.new", "third").c_str(), path.c_str());
  update(kSecond / 3);
  update(3 * kSecond / 2);
  EXPECT_EQ(shown, (std::vector<std::string>{"first", "second", "second", "third"}));
}

// A change may lie its times' lag (0.1 s fine, 2 s in whole seconds) after
// them, and a rewrite in place may show new bytes under the times shown, or
// an emptied file under times the link never saw: a source is taken a second
// after the latest change either allows.
TEST(Links, ASourceIsTakenOnlyASecondAfterTheLatestChangeItsTimesAllow) {
  constexpr std::int64_t kMs = 1000000, kFine = 123456789;  // ns after a second, off the 10 ms steps
  constexpr std::int64_t kSecond = std::int64_t{1700000000} * 1000 * kMs, kShown = kFine - 100000 * kMs;
  const struct {
    const char *what, *text;
    std::int64_t times, now, later;   // ns after kSecond; later: ns on, an update again
    const char* refused;              // why the first update is refused; "" when it takes the source
    const char* rewritten = nullptr;  // what the source holds from then on, under fresh times
  } rows[] = {
      {"fine, 1 s on, then 1.1 s", "second", kFine, kFine + 1000 * kMs, 100 * kMs, "a second ago"},
      {"whole seconds, 2.9 s on, then 3 s", "second", 0, 2900 * kMs, 100 * kMs, "a second ago"},
      {"longer under the times shown", "first, and more", kShown, 0, 0, "while its times did not"},
      {"emptied under the times shown, then 1.1 s on", "", kShown, 0, 1100 * kMs, "while its times did not"},
      {"emptied under times not seen, then rewritten", "", kFine, 60000 * kMs, 1200 * kMs,
       "is empty and may still be being written; try again in 1.10 s", "second"},
      {"emptied, with new times, then 1.1 s on", "", kFine, 60000 * kMs, 1100 * kMs,
       "is empty and may still be being written; try again in 1.10 s"},
  };
  static std::int64_t times;  // what every stamp of a source shows
  md::ole::detail::SetSourceStampHook(
      [](const std::string&, md::files::FileStamp* s) { s->modified = s->changed = times; });
  struct Unhook {
    ~Unhook() { md::ole::detail::SetSourceStampHook(nullptr); }
  } unhook;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const md::test::SourceClock clock(kSecond + row.now);
    times = kSecond + kShown;
    const auto link = md::ole::CreateLinkToFile(Write("link_times.txt", "first"), nullptr);
    ASSERT_NE(link, nullptr);
    Write("link_times.txt", row.text);
    times = kSecond + row.times;
    std::string error;
    EXPECT_EQ(link->Update(&error), !*row.refused);
    EXPECT_NE(error.find(row.refused), std::string::npos) << error;
    EXPECT_EQ(Shown(*link), *row.refused ? "first" : row.text);
    if (row.later == 0) continue;
    if (row.rewritten != nullptr) {
      Write("link_times.txt", row.rewritten);
      times = md::test::SourceClock::now + kMs / 2;
    }
    md::test::SourceClock::now += row.later;
    EXPECT_TRUE(link->Update(&error)) << error;
    EXPECT_EQ(Shown(*link), row.rewritten != nullptr ? row.rewritten : row.text);
  }
}

// Files of the kernel's own file systems are no sources, whatever their size
// says: neither embedded, nor linked, nor read by a link's update.
TEST(Links, FilesOfTheKernelsFileSystemsAreRefusedWithTheirFileSystem) {
  for (const auto& [path, fs] : {std::pair{"/proc/self/environ", "kernel's proc"},
                                 {"/sys/devices/system/cpu/online", "kernel's sysfs"}}) {
    std::string errors[3];
    EXPECT_FALSE(LinkedObject(path, md::ole::TextDocumentClass().createNew()).Update(&errors[0]));
    EXPECT_EQ(md::ole::CreateLinkToFile(path, &errors[1]), nullptr);
    EXPECT_EQ(md::ole::TextDocumentClass().createFromFile(path, &errors[2]), nullptr);
    for (const std::string& error : errors) EXPECT_NE(error.find(fs), std::string::npos) << error;
  }
}

}  // namespace
