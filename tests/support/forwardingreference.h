// Spatial references and coordinate systems that hand every request to real
// ones, for tests of what a caller does with references the spatial-reference
// library never makes (another kind code, missing parts, a vertical unit).
// The doubles below change one answer each; none owns what it forwards to.
#pragma once

#include "host/sferon/igis_spatialreference.h"

namespace md::test {

class ForwardingReference : public IGIS_SpatialReference {
 public:
  explicit ForwardingReference(IGIS_SpatialReference* real) : real_(real) {}
  void Release() override {}
  const char* GetName() override { return real_->GetName(); }
  const char* GetDescription() override { return real_->GetDescription(); }
  int GetKind() override { return real_->GetKind(); }
  IGIS_GeographicCoordSys* GetGeographicCoordSys() override { return real_->GetGeographicCoordSys(); }
  IGIS_ProjectedCoordSys* GetProjectedCoordSys() override { return real_->GetProjectedCoordSys(); }
  double GetUnitFactor() override { return real_->GetUnitFactor(); }
  BOOL SetUnitFactor(double f) override { return real_->SetUnitFactor(f); }
  void GetOrigin(SGIS_DPoint* o) override { real_->GetOrigin(o); }
  BOOL SetOrigin(SGIS_DPoint o) override { return real_->SetOrigin(o); }
  void CopyFrom(IGIS_SpatialReference* source) override { real_->CopyFrom(source); }
  BOOL Archive(IGIS_DataBuffer* b, int mode) override { return real_->Archive(b, mode); }
  double GetVerticalUnitFactor() override { return real_->GetVerticalUnitFactor(); }
  IGIS_Unit* GetVerticalUnit() override { return real_->GetVerticalUnit(); }

 protected:
  IGIS_SpatialReference* real_;
};

class ForwardingGeographic : public IGIS_GeographicCoordSys {
 public:
  explicit ForwardingGeographic(IGIS_GeographicCoordSys* real) : real_(real) {}
  const char* GetName() override { return real_->GetName(); }
  const char* GetDescription() override { return real_->GetDescription(); }
  IGIS_Datum* GetDatum() override { return real_->GetDatum(); }
  IGIS_PrimeMeridian* GetPrimeMeridian() override { return real_->GetPrimeMeridian(); }
  IGIS_Unit* GetAngularUnit() override { return real_->GetAngularUnit(); }

 protected:
  IGIS_GeographicCoordSys* real_;
};

class ForwardingProjected : public IGIS_ProjectedCoordSys {
 public:
  explicit ForwardingProjected(IGIS_ProjectedCoordSys* real) : real_(real) {}
  const char* GetName() override { return real_->GetName(); }
  const char* GetDescription() override { return real_->GetDescription(); }
  IGIS_GeographicCoordSys* GetGeographicCoordSys() override { return real_->GetGeographicCoordSys(); }
  IGIS_Projection* GetProjection() override { return real_->GetProjection(); }
  IGIS_Unit* GetLinearUnit() override { return real_->GetLinearUnit(); }

 protected:
  IGIS_ProjectedCoordSys* real_;
};

}  // namespace md::test
