// One input of the grid labels' stored-state readers, reached through the
// library's exports and the label interface: the bytes as a stored label
// rebuilt by the label factory, and opened by a label of every type the
// factory makes. What a label read is stored again, and the stored form of
// that is stable: read back and stored once more it gives the same bytes.
// Shared by the fuzz target and the regular test that replays seeds and
// crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test::gridlabelinput {

// Stores the label, reads that into a new label of its type and stores it
// again: both stored forms match.
inline void CheckStable(IGIS_GridLabel* label) {
  using md::test::fuzz::BytesWritten;
  const std::vector<std::uint8_t> first = BytesWritten([&](IGIS_DataBuffer* b) { return label->Save(b); });
  IGIS_GridLabel* again = GIS_CreateMapGridLabelFormatObject(label->GetType());
  md::test::fuzz::Check(again != nullptr);
  IGIS_DataBuffer* b = md::test::fuzz::BufferOf(first.data(), first.size());
  md::test::fuzz::Check(again->Open(b));
  b->Release();
  md::test::fuzz::Check(BytesWritten([&](IGIS_DataBuffer* out) { return again->Save(out); }) == first);
  IGIS_GridLabel* clone = again->Clone();
  md::test::fuzz::Check(clone != nullptr && clone->GetType() == label->GetType());
  clone->CopyFrom(label);
  clone->Release();
  again->Release();
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  if (IGIS_GridLabel* rebuilt = GIS_CreateMapGridLabelFormatObjectFromDataBuffer(bytes)) {
    CheckStable(rebuilt);
    rebuilt->Release();
  }
  for (int type = 0; type <= 7; ++type) {
    IGIS_GridLabel* label = GIS_CreateMapGridLabelFormatObject(type);
    if (label == nullptr) continue;
    label->Open(bytes);
    CheckStable(label);
    label->Release();
  }
  bytes->Release();
}

}  // namespace md::test::gridlabelinput
