// Printing a page through the print display onto a printer context over a
// cairo canvas: a raster for PNG, a vector page for PDF, or a caller's surface.
#include "layout/graphicelement/print/gis_pageprintdc.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/basilo/falseonwant.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/featra/pagehold.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/win/gdidevice.h"

namespace {

using md::canvas::CairoCanvas;

bool EndsWith(const std::string& s, const char* ending) {
  const std::size_t n = std::strlen(ending);
  return s.size() >= n && s.compare(s.size() - n, n, ending) == 0;
}

// The page's elements the host draws itself, in feature order: every
// feature's element but the members of compounds. False, with a record, when
// a feature that names an element type has no live element.
bool TopLevelElements(IGIS_FeatureSet* page, const char* method, std::vector<IGIS_Element*>* out) {
  std::vector<IGIS_Element*> all;
  std::set<int> members;
  const int n = page->GetFeatureCount();
  for (int i = 0; i < n; ++i) {
    IGIS_Feature* f = page->GetFeatureByIndex(i);
    if (f == nullptr) continue;
    IGIS_FeatureAttributes* attributes = f->GetAttributes();
    const char* type = attributes != nullptr ? attributes->GetString("TYPE") : nullptr;
    if (type == nullptr || type[0] == '\0') continue;
    IGIS_Element* e = page->GetElement(f->GetID());
    if (e == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method,
              "feature %d (%s) has no element: read a stored page with LoadPageFromFile", f->GetID(), type);
      return false;
    }
    all.push_back(e);
    if (std::strcmp(type, GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) != 0) continue;
    for (int m = 0; m < f->GetMemberCount(); ++m) members.insert(f->GetMemberID(m));
  }
  for (IGIS_Element* e : all) {
    if (members.count(e->GetID()) == 0) out->push_back(e);
  }
  return true;
}

// The page is there and has a spatial reference.
bool CheckPage(IGIS_FeatureSet* page, const char* method) {
  if (page == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "pFeatureSet == NULL");
    return false;
  }
  if (page->GetFeatureClass() == nullptr || page->GetFeatureClass()->GetSpatialReference() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method,
            "the page has no spatial reference: give its feature class one "
            "(IGIS_FeatureClass::SetSpatialReference with the factory's CreateSpatialReference(0))");
    return false;
  }
  return true;
}

bool CheckPage(IGIS_FeatureSet* page, int paperWidth, int paperHeight, const char* method) {
  if (!CheckPage(page, method)) return false;
  if (paperWidth > 0 && paperHeight > 0) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "paper %d x %d: both sides must be positive", paperWidth, paperHeight);
  return false;
}

// Paper in 0.01 mm as mm, without trailing zeros.
std::string Millimetres(long long hundredths) {
  std::string text = std::to_string(hundredths / 100);
  if (hundredths % 100 != 0) {
    const int rest = static_cast<int>(hundredths % 100);
    text +=
        (rest % 10 == 0 ? "." + std::to_string(rest / 10) : (rest < 10 ? ".0" : ".") + std::to_string(rest));
  }
  return text;
}

// The paper fits a canvas of the kind at dpi: at most the canvas's longest
// side each way; false, with a record naming the paper and that side.
bool CheckPaperFits(int paperWidth, int paperHeight, bool raster, int dpi, const char* method) {
  const double most = CairoCanvas::maxPageSideMm(raster, dpi);
  if (paperWidth / 100.0 <= most && paperHeight / 100.0 <= most) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, method,
          "paper %s x %s mm is too large for a %s: at most %s mm a side at %d dpi",
          Millimetres(paperWidth).c_str(), Millimetres(paperHeight).c_str(), raster ? "PNG" : "PDF",
          Millimetres(static_cast<long long>(std::floor(most * 100 + 1e-6))).c_str(), dpi);
  return false;
}

bool CheckDpi(int dpi, int most, const char* method) {
  if (dpi >= GIS_PRINT_MIN_DPI && dpi <= most) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "%d dpi is outside %d to %d", dpi, GIS_PRINT_MIN_DPI, most);
  return false;
}

// Draws the elements in order through the display; every one is drawn, and
// each that fails has one record: its own, which names it and says why, or,
// when it wrote none, one naming it here.
bool DrawThrough(HDC hdc, IGIS_Display* display, bool bPrint, const std::vector<IGIS_Element*>& elements,
                 const char* method) {
  bool ok = true;
  // The page's metafiles share one budget of time.
  const md::imaging::MetafileDrawing drawing;
  for (IGIS_Element* e : elements) {
    const std::size_t mark = GIS_GetThreadLogRecordCount();
    if (e != nullptr && e->OnDraw(hdc, bPrint, display)) continue;
    ok = false;
    if (GIS_GetThreadLogRecordCount() != mark) continue;
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "the element of feature %d (%s) did not draw",
            e != nullptr ? e->GetID() : -1, e != nullptr ? e->GetType() : "NULL");
  }
  return ok;
}

bool DrawElements(HDC hdc, int paperWidth, int paperHeight, const std::vector<IGIS_Element*>& elements,
                  const char* method) {
  CGIS_PrintDisplay display(hdc, paperWidth, paperHeight, SGIS_Point(0, paperHeight, 0));
  return DrawThrough(hdc, &display, true, elements, method);
}

// How a print drew its page: every element, all but those that failed (each
// with its record), or nothing (with the record of why).
enum class Drawn { kWhole, kWithFailures, kNothing };

// Draws the elements onto a canvas spanning the paper at dpi.
Drawn PrintOnCanvas(const std::vector<IGIS_Element*>& elements, int paperWidth, int paperHeight, int dpi,
                    CairoCanvas* canvas, const char* method) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = paperWidth / 100.0;
  setup.paperHeightMm = paperHeight / 100.0;
  HDC hdc = md::win::CreatePrinterDC(canvas, setup, nullptr);
  if (hdc == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "cannot make a printer device context");
    return Drawn::kNothing;
  }
  const bool ok = DrawElements(hdc, paperWidth, paperHeight, elements, method);
  DeleteDC(hdc);
  canvas->flush();
  return ok ? Drawn::kWhole : Drawn::kWithFailures;
}

}  // namespace

extern "C" {

BOOL GIS_PrintPageToFile(IGIS_FeatureSet* page, int paperWidth, int paperHeight, int dpi, const char* path) {
  constexpr const char* kMethod = "GIS_PrintPageToFile";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    const md::featra::PageHold hold(page, kMethod);
    if (!hold || !CheckPage(page, paperWidth, paperHeight, kMethod)) return FALSE;
    if (path == nullptr || path[0] == '\0') {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, path == nullptr ? "szPath == NULL" : "szPath is empty");
      return FALSE;
    }
    const std::string file = path;
    const bool png = EndsWith(file, ".png");
    if (!png && !EndsWith(file, ".pdf")) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "\"%s\" ends neither in .png nor in .pdf", file.c_str());
      return FALSE;
    }
    std::vector<IGIS_Element*> elements;
    if (!CheckDpi(dpi, png ? GIS_PRINT_MAX_RASTER_DPI : GIS_PRINT_VECTOR_DPI, kMethod) ||
        !CheckPaperFits(paperWidth, paperHeight, png, dpi, kMethod) ||
        !TopLevelElements(page, kMethod, &elements))
      return FALSE;
    const double widthMm = paperWidth / 100.0;
    const double heightMm = paperHeight / 100.0;
    std::string why;
    std::unique_ptr<CairoCanvas> canvas = png ? CairoCanvas::createPageImage(widthMm, heightMm, dpi)
                                              : CairoCanvas::createPdf(file, widthMm, heightMm, dpi, &why);
    if (canvas == nullptr) {
      if (png)
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "cannot make a raster of %g x %g mm at %d dpi", widthMm,
                heightMm, dpi);
      else
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "writing %s failed: %s", file.c_str(), why.c_str());
      return FALSE;
    }
    const Drawn drawn = PrintOnCanvas(elements, paperWidth, paperHeight, dpi, canvas.get(), kMethod);
    // A page drawn is written, also with elements that failed (crossed out,
    // each with its record); a page not drawn writes no file.
    if (drawn == Drawn::kNothing) {
      if (!png) canvas->discard();
      return FALSE;
    }
    const bool written = png ? canvas->writePng(file, &why) : canvas->finish();
    if (!written) {
      if (!png) why = canvas->failure();
      GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "writing %s failed: %s", file.c_str(), why.c_str());
    }
    return drawn == Drawn::kWhole && written ? TRUE : FALSE;
  });
}

BOOL GIS_PrintPageToSurface(IGIS_FeatureSet* page, int paperWidth, int paperHeight, int dpi,
                            cairo_surface_t* surface) {
  constexpr const char* kMethod = "GIS_PrintPageToSurface";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    const md::featra::PageHold hold(page, kMethod);
    std::vector<IGIS_Element*> elements;
    if (!hold || !CheckPage(page, paperWidth, paperHeight, kMethod) ||
        !CheckDpi(dpi, GIS_PRINT_VECTOR_DPI, kMethod) || !TopLevelElements(page, kMethod, &elements))
      return FALSE;
    std::unique_ptr<CairoCanvas> canvas =
        CairoCanvas::createOnSurface(surface, paperWidth / 100.0, paperHeight / 100.0, dpi);
    if (canvas == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pSurface == NULL or in error");
      return FALSE;
    }
    const Drawn drawn = PrintOnCanvas(elements, paperWidth, paperHeight, dpi, canvas.get(), kMethod);
    return drawn == Drawn::kWhole && canvas->finish() ? TRUE : FALSE;
  });
}

BOOL GIS_DrawPageToDisplay(HDC hdc, IGIS_FeatureSet* page, IGIS_Display* display) {
  constexpr const char* kMethod = "GIS_DrawPageToDisplay";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    if (hdc == nullptr || display == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, hdc == nullptr ? "hdc == NULL" : "pDisplay == NULL");
      return FALSE;
    }
    const md::featra::PageHold hold(page, kMethod);
    std::vector<IGIS_Element*> elements;
    if (!hold || !CheckPage(page, kMethod) || !TopLevelElements(page, kMethod, &elements)) return FALSE;
    return DrawThrough(hdc, display, false, elements, kMethod) ? TRUE : FALSE;
  });
}

void* GIS_BeginPageDrawing() {
  return md::basilo::MakeOrNull<md::imaging::MetafileDrawing>("GIS_BeginPageDrawing");
}

void GIS_EndPageDrawing(void* drawing) {
  auto* own = static_cast<md::imaging::MetafileDrawing*>(drawing);
  if (own != nullptr && !own->OnItsThread())
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_EndPageDrawing",
            "the page drawing was begun on another thread: ended for that thread, not this one; end it "
            "on the thread that began it");
  delete own;
}

BOOL GIS_PrintPageToDC(HDC hdc, IGIS_FeatureSet* page, int paperWidth, int paperHeight,
                       IGIS_Element* const* elements, int count) {
  constexpr const char* kMethod = "GIS_PrintPageToDC";
  return md::basilo::FalseOnWant(kMethod, [&]() -> BOOL {
    const md::featra::PageHold hold(page, kMethod);
    if (!hold || !CheckPage(page, paperWidth, paperHeight, kMethod)) return FALSE;
    if (hdc == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "hdc == NULL");
      return FALSE;
    }
    std::vector<IGIS_Element*> chosen;
    if (elements == nullptr) {
      if (!TopLevelElements(page, kMethod, &chosen)) return FALSE;
    } else {
      chosen.assign(elements, elements + (count > 0 ? count : 0));
    }
    return DrawElements(hdc, paperWidth, paperHeight, chosen, kMethod) ? TRUE : FALSE;
  });
}

}  // extern "C"
