// Reads arbitrary bytes as a stored spatial reference. A read either fails
// and leaves the reference as it was, or succeeds; a reference that was read
// stores to the same bytes, and transforming a point with it stays safe.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/sferon/igis_spatialreference.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

using md::test::fuzz::Check;

std::vector<std::uint8_t> Stored(IGIS_SpatialReference* r) {
  return md::test::fuzz::BytesWritten(
      [r](IGIS_DataBuffer* b) { return r->Archive(b, GIS_ARCHIVE_WRITE) != FALSE; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  IGIS_DataBuffer* buffer = md::test::fuzz::BufferOf(data, size);

  IGIS_SpatialReference* target = f->CreateSpatialReference(2);
  const std::vector<std::uint8_t> before = Stored(target);
  if (!target->Archive(buffer, GIS_ARCHIVE_READ)) {
    Check(Stored(target) == before);
    Check(f->CreateFromBuffer(buffer) == nullptr);
  } else {
    Check(Stored(target) == std::vector<std::uint8_t>(data, data + size));
    IGIS_SpatialReference* made = f->CreateFromBuffer(buffer);
    Check(made != nullptr);
    IGIS_SpatialReference* geographic = f->CreateSpatialReference(1);
    IGIS_CoordTransform* t = f->CreateCoordTransform("f", "f", geographic, made);
    SGIS_DPoint p(116.0, 40.0, 0.0);
    t->TransformPoint(1, &p, 1);
    SGIS_DRect r(115.0, 41.0, 117.0, 39.0);
    t->TransformRect(&r, 8, 1);
    t->Release();
    geographic->Release();
    made->Release();
  }
  target->Release();
  buffer->Release();
  return 0;
}
