// The graticule of 4 x 4 fixed rows and columns over the 1:50 000 sample
// sheet (Gauss-Kruger: its parallels bend) and over the 1:1 000 000 region
// (a map in degrees), printed with cairo: written to PNG for a look and
// compared with their control pictures; converted into plain elements and
// printed again, each looks the same.
#include <string>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "tests/layout/graphicelement/grid/graticulemn/mntest.h"
#include "tests/support/recordingdevices.h"
#include "tests/support/rendercheck.h"

namespace {

using md::test::MNPage;

constexpr int kDpi = 100;
constexpr const char* kControls = "tests/layout/graphicelement/grid/graticulemn/controls";

class MNRender : public MNPage {
 protected:
  // The frames (with their grids) and the extra elements printed on a paper
  // of 400 x 300 mm whose top-left corner is the page point (0, 30000).
  std::unique_ptr<md::canvas::CairoCanvas> Print(const std::vector<IGIS_Element*>& extra = {}) {
    return md::test::PrintWithCairo(400.0, 300.0, kDpi, SGIS_Point(0, 30000), [&](HDC hdc, IGIS_Display* d) {
      for (CGIS_MapElement* f : frames_) EXPECT_TRUE(f->OnDraw(hdc, true, d));
      for (IGIS_Element* e : extra) EXPECT_TRUE(e->OnDraw(hdc, true, d));
    });
  }

  // Prints the frame with a 4 x 4 grid over it, checks the picture against
  // its control, converts the grid and prints the conversion in its place.
  void DrawConvertAndCompare(CGIS_MapElement* frame, const std::string& name, long long allowed) {
    // Lines wide enough to keep a core of flat pixels that the check compares.
    CGIS_GraticuleMNGrid* grid = md::test::NewMNGrid(frame, 0.5);
    grid->SetTickLength(300.0);
    grid->SetSubTickLength(150.0);
    ASSERT_TRUE(frame->GetMapGrids()->AddMapGrid(grid));
    auto drawn = Print();
    ASSERT_NE(drawn, nullptr);
    EXPECT_TRUE(drawn->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + name + ".png"));
    const md::canvas::Raster picture = md::canvas::ReadRaster(*drawn);
    EXPECT_TRUE(md::test::MatchesControl(picture, kControls, name));

    IGIS_Element* converted = grid->ConvertToElement();
    ASSERT_NE(converted, nullptr);
    frame->GetMapGrids()->DeleteMapGrids(grid);
    grid->Release();
    auto again = Print({converted});
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + name + "_converted.png"));
    // The conversion samples its lines otherwise: a few pixels along the
    // edges may differ, nothing more.
    const long long differing = md::test::MaskedDifference(picture, md::test::AntialiasMask(picture),
                                                           md::canvas::ReadRaster(*again), 96);
    EXPECT_GE(differing, 0);
    EXPECT_LE(differing, allowed);
    DropCompound(dynamic_cast<IGIS_CompoundElement*>(converted));
  }
};

TEST_F(MNRender, OverTheProjectedSheet) {
  DrawConvertAndCompare(WholeSheetFrame(), "graticulemn_sheet", 150);
}

TEST_F(MNRender, OverTheRegionInDegrees) {
  DrawConvertAndCompare(Frame(region_, SGIS_DRect(114.0, 40.0, 120.0, 36.0), 2.5e-4, SGIS_Point(5000, 5000)),
                        "graticulemn_region", 150);
}

}  // namespace
