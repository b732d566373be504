// Text output and measurement, laid out by the fixed-metrics engine so that
// every expected position follows from the engine's own metrics.
#include <cmath>
#include <cstring>
#include <string>

#include "tests/platform/win/wintest.h"

namespace {

using md::canvas::Point;
using md::canvas::Record;
using md::test::Owned;
using md::test::RecordingDC;

// The engine's view of a font of `em` pixels, for expected values.
md::text::FontPtr Fixed(double em) {
  md::text::FontRequest req;
  req.height = -em;
  return md::text::FixedMetricsEngine().Match(req);
}

HFONT MakeFont(int height, int escapement = 0, const char* face = "Arial") {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfEscapement = escapement;
  lf.lfOrientation = escapement;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

std::vector<const Record*> Texts(const RecordingDC& dc) { return dc.canvas.recordsOf(Record::Type::Text); }

TEST(Text, DrawTextCentresASingleLineByEngineMetrics) {
  RecordingDC dc;
  Owned font(MakeFont(-20));
  SelectObject(dc.hdc, font.obj);
  const char* s = "AB中";
  RECT rc{30, 10, 230, 110};
  const int h = DrawText(dc.hdc, s, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  auto f = Fixed(20);
  const int w = static_cast<int>(std::lround(f->Measure(s).width));
  const int lineH = static_cast<int>(std::lround(f->Metrics().height));
  const int top = 10 + (100 - lineH) / 2;
  auto texts = Texts(dc);
  ASSERT_EQ(texts.size(), 1u);
  const md::canvas::TextRun& run = texts[0]->text;
  EXPECT_EQ(run.text, s);
  EXPECT_DOUBLE_EQ(run.origin.x, 30 + (200 - w) / 2);
  EXPECT_DOUBLE_EQ(run.origin.y, top + f->Metrics().ascent);
  EXPECT_EQ(run.advances, f->Advances(s));
  EXPECT_EQ(run.font.engine, "fixed");
  EXPECT_DOUBLE_EQ(run.font.emHeight, 20);
  EXPECT_EQ(run.angle, 0);
  // Drawn inside the rectangle's clip; the result is the text's bottom offset.
  EXPECT_TRUE(texts[0]->state.clip.active);
  EXPECT_EQ(texts[0]->state.clip.rects, (std::vector<md::canvas::Rect>{{30, 10, 230, 110}}));
  EXPECT_EQ(h, top - 10 + lineH);

  // Right and bottom alignment, no clipping.
  DrawText(dc.hdc, s, -1, &rc, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_NOCLIP);
  const Record& r = dc.last();
  EXPECT_DOUBLE_EQ(r.text.origin.x, 230 - w);
  EXPECT_DOUBLE_EQ(r.text.origin.y, 110 - lineH + f->Metrics().ascent);
  EXPECT_FALSE(r.state.clip.active);
}

TEST(Text, DrawTextWrapsAndMeasures) {
  RecordingDC dc;
  Owned font(MakeFont(-20));
  SelectObject(dc.hdc, font.obj);
  auto f = Fixed(20);
  const double adv = f->Advance(U'a');
  const int lineH = static_cast<int>(std::lround(f->Metrics().height));
  // Room for exactly five ASCII characters per line.
  const int width = static_cast<int>(5 * adv);
  RECT calc{0, 0, width, 0};
  const int h = DrawText(dc.hdc, "aa bb cc", -1, &calc, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(h, 2 * lineH);
  EXPECT_EQ(calc.bottom, 2 * lineH);
  EXPECT_EQ(calc.right, width);
  EXPECT_TRUE(Texts(dc).empty());  // measuring draws nothing

  RECT rc{0, 0, width, 200};
  DrawText(dc.hdc, "aa bb cc", -1, &rc, DT_WORDBREAK);
  auto texts = Texts(dc);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text.text, "aa bb");
  EXPECT_EQ(texts[1]->text.text, "cc");
  EXPECT_DOUBLE_EQ(texts[1]->text.origin.y - texts[0]->text.origin.y, lineH);

  // Chinese text breaks between characters; explicit newlines always break.
  dc.canvas.clear();
  RECT cjk{0, 0, static_cast<LONG>(2 * f->Advance(U'中')), 200};
  DrawText(dc.hdc, "中文字体\nab", -1, &cjk, DT_WORDBREAK);
  texts = Texts(dc);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->text.text, "中文");
  EXPECT_EQ(texts[1]->text.text, "字体");
  EXPECT_EQ(texts[2]->text.text, "ab");

  // Prefix characters vanish unless asked to stay; "&&" is one "&".
  dc.canvas.clear();
  RECT one{0, 0, 300, 50};
  DrawText(dc.hdc, "&Save && Exit", -1, &one, DT_SINGLELINE);
  EXPECT_EQ(dc.last().text.text, "Save & Exit");
  DrawText(dc.hdc, "&Save", -1, &one, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(dc.last().text.text, "&Save");
  // A single-line calculation gives the text's own width.
  RECT single{5, 5, 6, 6};
  DrawText(dc.hdc, "abc", 3, &single, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(single.right, 5 + std::lround(f->Measure("abc").width));
  EXPECT_EQ(DrawText(dc.hdc, nullptr, 3, &single, 0), 0);
  EXPECT_EQ(DrawText(dc.hdc, "x", 1, nullptr, 0), 0);
}

TEST(Text, HimetricYUpTextIsUpright) {
  RecordingDC dc(300, 300, 254);  // 10 pixels per millimetre
  SetMapMode(dc.hdc, MM_HIMETRIC);
  SetViewportOrgEx(dc.hdc, 0, 300, nullptr);
  Owned font(MakeFont(-500));  // 5 mm
  SelectObject(dc.hdc, font.obj);
  auto f = Fixed(50);
  TextOut(dc.hdc, 1000, 2000, "Ab", 2);  // reference (100, 100) on the device
  const md::canvas::TextRun& run = dc.last().text;
  EXPECT_DOUBLE_EQ(run.font.emHeight, 50);
  EXPECT_EQ(run.angle, 0);
  // TA_TOP: the baseline lies one ascent below the reference on the device,
  // so the glyphs stand upright above it.
  EXPECT_DOUBLE_EQ(run.origin.x, 100);
  EXPECT_DOUBLE_EQ(run.origin.y, 100 + f->Metrics().ascent);

  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32(dc.hdc, "Ab", 2, &size));
  EXPECT_EQ(size.cx, std::lround(f->Measure("Ab").width * 10));  // 0.01 mm per 0.1 pixel
  EXPECT_EQ(size.cy, std::lround(f->Metrics().height * 10));
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(dc.hdc, &tm));
  EXPECT_EQ(tm.tmAscent, std::lround(f->Metrics().ascent * 10));
  EXPECT_EQ(tm.tmDescent, std::lround(f->Metrics().descent * 10));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmAveCharWidth, std::lround(f->Metrics().aveCharWidth * 10));

  // DrawText in y-up units: the rectangle's top is the larger y, lines run
  // down the device.
  RECT rc{0, 3000, 3000, 0};
  DrawText(dc.hdc, "a\nb", -1, &rc, DT_LEFT);
  auto texts = Texts(dc);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_DOUBLE_EQ(texts[1]->text.origin.y, f->Metrics().ascent);
  EXPECT_GT(texts[2]->text.origin.y, texts[1]->text.origin.y);
  EXPECT_EQ(texts[2]->text.angle, 0);
  RECT calc{0, 3000, 3000, 0};
  DrawText(dc.hdc, "a\nb", -1, &calc, DT_CALCRECT);
  EXPECT_EQ(calc.top, 3000);
  EXPECT_EQ(calc.bottom, 3000 - std::lround(2 * f->Metrics().height * 10));
}

TEST(Text, AlignmentEscapementAndCurrentPosition) {
  RecordingDC dc;
  Owned font(MakeFont(-20, 900));  // reads upwards
  SelectObject(dc.hdc, font.obj);
  auto f = Fixed(20);
  const double w = f->Measure("abcd").width;
  TextOut(dc.hdc, 100, 100, "abcd", 4);
  const md::canvas::TextRun& up = dc.last().text;
  EXPECT_DOUBLE_EQ(up.angle, 90);
  // The "down" side of an upward baseline is to the right.
  EXPECT_NEAR(up.origin.x, 100 + f->Metrics().ascent, 1e-9);
  EXPECT_NEAR(up.origin.y, 100, 1e-9);

  SetTextAlign(dc.hdc, TA_RIGHT | TA_BASELINE);
  TextOut(dc.hdc, 100, 100, "abcd", 4);
  EXPECT_NEAR(dc.last().text.origin.x, 100, 1e-9);
  EXPECT_NEAR(dc.last().text.origin.y, 100 + w, 1e-9);  // ends at the reference

  Owned flat(MakeFont(-20));
  SelectObject(dc.hdc, flat.obj);
  SetTextAlign(dc.hdc, TA_CENTER | TA_BOTTOM);
  TextOut(dc.hdc, 100, 100, "abcd", 4);
  EXPECT_DOUBLE_EQ(dc.last().text.origin.x, 100 - w / 2);
  EXPECT_DOUBLE_EQ(dc.last().text.origin.y, 100 - f->Metrics().descent);

  SetTextAlign(dc.hdc, TA_UPDATECP | TA_LEFT | TA_TOP);
  MoveToEx(dc.hdc, 10, 50, nullptr);
  TextOut(dc.hdc, 999, 999, "ab", 2);
  TextOut(dc.hdc, 999, 999, "c", 1);
  EXPECT_DOUBLE_EQ(dc.last().text.origin.x, 10 + f->Measure("ab").width);
  POINT cp;
  GetCurrentPositionEx(dc.hdc, &cp);
  EXPECT_EQ(cp.x, std::lround(10 + f->Measure("abc").width));
  EXPECT_EQ(cp.y, 50);
  EXPECT_EQ(GetTextAlign(dc.hdc), TA_UPDATECP | TA_LEFT | TA_TOP);
}

TEST(Text, ExtTextOutSpacingOpaqueAndClipping) {
  RecordingDC dc;
  Owned font(MakeFont(-20));
  SelectObject(dc.hdc, font.obj);
  SetBkColor(dc.hdc, RGB(0, 255, 0));
  SetTextColor(dc.hdc, RGB(255, 0, 0));
  const INT dx[] = {30, 40, 50};
  const RECT rc{0, 0, 50, 30};
  ASSERT_TRUE(ExtTextOut(dc.hdc, 5, 5, ETO_OPAQUE | ETO_CLIPPED, &rc, "x中y",
                         static_cast<UINT>(std::strlen("x中y")), dx));
  auto& recs = dc.canvas.records();
  ASSERT_EQ(recs.size(), 2u);
  // The box is painted with the background colour first.
  EXPECT_EQ(recs[0].type, Record::Type::Rects);
  EXPECT_EQ(recs[0].rects, (std::vector<md::canvas::Rect>{{0, 0, 50, 30}}));
  EXPECT_EQ(recs[0].brush.color, RGB(0, 255, 0));
  const Record& t = recs[1];
  EXPECT_EQ(t.text.advances, (std::vector<double>{30, 40, 50}));  // one per character
  EXPECT_EQ(t.text.color, RGB(255, 0, 0));
  EXPECT_EQ(t.state.clip.rects, (std::vector<md::canvas::Rect>{{0, 0, 50, 30}}));
  // OPAQUE mode (the default) paints the cell behind the text.
  EXPECT_TRUE(t.text.fillBackground);
  ASSERT_EQ(t.text.backgroundBox.size(), 4u);
  EXPECT_DOUBLE_EQ(t.text.backgroundBox[2].x - t.text.backgroundBox[0].x, 120);
  SetBkMode(dc.hdc, TRANSPARENT);
  TextOut(dc.hdc, 0, 0, "a", 1);
  EXPECT_FALSE(dc.last().text.fillBackground);
  EXPECT_FALSE(TextOut(dc.hdc, 0, 0, "a", -1));
  EXPECT_FALSE(ExtTextOut(dc.hdc, 0, 0, 0, nullptr, nullptr, 3, nullptr));
}

TEST(Text, PositiveHeightsAskForTheCellNegativeForTheCharacter) {
  md::canvas::RecordingCanvas canvas(10, 10);
  HDC hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FreeTypeEngine());
  Owned cell(MakeFont(40, 0, "Times New Roman"));
  Owned character(MakeFont(-40, 0, "Times New Roman"));
  SelectObject(hdc, cell.obj);
  md::text::FontRequest probe;
  probe.face = "Times New Roman";
  probe.height = 40;
  if (!md::text::FreeTypeEngine().Match(probe)->Face(0)) {
    DeleteDC(hdc);
    GTEST_SKIP() << "no outline font installed";
  }
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(hdc, &tm));
  EXPECT_NEAR(tm.tmHeight, 40, 1);
  EXPECT_GT(tm.tmInternalLeading, 0);
  SelectObject(hdc, character.obj);
  ASSERT_TRUE(GetTextMetrics(hdc, &tm));
  // The em is 40: the cell is taller by the internal leading.
  EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 40, 1);
  EXPECT_GT(tm.tmHeight, 40);
  SelectObject(hdc, GetStockObject(SYSTEM_FONT));
  DeleteDC(hdc);
}

TEST(Text, TextFaceAndEngineChoice) {
  RecordingDC dc;
  Owned font(MakeFont(-12, 0, "宋体"));
  SelectObject(dc.hdc, font.obj);
  char face[LF_FACESIZE];
  EXPECT_EQ(GetTextFace(dc.hdc, sizeof face, face), static_cast<int>(std::strlen("宋体")));
  EXPECT_STREQ(face, "宋体");
  char small[5];  // room for one character of the two and its terminator
  EXPECT_EQ(GetTextFace(dc.hdc, sizeof small, small), static_cast<int>(std::strlen("宋")));
  EXPECT_STREQ(small, "宋");
  EXPECT_EQ(md::win::GetDCTextEngine(dc.hdc), &md::text::FixedMetricsEngine());
  TextOut(dc.hdc, 0, 0, "a", 1);
  EXPECT_EQ(dc.last().text.font.face, "宋体");
  EXPECT_TRUE(md::win::SetDCTextEngine(dc.hdc, &md::text::FreeTypeEngine()));
  TextOut(dc.hdc, 0, 0, "a", 1);
  EXPECT_EQ(dc.last().text.font.engine, "freetype");
  LOGFONT back;
  ASSERT_EQ(GetObject(font.obj, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(back.lfHeight, -12);
  EXPECT_STREQ(back.lfFaceName, "宋体");

  // Faces longer than the record holds are cut before the character that
  // does not fit, never inside it.
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "字";  // 33 bytes
  Owned longFace(CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, eleven.c_str()));
  ASSERT_EQ(GetObject(longFace.obj, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::string(back.lfFaceName), eleven.substr(0, 30));
  LOGFONT full;
  std::string filled = "ab" + eleven.substr(0, 30);  // 32 bytes, no terminating NUL
  std::memcpy(full.lfFaceName, filled.data(), LF_FACESIZE);
  Owned cut(CreateFontIndirect(&full));
  ASSERT_EQ(GetObject(cut.obj, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::string(back.lfFaceName), filled.substr(0, 29));
}

}  // namespace
