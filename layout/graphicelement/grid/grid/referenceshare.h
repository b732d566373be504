// Spatial references shared within one stored map frame: a grid whose
// reference has the same bytes as one stored before it in the frame (the
// frame's own, or an earlier grid's) stores the number of that one instead
// of the bytes (FORMAT.md beside this file, "Shared references").
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "host/basilo/igis_propertyset.h"

namespace md::layout::grid {

// The references stored so far in one frame, by source: 0 the frame's
// "SpatialReference", n >= 1 the one stored in full by grid-list entry n.
class ReferenceShare {
 public:
  static constexpr int kFrame = 0;

  // Records the bytes of a source; empty bytes are not recorded.
  void Add(int nSource, std::span<const BYTE> bytes);
  // Forgets a source (an entry that was not written after all).
  void Drop(int nSource);
  // The first source holding exactly these bytes; -1 when none does.
  int Find(std::span<const BYTE> bytes) const;
  // The bytes of a source; NULL when it is not recorded.
  const std::vector<BYTE>* Bytes(int nSource) const;

 private:
  std::vector<std::pair<int, std::vector<BYTE>>> m_sources;
};

// A grid that stores a spatial reference and can share it with the others
// of its frame. The grid list calls these with the entry number the grid is
// stored under; Save and Open alone store and read the reference in full.
class ReferenceSharingGrid {
 public:
  virtual bool SaveSharing(IGIS_DataBuffer* pBuffer, ReferenceShare* pShare, int nEntry) = 0;
  virtual bool OpenSharing(IGIS_DataBuffer* pBuffer, ReferenceShare* pShare, int nEntry) = 0;

 protected:
  ~ReferenceSharingGrid() = default;
};

}  // namespace md::layout::grid
