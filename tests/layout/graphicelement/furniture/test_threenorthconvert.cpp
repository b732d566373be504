// Converting the three-north diagram: the compounds and their members, the
// same geometry as the drawing, every announced point written, the texts,
// and the length the fonts need.
#include <cmath>
#include <string>
#include <vector>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/furniture/threenorthtest.h"

namespace {

using md::layout::furniture::ThreeNorthFigure;
using md::test::ThreeNorthPage;

std::vector<SGIS_Point> PointsOf(IGIS_Element* e) {
  std::vector<SGIS_Point> out;
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  for (int i = 0; i < g->GetPointCount(); ++i) out.push_back(g->GetPoint(i, 0));
  return out;
}

IGIS_CompoundElement* Member(IGIS_CompoundElement* c, int i) {
  return dynamic_cast<IGIS_CompoundElement*>(c->GetElementPtrByIndex(i));
}

class ThreeNorthConvert : public ThreeNorthPage {};

TEST_F(ThreeNorthConvert, GivesWhatTheDrawingShows) {
  for (double angle : {30.0, 30.5}) {
    SCOPED_TRACE(angle);
    CGIS_ThreeNorthElement* e = NewDiagram();
    e->SetAngle(angle);
    e->Refresh();
    e->SetLBpoint(SGIS_Point(4000, 3000, 0));
    const ThreeNorthFigure drawn = e->BuildFigure();
    const SGIS_Rect rect = e->GetRect();
    auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
    ASSERT_NE(result, nullptr);
    // The default frame has nothing to convert: lines, marks, labels.
    ASSERT_EQ(result->GetElementCount(), 3);
    EXPECT_EQ(result->GetRect().left, rect.left - 1000);
    EXPECT_EQ(result->GetRect().bottom, rect.bottom - 1000);
    IGIS_CompoundElement* lines = Member(result, 0);
    IGIS_CompoundElement* marks = Member(result, 1);
    IGIS_CompoundElement* labels = Member(result, 2);
    ASSERT_NE(lines, nullptr);
    ASSERT_NE(marks, nullptr);
    ASSERT_NE(labels, nullptr);

    // Every piece is the drawing's, moved by one offset.
    using md::layout::furniture::kAngleGM;
    using md::layout::furniture::kAngleTG;
    using md::layout::furniture::kAngleTM;
    const std::vector<std::vector<SGIS_Point>> expectLines = {
        {drawn.centre, drawn.magnetEnd}, {drawn.centre, drawn.gridEnd}, {drawn.centre, drawn.trueEnd},
        drawn.Arc(kAngleTG).points,      drawn.Arc(kAngleGM).points,    drawn.Arc(kAngleTM).points};
    const std::vector<std::vector<SGIS_Point>> expectMarks = {
        {drawn.arrowheads[0].begin(), drawn.arrowheads[0].end()},
        {drawn.arrowheads[1].begin(), drawn.arrowheads[1].end()},
        {drawn.arrowheads[2].begin(), drawn.arrowheads[2].end()},
        {drawn.star.begin(), drawn.star.end()},
        {drawn.gridMark.begin(), drawn.gridMark.end()},
        {drawn.magnetMark[0], drawn.magnetMark[1], drawn.magnetMark[2], drawn.magnetMark[0]}};
    ASSERT_EQ(lines->GetElementCount(), 6);
    ASSERT_EQ(marks->GetElementCount(), 6);
    const SGIS_Point first = PointsOf(lines->GetElementPtrByIndex(0))[0];
    const int dx = first.x - drawn.centre.x, dy = first.y - drawn.centre.y;
    auto check = [&](IGIS_CompoundElement* c, const std::vector<std::vector<SGIS_Point>>& expect) {
      for (int i = 0; i < c->GetElementCount(); ++i) {
        SCOPED_TRACE(i);
        const std::vector<SGIS_Point> got = PointsOf(c->GetElementPtrByIndex(i));
        // The geometry holds exactly the points written.
        ASSERT_EQ(got.size(), expect[i].size());
        for (std::size_t k = 0; k < got.size(); ++k) {
          EXPECT_EQ(got[k].x, expect[i][k].x + dx);
          EXPECT_EQ(got[k].y, expect[i][k].y + dy);
        }
      }
    };
    check(lines, expectLines);
    check(marks, expectMarks);
    // Symbols: the lines and every open arrowhead with the axis line
    // symbol, as drawn; the arcs with the angle line symbol; the star and
    // the magnetic tip filled.
    auto symbolOf = [](IGIS_Element* m) {
      if (auto* p = dynamic_cast<IGIS_PolylineElement*>(m)) return p->GetSymbolPtr();
      if (auto* p = dynamic_cast<IGIS_PolygonElement*>(m)) return p->GetSymbolPtr();
      return static_cast<IGIS_Symbol*>(nullptr);
    };
    EXPECT_EQ(symbolOf(lines->GetElementPtrByIndex(0))->GetType(), GIS_SYMBOL_LINE);
    EXPECT_EQ(symbolOf(marks->GetElementPtrByIndex(3))->GetType(), GIS_SYMBOL_FILL);
    EXPECT_EQ(symbolOf(marks->GetElementPtrByIndex(5))->GetType(), GIS_SYMBOL_FILL);

    // Twelve label characters, then those of the three angle values.
    ASSERT_EQ(labels->GetElementCount(), 12 + 7 + 6 + 6);
    std::string text;
    for (int i = 0; i < labels->GetElementCount(); ++i) {
      auto* t = dynamic_cast<IGIS_TextElement*>(labels->GetElementPtrByIndex(i));
      ASSERT_NE(t, nullptr);
      text += t->GetText();
      text += i == 18 || i == 24 || i == 30 ? "|" : "";
    }
    EXPECT_EQ(text, "真子午线坐标纵线磁子午线−10°00′|30°00′|40°00′|");
    // The first character of a label lies farthest from the centre.
    const SGIS_Point c0 = labels->GetElementPtrByIndex(0)->GetRect().CenterPoint();
    const SGIS_Point c3 = labels->GetElementPtrByIndex(3)->GetRect().CenterPoint();
    EXPECT_GT(c0.y, c3.y);
  }
}

// The offset by which a conversion moved the diagram's figure.
SGIS_Point OffsetOf(IGIS_CompoundElement* result, const ThreeNorthFigure& drawn) {
  const SGIS_Point first = PointsOf(Member(result, 0)->GetElementPtrByIndex(0))[0];
  return SGIS_Point(first.x - drawn.centre.x, first.y - drawn.centre.y, 0);
}

TEST_F(ThreeNorthConvert, ArrowheadsEndTheirArcsInEveryArrangement) {
  for (const md::test::PlaceRow& row : md::test::kPlaces) {
    SCOPED_TRACE(row.name);
    CGIS_ThreeNorthElement* e = NewDiagram(row.c, row.m);
    auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
    ASSERT_NE(result, nullptr);
    IGIS_CompoundElement* lines = Member(result, 0);
    IGIS_CompoundElement* marks = Member(result, 1);
    // Arcs TG, GM, TM follow the three lines; the heads come TG, TM, GM.
    const int arcOfHead[3] = {3, 5, 4};
    for (int i = 0; i < 3; ++i) {
      const std::vector<SGIS_Point> arc = PointsOf(lines->GetElementPtrByIndex(arcOfHead[i]));
      const std::vector<SGIS_Point> head = PointsOf(marks->GetElementPtrByIndex(i));
      ASSERT_EQ(head.size(), 3u);
      EXPECT_EQ(head[1], arc.back()) << "head " << i;
    }
  }
}

// Arcs of no angle are one point each and move with the rest of the
// conversion to the converted group's place.
TEST_F(ThreeNorthConvert, ArcsOfNoAngleKeepTheirPlaceAsOnePoint) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  e->SetAngle(0);
  e->Refresh();
  e->SetLBpoint(SGIS_Point(8000, 6000, 0));
  const ThreeNorthFigure drawn = e->BuildFigure();
  const SGIS_Rect rect = e->GetRect();
  auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->GetRect().left, rect.left - 1000);
  EXPECT_EQ(result->GetRect().bottom, rect.bottom - 1000);
  const SGIS_Point offset = OffsetOf(result, drawn);
  IGIS_CompoundElement* lines = Member(result, 0);
  ASSERT_EQ(lines->GetElementCount(), 6);
  using md::layout::furniture::kAngleGM;
  using md::layout::furniture::kAngleTG;
  using md::layout::furniture::kAngleTM;
  const md::layout::furniture::ThreeNorthAngle arcs[] = {kAngleTG, kAngleGM, kAngleTM};
  for (int i = 0; i < 3; ++i) {
    const std::vector<SGIS_Point> got = PointsOf(lines->GetElementPtrByIndex(3 + i));
    ASSERT_EQ(got.size(), 1u) << i;
    const SGIS_Point want = drawn.Arc(arcs[i]).points[0];
    EXPECT_EQ(got[0], SGIS_Point(want.x + offset.x, want.y + offset.y, 0)) << i;
  }
}

// The characters the text drawer put on the canvas: text, origin, angle.
struct Glyph {
  std::string text;
  double x, y, angle;
};
std::vector<Glyph> GlyphsOf(const md::canvas::RecordingCanvas& canvas, std::size_t n) {
  std::vector<Glyph> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text)) {
    if (out.size() == n) break;
    out.push_back({r->text.text, r->text.origin.x, r->text.origin.y, r->text.angle});
  }
  return out;
}

// The line labels along their lines and the angle values along their rings:
// every character of the conversion, drawn, lies and turns as the diagram's
// drawing lays it.
TEST_F(ThreeNorthConvert, TextCharactersLieWhereTheDrawingLaysThem) {
  // Symbols measured in points, as the drawer draws them; fonts of 12
  // points, so that the device pixels of the rings the digits follow do not
  // bend them much.
  set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO);
  for (const md::test::PlaceRow& row : md::test::kPlaces) {
    SCOPED_TRACE(row.name);
    CGIS_ThreeNorthElement* e = NewDiagram(row.c, row.m, 12);
    e->SetFramePropertyPtr(nullptr);
    e->SetLBpoint(SGIS_Point(8000, 6000, 0));
    md::test::RecordingPrinter drawing;
    ASSERT_TRUE(e->OnDraw(drawing.hdc, true, drawing.display.get()));
    using md::layout::furniture::ThreeNorthAngleText;
    using md::test::CharacterCount;
    const std::size_t n = 12 + CharacterCount(ThreeNorthAngleText(row.c)) +
                          CharacterCount(ThreeNorthAngleText(row.m)) +
                          CharacterCount(ThreeNorthAngleText(row.m - row.c));
    const std::vector<Glyph> drawn = GlyphsOf(drawing.canvas, n);
    ASSERT_EQ(drawn.size(), n);

    const ThreeNorthFigure figure = e->BuildFigure();
    auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
    ASSERT_NE(result, nullptr);
    const SGIS_Point offset = OffsetOf(result, figure);
    IGIS_CompoundElement* labels = Member(result, 2);
    ASSERT_EQ(labels->GetElementCount(), static_cast<int>(n));
    md::test::RecordingPrinter converted;
    for (int i = 0; i < labels->GetElementCount(); ++i) {
      IGIS_Element* t = labels->GetElementPtrByIndex(i);
      t->OffsetAllPoints(-offset.x, -offset.y);
      ASSERT_TRUE(t->OnDraw(converted.hdc, true, converted.display.get()));
    }
    const std::vector<Glyph> got = GlyphsOf(converted.canvas, n);
    ASSERT_EQ(got.size(), n);
    for (std::size_t i = 0; i < n; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(got[i].text, drawn[i].text);
      EXPECT_NEAR(got[i].x, drawn[i].x, 1.5);
      EXPECT_NEAR(got[i].y, drawn[i].y, 1.5);
      // The drawer turns a character by the chord between the device pixels
      // of the piece of path it covers, some 20 pixels for a digit here: a
      // pixel's rounding at either end turns it up to two and a half degrees
      // off the path's own direction.
      EXPECT_NEAR(std::remainder(got[i].angle - drawn[i].angle, 360.0), 0.0, 2.5);
    }
  }
}

// At every unit ratio of the page the drawing lays each label character where
// the layout and the conversion put it: along its line, a drawn character
// starts where the converted text of it starts. The fonts keep the labels
// about 400 page units high.
TEST_F(ThreeNorthConvert, LabelCharactersLieWhereTheConversionPutsThemAtEveryRatio) {
  const std::pair<double, int> rows[] = {{1.0, 400}, {10.0, 40}, {GIS_SYMBOL_UNIT_PAGE_RATIO, 11}};
  for (const auto& [ratio, font] : rows) {
    SCOPED_TRACE(ratio);
    ASSERT_TRUE(set_->SetUnitRatio(ratio));
    CGIS_ThreeNorthElement* e = NewDiagram(-10, 30, font);
    e->SetFramePropertyPtr(nullptr);
    e->SetLBpoint(SGIS_Point(8000, 6000, 0));
    md::test::RecordingPrinter drawing;
    ASSERT_TRUE(e->OnDraw(drawing.hdc, true, drawing.display.get()));
    const std::vector<Glyph> drawn = GlyphsOf(drawing.canvas, 12);
    ASSERT_EQ(drawn.size(), 12u);
    const ThreeNorthFigure figure = e->BuildFigure();
    auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
    ASSERT_NE(result, nullptr);
    const SGIS_Point offset = OffsetOf(result, figure);
    for (int i = 0; i < 12; ++i) {
      const SGIS_Point a = drawing.Device(figure.labelRuns[i / 4][0]),
                       b = drawing.Device(figure.labelRuns[i / 4][1]);
      const SGIS_Point p = PointsOf(Member(result, 2)->GetElementPtrByIndex(i))[0];
      const SGIS_Point corner = drawing.Device(SGIS_Point(p.x - offset.x, p.y - offset.y, 0));
      const double along = ((drawn[i].x - corner.x) * (b.x - a.x) + (drawn[i].y - corner.y) * (b.y - a.y)) /
                           std::hypot(b.x - a.x, b.y - a.y);
      EXPECT_NEAR(along, 0.0, 1.5) << i;
    }
  }
}

TEST_F(ThreeNorthConvert, RaisesALengthTheFontsNeedForGood) {
  CGIS_ThreeNorthElement* e = NewDiagram(-10, 30, 200);  // the fonts' ring alone: 50 + 1200
  e->SetAxisLength(1000);
  ASSERT_NE(e->ConvertToElement(), nullptr);
  // Five digit heights beyond the inner ring, grown until the angle texts
  // fit; the star's outer points lie a fifteenth of it from the tip.
  const ThreeNorthFigure f = e->BuildFigure();
  EXPECT_GE(f.r1, 1250);
  EXPECT_NEAR(e->GetAxisLength(), f.r1 + 5 * 200, 1);
  EXPECT_EQ(f.markSize, e->GetAxisLength() / 15);
}

}  // namespace
