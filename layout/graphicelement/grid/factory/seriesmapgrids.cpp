// The series-scale presets: one row of settings per standard sheet for the
// graticule and for the kilometre grid, the objects each preset is made of,
// and the hand-over to the frame once everything is made.
#include "layout/graphicelement/grid/factory/seriesmapgrids.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::grid {

namespace {

using md::basilo::ReleasePtr;
using md::layout::SymbolKind;

constexpr const char* kGraticuleMethod = "CreateSeriesGraticule";
constexpr const char* kMeasuredMethod = "CreateSeriesMeasuredGrid";

// Line styles of the grid's lines, ticks, hatches and the inner border, and
// of the outer border.
constexpr int kLineStyle = 3331;
constexpr int kOuterLineStyle = 3332;

// The label font of every preset: 8-point "宋体", heavy, GB2312. The height is
// the size in points (the font record's unit); a width of 0 or less is the
// face's natural width.
constexpr LONG kFontHeight = -8;
constexpr LONG kFontWidth = -6;
constexpr LONG kFontWeight = 900;
constexpr BYTE kCharSetGb2312 = 134;
constexpr BYTE kOutPrecision = 1;
constexpr BYTE kClipPrecision = 2;
constexpr BYTE kQuality = 3;
constexpr BYTE kPitchAndFamily = 0x22;
constexpr const char* kFontFace = "宋体";

// Page units of 0.01 mm.
constexpr int kLabelOffset = 200;
constexpr double kAxisTickOffset = 100.0;
constexpr double kHatchLength = 200.0;
constexpr int kMainHatchLength = 200;
constexpr double kTickLength = -200.0;
constexpr double kSubTickLength = -100.0;
constexpr int kOuterOffset = 900;
constexpr int kMilitaryLargeOuterOffset = 600;
// The frame keeps its own outer border.
constexpr int kKeepOuterBorder = -1;

constexpr double kTwelfth = 1.0 / 12.0;
constexpr double kMinute = 1.0 / 60.0;

// A sheet's graticule; intervals in degrees.
struct GraticuleSheet {
  double dHatchInterval;  // X and Y
  // The main hatches every that many hatches, with single sub-hatches; 0
  // leaves the kind's main and sub hatches.
  int nMainHatchCount;
  // The main and sub hatches keep a new line symbol's own style.
  bool bPlainHatchStyle;
  double dInteriorLabelInterval;  // X and Y
  int nTickDivision;              // 0: the kind's own
  int nSubTickCount;
  double dIntervalX;
  double dIntervalY;
  double dTickLength;
  int nOuterOffset;    // kKeepOuterBorder: the frame keeps its outer border
  bool bWholeDegrees;  // labels in whole degrees, else degrees, minutes and seconds
};

// The literal intervals of the sheets (0.16666666667 and 0.166666666666667
// are not sixths, 0.3333333333 is not a third).
constexpr GraticuleSheet kGraticuleSheets[kSeriesSheetCount] = {
    // topographic 1:1,000,000 ... 1:5,000
    {1.0, 6, false, 0.0, 6, 2, 1.0, 1.0, kTickLength, kOuterOffset, true},
    {0.0, 3, true, 0.16666666667, 3, 2, 0.5, 0.5, kTickLength, kOuterOffset, true},
    {0.0, 0, false, kTwelfth, 0, 2, 0.25, 0.25, kTickLength, kOuterOffset, false},
    {0.0, 0, false, kTwelfth, 0, 2, 0.25, 0.25, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, 0.166666666666667, 0.166666666666667, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kOuterOffset, false},
    // collaborative 1:1,000,000 ... 1:200,000
    {1.0, 6, false, 0.0, 0, 6, 1.0, 1.0, kTickLength, kOuterOffset, true},
    {0.0, 0, false, 0.16666666667, 0, 2, 0.5, 0.3333333333, kTickLength, kKeepOuterBorder, false},
    {0.0, 0, false, kTwelfth, 0, 3, 0.25, 0.25, kTickLength, kOuterOffset, false},
    {0.0, 0, false, kTwelfth, 0, 3, 0.25, 0.25, kTickLength, kOuterOffset, false},
    // military 1:100,000 ... 1:5,000; the 1:100,000 sheet's ticks point outwards
    {0.0, 0, false, 0.0, 0, 2, 0.166666666666667, 0.166666666666667, -kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kMilitaryLargeOuterOffset, false},
    {0.0, 0, false, 0.0, 0, 2, kMinute, kMinute, kTickLength, kMilitaryLargeOuterOffset, false},
};

// A sheet's kilometre grid: the interval in the reference's linear unit,
// a tenth of the scale's denominator (10 cm of paper) on every sheet.
constexpr double kMeasuredIntervals[kSeriesSheetCount] = {
    100000.0, 50000.0, 25000.0, 20000.0, 10000.0, 5000.0, 2500.0, 1000.0, 500.0,  // topographic
    100000.0, 50000.0, 25000.0, 20000.0,                                          // collaborative
    10000.0,  5000.0,  2500.0,  1000.0,  500.0,                                   // military
};

// A new text symbol in the presets' label font; NULL when none is made.
IGIS_Symbol* NewPresetTextSymbol() {
  return md::layout::NewTextSymbolWithFont([](LOGFONT* pFont) {
    *pFont = LOGFONT{};
    pFont->lfHeight = kFontHeight;
    pFont->lfWidth = kFontWidth;
    pFont->lfWeight = kFontWeight;
    pFont->lfCharSet = kCharSetGb2312;
    pFont->lfOutPrecision = kOutPrecision;
    pFont->lfClipPrecision = kClipPrecision;
    pFont->lfQuality = kQuality;
    pFont->lfPitchAndFamily = kPitchAndFamily;
    std::strncpy(pFont->lfFaceName, kFontFace, sizeof(pFont->lfFaceName) - 1);
  });
}

// A new line symbol as the library makes it (its own style); NULL when none
// is made.
IGIS_Symbol* NewPlainLineSymbol() {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  ReleasePtr<IGIS_Symbol> symbol(pFactory != nullptr ? pFactory->CreateSymbol(GIS_SYMBOL_LINE) : nullptr);
  return symbol && symbol->GetLinePart() != nullptr ? symbol.release() : nullptr;
}

// What a preset is made of before the frame sees any of it: the grid, the
// borders the frame takes (no outer one: the frame keeps its own) and the
// line symbol of the grid's lines.
struct Preset {
  ReleasePtr<IGIS_MapGrid> grid;
  ReleasePtr<IGIS_MapBorder> inner;
  ReleasePtr<IGIS_MapBorder> outer;
  ReleasePtr<IGIS_Symbol> line;
};

// A new simple border drawn with the line at the offset on all four sides;
// NULL when the factory makes none.
IGIS_MapBorder* NewSimpleBorder(IGIS_MapBorderFactory* pBorders, IGIS_Symbol* pLine, int nOffset) {
  ReleasePtr<IGIS_MapBorder> border(pBorders != nullptr ? pBorders->CreateMapBorder(GIS_MAPBORDER_SIMPLE)
                                                        : nullptr);
  auto* pSimple = dynamic_cast<IGIS_MapBorderSimple*>(border.get());
  if (pSimple == nullptr) return nullptr;
  pSimple->SetLineSymbolPtr(pLine);
  pSimple->SetLeftOffset(nOffset);
  pSimple->SetRightOffset(nOffset);
  pSimple->SetTopOffset(nOffset);
  pSimple->SetBottomOffset(nOffset);
  return border.release();
}

// The grid of the kind and the line symbol of its lines, then the inner
// border at the frame's edge and the outer one at nOuterOffset (none for
// kKeepOuterBorder). False when any of them is not made.
bool MakeGridAndBorders(int nKind, IGIS_MapBorderFactory* pBorders, int nOuterOffset, Preset* pPreset) {
  pPreset->grid.reset(GIS_CreateMapGridPropertyObject(nKind));
  pPreset->line.reset(md::layout::NewStyledSymbol(SymbolKind::Line, kLineStyle));
  if (!pPreset->grid || !pPreset->line) return false;
  pPreset->inner.reset(NewSimpleBorder(pBorders, pPreset->line.get(), 0));
  if (!pPreset->inner) return false;
  if (nOuterOffset == kKeepOuterBorder) return true;
  ReleasePtr<IGIS_Symbol> outerLine(md::layout::NewStyledSymbol(SymbolKind::Line, kOuterLineStyle));
  pPreset->outer.reset(NewSimpleBorder(pBorders, outerLine.get(), nOuterOffset));
  return pPreset->outer != nullptr;
}

// The label placed as every preset places it (level, 200 off the frame) on
// the grid, in the text symbol.
void PlaceLabel(IGIS_GridLabel* pLabel, IGIS_MapGrid* pGrid, IGIS_Symbol* pText) {
  pLabel->SetLabelAlignment(false, false, false, false);
  pLabel->SetLabelOffset(kLabelOffset);
  pLabel->SetMapGrid(pGrid);
  pLabel->SetTextSymbolPtr(pText);
}

// What both presets draw: lines in the line symbol without marks, labels,
// ticks and sub-ticks on every side.
void SetLinesAndTicks(IGIS_MapGrid* pGrid, IGIS_Symbol* pLine, double dTickLength, int nSubTickCount) {
  pGrid->SetLabelVisible(true, true, true, true);
  pGrid->SetLineSymbol(pLine);
  pGrid->SetMarkSymbol(nullptr);
  pGrid->SetGridlineType(GIS_GRIDLINE_LINES);
  pGrid->SetTickLength(dTickLength);
  pGrid->SetTickLineSymbol(pLine);
  pGrid->SetTickVisible(true, true, true, true);
  pGrid->SetSubTickCount(nSubTickCount);
  pGrid->SetSubTickLength(kSubTickLength);
  pGrid->SetSubTickLineSymbol(pLine);
  pGrid->SetSubTickVisible(true, true, true, true);
  pGrid->SetVisible(true);
}

// The frame takes copies of the borders; the grid goes to the caller.
IGIS_MapGrid* HandOver(Preset* pPreset, IGIS_MapElement* pFrame) {
  pFrame->SetInnerMapBorder(pPreset->inner.get());
  if (pPreset->outer) pFrame->SetOuterMapBorder(pPreset->outer.get());
  return pPreset->grid.release();
}

bool BuildGraticule(const GraticuleSheet& sheet, IGIS_MapBorderFactory* pBorders, Preset* pPreset) {
  if (!MakeGridAndBorders(GIS_MAPGRID_GRATICULE, pBorders, sheet.nOuterOffset, pPreset)) return false;
  auto* pGrid = dynamic_cast<IGIS_GraticuleGrid*>(pPreset->grid.get());
  IGIS_GridSpacing* pSpacing = pGrid != nullptr ? pGrid->GetGridSpacing() : nullptr;
  ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_DMS));
  auto* pLabel = dynamic_cast<IGIS_DMSGridLabel*>(label.get());
  ReleasePtr<IGIS_Symbol> text(NewPresetTextSymbol());
  ReleasePtr<IGIS_Symbol> plainLine(sheet.bPlainHatchStyle ? NewPlainLineSymbol() : nullptr);
  if (pSpacing == nullptr || pLabel == nullptr || !text || (sheet.bPlainHatchStyle && !plainLine))
    return false;

  pLabel->SetDMSLabelType(GIS_DMSLABEL_STANDARD);
  if (sheet.bWholeDegrees) {
    pLabel->SetShowMinutes(false);
    pLabel->SetShowSeconds(false);
    pLabel->SetDecimalDigits(0);
  }
  PlaceLabel(pLabel, pGrid, text.get());

  IGIS_Symbol* pLine = pPreset->line.get();
  pGrid->SetAxisTickOffset(kAxisTickOffset);
  pGrid->SetHatchDirectional(false);
  pGrid->SetHatchLength(kHatchLength);
  pGrid->SetHatchLineSymbolPtr(pLine);
  pGrid->SetShowInteriorLabels(false);
  pGrid->SetLabelFormat(pLabel);
  SetLinesAndTicks(pGrid, pLine, sheet.dTickLength, sheet.nSubTickCount);
  pGrid->SetHatchIntervalX(sheet.dHatchInterval);
  pGrid->SetHatchIntervalY(sheet.dHatchInterval);
  if (sheet.nMainHatchCount > 0) {
    IGIS_Symbol* pHatchLine = sheet.bPlainHatchStyle ? plainLine.get() : pLine;
    pGrid->SetMainHatchLength(kMainHatchLength);
    pGrid->SetMainHatchCount(sheet.nMainHatchCount);
    pGrid->SetMainHatchDirectional(false);
    pGrid->SetMainHatchLineSymbolPtr(pHatchLine);
    pGrid->SetSubHatchLength(0);
    pGrid->SetSubHatchCount(1);
    pGrid->SetSubHatchDirectional(false);
    pGrid->SetSubHatchLineSymbolPtr(pHatchLine);
  }
  pGrid->SetInteriorLabelIntervalX(sheet.dInteriorLabelInterval);
  pGrid->SetInteriorLabelIntervalY(sheet.dInteriorLabelInterval);
  if (sheet.nTickDivision > 0) pGrid->SetTickDivision(sheet.nTickDivision);
  pSpacing->SetXIntervalSize(sheet.dIntervalX);
  pSpacing->SetYIntervalSize(sheet.dIntervalY);
  return true;
}

bool BuildMeasured(double dInterval, IGIS_SpatialReference* pReference, IGIS_MapBorderFactory* pBorders,
                   Preset* pPreset) {
  if (!MakeGridAndBorders(GIS_MAPGRID_MEASURE, pBorders, kOuterOffset, pPreset)) return false;
  auto* pGrid = dynamic_cast<IGIS_MeasureGrid*>(pPreset->grid.get());
  IGIS_GridSpacing* pSpacing = pGrid != nullptr ? pGrid->GetGridSpacing() : nullptr;
  ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_MIXEDFONT));
  auto* pLabel = dynamic_cast<IGIS_MixedFontGridLabel*>(label.get());
  ReleasePtr<IGIS_Symbol> text(NewPresetTextSymbol());
  ReleasePtr<IGIS_Symbol> secondary(NewPresetTextSymbol());
  if (pSpacing == nullptr || pLabel == nullptr || !text || !secondary) return false;

  PlaceLabel(pLabel, pGrid, text.get());
  pLabel->SetSecondarySymbolTextPtr(secondary.get());
  if (pReference != nullptr) pGrid->SetSpatialReference(pReference);
  pGrid->SetLabelFormat(pLabel);
  SetLinesAndTicks(pGrid, pPreset->line.get(), kTickLength, 2);
  pSpacing->SetXIntervalSize(dInterval);
  pSpacing->SetYIntervalSize(dInterval);
  return true;
}

bool IsSheetType(int nSheetType) { return nSheetType >= 0 && nSheetType < kSeriesSheetCount; }

}  // namespace

IGIS_MapGrid* CreateSeriesGraticule(int nSheetType, IGIS_MapElement* pFrame,
                                    IGIS_MapBorderFactory* pBorders) {
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kGraticuleMethod, "m_pMapElement == NULL");
    return nullptr;
  }
  // Not a sheet: the graticule as its kind makes it.
  if (!IsSheetType(nSheetType)) return GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE);
  Preset preset;
  if (!BuildGraticule(kGraticuleSheets[nSheetType], pBorders, &preset)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kGraticuleMethod, "the preset of sheet %d cannot be made", nSheetType);
    return nullptr;
  }
  return HandOver(&preset, pFrame);
}

IGIS_MapGrid* CreateSeriesMeasuredGrid(int nSheetType, IGIS_SpatialReference* pReference,
                                       IGIS_MapElement* pFrame, IGIS_MapBorderFactory* pBorders) {
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMeasuredMethod, "m_pMapElement == NULL");
    return nullptr;
  }
  Preset preset;
  if (!IsSheetType(nSheetType) ||
      !BuildMeasured(kMeasuredIntervals[nSheetType], pReference, pBorders, &preset)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMeasuredMethod, "the preset of sheet %d cannot be made", nSheetType);
    return nullptr;
  }
  return HandOver(&preset, pFrame);
}

}  // namespace md::layout::grid
