// Symbols: typed views, stored form (round trip and damaged input), styles,
// text extents.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/gis_bytes.h"
#include "host/glyphor/gis_symbolstyles.h"
#include "host/glyphor/igis_symbol.h"

namespace {

using Buffer = md::basilo::ReleasePtr<IGIS_DataBuffer>;
using Symbol = md::basilo::ReleasePtr<IGIS_Symbol>;

Buffer NewBuffer() { return Buffer(GIS_CreateDataBufferObject(0)); }
IGIS_SymbolFactory* F() { return GIS_GetSymbolFactoryObject(); }

std::vector<BYTE> Bytes(IGIS_Symbol* s) {
  Buffer b = NewBuffer();
  EXPECT_TRUE(s->Save(b.get()));
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

// Every observable setting of a symbol, for comparisons.
struct Settings {
  int type, code, size;
  double angle, width;
  COLORREF c1, c2, c3;
  std::vector<BYTE> font;
  bool operator==(const Settings&) const = default;
};
Settings Read(IGIS_Symbol* s) {
  Settings r{s->GetType(),   s->GetStyleCode(), s->GetSize(),
             s->GetAngle(),  s->GetLineWidth(), s->GetColor(),
             s->GetColor2(), s->GetColor3(),    {}};
  if (LOGFONT* f = s->GetFontSizePtr()) {
    r.font.assign(reinterpret_cast<BYTE*>(f), reinterpret_cast<BYTE*>(f) + sizeof(LOGFONT));
  }
  return r;
}

// A symbol of each kind with every setting moved off its default.
Symbol Customised(int type) {
  Symbol s(F()->CreateSymbol(type));
  s->SetColor(RGB(10, 20, 30));
  s->SetColor2(RGB(40, 50, 60));
  s->SetColor3(RGB(70, 80, 90));
  s->SetAngle(37.25);
  switch (type) {
    case 5:
    case 6:
    case 7:
      s->SetCode(3302);
      s->SetSize(23);
      break;
    case 9:
      s->SetCode(3333);
      s->SetLineWidth(0.35);
      break;
    case 12:
    case 17:
      s->SetCode(3363);
      s->SetColor(RGB(1, 2, 3));
      s->SetLineWidth(0.7);
      break;
    case 19: {
      LOGFONT* f = s->GetFontSizePtr();
      f->lfHeight = -17;
      f->lfWeight = 700;
      f->lfItalic = 1;
      f->lfOrientation = 90;
      std::strcpy(f->lfFaceName, "黑体");
      break;
    }
  }
  return s;
}

const int kTypes[] = {5, 6, 7, 9, 12, 17, 19};

TEST(SymbolStore, EveryKindReadsBackEqual) {
  for (int type : kTypes) {
    SCOPED_TRACE(type);
    Symbol s = Customised(type);
    Buffer b = NewBuffer();
    ASSERT_TRUE(s->Save(b.get()));
    Symbol back(F()->CreateSymbolFromBuffer(b.get()));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Read(back.get()), Read(s.get()));
    EXPECT_EQ(Bytes(back.get()), Bytes(s.get()));
    Symbol copy(s->Clone());
    EXPECT_EQ(Read(copy.get()), Read(s.get()));
  }
}

// Counted, then written in the room counted, the bytes are the growing writer's.
TEST(SymbolStore, TheSizedWriterWritesWhatTheGrowingWriterWrites) {
  auto write = [](auto& w) {
    w.U16(0xA1B2);
    w.U32(0);
    w.I32(-7);
    w.F64(-2.5);
    w.U8(0xEE);
    w.Str("黑体");
    w.PatchU32(2, static_cast<std::uint32_t>(w.Size()));
  };
  md::glyphor::Writer grown;
  write(grown);
  md::glyphor::ByteCounter count;
  write(count);
  ASSERT_EQ(count.Size(), grown.Size());
  std::vector<std::uint8_t> out(count.Size());
  md::glyphor::SizedWriter sized(out.data());
  write(sized);
  EXPECT_EQ(out, std::vector<std::uint8_t>(grown.Data().begin(), grown.Data().end()));
}

TEST(SymbolStore, LongerBufferStillReads) {
  Symbol s = Customised(19);
  Buffer b = NewBuffer();
  ASSERT_TRUE(s->Save(b.get()));
  const int n = b->GetSize();
  ASSERT_TRUE(b->SetSize(n + 64));
  Symbol back(F()->CreateSymbolFromBuffer(b.get()));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Read(back.get()), Read(s.get()));
}

TEST(SymbolStore, DamagedBuffersAreRefused) {
  EXPECT_EQ(F()->CreateSymbolFromBuffer(nullptr), nullptr);
  Buffer empty = NewBuffer();
  EXPECT_EQ(F()->CreateSymbolFromBuffer(empty.get()), nullptr);
  for (int type : kTypes) {
    SCOPED_TRACE(type);
    const std::vector<BYTE> good = Bytes(Customised(type).get());
    // Every truncation.
    for (std::size_t n = 1; n < good.size(); ++n)
      EXPECT_EQ(F()->CreateSymbolFromBytes(good.data(), static_cast<int>(n)), nullptr) << n;
    // Every single-byte change of the header.
    for (std::size_t i = 0; i < 12; ++i) {
      std::vector<BYTE> bad = good;
      bad[i] ^= 0x5A;
      IGIS_Symbol* s = F()->CreateSymbolFromBytes(bad.data(), static_cast<int>(bad.size()));
      if (s) {
        // Only a change of the type to another known type can read.
        EXPECT_TRUE(i == 6 || i == 7) << i;
        s->Release();
      }
    }
  }
}

TEST(SymbolStore, RefusalIsLogged) {
  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  const BYTE junk[16] = {1, 2, 3};
  EXPECT_EQ(F()->CreateSymbolFromBytes(junk, sizeof junk), nullptr);
  const auto records = GIS_GetLogPtr()->GetRecordsSince(mark);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().level, 3);
  EXPECT_EQ(records.back().method, "IGIS_SymbolFactory::CreateSymbolFromBuffer");
}

TEST(SymbolStore, OutOfRangeValuesAreRefused) {
  const std::vector<BYTE> good = Bytes(Customised(9).get());
  auto patch = [&](std::size_t at, const void* v, std::size_t n) {
    std::vector<BYTE> bad = good;
    std::memcpy(bad.data() + at, v, n);
    return F()->CreateSymbolFromBytes(bad.data(), static_cast<int>(bad.size()));
  };
  const double nan = std::nan("");
  const double inf = HUGE_VAL;
  const double negative = -1.0;
  const int hugeSize = 1 << 30;
  const std::uint32_t longPayload = 0xFFFFFFF0u;
  EXPECT_EQ(patch(20, &nan, 8), nullptr);  // angle
  EXPECT_EQ(patch(40, &inf, 8), nullptr);  // line width
  EXPECT_EQ(patch(40, &negative, 8), nullptr);
  EXPECT_EQ(patch(16, &hugeSize, 4), nullptr);    // size
  EXPECT_EQ(patch(8, &longPayload, 4), nullptr);  // payload length
  const std::vector<BYTE> text = Bytes(Customised(19).get());
  std::vector<BYTE> longFace = text;
  const std::uint32_t faceLen = 200;
  std::memcpy(longFace.data() + text.size() - 4 - std::strlen("黑体"), &faceLen, 4);
  EXPECT_EQ(F()->CreateSymbolFromBytes(longFace.data(), static_cast<int>(longFace.size())), nullptr);
}

TEST(SymbolStore, RandomBytesNeverCrash) {
  std::uint32_t seed = 12345;
  auto next = [&]() {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 24;
  };
  const std::vector<BYTE> good = Bytes(Customised(19).get());
  int accepted = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<BYTE> b = good;
    const int flips = 1 + static_cast<int>(next() % 4);
    for (int k = 0; k < flips; ++k) b[next() % b.size()] = static_cast<BYTE>(next());
    if (IGIS_Symbol* s = F()->CreateSymbolFromBytes(b.data(), static_cast<int>(b.size()))) {
      ++accepted;
      // Whatever reads back is a valid symbol that saves and reads again.
      Symbol kept(s);
      Symbol again(F()->CreateSymbolFromBytes(Bytes(s).data(), static_cast<int>(Bytes(s).size())));
      EXPECT_NE(again, nullptr);
    }
  }
  EXPECT_LT(accepted, 2000);
}

TEST(SymbolViews, TypedViewsAreTheSameObject) {
  Symbol line(F()->CreateSymbol(9));
  EXPECT_EQ(line->GetLinePart(), line.get());
  EXPECT_EQ(line->AsLineSymbol(), line.get());
  EXPECT_EQ(line->AsFillSymbol(), nullptr);
  EXPECT_EQ(line->GetTextPart(), nullptr);
  EXPECT_EQ(line->GetFontSizePtr(), nullptr);
  // A change through the view is a change of the symbol.
  line->GetLinePart()->SetCode(3332);
  EXPECT_EQ(line->GetStyleCode(), 3332);
  EXPECT_DOUBLE_EQ(line->GetLineWidth(), 0.5);

  Symbol back(F()->CreateSymbol(17));
  EXPECT_EQ(back->GetType17Part(), back.get());
  EXPECT_EQ(back->AsFillSymbol(), back.get());
  EXPECT_EQ(back->GetFillPart(), back.get());

  for (int t : {5, 6, 7}) {
    Symbol p(F()->CreateSymbol(t));
    EXPECT_EQ(p->AsPointSymbol(), p.get());
    EXPECT_EQ(p->GetPointPart(), p.get());
    EXPECT_EQ(p->GetType5Part(), t == 5 ? p.get() : nullptr);
    EXPECT_EQ(p->GetType7Part(), t == 7 ? p.get() : nullptr);
  }
  EXPECT_EQ(F()->CreateSymbol(8), nullptr);
}

TEST(SymbolViews, DefaultsFollowTheStyleTable) {
  Symbol point(F()->CreateSymbol(6));
  Symbol line(F()->CreateSymbol(9));
  Symbol fill(F()->CreateSymbol(12));
  EXPECT_EQ(point->GetStyleCode(), 3301);
  EXPECT_EQ(line->GetStyleCode(), 3331);
  EXPECT_EQ(fill->GetStyleCode(), 3361);
  EXPECT_EQ(point->GetSize(), static_cast<int>(md::glyphor::Find(3301)->height));
  // Kind 6 takes the box height of a newly set style.
  point->SetCode(0xCE6);
  EXPECT_EQ(point->GetSize(), static_cast<int>(md::glyphor::Find(3302)->height));
  fill->SetCode(0xD22);
  EXPECT_EQ(fill->GetColor(), RGB(255, 255, 255));
  // A code of another kind is kept but changes no setting.
  const double w = line->GetLineWidth();
  line->SetCode(3361);
  EXPECT_EQ(line->GetStyleCode(), 3361);
  EXPECT_DOUBLE_EQ(line->GetLineWidth(), w);
}

TEST(StyleTable, HasTheCodesThatCallersName) {
  for (int code : {3301, 3302, 3303, 0xCE5, 0xCE6, 0xCE7})
    EXPECT_EQ(md::glyphor::Find(code)->kind, md::glyphor::Kind::Point) << code;
  for (int code : {3331, 3332, 0xD03, 0xD04})
    EXPECT_EQ(md::glyphor::Find(code)->kind, md::glyphor::Kind::Line) << code;
  for (int code : {3361, 3362, 0xD21, 0xD22})
    EXPECT_EQ(md::glyphor::Find(code)->kind, md::glyphor::Kind::Fill) << code;
  EXPECT_EQ(md::glyphor::Find(1234), nullptr);
  // North arrows of every point kind are offered.
  bool kinds[8] = {};
  for (const auto& p : md::glyphor::PointPresets())
    if (md::glyphor::Find(p.code)->northArrow) kinds[p.type] = true;
  EXPECT_TRUE(kinds[5] && kinds[6] && kinds[7]);
  // Codes are unique and sorted.
  const auto& all = md::glyphor::AllStyles();
  for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].code, all[i].code);
}

TEST(SymbolExtent, PointKindsFiveAndSevenMeasureThemselves) {
  Symbol p5(F()->CreateSymbol(5));
  p5->SetCode(3302);  // box 12 x 30
  p5->SetSize(30);
  EXPECT_EQ(p5->GetExtent(0.0), SGIS_Rect(0, 30, 12, 0));
  EXPECT_EQ(p5->GetExtent(2.0), SGIS_Rect(0, 60, 24, 0));
  Symbol p7(F()->CreateSymbol(7));
  p7->SetCode(3303);
  p7->SetSize(10);
  EXPECT_EQ(p7->GetExtent(1.0), SGIS_Rect(0, 10, 10, 0));
  Symbol p6(F()->CreateSymbol(6));
  EXPECT_EQ(p6->GetExtent(1.0), SGIS_Rect());
}

class TextExtent : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = GIS_GetSymbolTextEngine();
    ASSERT_TRUE(GIS_SetSymbolTextEngine("fixed"));
  }
  void TearDown() override { GIS_SetSymbolTextEngine(old_.c_str()); }
  std::string old_;
};

TEST_F(TextExtent, FollowsTheFixedMetrics) {
  Symbol t(F()->CreateSymbol(19));
  t->GetFontSizePtr()->lfHeight = -10;
  SGIS_Rect r;
  // ASCII advances are half the em, others a whole em; the lower-left
  // corner is the origin.
  ASSERT_TRUE(t->GetTextExtent(&r, "abcd", 0, 1.0));
  EXPECT_EQ(r, SGIS_Rect(0, 10, 20, 0));
  ASSERT_TRUE(t->GetTextExtent(&r, "中文ab", 0, 2.0));
  EXPECT_EQ(r, SGIS_Rect(0, 20, 60, 0));
}

TEST_F(TextExtent, MeasuresEveryLine) {
  Symbol t(F()->CreateSymbol(19));
  t->GetFontSizePtr()->lfHeight = -10;
  SGIS_Rect r;
  ASSERT_TRUE(t->GetTextExtent(&r, "ab\r\nabcdef\nxyz\rq", 0, 1.0));
  EXPECT_EQ(r.Width(), 30);   // the widest line
  EXPECT_EQ(r.Height(), 40);  // four lines
  ASSERT_TRUE(t->GetTextExtent(&r, "", 0, 1.0));
  EXPECT_EQ(r, SGIS_Rect(0, 10, 0, 0));
  // Scaling the font size in place scales the extent.
  t->GetFontSizePtr()->lfHeight = -20;
  ASSERT_TRUE(t->GetTextExtent(&r, "abcd", 0, 1.0));
  EXPECT_EQ(r, SGIS_Rect(0, 20, 40, 0));
}

// Extents measured once are remembered by engine, font and text: measuring
// the same text in another engine, or another text, is measured anew.
TEST_F(TextExtent, RememberedExtentsBelongToTheirEngineFontAndText) {
  Symbol t(F()->CreateSymbol(19));
  t->GetFontSizePtr()->lfHeight = -10;
  SGIS_Rect fixed, freeType, again;
  ASSERT_TRUE(t->GetTextExtent(&fixed, "WWWW", 0, 1.0));
  ASSERT_TRUE(GIS_SetSymbolTextEngine("freetype"));
  ASSERT_TRUE(t->GetTextExtent(&freeType, "WWWW", 0, 1.0));
  ASSERT_TRUE(GIS_SetSymbolTextEngine("fixed"));
  ASSERT_TRUE(t->GetTextExtent(&again, "WWWW", 0, 1.0));
  EXPECT_EQ(fixed, SGIS_Rect(0, 10, 20, 0));
  EXPECT_EQ(again, fixed);
  EXPECT_NE(freeType, fixed);  // the face's own advances, not half the em
  ASSERT_TRUE(t->GetTextExtent(&again, "WWW", 0, 1.0));
  EXPECT_EQ(again, SGIS_Rect(0, 10, 15, 0));
}

TEST_F(TextExtent, RefusesWhatIsNotText) {
  Symbol t(F()->CreateSymbol(19));
  Symbol l(F()->CreateSymbol(9));
  SGIS_Rect r(1, 2, 3, 4);
  EXPECT_FALSE(t->GetTextExtent(&r, nullptr, 0, 1.0));
  EXPECT_EQ(r, SGIS_Rect());
  EXPECT_FALSE(l->GetTextExtent(&r, "a", 0, 1.0));
  EXPECT_FALSE(t->GetTextExtent(nullptr, "a", 0, 1.0));
}

TEST(SymbolCopy, CopyFromTakesEverySettingOfTheSameType) {
  Symbol a = Customised(19);
  Symbol b(F()->CreateSymbol(19));
  ASSERT_TRUE(b->CopyFrom(a.get()));
  EXPECT_EQ(Read(b.get()), Read(a.get()));
  Symbol line(F()->CreateSymbol(9));
  const Settings before = Read(line.get());
  EXPECT_FALSE(line->CopyFrom(a.get()));
  EXPECT_FALSE(line->CopyFrom(nullptr));
  EXPECT_EQ(Read(line.get()), before);
}

TEST(SymbolFont, ThirtyByteChineseFaceReadsBack) {
  // Ten three-byte characters: the longest whole-character face that fits.
  std::string face;
  for (int i = 0; i < 11; ++i) face += "字";
  Symbol t(F()->CreateSymbol(19));
  Buffer b = NewBuffer();
  ASSERT_TRUE(t->Save(b.get()));
  // Write the long face into the stored form by hand and read it back.
  std::vector<BYTE> bytes(b->GetData(), b->GetData() + b->GetSize());
  const std::string oldFace = t->GetFontSizePtr()->lfFaceName;
  bytes.resize(bytes.size() - oldFace.size() - 4);
  const std::uint32_t n = 30;  // ten characters
  bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&n), reinterpret_cast<const BYTE*>(&n) + 4);
  bytes.insert(bytes.end(), face.begin(), face.begin() + 30);
  std::uint32_t payload = static_cast<std::uint32_t>(bytes.size() - 12);
  std::memcpy(bytes.data() + 8, &payload, 4);
  Symbol back(F()->CreateSymbolFromBytes(bytes.data(), static_cast<int>(bytes.size())));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::string(back->GetFontSizePtr()->lfFaceName), face.substr(0, 30));
}

}  // namespace

// The fuzzing seeds are stored symbols of every type that read back, and any
// input that once broke the readers is read without harm.
TEST(SymbolFuzzInputs, SeedsReadAndPastCrashInputsAreHandled) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz";
  auto readFile = [](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
  };
  int symbols = 0;
  for (const auto& e : fs::directory_iterator(root / "corpus" / "symbol")) {
    if (e.path().filename().string().rfind("symbol-", 0) != 0) continue;
    const std::vector<char> bytes = readFile(e.path());
    Symbol s(F()->CreateSymbolFromBytes(bytes.data(), static_cast<int>(bytes.size())));
    EXPECT_NE(s, nullptr) << e.path();
    ++symbols;
  }
  EXPECT_GE(symbols, 7);
  const fs::path regressions = root / "regressions" / "symbol";
  if (fs::is_directory(regressions)) {
    for (const auto& e : fs::directory_iterator(regressions)) {
      const std::vector<char> bytes = readFile(e.path());
      Symbol s(F()->CreateSymbolFromBytes(bytes.data(), static_cast<int>(bytes.size())));  // must not crash
    }
  }
}
