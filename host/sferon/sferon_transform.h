// Coordinate transformation between two references, computed with PROJ.
#pragma once

#include <memory>
#include <string>

#include "host/sferon/sferon_model.h"

struct PJconsts;
struct pj_ctx;

namespace md::sferon {

// One side of a transformation: how its map coordinates turn into the
// values PROJ works with (radians of longitude/latitude east of Greenwich,
// or metres of the projection).
struct Side {
  bool valid = false;  // a reference of this library of kind 1 or 2
  bool projected = false;
  double unitToBase = 1.0;  // radians or metres per unit of the system
  double unitFactor = 1.0;
  double origin[2] = {0.0, 0.0};
  double primeMeridian = 0.0;  // radians, geographic sides only
  std::string projection;      // PROJ step of a projected side
  std::string datumKey;        // equal keys: no datum change
  std::string cartesian;       // PROJ cart step parameters of the ellipsoid
  std::string helmert;         // PROJ helmert step to WGS 84, empty when none
};

// A PROJ operation with the context it was made in.
struct Operation {
  pj_ctx* context = nullptr;
  PJconsts* operation = nullptr;
};

class CCoordTransform final : public IGIS_CoordTransform {
 public:
  CCoordTransform(const char* name, const char* description);
  CCoordTransform(const CCoordTransform&) = delete;
  CCoordTransform& operator=(const CCoordTransform&) = delete;

  void SetSourceAndTarget(IGIS_SpatialReference* source, IGIS_SpatialReference* target) override;
  BOOL TransformPoint(int count, SGIS_DPoint* points, int direction) override;
  void Release() override { delete this; }
  BOOL TransformRect(SGIS_DRect* rect, int pointsPerEdge, int direction) override;

 private:
  ~CCoordTransform() override;
  void Clear();
  // One point; false (and the point untouched) when it cannot be transformed.
  bool TransformOne(double* x, double* y, bool forward);

  std::string m_name;
  std::string m_description;
  enum class Mode { kEmpty, kIdentity, kUnits, kProj, kBroken } m_mode = Mode::kEmpty;
  Side m_source;
  Side m_target;
  std::string m_definition;  // the pipeline of m_op
  Operation m_op;
};

// Builds the side of a reference; false for kinds the transformations do
// not handle (the reason goes to *why).
bool MakeSide(const ReferenceDef& def, Side* side, std::string* why);

}  // namespace md::sferon
