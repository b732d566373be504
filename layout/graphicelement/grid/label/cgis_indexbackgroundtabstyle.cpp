// The background tab style: its background type, stored form and copies.
#include "layout/graphicelement/grid/label/cgis_indexbackgroundtabstyle.h"

namespace {

constexpr const char* kBackgroundTypeKey = "BackgroundType";

}  // namespace

bool CGIS_IndexBackGroundTabStyle::Save(IGIS_DataBuffer* pBuffer) {
  const md::layout::label::TabStyleKey key{kBackgroundTypeKey, &m_nBackgroundType};
  return SaveStyle(pBuffer, "CGIS_IndexBackGroundTabStyle::Save", &key);
}

bool CGIS_IndexBackGroundTabStyle::Open(IGIS_DataBuffer* pBuffer) {
  const md::layout::label::TabStyleKey key{kBackgroundTypeKey, &m_nBackgroundType};
  return OpenStyle(pBuffer, "CGIS_IndexBackGroundTabStyle::Open", &key);
}

IGIS_GridLabel* CGIS_IndexBackGroundTabStyle::Clone() {
  return md::basilo::CloneOrNull<CGIS_IndexBackGroundTabStyle>("CGIS_IndexBackGroundTabStyle::Clone", this);
}

void CGIS_IndexBackGroundTabStyle::SetBackgroundType(int nType) {
  if (nType >= GIS_TABBACKGROUND_ROUND && nType <= GIS_TABBACKGROUND_ROUNDED_RECTANGLE)
    m_nBackgroundType = nType;
}

IGIS_IndexBackGroundTabStyle* CGIS_IndexBackGroundTabStyle::Copy(IGIS_IndexBackGroundTabStyle* pOther) {
  if (pOther == nullptr) return this;
  CopyFrom(static_cast<IGIS_IndexGridTabStyle*>(pOther));
  m_nBackgroundType = pOther->GetBackgroundType();
  return this;
}
