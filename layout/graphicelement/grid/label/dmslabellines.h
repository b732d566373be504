// The meridians and parallels that a degrees-minutes-seconds label writes,
// for one drawing or conversion, worked out in degrees over the geographic
// extent of the map: the graticule's lines at its spacing (the extent
// widened by two intervals on every side, as the graticule's own lines), or
// the lines of the graticule of fixed rows and columns as its plan
// (grid/grid/gridintervals.h) places them. Both take their arithmetic from
// grid/grid/ so that the labels stand on the grid's lines.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/label/labellinewalk.h"

class IGIS_MapGrid;

namespace md::layout::label {

// What the lines of a grid are worked out to.
enum class DmsLinesResult {
  kLines,      // the grid's lines (possibly none)
  kNoSpacing,  // a graticule without its spacing (or a grid that is not its kind)
  kOtherKind,  // a grid that is not a graticule: nothing to label
};

// The lines of one direction: line k at dBase + k * dStep, for k = dFirst
// .. dFirst + nCount - 1.
struct DmsLineSeries {
  double dBase = 0.0;
  double dStep = 0.0;
  double dFirst = 0.0;
  int nCount = 0;
  double At(int i) const { return dBase + (dFirst + i) * dStep; }
};

class DmsLabelLines final : public LabelLines {
 public:
  DmsLabelLines() = default;

  // Sets the lines of the grid up over the map's extent in degrees (x1
  // west, x2 east, y1 north, y2 south), turned by dRotateAngle degrees when
  // the map is turned in its frame (the lines are then tried over the bound
  // of the turned extent). A graticule (kind 0) takes its spacing's
  // intervals and origins in degrees and widens that bound by two intervals
  // on every side; its lines lie at whole multiples of the interval. The
  // graticule of fixed rows and columns (kind 3) plans its lines over the
  // extent itself as the grid does (interval, first meridian and parallel;
  // origins 0) and tries them over the bound. Counts past the grids' cap
  // are cut (Capped); an extent or interval that is not finite gives no
  // lines.
  DmsLinesResult Prepare(IGIS_MapGrid* pGrid, const SGIS_DRect& extent, double dRotateAngle = 0.0);

  // The extent the lines are tried over (widened for a graticule).
  const SGIS_DRect& Extent() const { return m_extent; }
  double XInterval() const { return m_meridians.dStep; }
  double YInterval() const { return m_parallels.dStep; }
  const DmsLineSeries& Meridians() const { return m_meridians; }
  const DmsLineSeries& Parallels() const { return m_parallels; }
  bool Capped() const { return m_bCapped; }

  int LineCount(bool bVertical) const override;
  double LineAt(bool bVertical, int i) const override;
  // A meridian within the extent and -180..180; a parallel within the
  // extent and no more than one interval past a pole; each edge within the
  // grids' tolerance of the interval (grid/grid/gridtolerance.h).
  bool Accepts(LabelSide side, double c) const override;
  // The longitude, or the latitude held to -90..90, shifted by the
  // spacing's origin: the origin moves the texts, not the lines.
  double LabelValue(LabelSide side, double c) const override;
  // A meridian from one interval south of the extent to one north of it, a
  // parallel from one interval west to one east, each held to the globe.
  void LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const override;

 private:
  SGIS_DRect m_extent;
  DmsLineSeries m_meridians;
  DmsLineSeries m_parallels;
  double m_dXOrigin = 0.0;
  double m_dYOrigin = 0.0;
  bool m_bCapped = false;
};

}  // namespace md::layout::label
