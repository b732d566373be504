// The map sheet page: title, subtitle, the map frame at 1:50,000, a scale
// bar under it, the furniture round it and the three-north diagram.
#include "tools/demo/mapsheet.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/igis_legenditem.h"
#include "layout/graphicelement/mapframe/igis_mapelement.h"
#include "layout/graphicelement/scalebar/igis_scaletextelement.h"
#include "layout/graphicelement/text/igis_textelement.h"

namespace md::demo {

MapDocument::MapDocument(const std::string& mapsFolder) : doc_(GIS_CreateDocumentObject()) {
  if (doc_ != nullptr) sheet_ = GIS_LoadMapFile(doc_, (mapsFolder + "/sheet_50k.geojson").c_str());
}

MapDocument::~MapDocument() {
  if (doc_ != nullptr) doc_->Release();
}

IGIS_MapLayer* MapDocument::LayoutLayer() const { return doc_ != nullptr ? doc_->GetLayoutLayer() : nullptr; }

std::string SampleMapsFolder() { return MAPDECK_SAMPLE_MAPS_DIR; }

namespace {

// A text of the size (points) in the face, placed by its lower-left corner.
void AddText(Page& page, BuildReport* report, const char* text, int x, int y, int points, int weight) {
  auto* e = dynamic_cast<IGIS_TextElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_TEXT));
  if (e == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
    return;
  }
  IGIS_Symbol* font = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT);
  if (font != nullptr) {
    if (LOGFONT* lf = font->GetFontSizePtr()) {
      lf->lfHeight = -points;
      lf->lfWeight = weight;
      std::strncpy(lf->lfFaceName, "黑体", sizeof(lf->lfFaceName) - 1);
    }
    font->SetColor(RGB(30, 30, 35));
    e->SetSymbolPtr(font);
    font->Release();
  }
  e->SetText(text);
  e->SetLBpoint(SGIS_Point(x, y, 0));
}

// The vector layers of a layer, depth first through groups.
void CollectVectorLayers(IGIS_MapLayer* layer, std::vector<IGIS_MapLayer*>* out) {
  if (layer == nullptr || layer->GetType() == nullptr) return;
  if (std::strcmp(layer->GetType(), GIS_DRAWER_GROUP) == 0) {
    for (int i = 0; i < layer->GetLayerCount(); ++i) CollectVectorLayers(layer->GetLayer(i), out);
  } else {
    out->push_back(layer);
  }
}

IGIS_SymbolMatchTable* ClassesOf(IGIS_MapLayer* layer) {
  IGIS_LayerData* data = layer->GetLayerPtr();
  if (auto* compound = dynamic_cast<IGIS_VectorCompoundMapLayer*>(data)) {
    IGIS_VectorMapLayer* vector = compound->GetVectorMapLayer();
    return vector != nullptr ? vector->GetSymbolMatchTable() : nullptr;
  }
  auto* vector = dynamic_cast<IGIS_VectorMapLayer*>(data);
  return vector != nullptr ? vector->GetSymbolMatchTable() : nullptr;
}

void SetTextSize(IGIS_Symbol* symbol, int points, int weight) {
  LOGFONT* lf = symbol != nullptr ? symbol->GetFontSizePtr() : nullptr;
  if (lf == nullptr) return;
  lf->lfHeight = -points;
  lf->lfWeight = weight;
  std::strncpy(lf->lfFaceName, "黑体", sizeof(lf->lfFaceName) - 1);
}

// A legend of every class of every vector layer of the sheet, in the frame's
// lower-right corner.
void AddLegend(Page& page, BuildReport* report, IGIS_MapElement* frame, IGIS_Map* sheet) {
  auto* legend = dynamic_cast<IGIS_LegendElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND));
  if (legend == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND);
    return;
  }
  legend->SetName("西山幅图例");
  legend->SetMapElement(frame);
  IGIS_LegendFormat* format = legend->GetLegendFormat();
  format->SetDefaultPatchWidth(800);
  format->SetDefaultPatchHeight(350);
  format->SetVerticalItemGap(120);
  format->SetItemGap(220);
  format->SetLayerNameGap(80);
  format->SetPatchAndLabelsGap(200);
  format->SetTitleAndLegendGap(250);
  SetTextSize(format->GetTitleSymbol(), 10, 700);
  SetTextSize(format->GetLayerNameSymbol(), 7, 700);
  SetTextSize(format->GetLabelSymbol(), 7, 400);
  std::vector<IGIS_MapLayer*> layers;
  for (int i = 0; i < sheet->GetLayerCount(); ++i) CollectVectorLayers(sheet->GetLayer(i), &layers);
  for (IGIS_MapLayer* layer : layers) {
    IGIS_SymbolMatchTable* table = ClassesOf(layer);
    IGIS_LegendItem* item = GIS_CreateLegendItemObject(legend);
    if (item == nullptr) continue;
    item->SetLayer(layer);
    for (int j = 0; table != nullptr && j < table->GetCount(); ++j) item->AddLabel(table->GetLabel(j));
    legend->AddItem(item);
  }
  // A white ground with a thin grey border, so that the map does not show through.
  if (IGIS_FrameProperty* frameProperty = legend->GetFrameProperty()) {
    IGIS_SymbolFactory* symbols = GIS_GetSymbolFactoryObject();
    if (IGIS_Symbol* back = symbols->CreateSymbol(GIS_SYMBOL_FILL)) {
      back->SetCode(3362);
      back->SetColor(RGB(255, 255, 255));
      back->SetColor2(RGB(90, 90, 90));
      back->SetLineWidth(0.0);
      frameProperty->SetBackSymbolPtr(back);
      back->Release();
    }
    if (IGIS_Symbol* border = symbols->CreateSymbol(GIS_SYMBOL_LINE)) {
      border->SetCode(3334);
      border->SetColor(RGB(90, 90, 90));
      border->SetLineWidth(0.2);
      frameProperty->SetBorderSymbolPtr(border);
      border->Release();
    }
    frameProperty->SetBorderX(200);
    frameProperty->SetBorderY(200);
    frameProperty->SetBackX(200);
    frameProperty->SetBackY(200);
  }
  legend->SetLBpoint(SGIS_Point(kSheetLegendLeft, kSheetLegendBottom, 0));
  legend->RecalcRect();
}

// The band of kilometre pieces a topographic sheet carries round its frame:
// 2 mm outside the frame, 5 mm wide, one piece per ground kilometre.
void AddSheetBorder(IGIS_MapElement* frame) {
  IGIS_MapBorderFactory* factory = GIS_GetMapBorderFactoryObject();
  IGIS_MapBorder* border = factory != nullptr ? factory->CreateMapBorder(GIS_MAPBORDER_CALIBRATED) : nullptr;
  auto* band = dynamic_cast<IGIS_MapBorderCalibrated*>(border);
  if (band == nullptr) {
    if (border != nullptr) border->Release();
    return;
  }
  band->SetLeftOffset(kSheetBorderOffset);
  band->SetRightOffset(kSheetBorderOffset);
  band->SetTopOffset(kSheetBorderOffset);
  band->SetBottomOffset(kSheetBorderOffset);
  band->SetBorderWidth(kSheetBorderWidth);
  band->SetInterval(kSheetBorderInterval);
  IGIS_Symbol* black = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  if (black != nullptr) {
    black->SetColor(RGB(20, 20, 20));
    band->SetForegroundSymbolPtr(black);
    black->Release();
  }
  frame->SetOuterMapBorder(band);
  band->Release();
}

// The index of the linear unit of that name in the unit list of the scale
// bars, or 0 (metres) when there is none.
int LinearUnitIndex(const char* name) {
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  for (int i = 0; i < factory->GetLinearUnitCount(); ++i) {
    IGIS_Unit* unit = factory->GetLinearUnit(i);
    if (unit != nullptr && std::strcmp(unit->GetName(), name) == 0) return i;
  }
  return 0;
}

// A scale bar of the type, of 1 km divisions, following the frame, with its
// rectangle's lower-left corner at (x, y); x < 0 centres it under the frame.
// It is set up as a host sets up a stored bar: through the keys of its
// stored form (layout/graphicelement/scalebar/FORMAT.md), read back with
// Archive, which binds the frame and lays the bar out at the frame's scale.
void AddScaleBar(Page& page, BuildReport* report, IGIS_Element* frame, const char* type, const char* name,
                 int divisions, int x, int y) {
  IGIS_Element* bar = page.Create(type);
  if (bar == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(type);
    return;
  }
  IGIS_FeatureAttributes* attributes = bar->GetFeaturePtr()->GetAttributes();
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  set->Archive(attributes->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  auto setInt = [&set](const char* key, int value) {
    if (IGIS_Field* f = set->GetProperty(key)) f->SetInt(value);
  };
  setInt("MapElementID", frame->GetID());
  setInt("Units", LinearUnitIndex("千米"));
  setInt("Divisions", divisions);
  setInt("SubDivisions", 4);
  setInt("ResizeHint", 0);
  if (IGIS_Field* f = set->GetProperty("Division")) f->SetDouble(1.0);
  if (IGIS_Field* f = set->GetProperty("UnitLabel")) f->SetString("千米");
  set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0);
  attributes->SetDataBuffer("Custom", buffer.get(), 0);
  bar->Archive(1, 0);
  bar->SetName(name);
  const SGIS_Rect r = bar->GetRect();
  bar->SetLBpoint(SGIS_Point(x < 0 ? (kSheetFrameLeft + kSheetFrameRight - r.Width()) / 2 : x, y, 0));
}

// An element of the type, or NULL after noting the type in the report.
template <class T>
T* CreateOrReport(Page& page, BuildReport* report, const char* type) {
  auto* e = dynamic_cast<T*>(page.Create(type));
  if (e == nullptr && report != nullptr) report->missingTypes.push_back(type);
  return e;
}

// The scale as text ("1:5万") following the frame, centred under the scale
// bar: absolute, whole numbers.
void AddScaleText(Page& page, BuildReport* report, IGIS_Element* frame) {
  auto* text = CreateOrReport<IGIS_ScaleTextElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT);
  if (text == nullptr) return;
  text->SetMapElement(frame);
  text->SetScaleTextStyle(0);
  if (IGIS_NumericFormat* format = text->GetNumericFormatPtr()) format->SetDigits(0);
  if (IGIS_Symbol* symbol = text->GetSymbolPtr()) {
    if (LOGFONT* font = symbol->GetFontSizePtr()) font->lfHeight = 12;
  }
  text->RebuildText();
  text->SetName("文本比例尺");
  const SGIS_Rect r = text->GetRect();
  text->SetLBpoint(
      SGIS_Point((kSheetFrameLeft + kSheetFrameRight - r.Width()) / 2, kSheetFrameBottom - 2700, 0));
  text->Archive(0, 0);
}

// The furniture around the frame: the north arrow above its top-right
// corner, the index of the neighbouring sheets below its left end and the
// slope rule for 10 m contours below its right end, all clear of the border
// band.
void AddFurniture(Page& page, BuildReport* report, IGIS_MapElement* frame) {
  if (auto* arrow =
          CreateOrReport<IGIS_NorthArrowElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW)) {
    arrow->SetMapElementPtr(frame);
    arrow->SetFramePropertyPtr(nullptr);
    arrow->SetRect(SGIS_Rect(27000, 20900, 27700, 19300));
  }
  if (auto* index = CreateOrReport<IGIS_MapIndexElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX)) {
    const char* names[] = {"石门", "北岭", "青石岭", "东沟", "龙泉", "南河", "河口", "西峪"};
    index->SetNorthEastText(names[0]);
    index->SetNorthText(names[1]);
    index->SetNorthWestText(names[2]);
    index->SetEastText(names[3]);
    index->SetWestText(names[4]);
    index->SetSouthEastText(names[5]);
    index->SetSouthText(names[6]);
    index->SetSouthWestText(names[7]);
    index->SetColWidth(1200);
    index->SetRowHeight(600);
    IGIS_Symbol* font = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT);
    if (font != nullptr) {
      if (LOGFONT* lf = font->GetFontSizePtr()) lf->lfHeight = -8;
      index->SetTextSymbolPtr(font);
      font->Release();
    }
    index->SetLBpoint(SGIS_Point(kSheetFrameLeft, 500, 0));
    index->UpdateGeometry();
  }
  if (auto* slope = CreateOrReport<IGIS_SlopeElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE)) {
    slope->SetMapElementPtr(frame);
    slope->SetFramePropertyPtr(nullptr);
    slope->SetContourInterval(10.0);
    slope->SetTitleGap(1400);
    slope->SetAngleGap(80);
    slope->SetPercentGap(500);
    slope->SetGapDescription(60);
    slope->Refresh();
    const SGIS_Rect r = slope->GetRect();
    slope->SetLBpoint(SGIS_Point(kSheetFrameRight - r.Width(), 100, 0));
  }
}

// The grid convergence at the middle of the sheet from the map's reference:
// the bearing of grid north from true north, degrees clockwise.
double GridConvergence(IGIS_Map* map) {
  IGIS_SpatialReference* grid = map->GetSpatialReference();
  IGIS_ProjectedCoordSys* projected = grid != nullptr ? grid->GetProjectedCoordSys() : nullptr;
  IGIS_GeographicCoordSys* system = projected != nullptr ? projected->GetGeographicCoordSys() : nullptr;
  SGIS_DRect extent;
  if (system == nullptr || map->GetFullExtent(&extent, 0) == nullptr) return 0.0;
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  md::basilo::ReleasePtr<IGIS_SpatialReference> geographic(
      factory->CreateGeographicReference("geographic", "", nullptr, system, nullptr));
  md::basilo::ReleasePtr<IGIS_CoordTransform> toGrid(
      factory->CreateCoordTransform("to grid", "", geographic.get(), grid));
  if (!geographic || !toGrid) return 0.0;
  SGIS_DPoint p[2];
  p[0] = SGIS_DPoint((extent.x1 + extent.x2) / 2, (extent.y1 + extent.y2) / 2, 0);
  if (!toGrid->TransformPoint(1, p, 0)) return 0.0;
  p[1] = SGIS_DPoint(p[0].x, p[0].y + 0.01, 0);  // a little way due north
  if (!toGrid->TransformPoint(2, p, 1)) return 0.0;
  // True north leans by this bearing on the grid; grid north leans back.
  return -std::atan2(p[1].x - p[0].x, p[1].y - p[0].y) * 180.0 / 3.14159265358979323846;
}

// A three-north diagram of the sheet under the frame it follows: the grid convergence from the map's
// reference and the magnetic declination of the sheet's area.
void AddThreeNorth(Page& page, BuildReport* report, IGIS_MapElement* frame, IGIS_Map* map) {
  auto* diagram = dynamic_cast<IGIS_ThreeNorthElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
  if (diagram == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH);
    return;
  }
  IGIS_SymbolFactory* symbols = GIS_GetSymbolFactoryObject();
  md::basilo::ReleasePtr<IGIS_Symbol> font(symbols->CreateSymbol(GIS_SYMBOL_TEXT));
  if (LOGFONT* lf = font->GetFontSizePtr()) {
    lf->lfHeight = -5;
    std::strncpy(lf->lfFaceName, "宋体", sizeof(lf->lfFaceName) - 1);
  }
  font->SetColor(RGB(30, 30, 35));
  diagram->SetAxisTextSymbolPtr(font.get());
  diagram->SetAngleTextSymbolPtr(font.get());
  md::basilo::ReleasePtr<IGIS_Symbol> axis(symbols->CreateSymbol(GIS_SYMBOL_LINE));
  axis->SetCode(0xD03);
  axis->SetColor(RGB(30, 30, 35));
  axis->SetLineWidth(0.15);
  diagram->SetAxisLineSymbolPtr(axis.get());
  md::basilo::ReleasePtr<IGIS_Symbol> arcs(symbols->CreateSymbol(GIS_SYMBOL_LINE));
  arcs->SetCode(0xD03);
  arcs->SetColor(RGB(90, 90, 100));
  arcs->SetLineWidth(0.1);
  diagram->SetAngleLineSymbolPtr(arcs.get());
  md::basilo::ReleasePtr<IGIS_Symbol> fill(symbols->CreateSymbol(GIS_SYMBOL_FILL));
  fill->SetCode(0xD21);
  fill->SetColor(RGB(30, 30, 35));
  fill->SetColor2(RGB(30, 30, 35));
  diagram->SetFillSymbolPtr(fill.get());
  diagram->SetCoordinateAngle(GridConvergence(map));
  diagram->SetMagnetAngle(kSheetDeclination);
  diagram->SetAxisLength(2300);
  diagram->SetMapElementPtr(frame);
  diagram->SetName("三北方向线");
  diagram->Refresh();
  const SGIS_Rect r = diagram->GetRect();
  // Between the scale bar and the slope rule.
  diagram->SetLBpoint(SGIS_Point(18900 - r.Width() / 2, 150, 0));
}

}  // namespace

std::unique_ptr<Page> BuildMapSheetPage(const MapDocument& doc, BuildReport* report) {
  auto page = std::make_unique<Page>();
  if (!page->ok() || !doc.ok()) return nullptr;
  page->featureSet()->SetMapLayer(doc.LayoutLayer());

  auto* frame = dynamic_cast<IGIS_MapElement*>(page->Create(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
  if (frame == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  } else {
    frame->SetRect(SGIS_Rect(kSheetFrameLeft, kSheetFrameTop, kSheetFrameRight, kSheetFrameBottom));
    frame->SetMapName(doc.sheet()->GetName());
    frame->SetScale(kSheetScale);
    frame->SetName("西山幅地图框架");
    AddSheetBorder(frame);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING, "图形比例尺 0-2千米", 2,
                -1, kSheetFrameBottom - 1800);
    AddThreeNorth(*page, report, frame, doc.sheet());
    AddScaleText(*page, report, frame);
    AddLegend(*page, report, frame, doc.sheet());
    // The other kinds a host can make: two left of it, two above the frame
    // between the sheet's name and its scale line.
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING, "双行比例尺", 2,
                7000, kSheetFrameBottom - 1800);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, "中空比例尺", 2, 7000, 300);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE, "步进比例尺", 2,
                6800, 19500);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE, "线比例尺 0-1千米", 1,
                11600, 19500);
  }
  AddText(*page, report, doc.sheet()->GetName(), kSheetFrameLeft, 19500, 20, 700);
  AddText(*page, report, "1:50 000    CGCS2000 高斯-克吕格投影 3°带 第39带", 14500, 19600, 11, 400);
  AddFurniture(*page, report, frame);
  return page;
}

}  // namespace md::demo
