// The picture fuzz targets' seeds are small pictures of every format the
// loader reads, and every seed and every input that once broke a reader goes
// through the targets' checks.
#include <gtest/gtest.h>

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/image_input.h"
#include "tests/platform/imaging/imagefiles.h"

namespace {

namespace f = md::test::imagefiles;
using md::test::fuzz::AllInputs;
using md::test::fuzz::Input;
using md::test::fuzz::WriteSeed;

// A BMP compressed with RLE8, 4 x 2: a run and an absolute row.
f::Bytes Rle8() {
  f::Bytes b = {'B', 'M'};
  const std::uint8_t pixels[] = {4, 1, 0, 0, 0, 4, 0, 1, 0, 1, 0, 0, 0, 1};
  constexpr std::uint32_t kOffBits = 14 + 40 + 8;
  for (std::uint32_t v : {kOffBits + static_cast<std::uint32_t>(sizeof pixels), 0u, kOffBits, 40u, 4u, 2u})
    f::Put32(b, v);
  f::Put16(b, 1);
  f::Put16(b, 8);
  for (std::uint32_t v :
       {1u, static_cast<std::uint32_t>(sizeof pixels), 0u, 0u, 2u, 0u, 0x000000FFu, 0x0000FF00u})
    f::Put32(b, v);
  b.insert(b.end(), std::begin(pixels), std::end(pixels));
  return b;
}

TEST(ImagingFuzzInputs, SeedsArePicturesAndEveryInputPassesTheChecks) {
  WriteSeed("imagebmp", "bmp24", f::Bmp(5, 3, 24, 96));
  WriteSeed("imagebmp", "bmp8", f::Bmp(11, 4, 8, 150));
  WriteSeed("imagebmp", "bmp32-topdown", f::Bmp(8, 6, 32, 0, true));
  WriteSeed("imagebmp", "bmp-rle8", Rle8());
  WriteSeed("imageloader", "bmp24", f::Bmp(5, 3, 24, 96));
  WriteSeed("imageloader", "png", f::Png(16, 12, f::Opaque(16, 12), 300));
  WriteSeed("imageloader", "png-alpha",
            f::Png(2, 1, [](int x, int) { return x == 0 ? 0x80FF0000u : 0x0000FF00u; }));
  WriteSeed("imageloader", "jpeg", f::Jpeg(32, 16, f::Opaque(32, 16), 72));
  WriteSeed("imageloader", "gif", f::Gif(10, 8));
  WriteSeed("imageloader", "gif-interlaced-transparent", f::Gif(9, 17, true, true));
  WriteSeed("imageloader", "tiff", f::Tiff(12, 10, f::Opaque(12, 10), 200));

  int seeds = 0;
  for (const char* target : {"imagebmp", "imageloader"}) {
    for (const Input& in : AllInputs(target)) {
      SCOPED_TRACE(in.file);
      const bool picture = std::string(target) == "imagebmp"
                               ? md::test::ReadImageBmpInput(in.bytes.data(), in.bytes.size())
                               : md::test::ReadImageLoaderInput(in.bytes.data(), in.bytes.size());
      if (!in.seed) continue;
      // Every seed is a whole picture.
      EXPECT_TRUE(picture);
      ++seeds;
    }
  }
  EXPECT_GE(seeds, 11);
}

}  // namespace
