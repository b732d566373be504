// The sample layout page, laid out on A4 landscape in 0.01 mm:
//
//   title band        title, subtitle and a rule under them
//   left panel        rectangles, ellipses, polygons and polylines with
//                     fill, hatch and line symbols of several styles
//   middle panel      point markers, north arrows and a legend-like compound
//   right panel       framed texts (shadow, background, border), the nine
//                     anchors, turned texts, a two-line text and a text whose
//                     frame is in draft mode, the logo: a picture the demo
//                     paints, kept in the document, and a map frame (showing
//                     no map) with an index grid in its default continuous tabs
//
// Each element is made by the factory on a new feature of the page and set up
// through its own interface.
#include "tools/demo/samplepage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string_view>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/ole/igis_oleelement.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/shapes/igis_ellipseelement.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/ole/icon.h"
#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"
#include "tools/demo/samplelogo.h"

namespace md::demo {

// ---- Page ------------------------------------------------------------------

void ReportFailure(BuildReport* report, const std::string& what, const std::string& why) {
  if (report != nullptr) report->failures.push_back(what + ": " + why);
}

bool IsPictureOrObjectRecord(const SGIS_LogRecord& record) {
  // A few of these classes' records name their method after a blank.
  std::string_view method = record.method;
  method.remove_prefix(std::min(method.find_first_not_of(' '), method.size()));
  for (std::string_view owner : {"CGIS_PictureElement::", "CGIS_OleElement::", "CGIS_OleClientItem::"})
    if (method.starts_with(owner)) return true;
  return false;
}

std::vector<std::string> LeftOut(const BuildReport& report, const std::vector<SGIS_LogRecord>& records) {
  std::vector<std::string> lines = report.failures;
  for (const SGIS_LogRecord& r : records)
    if (IsPictureOrObjectRecord(r))
      lines.push_back("[" + std::to_string(r.level) + "] " + r.method + ": " + r.text);
  return lines;
}

IGIS_PictureElement* AddPicture(Page& page, BuildReport* report, const std::string& what,
                                std::string (*write)(std::string* error)) {
  std::string error;
  const std::string path = write(&error);
  if (path.empty()) {
    ReportFailure(report, what, error);
    return nullptr;
  }
  auto* picture = dynamic_cast<IGIS_PictureElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
  if (picture == nullptr) {
    ReportFailure(report, what, "the element factory builds no picture element");
    return nullptr;
  }
  if (!picture->ImportPictureFromFile(path.c_str())) {
    ReportFailure(report, what, "no picture could be read from " + path);
    return nullptr;
  }
  return picture;
}

bool EmbedObject(IGIS_OleElement* e, const md::ole::Storage& object, SGIS_Rect rect, BuildReport* report,
                 const std::string& what) {
  const auto refused = [&](const std::string& why) {
    ReportFailure(report, what, why);
    return false;
  };
  if (e == nullptr) return refused("the element factory builds no object element");
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!md::ole::WriteCompoundFile(object, &bytes, &error))
    return refused("cannot write the object: " + error);
  IGIS_FeatureAttributes* attributes = e->GetFeaturePtr()->GetAttributes();
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  set->Archive(attributes->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  IGIS_Field* field = set->GetProperty("OLEDATA");
  IGIS_DataBuffer* data = field != nullptr ? field->GetDataBuffer() : nullptr;
  if (data == nullptr) return refused("the element has no \"OLEDATA\" to hold the object");
  data->SetSize(static_cast<int>(bytes.size()));
  std::memcpy(data->GetData(), bytes.data(), bytes.size());
  set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0);
  attributes->SetDataBuffer("Custom", buffer.get(), 0);
  if (!e->Archive(1, 0)) return refused("the element refused the object");
  e->SetLock(false);
  e->SetRect(rect);
  return true;
}

Page::Page()
    : factory_(GIS_CreateGraphicElementFactoryObject()),
      set_(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr)) {
  if (IGIS_SpatialReferenceFactory* refs = GIS_GetSpatialReferenceFactoryObject()) {
    reference_ = refs->CreateSpatialReference(0);
  }
  if (set_ != nullptr && reference_ != nullptr) set_->GetFeatureClass()->SetSpatialReference(reference_);
}

void Page::SetPaper(int width, int height) {
  if (width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
}

Page::~Page() {
  if (!setOwnsElements_) {
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) (*it)->Release();
  }
  elements_.clear();
  if (set_ != nullptr) {
    set_->GetFeatureClass()->SetSpatialReference(nullptr);
    set_->Release();
  }
  if (reference_ != nullptr) reference_->Release();
  if (factory_ != nullptr) factory_->Release();
}

IGIS_Element* Page::Create(const char* szType) {
  if (!ok()) return nullptr;
  IGIS_Element* e = factory_->CreateElement(szType, set_, nullptr);
  if (e != nullptr) elements_.push_back(e);
  return e;
}

IGIS_Element* Page::Bind(const char* szType, int featureIndex) {
  if (!ok()) return nullptr;
  IGIS_Feature* f = set_->GetFeatureByIndex(featureIndex);
  if (f == nullptr) return nullptr;
  IGIS_Element* e = factory_->CreateElement(szType, set_, f);
  if (e != nullptr) elements_.push_back(e);
  return e;
}

bool Page::TakeLoadedElements() {
  if (!ok() || !elements_.empty()) return false;
  setOwnsElements_ = true;
  const int n = set_->GetFeatureCount();
  for (int i = 0; i < n; ++i) {
    IGIS_Feature* f = set_->GetFeatureByIndex(i);
    IGIS_Element* e = f != nullptr ? set_->GetElement(f->GetID()) : nullptr;
    if (e == nullptr) return false;
    elements_.push_back(e);
  }
  return true;
}

std::vector<IGIS_Element*> Page::TopLevel() {
  std::set<int> members;
  for (IGIS_Element* e : elements_) {
    if (std::strcmp(e->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) != 0) continue;
    IGIS_Feature* f = e->GetFeaturePtr();
    if (f == nullptr) continue;
    const int n = f->GetMemberCount();
    for (int i = 0; i < n; ++i) members.insert(f->GetMemberID(i));
  }
  std::vector<IGIS_Element*> top;
  for (IGIS_Element* e : elements_) {
    if (members.count(e->GetID()) == 0) top.push_back(e);
  }
  return top;
}

namespace {

// ---- Symbols ---------------------------------------------------------------

using Symbol = md::basilo::ReleasePtr<IGIS_Symbol>;

Symbol NewSymbol(int type) { return Symbol(GIS_GetSymbolFactoryObject()->CreateSymbol(type)); }

// A fill of a built-in style, its colour and outline.
Symbol Fill(int code, COLORREF color, COLORREF outline = RGB(0, 0, 0), double outlineMm = 0.2) {
  Symbol s = NewSymbol(GIS_SYMBOL_FILL);
  if (s == nullptr) return s;
  s->SetCode(code);
  s->SetColor(color);
  s->SetColor2(outline);
  s->SetLineWidth(outlineMm);
  return s;
}

Symbol Line(int code, COLORREF color, double widthMm) {
  Symbol s = NewSymbol(GIS_SYMBOL_LINE);
  if (s == nullptr) return s;
  s->SetCode(code);
  s->SetColor(color);
  s->SetLineWidth(widthMm);
  return s;
}

Symbol Marker(int kind, int code, COLORREF c1, COLORREF c2 = RGB(255, 255, 255), COLORREF c3 = RGB(0, 0, 0)) {
  Symbol s = NewSymbol(kind);
  if (s == nullptr) return s;
  s->SetCode(code);
  s->SetColor(c1);
  s->SetColor2(c2);
  s->SetColor3(c3);
  return s;
}

// A text symbol: size in points, face, weight, colour and angle.
Symbol Font(int points, COLORREF color, const char* face = "宋体", int weight = 400, double angle = 0.0) {
  Symbol s = NewSymbol(GIS_SYMBOL_TEXT);
  if (s == nullptr) return s;
  if (LOGFONT* lf = s->GetFontSizePtr()) {
    lf->lfHeight = -points;
    lf->lfWeight = weight;
    std::strncpy(lf->lfFaceName, face, sizeof(lf->lfFaceName) - 1);
    lf->lfFaceName[sizeof(lf->lfFaceName) - 1] = '\0';
  }
  s->SetColor(color);
  s->SetAngle(angle);
  return s;
}

// Colours of the page.
constexpr COLORREF kInk = RGB(30, 30, 35);
constexpr COLORREF kNavy = RGB(22, 45, 110);
constexpr COLORREF kRed = RGB(200, 30, 40);
constexpr COLORREF kGreen = RGB(30, 130, 60);
constexpr COLORREF kOrange = RGB(230, 120, 20);
constexpr COLORREF kPurple = RGB(120, 50, 150);
constexpr COLORREF kGold = RGB(240, 190, 30);
constexpr COLORREF kWater = RGB(150, 200, 240);
constexpr COLORREF kGrey = RGB(120, 120, 120);

// ---- Building ----------------------------------------------------------------

class Builder {
 public:
  Builder(Page& page, BuildReport* report) : page_(page), report_(report) {}

  template <class T>
  T* Make(const char* szType) {
    IGIS_Element* e = page_.Create(szType);
    T* typed = dynamic_cast<T*>(e);
    if (typed == nullptr) {
      if (report_ != nullptr) {
        bool known = false;
        for (const std::string& t : report_->missingTypes) known = known || t == szType;
        if (!known) report_->missingTypes.push_back(szType);
      }
    }
    return typed;
  }

  IGIS_RectElement* Rect(int l, int b, int r, int t, const Symbol& fill) {
    auto* e = Make<IGIS_RectElement>(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
    if (e == nullptr) return nullptr;
    e->SetRect(SGIS_Rect(l, t, r, b));
    if (fill != nullptr) e->SetSymbolPtr(fill.get());
    return e;
  }

  IGIS_EllipseElement* Ellipse(int l, int b, int r, int t, const Symbol& fill) {
    auto* e = Make<IGIS_EllipseElement>(GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
    if (e == nullptr) return nullptr;
    e->SetRect(SGIS_Rect(l, t, r, b));
    if (fill != nullptr) e->SetSymbolPtr(fill.get());
    return e;
  }

  // Writes the points into the element's feature and commits the geometry,
  // as the host's editing tools do.
  void SetPoints(IGIS_Element* e, const std::vector<SGIS_Point>& points) {
    IGIS_Feature* f = e->GetFeaturePtr();
    IGIS_Geometry* g = f != nullptr ? f->GetGeometry() : nullptr;
    if (g == nullptr) return;
    g->SetPointCount(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) g->SetPoint(static_cast<int>(i), points[i], 0);
    f->GetFeatureClass()->UpdateFeature(f, GIS_UPDATE_GEOMETRY);
  }

  IGIS_PolygonElement* Polygon(std::vector<SGIS_Point> ring, const Symbol& fill) {
    auto* e = Make<IGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
    if (e == nullptr) return nullptr;
    if (!ring.empty() && (ring.front().x != ring.back().x || ring.front().y != ring.back().y))
      ring.push_back(ring.front());
    SetPoints(e, ring);
    if (fill != nullptr) e->SetSymbolPtr(fill.get());
    return e;
  }

  IGIS_PolylineElement* Polyline(const std::vector<SGIS_Point>& points, const Symbol& line) {
    auto* e = Make<IGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
    if (e == nullptr) return nullptr;
    SetPoints(e, points);
    if (line != nullptr) e->SetSymbolPtr(line.get());
    return e;
  }

  // A point symbol centred on (x, y) in the box w x h, grown to the symbol's
  // proportions.
  IGIS_PointElement* Point(int x, int y, int w, int h, const Symbol& marker) {
    auto* e = Make<IGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
    if (e == nullptr) return nullptr;
    if (marker != nullptr) e->SetSymbolPtr(marker.get());
    e->SetRect(SGIS_Rect(x - w / 2, y + h / 2, x + w / 2, y - h / 2));
    // The element widens or heightens the box to its symbol's proportions,
    // keeping the left-bottom corner; centre the result on (x, y) again.
    const SGIS_Rect r = e->GetRect();
    e->OffsetAllPoints(x - (r.left + r.right) / 2, y - (r.top + r.bottom) / 2);
    return e;
  }

  // A text anchored at (x, y) by one of the nine anchor positions.
  IGIS_TextElement* Text(const char* text, int x, int y, int anchor, const Symbol& font) {
    auto* e = Make<IGIS_TextElement>(GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
    if (e == nullptr) return nullptr;
    if (font != nullptr) e->SetSymbolPtr(font.get());
    e->SetText(text);
    e->SetPoint(SGIS_Point(x, y, 0), anchor);
    return e;
  }

  // Sets up the text's frame (the element made it through the library's
  // export): shadow, background and border with the gaps given.
  void Frame(IGIS_TextElement* e, const Symbol& border, const Symbol& back, const Symbol& shadow, int gap,
             int shadowOffset, bool draft = false) {
    Frame(e != nullptr ? e->GetFramePropertyPtr() : nullptr, border, back, shadow, gap, shadowOffset, draft);
  }
  void Frame(IGIS_FrameProperty* f, const Symbol& border, const Symbol& back, const Symbol& shadow, int gap,
             int shadowOffset, bool draft = false) {
    if (f == nullptr) return;
    if (border != nullptr) f->SetBorderSymbolPtr(border.get());
    if (back != nullptr) f->SetBackSymbolPtr(back.get());
    if (shadow != nullptr) f->SetShadowSymbolPtr(shadow.get());
    f->SetBorderX(gap);
    f->SetBorderY(gap);
    f->SetBackX(gap);
    f->SetBackY(gap);
    f->SetShadowOffSetX(shadowOffset);
    f->SetShadowOffSetY(-shadowOffset);
    f->SetDraftMode(draft);
  }

  // A wave from x0 to x1 around y: amplitude a, n half waves.
  static std::vector<SGIS_Point> Wave(int x0, int x1, int y, int a, int halfWaves, int steps = 48) {
    std::vector<SGIS_Point> pts;
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      const double x = x0 + (x1 - x0) * t;
      const double dy = a * std::sin(t * halfWaves * 3.14159265358979);
      pts.emplace_back(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y + dy)), 0);
    }
    return pts;
  }

  // A regular star or polygon around (cx, cy).
  static std::vector<SGIS_Point> Star(int cx, int cy, int outer, int inner, int tips, double turnDeg = 90.0) {
    std::vector<SGIS_Point> pts;
    const int n = inner > 0 ? tips * 2 : tips;
    for (int i = 0; i < n; ++i) {
      const double a = (turnDeg + 360.0 * i / n) * 3.14159265358979 / 180.0;
      const int r = (inner > 0 && i % 2 == 1) ? inner : outer;
      pts.emplace_back(static_cast<int>(std::lround(cx + r * std::cos(a))),
                       static_cast<int>(std::lround(cy + r * std::sin(a))), 0);
    }
    return pts;
  }

  // An embedded object of the given width, its height following the
  // object, named `name`; NULL, noted in the report, when it cannot be made.
  IGIS_OleElement* Embedded(const md::ole::Storage& object, SGIS_Rect rect, const char* name) {
    auto* e = Make<IGIS_OleElement>(GIS_TYPE_GRAPHIC_ELEMENT_OLE);
    if (!EmbedObject(e, object, rect, report_, name)) return nullptr;
    e->SetName(name);
    return e;
  }

  void Build();

 private:
  void TitleBand();
  void ShapesPanel();
  void PointsPanel();
  void TextsPanel();
  void Logo();
  void ObjectsPanel();
  void IndexGrid();

  Page& page_;
  BuildReport* report_;
};

void Builder::TitleBand() {
  // Neat lines: a heavy outer line and a thin inner one.
  const int o = 700, in = 950;
  Polyline({{o, o, 0},
            {kPageWidth - o, o, 0},
            {kPageWidth - o, kPageHeight - o, 0},
            {o, kPageHeight - o, 0},
            {o, o, 0}},
           Line(3332, kNavy, 0.8));
  Polyline({{in, in, 0},
            {kPageWidth - in, in, 0},
            {kPageWidth - in, kPageHeight - in, 0},
            {in, kPageHeight - in, 0},
            {in, in, 0}},
           Line(3331, kNavy, 0.2));

  if (IGIS_TextElement* title = Text("地图整饰示例 · mapdeck layout sample", kPageWidth / 2, 19750, 1,
                                     Font(24, kNavy, "黑体", 700))) {
    title->SetName("标题 Title");
    title->SetLock(true);
  }
  Text(
      "矩形、椭圆、多边形、折线、点符号、文字与复合单元 —— rectangles, ellipses, polygons, polylines, point "
      "symbols, texts and a compound",
      kPageWidth / 2, 18650, 1, Font(10, kInk));
  Polyline({{1400, 17950, 0}, {kPageWidth - 1400, 17950, 0}}, Line(3331, kNavy, 0.35));

  // Panel separators and headings.
  Polyline({{10500, 2000, 0}, {10500, 17600, 0}}, Line(3335, kGrey, 0.3));
  Polyline({{19150, 2000, 0}, {19150, 17600, 0}}, Line(3335, kGrey, 0.3));
  Text("图形 Shapes", 1500, 17500, 0, Font(14, kNavy, "黑体", 700));
  Text("点符号 Point symbols", 11000, 17500, 0, Font(14, kNavy, "黑体", 700));
  Text("文字 Texts", 19650, 17500, 0, Font(14, kNavy, "黑体", 700));

  Text("mapdeck demo · A4 横向 landscape · 1:1 · 0.01 mm page units · stored, read back and drawn again",
       1400, 1150, 6, Font(8, kGrey, "Arial"));
}

void Builder::ShapesPanel() {
  // Rectangles in five fill styles, each with a caption.
  struct Swatch {
    int code;
    COLORREF color;
    const char* caption;
  };
  const Swatch swatches[] = {
      {3361, RGB(160, 160, 165), "实心 solid"},
      {3366, kWater, "浅蓝 blue"},
      {3363, kRed, "斜线 hatch"},
      {3364, kGreen, "网格 cross"},
      {3365, kPurple, "横线 lines"},
  };
  int x = 1500;
  for (const Swatch& s : swatches) {
    Rect(x, 14300, x + 1450, 16700, Fill(s.code, s.color, kInk, 0.25));
    Text(s.caption, x + 725, 14150, 1, Font(7, kInk, "宋体"));
    x += 1750;
  }

  // Ellipses: a wide one, a circle and a tall one.
  Ellipse(1500, 10300, 4300, 12900, Fill(3366, kWater, kNavy, 0.3));
  Ellipse(4900, 10300, 7500, 12900, Fill(3364, kOrange, kOrange, 0.4));
  Ellipse(8200, 9900, 9900, 13300, Fill(3361, RGB(250, 220, 160), kRed, 0.5));

  // Polygons: a star, a hexagon and an irregular lake.
  Polygon(Star(2700, 7700, 1300, 560, 5), Fill(3361, kGold, RGB(150, 100, 0), 0.35));
  Polygon(Star(5800, 7700, 1250, 0, 6, 0.0), Fill(3363, kNavy, kNavy, 0.35));
  Polygon({{7700, 6600, 0},
           {8600, 6400, 0},
           {9700, 6900, 0},
           {10050, 7900, 0},
           {9500, 8900, 0},
           {8400, 8800, 0},
           {7900, 8100, 0},
           {7500, 7400, 0}},
          Fill(3366, kWater, kNavy, 0.25));

  // Polylines in the five line styles.
  struct Stroke {
    int code;
    COLORREF color;
    double width;
    int y;
  };
  const Stroke strokes[] = {
      {3332, kNavy, 0.7, 5400},    {3333, kRed, 0.35, 4600},   {3334, kGreen, 0.35, 3800},
      {3335, kPurple, 0.45, 3000}, {3331, kOrange, 1.2, 2200},
  };
  int k = 0;
  for (const Stroke& s : strokes) {
    Polyline(Wave(1500, 10000, s.y, 250, 3 + k), Line(s.code, s.color, s.width));
    ++k;
  }
}

void Builder::PointsPanel() {
  // Markers: six styles, one colour each (kind 5), then multi-colour (kind 7).
  const int codes[] = {3301, 3303, 3304, 3305, 3306, 3307};
  const COLORREF colors[] = {kRed, kInk, kNavy, kGreen, kPurple, kGold};
  for (int i = 0; i < 6; ++i) {
    Point(11500 + i * 1250, 16100, 800, 800, Marker(GIS_SYMBOL_POINT5, codes[i], colors[i]));
    Point(11500 + i * 1250, 14800, 1000, 1000,
          Marker(GIS_SYMBOL_POINT7, codes[i], colors[(i + 3) % 6], kWater, kInk));
  }

  // North arrows of each kind the point chooser offers.
  struct Arrow {
    int kind;
    int code;
  };
  const Arrow arrows[] = {{GIS_SYMBOL_POINT, 3302},
                          {GIS_SYMBOL_POINT5, 3310},
                          {GIS_SYMBOL_POINT7, 3311},
                          {GIS_SYMBOL_POINT, 3312},
                          {GIS_SYMBOL_POINT7, 3313}};
  // Each arrow is 27 mm high and as wide as its proportions make it.
  int cursor = 11000;
  for (const Arrow& a : arrows) {
    IGIS_PointElement* e = Point(0, 11800, 10, 2700, Marker(a.kind, a.code, kInk, RGB(255, 255, 255), kRed));
    if (e == nullptr) continue;
    const SGIS_Rect r = e->GetRect();
    e->OffsetAllPoints(cursor - r.left, 0);
    cursor += r.Width() + 200;
  }
  Text("指北针 North arrows", 14850, 10200, 1, Font(8, kInk));

  // A legend-like compound: a white box with three entries.
  std::vector<IGIS_Element*> members;
  auto keep = [&members](IGIS_Element* e) {
    if (e != nullptr) members.push_back(e);
  };
  keep(Rect(11000, 3700, 18700, 8900, Fill(3362, RGB(255, 255, 255), kNavy, 0.35)));
  keep(Text("图例 Legend (复合单元 compound)", 11300, 8650, 0, Font(10, kNavy, "黑体", 700)));
  keep(Rect(11400, 6850, 12600, 7500, Fill(3366, kWater, kNavy, 0.2)));
  keep(Text("水域 Water", 12900, 7175, 3, Font(9, kInk)));
  keep(Polyline(Wave(11400, 12600, 5950, 120, 2, 16), Line(3333, kRed, 0.4)));
  keep(Text("道路 Road", 12900, 5950, 3, Font(9, kInk)));
  keep(Point(12000, 4700, 600, 600, Marker(GIS_SYMBOL_POINT5, 3305, kGreen)));
  keep(Text("控制点 Control point", 12900, 4700, 3, Font(9, kInk)));
  keep(Ellipse(15900, 4300, 18400, 7600, Fill(3363, kGreen, kGreen, 0.3)));
  keep(Text("林地 Wood", 17150, 5950, 4, Font(10, kGreen, "黑体", 700)));
  if (auto* compound = Make<IGIS_CompoundElement>(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND)) {
    for (IGIS_Element* m : members) compound->AddElement(m);
    compound->SetName("图例 Legend");
  }
}

void Builder::TextsPanel() {
  // Framed texts with shadow, background and border.
  IGIS_TextElement* framed = Text("地图整饰\nMap finishing", 19700, 16700, 0, Font(16, kNavy, "黑体", 700));
  Frame(framed, Line(3331, kNavy, 0.4), Fill(3361, RGB(255, 248, 200), kNavy, 0.0),
        Fill(3361, RGB(150, 150, 155), kGrey, 0.0), 150, 380);
  IGIS_TextElement* latin = Text("Framed Latin text", 27800, 16700, 2, Font(12, kRed, "Times New Roman"));
  Frame(latin, Line(3333, kRed, 0.3), Fill(3361, RGB(235, 245, 255), kRed, 0.0),
        Fill(3361, RGB(190, 190, 200), kGrey, 0.0), 120, 300);

  // The nine anchors: a red cross at each anchor point, the text placed by it.
  const char* names[9] = {"0 左上 TL", "1 上中 TC", "2 右上 TR", "3 左中 L", "4 中心 C",
                          "5 右中 R",  "6 左下 BL", "7 下中 BC", "8 右下 BR"};
  for (int i = 0; i < 9; ++i) {
    const int cx = 21000 + (i % 3) * 3000;
    const int cy = 14300 - (i / 3) * 1300;
    Point(cx, cy, 260, 260, Marker(GIS_SYMBOL_POINT5, 3303, kRed));
    Text(names[i], cx, cy, i, Font(9, kInk));
  }

  // Turned texts, one of them two lines in a frame.
  Point(19800, 7400, 200, 200, Marker(GIS_SYMBOL_POINT5, 3301, kRed));
  Text("旋转 30° Rotated text", 19800, 7400, 6, Font(13, kPurple, "宋体", 400, 30.0));
  Point(28100, 2300, 200, 200, Marker(GIS_SYMBOL_POINT5, 3301, kRed));
  Text("竖排 90° Vertical", 28100, 2300, 6, Font(12, kGreen, "黑体", 400, 90.0));
  IGIS_TextElement* two =
      Text("两行文字 −15°\nTwo lines, turned", 23800, 5300, 4, Font(12, kInk, "宋体", 400, -15.0));
  Frame(two, Line(3331, kGreen, 0.3), Fill(3361, RGB(230, 250, 230), kGreen, 0.0), Symbol(), 140, 0);
  Text("倒置 200° Upside down", 25600, 9300, 4, Font(11, kOrange, "宋体", 400, 200.0));

  // A text whose frame is in draft mode: printing ignores draft mode, so the
  // page shows it in full; on screen a map frame or picture would show its box.
  IGIS_TextElement* draft = Text("草图模式 Draft-mode frame", 19700, 2300, 6, Font(10, kInk, "宋体"));
  // Its frame starts as a copy of the two-line text's frame, handed over
  // whole as a host's frame dialog does.
  if (draft != nullptr && two != nullptr && two->GetFramePropertyPtr() != nullptr) {
    if (IGIS_FrameProperty* copy = two->GetFramePropertyPtr()->Clone()) {
      copy->SetBorderSymbolPtr(Line(3334, kGrey, 0.3).get());
      copy->SetBackSymbolPtr(Fill(3362, RGB(255, 255, 255), kGrey, 0.0).get());
      copy->SetBorderX(120);
      copy->SetBorderY(120);
      copy->SetBackX(120);
      copy->SetBackY(120);
      copy->SetDraftMode(true);
      draft->SetFramePropertyPtr(copy);
      copy->Release();
    }
  }
  if (draft != nullptr) draft->SetName("草图 Draft");
}

void Builder::ObjectsPanel() {
  // Below the legend: an embedded picture and an embedded text document,
  // each in a framed box.
  md::ole::Storage picture;
  md::ole::PictureClass().createNew()->Save(&picture);
  if (IGIS_OleElement* e =
          Embedded(picture, SGIS_Rect(11100, 3500, 13300, 1800), "嵌入图片 Embedded picture")) {
    if (IGIS_FrameProperty* f = e->GetFramePropertyPtr()) {
      f->SetBorderSymbolPtr(Line(3331, kNavy, 0.3).get());
      f->SetBorderX(80);
      f->SetBorderY(80);
    }
  }
  md::ole::Storage text;
  text.clsid = md::ole::TextDocumentClass().clsid;
  const std::string content = "嵌入对象 Embedded objects\n文本文档 · 复合文件存储";
  text.streams["Contents"].assign(content.begin(), content.end());
  if (IGIS_OleElement* e = Embedded(text, SGIS_Rect(13700, 3500, 18500, 1800), "嵌入文本 Embedded text")) {
    if (IGIS_FrameProperty* f = e->GetFramePropertyPtr()) {
      f->SetBorderSymbolPtr(Line(3331, kGrey, 0.2).get());
      f->SetBorderX(80);
      f->SetBorderY(80);
    }
  }

  // Below the two-line text: a text document linked to a file the demo
  // writes. It shows the file's content and keeps it as its presentation, so
  // that the stored page still shows it once the file is gone.
  constexpr const char* kLinked = "链接文本 Linked text";
  std::string error;
  const std::string notes = WriteSampleNotes(&error);
  std::unique_ptr<md::ole::LinkedObject> link =
      notes.empty() ? nullptr : md::ole::CreateLinkToFile(notes, &error);
  md::ole::Storage linked;
  if (link == nullptr) ReportFailure(report_, kLinked, error);
  if (link != nullptr) link->Save(&linked);
  if (IGIS_OleElement* e =
          link != nullptr ? Embedded(linked, SGIS_Rect(21856, 4026, 25720, 3018), kLinked) : nullptr) {
    if (IGIS_FrameProperty* f = e->GetFramePropertyPtr()) {
      f->SetBorderSymbolPtr(Line(3331, kGreen, 0.2).get());
      f->SetBorderX(80);
      f->SetBorderY(80);
    }
    if (report_ != nullptr) ++report_->links;
  }

  // Below the logo: the embedded picture again, shown as its icon.
  md::ole::WriteObjectView(
      &picture, md::ole::ObjectView{md::ole::kAspectIcon, md::ole::IconOfClass(md::ole::PictureClass(), "")});
  Embedded(picture, SGIS_Rect(26190, 4343, 27590, 3043), "图标显示 Shown as icon");
}

void Builder::Logo() {
  // 16 mm square beside the two-line text; the picture's bytes go into the
  // document, so the stored page carries them.
  if (IGIS_PictureElement* logo = AddPicture(page_, report_, "标志 Logo", &WriteSampleLogo)) {
    logo->SetRect(SGIS_Rect(26100, 6500, 27700, 4900));
    logo->SetName("标志 Logo");
    Frame(logo->GetFramePropertyPtr(), Line(3331, kNavy, 0.25), Fill(3361, RGB(255, 255, 255), kNavy, 0.0),
          Symbol(), 60, 0);
    logo->ArchivePictureData(true);
  }

  // Beside the draft-mode frame: the publisher's mark, a picture read from an
  // enhanced metafile, 34 x 9 mm as the file gives it.
  if (IGIS_PictureElement* mark =
          AddPicture(page_, report_, "出版者标志 Publisher's mark", &WriteSampleMark)) {
    mark->SetRect(SGIS_Rect(24650, 2860, 28050, 1960));
    mark->SetName("出版者标志 Publisher's mark");
    mark->ArchivePictureData(true);
  }
}

void Builder::IndexGrid() {
  // Left of the two-line text: a map frame with an index grid of 2 x 4
  // cells, which a new index grid labels with its continuous tabs (letters
  // along the columns, numbers up the rows, in a band inside the frame).
  auto* frame = Make<IGIS_MapElement>(GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  if (frame == nullptr) return;
  frame->SetRect(SGIS_Rect(19600, 7000, 21500, 3300));
  frame->SetName("索引格网 Index grid");
  auto* grid = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
  if (grid == nullptr) return;
  grid->SetName("索引格网");
  grid->SetColumnCount(2);
  grid->SetRowCount(4);
  if (Symbol line = Line(3331, kGrey, 0.15)) grid->SetLineSymbol(line.get());
  grid->SetTickVisible(false, false, false, false);
  // The tabs in the page's colours.
  if (auto* tabs = dynamic_cast<IGIS_IndexGridTabStyle*>(grid->GetLabelFormat())) {
    if (Symbol fill = Fill(3361, RGB(255, 248, 200), kNavy, 0.0)) tabs->SetForegroundSymbolPtr(fill.get());
    if (Symbol line = Line(3331, kNavy, 0.25)) tabs->SetOutLineSymbolPtr(line.get());
    if (IGIS_Symbol* text = tabs->GetTextSymbolPtr()) text->SetColor(kNavy);
  }
  grid->SetMapElement(frame);
  if (!frame->GetMapGrids()->AddMapGrid(grid)) grid->Release();
}

void Builder::Build() {
  TitleBand();
  ShapesPanel();
  PointsPanel();
  TextsPanel();
  Logo();
  ObjectsPanel();
  IndexGrid();
}

}  // namespace

// ---- The flow ------------------------------------------------------------------

std::unique_ptr<Page> BuildSamplePage(BuildReport* report) {
  auto page = std::make_unique<Page>();
  if (!page->ok()) return nullptr;
  AddSampleElements(*page, report);
  return page;
}

void AddSampleElements(Page& page, BuildReport* report) {
  if (page.ok()) Builder(page, report).Build();
}

bool StoreElements(Page& page, std::string* error) {
  for (IGIS_Element* e : page.elements()) {
    if (!e->Archive(0, 0)) {
      if (error != nullptr) *error = std::string("storing an element of type ") + e->GetType() + " failed";
      return false;
    }
  }
  return true;
}

bool SavePage(Page& page, const std::string& path, std::string* error) {
  if (!page.ok() || !page.featureSet()->SaveToFile(path.c_str())) {
    if (error != nullptr) *error = "cannot write the feature set file " + path;
    return false;
  }
  return true;
}

std::unique_ptr<Page> LoadPage(const std::string& path, std::string* error, IGIS_MapLayer* mapLayer) {
  auto page = std::make_unique<Page>();
  if (!page->ok()) {
    if (error != nullptr) *error = "cannot make a feature set";
    return nullptr;
  }
  IGIS_FeatureSet* set = page->featureSet();
  if (mapLayer != nullptr) set->SetMapLayer(mapLayer);
  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  if (!set->LoadPageFromFile(path.c_str())) {
    // The feature set's record says what stopped it.
    const std::vector<SGIS_LogRecord> records = GIS_GetLogPtr()->GetRecordsSince(mark);
    if (error != nullptr)
      *error =
          "cannot read the page " + path + (records.empty() ? std::string() : ": " + records.back().text);
    return nullptr;
  }
  if (!page->TakeLoadedElements()) {
    if (error != nullptr) *error = "a feature of " + path + " has no element";
    return nullptr;
  }
  return page;
}

int UpdateLinks(Page& page) {
  int updated = 0;
  for (IGIS_Element* e : page.elements()) {
    // An embedded object holds no source and answers FALSE.
    if (auto* ole = dynamic_cast<IGIS_OleElement*>(e); ole != nullptr && ole->UpdateLink()) ++updated;
  }
  return updated;
}

}  // namespace md::demo
