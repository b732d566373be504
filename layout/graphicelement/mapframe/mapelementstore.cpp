// The map frame's "Custom" keys, their captions and the raw bound.
#include "layout/graphicelement/mapframe/mapelementstore.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace md::layout::detail {

namespace {

struct KeyRow {
  const char* szKey;
  int nType;
  const char* szNewCaption;      // given when a new frame declares the key; NULL: not declared
  const char* szArchiveCaption;  // given when a write adds the key; NULL: never written
};

// In the order a new frame declares them.
const KeyRow kKeys[] = {
    {keys::kMapName, GIS_FIELD_TYPE_STRING, "地图名称", "MapName"},
    {keys::kRotateAngle, GIS_FIELD_TYPE_DOUBLE, nullptr, "RotateAngle"},
    {keys::kMapBound, GIS_FIELD_TYPE_BUFFER, "地图显示范围", "MapBound"},
    {keys::kFixScale, GIS_FIELD_TYPE_DOUBLE, "地图比例尺", "地图比例尺"},
    {keys::kExtentType, GIS_FIELD_TYPE_INT, "地图显示扩展属性", "地图显示扩展属性"},
    {keys::kFrameProperty, GIS_FIELD_TYPE_BUFFER, "地图框架的属性", "FrameProperty"},
    {keys::kSpatialReference, GIS_FIELD_TYPE_BUFFER, "空间参考关系", "SpatialReference"},
    {keys::kMapGrids, GIS_FIELD_TYPE_BUFFER, "地理网格", "MapGrids"},
    {keys::kPolyGon, GIS_FIELD_TYPE_BUFFER, "裁剪区域", nullptr},
    {keys::kInnerMapBorder, GIS_FIELD_TYPE_BUFFER, "地图内图廓", "InnerMapBorder"},
    {keys::kOuterMapBorder, GIS_FIELD_TYPE_BUFFER, "地图外图廓", "OuterMapBorder"},
    {keys::kInnerMapBorderNull, GIS_FIELD_TYPE_BOOL, "地图内图廓NULL", "InnerMapBorderNULL"},
    {keys::kOuterMapBorderNull, GIS_FIELD_TYPE_BOOL, "地图外图廓NULL", "OuterMapBorderNULL"},
    {keys::kDisableAutoControlVectorSubLayer, GIS_FIELD_TYPE_BOOL, "子图层自动控制", "子图层自动控制"},
    {keys::kUseSetedReferenceScale, GIS_FIELD_TYPE_BOOL, "使用参考比例尺", nullptr},
};

const KeyRow* Row(const char* szKey) {
  // Callers mostly name keys by the constants of keys::, found by address.
  for (const KeyRow& row : kKeys) {
    if (row.szKey == szKey) return &row;
  }
  for (const KeyRow& row : kKeys) {
    if (std::strcmp(row.szKey, szKey) == 0) return &row;
  }
  return nullptr;
}

bool WriteBound(IGIS_Field* pField, const SGIS_DRect& bound) {
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  if (pBuffer == nullptr || !pBuffer->SetSize(kBoundBytes)) return false;
  EncodeBound(bound, pBuffer->GetData());
  return true;
}

using md::layout::CustomSetWriter;

}  // namespace

void EncodeBound(const SGIS_DRect& bound, unsigned char* pOut) {
  const double values[4] = {bound.x1, bound.x2, bound.y1, bound.y2};
  for (int i = 0; i < 4; ++i) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &values[i], sizeof bits);
    for (int b = 0; b < 8; ++b) pOut[i * 8 + b] = static_cast<unsigned char>(bits >> (8 * b));
  }
}

SGIS_DRect DecodeBound(const unsigned char* pIn) {
  double values[4] = {};
  for (int i = 0; i < 4; ++i) {
    std::uint64_t bits = 0;
    for (int b = 0; b < 8; ++b) bits |= static_cast<std::uint64_t>(pIn[i * 8 + b]) << (8 * b);
    std::memcpy(&values[i], &bits, sizeof bits);
  }
  SGIS_DRect r;
  r.x1 = values[0];
  r.x2 = values[1];
  r.y1 = values[2];
  r.y2 = values[3];
  return r;
}

void DeclareCustomKeys(IGIS_PropertySet* pSet, const char* szMapName, double dFixScale, int nExtentType,
                       bool bDisableAutoControlVectorSubLayer) {
  for (const KeyRow& row : kKeys) {
    if (row.szNewCaption == nullptr) continue;
    IGIS_Field* f = pSet->AddProperty(row.szKey, row.szNewCaption, row.nType, 1);
    if (f == nullptr) continue;
    if (std::strcmp(row.szKey, keys::kMapName) == 0) f->SetString(szMapName);
    if (std::strcmp(row.szKey, keys::kMapBound) == 0) WriteBound(f, SGIS_DRect());
    if (std::strcmp(row.szKey, keys::kFixScale) == 0) f->SetDouble(dFixScale);
    if (std::strcmp(row.szKey, keys::kExtentType) == 0) f->SetInt(nExtentType);
    if (std::strcmp(row.szKey, keys::kDisableAutoControlVectorSubLayer) == 0)
      f->SetBool(bDisableAutoControlVectorSubLayer);
  }
}

bool KeyFor(const char* szKey, md::layout::SGIS_CustomKey* pKey) {
  const KeyRow* pRow = Row(szKey);
  if (pRow == nullptr || pRow->szArchiveCaption == nullptr) return false;
  *pKey =
      md::layout::SGIS_CustomKey{pRow->szKey, pRow->nType, pRow->szArchiveCaption, pRow->szArchiveCaption};
  return true;
}

void WriteFrameValues(CustomSetWriter& set, const SFrameState& state) {
  md::layout::SGIS_CustomKey key;
  if (KeyFor(keys::kMapName, &key)) set.String(key, state.szMapName);
  if (KeyFor(keys::kRotateAngle, &key)) set.Double(key, state.dRotateAngle);
  if (KeyFor(keys::kMapBound, &key)) {
    set.Saved(key, [&state](IGIS_DataBuffer* pBuffer) {
      if (pBuffer->SetSize(kBoundBytes)) EncodeBound(state.bound, pBuffer->GetData());
    });
  }
  if (KeyFor(keys::kFixScale, &key)) set.Double(key, state.dFixScale);
  if (KeyFor(keys::kExtentType, &key)) set.Int(key, state.nExtentType);
}

bool ReadBound(const md::layout::StoredSetView& set, SGIS_DRect* pBound) {
  const md::basilo::StoredFieldView* f = set.Find(keys::kMapBound);
  if (f == nullptr || f->type != GIS_FIELD_TYPE_BUFFER ||
      f->bytes.size() < static_cast<std::size_t>(kBoundBytes))
    return false;
  const SGIS_DRect r = DecodeBound(f->bytes.data());
  if (!std::isfinite(r.x1) || !std::isfinite(r.x2) || !std::isfinite(r.y1) || !std::isfinite(r.y2))
    return false;
  *pBound = r;
  return true;
}

void GetBytes(IGIS_DataBuffer* pBuffer, std::vector<unsigned char>* pBytes) {
  pBytes->clear();
  if (pBuffer == nullptr || pBuffer->GetSize() <= 0 || pBuffer->GetData() == nullptr) return;
  const BYTE* p = pBuffer->GetData();
  pBytes->assign(p, p + pBuffer->GetSize());
}

}  // namespace md::layout::detail
