// The bodies of the double alternating, hollow, straight and stepped bars at
// two map scales, and the rulers of the terra and topographic bars: where
// their cells, lines, marks and numbers lie, and what drawing shows.
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/scalebar/cgis_alternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_doublealternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_hollowscalebar.h"
#include "layout/graphicelement/scalebar/cgis_scaleline.h"
#include "layout/graphicelement/scalebar/cgis_steppedscaleline.h"
#include "layout/graphicelement/scalebar/cgis_terrabar.h"
#include "layout/graphicelement/scalebar/cgis_topographicbar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using md::canvas::Record;
using ScaleBarBodies = ScaleBarTest;

// 500 m divisions at 1:50,000 and at 1:10,000: 1000 and 5000 page units.
struct ScaleRow {
  double denominator;
  int w;
};
const ScaleRow kScales[] = {{50000, 1000}, {10000, 5000}};

// The x positions, from the bar's origin, of k/s of a division of width w.
int At(int w, int k, int s) { return static_cast<int>(std::floor(static_cast<double>(w) * k / s + 0.5)); }

TEST_F(ScaleBarBodies, DoubleAlternatingCellsFormACheckerboardAtBothScales) {
  for (const ScaleRow& row : kScales) {
    SCOPED_TRACE(row.denominator);
    auto* bar = BarAtScale<CGIS_DoubleAlternatingScaleBar>(row.denominator, 500.0);
    const SGIS_Rect r = bar->GetRect();
    const int x0 = r.left + bar->GetBarX(), y0 = r.bottom + bar->GetBarY();
    const auto cells = bar->LayOutCells();
    ASSERT_EQ(cells.size(), 18u);
    const int lefts[] = {0,         At(row.w, 1, 4), At(row.w, 2, 4), At(row.w, 3, 4), row.w,
                         2 * row.w, 3 * row.w,       4 * row.w,       5 * row.w};
    std::string lower, upper;
    for (int c = 0; c < 9; ++c) {
      const auto& lo = cells[static_cast<std::size_t>(2 * c)];
      const auto& up = cells[static_cast<std::size_t>(2 * c + 1)];
      EXPECT_EQ(lo.rect, SGIS_Rect(x0 + lefts[c], y0 + 100, lo.rect.right, y0)) << c;
      EXPECT_EQ(up.rect, SGIS_Rect(x0 + lefts[c], y0 + 200, lo.rect.right, y0 + 100)) << c;
      EXPECT_EQ(lo.rect.right, x0 + (c < 8 ? lefts[c + 1] : 6 * row.w)) << c;
      lower += lo.bFirstFill ? '1' : '2';
      upper += up.bFirstFill ? '1' : '2';
    }
    EXPECT_EQ(lower, "121212121");
    EXPECT_EQ(upper, "212121212");
  }
  // An odd height puts the middle line half a unit higher.
  auto* bar = BarAtScale<CGIS_DoubleAlternatingScaleBar>(50000, 500.0);
  bar->SetBarHeight(201);
  const int y0 = bar->GetRect().bottom + bar->GetBarY();
  EXPECT_EQ(bar->LayOutCells()[0].rect.top, y0 + 101);
}

TEST_F(ScaleBarBodies, DoubleAlternatingConversionMakesTwoRectanglesPerColumnLowerFirst) {
  auto* bar = BarAtScale<CGIS_DoubleAlternatingScaleBar>(50000, 500.0);
  auto* main = dynamic_cast<IGIS_CompoundElement*>(bar->ConvertToElement());
  ASSERT_NE(main, nullptr);
  auto* cells = dynamic_cast<IGIS_CompoundElement*>(main->GetElementPtrByIndex(main->GetElementCount() - 1));
  ASSERT_NE(cells, nullptr);
  const auto layout = bar->LayOutCells();
  ASSERT_EQ(cells->GetElementCount(), 18);
  for (int i = 0; i < 18; ++i) {
    EXPECT_EQ(cells->GetElementPtrByIndex(i)->GetRect(), layout[static_cast<std::size_t>(i)].rect) << i;
  }
  LogMark log;
  EXPECT_FALSE(bar->AddRectElement(nullptr, bar->GetSymbol1(), SGIS_Rect(0, 10, 10, 0)));
  EXPECT_TRUE(log.Has(3, "CGIS_DoubleAlternatingScaleBar::AddRectElement", "p_com == NULL"));
  md::layout::detail::DropCompound(main);
}

TEST_F(ScaleBarBodies, HollowCellsAlternateAndTheFirstFillsCarryMiddleLines) {
  for (const ScaleRow& row : kScales) {
    SCOPED_TRACE(row.denominator);
    auto* bar = BarAtScale<CGIS_HollowScaleBar>(row.denominator, 500.0);
    const SGIS_Rect r = bar->GetRect();
    const int x0 = r.left + bar->GetBarX(), y0 = r.bottom + bar->GetBarY();
    const auto cells = bar->LayOutCells();
    ASSERT_EQ(cells.size(), 9u);
    std::string fills;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      fills += cells[i].bFirstFill ? '1' : '2';
      EXPECT_EQ(cells[i].rect.bottom, y0);
      EXPECT_EQ(cells[i].rect.top, y0 + 200);
      if (!cells[i].bFirstFill) continue;
      EXPECT_EQ(cells[i].lineFrom, SGIS_Point(cells[i].rect.left, y0 + 100, 0)) << i;
      EXPECT_EQ(cells[i].lineTo.y, y0 + 100);
    }
    EXPECT_EQ(fills, "121212121");
    EXPECT_EQ(cells[4].rect.left, x0 + row.w);
    EXPECT_EQ(cells[8].rect.right, x0 + 6 * row.w);
  }
  // A subcell's middle line ends a subcell width from its own rounded start:
  // six subcells of 1000 put the fifth from 667 to 833, its line to 834.
  auto* bar = BarAtScale<CGIS_HollowScaleBar>(50000, 500.0);
  bar->SetSubDivisions(6);
  const int x0 = bar->GetRect().left + bar->GetBarX();
  const auto cells = bar->LayOutCells();
  EXPECT_EQ(cells[4].rect.left - x0, 667);
  EXPECT_EQ(cells[4].rect.right - x0, 833);
  EXPECT_EQ(cells[4].lineTo.x - x0, 834);
}

TEST_F(ScaleBarBodies, HollowMarksShowTheFirstFillsColourWithoutBeingRecoloured) {
  auto* bar = BarAtScale<CGIS_HollowScaleBar>(50000, 500.0);
  bar->SetSymbol1(NewSymbol(GIS_SYMBOL_FILL, RGB(0, 120, 0)).get());
  IGIS_Symbol* held = bar->GetScaleMarks()->GetDivisionMarkSymbol();
  const COLORREF before = held->GetColor();
  ASSERT_NE(before, RGB(0, 120, 0));
  PrintPage page;
  ASSERT_TRUE(bar->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_EQ(bar->GetScaleMarks()->GetDivisionMarkSymbol()->GetColor(), before);
  // Five middle lines and seven division marks are drawn green.
  int green = 0;
  for (const Record* s : page.canvas->recordsOf(Record::Type::Shape)) {
    if (s->shape.kind != md::canvas::ShapeKind::Polygon && s->pen.color == md::canvas::Color(0x007800))
      ++green;
  }
  EXPECT_EQ(green, 5 + 7);
  auto* main = dynamic_cast<IGIS_CompoundElement*>(bar->ConvertToElement());
  ASSERT_NE(main, nullptr);
  auto* marks = dynamic_cast<IGIS_CompoundElement*>(main->GetElementPtrByIndex(0));
  auto* first = dynamic_cast<IGIS_PolylineElement*>(marks->GetElementPtrByIndex(0));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetSymbolPtr()->GetColor(), RGB(0, 120, 0));
  EXPECT_EQ(bar->GetScaleMarks()->GetDivisionMarkSymbol()->GetColor(), before);
  md::layout::detail::DropCompound(main);
}

TEST_F(ScaleBarBodies, AScaleLineRunsAlongTheBaseAndOnlyItsConversionIsLiftedByAStoredHeight) {
  for (const ScaleRow& row : kScales) {
    SCOPED_TRACE(row.denominator);
    auto* bar = BarAtScale<CGIS_ScaleLine>(row.denominator, 500.0);
    EXPECT_EQ(bar->GetBarHeight(), 0);
    bar->SetBarHeight(50);
    EXPECT_EQ(bar->GetBarHeight(), 0);
    const SGIS_Rect r = bar->GetRect();
    SGIS_Point from, to;
    bar->LineEnds(&from, &to, false);
    EXPECT_EQ(from, SGIS_Point(r.left + bar->GetBarX(), r.bottom + bar->GetBarY(), 0));
    EXPECT_EQ(to, SGIS_Point(from.x + 6 * row.w, from.y, 0));
  }
  auto* bar = BarAtScale<CGIS_ScaleLine>(50000, 500.0);
  ASSERT_TRUE(bar->Archive(0, 0));
  IGIS_PropertySet* set = StoredCustom(bar);
  set->GetProperty("BarHeight")->SetInt(3);
  StoreCustom(bar, set);
  set->Release();
  ASSERT_TRUE(bar->Archive(1, 0));
  SGIS_Point drawn[2], converted[2];
  bar->LineEnds(&drawn[0], &drawn[1], false);
  bar->LineEnds(&converted[0], &converted[1], true);
  EXPECT_EQ(converted[0].y, drawn[0].y + 2);  // 1.5 rounded away from zero
  auto* main = dynamic_cast<IGIS_CompoundElement*>(bar->ConvertToElement());
  ASSERT_NE(main, nullptr);
  auto* body = dynamic_cast<IGIS_CompoundElement*>(main->GetElementPtrByIndex(main->GetElementCount() - 1));
  ASSERT_NE(body, nullptr);
  IGIS_Geometry* g = body->GetElementPtrByIndex(0)->GetFeaturePtr()->GetGeometry();
  ASSERT_EQ(g->GetPointCount(), 2);
  EXPECT_EQ(g->GetPoint(0, 0), converted[0]);
  EXPECT_EQ(g->GetPoint(1, 0), converted[1]);
  md::layout::detail::DropCompound(main);
}

struct StepRow {
  int subdivisions, divisions;
  std::vector<int> strokes;  // x of each stroke in twelfths of a division, from the bar's origin
};

TEST_F(ScaleBarBodies, TheSteppedLineIsASquareWaveStartingUpAtTheLeftEnd) {
  const StepRow rows[] = {
      {4, 6, {0, 3, 6, 9, 12, 24, 36, 48, 60, 72}},  // 250, 500, 750, then whole divisions
      {3, 1, {0, 4, 8, 12}},                         // 333, 667 rounded from the origin: no drift
      {1, 2, {0, 12, 24}},                           // the first division is one step
  };
  for (const ScaleRow& scale : kScales) {
    for (const StepRow& row : rows) {
      SCOPED_TRACE(testing::Message()
                   << scale.denominator << ": " << row.subdivisions << " of " << row.divisions);
      auto* bar = BarAtScale<CGIS_SteppedScaleLine>(scale.denominator, 500.0);
      bar->SetDivisions(row.divisions);
      bar->SetSubDivisions(row.subdivisions);
      bar->Refresh();
      const int x0 = bar->GetRect().left + bar->GetBarX(), y0 = bar->GetRect().bottom + bar->GetBarY();
      const auto outline = bar->Outline();
      ASSERT_EQ(outline.size(), 2 * row.strokes.size());
      for (std::size_t n = 0; n < row.strokes.size(); ++n) {
        const int x = x0 + At(scale.w, row.strokes[n], 12);
        const bool up = n % 2 == 0;
        EXPECT_EQ(outline[2 * n], SGIS_Point(x, up ? y0 : y0 + 200, 0)) << n;
        EXPECT_EQ(outline[2 * n + 1], SGIS_Point(x, up ? y0 + 200 : y0, 0)) << n;
      }
    }
  }
}

TEST_F(ScaleBarBodies, TheSteppedLineDrawsItsMarksAndLabelsAfterItsLine) {
  auto* bar = BarAtScale<CGIS_SteppedScaleLine>(50000, 500.0);
  PrintPage page;
  ASSERT_TRUE(bar->OnDraw(page.hdc, true, page.display.get()));
  const auto shapes = page.canvas->recordsOf(Record::Type::Shape);
  ASSERT_GE(shapes.size(), 1u + 7u + 3u);
  EXPECT_EQ(shapes.front()->Points().size(), 20u);
  EXPECT_EQ(page.canvas->recordsOf(Record::Type::Text).size(), 8u);  // 0..6 and the unit label
}

struct RulerRow {
  double division;
  int subdivisions;
  std::vector<int> markX;  // division marks, then subdivision marks, from the left end
  std::vector<std::string> numbers;
};

// The marks' x from the left end, their numbers, and the texts drawn.
void ExpectRuler(const md::layout::detail::RulerLayout& ruler, const SGIS_Rect& r, const RulerRow& row,
                 int divisionTop) {
  ASSERT_EQ(ruler.marks.size(), row.markX.size());
  for (std::size_t i = 0; i < ruler.marks.size(); ++i) {
    const auto& m = ruler.marks[i];
    EXPECT_EQ(m.from, SGIS_Point(r.left + row.markX[i], r.bottom, 0)) << i;
    EXPECT_EQ(m.to.y - r.bottom, m.bDivision ? divisionTop : 20) << i;
    EXPECT_EQ(m.anchor, SGIS_Point(m.from.x, r.bottom + divisionTop, 0)) << i;
    EXPECT_EQ(m.text, row.numbers[i]) << i;
  }
  EXPECT_EQ(ruler.lineFrom, SGIS_Point(r.left, r.bottom + 20, 0));
  EXPECT_EQ(ruler.lineTo.x, r.left + row.markX[6]);
}

TEST_F(ScaleBarBodies, TheTerraBarDrawsEightSubdivisionsAndKeepsItsOwnCount) {
  const RulerRow rows[] = {
      {1000.0,
       8,
       {0, 1000, 2000, 3000, 4000, 5000, 6000, 125, 250, 375, 500, 625, 750, 875},
       {"1000", "0", "1000", "2000", "3000", "4000", "5000", "875", "750", "625", "500", "375", "250",
        "125"}},
      {500.0,
       8,
       {0, 500, 1000, 1500, 2000, 2500, 3000, 63, 125, 188, 250, 313, 375, 438},
       {"1000", "0", "1000", "2000", "3000", "4000", "5000", "875", "750", "625", "500", "375", "250",
        "125"}},
  };
  for (const RulerRow& row : rows) {
    SCOPED_TRACE(row.division);
    auto* bar = NewBarOf<CGIS_TerraBar>();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 3000, 9000, 2000), 0);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivision(row.division);
    const SGIS_Rect r = bar->GetRect();
    const auto ruler = bar->LayOut();
    ExpectRuler(ruler, r, row, 25);
    // Body: the stepped line over the first division, then the band.
    ASSERT_EQ(ruler.body.size(), 23u);
    EXPECT_EQ(ruler.body[0], SGIS_Point(r.left, r.bottom + 5, 0));
    EXPECT_EQ(ruler.body[1], SGIS_Point(r.left, r.bottom + 10, 0));
    EXPECT_EQ(ruler.body[2], SGIS_Point(r.left + row.markX[7], r.bottom + 10, 0));
    EXPECT_EQ(ruler.body[17].x, r.left + row.markX[1]);  // the eighth step ends on the first division
    EXPECT_EQ(ruler.body[20], SGIS_Point(r.left + row.markX[6], r.bottom, 0));
    EXPECT_EQ(ruler.unitAnchors[0], SGIS_Point(r.left - 50, r.bottom + 25, 0));
    EXPECT_EQ(ruler.unitAnchors[1], SGIS_Point(r.left + row.markX[6] + 50, r.bottom + 25, 0));

    PrintPage page;
    ASSERT_TRUE(bar->OnDraw(page.hdc, true, page.display.get()));
    EXPECT_EQ(bar->GetSubDivisions(), 4);
    std::vector<std::string> texts;
    for (const Record* t : page.canvas->recordsOf(Record::Type::Text)) texts.push_back(t->text.text);
    std::vector<std::string> want = row.numbers;
    want.push_back("米");
    want.push_back("米");
    EXPECT_EQ(texts, want);
  }
}

TEST_F(ScaleBarBodies, TheTopographicBarCutsTheFirstDivisionIntoItsSubdivisions) {
  const RulerRow rows[] = {
      {1000.0,
       4,
       {0, 1000, 2000, 3000, 4000, 5000, 6000, 250, 500, 750},
       {"1000", "0", "1000", "2000", "3000", "4000", "5000", "750", "500", "250"}},
      {1000.0,
       3,
       {0, 1000, 2000, 3000, 4000, 5000, 6000, 333, 667},
       {"1000", "0", "1000", "2000", "3000", "4000", "5000", "667", "333"}},
      {500.0,
       1,
       {0, 500, 1000, 1500, 2000, 2500, 3000},
       {"1000", "0", "1000", "2000", "3000", "4000", "5000"}},
  };
  for (const RulerRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.division << " / " << row.subdivisions);
    auto* bar = NewBarOf<CGIS_TopoGraphicBar>();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 3000, 9000, 2000), 0);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivision(row.division);
    bar->SetSubDivisions(row.subdivisions);
    const SGIS_Rect r = bar->GetRect();
    const auto ruler = bar->LayOut();
    ExpectRuler(ruler, r, row, 30);
    ASSERT_EQ(ruler.body.size(), 5u);
    EXPECT_EQ(ruler.body[2], SGIS_Point(r.left + row.markX[6], r.bottom + 5, 0));
    bar->Refresh();
    EXPECT_EQ(bar->GetRect(), r);  // lays nothing out
  }
}

// Without the page's reference every bar draws nothing and says so in the
// words its own description gives.
TEST_F(ScaleBarBodies, EachBarNamesAMissingPageReferenceInItsOwnWords) {
  struct Row {
    IGIS_Element* bar;
    const char* method;
    const char* text;
  };
  const Row rows[] = {
      {NewBarOf<CGIS_AlternatingScaleBar>(), "CGIS_AlternatingScaleBar::OnDraw",
       "p_spatialreference == NULL"},
      {NewBarOf<CGIS_DoubleAlternatingScaleBar>(), "CGIS_DoubleAlternatingScaleBar::OnDraw",
       "p_spatialreference == NULL"},
      {NewBarOf<CGIS_HollowScaleBar>(), "CGIS_HollowScaleBar::OnDraw", "p_spatialreference== NULL "},
      {NewBarOf<CGIS_ScaleLine>(), "CGIS_ScaleLine::OnDraw", "p_spatialreference== NULL "},
      {NewBarOf<CGIS_SteppedScaleLine>(), "CGIS_SteppedScaleLine::OnDraw", "p_spatialreference== NULL "},
      {NewBarOf<CGIS_TerraBar>(), "CGIS_TerraBar::OnDraw", "p_spatialreference== NULL "},
      {NewBarOf<CGIS_TopoGraphicBar>(), "CGIS_TopoGraphicBar::OnDraw", "p_spatialreference== NULL "},
  };
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.method);
    PrintPage page;
    LogMark log;
    EXPECT_FALSE(row.bar->OnDraw(page.hdc, true, page.display.get()));
    EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, row.method, row.text));
    EXPECT_TRUE(page.canvas->records().empty());
  }
}

// An owner that makes no compound elements.
class CompoundRefusingSet : public ForwardingSet {
 public:
  using ForwardingSet::ForwardingSet;
  IGIS_Element* CreateElement(const char* t) override {
    if (std::string(t) == GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) return nullptr;
    return real_->CreateElement(t);
  }
};

template <class T>
IGIS_Element* MakeBar(IGIS_FeatureSet* owner) {
  return new T(owner, nullptr);
}

// A conversion whose owner makes no compound, and a drawing of a bar whose
// feature is gone, are named in each bar's own words; the terra and
// topographic bars convert to nothing and say nothing of it.
TEST_F(ScaleBarBodies, EachBarNamesAFailedConversionAndAMissingFeatureInItsOwnWords) {
  struct Row {
    IGIS_Element* (*make)(IGIS_FeatureSet*);
    const char* klass;
    bool bConverts;      // a failed conversion has its own record
    bool bNeedsFeature;  // drawing checks the bar's feature
  };
  const Row rows[] = {
      {&MakeBar<CGIS_AlternatingScaleBar>, "CGIS_AlternatingScaleBar", true, true},
      {&MakeBar<CGIS_DoubleAlternatingScaleBar>, "CGIS_DoubleAlternatingScaleBar", true, false},
      {&MakeBar<CGIS_HollowScaleBar>, "CGIS_HollowScaleBar", true, false},
      {&MakeBar<CGIS_ScaleLine>, "CGIS_ScaleLine", true, false},
      {&MakeBar<CGIS_SteppedScaleLine>, "CGIS_SteppedScaleLine", true, true},
      {&MakeBar<CGIS_TerraBar>, "CGIS_TerraBar", false, false},
      {&MakeBar<CGIS_TopoGraphicBar>, "CGIS_TopoGraphicBar", false, false},
  };
  CompoundRefusingSet refusing(set_);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.klass);
    const std::string klass = row.klass;
    IGIS_Element* bar = row.make(&refusing);
    {
      LogMark log;
      EXPECT_EQ(bar->ConvertToElement(), nullptr);
      EXPECT_EQ(log.Has(GIS_LOG_LEVEL_CHECK, klass + "::ConvertToElement", "p_com_element == NULL"),
                row.bConverts);
      EXPECT_EQ(log.Has(GIS_LOG_LEVEL_CHECK, klass + "::ConvertToElement"), row.bConverts);
    }
    ASSERT_TRUE(set_->GetFeatureClass()->DeleteFeature(bar->GetID()));
    {
      PrintPage page;
      LogMark log;
      const BOOL bDrawn = bar->OnDraw(page.hdc, true, page.display.get());
      EXPECT_EQ(log.Has(GIS_LOG_LEVEL_CHECK, klass + "::OnDraw", "m_pFeature == NULL"), row.bNeedsFeature);
      if (row.bNeedsFeature) {
        EXPECT_FALSE(bDrawn);
        EXPECT_TRUE(page.canvas->records().empty());
      }
    }
    bar->Release();
  }
}

TEST_F(ScaleBarBodies, RulerBarsWithoutAPageReferenceOrAFillDrawAsFarAsTheyCan) {
  auto* bar = NewBarOf<CGIS_TopoGraphicBar>();
  bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 3000, 9000, 2000), 0);
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetDivision(1000.0);
  bar->SetSymbol1(nullptr);
  PrintPage page;
  ASSERT_TRUE(bar->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_TRUE(page.canvas->shapesOf(md::canvas::ShapeKind::Polygon).empty());
  EXPECT_EQ(page.canvas->recordsOf(Record::Type::Text).size(), 7u + 3u + 2u);
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  page.canvas->clear();
  LogMark log;
  EXPECT_FALSE(bar->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_TRUE(log.Has(3, "CGIS_TopoGraphicBar::OnDraw", "p_spatialreference== NULL "));
  EXPECT_TRUE(page.canvas->records().empty());
}

}  // namespace
}  // namespace md::test
