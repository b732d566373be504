// The map sheet's three grids: the kilometre grid, the minute marks and the
// corner coordinates, made through the grid and label factories' exports and
// set up with the grids' and labels' own setters.
#include "tools/demo/mapsheetgrids.h"

#include <cstring>
#include <string>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::demo {

namespace {

using md::basilo::ReleasePtr;

// The spacing units of the graticules: minutes of arc.
constexpr int kMinuteUnit = 2;
// The kilometre numbers: the last two digits in 9-point type of the
// label's own face, the leading digits and the zone number before them in
// 6-point 黑体, as small as the gap between the frame and the band asks.
constexpr int kFirstPartPoints = 6;
constexpr int kSecondPartPoints = 9;
constexpr int kGroupedDigits = 2;
// Full numbers at the first and last label of each side, two digits
// elsewhere.
constexpr int kFullAtEnds = 3;
// The corner coordinates: 9-point 宋体.
constexpr int kCornerPoints = 9;
// A hairline, millimetres.
constexpr double kHairline = 0.1;

// A new line symbol of the grids' colour and the width; NULL without a
// symbol factory.
ReleasePtr<IGIS_Symbol> GridLine(double widthMm) {
  ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  if (line) {
    line->SetColor(kSheetGridColor);
    line->SetLineWidth(widthMm);
  }
  return line;
}

// Sets a text symbol's size in points, its colour and, when given, its face.
void SetText(IGIS_SymbolPart* text, int points, const char* face) {
  LOGFONT* font = text != nullptr ? text->GetFontSizePtr() : nullptr;
  if (font == nullptr) return;
  font->lfHeight = -points;
  if (face != nullptr) {
    std::memset(font->lfFaceName, 0, sizeof(font->lfFaceName));
    std::strncpy(font->lfFaceName, face, sizeof(font->lfFaceName) - 1);
  }
  text->SetColor(kSheetGridColor);
}

// Hands the grid to the frame's list; the list owns it from then on, and a
// grid it refuses is ended here.
bool AddToList(IGIS_MapElement* frame, IGIS_MapGrid* grid) {
  if (grid == nullptr) return false;
  if (frame->GetMapGrids()->AddMapGrid(grid)) return true;
  grid->Release();
  return false;
}

// The kilometre grid: a hairline every kilometre of the sheet's own Gauss-
// Kruger grid, its numbers in the gap between the frame and the band.
IGIS_MapGrid* KilometreGrid(IGIS_MapElement* frame, IGIS_Map* sheet) {
  ReleasePtr<IGIS_MapGrid> made(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE));
  auto* grid = dynamic_cast<IGIS_MeasureGrid*>(made.get());
  if (grid == nullptr) return nullptr;
  grid->SetName(kKilometreGridName);
  grid->SetMapElement(frame);
  // A new measured grid is in the catalogue's 3° zone 39; the sheet's map
  // takes its reference from its own file, which may name another.
  IGIS_SpatialReference* map = sheet->GetSpatialReference();
  if (!SameReference(grid->GetSpatialReference(), map)) grid->SetSpatialReference(map);
  // Kilometres, one apart, so that the numbers read in kilometres.
  IGIS_GridSpacing* spacing = grid->GetGridSpacing();
  if (spacing == nullptr) return nullptr;
  spacing->SetUnits(LinearUnitIndex("千米"));
  spacing->SetXIntervalSize(kKilometreInterval / 1000.0);
  spacing->SetYIntervalSize(kKilometreInterval / 1000.0);
  grid->SetGridlineType(GIS_GRIDLINE_LINES);
  if (ReleasePtr<IGIS_Symbol> line = GridLine(kHairline)) grid->SetLineSymbol(line.get());
  grid->SetTickVisible(false, false, false, false);
  grid->SetSubTickVisible(false, false, false, false);
  grid->SetLabelVisible(true, true, true, true);

  ReleasePtr<IGIS_GridLabel> madeLabel(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_MIXEDFONT));
  if (!madeLabel) return nullptr;
  grid->SetLabelFormat(madeLabel.get());
  auto* label = dynamic_cast<IGIS_MixedFontGridLabel*>(grid->GetLabelFormat());
  if (label == nullptr) return nullptr;
  label->SetGroupedDigitsType(true);
  label->SetNumGroupedDigits(kGroupedDigits);
  label->SetPosition(kFullAtEnds);
  SetText(label->GetTextSymbolPtr(), kFirstPartPoints, "黑体");
  SetText(label->GetSecondarySymbolText(), kSecondPartPoints, nullptr);
  SetText(label->GetZoneSymbolText(), kFirstPartPoints, "黑体");
  label->SetShowZone(true);
  label->SetLabelAlignment(false, false, false, false);
  label->SetLabelOffsetX(kKilometreLabelOffsetX, kKilometreLabelOffsetX, 0, 0);
  label->SetLabelOffsetY(0, 0, kKilometreLabelOffsetY, kKilometreLabelOffsetY);
  return made.release();
}

// A graticule every x by y minutes with neither lines nor marks.
IGIS_GraticuleGrid* MinuteGraticule(IGIS_MapElement* frame, const char* name, double x, double y) {
  ReleasePtr<IGIS_MapGrid> made(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE));
  auto* grid = dynamic_cast<IGIS_GraticuleGrid*>(made.get());
  IGIS_GridSpacing* spacing = grid != nullptr ? grid->GetGridSpacing() : nullptr;
  if (spacing == nullptr) return nullptr;
  grid->SetName(name);
  grid->SetMapElement(frame);
  spacing->SetUnits(kMinuteUnit);
  spacing->SetXIntervalSize(x);
  spacing->SetYIntervalSize(y);
  grid->SetGridlineType(GIS_GRIDLINE_NONE);
  grid->SetSubTickVisible(false, false, false, false);
  made.release();
  return grid;
}

// The minute marks: a hairline at every minute of longitude and latitude
// where its meridian or parallel meets the frame, standing in the band
// beyond the kilometre numbers.
IGIS_MapGrid* MinuteMarks(IGIS_MapElement* frame) {
  IGIS_GraticuleGrid* grid = MinuteGraticule(frame, kMinuteMarksName, 1, 1);
  if (grid == nullptr) return nullptr;
  grid->SetLabelVisible(false, false, false, false);
  grid->SetTickVisible(true, true, true, true);
  grid->SetTickOffset(kMinuteMarkOffset);
  grid->SetTickLength(kMinuteMarkLength);
  if (ReleasePtr<IGIS_Symbol> line = GridLine(kHairline)) grid->SetTickLineSymbol(line.get());
  return grid;
}

// The corner coordinates: the sheet's own meridians (every 15′) and
// parallels (every 10′) written in degrees and minutes beyond the band where
// they meet the frame, next to the sheet's corners.
IGIS_MapGrid* CornerCoordinates(IGIS_MapElement* frame) {
  IGIS_GraticuleGrid* grid = MinuteGraticule(frame, kCornerCoordinatesName, 15, 10);
  if (grid == nullptr) return nullptr;
  ReleasePtr<IGIS_MapGrid> owned(grid);
  grid->SetTickVisible(false, false, false, false);
  grid->SetLabelVisible(true, true, true, true);
  auto* label = dynamic_cast<IGIS_DMSGridLabel*>(grid->GetLabelFormat());
  if (label == nullptr) return nullptr;
  label->SetDMSLabelType(GIS_DMSLABEL_STANDARD);
  label->SetShowSeconds(false);
  label->SetDecimalDigits(0);
  SetText(label->GetTextSymbolPtr(), kCornerPoints, "宋体");
  label->SetLabelAlignment(false, false, false, false);
  label->SetLabelOffsetX(kCornerLabelOffset, kCornerLabelOffset, 0, 0);
  label->SetLabelOffsetY(0, 0, kCornerLabelOffset, kCornerLabelOffset);
  return owned.release();
}

// The bytes a reference stores; empty when it stores none.
std::string StoredReference(IGIS_SpatialReference* reference) {
  ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  if (reference == nullptr || !buffer || !reference->Archive(buffer.get(), GIS_ARCHIVE_WRITE) ||
      buffer->GetSize() <= 0)
    return {};
  return std::string(reinterpret_cast<const char*>(buffer->GetData()),
                     static_cast<std::size_t>(buffer->GetSize()));
}

}  // namespace

bool SameReference(IGIS_SpatialReference* a, IGIS_SpatialReference* b) {
  const std::string stored = StoredReference(a);
  return !stored.empty() && stored == StoredReference(b);
}

bool AddSheetGrids(IGIS_MapElement* frame, IGIS_Map* sheet) {
  if (frame == nullptr || sheet == nullptr || frame->GetMapGrids() == nullptr) return false;
  // The first grid of the list is drawn last: the kilometre grid on top.
  return AddToList(frame, KilometreGrid(frame, sheet)) && AddToList(frame, MinuteMarks(frame)) &&
         AddToList(frame, CornerCoordinates(frame));
}

}  // namespace md::demo
