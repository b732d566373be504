// The rings and designations of the index tab styles.
#include "layout/graphicelement/grid/label/indextabfigure.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "layout/graphicelement/grid/grid/gridlines.h"

namespace md::layout::label {

namespace {

using md::basilo::detail::RoundToInt32;

// A point of doubles, each rounded half away from zero (and kept within the
// 32-bit range).
SGIS_Point P(double x, double y) { return SGIS_Point(RoundToInt32(x), RoundToInt32(y)); }

TabRing Ring(std::initializer_list<SGIS_Point> corners) {
  TabRing ring;
  for (const SGIS_Point& p : corners) ring.points[static_cast<std::size_t>(ring.nCount++)] = p;
  ring.points[static_cast<std::size_t>(ring.nCount++)] = *corners.begin();
  return ring;
}

// The count raised to 1 and cut to the cap.
int TabCount(int nCount, md::layout::grid::CGIS_GridCapRecord& caps) {
  if (nCount > md::layout::grid::kMaxGridLines) {
    caps.Note("tabs", md::layout::grid::kMaxGridLines);
    return md::layout::grid::kMaxGridLines;
  }
  return std::max(nCount, 1);
}

// The rounded bounds of cell i of a side that starts at dLow: its start,
// and its end one cell from the rounded start.
struct CellEnds {
  double a, b;
};
CellEnds Cell(double dLow, double dSize, int i) {
  const double a = RoundToInt32(dLow + i * dSize);
  return {a, static_cast<double>(RoundToInt32(a + dSize))};
}

}  // namespace

TabFrame MakeTabFrame(const SGIS_Rect& rect, int nColumns, int nRows, int nThickness, bool bOutside,
                      md::layout::grid::CGIS_GridCapRecord& caps) {
  TabFrame f;
  f.rect = rect;
  f.nColumns = TabCount(nColumns, caps);
  f.nRows = TabCount(nRows, caps);
  f.w = static_cast<double>(rect.Width()) / std::max(nColumns, 1);
  f.h = static_cast<double>(rect.Height()) / std::max(nRows, 1);
  f.nThickness = nThickness;
  f.t = bOutside ? static_cast<double>(nThickness) : -static_cast<double>(nThickness);
  return f;
}

std::vector<TabRing> ContinuousTabs(const TabFrame& f) {
  const SGIS_Rect& r = f.rect;
  const double t = f.t, w = f.w, h = f.h;
  std::vector<TabRing> rings;
  rings.reserve(static_cast<std::size_t>(2 * (f.nColumns + f.nRows) + 4));
  // A horizontal side at the edge y, its band's far side at yOut: the two
  // mitred end tabs, then the middle ones.
  auto horizontal = [&](double y, double yOut) {
    rings.push_back(Ring({P(r.left, y), P(r.left - t, yOut), P(r.left + w, yOut), P(r.left + w, y)}));
    rings.push_back(Ring({P(r.right, y), P(r.right + t, yOut), P(r.right - w, yOut), P(r.right - w, y)}));
    for (int i = 1; i <= f.nColumns - 2; ++i) {
      const CellEnds c = Cell(r.left, w, i);
      rings.push_back(Ring({P(c.a, y), P(c.a, yOut), P(c.b, yOut), P(c.b, y)}));
    }
  };
  auto vertical = [&](double x, double xOut) {
    rings.push_back(Ring({P(x, r.bottom), P(xOut, r.bottom - t), P(xOut, r.bottom + h), P(x, r.bottom + h)}));
    rings.push_back(Ring({P(x, r.top), P(xOut, r.top + t), P(xOut, r.top - h), P(x, r.top - h)}));
    for (int j = 1; j <= f.nRows - 2; ++j) {
      const CellEnds c = Cell(r.bottom, h, j);
      rings.push_back(Ring({P(x, c.a), P(xOut, c.a), P(xOut, c.b), P(x, c.b)}));
    }
  };
  horizontal(r.bottom, r.bottom - t);
  horizontal(r.top, r.top + t);
  vertical(r.left, r.left - t);
  vertical(r.right, r.right + t);
  return rings;
}

std::vector<TabRing> ButtonTabs(const TabFrame& f) {
  const SGIS_Rect& r = f.rect;
  std::vector<TabRing> rings;
  rings.reserve(static_cast<std::size_t>(2 * (f.nColumns + f.nRows)));
  // Each side's edge and the far side of its band.
  const std::pair<double, double> horizontal[] = {{r.bottom, r.bottom - f.t}, {r.top, r.top + f.t}};
  for (const auto& [y, yOut] : horizontal) {
    for (int i = 0; i < f.nColumns; ++i) {
      const CellEnds c = Cell(r.left, f.w, i);
      rings.push_back(Ring({P(c.a, y), P(c.a, yOut), P(c.b, yOut), P(c.b, y)}));
    }
  }
  const std::pair<double, double> vertical[] = {{r.left, r.left - f.t}, {r.right, r.right + f.t}};
  for (const auto& [x, xOut] : vertical) {
    for (int j = 0; j < f.nRows; ++j) {
      const CellEnds c = Cell(r.bottom, f.h, j);
      rings.push_back(Ring({P(x, c.a), P(xOut, c.a), P(xOut, c.b), P(x, c.b)}));
    }
  }
  return rings;
}

std::vector<TabRing> RoundedTabs(const TabFrame& f) {
  const SGIS_Rect& r = f.rect;
  // Always outside the frame, whatever the signed depth says.
  const double d = f.nThickness;
  const double c = f.nThickness / 2;  // truncated toward zero
  std::vector<TabRing> rings;
  rings.reserve(static_cast<std::size_t>(2 * (f.nColumns + f.nRows)));
  // A horizontal side at the edge y; s is +1 above the top edge, -1 below the bottom one.
  auto horizontal = [&](double y, double s) {
    for (int i = 0; i < f.nColumns; ++i) {
      const CellEnds e = Cell(r.left, f.w, i);
      rings.push_back(Ring({P(e.a, y), P(e.a, y + s * c), P(e.a + c, y + s * d), P(e.a + f.w - c, y + s * d),
                            P(e.b, y + s * c), P(e.b, y)}));
    }
  };
  auto vertical = [&](double x, double s) {
    for (int j = 0; j < f.nRows; ++j) {
      const CellEnds e = Cell(r.bottom, f.h, j);
      rings.push_back(Ring({P(x, e.a), P(x + s * c, e.a), P(x + s * d, e.a + c), P(x + s * d, e.a + f.h - c),
                            P(x + s * c, e.b), P(x, e.b)}));
    }
  };
  horizontal(r.bottom, -1.0);
  horizontal(r.top, 1.0);
  vertical(r.left, -1.0);
  vertical(r.right, 1.0);
  return rings;
}

std::vector<TabRing> BackgroundBoxes(const TabFrame& f) {
  const SGIS_Rect& r = f.rect;
  const double t = f.nThickness;
  const double half = f.nThickness / 2;  // truncated toward zero
  std::vector<TabRing> rings;
  rings.reserve(static_cast<std::size_t>(2 * (f.nColumns + f.nRows)));
  const double below = r.bottom - f.t, above = r.top + f.t;
  for (int i = 0; i < f.nColumns; ++i) {
    const double a = RoundToInt32(r.left + (i + 0.5) * f.w - half);
    rings.push_back(Ring({P(a, r.bottom), P(a + t, r.bottom), P(a + t, below), P(a, below)}));
  }
  for (int i = 0; i < f.nColumns; ++i) {
    const double a = RoundToInt32(r.left + (i + 0.5) * f.w - half);
    rings.push_back(Ring({P(a, r.top), P(a, above), P(a + t, above), P(a + t, r.top)}));
  }
  const double before = r.left - f.t, after = r.right + f.t;
  for (int j = 0; j < f.nRows; ++j) {
    const double b = RoundToInt32(r.bottom + (j + 0.5) * f.h - half);
    rings.push_back(Ring({P(r.left, b), P(before, b), P(before, b + t), P(r.left, b + t)}));
  }
  for (int j = 0; j < f.nRows; ++j) {
    const double b = RoundToInt32(r.bottom + (j + 0.5) * f.h - half);
    rings.push_back(Ring({P(r.right, b), P(after, b), P(after, b + t), P(r.right, b + t)}));
  }
  return rings;
}

std::string DesignationText(bool bColumn, int nIndex, int nXYLabelType) {
  const bool bNumber = bColumn ? nXYLabelType == 0 : nXYLabelType == 1;
  const long long nCode = 'A' + static_cast<long long>(nIndex);
  if (bNumber || nCode > '~') return std::to_string(static_cast<long long>(nIndex) + 1);
  return std::string(1, static_cast<char>(nCode));
}

std::vector<TabDesignation> SideDesignations(const TabFrame& f, LabelSide side, const SideOffsets& offsets,
                                             int nXYLabelType) {
  const SGIS_Rect& r = f.rect;
  const bool bColumns = LabelsVerticalLines(side);
  const int nCount = bColumns ? f.nColumns : f.nRows;
  // The middle of the band across the side.
  const double across =
      BySide<double>(side, r.bottom - f.t / 2, r.top + f.t / 2, r.left - f.t / 2, r.right + f.t / 2);
  std::vector<TabDesignation> out;
  out.reserve(static_cast<std::size_t>(nCount));
  for (int i = 0; i < nCount; ++i) {
    const SGIS_DPoint centre = bColumns ? SGIS_DPoint(r.left + (i + 0.5) * f.w, across)
                                        : SGIS_DPoint(across, r.bottom + (i + 0.5) * f.h);
    const SGIS_DPoint at = OffsetForSide(side, centre, offsets);
    out.push_back({SGIS_Point::FromDoubles(at.x, at.y), DesignationText(bColumns, i, nXYLabelType)});
  }
  return out;
}

}  // namespace md::layout::label
