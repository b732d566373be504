// The legend format: defaults, storage with the newer keys, copying, scaling
// and the symbol setters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "tests/support/logmark.h"

namespace {

using FormatPtr = md::basilo::ReleasePtr<IGIS_LegendFormat>;
using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;
using SetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

// Every integer value of a format, by name, through its getters and setters.
struct IntValue {
  const char* name;
  int (IGIS_LegendFormat::*get)();
  void (IGIS_LegendFormat::*set)(int);
  int byDefault;
};
const IntValue kIntValues[] = {
    {"DefaultAreaPatch", &IGIS_LegendFormat::GetDefaultAreaPatch, &IGIS_LegendFormat::SetDefaultAreaPatch, 1},
    {"DefaultLinePatch", &IGIS_LegendFormat::GetDefaultLinePatch, &IGIS_LegendFormat::SetDefaultLinePatch, 1},
    {"DefaultPatchHeight", &IGIS_LegendFormat::GetDefaultPatchHeight,
     &IGIS_LegendFormat::SetDefaultPatchHeight, 1000},
    {"DefaultPatchWidth", &IGIS_LegendFormat::GetDefaultPatchWidth, &IGIS_LegendFormat::SetDefaultPatchWidth,
     2000},
    {"HorizontalItemGap", &IGIS_LegendFormat::GetHorizontalItemGap, &IGIS_LegendFormat::SetHorizontalItemGap,
     300},
    {"TitleAndLegendGap", &IGIS_LegendFormat::GetTitleAndLegendGap, &IGIS_LegendFormat::SetTitleAndLegendGap,
     600},
    {"TitlePosition", &IGIS_LegendFormat::GetTitlePosition, &IGIS_LegendFormat::SetTitlePosition, 100},
    {"VerticalItemGap", &IGIS_LegendFormat::GetVerticalItemGap, &IGIS_LegendFormat::SetVerticalItemGap, 500},
    {"PatchAndLabelsGap", &IGIS_LegendFormat::GetPatchAndLabelsGap, &IGIS_LegendFormat::SetPatchAndLabelsGap,
     500},
    {"HeadingGap", &IGIS_LegendFormat::GetHeadingGap, &IGIS_LegendFormat::SetHeadingGap, 400},
    {"LayerNameGap", &IGIS_LegendFormat::GetLayerNameGap, &IGIS_LegendFormat::SetLayerNameGap, 250},
    {"ItemGap", &IGIS_LegendFormat::GetItemGap, &IGIS_LegendFormat::SetItemGap, 400},
    {"LabelPosition", &IGIS_LegendFormat::GetLabelPosition, &IGIS_LegendFormat::SetLabelPosition, 0},
};

int TextSize(IGIS_Symbol* s) { return s->GetFontSizePtr()->lfHeight; }

TEST(LegendFormat, NewFormatHasTheDefaultLook) {
  FormatPtr f(GIS_CreateLegendFormatObject());
  ASSERT_TRUE(f);
  for (const IntValue& v : kIntValues) EXPECT_EQ(((*f).*v.get)(), v.byDefault) << v.name;
  EXPECT_TRUE(f->GetShowTitle());
  EXPECT_TRUE(f->GetShowLabel());
  EXPECT_FALSE(f->GetShowHeading());
  EXPECT_TRUE(f->GetShowLayerName());
  for (IGIS_Symbol* s :
       {f->GetTitleSymbol(), f->GetLabelSymbol(), f->GetHeadingSymbol(), f->GetLayerNameSymbol()}) {
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetType(), GIS_SYMBOL_TEXT);
  }
}

TEST(LegendFormat, StoredFormatReadsBackEveryValueIncludingTheGapsTheLayoutUses) {
  FormatPtr f(GIS_CreateLegendFormatObject());
  int n = 11;
  for (const IntValue& v : kIntValues) ((*f).*v.set)(n += 7);
  f->SetShowTitle(false);
  f->SetShowLabel(false);
  f->SetShowHeading(true);
  f->SetShowLayerName(false);
  f->GetLabelSymbol()->GetFontSizePtr()->lfHeight = -23;
  BufferPtr buffer(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(f->Save(buffer.get()));

  SetPtr set(GIS_CreatePropertySetObject());
  ASSERT_TRUE(set->Archive(buffer.get(), GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(set->GetCount(), 21);
  const char* order[] = {"ShowTitle",         "DefaultPatchHeight", "DefaultPatchWidth",
                         "HorizontalItemGap", "VerticalItemGap",    "TitleAndLegendGap",
                         "TitlePosition",     "DefaultAreaPatch",   "DefaultLinePatch",
                         "PatchAndLabelsGap", "TitleSymbol",        "ShowLabel",
                         "LabelSymbol",       "ShowLayerName",      "LayerNameSymbol",
                         "ShowHeading",       "HeadingSymbol",      "ItemGap",
                         "LayerNameGap",      "HeadingGap",         "LabelPosition"};
  int i = 0;
  for (IGIS_Field* field = set->GetFirstPosition(); field != nullptr; field = set->GetNext(field), ++i) {
    ASSERT_LT(i, 21);
    EXPECT_STREQ(field->GetLabel(), order[i]);
  }

  FormatPtr g(GIS_CreateLegendFormatObject());
  ASSERT_TRUE(g->Open(buffer.get()));
  for (const IntValue& v : kIntValues) EXPECT_EQ(((*g).*v.get)(), ((*f).*v.get)()) << v.name;
  EXPECT_FALSE(g->GetShowTitle());
  EXPECT_FALSE(g->GetShowLabel());
  EXPECT_TRUE(g->GetShowHeading());
  EXPECT_FALSE(g->GetShowLayerName());
  EXPECT_EQ(TextSize(g->GetLabelSymbol()), -23);
}

// Whatever became of a format since a write (its values or its symbols), the
// next write stores it as it is then, and a read of the first write gives
// back what was written.
TEST(LegendFormat, AReadOfWhatWasWrittenUndoesAnyChangeSince) {
  struct Row {
    std::string name;
    std::function<void(IGIS_LegendFormat*)> change;
  };
  std::vector<Row> rows = {
      {"nothing", [](IGIS_LegendFormat*) {}},
      {"font changed in place",
       [](IGIS_LegendFormat* f) { f->GetTitleSymbol()->GetFontSizePtr()->lfHeight = -99; }},
      {"symbol cleared", [](IGIS_LegendFormat* f) { f->SetLayerNameSymbolPtr(nullptr); }},
      {"symbol replaced",
       [](IGIS_LegendFormat* f) {
         md::basilo::ReleasePtr<IGIS_Symbol> other(
             GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
         other->GetFontSizePtr()->lfHeight = -5;
         f->SetHeadingSymbolPtr(other.get());
       }},
      {"ShowTitle", [](IGIS_LegendFormat* f) { f->SetShowTitle(!f->GetShowTitle()); }},
      {"ShowLabel", [](IGIS_LegendFormat* f) { f->SetShowLabel(!f->GetShowLabel()); }},
      {"ShowHeading", [](IGIS_LegendFormat* f) { f->SetShowHeading(!f->GetShowHeading()); }},
      {"ShowLayerName", [](IGIS_LegendFormat* f) { f->SetShowLayerName(!f->GetShowLayerName()); }},
      {"scaled", [](IGIS_LegendFormat* f) { f->Scale(2.0, 3.0); }},
      {"copied from another",
       [](IGIS_LegendFormat* f) {
         FormatPtr other(GIS_CreateLegendFormatObject());
         other->SetItemGap(77);
         f->CopyFrom(other.get());
       }},
  };
  for (const IntValue& v : kIntValues)
    rows.push_back({v.name, [&v](IGIS_LegendFormat* f) { ((*f).*v.set)(((*f).*v.get)() + 1); }});
  auto bytesOf = [](IGIS_LegendFormat* f) {
    BufferPtr b(GIS_CreateDataBufferObject(0));
    EXPECT_TRUE(f->Save(b.get()));
    return std::string(reinterpret_cast<char*>(b->GetData()), static_cast<std::size_t>(b->GetSize()));
  };
  for (const Row& row : rows) {
    FormatPtr f(GIS_CreateLegendFormatObject());
    f->GetTitleSymbol()->GetFontSizePtr()->lfHeight = -31;
    const std::string written = bytesOf(f.get());
    row.change(f.get());
    EXPECT_EQ(bytesOf(f.get()) != written, row.name != "nothing") << row.name;
    BufferPtr buffer(GIS_CreateDataBufferObject(static_cast<int>(written.size())));
    std::memcpy(buffer->GetData(), written.data(), written.size());
    ASSERT_TRUE(f->Open(buffer.get())) << row.name;
    for (const IntValue& v : kIntValues) EXPECT_EQ(((*f).*v.get)(), v.byDefault) << row.name << " " << v.name;
    EXPECT_EQ(TextSize(f->GetTitleSymbol()), -31) << row.name;
    ASSERT_NE(f->GetLayerNameSymbol(), nullptr) << row.name;
    EXPECT_EQ(bytesOf(f.get()), written) << row.name;
  }
}

TEST(LegendFormat, OlderStoredFormatsReadTheDefaultsOfTheNewerKeys) {
  // Only the patch width is stored, as an older layout might hold it.
  SetPtr set(GIS_CreatePropertySetObject());
  set->AddProperty("DefaultPatchWidth", "默认图例块的宽度", GIS_FIELD_TYPE_INT, 1)->SetInt(1234);
  BufferPtr buffer(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0));
  FormatPtr f(GIS_CreateLegendFormatObject());
  f->SetItemGap(77);
  FormatPtr reader(GIS_CreateLegendFormatObject());
  ASSERT_TRUE(reader->Open(buffer.get()));
  for (const IntValue& v : kIntValues) {
    EXPECT_EQ(((*reader).*v.get)(), std::strcmp(v.name, "DefaultPatchWidth") == 0 ? 1234 : v.byDefault)
        << v.name;
  }
}

TEST(LegendFormat, NullOrUnreadableBuffersAreRefused) {
  FormatPtr f(GIS_CreateLegendFormatObject());
  md::test::LogMark mark;
  EXPECT_FALSE(f->Save(nullptr));
  EXPECT_FALSE(f->Open(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendFormat::Save", "pDataBuffer == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendFormat::Open", "pDataBuffer为空"));
  BufferPtr junk(GIS_CreateDataBufferObject(0));
  junk->SetSize(9);
  std::memcpy(junk->GetData(), "not a set", 9);
  f->SetDefaultPatchWidth(55);
  EXPECT_FALSE(f->Open(junk.get()));
  EXPECT_EQ(f->GetDefaultPatchWidth(), 55);
}

struct ScaleRow {
  const char* name;
  double sx, sy;
  int gap;  // VerticalItemGap before
  int patchHeight, patchWidth, gapAfter, textSize;
};
const ScaleRow kScaleRows[] = {
    {"doubles by the smaller factor", 2.0, 3.0, 500, 2000, 4000, 1000, -20},
    {"a negative factor changes nothing", 0.5, -1.0, 500, 1000, 2000, 500, -10},
    {"half of 5 rounds away from zero", 0.5, 0.7, 5, 500, 1000, 3, -5},
    {"half of -5 rounds away from zero", 0.5, 0.5, -5, 500, 1000, -3, -5},
    {"a factor that is not a number changes nothing", std::nan(""), 2.0, 500, 1000, 2000, 500, -10},
};

TEST(LegendFormat, ScaleTakesTheSmallerFactorAndRoundsHalfAwayFromZero) {
  for (const ScaleRow& row : kScaleRows) {
    FormatPtr f(GIS_CreateLegendFormatObject());
    f->SetVerticalItemGap(row.gap);
    f->Scale(row.sx, row.sy);
    EXPECT_EQ(f->GetDefaultPatchHeight(), row.patchHeight) << row.name;
    EXPECT_EQ(f->GetDefaultPatchWidth(), row.patchWidth) << row.name;
    EXPECT_EQ(f->GetVerticalItemGap(), row.gapAfter) << row.name;
    EXPECT_EQ(f->GetTitlePosition(), 100) << row.name;
    EXPECT_EQ(f->GetLabelPosition(), 0) << row.name;
    EXPECT_EQ(TextSize(f->GetTitleSymbol()), row.textSize) << row.name;
    EXPECT_EQ(TextSize(f->GetLabelSymbol()), row.textSize) << row.name;
  }
}

TEST(LegendFormat, SymbolSettersKeepCopiesAndNullClears) {
  FormatPtr f(GIS_CreateLegendFormatObject());
  IGIS_Symbol* held = f->GetLabelSymbol();
  f->SetLabelSymbolPtr(held);
  EXPECT_EQ(f->GetLabelSymbol(), held);

  md::basilo::ReleasePtr<IGIS_Symbol> mine(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  mine->GetFontSizePtr()->lfHeight = -33;
  f->SetTitleSymbolPtr(mine.get());
  EXPECT_NE(f->GetTitleSymbol(), mine.get());
  mine->GetFontSizePtr()->lfHeight = -1;
  EXPECT_EQ(TextSize(f->GetTitleSymbol()), -33);

  md::test::LogMark mark;
  f->SetLabelSymbolPtr(nullptr);
  EXPECT_EQ(f->GetLabelSymbol(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendFormat::SetLabelSymbolPtr", "pLabelSymbol == NULL"));
}

TEST(LegendFormat, CopiesAndClonesOwnTheirSymbols) {
  FormatPtr f(GIS_CreateLegendFormatObject());
  EXPECT_EQ(f->CopyFrom(f.get()), f.get());
  f->SetItemGap(901);
  f->GetTitleSymbol()->GetFontSizePtr()->lfHeight = -17;
  FormatPtr c(f->Clone());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->GetItemGap(), 901);
  EXPECT_NE(c->GetTitleSymbol(), f->GetTitleSymbol());
  f->SetTitleSymbolPtr(nullptr);
  EXPECT_EQ(TextSize(c->GetTitleSymbol()), -17);
  FormatPtr d(GIS_CreateLegendFormatObject());
  d->CopyFrom(c.get());
  EXPECT_EQ(d->GetItemGap(), 901);
  EXPECT_EQ(TextSize(d->GetTitleSymbol()), -17);
}

}  // namespace
