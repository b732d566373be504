#include "tests/layout/graphicelement/shapes/shapetest.h"

#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "platform/text/textengine.h"

namespace md::test {

IGIS_Element* CreateShape(const char* szType, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature) {
  return CGIS_ElementFactory::Create(szType, pOwner, pFeature);
}

std::vector<SGIS_Point> PointsOf(IGIS_Element* e) {
  std::vector<SGIS_Point> out;
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  for (int i = 0; i < g->GetPointCount(); ++i) out.push_back(g->GetPoint(i, 0));
  return out;
}

void SetPoints(IGIS_Element* e, const std::vector<SGIS_Point>& points) {
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  g->SetPointCount(static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i) g->SetPoint(static_cast<int>(i), points[i], 0);
}

void ShapeTest::SetUp() {
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  reference_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  ASSERT_TRUE(set_ != nullptr && reference_ != nullptr);
  Class()->SetSpatialReference(reference_);
  commitMark_ = Class()->GetUpdateCount();
}

void ShapeTest::TearDown() {
  for (IGIS_Element* e : owned_) e->Release();
  for (IGIS_Symbol* s : symbols_) s->Release();
  if (set_ != nullptr) set_->Release();
  if (reference_ != nullptr) reference_->Release();
  md::layout::InstallElementHooks();
}

Commits ShapeTest::TakeCommits() {
  Commits out;
  const int n = Class()->GetUpdateCount();
  for (int i = commitMark_; i < n; ++i) {
    int id = 0, flags = 0;
    Class()->GetUpdateRecord(i, &id, &flags);
    out.emplace_back(id, flags);
  }
  commitMark_ = n;
  return out;
}

IGIS_Symbol* ShapeTest::NewSymbol(int type, int code, COLORREF color) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
  s->SetCode(code);
  s->SetColor(color);
  symbols_.push_back(s);
  return s;
}

std::unique_ptr<Page> Page::Printer() {
  auto page = std::make_unique<Page>();
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 100;
  setup.paperWidthMm = 100.0;
  setup.paperHeightMm = 50.0;
  page->canvas = std::make_unique<md::canvas::RecordingCanvas>(394, 197);
  page->hdc = md::win::CreatePrinterDC(page->canvas.get(), setup, &md::text::FixedMetricsEngine());
  page->print = std::make_unique<CGIS_PrintDisplay>(page->hdc, 6000, 3000, SGIS_Point(0, 3000));
  page->display = page->print.get();
  return page;
}

std::unique_ptr<Page> Page::Screen(double zoom, double originX, double originY) {
  auto page = std::make_unique<Page>();
  page->canvas = std::make_unique<md::canvas::RecordingCanvas>(400, 300);
  page->hdc = md::win::CreateScreenDC(page->canvas.get(), 96, &md::text::FixedMetricsEngine());
  page->screen = std::make_unique<CGIS_ScreenDisplay>(page->hdc, zoom, originX, originY);
  page->display = page->screen.get();
  return page;
}

Page::~Page() {
  print.reset();
  screen.reset();
  DeleteDC(hdc);
}

std::vector<RECT> Page::Clip() {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  std::vector<RECT> rects;
  if (GetClipRgn(hdc, r) == 1) rects = md::win::GetRegionRects(r);
  DeleteObject(r);
  return rects;
}

bool Page::HasClip() {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetClipRgn(hdc, r) == 1;
  DeleteObject(r);
  return has;
}

POINT Page::Pixel(int x, int y) {
  const SGIS_Point d = display->GetView()->PageToDevicePoint(SGIS_Point(x, y, 0), nullptr);
  POINT p{d.x, d.y};
  LPtoDP(hdc, &p, 1);
  return p;
}

}  // namespace md::test
