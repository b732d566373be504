// The map sheet page: title, subtitle and the map frame at 1:50,000.
#include "tools/demo/mapsheet.h"

#include <cstring>

#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
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
  }
  AddText(*page, report, doc.sheet()->GetName(), kSheetFrameLeft, 19500, 20, 700);
  AddText(*page, report, "1:50 000    CGCS2000 高斯-克吕格投影 3°带 第39带", 14500, 19600, 11, 400);
  return page;
}

}  // namespace md::demo
