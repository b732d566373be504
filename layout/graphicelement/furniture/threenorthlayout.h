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
  // Lengths of the three angle texts (the convergence, the declination,
  // their difference), page units; 0 when unknown.
  std::array<double, 3> angleTextLength{};
};

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
  // A label's stretch lies along its line, an eighth of the label's height
  // off it on the side away from the true meridian (the true meridian's
  // label on its right), and ends where the label's cell keeps the ring
  // clearance inside the inner ring; it is as long as the label.
  std::array<std::array<SGIS_Point, 2>, 3> labelRuns;  // true, grid, magnetic
  std::vector<SGIS_Point> convRun, declRun, diffRun;
  // Set when an arc or path was cut to kThreeNorthMaxArcSteps.
  bool capped = false;

  // The arc of an angle (each angle has exactly one).
  const ThreeNorthArc& Arc(ThreeNorthAngle angle) const;
};

ThreeNorthFigure BuildThreeNorthFigure(const ThreeNorthInput& in);

// An angle as the texts show it: a whole number of degrees cut toward zero.
std::string ThreeNorthDegreesText(double degrees);

// The ring point of whole degree k at radius r around the centre.
SGIS_Point ThreeNorthRingPoint(SGIS_Point centre, int k, int r);

}  // namespace md::layout::furniture
