#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/glyphor/gis_symbolstyles.h"
#include "host/tinctorkit/igis_symbolpainter.h"

namespace {

class CGIS_SymbolPainter final : public IGIS_SymbolPainter {
 public:
  BOOL Paint(IGIS_SymbolV2* symbol, SGIS_PaintParam* param, const double* xy, int count) override {
    static const char* kMethod = "IGIS_SymbolPainter::Paint";
    if (symbol == nullptr || param == nullptr || param->graphics == nullptr || !param->graphics->IsValid() ||
        xy == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "symbol, record, graphics or points missing");
      return FALSE;
    }
    if (!std::isfinite(param->scale) || param->scale <= 0.0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "bad scale");
      return FALSE;
    }
    md::pictar2::Graphics& g = *param->graphics;
    const double pxPerMm = g.GetDpi() / 25.4 * param->scale;
    if (symbol->AsLineSymbol() != nullptr) {
      if (count < 2) return FALSE;
      const md::glyphor::Style& st =
          md::glyphor::FindOrDefault(symbol->GetStyleCode(), md::glyphor::Kind::Line);
      const double dashScale =
          pxPerMm * std::max(1.0, symbol->GetLineWidth() / std::max(st.lineWidthMm, 1e-9));
      std::vector<double> dash;
      for (double d : st.dashMm) dash.push_back(d * dashScale);
      return g.DrawPolyline(xy, count, symbol->GetColor(), symbol->GetLineWidth() * pxPerMm, dash);
    }
    if (count < 3) return FALSE;
    const md::glyphor::Style& st =
        md::glyphor::FindOrDefault(symbol->GetStyleCode(), md::glyphor::Kind::Fill);
    BOOL ok = g.FillPolygon(xy, count, symbol->GetColor(), md::glyphor::HatchIndex(st.pattern));
    if (ok && symbol->GetLineWidth() > 0.0)
      ok = g.DrawPolygon(xy, count, symbol->GetColor2(), symbol->GetLineWidth() * pxPerMm);
    return ok;
  }
};

}  // namespace

extern "C" IGIS_SymbolPainter* GIS_GetSymbolizeObject() {
  static CGIS_SymbolPainter painter;
  return &painter;
}
