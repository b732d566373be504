// The pieces of an index grid's drawing.
#include "layout/graphicelement/grid/index/indexgridfigure.h"

#include <cmath>

#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"

namespace md::layout::grid {

namespace {

using md::basilo::detail::RoundToInt32;

// Each piece of the lists with its symbol.
class PieceList {
 public:
  explicit PieceList(std::vector<IndexGridPiece>* pOut) : m_pOut(pOut) {}
  void Line(SGIS_Point from, SGIS_Point to, IGIS_Symbol* pSymbol) {
    IndexGridPiece piece;
    piece.points[0] = from;
    piece.points[1] = to;
    piece.nCount = 2;
    piece.pSymbol = pSymbol;
    m_pOut->push_back(piece);
  }
  void Mark(SGIS_Point at, IGIS_Symbol* pSymbol) {
    IndexGridPiece piece;
    piece.points[0] = at;
    piece.nCount = 1;
    piece.pSymbol = pSymbol;
    m_pOut->push_back(piece);
  }

 private:
  std::vector<IndexGridPiece>* m_pOut;
};

// The count cut to its cap (noted under the pass); 0 below 1.
int CappedCount(double dCount, long long nCap, const char* szPass, CGIS_GridCapRecord& caps) {
  if (!(dCount >= 1.0)) return 0;
  if (dCount > static_cast<double>(nCap)) {
    caps.Note(szPass, nCap);
    return static_cast<int>(nCap);
  }
  return static_cast<int>(dCount);
}

}  // namespace

double IndexCellSize(std::int32_t nSide, int nCount) {
  return nCount >= 1 ? static_cast<double>(nSide) / nCount : static_cast<double>(nSide);
}

std::vector<IndexGridPiece> LayIndexGrid(IGIS_IndexGrid* pGrid, const SGIS_Rect& r,
                                         CGIS_GridCapRecord& caps) {
  std::vector<IndexGridPiece> pieces;
  if (pGrid == nullptr) return pieces;
  PieceList out(&pieces);
  const int nColumns = pGrid->GetColumnCount();
  const int nRows = pGrid->GetRowCount();
  const double w = IndexCellSize(r.Width(), nColumns);
  const double h = IndexCellSize(r.Height(), nRows);
  auto x = [&](int i) { return RoundToInt32(r.left + i * w); };
  auto y = [&](int i) { return RoundToInt32(r.bottom + i * h); };
  // Cell bounds 0 to the count along each axis (none for a count below -1).
  const double dXBounds = static_cast<double>(nColumns) + 1.0;
  const double dYBounds = static_cast<double>(nRows) + 1.0;

  const int nLineType = pGrid->GetGridlineType();
  if (nLineType == GIS_GRIDLINE_LINES) {
    IGIS_Symbol* pLine = pGrid->GetLineSymbol();
    const int nRowLines = CappedCount(dYBounds, kMaxGridLines, "lines", caps);
    for (int i = 0; i < nRowLines; ++i) out.Line(SGIS_Point(r.left, y(i)), SGIS_Point(r.right, y(i)), pLine);
    const int nColumnLines = CappedCount(dXBounds, kMaxGridLines, "lines", caps);
    for (int i = 0; i < nColumnLines; ++i)
      out.Line(SGIS_Point(x(i), r.bottom), SGIS_Point(x(i), r.top), pLine);
  } else if (nLineType == GIS_GRIDLINE_MARKS) {
    // The inner corners, row by row, up to the cap on crossings.
    IGIS_Symbol* pMark = pGrid->GetMarkSymbol();
    const double dCorners = (dYBounds - 2.0) * (dXBounds - 2.0);
    const int nMarks =
        dYBounds > 2.0 && dXBounds > 2.0 ? CappedCount(dCorners, kMaxGridMarks, "marks", caps) : 0;
    for (int i = 1, n = 0; i < nRows && n < nMarks; ++i) {
      for (int j = 1; j < nColumns && n < nMarks; ++j, ++n) out.Mark(SGIS_Point(x(j), y(i)), pMark);
    }
  }

  const double dLength = pGrid->GetTickLength();
  if (!std::isfinite(dLength)) return pieces;
  bool bLeft = false, bTop = false, bRight = false, bBottom = false;
  pGrid->GetTickVisible(&bLeft, &bTop, &bRight, &bBottom);
  IGIS_Symbol* pTick = pGrid->GetTickLineSymbol();
  const int nXTicks = bBottom || bTop ? CappedCount(dXBounds, kMaxGridTicks, "ticks", caps) : 0;
  const int nYTicks = bLeft || bRight ? CappedCount(dYBounds, kMaxGridTicks, "ticks", caps) : 0;
  const std::int32_t below = RoundToInt32(r.bottom - dLength), above = RoundToInt32(r.top + dLength);
  const std::int32_t before = RoundToInt32(r.left - dLength), after = RoundToInt32(r.right + dLength);
  if (bBottom) {
    for (int i = 0; i < nXTicks; ++i) out.Line(SGIS_Point(x(i), r.bottom), SGIS_Point(x(i), below), pTick);
  }
  if (bTop) {
    for (int i = 0; i < nXTicks; ++i) out.Line(SGIS_Point(x(i), r.top), SGIS_Point(x(i), above), pTick);
  }
  if (bLeft) {
    for (int i = 0; i < nYTicks; ++i) out.Line(SGIS_Point(r.left, y(i)), SGIS_Point(before, y(i)), pTick);
  }
  if (bRight) {
    for (int i = 0; i < nYTicks; ++i) out.Line(SGIS_Point(r.right, y(i)), SGIS_Point(after, y(i)), pTick);
  }
  return pieces;
}

}  // namespace md::layout::grid
