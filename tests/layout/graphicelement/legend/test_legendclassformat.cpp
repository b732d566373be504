// The legend class format's binary block and its copies.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/legend/cgis_legendclassformat.h"
#include "layout/graphicelement/legend/cgis_legenditem.h"
#include "tests/support/logmark.h"

namespace {

using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

std::vector<unsigned char> Bytes(IGIS_DataBuffer* b) { return {b->GetData(), b->GetData() + b->GetSize()}; }

void SetBytes(IGIS_DataBuffer* b, const std::vector<unsigned char>& bytes) {
  b->SetSize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
}

TEST(LegendClassFormat, BlockHoldsHeaderValuesAndTheSymbolsBytes) {
  CGIS_LegendClassFormat f;
  f.SetIntValue1(-1);
  f.SetIntValue2(0x01020304);
  f.SetDoubleValue1(2.5);
  f.SetDoubleValue2(-0.125);
  f.GetSymbolPtr()->GetFontSizePtr()->lfHeight = -27;
  BufferPtr symbolBytes(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(f.GetSymbolPtr()->Save(symbolBytes.get()));
  BufferPtr b(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(f.Save(b.get()));
  const std::vector<unsigned char> bytes = Bytes(b.get());
  ASSERT_EQ(bytes.size(), 46u + static_cast<unsigned>(symbolBytes->GetSize()));
  const unsigned total = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<unsigned>(bytes[3]) << 24;
  EXPECT_EQ(total, bytes.size());
  EXPECT_EQ(std::memcmp(bytes.data() + 4, "LegendClassFormat", 18), 0);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 22, bytes.begin() + 26),
            (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 26, bytes.begin() + 30),
            (std::vector<unsigned char>{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 46, bytes.end()), Bytes(symbolBytes.get()));

  CGIS_LegendClassFormat g;
  ASSERT_TRUE(g.Open(b.get()));
  EXPECT_EQ(g.GetIntValue1(), -1);
  EXPECT_EQ(g.GetIntValue2(), 0x01020304);
  EXPECT_EQ(g.GetDoubleValue1(), 2.5);
  EXPECT_EQ(g.GetDoubleValue2(), -0.125);
  EXPECT_EQ(g.GetSymbolPtr()->GetFontSizePtr()->lfHeight, -27);
}

TEST(LegendClassFormat, NumberSettersRefuseValuesThatAreNotFinite) {
  CGIS_LegendClassFormat f;
  f.SetDoubleValue1(2.5);
  f.SetDoubleValue2(-0.125);
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    f.SetDoubleValue1(bad);
    f.SetDoubleValue2(bad);
  }
  EXPECT_EQ(f.GetDoubleValue1(), 2.5);
  EXPECT_EQ(f.GetDoubleValue2(), -0.125);
}

TEST(LegendClassFormat, WithoutASymbolTheBlockIs46BytesAndKeepsTheReadersSymbol) {
  CGIS_LegendClassFormat f;
  f.ReleaseSymbol();
  EXPECT_EQ(f.GetSymbolPtr(), nullptr);
  f.SetIntValue2(9);
  BufferPtr b(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(f.Save(b.get()));
  EXPECT_EQ(b->GetSize(), 46);
  CGIS_LegendClassFormat g;
  IGIS_Symbol* own = g.GetSymbolPtr();
  ASSERT_TRUE(g.Open(b.get()));
  EXPECT_EQ(g.GetSymbolPtr(), own);
  EXPECT_EQ(g.GetIntValue2(), 9);
}

TEST(LegendClassFormat, DamagedBlocksAreRefusedAndChangeNothing) {
  CGIS_LegendClassFormat f;
  f.SetIntValue1(5);
  BufferPtr b(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(f.Save(b.get()));
  const std::vector<unsigned char> good = Bytes(b.get());
  struct Damage {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  std::vector<Damage> damages;
  auto lengthOff = good;
  lengthOff[0] ^= 1;
  damages.push_back({"recorded length differs", lengthOff});
  auto tagOff = good;
  tagOff[10] = 'x';
  damages.push_back({"one letter of the tag", tagOff});
  damages.push_back({"shorter than the header", std::vector<unsigned char>(good.begin(), good.begin() + 45)});
  auto symbolCut = std::vector<unsigned char>(good.begin(), good.end() - 3);
  symbolCut[0] = static_cast<unsigned char>(symbolCut.size());
  symbolCut[1] = static_cast<unsigned char>(symbolCut.size() >> 8);
  damages.push_back({"symbol bytes cut short", symbolCut});
  damages.push_back({"empty", {}});
  for (const Damage& d : damages) {
    CGIS_LegendClassFormat g;
    g.SetIntValue1(42);
    IGIS_Symbol* own = g.GetSymbolPtr();
    BufferPtr bad(GIS_CreateDataBufferObject(0));
    SetBytes(bad.get(), d.bytes);
    EXPECT_FALSE(g.Open(bad.get())) << d.name;
    EXPECT_EQ(g.GetIntValue1(), 42) << d.name;
    EXPECT_EQ(g.GetSymbolPtr(), own) << d.name;
  }
  md::test::LogMark mark;
  EXPECT_FALSE(f.Open(nullptr));
  EXPECT_FALSE(f.Save(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendClassFormat::Open", "pDataBuffer == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendClassFormat::Save", "pDataBuffer == NULL"));
}

TEST(LegendClassFormat, ClonesAreIndependentAndItemsOwnTheirCopy) {
  CGIS_LegendClassFormat f;
  f.SetDoubleValue2(7.0);
  f.GetSymbolPtr()->GetFontSizePtr()->lfHeight = -12;
  std::unique_ptr<IGIS_LegendClassFormat> c(f.Clone());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->GetDoubleValue2(), 7.0);
  EXPECT_NE(c->GetSymbolPtr(), f.GetSymbolPtr());
  f.ReleaseSymbol();
  EXPECT_EQ(c->GetSymbolPtr()->GetFontSizePtr()->lfHeight, -12);

  md::basilo::ReleasePtr<CGIS_LegendItem> item(new CGIS_LegendItem(nullptr));
  item->SetClassFormat(c.get());
  ASSERT_NE(item->GetClassFormat(), nullptr);
  EXPECT_NE(item->GetClassFormat(), c.get());
  EXPECT_EQ(item->GetClassFormat()->GetDoubleValue2(), 7.0);
  // Replacing and clearing end the held copies (the sanitizer run sees a leak otherwise).
  item->SetClassFormat(&f);
  item->SetClassFormat(item->GetClassFormat());
  EXPECT_EQ(item->GetClassFormat()->GetSymbolPtr(), nullptr);
  item->SetClassFormat(nullptr);
  EXPECT_EQ(item->GetClassFormat(), nullptr);
}

}  // namespace
