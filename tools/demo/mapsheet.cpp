// The map sheet page: the whole sheet in its frame at 1:50,000 with a
// kilometre band round it, and a side panel holding, top to bottom, the
// title and sheet number, the index of neighbouring sheets, the north arrow
// beside the three-north diagram, the legend, the scale text and bar and the
// slope rule.
#include "tools/demo/mapsheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/stratel/igis_numericformat.h"
#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/igis_legenditem.h"
#include "layout/graphicelement/ole/igis_oleelement.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/scalebar/igis_scaletextelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/ole/objectclass.h"
#include "platform/ole/storage.h"
#include "tools/demo/mapsheetgrids.h"
#include "tools/demo/samplelogo.h"

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
IGIS_Element* AddText(Page& page, BuildReport* report, const char* text, int points, int weight) {
  auto* e = dynamic_cast<IGIS_TextElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_TEXT));
  if (e == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
    return nullptr;
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
  e->SetLBpoint(SGIS_Point(0, 0, 0));
  return e;
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

// A legend of every class of every vector layer of the sheet.
IGIS_Element* AddLegend(Page& page, BuildReport* report, IGIS_MapElement* frame, IGIS_Map* sheet) {
  auto* legend = dynamic_cast<IGIS_LegendElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND));
  if (legend == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND);
    return nullptr;
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
  legend->RecalcRect();
  return legend;
}

// The band of kilometre pieces a topographic sheet carries round its frame,
// one piece per ground kilometre.
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

// A scale bar of the type, of 1 km divisions, following the frame. It is
// set up as a host sets up a stored bar: through the keys of its stored form
// (layout/graphicelement/scalebar/FORMAT.md), read back with Archive, which
// binds the frame and lays the bar out at the frame's scale.
IGIS_Element* AddScaleBar(Page& page, BuildReport* report, IGIS_Element* frame, const char* type,
                          const char* name, int divisions) {
  IGIS_Element* bar = page.Create(type);
  if (bar == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(type);
    return nullptr;
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
  return bar;
}

// An element of the type, or NULL after noting the type in the report.
template <class T>
T* CreateOrReport(Page& page, BuildReport* report, const char* type) {
  auto* e = dynamic_cast<T*>(page.Create(type));
  if (e == nullptr && report != nullptr) report->missingTypes.push_back(type);
  return e;
}

// The scale as text ("1:5万") following the frame: absolute, whole numbers.
IGIS_Element* AddScaleText(Page& page, BuildReport* report, IGIS_Element* frame) {
  auto* text = CreateOrReport<IGIS_ScaleTextElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT);
  if (text == nullptr) return nullptr;
  text->SetMapElement(frame);
  text->SetScaleTextStyle(0);
  if (IGIS_NumericFormat* format = text->GetNumericFormatPtr()) format->SetDigits(0);
  if (IGIS_Symbol* symbol = text->GetSymbolPtr()) {
    if (LOGFONT* font = symbol->GetFontSizePtr()) font->lfHeight = 12;
  }
  text->RebuildText();
  text->SetName("文本比例尺");
  return text;
}

// A north arrow following the frame, in a box of that size.
IGIS_Element* AddNorthArrow(Page& page, BuildReport* report, IGIS_MapElement* frame, int width, int height) {
  auto* arrow = CreateOrReport<IGIS_NorthArrowElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW);
  if (arrow == nullptr) return nullptr;
  arrow->SetMapElementPtr(frame);
  arrow->SetFramePropertyPtr(nullptr);
  arrow->SetRect(SGIS_Rect(0, height, width, 0));
  return arrow;
}

// The index of the eight neighbouring sheets.
IGIS_Element* AddMapIndex(Page& page, BuildReport* report) {
  auto* index = CreateOrReport<IGIS_MapIndexElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX);
  if (index == nullptr) return nullptr;
  // The element prints its "NorthEast" text in the top-left cell, its
  // "East" on the left and its "SouthEast" bottom left, the west keys on the
  // right: the keys are filled mirrored, so that the printed index reads as
  // a map does (the north-west neighbour, 青石岭, top left; the north-east
  // one, 石门, top right).
  index->SetNorthEastText("青石岭");
  index->SetNorthText("北岭");
  index->SetNorthWestText("石门");
  index->SetEastText("龙泉");
  index->SetWestText("东沟");
  index->SetSouthEastText("西峪");
  index->SetSouthText("河口");
  index->SetSouthWestText("南河");
  index->SetColWidth(1600);
  index->SetRowHeight(700);
  IGIS_Symbol* font = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT);
  if (font != nullptr) {
    if (LOGFONT* lf = font->GetFontSizePtr()) lf->lfHeight = -9;
    index->SetTextSymbolPtr(font);
    font->Release();
  }
  index->SetLBpoint(SGIS_Point(0, 0, 0));
  index->UpdateGeometry();
  return index;
}

// The slope rule of the sheet's 10 m contours.
IGIS_Element* AddSlopeRule(Page& page, BuildReport* report, IGIS_MapElement* frame) {
  auto* slope = CreateOrReport<IGIS_SlopeElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE);
  if (slope == nullptr) return nullptr;
  slope->SetMapElementPtr(frame);
  slope->SetFramePropertyPtr(nullptr);
  slope->SetContourInterval(10.0);
  slope->SetTitleGap(1400);
  slope->SetAngleGap(80);
  slope->SetPercentGap(500);
  slope->SetGapDescription(60);
  slope->Refresh();
  return slope;
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
IGIS_Element* AddThreeNorth(Page& page, BuildReport* report, IGIS_MapElement* frame, IGIS_Map* map) {
  auto* diagram = CreateOrReport<IGIS_ThreeNorthElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH);
  if (diagram == nullptr) return nullptr;
  IGIS_SymbolFactory* symbols = GIS_GetSymbolFactoryObject();
  md::basilo::ReleasePtr<IGIS_Symbol> font(symbols->CreateSymbol(GIS_SYMBOL_TEXT));
  if (LOGFONT* lf = font->GetFontSizePtr()) {
    lf->lfHeight = -7;
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
  diagram->SetAxisLength(3200);
  // The labels start 1.5 mm out from where the lines meet, and the lines
  // stand 36 degrees apart: the angles in degrees and minutes at this size
  // then fit between them on rings the lines' length holds.
  diagram->SetTxtOffset(150);
  diagram->SetAngle(36);
  diagram->SetMapElementPtr(frame);
  diagram->SetName("三北方向线");
  diagram->Refresh();
  return diagram;
}

// The publisher's mark: the demo's logo as a picture of that size, its
// bytes kept in the page.
IGIS_Element* AddPublisherMark(Page& page, BuildReport* report, int size) {
  IGIS_PictureElement* logo = AddPicture(page, report, "出版标志", &WriteSampleLogo);
  // The picture's bytes go into the page.
  if (logo != nullptr) {
    logo->SetRect(SGIS_Rect(0, size, size, 0));
    logo->SetName("出版标志");
    logo->ArchivePictureData(true);
  }
  return logo;
}

// The sheet's notes as an embedded text document of that width.
IGIS_Element* AddNotes(Page& page, BuildReport* report, int width) {
  auto* notes = CreateOrReport<IGIS_OleElement>(page, report, GIS_TYPE_GRAPHIC_ELEMENT_OLE);
  md::ole::Storage text;
  text.clsid = md::ole::TextDocumentClass().clsid;
  const std::string content = "编图说明\n本图为1:5万地形图样图，资料截至2026年。";
  text.streams["Contents"].assign(content.begin(), content.end());
  if (!EmbedObject(notes, text, SGIS_Rect(0, 1000, width, 0), report, "编图说明")) return nullptr;
  notes->SetName("编图说明");
  return notes;
}

// Elements stacked top down in a column of the page, each centred in it.
class Column {
 public:
  Column(int left, int right, int top) : left_(left), right_(right), y_(top) {}
  // Puts the element's top at the cursor and moves the cursor below it and
  // the gap. A missing element takes no room.
  void Place(IGIS_Element* e, int gap) { PlaceRow({e}, gap); }
  // Elements side by side, spread evenly across the column, tops aligned.
  void PlaceRow(const std::vector<IGIS_Element*>& row, int gap) {
    int width = 0, height = 0, count = 0;
    for (IGIS_Element* e : row) {
      if (e == nullptr) continue;
      const SGIS_Rect r = e->GetRect();
      width += r.Width();
      height = std::max(height, r.Height());
      ++count;
    }
    if (count == 0) return;
    const int space = std::max(0, (right_ - left_ - width) / (count + 1));
    int x = left_ + space;
    for (IGIS_Element* e : row) {
      if (e == nullptr) continue;
      const SGIS_Rect r = e->GetRect();
      e->SetLBpoint(SGIS_Point(x, y_ - r.Height(), 0));
      x += r.Width() + space;
    }
    y_ -= height + gap;
  }
  int cursor() const { return y_; }

 private:
  int left_;
  int right_;
  int y_;
};

}  // namespace

int LinearUnitIndex(const char* name) {
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  for (int i = 0; factory != nullptr && i < factory->GetLinearUnitCount(); ++i) {
    IGIS_Unit* unit = factory->GetLinearUnit(i);
    if (unit != nullptr && std::strcmp(unit->GetName(), name) == 0) return i;
  }
  return 0;
}

bool SheetExtent(IGIS_Map* map, SGIS_DRect* extent) {
  IGIS_TilingRule* rule = GIS_GetTilingRuleManagerPtr()->GetTilingRule(GIS_TILINGRULE_NATIONAL);
  SGIS_Rect r;
  if (map == nullptr || extent == nullptr || rule == nullptr ||
      !rule->GetSheetExtent(kSheetNumber, map->GetSpatialReference(), 1, &r))
    return false;
  *extent = SGIS_DRect(std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                       std::max(r.top, r.bottom));
  return true;
}

std::unique_ptr<Page> BuildMapSheetPage(const MapDocument& doc, BuildReport* report) {
  auto page = std::make_unique<Page>();
  SGIS_DRect extent;
  if (!page->ok() || !doc.ok() || !SheetExtent(doc.sheet(), &extent)) return nullptr;
  page->SetPaper(kSheetPaperWidth, kSheetPaperHeight);
  page->featureSet()->SetMapLayer(doc.LayoutLayer());

  // The whole sheet at true scale: map metres over map metres per page unit.
  const int frameRight =
      kSheetFrameLeft + static_cast<int>(std::lround((extent.x2 - extent.x1) / kSheetScale));
  const int frameTop =
      kSheetFrameBottom + static_cast<int>(std::lround((extent.y2 - extent.y1) / kSheetScale));
  const int panelLeft = frameRight + kSheetBorderOffset + kSheetBorderWidth + kSheetPanelGap;
  Column panel(panelLeft, kSheetPaperWidth - kSheetPanelMargin,
               frameTop + kSheetBorderOffset + kSheetBorderWidth);

  // The title: the sheet's name (the map's name up to its scale) and number.
  std::string name = doc.sheet()->GetName();
  name = name.substr(0, name.find(' '));
  panel.Place(AddText(*page, report, name.c_str(), 24, 700), 250);
  panel.Place(AddText(*page, report, kSheetNumber, 12, 700), 500);
  panel.Place(AddMapIndex(*page, report), 900);

  auto* frame = dynamic_cast<IGIS_MapElement*>(page->Create(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
  if (frame == nullptr) {
    if (report != nullptr) report->missingTypes.push_back(GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  } else {
    frame->SetRect(SGIS_Rect(kSheetFrameLeft, frameTop, frameRight, kSheetFrameBottom));
    frame->SetMapName(doc.sheet()->GetName());
    frame->SetMapBound(extent);
    frame->SetScale(kSheetScale);
    frame->SetName("西山幅地图框架");
    AddSheetBorder(frame);
    AddSheetGrids(frame, doc.sheet());
    panel.PlaceRow(
        {AddNorthArrow(*page, report, frame, 900, 2000), AddThreeNorth(*page, report, frame, doc.sheet())},
        900);
    panel.Place(AddLegend(*page, report, frame, doc.sheet()), 900);
    panel.Place(AddScaleText(*page, report, frame), 300);
    panel.Place(AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING,
                            "图形比例尺 0-4千米", 4),
                900);
    panel.Place(AddSlopeRule(*page, report, frame), 900);
    // The other kinds of scale bar a host can make, two by two.
    panel.PlaceRow(
        {AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING, "双行比例尺",
                     2),
         AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, "中空比例尺", 2)},
        500);
    panel.PlaceRow({AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE,
                                "步进比例尺", 2),
                    AddScaleBar(*page, report, frame, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE,
                                "线比例尺 0-1千米", 1)},
                   900);
  }
  panel.Place(AddText(*page, report, "CGCS2000 高斯-克吕格投影 3°带 第39带", 9, 400), 200);
  panel.Place(AddText(*page, report, "1985国家高程基准 等高距10米", 9, 400), 900);
  panel.PlaceRow({AddNotes(*page, report, 6000), AddPublisherMark(*page, report, 1400)}, 0);
  return page;
}

}  // namespace md::demo
