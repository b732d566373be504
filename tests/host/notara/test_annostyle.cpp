// Annotation point styles: settings, independence, stored form.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/notara/igis_annostyle.h"

namespace {

IGIS_AnnoPointStyle* NewStyle() {
  return GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
}

TEST(AnnoStyle, AlignmentCodesZeroToEightOnly) {
  IGIS_AnnoPointStyle* s = NewStyle();
  EXPECT_EQ(s->GetAlignment(), 0);
  for (int code = 0; code <= 8; ++code) {
    EXPECT_TRUE(s->SetAlignment(code));
    EXPECT_EQ(s->GetAlignment(), code);
  }
  EXPECT_FALSE(s->SetAlignment(9));
  EXPECT_FALSE(s->SetAlignment(-1));
  EXPECT_EQ(s->GetAlignment(), 8);
  s->Release();
  EXPECT_EQ(GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(2), nullptr);
}

TEST(AnnoStyle, StylesKeepTheirOwnSettings) {
  IGIS_AnnoPointStyle* a = NewStyle();
  IGIS_AnnoPointStyle* b = a->GetStyleSet()->GetPointStyle();
  ASSERT_NE(a->GetTextStylePtr(), nullptr);
  a->SetAlignment(5);
  a->GetTextStylePtr()->GetFontSizePtr()->lfOrientation = 90;
  EXPECT_EQ(b->GetAlignment(), 0);
  EXPECT_EQ(b->GetTextStylePtr()->GetFontSizePtr()->lfOrientation, 0);
  EXPECT_NE(a->GetTextStylePtr(), b->GetTextStylePtr());
  // SetTextStyle copies: the caller's symbol stays the caller's.
  IGIS_Symbol* t = GIS_GetSymbolFactoryObject()->CreateSymbol(19);
  t->GetFontSizePtr()->lfHeight = -24;
  ASSERT_TRUE(b->SetTextStyle(t));
  EXPECT_NE(b->GetTextStylePtr(), t);
  t->GetFontSizePtr()->lfHeight = -5;
  EXPECT_EQ(b->GetTextStylePtr()->GetFontSizePtr()->lfHeight, -24);
  t->Release();
  IGIS_Symbol* line = GIS_GetSymbolFactoryObject()->CreateSymbol(9);
  EXPECT_FALSE(b->SetTextStyle(line));
  EXPECT_FALSE(b->SetTextStyle(nullptr));
  line->Release();
  a->Release();
  b->Release();
}

TEST(AnnoStyle, SavedStyleReadsBackEqual) {
  IGIS_AnnoPointStyle* s = NewStyle();
  s->SetAlignment(7);
  LOGFONT* f = s->GetTextStylePtr()->GetFontSizePtr();
  f->lfHeight = -33;
  f->lfItalic = 1;
  std::strcpy(f->lfFaceName, "Arial");
  s->GetTextStylePtr()->SetAngle(12.5);
  s->GetTextStylePtr()->SetColor(RGB(1, 2, 3));
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  ASSERT_TRUE(s->Save(b));
  IGIS_AnnoPointStyle* r = NewStyle();
  ASSERT_TRUE(r->Open(b));
  EXPECT_EQ(r->GetAlignment(), 7);
  const LOGFONT* g = r->GetTextStylePtr()->GetFontSizePtr();
  EXPECT_EQ(std::memcmp(f, g, sizeof(LOGFONT)), 0);
  EXPECT_DOUBLE_EQ(r->GetTextStylePtr()->GetAngle(), 12.5);
  EXPECT_EQ(r->GetTextStylePtr()->GetColor(), RGB(1, 2, 3));

  // Every truncation and damaged header is refused and leaves the style alone.
  const std::vector<BYTE> good(b->GetData(), b->GetData() + b->GetSize());
  r->SetAlignment(1);
  for (std::size_t n = 0; n < good.size(); ++n) {
    b->SetSize(static_cast<int>(n));
    if (n) std::memcpy(b->GetData(), good.data(), n);
    EXPECT_FALSE(r->Open(b)) << n;
  }
  std::vector<BYTE> bad = good;
  bad[8] = 9;  // alignment code 9
  b->SetSize(static_cast<int>(bad.size()));
  std::memcpy(b->GetData(), bad.data(), bad.size());
  EXPECT_FALSE(r->Open(b));
  bad = good;
  bad[20] ^= 0xFF;  // inside the text symbol's header
  std::memcpy(b->GetData(), bad.data(), bad.size());
  EXPECT_FALSE(r->Open(b));
  EXPECT_FALSE(r->Open(nullptr));
  EXPECT_EQ(r->GetAlignment(), 1);
  EXPECT_EQ(r->GetTextStylePtr()->GetFontSizePtr()->lfHeight, -33);
  b->Release();
  r->Release();
  s->Release();
}

}  // namespace
