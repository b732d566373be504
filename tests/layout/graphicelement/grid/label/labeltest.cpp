#include "tests/layout/graphicelement/grid/label/labeltest.h"

#include <algorithm>
#include <cmath>

namespace md::test {

void PrintOn(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi,
             md::text::TextEngine* engine, const std::function<void(HDC, IGIS_Display*)>& draw) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = widthMm;
  setup.paperHeightMm = heightMm;
  HDC hdc = md::win::CreatePrinterDC(canvas, setup, engine);
  ASSERT_NE(hdc, nullptr);
  {
    const int w = static_cast<int>(widthMm * 100), h = static_cast<int>(heightMm * 100);
    CGIS_PrintDisplay display(hdc, w, h, SGIS_Point(0, h));
    display.PrepareDC();
    draw(hdc, &display);
  }
  DeleteDC(hdc);
}

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
