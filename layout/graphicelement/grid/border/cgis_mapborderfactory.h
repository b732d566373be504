// The process-wide map-border factory: makes borders by kind code and
// rebuilds stored borders from their buffers.
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborder.h"

class CGIS_MapBorderFactory final : public IGIS_MapBorderFactory {
 public:
  void Release() override;
  IGIS_MapBorder* CreateMapBorder(int nType) override;
  // Reads "MapBorderType" from the buffer, makes that kind and lets it Open
  // the same buffer; NULL (with a record) for a NULL buffer, an unreadable
  // set, a missing type key or an unknown kind.
  IGIS_MapBorder* CreateMapborderFromBuffer(IGIS_DataBuffer* pBuffer) override;
};
