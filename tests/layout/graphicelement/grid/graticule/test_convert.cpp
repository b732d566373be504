// The graticule turned into plain elements over the 1:50 000 sample sheet:
// its groups and their order, what each holds, and what a conversion that
// cannot run leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::DmsLabelDouble;
using md::test::Owned;

constexpr double kMinute = 1.0 / 60;

// What one group of the result holds.
struct Group {
  int polylines = 0, points = 0, texts = 0, others = 0;
  bool allSegments = true;  // every polyline has exactly two points
  std::vector<std::vector<SGIS_Point>> lines;
  std::vector<std::string> strings;
};

Group Describe(IGIS_Element* e) {
  Group g;
  auto* c = dynamic_cast<IGIS_CompoundElement*>(e);
  if (c == nullptr) return g;
  for (int i = 0; i < c->GetElementCount(); ++i) {
    IGIS_Element* m = c->GetElementPtrByIndex(i);
    const std::string type = m->GetType();
    if (type == GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE) {
      ++g.polylines;
      IGIS_Geometry* geo = m->GetFeaturePtr()->GetGeometry();
      std::vector<SGIS_Point> pts;
      for (int k = 0; k < geo->GetPointCount(); ++k) pts.push_back(geo->GetPoint(k, 0));
      g.allSegments = g.allSegments && pts.size() == 2;
      g.lines.push_back(pts);
    } else if (type == GIS_TYPE_GRAPHIC_ELEMENT_POINT) {
      ++g.points;
    } else if (type == GIS_TYPE_GRAPHIC_ELEMENT_TEXT) {
      ++g.texts;
      g.strings.push_back(dynamic_cast<IGIS_TextElement*>(m)->GetText());
    } else {
      ++g.others;
    }
  }
  return g;
}

class GraticuleConvert : public md::test::SheetPage {
 protected:
  void SetUp() override {
    SheetPage::SetUp();
    grid_ = NewGraticule(5.0);
    text_ = md::test::NewTextSymbol(8);
    // The groups asked for are the graticule's own: its label converts nothing.
    GiveLabel(text_);
  }
  void TearDown() override {
    for (IGIS_Element* e : made_) DropCompound(dynamic_cast<IGIS_CompoundElement*>(e));
    grid_->Release();
    text_->Release();
    SheetPage::TearDown();
  }
  void GiveLabel(IGIS_Symbol* text) {
    Owned<DmsLabelDouble> l(new DmsLabelDouble());
    l->text = text;
    l->seconds = false;
    grid_->SetLabelFormat(l.get());
  }
  // The groups of the conversion's result, in order.
  std::vector<Group> Convert() {
    IGIS_Element* e = grid_->ConvertToElement();
    EXPECT_NE(e, nullptr);
    if (e == nullptr) return {};
    made_.push_back(e);
    auto* c = dynamic_cast<IGIS_CompoundElement*>(e);
    std::vector<Group> groups;
    for (int i = 0; i < c->GetElementCount(); ++i) groups.push_back(Describe(c->GetElementPtrByIndex(i)));
    return groups;
  }

  CGIS_GraticuleGrid* grid_ = nullptr;
  IGIS_Symbol* text_ = nullptr;
  std::vector<IGIS_Element*> made_;
};

TEST_F(GraticuleConvert, GroupsComeInTheirOrderAndOnlyWhenTheyHoldSomething) {
  struct Row {
    const char* name;
    double hatch;
    bool labels;
    bool textSymbol;
    std::vector<const char*> groups;  // "hatches", "labels", "lines"
  } rows[] = {
      {"everything", kMinute, true, true, {"hatches", "labels", "lines"}},
      {"no hatch interval: no hatch group", 0.0, true, true, {"labels", "lines"}},
      {"labels off", kMinute, false, true, {"hatches", "lines"}},
      {"a label without a text symbol: lines and hatches still", kMinute, true, false, {"hatches", "lines"}},
  };
  for (const Row& r : rows) {
    grid_->SetHatchIntervalX(r.hatch);
    grid_->SetShowInteriorLabels(r.labels);
    grid_->SetInteriorLabelIntervalX(5 * kMinute);
    grid_->SetInteriorLabelIntervalY(5 * kMinute);
    GiveLabel(r.textSymbol ? text_ : nullptr);
    const std::vector<Group> groups = Convert();
    ASSERT_EQ(groups.size(), r.groups.size()) << r.name;
    for (std::size_t i = 0; i < groups.size(); ++i) {
      const Group& g = groups[i];
      const std::string kind = r.groups[i];
      if (kind == "hatches") {
        EXPECT_GT(g.polylines, 50) << r.name;
        EXPECT_TRUE(g.allSegments) << r.name;
        EXPECT_EQ(g.texts + g.points + g.others, 0) << r.name;
      } else if (kind == "labels") {
        EXPECT_EQ(g.texts, 2 * 4 * 3) << r.name;
        EXPECT_EQ(g.polylines + g.points + g.others, 0) << r.name;
      } else {
        EXPECT_GT(g.polylines, 6) << r.name;
        EXPECT_EQ(g.texts + g.points + g.others, 0) << r.name;
      }
    }
  }
}

TEST_F(GraticuleConvert, LinesAndTicksStayInTheFrameWithAtLeastTwoPoints) {
  const SGIS_Rect f = frame_->GetRect();
  const std::vector<Group> groups = Convert();
  ASSERT_EQ(groups.size(), 1u);
  int ticks = 0;
  for (const std::vector<SGIS_Point>& line : groups[0].lines) {
    ASSERT_GE(line.size(), 2u);
    if (line.size() == 2) ++ticks;
    // Ticks stand out of the frame by their length; lines stay inside.
    for (const SGIS_Point& p : line) {
      EXPECT_GE(p.x, f.left - 200);
      EXPECT_LE(p.x, f.right + 200);
      EXPECT_GE(p.y, f.bottom - 200);
      EXPECT_LE(p.y, f.top + 200);
    }
  }
  EXPECT_GT(ticks, 20);
}

TEST_F(GraticuleConvert, MarkersAtTheCrossingsOfTheExtent) {
  grid_->SetGridlineType(GIS_GRIDLINE_MARKS);
  grid_->SetTickVisible(false, false, false, false);
  grid_->SetSubTickVisible(false, false, false, false);
  const std::vector<Group> groups = Convert();
  ASSERT_EQ(groups.size(), 1u);
  // 4 meridians (116°00′..116°15′) by 3 parallels (39°50′..40°00′) in the bound.
  EXPECT_EQ(groups[0].points, 12);
  EXPECT_EQ(groups[0].polylines, 0);
}

TEST_F(GraticuleConvert, StoredCountsBelowOneConvertAsOneAndStayInTheGrid) {
  // A stored form may hold a count of 0; the setter would keep 1.
  std::vector<BYTE> bytes = md::test::Stored(grid_);
  Owned<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  Owned<IGIS_DataBuffer> b(md::test::BufferOf(bytes));
  ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_READ, 0));
  set->GetProperty("MainHatchCount")->SetInt(0);
  set->GetProperty("SubHatchCount")->SetInt(-3);
  set->GetProperty("HatchIntervalX")->SetDouble(kMinute);
  ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
  ASSERT_TRUE(grid_->Open(b.get()));
  ASSERT_EQ(grid_->GetMainHatchCount(), 0);
  const std::vector<Group> zero = Convert();
  EXPECT_EQ(grid_->GetMainHatchCount(), 0);
  EXPECT_EQ(grid_->GetSubHatchCount(), -3);
  grid_->SetMainHatchCount(1);
  grid_->SetSubHatchCount(1);
  const std::vector<Group> one = Convert();
  // The hatch group comes before the lines group (the stored form gave the
  // grid a border too, whose group comes first).
  ASSERT_EQ(zero.size(), one.size());
  ASSERT_GE(zero.size(), 2u);
  const Group& hatchesZero = zero[zero.size() - 2];
  const Group& hatchesOne = one[one.size() - 2];
  EXPECT_GT(hatchesZero.polylines, 20);
  EXPECT_EQ(hatchesZero.lines, hatchesOne.lines);
}

TEST_F(GraticuleConvert, WithoutAFrameOrAMap) {
  grid_->SetMapElement(nullptr);
  md::test::LogMark mark;
  EXPECT_EQ(grid_->ConvertToElement(), nullptr);
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::ConvertToElement", "p_element == NULL"), 1);
  grid_->SetMapElement(frame_);
  frame_->SetMapName("no such map");
  const int before = set_->GetFeatureClass()->GetFeatureCount();
  md::test::LogMark noMap;
  const std::vector<Group> groups = Convert();
  EXPECT_TRUE(groups.empty());
  EXPECT_TRUE(noMap.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleGrid::ConvertToElement", "p_map == NULL"));
  // Only the result compound was made.
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), before + 1);
}

}  // namespace
