// The mixed-font label as an object: its defaults, setters, stored form,
// copies and the sheet seam.
#include <gtest/gtest.h>

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

constexpr const char* kFace = "汉仪中等线简";

ReleasePtr<CGIS_MixedFontGridLabel> NewLabel() {
  return ReleasePtr<CGIS_MixedFontGridLabel>(new CGIS_MixedFontGridLabel);
}

// Everything of a label's own settings that can be compared.
struct Own {
  int digits;
  bool byCount;
  std::string secondFace, zoneFace;
  LONG secondHeight, zoneHeight;
  COLORREF secondColor, zoneColor;
  int position;
  bool showZone;
  int width, digitsShown, rounding;
  bool separator;
  bool operator==(const Own&) const = default;
};
Own OwnOf(IGIS_MixedFontGridLabel* l) {
  IGIS_SymbolPart* s = l->GetSecondarySymbolText();
  IGIS_SymbolPart* z = l->GetZoneSymbolText();
  IGIS_NumericFormat* f = l->GetNumericFormat();
  return {l->GetNumGroupedDigits(),
          l->GetGroupedDigitsType(),
          s->GetFontSizePtr()->lfFaceName,
          z->GetFontSizePtr()->lfFaceName,
          s->GetFontSizePtr()->lfHeight,
          z->GetFontSizePtr()->lfHeight,
          s->GetColor(),
          z->GetColor(),
          l->GetPosition(),
          l->GetShowZone(),
          f->GetWidth(),
          f->GetDigits(),
          f->GetRoundingMode(),
          f->GetShowThousandsSeparator()};
}

// A label with every own setting away from its default.
void Edit(CGIS_MixedFontGridLabel* l) {
  l->SetNumGroupedDigits(3);
  l->SetGroupedDigitsType(false);
  l->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight = -20;
  l->GetSecondarySymbolText()->SetColor(RGB(200, 0, 0));
  std::strcpy(l->GetZoneSymbolText()->GetFontSizePtr()->lfFaceName, "黑体");
  l->GetZoneSymbolText()->SetColor(RGB(0, 0, 200));
  l->SetPosition(1);
  l->SetShowZone(true);
  l->GetNumericFormat()->SetWidth(9);
  l->GetNumericFormat()->SetDigits(2);
  l->GetNumericFormat()->SetRoundingMode(1);
  l->GetNumericFormat()->SetShowThousandsSeparator(true);
}

TEST(MixedFontLabel, StartsWithTheLastTwoDigitsLargerAndNoZone) {
  auto label = NewLabel();
  EXPECT_EQ(label->GetType(), GIS_GRIDLABEL_MIXEDFONT);
  const Own own = OwnOf(label.get());
  EXPECT_EQ(own,
            (Own{2, true, kFace, kFace, -16, -10, own.secondColor, own.zoneColor, 3, false, 0, 0, 0, false}));
  EXPECT_NE(label->GetSecondarySymbolText(), label->GetZoneSymbolText());
  EXPECT_FALSE(label->GetNumericFormat()->GetShowPlusSign());
  EXPECT_FALSE(label->GetNumericFormat()->GetZeroPadding());
  bool l = true, r = true, t = true, b = true;
  label->GetLabelAlignment(&l, &r, &t, &b);
  EXPECT_FALSE(l || r || t || b);
  // The face's 18 bytes stand whole in the face field.
  EXPECT_EQ(std::strlen(label->GetSecondarySymbolText()->GetFontSizePtr()->lfFaceName), 18u);
  // The factory makes it for its type.
  ReleasePtr<IGIS_GridLabel> made(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_MIXEDFONT));
  ASSERT_NE(dynamic_cast<CGIS_MixedFontGridLabel*>(made.get()), nullptr);
  EXPECT_EQ(Stored(made.get()), Stored(label.get()));
}

TEST(MixedFontLabel, SettersKeepTheirOwnCopiesAndRefuseWhatTheyMust) {
  auto label = NewLabel();
  const struct { int given, kept; } positions[] = {{0, 0}, {2, 2}, {4, 2}, {-1, 2}, {1, 1}, {3, 3}};
  for (const auto& p : positions) {
    label->SetPosition(p.given);
    EXPECT_EQ(label->GetPosition(), p.kept) << p.given;
  }
  label->SetNumGroupedDigits(-3);  // stored as given; splitting reads it as 0
  EXPECT_EQ(label->GetNumGroupedDigits(), -3);

  // A symbol given is copied; the held one given again changes nothing.
  ReleasePtr<IGIS_Symbol> mine(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  mine->GetFontSizePtr()->lfHeight = -30;
  label->SetSecondarySymbolTextPtr(mine.get());
  IGIS_SymbolPart* held = label->GetSecondarySymbolText();
  EXPECT_NE(held, mine.get());
  mine->GetFontSizePtr()->lfHeight = -5;
  EXPECT_EQ(held->GetFontSizePtr()->lfHeight, -30);
  label->SetSecondarySymbolTextPtr(held);
  EXPECT_EQ(label->GetSecondarySymbolText(), held);

  // The format setter gives the held format the other's seven settings and
  // keeps the same object.
  IGIS_NumericFormat* format = label->GetNumericFormat();
  ReleasePtr<IGIS_NumericFormat> other(
      GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(GIS_NUMERICFORMAT_NUMBER));
  const Settings edited{1, 12, 1, 4, true, true, true};
  Apply(other.get(), edited);
  label->SetNumericFormatPtr(other.get());
  EXPECT_EQ(label->GetNumericFormat(), format);
  EXPECT_EQ(Of(format), edited);
  other->SetWidth(1);
  EXPECT_EQ(format->GetWidth(), 12);

  // NULL removes each, with a record.
  LogMark mark;
  label->SetSecondarySymbolTextPtr(nullptr);
  label->SetZoneSymbolTextPtr(nullptr);
  label->SetNumericFormatPtr(nullptr);
  EXPECT_EQ(label->GetSecondarySymbolText(), nullptr);
  EXPECT_EQ(label->GetZoneSymbolText(), nullptr);
  EXPECT_EQ(label->GetNumericFormat(), nullptr);
  for (const char* method :
       {"CGIS_MixedFontGridLabel::SetSecondarySymbolTextPtr", "CGIS_MixedFontGridLabel::SetZoneSymbolTextPtr",
        "CGIS_MixedFontGridLabel::SetNumericFormatPtr"}) {
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, method, "right == NULL")) << method;
  }
  // Without a format, the one given is cloned.
  label->SetNumericFormatPtr(other.get());
  ASSERT_NE(label->GetNumericFormat(), nullptr);
  EXPECT_NE(label->GetNumericFormat(), other.get());
  EXPECT_EQ(label->GetNumericFormat()->GetWidth(), 1);
}

TEST(MixedFontLabel, StoresItsSevenKeysBeforeTheCommonOnesAndReadsThemBack) {
  auto label = NewLabel();
  Edit(label.get());
  label->SetLabelOffsetX(10, 20, 30, 40);
  const std::vector<BYTE> bytes = Stored(label.get());
  const std::vector<std::string> keys = KeysOf(bytes);
  ASSERT_EQ(keys.size(), 26u);
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 7),
            (std::vector<std::string>{"NumGroupedDigits", "GroupedDigitsType", "SecondarySymbolText",
                                      "ZoneSymbolText", "Positon", "ShowZone", "NumericFormat"}));
  SetPtr set = SetOf(bytes);
  for (int i = 0; i < 7; ++i)
    EXPECT_STREQ(set->GetProperty(keys[i].c_str())->GetDescription(), keys[i].c_str());
  EXPECT_EQ(set->GetProperty("GridLabelType")->GetInt(), GIS_GRIDLABEL_MIXEDFONT);

  // Read back by the exported reader: a mixed-font label of the same settings.
  BufferPtr b = BufferOf(bytes);
  ReleasePtr<IGIS_GridLabel> read(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()));
  auto* mixed = dynamic_cast<CGIS_MixedFontGridLabel*>(read.get());
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(OwnOf(mixed), OwnOf(label.get()));
  EXPECT_EQ(Stored(mixed), bytes);

  // A stored position outside the rule and a negative count are read as stored.
  BufferPtr odd = BufferWith([](IGIS_PropertySet* s) {
    PutInt(s, "Positon", 7);
    PutInt(s, "NumGroupedDigits", -3);
  });
  auto fresh = NewLabel();
  EXPECT_TRUE(fresh->Open(odd.get()));
  EXPECT_EQ(fresh->GetPosition(), 7);
  EXPECT_EQ(fresh->GetNumGroupedDigits(), -3);
  // Missing keys leave the defaults.
  EXPECT_EQ(OwnOf(fresh.get()).secondFace, kFace);
  EXPECT_EQ(fresh->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight, -16);

  ExpectStoreRefusals(fresh.get(), "CGIS_MixedFontGridLabel");

  // A label without symbols or format stores their keys empty and reads its own back.
  auto bare = NewLabel();
  bare->SetSecondarySymbolTextPtr(nullptr);
  bare->SetZoneSymbolTextPtr(nullptr);
  bare->SetNumericFormatPtr(nullptr);
  const std::vector<BYTE> bareBytes = Stored(bare.get());
  EXPECT_EQ(SetOf(bareBytes)->GetProperty("SecondarySymbolText")->GetDataBuffer()->GetSize(), 0);
  auto again = NewLabel();
  BufferPtr bb = BufferOf(bareBytes);
  EXPECT_TRUE(again->Open(bb.get()));
  EXPECT_EQ(again->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight, -16);
}

TEST(MixedFontLabel, ClonesAndCopiesCarryEveryFieldAsDistinctObjects) {
  auto label = NewLabel();
  Edit(label.get());
  label->SetLabelOffset(900);
  ReleasePtr<IGIS_GridLabel> clone(label->Clone());
  auto* mixed = dynamic_cast<CGIS_MixedFontGridLabel*>(clone.get());
  ASSERT_NE(mixed, nullptr);
  EXPECT_EQ(OwnOf(mixed), OwnOf(label.get()));
  EXPECT_EQ(Stored(mixed), Stored(label.get()));
  EXPECT_NE(mixed->GetSecondarySymbolText(), label->GetSecondarySymbolText());
  EXPECT_NE(mixed->GetZoneSymbolText(), label->GetZoneSymbolText());
  EXPECT_NE(mixed->GetNumericFormat(), label->GetNumericFormat());
  mixed->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight = -40;
  mixed->GetNumericFormat()->SetWidth(1);
  EXPECT_EQ(label->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight, -20);
  EXPECT_EQ(label->GetNumericFormat()->GetWidth(), 9);

  auto other = NewLabel();
  EXPECT_EQ(other->Copy(label.get()), other.get());
  EXPECT_EQ(Stored(other.get()), Stored(label.get()));
  // A stored position outside the rule is carried as it is.
  BufferPtr odd = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "Positon", 7); });
  ASSERT_TRUE(label->Open(odd.get()));
  other->Copy(label.get());
  EXPECT_EQ(other->GetPosition(), 7);
}

// The sheet seam: a runner standing in for the sheet's page edits the label
// in place, as the page does, and answers what the user pressed.
bool g_confirm = false;
bool EditingRunner(IGIS_GridLabel* label) {
  auto* mixed = dynamic_cast<IGIS_MixedFontGridLabel*>(label);
  ReleasePtr<IGIS_Symbol> font(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  font->GetFontSizePtr()->lfHeight = -30;
  mixed->SetSecondarySymbolTextPtr(font.get());
  mixed->SetZoneSymbolTextPtr(font.get());
  mixed->GetNumericFormat()->SetDigits(5);
  mixed->SetPosition(0);
  mixed->SetShowZone(true);
  return g_confirm;
}

TEST(MixedFontLabel, ACancelledSheetRestoresNewFontsAndFormat) {
  auto label = NewLabel();
  ExpectSheetKeepsEditsOnlyWhenConfirmed(label.get(), GIS_GRIDLABEL_MIXEDFONT, &EditingRunner, &g_confirm);
  EXPECT_EQ(label->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight, -30);
  EXPECT_EQ(label->GetNumericFormat()->GetDigits(), 5);
  EXPECT_EQ(label->GetPosition(), 0);
}

}  // namespace
}  // namespace md::test
