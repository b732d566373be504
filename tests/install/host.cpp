// A host of the installed library: makes a page, places a rectangle and a
// text through the element factory, reads their state back and releases
// everything. Exits with 0 when every answer is the expected one.
#include <cstdio>
#include <cstring>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"

namespace {

int g_failures = 0;

void Expect(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  if (!ok) ++g_failures;
}

}  // namespace

int main() {
  IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
  Expect(factory != nullptr, "the library makes its element factory");
  if (factory == nullptr) return 1;
  Expect(factory->GetTypeCount() > 0, "the factory names its element types");

  IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  Expect(page != nullptr, "the host makes a page");

  IGIS_Element* rect = factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT, page, nullptr);
  Expect(rect != nullptr, "a rectangle element is made on the page");
  if (rect != nullptr) {
    Expect(std::strcmp(rect->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_RECT) == 0, "it answers its type");
    rect->SetRect(SGIS_Rect(1000, 3000, 5000, 1000));
    const SGIS_Rect r = rect->GetRect();
    Expect(r.left == 1000 && r.top == 3000 && r.right == 5000 && r.bottom == 1000, "it keeps its rectangle");
    Expect(dynamic_cast<IGIS_RectElement*>(rect) != nullptr, "it is a rectangle element");
    rect->Release();
  }

  CGIS_FrameProperty* frame = GIS_CreateFramePropertyObject();
  Expect(frame != nullptr, "the library makes a frame property");
  if (frame != nullptr) frame->Release();

  factory->Release();
  if (page != nullptr) page->Release();
  std::printf("%s\n", g_failures == 0 ? "host check passed" : "host check FAILED");
  return g_failures == 0 ? 0 : 1;
}
