// The one way an edit is undone: an object's stored form taken before the
// edit and read back unless the edit is kept.
#include <gtest/gtest.h>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/storedformscope.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/support/storedform.h"

extern "C" IGIS_FrameProperty* GIS_CreateFramePropertyObject();

namespace {

using md::test::PageTest;

TEST(StoredFormScope, AnObjectThatSavesItselfReadsItsFormBackUnlessKept) {
  md::basilo::ReleasePtr<IGIS_FrameProperty> frame(GIS_CreateFramePropertyObject());
  ASSERT_NE(frame, nullptr);
  frame->SetBorderX(10);
  {
    CGIS_StoredFormScope stored(frame.get());
    ASSERT_TRUE(stored.IsTaken());
    frame->SetBorderX(99);
    EXPECT_TRUE(stored.Restore());
    EXPECT_EQ(frame->GetBorderX(), 10);
    frame->SetBorderX(98);
  }
  EXPECT_EQ(frame->GetBorderX(), 10);
  {
    CGIS_StoredFormScope stored(frame.get());
    frame->SetBorderX(99);
    stored.Keep();
  }
  EXPECT_EQ(frame->GetBorderX(), 99);
  CGIS_StoredFormScope none(static_cast<IGIS_FrameProperty*>(nullptr));
  EXPECT_FALSE(none.IsTaken());
  EXPECT_FALSE(none.Restore());
}

class StoredFormOfElements : public PageTest {};

TEST_F(StoredFormOfElements, AnEllipseGetsItsBoundSymbolAndFieldsBack) {
  IGIS_Element* e = Keep(set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE));
  ASSERT_NE(e, nullptr);
  e->SetRect(SGIS_Rect(0, 400, 600, 0));
  e->SetName("椭圆");
  const std::string before = md::test::StoredForm(e);
  {
    CGIS_StoredFormScope stored(e);
    ASSERT_TRUE(stored.IsTaken());
    e->SetRect(SGIS_Rect(100, 900, 800, 200));
    md::basilo::ReleasePtr<IGIS_Symbol> fill(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
    ASSERT_NE(fill, nullptr);
    fill->SetColor(RGB(10, 200, 30));
    e->GetFeaturePtr()->SetSymbol(fill.release());
    e->SetName("改过");
    e->SetLock(true);
  }
  EXPECT_EQ(md::test::StoredForm(e), before);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 400, 600, 0));
  EXPECT_STREQ(e->GetName(), "椭圆");
  EXPECT_FALSE(e->IsLock());
}

}  // namespace
