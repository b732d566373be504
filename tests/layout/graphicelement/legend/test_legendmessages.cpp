// The legend hears its map frame: deletion, map changes, layer deletion,
// and messages it leaves alone.
#include "host/sferon/igis_spatialreference.h"
#include "tests/layout/graphicelement/legend/legendtest.h"

namespace md::test {
namespace {

using LegendMessages = LegendPage;

TEST_F(LegendMessages, DeletionOfTheFollowedFrameEmptiesAndUnlinksTheLegend) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_MapElement* other = NewFrame();
  CGIS_LegendElement* l = NewLegend(frame);
  l->AddItem(NewItem(l, "河流", {"小河"}));
  l->RecalcRect();
  const int height = l->GetRect().Height();
  ASSERT_GT(height, 0);

  // Another frame's deletion, also sent through the followed frame: no effect.
  frame->Notify(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, other);
  ReleaseFrame(other);
  EXPECT_EQ(l->GetItemCount(), 1);
  EXPECT_EQ(l->GetMapElement(), frame);

  // Rotation and scale changes leave the legend as it is.
  frame->SetRotateAngle(30.0);
  frame->SetScale(0.25);
  EXPECT_EQ(l->GetItemCount(), 1);
  EXPECT_EQ(l->GetRect().Height(), height);

  // The followed frame ends: it tells its followers first.
  const int frameID = frame->GetID();
  ReleaseFrame(frame);
  EXPECT_EQ(l->GetMapElement(), nullptr);
  EXPECT_EQ(l->GetItemCount(), 0);
  EXPECT_EQ(l->GetMapElementID(), frameID);  // kept, as a frame not found on reading
  EXPECT_LT(l->GetRect().Height(), height);
  ASSERT_TRUE(l->Archive(0, 0));
}

TEST_F(LegendMessages, AnotherMapInTheFrameEmptiesTheLegend) {
  IGIS_SpatialReference* gk =
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  ASSERT_NE(doc_->CreateMap("另一地图", gk), nullptr);
  gk->Release();
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* l = NewLegend(frame);
  l->AddItem(NewItem(l, "河流", {"小河"}));
  frame->SetMapName("另一地图");
  EXPECT_EQ(l->GetItemCount(), 0);
  EXPECT_EQ(l->GetMapElement(), frame);
}

TEST_F(LegendMessages, ALayersDeletionRemovesTheFirstItemShowingIt) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* l = NewLegend(frame);
  l->AddItem(NewItem(l, "植被", {"林地"}));
  l->AddItem(NewItem(l, "河流", {"小河"}));
  l->AddItem(NewItem(l, "河流", {"主要河流"}));
  l->RecalcRect();
  // The host names the deleted layer as the sender.
  frame->Notify(GIS_MESSAGE_DOC_MAPLAYER_DELETED, 0, reinterpret_cast<IGIS_Element*>(Layer("河流")));
  ASSERT_EQ(l->GetItemCount(), 2);
  EXPECT_STREQ(l->GetItem(1)->GetLabel(0), "主要河流");
  frame->Notify(GIS_MESSAGE_DOC_MAPLAYER_DELETED, 0, nullptr);
  EXPECT_EQ(l->GetItemCount(), 2);
}

TEST_F(LegendMessages, UnlinkingKeepsTheItemsAndTheirLayerNames) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* l = NewLegend(frame);
  l->AddItem(NewItem(l, "河流", {"小河"}));
  l->SetMapElement(nullptr);
  EXPECT_EQ(l->GetMapElementID(), -100);
  ASSERT_EQ(l->GetItemCount(), 1);
  EXPECT_EQ(l->GetItem(0)->GetLayer(), nullptr);
  EXPECT_EQ(dynamic_cast<CGIS_LegendItem*>(l->GetItem(0))->GetLayerName(), "河流");
  ASSERT_TRUE(l->Archive(0, 0));
  md::basilo::ReleasePtr<IGIS_PropertySet> custom(CustomOf(l));
  EXPECT_EQ(custom->GetProperty("MapElementID")->GetInt(), -10);  // stored as "none"
  // Following the frame again finds the layer under the kept name.
  l->SetMapElement(frame);
  l->RecalcRect();
  EXPECT_EQ(l->GetItem(0)->GetLayer(), Layer("河流"));
}

}  // namespace
}  // namespace md::test
