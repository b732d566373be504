// Loading and unloading libmapdeck.so the way a host does: the element
// factory is its one visible entry, the feature sets reach it while it is
// loaded, and unloading takes the hooks away again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/ui/app.h"

namespace {

using FactoryMaker = IGIS_ElementFactory* (*)();

TEST(LibraryLoad, ExportsTheFactoryOnlyAndWiresFeatureSetsWhileLoaded) {
  EXPECT_FALSE(GIS_HasElementHooks());
  void* lib = dlopen(MAPDECK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  EXPECT_TRUE(GIS_HasElementHooks());

  auto make = reinterpret_cast<FactoryMaker>(dlsym(lib, "GIS_CreateGraphicElementFactoryObject"));
  ASSERT_NE(make, nullptr);
  // Everything else stays inside the library.
  EXPECT_EQ(dlsym(lib, "AfxGetStaticModuleState"), nullptr);
  EXPECT_EQ(dlsym(lib, "RotatePoint"), nullptr);
  EXPECT_EQ(dlsym(lib, "_Z11RotatePointddddPdS_d"), nullptr);

  IGIS_ElementFactory* a = make();
  IGIS_ElementFactory* b = make();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  a->Release();
  EXPECT_EQ(b->GetTypeCount(), 26);

  IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
  IGIS_Element* made = b->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND", page, nullptr);
  ASSERT_NE(made, nullptr);
  IGIS_Element* hooked = page->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
  ASSERT_NE(hooked, nullptr);
  EXPECT_STREQ(hooked->GetType(), "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");

  // The compound's box is the host's, shown in the host's module state.
  AfxSetHostAppName("宿主程序");
  md::ui::ClearMessageBoxLog();
  EXPECT_TRUE(made->OnOpenPropertyDlg(nullptr, TRUE));
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  EXPECT_EQ(md::ui::MessageBoxLog()[0].caption, "宿主程序");

  EXPECT_TRUE(page->DeleteElement(hooked));
  made->Release();
  b->Release();
  page->Release();

  ASSERT_EQ(dlclose(lib), 0);
  EXPECT_FALSE(GIS_HasElementHooks());
}

}  // namespace
