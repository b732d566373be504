// Shared pieces of the grid base's tests.
#include "tests/layout/graphicelement/grid/grid/gridtest.h"

#include <cstring>

#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/igis_element.h"

namespace md::test {

namespace {

IGIS_Element* NewCompound(IGIS_FeatureSet* set) {
  return set != nullptr ? set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) : nullptr;
}

}  // namespace

void TestKindGrid::SetLabelFormat(IGIS_GridLabel* pLabel) {
  ReplaceLabel(pLabel, {GIS_GRIDLABEL_DMS}, "TestKindGrid::SetLabelFormat", true);
}

IGIS_MapGrid* TestKindGrid::Clone() {
  auto* copy = new TestKindGrid();
  copy->CopyFrom(this);
  copy->m_nKindValue = m_nKindValue;
  return copy;
}

bool TestKindGrid::Save(IGIS_DataBuffer* pBuffer) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("KindKey", "KindKey", GIS_FIELD_TYPE_INT, 1)->SetInt(m_nKindValue);
  set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0);
  set->Release();
  return CGIS_MapGridBase::Save(pBuffer);
}

bool TestKindGrid::Open(IGIS_DataBuffer* pBuffer) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  if (pBuffer != nullptr && set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    if (IGIS_Field* f = set->GetProperty("KindKey")) m_nKindValue = f->GetInt();
  }
  set->Release();
  return CGIS_MapGridBase::Open(pBuffer);
}

bool TestKindGrid::OnOpenPropertyDlg() {
  return RunPropertySheet("测试格网属性", "TestKindGrid::OnOpenPropertyDlg", [this](IGIS_MapGrid* pBackup) {
    CopyFrom(pBackup);
    m_nKindValue = static_cast<TestKindGrid*>(pBackup)->m_nKindValue;
  });
}

bool TestLabel::Save(IGIS_DataBuffer* pBuffer) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->AddProperty("GridLabelType", "GridLabelType", GIS_FIELD_TYPE_INT, 1)->SetInt(type_);
  set->AddProperty("Text", "Text", GIS_FIELD_TYPE_STRING, 1)->SetString(text_.c_str());
  const bool ok = set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0);
  set->Release();
  return ok;
}

bool TestLabel::OnDraw(HDC, bool, IGIS_Display*) {
  j_->events.push_back("draw label " + text_);
  return true;
}

IGIS_Element* TestLabel::ConvertToElement() {
  j_->events.push_back("convert label " + text_);
  return NewCompound(converts_);
}

IGIS_MapGridBorder* TestBorder::Clone() {
  auto* copy = new TestBorder(j_, name_, converts_);
  copy->grid_ = grid_;
  return copy;
}

bool TestBorder::Draw(HDC, bool, IGIS_Display*) {
  j_->events.push_back("draw border " + name_);
  return true;
}

IGIS_Element* TestBorder::ConvertToElement() {
  j_->events.push_back("convert border " + name_);
  return NewCompound(converts_);
}

IGIS_Symbol* NewSymbol(int type, COLORREF color) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
  s->SetColor(color);
  return s;
}

IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
  return b;
}

IGIS_PropertySet* SetOf(const std::vector<BYTE>& bytes) {
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  IGIS_DataBuffer* b = BufferOf(bytes);
  set->Archive(b, GIS_ARCHIVE_READ, 0);
  b->Release();
  return set;
}

std::vector<std::string> KeysOf(const std::vector<BYTE>& bytes) {
  Owned<IGIS_PropertySet> set(SetOf(bytes));
  std::vector<std::string> keys;
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f))
    keys.push_back(f->GetLabel());
  return keys;
}

std::vector<BYTE> FieldBytes(const std::vector<BYTE>& bytes, const char* key) {
  Owned<IGIS_PropertySet> set(SetOf(bytes));
  IGIS_Field* f = set->GetProperty(key);
  IGIS_DataBuffer* b = f != nullptr ? f->GetDataBuffer() : nullptr;
  if (b == nullptr || b->GetSize() == 0) return {};
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

void GridPage::SetUp() {
  md::layout::InstallElementHooks();
  set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  ASSERT_NE(set_, nullptr);
  page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  set_->GetFeatureClass()->SetSpatialReference(page_);
  IGIS_Element* e = set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  frame_ = dynamic_cast<IGIS_MapElement*>(e);
  ASSERT_NE(frame_, nullptr);
  frame_->SetRect(SGIS_Rect(0, 3000, 6000, 0));
}

void GridPage::TearDown() {
  if (set_ != nullptr) set_->Release();
  if (page_ != nullptr) page_->Release();
}

}  // namespace md::test
