// The map sheet page: title, subtitle, the map frame at 1:50,000 and a scale
// bar under it.
#include "tools/demo/mapsheet.h"

#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/mapframe/igis_mapelement.h"
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
    // The other kinds a host can make, around it.
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING, "双行比例尺", 2,
                7000, kSheetFrameBottom - 1800);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, "中空比例尺", 2, 7000, 300);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE, "步进比例尺", 2, -1,
                300);
    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE, "线比例尺 0-1千米", 1,
                17600, kSheetFrameBottom - 1800);
  }
  AddText(*page, report, doc.sheet()->GetName(), kSheetFrameLeft, 19500, 20, 700);
  AddText(*page, report, "1:50 000    CGCS2000 高斯-克吕格投影 3°带 第39带", 14500, 19600, 11, 400);
  AddFurniture(*page, report, frame);
  return page;
}

}  // namespace md::demo
