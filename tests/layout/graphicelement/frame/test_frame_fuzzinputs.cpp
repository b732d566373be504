// The frame fuzz target's seeds are real stored frames, and every seed and
// every input that once broke the reader goes through the target's checks.
#include "tests/fuzz/frame_input.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/layout/graphicelement/frame/frametest.h"

namespace {

using namespace md::test;

std::vector<std::uint8_t> Stored(IGIS_FrameProperty* f) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  EXPECT_TRUE(f->Save(b));
  std::vector<std::uint8_t> bytes = md::test::fuzz::BufferBytes(b);
  b->Release();
  return bytes;
}

TEST(FrameFuzzInputs, SeedsAreStoredFramesAndEveryInputPassesTheChecks) {
  Frame plain(GIS_CreateFramePropertyObject());
  md::test::fuzz::WriteSeed("frame", "default", Stored(plain.get()));

  Frame edited(GIS_CreateFramePropertyObject());
  Symbol border(LineSymbol(RGB(10, 20, 30), 0.7));
  Symbol back(FillSymbol(RGB(200, 210, 220)));
  Symbol2 shadow2(FillSymbol2(RGB(7, 8, 9)));
  edited->SetBorderSymbolPtr(border.p);
  edited->SetBackSymbolPtr(back.p);
  edited->SetShadowSymbol2Ptr(shadow2.p);
  edited->SetBorderX(11);
  edited->SetBackY(14);
  edited->SetBorderGaps(21, 22, 23, 24);
  edited->SetBackGaps(31, 32, 33, 34);
  edited->SetBorderVisible(true, false, false, true);
  edited->SetShadowOffSetX(-150);
  edited->SetBorderRounding(40);
  edited->SetDraftMode(true);
  md::test::fuzz::WriteSeed("frame", "edited", Stored(edited.get()));

  int seeds = 0;
  for (const md::test::fuzz::Input& in : md::test::fuzz::AllInputs("frame")) {
    SCOPED_TRACE(in.file);
    md::test::ReadFrameInput(in.bytes.data(), in.bytes.size());
    if (!in.seed) continue;
    ++seeds;
    // A seed is a whole stored frame: it stores back to its own bytes.
    IGIS_DataBuffer* b = md::test::fuzz::BufferOf(in.bytes.data(), in.bytes.size());
    Frame f(GIS_CreateFramePropertyFromBuffer(b));
    b->Release();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Stored(f.get()), in.bytes);
  }
  EXPECT_GE(seeds, 2);
}

}  // namespace
