// The map-border factory: one object for the process, refused kind codes
// and the failures of rebuilding a stored border.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"

namespace {

constexpr const char* kMethod = "CGIS_MapBorderFactory::CreateMapborderFromBuffer";

int CountSince(std::size_t mark, const std::string& text) {
  int n = 0;
  for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetRecordsSince(mark))
    n += r.method == kMethod && r.text == text;
  return n;
}

TEST(MapBorderFactory, IsOneObjectForTheProcess) {
  IGIS_MapBorderFactory* a = GIS_GetMapBorderFactoryObject();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(GIS_GetMapBorderFactoryObject(), a);
}

TEST(MapBorderFactory, CodesOutsideTheKindsMakeNothing) {
  IGIS_MapBorderFactory* f = GIS_GetMapBorderFactoryObject();
  EXPECT_EQ(f->CreateMapBorder(GIS_MAPBORDER_NONE), nullptr);
  EXPECT_EQ(f->CreateMapBorder(4), nullptr);
  EXPECT_EQ(f->CreateMapBorder(-1), nullptr);
}

TEST(MapBorderFactory, StoredBuffersItCannotReadGiveNullWithTheirRecords) {
  IGIS_MapBorderFactory* f = GIS_GetMapBorderFactoryObject();
  std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  EXPECT_EQ(f->CreateMapborderFromBuffer(nullptr), nullptr);
  EXPECT_EQ(CountSince(mark, "pDataBuffer == NULL"), 1);

  // A set without "MapBorderType".
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("BorderWidth", "BorderWidth", GIS_FIELD_TYPE_INT, 1)->SetInt(200);
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  set->Archive(b, GIS_ARCHIVE_WRITE, 0);
  mark = GIS_GetLogPtr()->GetRecordCount();
  EXPECT_EQ(f->CreateMapborderFromBuffer(b), nullptr);
  EXPECT_EQ(CountSince(mark, "p_field == NULL"), 1);

  // A type that names no kind.
  set->AddProperty("MapBorderType", "MapBorderType", GIS_FIELD_TYPE_INT, 1)->SetInt(9);
  set->Archive(b, GIS_ARCHIVE_WRITE, 0);
  EXPECT_EQ(f->CreateMapborderFromBuffer(b), nullptr);

  // Bytes that are no property set: NULL without a record.
  b->SetSize(5);
  std::memcpy(b->GetData(), "\x01\x02\x03\x04\x05", 5);
  mark = GIS_GetLogPtr()->GetRecordCount();
  EXPECT_EQ(f->CreateMapborderFromBuffer(b), nullptr);
  EXPECT_EQ(CountSince(mark, "p_field == NULL"), 0);
  b->Release();
  set->Release();
}

// The kind code is taken as the field's integer getter gives it, whatever
// type it was stored as.
TEST(MapBorderFactory, KindCodeOfAnyStoredTypeMakesThatKind) {
  IGIS_MapBorderFactory* f = GIS_GetMapBorderFactoryObject();
  struct Row {
    int nFieldType;
    double dValue;
  };
  const Row rows[] = {{GIS_FIELD_TYPE_INT, GIS_MAPBORDER_SIMPLE},
                      {GIS_FIELD_TYPE_INT, GIS_MAPBORDER_CALIBRATED},
                      {GIS_FIELD_TYPE_INT, GIS_MAPBORDER_PATTERN},
                      {GIS_FIELD_TYPE_DOUBLE, GIS_MAPBORDER_PATTERN},
                      {GIS_FIELD_TYPE_DOUBLE, 2.9},
                      {GIS_FIELD_TYPE_STRING, GIS_MAPBORDER_CALIBRATED},
                      {GIS_FIELD_TYPE_BOOL, 1.0}};
  for (const Row& r : rows) {
    IGIS_PropertySet* set = GIS_CreatePropertySetObject();
    IGIS_Field* field = set->AddProperty("MapBorderType", "MapBorderType", r.nFieldType, 1);
    if (r.nFieldType == GIS_FIELD_TYPE_INT) field->SetInt(static_cast<int>(r.dValue));
    if (r.nFieldType == GIS_FIELD_TYPE_DOUBLE) field->SetDouble(r.dValue);
    if (r.nFieldType == GIS_FIELD_TYPE_STRING)
      field->SetString(std::to_string(static_cast<int>(r.dValue)).c_str());
    if (r.nFieldType == GIS_FIELD_TYPE_BOOL) field->SetBool(r.dValue != 0.0);
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    ASSERT_TRUE(set->Archive(b, GIS_ARCHIVE_WRITE, 0));
    const int nExpected = field->GetInt();
    IGIS_MapBorder* border = f->CreateMapborderFromBuffer(b);
    IGIS_MapBorder* made = f->CreateMapBorder(nExpected);
    ASSERT_EQ(border != nullptr, made != nullptr) << r.nFieldType << " " << r.dValue;
    if (border != nullptr) {
      EXPECT_EQ(border->GetType(), made->GetType());
      border->Release();
    }
    if (made != nullptr) made->Release();
    b->Release();
    set->Release();
  }
}

// An empty buffer holds no set: nothing is made, with the set's record.
TEST(MapBorderFactory, EmptyBufferMakesNothing) {
  IGIS_MapBorderFactory* f = GIS_GetMapBorderFactoryObject();
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  EXPECT_EQ(f->CreateMapborderFromBuffer(b), nullptr);
  b->Release();
}

}  // namespace
