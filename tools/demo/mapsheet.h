// The demo's second page, the map sheet: the whole 1:50,000 sample sheet at
// true scale in a map frame shown through the host's document, with the
// sheet's furniture in a panel beside it. Its feature set shows the document's layout layer,
// through which the frame finds its map by name, also after reloading.
#pragma once

#include <memory>
#include <string>

#include "host/basilo/sgis_types.h"
#include "tools/demo/samplepage.h"

class IGIS_Document;
class IGIS_Map;
class IGIS_MapLayer;

namespace md::demo {

// The sheet's paper: A2 landscape, in page units (0.01 mm). The whole sheet
// at 1:50,000 is about 431 x 374 mm with its kilometre band 441 x 384 mm:
// wider than A2 portrait (420 mm) and far beyond A3, while A2 landscape
// holds it with a side panel for the sheet's furniture.
constexpr int kSheetPaperWidth = 59400;
constexpr int kSheetPaperHeight = 42000;
// The sheet's national-series number: 1:50,000, 116°00′-116°15′E,
// 39°50′-40°00′N.
constexpr const char* kSheetNumber = "J50E001009";
// The map frame's lower-left corner on the paper; its size follows the
// sheet's extent at the sheet's scale. The left margin leaves room for the
// corner coordinates written beyond the band.
constexpr int kSheetFrameLeft = 2600;
constexpr int kSheetFrameBottom = 2300;
// The frame's outer border: a calibrated band 7 mm outside the frame (room
// for grid labels between them), 3 mm wide, cut into pieces of one ground
// kilometre (20 mm at 1:50,000).
constexpr int kSheetBorderOffset = 700;
constexpr int kSheetBorderWidth = 300;
constexpr int kSheetBorderInterval = 2000;
// The side panel right of the band: its left edge's distance from the band
// and its margin from the paper's right edge. Its top elements are narrow:
// the corner coordinates beyond the band's top-right corner stay clear of
// them.
constexpr int kSheetPanelGap = 900;
constexpr int kSheetPanelMargin = 1000;
// The sheet's scale: 1:50,000, as map metres per page unit.
constexpr double kSheetScale = 0.5;
// Magnetic declination of the sheet's area, degrees (west is negative).
constexpr double kSheetDeclination = -6.8;

// The sheet's extent in the map's grid coordinates from its number (west,
// south, east, north in x1, y1, x2, y2); false when the number or the map's
// reference gives none.
bool SheetExtent(IGIS_Map* map, SGIS_DRect* extent);

// The index of the linear unit of that name in the spatial-reference
// factory's list (the scale bars' and the grid spacings' units), or 0
// (metres) when there is none.
int LinearUnitIndex(const char* name);

// The host's document holding the sample sheet. It must outlive every page
// whose frames show its map.
class MapDocument {
 public:
  // Loads the sample sheet from the folder of the sample maps.
  explicit MapDocument(const std::string& mapsFolder);
  ~MapDocument();
  MapDocument(const MapDocument&) = delete;
  MapDocument& operator=(const MapDocument&) = delete;

  // False when the document or the sheet could not be made.
  bool ok() const { return sheet_ != nullptr; }
  IGIS_Map* sheet() const { return sheet_; }
  // The layer that shows layout pages in the document.
  IGIS_MapLayer* LayoutLayer() const;

 private:
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
};

// The folder of the sample maps the demo was built with.
std::string SampleMapsFolder();

// The map sheet page over the document. NULL when the page cannot be made;
// element types the factory does not build go into the report.
std::unique_ptr<Page> BuildMapSheetPage(const MapDocument& doc, BuildReport* report);

}  // namespace md::demo
