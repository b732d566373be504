// The border manager: its current kind, copies of the borders it is given,
// its stored form, drawing and conversion; the factory's kinds.
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapbordermanager.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "layout/graphicelement/grid/border/mapborderfactory.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"

namespace {

using md::test::BorderPage;
using md::test::LogMark;
using md::test::Owned;
using md::test::Printer;

TEST(MapBorderFactoryKinds, EachCodeMakesItsKindWithItsDefaults) {
  IGIS_MapBorderFactory* f = GIS_GetMapBorderFactoryObject();
  for (int type : {GIS_MAPBORDER_SIMPLE, GIS_MAPBORDER_CALIBRATED, GIS_MAPBORDER_PATTERN}) {
    Owned<IGIS_MapBorder> b(f->CreateMapBorder(type));
    ASSERT_NE(b.get(), nullptr);
    EXPECT_EQ(b->GetType(), type);
  }
  Owned<IGIS_MapBorder> s(f->CreateMapBorder(GIS_MAPBORDER_SIMPLE));
  EXPECT_NE(dynamic_cast<CGIS_MapBorderSimple*>(s.get()), nullptr);
}

TEST(MapBorderFactoryKinds, ReleasedAtUnloadAndMadeAnewOnTheNextCall) {
  ASSERT_NE(GIS_GetMapBorderFactoryObject(), nullptr);
  md::layout::ReleaseMapBorderFactory();
  md::layout::ReleaseMapBorderFactory();  // nothing left: nothing to release
  IGIS_MapBorderFactory* again = GIS_GetMapBorderFactoryObject();
  ASSERT_NE(again, nullptr);
  Owned<IGIS_MapBorder> b(again->CreateMapBorder(GIS_MAPBORDER_PATTERN));
  ASSERT_NE(b.get(), nullptr);
  EXPECT_EQ(b->GetType(), GIS_MAPBORDER_PATTERN);
}

TEST(MapBorderManager, TypeIsNoneUntilSetAndOnlyKnownCodesAreTaken) {
  Owned<CGIS_MapBorderManager> m(new CGIS_MapBorderManager());
  EXPECT_EQ(m->GetMapBorderType(), GIS_MAPBORDER_NONE);
  EXPECT_EQ(m->GetMapBorder(), nullptr);
  EXPECT_FALSE(m->SetMapBorderType(4));
  EXPECT_FALSE(m->SetMapBorderType(-1));
  EXPECT_EQ(m->GetMapBorderType(), GIS_MAPBORDER_NONE);
  EXPECT_TRUE(m->SetMapBorderType(GIS_MAPBORDER_CALIBRATED));
  ASSERT_NE(m->GetMapBorder(), nullptr);
  EXPECT_EQ(m->GetMapBorder()->GetType(), GIS_MAPBORDER_CALIBRATED);
  EXPECT_TRUE(m->SetMapBorderType(GIS_MAPBORDER_NONE));
  EXPECT_EQ(m->GetMapBorder(), nullptr);
}

TEST(MapBorderManager, GivenBorderIsCopiedIntoItsOwnMember) {
  Owned<CGIS_MapBorderManager> m(new CGIS_MapBorderManager());
  Owned<CGIS_MapBorderPattern> given(new CGIS_MapBorderPattern());
  given->SetTopScale(2.5);
  given->SetLeftOffset(70);
  EXPECT_TRUE(m->SetMapBorder(given.get()));
  EXPECT_TRUE(m->SetMapBorder(nullptr));
  EXPECT_EQ(m->GetMapBorderType(), GIS_MAPBORDER_PATTERN);
  auto* own = dynamic_cast<IGIS_MapBorderPattern*>(m->GetMapBorder());
  ASSERT_NE(own, nullptr);
  EXPECT_NE(own, static_cast<IGIS_MapBorderPattern*>(given.get()));
  EXPECT_EQ(own->GetTopScale(), 2.5);
  EXPECT_EQ(own->GetLeftOffset(), 70);
  given->SetTopScale(9.0);
  EXPECT_EQ(own->GetTopScale(), 2.5);
  // Switching kinds keeps the other kinds' settings.
  m->SetMapBorderType(GIS_MAPBORDER_SIMPLE);
  m->SetMapBorderType(GIS_MAPBORDER_PATTERN);
  EXPECT_EQ(dynamic_cast<IGIS_MapBorderPattern*>(m->GetMapBorder())->GetTopScale(), 2.5);
}

TEST(MapBorderManager, CopyCloneAndSameness) {
  Owned<CGIS_MapBorderManager> a(new CGIS_MapBorderManager());
  Owned<CGIS_MapBorderCalibrated> cal(new CGIS_MapBorderCalibrated());
  cal->SetInterval(1234);
  Owned<CGIS_MapBorderSimple> simple(new CGIS_MapBorderSimple());
  simple->SetBorderWidth(77);
  a->SetMapBorder(simple.get());
  a->SetMapBorder(cal.get());
  a->CopyFrom(a.get());  // itself: nothing changes
  EXPECT_EQ(a->GetMapBorderType(), GIS_MAPBORDER_CALIBRATED);

  Owned<CGIS_MapBorderManager> b(new CGIS_MapBorderManager());
  b->CopyFrom(a.get());
  EXPECT_EQ(a->GetMapBorderType(), GIS_MAPBORDER_CALIBRATED);  // the source ends as it began
  EXPECT_EQ(b->GetMapBorderType(), GIS_MAPBORDER_CALIBRATED);
  EXPECT_EQ(dynamic_cast<IGIS_MapBorderCalibrated*>(b->GetMapBorder())->GetInterval(), 1234);
  b->SetMapBorderType(GIS_MAPBORDER_SIMPLE);
  EXPECT_EQ(b->GetMapBorder()->GetBorderWidth(), 77);

  Owned<IGIS_MapBorderManager> c(a->Clone());
  EXPECT_FALSE(c->IsSame(a.get()));
  EXPECT_TRUE(a->IsSame(a.get()));
  EXPECT_EQ(c->GetMapBorderType(), GIS_MAPBORDER_CALIBRATED);
  EXPECT_EQ(dynamic_cast<IGIS_MapBorderCalibrated*>(c->GetMapBorder())->GetInterval(), 1234);
}

TEST(MapBorderManager, StoredFormKeepsAllKindsAndAStrangeTypeActsAsNone) {
  Owned<CGIS_MapBorderManager> a(new CGIS_MapBorderManager());
  Owned<CGIS_MapBorderSimple> simple(new CGIS_MapBorderSimple());
  simple->SetBorderWidth(55);
  Owned<CGIS_MapBorderCalibrated> cal(new CGIS_MapBorderCalibrated());
  cal->SetAlternating(true);
  a->SetMapBorder(simple.get());
  a->SetMapBorder(cal.get());
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
  EXPECT_TRUE(a->Save(buffer));
  Owned<CGIS_MapBorderManager> b(new CGIS_MapBorderManager());
  EXPECT_TRUE(b->Open(buffer));
  EXPECT_EQ(b->GetMapBorderType(), GIS_MAPBORDER_CALIBRATED);
  EXPECT_TRUE(dynamic_cast<IGIS_MapBorderCalibrated*>(b->GetMapBorder())->GetAlternating());
  b->SetMapBorderType(GIS_MAPBORDER_SIMPLE);
  EXPECT_EQ(b->GetMapBorder()->GetBorderWidth(), 55);

  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("Type", "Type", GIS_FIELD_TYPE_INT, 1)->SetInt(7);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  LogMark mark;
  EXPECT_TRUE(b->Open(buffer));
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderManager::Open", "p_field == NULL"), 3);
  EXPECT_EQ(b->GetMapBorderType(), 7);
  EXPECT_EQ(b->GetMapBorder(), nullptr);
  Printer printer;
  EXPECT_TRUE(b->OnDraw(printer.hdc, true, printer.display.get(), SGIS_Rect(0, 100, 100, 0), nullptr));
  EXPECT_TRUE(printer.canvas.records().empty());
  EXPECT_EQ(b->ConvertToElement(nullptr), nullptr);
  // A copy of a manager of that type leaves the source's type as it was.
  Owned<CGIS_MapBorderManager> c(new CGIS_MapBorderManager());
  c->CopyFrom(b.get());
  EXPECT_EQ(b->GetMapBorderType(), 7);
  EXPECT_EQ(c->GetMapBorderType(), 7);
  EXPECT_FALSE(b->Open(nullptr));
  set->Release();
  buffer->Release();
}

class MapBorderManagerDraw : public BorderPage {};

TEST_F(MapBorderManagerDraw, DrawsAndConvertsTheCurrentKind) {
  Owned<CGIS_MapBorderManager> m(new CGIS_MapBorderManager());
  m->SetMapBorderType(GIS_MAPBORDER_SIMPLE);
  IGIS_Element* frame = Frame(SGIS_Rect(1000, 9000, 9000, 1000));
  Printer printer;
  EXPECT_TRUE(m->OnDraw(printer.hdc, true, printer.display.get(), frame->GetRect(), page_));
  EXPECT_EQ(md::test::PaintedOf(printer.canvas).size(), 1u);
  IGIS_Element* e = m->ConvertToElement(frame);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(DrawConverted(e), md::test::PaintedOf(printer.canvas));
  Discard(e);
}

}  // namespace
