// The objects' own records in their storages ("Link", "Static", "View"):
// each damaged form refused with its reason, the icon's extent.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/ole/icon.h"
#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"

namespace {

using md::ole::Storage;

// A linked text document's storage, in the form written before links kept
// a relative path too (still read).
Storage LinkStorage() {
  Storage s;
  md::ole::TextDocumentClass().createFromContent({'t'}, nullptr)->Save(&s);
  s.streams["Link"] = {1, 0, 0, 0, 4, 0, 0, 0, '/', 'a', '.', 't'};
  return s;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> v;
  for (int b : values) v.push_back(static_cast<std::uint8_t>(b));
  return v;
}

TEST(ObjectRecords, DamagedRecordsAreRefusedWithTheirReason) {
  const struct {
    const char* name;
    std::function<void(Storage&)> damage;
    const char* why;
  } kCases[] = {
      {"link of a later version", [](Storage& s) { s.streams["Link"][0] = 3; }, "unknown version"},
      {"relative path leaving the page's folder",
       [](Storage& s) {
         s.streams["Link"] =
             Bytes({2, 0, 0, 0, 4, 0, 0, 0, '/', 'a', '.', 't', 4, 0, 0, 0, '.', '.', '/', 't'});
       },
       "damaged link"},
      {"relative path from the root",
       [](Storage& s) {
         s.streams["Link"] = Bytes({2, 0, 0, 0, 4, 0, 0, 0, '/', 'a', '.', 't', 2, 0, 0, 0, '/', 't'});
       },
       "damaged link"},
      {"absolute path that is not", [](Storage& s) { s.streams["Link"][8] = '+'; }, "damaged link"},
      {"link path longer than its record", [](Storage& s) { s.streams["Link"][4] = 9; }, "damaged link"},
      {"bytes after the link path", [](Storage& s) { s.streams["Link"].push_back(0); }, "damaged link"},
      {"empty link path",
       [](Storage& s) {
         s.streams["Link"] = Bytes({1, 0, 0, 0, 0, 0, 0, 0});
       },
       "damaged link"},
      {"NUL in the link path", [](Storage& s) { s.streams["Link"][9] = 0; }, "damaged link"},
      {"link path not UTF-8", [](Storage& s) { s.streams["Link"][9] = 0xFF; }, "damaged link"},
      {"both linked and static",
       [](Storage& s) {
         s.streams["Static"] = Bytes({1, 0, 0, 0});
       },
       "both"},
      {"static of a later version",
       [](Storage& s) {
         s.streams.erase("Link");
         s.streams["Static"] = Bytes({2, 0, 0, 0});
       },
       "unknown version"},
      {"link without content", [](Storage& s) { s.streams.erase("Contents"); }, "no text stream"},
      {"view of a later version",
       [](Storage& s) {
         s.streams["View"] = Bytes({2, 0, 0, 0, 1, 0, 0, 0, 0});
       },
       "unknown version"},
      {"view of an unknown aspect",
       [](Storage& s) {
         s.streams["View"] = Bytes({1, 0, 0, 0, 2, 0, 0, 0, 0});
       },
       "damaged view"},
      {"view icon cut short",
       [](Storage& s) {
         s.streams["View"] = Bytes({1, 0, 0, 0, 4, 0, 0, 0, 1, 9});
       },
       "damaged view"},
      {"bytes after the view",
       [](Storage& s) {
         s.streams["View"] = Bytes({1, 0, 0, 0, 1, 0, 0, 0, 0, 0});
       },
       "damaged view"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Storage s = LinkStorage();
    std::string error;
    ASSERT_NE(md::ole::LoadObject(s, &error), nullptr) << error;
    c.damage(s);
    md::ole::ObjectView view;
    view.drawAspect = 4;
    const bool bLoaded =
        md::ole::LoadObject(s, &error) != nullptr && md::ole::ReadObjectView(s, &view, &error);
    EXPECT_FALSE(bLoaded);
    EXPECT_NE(error.find(c.why), std::string::npos) << error;
  }
}

TEST(ObjectRecords, TheIconIsAsWideAsItsLabelAndLongLabelsAreCut) {
  const struct {
    std::string label;
    LONG cx;
  } kCases[] = {
      {"", 1400},                      // the class's name, four wide characters: 4 x 320 + 2 x 60
      {"a.txt", 970},                  // the icon's 850 and the margins
      {"rivers-and-lakes.txt", 3320},  // 20 narrow characters: 10 x 320 + 120
  };
  for (const auto& c : kCases) {
    const md::ole::IconicPicture icon = md::ole::IconOfClass(md::ole::TextDocumentClass(), c.label);
    EXPECT_EQ(md::ole::IconicExtent(icon).cx, c.cx) << c.label;
    EXPECT_EQ(md::ole::IconicExtent(icon).cy, 1300);
  }
  std::string longLabel(md::ole::kMaxIconLabel - 1, 'x');
  longLabel += "图";  // three bytes over the limit: cut before it
  EXPECT_EQ(md::ole::IconOfClass(md::ole::PictureClass(), longLabel).label.size(),
            md::ole::kMaxIconLabel - 1);
}

}  // namespace
