// The degrees-minutes-seconds labels drawn for a look, each through its
// graticule: round the 1:1,000,000 sample map (in degrees), in the standard
// and the stacked display, compared with their control pictures; and the
// corner labels of the 1:50,000 sample sheet, whose frame is the sheet's
// Gauss-Kruger rectangle, so that its meridians and parallels meet the
// frame off the corners and each corner keeps one label.
#include <cstring>
#include <string>

#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "platform/canvas/cairo_canvas.h"
#include "tests/layout/graphicelement/grid/label/dmslabeltest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

constexpr const char* kControls = "tests/layout/graphicelement/grid/label/controls";

// Draws the frame and then the grid (its border, labels and lines) on a
// printed page of the size, through the canvas, with the engine. A
// recording canvas keeps only the grid's drawing.
void DrawGridPage(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi,
                  md::text::TextEngine* engine, CGIS_MapElement* frame, IGIS_MapGrid* grid) {
  DrawOnPrintedPage(canvas, widthMm, heightMm, dpi, engine, frame,
                    [grid](HDC hdc, IGIS_Display* display) { return grid->OnDraw(hdc, true, display); });
}

CGIS_DMSGridLabel* LabelOf(IGIS_MapGrid* grid) {
  return dynamic_cast<CGIS_DMSGridLabel*>(grid->GetLabelFormat());
}

// The region map, 114°E to 120°E and 36°N to 40°N, in a 180 x 120 mm frame
// with a graticule of 1 degree (thin grey lines) and its own DMS label.
class DmsRender : public DmsPage {
 public:
  void SetUp() override {
    DmsPage::SetUp();
    frame_->SetRect(SGIS_Rect(2500, 15000, 20500, 3000));
    frame_->SetMapBound(SGIS_DRect(114, 40, 120, 36));
    grid_->GetGridSpacing()->SetXIntervalSize(1);
    grid_->GetGridSpacing()->SetYIntervalSize(1);
    ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
    line->SetColor(RGB(150, 150, 150));
    line->SetLineWidth(0.1);
    grid_->SetLineSymbol(line.get());
    grid_->SetTickVisible(false, false, false, false);
    grid_->SetSubTickVisible(false, false, false, false);
    ASSERT_NE(LabelOf(grid_), nullptr);
    LabelOf(grid_)->GetTextSymbolPtr()->SetColor(RGB(20, 40, 120));
  }
  void Render(const char* name) {
    auto canvas = md::canvas::CairoCanvas::createPageImage(230.0, 180.0, 150);
    ASSERT_NE(canvas, nullptr);
    DrawGridPage(canvas.get(), 230.0, 180.0, 150, &md::text::FixedMetricsEngine(), frame_, grid_);
    EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + name + ".png"));
    EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), kControls, name));
  }
};

TEST_F(DmsRender, StandardLabelsRoundAMapInDegrees) {
  // Degrees, minutes and seconds to a tenth; the right side turned.
  LabelOf(grid_)->SetLabelAlignment(false, true, false, false);
  Render("dms_standard");
}

TEST_F(DmsRender, StackedLabelsRoundAMapInDegrees) {
  CGIS_DMSGridLabel* label = LabelOf(grid_);
  label->SetDMSLabelType(GIS_DMSLABEL_STACKED);
  label->SetShowSeconds(false);  // degrees and minutes
  label->SetDecimalDigits(0);
  label->GetSecondsSymbolText()->SetColor(RGB(170, 40, 30));
  label->GetSecondsSymbolText()->GetFontSizePtr()->lfHeight = -6;
  label->SetLabelAlignment(false, false, false, true);  // the bottom turned
  Render("dms_stacked");
}

// The 1:50,000 sample sheet J50E001009 in a frame of its Gauss-Kruger
// rectangle at true scale, with the demo sheet's band (7 mm out, 3 mm wide)
// and a graticule of 15′ by 10′ without lines whose labels show degrees and
// minutes outside the band.
class SheetCorners : public DmsPage {
 public:
  void SetUp() override {
    DmsPage::SetUp();
    GIS_SetSymbolTextEngine("freetype");
    sheet_ = LoadSampleMap(doc_, "sheet_50k.geojson");
    ASSERT_NE(sheet_, nullptr);
    ASSERT_TRUE(ShowSampleSheet(frame_, sheet_, kMargin, kBandOffset, kBandWidth));

    IGIS_GridSpacing* spacing = grid_->GetGridSpacing();
    spacing->SetUnits(2);  // minutes
    spacing->SetXIntervalSize(15);
    spacing->SetYIntervalSize(10);
    grid_->SetGridlineType(GIS_GRIDLINE_NONE);
    grid_->SetTickVisible(false, false, false, false);
    grid_->SetSubTickVisible(false, false, false, false);
    CGIS_DMSGridLabel* label = LabelOf(grid_);
    ASSERT_NE(label, nullptr);
    label->SetShowSeconds(false);  // degrees and minutes: "116°00′"
    label->SetDecimalDigits(0);
    LOGFONT* font = label->GetTextSymbolPtr()->GetFontSizePtr();
    font->lfHeight = -9;
    std::strncpy(font->lfFaceName, "宋体", sizeof(font->lfFaceName) - 1);
    label->SetLabelOffsetX(kLabelOffset, kLabelOffset, 0, 0);
    label->SetLabelOffsetY(0, 0, kLabelOffset, kLabelOffset);
  }
  double PaperWidthMm() const { return (frame_->GetRect().right + kMargin) / 100.0; }
  double PaperHeightMm() const { return (frame_->GetRect().top + kMargin) / 100.0; }

  // Past the band: 7 mm out and 3 mm wide.
  static constexpr int kMargin = 2500, kBandOffset = 700, kBandWidth = 300, kLabelOffset = 1100;
  IGIS_Map* sheet_ = nullptr;
};

TEST_F(SheetCorners, EachCornerKeepsOneLabelOutsideTheBand) {
  // Recorded at 254 dpi: one device unit is 0.1 mm, y down from the paper's top.
  md::canvas::RecordingCanvas recording(10000, 10000);
  DrawGridPage(&recording, PaperWidthMm(), PaperHeightMm(), 254, &md::text::FreeTypeEngine(), frame_, grid_);
  const SGIS_Rect f = frame_->GetRect();
  const double top = PaperHeightMm() * 100;
  const CanvasFrame device{f.left / 10.0, f.right / 10.0, (top - f.top) / 10.0, (top - f.bottom) / 10.0};
  const std::vector<Placed> all = PlacedOf(recording);
  ASSERT_EQ(all.size(), 4u);
  // The south-west corner lies on the left edge above the bottom one, the
  // south-east corner on the bottom edge left of the right one, and so on
  // round the sheet: one label each.
  EXPECT_EQ(TextsOn(all, kBottom, device), std::vector<std::string>{"116°15′"});
  EXPECT_EQ(TextsOn(all, kTop, device), std::vector<std::string>{"116°00′"});
  EXPECT_EQ(TextsOn(all, kLeft, device), std::vector<std::string>{"39°50′"});
  EXPECT_EQ(TextsOn(all, kRight, device), std::vector<std::string>{"40°00′"});
  // Outside the band, 11 mm off the frame.
  const double band = (kBandOffset + kBandWidth) / 10.0;
  EXPECT_GE(OnSide(all, kBottom, device)[0].top, device.bottom + band);
  EXPECT_LE(OnSide(all, kTop, device)[0].bottom, device.top - band);
  EXPECT_LE(OnSide(all, kLeft, device)[0].right, device.left - band);
  EXPECT_GE(OnSide(all, kRight, device)[0].left, device.right + band);

  // For a look at full size.
  auto canvas = md::canvas::CairoCanvas::createPageImage(PaperWidthMm(), PaperHeightMm(), 254);
  ASSERT_NE(canvas, nullptr);
  DrawGridPage(canvas.get(), PaperWidthMm(), PaperHeightMm(), 254, &md::text::FreeTypeEngine(), frame_,
               grid_);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/sample_sheet_corners.png"));
}

}  // namespace
}  // namespace md::test
