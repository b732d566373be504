// Renders a sheet of every style code, every alignment code, turned point
// symbols and Chinese and Latin texts through the cairo canvas, for a person
// to look at (symbol_sheet.png in the test output folder).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/glyphor/gis_symbolstyles.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/pictar2/graphics.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "host/tinctorkit/igis_symbolpainter.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"

namespace {

class Sheet {
 public:
  explicit Sheet(HDC dc) : dc_(dc) {
    style_ = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
    style_->GetTextStylePtr()->GetFontSizePtr()->lfHeight = -9;
  }
  ~Sheet() { style_->Release(); }

  void Text(const char* text, int x, int y, int align = 2, double angle = 0.0, int height = -9,
            const char* face = "宋体", COLORREF color = 0) {
    IGIS_Symbol* t = style_->GetTextStylePtr();
    LOGFONT* f = t->GetFontSizePtr();
    f->lfHeight = height;
    std::memset(f->lfFaceName, 0, sizeof f->lfFaceName);
    std::strncpy(f->lfFaceName, face, sizeof f->lfFaceName - 1);
    t->SetAngle(angle);
    t->SetColor(color);
    style_->SetAlignment(align);
    SGIS_Point p(x, y);
    EXPECT_TRUE(GIS_GetAnnotationDrawerObject()->Draw(CDC::FromHandle(dc_), FALSE, 1.0, style_, text, &p, 1));
  }
  bool Draw(IGIS_Symbol* s, std::vector<POINT> pts, double scale = 1.0) {
    SGIS_DrawParam p;
    p.hdc = dc_;
    p.points = pts.data();
    p.pointCount = static_cast<int>(pts.size());
    p.symbolScale = scale;
    return GIS_GetSymbolizationObject()->Draw(s, &p, GIS_DRAW_CHECK);
  }
  void Marker(int x, int y) {
    IGIS_Symbol* m = GIS_GetSymbolFactoryObject()->CreateSymbol(6);
    m->SetCode(3303);
    m->SetColor(RGB(220, 0, 0));
    Draw(m, {Pt(x, y)}, 0.6);
    m->Release();
  }
  IGIS_AnnoPointStyle* Style() { return style_; }
  static POINT Pt(int x, int y) {
    POINT p;
    p.x = x;
    p.y = y;
    return p;
  }

 private:
  HDC dc_;
  IGIS_AnnoPointStyle* style_;
};

TEST(SymbolSheet, RendersEveryStyleAndAlignment) {
  auto canvas = md::canvas::CairoCanvas::createImage(1400, 1000);
  ASSERT_NE(canvas, nullptr);
  HDC dc = md::win::CreateScreenDC(canvas.get(), 96);
  ASSERT_NE(dc, nullptr);
  Sheet sheet(dc);
  IGIS_SymbolFactory* f = GIS_GetSymbolFactoryObject();
  sheet.Text("符号样式表  Symbol sheet", 20, 40, 2, 0.0, -16, "黑体");

  // Point styles: one row per code, kinds 5, 6 and 7 at 0, 30 and 90 degrees.
  int y = 90;
  sheet.Text("点符号 (类型5 / 6 / 7; 0°, 30°, 90°)", 20, y - 25, 2, 0.0, -10, "黑体");
  for (const auto& st : md::glyphor::AllStyles()) {
    if (st.kind != md::glyphor::Kind::Point) continue;
    sheet.Text((std::to_string(st.code) + " " + st.name).c_str(), 20, y, 3);
    int x = 230;
    for (int type : {5, 6, 7}) {
      for (double angle : {0.0, 30.0, 90.0}) {
        IGIS_Symbol* s = f->CreateSymbol(type);
        s->SetCode(st.code);
        if (type != 6) s->SetSize(st.northArrow ? 24 : 12);
        s->SetColor(RGB(0, 0, 0));
        s->SetColor2(RGB(255, 255, 255));
        s->SetColor3(RGB(220, 0, 0));
        if (type == 7) s->SetColor2(RGB(90, 160, 230));
        s->SetAngle(angle);
        EXPECT_TRUE(sheet.Draw(s, {Sheet::Pt(x, y)}));
        s->Release();
        x += 45;
      }
      x += 20;
    }
    y += st.northArrow ? 44 : 28;
  }

  // Line styles.
  int lx = 760, ly = 90;
  sheet.Text("线符号", lx, ly - 25, 2, 0.0, -10, "黑体");
  for (const auto& st : md::glyphor::AllStyles()) {
    if (st.kind != md::glyphor::Kind::Line) continue;
    IGIS_Symbol* s = f->CreateSymbol(9);
    s->SetCode(st.code);
    EXPECT_TRUE(
        sheet.Draw(s, {Sheet::Pt(lx + 150, ly), Sheet::Pt(lx + 300, ly), Sheet::Pt(lx + 330, ly - 15)}, 2.0));
    s->Release();
    sheet.Text((std::to_string(st.code) + " " + st.name).c_str(), lx, ly, 3);
    ly += 30;
  }
  // Fill styles.
  ly += 20;
  sheet.Text("面符号", lx, ly - 10, 2, 0.0, -10, "黑体");
  for (const auto& st : md::glyphor::AllStyles()) {
    if (st.kind != md::glyphor::Kind::Fill) continue;
    IGIS_Symbol* s = f->CreateSymbol(12);
    s->SetCode(st.code);
    EXPECT_TRUE(sheet.Draw(s,
                           {Sheet::Pt(lx + 150, ly), Sheet::Pt(lx + 300, ly), Sheet::Pt(lx + 300, ly + 30),
                            Sheet::Pt(lx + 150, ly + 30), Sheet::Pt(lx + 150, ly)},
                           2.0));
    s->Release();
    sheet.Text((std::to_string(st.code) + " " + st.name).c_str(), lx, ly + 15, 3);
    ly += 42;
  }

  // Alignment codes: the red cross is the anchor.
  int ay = 680;
  sheet.Text("对齐方式 0-8 (红十字为锚点)", 760, ay - 40, 2, 0.0, -10, "黑体");
  for (int code = 0; code <= 8; ++code) {
    const int ax = 790 + (code % 3) * 200, py = ay + (code / 3) * 60;
    sheet.Text((std::to_string(code) + " 对齐Ag").c_str(), ax + 40, py, code, 0.0, -11);
    sheet.Marker(ax + 40, py);
  }
  // Turned texts and several lines.
  sheet.Text("旋转文字 Turned 30°", 200, 850, 2, 30.0, -12, "宋体", RGB(0, 0, 160));
  sheet.Marker(200, 850);
  sheet.Text("多行文字\r\nSecond line, Latin\n第三行 中文", 420, 860, 0, 0.0, -12, "宋体");
  sheet.Marker(420, 860);
  sheet.Text("Times New Roman 14pt", 20, 960, 2, 0.0, -14, "Times New Roman");
  sheet.Text("Arial 竖排 90°", 620, 960, 2, 90.0, -11, "Arial", RGB(0, 120, 0));

  // Text along a bent path, with the path drawn under it.
  {
    std::vector<POINT> path = {Sheet::Pt(40, 760), Sheet::Pt(140, 700), Sheet::Pt(260, 730),
                               Sheet::Pt(330, 680)};
    IGIS_Symbol* s = f->CreateSymbol(9);
    s->SetCode(3335);
    s->SetColor(RGB(150, 150, 150));
    sheet.Draw(s, path);
    s->Release();
    std::vector<SGIS_Point> sp;
    for (const auto& p : path) sp.emplace_back(p.x, p.y);
    IGIS_Symbol* t = sheet.Style()->GetTextStylePtr();
    t->SetAngle(0);
    t->GetFontSizePtr()->lfHeight = -12;
    EXPECT_TRUE(GIS_GetAnnotationDrawerObject()->DrawTextOnPath(CDC::FromHandle(dc), 0, 1.0, sheet.Style(),
                                                                "沿路径的文字 text on a path", sp.data(),
                                                                static_cast<int>(sp.size())));
  }

  // A frame of the second symbol kind painted with doubles.
  {
    md::pictar2::Graphics g(dc, md::pictar2::RasterModeDevice);
    SGIS_PaintParam pp;
    pp.graphics = &g;
    IGIS_SymbolV2* fill = GIS_GetSymbol2FactoryObject()->CreateSymbol(2);
    fill->SetCode(3366);
    IGIS_SymbolV2* line = GIS_GetSymbol2FactoryObject()->CreateSymbol(1);
    line->SetCode(3334);
    line->SetColor(RGB(160, 0, 0));
    const double ring[] = {360.5, 660.5, 560.5, 660.5, 560.5, 780.5, 360.5, 780.5, 360.5, 660.5};
    EXPECT_TRUE(GIS_GetSymbolizeObject()->Paint(fill, &pp, ring, 5));
    EXPECT_TRUE(GIS_GetSymbolizeObject()->Paint(line, &pp, ring, 5));
    fill->Release();
    line->Release();
    sheet.Text("边框 (第二类符号)", 460, 720, 0);
  }

  DeleteDC(dc);
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/symbol_sheet.png";
  EXPECT_TRUE(canvas->writePng(path));
}

}  // namespace
