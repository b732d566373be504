#include "tests/layout/graphicelement/grid/label/labeltest.h"

#include <algorithm>
#include <cmath>

#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

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

std::vector<Placed> OnSide(const std::vector<Placed>& all, Side side, const CanvasFrame& frame) {
  std::vector<Placed> out;
  for (const Placed& p : all) {
    const bool on = side == kBottom ? p.top >= frame.bottom
                    : side == kTop  ? p.bottom <= frame.top
                    : side == kLeft ? p.right <= frame.left
                                    : p.left >= frame.right;
    if (on) out.push_back(p);
  }
  std::sort(out.begin(), out.end(), [side](const Placed& a, const Placed& b) {
    return side == kBottom || side == kTop ? a.left < b.left : a.bottom > b.bottom;
  });
  return out;
}

std::vector<std::string> TextsOn(const std::vector<Placed>& all, Side side, const CanvasFrame& frame) {
  std::vector<std::string> out;
  for (const Placed& p : OnSide(all, side, frame)) out.push_back(p.text);
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

void ExpectConvertedAsDrawn(IGIS_GridLabel* label, IGIS_FeatureSet* owner, const std::vector<Placed>& drawn,
                            const CanvasFrame& frame, const std::string& what) {
  const int before = owner->GetFeatureCount();
  IGIS_Element* compound = label->ConvertToElement();
  ASSERT_NE(compound, nullptr) << what;
  EXPECT_EQ(owner->GetFeatureCount(), before + 1 + static_cast<int>(drawn.size())) << what;
  const std::vector<Placed> converted = DrawnMembers(compound);
  EXPECT_TRUE(owner->DeleteElement(compound)) << what;
  for (Side side : {kBottom, kTop, kLeft, kRight}) {
    const std::vector<Placed> a = OnSide(drawn, side, frame);
    const std::vector<Placed> b = OnSide(converted, side, frame);
    ASSERT_EQ(a.size(), b.size()) << what << " side " << side;
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].text, b[i].text) << what;
      EXPECT_EQ(a[i].angle, b[i].angle) << what << " " << a[i].text;
      EXPECT_NEAR(a[i].left, b[i].left, 1.0) << what << " " << side << " " << a[i].text;
      EXPECT_NEAR(a[i].right, b[i].right, 1.0) << what << " " << side << " " << a[i].text;
      EXPECT_NEAR(a[i].top, b[i].top, 1.0) << what << " " << side << " " << a[i].text;
      EXPECT_NEAR(a[i].bottom, b[i].bottom, 1.0) << what << " " << side << " " << a[i].text;
    }
  }
}

void DrawOnPrintedPage(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi,
                       md::text::TextEngine* engine, CGIS_MapElement* frame,
                       const std::function<bool(HDC hdc, IGIS_Display* display)>& draw) {
  auto* recording = dynamic_cast<md::canvas::RecordingCanvas*>(canvas);
  PrintOn(canvas, widthMm, heightMm, dpi, engine, [&](HDC hdc, IGIS_Display* display) {
    EXPECT_TRUE(frame->OnDraw(hdc, true, display));
    if (recording != nullptr) recording->clear();
    EXPECT_TRUE(draw(hdc, display));
  });
}

bool ShowSampleSheet(CGIS_MapElement* frame, IGIS_Map* sheet, int margin, int bandOffset, int bandWidth) {
  SGIS_Rect r;
  if (!GIS_GetTilingRuleManagerPtr()
           ->GetTilingRule(GIS_TILINGRULE_NATIONAL)
           ->GetSheetExtent("J50E001009", sheet->GetSpatialReference(), 1, &r)) {
    return false;
  }
  r.Normalize();
  const SGIS_DRect extent(r.left, r.bottom, r.right, r.top);
  frame->SetRect(SGIS_Rect(margin, margin + static_cast<int>(extent.Height() / 0.5 + 0.5),
                           margin + static_cast<int>(extent.Width() / 0.5 + 0.5), margin));
  frame->SetMapName(sheet->GetName());
  frame->SetMapBound(extent);
  frame->SetScale(0.5);
  IGIS_MapBorder* border = GIS_GetMapBorderFactoryObject()->CreateMapBorder(GIS_MAPBORDER_CALIBRATED);
  auto* band = dynamic_cast<IGIS_MapBorderCalibrated*>(border);
  if (band == nullptr) {
    if (border != nullptr) border->Release();
    return false;
  }
  band->SetLeftOffset(bandOffset);
  band->SetRightOffset(bandOffset);
  band->SetTopOffset(bandOffset);
  band->SetBottomOffset(bandOffset);
  band->SetBorderWidth(bandWidth);
  band->SetInterval(2000);
  ReleasePtr<IGIS_Symbol> dark(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL));
  dark->SetColor(RGB(20, 20, 20));
  band->SetForegroundSymbolPtr(dark.get());
  frame->SetOuterMapBorder(band);
  band->Release();
  return true;
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

void ExpectStoreRefusals(IGIS_GridLabel* label, const std::string& className) {
  const std::vector<BYTE> before = Stored(label);
  LogMark mark;
  EXPECT_FALSE(label->Save(nullptr));
  EXPECT_FALSE(label->Open(nullptr));
  BufferPtr damaged = BufferOf({9, 9, 9});
  EXPECT_FALSE(label->Open(damaged.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, className + "::Save", "pDataBuffer == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, className + "::Open", "pDataBuffer为空"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, className + "::Open", "b_ret == NULL"));
  EXPECT_EQ(Stored(label), before);
}

void ExpectSheetKeepsEditsOnlyWhenConfirmed(IGIS_GridLabel* label, int type,
                                            md::layout::label::LabelSheetRunner runner, bool* confirm) {
  const std::vector<BYTE> before = Stored(label);
  const md::layout::label::LabelSheetRunner installed = md::layout::label::SetLabelSheetRunner(type, nullptr);
  EXPECT_FALSE(label->OnOpenPropertyDlg());
  EXPECT_EQ(Stored(label), before);
  md::layout::label::SetLabelSheetRunner(type, runner);
  *confirm = false;
  EXPECT_FALSE(label->OnOpenPropertyDlg());
  EXPECT_EQ(Stored(label), before);
  *confirm = true;
  EXPECT_TRUE(label->OnOpenPropertyDlg());
  EXPECT_NE(Stored(label), before);
  md::layout::label::SetLabelSheetRunner(type, installed);
}

}  // namespace md::test
