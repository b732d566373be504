// The demo's second page, the map sheet: A4 landscape with the 1:50,000
// sample sheet shown in a map frame through the host's document, under a
// title naming the sheet. Its feature set shows the document's layout layer,
// through which the frame finds its map by name, also after reloading.
#pragma once

#include <memory>
#include <string>

#include "tools/demo/samplepage.h"

class IGIS_Document;
class IGIS_Map;
class IGIS_MapLayer;

namespace md::demo {

// The map frame of the sheet page, in page units (0.01 mm): 257 x 150 mm,
// 20 mm from the left and 35 mm from the bottom of the paper, leaving room
// below it for what follows the frame (scale bars).
constexpr int kSheetFrameLeft = 2000;
constexpr int kSheetFrameBottom = 3500;
constexpr int kSheetFrameRight = 27700;
constexpr int kSheetFrameTop = 18500;
// The lower-left corner of the sheet's legend, inside the frame's lower-right corner.
constexpr int kSheetLegendLeft = 24500;
constexpr int kSheetLegendBottom = 4000;
// The frame's outer border: a calibrated band 2 mm outside the frame, 5 mm
// wide, cut into pieces of one ground kilometre (20 mm at 1:50,000).
constexpr int kSheetBorderOffset = 200;
constexpr int kSheetBorderWidth = 500;
constexpr int kSheetBorderInterval = 2000;
// The sheet's scale: 1:50,000, as map metres per page unit.
constexpr double kSheetScale = 0.5;
// Magnetic declination of the sheet's area, degrees (west is negative).
constexpr double kSheetDeclination = -6.8;

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
