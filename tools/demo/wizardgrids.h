// The two grids a user makes on the map sheet with the grid wizard, built
// the way the wizard's grids page builds them, from the pages' values and
// without a window: a graticule every 5′ drawn as lines with labels in
// degrees and minutes, and a kilometre grid every 1000 m in the sheet's own
// Gauss-Krüger reference drawn as ticks with labels, whose lines fall on the
// kilometre band's 20 mm pieces.
#pragma once

class IGIS_MapElement;

namespace md::demo {

class MapDocument;

// The grids' names, as the wizard's user types them.
constexpr const char* kWizardGraticuleName = "经纬网";
constexpr const char* kWizardKilometreName = "方里网";

// Adds the graticule, then the kilometre grid, to the frame's grid list and
// binds them to the frame. False (nothing more added) when a grid cannot be
// made or the list refuses it.
bool AddWizardGrids(const MapDocument& doc, IGIS_MapElement* frame);

}  // namespace md::demo
