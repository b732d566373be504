// The element makers that complex elements convert themselves with: checks
// before anything is made, the geometry and symbol of what is made, and its
// place in the compound.
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

using md::test::PageTest;

class MakerTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    compound_ = Keep(new CGIS_CompoundElement(set_, nullptr));
    line_ = GIS_GetSymbolFactoryObject()->CreateSymbol(9);
    line_->SetColor(RGB(200, 0, 0));
  }
  void TearDown() override {
    // Members made by the makers belong to the page: hand them back.
    for (int i = compound_->GetElementCount() - 1; i >= 0; --i) {
      set_->DeleteElement(compound_->GetElementPtrByIndex(i));
    }
    line_->Release();
    PageTest::TearDown();
  }
  int Features() { return set_->GetFeatureClass()->GetFeatureCount(); }

  CGIS_CompoundElement* compound_ = nullptr;
  IGIS_Symbol* line_ = nullptr;
};

TEST_F(MakerTest, SegmentsBecomeTwoPointPolylinesInTheCompound) {
  EXPECT_TRUE(AddSegmentElement(compound_, SGIS_Point(0, 0), SGIS_Point(100, 50), line_));
  EXPECT_TRUE(AddSegmentElement(compound_, 5, 6, 0, 7, 8, 0, line_));
  ASSERT_EQ(compound_->GetElementCount(), 2);
  IGIS_Element* first = compound_->GetElementPtrByIndex(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetOrder(), -10);
  IGIS_Geometry* g = first->GetFeaturePtr()->GetGeometry();
  ASSERT_EQ(g->GetPointCount(), 2);
  EXPECT_EQ(g->GetPoint(0, 0), SGIS_Point(0, 0));
  EXPECT_EQ(g->GetPoint(1, 0), SGIS_Point(100, 50));
  // The element has its own copy of the symbol; the caller keeps its own.
  IGIS_Symbol* kept = first->GetFeaturePtr()->GetSymbol();
  ASSERT_NE(kept, nullptr);
  EXPECT_NE(kept, line_);
  EXPECT_EQ(kept->GetColor(), RGB(200, 0, 0));
  EXPECT_EQ(compound_->GetRect(), SGIS_Rect(0, 50, 100, 0));
}

TEST_F(MakerTest, PolylinesAndPolygonsAreCommittedWholeOnceInTheCompound) {
  IGIS_FeatureClass* features = set_->GetFeatureClass();
  const int mark = features->GetUpdateCount();
  const SGIS_Point pts[] = {{0, 0}, {40, 0}, {40, 30}};
  ASSERT_TRUE(AddSegmentElement(compound_, SGIS_Point(0, 0), SGIS_Point(10, 0), line_));
  ASSERT_TRUE(CreatePolylineElement(compound_, pts, 3, line_));
  ASSERT_TRUE(CreatePolygonElement(compound_, pts, 3, line_));
  ASSERT_EQ(compound_->GetElementCount(), 3);
  for (int i = 0; i < 3; ++i) {
    const int id = compound_->GetElementPtrByIndex(i)->GetID();
    // The last commit of the member is the whole feature, after it joined.
    int last = 0;
    for (int k = mark; k < features->GetUpdateCount(); ++k) {
      int recordId = 0, flags = 0;
      ASSERT_TRUE(features->GetUpdateRecord(k, &recordId, &flags));
      if (recordId == id) last = flags;
    }
    EXPECT_EQ(last, GIS_UPDATE_ALL) << i;
  }
}

TEST_F(MakerTest, PolylinePointsAreStoredUnchangedAndInOrder) {
  const SGIS_Point pts[] = {{-5, 3}, {10, 20}, {30, -7}, {31, -7}};
  EXPECT_TRUE(CreatePolylineElement(compound_, pts, 4, line_));
  IGIS_Geometry* g = compound_->GetElementPtrByIndex(0)->GetFeaturePtr()->GetGeometry();
  ASSERT_EQ(g->GetPointCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g->GetPoint(i, 0), pts[i]) << i;
}

TEST_F(MakerTest, PolygonsKeepTheirPointsAndACopyOfTheFill) {
  IGIS_Symbol* fill = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  fill->SetColor(RGB(0, 120, 255));
  const SGIS_Point pts[] = {{0, 0}, {400, 0}, {400, 300}, {100, 250}};
  EXPECT_TRUE(CreatePolygonElement(compound_, pts, 4, fill));
  ASSERT_EQ(compound_->GetElementCount(), 1);
  auto* polygon = dynamic_cast<IGIS_PolygonElement*>(compound_->GetElementPtrByIndex(0));
  ASSERT_NE(polygon, nullptr);
  EXPECT_STREQ(polygon->GetType(), "GIS_TYPE_GRAPHIC_ELEMENT_POLYGON");
  EXPECT_EQ(polygon->GetOrder(), -10);
  IGIS_Geometry* g = polygon->GetFeaturePtr()->GetGeometry();
  ASSERT_GE(g->GetPointCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g->GetPoint(i, 0), pts[i]) << i;
  ASSERT_NE(polygon->GetSymbolPtr(), nullptr);
  EXPECT_NE(polygon->GetSymbolPtr(), fill);
  EXPECT_EQ(polygon->GetSymbolPtr()->GetColor(), RGB(0, 120, 255));
  fill->Release();
}

// The point maker gives the point the rectangle of the mark its symbol draws
// at the position: the symbol's size times the owner's unit ratio high, as
// wide as the style's proportions make it, centred on the position; for
// markers that carry their extent and for coded markers whose style's bound
// the renderer knows (a coded marker's size need not be its style's height).
TEST_F(MakerTest, PointsTakeTheDrawnMarksSizeAndCentre) {
  const struct {
    int type;
    int size;  // 0: the style's own
    double ratio;
  } rows[] = {
      {GIS_SYMBOL_POINT5, 24, 3.0},
      {GIS_SYMBOL_POINT, 0, 3.0},
      {GIS_SYMBOL_POINT, 91, GIS_SYMBOL_UNIT_PAGE_RATIO},
      {GIS_SYMBOL_POINT, 13, 10.0},
      {GIS_SYMBOL_POINT7, 30, 1.0},
      {GIS_SYMBOL_POINT5, 17, 10.0},
  };
  const SGIS_Point at(5000, 4000);
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.type << " size " << row.size << " at " << row.ratio);
    ASSERT_TRUE(set_->SetUnitRatio(row.ratio));
    IGIS_Symbol* symbol = GIS_GetSymbolFactoryObject()->CreateSymbol(row.type);
    symbol->SetCode(3301);
    if (row.size > 0) symbol->SetSize(row.size);
    const SGIS_Rect style = GIS_GetSymbolizationObject()->GetSymbolBound(symbol->GetStyleCode());
    ASSERT_GT(style.Height(), 0);
    const double h = symbol->GetSize() * row.ratio;
    const double w = h * style.Width() / style.Height();

    EXPECT_TRUE(CreatePointElement(compound_, at, symbol));
    ASSERT_EQ(compound_->GetElementCount(), ++n);
    auto* point = dynamic_cast<IGIS_PointElement*>(compound_->GetElementPtrByIndex(n - 1));
    ASSERT_NE(point, nullptr);
    EXPECT_STREQ(point->GetType(), "GIS_TYPE_GRAPHIC_ELEMENT_POINT");
    const SGIS_Rect r = point->GetRect();
    EXPECT_NEAR(r.Height(), h, 1.0);
    EXPECT_NEAR(r.Width(), w, 1.0);
    EXPECT_NEAR((r.left + r.right) / 2.0, at.x, 1.0);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, at.y, 1.0);
    ASSERT_NE(point->GetSymbolPtr(), nullptr);
    EXPECT_NE(point->GetSymbolPtr(), symbol);
    EXPECT_EQ(point->GetSymbolPtr()->GetType(), row.type);
    symbol->Release();
  }
}

TEST_F(MakerTest, TextsArePlacedByTheirLowerLeftCornerOrByTheirCentreAnchor) {
  IGIS_Symbol* style = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT);
  style->SetColor(RGB(10, 20, 30));
  CreateTextElement(compound_, SGIS_Point(1000, 2000), style, "比例尺 1:5000", false);
  CreateTextElement(compound_, SGIS_Point(3000, 500), style, "图例", true);
  ASSERT_EQ(compound_->GetElementCount(), 2);
  auto* lowerLeft = dynamic_cast<IGIS_TextElement*>(compound_->GetElementPtrByIndex(0));
  auto* anchored = dynamic_cast<IGIS_TextElement*>(compound_->GetElementPtrByIndex(1));
  ASSERT_NE(lowerLeft, nullptr);
  ASSERT_NE(anchored, nullptr);
  EXPECT_STREQ(lowerLeft->GetText(), "比例尺 1:5000");
  EXPECT_STREQ(anchored->GetText(), "图例");
  EXPECT_EQ(lowerLeft->GetOrder(), -10);

  SGIS_Rect r = lowerLeft->GetRect();
  r.Normalize();
  EXPECT_EQ(r.left, 1000);
  EXPECT_EQ(r.bottom, 2000);
  EXPECT_GT(r.Width(), 0);
  // Anchored: the anchor of position 4 lies on the point, so the text's
  // rectangle is centred there.
  const SGIS_Point a = anchored->GetPoint(4);
  EXPECT_NEAR(a.x, 3000, 1);
  EXPECT_NEAR(a.y, 500, 1);
  SGIS_Rect ar = anchored->GetRect();
  ar.Normalize();
  EXPECT_LT(ar.left, 3000);
  EXPECT_GT(ar.right, 3000);
  // Each keeps its own copy of the style.
  ASSERT_NE(lowerLeft->GetSymbolPtr(), nullptr);
  EXPECT_NE(lowerLeft->GetSymbolPtr(), style);
  EXPECT_EQ(lowerLeft->GetSymbolPtr()->GetColor(), RGB(10, 20, 30));
  style->Release();

  // Nothing is made without a compound.
  const int before = Features();
  CreateTextElement(nullptr, SGIS_Point(0, 0), nullptr, "x", false);
  EXPECT_FALSE(CreatePointElement(nullptr, SGIS_Point(0, 0), line_));
  EXPECT_EQ(Features(), before);
}

TEST_F(MakerTest, NothingIsMadeWithoutEnoughPointsACompoundOrAnElement) {
  const SGIS_Point pts[] = {{0, 0}, {10, 0}, {10, 10}};
  const int before = Features();
  EXPECT_FALSE(CreatePolylineElement(compound_, pts, 1, line_));
  EXPECT_FALSE(CreatePolylineElement(compound_, nullptr, 3, line_));
  EXPECT_FALSE(CreatePolygonElement(compound_, pts, 2, line_));
  EXPECT_FALSE(CreatePolylineElement(nullptr, pts, 3, line_));
  EXPECT_FALSE(AddSegmentElement(nullptr, SGIS_Point(0, 0), SGIS_Point(1, 1), line_));
  auto* loose = new CGIS_CompoundElement(nullptr, nullptr);  // no owner
  EXPECT_FALSE(CreatePolylineElement(loose, pts, 3, line_));
  loose->Release();
  EXPECT_EQ(Features(), before);
  EXPECT_EQ(compound_->GetElementCount(), 0);
}

TEST_F(MakerTest, AnElementTheCompoundRefusesIsNotLeftOnThePage) {
  // A compound whose feature is gone refuses every element: the polyline
  // made for it is handed back instead of staying loose on the page.
  auto* orphan = new CGIS_CompoundElement(set_, nullptr);
  set_->GetFeatureClass()->DeleteFeature(orphan->GetID());
  const int before = Features();
  EXPECT_FALSE(AddSegmentElement(orphan, SGIS_Point(0, 0), SGIS_Point(1, 1), line_));
  EXPECT_EQ(Features(), before);
  orphan->Release();
}

}  // namespace
