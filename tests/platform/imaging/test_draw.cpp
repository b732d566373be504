// Drawing pictures into screen, printer and memory-bitmap contexts: the
// destination rectangle, orientation, clip and filtering.
#include <gtest/gtest.h>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/platform/imaging/metafiles.h"
#include "tests/platform/imaging/recordedimage.h"

namespace {

using namespace md::imaging;
namespace cv = md::canvas;
namespace f = md::test::imagefiles;
namespace m = md::test::metafiles;

Bitmap QuadrantBitmap(int w, int h) {
  Bitmap b;
  b.width = w;
  b.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.pixels.push_back(0xFF000000u | f::Quadrants(x, y, w, h));
  return b;
}

using md::test::RecordedPixel;

struct Screen {
  Screen() : canvas(200, 150), hdc(md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine())) {}
  ~Screen() { DeleteDC(hdc); }
  const cv::Record& Image() const { return *canvas.recordsOf(cv::Record::Type::Image).at(0); }
  cv::RecordingCanvas canvas;
  HDC hdc;
};

TEST(ImagingDraw, StretchesIntoTheDestinationRectangle) {
  Screen s;
  const Bitmap b = QuadrantBitmap(4, 4);
  ASSERT_TRUE(DrawBitmap(s.hdc, b, 10, 20, 40, 60));
  const cv::Record& r = s.Image();
  EXPECT_EQ(r.dst, (cv::Rect{10, 20, 50, 80}));
  EXPECT_FALSE(r.state.clip.active);
  EXPECT_EQ(RecordedPixel(r, 15, 25), 0xFF0000u);
  EXPECT_EQ(RecordedPixel(r, 45, 25), 0x00FF00u);
  EXPECT_EQ(RecordedPixel(r, 15, 75), 0x0000FFu);
  EXPECT_EQ(RecordedPixel(r, 45, 75), 0xFFFFFFu);
}

TEST(ImagingDraw, AnAxisRunningBackwardsMirrors) {
  Screen s;
  const Bitmap b = QuadrantBitmap(4, 4);
  // From (10, 80) up to (50, 20): the bottom row of the picture on top.
  ASSERT_TRUE(DrawBitmap(s.hdc, b, 10, 80, 40, -60));
  const cv::Record& r = s.Image();
  EXPECT_EQ(r.dst, (cv::Rect{10, 20, 50, 80}));
  EXPECT_EQ(RecordedPixel(r, 15, 25), 0x0000FFu);
  EXPECT_EQ(RecordedPixel(r, 45, 75), 0x00FF00u);
}

TEST(ImagingDraw, UprightUnderAYUpMappingWithANegativeHeight) {
  cv::RecordingCanvas canvas(2480, 3508);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 300;
  HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  // 0.01 mm, y up, paper top-left at (0, 0).
  SetMapMode(hdc, MM_HIMETRIC);
  const Bitmap b = QuadrantBitmap(2, 2);
  // The rectangle 10 mm .. 30 mm across, -10 mm .. -20 mm down the paper.
  ASSERT_TRUE(DrawBitmap(hdc, b, 1000, -1000, 2000, -1000));
  const cv::Record& r = *canvas.recordsOf(cv::Record::Type::Image).at(0);
  EXPECT_EQ(r.dst, (cv::Rect{118, 118, 354, 236}));
  EXPECT_EQ(RecordedPixel(r, 130, 130), 0xFF0000u);  // red stays top-left
  EXPECT_EQ(RecordedPixel(r, 340, 230), 0xFFFFFFu);
  DeleteDC(hdc);
}

TEST(ImagingDraw, OnlyTheVisiblePartUnderTheClipIsComputed) {
  Screen s;
  const Bitmap b = QuadrantBitmap(4, 4);
  HRGN clip = CreateRectRgn(0, 0, 30, 150);
  SelectClipRgn(s.hdc, clip);
  DeleteObject(clip);
  const RECT extra{20, 0, 200, 40};
  ASSERT_TRUE(DrawBitmap(s.hdc, b, 10, 20, 40, 60, &extra));
  const cv::Record& r = s.Image();
  EXPECT_TRUE(r.state.clip.active);
  EXPECT_EQ(r.state.clip.rects, (std::vector<cv::Rect>{{20, 0, 30, 40}}));
  EXPECT_EQ(r.dst, (cv::Rect{20, 20, 30, 40}));
  EXPECT_EQ(RecordedPixel(r, 22, 30), 0xFF0000u);
  // Nothing visible: nothing drawn, still a success.
  const RECT outside{100, 100, 120, 120};
  s.canvas.clear();
  EXPECT_TRUE(DrawBitmap(s.hdc, b, 10, 20, 40, 60, &outside));
  EXPECT_TRUE(s.canvas.recordsOf(cv::Record::Type::Image).empty());
  // Past the surface: only the part on it.
  SelectClipRgn(s.hdc, nullptr);
  s.canvas.clear();
  EXPECT_TRUE(DrawBitmap(s.hdc, b, 180, 140, 1000000, 1000000));
  EXPECT_EQ(s.Image().dst, (cv::Rect{180, 140, 200, 150}));
}

TEST(ImagingDraw, ShrinkingAveragesAndEnlargingInterpolates) {
  Screen s;
  // Alternating black and white columns, 8 wide: shrunk to 2 pixels each
  // device pixel covers two black and two white columns.
  Bitmap stripes;
  stripes.width = 8;
  stripes.height = 2;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 8; ++x) stripes.pixels.push_back(x % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
  ASSERT_TRUE(DrawBitmap(s.hdc, stripes, 0, 0, 2, 1));
  const cv::Record& r = s.Image();
  for (std::uint32_t p : r.pixels) EXPECT_EQ(p & 0xFFFFFF, 0x808080u);
  // Two pixels black and white enlarged to 4: a ramp between them.
  Bitmap pair;
  pair.width = 2;
  pair.height = 1;
  pair.pixels = {0xFF000000u, 0xFFFFFFFFu};
  s.canvas.clear();
  ASSERT_TRUE(DrawBitmap(s.hdc, pair, 0, 0, 4, 1));
  const std::vector<std::uint32_t>& px = s.Image().pixels;
  ASSERT_EQ(px.size(), 4u);
  EXPECT_EQ(px[0] & 0xFF, 0u);
  EXPECT_EQ(px[1] & 0xFF, 64u);
  EXPECT_EQ(px[2] & 0xFF, 191u);
  EXPECT_EQ(px[3] & 0xFF, 255u);
}

TEST(ImagingDraw, IntoAMemoryBitmap) {
  Screen s;
  HDC mem = CreateCompatibleDC(s.hdc);
  HBITMAP bmp = CreateCompatibleBitmap(s.hdc, 20, 20);
  HGDIOBJ old = SelectObject(mem, bmp);
  const Bitmap b = QuadrantBitmap(2, 2);
  ASSERT_TRUE(DrawBitmap(mem, b, 0, 0, 20, 20));
  EXPECT_EQ(GetPixel(mem, 2, 2), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 17, 2), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(mem, 2, 17), RGB(0, 0, 255));
  // Half-transparent black over the white-filled corner blends to grey.
  Bitmap half;
  half.width = half.height = 1;
  half.hasAlpha = true;
  half.pixels = {0x80000000u};
  ASSERT_TRUE(DrawBitmap(mem, half, 10, 10, 10, 10));
  const COLORREF c = GetPixel(mem, 15, 15);
  EXPECT_NEAR(GetRValue(c), 127, 2);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

// A printer of the given resolution drawing into a recording canvas; the
// picture spans one inch by half an inch, its logical units device pixels.
struct Printer {
  explicit Printer(int dpi) : canvas(4000, 4000) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = dpi;
    hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  }
  ~Printer() { DeleteDC(hdc); }
  const cv::Record& Image() const { return *canvas.recordsOf(cv::Record::Type::Image).at(0); }
  cv::RecordingCanvas canvas;
  HDC hdc;
};

TEST(ImagingDraw, OnFineDevicesThePictureIsComputedOnA600DpiGrid) {
  struct Case {
    int dpi;
    int cellsAcross, cellsDown;  // of a picture an inch wide and half an inch high
  };
  for (const Case& c : {Case{300, 300, 150}, Case{600, 600, 300}, Case{1200, 600, 300}, Case{2540, 600, 300},
                        Case{1000, 600, 300}}) {
    SCOPED_TRACE(c.dpi);
    Printer p(c.dpi);
    ASSERT_NE(p.hdc, nullptr);
    const Bitmap b = QuadrantBitmap(8, 8);
    ASSERT_TRUE(DrawBitmap(p.hdc, b, 10, 20, c.dpi, c.dpi / 2));
    const cv::Record& r = p.Image();
    // The cells cover the whole destination on the device.
    EXPECT_EQ(r.dst, (cv::Rect{10, 20, 10 + c.dpi, 20 + c.dpi / 2}));
    EXPECT_EQ(r.src, (cv::Rect{0, 0, c.cellsAcross, c.cellsDown}));
    ASSERT_EQ(r.pixels.size(), static_cast<std::size_t>(c.cellsAcross) * c.cellsDown);
    // The quadrants land in the cells of their quarter of the destination.
    auto cell = [&](int x, int y) {
      return r.pixels[static_cast<std::size_t>(y) * c.cellsAcross + x] & 0xFFFFFF;
    };
    EXPECT_EQ(cell(2, 2), 0xFF0000u);
    EXPECT_EQ(cell(c.cellsAcross - 3, 2), 0x00FF00u);
    EXPECT_EQ(cell(2, c.cellsDown - 3), 0x0000FFu);
    EXPECT_EQ(cell(c.cellsAcross - 3, c.cellsDown - 3), 0xFFFFFFu);
    // The blend between the halves is centred on the grid: the red of a
    // cell left of the middle is the green of its mirror on the right.
    for (int k = 0; k < c.cellsAcross / 8; ++k) {
      const int left = static_cast<int>(cell(c.cellsAcross / 2 - 1 - k, 2) >> 16);
      const int right = static_cast<int>((cell(c.cellsAcross / 2 + k, 2) >> 8) & 0xFF);
      EXPECT_NEAR(left, right, 1) << k;
    }
  }
}

TEST(ImagingDraw, OnAFineDeviceAClippedPictureComputesOnlyTheVisibleCells) {
  Printer p(2540);
  ASSERT_NE(p.hdc, nullptr);
  HRGN clip = CreateRectRgn(0, 0, 1280, 4000);  // the left half of the picture and a little more
  SelectClipRgn(p.hdc, clip);
  DeleteObject(clip);
  ASSERT_TRUE(DrawBitmap(p.hdc, QuadrantBitmap(8, 8), 0, 0, 2540, 2540));
  const cv::Record& r = p.Image();
  EXPECT_EQ(r.dst, (cv::Rect{0, 0, 1280, 2540}));
  // 1280 device pixels at 2540 dpi: 303 cells of 600 dpi (rounded up).
  EXPECT_EQ(r.src, (cv::Rect{0, 0, 303, 600}));
  ASSERT_EQ(r.pixels.size(), 303u * 600u);
  EXPECT_EQ(r.pixels[10 * 303 + 10] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(r.pixels[590 * 303 + 10] & 0xFFFFFF, 0x0000FFu);
  // The last cell lies at the middle of the picture, where red and green
  // blend about evenly (the cells spread over the whole picture would end
  // in pure green).
  const std::uint32_t last = r.pixels[10 * 303 + 302];
  const int red = static_cast<int>((last >> 16) & 0xFF), green = static_cast<int>((last >> 8) & 0xFF);
  EXPECT_NEAR(red, green, 30);
  EXPECT_NEAR(red + green, 255, 2);
}

TEST(ImagingDraw, BadArgumentsAreRefused) {
  Screen s;
  Bitmap empty;
  EXPECT_FALSE(DrawBitmap(s.hdc, empty, 0, 0, 10, 10));
  Bitmap wrong;
  wrong.width = 4;
  wrong.height = 4;  // no pixels
  EXPECT_FALSE(DrawBitmap(s.hdc, wrong, 0, 0, 10, 10));
  EXPECT_FALSE(DrawBitmap(nullptr, QuadrantBitmap(2, 2), 0, 0, 10, 10));
  EXPECT_TRUE(DrawBitmap(s.hdc, QuadrantBitmap(2, 2), 0, 0, 0, 10));
  EXPECT_TRUE(s.canvas.records().empty());
}

}  // namespace

namespace {

// A picture drawn again onto the same device rectangle gives the pixels of
// the first drawing (kept, not computed anew); another rectangle, or a copy
// of the bitmap whose pixels changed, is resampled.
TEST(ImagingDraw, ARepeatedDrawingGivesTheSamePixelsAndAnotherIsResampled) {
  Screen s;
  Bitmap b = QuadrantBitmap(7, 5);
  ASSERT_TRUE(DrawBitmap(s.hdc, b, 10, 20, 33, 41));
  ASSERT_TRUE(DrawBitmap(s.hdc, b, 10, 20, 33, 41));
  ASSERT_TRUE(DrawBitmap(s.hdc, b, 10, 20, 17, 41));
  const auto images = s.canvas.recordsOf(cv::Record::Type::Image);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[1]->pixels, images[0]->pixels);
  EXPECT_EQ(images[1]->dst, images[0]->dst);
  EXPECT_EQ(images[2]->dst, (cv::Rect{10, 20, 27, 61}));
  EXPECT_NE(images[2]->pixels.size(), images[0]->pixels.size());

  // A copy starts with nothing kept: its changed pixels show.
  Bitmap changed = b;
  for (std::uint32_t& p : changed.pixels) p = 0xFF102030u;
  ASSERT_TRUE(DrawBitmap(s.hdc, changed, 10, 20, 33, 41));
  const cv::Record& last = *s.canvas.recordsOf(cv::Record::Type::Image).back();
  EXPECT_EQ(RecordedPixel(last, 12, 22), 0x102030u);
  EXPECT_EQ(RecordedPixel(*images[0], 12, 22), 0xFF0000u);
}

}  // namespace

namespace {

// A picture drawn onto several rectangles in turn is resampled once for each
// while the eighth of the picture cache's capacity that resamplings may take
// holds them, the least recently drawn leaving first; a rectangle of the same
// size elsewhere (a view that scrolled) takes the pixels resampled for the
// first. Seen by changing the pixels afterwards, which a kept resampling does
// not show.
TEST(ImagingDraw, APictureDrawnOntoSeveralRectanglesIsResampledOnceForEach) {
  struct Row {
    int fit;    // resamplings the capacity's eighth holds
    int drawn;  // rectangles drawn first, in turn, the ith 10 + i pixels wide
    int again;  // the one drawn again after the pixels changed
    int shift;  // pixels it moved to the right and down meanwhile
    bool kept;
  };
  const Row rows[] = {
      {4, 4, 0, 0, true}, {4, 5, 0, 0, false}, {4, 5, 1, 0, true}, {4, 1, 0, 7, true}, {0, 1, 0, 0, false}};
  const auto bytes = [](int i) { return (10 + i) * 10 * 4 + ImageCache::kEntryBytes; };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.drawn << " drawn, " << row.fit << " fit, again: " << row.again
                                    << " moved by " << row.shift);
    std::size_t share = 0;
    for (int i = 0; i < row.fit; ++i) share += bytes(i);
    const f::SharedCacheCapacity capacity(8 * (share + bytes(0) / 2));
    cv::RecordingCanvas canvas(40, 40);
    HDC hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
    Bitmap b = QuadrantBitmap(7, 5);
    for (int i = 0; i < row.drawn; ++i) ASSERT_TRUE(DrawBitmap(hdc, b, 0, 0, 10 + i, 10));
    for (std::uint32_t& p : b.pixels) p = 0xFF102030u;
    ASSERT_TRUE(DrawBitmap(hdc, b, row.shift, row.shift, 10 + row.again, 10));
    DeleteDC(hdc);
    const cv::Record& last = *canvas.recordsOf(cv::Record::Type::Image).back();
    EXPECT_EQ(RecordedPixel(last, row.shift + 1, row.shift + 1), row.kept ? 0xFF0000u : 0x102030u);
  }
}

// The sample EMF, decoded.
DecodeResult SampleEmfDecoded() {
  const f::Bytes emf = md::test::metafiles::SampleEmf();
  return Decode(emf.data(), emf.size());
}

// A width x height raster a screen DC drew the picture onto at (x, y), w x h,
// inside the clip if one is given.
std::unique_ptr<cv::CairoCanvas> DrawnOn(int width, int height, const Bitmap& picture, int x, int y, int w,
                                         int h, const RECT* clip = nullptr) {
  auto canvas = cv::CairoCanvas::createImage(width, height);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FixedMetricsEngine());
  EXPECT_TRUE(DrawBitmap(hdc, picture, x, y, w, h, clip));
  DeleteDC(hdc);
  canvas->flush();
  return canvas;
}

// A metafile drawn onto a raster puts there, inside the clip only, the
// pixels the helper paints of the whole box: mirrored or not, partly off the
// surface, by the first drawing (the helper's painting) and by the next (the
// kept one), as a drawing with nothing kept and no clip puts them.
TEST(ImagingDraw, AMetafileOnARasterPutsTheHelpersPaintingOfTheBoxInsideTheClip) {
  // The destination from one corner to the other, on a 600 x 450 surface
  // (larger than half the EMF's pixels, 591 x 295); the clip.
  const std::pair<RECT, RECT> rows[] = {{{50, 25, 450, 225}, {0, 0, 600, 450}},
                                        {{450, 225, 50, 25}, {0, 0, 600, 450}},
                                        {{50, 400, 450, 200}, {150, 100, 350, 450}},
                                        {{350, 300, 750, 500}, {0, 0, 600, 450}}};
  const DecodeResult r = SampleEmfDecoded();
  ASSERT_TRUE(r) << r.error;
  const auto drawn = [&](const RECT& to, const RECT* clip) {
    return DrawnOn(600, 450, *r.bitmap, to.left, to.top, to.right - to.left, to.bottom - to.top, clip);
  };
  for (const auto& [to, clip] : rows) {
    SCOPED_TRACE(testing::Message() << to.left << ", " << to.top << " to " << to.right << ", " << to.bottom);
    std::unique_ptr<cv::CairoCanvas> whole;
    {
      const f::SharedCacheCapacity nothingKept(0);
      whole = drawn(to, nullptr);
    }
    const f::SharedCacheCapacity capacity(ImageCache::kDefaultCapacity);
    for (int drawing = 0; drawing < 2; ++drawing) {
      const std::unique_ptr<cv::CairoCanvas> kept = drawn(to, &clip);
      EXPECT_EQ(ImageCache::Shared().PaintingCount(), 1u);
      int differing = 0;
      for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 600; ++x)
          differing += (kept->pixelRow(y)[x] & 0xFFFFFFu) !=
                       (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom
                            ? whole->pixelRow(y)[x] & 0xFFFFFFu
                            : 0xFFFFFFu);
      EXPECT_EQ(differing, 0);
    }
    ImageCache::Shared().Clear();
  }
}

// A metafile is painted by its helper at each size it is drawn at, its own
// (300 dpi of it) as any other, shrunk or mirrored: nothing is resampled.
TEST(ImagingDraw, AMetafileIsPaintedByItsHelperAtEachSize) {
  const DecodeResult r = SampleEmfDecoded();
  ASSERT_TRUE(r) << r.error;
  ASSERT_EQ(r.bitmap->width, 591);
  ASSERT_EQ(r.bitmap->height, 295);
  const BitmapPtr own = m::OwnPixels(r.bitmap);
  const struct {
    int width, height;
    std::size_t paints;
  } rows[] = {{295, 147, 1}, {296, 147, 1}, {591, 295, 1}, {-591, 295, 1}};
  const f::SharedCacheCapacity capacity(ImageCache::kDefaultCapacity);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << " x " << row.height);
    ImageCache::Shared().Clear();
    const std::size_t paints = detail::VectorPaintCount();
    const auto canvas = DrawnOn(700, 400, *r.bitmap, row.width < 0 ? 650 : 50, 50, row.width, row.height);
    EXPECT_EQ(detail::VectorPaintCount() - paints, row.paints);
    EXPECT_EQ(ImageCache::Shared().ResamplingCount(), 0u);
    if (row.width == 591) {
      // At its own size, its pixels there.
      int differing = 0;
      for (int y = 0; y < 295; ++y)
        for (int x = 0; x < 591; ++x) {
          // The premultiplied pixel over the surface's white.
          const std::uint32_t p = own->at(x, y), white = 0xFFu - (p >> 24),
                              q = canvas->pixelRow(50 + y)[50 + x];
          for (const int shift : {0, 8, 16})
            differing += ((p >> shift) & 0xFFu) + white != ((q >> shift) & 0xFFu);
        }
      EXPECT_EQ(differing, 0);
    }
  }
}

// A box too large for one run of the helper (past its pixels, or wider than
// a raster may be) is painted where it shows only, by one run: two surfaces
// that see it through windows 30 pixels apart show the same pixels where
// they overlap, but for the rounding of edges placed 30 pixels apart on a
// scale of ten (a few levels of a channel).
TEST(ImagingDraw, ABoxTooLargeForOneRunIsPaintedWhereItShows) {
  const DecodeResult r = SampleEmfDecoded();
  ASSERT_TRUE(r) << r.error;
  const f::SharedCacheCapacity nothingKept(0);
  // The box, and its corner on the first surface.
  const RECT rows[] = {{-2000, -500, 4000, 5500}, {-10000, -100, 30000, 200}};
  for (const RECT& box : rows) {
    SCOPED_TRACE(testing::Message() << box.right - box.left << " x " << box.bottom - box.top);
    std::unique_ptr<cv::CairoCanvas> seen[2];
    for (int k = 0; k < 2; ++k) {
      const std::size_t paints = detail::VectorPaintCount();
      seen[k] = DrawnOn(300, 2000, *r.bitmap, box.left - 30 * k, box.top, box.right - box.left,
                        box.bottom - box.top);
      EXPECT_EQ(detail::VectorPaintCount() - paints, 1u);
    }
    int most = 0, inked = 0;  // the largest difference of a channel
    for (int y = 0; y < 2000; ++y)
      for (int x = 0; x + 30 < 300; ++x) {
        const std::uint32_t a = seen[0]->pixelRow(y)[x + 30], b = seen[1]->pixelRow(y)[x];
        for (const int shift : {0, 8, 16})
          most = std::max(
              most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
        inked += (seen[1]->pixelRow(y)[x] & 0xFFFFFFu) != 0xFFFFFFu;
      }
    EXPECT_LE(most, 8);
    EXPECT_GT(inked, 0);
  }
}

}  // namespace
