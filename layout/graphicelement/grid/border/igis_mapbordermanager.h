// The border manager: one border of each kind and the current kind, so that
// a border's kind can be switched back and forth without losing the
// settings of the other kinds.
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborder.h"

class IGIS_MapBorderManager {
 public:
  // 0 none, 1 simple, 2 calibrated, 3 pattern.
  virtual int GetMapBorderType() = 0;
  // Accepts 0 to 3; other values are refused (FALSE, type unchanged).
  virtual bool SetMapBorderType(int nType) = 0;
  // The member of the border's kind copies it and becomes current; NULL
  // changes nothing. The caller keeps its border.
  virtual bool SetMapBorder(IGIS_MapBorder* pBorder) = 0;
  // The member of the current kind (not a copy), or NULL for none.
  virtual IGIS_MapBorder* GetMapBorder() = 0;
  virtual void Release() = 0;
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  virtual IGIS_MapBorderManager* Clone() = 0;
  // Draws the current kind; nothing (TRUE) for none.
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                      IGIS_SpatialReference* pSpatialReference) = 0;
  // The current kind as plain elements; NULL for none.
  virtual IGIS_Element* ConvertToElement(IGIS_Element* pMapElement) = 0;
  // All three kinds and the current kind of the other manager.
  virtual IGIS_MapBorderManager* CopyFrom(IGIS_MapBorderManager* pOther) = 0;
  // TRUE only for this very object.
  virtual bool IsSame(IGIS_MapBorderManager* pOther) = 0;

 protected:
  virtual ~IGIS_MapBorderManager() = default;
};
