// A host of the installed library, written from the installed headers and
// the README alone. It makes a page, places a title, a map frame showing a
// sample map with an index grid, and a scale bar following the frame; prints
// the page to PNG and PDF and onto a cairo surface; edits the title through
// its property sheet with the scripted user; saves the page without telling
// any element to store itself, reads it back whole into a fresh page and
// prints that again, pixel for pixel the same, and without its layout layer,
// told so once in the log the README names; reads a metafile picture.
// Usage: mapdeck_host OUTDIR
// Exits with 0 when every answer is the expected one.
#include <cairo.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "mapdeck_controls.h"
#include "platform/ui/driver.h"

namespace {

int g_failures = 0;

void Expect(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  if (!ok) ++g_failures;
}

// A4 landscape in page units (0.01 mm).
constexpr int kPaperWidth = 29700;
constexpr int kPaperHeight = 21000;
constexpr int kDpi = 100;

// The ID of the first control of that kind on the dialog, or 0.
int ControlOf(int dialog, const char* kind) {
  for (const mapdeck_controls::Control& c : mapdeck_controls::kControls) {
    if (c.dialog == dialog && std::strcmp(c.kind, kind) == 0) return c.id;
  }
  return 0;
}

// Pixels of a PNG file that are not white, or -1 when it cannot be read.
long InkedPixels(const std::string& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  long inked = -1;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    inked = 0;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y) {
      const auto* row = reinterpret_cast<const unsigned*>(data + y * stride);
      for (int x = 0; x < w; ++x) inked += (row[x] & 0xFFFFFFu) != 0xFFFFFFu;
    }
  }
  cairo_surface_destroy(s);
  return inked;
}

// True when the image surface holds exactly the pixels of the PNG file.
bool SamePixels(cairo_surface_t* drawn, const std::string& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  bool same = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  const int w = cairo_image_surface_get_width(drawn), h = cairo_image_surface_get_height(drawn);
  same = same && cairo_image_surface_get_width(s) == w && cairo_image_surface_get_height(s) == h;
  cairo_surface_flush(drawn);
  for (int y = 0; same && y < h; ++y) {
    const auto* a = reinterpret_cast<const unsigned*>(cairo_image_surface_get_data(drawn) +
                                                      y * cairo_image_surface_get_stride(drawn));
    const auto* b = reinterpret_cast<const unsigned*>(cairo_image_surface_get_data(s) +
                                                      y * cairo_image_surface_get_stride(s));
    for (int x = 0; same && x < w; ++x) same = (a[x] & 0xFFFFFFu) == (b[x] & 0xFFFFFFu);
  }
  cairo_surface_destroy(s);
  return same;
}

// The page printed onto a white image surface the host made.
cairo_surface_t* PrintOnSurface(IGIS_FeatureSet* page) {
  const int w = static_cast<int>(kPaperWidth / 2540.0 * kDpi + 0.5);
  const int h = static_cast<int>(kPaperHeight / 2540.0 * kDpi + 0.5);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  Expect(GIS_PrintPageToSurface(page, kPaperWidth, kPaperHeight, kDpi, surface) == TRUE,
         "the page prints onto the host's cairo surface");
  return surface;
}

// A placeable metafile of one inch square (1000 units an inch): a black
// rectangle on its white brush's background.
bool WriteMetafile(const std::string& path) {
  std::string b;
  auto w16 = [&b](unsigned v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
  };
  for (unsigned v : {0xCDD7u, 0x9AC6u, 0u, 0u, 0u, 1000u, 1000u, 1000u, 0u, 0u}) w16(v);
  unsigned sum = 0;
  for (std::size_t k = 0; k < 20; k += 2)
    sum ^= static_cast<unsigned char>(b[k]) | (static_cast<unsigned char>(b[k + 1]) << 8);
  w16(sum);
  // The header, a window of 1000 x 1000, the rectangle, the end.
  const unsigned records[] = {5, 0x020B, 0, 0, 5, 0x020C, 1000, 1000, 7, 0x041B, 900, 900, 100, 100, 3, 0};
  w16(1);
  w16(9);
  w16(0x300);
  w16(9 + sizeof records / sizeof records[0] + 4);  // the words of the file after the placeable header
  w16(0);
  w16(0);  // no objects
  w16(7);  // the largest record
  w16(0);
  w16(0);
  for (std::size_t k = 0; k < sizeof records / sizeof records[0];) {
    const unsigned size = records[k];
    w16(size);
    w16(0);
    for (unsigned j = 1; j < size - 1; ++j) w16(records[k + j]);
    k += size - 1;
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

}  // namespace

// Whether a record since the mark begins with the text.
bool Recorded(std::size_t mark, const char* text) {
  for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetRecordsSince(mark))
    if (r.text.rfind(text, 0) == 0) return true;
  return false;
}

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : ".";
  mkdir(out.c_str(), 0755);
  const std::size_t logMark = GIS_GetLogPtr()->GetRecordCount();

  // 1. A sample map in the host's document.
  IGIS_Document* doc = GIS_CreateDocumentObject();
  IGIS_Map* map = doc != nullptr ? GIS_LoadMapFile(doc, MAPDECK_MAPS_DIR "/sheet_50k.geojson") : nullptr;
  Expect(map != nullptr, "the installed sample map loads");
  if (map == nullptr) return 1;
  SGIS_DRect extent;
  Expect(map->GetFullExtent(&extent, 0) != nullptr, "the map has an extent");
  const double mapWidth = std::fabs(extent.x2 - extent.x1), mapHeight = std::fabs(extent.y2 - extent.y1);

  // 4. A new page is usable as made: no spatial reference to give it.
  IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
  IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr);
  Expect(factory != nullptr && page != nullptr, "the library makes its factory and the host a page");
  if (factory == nullptr || page == nullptr) return 1;
  page->SetMapLayer(doc->GetLayoutLayer());

  auto* title =
      dynamic_cast<IGIS_TextElement*>(factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_TEXT, page, nullptr));
  if (title != nullptr) {
    if (IGIS_Symbol* font = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT)) {
      font->GetFontSizePtr()->lfHeight = -20;
      title->SetSymbolPtr(font);
      font->Release();
    }
    title->SetText("Sample sheet");
    title->SetLBpoint(SGIS_Point(2000, 19900, 0));
  }
  // The frame shows the whole map, 200 mm wide.
  const double scale = mapWidth / 20000.0;
  auto* frame =
      dynamic_cast<IGIS_MapElement*>(factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP, page, nullptr));
  if (frame != nullptr) {
    const int height = static_cast<int>(mapHeight / scale);
    frame->SetRect(SGIS_Rect(2000, 1000 + height, 22000, 1000));
    frame->SetMapName(map->GetName());
    frame->SetMapBound(extent);
    frame->SetScale(scale);
    if (auto* grid = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX))) {
      grid->SetColumnCount(4);
      grid->SetRowCount(3);
      grid->SetMapElement(frame);
      if (!frame->GetMapGrids()->AddMapGrid(grid)) grid->Release();
    }
  }
  auto* bar = dynamic_cast<IGIS_ScaleBar*>(
      factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING, page, nullptr));
  if (bar != nullptr && frame != nullptr) {
    bar->SetMapElement(frame);
    bar->SetResizeHint(0);
    bar->SetDivision(1000.0);  // metres
    bar->SetDivisions(4);
    bar->SetRect(SGIS_Rect(22800, 4000, 29000, 2500));
    bar->Refresh();
  }
  Expect(title != nullptr && frame != nullptr && bar != nullptr,
         "a title, a map frame and a scale bar are placed");
  if (title == nullptr || frame == nullptr || bar == nullptr) return 1;
  const int titleId = title->GetID(), frameId = frame->GetID(), barId = bar->GetID();

  // 5. The title's property sheet, run by the scripted user.
  {
    const int edit = ControlOf(mapdeck_controls::IDD_ELEMENT_TEXT, "EDITTEXT");
    md::ui::ScriptedDriver driver;
    driver.Then([edit](md::ui::UiUser& u) {
      u.Replace(edit, "样图 Sample sheet");
      u.Ok();
    });
    Expect(edit != 0 && title->OnOpenPropertyDlg(nullptr, FALSE) == TRUE,
           "the title's sheet runs and confirms");
    Expect(std::strcmp(title->GetText(), "样图 Sample sheet") == 0, "the sheet changed the title");
  }

  // 2. Printing: PNG, PDF and the host's own surface, all the same page.
  const std::string firstPng = out + "/first.png", pdf = out + "/page.pdf", secondPng = out + "/second.png";
  Expect(GIS_PrintPageToFile(page, kPaperWidth, kPaperHeight, kDpi, firstPng.c_str()) == TRUE,
         "the page prints to PNG");
  Expect(InkedPixels(firstPng) > 20000, "the PNG shows the page");
  Expect(GIS_PrintPageToFile(page, kPaperWidth, kPaperHeight, 600, pdf.c_str()) == TRUE && FileExists(pdf),
         "the page prints to PDF");
  cairo_surface_t* onSurface = PrintOnSurface(page);
  Expect(SamePixels(onSurface, firstPng), "the surface holds the PNG's pixels");
  cairo_surface_destroy(onSurface);

  // 3. Saved without any Archive call, read back whole.
  const std::string file = out + "/page.mdfs";
  Expect(page->SaveToFile(file.c_str()) == TRUE, "the page saves");
  IGIS_FeatureSet* loaded = GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr);
  loaded->SetMapLayer(doc->GetLayoutLayer());
  Expect(loaded->LoadPageFromFile(file.c_str()) == TRUE, "the page loads whole");
  auto* title2 = dynamic_cast<IGIS_TextElement*>(loaded->GetElement(titleId));
  auto* frame2 = dynamic_cast<IGIS_MapElement*>(loaded->GetElement(frameId));
  auto* bar2 = dynamic_cast<IGIS_ScaleBar*>(loaded->GetElement(barId));
  Expect(title2 != nullptr && std::strcmp(title2->GetText(), "样图 Sample sheet") == 0,
         "the title came back");
  Expect(frame2 != nullptr && std::strcmp(frame2->GetMapName(), map->GetName()) == 0 &&
             frame2->GetMapGrids()->GetCount() == 1,
         "the frame came back with its map and its grid");
  Expect(bar2 != nullptr && bar2->GetMapElement() == frame2, "the scale bar follows the reloaded frame");
  Expect(GIS_PrintPageToFile(loaded, kPaperWidth, kPaperHeight, kDpi, secondPng.c_str()) == TRUE,
         "the reloaded page prints");
  cairo_surface_t* again = PrintOnSurface(loaded);
  Expect(SamePixels(again, firstPng) && InkedPixels(secondPng) == InkedPixels(firstPng),
         "the reloaded page prints pixel for pixel as the first");
  cairo_surface_destroy(again);
  // No list lies beside this program: the frames read the installed one.
  Expect(!Recorded(logMark, "RegisterOtherComponentsCfgFile"),
         "the frames find the installed component list");

  // Read and printed without the layout layer: one record says what to do,
  // in the log file the README names.
  IGIS_FeatureSet* unshown = GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr);
  const std::size_t readMark = GIS_GetLogPtr()->GetRecordCount();
  const bool read = unshown->LoadPageFromFile(file.c_str()) == TRUE;
  GIS_PrintPageToFile(unshown, kPaperWidth, kPaperHeight, kDpi, (out + "/unshown.png").c_str());
  unshown->Release();
  const std::vector<SGIS_LogRecord> told = GIS_GetLogPtr()->GetRecordsSince(readMark);
  const char* tmp = std::getenv("TMPDIR");
  std::ifstream log((tmp != nullptr && tmp[0] != '\0' ? std::string(tmp) : "/tmp") + "/mapdeck-" +
                    std::to_string(getuid()) + "/mapdeck.log");
  const std::string logged{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
  Expect(read && told.size() == 1 && told[0].text.find("SetMapLayer") != std::string::npos &&
             logged.find(told[0].text) != std::string::npos,
         "a page without its layout layer is told once, naming SetMapLayer, in mapdeck.log");

  // A page without a spatial reference is refused with a record, not drawn blank.
  IGIS_FeatureSet* bare = GIS_CreateFeatureSetObject(nullptr, "bare", 0, 0, 0, 0, nullptr);
  bare->GetFeatureClass()->SetSpatialReference(nullptr);
  const std::string refused = out + "/refused.png";
  Expect(GIS_PrintPageToFile(bare, kPaperWidth, kPaperHeight, kDpi, refused.c_str()) == FALSE &&
             !FileExists(refused),
         "a page without a spatial reference is refused");

  // A metafile becomes a picture: its libraries run in the helper program
  // installed beside the library.
  const std::string metafile = out + "/square.wmf";
  auto* picture = dynamic_cast<IGIS_PictureElement*>(
      factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, bare, nullptr));
  // The import decodes the file first and refuses one that gives no picture.
  Expect(WriteMetafile(metafile) && picture != nullptr && picture->ImportPictureFromFile(metafile.c_str()),
         "a metafile picture is drawn");
  if (picture != nullptr) picture->Release();
  bare->Release();

  loaded->Release();
  bar->Release();
  frame->Release();
  title->Release();
  page->Release();
  factory->Release();
  doc->Release();
  std::printf("%s\n", g_failures == 0 ? "host check passed" : "host check FAILED");
  return g_failures == 0 ? 0 : 1;
}
