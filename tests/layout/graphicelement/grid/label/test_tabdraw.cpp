// The index tab styles drawn and converted: each style's rings filled and
// outlined in order and converted into the same rings, the designations
// centred in their tabs and converted where they were drawn, the sides and
// symbols left out, the text scale, and the styles on the real index grid.
#include <cmath>
#include <string>
#include <vector>

#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/win/cdc.h"
#include "tests/layout/graphicelement/grid/label/tabtest.h"
#include "tests/support/recordedtexts.h"

namespace md::test {
namespace {

using md::layout::label::TabRing;

std::vector<SGIS_Point> PointsOf(const TabRing& r) {
  return std::vector<SGIS_Point>(r.points.begin(), r.points.begin() + r.nCount);
}

// The points of a converted polygon or polyline.
std::vector<SGIS_Point> PointsOf(IGIS_Element* e) {
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  std::vector<SGIS_Point> out;
  for (int i = 0; i < g->GetPointCount(); ++i) {
    const SGIS_Point p = g->GetPoint(i, 0);
    out.emplace_back(p.x, p.y);
  }
  return out;
}

IGIS_CompoundElement* AsCompound(IGIS_Element* e) { return dynamic_cast<IGIS_CompoundElement*>(e); }

void SetVisible(IGIS_GridLabel* style, bool left, bool top, bool right, bool bottom) {
  dynamic_cast<md::layout::label::GridLabelState&>(*style).SetLabelVisible(left, top, right, bottom);
}

class TabDrawing : public TabPage {
 public:
  void SetUp() override {
    TabPage::SetUp();
    grid_->columns = 4;
    grid_->rows = 3;
  }
};

// Ring by ring, the fill and then the outline, on all four sides; converted,
// a polygon and a polyline of the very ring drawn, and the compound of the
// texts last.
TEST_F(TabDrawing, EveryStyleFillsAndOutlinesItsRingsAndConvertsThemIntoTheSameRings) {
  for (int type : kTabTypes) {
    for (bool outside : {false, true}) {
      SCOPED_TRACE(std::to_string(type) + (outside ? " outside" : " inside"));
      grid_->columns = 3;  // 20000 units do not divide by 3: tabs end on rounded cells
      TabStylePtr style = BoundStyle(type);
      style->SetInside(outside);
      LabelPrinter printer;
      ASSERT_TRUE(Draw(style.get(), &printer));
      const std::vector<PaintedRing> painted = PaintedRingsOf(printer.canvas);
      const std::vector<TabRing> rings = Rings(style.get());
      ASSERT_EQ(painted.size(), 2 * rings.size());
      for (std::size_t i = 0; i < rings.size(); ++i) {
        EXPECT_TRUE(painted[2 * i].fill);
        EXPECT_EQ(painted[2 * i].color, kTabFill);
        EXPECT_EQ(painted[2 * i].points, PointsOf(rings[i])) << i;
        EXPECT_FALSE(painted[2 * i + 1].fill);
        EXPECT_EQ(painted[2 * i + 1].color, kTabOutline);
        EXPECT_EQ(painted[2 * i + 1].points, PointsOf(rings[i])) << i;
      }

      IGIS_CompoundElement* compound = AsCompound(style->ConvertToElement());
      ASSERT_NE(compound, nullptr);
      ASSERT_EQ(compound->GetElementCount(), static_cast<int>(2 * rings.size() + 1));
      for (std::size_t i = 0; i < rings.size(); ++i) {
        IGIS_Element* polygon = compound->GetElementPtrByIndex(static_cast<int>(2 * i));
        IGIS_Element* polyline = compound->GetElementPtrByIndex(static_cast<int>(2 * i + 1));
        EXPECT_STREQ(polygon->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
        EXPECT_STREQ(polyline->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
        for (IGIS_Element* e : {polygon, polyline}) EXPECT_EQ(PointsOf(e), painted[2 * i].points) << i;
        EXPECT_EQ(polygon->GetFeaturePtr()->GetSymbol()->GetColor(), kTabFill);
        EXPECT_EQ(polyline->GetFeaturePtr()->GetSymbol()->GetColor(), kTabOutline);
      }
      IGIS_Element* last = compound->GetElementPtrByIndex(compound->GetElementCount() - 1);
      EXPECT_STREQ(last->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
      EXPECT_EQ(AsCompound(last)->GetElementCount(), 3 + 3 + 3 + 3);
      DropCompound(compound);
    }
  }
}

// The designations of a 3 x 2 grid, in the order bottom, top, left, right,
// each centred on its anchor in the middle of its band; a hidden side has
// none and the others keep their order.
TEST_F(TabDrawing, DesignationsStandCentredInTheirTabsSideBySide) {
  grid_->columns = 3;
  grid_->rows = 2;
  const struct {
    const char* what;
    bool xyLabelType;
    bool outside;
    bool showBottom;
    std::vector<std::string> texts;
  } rows[] = {
      {"letters on the columns", true, false, true, {"A", "B", "C", "A", "B", "C", "1", "2", "1", "2"}},
      {"numbers on the columns", false, true, true, {"1", "2", "3", "1", "2", "3", "A", "B", "A", "B"}},
      {"bottom hidden", true, false, false, {"A", "B", "C", "1", "2", "1", "2"}},
  };
  for (int type : kTabTypes) {
    for (const auto& r : rows) {
      SCOPED_TRACE(std::to_string(type) + " " + r.what);
      grid_->xyLabelType = r.xyLabelType;
      TabStylePtr style = BoundStyle(type);
      style->SetInside(r.outside);
      SetVisible(style.get(), true, true, true, r.showBottom);
      LabelPrinter printer;
      ASSERT_TRUE(Draw(style.get(), &printer));
      EXPECT_EQ(TextsOf(printer.canvas), r.texts);
      // Each text's box centred on its anchor (the page's device y runs down).
      md::layout::grid::CGIS_GridCapRecord caps("test");
      const auto frame = md::layout::label::MakeTabFrame(kFrameRect, 3, 2, 200, r.outside, caps);
      std::vector<SGIS_Point> anchors;
      for (md::layout::label::LabelSide side : md::layout::label::kLabelSides) {
        if (side == md::layout::label::LabelSide::Bottom && !r.showBottom) continue;
        for (const auto& d : md::layout::label::SideDesignations(frame, side, {}, r.xyLabelType ? 1 : 0))
          anchors.push_back(d.anchor);
      }
      const std::vector<Placed> placed = PlacedOf(printer.canvas);
      ASSERT_EQ(placed.size(), anchors.size());
      for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_NEAR((placed[i].left + placed[i].right) / 2, anchors[i].x, 1.0) << placed[i].text;
        EXPECT_NEAR((placed[i].top + placed[i].bottom) / 2, 20000.0 - anchors[i].y, 1.0) << placed[i].text;
      }
    }
  }
}

// Converted, every text stands where it was drawn, level or turned, and the
// style's own text symbol keeps its angle.
TEST_F(TabDrawing, ConvertedTextsStandWhereTheyWereDrawn) {
  for (int type : kTabTypes) {
    for (bool turned : {false, true}) {
      SCOPED_TRACE(std::to_string(type) + (turned ? " turned" : " level"));
      TabStylePtr style = BoundStyle(type);
      style->SetLabelAlignment(turned, turned, false, turned);  // left, right, top, bottom
      style->SetLabelOffsetX(30, 40, 50, 60);
      style->SetLabelOffsetY(70, 80, 90, 100);
      LabelPrinter printer;
      ASSERT_TRUE(Draw(style.get(), &printer));
      const std::vector<Placed> drawn = PlacedOf(printer.canvas);
      IGIS_CompoundElement* compound = AsCompound(style->ConvertToElement());
      ASSERT_NE(compound, nullptr);
      const std::vector<Placed> converted =
          DrawnMembers(compound->GetElementPtrByIndex(compound->GetElementCount() - 1));
      ASSERT_EQ(converted.size(), drawn.size());
      for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(converted[i].text, drawn[i].text);
        EXPECT_EQ(converted[i].angle, drawn[i].angle) << drawn[i].text;
        EXPECT_NEAR(converted[i].left, drawn[i].left, 1.0) << i << " " << drawn[i].text;
        EXPECT_NEAR(converted[i].right, drawn[i].right, 1.0) << i << " " << drawn[i].text;
        EXPECT_NEAR(converted[i].top, drawn[i].top, 1.0) << i << " " << drawn[i].text;
        EXPECT_NEAR(converted[i].bottom, drawn[i].bottom, 1.0) << i << " " << drawn[i].text;
      }
      EXPECT_EQ(style->GetTextSymbolPtr()->GetAngle(), 0.0);
      DropCompound(compound);
    }
  }
}

// The texts come at their real size, as the converted text elements have
// it: the display ratio. The scale of the frame's device height over its
// page height times the page's unit ratio, measured here on the same
// drawing, would write them LOGPIXELSY / 72 times too large on a screen
// (printing takes the view's own ratio whatever the scale).
TEST_F(TabDrawing, TextsComeAtTheirRealSizeOnScreensAndPaper) {
  const struct {
    const char* what;
    int dpi;
    double zoom;  // 0: the printer
  } rows[] = {{"screen, 96 dpi", 96, 1.0}, {"screen, 300 dpi, half size", 300, 0.5}, {"printer", 254, 0.0}};
  for (int type : {GIS_GRIDLABEL_INDEX_BOTTON, GIS_GRIDLABEL_INDEX_ROUNDED}) {
    for (const auto& r : rows) {
      SCOPED_TRACE(std::to_string(type) + " " + r.what);
      std::unique_ptr<RecordingScreen> screen;
      std::unique_ptr<RecordingPrinter> paper;
      HDC hdc = nullptr;
      IGIS_Display* display = nullptr;
      if (r.zoom > 0) {
        screen = std::make_unique<RecordingScreen>(4000, 4000, r.dpi, r.zoom, 0.0, 20000.0);
        hdc = screen->hdc;
        display = screen->display.get();
      } else {
        paper = std::make_unique<RecordingPrinter>(300.0, 200.0, r.dpi, SGIS_Point(0, 20000));
        hdc = paper->hdc;
        display = paper->display.get();
      }
      md::canvas::RecordingCanvas& canvas = screen ? screen->canvas : paper->canvas;
      TabStylePtr style = BoundStyle(type);
      ASSERT_TRUE(style->OnDraw(hdc, r.zoom == 0, display));
      const std::vector<const md::canvas::Record*> texts = canvas.recordsOf(md::canvas::Record::Type::Text);
      ASSERT_FALSE(texts.empty());
      const double drawnEm = texts.front()->text.font.emHeight;
      // 8 points at the page's scale in device pixels.
      SGIS_Rect device = display->GetView()->PageToDeviceRect(kFrameRect, nullptr);
      const double pixelsPerUnit =
          std::fabs(static_cast<double>(device.top - device.bottom)) / kFrameRect.Height();
      const double trueEm = 8 * GIS_SYMBOL_UNIT_PAGE_RATIO * pixelsPerUnit;
      if (r.zoom == 0) {
        // Printing: the print context's logical units are page units.
        EXPECT_NEAR(drawnEm, 8.0 * r.dpi / 72.0, 0.02 * drawnEm);
        continue;
      }
      EXPECT_NEAR(drawnEm, trueEm, 0.02 * trueEm);
      // The frame-height scale on the same screen.
      const double frameScale = set_->GetUnitRatio() * pixelsPerUnit;
      canvas.clear();
      md::basilo::ReleasePtr<IGIS_AnnoPointStyle> point(
          GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle());
      point->SetTextStyle(style->GetTextSymbolPtr());
      const SGIS_Point at(100, 100);
      DrawWithDrawer(GIS_GetAnnotationDrawerObject(), display, CDC::FromHandle(hdc), false, frameScale,
                     point.get(), "A", &at, 1, set_);
      const double frameEm = canvas.recordsOf(md::canvas::Record::Type::Text).front()->text.font.emHeight;
      EXPECT_NEAR(frameEm / drawnEm, r.dpi / 72.0, 0.02 * r.dpi / 72.0);
    }
  }
}

// ---- On the real index grid

TEST_F(TabDrawing, TheIndexGridDrawsConvertsAndStoresEachStyle) {
  ReleasePtr<IGIS_IndexGrid> grid(
      dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX)));
  ASSERT_NE(grid, nullptr);
  grid->SetMapElement(frame_);
  grid->SetColumnCount(4);
  grid->SetRowCount(3);
  grid->SetGridlineType(GIS_GRIDLINE_NONE);
  for (int type : kTabTypes) {
    SCOPED_TRACE(type);
    TabStylePtr style = BoundStyle(type);
    style->SetInside(true);
    grid->SetLabelFormat(style.get());
    auto* held = dynamic_cast<IGIS_IndexGridTabStyle*>(grid->GetLabelFormat());
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, style.get());
    EXPECT_EQ(held->GetType(), type);

    // The grid's drawing holds the style's tabs and its texts.
    LabelPrinter printer;
    frame_->OnDraw(printer.hdc, true, printer.display.get());
    printer.canvas.clear();
    ASSERT_TRUE(grid->OnDraw(printer.hdc, true, printer.display.get()));
    std::vector<std::vector<SGIS_Point>> painted;
    for (const PaintedRing& p : PaintedRingsOf(printer.canvas))
      if (p.color == kTabFill) painted.push_back(p.points);
    std::vector<std::vector<SGIS_Point>> rings;
    for (const TabRing& ring : Rings(style.get())) rings.push_back(PointsOf(ring));
    EXPECT_EQ(painted, rings);
    EXPECT_EQ(TextsOf(printer.canvas).size(), 14u);

    // Its conversion holds the style's compound after the border's.
    IGIS_CompoundElement* converted = AsCompound(grid->ConvertToElement());
    ASSERT_NE(converted, nullptr);
    ASSERT_GE(converted->GetElementCount(), 2);
    IGIS_CompoundElement* tabs = AsCompound(converted->GetElementPtrByIndex(1));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetElementCount(), static_cast<int>(2 * rings.size() + 1));
    DropCompound(converted);

    // Stored with the grid, the style comes back with its values.
    BufferPtr bytes(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(grid->Save(bytes.get()));
    ReleasePtr<IGIS_MapGrid> read(GIS_CreateMapGridPropertyObjectFromBuffer(bytes.get()));
    ASSERT_NE(read, nullptr);
    auto* readStyle = dynamic_cast<IGIS_IndexGridTabStyle*>(read->GetLabelFormat());
    ASSERT_NE(readStyle, nullptr);
    EXPECT_EQ(readStyle->GetType(), type);
    EXPECT_TRUE(readStyle->GetInside());
    EXPECT_EQ(Stored(readStyle), Stored(held));
  }
}

}  // namespace
}  // namespace md::test
