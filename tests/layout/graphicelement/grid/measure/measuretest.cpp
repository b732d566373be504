#include "tests/layout/graphicelement/grid/measure/measuretest.h"

#include <algorithm>
#include <string>

#include "host/helmora/gis_mapfile.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/measure/cgis_measuregrid.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "platform/text/textengine.h"

namespace md::test {

namespace {

IGIS_Symbol* NewSymbol(int type, COLORREF color, double width) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
  s->SetColor(color);
  s->SetLineWidth(width);
  return s;
}

}  // namespace

IGIS_MeasureGrid* NewMeasureGrid(IGIS_MapElement* frame, double widthMm) {
  IGIS_MeasureGrid* grid = new CGIS_MeasureGrid();
  grid->SetMapElement(frame);
  md::basilo::ReleasePtr<IGIS_Symbol> line(NewSymbol(GIS_SYMBOL_LINE, kLineColor, widthMm));
  md::basilo::ReleasePtr<IGIS_Symbol> tick(NewSymbol(GIS_SYMBOL_LINE, kTickColor, widthMm));
  md::basilo::ReleasePtr<IGIS_Symbol> subTick(NewSymbol(GIS_SYMBOL_LINE, kSubTickColor, widthMm));
  md::basilo::ReleasePtr<IGIS_Symbol> mark(NewSymbol(GIS_SYMBOL_POINT, kMarkColor, 0.2));
  mark->SetCode(3303);
  grid->SetLineSymbol(line.get());
  grid->SetTickLineSymbol(tick.get());
  grid->SetSubTickLineSymbol(subTick.get());
  grid->SetMarkSymbol(mark.get());
  return grid;
}

std::vector<Stroke> StrokesOf(const md::canvas::RecordingCanvas& canvas, COLORREF color) {
  std::vector<Stroke> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    if (r->shape.stroke && !r->shape.fill && r->pen.color == color)
      out.push_back({r->Points(), r->pen.color});
  }
  return out;
}

std::vector<md::canvas::Point> MarksOf(const md::canvas::RecordingCanvas& canvas, COLORREF color) {
  std::vector<md::canvas::Point> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    if (!(r->shape.fill && r->brush.color == color) && !(r->shape.stroke && r->pen.color == color)) continue;
    const std::vector<md::canvas::Point> pts = r->Points();
    if (pts.empty()) continue;
    double x1 = pts[0].x, x2 = x1, y1 = pts[0].y, y2 = y1;
    for (const md::canvas::Point& p : pts) {
      x1 = std::min(x1, p.x);
      x2 = std::max(x2, p.x);
      y1 = std::min(y1, p.y);
      y2 = std::max(y2, p.y);
    }
    const md::canvas::Point centre{(x1 + x2) / 2, (y1 + y2) / 2};
    // A symbol drawn in several shapes counts once.
    if (std::find(out.begin(), out.end(), centre) == out.end()) out.push_back(centre);
  }
  return out;
}

void MeasurePage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);
  doc_ = GIS_CreateDocumentObject();
  const std::string maps = std::string(MD_SOURCE_DIR) + "/host/helmora/maps/";
  sheet_ = GIS_LoadMapFile(doc_, (maps + "sheet_50k.geojson").c_str());
  region_ = GIS_LoadMapFile(doc_, (maps + "region_1m.geojson").c_str());
  ASSERT_NE(sheet_, nullptr);
  ASSERT_NE(region_, nullptr);
  ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));
}

void MeasurePage::TearDown() {
  for (CGIS_MapElement* f : frames_) f->Release();
  if (set_ != nullptr) set_->Release();
  if (page_ != nullptr) page_->Release();
  if (doc_ != nullptr) doc_->Release();
  GIS_SetSymbolTextEngine("freetype");
}

CGIS_MapElement* MeasurePage::Frame(IGIS_Map* map, SGIS_DRect bound, double scale, SGIS_Point lowerLeft) {
  auto* f = new CGIS_MapElement(set_, nullptr);
  frames_.push_back(f);
  const int w = static_cast<int>(std::lround(bound.Width() / scale));
  const int h = static_cast<int>(std::lround(bound.Height() / scale));
  f->SetRect(SGIS_Rect(lowerLeft.x, lowerLeft.y + h, lowerLeft.x + w, lowerLeft.y));
  f->SetMapName(map->GetName());
  f->SetMapBound(bound);
  return f;
}

CGIS_MapElement* MeasurePage::SheetFrame() {
  return Frame(sheet_, SGIS_DRect(420000, 4424000, 430000, 4416000), 0.5, SGIS_Point(2000, 2000));
}

int MeasurePage::ElementCount() { return set_->GetFeatureClass()->GetFeatureCount(); }

IGIS_Element* MeasurePage::Convert(IGIS_MeasureGrid* grid) { return grid->ConvertToElement(); }

CGIS_MapElement* MeasurePage::ZeroScaleFrame() {
  CGIS_MapElement* f = SheetFrame();
  f->Archive(0, 0);
  IGIS_FeatureAttributes* attributes = f->GetFeaturePtr()->GetAttributes();
  md::basilo::ReleasePtr<IGIS_PropertySet> custom(GIS_CreatePropertySetObject());
  EXPECT_TRUE(custom->Archive(attributes->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0));
  custom->GetProperty("FixScale")->SetDouble(0.0);
  md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(custom->Archive(out.get(), GIS_ARCHIVE_WRITE, 0));
  attributes->SetDataBuffer("Custom", out.get(), 0);
  // The frame's own setters keep a frame at least one unit high.
  f->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(2000, 2000, 22000, 2000), 0);
  f->Archive(1, 0);
  EXPECT_EQ(f->GetScale(), 0.0);
  return f;
}

std::vector<IGIS_Element*> MembersOf(IGIS_Element* compound) {
  std::vector<IGIS_Element*> out;
  auto* c = dynamic_cast<IGIS_CompoundElement*>(compound);
  for (int i = 0; c != nullptr && i < c->GetElementCount(); ++i) out.push_back(c->GetElementPtrByIndex(i));
  return out;
}

Made Read(IGIS_Element* element) {
  Made m;
  if (element == nullptr) return m;
  m.type = element->GetType();
  IGIS_Feature* feature = element->GetFeaturePtr();
  IGIS_Geometry* geometry = feature != nullptr ? feature->GetGeometry() : nullptr;
  for (int i = 0; geometry != nullptr && i < geometry->GetPointCount(); ++i)
    m.points.push_back(geometry->GetPoint(i, 0));
  IGIS_Symbol* symbol = nullptr;
  if (auto* line = dynamic_cast<IGIS_PolylineElement*>(element)) symbol = line->GetSymbolPtr();
  if (auto* point = dynamic_cast<IGIS_PointElement*>(element)) symbol = point->GetSymbolPtr();
  if (symbol != nullptr) m.color = symbol->GetColor();
  // A point stands at the centre of its element's rectangle.
  if (dynamic_cast<IGIS_PointElement*>(element) != nullptr) m.points = {element->GetRect().CenterPoint()};
  return m;
}

}  // namespace md::test
