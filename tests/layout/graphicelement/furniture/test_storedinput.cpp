// The fuzz seeds and crash inputs of the furniture elements' stored-state
// readers, replayed; hand-made damaged stores; and the seeds themselves,
// written from real elements when asked to.
#include <cstdlib>
#include <fstream>

#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "tests/fuzz/furniture_input.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

using StoredInput = FurniturePage;

TEST_F(StoredInput, SeedsAreTheStoresOfRealElements) {
  // Regenerates the seeds when asked to (after a deliberate format change).
  if (const char* out = std::getenv("MD_WRITE_FURNITURE_CORPUS")) {
    auto* index = New<CGIS_MapIndexElement>();
    auto* arrow = New<CGIS_NorthArrowElement>();
    auto* slope = New<CGIS_SlopeElement>();
    CGIS_MapElement* frame = NewFrame();
    arrow->SetMapElementPtr(frame);
    slope->SetMapElementPtr(frame);
    slope->SetSlopelineNumber(3);
    const std::pair<IGIS_Element*, const char*> seeds[] = {
        {index, "mapindex.bin"}, {arrow, "northarrow.bin"}, {slope, "sloperule.bin"}};
    for (const auto& [e, name] : seeds) {
      ASSERT_TRUE(e->Archive(0, 0));
      const std::vector<unsigned char> bytes = CustomBytes(e);
      std::ofstream(std::string(out) + "/" + name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
  EXPECT_GE(fuzz::Inputs("corpus", "furniture").size(), 3u);
}

TEST_F(StoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const auto& path : fuzz::Inputs(folder, "furniture")) {
      const std::vector<unsigned char> bytes = fuzz::ReadInput(path);
      furnitureinput::Feed(bytes.data(), bytes.size());
      ++n;
    }
  }
  EXPECT_GE(n, 3);
  // Damaged forms of every seed: cut short at several places.
  for (const auto& path : fuzz::Inputs("corpus", "furniture")) {
    const std::vector<unsigned char> bytes = fuzz::ReadInput(path);
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      if (cut <= bytes.size()) furnitureinput::Feed(bytes.data(), cut);
    }
  }
}

TEST_F(StoredInput, ExtremeStoredValuesStayBounded) {
  // Every integer key at the ends of its range, every double key not finite.
  for (int value : {INT32_MIN, -1, 0, INT32_MAX}) {
    PropertySetPtr set(GIS_CreatePropertySetObject());
    for (const char* key : {"ColWidth", "RowHeight", "AngleGap", "AxislineInterval", "TitleGap", "PercentGap",
                            "SlopelineNumber", "GapDescription", "X", "Y", "MapElementID"}) {
      set->AddProperty(key, key, GIS_FIELD_TYPE_INT, 1)->SetInt(value);
    }
    for (const char* key : {"ContourInterval", "CalibrationAngle", "Angle"}) {
      set->AddProperty(key, key, GIS_FIELD_TYPE_DOUBLE, 1)
          ->SetDouble(value == 0 ? std::nan("") : value * 1e300);
    }
    md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
    furnitureinput::Feed(b->GetData(), static_cast<std::size_t>(b->GetSize()));

    auto* index = New<CGIS_MapIndexElement>();
    auto* slope = New<CGIS_SlopeElement>();
    for (IGIS_Element* e : std::initializer_list<IGIS_Element*>{index, slope}) {
      e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b.get(), 0);
      ASSERT_TRUE(e->Archive(1, 0));
    }
    // Cells never become empty; the table's rectangle stays in the page's range.
    EXPECT_EQ(index->GetColWidth(), value > 0 ? value : 1300) << value;
    const SGIS_Rect r = index->GetRect();
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.bottom, r.top);
    // The line count is kept as stored and drawn within its bounds.
    EXPECT_EQ(slope->GetSlopelineNumber(), value);
    const std::size_t curves = slope->Figure().furtherCurves.size();
    EXPECT_LE(curves, static_cast<std::size_t>(md::layout::furniture::kMaxSlopeLines - 2));
  }
}

}  // namespace
}  // namespace md::test
