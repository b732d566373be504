// Shared pieces of the grid base's tests: a grid kind made on the grid base
// for the tests only, a label and a border that note what is asked of them,
// a layout page with a map frame, and stored bytes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "tests/support/owned.h"
#include "tests/support/storedbytes.h"

namespace md::test {

// What the test objects were asked to do, in order.
struct Journal {
  std::vector<std::string> events;
};

// A grid kind for the base's tests: kind code 90, one key of its own
// ("KindKey") before the common ones, degrees-minutes-seconds labels only.
class TestKindGrid final : public CGIS_MapGridBase<IGIS_MapGrid> {
 public:
  static constexpr int kType = 90;
  TestKindGrid() = default;

  void SetLabelFormat(IGIS_GridLabel* pLabel) override;
  int GetType() override { return kType; }
  void Release() override { delete this; }
  IGIS_MapGrid* Clone() override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OnOpenPropertyDlg() override;

  int m_nKindValue = 7;  // stored under "KindKey"

 private:
  ~TestKindGrid() = default;
};

// A label that notes draws and conversions; its stored form is a set of
// "GridLabelType" and "Text".
class TestLabel final : public IGIS_GridLabel {
 public:
  TestLabel(Journal* j, int type, std::string text, IGIS_FeatureSet* converts = nullptr)
      : j_(j), type_(type), text_(std::move(text)), converts_(converts) {}
  void SetLabelOffset(int) override {}
  int GetLabelOffset() override { return 0; }
  IGIS_SymbolPart* GetTextSymbolPtr() override { return nullptr; }
  const char* GetStaticData() override { return ""; }
  void GetLabelAlignment(bool*, bool*, bool*, bool*) override {}
  void SetLabelAlignment(bool, bool, bool, bool) override {}
  void Release() override { delete this; }
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer*) override { return true; }
  IGIS_GridLabel* Clone() override { return new TestLabel(j_, type_, text_, converts_); }
  bool OnDraw(HDC, bool, IGIS_Display*) override;
  int GetType() override { return type_; }
  void SetTextSymbolPtr(IGIS_SymbolPart*) override {}
  IGIS_GridLabel* CopyFrom(IGIS_GridLabel*) override { return this; }
  bool OnOpenPropertyDlg() override { return false; }
  IGIS_Element* ConvertToElement() override;
  void SetMapGrid(IGIS_MapGrid* pGrid) override { grid_ = pGrid; }
  void GetLabelOffsetX(int*, int*, int*, int*) override {}
  void GetLabelOffsetY(int*, int*, int*, int*) override {}
  void SetLabelOffsetX(int, int, int, int) override {}
  void SetLabelOffsetY(int, int, int, int) override {}

  const std::string& text() const { return text_; }
  IGIS_MapGrid* grid() const { return grid_; }

 private:
  ~TestLabel() = default;
  Journal* j_;
  int type_;
  std::string text_;
  IGIS_FeatureSet* converts_;  // the page a conversion makes a compound in, or NULL
  IGIS_MapGrid* grid_ = nullptr;
};

// A border that notes draws and conversions and keeps its grid.
class TestBorder final : public IGIS_MapGridBorder {
 public:
  TestBorder(Journal* j, std::string name, IGIS_FeatureSet* converts = nullptr)
      : j_(j), name_(std::move(name)), converts_(converts) {}
  bool GetAlternating() override { return false; }
  void SetAlternating(bool) override {}
  int GetBorderWidth() override { return 0; }
  void SetBorderWidth(int) override {}
  IGIS_Symbol* GetBackgroundSymbol() override { return nullptr; }
  void SetBackgroundSymbolPtr(IGIS_Symbol*) override {}
  int GetInterval() override { return 0; }
  void SetInterval(int) override {}
  IGIS_Symbol* GetForegroundSymbol() override { return nullptr; }
  void SetForegroundSymbolPtr(IGIS_Symbol*) override {}
  IGIS_MapGridBorder* Clone() override;
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  bool Draw(HDC, bool, IGIS_Display*) override;
  IGIS_MapGridBorder* CopyFrom(IGIS_MapGridBorder*) override { return this; }
  void SetBorderType(int) override {}
  int GetBorderType() override { return 0; }
  const char* GetBorderTypeName() override { return name_.c_str(); }
  IGIS_Symbol* GetSimpleSymbol() override { return nullptr; }
  void SetSimpleSymbolPtr(IGIS_Symbol*) override {}
  IGIS_Element* ConvertToElement() override;
  void SetMapGrid(IGIS_MapGrid* pGrid) override { grid_ = pGrid; }
  IGIS_MapGrid* GetMapGrid() override { return grid_; }
  void Release() override { delete this; }

 private:
  ~TestBorder() = default;
  Journal* j_;
  std::string name_;
  IGIS_FeatureSet* converts_;
  IGIS_MapGrid* grid_ = nullptr;
};

// A new line (or point) symbol of the colour.
IGIS_Symbol* NewSymbol(int type, COLORREF color);
// A buffer holding the bytes (caller releases).
IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes);
// The set stored in the bytes (caller releases); an empty set when unreadable.
IGIS_PropertySet* SetOf(const std::vector<BYTE>& bytes);
// The stored bytes with the changes `change` made to their set.
template <class F>
std::vector<BYTE> Edited(const std::vector<BYTE>& bytes, F change) {
  Owned<IGIS_PropertySet> set(SetOf(bytes));
  change(set.get());
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  set->Archive(b, GIS_ARCHIVE_WRITE, 0);
  std::vector<BYTE> out(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}
// The keys of a stored set in order.
std::vector<std::string> KeysOf(const std::vector<BYTE>& bytes);
// The bytes of a buffer field of a stored set (empty when absent).
std::vector<BYTE> FieldBytes(const std::vector<BYTE>& bytes, const char* key);

// A layout page (with its page reference) with one map frame element (no
// map) at (0, 0)-(6000, 3000).
class GridPage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_MapElement* frame_ = nullptr;
};

}  // namespace md::test
