// The scale-bar tests' page, frame stand-in and helpers.
#include "scalebartest.h"

#include <algorithm>
#include <cstring>

#include "host/featra/gis_elementregistry.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"

namespace md::test {

FrameStandIn::FrameStandIn(IGIS_FeatureSet* pOwner, SGIS_Rect rect)
    : CGIS_ElementImpl("FrameStandIn", "地图"), subject(GIS_CreateSubjectObject()) {
  SGIS_ElementBindOptions o;
  o.szType = GIS_TYPE_GRAPHIC_ELEMENT_MAP;
  o.nKind = GIS_FEATURE_KIND_RECTANGLE;
  m_core.Bind(pOwner, nullptr, o);
  SetRect(rect);
}

void FrameStandIn::ChangeScale(double dScale) {
  scale = dScale;
  Notify(GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED, static_cast<int>(dScale), this);
}

void FrameStandIn::SetRect(SGIS_Rect rect) {
  IGIS_Feature* f = GetFeaturePtr();
  if (f != nullptr && f->GetGeometry() != nullptr) f->GetGeometry()->SetRect(rect, 0);
}

SGIS_Rect FrameStandIn::GetRect() {
  SGIS_Rect r;
  if (IGIS_Feature* f = GetFeaturePtr()) f->GetBound(&r, 1, 0);
  return r;
}

SymbolPtr NewSymbol(int type, COLORREF color) {
  SymbolPtr s(GIS_GetSymbolFactoryObject()->CreateSymbol(type));
  s->SetColor(color);
  return s;
}

SymbolPtr TextSymbol(int height) {
  SymbolPtr s(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  s->GetFontSizePtr()->lfHeight = height;
  return s;
}

std::vector<BYTE> Bytes(IGIS_Symbol* s) {
  std::vector<BYTE> out;
  if (s == nullptr) return out;
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  s->Save(b);
  out.assign(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}

std::vector<BYTE> CustomBytes(IGIS_Element* e) {
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  return b != nullptr ? std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize()) : std::vector<BYTE>();
}

IGIS_PropertySet* StoredCustom(IGIS_Element* e) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  if (b != nullptr) set->Archive(b, GIS_ARCHIVE_READ, 0);
  return set;
}

std::vector<std::pair<std::string, std::string>> KeysOf(IGIS_PropertySet* set) {
  std::vector<std::pair<std::string, std::string>> out;
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
    out.emplace_back(f->GetLabel(), f->GetDescription());
  }
  return out;
}

void StoreCustom(IGIS_Element* e, IGIS_PropertySet* set) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  set->Archive(b, GIS_ARCHIVE_WRITE, 0);
  e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b, 0);
  b->Release();
}

void CopyValue(IGIS_Field* from, IGIS_Field* to) {
  if (from->GetType() == GIS_FIELD_TYPE_BUFFER) {
    IGIS_DataBuffer* b = from->GetDataBuffer();
    to->GetDataBuffer()->SetSize(b->GetSize());
    if (b->GetSize() > 0) std::memcpy(to->GetDataBuffer()->GetData(), b->GetData(), b->GetSize());
  } else if (from->GetType() == GIS_FIELD_TYPE_DOUBLE) {
    to->SetDouble(from->GetDouble());
  } else if (from->GetType() == GIS_FIELD_TYPE_STRING) {
    to->SetString(from->GetString());
  } else {
    to->SetInt(from->GetInt());
  }
}

IGIS_PropertySet* SetWithout(IGIS_PropertySet* set, const std::vector<std::string>& keys) {
  IGIS_DataBuffer* all = GIS_CreateDataBufferObject(0);
  set->Archive(all, GIS_ARCHIVE_WRITE, 0);
  IGIS_PropertySet* copy = GIS_CreatePropertySetObject();
  copy->Archive(all, GIS_ARCHIVE_READ, 0);
  all->Release();
  IGIS_PropertySet* out = GIS_CreatePropertySetObject();
  for (IGIS_Field* f = copy->GetFirstPosition(); f != nullptr; f = copy->GetNext(f)) {
    if (std::find(keys.begin(), keys.end(), f->GetLabel()) != keys.end()) continue;
    CopyValue(f, out->AddProperty(f->GetLabel(), f->GetDescription(), f->GetType(), 1));
  }
  copy->Release();
  return out;
}

void ScaleBarTest::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  ASSERT_TRUE(set_->SetUnitRatio(1.0));
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);
  document_ = GIS_CreateDocumentObject();
}

void ScaleBarTest::TearDown() {
  // Followers before frames: a bar detaches itself from its frame.
  for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) (*it)->Release();
  if (set_ != nullptr) set_->Release();
  if (page_ != nullptr) page_->Release();
  if (document_ != nullptr) document_->Release();
  GIS_SetSymbolTextEngine("freetype");
}

CGIS_AlternatingScaleBar* ScaleBarTest::NewBar() {
  auto* bar = new CGIS_AlternatingScaleBar(set_, nullptr);
  owned_.push_back(bar);
  return bar;
}

FrameStandIn* ScaleBarTest::NewFrame(SGIS_Rect rect, int referenceCode, double scale) {
  auto* frame = new FrameStandIn(set_, rect);
  owned_.insert(owned_.begin(), frame);
  frame->scale = scale;
  if (referenceCode == 0) {
    frame->map = &noUnitMap_;
  } else if (referenceCode > 0) {
    IGIS_SpatialReference* ref =
        GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(referenceCode);
    const std::string name = "map" + std::to_string(document_->GetMapCount());
    frame->map = document_->CreateMap(name.c_str(), ref);
    ref->Release();
  }
  return frame;
}

void ScaleBarTest::ReleaseKept(IGIS_Element* e) {
  std::erase(owned_, e);
  e->Release();
}

PrintPage::PrintPage() {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 100;
  setup.paperWidthMm = 200.0;
  setup.paperHeightMm = 100.0;
  canvas = std::make_unique<md::canvas::RecordingCanvas>(788, 394);
  hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  display = std::make_unique<CGIS_PrintDisplay>(hdc, 20000, 10000, SGIS_Point(0, 10000));
}

PrintPage::~PrintPage() {
  display.reset();
  DeleteDC(hdc);
}

POINT PrintPage::Pixel(int x, int y) {
  const SGIS_Point d = display->GetView()->PageToDevicePoint(SGIS_Point(x, y, 0), nullptr);
  POINT p{d.x, d.y};
  LPtoDP(hdc, &p, 1);
  return p;
}

}  // namespace md::test
