// The second-kind symbol fuzz target's seeds are stored symbols of every kind,
// and every seed and every input that once broke the reader goes through the
// target's checks.
#include <gtest/gtest.h>

#include "host/glyphor2/igis_symbolv2.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/symbol2_input.h"

namespace {

TEST(Symbol2FuzzInputs, SeedsOfEveryKindAndEveryInputPassTheChecks) {
  struct Row {
    int kind;
    const char* file;
    int code;
    double width;
  } const rows[] = {{1, "line", 4101, 0.35}, {2, "fill", 4201, 0.1}, {7, "background", 4701, 0.0}};
  for (const Row& row : rows) {
    IGIS_SymbolV2* s = GIS_GetSymbol2FactoryObject()->CreateSymbol(row.kind);
    ASSERT_NE(s, nullptr) << row.kind;
    s->SetCode(row.code);
    s->SetColor(RGB(12, 34, 56));
    s->SetColor2(RGB(200, 100, 50));
    s->SetLineWidth(row.width);
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    ASSERT_TRUE(s->Save(b, TRUE));
    md::test::fuzz::WriteSeed("symbol2", row.file, md::test::fuzz::BufferBytes(b));
    b->Release();
    s->Release();
  }

  std::vector<int> kinds;
  for (const md::test::fuzz::Input& in : md::test::fuzz::AllInputs("symbol2")) {
    SCOPED_TRACE(in.file);
    md::test::ReadSymbol2Input(in.bytes.data(), in.bytes.size());
    if (!in.seed) continue;
    IGIS_SymbolV2* s = GIS_GetSymbol2FactoryObject()->CreateSymbolFromBytes(
        in.bytes.data(), static_cast<int>(in.bytes.size()));
    ASSERT_NE(s, nullptr);
    kinds.push_back(s->GetKind());
    s->Release();
  }
  std::sort(kinds.begin(), kinds.end());
  EXPECT_EQ(kinds, (std::vector<int>{1, 2, 7}));
}

}  // namespace
