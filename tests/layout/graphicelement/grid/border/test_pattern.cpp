// The pattern border: values, stored form, the layout of its corners and
// tiles, the tile cap, drawing and conversion.
#include <cmath>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"

namespace {

using md::layout::border::BorderRing;
using md::layout::border::PatternBand;
using md::layout::border::WalkPatternBand;
using md::test::BorderPage;
using md::test::BufferOf;
using md::test::Collect;
using md::test::LaidPiece;
using md::test::LogMark;
using md::test::Owned;
using md::test::PaintedOf;
using md::test::Printer;
using md::test::Stored;
using md::test::SymbolBytes;

// The eight setters and getters in the order of CGIS_MapBorderPattern::Slot.
struct Access {
  void (IGIS_MapBorderPattern::*set)(IGIS_Symbol*);
  IGIS_Symbol* (IGIS_MapBorderPattern::*get)();
};
const Access kAccess[] = {
    {&IGIS_MapBorderPattern::SetLeftTopSymbolPtr, &IGIS_MapBorderPattern::GetLeftTopSymbolPtr},
    {&IGIS_MapBorderPattern::SetLeftBottomSymbolPtr, &IGIS_MapBorderPattern::GetLeftBottomSymbolPtr},
    {&IGIS_MapBorderPattern::SetRightTopSymbolPtr, &IGIS_MapBorderPattern::GetRightTopSymbolPtr},
    {&IGIS_MapBorderPattern::SetRightBottomSymbolPtr, &IGIS_MapBorderPattern::GetRightBottomSymbolPtr},
    {&IGIS_MapBorderPattern::SetTopSymbolPtr, &IGIS_MapBorderPattern::GetTopSymbolPtr},
    {&IGIS_MapBorderPattern::SetBottomSymbolPtr, &IGIS_MapBorderPattern::GetBottomSymbolPtr},
    {&IGIS_MapBorderPattern::SetLeftSymbolPtr, &IGIS_MapBorderPattern::GetLeftSymbolPtr},
    {&IGIS_MapBorderPattern::SetRightSymbolPtr, &IGIS_MapBorderPattern::GetRightSymbolPtr},
};

COLORREF ColourOf(int slot) { return RGB(20 * slot, 255 - 20 * slot, 100 + 10 * slot); }

// A pattern border whose eight symbols have eight colours.
CGIS_MapBorderPattern* Painted() {
  auto* b = new CGIS_MapBorderPattern();
  for (int i = 0; i < 8; ++i) {
    Owned<IGIS_Symbol> s(md::test::NewFill(ColourOf(i)));
    const Access& a = kAccess[i];
    (b->*a.set)(s.get());
  }
  return b;
}

TEST(MapBorderPattern, NewBorderHasNoSymbolsAndUnitScales) {
  Owned<CGIS_MapBorderPattern> b(new CGIS_MapBorderPattern());
  EXPECT_EQ(b->GetBorderWidth(), 2000);
  for (const Access& a : kAccess) EXPECT_EQ((b.get()->*a.get)(), nullptr);
  EXPECT_EQ(b->GetTopScale(), 1.0);
  EXPECT_EQ(b->GetBottomScale(), 1.0);
  EXPECT_EQ(b->GetLeftScale(), 1.0);
  EXPECT_EQ(b->GetRightScale(), 1.0);
}

TEST(MapBorderPattern, ScaleSettersIgnoreValuesNotAboveZeroOrNotFinite) {
  Owned<CGIS_MapBorderPattern> b(new CGIS_MapBorderPattern());
  b->SetTopScale(0.0);
  b->SetTopScale(-2.0);
  b->SetTopScale(std::nan(""));
  b->SetTopScale(INFINITY);
  EXPECT_EQ(b->GetTopScale(), 1.0);
  b->SetTopScale(0.25);
  EXPECT_EQ(b->GetTopScale(), 0.25);
}

TEST(MapBorderPattern, SymbolSettersKeepCopiesAndTheSameObjectIsKept) {
  Owned<CGIS_MapBorderPattern> b(Painted());
  for (int i = 0; i < 8; ++i) {
    const Access& a = kAccess[i];
    IGIS_Symbol* held = (b.get()->*a.get)();
    ASSERT_NE(held, nullptr) << i;
    EXPECT_EQ(held->GetColor(), ColourOf(i)) << i;
    (b.get()->*a.set)(held);
    EXPECT_EQ((b.get()->*a.get)(), held) << i;
  }
  LogMark mark;
  b->SetRightBottomSymbolPtr(nullptr);
  EXPECT_EQ(b->GetRightBottomSymbolPtr(), nullptr);
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderPattern::SetRightBottomSymbolPtr", "right == NULL"), 1);
}

TEST(MapBorderPattern, CloneCopiesEverythingButTheNameAndComparesUnequal) {
  Owned<CGIS_MapBorderPattern> b(Painted());
  b->SetLeftScale(1.5);
  b->SetName("花边");
  Owned<IGIS_MapBorder> c(b->Clone());
  auto* clone = dynamic_cast<IGIS_MapBorderPattern*>(c.get());
  ASSERT_NE(clone, nullptr);
  EXPECT_STREQ(clone->GetName(), "");
  EXPECT_EQ(clone->GetLeftScale(), 1.5);
  for (const Access& a : kAccess) EXPECT_EQ(SymbolBytes((clone->*a.get)()), SymbolBytes((b.get()->*a.get)()));
  EXPECT_TRUE(*b.get() != clone);
  Owned<CGIS_MapBorderPattern> x(new CGIS_MapBorderPattern()), y(new CGIS_MapBorderPattern());
  EXPECT_TRUE(*x.get() == static_cast<IGIS_MapBorderPattern*>(y.get()));
  y->SetBottomScale(2.0);
  EXPECT_FALSE(*x.get() == static_cast<IGIS_MapBorderPattern*>(y.get()));
}

TEST(MapBorderPattern, StoredFormRoundTripsAndKeepsWhatTheBufferLacks) {
  Owned<CGIS_MapBorderPattern> a(Painted());
  a->SetTopScale(0.5);
  a->SetRightScale(3.0);
  a->SetName("P");
  const std::vector<BYTE> bytes = Stored(a.get());
  IGIS_DataBuffer* buffer = BufferOf(bytes);
  Owned<CGIS_MapBorderPattern> b(new CGIS_MapBorderPattern());
  EXPECT_TRUE(b->Open(buffer));
  for (const Access& acc : kAccess)
    EXPECT_EQ(SymbolBytes((b.get()->*acc.get)()), SymbolBytes((a.get()->*acc.get)()));
  EXPECT_EQ(b->GetTopScale(), 0.5);
  EXPECT_EQ(b->GetRightScale(), 3.0);
  EXPECT_STREQ(b->GetName(), "P");
  EXPECT_EQ(Stored(b.get()), bytes);

  // A new border stores eight FALSE flags and reports FALSE; reading that
  // leaves another border's symbols alone.
  Owned<CGIS_MapBorderPattern> empty(new CGIS_MapBorderPattern());
  EXPECT_FALSE(empty->Save(buffer));
  IGIS_Symbol* kept = b->GetTopSymbolPtr();
  EXPECT_TRUE(b->Open(buffer));
  EXPECT_EQ(b->GetTopSymbolPtr(), kept);

  // Stored scales are taken as they are, 0 included; a missing one stays.
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("TopScale", "TopScale", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(2.0);
  set->AddProperty("BottomScale", "BottomScale", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(2.0);
  set->AddProperty("LeftScale", "LeftScale", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(0.0);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  b->SetRightScale(3.0);
  EXPECT_FALSE(b->Open(buffer));
  EXPECT_EQ(b->GetLeftScale(), 0.0);
  EXPECT_EQ(b->GetRightScale(), 3.0);
  set->Release();
  buffer->Release();
}

// ---- Layout

IGIS_Symbol* Tag(int i) {
  return reinterpret_cast<IGIS_Symbol*>(static_cast<std::intptr_t>(0x100 * (i + 1)));
}

PatternBand TaggedBand(double top = 1.0, double bottom = 1.0, double left = 1.0, double right = 1.0) {
  PatternBand band;
  for (int i = 0; i < 4; ++i) band.corners[i] = Tag(i);
  for (int i = 0; i < 4; ++i) band.sides[i] = Tag(4 + i);
  band.scales[0] = top;
  band.scales[1] = bottom;
  band.scales[2] = left;
  band.scales[3] = right;
  return band;
}

std::vector<LaidPiece> Of(const std::vector<LaidPiece>& all, IGIS_Symbol* s) {
  std::vector<LaidPiece> out;
  for (const LaidPiece& p : all) {
    if (p.symbol == s) out.push_back(p);
  }
  return out;
}

TEST(PatternLayout, CornersAndTilesOfASheet) {
  std::vector<LaidPiece> laid;
  WalkPatternBand(SGIS_Rect(1000, 51000, 101000, 1000), 2000, TaggedBand(), Collect(&laid), "test", nullptr);
  using P = SGIS_Point;
  // The corners first, each with its own symbol.
  ASSERT_GE(laid.size(), 4u);
  EXPECT_EQ(laid[0].symbol, Tag(0));
  EXPECT_EQ(laid[0].ring,
            (BorderRing{P(-1000, 53000), P(1000, 53000), P(1000, 51000), P(-1000, 51000), P(-1000, 53000)}));
  EXPECT_EQ(laid[3].symbol, Tag(3));  // right-bottom
  EXPECT_EQ(laid[3].ring, (BorderRing{P(101000, 1000), P(103000, 1000), P(103000, -1000), P(101000, -1000),
                                      P(101000, 1000)}));
  const auto top = Of(laid, Tag(4));
  ASSERT_EQ(top.size(), 50u);
  EXPECT_EQ(top.front().ring,
            (BorderRing{P(1000, 53000), P(3000, 53000), P(3000, 51000), P(1000, 51000), P(1000, 53000)}));
  EXPECT_EQ(top.back().ring[0], P(99000, 53000));
  EXPECT_EQ(top.back().ring[1], P(101000, 53000));
  const auto left = Of(laid, Tag(6));
  ASSERT_EQ(left.size(), 25u);
  EXPECT_EQ(left.front().ring,
            (BorderRing{P(-1000, 51000), P(1000, 51000), P(1000, 49000), P(-1000, 49000), P(-1000, 51000)}));
  EXPECT_EQ(left.back().ring[2], P(1000, 1000));
  EXPECT_EQ(Of(laid, Tag(5)).size(), 50u);
  EXPECT_EQ(Of(laid, Tag(7)).size(), 25u);
}

struct TileRow {
  const char* name;
  int sideLength;  // top side between the corners
  int width;
  double scale;
  int tiles;
  int firstTileLength;
};
class PatternTiles : public ::testing::TestWithParam<TileRow> {};

TEST_P(PatternTiles, CountAndStepFollowTheScale) {
  const TileRow& row = GetParam();
  // The outer rectangle is as wide as the side between the corners.
  std::vector<LaidPiece> laid;
  WalkPatternBand(SGIS_Rect(0, 50000, row.sideLength, 0), row.width, TaggedBand(row.scale), Collect(&laid),
                  "test", nullptr);
  const auto top = Of(laid, Tag(4));
  ASSERT_EQ(static_cast<int>(top.size()), row.tiles);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Of(laid, Tag(i)).size(), 1u);  // corners always
  if (row.tiles > 0) {
    EXPECT_EQ(top[0].ring[1].x - top[0].ring[0].x, row.firstTileLength);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PatternTiles,
    ::testing::Values(
        TileRow{"Scale1_5", 100000, 2000, 1.5, 33, 3030}, TileRow{"Quotient2_5", 5000, 2000, 1.0, 3, 1667},
        TileRow{"Quotient0_49", 980, 2000, 1.0, 0, 0}, TileRow{"ZeroWidth", 5000, 0, 1.0, 0, 0},
        TileRow{"ZeroScale", 5000, 2000, 0.0, 0, 0}, TileRow{"NotANumber", 5000, 2000, std::nan(""), 0, 0},
        // 100000 / (2000 * 1e-8): a quotient beyond the 32-bit range.
        TileRow{"QuotientBeyond32Bits", 100000, 2000, 1e-8, 0, 0},
        TileRow{"QuotientWithin32BitsCapped", 100000, 2000, 1e-5,
                static_cast<int>(md::layout::border::kMaxPatternTiles),
                static_cast<int>(std::lround(100000.0 / md::layout::border::kMaxPatternTiles))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PatternLayout, OddWidthEndsTheTilesOneUnitShortOfTheFarCorner) {
  std::vector<LaidPiece> laid;
  WalkPatternBand(SGIS_Rect(0, 50000, 100000, 0), 2001, TaggedBand(), Collect(&laid), "test", nullptr);
  EXPECT_EQ(laid[0].ring[0], SGIS_Point(-2000, 52000));  // corner squares 2000 wide
  EXPECT_EQ(laid[0].ring[2], SGIS_Point(0, 50000));
  const auto top = Of(laid, Tag(4));
  ASSERT_FALSE(top.empty());
  EXPECT_EQ(top.back().ring[1].x, 100000 - 1);
}

TEST(PatternLayout, TinyScalesAreCappedWithARecordAndStillFinish) {
  std::vector<LaidPiece> laid;
  LogMark mark;
  WalkPatternBand(SGIS_Rect(0, 50000, 100000, 0), 2000, TaggedBand(1e-5, 1.0, 1e-7), Collect(&laid),
                  "Pattern::Test", nullptr);
  EXPECT_EQ(static_cast<std::int64_t>(Of(laid, Tag(4)).size()), md::layout::border::kMaxPatternTiles);
  EXPECT_EQ(static_cast<std::int64_t>(Of(laid, Tag(6)).size()), md::layout::border::kMaxPatternTiles);
  EXPECT_EQ(Of(laid, Tag(5)).size(), 50u);
  EXPECT_EQ(mark.Count(), 2u);
  EXPECT_TRUE(mark.Has(3, "Pattern::Test"));
  // The capped tiles still cover the side between the corners.
  const auto top = Of(laid, Tag(4));
  EXPECT_EQ(top.front().ring[0].x, 0);
  EXPECT_EQ(top.back().ring[1].x, 100000);
}

TEST(PatternLayout, MeasuresTheFirstCornerAndTheTopSide) {
  IGIS_PerformanceLog* perf = GIS_GetPerformanceLogPtr();
  const int corner = perf->GetCallCount(121), top = perf->GetCallCount(122);
  std::vector<LaidPiece> laid;
  WalkPatternBand(SGIS_Rect(0, 5000, 5000, 0), 1000, TaggedBand(), Collect(&laid), "test", perf);
  EXPECT_EQ(perf->GetCallCount(121), corner + 1);
  EXPECT_EQ(perf->GetCallCount(122), top + 1);
}

// ---- Drawing and conversion

class MapBorderPatternDraw : public BorderPage {};

TEST_F(MapBorderPatternDraw, ConversionShowsWhatTheDrawingShowedCornerByCorner) {
  Owned<CGIS_MapBorderPattern> b(Painted());
  b->SetTopScale(1.5);
  b->SetBorderWidth(1500);
  b->SetBottomOffset(300);
  IGIS_Element* frame = Frame(SGIS_Rect(2000, 22000, 27000, 1000));
  Printer printer;
  EXPECT_TRUE(b->OnDraw(printer.hdc, true, printer.display.get(), frame->GetRect(), page_));
  const auto drawn = PaintedOf(printer.canvas);
  ASSERT_GE(drawn.size(), 4u);
  // Corners in the order left-top, left-bottom, right-top, right-bottom.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(drawn[i].color, ColourOf(i)) << i;
  IGIS_Element* e = b->ConvertToElement(frame);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(DrawConverted(e), drawn);
  // The right-bottom corner polygon carries the right-bottom symbol.
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(e);
  IGIS_Geometry* g = compound->GetElementPtrByIndex(3)->GetFeaturePtr()->GetGeometry();
  EXPECT_EQ(g->GetPoint(0, 0), SGIS_Point(27000 - 0, 1000 - 300));
  Discard(e);
}

TEST_F(MapBorderPatternDraw, WithoutSymbolsNothingIsDrawnButEveryPieceConverts) {
  Owned<CGIS_MapBorderPattern> b(new CGIS_MapBorderPattern());
  IGIS_Element* frame = Frame(SGIS_Rect(1000, 51000, 101000, 1000));
  Printer printer;
  EXPECT_TRUE(b->OnDraw(printer.hdc, true, printer.display.get(), frame->GetRect(), page_));
  EXPECT_TRUE(printer.canvas.records().empty());
  IGIS_Element* e = b->ConvertToElement(frame);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(dynamic_cast<IGIS_CompoundElement*>(e)->GetElementCount(), 4 + 50 + 50 + 25 + 25);
  Discard(e);
  LogMark mark;
  EXPECT_EQ(b->ConvertToElement(nullptr), nullptr);
  EXPECT_EQ(mark.Count(3, " CGIS_MapBorderPattern::ConvertToElement", "pElement == NULL"), 1);
}

TEST_F(MapBorderPatternDraw, PrintedDrawingRestoresTheClip) {
  Owned<CGIS_MapBorderPattern> b(Painted());
  Printer printer;
  IntersectClipRect(printer.hdc, 0, 20000, 20000, 0);
  HRGN before = CreateRectRgn(0, 0, 0, 0), after = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(printer.hdc, before), 1);
  EXPECT_TRUE(
      b->OnDraw(printer.hdc, true, printer.display.get(), SGIS_Rect(2000, 22000, 27000, 1000), page_));
  ASSERT_EQ(GetClipRgn(printer.hdc, after), 1);
  EXPECT_TRUE(EqualRgn(before, after));
  DeleteObject(before);
  DeleteObject(after);
}

}  // namespace
