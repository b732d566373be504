// The annotation drawer: lays texts out in device pixels and draws them
// through GDI, one TextOut per line (or per character on a path).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/glyphor/gis_textlayout.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/gis_devicescope.h"
#include "platform/win/fontrequest.h"
#include "platform/win/gdidevice.h"

namespace {

constexpr int kMaxAnchors = 1 << 20;
constexpr int kMaxPathPoints = 1 << 20;
constexpr double kMaxEm = 1e5;  // device pixels
constexpr double kPi = 3.14159265358979323846;

// The font of a text symbol for one drawing: `em` in the device scope's
// logical units, turned by `angleDeg`, selected into the context while the object lives.
class ScopedFont {
 public:
  ScopedFont(HDC hdc, const LOGFONT& base, LONG em, double angleDeg) : hdc_(hdc) {
    LOGFONT lf = base;
    const double h = md::glyphor::TextHeight(base);
    lf.lfHeight = -em;
    const double widthEms = base.lfWidth > 0 ? std::min(base.lfWidth / h, md::glyphor::kMaxWidthPerEm) : 0.0;
    lf.lfWidth = static_cast<LONG>(std::lround(em * widthEms));
    const LONG tenths = static_cast<LONG>(std::lround(std::fmod(angleDeg, 360.0) * 10.0));
    lf.lfEscapement = tenths;
    lf.lfOrientation = tenths;
    font_ = CreateFontIndirect(&lf);
    if (font_) old_ = SelectObject(hdc_, font_);
    font = lf;
  }
  ~ScopedFont() {
    if (font_) {
      SelectObject(hdc_, old_);
      DeleteObject(font_);
    }
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;
  bool Ok() const { return font_ != nullptr; }
  LOGFONT font;

 private:
  HDC hdc_;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

md::text::TextEngine& EngineOf(HDC hdc) {
  md::text::TextEngine* e = md::win::GetDCTextEngine(hdc);
  return e ? *e : md::text::FreeTypeEngine();
}

constexpr double kSub = md::tinctor::kSubPixels;

// The em of a text symbol at a ratio, in the device scope's logical units.
LONG EmUnits(const LOGFONT& font, double dpi, double ratio) {
  const double em = md::glyphor::TextHeight(font) * dpi / 72.0 * ratio;
  return static_cast<LONG>(std::lround(std::clamp(em, 1.0, kMaxEm) * kSub));
}

// TextOut at a point given in device pixels.
void TextAt(HDC hdc, double x, double y, const std::string& text) {
  TextOut(hdc, md::basilo::detail::RoundToInt32(x * kSub), md::basilo::detail::RoundToInt32(y * kSub),
          text.c_str(), static_cast<int>(text.size()));
}

struct TextSetup {
  IGIS_Symbol* symbol = nullptr;
  LOGFONT font;
  double angle = 0;
};

bool Prepare(const char* method, HDC hdc, double ratio, IGIS_AnnoPointStyle* style, const char* text,
             const void* points, int count, int maxCount, TextSetup* out) {
  if (hdc == nullptr || style == nullptr || text == nullptr || points == nullptr || count < 1 ||
      count > maxCount) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "hdc, style, text or points missing");
    return false;
  }
  if (!std::isfinite(ratio) || ratio <= 0.0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "bad ratio");
    return false;
  }
  IGIS_Symbol* sym = style->GetTextStylePtr();
  if (sym == nullptr || sym->GetFontSizePtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "style->GetTextStylePtr() == NULL");
    return false;
  }
  out->symbol = sym;
  out->font = *sym->GetFontSizePtr();
  out->angle = sym->GetAngle() + out->font.lfOrientation;
  if (!std::isfinite(out->angle)) out->angle = 0;
  return true;
}

class CGIS_AnnoDrawer final : public IGIS_AnnoDrawer {
 public:
  BOOL Draw(CDC* dc, BOOL /*printFlag*/, double ratio, IGIS_AnnoPointStyle* style, const char* text,
            const SGIS_Point* points, int count) override {
    HDC hdc = dc ? dc->GetSafeHdc() : nullptr;
    TextSetup ts;
    if (!Prepare("IGIS_AnnoDrawer::Draw", hdc, ratio, style, text, points, count, kMaxAnchors, &ts))
      return FALSE;
    std::vector<POINT> anchors(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      anchors[i].x = points[i].x;
      anchors[i].y = points[i].y;
    }
    const auto dev = md::tinctor::ToDevice(hdc, anchors.data(), count);
    md::tinctor::DeviceScope scope(hdc);
    if (!scope.Ok()) return FALSE;
    const LONG em = EmUnits(ts.font, scope.Dpi(), ratio);
    ScopedFont font(hdc, ts.font, em, ts.angle);
    if (!font.Ok()) return FALSE;
    md::text::FontPtr f =
        EngineOf(hdc).Match(md::win::FontRequestFromLogFont(font.font, 1.0 / kSub, 1.0 / kSub));
    const md::glyphor::Lines lines = md::glyphor::Layout(*f, text);

    double fx = 0, fy = 0;
    GIS_AlignmentFractions(style->GetAlignment(), &fx, &fy);
    const double a = ts.angle * kPi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    SetTextAlign(hdc, TA_LEFT | TA_BASELINE);
    SetTextColor(hdc, ts.symbol->GetColor());
    SetBkMode(hdc, TRANSPARENT);
    for (const auto& anchor : dev) {
      for (std::size_t i = 0; i < lines.text.size(); ++i) {
        if (lines.text[i].empty()) continue;
        // Local frame: x to the right along the baseline, y down.
        const double x = -fx * lines.widths[i];
        const double y = -fy * lines.height + static_cast<double>(i) * lines.lineHeight + lines.ascent;
        const double px = anchor.x + x * c + y * s;
        const double py = anchor.y - x * s + y * c;
        TextAt(hdc, px, py, lines.text[i]);
      }
    }
    return TRUE;
  }

  BOOL DrawTextOnPath(CDC* dc, BYTE /*printFlag*/, double ratio, IGIS_AnnoPointStyle* style, const char* text,
                      const SGIS_Point* path, int count) override {
    static const char* kMethod = "IGIS_AnnoDrawer::DrawTextOnPath";
    if (path == nullptr || count < 2) return FALSE;
    HDC hdc = dc ? dc->GetSafeHdc() : nullptr;
    TextSetup ts;
    if (!Prepare(kMethod, hdc, ratio, style, text, path, count, kMaxPathPoints, &ts)) return FALSE;
    std::vector<POINT> pts(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      pts[i].x = path[i].x;
      pts[i].y = path[i].y;
    }
    auto dev = md::tinctor::ToDevice(hdc, pts.data(), count);
    // Drop repeated points; a path without length draws nothing.
    std::vector<md::glyphor::XY> p;
    for (const auto& q : dev)
      if (p.empty() || q.x != p.back().x || q.y != p.back().y) p.push_back(q);
    if (p.size() < 2) return FALSE;
    // A path that runs to the left is read from its other end, so that the
    // text stands upright.
    const bool reversed = p.back().x < p.front().x;
    if (reversed) std::reverse(p.begin(), p.end());
    std::vector<double> cum(1, 0.0);
    for (std::size_t i = 1; i < p.size(); ++i)
      cum.push_back(cum.back() + std::hypot(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y));
    const double total = cum.back();

    std::string flat(text);
    for (char& ch : flat)
      if (ch == '\r' || ch == '\n') ch = ' ';

    md::tinctor::DeviceScope scope(hdc);
    if (!scope.Ok()) return FALSE;
    const LONG em = EmUnits(ts.font, scope.Dpi(), ratio);
    md::text::FontRequest req;
    {
      ScopedFont level(hdc, ts.font, em, 0.0);
      req = md::win::FontRequestFromLogFont(level.font, 1.0 / kSub, 1.0 / kSub);
    }
    md::text::FontPtr f = EngineOf(hdc).Match(req);
    const auto glyphs = f->Shape(flat);
    // Bottom-centre and top-centre alignments put the bottom or the top of
    // the text's cell on the path; the other codes keep the baseline there.
    double lift = 0;
    {
      const md::glyphor::Lines cell = md::glyphor::Layout(*f, "");
      const int code = style->GetAlignment();
      if (code == GIS_ALIGN_BOTTOM_CENTER) lift = cell.lineHeight - cell.ascent;
      if (code == GIS_ALIGN_TOP_CENTER) lift = -cell.ascent;
      // Read from the other end, the text stays on the side of the path it
      // had: its cell is mirrored across the path.
      if (reversed) lift = -lift - cell.ascent + (cell.lineHeight - cell.ascent);
    }
    double textLen = 0;
    for (const auto& g : glyphs) textLen += g.advance;
    double pos = (total - textLen) / 2.0;

    // Point and direction (unit vector) at arc length s; beyond the ends the
    // end segments are extended.
    auto at = [&](double sArc, md::glyphor::XY* pt, md::glyphor::XY* dir) {
      std::size_t seg = 0;
      if (sArc <= 0) {
        seg = 0;
      } else if (sArc >= total) {
        seg = p.size() - 2;
      } else {
        seg = static_cast<std::size_t>(std::upper_bound(cum.begin(), cum.end(), sArc) - cum.begin()) - 1;
        seg = std::min(seg, p.size() - 2);
      }
      const double len = cum[seg + 1] - cum[seg];
      dir->x = (p[seg + 1].x - p[seg].x) / len;
      dir->y = (p[seg + 1].y - p[seg].y) / len;
      const double t = sArc - cum[seg];
      pt->x = p[seg].x + dir->x * t;
      pt->y = p[seg].y + dir->y * t;
    };

    SetTextAlign(hdc, TA_LEFT | TA_BASELINE);
    SetTextColor(hdc, ts.symbol->GetColor());
    SetBkMode(hdc, TRANSPARENT);
    for (const auto& g : glyphs) {
      // Each character stands on the chord from the path point where it
      // starts to the one where it ends, so that both ends of its baseline
      // lie on the path and neighbours do not run into each other at bends.
      md::glyphor::XY start, end, dir;
      at(pos, &start, &dir);
      at(pos + g.advance, &end, &dir);
      const double chord = std::hypot(end.x - start.x, end.y - start.y);
      if (chord > 1e-9) {
        dir.x = (end.x - start.x) / chord;
        dir.y = (end.y - start.y) / chord;
      }
      // Device y is down: the counter-clockwise angle of the chord.
      const double angle = std::atan2(-dir.y, dir.x) * 180.0 / kPi;
      // Up the glyphs is to the left of the direction (device y is down).
      const double ox = start.x + dir.y * lift;
      const double oy = start.y - dir.x * lift;
      ScopedFont font(hdc, ts.font, em, angle);
      const std::string ch = flat.substr(g.byteOffset, g.byteLength);
      if (g.ch != U' ') TextAt(hdc, ox, oy, ch);
      pos += g.advance;
    }
    return TRUE;
  }
};

}  // namespace

void GIS_AlignmentFractions(int code, double* fromLeft, double* fromTop) {
  static const double kFx[9] = {0.5, 0.5, 0.0, 0.0, 0.0, 0.5, 1.0, 1.0, 1.0};
  static const double kFy[9] = {0.5, 1.0, 1.0, 0.5, 0.0, 0.0, 0.0, 0.5, 1.0};
  if (code < 0 || code > 8) code = 0;
  if (fromLeft) *fromLeft = kFx[code];
  if (fromTop) *fromTop = kFy[code];
}

extern "C" IGIS_AnnoDrawer* GIS_GetAnnotationDrawerObject() {
  static CGIS_AnnoDrawer drawer;
  return &drawer;
}
