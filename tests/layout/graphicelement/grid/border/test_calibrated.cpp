// The calibrated border: values, stored form, the walk of its pieces round
// the corners (one table), the half bands, drawing and conversion.
#include <map>
#include <string>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"

namespace {

using md::layout::border::WalkCalibratedBand;
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

TEST(MapBorderCalibrated, DefaultsAndSetters) {
  Owned<CGIS_MapBorderCalibrated> b(new CGIS_MapBorderCalibrated());
  EXPECT_EQ(b->GetBorderWidth(), 2000);
  EXPECT_FALSE(b->GetAlternating());
  EXPECT_EQ(b->GetInterval(), 10000);
  ASSERT_NE(b->GetBackgroundSymbolPtr(), nullptr);
  ASSERT_NE(b->GetForegroundSymbolPtr(), nullptr);
  EXPECT_EQ(b->GetBackgroundSymbolPtr()->GetStyleCode(), 0xD22);
  EXPECT_EQ(b->GetForegroundSymbolPtr()->GetStyleCode(), 0xD21);
  b->SetInterval(-5);
  EXPECT_EQ(b->GetInterval(), -5);
  b->SetInterval(0);
  EXPECT_EQ(b->GetInterval(), 0);
  IGIS_Symbol* held = b->GetBackgroundSymbolPtr();
  b->SetBackgroundSymbolPtr(held);
  EXPECT_EQ(b->GetBackgroundSymbolPtr(), held);
  LogMark mark;
  b->SetForegroundSymbolPtr(nullptr);
  EXPECT_EQ(b->GetForegroundSymbolPtr(), nullptr);
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderCalibrated::SetForegroundSymbolPtr", "right == NULL"), 1);
}

TEST(MapBorderCalibrated, CloneCopiesSymbolsAsNewObjects) {
  Owned<CGIS_MapBorderCalibrated> b(new CGIS_MapBorderCalibrated());
  b->SetAlternating(true);
  b->SetInterval(777);
  b->SetName("X");
  Owned<IGIS_MapBorder> c(b->Clone());
  auto* clone = dynamic_cast<IGIS_MapBorderCalibrated*>(c.get());
  ASSERT_NE(clone, nullptr);
  EXPECT_TRUE(clone->GetAlternating());
  EXPECT_EQ(clone->GetInterval(), 777);
  EXPECT_STREQ(clone->GetName(), "");
  EXPECT_NE(clone->GetBackgroundSymbolPtr(), b->GetBackgroundSymbolPtr());
  EXPECT_EQ(SymbolBytes(clone->GetBackgroundSymbolPtr()), SymbolBytes(b->GetBackgroundSymbolPtr()));
  EXPECT_TRUE(*b.get() != clone);
  EXPECT_TRUE(*b.get() == static_cast<IGIS_MapBorderCalibrated*>(b.get()));
  // Without symbols, equal values compare equal.
  b->SetBackgroundSymbolPtr(nullptr);
  b->SetForegroundSymbolPtr(nullptr);
  clone->SetBackgroundSymbolPtr(nullptr);
  clone->SetForegroundSymbolPtr(nullptr);
  EXPECT_TRUE(*b.get() == clone);
  clone->SetAlternating(false);
  EXPECT_FALSE(*b.get() == clone);
}

TEST(MapBorderCalibrated, StoredFormRoundTripsAndMissingPartsAreReported) {
  Owned<CGIS_MapBorderCalibrated> a(new CGIS_MapBorderCalibrated());
  Owned<IGIS_Symbol> red(md::test::NewFill(RGB(200, 0, 0)));
  a->SetForegroundSymbolPtr(red.get());
  a->SetAlternating(true);
  a->SetInterval(5000);
  a->SetName("分度带");
  const std::vector<BYTE> bytes = Stored(a.get());
  IGIS_DataBuffer* buffer = BufferOf(bytes);
  Owned<CGIS_MapBorderCalibrated> b(new CGIS_MapBorderCalibrated());
  EXPECT_TRUE(b->Open(buffer));
  EXPECT_TRUE(b->GetAlternating());
  EXPECT_EQ(b->GetInterval(), 5000);
  EXPECT_STREQ(b->GetName(), "分度带");
  EXPECT_EQ(SymbolBytes(b->GetForegroundSymbolPtr()), SymbolBytes(red.get()));
  EXPECT_EQ(Stored(b.get()), bytes);

  // No foreground: flag FALSE, Save FALSE; a reader keeps its default.
  a->SetForegroundSymbolPtr(nullptr);
  EXPECT_FALSE(a->Save(buffer));
  Owned<CGIS_MapBorderCalibrated> c(new CGIS_MapBorderCalibrated());
  EXPECT_TRUE(c->Open(buffer));
  ASSERT_NE(c->GetForegroundSymbolPtr(), nullptr);
  EXPECT_EQ(c->GetForegroundSymbolPtr()->GetStyleCode(), 0xD21);

  // No "Interval": the old one stays and Open says FALSE; the rest is read.
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("Alternating", "Alternating", GIS_FIELD_TYPE_BOOL, 1)->SetBool(true);
  set->AddProperty("BorderWidth", "BorderWidth", GIS_FIELD_TYPE_INT, 1)->SetInt(1234);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  c->SetInterval(4321);
  EXPECT_FALSE(c->Open(buffer));
  EXPECT_EQ(c->GetInterval(), 4321);
  EXPECT_TRUE(c->GetAlternating());
  EXPECT_EQ(c->GetBorderWidth(), 1234);
  set->Release();
  buffer->Release();
}

// ---- The walk

enum Sym { B, F };
struct Span {
  std::string side;
  int from, to;
  Sym sym;
  bool operator==(const Span&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Span& s) {
  return os << s.side << " " << s.from << "-" << s.to << (s.sym == B ? " B" : " F");
}

IGIS_Symbol* const kBack = reinterpret_cast<IGIS_Symbol*>(0x1000);
IGIS_Symbol* const kFore = reinterpret_cast<IGIS_Symbol*>(0x2000);

// Where a single-band piece lies: its side and its extent along the side's
// inner edge, measured from the corner where the side's walk starts.
Span SpanOf(const LaidPiece& p, const SGIS_Rect& r) {
  const auto& g = p.ring;
  const Sym sym = p.symbol == kBack ? B : F;
  if (g[0].y == r.top && g[1].y == r.top && g[2].y > r.top)
    return {"top", g[0].x - r.left, g[1].x - r.left, sym};
  if (g[0].x == r.right && g[1].x == r.right && g[2].x > r.right)
    return {"right", r.top - g[0].y, r.top - g[1].y, sym};
  if (g[0].y == r.bottom && g[3].y == r.bottom && g[1].y < r.bottom)
    return {"bottom", r.right - g[0].x, r.right - g[3].x, sym};
  if (g[0].x == r.left && g[3].x == r.left && g[1].x < r.left)
    return {"left", g[0].y - r.bottom, g[3].y - r.bottom, sym};
  return {"?", 0, 0, sym};
}

struct WalkRow {
  const char* name;
  int width, height, interval;
  std::vector<Span> expected;  // pieces that must be laid, in walk order
  bool whole;                  // expected is the whole walk
};

class CalibratedWalk : public ::testing::TestWithParam<WalkRow> {};

TEST_P(CalibratedWalk, LaysThePiecesRoundTheCorners) {
  const WalkRow& row = GetParam();
  const SGIS_Rect r(0, row.height, row.width, 0);
  std::vector<LaidPiece> laid;
  WalkCalibratedBand(r, 1000, row.interval, false, kBack, kFore, Collect(&laid), "test");
  std::vector<Span> spans;
  for (const LaidPiece& p : laid) spans.push_back(SpanOf(p, r));
  if (row.whole) {
    EXPECT_EQ(spans, row.expected);
  } else {
    std::size_t at = 0;
    for (const Span& s : spans) {
      if (at < row.expected.size() && s == row.expected[at]) ++at;
    }
    EXPECT_EQ(at, row.expected.size()) << "missing " << row.expected[std::min(at, row.expected.size() - 1)];
  }
  // Each side is covered once, without gaps or overlaps, by pieces that take
  // turns (a carried piece keeps the symbol of the piece it continues).
  std::map<std::string, int> reach;
  for (const Span& s : spans) {
    ASSERT_NE(s.side, "?");
    EXPECT_EQ(s.from, reach[s.side]) << s;
    EXPECT_GT(s.to, s.from) << s;
    reach[s.side] = s.to;
  }
  EXPECT_EQ(reach["top"], row.width);
  EXPECT_EQ(reach["right"], row.height);
  EXPECT_EQ(reach["bottom"], row.width);
  EXPECT_EQ(reach["left"], row.height);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CalibratedWalk,
    ::testing::Values(
        WalkRow{"Sheet25000x20000",
                25000,
                20000,
                10000,
                {{"top", 0, 10000, B},
                 {"top", 10000, 20000, F},
                 {"top", 20000, 25000, B},
                 {"right", 0, 5000, B},
                 {"right", 5000, 15000, F},
                 {"right", 15000, 20000, B},
                 {"bottom", 0, 5000, B},
                 {"bottom", 5000, 15000, F},
                 {"bottom", 15000, 25000, B},
                 {"left", 0, 10000, F},
                 {"left", 10000, 20000, B}},
                true},
        // Nine units over: the last piece is I + 9 long and the next side
        // starts afresh with the other symbol; on the left likewise.
        WalkRow{"Remainder9",
                3009,
                3009,
                1000,
                {{"top", 2000, 3009, B}, {"right", 0, 1000, F}, {"left", 2000, 3009, F}},
                false},
        // Ten units over: a middle piece and an end piece of 10, and the next
        // side starts with the carried rest of that interval, same symbol.
        WalkRow{
            "Remainder10",
            3010,
            3009,
            1000,
            {{"top", 2000, 3000, B}, {"top", 3000, 3010, F}, {"right", 0, 990, F}, {"right", 990, 1990, B}},
            false},
        // On the left side ten units over end the walk: nothing is carried
        // into the top side, whose first piece stays a whole interval.
        WalkRow{"LeftRemainder10",
                3000,
                3505,
                1000,
                {{"top", 0, 1000, B}, {"left", 2495, 3495, B}, {"left", 3495, 3505, F}},
                false},
        // Sides shorter than two intervals, and intervals below 1, lay each
        // side as one piece.
        WalkRow{"ShortSides",
                1500,
                900,
                1000,
                {{"top", 0, 1500, B}, {"right", 0, 900, F}, {"bottom", 0, 1500, B}, {"left", 0, 900, F}},
                true},
        WalkRow{"ZeroInterval",
                1500,
                900,
                0,
                {{"top", 0, 1500, B}, {"right", 0, 900, F}, {"bottom", 0, 1500, B}, {"left", 0, 900, F}},
                true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalibratedWalkShapes, PiecesTakeTheCornerTrianglesOnTheirSide) {
  const SGIS_Rect r(0, 20000, 25000, 0);
  std::vector<LaidPiece> laid;
  WalkCalibratedBand(r, 1000, 10000, false, kBack, kFore, Collect(&laid), "test");
  ASSERT_EQ(laid.size(), 11u);
  using P = SGIS_Point;
  // Top start piece: the left half of the top-left corner square.
  EXPECT_EQ(laid[0].ring, (md::layout::border::BorderRing{P(0, 20000), P(10000, 20000), P(10000, 21000),
                                                          P(-1000, 21000), P(0, 20000)}));
  // Top end piece: runs on to the diagonal of the top-right corner.
  EXPECT_EQ(laid[2].ring, (md::layout::border::BorderRing{P(20000, 20000), P(25000, 20000), P(26000, 21000),
                                                          P(20000, 21000), P(20000, 20000)}));
  // Right carry piece: the other half of that corner square.
  EXPECT_EQ(laid[3].ring, (md::layout::border::BorderRing{P(25000, 20000), P(25000, 15000), P(26000, 15000),
                                                          P(26000, 21000), P(25000, 20000)}));
  // Left end piece: closes the top-left corner square.
  EXPECT_EQ(laid[10].ring, (md::layout::border::BorderRing{P(0, 10000), P(-1000, 10000), P(-1000, 21000),
                                                           P(0, 20000), P(0, 10000)}));
}

// Alternating: two rows, inner from 0 to h and outer from h to 2h outside
// the rectangle, every outer piece with the symbol opposite its inner one.
class CalibratedHalfBands : public ::testing::TestWithParam<int> {};

TEST_P(CalibratedHalfBands, FormTwoRowsOfOppositeSymbols) {
  const int w = GetParam();
  const SGIS_Rect r(0, 20000, 25000, 0);
  std::vector<LaidPiece> single, laid;
  WalkCalibratedBand(r, w, 10000, false, kBack, kFore, Collect(&single), "test");
  WalkCalibratedBand(r, w, 10000, true, kBack, kFore, Collect(&laid), "test");
  ASSERT_EQ(laid.size(), 2 * single.size());
  const int reach = (w / 2) * 2;  // 2000 for both 2000 and 2001
  int outerMost = 0;
  for (std::size_t i = 0; i < laid.size(); i += 2) {
    const LaidPiece& inner = laid[i];
    const LaidPiece& outer = laid[i + 1];
    EXPECT_EQ(inner.symbol, single[i / 2].symbol) << i;
    EXPECT_NE(outer.symbol, inner.symbol) << i;
    for (const SGIS_Point& p : outer.ring) {
      const int d = std::max({r.left - p.x, p.x - r.right, p.y - r.top, r.bottom - p.y});
      outerMost = std::max(outerMost, d);
      EXPECT_GE(d, w / 2) << i;
    }
    for (const SGIS_Point& p : inner.ring) {
      const int d = std::max({r.left - p.x, p.x - r.right, p.y - r.top, r.bottom - p.y});
      EXPECT_LE(d, w / 2) << i;
    }
  }
  EXPECT_EQ(outerMost, reach);
}

INSTANTIATE_TEST_SUITE_P(Widths, CalibratedHalfBands, ::testing::Values(2000, 2001));

TEST(CalibratedWalkCap, TooManyPiecesOnASideLayItAsOnePieceWithARecord) {
  // Sides of 1000 pieces of 100 are laid piece by piece; one more piece a
  // side, or two million, and each side is one piece.
  struct Row {
    int side, interval;
    bool whole;
  };
  for (const Row& row : {Row{100000, 100, false}, Row{100100, 100, true}, Row{2000000, 1, true}}) {
    SCOPED_TRACE(row.side);
    const SGIS_Rect r(0, row.side, row.side, 0);
    std::vector<LaidPiece> laid;
    LogMark mark;
    WalkCalibratedBand(r, 100, row.interval, false, kBack, kFore, Collect(&laid), "Walk::Test");
    EXPECT_EQ(laid.size() == 4u, row.whole) << laid.size();
    EXPECT_EQ(mark.Has(3, "Walk::Test"), row.whole);
  }
}

// ---- Drawing and conversion

class MapBorderCalibratedDraw : public BorderPage {
 protected:
  CGIS_MapBorderCalibrated* Coloured(bool alternating) {
    auto* b = new CGIS_MapBorderCalibrated();
    Owned<IGIS_Symbol> black(md::test::NewFill(RGB(0, 0, 0)));
    Owned<IGIS_Symbol> yellow(md::test::NewFill(RGB(250, 220, 0)));
    b->SetBackgroundSymbolPtr(black.get());
    b->SetForegroundSymbolPtr(yellow.get());
    b->SetAlternating(alternating);
    b->SetInterval(5000);
    b->SetBorderWidth(1000);
    b->SetLeftOffset(500);
    return b;
  }
};

TEST_F(MapBorderCalibratedDraw, ConversionShowsWhatTheDrawingShowedWithTheSameSymbols) {
  for (bool alternating : {false, true}) {
    Owned<CGIS_MapBorderCalibrated> b(Coloured(alternating));
    IGIS_Element* frame = Frame(SGIS_Rect(2000, 22000, 27000, 1000));
    Printer printer;
    EXPECT_TRUE(b->OnDraw(printer.hdc, true, printer.display.get(), frame->GetRect(), page_));
    const auto drawn = PaintedOf(printer.canvas);
    ASSERT_FALSE(drawn.empty());
    // The first piece (top-left) is black, the second yellow.
    EXPECT_EQ(drawn[0].color, RGB(0, 0, 0));
    EXPECT_EQ(drawn[1].color, RGB(250, 220, 0));
    // Each piece lands where the view puts the walk's page points.
    std::vector<LaidPiece> laid;
    WalkCalibratedBand(b->GetOuterRect(frame->GetRect()), 1000, 5000, alternating,
                       b->GetBackgroundSymbolPtr(), b->GetForegroundSymbolPtr(), Collect(&laid), "test");
    ASSERT_EQ(laid.size(), drawn.size());
    for (std::size_t i = 0; i < laid.size(); ++i) {
      md::layout::border::BorderRing device = laid[i].ring;
      printer.display->GetView()->PageToDevicePoints(device.data(), 5, page_);
      ASSERT_EQ(drawn[i].points.size(), 5u) << i;
      for (int k = 0; k < 5; ++k) {
        POINT px{device[k].x, device[k].y};  // the print context's logical units, then its pixels
        printer.display->GetView()->LogicalToDevice(&px);
        EXPECT_NEAR(drawn[i].points[k].x, px.x, 1.0) << i;
        EXPECT_NEAR(drawn[i].points[k].y, px.y, 1.0) << i;
      }
    }
    IGIS_Element* e = b->ConvertToElement(frame);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(DrawConverted(e), drawn) << "alternating " << alternating;
    Discard(e);
  }
}

TEST_F(MapBorderCalibratedDraw, PrintedDrawingKeepsInsideTheClipAndRestoresIt) {
  Owned<CGIS_MapBorderCalibrated> b(Coloured(false));
  Printer printer;
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(printer.hdc, none), 0);  // no clip before
  EXPECT_TRUE(
      b->OnDraw(printer.hdc, true, printer.display.get(), SGIS_Rect(2000, 22000, 27000, 1000), page_));
  EXPECT_EQ(GetClipRgn(printer.hdc, none), 0);  // and none after
  for (const md::canvas::Record* rec : printer.canvas.recordsOf(md::canvas::Record::Type::Shape))
    EXPECT_TRUE(rec->state.clip.active);
  DeleteObject(none);
}

TEST_F(MapBorderCalibratedDraw, WithoutSymbolsNothingIsDrawnButEveryPieceConverts) {
  Owned<CGIS_MapBorderCalibrated> b(Coloured(false));
  b->SetBackgroundSymbolPtr(nullptr);
  b->SetForegroundSymbolPtr(nullptr);
  IGIS_Element* frame = Frame(SGIS_Rect(0, 20000, 25000, 0));
  b->SetLeftOffset(0);
  b->SetInterval(10000);
  Printer printer;
  EXPECT_TRUE(b->OnDraw(printer.hdc, true, printer.display.get(), frame->GetRect(), page_));
  EXPECT_TRUE(printer.canvas.records().empty());
  IGIS_Element* e = b->ConvertToElement(frame);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(dynamic_cast<IGIS_CompoundElement*>(e)->GetElementCount(), 11);
  EXPECT_TRUE(DrawConverted(e).empty());
  Discard(e);
}

TEST_F(MapBorderCalibratedDraw, NoDisplayIsReported) {
  Owned<CGIS_MapBorderCalibrated> b(Coloured(false));
  Printer printer;
  LogMark mark;
  EXPECT_FALSE(b->OnDraw(printer.hdc, true, nullptr, SGIS_Rect(0, 100, 100, 0), page_));
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderCalibrated::OnDraw", "p_display == NULL"), 1);
}

}  // namespace
