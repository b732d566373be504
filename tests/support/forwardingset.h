// Owners and feature classes that hand every request to real ones but change
// one answer, for tests of what an element does when its host refuses.
#pragma once

#include "host/featra/igis_feature.h"

namespace md::test {

// A feature class that hands every request to a real one; the doubles below
// change one answer each.
class ForwardingClass : public IGIS_FeatureClass {
 public:
  explicit ForwardingClass(IGIS_FeatureClass* real) : real_(real) {}
  IGIS_SpatialReference* GetSpatialReference() override { return real_->GetSpatialReference(); }
  IGIS_Feature* CreateFeature(int kind, int option) override { return real_->CreateFeature(kind, option); }
  BOOL DeleteFeature(int id) override { return real_->DeleteFeature(id); }
  BOOL UpdateFeature(IGIS_Feature* f, int flags) override { return real_->UpdateFeature(f, flags); }
  void SetSpatialReference(IGIS_SpatialReference* r) override { real_->SetSpatialReference(r); }
  int GetFeatureCount() override { return real_->GetFeatureCount(); }
  int GetUpdateCount() override { return real_->GetUpdateCount(); }
  BOOL GetUpdateRecord(int i, int* id, int* flags) override { return real_->GetUpdateRecord(i, id, flags); }
  void ClearUpdateRecords() override { real_->ClearUpdateRecords(); }

 protected:
  IGIS_FeatureClass* real_;
};

// A feature class over a real one that refuses every commit (and records
// none).
class CommitRefusingClass : public ForwardingClass {
 public:
  using ForwardingClass::ForwardingClass;
  BOOL UpdateFeature(IGIS_Feature*, int) override { return FALSE; }
  int GetUpdateCount() override { return 0; }
  BOOL GetUpdateRecord(int, int*, int*) override { return FALSE; }
  void ClearUpdateRecords() override {}
};

// An owner that hands every request to a real feature set; the doubles
// below change one answer each.
class ForwardingSet : public IGIS_FeatureSet {
 public:
  explicit ForwardingSet(IGIS_FeatureSet* real) : real_(real) {}
  void Release() override {}
  IGIS_FeatureClass* GetFeatureClass() override { return real_->GetFeatureClass(); }
  IGIS_Element* CreateElement(const char* t) override { return real_->CreateElement(t); }
  BOOL DeleteElement(IGIS_Element* e) override { return real_->DeleteElement(e); }
  IGIS_Feature* GetFeature(int id) override { return real_->GetFeature(id); }
  double GetUnitRatio() override { return real_->GetUnitRatio(); }
  BOOL LoadMembers(IGIS_Feature* c) override { return real_->LoadMembers(c); }
  IGIS_Feature* GetFeatureByIndex(int i) override { return real_->GetFeatureByIndex(i); }
  IGIS_Element* GetElement(int id) override { return real_->GetElement(id); }
  int GetFeatureCount() override { return real_->GetFeatureCount(); }
  const char* GetName() override { return real_->GetName(); }
  BOOL SetUnitRatio(double r) override { return real_->SetUnitRatio(r); }
  BOOL SaveToFile(const char* p) override { return real_->SaveToFile(p); }
  BOOL LoadFromFile(const char* p) override { return real_->LoadFromFile(p); }

 protected:
  IGIS_FeatureSet* real_;
};

// An owner whose feature class refuses every commit.
class CommitRefusingSet : public ForwardingSet {
 public:
  explicit CommitRefusingSet(IGIS_FeatureSet* real) : ForwardingSet(real), class_(real->GetFeatureClass()) {}
  IGIS_FeatureClass* GetFeatureClass() override { return &class_; }

 private:
  CommitRefusingClass class_;
};

}  // namespace md::test
