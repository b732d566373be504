// Links and their sources: a link read from a storage reads and writes
// nothing until it is updated, and a source rewritten while it is read is
// not taken.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"

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

TEST(Links, ALinkReadFromAStorageReadsAndWritesItsSourceOnlyOnceUpdated) {
  const std::string path = Write("link_unread.txt", "first");
  const auto made = md::ole::CreateLinkToFile(path, nullptr);
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->IsFollowing());
  md::ole::Storage stored;
  made->Save(&stored);
  const auto read = LinkedObject::FromStorage(stored, nullptr);
  ASSERT_NE(read, nullptr);
  EXPECT_FALSE(read->IsFollowing());

  Write("link_unread.txt", "second");
  std::string error;
  EXPECT_TRUE(read->Refresh(&error));
  EXPECT_EQ(Shown(*read), "first");
  const auto edit = md::ole::TextDocumentClass().createFromContent({'e', 'd', 'i', 't'}, nullptr);
  EXPECT_FALSE(read->WriteSource(*edit, &error));
  EXPECT_NE(error.find("update the link first"), std::string::npos) << error;
  EXPECT_EQ(FileText(path), "second");

  EXPECT_TRUE(read->Update(&error)) << error;
  EXPECT_EQ(Shown(*read), "second");
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
    // The next update takes the source as it is now.
    EXPECT_TRUE(link->Update(&error)) << error;
    EXPECT_EQ(Shown(*link), "rewritten while read");
  }
}

}  // namespace
