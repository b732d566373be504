// The element makers that complex elements convert themselves with: checks
// before anything is made, the geometry and symbol of what is made, and its
// place in the compound.
#include "elementtest.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/element/mapdeckfunction.h"

namespace {

using mdtest::PageTest;

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

TEST_F(MakerTest, PolylinePointsAreStoredUnchangedAndInOrder) {
  const SGIS_Point pts[] = {{-5, 3}, {10, 20}, {30, -7}, {31, -7}};
  EXPECT_TRUE(CreatePolylineElement(compound_, pts, 4, line_));
  IGIS_Geometry* g = compound_->GetElementPtrByIndex(0)->GetFeaturePtr()->GetGeometry();
  ASSERT_EQ(g->GetPointCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(g->GetPoint(i, 0), pts[i]) << i;
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
