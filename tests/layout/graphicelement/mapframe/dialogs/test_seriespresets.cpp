// The series-scale presets: the graticule and the kilometre grid of each of
// the eighteen standard sheets with their label fonts, and the simple inner
// and outer borders the frame takes; a preset that cannot be made leaves the
// frame as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "layout/graphicelement/grid/factory/seriesmapgrids.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "tests/layout/graphicelement/mapframe/dialogs/mapdialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::layout::grid::CreateSeriesGraticule;
using md::layout::grid::CreateSeriesMeasuredGrid;

using SeriesPresets = md::test::MapDialogTest;

constexpr int kKeep = -1;  // the frame keeps its outer border

// One sheet's graticule as the preset sets it ("—" cells hold the kind's own
// value: main-hatch count 3, tick division 1).
struct GraticuleRow {
  const char* button;
  double hatch;       // hatch interval, X and Y
  int mainCount;      // main-hatch count
  bool plainHatches;  // main and sub hatches keep a new line symbol's style
  double interior;    // interior label interval, X and Y
  int division;       // tick division
  int subTicks;       // sub-tick count
  double x, y;        // spacing
  double tick;        // tick length
  int outer;          // outer border offsets
  bool wholeDegrees;  // labels in whole degrees
};

const GraticuleRow kGraticuleRows[md::layout::grid::kSeriesSheetCount] = {
    {"生成100万地形图", 1.0, 6, false, 0.0, 6, 2, 1.0, 1.0, -200.0, 900, true},
    {"生成50万地形图", 0.0, 3, true, 0.16666666667, 3, 2, 0.5, 0.5, -200.0, 900, true},
    {"生成25万地形图", 0.0, 3, false, 0.08333333333333333, 1, 2, 0.25, 0.25, -200.0, 900, false},
    {"生成20万地形图", 0.0, 3, false, 0.08333333333333333, 1, 2, 0.25, 0.25, -200.0, 900, false},
    {"生成10万地形图", 0.0, 3, false, 0.0, 1, 2, 0.166666666666667, 0.166666666666667, -200.0, 900, false},
    {"生成5万地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 900,
     false},
    {"生成2.5万地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 900,
     false},
    {"生成1万地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 900,
     false},
    {"生成5000地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 900,
     false},
    // The 1:1,000,000 collaborative sheet's outer border at 900 like the others.
    {"生成100万协同图", 1.0, 6, false, 0.0, 1, 6, 1.0, 1.0, -200.0, 900, true},
    {"生成50万协同图", 0.0, 3, false, 0.16666666667, 1, 2, 0.5, 0.3333333333, -200.0, kKeep, false},
    {"生成25万协同图", 0.0, 3, false, 0.08333333333333333, 1, 3, 0.25, 0.25, -200.0, 900, false},
    {"生成20万协同图", 0.0, 3, false, 0.08333333333333333, 1, 3, 0.25, 0.25, -200.0, 900, false},
    {"生成10万军用地形图", 0.0, 3, false, 0.0, 1, 2, 0.166666666666667, 0.166666666666667, 200.0, 900, false},
    {"生成5万军用地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 900,
     false},
    {"生成2.5万军用地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 900,
     false},
    {"生成1万军用地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 600,
     false},
    {"生成5000军用地形图", 0.0, 3, false, 0.0, 1, 2, 0.016666666666666666, 0.016666666666666666, -200.0, 600,
     false},
};

// The kilometre grid's interval of each sheet: a tenth of the scale's
// denominator, the 1:25,000, 1:10,000 and 1:5,000 sheets included.
const double kKilometreIntervals[md::layout::grid::kSeriesSheetCount] = {
    100000, 50000, 25000, 20000, 10000, 5000, 2500, 1000, 500,
    100000, 50000, 25000, 20000, 10000, 5000, 2500, 1000, 500,
};

// The presets' label font: 8 points of "宋体", heavy, GB2312.
void ExpectPresetFont(IGIS_Symbol* text) {
  ASSERT_NE(text, nullptr);
  const LOGFONT* f = text->GetFontSizePtr();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->lfHeight, -8);
  EXPECT_EQ(f->lfWidth, -6);
  EXPECT_EQ(f->lfWeight, 900);
  EXPECT_EQ(f->lfCharSet, 134);
  EXPECT_EQ(f->lfOutPrecision, 1);
  EXPECT_EQ(f->lfClipPrecision, 2);
  EXPECT_EQ(f->lfQuality, 3);
  EXPECT_EQ(f->lfPitchAndFamily, 0x22);
  EXPECT_EQ(f->lfItalic + f->lfUnderline + f->lfStrikeOut + f->lfEscapement + f->lfOrientation, 0);
  EXPECT_STREQ(f->lfFaceName, "宋体");
}

// The frame's border as a simple one: its style and its four offsets.
void ExpectSimpleBorder(IGIS_MapBorder* border, int style, int offset) {
  auto* simple = dynamic_cast<IGIS_MapBorderSimple*>(border);
  ASSERT_NE(simple, nullptr);
  ASSERT_NE(simple->GetLineSymbolPtr(), nullptr);
  EXPECT_EQ(simple->GetLineSymbolPtr()->GetStyleCode(), style);
  EXPECT_EQ(simple->GetLeftOffset(), offset);
  EXPECT_EQ(simple->GetRightOffset(), offset);
  EXPECT_EQ(simple->GetTopOffset(), offset);
  EXPECT_EQ(simple->GetBottomOffset(), offset);
}

// What both presets draw on every side, with labels 200 off the frame.
void ExpectLinesTicksAndLabels(IGIS_MapGrid* g) {
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
  EXPECT_EQ(g->GetLineSymbol()->GetStyleCode(), 3331);
  EXPECT_EQ(g->GetTickLineSymbol()->GetStyleCode(), 3331);
  EXPECT_EQ(g->GetSubTickLineSymbol()->GetStyleCode(), 3331);
  EXPECT_EQ(g->GetMarkSymbol(), nullptr);
  EXPECT_DOUBLE_EQ(g->GetSubTickLength(), -100.0);
  EXPECT_TRUE(g->GetVisible());
  bool sides[3][4];
  g->GetLabelVisible(&sides[0][0], &sides[0][1], &sides[0][2], &sides[0][3]);
  g->GetTickVisible(&sides[1][0], &sides[1][1], &sides[1][2], &sides[1][3]);
  g->GetSubTickVisible(&sides[2][0], &sides[2][1], &sides[2][2], &sides[2][3]);
  for (auto& kind : sides)
    for (bool side : kind) EXPECT_TRUE(side);
  IGIS_GridLabel* label = g->GetLabelFormat();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetLabelOffset(), 200);
  bool turned[4];
  label->GetLabelAlignment(&turned[0], &turned[1], &turned[2], &turned[3]);
  for (bool t : turned) EXPECT_FALSE(t);
  ExpectPresetFont(label->GetTextSymbolPtr());
}

TEST_F(SeriesPresets, EachSheetsGraticuleWithItsBorders) {
  // The style a new line symbol comes with (this library's is 3331 as well).
  ReleasePtr<IGIS_Symbol> plain(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  const int plainStyle = plain->GetStyleCode();
  for (int type = 0; type < md::layout::grid::kSeriesSheetCount; ++type) {
    const GraticuleRow& row = kGraticuleRows[type];
    SCOPED_TRACE(row.button);
    CGIS_MapElement* f = NewFrame();
    // An outer border of the frame's own, which only the 1:500,000 collaborative sheet keeps.
    ReleasePtr<IGIS_MapBorder> own(GIS_GetMapBorderFactoryObject()->CreateMapBorder(GIS_MAPBORDER_SIMPLE));
    own->SetLeftOffset(123);
    f->SetOuterMapBorder(own.get());
    ReleasePtr<IGIS_MapGrid> grid(CreateSeriesGraticule(type, f));
    auto* g = dynamic_cast<IGIS_GraticuleGrid*>(grid.get());
    ASSERT_NE(g, nullptr);
    EXPECT_DOUBLE_EQ(g->GetGridSpacing()->GetXIntervalSize(), row.x);
    EXPECT_DOUBLE_EQ(g->GetGridSpacing()->GetYIntervalSize(), row.y);
    EXPECT_EQ(g->GetHatchIntervalX(), row.hatch);
    EXPECT_EQ(g->GetHatchIntervalY(), row.hatch);
    EXPECT_EQ(g->GetMainHatchCount(), row.mainCount);
    EXPECT_EQ(g->GetInteriorLabelIntervalX(), row.interior);
    EXPECT_EQ(g->GetInteriorLabelIntervalY(), row.interior);
    EXPECT_EQ(g->GetTickDivision(), row.division);
    EXPECT_EQ(g->GetSubTickCount(), row.subTicks);
    EXPECT_EQ(g->GetTickLength(), row.tick);
    EXPECT_DOUBLE_EQ(g->GetAxisTickOffset(), 100.0);
    EXPECT_DOUBLE_EQ(g->GetHatchLength(), 200.0);
    EXPECT_FALSE(g->GetHatchDirectional());
    EXPECT_EQ(g->GetHatchLineSymbol()->GetStyleCode(), 3331);
    EXPECT_FALSE(g->GetShowInteriorLabels());
    if (row.hatch > 0.0) {
      // The hatch sizes of the sheets with main hatches.
      const int hatchStyle = row.plainHatches ? plainStyle : 3331;
      EXPECT_EQ(g->GetMainHatchLength(), 200);
      EXPECT_FALSE(g->GetMainHatchDirectional());
      EXPECT_EQ(g->GetMainHatchLineSymbol()->GetStyleCode(), hatchStyle);
      EXPECT_EQ(g->GetSubHatchLength(), 0);
      EXPECT_EQ(g->GetSubHatchCount(), 1);
      EXPECT_FALSE(g->GetSubHatchDirectional());
      EXPECT_EQ(g->GetSubHatchLineSymbol()->GetStyleCode(), hatchStyle);
    }
    ExpectLinesTicksAndLabels(g);
    auto* label = dynamic_cast<IGIS_DMSGridLabel*>(g->GetLabelFormat());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetDMSLabelType(), GIS_DMSLABEL_STANDARD);
    EXPECT_EQ(label->IsShowMinutes(), !row.wholeDegrees);
    EXPECT_EQ(label->IsShowSeconds(), !row.wholeDegrees);
    if (row.wholeDegrees) {
      EXPECT_EQ(label->GetDecimalDigits(), 0);
    }
    ExpectSimpleBorder(f->GetInnerMapBorder(), 3331, 0);
    if (row.outer == kKeep) {
      ASSERT_NE(f->GetOuterMapBorder(), nullptr);
      EXPECT_EQ(f->GetOuterMapBorder()->GetLeftOffset(), 123);
    } else {
      ExpectSimpleBorder(f->GetOuterMapBorder(), 3332, row.outer);
    }
    // The preset's own objects go with it: the grid list is the caller's.
    EXPECT_EQ(f->GetMapGrids()->GetCount(), 0);
  }
}

TEST_F(SeriesPresets, EachSheetsKilometreGridWithItsFontsAndReference) {
  ReleasePtr<IGIS_MapGrid> fresh(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE));
  const std::string ownReference =
      dynamic_cast<IGIS_MeasureGrid*>(fresh.get())->GetSpatialReference()->GetName();
  // A reference other than the grid's own: the 6-degree zone 20 with its prefix.
  ReleasePtr<IGIS_SpatialReference> zone20(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6, 20, TRUE));
  ASSERT_NE(ownReference, zone20->GetName());
  for (int type = 0; type < md::layout::grid::kSeriesSheetCount; ++type) {
    SCOPED_TRACE(kGraticuleRows[type].button);
    CGIS_MapElement* f = NewFrame();
    // Every other sheet in zone 20, the rest without a reference.
    IGIS_SpatialReference* given = type % 2 == 0 ? zone20.get() : nullptr;
    ReleasePtr<IGIS_MapGrid> grid(CreateSeriesMeasuredGrid(type, given, f));
    auto* g = dynamic_cast<IGIS_MeasureGrid*>(grid.get());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), kKilometreIntervals[type]);
    EXPECT_EQ(g->GetGridSpacing()->GetYIntervalSize(), kKilometreIntervals[type]);
    EXPECT_EQ(g->GetSubTickCount(), 2);
    EXPECT_DOUBLE_EQ(g->GetTickLength(), -200.0);
    EXPECT_EQ(g->GetTickDivision(), 1);
    ExpectLinesTicksAndLabels(g);
    auto* label = dynamic_cast<IGIS_MixedFontGridLabel*>(g->GetLabelFormat());
    ASSERT_NE(label, nullptr);
    ExpectPresetFont(label->GetSecondarySymbolText());
    EXPECT_NE(g->GetSpatialReference(), zone20.get());
    EXPECT_STREQ(g->GetSpatialReference()->GetName(),
                 given != nullptr ? given->GetName() : ownReference.c_str());
    ExpectSimpleBorder(f->GetInnerMapBorder(), 3331, 0);
    ExpectSimpleBorder(f->GetOuterMapBorder(), 3332, 900);
  }
}

// The process's border factory, failing the chosen call (1 the inner
// border, 2 the outer one) with NULL or with a border of another kind.
class FailingBorders final : public IGIS_MapBorderFactory {
 public:
  FailingBorders(int failing, bool otherKind) : failing_(failing), otherKind_(otherKind) {}
  void Release() override {}
  IGIS_MapBorder* CreateMapBorder(int type) override {
    IGIS_MapBorderFactory* real = GIS_GetMapBorderFactoryObject();
    if (++calls_ != failing_) return real->CreateMapBorder(type);
    return otherKind_ ? real->CreateMapBorder(GIS_MAPBORDER_CALIBRATED) : nullptr;
  }
  IGIS_MapBorder* CreateMapborderFromBuffer(IGIS_DataBuffer* b) override {
    return GIS_GetMapBorderFactoryObject()->CreateMapborderFromBuffer(b);
  }

 private:
  int failing_;
  bool otherKind_;
  int calls_ = 0;
};

TEST_F(SeriesPresets, APresetThatCannotBeMadeLeavesTheFrameAsItWas) {
  struct Row {
    const char* name;
    bool measured;
    int sheet;
    int failing;  // 0: the factory makes every border
    bool otherKind;
  };
  const Row rows[] = {
      {"graticule, no inner border", false, 5, 1, false},
      {"graticule, no outer border", false, 5, 2, false},
      {"graticule, a calibrated outer border", false, 0, 2, true},
      {"kilometre grid, no inner border", true, 5, 1, false},
      {"kilometre grid, a calibrated outer border", true, 5, 2, true},
      {"kilometre grid of no sheet", true, 18, 0, false},
      {"kilometre grid of sheet -1", true, -1, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CGIS_MapElement* f = NewFrame();
    SGIS_MapGridValues values;
    IGIS_MapGrid* kept = GIS_CreateMapGridFromValues(&values);
    ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(kept));
    const std::vector<BYTE> before = StoredForm(f);
    FailingBorders borders(row.failing, row.otherKind);
    md::test::LogMark log;
    IGIS_MapGrid* made = row.measured
                             ? CreateSeriesMeasuredGrid(row.sheet, map_->GetSpatialReference(), f, &borders)
                             : CreateSeriesGraticule(row.sheet, f, &borders);
    EXPECT_EQ(made, nullptr);
    EXPECT_TRUE(log.Has(3, row.measured ? "CreateSeriesMeasuredGrid" : "CreateSeriesGraticule"));
    EXPECT_EQ(StoredForm(f), before);
    EXPECT_EQ(f->GetMapGrids()->GetCount(), 1);
  }
  // Without a frame neither preset is made.
  EXPECT_EQ(CreateSeriesGraticule(0, nullptr), nullptr);
  EXPECT_EQ(CreateSeriesMeasuredGrid(0, nullptr, nullptr), nullptr);
  // A graticule of no sheet is the kind's own and leaves the borders.
  CGIS_MapElement* f = NewFrame();
  const std::vector<BYTE> before = StoredForm(f);
  ReleasePtr<IGIS_MapGrid> fresh(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE));
  for (int sheet : {-1, 18}) {
    ReleasePtr<IGIS_MapGrid> grid(CreateSeriesGraticule(sheet, f));
    auto* g = dynamic_cast<IGIS_GraticuleGrid*>(grid.get());
    ASSERT_NE(g, nullptr) << sheet;
    EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(),
              dynamic_cast<IGIS_GraticuleGrid*>(fresh.get())->GetGridSpacing()->GetXIntervalSize());
    EXPECT_DOUBLE_EQ(g->GetAxisTickOffset(), 400.0);
    EXPECT_EQ(StoredForm(f), before) << sheet;
  }
}

}  // namespace
