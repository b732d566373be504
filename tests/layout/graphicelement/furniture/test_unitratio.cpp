// Texts drawn at the sizes the page's unit ratio lays them: a symbol unit
// takes the unit ratio in page units in the layouts, bounds and conversions,
// and the drawing gives every text that size at every ratio.
#include <functional>
#include <vector>

#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"
#include "layout/graphicelement/text/cgis_textelement.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

class UnitRatioDrawing : public FurniturePage {
 public:
  template <class T>
  IGIS_Element* Make() {
    return New<T>();
  }

 protected:
  // The mean em height of the texts the element draws on a screen, in
  // page units; 0 when it draws none.
  double DrawnEm(IGIS_Element* e) {
    Screen screen;
    EXPECT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
    const std::vector<const md::canvas::TextRun*> runs = screen.Runs();
    double sum = 0.0;
    for (const md::canvas::TextRun* r : runs) sum += r->font.emHeight;
    const double pixelsPerUnit = screen.Device(0, 0).y - screen.Device(0, 1000).y;
    return runs.empty() ? 0.0 : sum / static_cast<double>(runs.size()) / (pixelsPerUnit / 1000.0);
  }
};

// Every element's texts grow with the unit ratio as its layout does: at a
// ratio r they are r / GIS_SYMBOL_UNIT_PAGE_RATIO times their size at the
// default ratio.
TEST_F(UnitRatioDrawing, TextsTakeTheSizeTheUnitRatioLaysThem) {
  const struct {
    const char* name;
    std::function<IGIS_Element*(UnitRatioDrawing&)> make;
  } rows[] = {
      {"text", [](UnitRatioDrawing& t) { return t.Make<CGIS_TextElement>(); }},
      {"scale text", [](UnitRatioDrawing& t) { return t.Make<CGIS_ScaleTextElement>(); }},
      {"map index", [](UnitRatioDrawing& t) { return t.Make<CGIS_MapIndexElement>(); }},
      {"slope rule", [](UnitRatioDrawing& t) { return t.Make<CGIS_SlopeElement>(); }},
      {"three-north", [](UnitRatioDrawing& t) { return t.Make<CGIS_ThreeNorthElement>(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    IGIS_Element* e = row.make(*this);
    e->SetLBpoint(SGIS_Point(2000, 2000, 0));
    ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));
    const double atDefault = DrawnEm(e);
    ASSERT_GT(atDefault, 0.0);
    for (double ratio : {10.0, 3.0}) {
      SCOPED_TRACE(ratio);
      ASSERT_TRUE(set_->SetUnitRatio(ratio));
      const double expected = atDefault * ratio / GIS_SYMBOL_UNIT_PAGE_RATIO;
      EXPECT_NEAR(DrawnEm(e), expected, expected * 0.02);
    }
  }
}

}  // namespace
}  // namespace md::test
