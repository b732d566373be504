// A scale bar following the library's own map frame over a host map.
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "scalebartest.h"

namespace md::test {
namespace {

class ScaleBarOnMapFrame : public ScaleBarTest {
 protected:
  void SetUp() override {
    ScaleBarTest::SetUp();
    IGIS_SpatialReference* gk = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(2);
    map_ = document_->CreateMap("图幅", gk);
    gk->Release();
    ASSERT_NE(map_, nullptr);
    frame_ = new CGIS_MapElement(set_, nullptr);
    frame_->SetRect(SGIS_Rect(0, 10000, 10000, 0));  // 100 mm square
    frame_->SetMap(map_);
    // 20 km across 100 mm: 1:200,000, 2 m of the map per page unit.
    frame_->SetMapBound(SGIS_DRect(440000.0, 4430000.0, 460000.0, 4410000.0));
  }
  void TearDown() override {
    if (frame_ != nullptr) frame_->Release();
    ScaleBarTest::TearDown();
  }
  IGIS_Map* map_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
};

TEST_F(ScaleBarOnMapFrame, TheBarFollowsTheFramesScaleAndForgetsTheFrameWhenItGoes) {
  ASSERT_NEAR(frame_->GetScale(), 2.0, 1e-9);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetUnits(1);  // kilometres
  bar->SetMapElement(frame_);
  EXPECT_EQ(bar->GetMapElementID(), frame_->GetID());
  EXPECT_EQ(bar->GetDivisionWidth(), 500);  // 1 km is 5 mm at 1:200,000
  bar->Refresh();
  const int before = bar->GetRect().Width();

  frame_->SetScale(0.5);  // 1:50,000
  EXPECT_EQ(bar->GetMapScale(), 0.5);
  EXPECT_EQ(bar->GetDivisionWidth(), 2000);
  EXPECT_NEAR(bar->GetRect().Width() - before, 6 * (2000 - 500), 2);

  const int id = frame_->GetID();
  frame_->Release();  // the frame tells its followers as it goes
  frame_ = nullptr;
  EXPECT_EQ(bar->GetMapElement(), nullptr);
  EXPECT_EQ(bar->GetMapElementID(), id);
  EXPECT_EQ(bar->GetDivisionWidth(), 2000);
}

}  // namespace
}  // namespace md::test
