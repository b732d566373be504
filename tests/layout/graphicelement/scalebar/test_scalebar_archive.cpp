// The stored form of the scale bars: round trips, missing and added keys,
// damaged sets, the branches' symbols and failed commits.
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using ScaleBarArchive = ScaleBarTest;

// A bar bound to the stored feature of another, read back.
CGIS_AlternatingScaleBar* ReadBack(IGIS_FeatureSet* set, IGIS_Element* stored,
                                   std::vector<IGIS_Element*>& owned) {
  auto* bar = new CGIS_AlternatingScaleBar(set, stored->GetFeaturePtr());
  owned.push_back(bar);
  EXPECT_TRUE(bar->Archive(1, 0));
  return bar;
}

TEST_F(ScaleBarArchive, EverySettingReadsBackAsWritten) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetDivision(250.0);
  bar->SetDivisions(9);
  bar->SetSubDivisions(5);
  bar->SetDivisionsBeforeZero(true);
  bar->SetLabelFrequency(6);
  bar->SetLabelGap(75);
  bar->SetLabelPosition(4);
  bar->SetUnitLabel("千米");
  bar->SetUnitLabelGap(33);
  bar->SetUnitLabelPosition(5);
  bar->SetUnits(1);
  bar->SetBarHeight(120);
  bar->SetBarWidth(1234);
  bar->SetMapScale(0.5);
  bar->SetName("比例尺一");
  bar->SetLock(true);
  bar->SetOrder(7);
  bar->GetScaleMarks()->SetMarkFrequency(2);
  bar->GetScaleMarks()->SetDivisionMarkHeight(80);
  bar->GetNumericFormat()->SetDigits(2);
  bar->GetLatLonFormat()->SetDisplayMode(GIS_LATLON_DM);
  bar->GetFrameProperty()->SetBorderX(111);
  SymbolPtr text = TextSymbol(9);
  bar->SetLabelSymbolPtr(text.get());
  SymbolPtr red = NewSymbol(GIS_SYMBOL_FILL, RGB(200, 0, 0));
  bar->SetSymbol2(red.get());
  bar->Refresh();
  ASSERT_TRUE(bar->Archive(0, 0));

  CGIS_AlternatingScaleBar* back = ReadBack(set_, bar, owned_);
  EXPECT_EQ(back->GetResizeHint(), 0);
  EXPECT_EQ(back->GetDivision(), 250.0);
  EXPECT_EQ(back->GetDivisions(), 9);
  EXPECT_EQ(back->GetSubDivisions(), 5);
  EXPECT_TRUE(back->GetDivisionsBeforeZero());
  EXPECT_EQ(back->GetLabelFrequency(), 6);
  EXPECT_EQ(back->GetLabelGap(), 75);
  EXPECT_EQ(back->GetLabelPosition(), 4);
  EXPECT_STREQ(back->GetUnitLabel(), "千米");
  EXPECT_EQ(back->GetUnitLabelGap(), 33);
  EXPECT_EQ(back->GetUnitLabelPosition(), 5);
  EXPECT_EQ(back->GetUnits(), 1);
  EXPECT_EQ(back->GetBarHeight(), 120);
  EXPECT_EQ(back->GetBarWidth(), 1234);
  EXPECT_EQ(back->GetMapScale(), 0.5);
  EXPECT_EQ(back->GetBarX(), bar->GetBarX());
  EXPECT_EQ(back->GetBarY(), bar->GetBarY());
  EXPECT_STREQ(back->GetName(), "比例尺一");
  EXPECT_TRUE(back->IsLock());
  EXPECT_EQ(back->GetOrder(), 7);
  EXPECT_EQ(back->GetScaleMarks()->GetMarkFrequency(), 2);
  EXPECT_EQ(back->GetScaleMarks()->GetDivisionMarkHeight(), 80);
  EXPECT_EQ(back->GetNumericFormat()->GetDigits(), 2);
  EXPECT_EQ(back->GetLatLonFormat()->GetDisplayMode(), GIS_LATLON_DM);
  EXPECT_EQ(back->GetFrameProperty()->GetBorderX(), 111);
  EXPECT_EQ(Bytes(back->GetLabelSymbol()), Bytes(text.get()));
  EXPECT_EQ(Bytes(back->GetSymbol2()), Bytes(red.get()));
  EXPECT_EQ(Bytes(back->GetSymbol1()), Bytes(bar->GetSymbol1()));
  EXPECT_EQ(back->GetRect(), bar->GetRect());
}

// A write of changed settings keeps the stored keys, descriptions and types
// in place: its bytes are those of the stored set given the new values.
TEST_F(ScaleBarArchive, AWriteGivesTheStoredSetWithTheNewValues) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  IGIS_PropertySet* before = StoredCustom(bar);
  bar->SetDivisions(9);
  bar->SetUnitLabel("千米");
  bar->SetMapScale(0.5);
  bar->GetScaleMarks()->SetMarkFrequency(2);
  SymbolPtr red = NewSymbol(GIS_SYMBOL_FILL, RGB(200, 0, 0));
  bar->SetSymbol2(red.get());
  ASSERT_TRUE(bar->Archive(0, 0));
  IGIS_PropertySet* after = StoredCustom(bar);
  EXPECT_EQ(KeysOf(after), KeysOf(before));
  for (IGIS_Field* f = after->GetFirstPosition(); f != nullptr; f = after->GetNext(f)) {
    IGIS_Field* old = before->GetProperty(f->GetLabel());
    ASSERT_TRUE(old != nullptr && old->GetType() == f->GetType()) << f->GetLabel();
    CopyValue(f, old);
  }
  const std::vector<BYTE> written = CustomBytes(bar);
  StoreCustom(bar, before);
  EXPECT_EQ(CustomBytes(bar), written);
  before->Release();
  after->Release();
}

TEST_F(ScaleBarArchive, AStoredFormWithoutTheUnitLabelKeyReadsTheDefault) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetUnitLabel("公里");
  ASSERT_TRUE(bar->Archive(0, 0));
  IGIS_PropertySet* stored = StoredCustom(bar);
  EXPECT_STREQ(stored->GetProperty("UnitLabel")->GetString(), "公里");
  // The same set without the key, as bars stored before it existed.
  IGIS_PropertySet* older = SetWithout(stored, {"UnitLabel", "Units"});
  StoreCustom(bar, older);
  older->Release();
  stored->Release();

  CGIS_AlternatingScaleBar* back = ReadBack(set_, bar, owned_);
  EXPECT_STREQ(back->GetUnitLabel(), "米");
  EXPECT_EQ(back->GetUnits(), 0);
  // The next write adds the key, described by itself.
  ASSERT_TRUE(back->Archive(0, 0));
  IGIS_PropertySet* rewritten = StoredCustom(back);
  ASSERT_NE(rewritten->GetProperty("UnitLabel"), nullptr);
  EXPECT_STREQ(rewritten->GetProperty("UnitLabel")->GetDescription(), "UnitLabel");
  EXPECT_STREQ(rewritten->GetProperty("Units")->GetDescription(), "Units");
  EXPECT_STREQ(rewritten->GetProperty("Division")->GetDescription(), "单位长度");
  rewritten->Release();
}

TEST_F(ScaleBarArchive, KeysOthersWroteSurviveAWriteAndMissingSymbolsKeepTheirDefaults) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  IGIS_PropertySet* s = StoredCustom(bar);
  s->AddProperty("Foreign", "别人的", GIS_FIELD_TYPE_INT, 1)->SetInt(42);
  StoreCustom(bar, s);
  s->Release();
  ASSERT_TRUE(bar->Archive(0, 0));
  s = StoredCustom(bar);
  ASSERT_NE(s->GetProperty("Foreign"), nullptr);
  EXPECT_EQ(s->GetProperty("Foreign")->GetInt(), 42);

  // A set without "Symbol2": the reader keeps its own second fill.
  IGIS_PropertySet* without = GIS_CreatePropertySetObject();
  for (IGIS_Field* f = s->GetFirstPosition(); f != nullptr; f = s->GetNext(f)) {
    if (std::string(f->GetLabel()) != "Divisions") continue;
    without->AddProperty("Divisions", "刻度数", GIS_FIELD_TYPE_INT, 1)->SetInt(250);
  }
  StoreCustom(bar, without);
  without->Release();
  s->Release();
  auto* back = new CGIS_AlternatingScaleBar(set_, bar->GetFeaturePtr());
  owned_.push_back(back);
  SymbolPtr blue = NewSymbol(GIS_SYMBOL_FILL, RGB(0, 0, 200));
  back->SetSymbol2(blue.get());
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(Bytes(back->GetSymbol2()), Bytes(blue.get()));
  EXPECT_EQ(back->GetDivisions(), 250);  // taken as stored
  ASSERT_TRUE(back->Archive(0, 0));
  s = StoredCustom(back);
  ASSERT_NE(s->GetProperty("Symbol2"), nullptr);
  EXPECT_STREQ(s->GetProperty("Symbol2")->GetDescription(), "Symbol2");
  s->Release();
}

TEST_F(ScaleBarArchive, ADamagedStoredSetIsRefusedAndTheBarKeepsItsState) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetLabelGap(99);
  IGIS_DataBuffer* junk = GIS_CreateDataBufferObject(9);
  for (int i = 0; i < 9; ++i) junk->GetData()[i] = static_cast<BYTE>(0xF0 + i);
  bar->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", junk, 0);
  junk->Release();
  LogMark log;
  EXPECT_FALSE(bar->Archive(1, 0));
  EXPECT_EQ(bar->GetLabelGap(), 99);
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::Archive", "p_propertyset->Archive == FALSE"));
}

TEST_F(ScaleBarArchive, AFailedCommitAfterWritingIsAFailure) {
  CommitRefusingSet refusing(set_);
  auto* bar = new CGIS_AlternatingScaleBar(&refusing, nullptr);
  owned_.push_back(bar);
  LogMark log;
  EXPECT_FALSE(bar->Archive(0, 0));
  EXPECT_TRUE(log.Has(3, "IGIS_DoubleFillScaleBar::Archive", "b_ret == NULL"));
  auto* line = new TestScaleLine(&refusing, nullptr);
  owned_.push_back(line);
  EXPECT_FALSE(line->Archive(0, 0));
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleLine::Archive", "b_ret == NULL"));
  // The stored form was written all the same.
  IGIS_PropertySet* s = StoredCustom(bar);
  EXPECT_NE(s->GetProperty("Symbol1"), nullptr);
  s->Release();
  ReleaseKept(line);  // before their owner goes
  ReleaseKept(bar);
}

TEST_F(ScaleBarArchive, TheScaleLineStoresItsSymbolAndChecksItsFeatureFirst) {
  auto* line = new TestScaleLine(set_, nullptr);
  owned_.push_back(line);
  ASSERT_NE(line->GetSymbolPtr(), nullptr);
  EXPECT_EQ(line->GetSymbolPtr()->GetStyleCode(), 0xD04);
  EXPECT_EQ(line->GetBarSymbol(), line->GetSymbolPtr());
  IGIS_PropertySet* s = StoredCustom(line);
  EXPECT_EQ(KeysOf(s).back(), (std::pair<std::string, std::string>("Symbol", "符号")));
  s->Release();

  SymbolPtr green = NewSymbol(GIS_SYMBOL_LINE, RGB(0, 160, 0));
  line->SetSymbolPtr(green.get());
  ASSERT_TRUE(line->Archive(0, 0));
  auto* back = new TestScaleLine(set_, line->GetFeaturePtr());
  owned_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(Bytes(back->GetSymbolPtr()), Bytes(green.get()));

  LogMark log;
  back->SetSymbolPtr(nullptr);
  EXPECT_EQ(back->GetSymbolPtr(), nullptr);
  EXPECT_TRUE(log.Has(4, "IGIS_ScaleLine::SetSymbolPtr", "pSymbol == NULL"));

  // Without its feature the line stops before the base reads anything.
  set_->GetFeatureClass()->DeleteFeature(back->GetID());
  EXPECT_FALSE(back->Archive(1, 0));
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleLine::Archive", "m_pFeature == NULL"));
  EXPECT_FALSE(log.Has(3, "IGIS_ScaleBar::Archive", "m_pFeature == NULL"));
  // The two-fill bar runs the base first, which records the same.
  CGIS_AlternatingScaleBar* bar = NewBar();
  set_->GetFeatureClass()->DeleteFeature(bar->GetID());
  EXPECT_FALSE(bar->Archive(1, 0));
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::Archive", "m_pFeature == NULL"));
  EXPECT_TRUE(log.Has(3, "IGIS_DoubleFillScaleBar::Archive", "m_pFeature == NULL"));
}

TEST_F(ScaleBarArchive, ACloneHasCopiesOfEverySymbol) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetUnitLabel("千米");
  bar->SetDivisionsBeforeZero(true);
  IGIS_Element* copy = bar->Clone();
  ASSERT_NE(copy, nullptr);
  owned_.push_back(copy);
  auto* c = dynamic_cast<CGIS_AlternatingScaleBar*>(copy);
  ASSERT_NE(c, nullptr);
  EXPECT_STREQ(c->GetUnitLabel(), "千米");
  EXPECT_TRUE(c->GetDivisionsBeforeZero());
  for (auto [mine, theirs] :
       {std::pair(bar->GetSymbol1(), c->GetSymbol1()), std::pair(bar->GetSymbol2(), c->GetSymbol2()),
        std::pair(bar->GetLabelSymbol(), c->GetLabelSymbol())}) {
    EXPECT_NE(mine, theirs);
    EXPECT_EQ(Bytes(mine), Bytes(theirs));
  }
  EXPECT_NE(c->GetScaleMarks(), bar->GetScaleMarks());
  EXPECT_NE(c->GetFrameProperty(), bar->GetFrameProperty());
  EXPECT_NE(c->GetID(), bar->GetID());
  EXPECT_STREQ(c->GetFeaturePtr()->GetAttributes()->GetString("TYPE"),
               GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING);
}

}  // namespace
}  // namespace md::test
