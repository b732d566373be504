// Text output and measurement through the context's text engine.
//
// Strings are UTF-8. Where the platform takes one value per character
// (ExtTextOut's dx), that is one value per Unicode character.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/win/fontrequest.h"
#include "platform/win/gdi_internal.h"

using namespace md::win;
using namespace md::win::detail;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxText = 1 << 20;  // bytes one call draws or measures

bool TextArg(LPCSTR text, long long count, std::string_view* out) {
  if (!text && count != 0) return false;
  if (count < 0) count = static_cast<long long>(strnlen(text, kMaxText));
  if (static_cast<unsigned long long>(count) > kMaxText) return false;
  *out = std::string_view(text ? text : "", static_cast<std::size_t>(count));
  return true;
}

double UnitsX(const DCObj* dc) { return std::abs(dc->ScaleX()); }
double UnitsY(const DCObj* dc) { return std::abs(dc->ScaleY()); }

md::canvas::Font CanvasFont(const DCObj* dc, const md::text::Font& f) {
  const LOGFONT& lf = dc->st.font->lf;
  const md::text::FontMetrics& m = f.Metrics();
  md::canvas::Font out;
  std::size_t n = strnlen(lf.lfFaceName, LF_FACESIZE);
  out.face.assign(lf.lfFaceName, n);
  out.engine = dc->engine->Name();
  out.emHeight = m.em;
  out.width = f.Request().width;
  out.weight = m.weight;
  out.italic = m.italic;
  out.underline = lf.lfUnderline != 0;
  out.strikeOut = lf.lfStrikeOut != 0;
  out.charSet = lf.lfCharSet;
  out.ascent = m.ascent;
  out.descent = m.descent;
  return out;
}

using Glyphs = std::shared_ptr<const std::vector<md::text::Glyph>>;

// The glyphs of a string in a font, shared with the canvas that draws them.
Glyphs ShapeOf(const md::text::Font& font, std::string_view s) {
  return std::make_shared<const std::vector<md::text::Glyph>>(font.Shape(s));
}

// The advance of each glyph.
std::vector<double> AdvancesOf(const std::vector<md::text::Glyph>& glyphs) {
  std::vector<double> out;
  out.reserve(glyphs.size());
  for (const md::text::Glyph& g : glyphs) out.push_back(g.advance);
  return out;
}

// Paints one line whose reference point `ref` (device) is placed by the
// alignment flags; returns the advance width in pixels.
double PaintLine(DCObj* dc, md::canvas::Canvas* c, const md::text::FontPtr& font, std::string_view s,
                 std::vector<double> adv, Glyphs glyphs, md::canvas::Point ref, UINT align,
                 const md::canvas::State& state, double angle) {
  const md::text::FontMetrics& m = font->Metrics();
  double w = 0;
  for (double a : adv) w += a;
  const double rad = angle * kPi / 180.0;
  const md::canvas::Point u{std::cos(rad), -std::sin(rad)};  // along the baseline
  const md::canvas::Point d{std::sin(rad), std::cos(rad)};   // down from the baseline
  double hx = 0;
  if ((align & TA_CENTER) == TA_CENTER) {
    hx = -w / 2;
  } else if (align & TA_RIGHT) {
    hx = -w;
  }
  double vy = m.ascent;  // TA_TOP
  if ((align & TA_BASELINE) == TA_BASELINE) {
    vy = 0;
  } else if (align & TA_BOTTOM) {
    vy = -m.descent;
  }
  md::canvas::TextRun run;
  run.text = std::string(s);
  run.advances = std::move(adv);
  run.origin = {ref.x + u.x * hx + d.x * vy, ref.y + u.y * hx + d.y * vy};
  run.angle = angle;
  run.font = CanvasFont(dc, *font);
  run.shapedFont = font;
  run.glyphs = std::move(glyphs);
  run.color = dc->st.textColor & 0xFFFFFF;
  if (dc->st.bkMode == OPAQUE) {
    run.fillBackground = true;
    auto at = [&](double along, double down) {
      return md::canvas::Point{run.origin.x + u.x * along + d.x * down,
                               run.origin.y + u.y * along + d.y * down};
    };
    run.backgroundBox = {at(0, -m.ascent), at(w, -m.ascent), at(w, m.descent), at(0, m.descent)};
  }
  c->drawText(run, state);
  return w;
}

// The context's clip narrowed to a device rectangle, for ETO_CLIPPED and
// DrawText without DT_NOCLIP.
md::canvas::State ClippedTo(DCObj* dc, const md::canvas::Rect& r) {
  md::canvas::State s = dc->State();
  Region rect = Region::FromRect(r.left, r.top, r.right, r.bottom);
  Region clip = dc->st.hasClip ? Region::Combine(dc->st.clip, rect, RegionOp::And) : rect;
  s.clip.active = true;
  s.clip.rects = clip.Rects();
  return s;
}

bool IsBreakableCJK(char32_t ch) { return ch >= 0x2E80; }

struct Line {
  std::string text;
  double width = 0;
};

// Splits a paragraph into lines no wider than maxWidth, breaking after
// spaces and around CJK characters; a word wider than the line stays whole.
void WrapParagraph(const md::text::Font& font, std::string_view para, double maxWidth,
                   std::vector<Line>& out) {
  struct Ch {
    std::size_t off, len;
    char32_t ch;
    double adv;
  };
  std::vector<Ch> chars;
  md::text::ForEachCodepoint(para, [&](char32_t ch, std::size_t off, std::size_t len) {
    chars.push_back({off, len, ch, font.Advance(ch)});
  });
  std::size_t start = 0;
  while (start < chars.size()) {
    double w = 0;
    std::size_t end = start;        // exclusive end of the line
    std::size_t lastBreak = start;  // a good end found so far (0 = none)
    bool haveBreak = false;
    while (end < chars.size()) {
      const Ch& c = chars[end];
      if (w + c.adv > maxWidth && end > start && c.ch != U' ') break;
      w += c.adv;
      ++end;
      if (c.ch == U' ' || IsBreakableCJK(c.ch) || (end < chars.size() && IsBreakableCJK(chars[end].ch))) {
        lastBreak = end;
        haveBreak = true;
      }
    }
    if (end < chars.size() && haveBreak && lastBreak > start) end = lastBreak;
    if (end < chars.size() && !haveBreak) {
      // No break inside: the word runs on to its end.
      while (end < chars.size() && chars[end].ch != U' ') ++end;
    }
    // Trailing spaces neither count nor show.
    std::size_t vis = end;
    while (vis > start && chars[vis - 1].ch == U' ') --vis;
    Line line;
    for (std::size_t k = start; k < vis; ++k) line.width += chars[k].adv;
    if (vis > start)
      line.text = std::string(
          para.substr(chars[start].off, chars[vis - 1].off + chars[vis - 1].len - chars[start].off));
    out.push_back(std::move(line));
    start = end;
    while (start < chars.size() && chars[start].ch == U' ') ++start;
  }
  if (chars.empty()) out.push_back(Line{});
}

std::string StripPrefixes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        out.push_back('&');
        ++i;
      }
      continue;
    }
    out.push_back(s[i]);
  }
  return out;
}

}  // namespace

namespace md::win::detail {

md::text::FontPtr CurrentFont(DCObj& dc) {
  const LOGFONT& lf = dc.st.font->lf;
  const double ux = UnitsX(&dc), uy = UnitsY(&dc);
  auto& memo = dc.fontMemo;
  if (memo.font != nullptr && memo.engine == dc.engine && memo.unitsX == ux && memo.unitsY == uy &&
      std::memcmp(&memo.lf, &lf, sizeof lf) == 0)
    return memo.font;
  memo.font = dc.engine->Match(md::win::FontRequestFromLogFont(lf, ux, uy));
  memo.lf = lf;
  memo.unitsX = ux;
  memo.unitsY = uy;
  memo.engine = dc.engine;
  return memo.font;
}

}  // namespace md::win::detail

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOut(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                const INT* dx) {
  DCObj* dc = FindDC(hdc);
  std::string_view s;
  if (!dc || !TextArg(text, count, &s)) return FALSE;
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return FALSE;
  md::text::FontPtr font = CurrentFont(*dc);
  Glyphs glyphs = ShapeOf(*font, s);
  std::vector<double> adv = AdvancesOf(*glyphs);
  if (dx) {
    for (std::size_t i = 0; i < adv.size(); ++i) adv[i] = dx[i] * UnitsX(dc);
  }
  const bool updateCP = (dc->st.textAlign & TA_UPDATECP) != 0;
  POINT refLog = updateCP ? dc->st.current : POINT{x, y};
  md::canvas::Point ref = dc->Dev(refLog.x, refLog.y);

  // The context's state as it is, unless the text is clipped to the box.
  const md::canvas::State* state = &dc->State();
  md::canvas::State clipped;
  if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
    md::canvas::Rect r = dc->DevRect(rect->left, rect->top, rect->right, rect->bottom);
    if (options & ETO_OPAQUE) {
      md::canvas::Brush bk;
      bk.style = md::canvas::BrushStyle::Solid;
      bk.color = dc->st.bkColor & 0xFFFFFF;
      if (!r.empty()) c->fillRects({r}, bk, *state);
    }
    if (options & ETO_CLIPPED) {
      clipped = ClippedTo(dc, r);
      state = &clipped;
    }
  }
  const double w = s.empty() ? 0
                             : PaintLine(dc, c, font, s, std::move(adv), std::move(glyphs), ref,
                                         dc->st.textAlign, *state, dc->st.font->lf.lfEscapement / 10.0);
  if (updateCP) {
    const double rad = dc->st.font->lf.lfEscapement / 10.0 * kPi / 180.0;
    double along = 0;
    if ((dc->st.textAlign & TA_CENTER) == TA_CENTER) {
      along = 0;
    } else if (dc->st.textAlign & TA_RIGHT) {
      along = -w;
    } else {
      along = w;
    }
    const double devX = ref.x + std::cos(rad) * along, devY = ref.y - std::sin(rad) * along;
    dc->st.current = POINT{Round(dc->LogX(devX)), Round(dc->LogY(devY))};
  }
  return TRUE;
}

int DrawText(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  DCObj* dc = FindDC(hdc);
  std::string_view s;
  if (!dc || !rect || !TextArg(text, count, &s)) return 0;
  md::text::FontPtr font = CurrentFont(*dc);
  const md::text::FontMetrics& m = font->Metrics();
  const std::string body = (format & DT_NOPREFIX) ? std::string(s) : StripPrefixes(s);

  const md::canvas::Rect box = dc->DevRect(rect->left, rect->top, rect->right, rect->bottom);
  const int lineH = Round(m.height);
  std::vector<Line> lines;
  if (format & DT_SINGLELINE) {
    std::string one;
    for (char ch : body) {
      if (ch != '\r' && ch != '\n') one.push_back(ch);
    }
    lines.push_back(Line{one, font->Measure(one).width});
  } else {
    std::size_t pos = 0;
    while (pos <= body.size()) {
      std::size_t nl = body.find('\n', pos);
      std::string_view para(body.data() + pos, (nl == std::string::npos ? body.size() : nl) - pos);
      if (!para.empty() && para.back() == '\r') para.remove_suffix(1);
      if (format & DT_WORDBREAK) {
        WrapParagraph(*font, para, std::max(0, SubSat(box.right, box.left)), lines);
      } else {
        lines.push_back(Line{std::string(para), font->Measure(para).width});
      }
      if (nl == std::string::npos) break;
      pos = nl + 1;
    }
  }
  const int totalH = static_cast<int>(std::min<long long>(
      static_cast<long long>(lineH) * static_cast<long long>(lines.size()), std::numeric_limits<int>::max()));
  int top = box.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      top = MidSat(box.top, SubSat(box.bottom, lineH));
    } else if (format & DT_BOTTOM) {
      top = SubSat(box.bottom, lineH);
    }
  }
  const double unitsY = UnitsY(dc);
  if (format & DT_CALCRECT) {
    int maxW = 0;
    for (const Line& l : lines) maxW = std::max(maxW, Round(l.width));
    // The rectangle keeps its top-left corner and fits the text.
    const bool flipX = dc->ScaleX() < 0, flipY = dc->ScaleY() < 0;
    const bool leftIsMin = (rect->left <= rect->right) != flipX;
    const bool topIsMin = (rect->top <= rect->bottom) != flipY;
    const int devLeft = box.left, devTop = box.top;
    const int devRight = AddSat(devLeft, maxW), devBottom = AddSat(devTop, totalH);
    const int lx0 = Round(dc->LogX(devLeft)), lx1 = Round(dc->LogX(devRight));
    const int ly0 = Round(dc->LogY(devTop)), ly1 = Round(dc->LogY(devBottom));
    if (leftIsMin) {
      rect->left = lx0;
      rect->right = lx1;
    } else {
      rect->right = lx0;
      rect->left = lx1;
    }
    if (topIsMin) {
      rect->top = ly0;
      rect->bottom = ly1;
    } else {
      rect->bottom = ly0;
      rect->top = ly1;
    }
    return Round(totalH / unitsY);
  }
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return 0;
  const md::canvas::State state = (format & DT_NOCLIP) ? dc->State() : ClippedTo(dc, box);
  // Lines are laid out upright in device space whatever the mapping.
  int y = top;
  for (const Line& l : lines) {
    const int w = Round(l.width);
    int x = box.left;
    if (format & DT_CENTER) {
      x = MidSat(box.left, SubSat(box.right, w));
    } else if (format & DT_RIGHT) {
      x = SubSat(box.right, w);
    }
    if (!l.text.empty()) {
      Glyphs glyphs = ShapeOf(*font, l.text);
      std::vector<double> adv = AdvancesOf(*glyphs);
      PaintLine(dc, c, font, l.text, std::move(adv), std::move(glyphs),
                md::canvas::Point{static_cast<double>(x), static_cast<double>(y)}, TA_LEFT | TA_TOP, state,
                0.0);
    }
    y = AddSat(y, lineH);
  }
  const int bottomOffset = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))
                               ? AddSat(SubSat(top, box.top), totalH)
                               : totalH;
  return Round(bottomOffset / unitsY);
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  DCObj* dc = FindDC(hdc);
  std::string_view s;
  if (!dc || !size || count < 0 || !TextArg(text, count, &s)) return FALSE;
  md::text::FontPtr font = CurrentFont(*dc);
  md::text::Extent e = font->Measure(s);
  size->cx = Round(e.width / UnitsX(dc));
  size->cy = Round(font->Metrics().height / UnitsY(dc));
  return TRUE;
}

BOOL GetTextMetrics(HDC hdc, LPTEXTMETRIC tm) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !tm) return FALSE;
  md::text::FontPtr font = CurrentFont(*dc);
  const md::text::FontMetrics& m = font->Metrics();
  const LOGFONT& lf = dc->st.font->lf;
  const double ux = UnitsX(dc), uy = UnitsY(dc);
  *tm = TEXTMETRIC{};
  tm->tmAscent = Round(m.ascent / uy);
  tm->tmDescent = Round(m.descent / uy);
  tm->tmHeight = tm->tmAscent + tm->tmDescent;
  tm->tmInternalLeading = Round(m.internalLeading / uy);
  tm->tmExternalLeading = Round(m.externalLeading / uy);
  tm->tmAveCharWidth = Round(m.aveCharWidth / ux);
  tm->tmMaxCharWidth = Round(m.maxCharWidth / ux);
  tm->tmWeight = m.weight;
  tm->tmDigitizedAspectX = dc->dpiX;
  tm->tmDigitizedAspectY = dc->dpiY;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0x7E;
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  tm->tmItalic = m.italic ? 1 : 0;
  tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  tm->tmPitchAndFamily = lf.lfPitchAndFamily;
  tm->tmCharSet = lf.lfCharSet;
  return TRUE;
}

int GetTextFace(HDC hdc, int count, LPSTR face) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return 0;
  const LOGFONT& lf = dc->st.font->lf;
  const int len = static_cast<int>(strnlen(lf.lfFaceName, LF_FACESIZE));
  if (!face) return len + 1;
  if (count <= 0) return 0;
  int n = std::min(len, count - 1);
  if (n < len)  // cut before a character that does not fit
    while (n > 0 && (static_cast<unsigned char>(lf.lfFaceName[n]) & 0xC0) == 0x80) --n;
  std::memcpy(face, lf.lfFaceName, static_cast<std::size_t>(n));
  face[n] = '\0';
  return n;
}
