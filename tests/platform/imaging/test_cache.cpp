// Loading files through the cache: the same bytes are decoded once, under
// any path, until they change; refused files keep their reason.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/imaging/loader.h"
#include "tests/platform/imaging/imagefiles.h"

namespace {

using namespace md::imaging;
namespace f = md::test::imagefiles;
namespace fs = std::filesystem;

struct Folder {
  Folder() : path(fs::temp_directory_path() / ("md-imaging-cache-" + std::to_string(::getpid()))) {
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::string File(const char* name) const { return (path / name).string(); }
  fs::path path;
};

TEST(ImagingCache, DecodesOnceUntilTheFileChanges) {
  Folder dir;
  const std::string a = dir.File("a.png");
  f::WriteAll(a, f::Png(8, 8, f::Opaque(8, 8)));
  ImageCache cache;
  DecodeResult first = cache.Load(a);
  ASSERT_TRUE(first) << first.error;
  DecodeResult second = cache.Load(a);
  EXPECT_EQ(second.bitmap, first.bitmap);
  EXPECT_EQ(cache.DecodeCount(), 1u);
  // Another picture under the same name: decoded again.
  f::WriteAll(a, f::Png(9, 3, f::Opaque(9, 3)));
  DecodeResult third = cache.Load(a);
  ASSERT_TRUE(third);
  EXPECT_EQ(third.bitmap->width, 9);
  EXPECT_EQ(cache.DecodeCount(), 2u);
  EXPECT_EQ(cache.EntryCount(), 2u);  // the first picture stays for its bytes
  // The same bytes under another path, as a picture kept in a page is read
  // back: not decoded again.
  const std::string b = dir.File("b.png");
  fs::copy_file(a, b);
  EXPECT_TRUE(cache.Load(b));
  EXPECT_EQ(cache.DecodeCount(), 2u);
}

TEST(ImagingCache, RefusedAndMissingFilesGiveTheirReason) {
  Folder dir;
  const std::string bad = dir.File("bad.jpg");
  f::Bytes cut = f::Jpeg(16, 16, f::Opaque(16, 16));
  cut.resize(cut.size() / 2);
  f::WriteAll(bad, cut);
  ImageCache cache;
  DecodeResult r = cache.Load(bad);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("JPEG"), std::string::npos) << r.error;
  EXPECT_FALSE(cache.Load(bad));
  EXPECT_EQ(cache.DecodeCount(), 1u);
  DecodeResult missing = cache.Load(dir.File("none.png"));
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.error.find("cannot open"), std::string::npos);
  EXPECT_FALSE(LoadFile(dir.path.string()));  // a folder is not a picture
}

TEST(ImagingCache, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
  Folder dir;
  const std::string pipe = dir.File("pipe.png");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ImageCache cache;
  DecodeResult r = cache.Load(pipe);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("not a regular file"), std::string::npos) << r.error;
  std::vector<std::uint8_t> bytes;
  std::string error;
  EXPECT_FALSE(ReadFileBytes(pipe, &bytes, &error));
  EXPECT_TRUE(bytes.empty());
}

TEST(ImagingCache, TheLeastRecentlyUsedPicturesLeaveBeyondTheCapacity) {
  Folder dir;
  // Three pictures of 16 x 16 x 4 = 1024 bytes in a cache of 2100 bytes.
  ImageCache cache(2100);
  std::vector<std::string> paths;
  for (int dpi : {96, 150, 300}) {
    paths.push_back(dir.File((std::to_string(dpi) + ".bmp").c_str()));
    f::WriteAll(paths.back(), f::Bmp(16, 16, 24, dpi));
  }
  ASSERT_TRUE(cache.Load(paths[0]));
  ASSERT_TRUE(cache.Load(paths[1]));
  ASSERT_TRUE(cache.Load(paths[0]));  // 1 is now the most recent
  ASSERT_TRUE(cache.Load(paths[2]));  // 2 leaves
  EXPECT_EQ(cache.EntryCount(), 2u);
  EXPECT_EQ(cache.BytesKept(), 2048u);
  const std::size_t decodes = cache.DecodeCount();
  ASSERT_TRUE(cache.Load(paths[0]));
  EXPECT_EQ(cache.DecodeCount(), decodes);
  ASSERT_TRUE(cache.Load(paths[1]));
  EXPECT_EQ(cache.DecodeCount(), decodes + 1);
}

}  // namespace
