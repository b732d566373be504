// The symbol renderer: line, fill and point symbols drawn through GDI.
#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/glyphor/gis_symbolgeometry.h"
#include "host/tinctor/gis_devicescope.h"
#include "host/tinctor/igis_symbolrenderer.h"

namespace {

constexpr int kMaxPoints = 1 << 24;

// Point buffers reused from one drawing to the next on each thread: a map
// draws its features one call each.
struct Scratch {
  std::vector<md::glyphor::XY> dev;
  std::vector<POINT> pts;
  std::vector<POINT> placed;
  std::vector<double> pattern;
};

Scratch& ThreadScratch() {
  thread_local Scratch scratch;
  return scratch;
}

void DrawPlaced(HDC hdc, const std::vector<md::glyphor::PlacedOp>& ops, std::vector<POINT>* pts,
                md::tinctor::PenBrushSet* pens) {
  for (const auto& op : ops) {
    pens->Select(op.stroke, op.strokeColor, op.strokeWidth, op.fill, op.fillColor);
    switch (op.type) {
      case md::glyphor::PointOp::Circle: {
        const double r = op.radius;
        auto box =
            md::tinctor::ToPoints({{op.center.x - r, op.center.y - r}, {op.center.x + r, op.center.y + r}});
        Ellipse(hdc, box[0].x, box[0].y, box[1].x, box[1].y);
        break;
      }
      case md::glyphor::PointOp::Polygon: {
        md::tinctor::ToPoints(op.pts, pts);
        Polygon(hdc, pts->data(), static_cast<int>(pts->size()));
        break;
      }
      case md::glyphor::PointOp::Polyline: {
        md::tinctor::ToPoints(op.pts, pts);
        Polyline(hdc, pts->data(), static_cast<int>(pts->size()));
        break;
      }
    }
  }
}

class CGIS_SymbolRenderer final : public IGIS_SymbolRenderer {
 public:
  BOOL Draw(IGIS_Symbol* symbol, SGIS_DrawParam* param, DWORD /*check*/) override {
    static const char* kMethod = "IGIS_SymbolRenderer::Draw";
    if (symbol == nullptr || param == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "symbol == NULL || param == NULL");
      return FALSE;
    }
    if (param->hdc == nullptr || param->points == nullptr || param->pointCount <= 0 ||
        param->pointCount > kMaxPoints) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "no device context or no points");
      return FALSE;
    }
    const double scale = param->symbolScale;
    if (!std::isfinite(scale) || scale <= 0.0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "bad symbol scale");
      return FALSE;
    }
    const int type = symbol->GetType();
    const int n = param->pointCount;
    if ((type == GIS_SYMBOL_LINE && n < 2) ||
        ((type == GIS_SYMBOL_FILL || type == GIS_SYMBOL_BACKGROUND) && n < 3))
      return FALSE;
    if (type == GIS_SYMBOL_TEXT) return FALSE;

    Scratch& scratch = ThreadScratch();
    std::vector<md::glyphor::XY>& dev = scratch.dev;
    std::vector<POINT>& pts = scratch.pts;
    // Solid lines and fills draw their points as they are: straight to the
    // scope's units; dashes and point symbols work on device pixels.
    const bool direct =
        type == GIS_SYMBOL_FILL || type == GIS_SYMBOL_BACKGROUND ||
        (type == GIS_SYMBOL_LINE &&
         md::glyphor::FindOrDefault(symbol->GetStyleCode(), md::glyphor::Kind::Line).dashMm.empty());
    if (direct)
      md::tinctor::ToScopePoints(param->hdc, param->points, n, &pts);
    else
      md::tinctor::ToDevice(param->hdc, param->points, n, &dev);
    md::tinctor::DeviceScope scope(param->hdc);
    if (!scope.Ok()) return FALSE;
    const double pxPerMm = scope.Dpi() / 25.4 * scale;
    const double pxPerUnit = scope.Dpi() / 72.0 * scale;
    HDC hdc = param->hdc;

    switch (type) {
      case GIS_SYMBOL_LINE: {
        const md::glyphor::Style& st =
            md::glyphor::FindOrDefault(symbol->GetStyleCode(), md::glyphor::Kind::Line);
        const double width = symbol->GetLineWidth() * pxPerMm;
        // Dashes scale with the line: a heavier line gets longer dashes.
        const double dashScale =
            pxPerMm * std::max(1.0, symbol->GetLineWidth() / std::max(st.lineWidthMm, 1e-9));
        std::vector<double>& pattern = scratch.pattern;
        pattern.clear();
        for (double d : st.dashMm) pattern.push_back(d * dashScale);
        md::tinctor::SelectedPen pen(hdc, symbol->GetColor(), width);
        if (pattern.empty()) {
          // Solid: the line as it is.
          Polyline(hdc, pts.data(), static_cast<int>(pts.size()));
          return TRUE;
        }
        md::glyphor::ForEachDash(dev, pattern, [&](const std::vector<md::glyphor::XY>& piece) {
          md::tinctor::ToPoints(piece, &pts);
          Polyline(hdc, pts.data(), static_cast<int>(pts.size()));
        });
        return TRUE;
      }
      case GIS_SYMBOL_FILL:
      case GIS_SYMBOL_BACKGROUND: {
        const md::glyphor::Style& st =
            md::glyphor::FindOrDefault(symbol->GetStyleCode(), md::glyphor::Kind::Fill);
        const int hatch = md::glyphor::HatchIndex(st.pattern);
        const int oldMode = SetBkMode(hdc, TRANSPARENT);
        {
          md::tinctor::PenBrush fill(hdc, false, 0, 0, true, symbol->GetColor(), hatch);
          Polygon(hdc, pts.data(), static_cast<int>(pts.size()));
        }
        const double outline = symbol->GetLineWidth();
        if (outline > 0.0) {
          md::tinctor::PenBrush line(hdc, true, symbol->GetColor2(), outline * pxPerMm, false, 0);
          Polygon(hdc, pts.data(), static_cast<int>(pts.size()));
        }
        SetBkMode(hdc, oldMode);
        return TRUE;
      }
      case GIS_SYMBOL_POINT5:
      case GIS_SYMBOL_POINT:
      case GIS_SYMBOL_POINT7: {
        const md::glyphor::Style& st =
            md::glyphor::FindOrDefault(symbol->GetStyleCode(), md::glyphor::Kind::Point);
        const COLORREF colors[3] = {symbol->GetColor(), symbol->GetColor2(), symbol->GetColor3()};
        md::tinctor::PenBrushSet pens(hdc);
        for (const auto& p : dev) {
          DrawPlaced(
              hdc,
              md::glyphor::PlacePoint(st, type, colors, symbol->GetSize(), symbol->GetAngle(), p, pxPerUnit),
              &scratch.placed, &pens);
        }
        return TRUE;
      }
      default:
        GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "symbol type %d does not draw", type);
        return FALSE;
    }
  }

  SGIS_Rect GetSymbolBound(int styleCode) override {
    const md::glyphor::Style* st = md::glyphor::Find(styleCode);
    if (st == nullptr || st->kind != md::glyphor::Kind::Point) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolRenderer::GetSymbolBound", "%d is not a point style",
              styleCode);
      return SGIS_Rect();
    }
    return SGIS_Rect(0, md::basilo::detail::RoundToInt32(st->height),
                     md::basilo::detail::RoundToInt32(st->width), 0);
  }
};

}  // namespace

extern "C" IGIS_SymbolRenderer* GIS_GetSymbolizationObject() {
  static CGIS_SymbolRenderer renderer;
  return &renderer;
}
