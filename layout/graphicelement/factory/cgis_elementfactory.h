// The element factory: the 26 type identifiers and the constructor of each,
// in one table.
#pragma once

#include "layout/graphicelement/igis_element.h"

class CGIS_ElementFactory : public IGIS_ElementFactory {
 public:
  CGIS_ElementFactory() = default;

  void Release() override;
  int GetTypeCount() override;
  const char* GetTypeName(int nIndex) override;
  IGIS_Element* CreateElement(const char* szType, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature) override;
  const char* GetFactoryType() override;

  // The same creation without a factory object (the feature sets' hook).
  static IGIS_Element* Create(const char* szType, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

 protected:
  ~CGIS_ElementFactory() override = default;
};

namespace md::layout {
// Installs the factory as the feature sets' element hooks, so that
// IGIS_FeatureSet::CreateElement and DeleteElement reach it.
void InstallElementHooks();
// Removes them again (at unload).
void RemoveElementHooks();
}  // namespace md::layout
