// The frame's subject: each message reaches the attached observers once,
// none after detaching or deletion; the map's messages it handles.
#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

using md::test::LogMark;
using md::test::MapFramePage;
using md::test::Probe;

using MapFrameMessages = MapFramePage;

TEST_F(MapFrameMessages, EachMessageReachesEachObserverOnce) {
  CGIS_MapElement* f = NewFrame();
  Probe a, b;
  EXPECT_TRUE(f->Attach(&a, 0));
  EXPECT_TRUE(f->Attach(&b, 0));
  EXPECT_FALSE(f->Attach(&a, 0));  // once only

  f->SetMapName("测试地图");
  EXPECT_EQ(a.Count(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED), 1);
  EXPECT_EQ(a.heard.back().sender, f);

  a.heard.clear();
  b.heard.clear();
  f->SetScale(0.5);
  ASSERT_EQ(a.heard.size(), 1u);
  EXPECT_EQ(a.heard[0].message, GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED);
  EXPECT_EQ(a.heard[0].argument, 0);  // 0.5 map units per page unit, truncated
  EXPECT_EQ(a.heard[0].sender, f);
  f->SetScale(25.75);
  EXPECT_EQ(a.heard.back().argument, 25);

  a.heard.clear();
  f->SetRotateAngle(30.0);
  f->SetRotateAngle(30.0);
  ASSERT_EQ(a.Count(GIS_MESSAGE_ELEMENT_MAP_RORATE), 1);
  EXPECT_EQ(a.heard.back().sender, nullptr);
  EXPECT_EQ(a.heard.back().argument, 0);
  // The kept angle lasts until asked: the map's own angle wins.
  EXPECT_EQ(f->GetRotateAngle(), 0.0);
  f->SetRotateAngle(std::nan(""));
  EXPECT_EQ(a.Count(GIS_MESSAGE_ELEMENT_MAP_RORATE), 1);
  EXPECT_EQ(b.Count(GIS_MESSAGE_ELEMENT_MAP_RORATE), 1);

  EXPECT_TRUE(f->Detach(&a, 0));
  a.heard.clear();
  f->SetRotateAngle(45.0);
  f->SetScale(2.0);
  EXPECT_TRUE(a.heard.empty());
  EXPECT_EQ(b.Count(GIS_MESSAGE_ELEMENT_MAP_RORATE), 2);
  f->Detach(&b, 0);
}

TEST_F(MapFrameMessages, TheOwnerFeatureSetHearsEveryMessage) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  f->SetRotateAngle(5.0);
  EXPECT_EQ(set_->GetMessageCount(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED), 1);
  EXPECT_EQ(set_->GetMessageCount(GIS_MESSAGE_ELEMENT_MAP_RORATE), 1);
  EXPECT_GE(set_->GetMessageCount(GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED), 1);
}

TEST_F(MapFrameMessages, DeletionReachesFollowersOnceAndNothingFollows) {
  // The host announces the deletion, then ends the frame: the followers
  // hear it once.
  CGIS_MapElement* f = NewFrame();
  Probe host;
  f->Attach(&host, 0);
  f->Notify(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, f);
  ReleaseFrame(f);
  EXPECT_EQ(host.Count(GIS_MESSAGE_ELEMENT_MAP_DEL), 1);
  EXPECT_EQ(host.heard.size(), 1u);

  // A frame ended without the announcement tells its followers itself.
  CGIS_MapElement* g = NewFrame();
  Probe quiet;
  g->Attach(&quiet, 0);
  ReleaseFrame(g);
  ASSERT_EQ(quiet.Count(GIS_MESSAGE_ELEMENT_MAP_DEL), 1);
  EXPECT_EQ(quiet.heard[0].sender, g);

  // A detached follower hears nothing of it.
  CGIS_MapElement* h = NewFrame();
  Probe gone;
  h->Attach(&gone, 0);
  h->Detach(&gone, 0);
  ReleaseFrame(h);
  EXPECT_TRUE(gone.heard.empty());
}

TEST_F(MapFrameMessages, AFollowerMayDetachWhileHearing) {
  CGIS_MapElement* f = NewFrame();
  Probe first, second;
  first.onUpdate = [&](const Probe::Heard&) { f->Detach(&first, 0); };
  f->Attach(&first, 0);
  f->Attach(&second, 0);
  f->SetRotateAngle(1.0);
  f->SetRotateAngle(2.0);
  EXPECT_EQ(first.heard.size(), 1u);
  EXPECT_EQ(second.heard.size(), 2u);
  f->Detach(&second, 0);
}

TEST_F(MapFrameMessages, ANewMapReferenceMovesTheBoundAndIsPassedOn) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 500, 1000, 0));
  f->SetMapName("测试地图");
  SGIS_DRect before;
  f->GetMapBound(&before);
  Probe probe;
  IGIS_SpatialReference* seen = nullptr;
  int seenKind = -1;
  double seenScale = 0.0;
  probe.onUpdate = [&](const Probe::Heard& h) {
    if (h.message != GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED) return;
    seen = f->GetSpatialReference();
    seenKind = seen != nullptr ? seen->GetKind() : -1;
    seenScale = f->GetScale();
  };
  f->Attach(&probe, 0);
  IGIS_SpatialReference* geo = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1);
  ASSERT_TRUE(map_->SetSpatialReference(geo));
  geo->Release();
  // Passed on once, after the frame took the geographic reference.
  EXPECT_EQ(probe.Count(GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED), 1);
  EXPECT_EQ(seenKind, GIS_SPATIALREFERENCE_GEOGRAPHIC);
  SGIS_DRect after;
  f->GetMapBound(&after);
  // Metres became degrees near 116.9 E, 39.9 N.
  EXPECT_GT(after.x1, 115.5);
  EXPECT_LT(after.x2, 116.5);
  EXPECT_GT(after.y2, 39.0);
  EXPECT_LT(after.y1, 41.0);
  EXPECT_NEAR(after.Width() / after.Height(), 2.0, 1e-9);  // the frame's proportions
  EXPECT_GT(seenScale, 0.0);
  // The history starts again with the new bound alone.
  EXPECT_EQ(f->GetExtentHistory().size(), 1u);
  EXPECT_FALSE(f->CanGoPreviousExtent());
  f->Detach(&probe, 0);
}

TEST_F(MapFrameMessages, ARenameChangesTheNameAndSendsNothing) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  Probe probe;
  f->Attach(&probe, 0);
  ASSERT_TRUE(map_->SetName("新名字"));
  EXPECT_STREQ(f->GetMapName(), "新名字");
  EXPECT_TRUE(probe.heard.empty());
  f->Detach(&probe, 0);
}

TEST_F(MapFrameMessages, AFeatureRefreshWithoutTheFeatureIsLogged) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect());
  f->Update(GIS_MESSAGE_FEATURE_TOBE_UPDATED, 0, nullptr);
  set_->GetFeatureClass()->DeleteFeature(f->GetID());
  LogMark mark;
  f->Update(GIS_MESSAGE_FEATURE_TOBE_UPDATED, 0, nullptr);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::Update", "m_pFeature == NULL"));
  f->Update(nullptr, 0, nullptr);
  f->Update(GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED, 0, nullptr);  // no map: ignored
}

}  // namespace
