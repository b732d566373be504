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
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
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

// An alternating scale bar of 0 to 2 km following the frame, centred under
// it. It is set up as a host sets up a stored bar: through the keys of its
// stored form (layout/graphicelement/scalebar/FORMAT.md), read back with
// Archive, which binds the frame and lays the bar out at the frame's scale.
void AddScaleBar(Page& page, BuildReport* report, IGIS_Element* frame) {
  IGIS_Element* bar = page.Create(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING);
  if (bar == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING);
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
  setInt("Divisions", 2);
  setInt("SubDivisions", 4);
  setInt("ResizeHint", 0);
  if (IGIS_Field* f = set->GetProperty("Division")) f->SetDouble(1.0);
  if (IGIS_Field* f = set->GetProperty("UnitLabel")) f->SetString("千米");
  set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0);
  attributes->SetDataBuffer("Custom", buffer.get(), 0);
  bar->Archive(1, 0);
  bar->SetName("图形比例尺 0-2千米");
  const SGIS_Rect r = bar->GetRect();
  bar->SetLBpoint(
      SGIS_Point((kSheetFrameLeft + kSheetFrameRight - r.Width()) / 2, kSheetFrameBottom - 1800, 0));
}

// The scale as text ("1:5万") following the frame, centred under the scale
// bar: absolute, whole numbers.
void AddScaleText(Page& page, BuildReport* report, IGIS_Element* frame) {
  auto* text = dynamic_cast<IGIS_ScaleTextElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT));
  if (text == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT);
    return;
  }
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
    AddScaleBar(*page, report, frame);
    AddScaleText(*page, report, frame);
  }
  AddText(*page, report, doc.sheet()->GetName(), kSheetFrameLeft, 19500, 20, 700);
  AddText(*page, report, "1:50 000    CGCS2000 高斯-克吕格投影 3°带 第39带", 14500, 19600, 11, 400);
  return page;
}

}  // namespace md::demo
