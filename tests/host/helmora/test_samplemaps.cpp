// The sample maps: read from their files, with their layers, classes and
// world rectangles; drawn through the main controller into PNG files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_mainobject.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/rendercheck.h"

namespace {

const std::string kMaps = std::string(MD_SOURCE_DIR) + "/host/helmora/maps/";

using DocumentPtr = md::basilo::ReleasePtr<IGIS_Document>;

// The layer of that name anywhere below the map, or NULL.
IGIS_MapLayer* FindLayer(IGIS_MapLayer* layer, const char* name) {
  if (std::strcmp(layer->GetName(), name) == 0) return layer;
  for (int i = 0; i < layer->GetLayerCount(); ++i)
    if (IGIS_MapLayer* l = FindLayer(layer->GetLayer(i), name)) return l;
  return nullptr;
}

IGIS_MapLayer* FindLayer(IGIS_Map* map, const char* name) {
  for (int i = 0; i < map->GetLayerCount(); ++i)
    if (IGIS_MapLayer* l = FindLayer(map->GetLayer(i), name)) return l;
  return nullptr;
}

IGIS_SymbolMatchTable* TableOf(IGIS_MapLayer* layer) {
  IGIS_LayerData* data = layer ? layer->GetLayerPtr() : nullptr;
  if (auto* v = dynamic_cast<IGIS_VectorMapLayer*>(data)) return v->GetSymbolMatchTable();
  if (auto* c = dynamic_cast<IGIS_VectorCompoundMapLayer*>(data))
    return c->GetVectorMapLayer()->GetSymbolMatchTable();
  return nullptr;
}

// Draws the map whole into a white raster through the main controller;
// checks it against a control image when one is named.
void Render(IGIS_Map* map, int width, int height, const std::string& file, const char* control = nullptr) {
  auto canvas = md::canvas::CairoCanvas::createImage(width, height);
  ASSERT_TRUE(canvas);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 150);
  ASSERT_NE(hdc, nullptr);
  IGIS_MainObject* main = HM_CreateMainObject(0);
  main->Initialize();
  main->Start();
  main->SetMap(map);
  IGIS_MapView* view = main->GetMapView();
  const int margin = 20;
  ASSERT_TRUE(view->SetDeviceRect(SGIS_Rect(margin, margin, width - margin, height - margin)));
  ASSERT_TRUE(view->ZoomFullExtent(0));
  EXPECT_TRUE(main->DrawMap(hdc, FALSE, margin, margin, width - margin, height - margin));
  main->Release();
  DeleteDC(hdc);
  if (control) {
    EXPECT_TRUE(
        md::test::MatchesControl(md::canvas::ReadRaster(*canvas), "tests/host/helmora/controls", control));
  }
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + file));
}

// Prints the map's world rectangle on A4 landscape at 150 dpi through a
// printer context (0.01 mm, y up) at the given scale.
void Print(IGIS_Map* map, double scale, const std::string& file) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(297.0, 210.0, 150.0);
  ASSERT_TRUE(canvas);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 150;
  setup.paperWidthMm = 297.0;
  setup.paperHeightMm = 210.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup);
  ASSERT_NE(hdc, nullptr);
  SetMapMode(hdc, MM_HIMETRIC);
  IGIS_Field* world = map->GetPropertySet()->GetProperty(GIS_DISP_WORLD_RECT);
  ASSERT_NE(world, nullptr);
  SGIS_Rect w;
  std::memcpy(&w, world->GetDataBuffer()->GetData(), 16);
  IGIS_MainObject* main = HM_CreateMainObject(0);
  main->SetMap(map);
  IGIS_MapView* view = main->GetMapView();
  const SGIS_Rect device(1000, -1000, 28700, -20000);
  ASSERT_TRUE(view->SetDeviceRect(device));
  ASSERT_TRUE(view->ZoomToExtent(SGIS_DRect(w.left, w.top, w.right, w.bottom), 0, nullptr, 0));
  ASSERT_TRUE(view->SetScale(scale));
  EXPECT_TRUE(main->DrawMap(hdc, TRUE, device.left, device.top, device.right, device.bottom));
  main->Release();
  DeleteDC(hdc);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + file));
}

TEST(SampleMaps, SheetOfFiftyThousandReadsWithItsLayersAndClasses) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = GIS_LoadMapFile(doc.get(), (kMaps + "sheet_50k.geojson").c_str());
  ASSERT_NE(map, nullptr);
  EXPECT_STREQ(map->GetName(), "西山幅 1:5万");
  EXPECT_EQ(doc->FindMap("西山幅 1:5万"), map);
  EXPECT_EQ(doc->GetMapCount(), 1);
  EXPECT_EQ(map->GetReferenceScale(), 50000);
  EXPECT_EQ(map->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  EXPECT_TRUE(map->CanDraw());

  // Groups hold the water and traffic layers; the roads are a compound layer.
  IGIS_MapLayer* water = FindLayer(map, "水系");
  ASSERT_NE(water, nullptr);
  EXPECT_STREQ(water->GetType(), GIS_DRAWER_GROUP);
  EXPECT_EQ(water->GetLayerCount(), 2);
  EXPECT_EQ(water->GetLayerPtr(), nullptr);
  IGIS_MapLayer* roads = FindLayer(map, "公路");
  ASSERT_NE(roads, nullptr);
  EXPECT_STREQ(roads->GetType(), GIS_DRAWER_VECTOR_COMPOUND);
  IGIS_SymbolMatchTable* roadClasses = TableOf(roads);
  ASSERT_NE(roadClasses, nullptr);
  ASSERT_EQ(roadClasses->GetCount(), 2);
  EXPECT_STREQ(roadClasses->GetLabel(0), "主要公路");
  EXPECT_STREQ(roadClasses->GetLabel(1), "乡村道路");
  ASSERT_NE(roadClasses->GetSymbol(0), nullptr);
  EXPECT_EQ(roadClasses->GetSymbol(0)->GetType(), GIS_SYMBOL_LINE);
  EXPECT_EQ(roadClasses->GetSymbol(0)->GetColor(), RGB(0xd9, 0x53, 0x1e));

  // Every class a legend would list has a label and a symbol.
  for (const char* name : {"等高线", "湖泊水库", "河流", "街区", "公路", "铁路", "居民点"}) {
    IGIS_SymbolMatchTable* t = TableOf(FindLayer(map, name));
    ASSERT_NE(t, nullptr) << name;
    ASSERT_GT(t->GetCount(), 0) << name;
    for (int i = 0; i < t->GetCount(); ++i) {
      EXPECT_GT(std::strlen(t->GetLabel(i)), 0u) << name;
      EXPECT_NE(t->GetSymbol(i), nullptr) << name;
    }
  }
  auto* places = dynamic_cast<IGIS_VectorMapLayer*>(FindLayer(map, "居民点")->GetLayerPtr());
  ASSERT_NE(places, nullptr);
  EXPECT_EQ(places->GetFeatureCount(), 22);
  EXPECT_STREQ(places->GetFeatureName(0), "西山县");
  EXPECT_TRUE(places->GetLabelFeatures());

  // The world rectangle is the sheet's extent in Gauss-Kruger metres
  // (central meridian 117 E, no zone prefix): it holds the sheet's centre,
  // 116.125 E 39.9166667 N at E 425189.10 N 4420642.78, and spans a quarter
  // degree of longitude by a sixth of latitude.
  IGIS_Field* world = map->GetPropertySet()->GetProperty(GIS_DISP_WORLD_RECT);
  ASSERT_NE(world, nullptr);
  ASSERT_GE(world->GetDataBuffer()->GetSize(), 16);
  SGIS_Rect r;
  std::memcpy(&r, world->GetDataBuffer()->GetData(), 16);
  EXPECT_LT(r.left, 425189);
  EXPECT_GT(r.right, 425190);
  EXPECT_GT(r.top, 4420643);
  EXPECT_LT(r.bottom, 4420642);
  EXPECT_NEAR(r.right - r.left, 21500, 300);
  EXPECT_NEAR(r.top - r.bottom, 18600, 300);
  SGIS_DRect full;
  map->GetFullExtent(&full, 0);
  EXPECT_GT(full.x2 - full.x1, 15000.0);
  EXPECT_GT(full.y1 - full.y2, 10000.0);

  Render(map, 1400, 1200, "helmora_sheet_50k.png");
  // Without its names (whose glyphs depend on the machine's fonts), the
  // sheet is checked against its control image.
  places->SetLabelFeatures(FALSE);
  Render(map, 700, 600, "helmora_sheet_50k_check.png", "sheet_50k_screen");
  // The sheet fills 18.3 cm of paper height: about 1:100,000, so symbols
  // drawn at half their size.
  Print(map, 100000.0, "helmora_sheet_50k_print.png");
}

TEST(SampleMaps, RegionOfOneMillionIsInDegrees) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = GIS_LoadMapFile(doc.get(), (kMaps + "region_1m.geojson").c_str());
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
  EXPECT_EQ(map->GetReferenceScale(), 1000000);
  SGIS_DRect full;
  map->GetFullExtent(&full, 0);
  EXPECT_GE(full.x1, 113.9);
  EXPECT_LE(full.x2, 120.6);
  EXPECT_LE(full.y1, 40.1);
  EXPECT_GE(full.y2, 35.9);
  IGIS_SymbolMatchTable* cities = TableOf(FindLayer(map, "城市"));
  ASSERT_NE(cities, nullptr);
  EXPECT_STREQ(cities->GetLabel(0), "首府");
  Render(map, 1400, 1000, "helmora_region_1m.png");
}

}  // namespace
