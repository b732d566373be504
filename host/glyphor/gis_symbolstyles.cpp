#include "host/glyphor/gis_symbolstyles.h"

#include <algorithm>
#include <cmath>

namespace md::glyphor {
namespace {

PointOp Poly(std::vector<XY> pts, int fill, int stroke, double width) {
  PointOp op;
  op.type = PointOp::Polygon;
  op.pts = std::move(pts);
  op.fillSlot = fill;
  op.strokeSlot = stroke;
  op.strokeWidth = width;
  return op;
}

PointOp Line(std::vector<XY> pts, int stroke, double width) {
  PointOp op;
  op.type = PointOp::Polyline;
  op.pts = std::move(pts);
  op.strokeSlot = stroke;
  op.strokeWidth = width;
  return op;
}

PointOp Circle(XY c, double r, int fill, int stroke, double width) {
  PointOp op;
  op.type = PointOp::Circle;
  op.center = c;
  op.radius = r;
  op.fillSlot = fill;
  op.strokeSlot = stroke;
  op.strokeWidth = width;
  return op;
}

// The letter N drawn as one stroke between y0 and y1.
PointOp LetterN(double y0, double y1, double half) {
  return Line({{-half, y0}, {-half, y1}, {half, y0}, {half, y1}}, 1, 0.9);
}

Style PointStyle(int code, const char* name, double w, double h, std::vector<PointOp> ops, bool north) {
  Style s;
  s.code = code;
  s.kind = Kind::Point;
  s.name = name;
  s.width = w;
  s.height = h;
  s.ops = std::move(ops);
  s.northArrow = north;
  return s;
}

Style LineStyle(int code, const char* name, double widthMm, std::vector<double> dash) {
  Style s;
  s.code = code;
  s.kind = Kind::Line;
  s.name = name;
  s.lineWidthMm = widthMm;
  s.dashMm = std::move(dash);
  return s;
}

Style FillStyle(int code, const char* name, FillPattern p, COLORREF fill, double outlineMm) {
  Style s;
  s.code = code;
  s.kind = Kind::Fill;
  s.name = name;
  s.pattern = p;
  s.fillColor = fill;
  s.outlineColor = 0;
  s.outlineWidthMm = outlineMm;
  return s;
}

std::vector<XY> Star(int arms, double outer, double inner, XY c) {
  std::vector<XY> pts;
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < 2 * arms; ++i) {
    const double a = pi / 2 + i * pi / arms;
    const double r = (i % 2 == 0) ? outer : inner;
    pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return pts;
}

// The compass rose: four arms around c, each split in a dark and a light half.
std::vector<PointOp> Compass(XY c, double arm, double inner) {
  std::vector<PointOp> ops;
  const XY tips[4] = {{c.x, c.y + arm}, {c.x + arm, c.y}, {c.x, c.y - arm}, {c.x - arm, c.y}};
  const XY corners[4] = {{c.x + inner, c.y + inner},
                         {c.x + inner, c.y - inner},
                         {c.x - inner, c.y - inner},
                         {c.x - inner, c.y + inner}};
  for (int i = 0; i < 4; ++i) {
    const XY& tip = tips[i];
    const XY& before = corners[(i + 3) % 4];
    const XY& after = corners[i];
    ops.push_back(Poly({c, before, tip}, 1, 1, 0.4));
    ops.push_back(Poly({c, tip, after}, 2, 1, 0.4));
  }
  return ops;
}

std::vector<Style> Build() {
  std::vector<Style> t;
  // Point styles.
  t.push_back(PointStyle(3301, "圆点", 8, 8, {Circle({0, 0}, 3.5, 1, 1, 0.5)}, false));
  t.push_back(PointStyle(3302, "指北针(半填充)", 12, 30,
                         {Poly({{0, 7.5}, {-6, -15}, {0, -9}}, 1, 1, 0.5),
                          Poly({{0, 7.5}, {0, -9}, {6, -15}}, 2, 1, 0.5), LetterN(9.5, 14.5, 2.5)},
                         true));
  t.push_back(PointStyle(3303, "十字", 8, 8,
                         {Line({{-4, 0}, {4, 0}}, 1, 0.8), Line({{0, -4}, {0, 4}}, 1, 0.8)}, false));
  t.push_back(PointStyle(3304, "方块", 8, 8,
                         {Poly({{-3.5, -3.5}, {3.5, -3.5}, {3.5, 3.5}, {-3.5, 3.5}}, 1, 1, 0.5)}, false));
  t.push_back(
      PointStyle(3305, "三角", 8, 8, {Poly({{0, 3.8}, {-3.8, -3.2}, {3.8, -3.2}}, 1, 1, 0.5)}, false));
  t.push_back(PointStyle(3306, "菱形", 8, 8, {Poly({{0, 4}, {4, 0}, {0, -4}, {-4, 0}}, 1, 1, 0.4)}, false));
  t.push_back(PointStyle(3307, "五角星", 8, 8, {Poly(Star(5, 4, 1.6, {0, -0.3}), 1, 1, 0.3)}, false));
  t.push_back(PointStyle(3310, "指北针(实心)", 10, 30,
                         {Poly({{0, 8}, {-5, -15}, {0, -10}, {5, -15}}, 1, 1, 0.4), LetterN(9.5, 14.5, 2.5)},
                         true));
  {
    auto ops = Compass({0, -3}, 11, 3);
    ops.push_back(LetterN(9.5, 14.5, 2.5));
    t.push_back(PointStyle(3311, "指北针(罗盘)", 24, 30, std::move(ops), true));
  }
  t.push_back(PointStyle(3312, "指北针(圆环)", 20, 30,
                         {Circle({0, -5}, 9.5, 0, 1, 0.6),
                          Poly({{0, 4}, {-4, -12}, {0, -9}, {4, -12}}, 1, 1, 0.4), LetterN(9.5, 14.5, 2.5)},
                         true));
  t.push_back(PointStyle(
      3313, "指北针(三色)", 12, 30,
      {Poly({{0, 7.5}, {-6, -15}, {0, -9}}, 1, 1, 0.5), Poly({{0, 7.5}, {0, -9}, {6, -15}}, 2, 1, 0.5),
       Circle({0, -3}, 1.5, 3, 1, 0.3), LetterN(9.5, 14.5, 2.5)},
      true));
  // Line styles.
  t.push_back(LineStyle(3331, "细实线", 0.2, {}));
  t.push_back(LineStyle(3332, "粗实线", 0.5, {}));
  t.push_back(LineStyle(3333, "虚线", 0.2, {2.0, 1.0}));
  t.push_back(LineStyle(3334, "点划线", 0.2, {2.0, 0.6, 0.3, 0.6}));
  t.push_back(LineStyle(3335, "点线", 0.3, {0.3, 0.6}));
  // Fill styles.
  t.push_back(FillStyle(3361, "灰色填充", FillPattern::Solid, RGB(128, 128, 128), 0.2));
  t.push_back(FillStyle(3362, "白色填充", FillPattern::Solid, RGB(255, 255, 255), 0.2));
  t.push_back(FillStyle(3363, "斜线填充", FillPattern::ForwardDiagonal, RGB(0, 0, 0), 0.2));
  t.push_back(FillStyle(3364, "网格填充", FillPattern::Cross, RGB(0, 0, 0), 0.2));
  t.push_back(FillStyle(3365, "横线填充", FillPattern::Horizontal, RGB(0, 0, 0), 0.2));
  t.push_back(FillStyle(3366, "浅蓝填充", FillPattern::Solid, RGB(160, 200, 240), 0.0));
  std::sort(t.begin(), t.end(), [](const Style& a, const Style& b) { return a.code < b.code; });
  return t;
}

}  // namespace

const std::vector<Style>& AllStyles() {
  static const std::vector<Style> table = Build();
  return table;
}

const Style* Find(int code) {
  const auto& t = AllStyles();
  auto it = std::lower_bound(t.begin(), t.end(), code, [](const Style& s, int c) { return s.code < c; });
  return (it != t.end() && it->code == code) ? &*it : nullptr;
}

const Style& FindOrDefault(int code, Kind kind) {
  const Style* s = Find(code);
  if (s && s->kind == kind) return *s;
  switch (kind) {
    case Kind::Point:
      return *Find(kDefaultPointCode);
    case Kind::Line:
      return *Find(kDefaultLineCode);
    case Kind::Fill:
      break;
  }
  return *Find(kDefaultFillCode);
}

const std::vector<PointPreset>& PointPresets() {
  static const std::vector<PointPreset> presets = {
      {6, 3301, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3303, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3304, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3305, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3306, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3307, 0, RGB(200, 0, 0), RGB(255, 255, 255), 0},
      {5, 3301, 10, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      // North arrows of the three point kinds.
      {5, 3310, 30, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3302, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {6, 3312, 0, RGB(0, 0, 0), RGB(255, 255, 255), 0},
      {7, 3311, 30, RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)},
      {7, 3313, 30, RGB(0, 0, 0), RGB(255, 255, 255), RGB(200, 0, 0)},
  };
  return presets;
}

}  // namespace md::glyphor
