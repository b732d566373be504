// The picture fuzz targets' seeds are small pictures of every format the
// loader reads (icons, cursors and metafiles with targets of their own, some of them the files of
// tests/platform/imaging/data), and damaged files named "refused-..." that lead the fuzzers to the
// branches that refuse them (the BMP run-length and bit-field ones, icons' damaged images, metafiles'
// frames). The helper's copies of a metafile's records (seeded with the tests' metafiles and the
// outside programs' files), its DIB reader (small DIBs of every depth) and the list writer's tiles
// (documents of tiles of every kind it paints) have targets of their own. Every seed and every input
// that once broke a reader goes through the targets' checks, and of the SVG check's seeds it lets
// through only the document cairo wrote.
#include <gtest/gtest.h>

#include <map>

#include "platform/imaging/decode.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/helper/svg/svgcheck.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilevectors.h"
#include "tests/fuzz/drawlist_input.h"
#include "tests/fuzz/drawlistcost_input.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/image_input.h"
#include "tests/fuzz/listtiles_input.h"
#include "tests/fuzz/metafilecopy_input.h"
#include "tests/platform/imaging/costlylists.h"
#include "tests/platform/imaging/drawlistbuilder.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace f = md::test::imagefiles;
namespace m = md::test::metafiles;
using md::test::fuzz::AllInputs;
using md::test::fuzz::Input;
using md::test::fuzz::WriteSeed;

TEST(ImagingFuzzInputs, SeedsArePicturesAndEveryInputPassesTheChecks) {
  WriteSeed("imagebmp", "bmp24", f::Bmp(5, 3, 24, 96));
  WriteSeed("imagebmp", "bmp8", f::Bmp(11, 4, 8, 150));
  WriteSeed("imagebmp", "bmp32-topdown", f::Bmp(8, 6, 32, 0, true));
  WriteSeed("imagebmp", "bmp-rle8", f::RleBmp(4, 2, 8, {4, 1, 0, 0, 0, 4, 0, 1, 0, 1, 0, 0, 0, 1}));
  WriteSeed("imagebmp", "refused-rle8-moves-past-the-row",
            f::RleBmp(1, 1, 8, {0, 2, 255, 0, 0, 3, 1, 1, 1, 0, 0, 1}));
  WriteSeed("imagebmp", "refused-alpha-mask-past-the-header", f::BitFieldsBmp(52, 6, true));
  WriteSeed("imageloader", "bmp24", f::Bmp(5, 3, 24, 96));
  WriteSeed("imageloader", "png", f::Png(16, 12, f::Opaque(16, 12), 300));
  WriteSeed("imageloader", "png-alpha",
            f::Png(2, 1, [](int x, int) { return x == 0 ? 0x80FF0000u : 0x0000FF00u; }));
  WriteSeed("imageloader", "jpeg", f::Jpeg(32, 16, f::Opaque(32, 16), 72));
  WriteSeed("imageloader", "gif", f::Gif(10, 8));
  WriteSeed("imageloader", "gif-interlaced-transparent", f::Gif(9, 17, true, true));
  WriteSeed("imageloader", "tiff", f::Tiff(12, 10, f::Opaque(12, 10), 200));

  WriteSeed("imageico", "ico-png-and-dib",
            m::Icon(1, {{16, 16, 24, m::IconDib(16, 16, 24, f::Opaque(16, 16))},
                        {32, 32, 32, f::Png(32, 32, f::Opaque(32, 32))}}));
  WriteSeed(
      "imageico", "ico-dib32-alpha",
      m::Icon(1, {{8, 8, 32, m::IconDib(8, 8, 32, [](int x, int) { return x < 4 ? 0x80FF0000u : 0u; })}}));
  WriteSeed(
      "imageico", "cur-dib24-mask",
      m::Icon(2, {{6, 4, 24, m::IconDib(6, 4, 24, [](int x, int y) { return x == y ? 0u : 0xFF00FF00u; })}}));
  WriteSeed("imagewmf", "wmf", m::SampleWmf());
  WriteSeed("imageemf", "emf", m::SampleEmf());
  {
    namespace dl = md::imaging::drawlist;
    using md::test::ListBuilder;
    using md::test::ListPath;
    dl::GradientHead linear;
    linear.extend = static_cast<std::uint32_t>(dl::Extend::Reflect);
    linear.points[2] = 20;
    dl::StrokeHead pen;
    pen.width = 3;
    pen.join = static_cast<std::uint32_t>(dl::Join::Round);
    const ListPath blob = ListPath().Move(4, 4).Curve(60, 0, 60, 60, 4, 60).Close();
    WriteSeed("drawlist", "every-kind",
              ListBuilder()
                  .Picture(2, 1, {0xFFFF0000u, 0x80008000u})
                  .Gradient(linear, {{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 0.5}}})
                  .PushClip(ListPath().Rect(2, 2, 60, 60), dl::FillRule::EvenOdd)
                  .PushGroup()
                  .Fill(ListBuilder::Gradient(0, 0.5), blob)
                  .Stroke(pen, {4, 2}, blob)
                  .PushMask()
                  .Image(0, dl::Matrix{8, 0, 0, 8, 10, 10})
                  .PopMask()
                  .PushGroup()
                  .PaintAll(ListBuilder::Pattern(0, dl::Matrix{0.5, 0, 0, 0.5, 0, 0}, dl::Extend::Repeat))
                  .PopGroup(0.5)
                  .PopClip()
                  .Bytes());
    WriteSeed("drawlist", "refused-a-group-left-open", ListBuilder().PushGroup().Bytes());
    // Real answers: the lists the helper answers of the tests' metafiles.
    for (const auto& [name, file] :
         {std::pair{"sample-wmf", m::SampleWmf()}, std::pair{"sample-emf", m::SampleEmf()},
          std::pair{"dib-wmf", m::DibWmf(40, 30, f::Opaque(40, 30))}}) {
      const md::imaging::DecodeResult r = md::imaging::Decode(file.data(), file.size());
      std::string error;
      bool spent = false;
      const auto vectors =
          r ? md::imaging::detail::ListMetafile(*r.bitmap, 600, 400, &error, &spent) : nullptr;
      const auto drawing =
          vectors != nullptr
              ? std::dynamic_pointer_cast<const md::imaging::DrawListDrawing>(vectors->Drawing())
              : nullptr;
      ASSERT_NE(drawing, nullptr) << name << ": " << r.error << error;
      const md::imaging::DrawList& list = *drawing->List();
      dl::Header header;
      std::memcpy(&header, list.Data(), sizeof header);
      WriteSeed("drawlist", std::string("answer-of-") + name,
                std::vector<std::uint8_t>(list.Data(), list.Data() + header.bytes));
    }
  }

  // The cost model's families, small: each kind of cost a list can run up.
  {
    namespace c = md::test::costly;
    WriteSeed("drawlistcost", "picture-sizes", c::PictureSizesList(16, 16));
    WriteSeed("drawlistcost", "far-curves-stroked", c::FarCurvesStrokedList(8, 3000));
    WriteSeed("drawlistcost", "squeezed-hairlines", c::SqueezedHairlinesList(4, 8));
    WriteSeed("drawlistcost", "refused-squeezed-round-dashes", c::SqueezedDashesList());
    WriteSeed("drawlistcost", "repeated-stops", c::RepeatedStopsList(16, 16, 2));
    WriteSeed("drawlistcost", "repeated-radials", c::RepeatedRadialsList(2));
    WriteSeed("drawlistcost", "crossing-curves", c::CrossingCurvesList(64));
  }

  int seeds = 0;
  const std::map<std::string, bool (*)(const std::uint8_t*, std::size_t)> readers = {
      {"imagebmp", &md::test::ReadImageBmpInput},
      {"imageloader", &md::test::ReadImageLoaderInput},
      {"imageico", &md::test::ReadImageIcoInput},
      {"imagewmf", &md::test::ReadImageWmfInput},
      {"imageemf", &md::test::ReadImageEmfInput},
      {"drawlist", &md::test::ReadDrawListInput},
      {"drawlistcost", &md::test::ReadDrawListCostInput},
      {"emfcopy", &md::test::ReadEmfCopyInput},
      {"wmfcopy", &md::test::ReadWmfCopyInput},
      {"dibpixels", &md::test::ReadDibInput},
      {"listtiles", &md::test::ReadListTilesInput},
      {"svgcheck", [](const std::uint8_t* data, std::size_t size) {
         return md::imaging::detail::SvgRefersOnlyToItself({reinterpret_cast<const char*>(data), size});
       }}};
  for (const auto& [target, read] : readers) {
    for (const Input& in : AllInputs(target.c_str())) {
      SCOPED_TRACE(in.file);
      const bool picture = read(in.bytes.data(), in.bytes.size());
      if (!in.seed) continue;
      // Every seed is a whole picture but those named as refused.
      EXPECT_EQ(picture, in.file.find("/refused-") == std::string::npos);
      ++seeds;
    }
  }
  EXPECT_GE(seeds, 122);
}

}  // namespace
