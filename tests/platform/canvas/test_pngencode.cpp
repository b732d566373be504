// The PNG encoder: stripes compressed on several threads join into one file
// that a PNG reader (libpng, through the imaging layer) reads back pixel for
// pixel, whatever the number of stripes; a missing row or a sink that stops
// gives no file.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <new>
#include <system_error>
#include <thread>

#include <cstdint>
#include <vector>

#include "platform/canvas/pngencode.h"
#include "platform/imaging/decode.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  int missingRow = -1;
  int rowOutOfMemory = -1;  // reading it throws std::bad_alloc
};

const std::uint32_t* RowOf(const void* context, int y) {
  const auto* p = static_cast<const Picture*>(context);
  if (y == p->missingRow) return nullptr;
  if (y == p->rowOutOfMemory) throw std::bad_alloc();
  return p->pixels.data() + static_cast<std::size_t>(y) * p->width;
}

// Flat bands with noise in places, so that stripes hold both kinds.
Picture Sample(int w, int h) {
  Picture p{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
  std::uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      const std::uint32_t flat = (y / 7) % 2 ? 0x00FFFFFFu : 0x00336699u;
      p.pixels[static_cast<std::size_t>(y) * w + x] = (x + y) % 5 == 0 ? (seed >> 8) & 0x00FFFFFFu : flat;
    }
  return p;
}

std::vector<std::uint8_t> Encode(const Picture& p, unsigned threads, bool* ok) {
  std::vector<std::uint8_t> out;
  *ok = md::canvas::EncodePng(
      md::canvas::PngRows{p.width, p.height, &p, &RowOf},
      [&](const std::uint8_t* d, std::size_t n) {
        out.insert(out.end(), d, d + n);
        return true;
      },
      threads);
  return out;
}

// Pixels of the picture the file reads back as differently (colour only);
// -1 when it does not read back at its size.
int Differing(const Picture& p, const std::vector<std::uint8_t>& png) {
  const md::imaging::DecodeResult r = md::imaging::Decode(png.data(), png.size());
  if (!r || r.bitmap->width != p.width || r.bitmap->height != p.height || r.bitmap->hasAlpha) return -1;
  int differing = 0;
  for (std::size_t i = 0; i < p.pixels.size(); ++i)
    differing += (r.bitmap->pixels[i] & 0x00FFFFFFu) != (p.pixels[i] & 0x00FFFFFFu);
  return differing;
}

TEST(PngEncode, EveryStripeCountReadsBackPixelForPixel) {
  struct Case {
    int width, height;
    unsigned threads;
  };
  const Case cases[] = {{1, 1, 1},     {3, 2, 4},      {33, 64, 1}, {33, 129, 2},
                        {257, 700, 8}, {100, 1000, 3}, {5, 640, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " on " << c.threads);
    const Picture p = Sample(c.width, c.height);
    bool ok = false;
    const std::vector<std::uint8_t> png = Encode(p, c.threads, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Differing(p, png), 0);
  }
  // One thread or eight: the same pixels, files of about the same size.
  const Picture p = Sample(300, 900);
  bool ok1 = false, ok8 = false;
  const std::size_t one = Encode(p, 1, &ok1).size(), eight = Encode(p, 8, &ok8).size();
  ASSERT_TRUE(ok1 && ok8);
  EXPECT_LT(eight, one + one / 20);
}

// Pictures whose symbols stress the block codes and the matches:
//   kBlack      one literal value only;
//   kSlant      rows repeating the row above shifted by a pixel;
//   kTile       a random tile repeated along each row;
//   kLines      paper with thin lines: runs far longer than one match, rows
//               the same as the row above (also across stripes), and rows
//               too long for a match to reach the row above.
enum Kind { kBlack, kSlant, kTile, kLines };
Picture Made(int w, int h, Kind kind) {
  Picture p{w, h,
            std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, kind == kLines ? 0xFFFFFFFFu : 0)};
  std::uint32_t seed = 777;
  const auto random = [&] { return (seed = seed * 1103515245u + 12345u) >> 8 & 0x00FFFFFFu; };
  std::vector<std::uint32_t> tile(7);
  for (int y = 0; y < h; ++y) {
    std::uint32_t* row = p.pixels.data() + static_cast<std::size_t>(y) * w;
    for (std::uint32_t& t : tile) t = random();
    if (kind == kLines) {
      row[(y * 3) % w] = 0x00C04020u;                         // a slanting line
      if (w > 40) row[w / 3] = row[w / 3 + 1] = 0x00102030u;  // a vertical pair
      if (y % 50 < 10)
        for (int x = 0; x < w; ++x)
          row[x] = x < w / 2 ? 0x0080C0E0u : 0xFF80C0E0u;  // a band, top bytes aside
      continue;
    }
    for (int x = 0; x < w; ++x) {
      if (kind == kSlant) row[x] = y == 0 ? random() : row[x - w + (x > 0 ? -1 : w - 1)];
      if (kind == kTile) row[x] = tile[x % 7];
    }
  }
  return p;
}

// Each reads back pixel for pixel and, where its repeats are matched,
// compresses to at most the bytes a pixel given.
TEST(PngEncode, StressedMatchesAndCodesReadBackPixelForPixel) {
  struct Case {
    const char* name;
    int width, height;
    Kind kind;
    unsigned threads;
    double maxBytesPerPixel;
  } const cases[] = {
      {"one pixel, one literal", 1, 1, kBlack, 1, 100},
      {"black band", 50, 200, kBlack, 2, 0.06},  // 84 bytes of it the file's fixed chunks
      {"slanting noise", 300, 200, kSlant, 2, 0.1},
      {"slanting, one column", 1, 70, kSlant, 1, 100},
      {"a tile along each row", 700, 130, kTile, 2, 0.2},
      {"tiles, too wide for the row above", 11000, 4, kTile, 1, 0.2},
      {"lines, one column", 1, 300, kLines, 2, 100},
      {"lines, narrow", 87, 130, kLines, 2, 0.3},
      {"lines", 1000, 640, kLines, 4, 0.3},
      {"lines, the widest row the window reaches", 10922, 130, kLines, 2, 0.3},
      {"lines, one pixel wider", 10923, 130, kLines, 2, 0.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Picture p = Made(c.width, c.height, c.kind);
    bool ok = false;
    const std::vector<std::uint8_t> png = Encode(p, c.threads, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Differing(p, png), 0);
    EXPECT_LT(static_cast<double>(png.size()), c.maxBytesPerPixel * static_cast<double>(p.pixels.size()));
  }
}

TEST(PngEncode, AMissingRowOrAStoppedSinkFails) {
  Picture p = Sample(40, 400);
  p.missingRow = 333;
  bool ok = true;
  Encode(p, 4, &ok);
  EXPECT_FALSE(ok);
  p.missingRow = -1;
  int calls = 0;
  EXPECT_FALSE(md::canvas::EncodePng(md::canvas::PngRows{p.width, p.height, &p, &RowOf},
                                     [&](const std::uint8_t*, std::size_t) { return ++calls < 3; }));
  EXPECT_FALSE(md::canvas::EncodePng(md::canvas::PngRows{0, 5, &p, &RowOf},
                                     [](const std::uint8_t*, std::size_t) { return true; }));
}

// Memory that runs out while a stripe is compressed, on the calling thread
// (the first stripe) or on a worker (a later one), is thrown on the calling
// thread once every worker has ended; the process goes on.
TEST(PngEncode, MemoryThatRunsOutOnAnyThreadIsThrownOnTheCallingOne) {
  const struct {
    int row;  // of 4 stripes of 100 rows
    const char* thread;
  } rows[] = {{50, "the calling thread"}, {250, "a worker"}, {399, "the last worker"}};
  for (const auto& row : rows) {
    Picture p = Sample(40, 400);
    p.rowOutOfMemory = row.row;
    bool ok = true;
    EXPECT_THROW(Encode(p, 4, &ok), std::bad_alloc) << row.thread;
  }
}

// Where no thread can be started (its user at one process, RLIMIT_NPROC 1,
// in a child process of a user of its own where the tests run as root), the
// stripes are all compressed on the calling thread: the same bytes. Needs
// the kernel's RLIMIT_NPROC, which every Linux holds: the row fails where a
// thread still starts under it.
TEST(PngEncode, StripesWhoseThreadsCannotStartAreCompressedOnTheCallingThreadAlike) {
  const Picture p = Sample(300, 900);
  bool ok = false;
  const std::vector<std::uint8_t> free = Encode(p, 4, &ok);
  ASSERT_TRUE(ok);
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const uid_t own = static_cast<uid_t>(100000 + ::getpid());
    if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(own) != 0 || ::setuid(own) != 0))
      ::_exit(3);
    rlimit limit{};
    ::getrlimit(RLIMIT_NPROC, &limit);
    limit.rlim_cur = 1;
    if (::setrlimit(RLIMIT_NPROC, &limit) != 0) ::_exit(3);
    try {
      std::thread([] {}).join();
      ::_exit(4);  // a thread started: the limit does not hold
    } catch (const std::system_error&) {
    }
    bool limitedOk = false;
    const std::vector<std::uint8_t> limited = Encode(p, 4, &limitedOk);
    ::_exit(!limitedOk ? 1 : limited != free ? 2 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child ended on signal " << WTERMSIG(status);
  const char* said[] = {"the same bytes", "no file", "other bytes", "no user of its own or no limit",
                        "a thread started under RLIMIT_NPROC 1"};
  const int code = WEXITSTATUS(status);
  EXPECT_EQ(code, 0) << (code < 5 ? said[code] : "?");
}

}  // namespace
