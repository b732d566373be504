// The fuzz seeds and crash inputs of the legend's readers, replayed, and
// damaged forms of each; the seeds are written from real legends on request.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "layout/graphicelement/legend/cgis_legendclassformat.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/legend_input.h"
#include "tests/layout/graphicelement/legend/legendtest.h"

namespace md::test {
namespace {

namespace fs = std::filesystem;

void WriteSeed(const fs::path& dir, const char* name, std::uint8_t kind, IGIS_DataBuffer* b) {
  std::ofstream out(dir / name, std::ios::binary);
  out.put(static_cast<char>(kind));
  out.write(reinterpret_cast<const char*>(b->GetData()), b->GetSize());
}

using LegendStoredInput = LegendPage;

TEST_F(LegendStoredInput, SeedsCrashInputsAndTheirDamagedFormsReadWithoutHarm) {
  if (const char* out = std::getenv("MD_WRITE_LEGEND_CORPUS")) {
    CGIS_LegendElement* l = NewLegend(NewFrame());
    l->AddItem(NewItem(l, "河流", {"主要河流", "小河"}));
    l->AddItem(NewItem(l, "公路", {"主要公路"}));
    ASSERT_TRUE(l->Archive(0, 0));
    WriteSeed(out, "legend.bin", 3, l->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"));
    md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(l->GetLegendFormat()->Save(b.get()));
    WriteSeed(out, "format.bin", 1, b.get());
    ASSERT_TRUE(l->GetItem(0)->Save(b.get()));
    WriteSeed(out, "item.bin", 2, b.get());
    CGIS_LegendClassFormat f;
    ASSERT_TRUE(f.Save(b.get()));
    WriteSeed(out, "classformat.bin", 0, b.get());
  }
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const fs::path& p : md::test::fuzz::Inputs(folder, "legend")) {
      const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
      for (std::size_t cut :
           {bytes.size(), std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
        if (cut <= bytes.size()) legendinput::Feed(bytes.data(), cut);
      }
      ++n;
    }
  }
  EXPECT_GE(n, 4);
}

}  // namespace
}  // namespace md::test
