// The formatted and the mixed-font labels drawn for a look: round the test
// map, compared with their control pictures; and the kilometre numbers of
// the 1:50,000 sample sheet in the 7 mm gap between its frame and its
// kilometre band, with real fonts, checked to stay in the gap without
// touching each other.
#include <array>
#include <cstring>
#include <string>

#include "host/helmora/gis_mapfile.h"
#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "platform/canvas/cairo_canvas.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

constexpr const char* kControls = "tests/layout/graphicelement/grid/label/controls";

// Draws the frame and then the label (if any) on a printed page of the
// size, through the canvas, with the engine. A recording canvas keeps only
// the label's drawing.
void DrawPage(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi,
              md::text::TextEngine* engine, CGIS_MapElement* frame, IGIS_GridLabel* label) {
  DrawOnPrintedPage(canvas, widthMm, heightMm, dpi, engine, frame, [label](HDC hdc, IGIS_Display* display) {
    return label == nullptr || label->OnDraw(hdc, true, display);
  });
}

// The test map's page with a label in dark blue, the right and bottom sides
// turned, 1.5 mm off the frame, compared with its control picture.
class LabelRender : public LabelPage {
 public:
  void Render(IGIS_GridLabel* label, const char* name) {
    label->SetMapGrid(grid_);
    label->GetTextSymbolPtr()->SetColor(RGB(20, 40, 120));
    label->SetLabelAlignment(false, true, false, true);
    label->SetLabelOffsetX(150, 150, 0, 0);
    label->SetLabelOffsetY(0, 0, 150, 150);
    auto canvas = md::canvas::CairoCanvas::createPageImage(240.0, 200.0, 150);
    ASSERT_NE(canvas, nullptr);
    DrawPage(canvas.get(), 240.0, 200.0, 150, &md::text::FixedMetricsEngine(), frame_, label);
    EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + name + ".png"));
    EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas), kControls, name));
  }
};

TEST_F(LabelRender, FormattedLabelsRoundTheTestMap) {
  ReleasePtr<CGIS_FormattedGridLabel> label(new CGIS_FormattedGridLabel);
  Render(label.get(), "formatted_labels");
}

TEST_F(LabelRender, MixedFontLabelsRoundTheTestMap) {
  ReleasePtr<CGIS_MixedFontGridLabel> label(new CGIS_MixedFontGridLabel);
  grid_->GetGridSpacing()->SetUnits(1);  // kilometres
  grid_->GetGridSpacing()->SetXIntervalSize(1);
  grid_->GetGridSpacing()->SetYIntervalSize(1);
  label->GetSecondarySymbolText()->SetColor(RGB(150, 20, 20));
  label->GetZoneSymbolText()->SetColor(RGB(20, 110, 40));
  label->SetShowZone(true);
  Render(label.get(), "mixedfont_labels");
}

// The sample sheet: its frame at true scale with the band of the demo's map
// sheet (7 mm out, 3 mm wide), a measured grid double of 1 km and kilometre
// numbers in 7-point type, 1 mm off the frame.
class SampleSheet : public LabelPage {
 public:
  void SetUp() override {
    LabelPage::SetUp();
    GIS_SetSymbolTextEngine("freetype");
    doc_sheet_ = GIS_CreateDocumentObject();
    sheet_ = GIS_LoadMapFile(doc_sheet_,
                             (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/sheet_50k.geojson").c_str());
    ASSERT_NE(sheet_, nullptr);
    ASSERT_TRUE(set_->SetMapLayer(doc_sheet_->GetLayoutLayer()));
    ASSERT_TRUE(ShowSampleSheet(frame_, sheet_, kLeft, kBandOffset, kBandWidth));

    grid_->Release();
    grid_ = new MeasureGridDouble(sheet_->GetSpatialReference());
    grid_->SetMapElement(frame_);
    // Kilometres, one apart: the texts read 439, 440, ... and 4412, 4413, ...
    grid_->GetGridSpacing()->SetUnits(KilometreUnit());
    grid_->GetGridSpacing()->SetXIntervalSize(1);
    grid_->GetGridSpacing()->SetYIntervalSize(1);
    label_.reset(new CGIS_FormattedGridLabel);
    label_->SetMapGrid(grid_);
    LOGFONT* font = label_->GetTextSymbolPtr()->GetFontSizePtr();
    font->lfHeight = -7;
    std::strncpy(font->lfFaceName, "黑体", sizeof(font->lfFaceName) - 1);
    label_->SetLabelOffsetX(kGap, kGap, 0, 0);
    label_->SetLabelOffsetY(0, 0, kGap, kGap);
  }
  void TearDown() override {
    label_.reset();
    LabelPage::TearDown();
    if (doc_sheet_ != nullptr) doc_sheet_->Release();
    doc_sheet_ = nullptr;
  }
  static int KilometreUnit() {
    IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
    for (int i = 0; i < f->GetLinearUnitCount(); ++i) {
      if (f->GetLinearUnit(i)->GetFactor() == 1000.0) return i;
    }
    return 0;
  }
  // The sizes of the mixed-font label that fit the gap with the widest
  // labels ("4412" on the left and right) 0.5 mm clear of the band: first
  // parts of 6 points, second parts of 9, 0.5 mm off the frame.
  static void SetSheetSizes(CGIS_MixedFontGridLabel* label) {
    LOGFONT* first = label->GetTextSymbolPtr()->GetFontSizePtr();
    first->lfHeight = -6;
    std::strncpy(first->lfFaceName, "黑体", sizeof(first->lfFaceName) - 1);
    label->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight = -9;
    label->SetLabelOffsetX(kMixedGap, kMixedGap, 0, 0);
    label->SetLabelOffsetY(0, 0, kMixedGap, kMixedGap);
  }
  std::vector<std::array<double, 4>> BoxesInGap(IGIS_GridLabel* label);
  void WritePage(const std::string& name, IGIS_GridLabel* label);
  double PaperWidthMm() const { return (frame_->GetRect().right + kLeft) / 100.0; }
  double PaperHeightMm() const { return (frame_->GetRect().top + kBottom) / 100.0; }

  static constexpr int kLeft = 2000, kBottom = 2000, kBandOffset = 700, kBandWidth = 300, kGap = 100;
  static constexpr int kMixedGap = 50;
  IGIS_Document* doc_sheet_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  ReleasePtr<CGIS_FormattedGridLabel> label_;
};

// What the label draws by itself, recorded with the real fonts at 254 dpi
// (one device unit is 0.1 mm): each text's box (left, top, right, bottom,
// device units, y down), checked to lie in the gap and to touch no other.
std::vector<std::array<double, 4>> SampleSheet::BoxesInGap(IGIS_GridLabel* label) {
  md::canvas::RecordingCanvas recording(10000, 10000);
  DrawPage(&recording, PaperWidthMm(), PaperHeightMm(), 254, &md::text::FreeTypeEngine(), frame_, label);
  const SGIS_Rect f = frame_->GetRect();
  // The gap in device units of the recording (x = page x / 10, y = (paper top - page y) / 10).
  const double top = PaperHeightMm() * 100;
  const double fl = f.left / 10.0, fr = f.right / 10.0, ft = (top - f.top) / 10.0,
               fb = (top - f.bottom) / 10.0;
  const double gap = kBandOffset / 10.0;
  std::vector<std::array<double, 4>> boxes;
  for (const md::canvas::Record* r : recording.recordsOf(md::canvas::Record::Type::Text)) {
    double w = 0;
    for (double a : r->text.advances) w += a;
    const double em = r->text.font.emHeight;
    // A generous cell: the full em above the baseline, a quarter below.
    const std::array<double, 4> b{r->text.origin.x, r->text.origin.y - em, r->text.origin.x + w,
                                  r->text.origin.y + 0.25 * em};
    const bool inGap = (b[3] <= fb + gap && b[1] >= fb) || (b[3] <= ft && b[1] >= ft - gap) ||
                       (b[0] >= fr && b[2] <= fr + gap) || (b[2] <= fl && b[0] >= fl - gap);
    EXPECT_TRUE(inGap) << r->text.text << " at " << b[0] << ", " << b[1];
    // Parts of one label abut, and the drawer puts each on a whole pixel: a
    // touch within one device unit is no overlap.
    constexpr double kTouch = 1.0;
    for (const auto& o : boxes) {
      const bool overlap =
          b[0] < o[2] - kTouch && o[0] < b[2] - kTouch && b[1] < o[3] - kTouch && o[1] < b[3] - kTouch;
      EXPECT_FALSE(overlap) << r->text.text << " at " << b[0] << ", " << b[1];
    }
    boxes.push_back(b);
  }
  return boxes;
}

void SampleSheet::WritePage(const std::string& name, IGIS_GridLabel* label) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(PaperWidthMm(), PaperHeightMm(), 254);
  ASSERT_NE(canvas, nullptr);
  DrawPage(canvas.get(), PaperWidthMm(), PaperHeightMm(), 254, &md::text::FreeTypeEngine(), frame_, label);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + name));
}

TEST_F(SampleSheet, KilometreNumbersStandInTheGapBetweenFrameAndBand) {
  // The sheet is about 21.5 km wide and 18.7 km high: a number for each
  // kilometre on each side.
  EXPECT_GE(BoxesInGap(label_.get()).size(), 2u * 21 + 2 * 18);
  // For a look at full size.
  WritePage("sample_sheet_kilometres.png", label_.get());
}

// The mixed-font label as the sheet's measured grid's own label, in the
// sizes that fit the gap: the full number at the first and last label of
// each side, the last two digits larger everywhere.
TEST_F(SampleSheet, MixedFontKilometreNumbersStandInTheGapToo) {
  IGIS_MapGrid* made = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE);
  auto* grid = dynamic_cast<IGIS_MeasureGrid*>(made);
  ASSERT_NE(grid, nullptr);
  grid->SetMapElement(frame_);
  grid->SetSpatialReference(sheet_->GetSpatialReference());
  grid->GetGridSpacing()->SetUnits(KilometreUnit());
  grid->GetGridSpacing()->SetXIntervalSize(1);
  grid->GetGridSpacing()->SetYIntervalSize(1);
  ReleasePtr<CGIS_MixedFontGridLabel> mixed(new CGIS_MixedFontGridLabel);
  SetSheetSizes(mixed.get());
  grid->SetLabelFormat(mixed.get());
  ASSERT_TRUE(frame_->GetMapGrids()->AddMapGrid(grid));
  IGIS_GridLabel* label = grid->GetLabelFormat();
  ASSERT_EQ(label->GetType(), GIS_GRIDLABEL_MIXEDFONT);

  const std::vector<std::array<double, 4>> boxes = BoxesInGap(label);
  // Two digits on each line, two more at the ends of each side.
  EXPECT_GE(boxes.size(), 2u * 21 + 2 * 18 + 8);
  EXPECT_LE(boxes.size(), 2u * 23 + 2 * 20 + 8);
  // The sheet's page with the grid's lines and labels, for a look at full
  // size, beside the same grid with the formatted label.
  WritePage("sample_sheet_kilometres_mixed.png", nullptr);
  grid->SetLabelFormat(label_.get());
  WritePage("sample_sheet_kilometres_formatted.png", nullptr);
}

}  // namespace
}  // namespace md::test
