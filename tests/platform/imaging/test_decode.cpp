// Decoding each format: size, resolution and pixels of small pictures made
// by the libraries' own encoders; damaged, truncated and oversized files.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/imaging/decode.h"
#include "tests/platform/imaging/imagefiles.h"

namespace {

using namespace md::imaging;
namespace f = md::test::imagefiles;

struct Sample {
  const char* name;
  f::Bytes bytes;
  Format format;
  int width;
  int height;
  double dpi;     // 0: the file states none
  int tolerance;  // per channel (lossy formats)
};

std::vector<Sample> Samples() {
  return {
      {"png", f::Png(16, 12, f::Opaque(16, 12), 300), Format::Png, 16, 12, 300, 0},
      {"png-no-dpi", f::Png(7, 5, f::Opaque(7, 5)), Format::Png, 7, 5, 0, 0},
      {"jpeg", f::Jpeg(32, 16, f::Opaque(32, 16), 72), Format::Jpeg, 32, 16, 72, 40},
      {"gif", f::Gif(10, 8), Format::Gif, 10, 8, 0, 0},
      {"gif-interlaced", f::Gif(9, 17, false, true), Format::Gif, 9, 17, 0, 0},
      {"tiff", f::Tiff(12, 10, f::Opaque(12, 10), 200), Format::Tiff, 12, 10, 200, 0},
      {"tiff-cm", f::Tiff(6, 6, f::Opaque(6, 6), 254, true), Format::Tiff, 6, 6, 254, 0},
      {"bmp24", f::Bmp(5, 3, 24, 96), Format::Bmp, 5, 3, 96, 0},
      {"bmp32-topdown", f::Bmp(8, 6, 32, 0, true), Format::Bmp, 8, 6, 0, 0},
      {"bmp8", f::Bmp(11, 4, 8, 150), Format::Bmp, 11, 4, 150, 0},
  };
}

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

TEST(ImagingDecode, EachFormatGivesItsSizeResolutionAndPixels) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(DetectFormat(s.bytes.data(), s.bytes.size()), s.format);
    DecodeResult r = Decode(s.bytes.data(), s.bytes.size());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.bitmap->format, s.format);
    EXPECT_EQ(r.bitmap->width, s.width);
    EXPECT_EQ(r.bitmap->height, s.height);
    EXPECT_NEAR(r.bitmap->dpiX, s.dpi, 0.05);
    EXPECT_NEAR(r.bitmap->dpiY, s.dpi, 0.05);
    EXPECT_FALSE(r.bitmap->hasAlpha);
    // The centre of each quadrant has the quadrant's colour.
    for (int qy = 0; qy < 2; ++qy) {
      for (int qx = 0; qx < 2; ++qx) {
        const int x = qx == 0 ? s.width / 4 : (3 * s.width) / 4;
        const int y = qy == 0 ? s.height / 4 : (3 * s.height) / 4;
        const std::uint32_t want = f::Quadrants(x, y, s.width, s.height);
        const std::uint32_t got = r.bitmap->at(x, y);
        EXPECT_EQ(got >> 24, 0xFFu);
        for (int shift : {0, 8, 16}) {
          EXPECT_NEAR(Channel(got, shift), Channel(want, shift), s.tolerance) << "pixel " << x << "," << y;
        }
      }
    }
  }
}

TEST(ImagingDecode, TransparencyIsKeptPremultiplied) {
  // PNG: a half-transparent red pixel and a fully transparent one.
  const f::Bytes png = f::Png(2, 1, [](int x, int) { return x == 0 ? 0x80FF0000u : 0x0000FF00u; });
  DecodeResult r = Decode(png.data(), png.size());
  ASSERT_TRUE(r) << r.error;
  EXPECT_TRUE(r.bitmap->hasAlpha);
  EXPECT_EQ(r.bitmap->at(0, 0), 0x80800000u);
  EXPECT_EQ(r.bitmap->at(1, 0), 0u);
  // GIF: the transparent index leaves its pixel clear.
  const f::Bytes gif = f::Gif(4, 4, true);
  r = Decode(gif.data(), gif.size());
  ASSERT_TRUE(r) << r.error;
  EXPECT_TRUE(r.bitmap->hasAlpha);
  EXPECT_EQ(r.bitmap->at(0, 0), 0u);
  EXPECT_EQ(r.bitmap->at(1, 0), 0xFFFF0000u);
}

TEST(ImagingDecode, AdobeCmykJpegBecomesRgb) {
  // Stored as Adobe writes CMYK: inverted, 255 meaning no ink. No cyan, full
  // magenta and yellow, no black: red.
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = 8;
  c.image_height = 8;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(8 * 4);
  for (int x = 0; x < 8; ++x) {
    row[x * 4 + 0] = 255;
    row[x * 4 + 1] = 0;
    row[x * 4 + 2] = 0;
    row[x * 4 + 3] = 255;
  }
  while (c.next_scanline < c.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  const f::Bytes bytes(mem, mem + size);
  jpeg_destroy_compress(&c);
  std::free(mem);
  DecodeResult r = Decode(bytes.data(), bytes.size());
  ASSERT_TRUE(r) << r.error;
  const std::uint32_t p = r.bitmap->at(4, 4);
  EXPECT_NEAR(Channel(p, 16), 255, 3);
  EXPECT_NEAR(Channel(p, 8), 0, 3);
  EXPECT_NEAR(Channel(p, 0), 0, 3);
}

TEST(ImagingDecode, ADeclaredSizeBeyondTheLimitIsRefusedBeforeDecoding) {
  // Every decoder checks the size it reads from the header against the limit.
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    const std::size_t limit = static_cast<std::size_t>(s.width) * s.height * 4 - 1;
    DecodeResult r = Decode(s.bytes.data(), s.bytes.size(), limit);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("more than the limit"), std::string::npos) << r.error;
  }
  // A BMP header announcing 60000 x 60000 pixels over a few bytes.
  f::Bytes huge = f::Bmp(2, 2, 24);
  huge[18] = 0x60;
  huge[19] = 0xEA;
  huge[22] = 0x60;
  huge[23] = 0xEA;
  DecodeResult r = Decode(huge.data(), huge.size());
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("60000 x 60000"), std::string::npos) << r.error;
}

TEST(ImagingDecode, TruncatedAndDamagedFilesAreRefused) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    // Cut inside the pixel data, and cut right after the signature.
    for (std::size_t keep : {s.bytes.size() * 2 / 3, std::size_t{10}}) {
      f::Bytes cut(s.bytes.begin(),
                   s.bytes.begin() + static_cast<std::ptrdiff_t>(std::min(keep, s.bytes.size())));
      DecodeResult r = Decode(cut.data(), cut.size());
      EXPECT_FALSE(r) << "kept " << keep << " of " << s.bytes.size();
      EXPECT_FALSE(r.error.empty());
    }
  }
  // A JPEG cut inside its scan that still ends in an end-of-image marker.
  const f::Bytes jpeg = f::Jpeg(64, 48, f::Opaque(64, 48), 72);
  for (std::size_t keep : {jpeg.size() / 2, jpeg.size() * 4 / 5}) {
    f::Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(keep));
    cut.insert(cut.end(), {0xFF, 0xD9});
    DecodeResult r = Decode(cut.data(), cut.size());
    EXPECT_FALSE(r) << "kept " << keep << " of " << jpeg.size();
    EXPECT_NE(r.error.find("JPEG"), std::string::npos) << r.error;
  }
  const std::uint8_t text[] = "just some text";
  DecodeResult r = Decode(text, sizeof text);
  EXPECT_FALSE(r);
  EXPECT_EQ(r.error, "not a PNG, JPEG, GIF, TIFF, BMP, ICO, CUR, WMF or EMF picture");
  EXPECT_FALSE(Decode(nullptr, 0));
}

TEST(ImagingDecode, BmpRunLengthAndBitFields) {
  // RLE8, 4 x 2: bottom row "run of 4 x index 1", top row absolute 0,1,0,1.
  f::Bytes b = f::RleBmp(4, 2, 8, {4, 1, 0, 0, 0, 4, 0, 1, 0, 1, 0, 0, 0, 1});
  DecodeResult r = Decode(b.data(), b.size());
  ASSERT_TRUE(r) << r.error;
  EXPECT_EQ(r.bitmap->at(0, 0), 0xFF0000FFu);  // the top row starts with index 0, blue
  EXPECT_EQ(r.bitmap->at(1, 0), 0xFF00FF00u);
  EXPECT_EQ(r.bitmap->at(2, 1), 0xFF00FF00u);
  // The same run ending early is refused.
  b.resize(b.size() - 6);
  EXPECT_FALSE(Decode(b.data(), b.size()));
}

// The bytes copied to the very end of a readable page followed by one that
// cannot be read: a decoder reading past them stops the test at once.
class GuardedBytes {
 public:
  explicit GuardedBytes(const f::Bytes& bytes) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    size_ = (bytes.size() / page + 2) * page;
    base_ = static_cast<std::uint8_t*>(
        ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (base_ == MAP_FAILED) throw std::runtime_error("mmap failed");
    ::mprotect(base_ + size_ - page, page, PROT_NONE);
    data_ = base_ + size_ - page - bytes.size();
    std::copy(bytes.begin(), bytes.end(), data_);
  }
  ~GuardedBytes() { ::munmap(base_, size_); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;
  const std::uint8_t* data() const { return data_; }

 private:
  std::uint8_t* base_ = nullptr;
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// 1 x 1 RLE8 codes that move by (255, 0) until the column counter would
// pass 2^31, then paint one pixel with index 1.
f::Bytes MovesPastTheCounter() {
  f::Bytes codes;
  const std::size_t moves = (std::size_t{1} << 31) / 255 + 1;
  codes.reserve(moves * 4 + 4);
  for (std::size_t k = 0; k < moves; ++k) codes.insert(codes.end(), {0, 2, 255, 0});
  codes.insert(codes.end(), {1, 1, 0, 1});
  return codes;
}

TEST(ImagingDecode, BmpIndicesStayInsideTheRowsAndTheHeader) {
  struct Row {
    const char* name;
    f::Bytes bytes;
    const char* error;  // "" when the file is a picture
  };
  const Row rows[] = {
      {"rle8 moves past the column counter", f::RleBmp(1, 1, 8, MovesPastTheCounter()),
       "a move passes the edge of the picture"},
      {"rle8 move past the row", f::RleBmp(1, 1, 8, {0, 2, 2, 0, 1, 1, 0, 1}),
       "a move passes the edge of the picture"},
      {"rle8 move past the top", f::RleBmp(2, 2, 8, {0, 2, 0, 3, 0, 1}),
       "a move passes the edge of the picture"},
      {"rle8 absolute run past the row", f::RleBmp(1, 1, 8, {0, 3, 1, 1, 1, 0, 0, 1}),
       "a run passes the end of its row"},
      {"rle8 run past the row", f::RleBmp(2, 1, 8, {3, 1, 0, 1}), "a run passes the end of its row"},
      {"rle4 absolute run past the row", f::RleBmp(3, 1, 4, {0, 4, 0x10, 0x10, 0, 1}),
       "a run passes the end of its row"},
      {"rle8 move to the row's end, then the next row", f::RleBmp(2, 2, 8, {0, 2, 2, 0, 0, 0, 1, 1, 0, 1}),
       ""},
      {"52-byte header, alpha bit fields", f::BitFieldsBmp(52, 6, true),
       "the alpha mask lies outside the info header"},
      {"55-byte header, alpha bit fields", f::BitFieldsBmp(55, 6, true),
       "the alpha mask lies outside the info header"},
      {"56-byte header, alpha bit fields", f::BitFieldsBmp(56, 6, false), ""},
      {"52-byte header, bit fields", f::BitFieldsBmp(52, 3, false), ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const GuardedBytes bytes(row.bytes);
    const DecodeResult r = Decode(bytes.data(), row.bytes.size());
    if (*row.error == '\0') {
      ASSERT_TRUE(r) << r.error;
      EXPECT_EQ(r.bitmap->width * r.bitmap->height, static_cast<int>(r.bitmap->pixels.size()));
    } else {
      EXPECT_FALSE(r);
      EXPECT_EQ(r.error, std::string("BMP: ") + row.error);
    }
  }
  // The move to the row's end leaves the bottom row in the first colour and
  // paints the top row's first pixel.
  const DecodeResult r = Decode(rows[6].bytes.data(), rows[6].bytes.size());
  ASSERT_TRUE(r);
  EXPECT_EQ(r.bitmap->at(0, 1), 0xFF0000FFu);
  EXPECT_EQ(r.bitmap->at(0, 0), 0xFF00FF00u);
  EXPECT_EQ(r.bitmap->at(1, 0), 0xFF0000FFu);
}

TEST(ImagingDecode, BmpPalettesAndOffsetsOutsideTheFileAreRefused) {
  f::Bytes b = f::Bmp(4, 4, 8);
  f::Bytes badOffset = b;
  badOffset[10] = 0xFF;
  badOffset[11] = 0xFF;
  EXPECT_FALSE(Decode(badOffset.data(), badOffset.size()));
  f::Bytes badColours = b;
  badColours[46] = 0xFF;  // colours used: 255 entries, beyond the file
  DecodeResult r = Decode(badColours.data(), badColours.size());
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("colour table"), std::string::npos) << r.error;
}

}  // namespace
