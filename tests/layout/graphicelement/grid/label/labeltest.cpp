#include "tests/layout/graphicelement/grid/label/labeltest.h"

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test {

MeasureGridDouble::MeasureGridDouble(IGIS_SpatialReference* reference, int type)
    : MapGridDouble<IGIS_MeasureGrid>(type),
      reference_(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0)),
      spacing_(new SpacingDouble) {
  reference_->CopyFrom(reference);
}

LabelPrinter::LabelPrinter() : canvas(30000, 20000) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 2540;
  setup.paperWidthMm = 300.0;
  setup.paperHeightMm = 200.0;
  hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  display = std::make_unique<CGIS_PrintDisplay>(hdc, 30000, 20000, SGIS_Point(0, 20000));
  display->PrepareDC();
}

LabelPrinter::~LabelPrinter() {
  display.reset();
  DeleteDC(hdc);
}

std::vector<DrawnText> TextsOf(const md::canvas::RecordingCanvas& canvas) {
  std::vector<DrawnText> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text)) {
    out.push_back({r->text.text, r->text.origin.x, r->text.origin.y, r->text.angle});
  }
  return out;
}

void LabelPage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);

  doc_ = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk =
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  map_ = doc_->CreateMap("测试地图", gk);
  ASSERT_NE(map_, nullptr);
  IGIS_MapLayer* layer = GIS_CreateVectorLayerObject("水系", nullptr);
  auto* data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
  ASSERT_NE(data, nullptr);
  IGIS_Symbol* fill = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  fill->SetColor(RGB(120, 170, 230));
  const int water = data->GetSymbolMatchTable()->AddEntry("water", "水域", fill);
  fill->Release();
  const SGIS_DPoint ring[] = {
      {421000, 4411000}, {429000, 4411000}, {429000, 4417000}, {421000, 4417000}, {421000, 4411000}};
  const int ringSize = 5;
  ASSERT_GE(data->AddFeature(GIS_MAPFEATURE_POLYGON, water, "湖", 1, &ringSize, ring), 0);
  ASSERT_TRUE(map_->AddLayer(layer));
  ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));

  frame_ = new CGIS_MapElement(set_, nullptr);
  frame_->SetRect(kFrameRect);
  frame_->SetMapName("测试地图");
  frame_->SetMapBound(SGIS_DRect(420000, 4418000, 430000, 4410000));
  grid_ = new MeasureGridDouble(gk);
  gk->Release();
  grid_->SetMapElement(frame_);
}

void LabelPage::TearDown() {
  if (grid_ != nullptr) grid_->Release();
  if (frame_ != nullptr) frame_->Release();
  if (set_ != nullptr) set_->Release();
  if (doc_ != nullptr) doc_->Release();
  if (page_ != nullptr) page_->Release();
  md::layout::InstallElementHooks();
  GIS_SetSymbolTextEngine("freetype");
}

void LabelPage::DrawFrame(LabelPrinter* printer) {
  frame_->OnDraw(printer->hdc, true, printer->display.get());
  printer->canvas.clear();
}

}  // namespace md::test
