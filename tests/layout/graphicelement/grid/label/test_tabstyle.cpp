// The index tab styles' common part: defaults (the zero text offsets, the
// sides shown and the text symbol are pinned by the drawing tests), symbol
// setters, the stored keys and their reading, the two copies, the sheet seam
// and what drawing and conversion need: a grid, symbols, capped counts.
#include <algorithm>
#include <string>
#include <vector>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/label/cgis_indexgridtabstylebase.h"
#include "layout/graphicelement/grid/label/igis_indexbackgroundtabstyle.h"
#include "layout/graphicelement/grid/label/labelsheet.h"
#include "tests/layout/graphicelement/grid/label/tabtest.h"
#include "tests/support/recordedtexts.h"

namespace md::test {
namespace {

using md::layout::label::IndexTabStyleState;

const IndexTabStyleState& StateOf(IGIS_IndexGridTabStyle* style) {
  return dynamic_cast<const IndexTabStyleState&>(*style);
}

const char* NameOf(int type) {
  return type == GIS_GRIDLABEL_INDEX_BACKGROUND ? "CGIS_IndexBackGroundTabStyle"
         : type == GIS_GRIDLABEL_INDEX_BOTTON   ? "CGIS_IndexBottonTabStyle"
         : type == GIS_GRIDLABEL_INDEX_ROUNDED  ? "CGIS_IndexRoundedTabStyle"
                                                : "CGIS_IndexContinuousTabStyle";
}

ReleasePtr<IGIS_Symbol> NewSymbol(int type, COLORREF colour) {
  ReleasePtr<IGIS_Symbol> s(GIS_GetSymbolFactoryObject()->CreateSymbol(type));
  s->SetColor(colour);
  return s;
}
ReleasePtr<IGIS_Symbol> NewFill(COLORREF colour) { return NewSymbol(GIS_SYMBOL_FILL, colour); }
ReleasePtr<IGIS_Symbol> NewLine(COLORREF colour) { return NewSymbol(GIS_SYMBOL_LINE, colour); }

TEST(TabStyle, EveryStyleStartsWithTheTabDefaults) {
  for (int type : kTabTypes) {
    TabStylePtr style = NewTabStyle(type);
    ASSERT_NE(style, nullptr) << type;
    EXPECT_EQ(style->GetType(), type);
    EXPECT_TRUE(style->IsIndexTabStyle());
    EXPECT_FALSE(style->GetInside());
    EXPECT_EQ(style->GetThickness(), 200);
    EXPECT_EQ(StateOf(style.get()).GetStoredOffsetX(), 100);
    EXPECT_EQ(StateOf(style.get()).GetStoredOffsetY(), 100);
    EXPECT_EQ(style->GetLabelOffset(), 200);
    ASSERT_NE(style->GetForegroundSymbolPtr(), nullptr);
    EXPECT_EQ(style->GetForegroundSymbolPtr()->GetType(), GIS_SYMBOL_FILL);
    EXPECT_EQ(style->GetForegroundSymbolPtr()->GetStyleCode(), 3361);
    ASSERT_NE(style->GetOutLineSymbolPtr(), nullptr);
    EXPECT_EQ(style->GetOutLineSymbolPtr()->GetType(), GIS_SYMBOL_LINE);
    EXPECT_EQ(style->GetOutLineSymbolPtr()->GetStyleCode(), 3331);
  }
  // The background style's shape, round, is pinned by its page opening on it.
}

TEST(TabStyle, SymbolSettersKeepCopiesAndNullLeavesNone) {
  TabStylePtr style = NewTabStyle(GIS_GRIDLABEL_INDEX_CONTINUOUS);
  ReleasePtr<IGIS_Symbol> fill = NewFill(RGB(1, 2, 3));
  ReleasePtr<IGIS_Symbol> line = NewLine(RGB(4, 5, 6));
  LogMark mark;
  style->SetForegroundSymbolPtr(fill.get());
  style->SetOutLineSymbolPtr(line.get());
  EXPECT_NE(style->GetForegroundSymbolPtr(), fill.get());
  EXPECT_EQ(style->GetForegroundSymbolPtr()->GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(style->GetOutLineSymbolPtr()->GetColor(), RGB(4, 5, 6));
  IGIS_Symbol* held = style->GetForegroundSymbolPtr();
  style->SetForegroundSymbolPtr(held);
  EXPECT_EQ(style->GetForegroundSymbolPtr(), held);
  EXPECT_EQ(mark.Count(), 0u);
  style->SetForegroundSymbolPtr(nullptr);
  style->SetOutLineSymbolPtr(nullptr);
  EXPECT_EQ(style->GetForegroundSymbolPtr(), nullptr);
  EXPECT_EQ(style->GetOutLineSymbolPtr(), nullptr);
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "IGIS_IndexGridTabStyle::SetForegroundSymbolPtr",
                       "m_pForegroundSymbol == NULL"),
            1);
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "IGIS_IndexGridTabStyle::SetOutLineSymbolPtr", "left == NULL"),
            1);
}

TEST(TabStyle, StoresItsKeysBeforeTheCommonOnesAndReadsThemBack) {
  const std::vector<std::string> tabKeys = {"bInside",  "dThickness",       "dOffsetX",
                                            "dOffsetY", "ForegroundSymbol", "OutLineSymbol"};
  for (int type : kTabTypes) {
    TabStylePtr style = NewTabStyle(type);
    style->SetInside(true);
    style->SetThickness(345);
    style->SetForegroundSymbolPtr(NewFill(RGB(9, 8, 7)).get());
    style->SetLabelAlignment(true, false, false, true);
    style->SetLabelOffsetX(1, 2, 3, 4);
    if (auto* b = dynamic_cast<IGIS_IndexBackGroundTabStyle*>(style.get())) b->SetBackgroundType(2);
    const std::vector<BYTE> bytes = Stored(style.get());
    std::vector<std::string> expected = tabKeys;
    if (type == GIS_GRIDLABEL_INDEX_BACKGROUND) expected.insert(expected.begin() + 4, "BackgroundType");
    const std::vector<std::string> keys = KeysOf(bytes);
    ASSERT_GT(keys.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + expected.size()), expected) << type;
    EXPECT_EQ(keys[expected.size()], "LeftLabelAlignment");

    // The factory rebuilds the style from its bytes, every value with it.
    BufferPtr b = BufferOf(bytes);
    ReleasePtr<IGIS_GridLabel> rebuilt(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(b.get()));
    ASSERT_NE(rebuilt, nullptr);
    auto* read = dynamic_cast<IGIS_IndexGridTabStyle*>(rebuilt.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetType(), type);
    EXPECT_TRUE(read->GetInside());
    EXPECT_EQ(read->GetThickness(), 345);
    EXPECT_EQ(read->GetForegroundSymbolPtr()->GetColor(), RGB(9, 8, 7));
    EXPECT_EQ(Stored(read), bytes) << type;
  }
}

TEST(TabStyle, ReadsWhatASetHoldsAndRefusesWhatItCannotRead) {
  BufferPtr offsetOnly = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "dOffsetX", 37); });
  // Both symbols stored empty: the style that wrote them had none.
  TabStylePtr bare = NewTabStyle(GIS_GRIDLABEL_INDEX_BOTTON);
  bare->SetForegroundSymbolPtr(nullptr);
  bare->SetOutLineSymbolPtr(nullptr);
  BufferPtr noSymbols = BufferOf(Stored(bare.get()));
  // A line symbol under the fill key, a fill under the outline key.
  BufferPtr swapped = BufferWith([](IGIS_PropertySet* s) {
    NewLine(RGB(1, 1, 1))
        ->Save(s->AddProperty("ForegroundSymbol", "ForegroundSymbol", GIS_FIELD_TYPE_BUFFER, 1)
                   ->GetDataBuffer());
    NewFill(RGB(1, 1, 1))
        ->Save(s->AddProperty("OutLineSymbol", "OutLineSymbol", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer());
  });
  BufferPtr junk = BufferOf({1, 2, 3, 4, 5, 6});
  const struct {
    const char* what;
    IGIS_DataBuffer* buffer;
    bool ok;
    int offsetX;
    bool fill, outline;
    bool sameFill;     // the fill held before stays
    const char* text;  // the record, or NULL
  } rows[] = {
      {"dOffsetX alone", offsetOnly.get(), true, 37, true, true, true, nullptr},
      {"symbols stored empty", noSymbols.get(), true, 100, false, false, false, nullptr},
      {"symbols of the other kind", swapped.get(), true, 100, true, true, true, nullptr},
      {"NULL buffer", nullptr, false, 100, true, true, true, "pDataBuffer为空"},
      {"unreadable bytes", junk.get(), false, 100, true, true, true, "b_ret == NULL"},
  };
  for (const auto& r : rows) {
    TabStylePtr style = NewTabStyle(GIS_GRIDLABEL_INDEX_BOTTON);
    IGIS_Symbol* fill = style->GetForegroundSymbolPtr();
    const std::vector<BYTE> before = Stored(style.get());
    LogMark mark;
    EXPECT_EQ(style->Open(r.buffer), r.ok) << r.what;
    EXPECT_EQ(StateOf(style.get()).GetStoredOffsetX(), r.offsetX) << r.what;
    EXPECT_EQ(style->GetForegroundSymbolPtr() != nullptr, r.fill) << r.what;
    EXPECT_EQ(style->GetOutLineSymbolPtr() != nullptr, r.outline) << r.what;
    if (r.text != nullptr) {
      EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "IGIS_IndexGridTabStyle::Open", r.text), 1) << r.what;
      EXPECT_EQ(Stored(style.get()), before) << r.what;
    }
    if (r.sameFill) {
      EXPECT_EQ(style->GetForegroundSymbolPtr(), fill) << r.what;
    }
  }
  // Nothing is written into a NULL buffer, and that is said.
  TabStylePtr style = NewTabStyle(GIS_GRIDLABEL_INDEX_ROUNDED);
  LogMark mark;
  EXPECT_FALSE(style->Save(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "IGIS_IndexGridTabStyle::Save", "pDataBuffer == NULL"));
}

TEST(TabStyle, BackgroundTypeIsRangeCheckedWhenSetButReadAsStored) {
  TabStylePtr style = NewTabStyle(GIS_GRIDLABEL_INDEX_BACKGROUND);
  auto* b = dynamic_cast<IGIS_IndexBackGroundTabStyle*>(style.get());
  ASSERT_NE(b, nullptr);
  const struct {
    int set;
    int got;
  } rows[] = {{1, 1}, {3, 1}, {-1, 1}, {2, 2}, {0, 0}};
  for (const auto& r : rows) {
    b->SetBackgroundType(r.set);
    EXPECT_EQ(b->GetBackgroundType(), r.got) << r.set;
  }
  BufferPtr three = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "BackgroundType", 3); });
  EXPECT_TRUE(b->Open(three.get()));
  EXPECT_EQ(b->GetBackgroundType(), 3);
  // Copies and clones take it.
  ReleasePtr<IGIS_GridLabel> clone(b->Clone());
  auto* copy = dynamic_cast<IGIS_IndexBackGroundTabStyle*>(clone.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetBackgroundType(), 3);
  b->SetBackgroundType(1);
  copy->Copy(b);
  EXPECT_EQ(copy->GetBackgroundType(), 1);
}

TEST(TabStyle, TheCommonCopyTakesNoTabFieldTheTabCopyTakesThemAll) {
  TabStylePtr source = NewTabStyle(GIS_GRIDLABEL_INDEX_ROUNDED);
  source->SetInside(true);
  source->SetThickness(777);
  source->SetForegroundSymbolPtr(NewFill(RGB(10, 20, 30)).get());
  source->SetOutLineSymbolPtr(nullptr);
  dynamic_cast<IndexTabStyleState&>(*source).SetStoredOffsets(11, 12);
  source->SetLabelOffsetX(5, 6, 7, 8);
  source->SetLabelAlignment(false, true, false, true);

  TabStylePtr common = NewTabStyle(GIS_GRIDLABEL_INDEX_CONTINUOUS);
  common->CopyFrom(static_cast<IGIS_GridLabel*>(source.get()));
  int left = 0, right = 0, top = 0, bottom = 0;
  common->GetLabelOffsetX(&left, &right, &top, &bottom);
  EXPECT_EQ(bottom, 8);
  EXPECT_FALSE(common->GetInside());
  EXPECT_EQ(common->GetThickness(), 200);
  EXPECT_EQ(StateOf(common.get()).GetStoredOffsetX(), 100);
  EXPECT_EQ(common->GetForegroundSymbolPtr()->GetStyleCode(), 3361);
  EXPECT_NE(common->GetOutLineSymbolPtr(), nullptr);

  TabStylePtr all = NewTabStyle(GIS_GRIDLABEL_INDEX_CONTINUOUS);
  all->CopyFrom(source.get());
  EXPECT_TRUE(all->GetInside());
  EXPECT_EQ(all->GetThickness(), 777);
  EXPECT_EQ(StateOf(all.get()).GetStoredOffsetX(), 11);
  EXPECT_EQ(StateOf(all.get()).GetStoredOffsetY(), 12);
  ASSERT_NE(all->GetForegroundSymbolPtr(), nullptr);
  EXPECT_NE(all->GetForegroundSymbolPtr(), source->GetForegroundSymbolPtr());
  EXPECT_EQ(all->GetForegroundSymbolPtr()->GetColor(), RGB(10, 20, 30));
  EXPECT_EQ(all->GetOutLineSymbolPtr(), nullptr);
  all->GetLabelOffsetX(&left, &right, &top, &bottom);
  EXPECT_EQ(left, 5);
  // Its own copies: the source may go.
  source.reset();
  EXPECT_EQ(all->GetForegroundSymbolPtr()->GetColor(), RGB(10, 20, 30));
  // A clone is the tab copy into a new style of the same type.
  ReleasePtr<IGIS_GridLabel> clone(all->Clone());
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetType(), GIS_GRIDLABEL_INDEX_CONTINUOUS);
  EXPECT_EQ(Stored(clone.get()), Stored(all.get()));
}

// ---- The sheet seam

bool EditThenCancel(IGIS_GridLabel* pLabel) {
  auto* style = dynamic_cast<IGIS_IndexGridTabStyle*>(pLabel);
  style->SetInside(true);
  style->SetThickness(999);
  style->SetForegroundSymbolPtr(nullptr);
  style->SetOutLineSymbolPtr(NewLine(RGB(0, 200, 0)).get());
  style->SetTextSymbolPtr(nullptr);
  if (auto* b = dynamic_cast<IGIS_IndexBackGroundTabStyle*>(pLabel)) b->SetBackgroundType(2);
  return false;
}
bool EditThenConfirm(IGIS_GridLabel* pLabel) {
  EditThenCancel(pLabel);
  return true;
}

TEST(TabStyle, TheSheetLeavesTheStyleAsItWasUnlessConfirmed) {
  for (int type : kTabTypes) {
    const auto previous = md::layout::label::SetLabelSheetRunner(type, nullptr);
    TabStylePtr style = NewTabStyle(type);
    style->SetForegroundSymbolPtr(NewFill(RGB(40, 50, 60)).get());
    const std::vector<BYTE> before = Stored(style.get());
    EXPECT_FALSE(style->OnOpenPropertyDlg()) << type;  // no sheet installed: nothing happens
    EXPECT_EQ(Stored(style.get()), before);

    md::layout::label::SetLabelSheetRunner(type, &EditThenCancel);
    EXPECT_FALSE(style->OnOpenPropertyDlg()) << type;
    EXPECT_EQ(Stored(style.get()), before) << type;
    ASSERT_NE(style->GetForegroundSymbolPtr(), nullptr);
    EXPECT_EQ(style->GetForegroundSymbolPtr()->GetColor(), RGB(40, 50, 60));
    EXPECT_NE(style->GetOutLineSymbolPtr()->GetColor(), RGB(0, 200, 0));
    EXPECT_NE(style->GetTextSymbolPtr(), nullptr);

    md::layout::label::SetLabelSheetRunner(type, &EditThenConfirm);
    EXPECT_TRUE(style->OnOpenPropertyDlg()) << type;
    EXPECT_EQ(style->GetThickness(), 999);
    EXPECT_EQ(style->GetForegroundSymbolPtr(), nullptr);
    md::layout::label::SetLabelSheetRunner(type, previous);
  }
}

// ---- What drawing and conversion need

class TabStyleChecks : public TabPage {};

TEST_F(TabStyleChecks, WithoutAnIndexGridInAFrameOfAPageNothingIsDrawnOrConverted) {
  ReleasePtr<IndexGridDouble> other(new IndexGridDouble(GIS_MAPGRID_MEASURE));
  other->SetMapElement(frame_);
  ReleasePtr<IndexGridDouble> frameless(new IndexGridDouble());
  CGIS_MapElement* unowned = new CGIS_MapElement(nullptr, nullptr);
  ReleasePtr<IndexGridDouble> pageless(new IndexGridDouble());
  pageless->SetMapElement(unowned);
  const struct {
    const char* what;
    IGIS_MapGrid* grid;
    const char* drawText;     // NULL: no record
    const char* convertText;  // NULL: no record
  } rows[] = {
      {"not bound", nullptr, nullptr, nullptr},
      {"not an index grid", other.get(), "pMapGrid->GetType( == NULL", "pMapGrid->GetType( == NULL"},
      {"no map frame", frameless.get(), "p_indexgrid->GetMapElement( == NULL", "p_mapelement== NULL "},
      {"a frame of no page", pageless.get(), "p_graphicLayer== NULL ", "p_graphicLayer== NULL "},
  };
  for (int type : kTabTypes) {
    for (const auto& r : rows) {
      TabStylePtr style = NewTabStyle(type);
      style->SetMapGrid(r.grid);
      const std::string name = NameOf(type);
      LabelPrinter printer;
      LogMark mark;
      EXPECT_FALSE(style->OnDraw(printer.hdc, true, printer.display.get())) << r.what;
      EXPECT_TRUE(printer.canvas.records().empty()) << r.what;
      EXPECT_EQ(style->ConvertToElement(), nullptr) << r.what;
      if (r.drawText == nullptr) {
        EXPECT_EQ(mark.Count(), 0u) << r.what;
        continue;
      }
      EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, name + "::OnDraw", r.drawText), 1) << type << " " << r.what;
      EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, name + "::ConvertToElement", r.convertText), 1)
          << type << " " << r.what;
    }
  }
  unowned->Release();
}

// Without symbols only the texts are drawn and converted; without a text
// symbol only the tabs, with a record, and no texts' compound; with every
// side hidden the tabs are drawn on all four sides and no text is written.
TEST_F(TabStyleChecks, MissingSymbolsLeaveOutTheTabsOrTheTextsHiddenSidesTheTexts) {
  const struct {
    const char* what;
    bool symbols, textSymbol, sides;  // the tabs come with the symbols
    int texts;                        // -1: no texts' compound
  } rows[] = {
      {"no symbols", false, true, true, 14},
      {"no text symbol", true, false, true, -1},
      {"no side shown", true, true, false, 0},
  };
  grid_->columns = 4;
  grid_->rows = 3;
  for (int type : kTabTypes) {
    for (const auto& r : rows) {
      SCOPED_TRACE(std::to_string(type) + " " + r.what);
      TabStylePtr style = BoundStyle(type);
      if (!r.symbols) {
        style->SetForegroundSymbolPtr(nullptr);
        style->SetOutLineSymbolPtr(nullptr);
      }
      if (!r.textSymbol) style->SetTextSymbolPtr(nullptr);
      dynamic_cast<md::layout::label::GridLabelState&>(*style).SetLabelVisible(r.sides, r.sides, r.sides,
                                                                               r.sides);
      LabelPrinter printer;
      LogMark mark;
      ASSERT_TRUE(Draw(style.get(), &printer));
      const std::size_t rings = Rings(style.get()).size();
      EXPECT_EQ(PaintedRingsOf(printer.canvas).size(), r.symbols ? 2 * rings : 0u);
      EXPECT_EQ(TextsOf(printer.canvas).size(), static_cast<std::size_t>(std::max(r.texts, 0)));
      IGIS_CompoundElement* compound = dynamic_cast<IGIS_CompoundElement*>(style->ConvertToElement());
      ASSERT_NE(compound, nullptr);
      const int textsCompound = r.texts < 0 ? 0 : 1;
      ASSERT_EQ(compound->GetElementCount(), static_cast<int>(r.symbols ? 2 * rings : 0) + textsCompound);
      if (textsCompound == 1) {
        auto* texts = dynamic_cast<IGIS_CompoundElement*>(
            compound->GetElementPtrByIndex(compound->GetElementCount() - 1));
        ASSERT_NE(texts, nullptr);
        EXPECT_EQ(texts->GetElementCount(), r.texts);
      }
      const int records = r.textSymbol ? 0 : 1;
      EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "IGIS_IndexGridTabStyle::ConvertToElement",
                           "m_pTextSymbol == NULL"),
                records);
      EXPECT_EQ(
          mark.Count(GIS_LOG_LEVEL_CHECK, std::string(NameOf(type)) + "::OnDraw", "m_pTextSymbol == NULL"),
          records);
      DropCompound(compound);
    }
  }
}

TEST_F(TabStyleChecks, CountsBeyondTheCapDrawAndConvertTheCappedTabsWithARecord) {
  grid_->columns = 50000;
  grid_->rows = 1;
  TabStylePtr style = BoundStyle(GIS_GRIDLABEL_INDEX_BOTTON);
  style->SetTextSymbolPtr(nullptr);
  LabelPrinter printer;
  LogMark mark;
  EXPECT_TRUE(Draw(style.get(), &printer));
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_IndexBottonTabStyle::OnDraw", "tabs capped at 10000"), 1);
  // A fill and an outline for each of the 2 x 10000 + 2 tabs.
  EXPECT_EQ(PaintedRingsOf(printer.canvas).size(), 2u * (20000u + 2u));
  IGIS_Element* converted = style->ConvertToElement();
  EXPECT_EQ(
      mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_IndexBottonTabStyle::ConvertToElement", "tabs capped at 10000"),
      1);
  DropCompound(dynamic_cast<IGIS_CompoundElement*>(converted));
}

}  // namespace
}  // namespace md::test
