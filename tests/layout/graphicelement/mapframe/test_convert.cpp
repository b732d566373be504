// Converting a map frame into plain elements, with and without success, and
// cloning it.
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

using md::test::LogMark;
using md::test::MapFramePage;
using md::test::TestBorder;
using md::test::TestGrid;

class MapFrameConvert : public MapFramePage {
 protected:
  // A frame on the map with two borders and grids A and B.
  CGIS_MapElement* Decorated(bool gridBConverts = true) {
    CGIS_MapElement* f = NewFrame();
    f->SetMapName("测试地图");
    auto* inner = new TestBorder(&journal_, "in");
    auto* outer = new TestBorder(&journal_, "out");
    f->SetInnerMapBorder(inner);
    f->SetOuterMapBorder(outer);
    inner->Release();
    outer->Release();
    f->GetMapGrids()->AddMapGrid(new TestGrid(&journal_, "A"));
    f->GetMapGrids()->AddMapGrid(new TestGrid(&journal_, "B", gridBConverts));
    for (int i = 0; i < f->GetMapGrids()->GetCount(); ++i) f->GetMapGrids()->GetMapGrid(i)->SetMapElement(f);
    journal_.events.clear();
    return f;
  }
  void Discard(IGIS_Element* e) {
    if (e != nullptr && !set_->DeleteElement(e)) e->Release();
  }
};

TEST_F(MapFrameConvert, EverythingConvertedLeavesTheMapAlone) {
  CGIS_MapElement* f = Decorated();
  IGIS_Element* e = f->ConvertToElement();
  ASSERT_NE(e, nullptr);
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(e);
  ASSERT_NE(compound, nullptr);
  // The frame's own pieces, both borders, then the grids last to first.
  EXPECT_EQ(compound->GetElementCount(), 5);
  EXPECT_EQ(journal_.events,
            (std::vector<std::string>{"convert border in'", "convert border out'", "convert grid B",
                                      "release grid B", "convert grid A", "release grid A"}));
  EXPECT_EQ(f->GetMapGrids()->GetCount(), 0);
  IGIS_FrameProperty* frame = f->GetFramePropertyPtr();
  EXPECT_EQ(frame->GetBorderSymbolPtr(), nullptr);
  EXPECT_EQ(frame->GetBackSymbolPtr(), nullptr);
  EXPECT_EQ(frame->GetShadowSymbolPtr(), nullptr);
  EXPECT_NE(f->GetInnerMapBorder(), nullptr);  // the borders stay on the frame
  EXPECT_EQ(f->GetMap(), map_);
  Discard(e);
}

TEST_F(MapFrameConvert, WhatCouldNotBeConvertedStaysOnTheFrame) {
  CGIS_MapElement* f = Decorated(/*gridBConverts=*/false);
  // A frame property with nothing to convert keeps what it has.
  IGIS_FrameProperty* empty = GIS_CreateFramePropertyObject();
  empty->SetBorderSymbolPtr(nullptr);
  f->SetFramePropertyPtr(empty);
  empty->Release();
  IGIS_Element* e = f->ConvertToElement();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(dynamic_cast<IGIS_CompoundElement*>(e)->GetElementCount(), 3);  // two borders and A
  ASSERT_EQ(f->GetMapGrids()->GetCount(), 1);
  EXPECT_STREQ(f->GetMapGrids()->GetMapGrid(0)->GetName(), "B");
  Discard(e);
}

TEST_F(MapFrameConvert, NothingConvertedGivesNullAndLeavesNoElementBehind) {
  CGIS_MapElement* f = NewFrame();
  f->SetFramePropertyPtr(nullptr);
  f->GetMapGrids()->AddMapGrid(new TestGrid(&journal_, "A", false));
  f->GetMapGrids()->GetMapGrid(0)->SetMapElement(f);
  const int before = set_->GetFeatureCount();
  LogMark mark;
  EXPECT_EQ(f->ConvertToElement(), nullptr);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::ConvertToElement", "nothing converted"));
  EXPECT_EQ(set_->GetFeatureCount(), before);
  EXPECT_EQ(f->GetMapGrids()->GetCount(), 1);
}

TEST_F(MapFrameConvert, WithoutACompoundTheFrameIsUnchanged) {
  CGIS_MapElement* f = Decorated();
  GIS_SetElementHooks(nullptr);
  LogMark mark;
  EXPECT_EQ(f->ConvertToElement(), nullptr);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::ConvertToElement", "p_com == NULL"));
  EXPECT_EQ(f->GetMapGrids()->GetCount(), 2);
  EXPECT_NE(f->GetFramePropertyPtr()->GetBorderSymbolPtr(), nullptr);
  EXPECT_TRUE(journal_.events.empty());
}

TEST_F(MapFrameConvert, ACloneShowsTheSameMapWithItsOwnCopies) {
  CGIS_MapElement* f = Decorated();
  f->SetExtentType(GIS_MAP_EXTENT_FIXED_SCALE);
  f->SetScale(0.5);
  f->SetLock(true);
  f->GetFramePropertyPtr()->SetBorderX(77);
  IGIS_Element* e = f->Clone();
  ASSERT_NE(e, nullptr);
  auto* c = dynamic_cast<CGIS_MapElement*>(e);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetMap(), map_);
  EXPECT_EQ(c->GetRect(), f->GetRect());
  SGIS_DRect a, b;
  f->GetMapBound(&a);
  c->GetMapBound(&b);
  EXPECT_NEAR(a.x1, b.x1, 1e-6);
  EXPECT_NEAR(a.y1, b.y1, 1e-6);
  EXPECT_NEAR(a.x2, b.x2, 1e-6);
  EXPECT_NEAR(a.y2, b.y2, 1e-6);
  EXPECT_EQ(c->GetExtentType(), GIS_MAP_EXTENT_AUTOMATIC);
  EXPECT_TRUE(c->IsLock());
  EXPECT_NE(c->GetFramePropertyPtr(), f->GetFramePropertyPtr());
  EXPECT_EQ(c->GetFramePropertyPtr()->GetBorderX(), 77);
  ASSERT_NE(c->GetInnerMapBorder(), nullptr);
  EXPECT_STREQ(c->GetInnerMapBorder()->GetName(), "in''");
  ASSERT_EQ(c->GetMapGrids()->GetCount(), 2);
  for (int i = 0; i < 2; ++i) {
    IGIS_MapGrid* g = c->GetMapGrids()->GetMapGrid(i);
    EXPECT_NE(g, f->GetMapGrids()->GetMapGrid(i));
    EXPECT_EQ(g->GetMapElement(), c);  // bound to the clone, not to the original
  }
  Discard(e);
}

}  // namespace
