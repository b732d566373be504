// The simple border: its symbol, stored form, drawing on screen and in print
// (the symbol itself never changed) and its conversion into a polyline.
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "layout/graphicelement/shapes/cgis_polylineelement.h"
#include "layout/graphicelement/shapes/cgis_rectelement.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"
#include "tests/support/forwardingset.h"

namespace {

using md::test::BorderPage;
using md::test::BufferOf;
using md::test::LogMark;
using md::test::Owned;
using md::test::PaintedOf;
using md::test::Printer;
using md::test::Screen;
using md::test::Stored;
using md::test::SymbolBytes;

constexpr const char* kSetter = "CGIS_MapBorderSimple::SetLineSymbolPtr";

TEST(MapBorderSimple, DefaultsToTheLibrarysDefaultLineStyle) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  ASSERT_NE(b->GetLineSymbolPtr(), nullptr);
  EXPECT_EQ(b->GetLineSymbolPtr()->GetType(), GIS_SYMBOL_LINE);
  EXPECT_EQ(b->GetLineSymbolPtr()->GetStyleCode(), 0xD03);
  EXPECT_EQ(b->GetType(), GIS_MAPBORDER_SIMPLE);
}

TEST(MapBorderSimple, SetterKeepsACopyAndNullLeavesNoSymbol) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  Owned<IGIS_Symbol> red(md::test::NewLine(RGB(255, 0, 0), 0.4));
  b->SetLineSymbolPtr(red.get());
  ASSERT_NE(b->GetLineSymbolPtr(), nullptr);
  EXPECT_NE(b->GetLineSymbolPtr(), red.get());
  EXPECT_EQ(SymbolBytes(b->GetLineSymbolPtr()), SymbolBytes(red.get()));
  IGIS_Symbol* held = b->GetLineSymbolPtr();
  b->SetLineSymbolPtr(held);  // its own symbol: nothing changes
  EXPECT_EQ(b->GetLineSymbolPtr(), held);
  Owned<IGIS_Symbol> fill(md::test::NewFill(RGB(0, 0, 255)));
  LogMark mark;
  b->SetLineSymbolPtr(fill.get());  // not a line symbol: none is kept
  EXPECT_EQ(b->GetLineSymbolPtr(), nullptr);
  EXPECT_EQ(mark.Count(3, kSetter, "p_symbol == NULL"), 1);
  b->SetLineSymbolPtr(red.get());
  b->SetLineSymbolPtr(nullptr);
  EXPECT_EQ(b->GetLineSymbolPtr(), nullptr);
  EXPECT_EQ(mark.Count(3, kSetter, "right == NULL"), 1);
}

TEST(MapBorderSimple, EqualityNeedsTheVerySameSymbolObject) {
  Owned<CGIS_MapBorderSimple> a(new CGIS_MapBorderSimple());
  a->SetName("A");
  Owned<IGIS_MapBorder> c(a->Clone());
  auto* clone = dynamic_cast<IGIS_MapBorderSimple*>(c.get());
  ASSERT_NE(clone, nullptr);
  EXPECT_STREQ(clone->GetName(), "");
  EXPECT_EQ(SymbolBytes(clone->GetLineSymbolPtr()), SymbolBytes(a->GetLineSymbolPtr()));
  EXPECT_FALSE(*a.get() == clone);
  EXPECT_TRUE(*a.get() != clone);
  EXPECT_TRUE(*a.get() == static_cast<IGIS_MapBorderSimple*>(a.get()));
  EXPECT_FALSE(*a.get() != static_cast<IGIS_MapBorderSimple*>(a.get()));
  // Without symbols two borders of equal values are equal.
  a->SetLineSymbolPtr(nullptr);
  clone->SetLineSymbolPtr(nullptr);
  EXPECT_TRUE(*a.get() == clone);
  clone->SetTopOffset(1);
  EXPECT_FALSE(*a.get() == clone);
}

TEST(MapBorderSimple, StoredFormRoundTripsAndSymbolFlagTellsWhetherOneIsStored) {
  Owned<CGIS_MapBorderSimple> a(new CGIS_MapBorderSimple());
  Owned<IGIS_Symbol> blue(md::test::NewLine(RGB(0, 0, 200), 0.6));
  a->SetLineSymbolPtr(blue.get());
  a->SetBorderWidth(263);
  a->SetName("简单");
  const std::vector<BYTE> bytes = Stored(a.get());
  IGIS_DataBuffer* buffer = BufferOf(bytes);
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  EXPECT_TRUE(b->Open(buffer));
  EXPECT_EQ(SymbolBytes(b->GetLineSymbolPtr()), SymbolBytes(blue.get()));
  EXPECT_EQ(b->GetBorderWidth(), 263);
  EXPECT_STREQ(b->GetName(), "简单");
  EXPECT_EQ(Stored(b.get()), bytes);

  // Without a symbol: flag FALSE, Save FALSE, base keys still there; a
  // reader keeps the symbol it had.
  a->SetLineSymbolPtr(nullptr);
  EXPECT_FALSE(a->Save(buffer));
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  ASSERT_TRUE(set->Archive(buffer, GIS_ARCHIVE_READ, 0));
  ASSERT_NE(set->GetProperty("LineSymbolIsNull"), nullptr);
  EXPECT_FALSE(set->GetProperty("LineSymbolIsNull")->GetBool());
  ASSERT_NE(set->GetProperty("MapBorderType"), nullptr);
  EXPECT_EQ(set->GetProperty("MapBorderType")->GetInt(), GIS_MAPBORDER_SIMPLE);
  EXPECT_EQ(set->GetProperty("BorderWidth")->GetInt(), 263);
  set->Release();
  IGIS_Symbol* kept = b->GetLineSymbolPtr();
  EXPECT_TRUE(b->Open(buffer));
  EXPECT_EQ(b->GetLineSymbolPtr(), kept);
  buffer->Release();
}

TEST(MapBorderSimple, UnreadableBufferIsRefusedWithARecord) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  b->SetLeftOffset(3);
  IGIS_DataBuffer* junk = BufferOf({0xFF, 0x00, 0x13, 0x37, 0x01});
  LogMark mark;
  EXPECT_FALSE(b->Open(junk));
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderSimple::Open", "b_ret == NULL"), 1);
  EXPECT_EQ(b->GetLeftOffset(), 3);
  junk->Release();
}

class MapBorderSimpleDraw : public BorderPage {};

TEST_F(MapBorderSimpleDraw, ScreenWidthGoesOnACopyAndPrintUsesTheSymbolsOwn) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  Owned<IGIS_Symbol> line(md::test::NewLine(RGB(0, 0, 0), 0.3));
  b->SetLineSymbolPtr(line.get());
  b->SetBorderWidth(263);
  const std::vector<BYTE> before = Stored(b.get());
  Screen screen;
  EXPECT_TRUE(b->OnDraw(screen.hdc, false, screen.display.get(), SGIS_Rect(1000, 20000, 30000, 1000), page_));
  EXPECT_EQ(Stored(b.get()), before);  // the border is untouched by drawing
  EXPECT_DOUBLE_EQ(b->GetLineSymbolPtr()->GetLineWidth(), 0.3);
  // 263 units are 10 screen pixels of 1/96 inch; the canvas is at zoom 0.1.
  EXPECT_NEAR(CGIS_MapBorderSimple::ScreenLineWidth(263), 10 * 25.4 / 96, 1e-12);
  auto painted = screen.canvas.recordsOf(md::canvas::Record::Type::Shape);
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_NEAR(painted[0]->pen.width, 10 * 0.1, 0.05);
  // The ring of the outer rectangle: (left, bottom) first, device y down.
  const auto pts = painted[0]->Points();
  ASSERT_EQ(pts.size(), 5u);
  IGIS_DisplayView* view = screen.display->GetView();
  const SGIS_Point lb = view->PageToDevicePoint(SGIS_Point(1000, 1000), page_);
  const SGIS_Point rt = view->PageToDevicePoint(SGIS_Point(30000, 20000), page_);
  EXPECT_NEAR(pts[0].x, lb.x, 1.0);
  EXPECT_NEAR(pts[0].y, lb.y, 1.0);
  EXPECT_NEAR(pts[2].x, rt.x, 1.0);
  EXPECT_NEAR(pts[2].y, rt.y, 1.0);
  EXPECT_LT(pts[2].y, pts[0].y);  // the top lies above on the screen

  Printer printer;
  EXPECT_TRUE(
      b->OnDraw(printer.hdc, true, printer.display.get(), SGIS_Rect(1000, 20000, 30000, 1000), page_));
  auto printed = printer.canvas.recordsOf(md::canvas::Record::Type::Shape);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_NEAR(printed[0]->pen.width, 0.3 * 10, 0.05);  // 0.3 mm at 0.1 mm a pixel
}

TEST_F(MapBorderSimpleDraw, NegativeStoredWidthDrawsAsZeroWithoutChangingTheStoredValue) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("BorderWidth", "BorderWidth", GIS_FIELD_TYPE_INT, 1)->SetInt(-500);
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  b->Open(buffer);
  Screen screen;
  EXPECT_TRUE(b->OnDraw(screen.hdc, false, screen.display.get(), SGIS_Rect(1000, 20000, 30000, 1000), page_));
  EXPECT_EQ(b->GetBorderWidth(), -500);
  EXPECT_EQ(CGIS_MapBorderSimple::ScreenLineWidth(-500), 0.0);
  buffer->Release();
  set->Release();
}

TEST_F(MapBorderSimpleDraw, NothingToDrawWithAndReportsWhatIsMissing) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  Screen screen;
  LogMark mark;
  EXPECT_FALSE(b->OnDraw(screen.hdc, false, nullptr, SGIS_Rect(0, 100, 100, 0), page_));
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderSimple::OnDraw", "p_display == NULL"), 1);
  b->SetLineSymbolPtr(nullptr);
  EXPECT_TRUE(b->OnDraw(screen.hdc, false, screen.display.get(), SGIS_Rect(0, 100, 100, 0), page_));
  EXPECT_TRUE(screen.canvas.records().empty());
}

TEST_F(MapBorderSimpleDraw, PrintedDrawingRestoresTheClipOfTheContext) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  Printer printer;
  IntersectClipRect(printer.hdc, 0, 20000, 20000, 0);
  HRGN before = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(printer.hdc, before), 1);
  EXPECT_TRUE(
      b->OnDraw(printer.hdc, true, printer.display.get(), SGIS_Rect(1000, 20000, 30000, 1000), page_));
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(printer.hdc, after), 1);
  EXPECT_TRUE(EqualRgn(before, after));
  auto drawn = printer.canvas.recordsOf(md::canvas::Record::Type::Shape);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_TRUE(drawn[0]->state.clip.active);
  DeleteObject(before);
  DeleteObject(after);
}

TEST_F(MapBorderSimpleDraw, ConversionIsOnePolylineDrawnLikeTheBorder) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  Owned<IGIS_Symbol> line(md::test::NewLine(RGB(30, 60, 90), 0.5));
  b->SetLineSymbolPtr(line.get());
  b->SetLeftOffset(100);
  b->SetRightOffset(100);
  b->SetTopOffset(100);
  b->SetBottomOffset(100);
  IGIS_Element* frame = Frame(SGIS_Rect(1000, 4000, 5000, 1000));
  IGIS_Element* e = b->ConvertToElement(frame);
  ASSERT_NE(e, nullptr);
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(e);
  ASSERT_NE(compound, nullptr);
  ASSERT_EQ(compound->GetElementCount(), 1);
  IGIS_Geometry* g = compound->GetElementPtrByIndex(0)->GetFeaturePtr()->GetGeometry();
  const SGIS_Point want[] = {{900, 900}, {5100, 900}, {5100, 4100}, {900, 4100}, {900, 900}};
  ASSERT_EQ(g->GetPointCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(g->GetPoint(i, 0), want[i]) << i;

  Printer printer;
  b->OnDraw(printer.hdc, true, printer.display.get(), frame->GetRect(), page_);
  EXPECT_EQ(DrawConverted(e), PaintedOf(printer.canvas));
  Discard(e);
}

// An owner that makes no polyline, or one without a feature to hold points.
struct PolylineRefusingSet : md::test::ForwardingSet {
  struct NoFeatures : md::test::ForwardingClass {
    using ForwardingClass::ForwardingClass;
    IGIS_Feature* CreateFeature(int, int) override { return nullptr; }
  };
  struct Featureless : md::test::ForwardingSet {
    explicit Featureless(IGIS_FeatureSet* real) : ForwardingSet(real), noFeatures(real->GetFeatureClass()) {}
    IGIS_FeatureClass* GetFeatureClass() override { return &noFeatures; }
    NoFeatures noFeatures;
  };
  PolylineRefusingSet(IGIS_FeatureSet* real, bool makeOne)
      : ForwardingSet(real), makeOne(makeOne), featureless(real) {}
  IGIS_Element* CreateElement(const char* type) override {
    if (std::string(type) != GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE) return real_->CreateElement(type);
    return makeOne ? new CGIS_PolylineElement(&featureless, nullptr) : nullptr;
  }
  bool makeOne;
  Featureless featureless;
};

TEST_F(MapBorderSimpleDraw, ConversionWithoutAPolylineToHoldTheRingGivesAnEmptyCompound) {
  const struct {
    bool makeOne;
    const char* record;
  } rows[] = {{false, "p_markelement == NULL"}, {true, "p_geopolyline == NULL"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.record);
    PolylineRefusingSet owner(set_, row.makeOne);
    Owned<CGIS_RectElement> frame(new CGIS_RectElement(&owner, nullptr));
    frame->SetRect(SGIS_Rect(1000, 5000, 4000, 1000));
    Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
    LogMark mark;
    IGIS_Element* e = b->ConvertToElement(frame.get());
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(e);
    ASSERT_NE(compound, nullptr);
    EXPECT_EQ(compound->GetElementCount(), 0);
    EXPECT_EQ(mark.Count(3, " CGIS_MapBorderSimple::ConvertToElement", row.record), 1);
    Discard(e);
  }
}

TEST_F(MapBorderSimpleDraw, ConversionWithoutAnOwnerMakesNothing) {
  Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
  LogMark mark;
  EXPECT_EQ(b->ConvertToElement(nullptr), nullptr);
  EXPECT_EQ(mark.Count(3, " CGIS_MapBorderSimple::ConvertToElement", "pElement == NULL"), 1);
}

}  // namespace
