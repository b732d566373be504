// The map frame's fields and defaults, its setters, and its stored state
// written and read back.
#include <cstring>
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/mapframe/mapelementstore.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

using md::test::Journal;
using md::test::LogMark;
using md::test::MapFramePage;
using md::test::TestBorder;
using md::test::TestGrid;

struct SetDeleter {
  void operator()(IGIS_PropertySet* p) const { p->Release(); }
};
using Set = std::unique_ptr<IGIS_PropertySet, SetDeleter>;

std::vector<unsigned char> BytesOf(IGIS_DataBuffer* b) {
  if (b == nullptr || b->GetSize() <= 0) return {};
  return std::vector<unsigned char>(b->GetData(), b->GetData() + b->GetSize());
}

using MapFrameModel = MapFramePage;

TEST_F(MapFrameModel, ANewFrameHasItsDefaults) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect());
  EXPECT_STREQ(f->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  EXPECT_STREQ(f->GetName(), "地图框架");
  EXPECT_STREQ(f->GetDescription(), "暂时没有定义");
  EXPECT_GE(f->GetID(), 0);
  EXPECT_EQ(f->GetOrder(), -10);
  EXPECT_FALSE(f->IsLock());
  EXPECT_FALSE(f->GetHVScaleRatio());
  EXPECT_TRUE(f->CanConvert());
  EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_AUTOMATIC);
  EXPECT_EQ(f->GetMap(), nullptr);
  EXPECT_STREQ(f->GetMapName(), "");
  EXPECT_EQ(f->GetScale(), 0.0);  // no map
  EXPECT_EQ(f->GetRotateAngle(), 0.0);
  EXPECT_TRUE(f->GetDisableAutoControlVectorSubLayer());
  EXPECT_TRUE(f->GetScaleSymbolsWithMap());
  f->SetScaleSymbolsWithMap(false);
  EXPECT_TRUE(f->GetScaleSymbolsWithMap());
  EXPECT_EQ(f->GetInnerMapBorder(), nullptr);
  EXPECT_EQ(f->GetOuterMapBorder(), nullptr);
  EXPECT_EQ(f->GetClipPolygonPtr(), nullptr);
  ASSERT_NE(f->GetMapGrids(), nullptr);
  EXPECT_EQ(f->GetMapGrids()->GetCount(), 0);
  EXPECT_EQ(f->GetMapGrids()->GetMapElement(), f);
  EXPECT_FALSE(f->CanGoPreviousExtent());
  EXPECT_FALSE(f->CanGoNextExtent());
  SGIS_DRect bound(1, 2, 3, 4);
  EXPECT_EQ(f->GetMapBound(&bound), &bound);
  EXPECT_EQ(bound, SGIS_DRect());
  // The frame starts with a border line of style 0xD04 and no gaps.
  IGIS_FrameProperty* frame = f->GetFramePropertyPtr();
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame->GetBorderSymbolPtr(), nullptr);
  EXPECT_EQ(frame->GetBorderSymbolPtr()->GetStyleCode(), 0xD04);
  EXPECT_EQ(frame->GetBorderX(), 0);
  EXPECT_EQ(frame->GetBorderY(), 0);

  // The feature: bookkeeping fields and the declared keys with their defaults.
  IGIS_FeatureAttributes* a = f->GetFeaturePtr()->GetAttributes();
  EXPECT_STREQ(a->GetString("TYPE"), GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  EXPECT_TRUE(a->GetBool("IsLock"));  // while the member is FALSE
  EXPECT_FALSE(a->GetBool("KeepHVScaleRatio"));
  EXPECT_TRUE(a->GetBool("CanConvert"));
  EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), f);
  Set custom(CustomOf(f));
  const char* declared[] = {"MapName",
                            "MapBound",
                            "FixScale",
                            "ExtentType",
                            "FrameProperty",
                            "SpatialReference",
                            "MapGrids",
                            "PolyGon",
                            "InnerMapBorder",
                            "OuterMapBorder",
                            "InnerMapBorderNULL",
                            "OuterMapBorderNULL",
                            "DisableAutoControlVectorSubLayer",
                            "UseSetedReferenceScale"};
  IGIS_Field* field = custom->GetFirstPosition();
  for (const char* key : declared) {
    ASSERT_NE(field, nullptr) << key;
    EXPECT_STREQ(field->GetLabel(), key);
    field = custom->GetNext(field);
  }
  EXPECT_EQ(field, nullptr);
  EXPECT_STREQ(custom->GetProperty("MapName")->GetString(), "");
  EXPECT_STREQ(custom->GetProperty("MapName")->GetDescription(), "地图名称");
  EXPECT_EQ(custom->GetProperty("MapBound")->GetDataBuffer()->GetSize(), 32);
  EXPECT_EQ(custom->GetProperty("FixScale")->GetDouble(), 10.0);
  EXPECT_EQ(custom->GetProperty("ExtentType")->GetInt(), 0);
  EXPECT_EQ(custom->GetProperty("RotateAngle"), nullptr);
  EXPECT_TRUE(custom->GetProperty("DisableAutoControlVectorSubLayer")->GetBool());

  // Reading the new frame back takes the stored lock and keeps every default.
  ASSERT_TRUE(f->Archive(1, 0));
  EXPECT_TRUE(f->IsLock());
  EXPECT_TRUE(f->GetDisableAutoControlVectorSubLayer());
}

TEST_F(MapFrameModel, WithoutAnOwnerNothingIsMade) {
  auto* f = new CGIS_MapElement(nullptr, nullptr);
  EXPECT_EQ(f->GetFramePropertyPtr(), nullptr);
  EXPECT_EQ(f->GetMapGrids(), nullptr);
  EXPECT_EQ(f->GetFeaturePtr(), nullptr);
  EXPECT_FALSE(f->Archive(0, 0));
  EXPECT_EQ(f->Attach(nullptr, 0), FALSE);
  f->Release();
}

TEST_F(MapFrameModel, FixedExtentKeepsTheProportions) {
  CGIS_MapElement* f = NewFrame();
  f->SetExtentType(GIS_MAP_EXTENT_FIXED_EXTENT);
  EXPECT_TRUE(f->GetHVScaleRatio());
  f->SetHVScaleRatio(false);
  EXPECT_TRUE(f->GetHVScaleRatio());
  f->SetExtentType(GIS_MAP_EXTENT_AUTOMATIC);
  EXPECT_TRUE(f->GetHVScaleRatio());  // the ratio byte stays set
  f->SetHVScaleRatio(false);
  EXPECT_FALSE(f->GetHVScaleRatio());
}

TEST_F(MapFrameModel, SettersKeepCopiesAndCutNames) {
  CGIS_MapElement* f = NewFrame();
  IGIS_FrameProperty* own = f->GetFramePropertyPtr();
  EXPECT_TRUE(f->SetFramePropertyPtr(own));
  EXPECT_EQ(f->GetFramePropertyPtr(), own);
  EXPECT_TRUE(f->SetFramePropertyPtr(nullptr));
  EXPECT_EQ(f->GetFramePropertyPtr(), nullptr);
  IGIS_FrameProperty* mine = GIS_CreateFramePropertyObject();
  mine->SetBorderX(300);
  EXPECT_TRUE(f->SetFramePropertyPtr(mine));
  EXPECT_NE(f->GetFramePropertyPtr(), mine);
  EXPECT_EQ(f->GetFramePropertyPtr()->GetBorderX(), 300);
  mine->Release();

  Journal& j = journal_;
  auto* border = new TestBorder(&j, "in");
  f->SetInnerMapBorder(border);
  ASSERT_NE(f->GetInnerMapBorder(), nullptr);
  EXPECT_NE(f->GetInnerMapBorder(), border);
  EXPECT_STREQ(f->GetInnerMapBorder()->GetName(), "in'");
  f->SetInnerMapBorder(nullptr);
  EXPECT_EQ(f->GetInnerMapBorder(), nullptr);
  border->Release();
  EXPECT_EQ(j.events, (std::vector<std::string>{"release border in'", "release border in"}));

  const std::string longName(1200, 'n');
  f->SetName(longName.c_str());
  EXPECT_EQ(std::string(f->GetName()), longName.substr(0, 999));
  LogMark mark;
  f->SetName(nullptr);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::SetName", "szName为NULL"));
}

TEST_F(MapFrameModel, AStoredFrameReadBackEqualsTheOriginal) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  ASSERT_EQ(f->GetMap(), map_);
  f->SetExtentType(GIS_MAP_EXTENT_FIXED_SCALE);
  f->SetScale(0.5);
  f->SetRotateAngle(12.5);
  f->SetLock(true);
  f->SetOrder(7);
  f->SetName("图框A");
  f->SetDisableAutoControlVectorSubLayer(false);
  f->GetFramePropertyPtr()->SetBorderX(120);
  SGIS_DRect bound;
  f->GetMapBound(&bound);
  const double scale = f->GetScale();
  f->GetMapBound(&bound);
  ASSERT_TRUE(f->Archive(0, 0));
  const std::vector<unsigned char> first =
      BytesOf(f->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"));

  // A second element bound to the same feature, as a host loading the page.
  IGIS_Feature* feature = f->GetFeaturePtr();
  auto* g = new CGIS_MapElement(set_, feature);
  frames_.push_back(g);
  ASSERT_TRUE(g->Archive(1, 0));
  EXPECT_STREQ(g->GetMapName(), "测试地图");
  EXPECT_EQ(g->GetMap(), map_);
  EXPECT_EQ(g->GetExtentType(), GIS_MAP_EXTENT_FIXED_SCALE);
  EXPECT_TRUE(g->IsLock());
  EXPECT_EQ(g->GetOrder(), 7);
  EXPECT_STREQ(g->GetName(), "图框A");
  EXPECT_FALSE(g->GetDisableAutoControlVectorSubLayer());
  EXPECT_EQ(g->GetFramePropertyPtr()->GetBorderX(), 120);
  SGIS_DRect back;
  g->GetMapBound(&back);
  EXPECT_NEAR(back.x1, bound.x1, 1e-6);
  EXPECT_NEAR(back.x2, bound.x2, 1e-6);
  EXPECT_NEAR(back.y1, bound.y1, 1e-6);
  EXPECT_NEAR(back.y2, bound.y2, 1e-6);
  EXPECT_NEAR(g->GetScale(), scale, 1e-12);
  EXPECT_EQ(g->GetRect(), f->GetRect());
  EXPECT_EQ(g->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);

  // Written again, the stored form is what it was.
  ASSERT_TRUE(g->Archive(0, 0));
  EXPECT_EQ(BytesOf(feature->GetAttributes()->GetDataBuffer("Custom")), first);
}

TEST_F(MapFrameModel, ReadingTwiceReplacesTheGridsInsteadOfAddingThem) {
  Journal& j = journal_;
  CGIS_MapElement* f = NewFrame();
  ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(new TestGrid(&j, "格网")));
  ASSERT_TRUE(f->Archive(0, 0));
  ASSERT_TRUE(f->Archive(1, 0));
  ASSERT_TRUE(f->Archive(1, 0));
  // The grid in memory gave way to the stored list (whose kind this library
  // cannot build), once, and nothing was added twice.
  EXPECT_EQ(j.events, (std::vector<std::string>{"release grid 格网"}));
  EXPECT_EQ(f->GetMapGrids()->GetCount(), 0);
}

TEST_F(MapFrameModel, BordersAreStoredWithTheirPresenceKeys) {
  CGIS_MapElement* f = NewFrame();
  ASSERT_TRUE(f->Archive(0, 0));
  {
    Set custom(CustomOf(f));
    EXPECT_FALSE(custom->GetProperty("InnerMapBorderNULL")->GetBool());
    EXPECT_FALSE(custom->GetProperty("OuterMapBorderNULL")->GetBool());
    EXPECT_EQ(custom->GetProperty("InnerMapBorder")->GetDataBuffer()->GetSize(), 0);
    // The first write adds the rotation with its own key as its caption.
    ASSERT_NE(custom->GetProperty("RotateAngle"), nullptr);
    EXPECT_STREQ(custom->GetProperty("RotateAngle")->GetDescription(), "RotateAngle");
  }
  ASSERT_TRUE(f->Archive(1, 0));
  EXPECT_EQ(f->GetInnerMapBorder(), nullptr);

  Journal& j = journal_;
  auto* border = new TestBorder(&j, "外图廓");
  f->SetOuterMapBorder(border);
  border->Release();
  ASSERT_TRUE(f->Archive(0, 0));
  std::vector<unsigned char> stored;
  {
    Set custom(CustomOf(f));
    EXPECT_TRUE(custom->GetProperty("OuterMapBorderNULL")->GetBool());
    EXPECT_FALSE(custom->GetProperty("InnerMapBorderNULL")->GetBool());
    stored = BytesOf(custom->GetProperty("OuterMapBorder")->GetDataBuffer());
    EXPECT_FALSE(stored.empty());
  }
  // Read by a frame that cannot rebuild that kind of border: the border is
  // kept as stored and written back unchanged.
  auto* g = new CGIS_MapElement(set_, f->GetFeaturePtr());
  frames_.push_back(g);
  ASSERT_TRUE(g->Archive(1, 0));
  EXPECT_EQ(g->GetOuterMapBorder(), nullptr);
  ASSERT_TRUE(g->Archive(0, 0));
  Set custom(CustomOf(g));
  EXPECT_TRUE(custom->GetProperty("OuterMapBorderNULL")->GetBool());
  EXPECT_EQ(BytesOf(custom->GetProperty("OuterMapBorder")->GetDataBuffer()), stored);
  // Removing the border on purpose removes it from the stored form too.
  g->SetOuterMapBorder(nullptr);
  ASSERT_TRUE(g->Archive(0, 0));
  Set after(CustomOf(g));
  EXPECT_FALSE(after->GetProperty("OuterMapBorderNULL")->GetBool());
}

TEST_F(MapFrameModel, AFormStoredWithoutBordersReadsBackWithoutThem) {
  CGIS_MapElement* f = NewFrame();
  ASSERT_TRUE(f->Archive(0, 0));
  // Borders given after the write give way to the stored form's "none".
  md::basilo::ReleasePtr<IGIS_MapBorder> simple(
      GIS_GetMapBorderFactoryObject()->CreateMapBorder(GIS_MAPBORDER_SIMPLE));
  f->SetInnerMapBorder(simple.get());
  f->SetOuterMapBorder(simple.get());
  ASSERT_TRUE(f->Archive(1, 0));
  EXPECT_EQ(f->GetInnerMapBorder(), nullptr);
  EXPECT_EQ(f->GetOuterMapBorder(), nullptr);
}

TEST_F(MapFrameModel, DamagedStoredValuesLeaveTheMembersAsTheyWere) {
  CGIS_MapElement* f = NewFrame();
  ASSERT_TRUE(f->Archive(0, 0));
  IGIS_FeatureAttributes* a = f->GetFeaturePtr()->GetAttributes();
  Set custom(CustomOf(f));
  // A bound of 16 bytes, a non-finite scale, an empty reference buffer.
  custom->GetProperty("MapBound")->GetDataBuffer()->SetSize(16);
  custom->GetProperty("FixScale")->SetDouble(std::nan(""));
  custom->GetProperty("SpatialReference")->GetDataBuffer()->SetSize(0);
  IGIS_DataBuffer* out = GIS_CreateDataBufferObject(0);
  custom->Archive(out, GIS_ARCHIVE_WRITE, 0);
  a->SetDataBuffer("Custom", out, 0);
  out->Release();
  IGIS_SpatialReference* before = f->GetSpatialReference();
  ASSERT_TRUE(f->Archive(1, 0));
  SGIS_DRect bound;
  f->GetMapBound(&bound);
  EXPECT_EQ(f->GetSpatialReference(), before);
  EXPECT_TRUE(std::isfinite(bound.x1) && std::isfinite(bound.y1));

  // A bound of 32 bytes holding NaN is refused as a whole.
  unsigned char raw[32];
  SGIS_DRect bad(1, std::nan(""), 3, 4);
  md::layout::detail::EncodeBound(bad, raw);
  IGIS_DataBuffer* b = custom->GetProperty("MapBound")->GetDataBuffer();
  b->SetSize(32);
  std::memcpy(b->GetData(), raw, 32);
  IGIS_DataBuffer* stored = GIS_CreateDataBufferObject(0);
  custom->Archive(stored, GIS_ARCHIVE_WRITE, 0);
  EXPECT_FALSE(md::layout::detail::ReadBound(md::layout::StoredSetView(stored), &bound));
  stored->Release();
  // And a sound one comes back bit for bit.
  const SGIS_DRect good(-1.25, 1e300, 3.5, -4e-300);
  md::layout::detail::EncodeBound(good, raw);
  EXPECT_EQ(md::layout::detail::DecodeBound(raw), good);
  EXPECT_EQ(raw[0], 0x00);  // little-endian: -1.25 is 0xBFF4000000000000
  EXPECT_EQ(raw[7], 0xBF);
}

TEST_F(MapFrameModel, WithoutAFeatureStorageFailsWithARecord) {
  CGIS_MapElement* f = NewFrame(SGIS_Rect());
  set_->GetFeatureClass()->DeleteFeature(f->GetID());
  LogMark mark;
  EXPECT_FALSE(f->Archive(0, 0));
  EXPECT_FALSE(f->Archive(1, 0));
  EXPECT_EQ(f->GetRect(), SGIS_Rect());
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::Archive", "m_pFeature == NULL"));
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::GetRect", "m_pFeature == NULL"));
}

}  // namespace

namespace {

using MapFrameModel = md::test::MapFramePage;
using md::test::TestBorder;

std::vector<unsigned char> StoredBytes(IGIS_DataBuffer* b) {
  if (b == nullptr || b->GetSize() <= 0) return {};
  return std::vector<unsigned char>(b->GetData(), b->GetData() + b->GetSize());
}

// A sheet that edits the frame as the pages would, writes it, and ends as
// the user chooses.
class EditingSheet final : public md::layout::ISheetHost {
 public:
  explicit EditingSheet(bool ok) : ok_(ok) {}
  BOOL Open(const md::layout::SheetRequest& request) override {
    title = request.szTitle;
    auto* f = dynamic_cast<CGIS_MapElement*>(request.pElement);
    f->SetExtentType(GIS_MAP_EXTENT_FIXED_SCALE);
    f->SetScale(3.0);
    f->SetRotateAngle(40.0);
    f->SetDisableAutoControlVectorSubLayer(false);
    f->GetFramePropertyPtr()->SetBorderX(999);
    f->SetOuterMapBorder(nullptr);
    f->OffsetAllPoints(500, 500);
    f->SetName("改过的名字");
    f->Archive(0, 0);  // Apply
    return ok_ ? TRUE : FALSE;
  }
  std::string title;

 private:
  bool ok_;
};

TEST_F(MapFrameModel, ACancelledSheetLeavesTheFrameAndItsStoredFormAsTheyWere) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  f->SetScale(0.5);
  // A border of a kind the border factory rebuilds from what the frame stores.
  md::basilo::ReleasePtr<IGIS_MapBorder> border(
      GIS_GetMapBorderFactoryObject()->CreateMapBorder(GIS_MAPBORDER_SIMPLE));
  ASSERT_NE(border, nullptr);
  f->SetOuterMapBorder(border.get());
  ASSERT_TRUE(f->Archive(0, 0));
  IGIS_FeatureAttributes* a = f->GetFeaturePtr()->GetAttributes();
  const std::vector<unsigned char> stored = StoredBytes(a->GetDataBuffer("Custom"));
  const SGIS_Rect rect = f->GetRect();
  SGIS_DRect bound;
  f->GetMapBound(&bound);

  EditingSheet cancel(false);
  md::layout::ISheetHost* before = md::layout::SetSheetHost(&cancel);
  EXPECT_FALSE(f->OnOpenPropertyDlg(nullptr, FALSE));
  EXPECT_EQ(cancel.title, "地图框架属性");
  EXPECT_EQ(StoredBytes(a->GetDataBuffer("Custom")), stored);
  EXPECT_STREQ(a->GetString("ElementName"), "地图框架");
  EXPECT_EQ(f->GetRect(), rect);
  EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_AUTOMATIC);
  EXPECT_NEAR(f->GetScale(), 0.5, 1e-12);
  SGIS_DRect after;
  f->GetMapBound(&after);
  EXPECT_NEAR(after.x1, bound.x1, 1e-6);
  EXPECT_NEAR(after.y2, bound.y2, 1e-6);
  EXPECT_TRUE(f->GetDisableAutoControlVectorSubLayer());
  EXPECT_EQ(f->GetFramePropertyPtr()->GetBorderX(), 0);
  ASSERT_NE(f->GetOuterMapBorder(), nullptr);
  EXPECT_EQ(f->GetOuterMapBorder()->GetType(), GIS_MAPBORDER_SIMPLE);
  // Written now, the frame stores what it stored before the sheet.
  ASSERT_TRUE(f->Archive(0, 0));
  EXPECT_EQ(StoredBytes(a->GetDataBuffer("Custom")), stored);

  EditingSheet ok(true);
  md::layout::SetSheetHost(&ok);
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, FALSE));
  EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_FIXED_SCALE);
  EXPECT_EQ(f->GetFramePropertyPtr()->GetBorderX(), 999);
  md::layout::SetSheetHost(before);
  // Without a sheet the request counts as cancelled and changes nothing.
  EXPECT_FALSE(f->OnOpenPropertyDlg(nullptr, FALSE));
}

}  // namespace
