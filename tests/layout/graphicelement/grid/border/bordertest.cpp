#include "tests/layout/graphicelement/grid/border/bordertest.h"

#include <cstring>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "platform/text/textengine.h"

namespace md::test {

std::vector<BYTE> SymbolBytes(IGIS_Symbol* s) {
  std::vector<BYTE> out;
  if (s == nullptr) return out;
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  s->Save(b);
  out.assign(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}

std::vector<BYTE> Stored(IGIS_MapBorder* border) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  border->Save(b);
  std::vector<BYTE> out(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}

IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  b->SetSize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
  return b;
}

md::layout::border::PieceSink Collect(std::vector<LaidPiece>* out) {
  return [out](const md::layout::border::BorderRing& ring, IGIS_Symbol* s) { out->push_back({ring, s}); };
}

void BorderPage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);
}

void BorderPage::TearDown() {
  if (set_ != nullptr) set_->Release();
  if (page_ != nullptr) page_->Release();
  GIS_SetSymbolTextEngine("freetype");
}

IGIS_Element* BorderPage::Frame(SGIS_Rect rect) {
  IGIS_Element* e = set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  EXPECT_NE(e, nullptr);
  if (e != nullptr) e->SetRect(rect);
  return e;
}

std::vector<Painted> BorderPage::DrawConverted(IGIS_Element* compound) {
  Printer printer;
  auto* c = dynamic_cast<IGIS_CompoundElement*>(compound);
  EXPECT_NE(c, nullptr);
  if (c == nullptr) return {};
  for (int i = 0; i < c->GetElementCount(); ++i)
    c->GetElementPtrByIndex(i)->OnDraw(printer.hdc, true, printer.display.get());
  return PaintedOf(printer.canvas);
}

void BorderPage::Discard(IGIS_Element* e) {
  if (e != nullptr && !set_->DeleteElement(e)) e->Release();
}

}  // namespace md::test
