// Shared pieces of the degrees-minutes-seconds label's tests: a layout page
// whose square map frame shows the 1:1,000,000 sample map (in degrees) from
// 95°E to 135°E and 15°N to 55°N, a graticule at 10 degrees over it and a
// DMS label bound to that graticule, drawn on the label tests' printer.
#pragma once

#include <string>
#include <vector>

#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"

namespace md::test {

// The square frame: 160 x 160 mm, 4 mm a degree.
inline const SGIS_Rect kDmsFrameRect(2000, 18000, 18000, 2000);
constexpr CanvasFrame kDmsFrame{2000, 18000, 2000, 18000};
constexpr double kUnitsPerDegree = 400.0;
// The canvas x of a longitude, the canvas y of a latitude in the frame.
inline double XOfLongitude(double lon) { return kDmsFrame.left + (lon - 95.0) * kUnitsPerDegree; }
inline double YOfLatitude(double lat) { return kDmsFrame.bottom - (lat - 15.0) * kUnitsPerDegree; }

// A sample map loaded into the page's document, by file name under the
// sample maps' folder.
IGIS_Map* LoadSampleMap(IGIS_Document* doc, const char* file);

class DmsPage : public MapFramePage {
 public:
  void SetUp() override;
  void TearDown() override;
  // Draws the frame (so that its map view shows the map), then the label,
  // on a new printer page; the texts the label drew.
  std::vector<Placed> Draw(bool bPrint = true, bool expected = true);
  // The label shows whole degrees only ("100°").
  void ShowDegrees();

  using MapFramePage::map_;  // the page's Gauss-Kruger test map

  IGIS_Map* region_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
  CGIS_GraticuleGrid* grid_ = nullptr;
  ReleasePtr<CGIS_DMSGridLabel> label_;
  // Binds the label to a grid double in the frame; the page releases it.
  void Bind(IGIS_MapGrid* grid);
  std::vector<IGIS_MapGrid*> doubles_;
};

// The texts "<from>°" and on in steps of degrees.
std::vector<std::string> Degrees(int from, int step, int count);

}  // namespace md::test
