// The scale text: its text composed from a frame's scale, map kind, style
// and units; its rectangle; following the frame; its stored form; sizing;
// conversion; and the backup around the property sheet.
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/calcora/igis_geoarithmetic.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scaletextsheet.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "scalebartest.h"
#include "tests/support/forwardingreference.h"

namespace md::test {
namespace {

int LinearUnits() { return GIS_GetSpatialReferenceFactoryObject()->GetLinearUnitCount(); }

int LinearUnitIndex(const char* szName) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  for (int i = 0; i < f->GetLinearUnitCount(); ++i) {
    if (std::strcmp(f->GetLinearUnit(i)->GetName(), szName) == 0) return i;
  }
  return -1;
}

// A reference that answers a chosen kind and unit factor over a real one.
class KindReference : public md::test::ForwardingReference {
 public:
  KindReference(IGIS_SpatialReference* real, int kind, double factor)
      : ForwardingReference(real), kind_(kind), factor_(factor) {}
  int GetKind() override { return kind_; }
  double GetUnitFactor() override { return factor_; }
  BOOL SetUnitFactor(double) override { return FALSE; }
  BOOL SetOrigin(SGIS_DPoint) override { return FALSE; }
  void CopyFrom(IGIS_SpatialReference*) override {}
  BOOL Archive(IGIS_DataBuffer*, int) override { return FALSE; }

 private:
  int kind_;
  double factor_;
};

// A map whose reference is a KindReference.
class KindMap : public NoUnitMap {
 public:
  KindMap(int code, int kind, double factor)
      : real_(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(code)),
        kind_(real_, kind, factor) {}
  ~KindMap() override { real_->Release(); }
  IGIS_SpatialReference* GetSpatialReference() override { return &kind_; }

 private:
  IGIS_SpatialReference* real_;
  KindReference kind_;
};

class ScaleText : public ScaleBarTest {
 protected:
  CGIS_ScaleTextElement* NewText() {
    auto* t = new CGIS_ScaleTextElement(set_, nullptr);
    owned_.push_back(t);
    return t;
  }
  // The number as the element's format writes it.
  static std::string F(CGIS_ScaleTextElement* t, double v) {
    return md::layout::detail::FormatNumber(t->GetNumericFormatPtr(), v, 512);
  }
};

TEST_F(ScaleText, NewElementShowsItsDefaultsUntilComposed) {
  CGIS_ScaleTextElement* t = NewText();
  EXPECT_STREQ(t->GetText(), "1厘米等于100千米");
  EXPECT_STREQ(t->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT);
  EXPECT_STREQ(t->GetName(), "文本比例尺");
  EXPECT_STREQ(t->GetPageUnitLabel(), "厘米");
  EXPECT_STREQ(t->GetMapUnitLabel(), "未知单位");
  EXPECT_EQ(t->GetScaleTextStyle(), 1);
  EXPECT_EQ(F(t, 1000.0), "1000.00");
  t->RebuildText();
  EXPECT_EQ(std::string(t->GetText()), "1厘米等于1000.00未知单位");
  t->SetScaleTextStyle(0);
  t->RebuildText();
  EXPECT_EQ(std::string(t->GetText()), "1:1000.00");
}

struct ComposeRow {
  const char* name;
  int reference;  // sferon code of the map; -1 a frame without map, -2 no frame
  double scale;   // map units per page unit
  int style;
  const char* unit;  // linear unit name, "度", or "未知单位"
  const char* want;  // expected text, numbers through the format
};

TEST_F(ScaleText, ComposesByMapKindStyleAndUnit) {
  // The frame is 10000 page units wide over a bound of 10 km at 1 m per page
  // unit in the projected rows (1:100,000).
  const ComposeRow rows[] = {
      {"no frame, absolute, large scale has no 万", -2, 1000.0, 0, "未知单位", "1:1000.00"},
      {"frame without map: the text stays", -1, 5.0, 1, "未知单位", "1厘米等于100千米"},
      {"projected absolute 1:100000 gives 万", 2, 1.0, 0, "米", "1:10.00万"},
      {"projected absolute at 1:250000", 2, 2.5, 0, "米", "1:25.00万"},
      {"projected absolute just below 100000", 2, 0.999999, 0, "米", "1:99999.90"},
      {"projected relative in metres per centimetre", 2, 0.5, 1, "米", "1厘米等于500.00米"},
      {"projected relative in kilometres", 2, 1.0, 1, "千米", "1厘米等于1.00千米"},
      {"projected relative, unknown unit", 2, 1.0, 1, "未知单位", "1厘米等于1000.00未知单位"},
      {"geographic relative in degrees", 1, 0.00001, 1, "度", "1厘米等于0.01度"},
      {"geographic relative, unknown unit", 1, 0.00001, 1, "未知单位", "1厘米等于0.01未知单位"},
      {"no-unit map, relative", 0, 2.0, 1, "未知单位", "1厘米等于2000.00未知单位"},
      {"no-unit map, absolute", 0, 2.0, 0, "未知单位", "1:2000.00"},
  };
  for (const ComposeRow& r : rows) {
    SCOPED_TRACE(r.name);
    CGIS_ScaleTextElement* t = NewText();
    if (r.reference != -2) {
      FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), r.reference, r.scale);
      frame->bound = SGIS_DRect::MakeFromRect(500000.0, 510000.0, 3010000.0, 3000000.0);
      t->SetMapElement(frame);
    } else {
      t->SetMapUnitLabel("未知单位");
    }
    t->SetScaleTextStyle(r.style);
    const int unit = std::strcmp(r.unit, "度") == 0         ? LinearUnits()
                     : std::strcmp(r.unit, "未知单位") == 0 ? LinearUnits() + 1
                                                            : LinearUnitIndex(r.unit);
    ASSERT_GE(unit, 0);
    t->SetMapUnit(unit);
    t->SetMapUnitLabel(r.unit);
    t->RebuildText();
    EXPECT_EQ(std::string(t->GetText()), r.want);
  }
}

TEST_F(ScaleText, GeographicMapsMeasureTheGroundForLinearUnitsAndAbsoluteText) {
  CGIS_ScaleTextElement* t = NewText();
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 1, 0.0001);
  frame->bound = SGIS_DRect::MakeFromRect(117.0, 118.0, 31.0, 30.0);
  t->SetMapElement(frame);
  EXPECT_STREQ(t->GetMapUnitLabel(), "度");
  EXPECT_EQ(t->GetMapUnit(), LinearUnits());
  // Ground metres per page unit over the middle 98 % of the frame.
  IGIS_SpatialReference* ref = frame->map->GetSpatialReference();
  IGIS_GeoArithmetic* g = GIS_CreateGeoArithmeticObject();
  const double perPageUnit = g->Distance(117.01, 30.5, 117.99, 30.5, ref, GIS_DISTANCE_METRE) / 9800.0;
  g->Release();
  t->SetMapUnit(LinearUnitIndex("米"));
  t->SetMapUnitLabel("米");
  t->RebuildText();
  EXPECT_EQ(std::string(t->GetText()), "1厘米等于" + F(t, perPageUnit / 1e-3) + "米");
  t->SetScaleTextStyle(0);
  t->RebuildText();
  const double denominator = perPageUnit / 1e-5;
  ASSERT_GE(denominator, 100000.0);
  EXPECT_EQ(std::string(t->GetText()), "1:" + F(t, denominator / 10000.0) + "万");
}

TEST_F(ScaleText, UnknownKindsAndZeroFactorsComposeNothing) {
  CGIS_ScaleTextElement* t = NewText();
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), -1, 1.0);
  KindMap kind3(2, 3, 1.0);
  frame->map = &kind3;
  t->SetMapElement(frame);
  t->RebuildText();
  EXPECT_STREQ(t->GetText(), "");
  // The rectangle takes the extent of the empty text.
  EXPECT_EQ(t->GetRect().Width(), 0);

  KindMap zero(2, 2, 0.0);
  frame->map = &zero;
  LogMark mark;
  t->RebuildText();
  EXPECT_STREQ(t->GetText(), "");
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::BuildText", "divisor == 0"));
  frame->map = nullptr;
}

TEST_F(ScaleText, APageReferenceWithItsOwnUnitSetsThePageLength) {
  // A projected page in metres whose coordinates are 0.01 mm, and one whose
  // coordinates are 0.1 mm: the same frame scale is ten times the ground.
  for (const double factor : {1e5, 1e4}) {
    SCOPED_TRACE(factor);
    IGIS_SpatialReference* page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(2);
    ASSERT_TRUE(page->SetUnitFactor(factor));
    set_->GetFeatureClass()->SetSpatialReference(page);
    CGIS_ScaleTextElement* t = NewText();
    FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 2.5);
    t->SetMapElement(frame);
    t->SetScaleTextStyle(0);
    t->RebuildText();
    EXPECT_EQ(std::string(t->GetText()), factor == 1e5 ? "1:25.00万" : "1:25000.00");
    set_->GetFeatureClass()->SetSpatialReference(page_);
    page->Release();
  }
}

TEST_F(ScaleText, AMapWithoutUnitTurnsTheMapUnitUnknown) {
  CGIS_ScaleTextElement* t = NewText();
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 1.0);
  t->SetMapElement(frame);
  EXPECT_EQ(t->GetMapUnit(), 0);
  frame->map = &noUnitMap_;
  frame->Notify(GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED, 0, frame);
  EXPECT_EQ(t->GetMapUnit(), LinearUnits() + 1);
  EXPECT_STREQ(t->GetMapUnitLabel(), "未知单位");
  EXPECT_EQ(std::string(t->GetText()), "1厘米等于1000.00未知单位");
  // Without a map the message is refused with a record.
  frame->map = nullptr;
  LogMark mark;
  frame->Notify(GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED, 0, frame);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::Update", "p_map == NULL"));
}

TEST_F(ScaleText, RectangleTakesTheTextSizeAndKeepsItsCorner) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetLBpoint(SGIS_Point(300, 700, 0));
  t->SetScaleTextStyle(0);
  t->RebuildText();  // "1:1000.00": 9 ASCII characters
  LOGFONT* font = t->GetSymbolPtr()->GetFontSizePtr();
  const int h = std::abs(static_cast<int>(font->lfHeight));
  const SGIS_Rect r = t->GetRect();
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.bottom, 700);
  SGIS_Rect e;
  t->GetSymbolPtr()->GetTextExtent(&e, "1:1000.00", 0, 1.0);
  EXPECT_EQ(r.Width(), std::abs(e.right - e.left));
  EXPECT_EQ(r.Height(), std::abs(e.top - e.bottom));
  EXPECT_GT(r.Width(), 4 * h);
}

TEST_F(ScaleText, FollowsTheFrameAndLetsGoOfIt) {
  CGIS_ScaleTextElement* t = NewText();
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 1.0);
  t->SetMapElement(frame);
  EXPECT_EQ(t->GetMapElementID(), frame->GetID());
  EXPECT_STREQ(t->GetMapUnitLabel(), "米");
  t->SetScaleTextStyle(0);
  frame->ChangeScale(2.5);
  EXPECT_EQ(std::string(t->GetText()), "1:25.00万");
  EXPECT_DOUBLE_EQ(t->GetMapScale(), 2.5);
  // A deletion notice from another element leaves the binding.
  CGIS_ScaleTextElement* other = NewText();
  t->Update(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, other);
  EXPECT_EQ(t->GetMapElement(), frame);
  t->Update(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, frame);
  EXPECT_EQ(t->GetMapElement(), nullptr);
  frame->ChangeScale(5.0);
  EXPECT_EQ(std::string(t->GetText()), "1:25.00万");
  t->SetMapElement(frame);
  t->SetMapElement(nullptr);
  EXPECT_EQ(t->GetMapElementID(), -100);
}

TEST_F(ScaleText, MapUnitSetterKeepsToTheList) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetMapUnit(LinearUnits() + 1);
  EXPECT_EQ(t->GetMapUnit(), LinearUnits() + 1);
  t->SetMapUnit(LinearUnits() + 2);
  t->SetMapUnit(-1);
  EXPECT_EQ(t->GetMapUnit(), LinearUnits() + 1);
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 0, 1.0);
  t->SetMapElement(frame);
  t->SetMapUnit(0);
  EXPECT_EQ(t->GetMapUnit(), LinearUnits() + 1);
  t->SetPageUnit(-3);
  EXPECT_EQ(t->GetPageUnit(), 0);
}

TEST_F(ScaleText, StoresAndReadsItsState) {
  CGIS_ScaleTextElement* t = NewText();
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 1.0);
  t->SetMapElement(frame);
  t->SetScaleTextStyle(0);
  t->SetPageUnitLabel("cm");
  t->SetName("比例");
  t->GetNumericFormatPtr()->SetDigits(0);
  ASSERT_TRUE(t->Archive(0, 0));
  IGIS_PropertySet* stored = StoredCustom(t);
  ASSERT_NE(stored, nullptr);
  const auto keys = KeysOf(stored);
  stored->Release();
  ASSERT_EQ(keys.size(), 11u);
  EXPECT_EQ(keys[0], (std::pair<std::string, std::string>("ScaleTextStyle", "类型")));
  EXPECT_EQ(keys[5], (std::pair<std::string, std::string>("MapElementID", "地图ID")));

  auto* back = new CGIS_ScaleTextElement(set_, t->GetFeaturePtr());
  owned_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElement(), frame);
  EXPECT_EQ(back->GetScaleTextStyle(), 0);
  EXPECT_STREQ(back->GetPageUnitLabel(), "cm");
  EXPECT_STREQ(back->GetMapUnitLabel(), "米");
  EXPECT_STREQ(back->GetName(), "比例");
  EXPECT_EQ(std::string(back->GetText()), "1:10万");
}

TEST_F(ScaleText, AFailedCommitAfterWritingIsAFailure) {
  CommitRefusingSet refusing(set_);
  auto* t = new CGIS_ScaleTextElement(&refusing, nullptr);
  t->SetPageUnitLabel("mm");
  LogMark log;
  EXPECT_FALSE(t->Archive(0, 0));
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::Archive", "b_ret == NULL"));
  // The stored form was written all the same.
  auto* back = new CGIS_ScaleTextElement(set_, t->GetFeaturePtr());
  owned_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_STREQ(back->GetPageUnitLabel(), "mm");
  t->Release();
}

TEST_F(ScaleText, SizingScalesTheTextAndNeverLosesIt) {
  CGIS_ScaleTextElement* t = NewText();
  t->RebuildText();
  LOGFONT* font = t->GetSymbolPtr()->GetFontSizePtr();
  font->lfHeight = 100;
  t->RebuildText();
  const SGIS_Rect r = t->GetRect();
  t->SetWidthAndHeight(r.Width() / 2, r.Height() * 8 / 10);  // both smaller: the larger factor
  EXPECT_EQ(t->GetSymbolPtr()->GetFontSizePtr()->lfHeight, 80);
  t->SetWidthAndHeight(t->GetRect().Width() * 2, t->GetRect().Height());  // f = min(2, 1)
  EXPECT_EQ(t->GetSymbolPtr()->GetFontSizePtr()->lfHeight, 80);
  t->ScaleShape(SGIS_Point(0, 0, 0), 0.001, 0.001);
  EXPECT_EQ(t->GetSymbolPtr()->GetFontSizePtr()->lfHeight, 80);
  t->ScaleShape(SGIS_Point(0, 0, 0), 0.5, 2.0);
  EXPECT_EQ(t->GetSymbolPtr()->GetFontSizePtr()->lfHeight, 40);
}

TEST_F(ScaleText, ConvertsToItsTextInsideItsFrame) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetLBpoint(SGIS_Point(1000, 2000, 0));
  t->RebuildText();
  IGIS_Element* converted = t->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  IGIS_TextElement* text = dynamic_cast<IGIS_TextElement*>(converted);
  if (text == nullptr) {
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
    ASSERT_NE(compound, nullptr);
    for (int i = 0; i < compound->GetElementCount() && text == nullptr; ++i)
      text = dynamic_cast<IGIS_TextElement*>(compound->GetElementPtrByIndex(i));
  }
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text->GetText(), t->GetText());
  EXPECT_EQ(text->GetRect().left, 1000);
  EXPECT_EQ(text->GetRect().bottom, 2000);
}

std::vector<BYTE> CustomBytes(IGIS_Element* e) {
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

// A sheet that changes everything the pages can change, then cancels.
bool ChangeAndCancel(IGIS_Element* e, IGIS_Display*, const char*) {
  auto* t = dynamic_cast<CGIS_ScaleTextElement*>(e);
  t->SetScaleTextStyle(0);
  t->SetMapUnit(3);
  t->SetPageUnit(2);
  t->SetMapUnitLabel("x");
  t->SetPageUnitLabel("y");
  t->GetLatLonFormatPtr()->SetDigits(5);
  t->GetNumericFormatPtr()->SetDigits(4);
  t->GetFramePropertyPtr()->SetDraftMode(true);
  t->GetSymbolPtr()->GetFontSizePtr()->lfHeight = 77;
  t->SetLock(true);
  t->OffsetAllPoints(500, 500);
  t->RebuildText();
  return false;
}

// A text not composed again since a setter changed what it shows: Cancel
// reads the stored form back as it was, text and rectangle, and composes
// nothing.
TEST_F(ScaleText, CancelKeepsATextNotYetComposedAgain) {
  const std::function<void(CGIS_ScaleTextElement*)> changes[] = {
      [](CGIS_ScaleTextElement* t) { t->SetScaleTextStyle(0); },
      [](CGIS_ScaleTextElement* t) { t->GetNumericFormatPtr()->SetDigits(4); },
      [](CGIS_ScaleTextElement* t) { t->GetSymbolPtr()->GetFontSizePtr()->lfHeight = 40; },
  };
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT, &ChangeAndCancel);
  for (const auto& change : changes) {
    CGIS_ScaleTextElement* t = NewText();
    t->SetMapElement(NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 1.0));
    t->RebuildText();
    change(t);
    ASSERT_TRUE(t->Archive(0, 0));
    const std::vector<BYTE> before = CustomBytes(t);
    const SGIS_Rect rect = t->GetRect();
    EXPECT_FALSE(t->OnOpenPropertyDlg(nullptr, TRUE));
    EXPECT_EQ(t->GetRect(), rect);
    ASSERT_TRUE(t->Archive(0, 0));
    EXPECT_EQ(CustomBytes(t), before);
  }
  md::layout::RegisterScaleTextSheet();
}

TEST_F(ScaleText, CancelLeavesTheStoredFormByteIdentical) {
  CGIS_ScaleTextElement* t = NewText();
  t->RebuildText();
  ASSERT_TRUE(t->Archive(0, 0));
  const std::vector<BYTE> before = CustomBytes(t);
  const SGIS_Rect rect = t->GetRect();
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT, &ChangeAndCancel);
  EXPECT_FALSE(t->OnOpenPropertyDlg(nullptr, TRUE));
  md::layout::RegisterScaleTextSheet();
  ASSERT_TRUE(t->Archive(0, 0));
  EXPECT_EQ(CustomBytes(t), before);
  EXPECT_EQ(t->GetRect(), rect);
}

}  // namespace
}  // namespace md::test
