// The fuzz seeds and crash inputs of the grid labels' and index tab styles'
// stored-state readers, replayed whole and cut short. With MAPDECK_UPDATE_SEEDS=1 the seeds are
// first written from real labels.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "layout/graphicelement/grid/label/igis_indexbackgroundtabstyle.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/gridlabel_input.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"

namespace md::test {
namespace {

namespace fs = std::filesystem;

void WriteSeed(const char* name, const std::vector<BYTE>& bytes) {
  const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "gridlabel";
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteSeeds() {
  ReleasePtr<CGIS_FormattedGridLabel> plain(new CGIS_FormattedGridLabel);
  WriteSeed("formatted.bin", Stored(plain.get()));
  ReleasePtr<CGIS_FormattedGridLabel> edited(new CGIS_FormattedGridLabel);
  IGIS_NumericFormat* f = edited->GetNumericFormat();
  f->SetWidth(50);
  f->SetDigits(10);
  f->SetShowThousandsSeparator(true);
  f->SetZeroPadding(true);
  edited->SetLabelOffset(-10001);
  edited->SetLabelOffsetX(2147483647, -2147483647, 0, 300);
  edited->SetLabelAlignment(true, false, true, false);
  edited->SetLabelVisible(false, true, false, true);
  WriteSeed("formatted_edited.bin", Stored(edited.get()));
  ReleasePtr<CGIS_DMSGridLabel> dms(new CGIS_DMSGridLabel);
  WriteSeed("dms.bin", Stored(dms.get()));
  // Stacked degrees and minutes, the split and options changed, a stored
  // display type outside the two, a seconds symbol of its own.
  ReleasePtr<CGIS_DMSGridLabel> stacked(new CGIS_DMSGridLabel);
  stacked->SetShowSeconds(false);
  stacked->SetDecimalDigits(10);
  stacked->GetLatLonFormat()->SetLatLonOptionA(false);
  stacked->GetLatLonFormat()->SetLatLonOptionB(false);
  stacked->GetSecondsSymbolText()->GetFontSizePtr()->lfHeight = -5;
  stacked->SetLabelAlignment(false, true, false, true);
  BufferPtr type2 = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "DMSLabelType", 2); });
  stacked->Open(type2.get());
  WriteSeed("dms_stacked.bin", Stored(stacked.get()));
  ReleasePtr<CGIS_MixedFontGridLabel> mixed(new CGIS_MixedFontGridLabel);
  WriteSeed("mixedfont.bin", Stored(mixed.get()));
  // Every own setting away from its default, a negative count and a
  // position outside the rule (as stored data may hold them).
  ReleasePtr<CGIS_MixedFontGridLabel> odd(new CGIS_MixedFontGridLabel);
  odd->SetNumGroupedDigits(-3);
  odd->SetGroupedDigitsType(false);
  odd->SetShowZone(true);
  odd->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight = -72;
  odd->GetNumericFormat()->SetWidth(50);
  odd->SetLabelAlignment(true, true, true, true);
  BufferPtr seven = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "Positon", 7); });
  odd->Open(seven.get());
  WriteSeed("mixedfont_odd.bin", Stored(odd.get()));
  // A label without its second and zone symbols and its format: empty keys.
  ReleasePtr<CGIS_MixedFontGridLabel> bare(new CGIS_MixedFontGridLabel);
  bare->SetSecondarySymbolTextPtr(nullptr);
  bare->SetZoneSymbolTextPtr(nullptr);
  bare->SetNumericFormatPtr(nullptr);
  WriteSeed("mixedfont_bare.bin", Stored(bare.get()));
  // Only the common offset: the side offsets follow it.
  WriteSeed("offset_only.bin", [] {
    BufferPtr b = BufferWith([](IGIS_PropertySet* s) {
      PutInt(s, "GridLabelType", GIS_GRIDLABEL_FORMATTED);
      PutInt(s, "LabelOffset", 300);
    });
    return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
  }());

  // The tab styles: each as made, and edited to their edges.
  const char* const names[] = {"tab_background.bin", "tab_button.bin", "tab_continuous.bin",
                               "tab_rounded.bin"};
  for (int i = 0; i < 4; ++i) {
    ReleasePtr<IGIS_GridLabel> style(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_INDEX_BACKGROUND + i));
    WriteSeed(names[i], Stored(style.get()));
  }
  ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_INDEX_BACKGROUND));
  auto* tabs = dynamic_cast<IGIS_IndexBackGroundTabStyle*>(label.get());
  tabs->SetBackgroundType(2);
  tabs->SetInside(true);
  tabs->SetThickness(-2147483647);
  tabs->SetForegroundSymbolPtr(nullptr);
  tabs->SetLabelAlignment(true, true, true, true);
  tabs->SetLabelOffsetY(0, 0, 2147483647, -300);
  WriteSeed("tab_background_edited.bin", Stored(label.get()));
  // A background type past the page's three and the stored offsets alone.
  WriteSeed("tab_stored_offsets.bin", [] {
    BufferPtr b = BufferWith([](IGIS_PropertySet* s) {
      PutInt(s, "GridLabelType", GIS_GRIDLABEL_INDEX_BACKGROUND);
      PutInt(s, "BackgroundType", 3);
      PutInt(s, "dOffsetX", 37);
      PutInt(s, "dOffsetY", -37);
    });
    return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
  }());
}

TEST(GridLabelStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const fs::path& p : md::test::fuzz::Inputs(folder, "gridlabel")) {
      const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
      gridlabelinput::Feed(bytes.data(), bytes.size());
      ++n;
    }
  }
  EXPECT_GE(n, 14);
  for (const fs::path& p : md::test::fuzz::Inputs("corpus", "gridlabel")) {
    const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      gridlabelinput::Feed(bytes.data(), cut);
    }
  }
}

}  // namespace
}  // namespace md::test
