// The three-north layout as a table: for each arrangement of the lines, the
// working angles, the rings, the arcs with their point counts and ends, the
// arrowheads, the tip marks, the label paths and the text paths; the worked
// numbers of the default diagram; and the bounds on long arcs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "layout/graphicelement/furniture/threenorthlayout.h"

namespace {

using namespace md::layout::furniture;
using Case = ThreeNorthCase;

struct XY {
  int x, y;
};
struct ArcRow {
  ThreeNorthAngle angle;
  int radius;
  int count;
  XY first, last;
};
struct PathRow {
  int count;
  XY first, last;
};
struct LayoutRow {
  const char* name;
  double c, m;    // real angles
  double w1, w2;  // working angles at a spacing of 30
  Case kase;
  XY gridEnd, magnetEnd;
  ArcRow arcs[3];    // in drawing order
  XY heads[3][3];    // arrowheads at the arcs' ends
  PathRow texts[3];  // convergence, declination, difference
  XY labels[3][2];   // true, grid, magnetic: outer, inner
  XY gridMark[3], magnetMark[3];
};

constexpr ThreeNorthAngle kTG = kAngleTG, kTM = kAngleTM, kGM = kAngleGM;

// Centre (0, 0), spacing 30, lines 3000 long, text offset 50, "真" 100 wide
// and "2" 100 high: rings 650 and 850, marks 200.
const LayoutRow kRows[] = {
    {"Z+",
     -10,
     30,
     -30,
     30,
     Case::kZeroPlus,
     {-1499, 2598},
     {1499, 2598},
     {{kGM, 650, 61, {-325, 563}, {325, 563}},
      {kTM, 850, 31, {0, 850}, {425, 736}},
      {kTG, 850, 31, {0, 850}, {-425, 736}}},
     {{{-325, 909}, {-425, 736}, {-225, 736}},
      {{325, 909}, {425, 736}, {225, 736}},
      {{225, 736}, {325, 563}, {125, 563}}},
     {{32, {-438, 729}, {0, 850}}, {31, {0, 850}, {425, 736}}, {62, {-335, 557}, {325, 563}}},
     {{{0, 850}, {0, 50}}, {{-425, 736}, {-25, 43}}, {{425, 736}, {25, 43}}},
     {{-1326, 2497}, {-1499, 2598}, {-1499, 2398}},
     {{1216, 2316}, {1499, 2598}, {1395, 2212}}},
    {"Z-",
     3,
     0,
     30,
     -30,
     Case::kZeroMinus,
     {1499, 2598},
     {-1499, 2598},
     {{kTG, 650, 31, {0, 650}, {325, 563}},
      {kTM, 650, 31, {0, 650}, {-325, 563}},
      {kGM, 850, 61, {425, 736}, {-425, 736}}},
     {{{225, 736}, {325, 563}, {125, 563}},
      {{-225, 736}, {-325, 563}, {-125, 563}},
      {{-325, 909}, {-425, 736}, {-225, 736}}},
     {{30, {0, 850}, {412, 744}}, {31, {0, 850}, {-425, 736}}, {62, {-335, 557}, {325, 563}}},
     {{{0, 850}, {0, 50}}, {{425, 736}, {25, 43}}, {{-425, 736}, {-25, 43}}},
     {{1499, 2398}, {1499, 2598}, {1326, 2498}},
     {{-1396, 2211}, {-1499, 2598}, {-1217, 2314}}},
    {"A",
     5,
     5,
     30,
     60,
     Case::kA,
     {1499, 2598},
     {2597, 1501},
     {{kTM, 650, 61, {0, 650}, {563, 325}},
      {kTG, 850, 31, {0, 850}, {425, 736}},
      {kGM, 850, 31, {425, 736}, {736, 425}}},
     {{{325, 909}, {425, 736}, {225, 736}},
      {{563, 525}, {563, 325}, {390, 425}},
      {{736, 625}, {736, 425}, {563, 525}}},
     {{31, {0, 850}, {425, 736}}, {61, {0, 650}, {563, 325}}, {31, {425, 736}, {736, 425}}},
     {{{0, 850}, {0, 50}}, {{425, 736}, {25, 43}}, {{736, 425}, {43, 25}}},
     {{1499, 2398}, {1499, 2598}, {1326, 2498}},
     {{2210, 1398}, {2597, 1501}, {2314, 1219}}},
    {"B",
     7,
     5,
     60,
     30,
     Case::kB,
     {2597, 1501},
     {1499, 2598},
     {{kTG, 650, 61, {0, 650}, {563, 325}},
      {kTM, 850, 31, {0, 850}, {425, 736}},
      {kGM, 850, 31, {736, 425}, {425, 736}}},
     {{{563, 525}, {563, 325}, {390, 425}},
      {{325, 909}, {425, 736}, {225, 736}},
      {{625, 736}, {425, 736}, {525, 563}}},
     {{61, {0, 650}, {563, 325}}, {31, {0, 850}, {425, 736}}, {31, {736, 425}, {425, 736}}},
     {{{0, 850}, {0, 50}}, {{736, 425}, {43, 25}}, {{425, 736}, {25, 43}}},
     {{2497, 1328}, {2597, 1501}, {2397, 1501}},
     {{1216, 2316}, {1499, 2598}, {1395, 2212}}},
    {"C",
     -7,
     -5,
     -60,
     -30,
     Case::kC,
     {-2597, 1501},
     {-1499, 2598},
     {{kTG, 650, 61, {0, 650}, {-563, 325}},
      {kTM, 850, 31, {0, 850}, {-425, 736}},
      {kGM, 850, 31, {-736, 425}, {-425, 736}}},
     {{{-563, 525}, {-563, 325}, {-390, 425}},
      {{-325, 909}, {-425, 736}, {-225, 736}},
      {{-625, 736}, {-425, 736}, {-525, 563}}},
     {{62, {-568, 315}, {0, 650}}, {32, {-438, 729}, {0, 850}}, {31, {-736, 425}, {-425, 736}}},
     {{{0, 850}, {0, 50}}, {{-736, 425}, {-43, 25}}, {{-425, 736}, {-25, 43}}},
     {{-2397, 1500}, {-2597, 1501}, {-2497, 1328}},
     {{-1396, 2211}, {-1499, 2598}, {-1217, 2314}}},
    {"D",
     -5,
     -5,
     -30,
     -60,
     Case::kD,
     {-1499, 2598},
     {-2597, 1501},
     {{kTM, 650, 61, {0, 650}, {-563, 325}},
      {kTG, 850, 31, {0, 850}, {-425, 736}},
      {kGM, 850, 31, {-425, 736}, {-736, 425}}},
     {{{-325, 909}, {-425, 736}, {-225, 736}},
      {{-563, 525}, {-563, 325}, {-390, 425}},
      {{-736, 625}, {-736, 425}, {-563, 525}}},
     {{31, {0, 850}, {-425, 736}}, {62, {-568, 315}, {0, 650}}, {31, {-425, 736}, {-736, 425}}},
     {{{0, 850}, {0, 50}}, {{-425, 736}, {-25, 43}}, {{-736, 425}, {-43, 25}}},
     {{-1326, 2497}, {-1499, 2598}, {-1499, 2398}},
     {{-2315, 1217}, {-2597, 1501}, {-2211, 1396}}},
};

void ExpectPoint(const SGIS_Point& p, XY e, const std::string& what) {
  EXPECT_EQ(p.x, e.x) << what;
  EXPECT_EQ(p.y, e.y) << what;
}

ThreeNorthInput Input(double w1, double w2) {
  ThreeNorthInput in;
  in.centre = SGIS_Point(0, 0, 0);
  in.w1 = w1;
  in.w2 = w2;
  in.axisLength = 3000;
  in.txtOffset = 50;
  in.labelWidth = 100;
  in.digitHeight = 100;
  return in;
}

class ThreeNorthLayoutTable : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(ThreeNorthLayoutTable, FollowsTheArrangementOfItsCase) {
  const LayoutRow& row = GetParam();
  const ThreeNorthDrawAngles a = ComputeThreeNorthDrawAngles(row.c, row.m, 30.0);
  EXPECT_EQ(a.w1, row.w1);
  EXPECT_EQ(a.w2, row.w2);
  const ThreeNorthFigure f = BuildThreeNorthFigure(Input(a.w1, a.w2));
  EXPECT_EQ(f.kase, row.kase);
  EXPECT_EQ(f.r1, 650);
  EXPECT_EQ(f.r2, 850);
  EXPECT_EQ(f.markSize, 200);
  EXPECT_FALSE(f.capped);
  ExpectPoint(f.gridEnd, row.gridEnd, "grid end");
  ExpectPoint(f.magnetEnd, row.magnetEnd, "magnetic end");
  ExpectPoint(f.trueEnd, {0, 3000}, "true end");
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("arc " + std::to_string(i));
    const ThreeNorthArc& arc = f.arcs[i];
    EXPECT_EQ(arc.angle, row.arcs[i].angle);
    EXPECT_EQ(arc.radius, row.arcs[i].radius);
    ASSERT_EQ(static_cast<int>(arc.points.size()), row.arcs[i].count);
    ExpectPoint(arc.points.front(), row.arcs[i].first, "first");
    ExpectPoint(arc.points.back(), row.arcs[i].last, "last");
    // Every point lies on its ring.
    for (const SGIS_Point& p : arc.points) EXPECT_NEAR(std::hypot(p.x, p.y), arc.radius, 1.0);
    for (int j = 0; j < 3; ++j) ExpectPoint(f.arrowheads[i][j], row.heads[i][j], "arrowhead point");
  }
  const ThreeNorthArc* paths[3] = {&f.convPath, &f.declPath, &f.diffPath};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("text path " + std::to_string(i));
    ASSERT_EQ(static_cast<int>(paths[i]->points.size()), row.texts[i].count);
    ExpectPoint(paths[i]->points.front(), row.texts[i].first, "first");
    ExpectPoint(paths[i]->points.back(), row.texts[i].last, "last");
  }
  for (int i = 0; i < 3; ++i) {
    ExpectPoint(f.labels[i][0], row.labels[i][0], "label outer");
    ExpectPoint(f.labels[i][1], row.labels[i][1], "label inner");
    ExpectPoint(f.gridMark[i], row.gridMark[i], "grid mark");
    ExpectPoint(f.magnetMark[i], row.magnetMark[i], "magnetic mark");
  }
  EXPECT_STREQ(ThreeNorthCaseName(f.kase), row.name);
}

INSTANTIATE_TEST_SUITE_P(SixCases, ThreeNorthLayoutTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<LayoutRow>& info) {
                           const std::string n = info.param.name;
                           return n == "Z+" ? std::string("ZPlus") : n == "Z-" ? std::string("ZMinus") : n;
                         });

// Bearing in degrees as the figure measures it, and distance, of a page
// point around the centre (0, 0).
double BearingOf(const SGIS_Point& p) { return std::atan2(p.x, p.y) / kThreeNorthRadPerDegree; }
double RadiusOf(const SGIS_Point& p) { return std::hypot(p.x, p.y); }

// Every arc ends in its arrowhead, on its own ring; and where the angle
// texts are laid: every stretch clockwise, a quarter of a digit height
// outside its ring, the inner ring's from past the middle line of its path
// (where the plain text element starts) by the outer ring's arrowhead there
// (173) and a quarter of a digit height, on for the text's length.
TEST_P(ThreeNorthLayoutTable, ArcsEndInTheirArrowheadsAndTextsLieInOneSector) {
  const LayoutRow& row = GetParam();
  const ThreeNorthDrawAngles a = ComputeThreeNorthDrawAngles(row.c, row.m, 30.0);
  ThreeNorthInput in = Input(a.w1, a.w2);
  in.angleTextLength = {150, 150, 150};
  const ThreeNorthFigure f = BuildThreeNorthFigure(in);
  for (const ThreeNorthArc& arc : f.arcs) {
    bool headed = false;
    for (const auto& head : f.arrowheads)
      headed = headed || (head[1].x == arc.points.back().x && head[1].y == arc.points.back().y);
    EXPECT_TRUE(headed) << "arc " << arc.angle;
  }
  const ThreeNorthArc* paths[3] = {&f.convPath, &f.declPath, &f.diffPath};
  const std::vector<SGIS_Point>* runs[3] = {&f.convRun, &f.declRun, &f.diffRun};
  int inner = 0;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("text " + std::to_string(i));
    const std::vector<SGIS_Point>& run = *runs[i];
    ASSERT_GE(run.size(), 2u);
    for (std::size_t k = 1; k < run.size(); ++k) EXPECT_GT(BearingOf(run[k]), BearingOf(run[k - 1]));
    const double lifted = paths[i]->radius + 25.0;
    for (const SGIS_Point& p : run) EXPECT_NEAR(RadiusOf(p), lifted, 1.0);
    if (paths[i]->radius != f.r1) continue;
    ++inner;
    // The middle point of the path lies on a line (0 or +-30); the text
    // starts 198 past it and reaches 150 on, away from the line.
    const SGIS_Point mid = paths[i]->points[paths[i]->points.size() / 2];
    const double line = std::round(BearingOf(mid) / 30.0) * 30.0;
    EXPECT_NEAR(BearingOf(mid), line, 0.5);
    const double perDegree = lifted * kThreeNorthRadPerDegree;
    const double nearEnd =
        std::min(std::fabs(BearingOf(run.front()) - line), std::fabs(BearingOf(run.back()) - line));
    const double farEnd =
        std::max(std::fabs(BearingOf(run.front()) - line), std::fabs(BearingOf(run.back()) - line));
    EXPECT_NEAR(nearEnd * perDegree, 198.2, 2.0);
    EXPECT_NEAR(farEnd * perDegree, 348.2, 2.0);
    EXPECT_LT(farEnd, 30.0);
  }
  EXPECT_EQ(inner, 1);
}

// Where the labels are laid: each stretch as long as its label, along its
// line a quarter of the label's height off it on the side away from the
// true meridian (the true meridian's on its clockwise side), running in
// toward the centre on the clockwise side; the cell the drawer stands on
// the stretch's left keeps inside the inner ring by the arrowheads' reach
// there (100) and a quarter of its height.
TEST_P(ThreeNorthLayoutTable, LabelsKeepClearOfTheirLineAndInsideTheInnerRing) {
  const LayoutRow& row = GetParam();
  const ThreeNorthDrawAngles a = ComputeThreeNorthDrawAngles(row.c, row.m, 30.0);
  ThreeNorthInput in = Input(a.w1, a.w2);
  in.labelHeight = 120;
  in.labelLength = {400, 360, 440};
  const ThreeNorthFigure f = BuildThreeNorthFigure(in);
  const double bearings[3] = {0.0, a.w1, a.w2};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("label " + std::to_string(i));
    const SGIS_Point& p0 = f.labelRuns[i][0];
    const SGIS_Point& p1 = f.labelRuns[i][1];
    const double dx = p1.x - p0.x, dy = p1.y - p0.y;
    const double length = std::hypot(dx, dy);
    EXPECT_NEAR(length, in.labelLength[i], 1.5);
    // Along the line: the stretch's bearing is the line's, or its reverse.
    const double s = std::sin(bearings[i] * kThreeNorthRadPerDegree);
    const double c = std::cos(bearings[i] * kThreeNorthRadPerDegree);
    const double along = (dx * s + dy * c) / length;
    const bool clockwise = bearings[i] >= 0;
    EXPECT_NEAR(along, clockwise ? -1.0 : 1.0, 1e-4);
    // The stretch's left, where the cell stands, is away from the line.
    const double leftX = -dy / length, leftY = dx / length;
    const double offset = p0.x * c - p0.y * s;  // clockwise of the line
    EXPECT_NEAR(offset, clockwise ? 30.0 : -30.0, 1.0);
    EXPECT_NEAR(leftX * c - leftY * s, clockwise ? 1.0 : -1.0, 1e-4);
    // The cell's far corners: the outer end of the stretch and that point
    // moved the cell's height to the left.
    const SGIS_Point& outer = RadiusOf(p0) > RadiusOf(p1) ? p0 : p1;
    const double farX = outer.x + leftX * in.labelHeight, farY = outer.y + leftY * in.labelHeight;
    EXPECT_NEAR(std::hypot(farX, farY), f.r1 - 130.0, 1.5);
  }
}

// The ten rows of the working-angle choice.
struct AngleRow {
  double c, m, w1, w2;
};
const AngleRow kAngleRows[] = {
    {7, 5, 60, 30},     {5, 7, 30, 60},     {5, 5, 30, 60},   {-7, -5, -60, -30}, {-5, -7, -30, -60},
    {-5, -5, -30, -60}, {-10, 30, -30, 30}, {3, -2, 30, -30}, {0, 4, -30, 30},    {0, -2, 30, -30},
    {0, 0, 30, -30},    {3, 0, 30, -30},    {-3, 0, -30, 30},
};

TEST(ThreeNorthDrawAngles, DependOnlyOnSignsAndOrder) {
  for (const AngleRow& row : kAngleRows) {
    SCOPED_TRACE(std::to_string(row.c) + ", " + std::to_string(row.m));
    const ThreeNorthDrawAngles a = ComputeThreeNorthDrawAngles(row.c, row.m, 30.0);
    EXPECT_EQ(a.w1, row.w1);
    EXPECT_EQ(a.w2, row.w2);
    // Magnitudes never change the layout.
    const ThreeNorthDrawAngles b = ComputeThreeNorthDrawAngles(row.c * 3, row.m * 3, 30.0);
    EXPECT_EQ(b.w1, row.w1);
    EXPECT_EQ(b.w2, row.w2);
  }
}

TEST(ThreeNorthLayout, WorkedNumbersOfTheDefaultDiagram) {
  // The default diagram: angles -30 and 30 degrees, axes 3000 long, labels 100 wide.
  // 1.57 / 90 makes 30 degrees 0.523333 radians.
  EXPECT_NEAR(30 * kThreeNorthRadPerDegree, 0.523333, 1e-6);
  EXPECT_NEAR(3000 * std::sin(-30 * kThreeNorthRadPerDegree), -1499.31, 0.005);
  EXPECT_NEAR(3000 * std::cos(-30 * kThreeNorthRadPerDegree), 2598.47, 0.005);
  // The star: outer points 200 from the tip, inner points 200 x 0.38147.
  const ThreeNorthFigure f = BuildThreeNorthFigure(Input(-30, 30));
  const double q = std::sin(0.314) / std::sin(2.198);
  EXPECT_NEAR(q, 0.38147, 5e-6);
  const XY star[12] = {{190, 3062},  {45, 3062}, {0, 3200},   {-45, 3062}, {-190, 3062}, {-73, 2977},
                       {-118, 2838}, {0, 2924},  {117, 2838}, {72, 2976},  {190, 3061},  {45, 3062}};
  for (int i = 0; i < 12; ++i) ExpectPoint(f.star[i], star[i], "star " + std::to_string(i));
  for (int i = 1; i < 12; i += 2) {
    EXPECT_NEAR(std::hypot(f.star[i].x, f.star[i].y - 3000), 200 * q, 1.0);
  }
}

// Degrees and minutes, rounded to the minute, with a minus sign before what
// does not round to zero.
TEST(ThreeNorthLayout, TextsAreDegreesAndMinutesRoundedToTheMinute) {
  const std::pair<double, const char*> rows[] = {{-0.56, "−0°34′"},       {-6.8, "−6°48′"},
                                                 {-0.004, "0°00′"},       {-0.9999, "−1°00′"},
                                                 {std::nan(""), "0°00′"}, {1e12, "1000000000000°00′"}};
  for (const auto& [degrees, text] : rows) EXPECT_EQ(ThreeNorthAngleText(degrees), text) << degrees;
}

TEST(ThreeNorthLayout, NeverRefreshedDiagramIsSinglePointArcs) {
  const ThreeNorthFigure f = BuildThreeNorthFigure(Input(0, 0));
  EXPECT_EQ(f.kase, Case::kZeroMinus);
  for (const ThreeNorthArc& arc : f.arcs) EXPECT_EQ(arc.points.size(), 1u);
  EXPECT_TRUE(f.convPath.points.empty());
}

// Spacings whose widest arc spans 180 and 359 degrees, and one far beyond:
// every arc and path holds what it walks, and none walks more than 360 steps.
TEST(ThreeNorthLayout, LongArcsAreBoundedNotOverflowed) {
  struct Row {
    double c, m, a;
    std::size_t widest;
    bool capped;
  };
  for (const Row& row :
       {Row{-10, 30, 90, 181, false}, Row{5, 5, 179.5, 360, false}, Row{-10, 30, 1e9, 361, true}}) {
    SCOPED_TRACE(row.a);
    const ThreeNorthDrawAngles a = ComputeThreeNorthDrawAngles(row.c, row.m, row.a);
    const ThreeNorthFigure f = BuildThreeNorthFigure(Input(a.w1, a.w2));
    std::size_t widest = 0;
    for (const ThreeNorthArc& arc : f.arcs) widest = std::max(widest, arc.points.size());
    EXPECT_EQ(widest, row.widest);
    EXPECT_EQ(f.capped, row.capped);
    EXPECT_LE(f.diffPath.points.size(), 361u);
  }
}

}  // namespace
