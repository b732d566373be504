// What every border kind shares: offsets, width, name, the outer rectangle,
// the base copy and comparison, and the base keys read back.
#include <string>
#include <vector>

#include "host/basilo/propertyset_codec.h"

#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"

namespace {

using md::test::BufferOf;
using md::test::LogMark;
using md::test::Owned;

struct Kind {
  int type;
  int defaultWidth;
};
class MapBorderBase : public ::testing::TestWithParam<Kind> {
 protected:
  IGIS_MapBorder* Make() { return GIS_GetMapBorderFactoryObject()->CreateMapBorder(GetParam().type); }
};

TEST_P(MapBorderBase, NewBorderHasZeroOffsetsItsWidthAndNoName) {
  Owned<IGIS_MapBorder> b(Make());
  ASSERT_NE(b.get(), nullptr);
  EXPECT_EQ(b->GetType(), GetParam().type);
  EXPECT_EQ(b->GetLeftOffset(), 0);
  EXPECT_EQ(b->GetRightOffset(), 0);
  EXPECT_EQ(b->GetTopOffset(), 0);
  EXPECT_EQ(b->GetBottomOffset(), 0);
  EXPECT_EQ(b->GetBorderWidth(), GetParam().defaultWidth);
  EXPECT_STREQ(b->GetName(), "");
}

TEST_P(MapBorderBase, WidthIsStoredAsItsAbsoluteValueOffsetsAsGiven) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetBorderWidth(-350);
  EXPECT_EQ(b->GetBorderWidth(), 350);
  b->SetBorderWidth(INT_MIN);
  EXPECT_EQ(b->GetBorderWidth(), INT_MAX);
  b->SetLeftOffset(-50);
  EXPECT_EQ(b->GetLeftOffset(), -50);
}

TEST_P(MapBorderBase, OuterRectangleIsTheFramePushedOutByTheOffsets) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetLeftOffset(100);
  b->SetRightOffset(200);
  b->SetTopOffset(300);
  b->SetBottomOffset(400);
  const SGIS_Rect r = b->GetOuterRect(SGIS_Rect(1000, 4000, 5000, 1000));
  EXPECT_EQ(r, SGIS_Rect(900, 4300, 5200, 600));
  // Near the ends of the range the result is clamped, not wrapped.
  b->SetRightOffset(INT_MAX);
  EXPECT_EQ(b->GetOuterRect(SGIS_Rect(0, 10, 10, 0)).right, INT_MAX);
}

TEST_P(MapBorderBase, NameIsCutAtACharacterWithinTheLimit) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetName(std::string(1200, 'a').c_str());
  EXPECT_EQ(std::string(b->GetName()), std::string(999, 'a'));
  // 333 three-byte characters fill 999 bytes; one more does not fit.
  std::string wide;
  for (int i = 0; i < 400; ++i) wide += "图";
  b->SetName(wide.c_str());
  EXPECT_EQ(std::string(b->GetName()).size(), 999u);
  LogMark mark;
  b->SetName(nullptr);
  EXPECT_EQ(mark.Count(3, "IGIS_MapBorder::SetName", "szName为NULL"), 1);
  EXPECT_EQ(std::string(b->GetName()).size(), 999u);

  // The same limit applies to a stored name.
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("Name", "Name", GIS_FIELD_TYPE_STRING, 1)->SetString(std::string(1200, 'b').c_str());
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  b->Open(buffer);
  EXPECT_EQ(std::string(b->GetName()), std::string(999, 'b'));
  buffer->Release();
  set->Release();
}

TEST_P(MapBorderBase, BufferWithOnlyAWidthChangesTheWidthAloneAndKeepsANegativeOne) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetLeftOffset(7);
  b->SetName("N");
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("BorderWidth", "BorderWidth", GIS_FIELD_TYPE_INT, 1)->SetInt(-20);
  IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
  set->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
  b->Open(buffer);
  EXPECT_EQ(b->GetBorderWidth(), -20);
  EXPECT_EQ(b->GetLeftOffset(), 7);
  EXPECT_STREQ(b->GetName(), "N");
  buffer->Release();
  set->Release();
}

TEST_P(MapBorderBase, NullBufferIsRefused) {
  Owned<IGIS_MapBorder> b(Make());
  EXPECT_FALSE(b->Open(nullptr));
}

TEST_P(MapBorderBase, StoredFormRebuildsThroughTheFactoryWithTheSameBytes) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetLeftOffset(11);
  b->SetRightOffset(-12);
  b->SetTopOffset(13);
  b->SetBottomOffset(14);
  b->SetBorderWidth(1500);
  b->SetName("内图廓");
  const std::vector<BYTE> bytes = md::test::Stored(b.get());
  IGIS_DataBuffer* buffer = BufferOf(bytes);
  Owned<IGIS_MapBorder> again(GIS_GetMapBorderFactoryObject()->CreateMapborderFromBuffer(buffer));
  buffer->Release();
  ASSERT_NE(again.get(), nullptr);
  EXPECT_EQ(again->GetType(), GetParam().type);
  EXPECT_EQ(again->GetLeftOffset(), 11);
  EXPECT_EQ(again->GetRightOffset(), -12);
  EXPECT_EQ(again->GetTopOffset(), 13);
  EXPECT_EQ(again->GetBottomOffset(), 14);
  EXPECT_EQ(again->GetBorderWidth(), 1500);
  EXPECT_STREQ(again->GetName(), "内图廓");
  EXPECT_EQ(md::test::Stored(again.get()), bytes);  // write, read, write: the same bytes
}

TEST_P(MapBorderBase, KindKeysComeFirstAndAddingTheBaseKeysAgainChangesNoByte) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetLeftOffset(-3);
  b->SetTopOffset(40);
  b->SetBorderWidth(250);
  b->SetName("图廓");
  const std::vector<BYTE> bytes = md::test::Stored(b.get());
  std::vector<md::basilo::StoredFieldView> fields;
  std::string error;
  ASSERT_TRUE(md::basilo::DecodePropertySetViews(bytes.data(), bytes.size(), &fields, &error)) << error;
  const std::vector<std::string> base = {"RightOffset", "LeftOffset",    "TopOffset", "BottomOffset",
                                         "BorderWidth", "MapBorderType", "Name"};
  ASSERT_GT(fields.size(), base.size());  // every kind has keys of its own
  std::vector<std::string> tail;
  for (std::size_t i = fields.size() - base.size(); i < fields.size(); ++i) tail.emplace_back(fields[i].key);
  EXPECT_EQ(tail, base);
  EXPECT_EQ(fields[fields.size() - 2].intValue, GetParam().type);
  // The base values written over the stored kind keys, as a base-only save
  // does, give the same bytes.
  md::layout::border::MapBorderValues values;
  values.nLeftOffset = -3;
  values.nTopOffset = 40;
  values.nBorderWidth = 250;
  values.name = "图廓";
  IGIS_DataBuffer* buffer = BufferOf(bytes);
  ASSERT_TRUE(values.Save(buffer, GetParam().type));
  EXPECT_EQ(std::vector<BYTE>(buffer->GetData(), buffer->GetData() + buffer->GetSize()), bytes);
  buffer->Release();
}

TEST_P(MapBorderBase, CloneKeepsTheValuesButNotTheName) {
  Owned<IGIS_MapBorder> b(Make());
  b->SetTopOffset(900);
  b->SetBorderWidth(321);
  b->SetName("A");
  Owned<IGIS_MapBorder> c(b->Clone());
  ASSERT_NE(c.get(), nullptr);
  EXPECT_EQ(c->GetType(), b->GetType());
  EXPECT_EQ(c->GetTopOffset(), 900);
  EXPECT_EQ(c->GetBorderWidth(), 321);
  EXPECT_STREQ(c->GetName(), "");
}

INSTANTIATE_TEST_SUITE_P(Kinds, MapBorderBase,
                         ::testing::Values(Kind{GIS_MAPBORDER_SIMPLE, 200},
                                           Kind{GIS_MAPBORDER_CALIBRATED, 2000},
                                           Kind{GIS_MAPBORDER_PATTERN, 2000}),
                         [](const auto& info) { return "Type" + std::to_string(info.param.type); });

TEST(MapBorderBaseCompare, CopyAndEqualityTakeTheFiveValuesAndLeaveTheName) {
  Owned<CGIS_MapBorderPattern> a(new CGIS_MapBorderPattern());
  Owned<CGIS_MapBorderPattern> b(new CGIS_MapBorderPattern());
  a->SetName("A");
  b->SetName("B");
  EXPECT_TRUE(*a.get() == *static_cast<IGIS_MapBorder*>(b.get()));  // differ only by name
  b->SetBottomOffset(5);
  EXPECT_TRUE(*a.get() != *static_cast<IGIS_MapBorder*>(b.get()));
  a->CopyFrom(*static_cast<IGIS_MapBorder*>(b.get()));
  EXPECT_EQ(a->GetBottomOffset(), 5);
  EXPECT_STREQ(a->GetName(), "A");
  EXPECT_FALSE(*a.get() != *static_cast<IGIS_MapBorder*>(b.get()));
}

}  // namespace
