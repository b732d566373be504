// The stored form of the map frame's own state: the keys of its "Custom"
// property set, their captions, and the raw bound (FORMAT.md).
#pragma once

#include "layout/graphicelement/element/customset.h"

#include <memory>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"

namespace md::layout::detail {

namespace keys {
inline constexpr char kMapName[] = "MapName";
inline constexpr char kRotateAngle[] = "RotateAngle";
inline constexpr char kMapBound[] = "MapBound";
inline constexpr char kFixScale[] = "FixScale";
inline constexpr char kExtentType[] = "ExtentType";
inline constexpr char kFrameProperty[] = "FrameProperty";
inline constexpr char kSpatialReference[] = "SpatialReference";
inline constexpr char kMapGrids[] = "MapGrids";
inline constexpr char kPolyGon[] = "PolyGon";
inline constexpr char kInnerMapBorder[] = "InnerMapBorder";
inline constexpr char kOuterMapBorder[] = "OuterMapBorder";
inline constexpr char kInnerMapBorderNull[] = "InnerMapBorderNULL";
inline constexpr char kOuterMapBorderNull[] = "OuterMapBorderNULL";
inline constexpr char kDisableAutoControlVectorSubLayer[] = "DisableAutoControlVectorSubLayer";
inline constexpr char kUseSetedReferenceScale[] = "UseSetedReferenceScale";
}  // namespace keys

// Bytes of the stored bound: x1, x2, y1, y2 as little-endian IEEE doubles.
constexpr int kBoundBytes = 32;

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

// The values a write stores directly.
struct SFrameState {
  const char* szMapName = "";
  double dRotateAngle = 0.0;
  SGIS_DRect bound;
  double dFixScale = 10.0;
  int nExtentType = 0;
  bool bDisableAutoControlVectorSubLayer = true;
};

// Declares the keys of a new frame with their captions and default values.
void DeclareCustomKeys(IGIS_PropertySet* pSet, const char* szMapName, double dFixScale, int nExtentType,
                       bool bDisableAutoControlVectorSubLayer);

// The key as a write adds it when missing (with its write caption); false
// for a key that is not the frame's or that a write never adds.
bool KeyFor(const char* szKey, md::layout::SGIS_CustomKey* pKey);

// Writes "MapName", "RotateAngle", "MapBound", "FixScale" and "ExtentType".
void WriteFrameValues(md::layout::CustomSetWriter& set, const SFrameState& state);

// Reads "MapBound" into *pBound; a missing key, a buffer of fewer than 32
// bytes or a coordinate that is not finite leaves *pBound as it was.
bool ReadBound(const md::layout::StoredSetView& set, SGIS_DRect* pBound);

// The bound as its 32 stored bytes, and back.
void EncodeBound(const SGIS_DRect& bound, unsigned char* pOut);
SGIS_DRect DecodeBound(const unsigned char* pIn);

// Copies bytes out of a data buffer.
void GetBytes(IGIS_DataBuffer* pBuffer, std::vector<unsigned char>* pBytes);

}  // namespace md::layout::detail
