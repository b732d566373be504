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

    // Twelve label characters, then the three angle values.
    ASSERT_EQ(labels->GetElementCount(), 15);
    std::string text;
    for (int i = 0; i < 15; ++i) {
      auto* t = dynamic_cast<IGIS_TextElement*>(labels->GetElementPtrByIndex(i));
      ASSERT_NE(t, nullptr);
      text += t->GetText();
      text += i >= 12 ? "|" : "";
    }
    EXPECT_EQ(text, "真子午线坐标纵线磁子午线-10|30|40|");
    // Each angle value's left-bottom corner sits on the middle of its path.
    const std::vector<SGIS_Point>* paths[3] = {&drawn.convPath.points, &drawn.declPath.points,
                                               &drawn.diffPath.points};
    for (int i = 0; i < 3; ++i) {
      const SGIS_Rect r = labels->GetElementPtrByIndex(12 + i)->GetRect();
      const SGIS_Point mid = (*paths[i])[paths[i]->size() / 2];
      EXPECT_EQ(r.left, mid.x + dx);
      EXPECT_EQ(r.bottom, mid.y + dy);
    }
    // The first character of a label lies farthest from the centre.
    const SGIS_Point c0 = labels->GetElementPtrByIndex(0)->GetRect().CenterPoint();
    const SGIS_Point c3 = labels->GetElementPtrByIndex(3)->GetRect().CenterPoint();
    EXPECT_GT(c0.y, c3.y);
  }
}

TEST_F(ThreeNorthConvert, LabelCharactersStepOneAndAHalfWidthsOut) {
  // "真" 300 wide: the true meridian's characters at 1850, 1400, 950 and
  // 500 above the centre.
  CGIS_ThreeNorthElement* e = NewDiagram(-10, 30, 300);
  e->SetAxisLength(9000);
  e->Refresh();
  auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
  ASSERT_NE(result, nullptr);
  IGIS_CompoundElement* labels = Member(result, 2);
  IGIS_CompoundElement* lines = Member(result, 0);
  const SGIS_Point centre = PointsOf(lines->GetElementPtrByIndex(2))[0];
  const int above[4] = {1850, 1400, 950, 500};
  for (int i = 0; i < 4; ++i) {
    const SGIS_Point c = labels->GetElementPtrByIndex(i)->GetRect().CenterPoint();
    EXPECT_EQ(c.x, centre.x);
    EXPECT_NEAR(c.y - centre.y, above[i], 1);
  }
}

TEST_F(ThreeNorthConvert, RaisesALengthTheFontsNeedForGood) {
  CGIS_ThreeNorthElement* e = NewDiagram(-10, 30, 200);  // needs 50 + 1200 + 1000
  e->SetAxisLength(1000);
  ASSERT_NE(e->ConvertToElement(), nullptr);
  EXPECT_EQ(e->GetAxisLength(), 2250);
  // The marks follow: the star's outer points lie 2250 / 15 from the tip.
  EXPECT_EQ(e->BuildFigure().markSize, 150);
}

}  // namespace
