// The base values of every map border and their stored keys.
#include "layout/graphicelement/grid/border/cgis_mapborderbase.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/grid/border/mapborderstore.h"

namespace md::layout::border {

namespace {

// The integer keys in write order, with the member each stores.
struct IntKey {
  const char* szKey;
  int MapBorderValues::*pMember;
};
constexpr IntKey kIntKeys[] = {
    {"RightOffset", &MapBorderValues::nRightOffset}, {"LeftOffset", &MapBorderValues::nLeftOffset},
    {"TopOffset", &MapBorderValues::nTopOffset},     {"BottomOffset", &MapBorderValues::nBottomOffset},
    {"BorderWidth", &MapBorderValues::nBorderWidth},
};

}  // namespace

void MapBorderValues::AddKeys(IGIS_PropertySet* pSet, int nType) const {
  for (const IntKey& k : kIntKeys) {
    if (IGIS_Field* f = BorderKey(pSet, k.szKey, GIS_FIELD_TYPE_INT)) f->SetInt(this->*k.pMember);
  }
  if (IGIS_Field* f = BorderKey(pSet, "MapBorderType", GIS_FIELD_TYPE_INT)) f->SetInt(nType);
  if (IGIS_Field* f = BorderKey(pSet, "Name", GIS_FIELD_TYPE_STRING)) f->SetString(name.c_str());
}

void MapBorderValues::AddKeys(md::layout::StoredSetWriter& set, int nType) const {
  for (const IntKey& k : kIntKeys) set.Int(k.szKey, k.szKey, this->*k.pMember);
  set.Int("MapBorderType", "MapBorderType", nType);
  set.String("Name", "Name", name);
}

void MapBorderValues::ReadKeys(const md::layout::StoredSetView& set) {
  for (const IntKey& k : kIntKeys) set.Read(k.szKey, &(this->*k.pMember));
  std::string stored;
  if (set.Read("Name", &stored)) name = Utf8Cut(stored.c_str(), kMaxNameBytes);
}

bool MapBorderValues::Save(IGIS_DataBuffer* pBuffer, int nType) const {
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set || pBuffer == nullptr) return false;
  set->Archive(pBuffer, GIS_ARCHIVE_READ, 0);  // the kind's keys written just before are kept
  AddKeys(set.get(), nType);
  return set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) != FALSE;
}

void MapBorderValues::ReadKeys(IGIS_PropertySet* pSet) {
  for (const IntKey& k : kIntKeys) {
    if (IGIS_Field* f = pSet->GetProperty(k.szKey)) this->*k.pMember = f->GetInt();
  }
  if (IGIS_Field* f = pSet->GetProperty("Name")) {
    if (const char* s = f->GetString()) name = Utf8Cut(s, kMaxNameBytes);
  }
}

bool MapBorderValues::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_MapBorder::Open", "pDataBuffer为空");
    return false;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set) return false;
  set->Archive(pBuffer, GIS_ARCHIVE_READ, 0);
  ReadKeys(set.get());
  return true;
}

void MapBorderValues::SetName(const char* szName) {
  SetCutName(&name, szName, kMaxNameBytes, "IGIS_MapBorder::SetName");
}

SGIS_Rect OuterRectOf(const MapBorderValues& v, SGIS_Rect r) {
  using md::basilo::detail::ClampToInt32;
  SGIS_Rect out;
  out.left = ClampToInt32(static_cast<std::int64_t>(r.left) - v.nLeftOffset);
  out.right = ClampToInt32(static_cast<std::int64_t>(r.right) + v.nRightOffset);
  out.top = ClampToInt32(static_cast<std::int64_t>(r.top) + v.nTopOffset);
  out.bottom = ClampToInt32(static_cast<std::int64_t>(r.bottom) - v.nBottomOffset);
  return out;
}

}  // namespace md::layout::border
