// A host document: its maps by name and index, and the layout map whose
// layer shows a layout page.
#pragma once

#include <memory>
#include <vector>

#include "host/helmora/cgis_map.h"

class CGIS_Document final : public IGIS_Document {
 public:
  CGIS_Document();
  ~CGIS_Document() override;
  CGIS_Document(const CGIS_Document&) = delete;
  CGIS_Document& operator=(const CGIS_Document&) = delete;

  IGIS_Map* FindMap(const char* name) override;
  IGIS_Map* GetMapAt(int index) override;
  int GetMapCount() override { return static_cast<int>(maps_.size()); }
  IGIS_Map* CreateMap(const char* name, IGIS_SpatialReference* reference) override;
  IGIS_MapLayer* GetLayoutLayer() override { return layoutLayer_; }
  void Release() override { delete this; }

 private:
  std::vector<std::unique_ptr<CGIS_Map>> maps_;
  std::unique_ptr<CGIS_Map> layoutMap_;
  IGIS_MapLayer* layoutLayer_ = nullptr;  // owned by the layout map
};
