// The walk of a side's labelled lines.
#include "layout/graphicelement/grid/label/labellinewalk.h"

#include <algorithm>
#include <utility>

#include "host/calcora/igis_geoarithmetic.h"
#include "layout/graphicelement/grid/grid/geotrace.h"

namespace md::layout::label {

LabelLineWalk::LabelLineWalk(const LabelLines& lines, IGIS_GeoArithmetic* pArithmetic,
                             const CrossingFrame& frame, EdgeTest test, int nSteps,
                             grid::GridPointCarrier carry, grid::CGIS_GridCapRecord& caps)
    : m_lines(lines),
      m_pArithmetic(pArithmetic),
      m_frame(frame),
      m_test(test),
      m_nSteps(nSteps > 0 ? nSteps : 1),
      m_carry(std::move(carry)),
      m_caps(caps) {
  m_traced[0].resize(static_cast<std::size_t>(std::max(lines.LineCount(true), 0)));
  m_traced[1].resize(static_cast<std::size_t>(std::max(lines.LineCount(false), 0)));
}

bool LabelLineWalk::Walk(LabelSide side, const TextOf& textOf, const OnLabel& onLabel) {
  const bool bVertical = LabelsVerticalLines(side);
  const int d = bVertical ? 0 : 1;
  std::vector<Traced>& traced = m_traced[d];
  const int nCount = static_cast<int>(traced.size());
  if (!m_bAsked[d]) {
    m_bAsked[d] = true;
    m_bLaid[d] = grid::LayGridPoints(m_caps, "labels", nCount);
  }
  if (!m_bLaid[d]) return true;
  for (int i = 0; i < nCount; ++i) {
    const double c = m_lines.LineAt(bVertical, i);
    if (!m_lines.Accepts(side, c)) continue;
    Traced& t = traced[static_cast<std::size_t>(i)];
    if (!t.bDone) Trace(side, c, &t);
    // The first and the last point where the line lies in the frame.
    const SGIS_Point ends[2] = {t.first, t.last};
    SGIS_Point crossing;
    if (!SideCrossing(side, ends, t.nCount > 1 ? 2 : t.nCount, m_frame, m_test, &crossing)) continue;
    const std::string text = textOf(m_lines.LabelValue(side, c));
    if (text.empty()) continue;
    if (!onLabel(text, crossing)) return false;
  }
  return true;
}

void LabelLineWalk::Trace(LabelSide side, double c, Traced* pOut) {
  pOut->bDone = true;
  if (m_pArithmetic == nullptr) return;
  grid::CountGridLineTraced();
  SGIS_DPoint from, to;
  m_lines.LineEnds(side, c, &from, &to);
  const SGIS_Rect& r = m_frame.rect;
  // Only the first and the last point of the cut matter.
  const grid::GridLineSampler samples(from, to, m_nSteps);
  const grid::LineCutEnds ends = grid::CutCrossingLineEnds(
      *m_pArithmetic, SGIS_Point(r.left, r.bottom), SGIS_Point(r.right, r.top), samples.Count(),
      [&](int j, SGIS_Point* p) { return samples.At(j, m_carry, p); }, true);
  if (ends.nKept < 1) return;
  pOut->nCount = ends.nKept;
  pOut->first = ends.first;
  pOut->last = ends.last;
}

}  // namespace md::layout::label
