// Links and their sources: a link read from a storage writes nothing until
// it is updated, a source rewritten while it is read or still settling is not
// taken, and the kernel's files are no sources.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"
#include "tests/support/sourceclock.h"

namespace {

using md::ole::LinkedObject;

// Writes the file in place (a name without a folder: in the tests' folder).
std::string Write(const std::string& name, const std::string& text) {
  const std::string path = name.front() == '/' ? name : std::string(MD_TEST_OUTPUT_DIR) + "/" + name;
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
    const md::test::SourceClock later(md::test::SourceClock::AMinuteFromNow());
    EXPECT_TRUE(link->Update(&error)) << error;
    EXPECT_EQ(Shown(*link), "rewritten while read");
  }
}

// A source changed within a second of now (its modification or change time)
// may still be being written in pieces: it is refused until an update finds
// it settled. A file renamed into place is taken at once.
TEST(Links, ASourceChangedLessThanASecondAgoIsTakenOnlyOnceSettled) {
  using md::test::kSecond;
  const struct {
    const char* name;
    std::function<void(const std::string&)> change;
    bool bTaken;  // at once
  } kCases[] = {
      {"rewritten in place", [](const std::string& p) { Write(p, "second"); }, false},
      {"rewritten in place, its modification time set back",
       [](const std::string& p) {
         Write(p, "second");
         const struct timespec old[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
         ::utimensat(AT_FDCWD, p.c_str(), old, 0);
       },
       false},
      {"renamed into place",
       [](const std::string& p) { std::rename(Write(p + ".new", "second").c_str(), p.c_str()); }, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path = Write("link_settling.txt", "first");
    const std::unique_ptr<LinkedObject> link = md::ole::CreateLinkToFile(path, nullptr);
    c.change(path);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const auto ns = [](const struct timespec& t) { return t.tv_sec * kSecond + t.tv_nsec; };
    const std::int64_t changed = std::max(ns(st.st_mtim), ns(st.st_ctim));
    std::string error;
    std::optional<md::test::SourceClock> clock(std::in_place, changed + kSecond / 3);
    EXPECT_EQ(link->Update(&error), c.bTaken) << error;
    if (!c.bTaken) {
      EXPECT_NE(error.find("changed less than a second ago"), std::string::npos) << error;
      EXPECT_EQ(Shown(*link), "first");
      clock.emplace(changed + 3 * kSecond / 2);
      EXPECT_TRUE(link->Update(&error)) << error;
    }
    EXPECT_EQ(Shown(*link), "second");
  }
}

// Files of the kernel's own file systems are no sources, whatever their size
// says: neither embedded, nor linked, nor read by a link's update.
TEST(Links, FilesOfTheKernelsFileSystemsAreRefusedWithTheirFileSystem) {
  for (const std::string path : {"/proc/self/environ", "/proc/self/mem", "/sys/devices/system/cpu/online"}) {
    SCOPED_TRACE(path);
    LinkedObject link(path, md::ole::TextDocumentClass().createNew());
    std::string updated, linked, embedded;
    EXPECT_FALSE(link.Update(&updated));
    EXPECT_EQ(md::ole::CreateLinkToFile(path, &linked), nullptr);
    EXPECT_EQ(md::ole::TextDocumentClass().createFromFile(path, &embedded), nullptr);
    for (const std::string& error : {updated, linked, embedded})
      EXPECT_NE(error.find(path.starts_with("/sys") ? "kernel's sysfs" : "kernel's proc"), std::string::npos)
          << error;
  }
}

}  // namespace
