// Shared helpers of the feature tests: owned sets, log marks, a symbol codec
// and element hooks made of small test objects, and a readable description
// of everything a feature set holds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "tests/support/logmark.h"

namespace md::test {

using SetPtr = md::basilo::ReleasePtr<IGIS_FeatureSet>;

inline SetPtr NewSet(const char* name = "layout") {
  return SetPtr(GIS_CreateFeatureSetObject(nullptr, name, 0, 0, 0, 0, nullptr));
}

using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

BufferPtr MakeBuffer(const std::string& bytes);
std::string BufferBytes(IGIS_DataBuffer* buffer);

// A symbol object of the tests: a text that the codec stores as its bytes.
struct TestSymbol {
  std::string text;
  static int live;  // objects not yet released
  explicit TestSymbol(std::string t) : text(std::move(t)) { ++live; }
  ~TestSymbol() { --live; }
};
IGIS_Symbol* AsSymbol(TestSymbol* s);
TestSymbol* FromSymbol(IGIS_Symbol* s);
void InstallTestSymbolCodec();
void RemoveSymbolCodec();

// An element object of the tests, made through the element hooks: it
// registers itself and writes its handle and type into its feature.
struct TestElement {
  IGIS_FeatureSet* owner = nullptr;
  int featureId = -1;
  std::string type;
  static int live;
  TestElement();
  ~TestElement();
};
IGIS_Element* AsElement(TestElement* e);
TestElement* FromElement(IGIS_Element* e);
void InstallTestElementHooks();
void RemoveElementHooks();

// Everything a set holds, through the public interfaces, one line per feature.
std::string Describe(IGIS_FeatureSet* set);

// A set with a feature of every kind, fields of every type, symbol bytes and
// nested compound members.
SetPtr MakeSampleSet();

std::string TempPath(const std::string& name);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace md::test
