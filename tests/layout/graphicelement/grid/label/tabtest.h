// Shared pieces of the index tab styles' tests: an index grid double, a
// page with a map frame and the double bound to it, styles of every type
// made by the label factory with symbols of their own colours, and what a
// drawing painted read back in page units.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/label/indextabfigure.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/mapgriddouble.h"

namespace md::test {

// An index grid of plain values (type 2 unless told otherwise).
class IndexGridDouble final : public MapGridDouble<IGIS_IndexGrid> {
 public:
  explicit IndexGridDouble(int nType = GIS_MAPGRID_INDEX) : MapGridDouble(nType) {}
  int GetColumnCount() override { return columns; }
  void SetColumnCount(int n) override { columns = n; }
  int GetRowCount() override { return rows; }
  void SetRowCount(int n) override { rows = n; }
  bool GetXYLabelType() override { return xyLabelType; }
  void SetXYLabelType(bool b) override { xyLabelType = b; }
  IGIS_IndexGrid* Copy(IGIS_IndexGrid*) override { return this; }

  int columns = 6;
  int rows = 6;
  bool xyLabelType = true;

 private:
  ~IndexGridDouble() override = default;
};

// The four style types, in the order of their codes.
inline constexpr int kTabTypes[] = {GIS_GRIDLABEL_INDEX_BACKGROUND, GIS_GRIDLABEL_INDEX_BOTTON,
                                    GIS_GRIDLABEL_INDEX_CONTINUOUS, GIS_GRIDLABEL_INDEX_ROUNDED};

// The shape function of a style type.
md::layout::label::TabShape ShapeOf(int nType);

// Colours of the tab symbols the page gives its styles.
constexpr COLORREF kTabFill = RGB(250, 220, 60);
constexpr COLORREF kTabOutline = RGB(200, 30, 30);

using TabStylePtr = ReleasePtr<IGIS_IndexGridTabStyle>;

// A style of the type from the label factory (not bound).
TabStylePtr NewTabStyle(int nType);

// A shape filled or stroked, in page units (the label printer's device y
// turned back), with its brush (fill) or pen (stroke) colour.
struct PaintedRing {
  std::vector<SGIS_Point> points;
  bool fill;
  COLORREF color;
};
std::vector<PaintedRing> PaintedRingsOf(const md::canvas::RecordingCanvas& canvas);

// The map frame tests' page with a frame over kFrameRect (left 2000, right
// 22000, bottom 2000, top 18000) and an index grid double bound to it.
class TabPage : public MapFramePage {
 public:
  void SetUp() override;
  void TearDown() override;

  // A style of the type bound to the grid, its fill and outline in the
  // page's colours.
  TabStylePtr BoundStyle(int nType);
  // The style's drawing on the label printer (the frame drawn first and
  // cleared), kept on the printer's canvas.
  bool Draw(IGIS_GridLabel* pStyle, LabelPrinter* printer);
  // The figure of the style over the frame for the grid's counts.
  std::vector<md::layout::label::TabRing> Rings(IGIS_IndexGridTabStyle* pStyle);

  CGIS_MapElement* frame_ = nullptr;
  IndexGridDouble* grid_ = nullptr;
};

}  // namespace md::test
