// What every kind of scale bar shares: drawing twice draws the same and
// changes no stored state, the stored form reads back, a clone stores what
// the bar stores, the clip is restored, and a conversion draws what the bar
// draws (or, for the bars that have no plain form, is refused).
#include <algorithm>
#include <functional>
#include <sstream>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/scalebar/cgis_doublealternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_hollowscalebar.h"
#include "layout/graphicelement/scalebar/cgis_scaleline.h"
#include "layout/graphicelement/scalebar/cgis_steppedscaleline.h"
#include "layout/graphicelement/scalebar/cgis_terrabar.h"
#include "layout/graphicelement/scalebar/cgis_topographicbar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "platform/win/gdidevice.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using md::canvas::Record;

struct Kind {
  const char* type;
  std::function<IGIS_ScaleBar*(IGIS_FeatureSet*, IGIS_Feature*)> make;
  bool converts;  // has a plain-element form (and clips its body)
};

template <class T>
Kind KindOf(const char* type, bool converts) {
  return {type, [](IGIS_FeatureSet* s, IGIS_Feature* f) -> IGIS_ScaleBar* { return new T(s, f); }, converts};
}

const Kind kKinds[] = {
    KindOf<CGIS_DoubleAlternatingScaleBar>(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING, true),
    KindOf<CGIS_HollowScaleBar>(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, true),
    KindOf<CGIS_ScaleLine>(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE, true),
    KindOf<CGIS_SteppedScaleLine>(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE, true),
    KindOf<CGIS_TerraBar>(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA, false),
    KindOf<CGIS_TopoGraphicBar>(GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC, false),
};

// Every drawn primitive as text: kind, points, pen and text.
std::vector<std::string> Primitives(const md::canvas::RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const Record& r : c.records()) {
    std::ostringstream s;
    s << static_cast<int>(r.type) << ':';
    if (r.type == Record::Type::Shape) {
      s << static_cast<int>(r.shape.kind) << " pen " << r.pen.color << '/' << r.pen.width;
      for (const auto& p : r.Points()) s << " (" << p.x << ',' << p.y << ')';
    } else if (r.type == Record::Type::Text) {
      s << r.text.text << " @" << r.text.origin.x << ',' << r.text.origin.y;
    }
    out.push_back(s.str());
  }
  return out;
}

class ScaleBarKinds : public ScaleBarTest {
 protected:
  void SetUp() override {
    ScaleBarTest::SetUp();
    ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));
  }
  // A bar of the kind at 1:50,000 showing 500 m divisions (1000 page units),
  // a bar that draws itself taking 1000 as its division.
  IGIS_ScaleBar* Make(const Kind& k) {
    IGIS_ScaleBar* bar = k.make(set_, nullptr);
    owned_.push_back(bar);
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(2000, 4000, 3000, 3000), 0);
    bar->SetFrameProperty(nullptr);
    bar->SetUnitLabel("km");
    if (k.converts) {
      FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
      bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
      bar->SetUnits(0);
      bar->SetMapElement(frame);
      bar->SetDivision(500.0);
    } else {
      bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
      bar->SetDivision(1000.0);
    }
    bar->Refresh();
    return bar;
  }
};

TEST_F(ScaleBarKinds, DrawingTwiceDrawsTheSameAndLeavesTheStoredFormByteIdentical) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.type);
    IGIS_ScaleBar* bar = Make(k);
    ASSERT_TRUE(bar->Archive(0, 0));
    const std::vector<BYTE> stored = CustomBytes(bar);
    const std::vector<BYTE> marks = Bytes(bar->GetScaleMarks()->GetDivisionMarkSymbol());
    PrintPage first, second;
    ASSERT_TRUE(bar->OnDraw(first.hdc, true, first.display.get()));
    ASSERT_TRUE(bar->OnDraw(second.hdc, true, second.display.get()));
    EXPECT_GT(first.canvas->records().size(), 10u);
    EXPECT_EQ(Primitives(*first.canvas), Primitives(*second.canvas));
    EXPECT_EQ(bar->GetSubDivisions(), 4);
    EXPECT_EQ(Bytes(bar->GetScaleMarks()->GetDivisionMarkSymbol()), marks);
    ASSERT_TRUE(bar->Archive(0, 0));
    EXPECT_TRUE(CustomBytes(bar) == stored);
  }
}

TEST_F(ScaleBarKinds, TheStoredFormReadsBackAndACloneStoresWhatTheBarStores) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.type);
    IGIS_ScaleBar* bar = Make(k);
    bar->SetName("桥头比例尺");
    bar->SetDivisions(5);
    bar->SetSubDivisions(3);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_DIVISIONS);
    bar->SetUnitLabelGap(77);
    bar->SetBarSymbol(NewSymbol(k.converts && std::string(k.type).find("LINE") != std::string::npos
                                    ? GIS_SYMBOL_LINE
                                    : GIS_SYMBOL_FILL,
                                RGB(200, 10, 10))
                          .get());
    ASSERT_TRUE(bar->Archive(0, 0));
    const std::vector<BYTE> stored = CustomBytes(bar);

    IGIS_ScaleBar* back = k.make(set_, bar->GetFeaturePtr());
    owned_.push_back(back);
    ASSERT_TRUE(back->Archive(1, 0));
    EXPECT_EQ(back->GetDivisions(), 5);
    EXPECT_EQ(back->GetSubDivisions(), 3);
    EXPECT_EQ(back->GetResizeHint(), GIS_SCALEBAR_RESIZE_DIVISIONS);
    EXPECT_STREQ(back->GetUnitLabel(), "km");
    EXPECT_EQ(Bytes(back->GetBarSymbol()), Bytes(bar->GetBarSymbol()));
    ASSERT_TRUE(back->Archive(0, 0));
    EXPECT_TRUE(CustomBytes(back) == stored);
    EXPECT_EQ(back->GetFrameProperty(), nullptr);  // stored without one, read without one

    IGIS_Element* copy = bar->Clone();
    ASSERT_NE(copy, nullptr);
    owned_.push_back(copy);
    EXPECT_STREQ(copy->GetType(), k.type);
    EXPECT_NE(copy->GetFeaturePtr(), bar->GetFeaturePtr());
    EXPECT_STREQ(copy->GetName(), "桥头比例尺");
    ASSERT_TRUE(copy->Archive(0, 0));
    EXPECT_TRUE(CustomBytes(copy) == stored);
    EXPECT_NE(dynamic_cast<IGIS_ScaleBar*>(copy)->GetBarSymbol(), bar->GetBarSymbol());
  }
}

TEST_F(ScaleBarKinds, TheFactoryMakesTheFourBarsThatConvertAndNoneOfTheOthers) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.type);
    IGIS_Element* e = set_->CreateElement(k.type);
    EXPECT_EQ(e != nullptr, k.converts);
    if (e == nullptr) continue;
    owned_.push_back(e);
    EXPECT_STREQ(e->GetType(), k.type);
    EXPECT_STREQ(e->GetDescription(), "暂时没有定义");
    EXPECT_STREQ(e->GetFeaturePtr()->GetAttributes()->GetString("TYPE"), k.type);
  }
}

TEST_F(ScaleBarKinds, BodiesDrawInsideTheClipWhichIsRestoredAfterwards) {
  for (const Kind& k : kKinds) {
    if (!k.converts) continue;
    SCOPED_TRACE(k.type);
    IGIS_ScaleBar* bar = Make(k);
    PrintPage page;
    const std::size_t objects = md::win::LiveObjectCount();
    ASSERT_TRUE(bar->OnDraw(page.hdc, true, page.display.get()));
    EXPECT_EQ(md::win::LiveObjectCount(), objects);
    for (const Record* r : page.canvas->recordsOf(Record::Type::Shape)) {
      ASSERT_TRUE(r->state.clip.active);
      for (const auto& c : r->state.clip.rects) {
        EXPECT_GE(c.left, 0);
        EXPECT_LE(c.right, 788);
      }
    }
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(page.hdc, rgn), 0);
    DeleteObject(rgn);
  }
}

TEST_F(ScaleBarKinds, AConversionDrawsWhatTheBarDrawsAndTheRulerBarsHaveNone) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.type);
    IGIS_ScaleBar* bar = Make(k);
    EXPECT_EQ(bar->CanConvert(), k.converts);
    IGIS_Element* converted = bar->ConvertToElement();
    if (!k.converts) {
      EXPECT_EQ(converted, nullptr);
      continue;
    }
    auto* main = dynamic_cast<IGIS_CompoundElement*>(converted);
    ASSERT_NE(main, nullptr);
    PrintPage drawn, plain;
    ASSERT_TRUE(bar->OnDraw(drawn.hdc, true, drawn.display.get()));
    ASSERT_TRUE(converted->OnDraw(plain.hdc, true, plain.display.get()));
    std::vector<std::string> a, b;
    for (const std::string& s : Primitives(*drawn.canvas)) {
      if (s.rfind("2:", 0) != 0) a.push_back(s);  // shapes; texts below
    }
    for (const std::string& s : Primitives(*plain.canvas)) {
      if (s.rfind("2:", 0) != 0) b.push_back(s);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(b, a);
    std::vector<std::string> drawnTexts, plainTexts;
    for (const Record* r : drawn.canvas->recordsOf(Record::Type::Text)) drawnTexts.push_back(r->text.text);
    for (const Record* r : plain.canvas->recordsOf(Record::Type::Text)) plainTexts.push_back(r->text.text);
    std::sort(drawnTexts.begin(), drawnTexts.end());
    std::sort(plainTexts.begin(), plainTexts.end());
    EXPECT_EQ(plainTexts, drawnTexts);
    md::layout::detail::DropCompound(main);
  }
}

}  // namespace
}  // namespace md::test
