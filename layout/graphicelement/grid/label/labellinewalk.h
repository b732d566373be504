// The walk of a side's labelled lines that the coordinate labels share: each
// line of the side's direction that the label's lines accept is sampled from
// its low end to its high end, carried into the coordinates of the frame,
// cut at the frame, and handed on with the crossing the side takes and the
// text of its value. What lines there are, where they run and what value a
// line writes is each label's own (LabelLines); measured grids
// (measurelabellines.h) and graticules (dmslabellines.h) supply them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/label/labelgeometry.h"

class IGIS_GeoArithmetic;

namespace md::layout::label {

// The lines of one drawing or conversion, as a walk reads them: vertical
// lines (constant x, labelled on the bottom and top sides) and horizontal
// ones (constant y, on the left and right sides).
class LabelLines {
 public:
  // How many lines of the direction are tried, and the coordinate of the
  // i-th of them.
  virtual int LineCount(bool bVertical) const = 0;
  virtual double LineAt(bool bVertical, int i) const = 0;
  // Whether the line of the side's direction at coordinate c is labelled.
  virtual bool Accepts(LabelSide side, double c) const = 0;
  // The value its label writes.
  virtual double LabelValue(LabelSide side, double c) const = 0;
  // Its ends, from its low end to its high end (south to north, west to
  // east), in the coordinates the walk's carrier takes.
  virtual void LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const = 0;

 protected:
  LabelLines() = default;
  ~LabelLines() = default;
  LabelLines(const LabelLines&) = delete;
  LabelLines& operator=(const LabelLines&) = delete;
};

// Walks the lines of a side that get a label: each accepted line of the
// side's direction that meets the frame, in the coordinates the lines are
// carried into, where the crossing the side takes passes the edge test,
// with the text of its value (a value without text is left out). A line is
// traced once for both sides that label it (bottom and top, left and
// right), with nSteps + 1 samples; the buffers are made once and kept. The
// first walk of a direction takes the cost of its lines' crossings from the
// open budgets (grid::LayGridPoints); a direction they cannot cover is left
// out, noted on the record.
class LabelLineWalk {
 public:
  using TextOf = std::function<std::string(double dValue)>;
  // Receives a label's text and crossing; false stops the walk.
  using OnLabel = std::function<bool(const std::string& text, SGIS_Point crossing)>;

  LabelLineWalk(const LabelLines& lines, IGIS_GeoArithmetic* pArithmetic, const CrossingFrame& frame,
                EdgeTest test, int nSteps, grid::GridPointCarrier carry, grid::CGIS_GridCapRecord& caps);
  LabelLineWalk(const LabelLineWalk&) = delete;
  LabelLineWalk& operator=(const LabelLineWalk&) = delete;

  // Hands each label of the side on, along the side; false when onLabel
  // stopped the walk.
  bool Walk(LabelSide side, const TextOf& textOf, const OnLabel& onLabel);

 private:
  struct Traced {
    bool bDone = false;
    int nCount = 0;  // points of the line in the frame, counted up to 2
    SGIS_Point first, last;
  };
  void Trace(LabelSide side, double c, Traced* pOut);

  const LabelLines& m_lines;
  IGIS_GeoArithmetic* m_pArithmetic;
  CrossingFrame m_frame;
  EdgeTest m_test;
  int m_nSteps;
  grid::GridPointCarrier m_carry;
  grid::CGIS_GridCapRecord& m_caps;
  std::vector<Traced> m_traced[2];    // vertical lines, horizontal lines
  bool m_bAsked[2] = {false, false};  // the direction's cost was asked for
  bool m_bLaid[2] = {false, false};   // and taken
};

}  // namespace md::layout::label
