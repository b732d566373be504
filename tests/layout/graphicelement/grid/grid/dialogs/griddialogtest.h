// Shared pieces of the grid pages' tests: empty message-box and driver logs,
// grids of every kind, a page run alone in a grid sheet, the chooser played
// as a user, symbols, stored bytes and where snapshots go. Pages that need
// a grid's frame and map use the fixture over md::test::MeasurePage
// (tests/layout/graphicelement/grid/measure/measuretest.h).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridpropertysheet.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"
#include "platform/ui/driver.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/logmark.h"
#include "tests/support/owned.h"
#include "tests/support/storedbytes.h"

namespace md::test {

// Every kind code a grid sheet is registered for.
constexpr int kGridKinds[] = {GIS_MAPGRID_GRATICULE, GIS_MAPGRID_MEASURE, GIS_MAPGRID_INDEX,
                              GIS_MAPGRID_GRATICULE_MN};

// A new grid of the kind from the grid factory. Only the fixed
// rows-and-columns graticule may not be made yet (NULL).
inline IGIS_MapGrid* NewGrid(int nKind) {
  IGIS_MapGrid* pGrid = GIS_CreateMapGridPropertyObject(nKind);
  if (pGrid == nullptr) {
    EXPECT_EQ(nKind, GIS_MAPGRID_GRATICULE_MN) << "the factory makes no grid of kind " << nKind;
  }
  return pGrid;
}

// The bytes a symbol saves (empty for NULL).
inline std::vector<BYTE> SymbolBytes(IGIS_Symbol* s) {
  if (s == nullptr) return {};
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  s->Save(b);
  std::vector<BYTE> out(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}

// The grid pages' fixture over a base fixture (one with a page and map
// frames for pages that need a grid's frame and map).
template <class TBase = ::testing::Test>
class GridDialogTestOn : public TBase {
 protected:
  void SetUp() override {
    TBase::SetUp();
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    TBase::TearDown();
  }

  static std::string SnapshotPath(const std::string& name) { return md::test::SnapshotPath(name); }
  static size_t Prompts() { return PromptsShown(); }
  static md::ui::ScriptedDriver::Scene Choose(int index) { return ChooseEntry(index); }
  // The texts of a drop-down list's entries, in order.
  static std::vector<std::string> ListEntries(md::ui::UiUser& u, int id) {
    std::vector<std::string> out;
    auto* list = static_cast<CComboBox*>(u.Control(id));
    EXPECT_NE(list, nullptr) << id;
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
      std::string text;
      list->GetLBText(i, text);
      out.push_back(text);
    }
    return out;
  }
  // Runs the page alone in a grid sheet on the grid; the scene plays the
  // sheet's user, `more` the windows it opens. The sheet's answer.
  static INT_PTR RunPage(CGIS_MapGridPage& page, IGIS_MapGrid* pGrid, md::ui::ScriptedDriver::Scene scene,
                         std::vector<md::ui::ScriptedDriver::Scene> more = {}) {
    page.m_pMapGrid = pGrid;
    CGIS_GridPropertySheet sheet;
    sheet.AddPage(&page);
    md::ui::ScriptedDriver driver;
    driver.Then(std::move(scene));
    for (auto& s : more) driver.Then(std::move(s));
    return sheet.DoModal();
  }
};

using GridDialogTest = GridDialogTestOn<>;

}  // namespace md::test
