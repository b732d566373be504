// The table of grid border bands and the walk run on a row.
#include "tests/layout/graphicelement/grid/gridborder/gridbordertest.h"

#include <cstdlib>

#include "host/display/igis_display.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"

namespace md::test {

namespace {

IGIS_Symbol* const kBack = reinterpret_cast<IGIS_Symbol*>(0x1000);
IGIS_Symbol* const kFore = reinterpret_cast<IGIS_Symbol*>(0x2000);

// The bars laid round a 1130 x 805 frame with W 50 and I 200.
std::vector<ExpectedPiece> Example1130() {
  return {
      {1, 'B', {0, 805, 200, 805, 200, 855, -50, 855}},
      {2, 'F', {200, 805, 400, 805, 400, 855, 200, 855}},
      {3, 'B', {400, 805, 600, 805, 600, 855, 400, 855}},
      {4, 'F', {600, 805, 800, 805, 800, 855, 600, 855}},
      {5, 'B', {800, 805, 1000, 805, 1000, 855, 800, 855}},
      {6, 'F', {1000, 805, 1130, 805, 1180, 855, 1000, 855}},
      {7, 'F', {1130, 805, 1130, 735, 1180, 735, 1180, 855}},
      {8, 'B', {1130, 735, 1130, 535, 1180, 535, 1180, 735}},
      {9, 'F', {1130, 535, 1130, 335, 1180, 335, 1180, 535}},
      {10, 'B', {1130, 335, 1130, 135, 1180, 135, 1180, 335}},
      {11, 'F', {1130, 135, 1130, 0, 1180, -50, 1180, 135}},
      {12, 'F', {1130, 0, 1180, -50, 1065, -50, 1065, 0}},
      {13, 'B', {1065, 0, 1065, -50, 865, -50, 865, 0}},
      {14, 'F', {865, 0, 865, -50, 665, -50, 665, 0}},
      {15, 'B', {665, 0, 665, -50, 465, -50, 465, 0}},
      {16, 'F', {465, 0, 465, -50, 265, -50, 265, 0}},
      {17, 'B', {265, 0, 265, -50, 65, -50, 65, 0}},
      {18, 'F', {65, 0, 65, -50, -50, -50, 0, 0}},
      {19, 'F', {0, 0, -50, -50, -50, 135, 0, 135}},
      {20, 'B', {0, 135, -50, 135, -50, 335, 0, 335}},
      {21, 'F', {0, 335, -50, 335, -50, 535, 0, 535}},
      {22, 'B', {0, 535, -50, 535, -50, 735, 0, 735}},
      {23, 'F', {0, 735, -50, 735, -50, 855, 0, 805}},
  };
}

// The alternating form's letters for a calibrated order: each bar's inner
// piece in the bar's symbol, its outer piece in the other one.
std::string Paired(const std::string& order) {
  std::string s;
  for (char c : order) {
    if (c == ' ') continue;
    s += c;
    s += c == 'B' ? 'F' : 'B';
  }
  return s;
}

// A row round the rectangle (0, 0)-(right, top) with the band's width and
// interval, calibrated unless alternating.
BandRow Row(const char* name, std::int32_t right, std::int32_t top, int width, int interval, bool alternating,
            std::string order, std::vector<ExpectedPiece> pieces = {},
            BandSymbols symbols = BandSymbols::kDistinct, bool zeroArea = false) {
  return BandRow{name,   0,       right, top, 0, width, interval, alternating, symbols, std::move(order),
                 pieces, zeroArea};
}

std::vector<BandRow> MakeRows() {
  const std::string k1000x800 = "BFBFB FBFB FBFBF BFBF";
  const std::string k1130x805 = "BFBFBF FBFBF FBFBFBF FBFBF";
  const std::string k10000x8000 = "BFBFBFBFBF BFBFBFBF BFBFBFBFBF BFBFBFBF";
  return {
      // The worked example of the calibrated band (1130 x 805, width 50, bars
      // of 200): bars turning three corners (130 + 70, 135 + 65, 65 + 135) and the left side's
      // remainder, which the top-left corner does not continue.
      Row("Calibrated1130x805", 1130, 805, 50, 200, false, k1130x805, Example1130()),
      // The worked example of the alternating band (1000 x 800, width 51, bars
      // of 200): two bands of 25, both cut on the corner diagonals out to 50.
      Row("Alternating1000x800W51", 1000, 800, 51, 200, true, Paired(k1000x800),
          {{1, 'B', {0, 800, 200, 800, 200, 825, -25, 825}},
           {2, 'F', {-25, 825, 200, 825, 200, 850, -50, 850}},
           {3, 'F', {200, 800, 400, 800, 400, 825, 200, 825}},
           {4, 'B', {200, 825, 400, 825, 400, 850, 200, 850}},
           {9, 'B', {800, 800, 1000, 800, 1025, 825, 800, 825}},
           {10, 'F', {800, 825, 1025, 825, 1050, 850, 800, 850}},
           {11, 'F', {1000, 800, 1000, 600, 1025, 600, 1025, 825}},
           {12, 'B', {1025, 825, 1025, 600, 1050, 600, 1050, 850}},
           {27, 'F', {200, 0, 200, -25, -25, -25, 0, 0}},
           {28, 'B', {200, -25, 200, -50, -50, -50, -25, -25}},
           {29, 'B', {0, 0, -25, -25, -25, 200, 0, 200}},
           {30, 'F', {-25, -25, -50, -50, -50, 200, -25, 200}},
           {35, 'F', {0, 600, -25, 600, -25, 825, 0, 800}},
           {36, 'B', {-25, 600, -50, 600, -50, 850, -25, 825}}}),
      // The alternating form of the calibrated example: 46 pieces, the first
      // pair at the top-left corner, the last pair the left side's remainder.
      Row("Alternating1130x805", 1130, 805, 50, 200, true, Paired(k1130x805),
          {{1, 'B', {0, 805, 200, 805, 200, 830, -25, 830}},
           {2, 'F', {-25, 830, 200, 830, 200, 855, -50, 855}},
           {45, 'F', {0, 735, -25, 735, -25, 830, 0, 805}},
           {46, 'B', {-25, 735, -50, 735, -50, 855, -25, 830}}}),
      // Whole bars only: every side starts afresh in the next symbol.
      Row("Bars1000x800", 1000, 800, 50, 200, false, k1000x800,
          {{5, 'B', {800, 800, 1000, 800, 1050, 850, 800, 850}}}),
      // A leftover of 9 lengthens the top side's last bar to 209; the right
      // side starts with a fresh lead bar.
      Row("Leftover9", 1009, 800, 50, 200, false, k1000x800,
          {{5, 'B', {800, 800, 1009, 800, 1059, 850, 800, 850}},
           {6, 'F', {1009, 800, 1009, 600, 1059, 600, 1059, 850}}}),
      // A leftover of 10 makes a whole bar and a remainder of 10; the right
      // side continues that bar with 190 in the same symbol.
      Row("Leftover10", 1010, 800, 50, 200, false, "BFBFBF FBFBF FBFBFB BFBFB",
          {{5, 'B', {800, 800, 1000, 800, 1000, 850, 800, 850}},
           {6, 'F', {1000, 800, 1010, 800, 1060, 850, 1000, 850}},
           {7, 'F', {1010, 800, 1010, 610, 1060, 610, 1060, 850}}}),
      // The left side's remainder takes its own, toggled symbol: two bars
      // in B meet at the top-left corner.
      Row("LeftRemainder", 1000, 810, 50, 200, false, "BFBFB FBFBF FBFBFB BFBFB",
          {{1, 'B', {0, 810, 200, 810, 200, 860, -50, 860}},
           {21, 'B', {0, 790, -50, 790, -50, 860, 0, 810}}}),
      Row("SameSymbols", 1130, 805, 50, 200, false, "BBBBBB BBBBB BBBBBBB BBBBB", {}, BandSymbols::kSame),
      // Without a background every second bar, from the first, stays empty.
      Row("NullBackground", 1130, 805, 50, 200, false, "-F-F-F F-F-F F-F-F-F F-F-F", {},
          BandSymbols::kNullBackground),
      // Sides shorter than two bars: the top side's whole bar lies over its
      // lead bar; the others start theirs at the running position and reach
      // past the side's end.
      Row("ShortSides", 300, 150, 50, 200, false, "BFB BFB BFB BFB",
          {{1, 'B', {0, 150, 200, 150, 200, 200, -50, 200}},
           {2, 'F', {0, 150, 200, 150, 200, 200, 0, 200}},
           {3, 'B', {200, 150, 300, 150, 350, 200, 200, 200}},
           {5, 'F', {300, 50, 300, -150, 350, -150, 350, 50}},
           {8, 'F', {150, 0, 150, -50, -50, -50, -50, 0}},
           {12, 'B', {0, 50, -50, 50, -50, 200, 0, 150}}}),
      // A side shorter than 10 after a clean corner: its end bar starts a
      // bar's length before the side's start.
      Row("EndBarBeforeStart", 1000, 5, 50, 200, false, "BFBFB FB FBFBF BF",
          {{7, 'B', {1000, 205, 1000, 0, 1050, -50, 1050, 205}},
           {14, 'F', {0, -200, -50, -200, -50, 55, 0, 5}}}),
      // 10, 8, 10 and 8 bars, taking turns along the whole walk.
      Row("Calibrated10000x8000", 10000, 8000, 200, 1000, false, k10000x8000),
      Row("Alternating10000x8000", 10000, 8000, 200, 1000, true, Paired(k10000x8000)),
      // A negative width lays both bands inside the rectangle.
      Row("NegativeWidthInside", 1000, 800, -51, 200, true, Paired(k1000x800),
          {{1, 'B', {0, 800, 200, 800, 200, 775, 25, 775}},
           {2, 'F', {25, 775, 200, 775, 200, 750, 50, 750}},
           {9, 'B', {800, 800, 1000, 800, 975, 775, 800, 775}},
           {10, 'F', {800, 775, 975, 775, 950, 750, 800, 750}}}),
      // Half widths of 0: every quadrilateral is flat.
      Row("AlternatingW1", 1000, 800, 1, 200, true, Paired(k1000x800),
          {{1, 'B', {0, 800, 200, 800, 200, 800, 0, 800}}}, BandSymbols::kDistinct, true),
      Row("AlternatingW0", 1000, 800, 0, 200, true, Paired(k1000x800), {}, BandSymbols::kDistinct, true),
  };
}

}  // namespace

md::layout::border::BorderRing ExpectedPiece::Ring() const {
  return md::layout::border::MakeRing(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
}

const std::vector<BandRow>& kBandRows() {
  static const std::vector<BandRow> rows = MakeRows();
  return rows;
}

IGIS_Symbol* BackOf(const BandRow& row) {
  switch (row.symbols) {
    case BandSymbols::kSame:
      return kFore;
    case BandSymbols::kNullBackground:
      return nullptr;
    case BandSymbols::kDistinct:
      break;
  }
  return kBack;
}
IGIS_Symbol* ForeOf(const BandRow&) { return kFore; }

md::layout::border::PieceSink Collect(std::vector<LaidPiece>* out) {
  return [out](const md::layout::border::BorderRing& ring, IGIS_Symbol* symbol) {
    out->push_back({ring, symbol});
  };
}

std::vector<LaidPiece> LayBand(const BandRow& row, const char* szMethod) {
  std::vector<LaidPiece> laid;
  const SGIS_Rect rect(row.left, row.top, row.right, row.bottom);
  md::layout::border::WalkCalibratedBand(rect, row.width, row.interval, row.alternating, BackOf(row),
                                         ForeOf(row), Collect(&laid), szMethod,
                                         md::layout::border::ShortSides::kByCounts);
  return laid;
}

std::string SymbolOrder(const BandRow& row, const std::vector<LaidPiece>& laid) {
  std::string order;
  for (const LaidPiece& p : laid) {
    if (p.symbol == nullptr)
      order += '-';
    else if (row.symbols == BandSymbols::kSame || p.symbol == kBack)
      order += 'B';
    else
      order += 'F';
  }
  return order;
}

std::string Squeezed(const std::string& order) {
  std::string s;
  for (char c : order)
    if (c != ' ') s += c;
  return s;
}

std::int64_t TwiceArea(const md::layout::border::BorderRing& ring) {
  std::int64_t a = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i)
    a += static_cast<std::int64_t>(ring[i].x) * ring[i + 1].y -
         static_cast<std::int64_t>(ring[i + 1].x) * ring[i].y;
  return std::llabs(a);
}

IGIS_Symbol* NewFill(COLORREF colour) {
  IGIS_Symbol* s = NewSymbol(GIS_SYMBOL_FILL, colour);
  s->SetLineWidth(0.0);  // filled without an outline
  return s;
}

void GridBorderPage::SetUp() {
  GIS_SetSymbolTextEngine("fixed");
  GridPage::SetUp();
  grid_ = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX);
  ASSERT_NE(grid_, nullptr);
  grid_->SetMapElement(frame_);
}

void GridBorderPage::TearDown() {
  md::layout::InstallElementHooks();
  if (grid_ != nullptr) grid_->Release();
  GridPage::TearDown();
  GIS_SetSymbolTextEngine("freetype");
}

IGIS_MapGridBorder* GridBorderPage::BorderOf(const BandRow& row) {
  frame_->SetRect(SGIS_Rect(row.left, row.top, row.right, row.bottom));
  IGIS_MapGridBorder* b = grid_->GetBorder();
  b->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
  b->SetAlternating(row.alternating);
  b->SetBorderWidth(row.width);
  b->SetInterval(row.interval);
  Owned<IGIS_Symbol> back(NewFill(kBackColour));
  Owned<IGIS_Symbol> fore(NewFill(kForeColour));
  b->SetBackgroundSymbolPtr(row.symbols == BandSymbols::kNullBackground ? nullptr : back.get());
  b->SetForegroundSymbolPtr(fore.get());
  return b;
}

std::vector<Painted> GridBorderPage::DrawnOnPrinter(IGIS_MapGridBorder* border) {
  Printer printer;
  EXPECT_TRUE(border->Draw(printer.hdc, true, printer.display.get()));
  return PaintedOf(printer.canvas);
}

std::vector<Painted> GridBorderPage::Expected(const BandRow& row) {
  Printer printer;
  IGIS_DisplayView* view = printer.display->GetView();
  std::vector<Painted> out;
  for (const LaidPiece& p : LayBand(row)) {
    if (p.symbol == nullptr) continue;
    md::layout::border::BorderRing device = p.ring;
    view->PageToDevicePoints(device.data(), static_cast<int>(device.size()), page_);
    Painted painted{{}, true, p.symbol == BackOf(row) ? kBackColour : kForeColour};
    for (const SGIS_Point& d : device) {
      POINT px{d.x, d.y};  // the print context's logical units, then its pixels
      view->LogicalToDevice(&px);
      painted.points.push_back({static_cast<double>(px.x), static_cast<double>(px.y)});
    }
    out.push_back(painted);
  }
  return out;
}

std::vector<Painted> GridBorderPage::DrawConverted(IGIS_Element* compound) {
  Printer printer;
  if (compound != nullptr) compound->OnDraw(printer.hdc, true, printer.display.get());
  return PaintedOf(printer.canvas);
}

void GridBorderPage::Discard(IGIS_Element* compound) {
  DropCompound(dynamic_cast<IGIS_CompoundElement*>(compound));
}

}  // namespace md::test
