// Storing and reading the text element, its copies, the property-sheet
// backup, and the text maker of conversions.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "tests/layout/graphicelement/text/texttest.h"

namespace {

using md::test::LogMark;
using md::test::SymbolPtr;
using md::test::TextPage;

class TextArchive : public TextPage {
 protected:
  // The "Custom" set of an element's feature, read into a new set.
  IGIS_PropertySet* ReadCustom(IGIS_Element* e) {
    IGIS_PropertySet* set = GIS_CreatePropertySetObject();
    EXPECT_TRUE(
        set->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0));
    return set;
  }
  void WriteCustom(IGIS_Element* e, IGIS_PropertySet* set) {
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    ASSERT_TRUE(set->Archive(b, GIS_ARCHIVE_WRITE, 0));
    e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b, 0);
    b->Release();
  }
  // A second element bound to the element's feature, read back from it.
  CGIS_TextElement* ReadBack(IGIS_Element* e) {
    auto* b = new CGIS_TextElement(set_, e->GetFeaturePtr());
    owned_.push_back(b);
    EXPECT_TRUE(b->Archive(1, 0));
    return b;
  }
  void Frame(IGIS_FrameProperty* f) {
    SymbolPtr border(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
    border->SetColor(RGB(0, 0, 255));
    f->SetBorderSymbolPtr(border.get());
    f->SetBorderGaps(11, 12, 13, 14);
    f->SetBackX(21);
    f->SetShadowOffSetY(-31);
    f->SetBorderVisible(true, false, true, false);
  }
};

TEST_F(TextArchive, RoundTripKeepsTextStyleAnchorFrameAndUnknownKeys) {
  CGIS_TextElement* e = NewText("第一行\n second line", 30, 15.0);
  e->GetSymbolPtr()->SetColor(RGB(200, 10, 10));
  e->SetPoint(SGIS_Point(5000, 6000, 0), vexaTopRightCorner);
  Frame(e->GetFramePropertyPtr());
  e->SetName("标题");
  e->SetOrder(7);
  e->SetLock(true);
  // A key some other writer stored.
  IGIS_PropertySet* custom = ReadCustom(e);
  custom->AddProperty("Extra", "其他", GIS_FIELD_TYPE_STRING, 1)->SetString("kept");
  WriteCustom(e, custom);
  custom->Release();

  ASSERT_TRUE(e->Archive(0, 0));
  CGIS_TextElement* b = ReadBack(e);
  EXPECT_STREQ(b->GetText(), "第一行\n second line");
  EXPECT_EQ(b->GetSymbolPtr()->GetFontSizePtr()->lfHeight, -30);
  EXPECT_DOUBLE_EQ(b->GetSymbolPtr()->GetAngle(), 15.0);
  EXPECT_EQ(b->GetSymbolPtr()->GetColor(), RGB(200, 10, 10));
  EXPECT_EQ(b->GetAnchorType(), vexaTopRightCorner);
  EXPECT_STREQ(b->GetName(), "标题");
  EXPECT_EQ(b->GetOrder(), 7);
  EXPECT_TRUE(b->IsLock());
  EXPECT_EQ(b->GetRect(), e->GetRect());  // the stored outline is the outline
  IGIS_FrameProperty* f = b->GetFramePropertyPtr();
  ASSERT_NE(f, nullptr);
  ASSERT_NE(f->GetBorderSymbolPtr(), nullptr);
  EXPECT_EQ(f->GetBorderSymbolPtr()->GetColor(), RGB(0, 0, 255));
  int l = 0, r = 0, t = 0, bo = 0;
  f->GetBorderGaps(&l, &r, &t, &bo);
  EXPECT_EQ(l * 1000 + r * 100 + t * 10 + bo, 11000 + 1200 + 130 + 14);
  EXPECT_EQ(f->GetBackX(), 21);
  EXPECT_EQ(f->GetShadowOffSetY(), -31);
  bool vl = false, vr = true, vt = false, vb = true;
  f->GetBorderVisible(&vl, &vr, &vt, &vb);
  EXPECT_TRUE(vl && vt && !vr && !vb);

  // The common fields, written in their order.
  IGIS_FeatureAttributes* attr = e->GetFeaturePtr()->GetAttributes();
  std::vector<std::string> names;
  for (int i = 0; i < attr->GetFieldCount(); ++i) names.push_back(attr->GetFieldName(i));
  const auto at = [&names](const char* n) {
    return std::find(names.begin(), names.end(), n) - names.begin();
  };
  EXPECT_LT(at("ElementOrder"), at("ElementName"));
  EXPECT_LT(at("ElementName"), static_cast<long>(names.size()));
  EXPECT_EQ(attr->GetInt("ElementOrder"), 7);
  EXPECT_TRUE(attr->GetBool("IsLock"));

  custom = ReadCustom(e);
  // The element's keys keep their order; the other writer's key stays.
  ASSERT_EQ(custom->GetCount(), 5);
  const char* order[] = {"AnnoPointStyle", "Text", "FrameProperty", "AnchorType", "Extra"};
  IGIS_Field* field = custom->GetFirstPosition();
  for (const char* key : order) {
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->GetLabel(), key);
    field = custom->GetNext(field);
  }
  ASSERT_NE(custom->GetProperty("Extra"), nullptr);
  EXPECT_STREQ(custom->GetProperty("Extra")->GetString(), "kept");
  EXPECT_EQ(custom->GetProperty("AnchorType")->GetInt(), vexaTopRightCorner);
  custom->Release();
}

TEST_F(TextArchive, MissingOrBadStoredValuesKeepTheCurrentOnes) {
  CGIS_TextElement* e = NewText("abc", 10);
  e->SetPoint(SGIS_Point(0, 0, 0), vexaLeftCenter);
  IGIS_PropertySet* only = GIS_CreatePropertySetObject();
  only->AddProperty("Other", "", GIS_FIELD_TYPE_INT, 1)->SetInt(3);
  WriteCustom(e, only);
  only->Release();
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_STREQ(e->GetText(), "abc");
  EXPECT_EQ(e->GetAnchorType(), vexaLeftCenter);
  EXPECT_NE(e->GetFramePropertyPtr(), nullptr);
  ASSERT_TRUE(e->Archive(0, 0));
  // A write adds the missing keys, with their own descriptions and types.
  {
    IGIS_PropertySet* custom = ReadCustom(e);
    const struct {
      const char* key;
      const char* description;
      int type;
    } added[] = {{"AnnoPointStyle", "AnnoPointStyle", GIS_FIELD_TYPE_BUFFER},
                 {"Text", "Text", GIS_FIELD_TYPE_STRING},
                 {"FrameProperty", "FrameProperty", GIS_FIELD_TYPE_BUFFER},
                 {"AnchorType", "锚点位置", GIS_FIELD_TYPE_INT}};
    for (const auto& k : added) {
      IGIS_Field* f = custom->GetProperty(k.key);
      ASSERT_NE(f, nullptr) << k.key;
      EXPECT_STREQ(f->GetDescription(), k.description);
      EXPECT_EQ(f->GetType(), k.type);
    }
    EXPECT_STREQ(custom->GetProperty("Text")->GetString(), "abc");
    EXPECT_EQ(custom->GetProperty("Other")->GetInt(), 3);
    custom->Release();
  }
  for (int bad : {9, -1, 1 << 30}) {
    IGIS_PropertySet* custom = ReadCustom(e);
    custom->GetProperty("AnchorType")->SetInt(bad);
    WriteCustom(e, custom);
    custom->Release();
    LogMark mark;
    ASSERT_TRUE(e->Archive(1, 0));
    EXPECT_EQ(e->GetAnchorType(), vexaLeftCenter) << bad;
    EXPECT_TRUE(
        mark.Has(3, "CGIS_TextElement::Archive", "AnchorType " + std::to_string(bad) + " out of range 0..8"));
  }
  // Damaged "Custom" bytes: logged, the element keeps its state, and a write
  // stores a whole set again.
  const unsigned char junk[] = {0xde, 0xad, 0xbe, 0xef, 1, 2, 3};
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  b->SetSize(sizeof junk);
  std::memcpy(b->GetData(), junk, sizeof junk);
  e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b, 0);
  b->Release();
  LogMark mark;
  EXPECT_TRUE(e->Archive(1, 0));
  EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::Archive",
                       "false  == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ)"));
  EXPECT_STREQ(e->GetText(), "abc");
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_STREQ(ReadBack(e)->GetText(), "abc");
}

TEST_F(TextArchive, RemovedFrameStaysRemoved) {
  CGIS_TextElement* e = NewText("abc", 10);
  Frame(e->GetFramePropertyPtr());
  ASSERT_TRUE(e->Archive(0, 0));
  IGIS_FrameProperty* held = e->GetFramePropertyPtr();
  EXPECT_TRUE(e->SetFramePropertyPtr(held));
  EXPECT_EQ(e->GetFramePropertyPtr(), held);
  EXPECT_TRUE(e->SetFramePropertyPtr(nullptr));
  EXPECT_EQ(e->GetFramePropertyPtr(), nullptr);
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_EQ(ReadBack(e)->GetFramePropertyPtr(), nullptr);
  // A frame given again is copied and stored again.
  CGIS_TextElement* other = NewText("o", 10);
  Frame(other->GetFramePropertyPtr());
  EXPECT_TRUE(e->SetFramePropertyPtr(other->GetFramePropertyPtr()));
  EXPECT_NE(e->GetFramePropertyPtr(), other->GetFramePropertyPtr());
  ASSERT_TRUE(e->Archive(0, 0));
  ASSERT_NE(ReadBack(e)->GetFramePropertyPtr(), nullptr);
  EXPECT_NE(ReadBack(e)->GetFramePropertyPtr()->GetBorderSymbolPtr(), nullptr);
}

TEST_F(TextArchive, CloneCopiesTextLockFontAndFrameOnly) {
  CGIS_TextElement* e = NewText("原文", 25);
  e->SetLock(true);
  e->SetName("名称");
  e->SetPoint(SGIS_Point(9000, 9000, 0), vexaCenter);
  Frame(e->GetFramePropertyPtr());
  const int before = set_->GetFeatureCount();
  auto* c = dynamic_cast<CGIS_TextElement*>(e->Clone());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(set_->GetFeatureCount(), before + 1);
  EXPECT_NE(c->GetID(), e->GetID());
  EXPECT_STREQ(c->GetText(), "原文");
  EXPECT_TRUE(c->IsLock());
  EXPECT_NE(c->GetSymbolPtr(), e->GetSymbolPtr());
  EXPECT_EQ(c->GetSymbolPtr()->GetFontSizePtr()->lfHeight, -25);
  ASSERT_NE(c->GetFramePropertyPtr(), nullptr);
  EXPECT_NE(c->GetFramePropertyPtr(), e->GetFramePropertyPtr());
  EXPECT_NE(c->GetFramePropertyPtr()->GetBorderSymbolPtr(), nullptr);
  EXPECT_STREQ(c->GetName(), "文本整饰单元");
  EXPECT_EQ(c->GetAnchorType(), vexaBottomLeftCorner);
  EXPECT_EQ(c->GetRect().Width(), e->GetRect().Width());
  EXPECT_TRUE(set_->DeleteElement(c));
  EXPECT_EQ(set_->GetFeatureCount(), before);
}

// The property sheet stands in as a function that edits the element the way
// the pages do and answers OK or cancel.
bool g_confirm = false;
IGIS_Display* g_seenDisplay = nullptr;
std::string g_seenTitle;
bool EditingSheet(IGIS_Element* element, IGIS_Display* display, const char* title) {
  auto* e = dynamic_cast<CGIS_TextElement*>(element);
  if (e == nullptr) return false;
  g_seenDisplay = display;
  g_seenTitle = title != nullptr ? title : "";
  e->SetText("改过的文本\n两行");
  e->SetSymbolPtr(md::test::TextSymbol(60).get());
  e->SetLock(true);
  e->SetLBpoint(SGIS_Point(-5000, -6000, 0));  // the size-and-position page
  e->SetWidthAndHeight(e->GetRect().Width() * 2, e->GetRect().Height() * 2);
  return g_confirm;
}

class TextSheet : public TextArchive {
 protected:
  void TearDown() override {
    md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_TEXT, real_);
    TextArchive::TearDown();
  }
  // The text element's own sheet, put back after each test.
  const md::layout::SheetRunner real_ = md::layout::GetPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
};

TEST_F(TextSheet, CancelRestoresTextFontLockAndRectangle) {
  CGIS_TextElement* e = NewText("原来的", 20);
  e->SetLBpoint(SGIS_Point(1000, 1000, 0));
  const SGIS_Rect rect = e->GetRect();
  const int features = set_->GetFeatureCount();
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_TEXT, &EditingSheet);
  g_confirm = false;
  auto* display = reinterpret_cast<IGIS_Display*>(0x1234);
  EXPECT_FALSE(e->OnOpenPropertyDlg(display, TRUE));
  EXPECT_EQ(g_seenDisplay, display);
  EXPECT_EQ(g_seenTitle, "文本属性");
  EXPECT_STREQ(e->GetText(), "原来的");
  EXPECT_EQ(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight, -20);
  EXPECT_FALSE(e->IsLock());
  EXPECT_EQ(e->GetRect(), rect);
  EXPECT_EQ(set_->GetFeatureCount(), features);  // the backup is gone

  g_confirm = true;
  EXPECT_TRUE(e->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_STREQ(e->GetText(), "改过的文本\n两行");
  EXPECT_EQ(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight, -120);
  EXPECT_TRUE(e->IsLock());
  EXPECT_EQ(e->GetRect().left, -5000);
  EXPECT_EQ(set_->GetFeatureCount(), features);
}

TEST_F(TextSheet, WithoutSheetOrStoredFormNothingIsConfirmed) {
  CGIS_TextElement* e = NewText("原来的", 20);
  const SGIS_Rect rect = e->GetRect();
  EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, FALSE));
  EXPECT_STREQ(e->GetText(), "原来的");
  EXPECT_EQ(e->GetRect(), rect);
  // An element whose feature is gone has no stored form to come back to.
  ASSERT_TRUE(set_->GetFeatureClass()->DeleteFeature(e->GetID()));
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_TEXT, &EditingSheet);
  LogMark mark;
  EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::OnOpenPropertyDlg", "p_element == NULL"));
  EXPECT_STREQ(e->GetText(), "原来的");
}

class TextMaker : public TextPage {
 protected:
  IGIS_CompoundElement* NewCompound() {
    auto* c = dynamic_cast<IGIS_CompoundElement*>(set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
    owned_.push_back(c);
    return c;
  }
  CGIS_TextElement* Member(IGIS_CompoundElement* c, int i) {
    auto* t = dynamic_cast<CGIS_TextElement*>(c->GetElementPtrByIndex(i));
    if (t != nullptr) owned_.push_back(t);
    return t;
  }
};

TEST_F(TextMaker, MakesTextAtTheLowerLeftCornerOrAnchor) {
  IGIS_CompoundElement* c = NewCompound();
  ASSERT_NE(c, nullptr);
  SymbolPtr sym = md::test::TextSymbol(30);
  ASSERT_TRUE(CreateTextElement(c, SGIS_Point(3000, 4000, 0), sym.get(), "图例 A", false));
  ASSERT_TRUE(CreateTextElement(c, SGIS_Point(-700, 900, 0), sym.get(), "两行\n文字", true));
  ASSERT_EQ(c->GetElementCount(), 2);
  CGIS_TextElement* a = Member(c, 0);
  CGIS_TextElement* b = Member(c, 1);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_STREQ(a->GetText(), "图例 A");
  EXPECT_EQ(a->GetRect().left, 3000);
  EXPECT_EQ(a->GetRect().bottom, 4000);
  EXPECT_EQ(a->GetSymbolPtr()->GetFontSizePtr()->lfHeight, -30);
  EXPECT_NE(a->GetSymbolPtr(), sym.get());
  EXPECT_EQ(b->GetAnchorType(), vexaCenter);
  EXPECT_EQ(b->GetPoint(vexaCenter), SGIS_Point(-700, 900, 0));
  EXPECT_EQ(b->GetRect().Height(), 60);
  // Without a compound nothing is made.
  const int features = set_->GetFeatureCount();
  EXPECT_FALSE(CreateTextElement(nullptr, SGIS_Point(0, 0, 0), sym.get(), "x", false));
  EXPECT_EQ(set_->GetFeatureCount(), features);
}

}  // namespace
