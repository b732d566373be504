// A host that only reads pages: it makes a feature set, reads a stored page
// into it and looks at the elements, calling no function of libmapdeck
// itself, so that a link with --as-needed leaves libmapdeck out of what it
// needs. The feature set finds the element factory all the same.
// Usage: mapdeck_reader PAGE TYPE...  (the elements' types in feature order)
// Exits with 0 when the page reads whole with exactly those elements.
#include <cstdio>
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: mapdeck_reader PAGE TYPE...\n");
    return 2;
  }
  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr);
  if (page == nullptr || !page->LoadPageFromFile(argv[1])) {
    std::printf("FAILED: %s does not load\n", argv[1]);
    for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetRecordsSince(mark))
      std::printf("  %s: %s\n", r.method.c_str(), r.text.c_str());
    return 1;
  }
  int count = 0, failures = 0;
  for (int i = 0; i < page->GetFeatureCount(); ++i, ++count) {
    IGIS_Feature* feature = page->GetFeatureByIndex(i);
    IGIS_Element* element = feature != nullptr ? page->GetElement(feature->GetID()) : nullptr;
    const char* type = element != nullptr ? element->GetType() : "feature without an element";
    const bool expected = count + 2 < argc && std::strcmp(type, argv[count + 2]) == 0;
    std::printf("%s: %s\n", expected ? "ok" : "FAILED", type);
    failures += !expected;
  }
  if (count != argc - 2) {
    std::printf("FAILED: %d elements read, %d expected\n", count, argc - 2);
    ++failures;
  }
  page->Release();
  std::printf("%s\n", failures == 0 ? "reader check passed" : "reader check FAILED");
  return failures == 0 ? 0 : 1;
}
