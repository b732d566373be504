// The three-north diagram as an element: what a new one stores, its layout
// and rectangle, setters, sizing, copies, the map frame it follows, its
// stored form read back, and a cancelled sheet.
#include <cstring>
#include <string>

#include "host/featra/gis_elementregistry.h"
#include "host/notara/igis_annostyle.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "tests/layout/graphicelement/furniture/threenorthtest.h"
#include "tests/support/forwardingset.h"

namespace {

using md::test::LogMark;
using md::test::SymbolPtr;
using md::test::ThreeNorthPage;

class ThreeNorthElement : public ThreeNorthPage {
 protected:
  // A diagram read back from the feature of another, as a loaded page would.
  CGIS_ThreeNorthElement* ReadBack(IGIS_Element* e) {
    IGIS_Element* loaded =
        CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, set_, e->GetFeaturePtr());
    auto* d = dynamic_cast<CGIS_ThreeNorthElement*>(loaded);
    EXPECT_NE(d, nullptr);
    if (d != nullptr) {
      EXPECT_TRUE(d->Archive(1, 0));
    }
    return d;
  }
  IGIS_MapElement* NewFrame() {
    return dynamic_cast<IGIS_MapElement*>(set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
  }
};

TEST_F(ThreeNorthElement, ANewDiagramStoresEveryDefault) {
  auto* e = dynamic_cast<CGIS_ThreeNorthElement*>(set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
  ASSERT_NE(e, nullptr);
  EXPECT_STREQ(e->GetType(), "GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH");
  EXPECT_STREQ(e->GetName(), "三北针");
  EXPECT_STREQ(e->GetDescription(), "暂时没有定义");
  EXPECT_EQ(e->GetOrder(), -10);
  EXPECT_TRUE(e->GetHVScaleRatio());
  EXPECT_TRUE(e->CanConvert());
  EXPECT_FALSE(e->IsLock());
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_FALSE(a->GetBool("KeepHVScaleRatio"));
  EXPECT_TRUE(a->GetBool("CanConvert"));
  EXPECT_STREQ(a->GetString("TYPE"), "GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH");
  EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), e);

  auto custom = CustomOf(e);
  EXPECT_EQ(custom->GetCount(), 14);
  struct IntKey {
    const char* key;
    const char* description;
    int value;
  };
  for (const IntKey& k :
       {IntKey{"MapElementID", "地图ID", -10}, IntKey{"TxtOffset", "偏移量", 50},
        IntKey{"AxisLength", "线长", 3000}, IntKey{"CenterX", "X坐标", 0}, IntKey{"CenterY", "Y坐标", 0}}) {
    IGIS_Field* f = custom->GetProperty(k.key);
    ASSERT_NE(f, nullptr) << k.key;
    EXPECT_EQ(f->GetType(), GIS_FIELD_TYPE_INT);
    EXPECT_STREQ(f->GetDescription(), k.description);
    EXPECT_EQ(f->GetInt(), k.value) << k.key;
  }
  EXPECT_EQ(custom->GetProperty("Angle")->GetDouble(), 30.0);
  EXPECT_EQ(custom->GetProperty("CoordinateAngle")->GetDouble(), -10.0);
  EXPECT_EQ(custom->GetProperty("MagnetAngle")->GetDouble(), 30.0);
  EXPECT_STREQ(custom->GetProperty("MagnetAngle")->GetDescription(), "磁偏角");
  for (const char* key : {"FrameProperty", "FillSymbol", "AxisLineSymbol", "AngleLineSymbol",
                          "AxisTextSymbol", "AngleTextSymbol"}) {
    IGIS_Field* f = custom->GetProperty(key);
    ASSERT_NE(f, nullptr) << key;
    EXPECT_GT(f->GetDataBuffer()->GetSize(), 0) << key;
  }
  // The default symbols and the text style.
  EXPECT_EQ(e->GetFillSymbolPtr()->GetStyleCode(), 0xD21);
  EXPECT_EQ(e->GetAxisLineSymbolPtr()->GetStyleCode(), 0xD03);
  EXPECT_EQ(e->GetAngleLineSymbolPtr()->GetStyleCode(), 0xD03);
  EXPECT_EQ(e->GetAxisTextSymbolPtr()->GetType(), GIS_SYMBOL_TEXT);
  ASSERT_NE(e->GetTextStylePtr(), nullptr);
  EXPECT_EQ(e->GetTextStylePtr()->GetAlignment(), 1);
  // Read back before it was ever written, it keeps the defaults.
  CGIS_ThreeNorthElement* d = ReadBack(e);
  EXPECT_EQ(d->GetAxisLength(), 3000);
  EXPECT_EQ(d->GetCoordinateAngle(), -10.0);
  EXPECT_EQ(d->GetMapElementID(), -10);
}

TEST_F(ThreeNorthElement, RefreshLaysTheDefaultDiagramOut) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  EXPECT_EQ(e->GetCoordinateDrawAngle(), -30.0);
  EXPECT_EQ(e->GetMagnetDrawAngle(), 30.0);
  EXPECT_EQ(e->GetAxisLength(), 3000);
  EXPECT_EQ(e->GetCenterX(), 1499);
  EXPECT_EQ(e->GetCenterY(), 0);
  const SGIS_Rect r = e->GetRect();
  EXPECT_EQ(r, SGIS_Rect(0, 3000, 2999, 0));
  // Unchanged values give the same layout again.
  e->Refresh();
  EXPECT_EQ(e->GetRect(), r);
  EXPECT_EQ(e->GetCenterX(), 1499);
  EXPECT_EQ(e->GetAxisLength(), 3000);
}

TEST_F(ThreeNorthElement, RefreshRaisesAShortLengthAndMakesRoomForTheLabel) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  e->SetTxtOffset(1000);  // room for the angle texts beyond it
  e->SetAxisLength(1000);
  e->Refresh();
  EXPECT_EQ(e->GetAxisLength(), 2100);  // 1000 + 6 x 100 + 5 x 100
  e->SetAxisLength(4000);
  e->Refresh();
  EXPECT_EQ(e->GetAxisLength(), 4000);
  // Both side lines on the left: the rectangle reaches a label height (100)
  // right of the centre.
  CGIS_ThreeNorthElement* left = NewDiagram(-5, -5);
  EXPECT_EQ(left->GetRect().Width() - left->GetCenterX(), 100);
  // Wide spacings point below the centre's horizontal.
  CGIS_ThreeNorthElement* wide = NewDiagram(5, 5);
  wide->SetAngle(60);
  wide->Refresh();
  EXPECT_GT(wide->GetCenterY(), 0);
}

TEST_F(ThreeNorthElement, SettersKeepTheirRules) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  e->SetAxisLength(999);
  EXPECT_EQ(e->GetAxisLength(), 3000);
  e->SetAxisLength(1000);
  EXPECT_EQ(e->GetAxisLength(), 1000);
  e->SetName(std::string(1200, 'n').c_str());
  EXPECT_EQ(std::strlen(e->GetName()), 999u);
  EXPECT_FALSE(e->SetFramePropertyPtr(e->GetFramePropertyPtr()));
  EXPECT_NE(e->GetFramePropertyPtr(), nullptr);
  EXPECT_TRUE(e->SetFramePropertyPtr(nullptr));
  EXPECT_EQ(e->GetFramePropertyPtr(), nullptr);
  {
    LogMark mark;
    e->SetFillSymbolPtr(nullptr);
    EXPECT_TRUE(
        mark.Has(GIS_LOG_LEVEL_SYMBOL, "CGIS_ThreeNorthElement::SetFillSymbolPtr", "pSymbol == NULL"));
    EXPECT_EQ(e->GetFillSymbolPtr(), nullptr);
  }
  // The text symbols size the rings and are never given up.
  IGIS_Symbol* axisText = e->GetAxisTextSymbolPtr();
  LogMark mark;
  e->SetAxisTextSymbolPtr(nullptr);
  e->SetAngleTextSymbolPtr(nullptr);
  EXPECT_TRUE(
      mark.Has(GIS_LOG_LEVEL_SYMBOL, "CGIS_ThreeNorthElement::SetAxisTextSymbolPtr", "pSymbol == NULL"));
  EXPECT_TRUE(
      mark.Has(GIS_LOG_LEVEL_SYMBOL, "CGIS_ThreeNorthElement::SetAngleTextSymbolPtr", "pSymbol == NULL"));
  EXPECT_EQ(e->GetAxisTextSymbolPtr(), axisText);
  EXPECT_NE(e->GetAngleTextSymbolPtr(), nullptr);
  // A setter keeps its own copy.
  SymbolPtr line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  line->SetColor(RGB(200, 0, 0));
  e->SetAngleLineSymbolPtr(line.get());
  EXPECT_NE(e->GetAngleLineSymbolPtr(), line.get());
  EXPECT_EQ(e->GetAngleLineSymbolPtr()->GetColor(), RGB(200, 0, 0));
}

TEST_F(ThreeNorthElement, SizingScalesByOneFactorAboutTheLeftBottomCorner) {
  struct Row {
    double fw, fh;  // asked width and height as factors of the current ones
    double s;       // the factor the diagram scales by
  };
  for (const Row& row : {Row{2, 3, 2}, Row{0.5, 0.25, 0.5}, Row{2, 0.5, 0.5}}) {
    SCOPED_TRACE(row.s);
    CGIS_ThreeNorthElement* e = NewDiagram();
    e->SetAxisLength(4000);
    e->Refresh();
    e->SetLBpoint(SGIS_Point(500, 700, 0));
    const SGIS_Rect r = e->GetRect();
    e->SetWidthAndHeight(static_cast<int>(r.Width() * row.fw), static_cast<int>(r.Height() * row.fh));
    EXPECT_EQ(e->GetAxisLength(), static_cast<int>(4000 * row.s));
    EXPECT_EQ(e->GetTxtOffset(), md::layout::furniture::Nearest(50 * row.s));
    EXPECT_EQ(std::abs(e->GetAxisTextSymbolPtr()->GetFontSizePtr()->lfHeight), static_cast<int>(100 * row.s));
    EXPECT_EQ(e->GetRect().left, 500);
    EXPECT_EQ(e->GetRect().bottom, 700);
  }
  CGIS_ThreeNorthElement* e = NewDiagram();
  e->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 3.0);
  EXPECT_EQ(e->GetAxisLength(), 6000);
  EXPECT_EQ(e->GetTxtOffset(), 100);
  EXPECT_EQ(std::abs(e->GetAngleTextSymbolPtr()->GetFontSizePtr()->lfHeight), 200);
  const int axis = e->GetAxisLength();
  e->ScaleShape(SGIS_Point(0, 0, 0), 0.0, 2.0);
  e->ScaleShape(SGIS_Point(0, 0, 0), std::nan(""), 2.0);
  EXPECT_EQ(e->GetAxisLength(), axis);
  // Moving to where it is writes nothing.
  IGIS_FeatureClass* c = set_->GetFeatureClass();
  c->ClearUpdateRecords();
  const SGIS_Rect r = e->GetRect();
  e->SetLBpoint(SGIS_Point(r.left, r.bottom, 0));
  EXPECT_EQ(c->GetUpdateCount(), 0);
  e->SetRect(SGIS_Rect(1000, 9000, 9000, 1000));
  EXPECT_EQ(e->GetRect().left, 1000);
  EXPECT_EQ(e->GetRect().bottom, 1000);
}

TEST_F(ThreeNorthElement, ACopyKeepsEveryValueAndDoesNotObserveTheFrame) {
  CGIS_ThreeNorthElement* e = NewDiagram(-10, 30, 10);
  IGIS_MapElement* frame = NewFrame();
  ASSERT_NE(frame, nullptr);
  e->SetMapElementPtr(frame);
  // A length below the setter's minimum, as a stored diagram may hold.
  e->Archive(0, 0);
  {
    auto set = CustomOf(e);
    set->GetProperty("AxisLength")->SetInt(800);
    StoreCustom(e, set.get());
  }
  ASSERT_TRUE(e->Archive(1, 0));
  ASSERT_EQ(e->GetAxisLength(), 800);
  e->SetLock(true);
  e->SetTxtOffset(70);
  e->SetAngle(25);
  e->Refresh();
  e->SetLBpoint(SGIS_Point(1234, 567, 0));
  auto* copy = dynamic_cast<CGIS_ThreeNorthElement*>(e->Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetAxisLength(), 800);
  EXPECT_EQ(copy->GetTxtOffset(), 70);
  EXPECT_EQ(copy->GetAngle(), 25);
  EXPECT_TRUE(copy->IsLock());
  EXPECT_EQ(copy->GetRect(), e->GetRect());
  EXPECT_EQ(copy->GetMapElementPtr(), nullptr);
  EXPECT_EQ(copy->GetMapElementID(), frame->GetID());
  EXPECT_FALSE(copy->IsObservingMap());
  EXPECT_TRUE(e->IsObservingMap());
  EXPECT_NE(copy->GetAxisLineSymbolPtr(), e->GetAxisLineSymbolPtr());
  // The frame goes: the original is told and stops observing; the copy was
  // never among its observers.
  ASSERT_TRUE(set_->DeleteElement(frame));
  EXPECT_EQ(copy->GetMapElementPtr(), nullptr);
  EXPECT_EQ(e->GetMapElementPtr(), nullptr);
  EXPECT_FALSE(e->IsObservingMap());
  set_->DeleteElement(copy);
}

TEST_F(ThreeNorthElement, FollowsAFrameAndLetsGoOfIt) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  IGIS_MapElement* frame = NewFrame();
  ASSERT_NE(frame, nullptr);
  e->SetMapElementPtr(nullptr);  // nothing followed: nothing changes
  EXPECT_EQ(e->GetMapElementID(), -10);
  e->SetMapElementPtr(frame);
  EXPECT_EQ(e->GetMapElementPtr(), frame);
  EXPECT_EQ(e->GetMapElementID(), frame->GetID());
  EXPECT_TRUE(e->IsObservingMap());
  // Messages change nothing.
  const SGIS_Rect r = e->GetRect();
  frame->SetRotateAngle(15.0);
  EXPECT_EQ(e->GetRect(), r);
  e->SetMapElementPtr(nullptr);
  EXPECT_EQ(e->GetMapElementPtr(), nullptr);
  EXPECT_EQ(e->GetMapElementID(), -100);
  EXPECT_FALSE(e->IsObservingMap());
  // A diagram ended while following a frame is no longer told anything.
  e->SetMapElementPtr(frame);
  ASSERT_TRUE(set_->DeleteElement(e));
  frame->SetRotateAngle(30.0);
  ASSERT_TRUE(set_->DeleteElement(frame));
}

TEST_F(ThreeNorthElement, StoredFormReadsBackWhatWasWritten) {
  CGIS_ThreeNorthElement* e = NewDiagram(-2.5, 7.25);
  IGIS_MapElement* frame = NewFrame();
  e->SetMapElementPtr(frame);
  e->SetAngle(20);
  e->SetTxtOffset(80);
  e->SetAxisLength(4200);
  e->SetLock(true);
  e->SetOrder(3);
  e->SetName("三北方向线");
  e->SetFlag(9);
  e->GetFramePropertyPtr()->SetBorderX(123);
  SymbolPtr fill(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  fill->SetColor(RGB(10, 120, 200));
  e->SetFillSymbolPtr(fill.get());
  SymbolPtr digits = md::test::TextSymbol(120);
  e->SetAngleTextSymbolPtr(digits.get());
  e->Refresh();
  // A key of another writer survives.
  {
    auto set = CustomOf(e);
    set->AddProperty("Extra", "Extra", GIS_FIELD_TYPE_INT, 1)->SetInt(77);
    StoreCustom(e, set.get());
  }
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_EQ(CustomOf(e)->GetProperty("Extra")->GetInt(), 77);
  CGIS_ThreeNorthElement* d = ReadBack(e);
  EXPECT_EQ(d->GetCoordinateAngle(), -2.5);
  EXPECT_EQ(d->GetMagnetAngle(), 7.25);
  EXPECT_EQ(d->GetAngle(), 20);
  EXPECT_EQ(d->GetTxtOffset(), 80);
  EXPECT_EQ(d->GetAxisLength(), 4200);
  EXPECT_EQ(d->GetCenterX(), e->GetCenterX());
  EXPECT_EQ(d->GetCenterY(), e->GetCenterY());
  EXPECT_TRUE(d->IsLock());
  EXPECT_EQ(d->GetOrder(), 3);
  EXPECT_STREQ(d->GetName(), "三北方向线");
  EXPECT_EQ(d->GetFlag(), 0);  // not stored
  EXPECT_EQ(d->GetFramePropertyPtr()->GetBorderX(), 123);
  EXPECT_EQ(d->GetFillSymbolPtr()->GetColor(), RGB(10, 120, 200));
  EXPECT_EQ(std::abs(d->GetAngleTextSymbolPtr()->GetFontSizePtr()->lfHeight), 120);
  EXPECT_EQ(d->GetMapElementPtr(), frame);
  EXPECT_TRUE(d->IsObservingMap());
  EXPECT_EQ(d->GetRect(), e->GetRect());
  set_->DeleteElement(d);
}

TEST_F(ThreeNorthElement, AFailedCommitAfterWritingIsAFailure) {
  md::test::CommitRefusingSet refusing(set_);
  auto* e = new CGIS_ThreeNorthElement(&refusing, nullptr);
  e->SetAngle(15);
  LogMark mark;
  EXPECT_FALSE(e->Archive(0, 0));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ThreeNorthElement::Archive", "b_ret == NULL"));
  // What could be written was written.
  CGIS_ThreeNorthElement* d = ReadBack(e);
  EXPECT_EQ(d->GetAngle(), 15);
  set_->DeleteElement(d);
  e->Release();
}

TEST_F(ThreeNorthElement, AMissingFrameOrSymbolIsStoredAsMissing) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  e->SetFramePropertyPtr(nullptr);
  e->SetFillSymbolPtr(nullptr);
  ASSERT_TRUE(e->Archive(0, 0));
  auto custom = CustomOf(e);
  EXPECT_EQ(custom->GetProperty("FrameProperty")->GetDataBuffer()->GetSize(), 0);
  EXPECT_EQ(custom->GetProperty("FillSymbol")->GetDataBuffer()->GetSize(), 0);
  CGIS_ThreeNorthElement* d = ReadBack(e);
  EXPECT_EQ(d->GetFramePropertyPtr(), nullptr);
  EXPECT_EQ(d->GetFillSymbolPtr(), nullptr);
  EXPECT_NE(d->GetAxisLineSymbolPtr(), nullptr);
  set_->DeleteElement(d);
}

TEST_F(ThreeNorthElement, AFileWrittenBeforeASymbolWasSetKeepsTheReadersSymbol) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  // Stored without the symbol keys (as a writer that had none of them did).
  {
    auto set = CustomOf(e);
    md::basilo::ReleasePtr<IGIS_PropertySet> older(GIS_CreatePropertySetObject());
    for (const char* key :
         {"MapElementID", "TxtOffset", "AxisLength", "Angle", "CoordinateAngle", "MagnetAngle"}) {
      IGIS_Field* f = set->GetProperty(key);
      IGIS_Field* g = older->AddProperty(key, key, f->GetType(), 1);
      if (f->GetType() == GIS_FIELD_TYPE_INT) g->SetInt(f->GetInt());
      if (f->GetType() == GIS_FIELD_TYPE_DOUBLE) g->SetDouble(f->GetDouble());
    }
    older->GetProperty("MagnetAngle")->SetDouble(12.0);
    StoreCustom(e, older.get());
  }
  LogMark mark;
  CGIS_ThreeNorthElement* d = ReadBack(e);
  EXPECT_EQ(d->GetMagnetAngle(), 12.0);
  EXPECT_EQ(d->GetFillSymbolPtr()->GetStyleCode(), 0xD21);
  EXPECT_NE(d->GetAxisTextSymbolPtr(), nullptr);
  EXPECT_NE(d->GetFramePropertyPtr(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_SYMBOL, "GetSymbolFromField"));
  // Damaged doubles are not taken.
  {
    auto set = CustomOf(e);
    set->GetProperty("Angle")->SetDouble(std::nan(""));
    StoreCustom(e, set.get());
  }
  ASSERT_TRUE(d->Archive(1, 0));
  EXPECT_EQ(d->GetAngle(), 30.0);
  set_->DeleteElement(d);
}

TEST_F(ThreeNorthElement, AMapIdLinksOnlyAMapFrame) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  IGIS_MapElement* frame = NewFrame();
  auto* other = set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH);
  auto storeId = [&](int id) {
    auto set = CustomOf(e);
    set->GetProperty("MapElementID")->SetInt(id);
    StoreCustom(e, set.get());
  };
  storeId(other->GetID());
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetMapElementPtr(), nullptr);
  storeId(-100);
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetMapElementPtr(), nullptr);
  storeId(frame->GetID());
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetMapElementPtr(), frame);
  EXPECT_TRUE(e->IsObservingMap());
  set_->DeleteElement(other);
}

TEST_F(ThreeNorthElement, WithoutAFeatureNothingIsTouched) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  set_->GetFeatureClass()->DeleteFeature(e->GetID());
  LogMark mark;
  e->Refresh();
  e->OffsetAllPoints(10, 10);
  EXPECT_FALSE(e->Archive(0, 0));
  EXPECT_EQ(e->ConvertToElement(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ThreeNorthElement::Refresh", "m_pFeature == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ThreeNorthElement::OffsetAllPoints", "m_pFeature == NULL"));
  EXPECT_TRUE(
      mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_ThreeNorthElement::ConvertToElement", "m_pFeature == NULL"));
  e->Release();
  // No owner: an element that answers without crashing.
  auto* loose = new CGIS_ThreeNorthElement(nullptr, nullptr);
  EXPECT_EQ(loose->GetID(), -1);
  EXPECT_EQ(loose->Clone(), nullptr);
  loose->Refresh();
  loose->Release();
}

// At ten page units a point the default fonts' rings fit lines of 50 + 6 x
// 100 + 5 x 100; the texts want 1763. Reading and copying keep a length the
// fonts fit (its rings as far out as the lines leave room), and a page read
// and saved again is the same byte for byte; Refresh still lengthens.
TEST_F(ThreeNorthElement, ReadingKeepsAStoredLengthTheFontsFit) {
  ASSERT_TRUE(set_->SetUnitRatio(10.0));
  const struct {
    int stored, read, ring;
  } rows[] = {{1150, 1150, 650}, {1500, 1500, 1000}, {1762, 1762, 1262}, {1000, 1150, 650}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stored);
    IGIS_Element* e = set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH);
    ASSERT_TRUE(e->Archive(0, 0));
    auto set = CustomOf(e);
    set->GetProperty("AxisLength")->SetInt(row.stored);
    StoreCustom(e, set.get());
    CGIS_ThreeNorthElement* d = ReadBack(e);
    EXPECT_EQ(d->GetAxisLength(), row.read);
    IGIS_Element* copy = d->Clone();
    EXPECT_EQ(dynamic_cast<CGIS_ThreeNorthElement*>(copy)->GetAxisLength(), row.read);
    EXPECT_EQ(d->BuildFigure().r1, row.ring);
    ASSERT_TRUE(d->Archive(0, 0));
    const std::vector<unsigned char> saved = StoredForm(d);
    CGIS_ThreeNorthElement* again = ReadBack(d);  // the same feature, read and saved again
    ASSERT_TRUE(again->Archive(0, 0));
    EXPECT_EQ(StoredForm(again), saved);
    again->Refresh();
    EXPECT_EQ(again->GetAxisLength(), 1763);
    again->Release();
    set_->DeleteElement(copy);
    set_->DeleteElement(d);
  }
}

// The sheet changes everything it can reach; a cancel puts it all back.
TEST_F(ThreeNorthElement, CancelRestoresEverything) {
  CGIS_ThreeNorthElement* e = NewDiagram(-3, 4);
  IGIS_MapElement* frame = NewFrame();
  e->SetMapElementPtr(frame);
  e->SetLBpoint(SGIS_Point(3000, 2000, 0));
  ASSERT_TRUE(e->Archive(0, 0));
  const std::vector<unsigned char> before = StoredForm(e);
  const int elements = set_->GetFeatureCount();
  bool ok = false;
  md::layout::RegisterPropertySheet(
      GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, [&](IGIS_Element* element, IGIS_Display*, const char* title) {
        EXPECT_STREQ(title, "三北针属性");
        auto* d = dynamic_cast<CGIS_ThreeNorthElement*>(element);
        d->SetCoordinateAngle(12);
        d->SetMagnetAngle(-40);
        d->SetAngle(10);
        d->SetTxtOffset(300);
        d->SetAxisLength(6000);
        d->SetLock(!d->IsLock());
        d->SetFramePropertyPtr(nullptr);
        d->SetMapElementPtr(nullptr);
        SymbolPtr line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
        line->SetColor(RGB(255, 0, 0));
        d->SetAxisLineSymbolPtr(line.get());
        d->SetAngleTextSymbolPtr(md::test::TextSymbol(300).get());
        d->Refresh();
        d->SetLBpoint(SGIS_Point(100, 100, 0));
        d->Archive(0, 0);
        return ok;
      });
  EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(StoredForm(e), before);
  EXPECT_EQ(e->GetCoordinateAngle(), -3);
  EXPECT_EQ(e->GetMagnetAngle(), 4);
  EXPECT_EQ(e->GetAngle(), 30);
  EXPECT_EQ(e->GetTxtOffset(), 50);
  EXPECT_EQ(e->GetAxisLength(), 3000);
  EXPECT_NE(e->GetFramePropertyPtr(), nullptr);
  EXPECT_EQ(e->GetMapElementPtr(), frame);
  EXPECT_TRUE(e->IsObservingMap());
  EXPECT_NE(e->GetAxisLineSymbolPtr()->GetColor(), RGB(255, 0, 0));
  EXPECT_EQ(std::abs(e->GetAngleTextSymbolPtr()->GetFontSizePtr()->lfHeight), 100);
  EXPECT_EQ(e->GetRect().left, 3000);
  EXPECT_EQ(set_->GetFeatureCount(), elements);  // the backup is gone
  // OK keeps what the sheet did.
  ok = true;
  EXPECT_TRUE(e->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(e->GetCoordinateAngle(), 12);
  EXPECT_EQ(e->GetAxisLength(), 6000);
  EXPECT_EQ(set_->GetFeatureCount(), elements);
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, nullptr);
}

}  // namespace
