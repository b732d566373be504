#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"

#include <cstring>

#include "host/helmora/gis_mapfile.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test {

IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  b->SetSize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
  return b;
}

IGIS_Symbol* NewLineSymbol(COLORREF color, double widthMm) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE);
  s->SetColor(color);
  s->SetLineWidth(widthMm);
  return s;
}

IGIS_Symbol* NewTextSymbol(int height) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT);
  if (LOGFONT* f = s->GetFontSizePtr()) f->lfHeight = height;
  return s;
}

std::vector<Stroke> StrokesOf(const md::canvas::RecordingCanvas& canvas) {
  std::vector<Stroke> out;
  // The canvas keeps colours in the byte order of COLORREF.
  for (const Painted& p : PaintedOf(canvas))
    if (!p.fill) out.push_back({p.points, static_cast<COLORREF>(p.color)});
  return out;
}

void SheetPage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);
  doc_ = GIS_CreateDocumentObject();
  const std::string maps = std::string(MD_SOURCE_DIR) + "/host/helmora/maps/";
  sheet_ = GIS_LoadMapFile(doc_, (maps + "sheet_50k.geojson").c_str());
  ASSERT_NE(sheet_, nullptr);
  ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));
  frame_ = new CGIS_MapElement(set_, nullptr);
  frame_->SetRect(SGIS_Rect(5000, 25000, 30000, 5000));
  frame_->SetMapName(sheet_->GetName());
}

void SheetPage::TearDown() {
  if (frame_ != nullptr) frame_->Release();
  if (set_ != nullptr) set_->Release();
  if (page_ != nullptr) page_->Release();
  if (doc_ != nullptr) doc_->Release();
  GIS_SetSymbolTextEngine("freetype");
}

CGIS_GraticuleGrid* SheetPage::NewGraticule(double dMinutes) {
  auto* grid = new CGIS_GraticuleGrid();
  grid->SetMapElement(frame_);
  grid->SetBorder(nullptr);
  grid->GetGridSpacing()->SetUnits(2);  // minutes
  grid->GetGridSpacing()->SetXIntervalSize(dMinutes);
  grid->GetGridSpacing()->SetYIntervalSize(dMinutes);
  return grid;
}

void SheetPage::DrawFrame(GraticulePrinter& printer) {
  frame_->OnDraw(printer.hdc, true, printer.display.get());
  printer.canvas.clear();
}

}  // namespace md::test
