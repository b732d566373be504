// The geometry of the three-north diagram: where the grid north line and the
// magnetic meridian are drawn (working angles), the two rings of the angle
// arcs, the arcs, their arrowheads, the marks at the line tips, the label
// paths and the paths of the angle texts. Drawing and conversion both build
// their shapes from one figure, so that they agree point for point.
//
// Page units (0.01 mm, y up); angles in degrees, clockwise from the true
// meridian, turned into radians with the factor 1.57 / 90 the stored
// diagrams were laid out with.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"

namespace md::layout::furniture {

// Degrees to radians as the diagram's stored geometry was made (1.57, not pi/2).
constexpr double kThreeNorthRadPerDegree = 1.57 / 90.0;
// Share of a text's cell height kept between the cell and the ring it stands
// by: an ideograph inks its cell almost to the edge, and a digit stands only
// the font's descent above its cell's bottom (an eighth of the height in the
// Chinese faces), so a cell touching its ring puts the glyphs on the stroke.
constexpr double kThreeNorthRingClearance = 1.0 / 4.0;
// Shares of a label's cell height kept between the cell and its line, and
// between the cell and the inner ring (or an arrowhead reaching in from it).
constexpr double kThreeNorthLabelLineClearance = 1.0 / 4.0;
constexpr double kThreeNorthLabelRingClearance = 1.0 / 2.0;
// The rings grow until the labels and the angle texts fit their sectors,
// but to at most this many times the inner ring the fonts give.
constexpr double kThreeNorthMaxRingGrowth = 4.0;
// Most degree steps one arc or text path walks; longer ones are cut.
constexpr int kThreeNorthMaxArcSteps = 360;
// The names written along the true meridian, the grid north line and the
// magnetic meridian.
inline constexpr const char* kThreeNorthLabelTexts[3] = {"真子午线", "坐标纵线", "磁子午线"};

// Half away from zero; NaN gives 0 and values beyond 32 bits are clamped.
int Nearest(double v);

// Working angles of the grid north line (w1) and the magnetic meridian (w2)
// from the real grid convergence c, the magnetic declination m and the
// display spacing a: lines on one side of north at one and two spacings,
// lines on opposite sides at one spacing each.
struct ThreeNorthDrawAngles {
  double w1 = 0.0;
  double w2 = 0.0;
};
ThreeNorthDrawAngles ComputeThreeNorthDrawAngles(double c, double m, double a);

// The arrangement of arcs and texts, chosen by nearest(w1 + w2) and the
// order of the working angles.
enum class ThreeNorthCase { kZeroPlus, kZeroMinus, kA, kB, kC, kD };
ThreeNorthCase ThreeNorthCaseOf(double w1, double w2);
const char* ThreeNorthCaseName(ThreeNorthCase c);

// The three angles between the lines: true-grid, true-magnetic, grid-magnetic.
enum ThreeNorthAngle { kAngleTG = 0, kAngleTM = 1, kAngleGM = 2 };

// What the figure is built from.
struct ThreeNorthInput {
  SGIS_Point centre;       // where the three lines meet
  double w1 = 0.0;         // working angle of the grid north line
  double w2 = 0.0;         // working angle of the magnetic meridian
  int axisLength = 3000;   // length of each line
  int txtOffset = 50;      // inner end of the labels, base of the rings
  double labelWidth = 0;   // width of "真" with the label font, page units
  double digitHeight = 0;  // height of "2" with the angle font, page units
  double labelHeight = 0;  // cell height of a label, page units
  // Lengths of the three labels (true, grid, magnetic), page units; 0 is
  // taken as four label widths.
  std::array<double, 3> labelLength{};
  // The three angle texts (the convergence, the declination, their
  // difference, as ThreeNorthAngleText writes them) and their lengths, page
  // units (0 when unknown).
  std::array<std::string, 3> angleTexts{};
  std::array<double, 3> angleTextLength{};
};

// The rings of the arcs: the inner ring sits six label widths beyond the
// text offset, the outer ring two digit heights beyond it. The inner ring
// grows (to at most kThreeNorthMaxRingGrowth times) until every label fits
// inside it beside its line, clear of the line, of the next line and of the
// ring, and every angle text fits its sector on its ring, clear of the lines
// and arrowheads at its ends; lines shorter than ThreeNorthMinimumAxisLength
// let it grow only to five digit heights short of their ends (never below
// the fonts' ring), and texts that do not fit stand where they fall. `exact`
// is the inner ring before rounding.
struct ThreeNorthRings {
  int r1 = 0;
  int r2 = 0;
  double exact = 0.0;
};
ThreeNorthRings ThreeNorthRingsOf(const ThreeNorthInput& in);

// The least length of the lines for the grown rings and the texts beyond
// them: the inner ring the texts want and five digit heights, rounded.
int ThreeNorthMinimumAxisLength(const ThreeNorthInput& in);
// The least length of the lines for the fonts' rings: the text offset, six
// label widths and five digit heights, rounded (of the input it reads only
// txtOffset, labelWidth and digitHeight). A stored length is raised only to
// this when it is read.
int ThreeNorthFontAxisLength(const ThreeNorthInput& in);

// One arc or text path: ring points P(k, radius) for whole degrees k, k
// rising (step +1, clockwise) or falling (step -1).
struct ThreeNorthArc {
  ThreeNorthAngle angle = kAngleTG;
  int radius = 0;
  int step = 1;
  std::vector<SGIS_Point> points;
};

struct ThreeNorthFigure {
  ThreeNorthCase kase = ThreeNorthCase::kZeroMinus;
  int r1 = 0;        // inner ring
  int r2 = 0;        // outer ring
  int markSize = 0;  // axisLength / 15: size of the tip marks and arrowheads
  SGIS_Point centre;
  SGIS_Point gridEnd, magnetEnd, trueEnd;
  // The three arcs in drawing order.
  std::array<ThreeNorthArc, 3> arcs;
  // The arrowheads at the arcs' ends (open V, 3 points each), one at the end
  // of each arc in the order true-grid (at the grid line), true-magnetic and
  // grid-magnetic (both at the magnetic meridian).
  std::array<std::array<SGIS_Point, 3>, 3> arrowheads;
  std::array<SGIS_Point, 12> star;                  // filled star at the true meridian's tip
  std::array<SGIS_Point, 3> gridMark;               // open V at the grid north line's tip
  std::array<SGIS_Point, 3> magnetMark;             // filled triangle at the magnetic meridian's tip
  std::array<std::array<SGIS_Point, 2>, 3> labels;  // true, grid, magnetic: outer point, inner point
  // The paths of the angle texts: the grid convergence, the declination and
  // their difference.
  ThreeNorthArc convPath, declPath, diffPath;
  // What the drawing lays the texts along. The text drawer centres a text on
  // its stretch and stands its cell on the stretch's left, so every stretch
  // runs clockwise, the ring clearance outside its ring. The inner ring's path
  // spans two sectors; its text is laid from the path's middle point (the
  // line where the plain text element starts) toward its end, inside one
  // sector: from half a digit height past that line when its length is
  // known, else centred on that half of the path.
  // A label's stretch lies along its line, the label line clearance off it
  // on the side away from the true meridian (the true meridian's label on
  // its right), and ends where the label's cell keeps the label ring
  // clearance inside the inner ring and the arrowheads on it; it is as long
  // as the label.
  std::array<std::array<SGIS_Point, 2>, 3> labelRuns;  // true, grid, magnetic
  std::vector<SGIS_Point> convRun, declRun, diffRun;
  // The texts laid along those stretches, as the input gave them.
  std::array<std::string, 3> angleTexts;
  // Set when an arc or path was cut to kThreeNorthMaxArcSteps.
  bool capped = false;

  // The arc of an angle (each angle has exactly one).
  const ThreeNorthArc& Arc(ThreeNorthAngle angle) const;
};

ThreeNorthFigure BuildThreeNorthFigure(const ThreeNorthInput& in);

// An angle as the texts show it: degrees and minutes, rounded to the whole
// minute (half away from zero), the minutes in two digits, a minus sign
// (U+2212) before a value that does not round to zero: -6.8 gives
// "−6°48′", -0.9999 "−1°00′", 0.004 "0°00′". A value that is not finite is
// written as 0.
std::string ThreeNorthAngleText(double degrees);

// The ring point of whole degree k at radius r around the centre.
SGIS_Point ThreeNorthRingPoint(SGIS_Point centre, int k, int r);

}  // namespace md::layout::furniture
