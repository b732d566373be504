// Loading files through the cache: a content is decoded once under any path
// until the file changes; refused files keep their reason; what is kept stays
// within one capacity.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <future>
#include <thread>

#include "platform/canvas/recording.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/platform/imaging/drawn.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/platform/imaging/metafiles.h"
#include "tests/support/sourceclock.h"

namespace {

using namespace md::imaging;
namespace f = md::test::imagefiles;
namespace m = md::test::metafiles;
namespace fs = std::filesystem;

struct Folder {
  Folder() : path(fs::temp_directory_path() / ("md-imaging-cache-" + std::to_string(::getpid()))) {
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::string File(const char* name) const { return (path / name).string(); }
  fs::path path;
};

// A picture is kept by its content: its copies under other paths share one
// decode, small or large, raster or metafile; a new picture under the path
// is decoded and the old one stays for its bytes.
TEST(ImagingCache, DecodesOnceUntilTheFileChanges) {
  enum class Then { LoadedAgain, Rewritten, Copied };
  struct Row {
    const char* what;
    f::Bytes bytes;
    Then then;
    f::Bytes other;  // what it is rewritten with
    std::size_t decodes, entries;
    bool samePicture;
  };
  const f::Bytes png = f::Png(8, 8, f::Opaque(8, 8));
  // Noise, which does not compress: a file of 1.6 MB.
  const f::Bytes large = f::Png(640, 640, [](int x, int y) {
    const std::uint32_t h =
        (static_cast<std::uint32_t>(x) * 2654435761u) ^ (static_cast<std::uint32_t>(y) * 40503u);
    return 0xFF000000u | ((h * 2246822519u) >> 8);
  });
  const Row rows[] = {
      {"a PNG loaded again", png, Then::LoadedAgain, {}, 1, 1, true},
      {"a PNG rewritten with another", png, Then::Rewritten, f::Png(9, 3, f::Opaque(9, 3)), 2, 2, false},
      {"a small PNG copied to three other paths", png, Then::Copied, {}, 1, 1, true},
      {"a large PNG copied to three other paths", large, Then::Copied, {}, 1, 1, true},
      {"a WMF rewritten with an EMF", m::SampleWmf(), Then::Rewritten, m::SampleEmf(), 2, 2, false},
      {"a WMF copied to three other paths", m::SampleWmf(), Then::Copied, {}, 1, 1, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Folder dir;
    const std::string a = dir.File("a");
    f::WriteAll(a, row.bytes);
    ImageCache cache;
    const DecodeResult first = cache.Load(a);
    ASSERT_TRUE(first) << first.error;
    if (row.then == Then::Rewritten) f::WriteAll(a, row.other);
    DecodeResult second = row.then == Then::Copied ? DecodeResult() : cache.Load(a);
    for (const char* name : {"b", "c", "d"}) {
      if (row.then != Then::Copied) break;
      fs::copy_file(a, dir.File(name));
      second = cache.Load(dir.File(name));
    }
    ASSERT_TRUE(second) << second.error;
    EXPECT_EQ(second.bitmap == first.bitmap, row.samePicture);
    EXPECT_EQ(cache.DecodeCount(), row.decodes);
    EXPECT_EQ(cache.EntryCount(), row.entries);
  }
}

constexpr std::int64_t kMs = 1000000;

TEST(ImagingCache, AFileSettlesOnceItsTimesWouldShowTheNextChange) {
  struct Row {
    const char* what;
    std::int64_t modified, changed;  // ns after a whole second
    std::int64_t age;                // of the later time when the stamp is taken
    bool settled;
  };
  const Row rows[] = {
      {"fine times, 99 ms old", 123456789, 123456789, 99 * kMs, false},
      {"fine times, 100 ms old", 123456789, 120000001, 100 * kMs, true},
      {"whole seconds, 1.99 s old", 0, 0, 1990 * kMs, false},
      {"whole seconds, 2 s old", 0, 0, 2000 * kMs, true},
      {"a change time on a 10 ms step, 1 s old", 123456789, 120000000, 1000 * kMs, false},
      {"a modification time on a 10 ms step, 2 s old", 120000000, 123456789, 2000 * kMs, true},
      {"a time ahead of the clock", 123456789, 123456789, -5000 * kMs, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    md::files::FileStamp stamp;
    stamp.known = true;
    const std::int64_t second = std::int64_t{1700000000} * 1000000000;
    stamp.modified = second + row.modified;
    stamp.changed = second + row.changed;
    EXPECT_EQ(ImageCache::Settled(stamp, stamp.LastChange() + row.age), row.settled);
  }
}

// A file drawn while it is fresh is read again each time, but decoded only
// when its content changed, however its stamp looks; once settled it is not
// read at all while its stamp stays.
TEST(ImagingCache, AFreshFileIsReadAgainButDecodedOnlyWhenItChanged) {
  enum class Change { None, InPlace, Renamed };
  struct Row {
    const char* what;
    std::vector<int> clock;  // ms after the file was written, one a load
    Change change;           // after the first load
    std::size_t reads, decodes;
    bool fineTimes;  // the row needs a file system that keeps them
  };
  const Row rows[] = {
      {"unchanged while fresh", {50, 50, 50, 50, 50}, Change::None, 5, 1, false},
      {"unchanged and settled", {3000, 3000, 3000, 3000, 3000}, Change::None, 1, 1, false},
      {"unchanged, settled after 150 ms", {150, 150, 150, 150, 150}, Change::None, 1, 1, true},
      {"unchanged, fresh, then settled", {50, 50, 3000, 3000, 3000}, Change::None, 3, 1, false},
      {"rewritten in place, same size", {50, 50}, Change::InPlace, 2, 2, false},
      {"another file renamed onto the path", {50, 50}, Change::Renamed, 2, 2, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Folder dir;
    const std::string path = dir.File("p.bmp"), other = dir.File("q.bmp");
    // The same size, other bytes: the resolution differs.
    f::WriteAll(path, f::Bmp(16, 16, 24, 96));
    f::WriteAll(other, f::Bmp(16, 16, 24, 300));
    const md::files::FileStamp stamp = md::files::StampOf(path);
    if (row.fineTimes && (stamp.modified % (10 * kMs) == 0 || stamp.changed % (10 * kMs) == 0)) {
      std::printf("not run: %s (the temporary folder keeps coarse file times)\n", row.what);
      continue;
    }
    const std::int64_t written = stamp.LastChange();
    md::test::SourceClock clock(written);
    ImageCache cache;
    double dpi = 0;
    for (std::size_t i = 0; i < row.clock.size(); ++i) {
      clock.now = written + row.clock[i] * kMs;
      const DecodeResult r = cache.Load(path);
      ASSERT_TRUE(r) << r.error;
      dpi = r.bitmap->dpiX;
      if (i == 0 && row.change == Change::InPlace) f::WriteAll(path, f::ReadAll(other));
      if (i == 0 && row.change == Change::Renamed) fs::rename(other, path);
    }
    EXPECT_NEAR(dpi, row.change == Change::None ? 96 : 300, 1);
    EXPECT_EQ(cache.ReadCount(), row.reads);
    EXPECT_EQ(cache.DecodeCount(), row.decodes);
  }
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

// Pictures, their files' readings and their resamplings leave, the least
// recently used first, so that all kept stays within the capacity; what fits
// stays decoded. Six 32 x 32 pictures are loaded in turn twelve times, each
// drawn at 16 x 16 and 8 x 8; the capacity holds the pictures that fit beside
// a full eighth of resamplings, and not one picture more.
TEST(ImagingCache, WhatIsKeptStaysWithinTheCapacityTheLeastRecentlyUsedLeavingFirst) {
  const struct { std::size_t pictures, decodes; } rows[] = {{6, 6}, {5, 12}, {0, 12}};
  Folder dir;
  std::vector<std::string> paths;
  for (int i = 0; i < 6; ++i) {
    paths.push_back(dir.File(("picture" + std::to_string(i) + ".bmp").c_str()));
    f::WriteAll(paths.back(), f::Bmp(32, 32, 24, 100 + i));
  }
  const std::size_t each = 2 * ImageCache::kEntryBytes + 32 * 32 * 4 + 2 * paths[0].size();
  md::canvas::RecordingCanvas canvas(64, 64);
  HDC hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.pictures << " pictures fit");
    const f::SharedCacheCapacity capacity(row.pictures * each * 8 / 7 + each / 16);
    ImageCache& cache = ImageCache::Shared();
    const std::size_t decodes = cache.DecodeCount();
    for (int i = 0; i < 12; ++i) {
      const DecodeResult r = cache.Load(paths[static_cast<std::size_t>(i) % paths.size()]);
      ASSERT_TRUE(r) << r.error;
      EXPECT_LE(cache.BytesKept(), cache.Capacity());
      for (const int side : {16, 8}) {
        ASSERT_TRUE(md::test::Drawn(hdc, *r.bitmap, i, 0, side, side));
        EXPECT_LE(cache.BytesKept(), cache.Capacity());
      }
    }
    EXPECT_EQ(cache.DecodeCount() - decodes, row.decodes);
    EXPECT_LE(cache.EntryCount(), row.pictures);
  }
  DeleteDC(hdc);
}

// A load that read the file's bytes answers the picture of those bytes,
// whatever another thread loaded from the path meanwhile; and what it
// remembers of the path leads no later load to another picture.
TEST(ImagingCacheThreads, TheBytesReadAndThePictureAnsweredBelongTogether) {
  Folder dir;
  const std::string path = dir.File("p.png");
  const f::Bytes eight = f::Png(8, 8, f::Opaque(8, 8)), other = f::Png(9, 3, f::Opaque(9, 3));
  f::WriteAll(path, eight);
  md::test::SourceClock clock(md::files::StampOf(path).LastChange());  // fresh: every load reads it
  ImageCache cache;
  ASSERT_TRUE(cache.Load(path));
  // The next load to read the file waits there while this thread loads the other picture.
  static std::promise<void> held, released;
  static std::atomic<bool> first;
  held = {}, released = {}, first = true;
  detail::SetCacheReadHook([](const std::string&) {
    if (first.exchange(false)) held.set_value(), released.get_future().wait();
  });
  DecodeResult heldLoad;
  std::thread loader([&] { heldLoad = cache.Load(path); });
  held.get_future().wait();
  f::WriteAll(path, other);
  const DecodeResult meanwhile = cache.Load(path);
  released.set_value();
  loader.join();
  f::WriteAll(path, eight);
  const DecodeResult after = cache.Load(path);
  detail::SetCacheReadHook(nullptr);
  std::vector<int> widths;
  for (const DecodeResult& r : {heldLoad, meanwhile, after}) widths.push_back(r.bitmap->width);
  EXPECT_EQ(widths, (std::vector<int>{8, 9, 8}));
}

}  // namespace
