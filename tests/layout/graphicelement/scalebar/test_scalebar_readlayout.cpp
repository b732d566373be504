// A bar read from its stored form, or told of a scale change, is laid out as
// a new bar with its inputs lays itself out, also when an earlier layout of
// other inputs was kept (the memo of read layouts, the bar's own last layout).
#include <functional>
#include <tuple>

#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "scalebartest.h"

namespace md::test {
namespace {

// What the layout decides: the rectangle's size and the body's offset in it.
using Laid = std::tuple<int, int, int, int>;
Laid LaidOf(IGIS_ScaleBar* bar) {
  const SGIS_Rect r = bar->GetRect();
  return {r.right - r.left, r.top - r.bottom, bar->GetBarX(), bar->GetBarY()};
}

class ScaleBarReadLayout : public ScaleBarTest {
 protected:
  // The layout of a copy that has laid nothing out before.
  Laid EagerOf(IGIS_ScaleBar* bar) {
    auto* copy = dynamic_cast<IGIS_ScaleBar*>(bar->Clone());
    EXPECT_NE(copy, nullptr);
    if (copy == nullptr) return {};
    copy->Refresh();
    const Laid laid = LaidOf(copy);
    ReleaseKept(copy);
    return laid;
  }
};

struct ReadRow {
  const char* name;
  int reference;  // sferon code of the frame's map
  std::function<void(CGIS_AlternatingScaleBar*, FrameStandIn*)> change;
};

TEST_F(ScaleBarReadLayout, AReadBarIsLaidOutAsANewBarLaysItOut) {
  const ReadRow rows[] = {
      {"label text height, changed through the held symbol", 2,
       [](CGIS_AlternatingScaleBar* b, FrameStandIn*) {
         b->GetLabelSymbol()->GetFontSizePtr()->lfHeight = 40;
       }},
      {"unit label text height", 2,
       [](CGIS_AlternatingScaleBar* b, FrameStandIn*) {
         b->GetUnitLabelSymbol()->GetFontSizePtr()->lfHeight = 45;
       }},
      {"number format digits", 2,
       [](CGIS_AlternatingScaleBar* b, FrameStandIn*) { b->GetNumericFormat()->SetDigits(3); }},
      {"lat/lon format digits on a geographic map", 1,
       [](CGIS_AlternatingScaleBar* b, FrameStandIn*) { b->GetLatLonFormat()->SetDigits(4); }},
      {"unit label", 2, [](CGIS_AlternatingScaleBar* b, FrameStandIn*) { b->SetUnitLabel("kilometres"); }},
      {"label gap", 2, [](CGIS_AlternatingScaleBar* b, FrameStandIn*) { b->SetLabelGap(400); }},
      {"division mark height", 2,
       [](CGIS_AlternatingScaleBar* b, FrameStandIn*) { b->GetScaleMarks()->SetDivisionMarkHeight(700); }},
      {"divisions", 2, [](CGIS_AlternatingScaleBar* b, FrameStandIn*) { b->SetDivisions(3); }},
      {"the frame's scale", 2, [](CGIS_AlternatingScaleBar*, FrameStandIn* f) { f->scale *= 2.0; }},
  };
  const SGIS_DRect lonlat(116.0, 40.5, 117.0, 39.5);
  for (const ReadRow& r : rows) {
    SCOPED_TRACE(r.name);
    FrameStandIn* frame =
        NewFrame(SGIS_Rect(0, 10000, 10000, 0), r.reference, r.reference == 1 ? 1e-4 : 0.25);
    frame->bound = lonlat;
    auto* bar = NewBarOf<CGIS_AlternatingScaleBar>();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 3000, 2000, 2000), 0);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetUnits(0);
    bar->SetMapElement(frame);
    bar->SetDivision(500.0);
    bar->Refresh();
    ASSERT_TRUE(bar->Archive(0, 0));
    // A reader on the same feature: its first read is kept by the memo.
    auto* reader = new CGIS_AlternatingScaleBar(set_, bar->GetFeaturePtr());
    owned_.push_back(reader);
    ASSERT_TRUE(reader->Archive(1, 0));
    const Laid before = LaidOf(reader);

    r.change(bar, frame);
    ASSERT_TRUE(bar->Archive(0, 0));
    ASSERT_TRUE(reader->Archive(1, 0));
    const Laid read = LaidOf(reader);
    ASSERT_TRUE(reader->Archive(1, 0));  // the changed inputs, now from the memo
    EXPECT_EQ(LaidOf(reader), read);
    const Laid eager = EagerOf(reader);
    EXPECT_EQ(read, eager);
    EXPECT_NE(eager, before);  // the change shows, so a stale layout would fail
  }
}

struct NoticeRow {
  const char* name;
  bool changes;
  double scaleFactor;
  std::function<void(CGIS_AlternatingScaleBar*)> change;
};

TEST_F(ScaleBarReadLayout, AScaleChangeNoticeLaysOutAsANewBarDoes) {
  const NoticeRow rows[] = {
      {"nothing changed", false, 1.0, [](CGIS_AlternatingScaleBar*) {}},
      {"the frame's scale", true, 2.0, [](CGIS_AlternatingScaleBar*) {}},
      {"label text height, through the held symbol", true, 1.0,
       [](CGIS_AlternatingScaleBar* b) { b->GetLabelSymbol()->GetFontSizePtr()->lfHeight = 40; }},
      {"number format digits, through the held format", true, 1.0,
       [](CGIS_AlternatingScaleBar* b) { b->GetNumericFormat()->SetDigits(3); }},
      {"unit label", true, 1.0, [](CGIS_AlternatingScaleBar* b) { b->SetUnitLabel("kilometres"); }},
  };
  for (const NoticeRow& r : rows) {
    SCOPED_TRACE(r.name);
    auto* bar = BarAtScale<CGIS_AlternatingScaleBar>(50000.0, 500.0);
    auto* frame = dynamic_cast<FrameStandIn*>(bar->GetMapElement());
    ASSERT_NE(frame, nullptr);
    const Laid before = LaidOf(bar);
    r.change(bar);
    frame->ChangeScale(frame->scale * r.scaleFactor);
    const Laid laid = LaidOf(bar);
    EXPECT_EQ(laid, EagerOf(bar));
    EXPECT_EQ(laid != before, r.changes);
  }
}

}  // namespace
}  // namespace md::test
