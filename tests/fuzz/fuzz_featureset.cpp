// Feeds arbitrary bytes to the feature set file reader. The reader must never
// crash, overread or allocate without bound; whatever it accepts must write
// back to an image that reads again to the same content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/featra/featureset_image.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
  // The checksum is skipped so that mutations reach the structure checks.
  if (md::featra::ReadFeatureSetImage(set, data, size, false)) {
    IGIS_FeatureSet* members =
        GIS_CreateFeatureSetObject(set->GetFeatureClass(), "members", 0, 0, 0, 0, nullptr);
    for (int i = 0; i < set->GetFeatureCount(); ++i) {
      IGIS_Feature* f = set->GetFeatureByIndex(i);
      SGIS_Rect r;
      f->GetBound(&r, 1, 0);
      if (f->GetKind() == GIS_FEATURE_KIND_COMPOUND && members->LoadMembers(f)) {
        for (int k = 0; k < members->GetFeatureCount(); ++k)
          if (members->GetFeatureByIndex(k) == nullptr) std::abort();  // members always exist
      }
    }
    members->Release();
    std::vector<std::uint8_t> first, second;
    IGIS_FeatureSet* again = GIS_CreateFeatureSetObject(nullptr, "again", 0, 0, 0, 0, nullptr);
    if (!md::featra::WriteFeatureSetImage(set, &first) ||
        !md::featra::ReadFeatureSetImage(again, first.data(), first.size(), true) ||
        !md::featra::WriteFeatureSetImage(again, &second) || first != second)
      std::abort();
    again->Release();
  }
  set->Release();
  return 0;
}
