// The border manager: one border of each kind and the current kind.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/igis_mapbordermanager.h"

class CGIS_MapBorderCalibrated;
class CGIS_MapBorderPattern;
class CGIS_MapBorderSimple;

class CGIS_MapBorderManager final : public IGIS_MapBorderManager {
 public:
  // Three new borders with their defaults; no current kind.
  CGIS_MapBorderManager();

  int GetMapBorderType() override { return m_nType; }
  bool SetMapBorderType(int nType) override;
  bool SetMapBorder(IGIS_MapBorder* pBorder) override;
  IGIS_MapBorder* GetMapBorder() override;
  void Release() override;
  // "MapBorderCalibrated", "MapBorderPattern", "MapBorderSimple" (each
  // kind's stored form) and "Type".
  bool Save(IGIS_DataBuffer* pBuffer) override;
  // Missing kinds keep their values; a stored type outside 0 to 3 is kept
  // and acts as none. TRUE when the set could be read.
  bool Open(IGIS_DataBuffer* pBuffer) override;
  IGIS_MapBorderManager* Clone() override;
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
              IGIS_SpatialReference* pSpatialReference) override;
  IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) override;
  IGIS_MapBorderManager* CopyFrom(IGIS_MapBorderManager* pOther) override;
  bool IsSame(IGIS_MapBorderManager* pOther) override { return pOther == this; }

 private:
  ~CGIS_MapBorderManager() override;

  md::basilo::ReleasePtr<CGIS_MapBorderCalibrated> m_pCalibrated;
  md::basilo::ReleasePtr<CGIS_MapBorderPattern> m_pPattern;
  md::basilo::ReleasePtr<CGIS_MapBorderSimple> m_pSimple;
  int m_nType = GIS_MAPBORDER_NONE;
};
