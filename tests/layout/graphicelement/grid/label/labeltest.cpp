#include "tests/layout/graphicelement/grid/label/labeltest.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "layout/graphicelement/compound/igis_compoundelement.h"

namespace md::test {

std::vector<Placed> PlacedOf(const md::canvas::RecordingCanvas& canvas) {
  std::vector<Placed> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text)) {
    double w = 0;
    for (double a : r->text.advances) w += a;
    const double em = r->text.font.emHeight;
    const double x = r->text.origin.x, y = r->text.origin.y;
    Placed p{r->text.text, x, x + w, y - 0.8 * em, y + 0.2 * em, r->text.angle};
    // Turned a quarter counter-clockwise, the baseline runs up the page.
    if (std::fabs(r->text.angle - 90.0) < 1e-9)
      p = {r->text.text, x - 0.8 * em, x + 0.2 * em, y - w, y, r->text.angle};
    out.push_back(p);
  }
  return out;
}

std::vector<Placed> OnSide(const std::vector<Placed>& all, Side side) {
  std::vector<Placed> out;
  for (const Placed& p : all) {
    const bool on = side == kBottom ? p.top >= kFrameBottom
                    : side == kTop  ? p.bottom <= kFrameTop
                    : side == kLeft ? p.right <= kFrameLeft
                                    : p.left >= kFrameRight;
    if (on) out.push_back(p);
  }
  std::sort(out.begin(), out.end(), [side](const Placed& a, const Placed& b) {
    return side == kBottom || side == kTop ? a.left < b.left : a.bottom > b.bottom;
  });
  return out;
}

std::vector<std::string> TextsOn(const std::vector<Placed>& all, Side side) {
  std::vector<std::string> out;
  for (const Placed& p : OnSide(all, side)) out.push_back(p.text);
  return out;
}

std::vector<std::string> Values(int from, int step, int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(std::to_string(from + i * step));
  return out;
}

std::vector<Placed> DrawnMembers(IGIS_Element* compound) {
  LabelPrinter printer;
  auto* c = dynamic_cast<IGIS_CompoundElement*>(compound);
  for (int i = 0; c != nullptr && i < c->GetElementCount(); ++i) {
    c->GetElementPtrByIndex(i)->OnDraw(printer.hdc, true, printer.display.get());
  }
  return PlacedOf(printer.canvas);
}

void ExpectSamePlaces(std::vector<Placed> drawn, std::vector<Placed> converted, const std::string& what) {
  ASSERT_EQ(drawn.size(), converted.size()) << what;
  const auto order = [](const Placed& p, const Placed& q) {
    return std::tie(p.text, p.left, p.bottom) < std::tie(q.text, q.left, q.bottom);
  };
  std::sort(drawn.begin(), drawn.end(), order);
  std::sort(converted.begin(), converted.end(), order);
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const Placed& a = drawn[i];
    const Placed& b = converted[i];
    EXPECT_EQ(a.text, b.text) << what;
    EXPECT_EQ(a.angle, b.angle) << what << " " << a.text;
    EXPECT_NEAR(a.left, b.left, 1.0) << what << " " << a.text;
    EXPECT_NEAR(a.right, b.right, 1.0) << what << " " << a.text;
    EXPECT_NEAR(a.top, b.top, 1.0) << what << " " << a.text;
    EXPECT_NEAR(a.bottom, b.bottom, 1.0) << what << " " << a.text;
  }
}

void LabelPage::Rebind(int type, IGIS_GridLabel* label) {
  auto* grid = new MeasureGridDouble(map_->GetSpatialReference(), type);
  grid->SetMapElement(frame_);
  grid_->Release();
  grid_ = grid;
  label->SetMapGrid(grid);
}

void LabelPage::ExpectConvertedAsDrawn(IGIS_GridLabel* label, const std::string& what) {
  LabelPrinter printer;
  DrawFrame(&printer);
  EXPECT_TRUE(label->OnDraw(printer.hdc, true, printer.display.get())) << what;
  const std::vector<Placed> drawn = PlacedOf(printer.canvas);
  const int before = set_->GetFeatureCount();
  IGIS_Element* compound = label->ConvertToElement();
  ASSERT_NE(compound, nullptr) << what;
  EXPECT_EQ(set_->GetFeatureCount(), before + 1 + static_cast<int>(drawn.size())) << what;
  ExpectSamePlaces(drawn, DrawnMembers(compound), what);
  EXPECT_TRUE(set_->DeleteElement(compound));
}

void LabelPage::ExpectEmptyConversionWithoutSides(IGIS_GridLabel* label) {
  grid_->SetLabelVisible(false, false, false, false);
  IGIS_Element* compound = label->ConvertToElement();
  ASSERT_NE(compound, nullptr);
  EXPECT_EQ(dynamic_cast<IGIS_CompoundElement*>(compound)->GetElementCount(), 0);
  EXPECT_TRUE(set_->DeleteElement(compound));
}

void LabelPage::SetUp() {
  MapFramePage::SetUp();
  frame_ = NewFrame(kFrameRect);
  frame_->SetMapName("测试地图");
  frame_->SetMapBound(SGIS_DRect(420000, 4418000, 430000, 4410000));
  grid_ = new MeasureGridDouble(map_->GetSpatialReference());
  grid_->SetMapElement(frame_);
}

void LabelPage::TearDown() {
  if (grid_ != nullptr) grid_->Release();
  grid_ = nullptr;
  MapFramePage::TearDown();
}

void LabelPage::DrawFrame(LabelPrinter* printer) {
  frame_->OnDraw(printer->hdc, true, printer->display.get());
  printer->canvas.clear();
}

}  // namespace md::test
