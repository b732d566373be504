// Shared pieces of the map borders' tests: a layout page whose elements
// stand in for map frames, displays over recording canvases, symbols, the
// stored bytes of a border, and what a drawing filled or stroked.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/border/mapborderpieces.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/logmark.h"
#include "tests/support/owned.h"
#include "tests/support/recordeddrawing.h"

namespace md::test {

inline IGIS_Symbol* NewFill(COLORREF color) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  s->SetColor(color);
  s->SetLineWidth(0.0);
  return s;
}
inline IGIS_Symbol* NewLine(COLORREF color, double widthMm) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE);
  s->SetColor(color);
  s->SetLineWidth(widthMm);
  return s;
}

// The stored bytes of a symbol (empty for NULL).
std::vector<BYTE> SymbolBytes(IGIS_Symbol* s);
// The bytes a border's Save writes into a fresh buffer.
std::vector<BYTE> Stored(IGIS_MapBorder* border);
// A buffer holding the bytes (caller releases).
IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes);

// A piece laid by a walk: its ring and its symbol.
struct LaidPiece {
  md::layout::border::BorderRing ring;
  IGIS_Symbol* symbol;
};
md::layout::border::PieceSink Collect(std::vector<LaidPiece>* out);

// A layout page: a feature set in 0.01 mm whose rectangle elements stand in
// for the map frames that borders convert around.
class BorderPage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A rectangle element of the page with the rectangle.
  IGIS_Element* Frame(SGIS_Rect rect);
  // Draws the elements of a converted compound on a new printer page.
  std::vector<Painted> DrawConverted(IGIS_Element* compound);
  // Removes an element made by a conversion from the page.
  void Discard(IGIS_Element* e);

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
};

}  // namespace md::test
