// The arithmetic that the grid kinds and their labels share, as plain
// functions: which lines of one direction a pass tries (with one cap per
// pass kind for one drawing or conversion, and one record when a pass was
// cut), what a drawing may spend on its passes, the size of a spacing's
// unit, how a line is sampled, the part of the map a frame shows, and where
// a map point lies on the page.
#pragma once

#include <functional>
#include <vector>

#include "host/basilo/sgis_types.h"

class IGIS_Display;
class IGIS_MapElement;
class IGIS_MapView;

namespace md::layout::grid {

// ---- Caps -----------------------------------------------------------------

// Most grid lines of one direction that one pass of a drawing or conversion
// tries where no pass budget (kGridPassBudget) leaves it out first: the
// lines the ticks are taken from, the hatches' rows and columns, the index
// grid's lines and tabs.
constexpr int kMaxGridLines = 10000;
// Most main ticks one side tries.
constexpr int kMaxGridTicks = 10000;
// Most line crossings that are tried for marks.
constexpr long long kMaxGridMarks = 250000;
// Most sub-ticks one side tries.
constexpr long long kMaxGridSubTicks = 100000;

struct GridLineRun;

// Notes the passes of one drawing or conversion that were cut to their cap
// and writes one record (level 3, under the method) for the first of them,
// so that a capped drawing says so once and still finishes.
class CGIS_GridCapRecord {
 public:
  explicit CGIS_GridCapRecord(const char* szMethod) : m_szMethod(szMethod) {}
  CGIS_GridCapRecord(const CGIS_GridCapRecord&) = delete;
  CGIS_GridCapRecord& operator=(const CGIS_GridCapRecord&) = delete;

  // The pass (a short name such as "lines") was cut to nCap.
  void Note(const char* szPass, long long nCap);
  // The pass of the run was cut: to nCap, or to nothing when its lines lie
  // too close to be drawn (GridLineRun::bTooClose) or are more than one
  // pass lays (GridLineRun::bOverBudget).
  void Note(const char* szPass, const GridLineRun& run, long long nCap);
  // The pass was left out: it costs more than is left of the budgets of
  // the drawing (CGIS_GridBudget).
  void NoteSpent(const char* szPass);
  bool Capped() const { return m_bCapped; }

 private:
  const char* m_szMethod;
  bool m_bCapped = false;
};

// ---- Lines of one direction -----------------------------------------------

// How a pass counts its lines from the span and low end of the area it
// covers, the interval and two margins.
enum class GridRunRounding {
  // count = round(span / interval) + countMargin, first = round(low /
  // interval) - startMargin: the quotients are rounded before the margins
  // are added.
  kQuotientFirst,
  // count = round(span / interval + countMargin), first = round(low /
  // interval - startMargin): the margins are added before rounding.
  kMarginFirst,
};

// The lines k = nFirst .. nFirst + nCount - 1 of one direction, line k at
// k * interval. The indices are 64-bit: a fine interval far from the origin
// (a millionth of a metre at 500 km) starts beyond the 32-bit range.
struct GridLineRun {
  long long nFirst = 0;
  int nCount = 0;
  bool bCapped = false;      // the count was cut to the cap
  bool bTooClose = false;    // cut to nothing: the lines lie too close to be drawn (bCapped too)
  bool bOverBudget = false;  // cut to nothing: more lines than one pass lays (bCapped too)
  long long nWanted = 0;     // the count before any cut

  // The coordinate of the run's i-th line (computed in doubles, so that no
  // index sum overflows).
  double At(int i, double dInterval) const { return (static_cast<double>(nFirst) + i) * dInterval; }
};

// Indices beyond this many intervals from the origin (2^53) no longer give
// lines apart from each other in doubles.
constexpr long long kMaxGridLineIndex = 1LL << 53;

// The run of a pass, rounded half away from zero. An interval that is not
// above 0 or not finite and a span or low end that is not finite give no
// lines. A count above nCap is cut to nCap (bCapped); a run whose indices
// reach beyond kMaxGridLineIndex gives no lines and counts as cut too, so
// that the pass says so.
GridLineRun MakeGridLineRun(double dLow, double dSpan, double dInterval, double dCountMargin,
                            double dStartMargin, GridRunRounding rounding, int nCap = kMaxGridLines);

// ---- What can be drawn ------------------------------------------------------

// Lines closer together than this many units of the space a figure is laid
// in (device pixels of a drawing, page units of a conversion) cannot be told
// apart: a line and the gap beside it need one unit each. A pass whose lines
// lie closer is not laid at all, which is decided from its plan before any
// of its lines is carried.
inline constexpr double kMinGridLineSpacing = 2.0;

// How many units of the space a figure is laid in one unit of its plan
// spans, across x and across y: the size of the frame there divided by the
// extent of the plan's coordinates the frame shows. A direction whose
// factor is unknown (not a finite number above 0) limits nothing.
struct GridResolution {
  double dX = 0.0;
  double dY = 0.0;

  // The frame dLaidWidth x dLaidHeight units large showing `shown` (plan
  // units, either corner order).
  static GridResolution Of(double dLaidWidth, double dLaidHeight, const SGIS_DRect& shown);
  // Whether lines dInterval apart across x (bAcrossX: lines of constant x,
  // meridians, columns) or across y lie far enough apart to be drawn.
  bool Shows(double dInterval, bool bAcrossX) const;
};

// The run of a pass whose lines lie too close to be drawn: no lines, cut.
GridLineRun TooCloseGridLineRun();

// ---- Budgets ----------------------------------------------------------------

// Most lines one pass lays: one direction of a grid's lines, which its
// labels read too. A pass of more is left out whole, decided from its plan,
// so that no grid covers only part of its frame and the labels stand on
// the lines drawn. Two directions at the budget cost about a quarter of a
// second in a release build at 300 dpi on an A2 sheet: a graticule's line,
// carried from degrees through the map's projection at 200 samples, takes
// about 0.25 ms there, a measured grid's half as much.
inline constexpr int kGridPassBudget = 500;

// What a pass costs, in tenths of a line: a line traced across the frame
// costs kGridLineCost; a tick, sub-tick, mark, hatch mark, interior label or
// a labelled line's crossing (a few microseconds each, an interior label's
// two texts about 20) costs kGridPointCost.
inline constexpr long long kGridLineCost = 10;
inline constexpr long long kGridPointCost = 1;
// Most one grid's drawing or conversion spends: 1,200 lines, about 0.3 s
// at the dearest line.
inline constexpr long long kGridBudget = 12000;
// Most the grids of one frame's drawing or conversion spend together:
// 10,000 lines, a few seconds at most.
inline constexpr long long kGridFrameBudget = 100000;

// A budget open on this thread while it lives: a grid's plan opens one for
// its drawing or conversion, a frame one while it draws or converts its
// grids. A pass takes its cost from every budget open before any of its
// lines is carried; budgets close in the reverse order of their opening.
class CGIS_GridBudget {
 public:
  explicit CGIS_GridBudget(long long nBudget);
  ~CGIS_GridBudget();
  CGIS_GridBudget(const CGIS_GridBudget&) = delete;
  CGIS_GridBudget& operator=(const CGIS_GridBudget&) = delete;

  // Takes nCost from every open budget when each has that much left (true,
  // also when none is open); takes nothing and answers false otherwise.
  static bool Take(long long nCost);

 private:
  long long m_nLeft;
  CGIS_GridBudget* m_pOuter;
};

// Whether a pass of nLines lines traced across the frame may be laid: its
// cost taken from the open budgets (true), or the pass noted as left out on
// the record (false).
bool LayGridLines(CGIS_GridCapRecord& caps, const char* szPass, long long nLines);
// The same for a pass of points that tries dTried of them and stops at
// nCap (its cap, which bounds what it costs).
bool LayGridPoints(CGIS_GridCapRecord& caps, const char* szPass, double dTried,
                   long long nCap = kMaxGridMarks);

// MakeGridLineRun for lines of constant x (bAcrossX) or y: a run too close
// for the resolution gives no lines (TooCloseGridLineRun), and so does one
// of more than nBudget lines (bOverBudget; 0: no budget, as for ticks, whose
// count is cut to nCap instead).
GridLineRun MakeShownGridLineRun(const GridResolution& resolution, bool bAcrossX, double dLow, double dSpan,
                                 double dInterval, double dCountMargin, double dStartMargin,
                                 GridRunRounding rounding, int nCap = kMaxGridLines,
                                 int nBudget = kGridPassBudget);

// The lines the grids and their labels have traced on this thread (sampled
// and carried into a drawing's or conversion's space), counted for tests
// that check which passes carry their lines.
long long GridLinesTraced();
void CountGridLineTraced();
// The plans built on this thread (GridLabelPlan, gridlabelplan.h: each opens
// its grid's budget), counted for tests that check that a grid and its label
// work from one plan per drawing or conversion.
long long GridPlansBuilt();
void CountGridPlanBuilt();

// ---- Units ----------------------------------------------------------------

// The size of a spacing's unit in its reference's base unit: the factor of
// the unit at nUnits in the spatial-reference factory's linear list
// (bAngular false) or angular list (true), divided by the factor of that
// list's unit 0 when that is above 0 (otherwise the unit's own factor). 1.0
// when the list has no such unit or its factor is not a positive finite
// number, so that the stored intervals are then taken in the base unit.
double SpacingUnitFactor(int nUnits, bool bAngular);

// ---- Sampling -------------------------------------------------------------

// Carries a point in place into the coordinates a line is drawn or cut in;
// false when it cannot.
using GridPointCarrier = std::function<bool(SGIS_DPoint* pPoint)>;

// The nSteps + 1 points from `from` to `to` at equal steps, both ends
// included, each carried and then rounded half away from zero, into *pOut
// (replaced; its capacity is kept for the next line). A point that the
// carrier refuses, or that is not finite afterwards, is left out. Returns
// the number of points written.
int SampleGridLine(SGIS_DPoint from, SGIS_DPoint to, int nSteps, const GridPointCarrier& carry,
                   std::vector<SGIS_Point>* pOut);

// Carries nCount points in place at once, as GridPointCarrier would each;
// pCarried[i] 0 where point i cannot be, 1 where it is.
using GridPointsCarrier = std::function<void(SGIS_DPoint* pPoints, int nCount, char* pCarried)>;

// SampleGridLine with the points carried in one call; *pWork and *pCarried
// are scratch kept from line to line.
int SampleGridLine(SGIS_DPoint from, SGIS_DPoint to, int nSteps, const GridPointsCarrier& carry,
                   std::vector<SGIS_DPoint>* pWork, std::vector<char>* pCarried,
                   std::vector<SGIS_Point>* pOut);

// The samples of SampleGridLine one at a time, for walks that stop early.
class GridLineSampler {
 public:
  GridLineSampler(SGIS_DPoint from, SGIS_DPoint to, int nSteps);
  // The number of samples: nSteps + 1, or 0 below one step.
  int Count() const { return m_nSteps < 1 ? 0 : m_nSteps + 1; }
  // Sample j (0 .. Count() - 1) before it is carried.
  SGIS_DPoint Input(int j) const;
  // Sample j carried and rounded into *pOut; false when the carrier refuses
  // it or it is not finite afterwards.
  bool At(int j, const GridPointCarrier& carry, SGIS_Point* pOut) const {
    return Carry(Input(j), carry, pOut);
  }
  static bool Carry(SGIS_DPoint p, const GridPointCarrier& carry, SGIS_Point* pOut);
  // A carried sample rounded into *pOut; false when it is not finite.
  static bool Round(SGIS_DPoint p, SGIS_Point* pOut);

 private:
  SGIS_DPoint m_from, m_to;
  int m_nSteps;
  double m_sx = 0.0, m_sy = 0.0;
};

// ---- Page mapping ---------------------------------------------------------

// The part of the map that a map frame shows: the bound widened about its
// centre to the frame's proportions, as the frame draws it (the larger of
// the two map-units-per-page-unit ratios wins). That ratio goes into
// *pScale: 0, with the bound only normalised, for an empty frame or bound.
SGIS_DRect ShownMapBound(const SGIS_DRect& bound, const SGIS_Rect& frame, double* pScale);

// What a map frame shows, as a grid's drawing or conversion reads it: its
// rectangle, its scale (the frame's GetScale) and its bound at the frame's
// proportions (ShownMapBound of its stored bound).
struct FrameShown {
  SGIS_Rect rect;
  double dScale = 0.0;
  SGIS_DRect bound;
};
FrameShown ShownByFrame(IGIS_MapElement* pFrame);

// Where one drawing or conversion lays a grid's figure over the frame: the
// frame's map view and the map's turn in it (a drawing's; none and 0 for a
// conversion) and the frame's size there: the device's own pixels of a
// drawing (a printing display's coordinates are its context's logical
// units, hundredths of a millimetre, carried to pixels here), page units of
// a conversion.
struct LaidFrame {
  IGIS_MapView* pMapView = nullptr;
  double dRotateAngle = 0.0;
  double dWidth = 0.0;
  double dHeight = 0.0;
};
// The frame of a drawing on pDisplay or, without a display, of a
// conversion; false for a drawing without the display's view or the
// frame's map view.
bool LayFrame(IGIS_MapElement* pFrame, const FrameShown& shown, IGIS_Display* pDisplay, LaidFrame* pOut);

// The page point (0.01 mm, y up) of a map point in a map frame whose
// rectangle shows the map bound at the scale (map units per page unit):
// (frame.left + (x - bound.x1) / scale, frame.bottom + (y - bound.y2) /
// scale), the division left out for a scale that is not above 0 or not
// finite; then turned counter-clockwise by the rotation (degrees) about the
// frame's centre.
SGIS_DPoint MapToPage(SGIS_DPoint map, const SGIS_DRect& bound, const SGIS_Rect& frame, double dScale,
                      double dRotateAngle = 0.0);

}  // namespace md::layout::grid
