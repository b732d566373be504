// Conversion of a frame into a compound of plain rectangles and polylines.
#include <memory>

#include "host/featra/gis_elementregistry.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/layout/graphicelement/frame/frametest.h"

namespace {

using namespace md::test;

std::vector<SGIS_Point> PointsOf(IGIS_Element* e) {
  std::vector<SGIS_Point> out;
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  for (int i = 0; i < g->GetPointCount(); ++i) out.push_back(g->GetPoint(i, 0));
  return out;
}

class FrameConvertTest : public md::test::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    frame_.reset(GIS_CreateFramePropertyObject());
    box_ = Box(1000, 4000, 3000, 5000);
  }
  void TearDown() override {
    for (IGIS_CompoundElement* c : made_) {
      for (int i = c->GetElementCount() - 1; i >= 0; --i) set_->DeleteElement(c->GetElementPtrByIndex(i));
      set_->DeleteElement(c);
    }
    frame_.reset();
    PageTest::TearDown();
  }
  IGIS_CompoundElement* Convert() {
    IGIS_Element* e = frame_->ConvertToElement(box_);
    auto* c = dynamic_cast<IGIS_CompoundElement*>(e);
    if (e != nullptr) {
      EXPECT_NE(c, nullptr);
    }
    if (c != nullptr) made_.push_back(c);
    return c;
  }
  int Features() { return set_->GetFeatureClass()->GetFeatureCount(); }

  Frame frame_;
  md::test::TestBoxElement* box_ = nullptr;
  std::vector<IGIS_CompoundElement*> made_;
};

// Page corners of the border rectangle of the box with gaps 10, 20, 30, 40,
// moved by the conversion's (1000, 1000).
constexpr int L = 1000 - 10 + 1000, R = 3000 + 20 + 1000, T = 5000 + 30 + 1000, B = 4000 - 40 + 1000;

TEST_F(FrameConvertTest, ShadowBackgroundAndBorderBecomeMembersInOrder) {
  Symbol shadow(FillSymbol(RGB(80, 80, 80)));
  Symbol back(FillSymbol(RGB(255, 250, 220)));
  Symbol line(LineSymbol(RGB(0, 0, 160), 0.4));
  frame_->SetShadowSymbolPtr(shadow.p);
  frame_->SetBackSymbolPtr(back.p);
  frame_->SetBorderSymbolPtr(line.p);
  frame_->SetBorderGaps(10, 20, 30, 40);
  frame_->SetBackGaps(100, 100, 200, 200);
  frame_->SetShadowOffSetX(150);
  frame_->SetShadowOffSetY(-150);
  set_->GetFeatureClass()->ClearUpdateRecords();

  IGIS_CompoundElement* c = Convert();
  ASSERT_NE(c, nullptr);
  EXPECT_STREQ(c->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  ASSERT_EQ(c->GetElementCount(), 3);

  IGIS_Element* s = c->GetElementPtrByIndex(0);
  EXPECT_STREQ(s->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  EXPECT_EQ(s->GetRect(),
            SGIS_Rect(1000 + 150 + 1000, 5000 - 150 + 1000, 3000 + 150 + 1000, 4000 - 150 + 1000));
  EXPECT_EQ(Bytes(dynamic_cast<IGIS_RectElement*>(s)->GetSymbolPtr()), Bytes(shadow.p));

  IGIS_Element* b = c->GetElementPtrByIndex(1);
  EXPECT_STREQ(b->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  EXPECT_EQ(b->GetRect(),
            SGIS_Rect(1000 - 100 + 1000, 5000 + 200 + 1000, 3000 + 100 + 1000, 4000 - 200 + 1000));
  EXPECT_EQ(Bytes(dynamic_cast<IGIS_RectElement*>(b)->GetSymbolPtr()), Bytes(back.p));

  IGIS_Element* p = c->GetElementPtrByIndex(2);
  EXPECT_STREQ(p->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  EXPECT_EQ(PointsOf(p), (std::vector<SGIS_Point>{{L, B}, {R, B}, {R, T}, {L, T}, {L, B}}));
  EXPECT_EQ(Bytes(dynamic_cast<IGIS_PolylineElement*>(p)->GetSymbolPtr()), Bytes(line.p));

  // Each piece was committed with the geometry-and-symbol flags.
  IGIS_FeatureClass* fc = set_->GetFeatureClass();
  for (IGIS_Element* piece : {s, b, p}) {
    bool committed = false;
    for (int i = 0; i < fc->GetUpdateCount(); ++i) {
      int id = 0, flags = 0;
      fc->GetUpdateRecord(i, &id, &flags);
      committed |= (id == piece->GetID() && flags == 0x48);
    }
    EXPECT_TRUE(committed) << piece->GetType();
  }
  // The element itself stays where it was.
  EXPECT_EQ(box_->GetRect(), SGIS_Rect(1000, 5000, 3000, 4000));
}

TEST_F(FrameConvertTest, BorderPolylinesFollowTheVisibleSides) {
  const struct {
    bool l, r, t, b;
    std::vector<std::vector<SGIS_Point>> lines;
  } rows[] = {
      {true, true, true, true, {{{L, B}, {R, B}, {R, T}, {L, T}, {L, B}}}},
      {true, false, false, false, {{{L, B}, {L, T}}}},
      {false, false, true, false, {{{L, T}, {R, T}}}},
      {false, true, false, false, {{{R, B}, {R, T}}}},
      {false, false, false, true, {{{L, B}, {R, B}}}},
      {true, false, true, false, {{{L, B}, {L, T}, {R, T}}}},
      {false, true, true, false, {{{L, T}, {R, T}, {R, B}}}},
      {false, true, false, true, {{{R, T}, {R, B}, {L, B}}}},
      {true, false, false, true, {{{L, T}, {L, B}, {R, B}}}},
      {true, true, true, false, {{{L, B}, {L, T}, {R, T}, {R, B}}}},
      {false, true, true, true, {{{L, T}, {R, T}, {R, B}, {L, B}}}},
      {true, true, false, true, {{{R, T}, {R, B}, {L, B}, {L, T}}}},
      {true, false, true, true, {{{R, B}, {L, B}, {L, T}, {R, T}}}},
      {false, false, true, true, {{{L, B}, {R, B}}, {{L, T}, {R, T}}}},
      {true, true, false, false, {{{L, B}, {L, T}}, {{R, B}, {R, T}}}},
      {false, false, false, false, {{}}},  // still one polyline, without points
  };
  Symbol line(LineSymbol(RGB(0, 0, 160), 0.4));
  frame_->SetBorderSymbolPtr(line.p);
  frame_->SetBorderGaps(10, 20, 30, 40);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.l << row.r << row.t << row.b);
    frame_->SetBorderVisible(row.l, row.r, row.t, row.b);
    IGIS_CompoundElement* c = Convert();
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->GetElementCount(), static_cast<int>(row.lines.size()));
    for (int i = 0; i < c->GetElementCount(); ++i) {
      EXPECT_STREQ(c->GetElementPtrByIndex(i)->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
      EXPECT_EQ(PointsOf(c->GetElementPtrByIndex(i)), row.lines[i]);
    }
  }
}

TEST_F(FrameConvertTest, NothingToConvertMakesNothing) {
  const int before = Features();
  // No symbol of the symbol form.
  EXPECT_EQ(frame_->ConvertToElement(box_), nullptr);
  // A frame drawn with symbol2 symbols is not converted.
  Symbol line(LineSymbol(RGB(0, 0, 160), 0.4));
  Symbol2 back2(FillSymbol2(RGB(0, 200, 0)));
  frame_->SetBorderSymbolPtr(line.p);
  frame_->SetBackSymbol2Ptr(back2.p);
  EXPECT_EQ(frame_->ConvertToElement(box_), nullptr);
  EXPECT_EQ(Features(), before);

  frame_->SetBackSymbol2Ptr(nullptr);
  LogMark mark;
  EXPECT_EQ(frame_->ConvertToElement(nullptr), nullptr);
  EXPECT_TRUE(mark.Has(3, " CGIS_FrameProperty::ConvertToElement", "pElement == NULL"));
  md::test::TestBoxElement loose(nullptr, nullptr);
  EXPECT_EQ(frame_->ConvertToElement(&loose), nullptr);
  EXPECT_TRUE(mark.Has(3, " CGIS_FrameProperty::ConvertToElement", "p_graphicLayer == NULL"));
  EXPECT_EQ(Features(), before);
}

}  // namespace
