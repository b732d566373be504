// Features keep symbol objects of the symbol library once it is loaded.
#include <gtest/gtest.h>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"

namespace {

TEST(FeatureSymbol, FeatureKeepsAndRebuildsTheSymbol) {
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "symbols", 0, 0, 0, 0, "");
  ASSERT_NE(set, nullptr);
  IGIS_Feature* feature = set->GetFeatureClass()->CreateFeature(1, 0);
  ASSERT_NE(feature, nullptr);
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(7);
  s->SetCode(3311);
  s->SetAngle(45.0);
  ASSERT_TRUE(feature->SetSymbol(s));
  EXPECT_EQ(feature->GetSymbol(), s);  // the feature's own object

  // Its stored bytes rebuild an equal symbol in another feature.
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  ASSERT_TRUE(feature->GetSymbolData(b));
  IGIS_Feature* other = set->GetFeatureClass()->CreateFeature(1, 0);
  ASSERT_TRUE(other->SetSymbolData(b->GetData(), b->GetSize()));
  IGIS_Symbol* back = other->GetSymbol();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetType(), 7);
  EXPECT_EQ(back->GetStyleCode(), 3311);
  EXPECT_DOUBLE_EQ(back->GetAngle(), 45.0);
  b->Release();
  set->Release();
}

}  // namespace
