// The degrees-minutes-seconds label as an object: its format and symbols,
// the display of minutes and seconds, its stored form, copies and sheet.
#include <gtest/gtest.h>

#include "host/basilo/igis_log.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/dmslabeldouble.h"
#include "tests/support/logmark.h"
#include "tests/support/owned.h"

namespace md::test {
namespace {

using LabelPtr = ReleasePtr<CGIS_DMSGridLabel>;

LabelPtr NewLabel() { return LabelPtr(new CGIS_DMSGridLabel); }

// What the label's format holds beside its display.
struct FormatState {
  int mode, rounding, digits;
  bool split, optionA, optionB;
  bool operator==(const FormatState&) const = default;
};
FormatState StateOf(IGIS_NumericFormat* f) {
  return {f->GetDisplayMode(), f->GetRoundingMode(),  f->GetDigits(),
          f->GetSplitOption(), f->GetLatLonOptionA(), f->GetLatLonOptionB()};
}

// The bytes a symbol stores.
std::vector<BYTE> SymbolBytes(IGIS_Symbol* s) {
  BufferPtr b(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(s->Save(b.get()));
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

TEST(DmsLabel, StartsWithDegreesMinutesAndSecondsToATenth) {
  LabelPtr label = NewLabel();
  EXPECT_EQ(label->GetType(), GIS_GRIDLABEL_DMS);
  EXPECT_EQ(label->GetDMSLabelType(), GIS_DMSLABEL_STANDARD);
  EXPECT_STREQ(label->GetLatLonFormat()->Format(116.5), "116°30′00.0″");
  // The seconds symbol equals the text symbol but is an object of its own.
  ASSERT_NE(label->GetSecondsSymbolText(), nullptr);
  EXPECT_NE(label->GetSecondsSymbolText(), label->GetTextSymbolPtr());
  EXPECT_EQ(SymbolBytes(label->GetSecondsSymbolText()), SymbolBytes(label->GetTextSymbolPtr()));
}

TEST(DmsLabel, ShowsMinutesAndSecondsAsItsDisplayModeSays) {
  // Mode before, the call (minutes or seconds, on or off), mode after.
  const struct {
    int before;
    bool minutes, on;
    int after;
  } rows[] = {
      {1, true, false, 1},  {6, true, false, 1}, {5, true, false, 1},  {1, true, true, 6},
      {6, true, true, 6},   {5, true, true, 5},  {1, false, false, 1}, {6, false, false, 6},
      {5, false, false, 6}, {1, false, true, 5}, {6, false, true, 5},  {5, false, true, 5},
  };
  for (const auto& r : rows) {
    LabelPtr label = NewLabel();
    label->GetLatLonFormat()->SetDisplayMode(r.before);
    r.minutes ? label->SetShowMinutes(r.on) : label->SetShowSeconds(r.on);
    const std::string what =
        std::to_string(r.before) + (r.minutes ? " minutes " : " seconds ") + (r.on ? "on" : "off");
    EXPECT_EQ(label->GetLatLonFormat()->GetDisplayMode(), r.after) << what;
    EXPECT_EQ(label->IsShowMinutes(), r.after != GIS_LATLON_DEGREES) << what;
    EXPECT_EQ(label->IsShowSeconds(), r.after == GIS_LATLON_DMS) << what;
  }
  // The worked example: 39.5 from mode 1 (degrees), then seconds on (5), seconds off (6), minutes off (1).
  LabelPtr label = NewLabel();
  label->GetLatLonFormat()->SetDisplayMode(GIS_LATLON_DEGREES);
  label->SetShowSeconds(true);
  EXPECT_STREQ(label->GetLatLonFormat()->Format(39.5), "39°30′00.0″");
  label->SetShowSeconds(false);
  EXPECT_STREQ(label->GetLatLonFormat()->Format(39.5), "39°30.0′");
  label->SetShowMinutes(false);
  EXPECT_STREQ(label->GetLatLonFormat()->Format(39.5), "39.5°");
}

TEST(DmsLabel, KeepsItsDisplayTypeAndDigitsInRange) {
  LabelPtr label = NewLabel();
  label->SetDMSLabelType(GIS_DMSLABEL_STACKED);
  EXPECT_EQ(label->GetDMSLabelType(), GIS_DMSLABEL_STACKED);
  label->SetDMSLabelType(2);
  label->SetDMSLabelType(-1);
  EXPECT_EQ(label->GetDMSLabelType(), GIS_DMSLABEL_STACKED);
  // Digits are decimal places whatever the rounding was.
  label->GetLatLonFormat()->SetRoundingMode(1);
  label->SetDecimalDigits(3);
  EXPECT_EQ(label->GetDecimalDigits(), 3);
  EXPECT_EQ(label->GetLatLonFormat()->GetRoundingMode(), 0);
  // A stored type outside the two is read as stored.
  BufferPtr b = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "DMSLabelType", 2); });
  EXPECT_TRUE(label->Open(b.get()));
  EXPECT_EQ(label->GetDMSLabelType(), 2);
}

TEST(DmsLabel, KeepsItsOwnSecondsSymbol) {
  LabelPtr label = NewLabel();
  IGIS_Symbol* held = label->GetSecondsSymbolText();
  LogMark mark;
  label->SetSecondsSymbolTextPtr(held);
  EXPECT_EQ(label->GetSecondsSymbolText(), held);
  // Another symbol's settings go into the one held, which stays.
  ReleasePtr<IGIS_Symbol> mine(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  mine->GetFontSizePtr()->lfHeight = -14;
  mine->SetColor(RGB(200, 0, 0));
  label->SetSecondsSymbolTextPtr(mine.get());
  EXPECT_EQ(label->GetSecondsSymbolText(), held);
  EXPECT_EQ(SymbolBytes(held), SymbolBytes(mine.get()));
  mine->SetColor(RGB(0, 0, 0));
  EXPECT_EQ(held->GetColor(), RGB(200, 0, 0));
  // A symbol of another kind changes nothing.
  ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  label->SetSecondsSymbolTextPtr(line.get());
  EXPECT_EQ(held->GetColor(), RGB(200, 0, 0));
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_DMSGridLabel::SetSecondsSymbolTextPtr", "right == NULL"),
            0);
  // NULL leaves none; a symbol given then is a copy of it.
  label->SetSecondsSymbolTextPtr(nullptr);
  EXPECT_EQ(label->GetSecondsSymbolText(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_DMSGridLabel::SetSecondsSymbolTextPtr", "right == NULL"));
  label->SetSecondsSymbolTextPtr(mine.get());
  ASSERT_NE(label->GetSecondsSymbolText(), nullptr);
  EXPECT_NE(label->GetSecondsSymbolText(), mine.get());
  EXPECT_EQ(SymbolBytes(label->GetSecondsSymbolText()), SymbolBytes(mine.get()));
}

// A label with every setting of its own changed.
LabelPtr EditedLabel() {
  LabelPtr label = NewLabel();
  label->SetShowSeconds(false);
  label->SetDecimalDigits(0);
  label->GetLatLonFormat()->SetSplitOption(false);
  label->GetLatLonFormat()->SetLatLonOptionA(false);
  label->SetDMSLabelType(GIS_DMSLABEL_STACKED);
  label->GetSecondsSymbolText()->GetFontSizePtr()->lfHeight = -5;
  label->GetSecondsSymbolText()->SetColor(RGB(1, 2, 3));
  label->GetTextSymbolPtr()->SetColor(RGB(4, 5, 6));
  label->SetLabelOffsetX(10, 20, 30, 40);
  label->SetLabelAlignment(false, true, false, true);
  return label;
}

TEST(DmsLabel, StoresItsOwnKeysBeforeTheCommonOnes) {
  LabelPtr label = EditedLabel();
  const std::vector<BYTE> bytes = Stored(label.get());
  const std::vector<std::string> keys = KeysOf(bytes);
  ASSERT_EQ(keys.size(), 22u);
  EXPECT_EQ(
      std::vector<std::string>(keys.begin(), keys.begin() + 4),
      (std::vector<std::string>{"LatLonFormat1", "DMSLabelType", "SecondSymbolText", "LeftLabelAlignment"}));
  SetPtr set = SetOf(bytes);
  EXPECT_STREQ(set->GetProperty("LatLonFormat1")->GetDescription(), "LatLonFormat");
  EXPECT_STREQ(set->GetProperty("SecondSymbolText")->GetDescription(), "SecondSymbolText");
  EXPECT_EQ(set->GetProperty("GridLabelType")->GetInt(), GIS_GRIDLABEL_DMS);

  // A fresh label reads everything back, the format's split and options too.
  LabelPtr read = NewLabel();
  BufferPtr b = BufferOf(bytes);
  EXPECT_TRUE(read->Open(b.get()));
  EXPECT_EQ(StateOf(read->GetLatLonFormat()), StateOf(label->GetLatLonFormat()));
  EXPECT_EQ(read->GetDMSLabelType(), GIS_DMSLABEL_STACKED);
  EXPECT_EQ(SymbolBytes(read->GetSecondsSymbolText()), SymbolBytes(label->GetSecondsSymbolText()));
  EXPECT_EQ(SymbolBytes(read->GetTextSymbolPtr()), SymbolBytes(label->GetTextSymbolPtr()));
  EXPECT_EQ(Stored(read.get()), bytes);
  // So does the label factory's reader.
  ReleasePtr<IGIS_GridLabel> rebuilt(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()));
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(Stored(rebuilt.get()), bytes);

  // Missing keys keep what the label holds; refusals change nothing.
  LabelPtr plain = NewLabel();
  BufferPtr onlyOffset = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "LabelOffset", 250); });
  EXPECT_TRUE(plain->Open(onlyOffset.get()));
  EXPECT_EQ(StateOf(plain->GetLatLonFormat()), (FormatState{GIS_LATLON_DMS, 0, 1, true, true, true}));
  EXPECT_EQ(plain->GetLabelOffset(), 250);
  ExpectStoreRefusals(plain.get(), "CGIS_DMSGridLabel");
}

TEST(DmsLabel, ClonesAndCopiesTheWholeLabel) {
  LabelPtr label = EditedLabel();
  const std::vector<BYTE> bytes = Stored(label.get());
  ReleasePtr<IGIS_GridLabel> clone(label->Clone());
  auto* dms = dynamic_cast<CGIS_DMSGridLabel*>(clone.get());
  ASSERT_NE(dms, nullptr);
  // Split and options included: the clone stores what the label stores.
  EXPECT_EQ(Stored(clone.get()), bytes);
  EXPECT_NE(dms->GetLatLonFormat(), label->GetLatLonFormat());
  EXPECT_NE(dms->GetSecondsSymbolText(), label->GetSecondsSymbolText());
  // It outlives its source.
  label.reset();
  EXPECT_STREQ(dms->GetLatLonFormat()->Format(116.25), "116°15′");
  EXPECT_EQ(dms->GetSecondsSymbolText()->GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(Stored(clone.get()), bytes);

  // A label of another make is copied through what its interface shows.
  Owned<DmsLabelDouble> other(new DmsLabelDouble());
  other->minutes = true;
  other->seconds = false;
  other->digits = 2;
  LabelPtr copy = NewLabel();
  EXPECT_EQ(copy->Copy(other.get()), copy.get());
  EXPECT_EQ(copy->GetLatLonFormat()->GetDisplayMode(), GIS_LATLON_DM);
  EXPECT_EQ(copy->GetDecimalDigits(), 2);
}

// The sheet's stand-in: changes what the page would and answers as the user did.
bool g_confirm = false;
bool EditingSheet(IGIS_GridLabel* pLabel) {
  auto* label = dynamic_cast<IGIS_DMSGridLabel*>(pLabel);
  label->SetShowMinutes(false);
  label->SetDMSLabelType(GIS_DMSLABEL_STACKED);
  label->SetDecimalDigits(4);
  label->GetSecondsSymbolText()->SetColor(RGB(9, 9, 9));
  if (auto* dms = dynamic_cast<CGIS_DMSGridLabel*>(pLabel)) dms->GetLatLonFormat()->SetSplitOption(false);
  return g_confirm;
}

TEST(DmsLabel, ItsSheetKeepsEditsOnlyWhenConfirmed) {
  LabelPtr label = EditedLabel();
  ExpectSheetKeepsEditsOnlyWhenConfirmed(label.get(), GIS_GRIDLABEL_DMS, &EditingSheet, &g_confirm);
  EXPECT_FALSE(label->IsShowMinutes());
  EXPECT_EQ(label->GetDecimalDigits(), 4);
  EXPECT_FALSE(label->GetLatLonFormat()->GetSplitOption());
}

TEST(DmsLabel, SplitsATextAfterItsDegreeSign) {
  const struct {
    const char* text;
    bool split;
    const char* degrees;
    const char* rest;
  } rows[] = {
      {"116°30′00″", true, "116°", "30′00″"},
      {"-5°07′", true, "-5°", "07′"},
      {"39°50′00.0″", true, "39°", "50′00.0″"},
      {"116°", false, "", ""},   // nothing after the sign
      {"116.5", false, "", ""},  // no sign
      {"116\xA1\xE3"
       "30",
       false, "", ""},  // the two-byte sign of another code page is no sign
      {"", false, "", ""},
  };
  for (const auto& r : rows) {
    std::string degrees, rest;
    EXPECT_EQ(CGIS_DMSGridLabel::SplitDegreeText(r.text, &degrees, &rest), r.split) << r.text;
    EXPECT_EQ(degrees, r.degrees) << r.text;
    EXPECT_EQ(rest, r.rest) << r.text;
  }
}

}  // namespace
}  // namespace md::test
