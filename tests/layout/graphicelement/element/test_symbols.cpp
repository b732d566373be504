// Symbols read back from fields, and texts drawn through the drawer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/propertyset_codec.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "platform/canvas/recording.h"
#include "platform/win/cdc.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

using md::test::LogMark;

class SymbolFields : public ::testing::Test {
 protected:
  void SetUp() override { set_.reset(GIS_CreatePropertySetObject()); }
  IGIS_Field* BufferField(const char* key) { return set_->AddProperty(key, key, 16, 1); }
  // The set stored, its fields read in place (kept in bytes_).
  std::vector<md::basilo::StoredFieldView> Stored() {
    md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
    EXPECT_TRUE(set_->Archive(out.get(), GIS_ARCHIVE_WRITE, 0));
    bytes_.assign(out->GetData(), out->GetData() + out->GetSize());
    std::vector<md::basilo::StoredFieldView> fields;
    std::string error;
    EXPECT_TRUE(md::basilo::DecodePropertySetViews(bytes_.data(), bytes_.size(), &fields, &error)) << error;
    return fields;
  }
  static const md::basilo::StoredFieldView* Of(const std::vector<md::basilo::StoredFieldView>& fields,
                                               std::string_view key) {
    for (const auto& f : fields)
      if (f.key == key) return &f;
    return nullptr;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> set_;
  std::vector<BYTE> bytes_;
};

TEST_F(SymbolFields, ASavedSymbolReadsBackAsANewObject) {
  IGIS_Symbol* line = GIS_GetSymbolFactoryObject()->CreateSymbol(9);
  ASSERT_NE(line, nullptr);
  line->SetColor(RGB(12, 34, 56));
  IGIS_Field* field = BufferField("LineSymbol");
  ASSERT_TRUE(line->Save(field->GetDataBuffer()));
  IGIS_Symbol* back = GetSymbolFromField(field);
  ASSERT_NE(back, nullptr);
  EXPECT_NE(back, line);
  EXPECT_EQ(back->GetType(), 9);
  EXPECT_EQ(back->GetColor(), RGB(12, 34, 56));
  back->Release();
  line->Release();

  IGIS_SymbolV2* fill = GIS_GetSymbol2FactoryObject()->CreateSymbol(2);
  ASSERT_NE(fill, nullptr);
  fill->SetColor(RGB(1, 2, 3));
  IGIS_Field* field2 = BufferField("Back");
  ASSERT_TRUE(fill->Save(field2->GetDataBuffer(), FALSE));
  IGIS_SymbolV2* back2 = GetSymbol2FromField(field2);
  ASSERT_NE(back2, nullptr);
  EXPECT_EQ(back2->GetKind(), 2);
  EXPECT_EQ(back2->GetColor(), RGB(1, 2, 3));
  back2->Release();

  // Read in place from the stored set, the same symbols come back.
  const std::vector<md::basilo::StoredFieldView> stored = Stored();
  md::basilo::ReleasePtr<IGIS_Symbol> inPlace(GetSymbolFromStored(Of(stored, "LineSymbol"), "LineSymbol"));
  ASSERT_NE(inPlace, nullptr);
  EXPECT_EQ(inPlace->GetType(), 9);
  EXPECT_EQ(inPlace->GetColor(), RGB(12, 34, 56));
  md::basilo::ReleasePtr<IGIS_SymbolV2> inPlace2(GetSymbol2FromStored(Of(stored, "Back"), "Back"));
  ASSERT_NE(inPlace2, nullptr);
  EXPECT_EQ(inPlace2->GetKind(), 2);
  EXPECT_EQ(inPlace2->GetColor(), RGB(1, 2, 3));
  fill->Release();
}

TEST_F(SymbolFields, EveryMissingPieceGivesNullWithItsRecord) {
  struct Case {
    const char* what;
    IGIS_Field* field;
    std::string text;
  };
  IGIS_Field* number = set_->AddProperty("Width", "w", 1, 1);
  number->SetInt(5);
  IGIS_Field* empty = BufferField("EmptySymbol");
  IGIS_Field* garbage = BufferField("Garbage");
  IGIS_DataBuffer* b = garbage->GetDataBuffer();
  ASSERT_TRUE(b->SetSize(7));
  std::memcpy(b->GetData(), "garbage", 7);
  const Case cases[] = {
      {"no field", nullptr, "p_field == NULL"},
      {"no buffer", number, "p_buffer == NULL"},
      {"empty buffer", empty, "EmptySymbol, p_buffer->GetBufferPtr() == NULL "},
      {"damaged bytes", garbage, "p_symbol == NULL"},
  };
  const std::vector<md::basilo::StoredFieldView> stored = Stored();
  for (const Case& c : cases) {
    // The same fields read in place give the same answers and records.
    const md::basilo::StoredFieldView* view = c.field != nullptr ? Of(stored, c.field->GetLabel()) : nullptr;
    ASSERT_EQ(view == nullptr, c.field == nullptr) << c.what;
    const char* key = c.field != nullptr ? c.field->GetLabel() : "";
    {
      LogMark log;
      EXPECT_EQ(GetSymbolFromStored(view, key), nullptr) << c.what;
      EXPECT_TRUE(log.Has(4, "GetSymbolFromField", c.text)) << c.what;
    }
    {
      LogMark log;
      EXPECT_EQ(GetSymbol2FromStored(view, key), nullptr) << c.what;
      EXPECT_TRUE(log.Has(4, "GetSymbol2FromField", c.text)) << c.what;
    }
    {
      LogMark log;
      EXPECT_EQ(GetSymbolFromField(c.field), nullptr) << c.what;
      EXPECT_TRUE(log.Has(4, "GetSymbolFromField", c.text)) << c.what;
    }
    {
      LogMark log;
      EXPECT_EQ(GetSymbol2FromField(c.field), nullptr) << c.what;
      EXPECT_TRUE(log.Has(4, "GetSymbol2FromField", c.text)) << c.what;
    }
  }
}

// A drawer that keeps what it was asked to draw.
class KeepingDrawer : public IGIS_AnnoDrawer {
 public:
  struct Call {
    BOOL print;
    double ratio;
    std::string text;
    int count;
  };
  BOOL Draw(CDC*, BOOL print, double ratio, IGIS_AnnoPointStyle*, const char* text, const SGIS_Point*,
            int count) override {
    calls.push_back({print, ratio, text ? text : "", count});
    return TRUE;
  }
  BOOL DrawTextOnPath(CDC*, BYTE, double, IGIS_AnnoPointStyle*, const char*, const SGIS_Point*,
                      int) override {
    return FALSE;
  }
  std::vector<Call> calls;
};

// A page whose unit ratio is given, released at the end.
struct RatioPage {
  explicit RatioPage(double dRatio) : set(GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr)) {
    EXPECT_TRUE(set->SetUnitRatio(dRatio));
  }
  ~RatioPage() { set->Release(); }
  IGIS_FeatureSet* set;
};

// The drawer draws one symbol unit as one point: the ratio it is given takes
// the page's unit ratio over that size, and printing starts from the view's
// symbol ratio.
TEST(TextDrawing, TheDrawersRatioTakesThePagesUnitRatio) {
  const struct {
    double unitRatio;
    double screen;  // the ratio handed to the drawer on the screen (0.75 given)
    double print;   // and while printing (the view's 2.5)
  } rows[] = {
      {GIS_SYMBOL_UNIT_PAGE_RATIO, 0.75, 2.5},
      {10.0, 0.75 * 10.0 / GIS_SYMBOL_UNIT_PAGE_RATIO, 2.5 * 10.0 / GIS_SYMBOL_UNIT_PAGE_RATIO},
      {1.0, 0.75 / GIS_SYMBOL_UNIT_PAGE_RATIO, 2.5 / GIS_SYMBOL_UNIT_PAGE_RATIO},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.unitRatio);
    md::canvas::RecordingCanvas screen(200, 100);
    HDC hdc = md::win::CreateScreenDC(&screen, 96, &md::text::FixedMetricsEngine());
    CGIS_ScreenDisplay display(hdc);
    display.GetPageView()->SetSymbolRatio(2.5);
    RatioPage page(row.unitRatio);
    KeepingDrawer drawer;
    const SGIS_Point at(10, 10);
    CDC* pDC = CDC::FromHandle(hdc);
    DrawWithDrawer(&drawer, &display, pDC, false, 0.75, nullptr, "screen", &at, 1, page.set);
    DrawWithDrawer(&drawer, &display, pDC, true, 0.75, nullptr, "print", &at, 1, page.set);
    DrawWithDrawer(&drawer, nullptr, pDC, false, 0.75, nullptr, "no display", &at, 1, page.set);
    DrawWithDrawer(nullptr, &display, pDC, false, 0.75, nullptr, "no drawer", &at, 1, page.set);
    ASSERT_EQ(drawer.calls.size(), 2u);
    EXPECT_EQ(drawer.calls[0].text, "screen");
    EXPECT_DOUBLE_EQ(drawer.calls[0].ratio, row.screen);
    EXPECT_FALSE(drawer.calls[0].print);
    EXPECT_EQ(drawer.calls[1].text, "print");
    EXPECT_DOUBLE_EQ(drawer.calls[1].ratio, row.print);
    EXPECT_TRUE(drawer.calls[1].print);
    DeleteDC(hdc);
  }
}

// Point and text symbols take the page's unit ratio in their drawing scale;
// line and fill symbols, measured in millimetres, keep it. At the default
// ratio every scale stays exactly as given.
TEST(TextDrawing, PointAndTextSymbolsTakeThePagesUnitRatio) {
  const struct {
    int type;
    double unitRatio;
    double scale;  // of 0.5
  } rows[] = {
      {GIS_SYMBOL_POINT, GIS_SYMBOL_UNIT_PAGE_RATIO, 0.5},
      {GIS_SYMBOL_POINT5, 10.0, 5.0 / GIS_SYMBOL_UNIT_PAGE_RATIO},
      {GIS_SYMBOL_POINT7, 1.0, 0.5 / GIS_SYMBOL_UNIT_PAGE_RATIO},
      {GIS_SYMBOL_TEXT, 10.0, 5.0 / GIS_SYMBOL_UNIT_PAGE_RATIO},
      {GIS_SYMBOL_LINE, 10.0, 0.5},
      {GIS_SYMBOL_FILL, 1.0, 0.5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.type << " at " << row.unitRatio);
    RatioPage page(row.unitRatio);
    md::basilo::ReleasePtr<IGIS_Symbol> symbol(GIS_GetSymbolFactoryObject()->CreateSymbol(row.type));
    ASSERT_TRUE(symbol);
    EXPECT_DOUBLE_EQ(md::layout::SymbolDrawScale(symbol.get(), 0.5, page.set), row.scale);
    EXPECT_DOUBLE_EQ(md::layout::SymbolUnitRatio(page.set), row.unitRatio);
  }
  EXPECT_EQ(md::layout::SymbolDrawFactor(RatioPage(GIS_SYMBOL_UNIT_PAGE_RATIO).set), 1.0);
}

TEST(TextDrawing, TheHostDrawerPutsTheTextOnTheContext) {
  md::canvas::RecordingCanvas screen(400, 200);
  GIS_SetSymbolTextEngine("fixed");
  HDC hdc = md::win::CreateScreenDC(&screen, 96, &md::text::FixedMetricsEngine());
  CGIS_ScreenDisplay display(hdc);
  IGIS_AnnoStyleSet* styles = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1);
  ASSERT_NE(styles, nullptr);
  IGIS_AnnoPointStyle* style = styles->GetPointStyle();
  ASSERT_NE(style, nullptr);
  const SGIS_Point at(100, 100);
  DrawWithDrawer(GIS_GetAnnotationDrawerObject(), &display, CDC::FromHandle(hdc), false, 1.0, style, "图名",
                 &at, 1, RatioPage(GIS_SYMBOL_UNIT_PAGE_RATIO).set);
  const auto texts = screen.recordsOf(md::canvas::Record::Type::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text.text, "图名");
  style->Release();
  DeleteDC(hdc);
  GIS_SetSymbolTextEngine("freetype");
}

}  // namespace
