// Arbitrary bytes read as a stored page (a feature-set image, checksum not
// asked for): every feature that names an element type becomes that element,
// which reads its stored state with Archive and answers its geometry
// operations without harm. An element that read its state stores it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/featra/featureset_image.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// Elements made from one input, at most.
constexpr int kFuzzElementsPerPage = 64;

inline void ReadElementInput(const std::uint8_t* data, std::size_t size) {
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  if (set == nullptr) return;
  if (!md::featra::ReadFeatureSetImage(set, data, size, false)) {
    set->Release();
    return;
  }
  // IDs first: making an element may add or remove features.
  std::vector<int> ids;
  for (int i = 0; i < set->GetFeatureCount() && i < kFuzzElementsPerPage; ++i) {
    if (IGIS_Feature* f = set->GetFeatureByIndex(i)) ids.push_back(f->GetID());
  }
  std::vector<IGIS_Element*> elements;
  for (int id : ids) {
    IGIS_Feature* f = set->GetFeature(id);
    IGIS_FeatureAttributes* a = f != nullptr ? f->GetAttributes() : nullptr;
    const char* stored = a != nullptr ? a->GetString("TYPE") : nullptr;
    if (stored == nullptr) continue;
    const std::string type = stored;  // binding may rewrite the stored one
    IGIS_Element* e = CGIS_ElementFactory::Create(type.c_str(), set, f);
    if (e == nullptr) continue;
    elements.push_back(e);
    if (e->Archive(1, 0)) fuzz::Check(e->Archive(0, 0) == TRUE);
  }
  for (IGIS_Element* e : elements) {
    const SGIS_Rect r = e->GetRect();
    e->OffsetAllPoints(7, -3);
    e->ScaleShape(SGIS_Point(r.left, r.bottom, 0), 1.5, 0.75);
    (void)e->GetRect();
    // A copy of a compound holds copies of its members: all are dropped, or
    // every input would leave them behind.
    if (IGIS_Element* copy = e->Clone()) {
      IGIS_FeatureSet* owner = copy->GetFeatureSetPtr();
      if (owner == nullptr) {
        copy->Release();
      } else {
        fuzz::DropElement(owner, copy);
      }
    }
  }
  for (IGIS_Element* e : elements) e->Release();
  set->Release();
}

}  // namespace md::test
