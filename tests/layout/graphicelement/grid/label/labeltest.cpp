#include "tests/layout/graphicelement/grid/label/labeltest.h"

namespace md::test {

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
