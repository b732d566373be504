// Moving and scaling the vertices of a shape held as a vertex list.
#pragma once

#include "host/basilo/sgis_types.h"

class IGIS_Feature;
class IGIS_Geometry;

namespace md::layout::shapes {

// How a vertex shape treats its vertices.
struct SGIS_VertexRules {
  int nMinToMove = 0;        // fewer vertices: OffsetAllPoints does nothing
  int nMinToFit = 0;         // fewer: ScaleShape, SetWidthAndHeight and SetLBpoint do nothing
  bool bAllowZero = false;   // factors and sizes of 0 accepted (they flatten the shape)
  bool bClosedRing = false;  // a last vertex repeating the first follows the first
};

// The feature's geometry when it has at least nMin vertices, else NULL.
IGIS_Geometry* UsableVertices(IGIS_Feature* pFeature, int nMin);

// Moves the vertices by (dx, dy), held to the 32-bit range.
void OffsetVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, int dx, int dy);

// Scales the vertices: the left-bottom corner of their bound about the
// origin, every vertex about that corner (with the smaller factor for both
// when bKeepRatio).
void ScaleVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, SGIS_Rect bound,
                   SGIS_Point origin, double sx, double sy, bool bKeepRatio);

}  // namespace md::layout::shapes
