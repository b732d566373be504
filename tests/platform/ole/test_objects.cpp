// The in-process object classes: made, stored in a compound file, read back
// by their class id and drawn into a memory context.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/ole/objectclass.h"
#include "platform/win/wingdi.h"
#include "tests/support/oddfiles.h"

namespace {

using md::ole::EmbeddedObject;
using md::ole::ObjectClass;
using md::ole::Storage;

// A memory context on a top-down 32-bit DIB section, white to start with.
struct MemDC {
  MemDC(int w, int h) : width(w), height(h) {
    hdc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bmp = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(hdc, bmp);
    for (int i = 0; i < w * h; ++i) bits[i] = 0xFFFFFF;
  }
  ~MemDC() {
    SelectObject(hdc, old);
    DeleteObject(bmp);
    DeleteDC(hdc);
  }
  std::uint32_t At(int x, int y) const { return bits[y * width + x] & 0xFFFFFF; }
  int Count(std::uint32_t colour) const {
    int n = 0;
    for (int i = 0; i < width * height; ++i) n += (bits[i] & 0xFFFFFF) == colour;
    return n;
  }
  int width, height;
  HDC hdc;
  HBITMAP bmp;
  HGDIOBJ old;
  std::uint32_t* bits = nullptr;
};

// Stores an object as a compound file and reads it back through its class id.
std::unique_ptr<EmbeddedObject> StoreAndReload(const EmbeddedObject& object) {
  Storage s;
  object.Save(&s);
  std::vector<std::uint8_t> file;
  std::string error;
  EXPECT_TRUE(md::ole::WriteCompoundFile(s, &file, &error)) << error;
  Storage read;
  EXPECT_TRUE(md::ole::ReadCompoundFile(file.data(), file.size(), &read, &error)) << error;
  const ObjectClass* c = md::ole::FindClass(read.clsid);
  if (c == nullptr) return nullptr;
  auto loaded = c->createNew();
  EXPECT_TRUE(loaded->Load(read, &error)) << error;
  return loaded;
}

TEST(ObjectClasses, RegistryListsBothClassesFoundByIdAndName) {
  const auto& classes = md::ole::RegisteredClasses();
  ASSERT_EQ(classes.size(), 2u);
  for (const ObjectClass* c : classes) {
    EXPECT_EQ(md::ole::FindClass(c->clsid), c);
    EXPECT_EQ(md::ole::FindClassByProgId(c->progId), c);
    EXPECT_FALSE(c->userType.empty());
  }
  EXPECT_NE(classes[0]->clsid, classes[1]->clsid);
  EXPECT_EQ(md::ole::FindClass(md::ole::ClassId{}), nullptr);
  EXPECT_EQ(md::ole::FindClassByProgId("Other.Program"), nullptr);
}

TEST(ObjectClasses, PictureSurvivesStorageAndDrawsStretched) {
  auto picture = md::ole::PictureClass().createNew();
  ASSERT_NE(picture, nullptr);
  SIZE extent{}, again{};
  ASSERT_TRUE(picture->GetExtent(&extent));
  EXPECT_EQ(extent.cx, 4233);  // 160 px at 96 dpi in 0.01 mm
  EXPECT_EQ(extent.cy, 3175);
  auto reloaded = StoreAndReload(*picture);
  ASSERT_NE(reloaded, nullptr);
  EXPECT_EQ(&reloaded->Class(), &md::ole::PictureClass());
  ASSERT_TRUE(reloaded->GetExtent(&again));
  EXPECT_EQ(again.cx, extent.cx);
  EXPECT_EQ(again.cy, extent.cy);

  MemDC dc(100, 80);
  ASSERT_TRUE(reloaded->Draw(dc.hdc, RECT{10, 10, 90, 70}));
  EXPECT_EQ(dc.At(5, 5), 0xFFFFFFu);    // outside the rectangle: untouched
  EXPECT_EQ(dc.At(50, 40), 0xFFFFFFu);  // the cross's centre is white
  const std::uint32_t field = dc.At(80, 20);
  EXPECT_LT(field & 0xFF0000, 0x600000u);  // the blue field, not white
  EXPECT_GT(field & 0xFF, 0xA0u);
}

TEST(ObjectClasses, TextDocumentSurvivesStorageAndDrawsItsLines) {
  Storage s;
  const std::string text = "第一行\nsecond line\n";
  s.streams["Contents"].assign(text.begin(), text.end());
  auto doc = md::ole::TextDocumentClass().createNew();
  std::string error;
  ASSERT_TRUE(doc->Load(s, &error)) << error;
  SIZE extent{};
  ASSERT_TRUE(doc->GetExtent(&extent));
  // Two lines: 2 x 1.25 em + margins = 3 em; widest line 11 x 0.5 em + margins.
  EXPECT_EQ(extent.cy, 1500);
  EXPECT_EQ(extent.cx, 3000);
  auto reloaded = StoreAndReload(*doc);
  ASSERT_NE(reloaded, nullptr);
  SIZE again{};
  reloaded->GetExtent(&again);
  EXPECT_EQ(again.cx, extent.cx);

  MemDC dc(300, 150);
  for (int i = 0; i < 300 * 150; ++i) dc.bits[i] = 0x00FF00;
  ASSERT_TRUE(reloaded->Draw(dc.hdc, RECT{0, 0, 300, 150}));
  EXPECT_EQ(dc.At(2, 2), 0xFFFFFFu);  // the page is white
  EXPECT_GT(dc.Count(0x000000), 20);  // and carries text
  EXPECT_EQ(dc.Count(0x00FF00), 0);   // the whole rectangle is painted
}

TEST(ObjectClasses, BadContentIsRefusedAndTheObjectKept) {
  auto picture = md::ole::PictureClass().createNew();
  auto doc = md::ole::TextDocumentClass().createNew();
  SIZE before{}, after{};
  picture->GetExtent(&before);
  struct Case {
    EmbeddedObject* object;
    const char* stream;
    std::vector<std::uint8_t> bytes;
  };
  // The default picture with one byte of its image data changed, and cut
  // before its end chunk.
  Storage good;
  picture->Save(&good);
  std::vector<std::uint8_t> changed = good.streams["Picture"];
  ASSERT_GT(changed.size(), 60u);
  changed[changed.size() - 20] ^= 0x55;
  const std::vector<std::uint8_t> cut(good.streams["Picture"].begin(), good.streams["Picture"].end() - 12);
  std::vector<std::uint8_t> hugePng = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0,
                                       13,   'I', 'H', 'D', 'R',  0,    1,    0,    0, 0, 1,
                                       0,    0,   8,   6,   0,    0,    0,    0,    0, 0, 0};
  const Case cases[] = {
      {picture.get(), "Picture", {1, 2, 3}},
      {picture.get(), "Picture", hugePng},
      {picture.get(), "Picture", changed},
      {picture.get(), "Picture", cut},
      {picture.get(), "Other", {}},
      {doc.get(), "Contents", {0xC0, 0x80}},        // overlong form
      {doc.get(), "Contents", {0xED, 0xA0, 0x80}},  // surrogate
      {doc.get(), "Contents", {'a', 0xE4}},         // cut short
      {doc.get(), "Other", {}},
  };
  for (const Case& c : cases) {
    Storage s;
    s.streams[c.stream] = c.bytes;
    std::string error;
    EXPECT_FALSE(c.object->Load(s, &error));
    EXPECT_FALSE(error.empty());
  }
  picture->GetExtent(&after);
  EXPECT_EQ(after.cx, before.cx);
}

// Image data whose chunks are whole but whose compressed pixels are not is
// taken when read (the pixels are decoded when first drawn) and refuses to
// draw; its size still comes from the header.
TEST(ObjectClasses, PicturePixelsAreDecodedWhenFirstDrawn) {
  auto picture = md::ole::PictureClass().createNew();
  Storage s;
  picture->Save(&s);
  std::vector<std::uint8_t>& png = s.streams["Picture"];
  // The first image-data chunk's bytes replaced by a stored deflate block
  // that claims more bytes than follow, its check sum made right.
  std::size_t at = 8;
  while (at + 8 <= png.size() && std::memcmp(png.data() + at + 4, "IDAT", 4) != 0)
    at += 12 + ((std::size_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]);
  ASSERT_LT(at + 12, png.size());
  const std::size_t length =
      (std::size_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
  ASSERT_GE(length, 8u);
  const std::uint8_t bad[] = {0x78, 0x01, 0x00, 0xFF, 0x7F, 0x00, 0x80, 0x00};
  std::fill(png.begin() + static_cast<std::ptrdiff_t>(at + 8),
            png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length), 0);
  std::memcpy(png.data() + at + 8, bad, sizeof bad);
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), png.data() + at + 4, static_cast<uInt>(length + 4));
  for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));

  auto loaded = md::ole::PictureClass().createNew();
  std::string error;
  ASSERT_TRUE(loaded->Load(s, &error)) << error;
  SIZE extent{};
  ASSERT_TRUE(loaded->GetExtent(&extent));
  EXPECT_EQ(extent.cx, 4233);
  MemDC dc(40, 30);
  EXPECT_FALSE(loaded->Draw(dc.hdc, RECT{0, 0, 40, 30}));
  EXPECT_EQ(dc.Count(0xFFFFFF), 40 * 30);
  // A sound picture loaded into the same object draws.
  Storage sound;
  picture->Save(&sound);
  ASSERT_TRUE(loaded->Load(sound, &error)) << error;
  EXPECT_TRUE(loaded->Draw(dc.hdc, RECT{0, 0, 40, 30}));
}

TEST(ObjectClasses, ObjectsAreMadeFromFiles) {
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/ole_object.txt";
  { std::ofstream(path) << "from a file"; }
  std::string error;
  auto doc = md::ole::TextDocumentClass().createFromFile(path, &error);
  ASSERT_NE(doc, nullptr) << error;
  Storage s;
  doc->Save(&s);
  EXPECT_EQ(std::string(s.streams["Contents"].begin(), s.streams["Contents"].end()), "from a file");
  EXPECT_EQ(md::ole::PictureClass().createFromFile(path, &error), nullptr);  // not a PNG
  EXPECT_EQ(md::ole::TextDocumentClass().createFromFile(path + ".missing", &error), nullptr);
  std::remove(path.c_str());
  // Odd files are refused without waiting, whatever the class's limit.
  const md::test::OddPaths odd(std::filesystem::path(MD_TEST_OUTPUT_DIR) / "ole-odd",
                               std::uintmax_t{1} << 31);
  for (const auto& [name, odds] : odd.All()) {
    SCOPED_TRACE(name);
    for (const md::ole::ObjectClass* k : {&md::ole::TextDocumentClass(), &md::ole::PictureClass()}) {
      EXPECT_TRUE(md::test::EndsWithoutWaiting(odd.pipe,
                                               [&] { EXPECT_EQ(k->createFromFile(odds, &error), nullptr); }));
    }
  }
}

}  // namespace
