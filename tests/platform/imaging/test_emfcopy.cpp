// The helper's copy of an EMF gives a clip of its own only where the
// clip's boxes and the transform back to logical units are numbers: a clip
// rectangle under a world transform whose offset is no number or infinite
// is left as the file gives it, and no clip path of the copy's is selected.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/imaging/helper/copies.h"
#include "platform/imaging/protocol/metafileheader.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace d = md::imaging::detail;
namespace m = md::test::metafiles;

constexpr std::uint32_t kIntersectClipRect = 30, kSetWorldTransform = 35, kRectangle = 43,
                        kSelectClipPath = 67;

// How many of the records of `b` are of the type.
long Count(const std::vector<std::uint8_t>& b, std::uint32_t type) {
  long n = 0;
  for (std::size_t at = 0; b.size() - at >= 8;) {
    const std::uint32_t bytes = d::MetafileU32(b.data() + at + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    n += d::MetafileU32(b.data() + at) == type;
    at += bytes;
  }
  return n;
}

TEST(EmfCopy, AClipUnderATransformOfNoNumberIsLeftAsTheFileGivesIt) {
  constexpr float kNan = std::numeric_limits<float>::quiet_NaN(),
                  kInf = std::numeric_limits<float>::infinity();
  const struct {
    const char* name;
    float dx, dy;
  } rows[] = {{"offset across of no number", kNan, 0},
              {"offset down of no number", 0, kNan},
              {"infinite offset across", kInf, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto word = [](float v) { return std::bit_cast<std::uint32_t>(v); };
    const m::Bytes file = m::Emf(2540, 2540,
                                 {{kSetWorldTransform, {word(1), 0, 0, word(1), word(row.dx), word(row.dy)}},
                                  {kIntersectClipRect, {10, 10, 50, 50}},
                                  {kRectangle, {0, 0, 80, 80}}},
                                 1);
    d::EmfFrame f;
    ASSERT_EQ(d::ReadEmfHeader(file.data(), file.size(), &f), "");
    const d::EmfCopy copy = d::CopyEmf(file.data(), f.declared, f, 1, 1, 1 << 20);
    EXPECT_EQ(Count(copy.records, kIntersectClipRect), 1);
    EXPECT_EQ(Count(copy.records, kSelectClipPath), 0);
  }
}

}  // namespace
