#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/text/textengine.h"

using md::text::FontRequest;
using md::text::FreeTypeEngine;

namespace {

FontRequest Req(const std::string& face, double height = -20, int weight = 400, bool italic = false) {
  FontRequest r;
  r.face = face;
  r.height = height;
  r.weight = weight;
  r.italic = italic;
  return r;
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

TEST(FreeTypeEngine, MapsFaceNamesToInstalledFamilies) {
  struct Row {
    const char* face;
    const char* family;
    const char* filePrefix;
  };
  const Row rows[] = {
      {"宋体", "Noto Serif CJK SC", "NotoSerifCJK"},
      {"SimSun", "Noto Serif CJK SC", "NotoSerifCJK"},
      {"黑体", "Noto Sans CJK SC", "NotoSansCJK"},
      {"simhei", "Noto Sans CJK SC", "NotoSansCJK"},
      {"Times New Roman", "Liberation Serif", "LiberationSerif-Regular"},
      {"Arial", "Liberation Sans", "LiberationSans-Regular"},
      {"Courier New", "Noto Sans CJK SC", "NotoSansCJK"},
      {"楷体", "Noto Sans CJK SC", "NotoSansCJK"},
      {"", "Noto Sans CJK SC", "NotoSansCJK"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.face);
    EXPECT_EQ(md::text::MappedFamily(r.face), r.family);
    auto font = FreeTypeEngine().Match(Req(r.face));
    const auto* face = font->Face(0);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->family, r.family);
    EXPECT_EQ(FileName(face->file).rfind(r.filePrefix, 0), 0u) << face->file;
  }
}

TEST(FreeTypeEngine, BoldAndItalicPickFacesOrSynthesise) {
  auto bold = FreeTypeEngine().Match(Req("Arial", -20, 700));
  EXPECT_EQ(FileName(bold->Face(0)->file), "LiberationSans-Bold.ttf");
  EXPECT_FALSE(bold->Face(0)->syntheticBold);

  auto italic = FreeTypeEngine().Match(Req("Times New Roman", -20, 400, true));
  EXPECT_EQ(FileName(italic->Face(0)->file), "LiberationSerif-Italic.ttf");
  EXPECT_FALSE(italic->Face(0)->syntheticItalic);

  // The CJK faces have no italic: it is slanted when drawn.
  auto cjkItalic = FreeTypeEngine().Match(Req("宋体", -20, 400, true));
  EXPECT_EQ(cjkItalic->Face(0)->family, "Noto Serif CJK SC");
  EXPECT_TRUE(cjkItalic->Face(0)->syntheticItalic);
}

TEST(FreeTypeEngine, CharacterAndCellHeights) {
  auto byEm = FreeTypeEngine().Match(Req("Arial", -20));
  const auto& m = byEm->Metrics();
  EXPECT_DOUBLE_EQ(m.em, 20);
  EXPECT_NEAR(m.ascent + m.descent, m.height, 1e-9);
  EXPECT_GT(m.internalLeading, 0);
  EXPECT_NEAR(m.height - m.internalLeading, 20, 1e-9);

  auto byCell = FreeTypeEngine().Match(Req("Arial", 20));
  EXPECT_NEAR(byCell->Metrics().height, 20, 1e-9);
  EXPECT_LT(byCell->Metrics().em, 20);
  EXPECT_GT(byCell->Metrics().ascent, byCell->Metrics().descent);

  // Sizes scale linearly: twice the em, twice every metric and advance.
  auto twice = FreeTypeEngine().Match(Req("Arial", -40));
  EXPECT_NEAR(twice->Metrics().ascent, 2 * m.ascent, 1e-9);
  EXPECT_NEAR(twice->Measure("Legend").width, 2 * byEm->Measure("Legend").width, 1e-9);
}

TEST(FreeTypeEngine, ChineseFacesHaveAOneEmCell) {
  for (const char* face : {"宋体", "黑体", "Courier New"}) {
    SCOPED_TRACE(face);
    auto byEm = FreeTypeEngine().Match(Req(face, -30));
    auto byCell = FreeTypeEngine().Match(Req(face, 30));
    EXPECT_DOUBLE_EQ(byEm->Metrics().height, 30);
    EXPECT_DOUBLE_EQ(byCell->Metrics().em, 30);
    EXPECT_DOUBLE_EQ(byEm->Metrics().internalLeading, 0);
    EXPECT_GT(byEm->Metrics().ascent, 3 * byEm->Metrics().descent);
    EXPECT_DOUBLE_EQ(byEm->Metrics().maxCharWidth, 30);
  }
}

TEST(FreeTypeEngine, AverageWidthWeighsLowercaseByFrequency) {
  const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                           56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
  for (const char* face : {"Arial", "Times New Roman", "宋体"}) {
    SCOPED_TRACE(face);
    auto font = FreeTypeEngine().Match(Req(face, -40));
    double sum = 0;
    for (int i = 0; i < 27; ++i) sum += weights[i] * font->Advance(i < 26 ? U'a' + i : U' ');
    EXPECT_NEAR(font->Metrics().aveCharWidth, sum / 1000, 1e-9);
    EXPECT_LT(font->Metrics().aveCharWidth, font->Metrics().maxCharWidth);
  }
}

TEST(FreeTypeEngine, ChineseTextIsMeasuredAndWiderThanAscii) {
  for (const char* face : {"宋体", "黑体", "Arial", "Times New Roman"}) {
    SCOPED_TRACE(face);
    auto font = FreeTypeEngine().Match(Req(face, -20));
    const double chinese = font->Measure("比例尺图例").width;
    const double ascii = font->Measure("scale").width;
    EXPECT_GT(chinese, 0);
    EXPECT_GT(ascii, 0);
    EXPECT_GT(chinese, ascii);
    // A CJK ideograph is one em wide in every face used here.
    EXPECT_NEAR(font->Advance(U'图'), 20, 0.5);
    for (const auto& g : font->Shape("比例尺")) EXPECT_NE(g.index, 0u);
  }
}

TEST(FreeTypeEngine, LatinFacesTakeChineseFromTheDefaultFace) {
  auto font = FreeTypeEngine().Match(Req("Arial", -20));
  const auto glyphs = font->Shape("A图");
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].slot, 0);
  EXPECT_EQ(glyphs[1].slot, 1);
  ASSERT_NE(font->Face(1), nullptr);
  EXPECT_EQ(font->Face(1)->family, "Noto Sans CJK SC");
  EXPECT_DOUBLE_EQ(glyphs[1].x, glyphs[0].advance);

  // A CJK face needs no fallback.
  auto cjk = FreeTypeEngine().Match(Req("黑体", -20));
  EXPECT_EQ(cjk->Face(1), nullptr);
}

TEST(FreeTypeEngine, RequestedWidthScalesHorizontally) {
  auto natural = FreeTypeEngine().Match(Req("Arial", -20));
  FontRequest narrow = Req("Arial", -20);
  narrow.width = natural->Metrics().aveCharWidth / 2;
  auto font = FreeTypeEngine().Match(narrow);
  EXPECT_NEAR(font->Metrics().aveCharWidth, narrow.width, 1e-9);
  EXPECT_NEAR(font->Metrics().xScale, 0.5, 1e-9);
  EXPECT_NEAR(font->Measure("Narrow").width, natural->Measure("Narrow").width / 2, 1e-9);
  EXPECT_DOUBLE_EQ(font->Metrics().ascent, natural->Metrics().ascent);
}

TEST(FreeTypeEngine, FontsDrawAsTheRequestsThatMatchTheirLook) {
  FontRequest cell = Req("Arial", 24);  // cell height, underlined, on a slant
  cell.escapement = 450;
  cell.underline = true;
  auto font = FreeTypeEngine().Match(cell);
  const double em = font->Metrics().em;
  FontRequest other = Req("Arial", -em), bold = Req("Arial", -em, 700),
              slanted = Req("Arial", -em, 400, true);
  FontRequest narrow = Req("Arial", -em), song = Req("宋体", -em), chinese = Req("Arial", -em);
  narrow.width = 5;
  chinese.charSet = 134;
  const std::pair<FontRequest, bool> rows[] = {
      {cell, true},  {other, true},    {chinese, true}, {Req("Arial", -em - 1), false},
      {bold, false}, {slanted, false}, {narrow, false}, {song, false}};
  for (const auto& [req, draws] : rows) {
    EXPECT_EQ(font->DrawsAs(req), draws) << req.face << " " << req.height;
    if (!draws) continue;
    auto same = FreeTypeEngine().Match(req);  // measures and draws as `font`
    EXPECT_EQ(same->Metrics().em, em);
    EXPECT_EQ(same->Metrics().xScale, font->Metrics().xScale);
    EXPECT_EQ(same->Face(0)->file, font->Face(0)->file);
    EXPECT_EQ(same->Measure("Ag图").width, font->Measure("Ag图").width);
  }
}

TEST(FreeTypeEngine, MatchingIsSafeFromSeveralThreads) {
  std::vector<std::thread> threads;
  std::atomic<int> bad{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &bad] {
      for (int i = 0; i < 50; ++i) {
        auto f = FreeTypeEngine().Match(Req(t % 2 ? "宋体" : "Arial", -10 - i));
        if (!(f->Measure("地图 map").width > 0)) ++bad;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(bad.load(), 0);
}

}  // namespace
